// The test track's frames as a heat keeps them: delivered by the running track, stored as
// JPEG records of a heat file, read back and split into fields as the review does. In the
// interlaced formats the second field shows each dog a field period (20 ms) further on than
// the first (the top line's); in the progressive ones both fields show the same moment.

#include "Capture_Test_Sink.h"
#include "capture/Test_Track_Component.h"
#include "capture/Test_Track_Scene.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "imaging/Image_Routines.h"
#include "imaging/cDIBSection.h"
#include "recording/CVideobuff_RGB.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

namespace {

// The dogs darker than the sand, so that their noses show in the luminance a JPEG keeps
// sharp: red (box 1) and black (box 4).
constexpr int dark_boxes[] = {1, 4};
constexpr int darker_than = 100;

int Luma(const cDIBSection &dib, int x, int display_row) {
  const std::uint8_t *p = dib.DIBSectionBitsPtr() +
                          static_cast<std::ptrdiff_t>(dib.Height() - 1 - display_row) * dib.BytesPerScanLine() + 3 * x;
  return (114 * p[0] + 587 * p[1] + 299 * p[2]) / 1000;
}

// One past the last dark column of the row; 0 when none.
int Dark_End(const cDIBSection &dib, int display_row) {
  for (int x = dib.Width() - 1; x >= 0; --x)
    if (Luma(dib, x, display_row) < darker_than)
      return x + 1;
  return 0;
}

struct Heat_Case {
  int format;
  std::int32_t frame_ms;
  bool interlaced;
  // The frames kept: from this long after the first one, for this long (the first race's
  // dogs are all on the picture by then).
  std::int32_t from_ms, for_ms;
};

class Track_Heat_File : public testing::TestWithParam<Heat_Case> {
protected:
  // Runs the track and keeps the frames of the window as records.
  Frame_Buffer_List Capture(const Heat_Case &c) {
    Frame_Buffer_List frames;
    track_.AdviseSink(&sink_);
    EXPECT_TRUE(track_.SelectSource(QStringLiteral("video:1")));
    EXPECT_TRUE(track_.SetValue(QStringLiteral("TrackSeed"), QStringLiteral("8")));
    EXPECT_TRUE(track_.SetValue(QStringLiteral("SetFormat"), QString::number(c.format)));
    std::int32_t first = 0;
    std::int32_t previous = 0;
    sink_.inside = [&](const Captured_Frame &f) {
      if (sink_.frames.size() == 1)
        first = f.capture_tick;
      const std::int32_t age = Ticks_Between(first, f.capture_tick);
      if (age >= c.from_ms && age < c.from_ms + c.for_ms) {
        auto record = std::make_unique<CVideobuff_RGB>();
        record->Set_RGB_Length(static_cast<std::int32_t>(f.length));
        std::copy(f.data, f.data + f.length, record->Video_Adress());
        record->PutTimestamp(f.capture_tick, f.capture_local_ms, Ticks_Between(previous, f.capture_tick));
        frames.push_back(std::move(record));
      }
      previous = f.capture_tick;
    };
    EXPECT_TRUE(track_.Run());
    Pump_Until([&] { return Ticks_Between(first, previous) >= c.from_ms + c.for_ms; }, 8000);
    track_.Stop();
    return frames;
  }

  Temp_AppData appdata_;
  Scripted_Operator &operator_ = Scripted_Operator::Install();
  Test_Track_Component track_;
  Capture_Test_Sink sink_;
};

TEST_P(Track_Heat_File, TheSecondFieldOfAStoredFrameIsAFieldPeriodLater) {
  const Heat_Case c = GetParam();
  ASSERT_TRUE(track_.SelectSource(QStringLiteral("video:1")));
  const Capture_Format format = *track_.Format_Record(c.format);
  ASSERT_EQ(format.interlaced, c.interlaced);
  const Frame_Buffer_List frames = Capture(c);
  ASSERT_GE(frames.size(), 10u);

  const QString path = appdata_.File(QStringLiteral("track.qk3"));
  {
    cls_VideoFile_handler writer;
    writer.Set_File_name(path);
    writer.Set_Cropped_X(format.width);
    writer.Set_Cropped_Y(format.height);
    writer.Set_RGB_interlaced(format.interlaced);
    writer.Initiate_QK3_File();
    writer.Calculate_Compressed_Size(frames);
    writer.Open_qk3_for_Append();
    ASSERT_EQ(writer.Append_RGB_Frames(frames, 1, static_cast<std::int32_t>(frames.size())),
              static_cast<std::int32_t>(frames.size()));
    writer.Close_File();
  }

  cls_VideoFile_handler heat;
  heat.Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(heat.Open_File(path));
  EXPECT_EQ(heat.Interlaced(), c.interlaced);
  ASSERT_EQ(heat.Num_Frames(), static_cast<std::int32_t>(frames.size()));
  const Test_Track_Scene scene(format.width, format.height);
  cDIBSection field_1, field_2;
  ASSERT_TRUE(field_1.Create(format.width, format.height));
  ASSERT_TRUE(field_2.Create(format.width, format.height));
  // Per frame and dark box: where the nose is in field 1 and field 2.
  std::vector<std::array<std::array<int, 2>, 2>> noses;
  std::vector<std::int32_t> ticks;
  for (std::int16_t n = 1; n <= heat.Num_Frames(); ++n) {
    ASSERT_TRUE(heat.Read_RGB_sample(n, true));
    ticks.push_back(heat.QK3_Capture_mill());
    const cDIBSection &frame = heat.Source_Bitmap();
    // Field 1 holds the top line.
    ASSERT_TRUE(
        deinterlaceFrame2(frame.DIBSectionBitsPtr(), field_1.DIBSectionBitsPtr(), format.width, format.height, 1));
    ASSERT_TRUE(
        deinterlaceFrame2(frame.DIBSectionBitsPtr(), field_2.DIBSectionBitsPtr(), format.width, format.height, 2));
    std::array<std::array<int, 2>, 2> seen{};
    for (std::size_t b = 0; b < 2; ++b) {
      const int row = scene.Nose_Row(dark_boxes[b]);
      seen[b] = {Dark_End(field_1, row), Dark_End(field_2, row)};
    }
    noses.push_back(seen);
  }
  heat.Close_File();

  int checked = 0;
  for (std::size_t i = 1; i < noses.size(); ++i) {
    if (Ticks_Between(ticks[i - 1], ticks[i]) != c.frame_ms)
      continue; // a frame lost on a slow machine
    for (std::size_t b = 0; b < 2; ++b) {
      const int before = noses[i - 1][b][0], first = noses[i][b][0], second = noses[i][b][1];
      const auto inside = [&](int column) { return column > 2 && column < format.width - 2; };
      if (!inside(before) || !inside(first) || !inside(second))
        continue;
      const double per_frame = first - before;
      EXPECT_GT(per_frame, 4.0) << "box " << dark_boxes[b] << " moves";
      const double field_later = c.interlaced ? per_frame * 20.0 / c.frame_ms : 0.0;
      EXPECT_NEAR(second - first, field_later, 2.0) << "box " << dark_boxes[b] << " frame " << i + 1;
      if (c.interlaced) {
        EXPECT_GT(second - first, 2) << "box " << dark_boxes[b] << " frame " << i + 1;
      }
      ++checked;
    }
  }
  EXPECT_GE(checked, 8);
  EXPECT_TRUE(operator_.Prompts().empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, Track_Heat_File,
                         testing::Values(Heat_Case{2, 40, true, 500, 1200}, Heat_Case{3, 20, false, 500, 600}));

} // namespace
