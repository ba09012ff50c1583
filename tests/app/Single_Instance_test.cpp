#include "app/Single_Instance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class Single_Instance_Test : public testing::Test {
protected:
  QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/si-XXXXXX")};
};

TEST_F(Single_Instance_Test, ASecondClaimOnTheSameFolderIsRefused) {
  Single_Instance first(folder_.path());
  ASSERT_TRUE(first.Claim());
  EXPECT_TRUE(QFile::exists(Single_Instance::Lock_File(folder_.path())));
  Single_Instance second(folder_.path());
  EXPECT_FALSE(second.Claim());
  EXPECT_FALSE(second.Claimed());
}

TEST_F(Single_Instance_Test, TheFolderIsFreeAgainWhenTheRunningInstanceEnds) {
  {
    Single_Instance first(folder_.path());
    ASSERT_TRUE(first.Claim());
  }
  Single_Instance next(folder_.path());
  EXPECT_TRUE(next.Claim());
}

TEST_F(Single_Instance_Test, OtherFoldersDoNotMeet) {
  QTemporaryDir other(QDir::tempPath() + QStringLiteral("/si-XXXXXX"));
  Single_Instance a(folder_.path());
  Single_Instance b(other.path());
  EXPECT_TRUE(a.Claim());
  EXPECT_TRUE(b.Claim());
  EXPECT_NE(Single_Instance::Server_Name(folder_.path()), Single_Instance::Server_Name(other.path()));
}

TEST_F(Single_Instance_Test, ARefusedStartAsksTheRunningInstanceToComeForward) {
  Single_Instance first(folder_.path());
  ASSERT_TRUE(first.Claim());
  bool asked = false;
  QObject::connect(&first, &Single_Instance::Activation_Requested, [&] { asked = true; });
  Single_Instance second(folder_.path());
  EXPECT_FALSE(second.Claim());
  const QDeadlineTimer deadline(5000);
  while (!asked && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(asked);
}
} // namespace
