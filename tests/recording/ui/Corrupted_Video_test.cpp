// The "Corrupted video" picture with its texts, which need the font system of a GUI
// application: a record stored without picture shows blue with two red lines of 64-pixel
// text, centred in (10, 100)-(500, 400).

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/QK3_Fixture.h"
#include "recording/cls_VideoFile_handler.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct Red_Extent {
  int count = 0;
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

// Pixels that are mostly red (the text, antialiased edges included) within the rows given,
// x and y from the top; every other pixel must be the pure blue of the fill.
Red_Extent Red_Pixels(cDIBSection &dib, int from_row, int to_row, int &not_blue_or_red) {
  Red_Extent e;
  for (int y = from_row; y < to_row; ++y) {
    const std::uint8_t *row =
        dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine();
    for (int x = 0; x < dib.Width(); ++x) {
      const int b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
      if (r > 200 && b < 60 && g < 40) {
        ++e.count;
        e.left = std::min(e.left, x);
        e.right = std::max(e.right, x);
        e.top = std::min(e.top, y);
        e.bottom = std::max(e.bottom, y);
      } else if (!(g == 0 && std::abs(r + b - 255) <= 2)) { // blended edges lie between blue and red
        ++not_blue_or_red;
      }
    }
  }
  return e;
}

TEST(Corrupted_Video, A_Frame_Without_Picture_Shows_Blue_With_Two_Red_Lines_Of_Text) {
  Temp_AppData app;
  Scripted_Operator::Install();
  fixture::Heat heat;
  heat.width = 720;
  heat.height = 576;
  heat.slot = 1000;
  for (int i = 0; i < 2; ++i) {
    fixture::Frame f; // no JPEG: stored without picture
    f.mill = heat.start_pc_mill + 20 * i;
    f.delta = 20;
    heat.frames.push_back(f);
  }
  const QString path = app.File(QStringLiteral("without_picture.qk3"));
  fixture::Write(path, fixture::File_Of(heat));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  ASSERT_TRUE(h.Read_RGB_sample(2, true));
  EXPECT_FALSE(h.Bad_Record());
  cDIBSection &dib = h.Source_Bitmap();
  ASSERT_EQ(dib.Width(), 720);
  ASSERT_EQ(dib.Height(), 576);

  int stray = 0;
  // Above and below the text box and right of it: blue only.
  EXPECT_EQ(Red_Pixels(dib, 0, 100, stray).count, 0);
  EXPECT_EQ(Red_Pixels(dib, 400, 576, stray).count, 0);
  const Red_Extent text = Red_Pixels(dib, 100, 400, stray);
  EXPECT_EQ(stray, 0);
  const std::uint8_t *corner = dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(575) * dib.BytesPerScanLine();
  EXPECT_EQ(corner[0], 255);
  EXPECT_EQ(corner[1], 0);
  EXPECT_EQ(corner[2], 0);

  // Two lines of 64-pixel text from the top of the box, centred between x 10 and 500.
  ASSERT_GT(text.count, 2000);
  EXPECT_GE(text.left, 10);
  EXPECT_LE(text.right, 500);
  EXPECT_NEAR((text.left + text.right) / 2, 255, 12);
  EXPECT_GE(text.top, 100);
  EXPECT_LT(text.top, 125);
  EXPECT_GT(text.bottom, 100 + 64 + 30); // the second line
  EXPECT_LT(text.bottom, 100 + 2 * 80);
  // Each line holds text: the rows of the first line and of the second.
  int ignored = 0;
  EXPECT_GT(Red_Pixels(dib, 100, 164, ignored).count, 1000);
  EXPECT_GT(Red_Pixels(dib, 175, 240, ignored).count, 1000);
  EXPECT_GT(text.right - text.left, 300); // "Corrupted video" at 64 pixels is wide
}

} // namespace
