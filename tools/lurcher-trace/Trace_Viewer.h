#pragma once
// The viewer's server: listens on the local socket "LurcherTrace", takes any number of
// programs at once and writes every line it receives to standard output. A line arrives
// as a 32-bit little-endian byte count followed by that many Latin-1 bytes.

#include <QByteArray>
#include <QHash>
#include <QLocalServer>
#include <QObject>
#include <cstdio>

class QLocalSocket;

class Trace_Viewer : public QObject {
  Q_OBJECT

public:
  // A frame longer than this is taken for garbage and the client is dropped.
  static constexpr qsizetype max_line_bytes = 16 * 1024 * 1024;

  explicit Trace_Viewer(std::FILE *out, QObject *parent = nullptr);

  // Takes over the name even when a viewer that died left its socket behind.
  bool Listen(const QString &name);
  QString Error_Text() const { return server_.errorString(); }
  int Clients() const { return static_cast<int>(pending_.size()); }

  // The complete lines at the front of buffer, which keeps what is left. false when a
  // frame announces an impossible length.
  static bool Take_Lines(QByteArray &buffer, QList<QByteArray> &lines);

private:
  void On_New_Connection();
  void On_Ready_Read(QLocalSocket *client);
  void On_Disconnected(QLocalSocket *client);
  void Write_Line(const QByteArray &latin1);

  std::FILE *out_;
  QLocalServer server_;
  QHash<QLocalSocket *, QByteArray> pending_;
};
