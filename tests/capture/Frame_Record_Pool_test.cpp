#include "Capture_Test_Sink.h"
#include "capture/Frame_Record_Pool.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t record_bytes = 1800 * 1080;

bool Fills_To(const Frame_Record_Pool &pool, std::size_t count) {
  return Pump_Until([&] { return pool.Ready() == count; }, 5000);
}

TEST(Frame_Record_Pool, KeepsRecordsOfTheSizeReadyAndRefillsWhatIsTaken) {
  Frame_Record_Pool pool(3);
  EXPECT_EQ(pool.Ready(), 0u) << "nothing is prepared before a size is given";
  pool.Prepare(record_bytes);
  ASSERT_TRUE(Fills_To(pool, 3));
  EXPECT_EQ(pool.Ready_Bytes(), 3LL * record_bytes);
  for (int i = 0; i < 5; ++i) {
    const std::unique_ptr<CVideobuff_RGB> record = pool.Take(record_bytes);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->RGB_Length(), record_bytes);
  }
  EXPECT_TRUE(Fills_To(pool, 3)) << "taken records are replaced";
}

TEST(Frame_Record_Pool, OtherSizesAndNoPoolStillGiveARecord) {
  Frame_Record_Pool pool(2);
  pool.Prepare(record_bytes);
  ASSERT_TRUE(Fills_To(pool, 2));
  const std::unique_ptr<CVideobuff_RGB> other = pool.Take(1200);
  EXPECT_EQ(other->RGB_Length(), 1200) << "made on the spot";
  EXPECT_EQ(pool.Ready(), 2u) << "the prepared ones are left alone";

  pool.Prepare(1200); // the crop changed: the old size goes
  ASSERT_TRUE(Pump_Until([&] { return pool.Ready_Bytes() == 2 * 1200; }, 5000));

  pool.Prepare(0);
  EXPECT_EQ(pool.Ready(), 0u) << "released at once";
  EXPECT_EQ(pool.Take(record_bytes)->RGB_Length(), record_bytes);
}

} // namespace
