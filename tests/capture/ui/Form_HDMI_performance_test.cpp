#include "capture/ui/Form_HDMI_performance.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Clock.h"
#include "support/ui/Picture_Box.h"
#include "support/ui/Printer_Wrapper.h"
#include "support/ui/Window_Helpers.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {
class Performance_Test : public testing::Test {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    form_.show();
    form_.Reset_Counters();
  }
  void TearDown() override { Set_Clock(nullptr); }
  // n frames, ms apart, stamped on the clock's tick.
  void Frames(int n, std::int32_t ms) {
    for (int i = 0; i < n; ++i) {
      clock_.Advance(static_cast<std::uint64_t>(ms));
      form_.HDMI_event(Tick(), ms);
    }
  }
  QColor Plot_Pixel(int x, int y) { return form_.Plot().Image().pixelColor(x, y); }

  Temp_AppData appdata_;
  Scripted_Operator &operator_ = Scripted_Operator::Install();
  Manual_Clock clock_{500000};
  Form_HDMI_performance form_;
};

struct Count_Case {
  int frames;
  std::int32_t ms;
  const char *received, *calculated, *lost;
};
class Count_Test : public Performance_Test, public testing::WithParamInterface<Count_Case> {};

TEST_P(Count_Test, CountsReceivedCalculatedAndLost) {
  const Count_Case c = GetParam();
  Frames(c.frames, c.ms);
  EXPECT_EQ(form_.Received_Text(), QString::fromLatin1(c.received));
  EXPECT_EQ(form_.Calculated_Text(), QString::fromLatin1(c.calculated));
  EXPECT_EQ(form_.Lost_Text(), QString::fromLatin1(c.lost));
}

INSTANTIATE_TEST_SUITE_P(Cases, Count_Test,
                         testing::Values(Count_Case{100, 40, "100", "100", "0"}, // 25 fps for 4 s
                                         Count_Case{100, 20, "100", "50", "50"}, // 50 fps for 2 s: more than expected
                                         Count_Case{50, 80, "50", "100", "-50"}, // half the frames missing
                                         Count_Case{1, 60, "1", "2", "-1"},      // 1.5 rounds to 2
                                         Count_Case{1, 100, "1", "2", "-1"}));   // 2.5 rounds to 2

TEST_F(Performance_Test, ClickOnLostResetsTheCounters) {
  Frames(10, 40);
  auto *lost = form_.findChild<QLabel *>(QStringLiteral("Label_frames_lost"));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(lost, &press);
  EXPECT_EQ(form_.Frames_Received(), 0);
  Frames(1, 40);
  EXPECT_EQ(form_.Lost_Text(), QStringLiteral("0"));
}

TEST_F(Performance_Test, PlotsOnePixelPerMillisecondAndScrolls) {
  Picture_Box &plot = form_.Plot();
  const int w = plot.ScaleWidth(), h = plot.ScaleHeight();
  ASSERT_GT(h, 100);
  const QColor blue(0, 0, 255);
  form_.Plot_Delta(30);
  EXPECT_EQ(Plot_Pixel(w - 1, h - 1), blue);
  EXPECT_EQ(Plot_Pixel(w - 1, h - 1 - 30), blue);
  EXPECT_NE(Plot_Pixel(w - 1, h - 1 - 31), blue);
  form_.Plot_Delta(5);
  EXPECT_EQ(Plot_Pixel(w - 2, h - 1 - 30), blue) << "the earlier column moved one pixel left";
  EXPECT_NE(Plot_Pixel(w - 1, h - 1 - 30), blue) << "the new column shows only its own delta";
  EXPECT_EQ(Plot_Pixel(w - 1, h - 1 - 5), blue);
  EXPECT_EQ(Plot_Pixel(w / 2, h - 40), QColor(255, 255, 0)) << "the 25 fps reference line";
  form_.Plot_Delta(h + 500);
  EXPECT_EQ(Plot_Pixel(w - 1, 0), blue) << "a long delta reaches the top edge";
}

TEST_F(Performance_Test, ActivationFillsTheCaptionAndTheLabels) {
  form_.Show_Properties(QStringLiteral("1920*1080/25 / USB3 HDMI Grabber"));
  form_.HDMI_Dimensions(QStringLiteral("1920*1080, 25 fps"));
  form_.Fill_min_max_fps(QStringLiteral("min max fps: 25 50"));
  EXPECT_TRUE(form_.windowTitle().startsWith(QStringLiteral("HDMI performance Lurcher_HDMI ")));
  EXPECT_EQ(form_.findChild<QLabel *>(QStringLiteral("Label_prop"))->text(),
            QStringLiteral("1920*1080/25 / USB3 HDMI Grabber"));
  EXPECT_FALSE(Close_Button_Enabled(&form_)) << "only Hide  Form hides it";
  form_.Command_Hide_Me_Click();
  EXPECT_FALSE(form_.isVisible());
}

TEST_F(Performance_Test, PrintsTheWindowAsOnePicture) {
  const QString pdf = appdata_.File(QStringLiteral("performance.pdf"));
  Set_Current_Printer(Printer_Wrapper::To_Pdf(pdf));
  form_.Command_Print_Form_Click();
  const Printer_Wrapper &printer = Current_Printer();
  EXPECT_EQ(printer.Documents_Ended(), 1);
  ASSERT_EQ(printer.Items().size(), 1);
  EXPECT_EQ(printer.Items()[0].kind, Printed_Item::Kind::Picture);
  EXPECT_EQ(printer.Items()[0].picture_size, form_.grab().size());
  EXPECT_TRUE(operator_.Prompts().empty());
  Set_Current_Printer(nullptr);
}

TEST_F(Performance_Test, RandomDeltaTogglesItsTimer) {
  form_.item_random_delta_Click();
  EXPECT_TRUE(form_.Random_Delta_On());
  form_.item_random_delta_Click();
  EXPECT_FALSE(form_.Random_Delta_On());
}
} // namespace
