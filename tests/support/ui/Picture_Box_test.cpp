#include "support/ui/Picture_Box.h"

#include <gtest/gtest.h>
#include <ostream>

// Colours read as names in failure messages.
inline void PrintTo(const QColor &colour, std::ostream *out) { *out << colour.name().toStdString(); }

namespace {
const QColor paper(255, 255, 255);
const QColor ink(0, 0, 160);
const QColor fill(0, 180, 0);

class Picture_Box_Test : public testing::Test {
protected:
  void SetUp() override {
    box.resize(60, 40);
    box.Set_BackColor(paper);
    box.Set_ForeColor(ink);
    box.Cls();
  }
  bool Any_Ink_In(const QRect &area) {
    const QImage image = box.Image();
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (image.pixelColor(x, y) != paper)
          return true;
    return false;
  }
  Picture_Box box;
};

TEST_F(Picture_Box_Test, DrawingSurvivesARepaint) {
  box.show();
  box.Line(10, 10, 20, 20, ink, Picture_Box::Line_Form::Filled_Box);
  box.Refresh();
  box.update();
  box.repaint();
  const QImage shown = box.grab().toImage();
  EXPECT_EQ(shown.pixelColor(15, 15), ink);
  EXPECT_EQ(shown.pixelColor(30, 30), paper);
}

TEST_F(Picture_Box_Test, ClsClearsTheDrawingButKeepsThePicture) {
  QImage picture(10, 10, QImage::Format_RGB32);
  picture.fill(fill);
  box.Set_Picture(picture);
  box.Line(0, 0, 59, 39, ink, Picture_Box::Line_Form::Filled_Box);
  box.Set_CurrentX(25);
  box.Set_CurrentY(12);
  box.Cls();
  EXPECT_EQ(box.Point(5, 5), fill);
  EXPECT_EQ(box.Point(30, 30), paper);
  EXPECT_EQ(box.CurrentX(), 0);
  EXPECT_EQ(box.CurrentY(), 0);
}

TEST_F(Picture_Box_Test, BackColorTakesEffectOnCls) {
  box.Set_BackColor(fill);
  EXPECT_EQ(box.Point(1, 1), paper);
  box.Cls();
  EXPECT_EQ(box.Point(1, 1), fill);
}

TEST_F(Picture_Box_Test, PrintMovesToTheNextLineOrAlongTheLine) {
  box.Set_FontName(QStringLiteral("Arial"));
  box.Set_FontSize(9);
  const int line = box.TextHeight(QStringLiteral("Ag"));
  box.Set_CurrentX(4);
  box.Print(QStringLiteral("Ag"), false);
  EXPECT_EQ(box.CurrentX(), 4 + box.TextWidth(QStringLiteral("Ag")));
  EXPECT_EQ(box.CurrentY(), 0);
  box.Print(QStringLiteral("x"));
  EXPECT_EQ(box.CurrentX(), 0);
  EXPECT_EQ(box.CurrentY(), line);
  box.Print(QStringLiteral("a\nb"));
  EXPECT_EQ(box.CurrentY(), 3 * line);
  EXPECT_EQ(box.TextHeight(QStringLiteral("a\nb")), 2 * line);
  EXPECT_TRUE(Any_Ink_In(QRect(4, 0, box.TextWidth(QStringLiteral("Ag")), line)));
  EXPECT_FALSE(Any_Ink_In(QRect(0, 3 * line, 60, 40 - 3 * line)));
}

struct Line_Case {
  const char *name;
  Picture_Box::Line_Form form;
  int fill_style;
  QColor corner, inside;
};
void PrintTo(const Line_Case &c, std::ostream *out) { *out << c.name; }

class Picture_Box_Line_Test : public Picture_Box_Test, public testing::WithParamInterface<Line_Case> {};

TEST_P(Picture_Box_Line_Test, CornersIncludedInteriorByForm) {
  const Line_Case c = GetParam();
  box.Set_FillColor(fill);
  box.Set_FillStyle(c.fill_style);
  box.Line(30, 25, 10, 5, ink, c.form); // corners given in either order
  EXPECT_EQ(box.Point(10, 5), c.corner);
  EXPECT_EQ(box.Point(30, 25), c.corner);
  EXPECT_EQ(box.Point(20, 12), c.inside);
  EXPECT_EQ(box.Point(31, 26), paper);
  EXPECT_EQ(box.Point(9, 4), paper);
  EXPECT_EQ(box.CurrentX(), 10);
  EXPECT_EQ(box.CurrentY(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Picture_Box_Line_Test,
    testing::Values(Line_Case{"Line", Picture_Box::Line_Form::Line, Picture_Box::Fill_Solid, ink, paper},
                    Line_Case{"Box", Picture_Box::Line_Form::Box, Picture_Box::Fill_Transparent, ink, paper},
                    Line_Case{"FilledByFillStyle", Picture_Box::Line_Form::Box, Picture_Box::Fill_Solid, ink, fill},
                    Line_Case{"FilledBox", Picture_Box::Line_Form::Filled_Box, Picture_Box::Fill_Transparent, ink,
                              ink}),
    [](const testing::TestParamInfo<Line_Case> &param_info) { return std::string(param_info.param.name); });

TEST_F(Picture_Box_Test, CirclesAndDiscs) {
  box.Set_FillStyle(Picture_Box::Fill_Transparent);
  box.Circle(15, 20, 10, ink);
  EXPECT_EQ(box.Point(15, 20), paper) << "a transparent circle keeps its inside";
  box.Set_FillStyle(Picture_Box::Fill_Solid);
  box.Set_FillColor(fill);
  box.Circle(15, 20, 10, ink);
  EXPECT_EQ(box.Point(15, 20), fill);
  box.Filled_Disc(45, 20, 8, ink);
  EXPECT_EQ(box.Point(45, 20), ink);
  EXPECT_EQ(box.Point(44, 14), ink);
  EXPECT_EQ(box.Point(53, 28), paper) << "the corner of the square around the disc";
}

TEST_F(Picture_Box_Test, PSetAndPoint) {
  box.PSet(3, 4, fill);
  EXPECT_EQ(box.Point(3, 4), fill);
  EXPECT_EQ(box.CurrentX(), 3);
  box.PSet(5, 5);
  EXPECT_EQ(box.Point(5, 5), ink);
  box.PSet(100, 100, fill); // outside: nothing happens
  EXPECT_FALSE(box.Point(100, 100).isValid());
  EXPECT_FALSE(box.Point(-1, 0).isValid());
}

TEST_F(Picture_Box_Test, ThePainterDrawsDirectlyAndPointsReadIt) {
  box.Painter().fillRect(0, 0, 5, 5, fill);
  EXPECT_EQ(box.Point(2, 2), fill);
  box.Painter().fillRect(5, 5, 5, 5, ink); // the painter opens again after a read
  EXPECT_EQ(box.Point(7, 7), ink);
}

TEST_F(Picture_Box_Test, GrowingKeepsTheDrawingAndScaleFollowsTheSize) {
  box.Line(0, 0, 9, 9, ink, Picture_Box::Line_Form::Filled_Box);
  box.resize(80, 50); // hidden: no resize event until shown
  EXPECT_EQ(box.ScaleWidth(), 80);
  EXPECT_EQ(box.ScaleHeight(), 50);
  EXPECT_EQ(box.Point(5, 5), ink);
  EXPECT_EQ(box.Point(75, 45), paper);
  box.Painter().fillRect(70, 40, 10, 10, fill);
  EXPECT_EQ(box.Point(75, 45), fill);
}

TEST_F(Picture_Box_Test, AnEmptyBoxDrawsNothingAndDoesNotFail) {
  Picture_Box empty;
  empty.resize(0, 0);
  empty.Line(0, 0, 5, 5);
  empty.Print(QStringLiteral("x"));
  empty.Circle(1, 1, 1);
  EXPECT_FALSE(empty.Point(0, 0).isValid());
  EXPECT_TRUE(empty.Image().isNull());
}
} // namespace
