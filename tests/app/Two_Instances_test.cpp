// The program started twice on one machine: the second start says so and ends at once.

#include "app/Single_Instance.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {
const QString previous_instance = QStringLiteral("A previous instance of Lurcher is running!");

class Two_Instances_Test : public testing::Test {
protected:
  void Start(QProcess &p, const QStringList &arguments = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LURCHER_APPDATA"), appdata_.path());
    env.insert(QStringLiteral("LURCHER_UNATTENDED"), QStringLiteral("1"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LURCHER_PROGRAM), arguments);
    ASSERT_TRUE(p.waitForStarted(10000));
  }
  // The first instance holds the folder once its start-up has passed the check.
  bool Wait_For_Lock(QProcess &p) {
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && p.state() == QProcess::Running) {
      if (QFile::exists(Single_Instance::Lock_File(appdata_.path())))
        return true;
      QThread::msleep(20);
    }
    return false;
  }
  void Stop(QProcess &p) {
    p.kill();
    p.waitForFinished(10000);
  }
  QTemporaryDir appdata_{QDir::tempPath() + QStringLiteral("/ti-XXXXXX")};
};

TEST_F(Two_Instances_Test, TheSecondStartReportsThePreviousInstanceAndEndsWithinTwoSeconds) {
  QProcess first;
  Start(first);
  ASSERT_TRUE(Wait_For_Lock(first)) << first.readAllStandardError().toStdString();
  const QByteArray settings_before = [&] {
    QFile f(appdata_.filePath(QStringLiteral("Lurcher_HDMI.ini")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();

  QProcess second;
  QElapsedTimer started;
  started.start();
  Start(second);
  const bool ended = second.waitForFinished(2000);
  const qint64 took = started.elapsed();
  if (!ended)
    Stop(second);
  EXPECT_TRUE(ended) << "still running after " << took << " ms";
  EXPECT_TRUE(QString::fromLocal8Bit(second.readAllStandardError()).contains(previous_instance));
  EXPECT_EQ(first.state(), QProcess::Running);
  QFile f(appdata_.filePath(QStringLiteral("Lurcher_HDMI.ini")));
  EXPECT_EQ(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), settings_before);
  Stop(first);
}

TEST_F(Two_Instances_Test, AnInstanceThatDiedLeavesNoLockBehind) {
  QProcess first;
  Start(first);
  ASSERT_TRUE(Wait_For_Lock(first));
  Stop(first); // killed: its lock file stays on disk

  QProcess next;
  Start(next, {QStringLiteral("--quit-after"), QStringLiteral("0")});
  ASSERT_TRUE(next.waitForFinished(30000));
  EXPECT_EQ(next.exitCode(), 0);
  EXPECT_FALSE(QString::fromLocal8Bit(next.readAllStandardError()).contains(previous_instance));
}
} // namespace
