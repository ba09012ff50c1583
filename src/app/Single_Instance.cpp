#include "app/Single_Instance.h"

#include "support/Globals.h"
#include "support/Trace.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {
constexpr int connect_wait_ms = 500;
}

Single_Instance::Single_Instance(const QString &folder, QObject *parent) : QObject(parent), folder_(folder) {}

Single_Instance::~Single_Instance() = default;

QString Single_Instance::Lock_File(const QString &folder) {
  return folder + QLatin1Char('/') + Globals::App_Name + QStringLiteral(".lock");
}

QString Single_Instance::Server_Name(const QString &folder) {
  // One name per folder, short enough for a socket path.
  const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return Globals::App_Name + QLatin1Char('-') + QString::fromLatin1(hash);
}

bool Single_Instance::Claim() {
  if (claimed_)
    return true;
  lock_ = std::make_unique<QLockFile>(Lock_File(folder_));
  // The running instance holds the lock however long it runs; only a dead holder loses it.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
    claimed_ = true;
    Listen();
    return true;
  }
  if (lock_->error() == QLockFile::LockFailedError) {
    Ask_Running_Instance();
    return false;
  }
  // A folder we cannot lock in still lets the program run; it just cannot tell.
  Trace_String(QStringLiteral("*Single instance lock not possible in ") + folder_);
  return true;
}

void Single_Instance::Listen() {
  server_ = new QLocalServer(this);
  const QString name = Server_Name(folder_);
  QLocalServer::removeServer(name); // left by an instance that died: we hold the lock now
  if (!server_->listen(name)) {
    Trace_String(QStringLiteral("*Single instance server: ") + server_->errorString());
    return;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket *s = server_->nextPendingConnection()) {
      s->disconnectFromServer();
      s->deleteLater();
    }
    emit Activation_Requested();
  });
}

void Single_Instance::Ask_Running_Instance() const {
  QLocalSocket s;
  s.connectToServer(Server_Name(folder_));
  if (s.waitForConnected(connect_wait_ms))
    s.disconnectFromServer();
}
