#include "support/ui/Frm_progress.h"
#include "support/ui/Window_Helpers.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QProgressBar>

#include <gtest/gtest.h>

namespace {
class Frm_progress_Test : public testing::Test {
protected:
  QProgressBar &Bar() { return *window.findChild<QProgressBar *>(QStringLiteral("ProgressBar1")); }
  QLineEdit &Caption() { return *window.findChild<QLineEdit *>(QStringLiteral("Text_caption")); }
  Frm_progress window;
};

TEST_F(Frm_progress_Test, PercentOutsideTheBarChangesNothing) {
  ASSERT_EQ(Bar().minimum(), 0);
  ASSERT_EQ(Bar().maximum(), 100);
  const struct {
    std::int32_t percent, shown;
  } steps[] = {{10, 10}, {-1, 10}, {0, 0}, {100, 100}, {101, 100}, {55, 55}, {1000, 55}};
  for (const auto &s : steps) {
    window.Set_Percent(s.percent);
    EXPECT_EQ(Bar().value(), s.shown) << "after " << s.percent;
  }
}

TEST_F(Frm_progress_Test, SetCaptionShowsTheText) {
  window.Set_Caption(QStringLiteral("Printing frame on\nPDF"));
  EXPECT_EQ(Caption().text(), QStringLiteral("Printing frame on\nPDF"));
}

class Frm_progress_Resize_Test : public Frm_progress_Test, public testing::WithParamInterface<int> {};

TEST_P(Frm_progress_Resize_Test, BarAndCaptionFollowTheWidth) {
  const int w = GetParam();
  window.resize(w, 120);
  window.show();
  const int bar_width = Bar().width();
  EXPECT_NEAR(bar_width, 0.7 * w, 0.51);
  EXPECT_NEAR(Bar().x(), (w - bar_width) / 3.0, 0.51);
  EXPECT_EQ(Caption().x(), Twips_To_Pixels_X(window, 20));
  EXPECT_EQ(Right_Edge(Caption()), w - Twips_To_Pixels_X(window, 40));
}

INSTANTIATE_TEST_SUITE_P(Widths, Frm_progress_Resize_Test, testing::Values(300, 401, 1000));

TEST_F(Frm_progress_Test, AdaptFontTakesTheLargestSizeThatFits) {
  window.resize(400, 120);
  window.show();
  window.Set_Caption(QStringLiteral("Saving"));
  window.Adapt_Font();
  EXPECT_EQ(Caption().font().pointSize(), 14) << "a short caption keeps the largest size";

  const QString long_text = QStringLiteral("Compressing frame 1234 of 5678 into the heat file, please wait");
  window.Set_Caption(long_text);
  window.Adapt_Font();
  QFont font = Caption().font();
  const int points = font.pointSize();
  ASSERT_LT(points, 14);
  const double room = 0.9 * Caption().width();
  EXPECT_LE(QFontMetrics(font, &window).horizontalAdvance(long_text), room);
  font.setPointSize(points + 1);
  EXPECT_GT(QFontMetrics(font, &window).horizontalAdvance(long_text), room) << "one point larger no longer fits";
}
} // namespace
