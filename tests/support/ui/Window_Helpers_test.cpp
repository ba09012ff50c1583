#include "common/Scripted_Operator.h"
#include "support/ui/Keyboard_State.h"
#include "support/ui/Picture_Box.h"
#include "support/ui/Window_Helpers.h"

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {
// ---- Max_Font ----

TEST(Max_Font, ALargeBoxTakesTheLargestSize) {
  Picture_Box box;
  box.resize(900, 400);
  EXPECT_EQ(Max_Font(box, QStringLiteral("Dog")), 110);
  EXPECT_EQ(box.FontName(), QStringLiteral("Arial"));
  EXPECT_EQ(box.FontSize(), 110);
}

TEST(Max_Font, ATooSmallBoxGivesEight) {
  Picture_Box box;
  box.resize(20, 6);
  EXPECT_EQ(Max_Font(box, QStringLiteral("Greyhound")), 8);
  EXPECT_EQ(box.FontSize(), 8) << "the box is left at the size given back";
}

TEST(Max_Font, TheSizeFitsAndTheNextEvenSizeDoesNot) {
  Picture_Box box;
  box.Set_FontBold(true);
  box.resize(160, 40);
  const QString name = QStringLiteral("Swift Lightning");
  const int points = Max_Font(box, name);
  ASSERT_GT(points, 8);
  ASSERT_LT(points, 110);
  EXPECT_EQ(points % 2, 0);
  EXPECT_LT(box.TextWidth(name), 160);
  EXPECT_LT(box.TextHeight(name), 40);
  box.Set_FontSize(points + 2);
  EXPECT_TRUE(box.TextWidth(name) >= 160 || box.TextHeight(name) >= 40);
  EXPECT_TRUE(box.FontBold()) << "boldness is the caller's";
}

TEST(Max_Font, ArialIsAFontThatExists) {
  // Without it every size would be measured in some fallback face.
  QFont arial(QStringLiteral("Arial"));
  EXPECT_FALSE(QFontInfo(arial).family().isEmpty());
}

// ---- windows ----

TEST(Enable_Close_Button, NoWindowGives255) { EXPECT_EQ(Enable_Close_Button(nullptr, false), 255); }

TEST(Enable_Close_Button, DisablesAndEnablesTheCloseCommand) {
  QWidget window;
  window.setGeometry(100, 120, 300, 200);
  window.show();
  EXPECT_TRUE(Close_Button_Enabled(&window));
  EXPECT_EQ(Enable_Close_Button(&window, false), 0);
  EXPECT_FALSE(Close_Button_Enabled(&window));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.size(), QSize(300, 200));
  EXPECT_EQ(Enable_Close_Button(&window, false), 0) << "twice is the same as once";
  EXPECT_EQ(Enable_Close_Button(&window, true), 0);
  EXPECT_TRUE(Close_Button_Enabled(&window));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST(Enable_Close_Button, TheProgramCanStillCloseTheWindow) {
  QWidget window;
  window.show();
  QWidget *child = new QWidget(&window);
  ASSERT_EQ(Enable_Close_Button(child, false), 0) << "a control stands for its window";
  EXPECT_FALSE(Close_Button_Enabled(&window));
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
}

TEST(Make_Top_Most, StaysWhereItIsAndOnTop) {
  QWidget window;
  window.setGeometry(50, 60, 320, 240);
  window.show();
  const QRect before = window.geometry();
  Make_Top_Most(&window);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), before);
  Make_Top_Most(nullptr);
}

TEST(Edges, RightAndBottom) {
  QWidget parent;
  QWidget control(&parent);
  control.setGeometry(10, 20, 30, 40);
  EXPECT_EQ(Right_Edge(control), 40);
  EXPECT_EQ(Bottom_Edge(control), 60);
}

TEST(Twips, AnInchIsTheLogicalResolution) {
  QWidget window;
  EXPECT_EQ(Twips_To_Pixels_X(window, 1440), window.logicalDpiX());
  EXPECT_EQ(Twips_To_Pixels_Y(window, 720), (window.logicalDpiY() + 1) / 2);
  EXPECT_EQ(Twips_To_Pixels_X(window, 0), 0);
}

TEST(Copy_Screen, PutsAnImageOnTheClipboard) {
  QWidget window;
  window.resize(200, 100);
  window.show();
  QGuiApplication::clipboard()->clear();
  Copy_Screen();
  EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
}
} // namespace
