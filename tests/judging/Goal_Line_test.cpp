#include "judging/Goal_Line.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>

void PrintTo(const Goal_Line &line, std::ostream *out) {
  *out << "(" << line.pt_1.x << "," << line.pt_1.y << ")-(" << line.pt_2.x << "," << line.pt_2.y << ")";
}
void PrintTo(const Goal_Point &point, std::ostream *out) { *out << "(" << point.x << "," << point.y << ")"; }

namespace {
const Goal_Line line_600x1080{{300, 108}, {300, 972}};
const QSize picture_600x1080(600, 1080);

// ---- text form ----

struct Text_Case {
  const char *text;
  std::optional<Goal_Line> line;
};
void PrintTo(const Text_Case &c, std::ostream *out) { *out << '"' << c.text << '"'; }

class Goal_Line_Text_Form : public testing::TestWithParam<Text_Case> {};

TEST_P(Goal_Line_Text_Form, Reads) {
  const Text_Case &c = GetParam();
  EXPECT_EQ(Parse_Goal_Line(QString::fromLatin1(c.text)), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Goal_Line_Text_Form,
    testing::Values(Text_Case{"300,108,300,972", line_600x1080}, Text_Case{" 300 , 108,300 ,972 ", line_600x1080},
                    Text_Case{"-5,-6,7,8", Goal_Line{{-5, -6}, {7, 8}}},
                    // items 0..3 make the line; more are not looked at
                    Text_Case{"300,108,300,972,extra", line_600x1080}, Text_Case{"N/A", std::nullopt},
                    Text_Case{"", std::nullopt}, Text_Case{"300,108,300", std::nullopt},
                    Text_Case{"300,108,,972", std::nullopt}, Text_Case{"300,108,x,972", std::nullopt},
                    Text_Case{"300.5,108,300,972", std::nullopt}, Text_Case{"300;108;300;972", std::nullopt},
                    // the drawing takes 16-bit coordinates
                    Text_Case{"32767,-32768,0,0", Goal_Line{{32767, -32768}, {0, 0}}},
                    Text_Case{"40000,108,300,972", std::nullopt}, Text_Case{"300,108,300,-32769", std::nullopt}));

TEST(Goal_Line, WritesTheTextItReads) {
  EXPECT_EQ(Goal_Line_Text(line_600x1080), "300,108,300,972");
  EXPECT_EQ(Goal_Line_Text(Goal_Line{{-5, 0}, {7, -8}}), "-5,0,7,-8");
  EXPECT_EQ(Parse_Goal_Line(Goal_Line_Text(Goal_Line{{1, 2}, {3, 4}})), (Goal_Line{{1, 2}, {3, 4}}));
}

TEST(Goal_Line, StoredTextThatHoldsNoLineLeavesTheLine) {
  const Goal_Line current{{10, 20}, {30, 40}};
  EXPECT_EQ(Goal_Line_Or("N/A", current), current) << "the settings' default";
  EXPECT_EQ(Goal_Line_Or("", current), current);
  EXPECT_EQ(Goal_Line_Or("1,2,34", current), current) << "6 characters or fewer";
  EXPECT_EQ(Goal_Line_Or("1,2,3,4", current), (Goal_Line{{1, 2}, {3, 4}}));
  EXPECT_EQ(Goal_Line_Or("hand-edited nonsense", current), current);
  EXPECT_EQ(Goal_Line_Or("1,2,3,four", current), current);
}

// ---- reset ----

struct Reset_Case {
  int width, height;
  Goal_Line line;
};
void PrintTo(const Reset_Case &c, std::ostream *out) { *out << c.width << "x" << c.height; }

class Goal_Line_Reset : public testing::TestWithParam<Reset_Case> {};

TEST_P(Goal_Line_Reset, MiddleFromATenthToNineTenths) {
  const Reset_Case &c = GetParam();
  EXPECT_EQ(Default_Goal_Line(QSize(c.width, c.height)), c.line);
}

INSTANTIATE_TEST_SUITE_P(Cases, Goal_Line_Reset,
                         testing::Values(Reset_Case{600, 1080, line_600x1080},
                                         Reset_Case{720, 576, {{360, 58}, {360, 518}}},
                                         // halves to even: 2.5 -> 2, 0.5 -> 0, 4.5 -> 4
                                         Reset_Case{5, 5, {{2, 0}, {2, 4}}},
                                         // 3.5 -> 4, 1.5 -> 2, 13.5 -> 14
                                         Reset_Case{7, 15, {{4, 2}, {4, 14}}}));

// ---- handles ----

struct Hit_Case {
  double dx, dy; // from the first end
  std::int16_t handle;
};
void PrintTo(const Hit_Case &c, std::ostream *out) { *out << "(" << c.dx << ", " << c.dy << ")"; }

class Goal_Handle_Zone : public testing::TestWithParam<Hit_Case> {};

TEST_P(Goal_Handle_Zone, AroundTheFirstEnd) {
  const Hit_Case &c = GetParam();
  const Goal_Line line{{100, 200}, {100, 400}};
  EXPECT_EQ(Goal_Handle_At(line, QPointF(100 + c.dx, 200 + c.dy)), c.handle);
}

INSTANTIATE_TEST_SUITE_P(Cases, Goal_Handle_Zone,
                         testing::Values(Hit_Case{0, 0, 1}, Hit_Case{10, 0, 1}, Hit_Case{-8, 0, 0}, Hit_Case{-6, 0, 0},
                                         Hit_Case{-5.5, 0, 1}, Hit_Case{11.9, 0, 1}, Hit_Case{12, 0, 0},
                                         Hit_Case{0, 11, 1}, Hit_Case{0, 12, 0}, Hit_Case{0, -6, 0}, Hit_Case{0, -5, 1},
                                         Hit_Case{11, 11, 1}, Hit_Case{11, -7, 0},
                                         // the second end's zone
                                         Hit_Case{10, 200, 2}, Hit_Case{-8, 200, 0}, Hit_Case{0, 195, 2},
                                         Hit_Case{0, 193, 0}));

TEST(Goal_Line, WhereTheZonesMeetTheFirstEndIsGrabbed) {
  const Goal_Line line{{100, 200}, {105, 205}};
  EXPECT_EQ(Goal_Handle_At(line, QPointF(103, 203)), 1);
  EXPECT_EQ(Goal_Handle_At(line, QPointF(114, 214)), 2);
}

TEST(Goal_Line, HandleSquare) {
  const QRect square = Goal_Handle_Rect({100, 200});
  EXPECT_EQ(square.left(), 94);
  EXPECT_EQ(square.top(), 194);
  EXPECT_EQ(square.width(), 12);
  EXPECT_EQ(square.height(), 12);
  EXPECT_FALSE(square.contains(106, 200)) << "the right edge is excluded";
  EXPECT_TRUE(square.contains(105, 205));
}

// ---- dragging ----

TEST(Goal_Line, DragMovesTheGrabbedEndByThePointersWay) {
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, QPointF(305, 110)); // inside the first end's zone, off its centre
  EXPECT_EQ(drag.Drag_Handle(), 1);
  EXPECT_TRUE(drag.Move(line, QPointF(315, 130), picture_600x1080));
  EXPECT_EQ(line.pt_1, (Goal_Point{310, 128})) << "the end keeps its distance to the pointer";
  EXPECT_EQ(line.pt_2, line_600x1080.pt_2);
  EXPECT_TRUE(drag.Move(line, QPointF(300, 100), picture_600x1080));
  EXPECT_EQ(line.pt_1, (Goal_Point{295, 98})) << "each move is measured from the button-down point";
  EXPECT_TRUE(drag.End()) << "a moved line is to be saved";
  EXPECT_EQ(drag.Drag_Handle(), 0);
  EXPECT_FALSE(drag.End());
}

TEST(Goal_Line, DragOfTheSecondEnd) {
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, QPointF(309, 980));
  EXPECT_EQ(drag.Drag_Handle(), 2);
  EXPECT_TRUE(drag.Move(line, QPointF(259, 1000), picture_600x1080));
  EXPECT_EQ(line, (Goal_Line{{300, 108}, {250, 992}}));
}

TEST(Goal_Line, PressOffTheHandlesDragsNothing) {
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, QPointF(300, 500));
  EXPECT_EQ(drag.Drag_Handle(), 0);
  EXPECT_FALSE(drag.Move(line, QPointF(350, 550), picture_600x1080));
  EXPECT_EQ(line, line_600x1080);
  EXPECT_FALSE(drag.End()) << "nothing to save";
}

TEST(Goal_Line, ClickWithoutMovingIsNoChange) {
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, QPointF(300, 108));
  EXPECT_FALSE(drag.Move(line, QPointF(300, 108), picture_600x1080));
  EXPECT_FALSE(drag.End());
}

TEST(Goal_Line, DragStopsOnePixelInsideThePicture) {
  struct Edge {
    QPointF pointer; // the grabbed end starts under the pointer at (300, 108)
    Goal_Point end;
  };
  for (const Edge &edge : {Edge{{1, 108}, {1, 108}}, Edge{{0, 108}, {1, 108}}, Edge{{-40, 108}, {1, 108}},
                           Edge{{599, 108}, {599, 108}}, Edge{{600, 108}, {599, 108}}, Edge{{300, 1}, {300, 1}},
                           Edge{{300, 0}, {300, 1}}, Edge{{300, 1079}, {300, 1079}}, Edge{{300, 1080}, {300, 1079}}}) {
    Goal_Line line = line_600x1080;
    Goal_Line_Drag drag;
    drag.Begin(line, QPointF(300, 108));
    // approach the edge pixel by pixel, then try beyond it
    const QPointF target = edge.pointer;
    for (int step = 1; step <= 1000; ++step) {
      const double t = step / 1000.0;
      drag.Move(line, QPointF(300 + (target.x() - 300) * t, 108 + (target.y() - 108) * t), picture_600x1080);
      ASSERT_GT(line.pt_1.x, 0);
      ASSERT_LT(line.pt_1.x, 600);
      ASSERT_GT(line.pt_1.y, 0);
      ASSERT_LT(line.pt_1.y, 1080);
    }
    EXPECT_EQ(line.pt_1, edge.end) << "pointer at " << edge.pointer.x() << "," << edge.pointer.y();
  }
}

TEST(Goal_Line, MoveOutsideLeavesTheEndWhereItWas) {
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, QPointF(300, 108));
  ASSERT_TRUE(drag.Move(line, QPointF(250, 50), picture_600x1080));
  // far past the top: the whole move is refused, x does not slide along the edge
  EXPECT_FALSE(drag.Move(line, QPointF(200, -10), picture_600x1080));
  EXPECT_EQ(line.pt_1, (Goal_Point{250, 50}));
  EXPECT_TRUE(drag.End());
}

TEST(Goal_Line, DragRoundsHalvesToEven) {
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, QPointF(300.4, 108.5)); // down at (300, 108)
  ASSERT_EQ(drag.Drag_Handle(), 1);
  EXPECT_TRUE(drag.Move(line, QPointF(310.5, 111.5), picture_600x1080));
  EXPECT_EQ(line.pt_1, (Goal_Point{310, 112}));
}

// ---- the displaced copy ----

TEST(Goal_Line, DisplacedCopyMovesSideways) {
  EXPECT_EQ(Displaced_Goal_Line(line_600x1080, 5), (Goal_Line{{305, 108}, {305, 972}}));
  EXPECT_EQ(Displaced_Goal_Line(line_600x1080, -3), (Goal_Line{{297, 108}, {297, 972}}));
  EXPECT_EQ(Displaced_Goal_Line(line_600x1080, 0), line_600x1080);
}

TEST(Goal_Line, OffsetKeys) {
  EXPECT_TRUE(Is_Goal_Offset_Key(100, false));
  EXPECT_TRUE(Is_Goal_Offset_Key(102, false));
  EXPECT_FALSE(Is_Goal_Offset_Key(37, false)) << "arrows step the slider unless Alt is held";
  EXPECT_TRUE(Is_Goal_Offset_Key(37, true));
  EXPECT_TRUE(Is_Goal_Offset_Key(39, true));
  EXPECT_FALSE(Is_Goal_Offset_Key(38, true));
  EXPECT_FALSE(Is_Goal_Offset_Key(101, false));

  EXPECT_EQ(Goal_Offset_After_Key(0, 100), -1);
  EXPECT_EQ(Goal_Offset_After_Key(0, 37), -1);
  EXPECT_EQ(Goal_Offset_After_Key(-1, 102), 0);
  EXPECT_EQ(Goal_Offset_After_Key(4, 39), 5);
  EXPECT_EQ(Goal_Offset_After_Key(4, 65), 4);
  EXPECT_EQ(Goal_Offset_After_Key(32767, 102), 32767) << "stops at 16 bits";
  EXPECT_EQ(Goal_Offset_After_Key(-32768, 100), -32768);
}

// ---- the picture scaled to the screen ----

struct Display_Case {
  QSize picture;
  int max_height;
  QSize shown;
};
void PrintTo(const Display_Case &c, std::ostream *out) {
  *out << c.picture.width() << "x" << c.picture.height() << " in " << c.max_height;
}

class Review_Display : public testing::TestWithParam<Display_Case> {};

TEST_P(Review_Display, Size) {
  const Display_Case &c = GetParam();
  EXPECT_EQ(Review_Display_Size(c.picture, c.max_height), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, Review_Display,
                         testing::Values(Display_Case{{600, 1080}, 1080, {600, 1080}},
                                         Display_Case{{720, 576}, 1000, {720, 576}},
                                         // 1000 / (1080 / 600) = 555.6
                                         Display_Case{{600, 1080}, 1000, {556, 1000}},
                                         Display_Case{{1920, 1080}, 540, {960, 540}},
                                         // halves to even: 1.5 -> 2, 2.5 -> 2
                                         Display_Case{{3, 2}, 1, {2, 1}}, Display_Case{{5, 2}, 1, {2, 1}},
                                         // no height to fit into: shown as it is
                                         Display_Case{{600, 1080}, 0, {600, 1080}}, Display_Case{{0, 0}, 500, {0, 0}}));

TEST(Goal_Line, ScaledPictureKeepsTheZoneInPicturePixels) {
  const QSize shown = Review_Display_Size(picture_600x1080, 540); // half size
  ASSERT_EQ(shown, QSize(300, 540));
  const QPointF end_shown = Picture_To_Display(QPointF(300, 108), picture_600x1080, shown);
  EXPECT_EQ(end_shown, QPointF(150, 54));
  EXPECT_EQ(Display_To_Picture(end_shown, picture_600x1080, shown), QPointF(300, 108));
  // 5 shown pixels right of the end are 10 picture pixels: grabbed; 7 are 14: not
  const auto hit = [&](double dx) {
    return Goal_Handle_At(line_600x1080, Display_To_Picture(end_shown + QPointF(dx, 0), picture_600x1080, shown));
  };
  EXPECT_EQ(hit(5), 1);
  EXPECT_EQ(hit(7), 0);
  // a drag of 20 shown pixels moves the end 40 picture pixels
  Goal_Line line = line_600x1080;
  Goal_Line_Drag drag;
  drag.Begin(line, Display_To_Picture(end_shown, picture_600x1080, shown));
  EXPECT_TRUE(
      drag.Move(line, Display_To_Picture(end_shown + QPointF(20, 0), picture_600x1080, shown), picture_600x1080));
  EXPECT_EQ(line.pt_1, (Goal_Point{340, 108}));
}
} // namespace
