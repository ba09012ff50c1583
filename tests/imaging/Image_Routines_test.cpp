#include "imaging/Image_Routines.h"
#include "imaging/cDIBSection.h"

#include <QImage>
#include <QPainter>

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {
// A bottom-up bitmap addressed in picture coordinates (y 0 = top line as shown).
struct Bitmap {
  std::int32_t width, height;
  std::vector<std::uint8_t> bytes;
  Bitmap(std::int32_t w, std::int32_t h, std::uint8_t fill = 0)
      : width(w), height(h), bytes(static_cast<std::size_t>(DIB_Image_Bytes(w, h)), fill) {}
  std::uint8_t *Pixel(std::int32_t x, std::int32_t y) {
    return bytes.data() + (height - 1 - y) * DIB_Row_Bytes(width) + x * 3;
  }
  void Set(std::int32_t x, std::int32_t y, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    std::uint8_t *p = Pixel(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
  // Every pixel a distinct colour from its position, so any misplaced pixel shows.
  void Fill_Positions() {
    for (std::int32_t y = 0; y < height; ++y)
      for (std::int32_t x = 0; x < width; ++x)
        Set(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x + y));
  }
};

TEST(Image_Routines, LayoutSizes) {
  EXPECT_EQ(DIB_Row_Bytes(720), 2160);
  EXPECT_EQ(DIB_Row_Bytes(5), 16);
  EXPECT_EQ(DIB_Image_Bytes(720, 576), 1244160);
  EXPECT_EQ(DIB_Image_Bytes(576, 720), 1244160) << "turned 720x576 frames fit the same buffer";
  EXPECT_EQ(DIB_Image_Bytes(0, 10), 0);
}

// ---- field split ----

// Lines of a 1-wide picture whose line y has grey value 10 * y.
Bitmap Ramp(std::int32_t height) {
  Bitmap b(1, height);
  for (std::int32_t y = 0; y < height; ++y)
    b.Set(0, y, static_cast<std::uint8_t>(10 * y), 0, 0);
  return b;
}

struct Field_Case {
  std::int32_t height, field;
  std::vector<int> expected; // blue of each picture line, top first
};

class Deinterlace_Test : public testing::TestWithParam<Field_Case> {};

TEST_P(Deinterlace_Test, KeepsOwnLinesAndInterpolatesTheOthers) {
  const Field_Case c = GetParam();
  Bitmap source = Ramp(c.height);
  const std::vector<std::uint8_t> before = source.bytes;
  Bitmap target(1, c.height, 0xEE);
  ASSERT_TRUE(deinterlaceFrame2(source.bytes.data(), target.bytes.data(), 1, c.height, c.field));
  for (std::int32_t y = 0; y < c.height; ++y)
    EXPECT_EQ(target.Pixel(0, y)[0], c.expected[static_cast<std::size_t>(y)]) << "line " << y;
  EXPECT_EQ(source.bytes, before) << "the source stays as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Deinterlace_Test,
    testing::Values(Field_Case{6, 1, {0, 10, 20, 30, 40, 40}},  // field 1 owns the top line; bottom copied
                    Field_Case{6, 2, {10, 10, 20, 30, 40, 50}}, // field 2: top line copied from line 2
                    Field_Case{5, 1, {0, 10, 20, 30, 40}},      // odd height: field 1 owns both edges
                    Field_Case{5, 2, {10, 10, 20, 30, 30}},     // field 2 owns neither edge
                    Field_Case{1, 2, {0}},                      // no second field: the one line
                    Field_Case{2, 1, {0, 0}}, Field_Case{2, 2, {10, 10}}));

TEST(Image_Routines, InterpolationRoundsHalfUpPerByte) {
  Bitmap source(2, 3);
  source.Set(0, 0, 1, 255, 0);
  source.Set(0, 2, 2, 254, 255);
  Bitmap target(2, 3);
  ASSERT_TRUE(deinterlaceFrame2(source.bytes.data(), target.bytes.data(), 2, 3, 1));
  const std::uint8_t *p = target.Pixel(0, 1);
  EXPECT_EQ(p[0], 2);   // (1 + 2) / 2 = 1.5
  EXPECT_EQ(p[1], 255); // 254.5
  EXPECT_EQ(p[2], 128); // 127.5
}

// Ties the field numbering to the picture as the program draws it.
TEST(Image_Routines, FieldOneHoldsTheTopLineOfTheDrawnPicture) {
  cDIBSection frame;
  ASSERT_TRUE(frame.Create(8, 6));
  {
    cDIBSection::Drawing drawing(frame);
    drawing.Painter().fillRect(0, 0, 8, 1, Qt::red); // the top line only
  }
  cDIBSection field;
  ASSERT_TRUE(field.Create(8, 6));
  ASSERT_TRUE(deinterlaceFrame2(frame.DIBSectionBitsPtr(), field.DIBSectionBitsPtr(), 8, 6, 1));
  QImage shown = field.Image();
  EXPECT_EQ(shown.pixelColor(3, 0), QColor(Qt::red));
  EXPECT_EQ(shown.pixelColor(3, 1).red(), 128) << "line 2 mixes the red top line and the black line 3";
  ASSERT_TRUE(deinterlaceFrame2(frame.DIBSectionBitsPtr(), field.DIBSectionBitsPtr(), 8, 6, 2));
  EXPECT_EQ(field.Image().pixelColor(3, 0), QColor(Qt::black)) << "field 2 does not see the top line";
}

TEST(Image_Routines, RefusesUnusableArguments) {
  Bitmap a(4, 4), b(4, 4);
  EXPECT_FALSE(deinterlaceFrame2(a.bytes.data(), b.bytes.data(), 4, 4, 0));
  EXPECT_FALSE(deinterlaceFrame2(a.bytes.data(), b.bytes.data(), 4, 4, 3));
  EXPECT_FALSE(deinterlaceFrame2(a.bytes.data(), a.bytes.data(), 4, 4, 1));
  EXPECT_FALSE(deinterlaceFrame2(nullptr, b.bytes.data(), 4, 4, 1));
  EXPECT_FALSE(deinterlaceFrame2(a.bytes.data(), b.bytes.data(), 0, 4, 1));
  EXPECT_FALSE(Rotate90(a.bytes.data(), b.bytes.data(), 4, -1, 0));
  EXPECT_FALSE(Rotate90(a.bytes.data(), a.bytes.data(), 4, 4, 0));
  EXPECT_FALSE(ABlend(b.bytes.data(), a.bytes.data(), nullptr, 4, 4, 128));
}

// ---- quarter turn ----

struct Turn_Case {
  std::int32_t width, height;
};
class Rotate_Test : public testing::TestWithParam<Turn_Case> {};

TEST_P(Rotate_Test, TurnsClockwise) {
  const Turn_Case c = GetParam();
  Bitmap source(c.width, c.height);
  source.Fill_Positions();
  const std::vector<std::uint8_t> before = source.bytes;
  Bitmap target(c.height, c.width, 0xEE);
  ASSERT_TRUE(Rotate90(source.bytes.data(), target.bytes.data(), c.width, c.height, 0));
  for (std::int32_t y = 0; y < c.width; ++y)
    for (std::int32_t x = 0; x < c.height; ++x)
      ASSERT_EQ(0, std::memcmp(target.Pixel(x, y), source.Pixel(y, c.height - 1 - x), 3)) << x << "," << y;
  const std::int64_t row = DIB_Row_Bytes(c.height);
  for (std::int32_t r = 0; r < c.width; ++r)
    for (std::int64_t pad = c.height * 3; pad < row; ++pad)
      EXPECT_EQ(target.bytes[static_cast<std::size_t>(r * row + pad)], 0) << "padding is cleared";
  EXPECT_EQ(source.bytes, before);
}

INSTANTIATE_TEST_SUITE_P(Cases, Rotate_Test,
                         testing::Values(Turn_Case{4, 3}, Turn_Case{5, 2}, Turn_Case{1, 7}, Turn_Case{7, 1},
                                         Turn_Case{16, 9}));

// A camera lying on its right side shows an upright post lying horizontal with its top at
// the left; turned, the post stands with its top up.
TEST(Image_Routines, SetsASidewaysCameraUpright) {
  cDIBSection sideways;
  ASSERT_TRUE(sideways.Create(10, 4));
  {
    cDIBSection::Drawing drawing(sideways);
    drawing.Painter().fillRect(0, 1, 10, 2, Qt::white); // the post, lying
    drawing.Painter().fillRect(0, 1, 2, 2, Qt::red);    // its top, at the left
  }
  cDIBSection upright;
  ASSERT_TRUE(upright.Create(4, 10));
  ASSERT_TRUE(Rotate90(sideways.DIBSectionBitsPtr(), upright.DIBSectionBitsPtr(), 10, 4, 0));
  const QImage shown = upright.Image();
  EXPECT_EQ(shown.pixelColor(1, 0), QColor(Qt::red)) << "the top of the post is at the top";
  EXPECT_EQ(shown.pixelColor(1, 9), QColor(Qt::white));
  EXPECT_EQ(shown.pixelColor(0, 5), QColor(Qt::black));
}

// ---- blend and version ----

struct Blend_Case {
  std::int16_t weight;
  int expected; // of first byte 200 and second byte 100
};
class Blend_Test : public testing::TestWithParam<Blend_Case> {};

TEST_P(Blend_Test, WeightsTheFirstPictureIn256ths) {
  const Blend_Case c = GetParam();
  Bitmap first(3, 2, 200), second(3, 2, 100), target(3, 2);
  ASSERT_TRUE(ABlend(target.bytes.data(), first.bytes.data(), second.bytes.data(), 3, 2, c.weight));
  for (std::uint8_t byte : target.bytes)
    ASSERT_EQ(byte, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Blend_Test,
                         testing::Values(Blend_Case{256, 200}, Blend_Case{0, 100}, Blend_Case{128, 150},
                                         Blend_Case{64, 125}, Blend_Case{1, 100}, // 100.39
                                         Blend_Case{3, 101},                      // 101.17
                                         Blend_Case{-5, 100}, Blend_Case{1000, 200}));

TEST(Image_Routines, BlendIntoOneOfItsSources) {
  Bitmap first(2, 2, 40), second(2, 2, 20);
  ASSERT_TRUE(ABlend(first.bytes.data(), first.bytes.data(), second.bytes.data(), 2, 2, 128));
  EXPECT_EQ(first.bytes.front(), 30);
}

TEST(Image_Routines, VersionTextFillsSixtyFourBytes) {
  const char *version = BlendVersion();
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version, "Lurcher image routines 1.0");
  char copy[Blend_Version_Bytes];
  std::memcpy(copy, version, sizeof copy); // the About window copies this much
  EXPECT_EQ(copy[Blend_Version_Bytes - 1], '\0');
}
} // namespace
