#include "common/Trace_Capture.h"

#include "support/Trace.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
constexpr int read_wait_ms = 30;

// The frame is "program mode: pid: tid: yyyymmdd hhnnss: "; the items follow, each ending in a TAB.
QString Items_Of(const QByteArray &line) {
  QString text = QString::fromLatin1(line);
  qsizetype at = 0;
  for (int i = 0; i < 4 && at >= 0; ++i) {
    at = text.indexOf(QStringLiteral(": "), at);
    if (at >= 0)
      at += 2;
  }
  text = at >= 0 ? text.mid(at) : text;
  if (text.endsWith(QLatin1Char('\t')))
    text.chop(1);
  return text;
}
} // namespace

Trace_Capture::Trace_Capture()
    : dir_(QDir::tempPath() + QStringLiteral("/tr-XXXXXX")), saved_tmpdir_(qgetenv("TMPDIR")) {
  qputenv("TMPDIR", QFile::encodeName(dir_.path()));
  server_.listen(QStringLiteral("LurcherTrace"));
  Reset_Trace_Lookup();
}

Trace_Capture::~Trace_Capture() {
  Reset_Trace_Lookup();
  server_.close();
  qputenv("TMPDIR", saved_tmpdir_);
}

void Trace_Capture::Read_Available() {
  if (!socket_) {
    server_.waitForNewConnection(read_wait_ms);
    socket_ = server_.nextPendingConnection();
    if (!socket_)
      return;
  }
  while (socket_->bytesAvailable() > 0 || socket_->waitForReadyRead(read_wait_ms))
    pending_ += socket_->readAll();
  while (pending_.size() >= 4) {
    const auto *b = reinterpret_cast<const unsigned char *>(pending_.constData());
    const qsizetype n = qsizetype(b[0]) | qsizetype(b[1]) << 8 | qsizetype(b[2]) << 16 | qsizetype(b[3]) << 24;
    if (pending_.size() < 4 + n)
      break;
    lines_ << Items_Of(pending_.mid(4, n));
    pending_.remove(0, 4 + n);
  }
}

QStringList Trace_Capture::Lines() {
  Read_Available();
  return lines_;
}

void Trace_Capture::Clear() {
  Read_Available();
  lines_.clear();
}

testing::AssertionResult In_Order(const QStringList &lines, const QStringList &expected) {
  qsizetype from = 0;
  for (const QString &e : expected) {
    const qsizetype at = lines.indexOf(e, from);
    if (at < 0)
      return testing::AssertionFailure() << "missing or out of order: \"" << e.toStdString() << "\"\nlines:\n"
                                         << lines.join(QLatin1Char('\n')).toStdString();
    from = at + 1;
  }
  return testing::AssertionSuccess();
}
