#include "Capture_Test_Sink.h"
#include "capture/Test_Track_Component.h"
#include "capture/Test_Track_Race.h"
#include "capture/Test_Track_Scene.h"
#include "support/Clock.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

std::uint32_t Pixel_At(const std::uint8_t *frame, const Test_Track_Scene &scene, int x, int display_row) {
  const std::uint8_t *p =
      frame + static_cast<std::ptrdiff_t>(scene.Height() - 1 - display_row) * scene.Stride() + x * 3;
  return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

// Whether the dog of box covers the goal line column on a display row of its nose.
bool Nose_Past(const std::uint8_t *frame, const Test_Track_Scene &scene, int box, int display_row) {
  const std::uint32_t pixel = Pixel_At(frame, scene, scene.Goal_Column(), display_row);
  if (pixel == Test_Track_Scene::goal_line_colour)
    return false;
  EXPECT_TRUE(pixel == Test_Track_Scene::Box_Colour(box, false) || pixel == Test_Track_Scene::Box_Colour(box, true))
      << "box " << box << " pixel " << std::hex << pixel;
  return true;
}

// Where the dog of box ends on a display row: one past the last column of its colours; 0
// when it is not on the row.
int Nose_Column(const std::uint8_t *frame, const Test_Track_Scene &scene, int box, int display_row) {
  for (int x = scene.Width() - 1; x >= 0; --x) {
    const std::uint32_t pixel = Pixel_At(frame, scene, x, display_row);
    if (pixel == Test_Track_Scene::Box_Colour(box, false) || pixel == Test_Track_Scene::Box_Colour(box, true))
      return x + 1;
  }
  return 0;
}

// A display row through the nose of the given parity.
int Nose_Row(const Test_Track_Scene &scene, int box, int parity) {
  const int row = scene.Nose_Row(box);
  return (row & 1) == parity ? row : row + 1;
}

TEST(Test_Track_Scene, NoseCoversTheGoalColumnOnlyAfterItsTruthTick) {
  struct Size {
    int width, height;
  };
  for (const Size size : {Size{1920, 1080}, Size{720, 576}, Size{1280, 720}}) {
    const Test_Track_Scene scene(size.width, size.height);
    std::vector<std::uint8_t> frame(scene.Image_Size());
    for (std::uint64_t seed : {1u, 2u, 3u}) {
      const Test_Track_Race race = Plan_Test_Track_Race(seed, 0, 100000);
      for (const Test_Track_Dog &dog : race.dogs) {
        const int row = scene.Nose_Row(dog.box);
        for (const std::int64_t offset : {-20, -1, 0, 1, 20}) {
          scene.Render(frame.data(), race, dog.cross_ms + offset, false);
          EXPECT_EQ(Nose_Past(frame.data(), scene, dog.box, row), offset > 0)
              << size.width << " box " << dog.box << " offset " << offset;
        }
      }
    }
  }
}

TEST(Test_Track_Scene, InterlacedFieldsAreTwentyMsApartTopLineFirst) {
  const Test_Track_Scene scene(720, 576);
  std::vector<std::uint8_t> frame(scene.Image_Size());
  const Test_Track_Race race = Plan_Test_Track_Race(5, 0, 0);
  for (const Test_Track_Dog &dog : race.dogs) {
    // Field 1 (even rows) is 10 ms before the truth, field 2 (odd rows) 10 ms after.
    scene.Render(frame.data(), race, dog.cross_ms - 10, true);
    EXPECT_FALSE(Nose_Past(frame.data(), scene, dog.box, Nose_Row(scene, dog.box, 0))) << dog.box;
    EXPECT_TRUE(Nose_Past(frame.data(), scene, dog.box, Nose_Row(scene, dog.box, 1))) << dog.box;
  }
}

TEST(Test_Track_Race, SeedReplaysTheRacesWithCloseFinishesAndDeadHeats) {
  EXPECT_EQ(Plan_Test_Track_Race(42, 3, 0).Truth_Text(), Plan_Test_Track_Race(42, 3, 0).Truth_Text());
  EXPECT_NE(Plan_Test_Track_Race(42, 3, 0).Truth_Text(), Plan_Test_Track_Race(43, 3, 0).Truth_Text());
  EXPECT_NE(Plan_Test_Track_Race(42, 3, 0).Truth_Text(), Plan_Test_Track_Race(42, 4, 0).Truth_Text());
  int dead_heats = 0, close = 0;
  for (std::int64_t n = 0; n < 100; ++n) {
    const Test_Track_Race race = Plan_Test_Track_Race(9, n, 0);
    std::multiset<std::int64_t> ticks;
    std::set<int> boxes;
    for (const Test_Track_Dog &dog : race.dogs) {
      ticks.insert(dog.cross_ms);
      boxes.insert(dog.box);
      EXPECT_GT(dog.cross_ms, 1000);
      EXPECT_LT(dog.cross_ms, 5000);
    }
    EXPECT_EQ(boxes.size(), 6u);
    dead_heats += ticks.size() != std::set<std::int64_t>(ticks.begin(), ticks.end()).size();
    const std::vector<std::int64_t> order(ticks.begin(), ticks.end());
    close += order[1] - order[0] <= 60;
  }
  EXPECT_GT(dead_heats, 5);
  EXPECT_LT(dead_heats, 60);
  EXPECT_GT(close, 50);
}

class Running_Track : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(component.Source_Count(), 1);
    ASSERT_TRUE(component.SelectSource(QStringLiteral("video:1")));
    ASSERT_EQ(component.GetValue(QStringLiteral("sourceFriendlyName")), QStringLiteral("Lurcher test track"));
    EXPECT_FALSE(component.SelectSource(QStringLiteral("video:2")));
    ASSERT_TRUE(component.SelectSource(QStringLiteral("video:1")));
    component.AdviseSink(&sink);
  }
  void TearDown() override { component.Stop(); }
  std::map<int, std::int32_t> Truth() {
    std::map<int, std::int32_t> truth;
    for (const QString &line : component.GetValue(QStringLiteral("TrackTruth")).split(QLatin1Char('\n'))) {
      const QStringList parts = line.split(QLatin1Char(' '));
      if (parts.size() == 2)
        truth[parts[0].toInt()] = parts[1].toInt();
    }
    return truth;
  }
  Test_Track_Component component;
  Capture_Test_Sink sink;
};

TEST_F(Running_Track, FormatsAndExactFrameGrid) {
  EXPECT_EQ(component.GetValue(QStringLiteral("numprops")), QStringLiteral("4"));
  const std::optional<Capture_Format> interlaced = component.Format_Record(2);
  ASSERT_TRUE(interlaced);
  EXPECT_EQ(interlaced->width, 720);
  EXPECT_EQ(interlaced->height, 576);
  EXPECT_EQ(interlaced->frame_time_100ns, 400000);
  EXPECT_TRUE(interlaced->interlaced);
  EXPECT_FALSE(component.Format_Record(0)->interlaced);
  EXPECT_EQ(component.Format_Record(0)->frame_time_100ns, 200000);
  ASSERT_TRUE(component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("3")));
  ASSERT_TRUE(component.Run());
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() >= 10; }, 3000));
  component.Stop();
  for (std::size_t i = 1; i < sink.frames.size(); ++i) {
    const Captured_Frame &a = sink.frames[i - 1].frame, &b = sink.frames[i].frame;
    EXPECT_EQ(Ticks_Between(a.capture_tick, b.capture_tick), 20 * static_cast<std::int32_t>(b.sequence - a.sequence));
    EXPECT_EQ(b.lost_before, static_cast<std::int64_t>(b.sequence - a.sequence - 1));
    EXPECT_EQ(b.width, 1280);
    EXPECT_EQ(b.stride, 3840);
    EXPECT_EQ(b.length, 3840u * 720u);
  }
}

TEST_F(Running_Track, RateCapTakesEveryOtherFrame) {
  ASSERT_TRUE(component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("3")));
  ASSERT_TRUE(component.SetValue(QStringLiteral("CaptureFps"), QStringLiteral("25")));
  ASSERT_TRUE(component.Run());
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() >= 6; }, 3000));
  component.Stop();
  for (std::size_t i = 1; i < sink.frames.size(); ++i)
    EXPECT_EQ(Ticks_Between(sink.frames[i - 1].frame.capture_tick, sink.frames[i].frame.capture_tick) % 40, 0);
}

TEST_F(Running_Track, TruthAgreesWithTheDeliveredFields) {
  ASSERT_TRUE(component.SetValue(QStringLiteral("TrackSeed"), QStringLiteral("11")));
  ASSERT_TRUE(component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("2")));
  const Test_Track_Scene scene(720, 576);
  // Per frame: its tick and, per box, whether the nose covers the line in field 1 and 2.
  struct Seen {
    std::int32_t tick;
    std::array<std::array<bool, 2>, 6> past;
  };
  std::vector<Seen> seen;
  sink.inside = [&](const Captured_Frame &f) {
    Seen s{f.capture_tick, {}};
    for (int box = 1; box <= 6; ++box)
      for (int field = 0; field < 2; ++field)
        s.past[static_cast<std::size_t>(box - 1)][static_cast<std::size_t>(field)] =
            Nose_Past(f.data, scene, box, Nose_Row(scene, box, field));
    seen.push_back(s);
  };
  ASSERT_TRUE(component.Run());
  ASSERT_TRUE(Pump_Until([&] { return !sink.frames.empty(); }, 2000));
  const std::map<int, std::int32_t> truth = Truth();
  ASSERT_EQ(truth.size(), 6u);
  std::int32_t last_cross = 0;
  for (const auto &[box, tick] : truth)
    last_cross = std::max(last_cross, Ticks_Between(seen.front().tick, tick));
  Pump_Until([&] { return Ticks_Between(seen.front().tick, seen.back().tick) > std::min(last_cross + 60, 3000); },
             4000);
  component.Stop();
  int checked = 0;
  for (const auto &[box, truth_tick] : truth) {
    for (const Seen &s : seen) {
      for (int field = 0; field < 2; ++field) {
        const std::int32_t after = Ticks_Between(truth_tick, s.tick + 20 * field);
        if (after < -100 || after > 40)
          continue; // the head has not reached or has already left the line
        EXPECT_EQ(s.past[static_cast<std::size_t>(box - 1)][static_cast<std::size_t>(field)], after > 0)
            << "box " << box << " field " << field + 1 << " ms after truth " << after;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 20);
}

TEST_F(Running_Track, SameSeedGivesTheSameRaceRelativeToTheFirstFrame) {
  ASSERT_TRUE(component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("2")));
  std::vector<std::vector<std::int32_t>> runs;
  for (int run = 0; run < 2; ++run) {
    sink.frames.clear();
    ASSERT_TRUE(component.SetValue(QStringLiteral("TrackSeed"), QStringLiteral("77")));
    ASSERT_TRUE(component.Run());
    ASSERT_TRUE(Pump_Until([&] { return !sink.frames.empty(); }, 2000));
    std::vector<std::int32_t> relative;
    for (const auto &[box, tick] : Truth())
      relative.push_back(Ticks_Between(sink.frames.front().frame.capture_tick, tick) -
                         40 * static_cast<std::int32_t>(sink.frames.front().frame.sequence));
    component.Stop();
    runs.push_back(relative);
  }
  ASSERT_EQ(runs[0].size(), 6u);
  EXPECT_EQ(runs[0], runs[1]);
}

} // namespace

namespace {

// Each format of the track, as delivered: the rows of the top line's field (display rows 0,
// 2, ...) show the frame's moment, the other rows the moment a field later in the interlaced
// formats and the same moment in the progressive ones.
struct Field_Case {
  int format;
  int width, height;
  std::int32_t frame_ms;
  bool interlaced;
};

class Track_Fields : public Running_Track, public testing::WithParamInterface<Field_Case> {};

TEST_P(Track_Fields, TheSecondFieldShowsTheRaceAFieldLaterOnlyWhenInterlaced) {
  const Field_Case c = GetParam();
  ASSERT_TRUE(component.SetValue(QStringLiteral("TrackSeed"), QStringLiteral("3")));
  ASSERT_TRUE(component.SetValue(QStringLiteral("SetFormat"), QString::number(c.format)));
  const std::optional<Capture_Format> format = component.Current_Format();
  ASSERT_TRUE(format);
  EXPECT_EQ(format->width, c.width);
  EXPECT_EQ(format->interlaced, c.interlaced);
  const Test_Track_Scene scene(c.width, c.height);
  struct Noses {
    std::uint64_t sequence;
    bool interlaced;
    std::array<std::array<int, 2>, 6> column; // by box, by field
  };
  std::vector<Noses> seen;
  sink.inside = [&](const Captured_Frame &f) {
    Noses n{f.sequence, f.interlaced, {}};
    for (int box = 1; box <= 6; ++box)
      for (int field = 0; field < 2; ++field)
        n.column[static_cast<std::size_t>(box - 1)][static_cast<std::size_t>(field)] =
            Nose_Column(f.data, scene, box, Nose_Row(scene, box, field));
    seen.push_back(n);
  };
  ASSERT_TRUE(component.Run());
  // The first race's dogs are all on the picture from about a second after the start.
  ASSERT_TRUE(Pump_Until([&] { return seen.size() * static_cast<std::size_t>(c.frame_ms) >= 2200; }, 6000));
  component.Stop();
  int checked = 0;
  for (std::size_t i = 1; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].interlaced, c.interlaced);
    if (seen[i].sequence != seen[i - 1].sequence + 1)
      continue; // a frame lost on a slow machine
    for (std::size_t box = 0; box < 6; ++box) {
      const int first = seen[i].column[box][0], second = seen[i].column[box][1];
      const int before = seen[i - 1].column[box][0];
      const auto inside = [&](int column) { return column > 1 && column < c.width - 1; };
      if (!inside(first) || !inside(second) || !inside(before))
        continue;
      // The dog's run over one frame, and the share of it a field period takes.
      const double per_frame = first - before;
      const double field_later = c.interlaced ? per_frame * 20.0 / c.frame_ms : 0.0;
      EXPECT_GT(per_frame, 2.0) << "box " << box + 1;
      EXPECT_NEAR(second - first, field_later, 1.5) << "box " << box + 1 << " frame " << seen[i].sequence;
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}

INSTANTIATE_TEST_SUITE_P(Formats, Track_Fields,
                         testing::Values(Field_Case{0, 1920, 1080, 20, false}, Field_Case{1, 1920, 1080, 40, true},
                                         Field_Case{2, 720, 576, 40, true}, Field_Case{3, 1280, 720, 20, false}));

} // namespace
