#include "Trace_Viewer.h"

#include <QLocalSocket>
#include <QString>

Trace_Viewer::Trace_Viewer(std::FILE *out, QObject *parent) : QObject(parent), out_(out) {
  connect(&server_, &QLocalServer::newConnection, this, &Trace_Viewer::On_New_Connection);
}

bool Trace_Viewer::Listen(const QString &name) {
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(name);
}

bool Trace_Viewer::Take_Lines(QByteArray &buffer, QList<QByteArray> &lines) {
  qsizetype at = 0;
  while (buffer.size() - at >= 4) {
    const auto *b = reinterpret_cast<const unsigned char *>(buffer.constData() + at);
    const quint32 n = quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
    if (n > max_line_bytes) {
      buffer.clear();
      return false;
    }
    if (buffer.size() - at - 4 < qsizetype(n))
      break;
    lines << buffer.mid(at + 4, qsizetype(n));
    at += 4 + qsizetype(n);
  }
  buffer.remove(0, at);
  return true;
}

void Trace_Viewer::On_New_Connection() {
  while (QLocalSocket *client = server_.nextPendingConnection()) {
    pending_.insert(client, QByteArray());
    connect(client, &QLocalSocket::readyRead, this, [this, client] { On_Ready_Read(client); });
    connect(client, &QLocalSocket::disconnected, this, [this, client] { On_Disconnected(client); });
    // It may have written and gone before we got here.
    On_Ready_Read(client);
    if (client->state() == QLocalSocket::UnconnectedState)
      On_Disconnected(client);
  }
}

void Trace_Viewer::On_Ready_Read(QLocalSocket *client) {
  auto it = pending_.find(client);
  if (it == pending_.end() || !client->isReadable())
    return;
  it.value() += client->readAll();
  QList<QByteArray> lines;
  const bool sound = Take_Lines(it.value(), lines);
  for (const QByteArray &line : lines)
    Write_Line(line);
  if (!sound) {
    std::fputs("lurcher-trace: a client sent a malformed frame and was dropped\n", stderr);
    pending_.erase(it);
    client->abort();
    client->deleteLater();
  }
}

void Trace_Viewer::On_Disconnected(QLocalSocket *client) {
  auto it = pending_.find(client);
  if (it == pending_.end())
    return;
  // What the client wrote just before it went is still worth showing; a frame it never
  // finished is not.
  QByteArray rest = it.value();
  pending_.erase(it);
  if (client->isReadable())
    rest += client->readAll();
  QList<QByteArray> lines;
  Take_Lines(rest, lines);
  for (const QByteArray &line : lines)
    Write_Line(line);
  client->deleteLater();
}

void Trace_Viewer::Write_Line(const QByteArray &latin1) {
  const QByteArray text = QString::fromLatin1(latin1).toLocal8Bit();
  std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}
