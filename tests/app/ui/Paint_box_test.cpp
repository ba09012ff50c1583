#include "app/ui/Paint_box.h"

#include "app/ui/Form_Lurcher.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "common/Trace_Capture.h"
#include "support/Checked.h"
#include "support/Globals.h"
#include "support/ui/Picture_Box.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QColor &colour, std::ostream *out) { *out << colour.name().toStdString(); }

namespace {
int Pixels_Of(const QImage &image, const QColor &colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      n += image.pixelColor(x, y) == colour ? 1 : 0;
  return n;
}

struct Badge_Case {
  std::int16_t box;
  QColor background;
  QColor number;
};

void PrintTo(const Badge_Case &c, std::ostream *out) { *out << "box " << c.box; }

class Paint_box_Test : public testing::TestWithParam<Badge_Case> {
protected:
  void SetUp() override { picture_.resize(40, 48); }
  Picture_Box picture_;
};

TEST_P(Paint_box_Test, PaintsTheBoxInItsRacingColours) {
  const Badge_Case c = GetParam();
  Paint_box(picture_, c.box);
  const QImage image = picture_.Image();
  const int w = image.width(), h = image.height();
  // The right edge stays clear of the number, which starts at the top-left.
  EXPECT_EQ(image.pixelColor(w - 1, h / 8), c.background);
  EXPECT_GT(Pixels_Of(image, c.number), 10) << "the number in its colour";
  if (c.box == 6) {
    const QColor band = Box_Band_Colour();
    EXPECT_EQ(image.pixelColor(w - 1, h * 3 / 8), band);
    EXPECT_EQ(image.pixelColor(w - 1, h * 5 / 8), c.background);
    EXPECT_EQ(image.pixelColor(w - 1, h * 7 / 8), band);
    EXPECT_EQ(image.pixelColor(0, h - 1), band);
  } else {
    EXPECT_EQ(image.pixelColor(w - 1, h - 1), c.background);
    EXPECT_EQ(image.pixelColor(w - 1, h * 3 / 8), c.background);
  }
}

INSTANTIATE_TEST_SUITE_P(Boxes, Paint_box_Test,
                         testing::Values(Badge_Case{1, QColor(181, 0, 0), Qt::white},
                                         Badge_Case{2, QColor(64, 116, 202), Qt::white},
                                         Badge_Case{3, Qt::white, Qt::black}, Badge_Case{4, Qt::black, Qt::white},
                                         Badge_Case{5, QColor(231, 177, 27), Qt::black},
                                         Badge_Case{6, Qt::white, QColor(255, 0, 0)}));

TEST(Paint_box, TheBadgeSurvivesAClearAsTheStoredPicture) {
  Picture_Box picture;
  picture.resize(30, 30);
  Paint_box(picture, 4);
  const QImage painted = picture.Image();
  picture.Cls();
  EXPECT_EQ(picture.Image(), painted);
  EXPECT_FALSE(picture.Picture().isNull());
}

TEST(Paint_box, TheFontIsTheLargestWhoseEightFitsTheHeight) {
  for (const int height : {12, 26, 40, 90}) {
    Picture_Box picture;
    picture.resize(60, height);
    Paint_box(picture, 1);
    EXPECT_EQ(picture.FontName(), QStringLiteral("Arial"));
    EXPECT_TRUE(picture.FontBold());
    const auto fits = [&] { return Round_Half_Even(0.9 * picture.TextHeight(QStringLiteral("8"))) < height; };
    EXPECT_TRUE(fits()) << height;
    const double size = picture.FontSize();
    if (size < 64) {
      picture.Set_FontSize(size + 1);
      EXPECT_FALSE(fits()) << "one point larger fits too at height " << height;
    }
  }
}

TEST(Paint_box, APictureWithNoHeightEndsTheSearch) {
  Picture_Box picture;
  picture.resize(20, 0);
  Paint_box(picture, 2);
  EXPECT_GE(picture.FontSize(), 1.0);
}

TEST(Paint_box, AnotherBoxNumberLeavesTheBadgeCleared) {
  Picture_Box picture;
  picture.resize(20, 20);
  Paint_box(picture, 1);
  Paint_box(picture, 7);
  EXPECT_TRUE(picture.Picture().isNull());
  EXPECT_EQ(Pixels_Of(picture.Image(), QColor(181, 0, 0)), 0);
}

TEST(Paint_box, ActivatingTheMainWindowPaintsTheSixBadges) {
  Temp_AppData appdata;
  Scripted_Operator::Install();
  Form_Lurcher form;
  form.Form_Activate();
  for (std::size_t i = 0; i < form.Picture_dognum.size(); ++i) {
    const QImage image = form.Picture_dognum[i]->Image();
    const Box_Colours colours = Box_Colours_Of(static_cast<std::int16_t>(i + 1));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 8), colours.background) << "box " << i + 1;
  }
}
TEST(Paint_box, AnActivationWhileTheBadgesArePaintedIsLeftAlone) {
  Temp_AppData appdata;
  Scripted_Operator::Install();
  Trace_Capture trace;
  Form_Lurcher form;
  form.Picture_dognum[0]->resize(20, 20); // small: fitting its font lets events through
  QCoreApplication::postEvent(&form, new QEvent(QEvent::WindowActivate));
  form.Form_Activate();
  QCoreApplication::processEvents();
  int refreshes = 0; // the kit display is refreshed once per activation that ran
  for (const QString &line : trace.Lines())
    refreshes += line.startsWith(QStringLiteral("*Check_Attached")) ? 1 : 0;
  EXPECT_EQ(refreshes, 1);
  const QImage image = form.Picture_dognum[0]->Image();
  EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 8), QColor(181, 0, 0));
}
} // namespace
