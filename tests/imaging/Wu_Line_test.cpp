#include "imaging/Wu_Line.h"
#include "imaging/cDIBSection.h"

#include <QImage>

#include <cctype>

#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Found by the test framework beside the type, so failures show the channels.
void PrintTo(const BGR_Colour &c, std::ostream *out) {
  *out << "(B " << int(c.blue) << ", G " << int(c.green) << ", R " << int(c.red) << ")";
}

namespace {
// Line colour and background chosen so that an even blend rounds one channel down to even
// (128.5 -> 128), one up (127.5 -> 128) and one up to even (103.5 -> 104).
constexpr BGR_Colour ink{255, 255, 7};
constexpr BGR_Colour old{2, 0, 200};
constexpr BGR_Colour half_mix{128, 128, 104};
// weight 0.25 towards the old pixel, and 0.75
constexpr BGR_Colour quarter_old{192, 191, 55};
constexpr BGR_Colour three_quarters_old{65, 64, 152};

struct Pixel {
  int x, y;
  BGR_Colour colour;
};

struct Line_Case {
  std::string name;
  int surface_width, surface_height;
  Wu_Point p1, p2;
  std::int16_t width;
  std::vector<Pixel> changed; // every other pixel keeps the background
};
void PrintTo(const Line_Case &c, std::ostream *out) { *out << c.name; }

const std::vector<Line_Case> &Line_Cases() {
  static const std::vector<Line_Case> cases = {
      // frac 0 in every column: the row above takes the full colour, the row below keeps its own
      {"horizontal",
       20,
       12,
       {10, 5},
       {14, 5},
       2,
       {{10, 4, ink},
        {11, 4, ink},
        {12, 4, ink},
        {13, 4, ink},
        {14, 4, ink},
        {10, 5, ink},
        {11, 5, ink},
        {12, 5, ink},
        {13, 5, ink},
        {14, 5, ink}}},
      // n = 4, m = 2: half steps at x = 1 and 3, whole steps at x = 0, 2, 4
      {"flat",
       8,
       16,
       {0, 10},
       {4, 12},
       2,
       {{0, 9, ink},
        {0, 10, ink},
        {1, 9, half_mix},
        {1, 10, ink},
        {1, 11, half_mix},
        {2, 10, ink},
        {2, 11, ink},
        {3, 10, half_mix},
        {3, 11, ink},
        {3, 12, half_mix},
        {4, 11, ink},
        {4, 12, ink}}},
      {"flat given backwards",
       8,
       16,
       {4, 12},
       {0, 10},
       2,
       {{0, 9, ink},
        {0, 10, ink},
        {1, 9, half_mix},
        {1, 10, ink},
        {1, 11, half_mix},
        {2, 10, ink},
        {2, 11, ink},
        {3, 10, half_mix},
        {3, 11, ink},
        {3, 12, half_mix},
        {4, 11, ink},
        {4, 12, ink}}},
      // quarter steps: the edge above gets 0.25 of the old pixel at f = .25, the edge below 0.75
      {"flat quarter steps",
       8,
       8,
       {0, 3},
       {4, 4},
       2,
       {{0, 2, ink},
        {0, 3, ink},
        {1, 2, quarter_old},
        {1, 3, ink},
        {1, 4, three_quarters_old},
        {2, 2, half_mix},
        {2, 3, ink},
        {2, 4, half_mix},
        {3, 2, three_quarters_old},
        {3, 3, ink},
        {3, 4, quarter_old},
        {4, 3, ink},
        {4, 4, ink}}},
      // the same walk with the roles of x and y exchanged
      {"steep",
       10,
       6,
       {5, 0},
       {7, 4},
       2,
       {{4, 0, ink},
        {5, 0, ink},
        {4, 1, half_mix},
        {5, 1, ink},
        {6, 1, half_mix},
        {5, 2, ink},
        {6, 2, ink},
        {5, 3, half_mix},
        {6, 3, ink},
        {7, 3, half_mix},
        {6, 4, ink},
        {7, 4, ink}}},
      {"steep given backwards",
       10,
       6,
       {7, 4},
       {5, 0},
       2,
       {{4, 0, ink},
        {5, 0, ink},
        {4, 1, half_mix},
        {5, 1, ink},
        {6, 1, half_mix},
        {5, 2, ink},
        {6, 2, ink},
        {5, 3, half_mix},
        {6, 3, ink},
        {7, 3, half_mix},
        {6, 4, ink},
        {7, 4, ink}}},
      // walked along y: the band lies left of the line; walked along x it would lie above it
      {"45 degrees",
       6,
       6,
       {1, 1},
       {4, 4},
       2,
       {{0, 1, ink}, {1, 1, ink}, {1, 2, ink}, {2, 2, ink}, {2, 3, ink}, {3, 3, ink}, {3, 4, ink}, {4, 4, ink}}},
      {"vertical",
       6,
       8,
       {3, 5},
       {3, 2},
       2,
       {{2, 2, ink}, {3, 2, ink}, {2, 3, ink}, {3, 3, ink}, {2, 4, ink}, {3, 4, ink}, {2, 5, ink}, {3, 5, ink}}},
      // width 1 (half 0, rest 1): the classic two-pixel Wu column
      {"width 1",
       8,
       8,
       {0, 3},
       {4, 4},
       1,
       {{0, 3, ink},
        {1, 3, quarter_old},
        {1, 4, three_quarters_old},
        {2, 3, half_mix},
        {2, 4, half_mix},
        {3, 3, three_quarters_old},
        {3, 4, quarter_old},
        {4, 4, ink}}},
      // width 3 (half 1, rest 2): two solid pixels between the edges
      {"width 3",
       8,
       8,
       {2, 3},
       {4, 3},
       3,
       {{2, 2, ink},
        {3, 2, ink},
        {4, 2, ink},
        {2, 3, ink},
        {3, 3, ink},
        {4, 3, ink},
        {2, 4, ink},
        {3, 4, ink},
        {4, 4, ink}}},
      {"starts left of the surface",
       6,
       4,
       {-3, 1},
       {2, 1},
       2,
       {{0, 0, ink}, {1, 0, ink}, {2, 0, ink}, {0, 1, ink}, {1, 1, ink}, {2, 1, ink}}},
      // the band's upper row lies above the top: only the centre row is drawn
      {"along the top edge", 4, 3, {0, 0}, {3, 0}, 2, {{0, 0, ink}, {1, 0, ink}, {2, 0, ink}, {3, 0, ink}}},
      {"ends below the surface", 4, 4, {1, 2}, {1, 9}, 2, {{0, 2, ink}, {1, 2, ink}, {0, 3, ink}, {1, 3, ink}}},
      {"the widest line there is",
       6,
       3,
       {-32768, 1},
       {32767, 1},
       2,
       {{0, 0, ink},
        {1, 0, ink},
        {2, 0, ink},
        {3, 0, ink},
        {4, 0, ink},
        {5, 0, ink},
        {0, 1, ink},
        {1, 1, ink},
        {2, 1, ink},
        {3, 1, ink},
        {4, 1, ink},
        {5, 1, ink}}},
      {"wholly outside", 6, 6, {-10, -10}, {-2, -3}, 2, {}},
      {"coinciding ends", 6, 6, {3, 3}, {3, 3}, 2, {}},
      {"no width", 6, 6, {1, 3}, {4, 3}, 0, {}},
  };
  return cases;
}

BGR_Colour Colour_Of(QRgb pixel) {
  return {static_cast<std::uint8_t>(qBlue(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
          static_cast<std::uint8_t>(qRed(pixel))};
}

// Compares an upright picture with the case, pixel by pixel.
void Expect_Pixels(const QImage &picture, const Line_Case &c) {
  ASSERT_EQ(picture.width(), c.surface_width);
  ASSERT_EQ(picture.height(), c.surface_height);
  std::map<std::pair<int, int>, BGR_Colour> expected;
  for (const Pixel &p : c.changed)
    expected[{p.x, p.y}] = p.colour;
  for (int y = 0; y < c.surface_height; ++y)
    for (int x = 0; x < c.surface_width; ++x) {
      const auto it = expected.find({x, y});
      EXPECT_EQ(Colour_Of(picture.pixel(x, y)), it == expected.end() ? old : it->second) << "at " << x << "," << y;
    }
}

class Wu_Line_Test : public testing::TestWithParam<Line_Case> {};

TEST_P(Wu_Line_Test, OnTheBitmap) {
  const Line_Case &c = GetParam();
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(c.surface_width, c.surface_height));
  dib.Fill_with_RGB(old.red | old.green << 8 | old.blue << 16);
  DIB_Wu_Surface surface(dib);
  Wu_Line(surface, c.p1, c.p2, ink, c.width);
  Expect_Pixels(dib.Image(), c);
}

TEST_P(Wu_Line_Test, OnAPicture) {
  const Line_Case &c = GetParam();
  for (const QImage::Format format :
       {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
    SCOPED_TRACE(format);
    QImage picture(c.surface_width, c.surface_height, format);
    picture.fill(QColor(old.red, old.green, old.blue));
    QImage_Wu_Surface surface(picture);
    Wu_Line(surface, c.p1, c.p2, ink, c.width);
    Expect_Pixels(picture, c);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Wu_Line_Test, testing::ValuesIn(Line_Cases()),
                         [](const testing::TestParamInfo<Line_Case> &param_info) {
                           std::string name = param_info.param.name;
                           for (char &ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch)))
                               ch = '_';
                           return name;
                         });

TEST(Wu_Line, BitmapBytesAreBlueGreenRedBottomUp) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 3));
  DIB_Wu_Surface surface(dib);
  // A vertical line at x = 1 puts its band in columns 0 and 1, rows 0 to 1 from the top.
  Wu_Line(surface, {1, 0}, {1, 1}, BGR_Colour{10, 20, 30}, 2);
  const std::uint8_t *bits = dib.DIBSectionBitsPtr();
  const std::int32_t row = dib.BytesPerScanLine();
  // The top line is the last stored row.
  const std::uint8_t *top = bits + 2 * row;
  EXPECT_EQ(top[0], 10);
  EXPECT_EQ(top[1], 20);
  EXPECT_EQ(top[2], 30);
  EXPECT_EQ(top[6], 0) << "column 2 is outside the band";
  EXPECT_EQ(bits[0], 0) << "the bottom line is untouched";
  EXPECT_EQ(bits[3 + 2], 0);
}

TEST(Wu_Line, BlendsWithWhatIsThere) {
  // The edge pixel mixes with the pixel as it is when the line reaches it, not with a background.
  QImage picture(8, 8, QImage::Format_RGB32);
  picture.fill(QColor(old.red, old.green, old.blue));
  picture.setPixel(1, 1, qRgb(100, 60, 40));
  QImage_Wu_Surface surface(picture);
  Wu_Line(surface, {0, 0}, {4, 2}, BGR_Colour{0, 0, 255}, 2);
  // x = 1: f = 0.5, c = 0; the pixel (1, 1) is the lower edge: half line, half what was there
  EXPECT_EQ(Colour_Of(picture.pixel(1, 1)), (BGR_Colour{20, 30, 178}));
}

TEST(Wu_Line, BlendWeights) {
  EXPECT_EQ(Wu_Blend(ink, old, 0.0f), ink);
  EXPECT_EQ(Wu_Blend(ink, old, 1.0f), old);
  EXPECT_EQ(Wu_Blend(ink, old, 0.5f), half_mix);
  EXPECT_EQ(Wu_Blend(BGR_Colour{255, 1, 3}, BGR_Colour{4, 0, 0}, 0.5f), (BGR_Colour{130, 0, 2}))
      << "129.5 -> 130, 0.5 -> 0, 1.5 -> 2";
}

TEST(Wu_Line, PalettePicturesAreLeftAlone) {
  QImage picture(4, 4, QImage::Format_Indexed8);
  picture.setColorCount(2);
  picture.setColor(0, qRgb(0, 0, 0));
  picture.setColor(1, qRgb(255, 255, 255));
  picture.fill(0);
  QImage_Wu_Surface surface(picture);
  EXPECT_EQ(surface.Width(), 0);
  Wu_Line(surface, {0, 1}, {3, 1}, ink, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(picture.pixelIndex(x, y), 0);
}

TEST(Wu_Line, BitmapWithoutPixelsIsNoSurface) {
  cDIBSection dib;
  DIB_Wu_Surface surface(dib);
  EXPECT_EQ(surface.Width(), 0);
  EXPECT_EQ(surface.Height(), 0);
  Wu_Line(surface, {0, 0}, {5, 5}, ink, 2); // nothing to draw on, and no crash
}
} // namespace
