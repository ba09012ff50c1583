#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "imaging/cDIBSection.h"
#include "support/Error_Handler.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <ostream>

namespace {
// ---- sizes ----

struct Size_Case {
  std::int32_t width, height;
  bool created;
  std::int32_t bytes_per_line, size_image;
};
void PrintTo(const Size_Case &c, std::ostream *out) { *out << c.width << "x" << c.height; }

class DIB_Size_Test : public testing::TestWithParam<Size_Case> {};

TEST_P(DIB_Size_Test, HeaderAndPixels) {
  const Size_Case c = GetParam();
  cDIBSection dib;
  EXPECT_EQ(dib.Create(c.width, c.height), c.created);
  EXPECT_EQ(dib.Created(), c.created);
  EXPECT_EQ(dib.Width(), c.width) << "the header keeps the requested size";
  EXPECT_EQ(dib.Height(), c.height);
  EXPECT_EQ(dib.BytesPerScanLine(), c.bytes_per_line);
  EXPECT_EQ(dib.SizeImage(), c.size_image);
  EXPECT_EQ(dib.DIBSectionBitsPtr() != nullptr, c.created);
}

INSTANTIATE_TEST_SUITE_P(Cases, DIB_Size_Test,
                         testing::Values(Size_Case{720, 576, true, 2160, 1244160}, Size_Case{721, 1, true, 2164, 2164},
                                         Size_Case{1, 1, true, 4, 4}, Size_Case{0, 0, false, 0, 0},
                                         Size_Case{0, 10, false, 0, 0},
                                         // larger than a 32-bit size: refused, not wrapped
                                         Size_Case{32768, 32768, false, 98304, 0}));

TEST(cDIBSection, CreateReplacesAndClearUpReleases) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  dib.Fill_with_RGB(0xFFFFFF);
  ASSERT_TRUE(dib.Create(2, 3));
  EXPECT_EQ(dib.SizeImage(), 24);
  EXPECT_EQ(dib.DIBSectionBitsPtr()[0], 0) << "a new bitmap starts black";
  EXPECT_FALSE(dib.Create(0, 0));
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr) << "a refused size keeps no pixels";
  ASSERT_TRUE(dib.Create(2, 2));
  dib.ClearUp();
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_TRUE(dib.Image().isNull());
}

// ---- colours and orientation ----

struct Fill_Case {
  std::int32_t colour;
  std::uint8_t blue, green, red;
};
void PrintTo(const Fill_Case &c, std::ostream *out) { *out << std::hex << "0x" << c.colour; }

class DIB_Fill_Test : public testing::TestWithParam<Fill_Case> {};

TEST_P(DIB_Fill_Test, BytesAreBlueGreenRedAndPaddingStaysZero) {
  const Fill_Case c = GetParam();
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 2)); // 9 bytes a row, 3 of them padding
  dib.Fill_with_RGB(c.colour);
  const std::uint8_t *bits = dib.DIBSectionBitsPtr();
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 3; ++x) {
      const std::uint8_t *p = bits + row * 12 + 3 * x;
      EXPECT_EQ(p[0], c.blue);
      EXPECT_EQ(p[1], c.green);
      EXPECT_EQ(p[2], c.red);
    }
    for (int pad = 9; pad < 12; ++pad)
      EXPECT_EQ(bits[row * 12 + pad], 0);
  }
  EXPECT_EQ(dib.Image().pixelColor(2, 1), QColor(c.red, c.green, c.blue));
}

INSTANTIATE_TEST_SUITE_P(Cases, DIB_Fill_Test,
                         testing::Values(Fill_Case{255, 0, 0, 255}, Fill_Case{0x123456, 0x12, 0x34, 0x56},
                                         Fill_Case{0xFF0000, 255, 0, 0}));

// A picture whose every pixel has its own colour: red = 40 x, green = 40 y.
cDIBSection Numbered(std::int32_t width, std::int32_t height) {
  cDIBSection dib;
  dib.Create(width, height);
  cDIBSection::Drawing drawing(dib);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      drawing.Painter().fillRect(x, y, 1, 1, QColor(40 * x, 40 * y, 200));
  return dib;
}

QColor Numbered_Colour(int x, int y) { return QColor(40 * x, 40 * y, 200); }

TEST(cDIBSection, TopLeftOfThePictureIsTheLastStoredRow) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(5, 3));
  {
    cDIBSection::Drawing drawing(dib);
    drawing.Painter().fillRect(0, 0, 1, 1, Qt::red);
    EXPECT_EQ(dib.DIBSectionBitsPtr()[2 * 16 + 2], 0) << "the pixels change when the drawing finishes";
  }
  const std::uint8_t *last_row = dib.DIBSectionBitsPtr() + 2 * dib.BytesPerScanLine();
  EXPECT_EQ(last_row[0], 0);
  EXPECT_EQ(last_row[1], 0);
  EXPECT_EQ(last_row[2], 255);
  EXPECT_EQ(dib.DIBSectionBitsPtr()[2], 0) << "the first stored row is the bottom of the picture";
  EXPECT_EQ(dib.Image().pixelColor(0, 0), QColor(Qt::red));
}

TEST(cDIBSection, ImageOfAPartIsCutToThePicture) {
  const cDIBSection dib = Numbered(4, 3);
  const QImage part = dib.Image(QRect(2, 1, 5, 5));
  ASSERT_EQ(part.size(), QSize(2, 2));
  EXPECT_EQ(part.pixelColor(0, 0), Numbered_Colour(2, 1));
  EXPECT_EQ(part.pixelColor(1, 1), Numbered_Colour(3, 2));
  EXPECT_TRUE(dib.Image(QRect(10, 10, 2, 2)).isNull());
}

TEST(cDIBSection, LinesAndFillsMeetInTheStoredRows) {
  // Lines and filled areas must land on the same rows once turned the stored way round.
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(6, 6));
  {
    cDIBSection::Drawing drawing(dib);
    drawing.Painter().fillRect(0, 2, 3, 1, Qt::blue);
    drawing.Painter().setPen(Qt::green);
    drawing.Painter().drawLine(3, 2, 5, 2);
  }
  const QImage picture = dib.Image();
  for (int x = 0; x < 6; ++x) {
    EXPECT_NE(picture.pixelColor(x, 2), QColor(Qt::black)) << x;
    EXPECT_EQ(picture.pixelColor(x, 1), QColor(Qt::black)) << x;
    EXPECT_EQ(picture.pixelColor(x, 3), QColor(Qt::black)) << x;
  }
}

TEST(cDIBSection, DrawingIntoABitmapRecreatedAtAnotherSizeIsDropped) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  cDIBSection::Drawing drawing(dib);
  drawing.Painter().fillRect(0, 0, 4, 4, Qt::white);
  ASSERT_TRUE(dib.Create(2, 2));
  drawing.Finish();
  EXPECT_EQ(dib.Image().pixelColor(0, 0), QColor(Qt::black));
}

// ---- scaled drawing ----

// A target that records what reaches it.
class Image_Surface : public Draw_Surface {
public:
  Image_Surface(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    painter_.begin(&image_);
  }
  QPainter &Painter() override {
    ++painter_calls_;
    if (on_painter_)
      on_painter_();
    return painter_;
  }
  std::int32_t ScaleWidth() const override { return image_.width(); }
  std::int32_t ScaleHeight() const override { return image_.height(); }
  QImage Result() {
    painter_.end();
    return image_;
  }
  void Stop_Painting() { painter_.end(); }

  std::function<void()> on_painter_;
  int painter_calls_ = 0;

private:
  QImage image_;
  QPainter painter_;
};

TEST(DIB_PaintPicture, DrawsAtItsOwnSizeOrScaled) {
  const cDIBSection source = Numbered(2, 2);
  cDIBSection dib = Numbered(2, 2);
  Image_Surface target(12, 8);
  EXPECT_TRUE(dib.DIB_PaintPicture(target, 1, 1, -1, -1, 0, 0, 0));
  EXPECT_TRUE(dib.DIB_PaintPicture(target, 4, 0, 8, 8, 0, 0, 0));
  const QImage result = target.Result();
  EXPECT_EQ(result.pixelColor(1, 1), Numbered_Colour(0, 0));
  EXPECT_EQ(result.pixelColor(2, 2), Numbered_Colour(1, 1));
  EXPECT_EQ(result.pixelColor(3, 3), QColor(Qt::white)) << "a negative size is the picture's own";
  EXPECT_EQ(result.pixelColor(5, 1), Numbered_Colour(0, 0));
  EXPECT_EQ(result.pixelColor(10, 1), Numbered_Colour(1, 0));
  EXPECT_EQ(result.pixelColor(5, 6), Numbered_Colour(0, 1));
  EXPECT_EQ(result.pixelColor(10, 6), Numbered_Colour(1, 1));
}

TEST(DIB_PaintPicture, ASourceBeyondThePictureDrawsOnlyWhatExists) {
  cDIBSection dib = Numbered(4, 2);
  Image_Surface target(8, 4);
  // The source has the picture's width from x = 2: its right half lies outside.
  EXPECT_TRUE(dib.DIB_PaintPicture(target, 0, 0, 8, 4, 2, 0, 0));
  const QImage result = target.Result();
  EXPECT_EQ(result.pixelColor(0, 0), Numbered_Colour(2, 0));
  EXPECT_EQ(result.pixelColor(3, 3), Numbered_Colour(3, 1));
  EXPECT_EQ(result.pixelColor(5, 1), QColor(Qt::white));
}

TEST(DIB_PaintPicture, WithoutABitmapDrawsNothingQuietly) {
  Scripted_Operator::Install();
  cDIBSection dib;
  Image_Surface target(4, 4);
  EXPECT_FALSE(dib.DIB_PaintPicture(target, 0, 0, -1, -1, 0, 0, 0));
}

TEST(DIB_PaintPicture, ATargetThatCannotBeDrawnOnShowsTheMessage) {
  auto &op = Scripted_Operator::Install();
  op.Answer(Msg_Result::OK);
  cDIBSection dib = Numbered(2, 2);
  QPainter idle;
  EXPECT_FALSE(dib.DIB_PaintPicture(idle, 0, 0, -1, -1, 0, 0, 0));
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("DIB_paintpicture error")});
}

class Recorded_Errors : public Error_Presenter {
public:
  Recorded_Errors() { Set_Error_Presenter(this); }
  ~Recorded_Errors() override { Set_Error_Presenter(nullptr); }
  Recorded_Errors(const Recorded_Errors &) = delete;
  Recorded_Errors &operator=(const Recorded_Errors &) = delete;
  void Present_Error(const QStringList &report_lines) override { reports.push_back(report_lines); }
  std::vector<QStringList> reports;
};

TEST(DIB_DrawDib2, ScalesTheSourceRectangleOntoTheWholeTarget) {
  cDIBSection dib = Numbered(4, 4);
  Image_Surface target(8, 6);
  // top 1, left 2, two pixels wide and one high
  EXPECT_TRUE(dib.DIB_DrawDib2(target, 1, 2, 2, 1));
  const QImage result = target.Result();
  EXPECT_EQ(result.pixelColor(0, 0), Numbered_Colour(2, 1));
  EXPECT_EQ(result.pixelColor(3, 5), Numbered_Colour(2, 1));
  EXPECT_EQ(result.pixelColor(4, 0), Numbered_Colour(3, 1));
  EXPECT_EQ(result.pixelColor(7, 5), Numbered_Colour(3, 1));
}

TEST(DIB_DrawDib2, AnEmptySourceDrawsNothing) {
  cDIBSection dib = Numbered(4, 4);
  Image_Surface target(4, 4);
  EXPECT_FALSE(dib.DIB_DrawDib2(target, 0, 0, 0, 4));
  EXPECT_FALSE(dib.DIB_DrawDib2(target, 0, 0, -2, 4));
  EXPECT_FALSE(dib.DIB_DrawDib2(target, 10, 10, 2, 2));
  EXPECT_EQ(target.Result().pixelColor(0, 0), QColor(Qt::white));
}

TEST(DIB_DrawDib2, ACallDuringADrawReturnsAtOnce) {
  cDIBSection dib = Numbered(2, 2);
  Image_Surface target(4, 4);
  bool inner_drew = true;
  target.on_painter_ = [&] {
    if (target.painter_calls_ == 1)
      inner_drew = dib.DIB_DrawDib2(target, 0, 0, 2, 2); // a redraw from events processed meanwhile
  };
  EXPECT_TRUE(dib.DIB_DrawDib2(target, 0, 0, 2, 2));
  EXPECT_FALSE(inner_drew);
  EXPECT_EQ(target.painter_calls_, 1) << "the nested call must not reach the target";
  EXPECT_TRUE(dib.DIB_DrawDib2(target, 0, 0, 2, 2)) << "the guard is released afterwards";
}

TEST(DIB_DrawDib2, AFailureIsReportedAndReleasesTheGuard) {
  Temp_AppData appdata;
  Recorded_Errors errors;
  cDIBSection dib = Numbered(2, 2);
  Image_Surface target(4, 4);
  target.Stop_Painting();
  EXPECT_FALSE(dib.DIB_DrawDib2(target, 0, 0, 2, 2));
  ASSERT_EQ(errors.reports.size(), 1u);
  EXPECT_TRUE(
      errors.reports[0].join(QLatin1Char('\n')).contains(QStringLiteral("DIB_DrawDib2 of Class Module cDIBSection")));
  Image_Surface working(4, 4);
  EXPECT_TRUE(dib.DIB_DrawDib2(working, 0, 0, 2, 2));
}
} // namespace
