#include "common/Scripted_Operator.h"
#include "imaging/cDIBSection.h"
#include "recording/mIntelJPEGLibrary.h"
#include "support/Failure.h"

#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <vector>

namespace {
struct BGR {
  int b, g, r;
};

// Bitmap rows are stored bottom-up: row 0 of the memory is the bottom of the picture.
std::uint8_t *Pixel(cDIBSection &dib, int x, int y_from_top) {
  const int row = dib.Height() - 1 - y_from_top;
  return dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(row) * dib.BytesPerScanLine() + 3 * x;
}

BGR Read(cDIBSection &dib, int x, int y_from_top) {
  const std::uint8_t *p = Pixel(dib, x, y_from_top);
  return {p[0], p[1], p[2]};
}

// A smooth test frame: horizontal and vertical ramps, a red band along the top.
cDIBSection Test_Frame(int width, int height) {
  cDIBSection dib;
  EXPECT_TRUE(dib.Create(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t *p = Pixel(dib, x, y);
      const bool top_band = y < 16;
      p[0] = top_band ? 0 : static_cast<std::uint8_t>(255 * x / width);
      p[1] = top_band ? 0 : static_cast<std::uint8_t>(255 * y / height);
      p[2] = top_band ? 255 : 128;
    }
  return dib;
}

std::vector<std::uint8_t> Encode(const cDIBSection &dib, int quality) {
  std::vector<std::uint8_t> out(JPEG_Output_Capacity);
  std::int32_t size = JPEG_Output_Capacity;
  EXPECT_TRUE(Encode_DIB_To_JPG(dib, out.data(), size, quality));
  out.resize(static_cast<size_t>(size));
  return out;
}

double Mean_Abs_Difference(cDIBSection &a, cDIBSection &b) {
  long long sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const BGR p = Read(a, x, y), q = Read(b, x, y);
      sum += std::abs(p.b - q.b) + std::abs(p.g - q.g) + std::abs(p.r - q.r);
    }
  return static_cast<double>(sum) / (3.0 * a.Width() * a.Height());
}

int Failure_Of(const std::function<void()> &call, QString *text = nullptr) {
  try {
    call();
  } catch (const Lurcher_Failure &f) {
    if (text)
      *text = f.Description();
    return f.Number();
  }
  return 0;
}

class JPEG_Round_Trip : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(JPEG_Round_Trip, KeepsThePictureAndItsOrientation) {
  const auto [width, height] = GetParam();
  cDIBSection frame = Test_Frame(width, height);
  const std::vector<std::uint8_t> jpeg = Encode(frame, 80);
  ASSERT_GT(jpeg.size(), 2u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);

  cDIBSection back;
  ASSERT_TRUE(Decode_JPG_Buffer(back, jpeg.data(), static_cast<std::int32_t>(jpeg.size())));
  ASSERT_EQ(back.Width(), width);
  ASSERT_EQ(back.Height(), height);
  EXPECT_LT(Mean_Abs_Difference(frame, back), 4.0);
  // The red band stays at the top, the ramp keeps its direction.
  const BGR top = Read(back, width / 2, 4);
  EXPECT_GT(top.r, 200);
  EXPECT_LT(top.g, 50);
  const BGR bottom = Read(back, width / 2, height - 2);
  EXPECT_GT(bottom.g, 200);
  EXPECT_LT(Read(back, 0, height / 2).b + 50, Read(back, width - 1, height / 2).b);
}

// Odd widths leave padding at the end of each row; the codec must step rows by the stride.
INSTANTIATE_TEST_SUITE_P(Sizes, JPEG_Round_Trip,
                         testing::Values(std::pair{64, 48}, std::pair{33, 40}, std::pair{101, 37}, std::pair{400, 880},
                                         std::pair{13, 41}));

TEST(JPEG_Decode, GreyJpegComesOutGreyInThreeChannels) {
  // A one-channel JPEG made with the library directly: dark on the left, light on the right.
  const int width = 40, height = 24;
  std::vector<unsigned char> grey(static_cast<size_t>(width * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      grey[static_cast<size_t>(y * width + x)] = x < width / 2 ? 40 : 200;
  tjhandle handle = tjInitCompress();
  unsigned char *jpeg = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(handle, grey.data(), width, width, height, TJPF_GRAY, &jpeg, &size, TJSAMP_GRAY, 90, 0), 0);
  tjDestroy(handle);

  cDIBSection dib;
  const bool ok = Decode_JPG_Buffer(dib, jpeg, static_cast<std::int32_t>(size));
  tjFree(jpeg);
  ASSERT_TRUE(ok);
  ASSERT_EQ(dib.Width(), width);
  ASSERT_EQ(dib.Height(), height);
  for (const auto &[x, level] : {std::pair{5, 40}, std::pair{35, 200}}) {
    const BGR p = Read(dib, x, height / 2);
    EXPECT_EQ(p.b, p.g);
    EXPECT_EQ(p.g, p.r);
    EXPECT_NEAR(p.r, level, 3);
  }
}

TEST(JPEG_Decode, ReusesTheBitmapOfTheSameSizeAndRecreatesForAnother) {
  cDIBSection frame = Test_Frame(64, 48);
  const std::vector<std::uint8_t> jpeg = Encode(frame, 80);
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(64, 48));
  const std::uint8_t *bits = dib.DIBSectionBitsPtr();
  ASSERT_TRUE(Decode_JPG_Buffer(dib, jpeg.data(), static_cast<std::int32_t>(jpeg.size())));
  EXPECT_EQ(dib.DIBSectionBitsPtr(), bits);
  cDIBSection other_size;
  ASSERT_TRUE(other_size.Create(10, 10));
  ASSERT_TRUE(Decode_JPG_Buffer(other_size, jpeg.data(), static_cast<std::int32_t>(jpeg.size())));
  EXPECT_EQ(other_size.Width(), 64);
  EXPECT_EQ(other_size.Height(), 48);
}

TEST(JPEG_Decode, FrameCutOffAfterItsHeadersIsRefusedWithoutWarning) {
  Scripted_Operator::Install(); // the headers still read, so no prompt
  cDIBSection frame = Test_Frame(96, 64);
  const std::vector<std::uint8_t> jpeg = Encode(frame, 80);
  size_t scan = 0; // the start-of-scan marker: the entropy-coded data follows it
  for (size_t i = 0; i + 1 < jpeg.size() && !scan; ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
      scan = i;
  ASSERT_GT(scan, 0u);
  cDIBSection dib;
  for (size_t keep : {jpeg.size() - 2, (scan + jpeg.size()) / 2, scan + 20})
    EXPECT_FALSE(Decode_JPG_Buffer(dib, jpeg.data(), static_cast<std::int32_t>(keep))) << keep;
}

struct Garbage_Case {
  const char *name;
  std::function<std::vector<std::uint8_t>(std::vector<std::uint8_t>)> spoil;
};
std::ostream &operator<<(std::ostream &os, const Garbage_Case &c) { return os << c.name; }

class JPEG_Garbage : public testing::TestWithParam<Garbage_Case> {};

TEST_P(JPEG_Garbage, ShowsTheWarningAndReturnsFalse) {
  auto &op = Scripted_Operator::Install();
  op.Answer(Msg_Result::OK);
  cDIBSection frame = Test_Frame(64, 48);
  const std::vector<std::uint8_t> bytes = GetParam().spoil(Encode(frame, 80));
  cDIBSection dib;
  EXPECT_FALSE(Decode_JPG_Buffer(dib, bytes.empty() ? nullptr : bytes.data(), static_cast<std::int32_t>(bytes.size())));
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Failed to read JPG")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JPEG_Garbage,
    testing::Values(Garbage_Case{"first_bytes_overwritten",
                                 [](std::vector<std::uint8_t> b) {
                                   std::fill(b.begin(), b.begin() + 16, 0x55);
                                   return b;
                                 }},
                    Garbage_Case{"only_the_start_marker",
                                 [](std::vector<std::uint8_t> b) { return decltype(b)(b.begin(), b.begin() + 4); }},
                    Garbage_Case{"empty", [](std::vector<std::uint8_t>) { return std::vector<std::uint8_t>(); }},
                    Garbage_Case{"text", [](std::vector<std::uint8_t>) {
                                   const char words[] = "RGBS not a picture at all";
                                   return std::vector<std::uint8_t>(words, words + sizeof words);
                                 }}));

TEST(JPEG_Encode, LowerQualityGivesSmallerFrames) {
  cDIBSection frame = Test_Frame(400, 880);
  const size_t at_80 = Encode(frame, 80).size();
  const size_t at_42 = Encode(frame, 42).size();
  const size_t at_3 = Encode(frame, 3).size();
  EXPECT_LT(at_42, at_80);
  EXPECT_LT(at_3, at_42);
}

TEST(JPEG_Encode, FailuresRaiseTheirTexts) {
  cDIBSection frame = Test_Frame(64, 48);
  std::vector<std::uint8_t> small(100, 0xAB);
  std::int32_t size = 100;
  QString text;
  EXPECT_NE(Failure_Of([&] { Encode_DIB_To_JPG(frame, small.data(), size, 80); }, &text), 0);
  EXPECT_TRUE(text.startsWith(QStringLiteral("Failed to save to JPG "))) << text.toStdString();
  EXPECT_EQ(size, 100);
  EXPECT_EQ(small[99], 0xAB) << "nothing may be written into a buffer too small";

  cDIBSection none;
  EXPECT_NE(Failure_Of([&] { Encode_DIB_To_JPG(none, small.data(), size, 80); }, &text), 0);
  EXPECT_TRUE(text.startsWith(QStringLiteral("Failed to save to JPG "))) << text.toStdString();
}

TEST(JPEG_Encode, SeveralThreadsEncodeTheSameBytesAsOne) {
  cDIBSection frame = Test_Frame(600, 1080);
  const std::vector<std::uint8_t> expected = Encode(frame, 80);
  std::vector<std::future<std::vector<std::uint8_t>>> results;
  for (int t = 0; t < 4; ++t)
    results.push_back(std::async(std::launch::async, [&frame] {
      std::vector<std::uint8_t> last;
      for (int i = 0; i < 3; ++i) {
        std::vector<std::uint8_t> out(JPEG_Output_Capacity);
        std::int32_t size = JPEG_Output_Capacity;
        Encode_DIB_To_JPG(frame, out.data(), size, 80);
        out.resize(static_cast<size_t>(size));
        last = out;
      }
      return last;
    }));
  for (auto &r : results)
    EXPECT_EQ(r.get(), expected);
}

// --- frame size control ------------------------------------------------------------------------

TEST(JPEG_Size_Control, SlotIsTheLargestTestFramePlusAMarginInThousands) {
  EXPECT_EQ(Slot_Size_For(24000), 29000); // test frames of 20,000, 22,500 and 24,000 bytes
  EXPECT_EQ(Slot_Size_For(0), 5000);
  EXPECT_EQ(Slot_Size_For(499), 5000);
  EXPECT_EQ(Slot_Size_For(500), 6000);
  EXPECT_EQ(Failure_Of([] { Slot_Size_For(2147483000); }), Err_Overflow);
}

TEST(JPEG_Size_Control, QualitySteps) {
  std::vector<int> seen{JPEG_Base_Quality};
  for (int i = 0; i < 20; ++i)
    seen.push_back(Reduced_JPEG_Quality(seen.back()));
  EXPECT_EQ(seen, (std::vector<int>{80, 68, 58, 49, 42, 36, 31, 26, 22, 19, 16, 14, 12, 10, 8, 7, 6, 5, 4, 3, 3}));
}

TEST(JPEG_Size_Control, TestFramesStayWithinTheList) {
  EXPECT_EQ(Slot_Test_Frames(100), (std::vector<std::int32_t>{99, 50, 2}));
  EXPECT_EQ(Slot_Test_Frames(5), (std::vector<std::int32_t>{4, 2, 2})); // 2.5 to even
  EXPECT_EQ(Slot_Test_Frames(7), (std::vector<std::int32_t>{6, 4, 2})); // 3.5 to even
  EXPECT_EQ(Slot_Test_Frames(2), (std::vector<std::int32_t>{1, 1, 2}));
  EXPECT_EQ(Slot_Test_Frames(1), (std::vector<std::int32_t>{1, 1, 1}));
  EXPECT_TRUE(Slot_Test_Frames(0).empty());
}

TEST(JPEG_Size_Control, FrameLargerThanTheSlotIsRetriedAtLowerQuality) {
  cDIBSection frame = Test_Frame(400, 880);
  const std::int32_t at_80 = static_cast<std::int32_t>(Encode(frame, 80).size());
  const std::int32_t at_68 = static_cast<std::int32_t>(Encode(frame, 68).size());
  ASSERT_LT(at_68, at_80);
  std::vector<std::uint8_t> out(JPEG_Output_Capacity);

  const Fitted_JPEG fits = Encode_Within_Slot(frame, out.data(), JPEG_Output_Capacity, at_80);
  EXPECT_EQ(fits.quality, 80);
  EXPECT_EQ(fits.size, at_80);

  const Fitted_JPEG retried = Encode_Within_Slot(frame, out.data(), JPEG_Output_Capacity, at_80 - 1);
  EXPECT_EQ(retried.quality, 68);
  EXPECT_EQ(retried.size, at_68);

  // A slot nothing fits into ends at quality 3 instead of trying for ever.
  const Fitted_JPEG floor = Encode_Within_Slot(frame, out.data(), JPEG_Output_Capacity, 10);
  EXPECT_EQ(floor.quality, 3);
  EXPECT_GT(floor.size, 10);
}
} // namespace
