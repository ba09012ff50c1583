#pragma once
// One Lurcher per user and application-data folder: a lock file in the folder proves a
// running instance (a lock left by a process that died is taken over), and a local server
// lets a second start ask the running one to come to the front.

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

class Single_Instance final : public QObject {
  Q_OBJECT

public:
  explicit Single_Instance(const QString &folder, QObject *parent = nullptr);
  ~Single_Instance() override;

  // True when this process is now the running instance. False when another holds the
  // folder; that one is then asked to come to the front.
  bool Claim();
  bool Claimed() const { return claimed_; }

  static QString Lock_File(const QString &folder);
  static QString Server_Name(const QString &folder);

signals:
  // A later start found this instance running.
  void Activation_Requested();

private:
  void Listen();
  void Ask_Running_Instance() const;

  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer *server_ = nullptr;
  bool claimed_ = false;
};
