// The bitmap drawn onto a picture box, as the review shows frames.
#include "common/Scripted_Operator.h"
#include "imaging/cDIBSection.h"
#include "support/ui/Picture_Box.h"

#include <gtest/gtest.h>

namespace {
const QColor top_left(200, 0, 0), top_right(0, 200, 0), bottom_left(0, 0, 200), bottom_right(200, 200, 0);

// A 2 x 2 picture of four colours, drawn the right way up.
cDIBSection Quarters() {
  cDIBSection dib;
  dib.Create(2, 2);
  cDIBSection::Drawing drawing(dib);
  QPainter &p = drawing.Painter();
  p.fillRect(0, 0, 1, 1, top_left);
  p.fillRect(1, 0, 1, 1, top_right);
  p.fillRect(0, 1, 1, 1, bottom_left);
  p.fillRect(1, 1, 1, 1, bottom_right);
  return dib;
}

class Picture_Box_Target : public testing::Test {
protected:
  void SetUp() override {
    Scripted_Operator::Install();
    box.resize(40, 20);
    box.Set_BackColor(Qt::white);
    box.Cls();
  }
  Picture_Box box;
  cDIBSection dib = Quarters();
};

TEST_F(Picture_Box_Target, DrawDib2FillsTheWholeBox) {
  ASSERT_TRUE(dib.DIB_DrawDib2(box, 0, 0, 2, 2));
  EXPECT_EQ(box.Point(0, 0), top_left);
  EXPECT_EQ(box.Point(19, 9), top_left);
  EXPECT_EQ(box.Point(20, 0), top_right);
  EXPECT_EQ(box.Point(39, 9), top_right);
  EXPECT_EQ(box.Point(0, 10), bottom_left);
  EXPECT_EQ(box.Point(39, 19), bottom_right);
}

TEST_F(Picture_Box_Target, DrawDib2OfTheLowerRowMeasuresFromTheTop) {
  ASSERT_TRUE(dib.DIB_DrawDib2(box, 1, 0, 2, 1));
  EXPECT_EQ(box.Point(5, 2), bottom_left);
  EXPECT_EQ(box.Point(35, 17), bottom_right);
}

TEST_F(Picture_Box_Target, PaintPictureScalesIntoItsRectangle) {
  ASSERT_TRUE(dib.DIB_PaintPicture(box, 10, 0, 20, 20, 0, 0, 0));
  EXPECT_EQ(box.Point(5, 5), QColor(Qt::white));
  EXPECT_EQ(box.Point(12, 2), top_left);
  EXPECT_EQ(box.Point(27, 2), top_right);
  EXPECT_EQ(box.Point(12, 17), bottom_left);
  EXPECT_EQ(box.Point(27, 17), bottom_right);
  EXPECT_EQ(box.Point(35, 5), QColor(Qt::white));
}

TEST_F(Picture_Box_Target, TheDrawnFrameIsWhatTheBoxShows) {
  box.show();
  ASSERT_TRUE(dib.DIB_DrawDib2(box, 0, 0, 2, 2));
  const QImage shown = box.grab().toImage();
  EXPECT_EQ(shown.pixelColor(30, 15), bottom_right);
}
} // namespace
