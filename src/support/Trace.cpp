#include "support/Trace.h"

#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

// Transport: a Unix stream socket at QDir::tempPath()/LurcherTrace, where the viewer's
// QLocalServer listens. Each line is sent as a 32-bit little-endian byte count and the
// line's Latin-1 bytes. A raw socket, so that any thread may trace without an event loop.

std::atomic<int> trace_detail::viewer_state{0};

namespace {
std::mutex send_mutex;
int viewer_fd = -1;

QString socket_path() { return QDir::tempPath() + QStringLiteral("/LurcherTrace"); }

// Any list (QVariantList, QStringList, QList<int>, ...) contributes its elements; texts
// and byte arrays are items in their own right.
bool is_list(const QVariant &item) {
  const int type = item.typeId();
  if (type == QMetaType::QString || type == QMetaType::QByteArray)
    return false;
  return type == QMetaType::QVariantList || type == QMetaType::QStringList ||
         QMetaType::canConvert(item.metaType(), QMetaType::fromType<QVariantList>());
}

void append_item(QByteArray &out, const QVariant &item) {
  if (is_list(item)) {
    for (const QVariant &v : item.value<QVariantList>())
      append_item(out, v);
  } else if (item.typeId() == QMetaType::Bool) {
    out += item.toBool() ? "True\t" : "False\t";
  } else {
    out += item.toString().toLatin1() + '\t';
  }
}

QString program_name() {
  const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                    : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  return QFileInfo(path).completeBaseName();
}
} // namespace

bool trace_detail::Look_Up_Viewer() {
  std::lock_guard lock(send_mutex);
  if (viewer_state.load() != 0)
    return viewer_state.load() == 2;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const QByteArray path = QFile::encodeName(socket_path());
  bool found = false;
  if (fd >= 0 && static_cast<size_t>(path.size()) < sizeof(addr.sun_path)) {
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
    found = ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) == 0;
  }
  if (found) {
    const timeval wait{5, 0}; // the viewer gets 5000 ms to take a line
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof(wait));
    viewer_fd = fd;
  } else if (fd >= 0) {
    ::close(fd);
  }
  viewer_state.store(found ? 2 : 1);
  return found;
}

bool Trace_Window_Present() {
  const int state = trace_detail::viewer_state.load();
  return state == 2 || (state == 0 && trace_detail::Look_Up_Viewer());
}

QByteArray Build_Trace_Line(const QVariantList &items) {
  const QString mode = Globals::Trap_Errors ? QStringLiteral(" C") : QStringLiteral(" I");
  const QString stamp = Current_Clock().Local_Now().toString(QStringLiteral("yyyyMMdd hhmmss"));
  QByteArray line = (program_name() + mode + QStringLiteral(": %1: %2: ").arg(::getpid()).arg(::syscall(SYS_gettid)) +
                     stamp + QStringLiteral(": "))
                        .toLatin1();
  for (const QVariant &item : items)
    append_item(line, item);
  return line;
}

void Send_Trace_Line(const QVariantList &items) {
  const QByteArray line = Build_Trace_Line(items);
  const auto n = static_cast<std::uint32_t>(line.size());
  QByteArray frame;
  frame.reserve(4 + line.size());
  for (int shift = 0; shift < 32; shift += 8)
    frame += static_cast<char>((n >> shift) & 0xFF);
  frame += line;
  std::lock_guard lock(send_mutex);
  if (viewer_fd < 0)
    return;
  // A viewer that went away or stalls loses the line; the caller goes on. Once part of a
  // frame is out, the rest must follow or the viewer would read garbage from then on, so
  // a frame cut short ends the connection.
  qsizetype sent = 0;
  while (sent < frame.size()) {
    const ssize_t r =
        ::send(viewer_fd, frame.constData() + sent, static_cast<size_t>(frame.size() - sent), MSG_NOSIGNAL);
    if (r > 0) {
      sent += r;
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  if (sent > 0 && sent < frame.size()) {
    ::close(viewer_fd);
    viewer_fd = -1;
  }
}

void Log_Event(const QString &text) {
  QFile f(Globals::AppData_Folder + QStringLiteral("/Lurcher_eventlog.txt"));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
    Msg_Box(QStringLiteral("Log error") + f.errorString() + QStringLiteral(" 75"));
    return;
  }
  // The general date: short date and long time, seconds included.
  const QString stamp = General_Date_Text(Current_Clock().Local_Now());
  f.write((stamp + text + QLatin1Char('\n')).toLocal8Bit());
}

void Reset_Trace_Lookup() {
  std::lock_guard lock(send_mutex);
  if (viewer_fd >= 0)
    ::close(viewer_fd);
  viewer_fd = -1;
  trace_detail::viewer_state.store(0);
}
