#include "app/ui/Form_timer.h"
#include "ui_Form_timer.h"

#include "support/Clock.h"
#include "support/ui/Picture_Box.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {
const QColor blue(0, 0, 255);

class Form_timer_Test : public testing::Test {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    heat_time_.setText(QStringLiteral(" 01:23,45"));
    window_.ui->Picture_arm->resize(80, 80);
  }
  void TearDown() override { Set_Clock(nullptr); }
  QColor At(int x, int y) { return window_.ui->Picture_arm->Image().pixelColor(x, y); }

  Manual_Clock clock_{0, QDateTime(QDate(2018, 5, 23), QTime(14, 2, 7, 250))};
  QLabel heat_time_;
  Form_timer window_{&heat_time_};
};

TEST_F(Form_timer_Test, ATickShowsTheTimeOfDayAndTheHeatTime) {
  window_.Timer1_Timer();
  EXPECT_EQ(window_.ui->Label_time->text(), QStringLiteral(" 14:02:07,25"));
  EXPECT_EQ(window_.ui->Label_elapsed->text(), QStringLiteral(" 01:23,45"));
}

TEST_F(Form_timer_Test, TheHandStartsAtTwelveAndTurnsClockwise) {
  window_.Draw_Arm(0);
  EXPECT_EQ(At(40, 10), blue) << "straight up at 0";
  EXPECT_NE(At(40, 70), blue);
  window_.Draw_Arm(25);
  EXPECT_EQ(At(70, 40), blue) << "to the right at a quarter";
  EXPECT_NE(At(40, 10), blue) << "the old hand is gone";
  window_.Draw_Arm(74);
  EXPECT_EQ(At(10, 40), blue) << "to the left at three quarters";
}

TEST_F(Form_timer_Test, TheClockTicksOnlyWhileItsWindowIsActive) {
  EXPECT_FALSE(window_.Timer1.isActive());
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&window_, &activate);
  EXPECT_TRUE(window_.Timer1.isActive());
  QEvent deactivate(QEvent::WindowDeactivate);
  QCoreApplication::sendEvent(&window_, &deactivate);
  EXPECT_FALSE(window_.Timer1.isActive());
}
} // namespace
