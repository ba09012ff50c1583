// The byte layout of heat files: offsets and sizes of the header block and the sample
// record, record arithmetic, slot sizes and the quality sequence, and the two reports.

#include "QK3_Fixture.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/QK3_Layout.h"
#include "recording/cls_VideoFile_handler.h"
#include "recording/mIntelJPEGLibrary.h"
#include "support/Failure.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(QK3_Layout, The_Header_Block_Puts_Each_Field_In_Its_Place) {
  const QByteArray xml = "<QKR_header>\xe9</QKR_header>";
  const auto block = QK3::Build_Header_Block(xml);
  ASSERT_EQ(block.size(), 32016u);
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(block.data()), 4), "QKR3");
  EXPECT_EQ(QK3::Get_32(block.data() + 4), 32016);
  EXPECT_EQ(QK3::Get_32(block.data() + 8), xml.size());
  EXPECT_EQ(0, std::memcmp(block.data() + 12, xml.constData(), static_cast<size_t>(xml.size())));
  for (size_t i = 12 + static_cast<size_t>(xml.size()); i < 32012; ++i)
    ASSERT_EQ(block[i], 0) << i;
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(block.data()) + 32012, 4), "QKRX");
  const QK3::Header_Block_View view = QK3::Parse_Header_Block(block);
  EXPECT_TRUE(view.magic_ok && view.tail_magic_ok && view.length_ok());
  EXPECT_EQ(view.xml, xml);
}

TEST(QK3_Layout, A_Header_Text_Must_Fit_The_32000_Byte_Area) {
  EXPECT_NO_THROW(QK3::Build_Header_Block(QByteArray(32000, 'x')));
  EXPECT_THROW(QK3::Build_Header_Block(QByteArray(32001, 'x')), Lurcher_Failure);
}

TEST(QK3_Layout, A_Record_Matches_A_Hand_Made_One_Byte_For_Byte) {
  fixture::Frame f;
  f.mill = -123456789;
  f.delta = -3;
  f.local = 86399999;
  f.quality = 68;
  f.jpeg = {0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9};
  const fixture::Bytes expected = fixture::Record(100, f);
  std::vector<std::uint8_t> record(158, 0xEE);
  QK3::Encode_Record(record.data(), 100, {f.mill, f.delta, f.local, f.quality, 7}, f.jpeg.data());
  EXPECT_EQ(record, expected);
  const QK3::Sample_Fields back = QK3::Decode_Fixed_Part(record.data());
  EXPECT_EQ(back.capture_mill, f.mill);
  EXPECT_EQ(back.capture_delta, f.delta);
  EXPECT_EQ(back.capture_local, f.local);
  EXPECT_EQ(back.quality, 68);
  EXPECT_EQ(back.jpeg_size, 7);
  EXPECT_TRUE(QK3::Check_Record(record).Sound());
}

struct Offset_Case {
  std::int32_t slot;
  std::int32_t n;
  std::int64_t record_start, jpeg_start, final_magic;
};
class Record_Arithmetic : public ::testing::TestWithParam<Offset_Case> {};

TEST_P(Record_Arithmetic, Finds_Record_N_By_Position_Alone) {
  const Offset_Case &c = GetParam();
  const std::int64_t S = QK3::Record_Size_For_Slot(c.slot);
  EXPECT_EQ(S, c.slot + 58);
  EXPECT_EQ(QK3::Record_Offset(c.n, S), c.record_start);
  EXPECT_EQ(QK3::Record_Offset(c.n, S) + QK3::Data_Offset, c.jpeg_start);
  EXPECT_EQ(QK3::Record_Offset(c.n + 1, S) - 4, c.final_magic);
}
INSTANTIATE_TEST_SUITE_P(QK3_Layout, Record_Arithmetic,
                         ::testing::Values(Offset_Case{30000, 1, 32016, 32070, 32016 + 30058 - 4},
                                           Offset_Case{30000, 500, 32016 + 499LL * 30058, 32016 + 499LL * 30058 + 54,
                                                       32016 + 500LL * 30058 - 4},
                                           // the last frame a heat file can number lies beyond 2 GB with big slots
                                           Offset_Case{1005000, 32767, 32016 + 32766LL * 1005058,
                                                       32016 + 32766LL * 1005058 + 54, 32016 + 32767LL * 1005058 - 4}));

struct Whole_Case {
  std::int64_t length, record_size, whole;
};
class Whole_Records : public ::testing::TestWithParam<Whole_Case> {};
TEST_P(Whole_Records, Count_Only_Complete_Records) {
  EXPECT_EQ(QK3::Whole_Records(GetParam().length, GetParam().record_size), GetParam().whole);
}
INSTANTIATE_TEST_SUITE_P(QK3_Layout, Whole_Records,
                         ::testing::Values(Whole_Case{32016, 1058, 0}, Whole_Case{32015, 1058, 0},
                                           Whole_Case{32016 + 1057, 1058, 0}, Whole_Case{32016 + 1058, 1058, 1},
                                           Whole_Case{32016 + 3 * 1058 - 1, 1058, 2}, Whole_Case{99999, 0, 0},
                                           Whole_Case{99999, -58, 0}));

struct Slot_Case {
  std::int32_t largest, slot;
};
class Slot_Sizes : public ::testing::TestWithParam<Slot_Case> {};
TEST_P(Slot_Sizes, Are_Whole_Thousands_4501_To_5500_Above_The_Largest_Test_Frame) {
  EXPECT_EQ(Slot_Size_For(GetParam().largest), GetParam().slot);
}
INSTANTIATE_TEST_SUITE_P(QK3_Layout, Slot_Sizes,
                         ::testing::Values(Slot_Case{23456, 28000}, Slot_Case{24500, 30000}, Slot_Case{24000, 29000},
                                           Slot_Case{0, 5000}, Slot_Case{499, 5000}, Slot_Case{500, 6000},
                                           Slot_Case{999999, 1005000}));

TEST(QK3_Layout, The_Quality_Sequence_Ends_At_3) {
  const std::vector<std::int32_t> expected = {80, 68, 58, 49, 42, 36, 31, 26, 22, 19, 16, 14, 12, 10, 8, 7, 6, 5, 4, 3};
  std::vector<std::int32_t> seen = {80};
  while (Reduced_JPEG_Quality(seen.back()) != seen.back())
    seen.push_back(Reduced_JPEG_Quality(seen.back()));
  EXPECT_EQ(seen, expected);
}

TEST(QK3_Layout, The_Checksum_Adds_Every_Thousandth_Byte_From_The_Hundredth) {
  std::vector<std::uint8_t> data(2200, 1);
  data[99] = 10;
  data[1099] = 20;
  data[2099] = 30;
  EXPECT_EQ(QK3::Record_Checksum(data.data(), 99), 0);
  EXPECT_EQ(QK3::Record_Checksum(data.data(), 100), 10);
  EXPECT_EQ(QK3::Record_Checksum(data.data(), 2099), 30);
  EXPECT_EQ(QK3::Record_Checksum(data.data(), 2100), 60);
}

// ---- Reports ----

class Heat_Reports : public ::testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
};

TEST_F(Heat_Reports, The_Technical_Report_Averages_Over_The_Frames) {
  // 500 frames of 720*576 in 15,000,000 bytes: 29 kB and 2 %; 12,582,912 bytes read 12 MB.
  const QString path = app.File(QStringLiteral("big.qk3"));
  {
    cls_VideoFile_handler w;
    w.Set_File_name(path);
    w.Set_Cropped_X(720);
    w.Set_Cropped_Y(576);
    w.Initiate_QK3_File();
    w.Header().Set_Frames_no(500);
    w.Header().Set_RGB_Sample_Size(29935);
    w.Header().Set_Hound_heat_start_local(43200000); // a heat that was started
    w.Header().Set_Hound_start_PC_mill(1000000);
    w.Write_XML_Header();
    w.Close_File();
  }
  QFile::resize(path, 15000000);
  cls_VideoFile_handler h;
  h.Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(h.Open_File(path));
  QStringList b = h.QK3_Properties().split(QStringLiteral("\r\n"));
  ASSERT_EQ(b.size(), 21);
  EXPECT_EQ(b[0], QStringLiteral("File size: 14.3 MB"));
  EXPECT_EQ(b[1], QStringLiteral("Average frame size : 29 kB"));
  EXPECT_EQ(b[2], QStringLiteral("Average compression ratio : 2%"));
  h.Close_File();
  QFile::resize(path, 12582912);
  op.Answer(Msg_Result::OK); // the file holds fewer records than its header counts
  ASSERT_TRUE(h.Open_File(path));
  b = h.QK3_Properties().split(QStringLiteral("\r\n"));
  EXPECT_EQ(b[0], QStringLiteral("File size: 12 MB"));
  const QStringList a = h.File_Properties().split(QStringLiteral("\r\n"));
  ASSERT_EQ(a.size(), 16);
  EXPECT_EQ(a[0], QStringLiteral("File name = ") + path);
  EXPECT_EQ(a[1], QStringLiteral("Heat start at :  12:00:00,00"));
  EXPECT_EQ(a[2], QStringLiteral("File Size: 12 megaByte"));
  EXPECT_EQ(a[3], QStringLiteral("Image Size: 720*576"));
  // (12,582,912 - 32,016) / 29,935: 419 whole records of the 500 the header counts
  EXPECT_EQ(a[5], QStringLiteral("Number of frames/fields = 419/419"));
}

TEST_F(Heat_Reports, Both_Reports_Of_A_Written_Heat) {
  const QString path = QStringLiteral(LURCHER_FIXTURES "/recording/heat_written.qk3");
  cls_VideoFile_handler h;
  h.Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(h.Open_File(path));
  const QStringList b = h.QK3_Properties().split(QStringLiteral("\r\n"));
  ASSERT_EQ(b.size(), 21);
  EXPECT_EQ(b[0], QStringLiteral("File size: 0 MB"));
  EXPECT_EQ(b[3], QStringLiteral("Frames : 3"));
  EXPECT_EQ(b[4], QStringLiteral("Segments : 2"));
  EXPECT_EQ(b[6], QStringLiteral("Dimensions : 32*16"));
  EXPECT_EQ(b[7], QStringLiteral("Fourcc : IJL"));
  const QString a = h.File_Properties();
  EXPECT_TRUE(a.endsWith(QStringLiteral("\r\n")));
  const QStringList lines = a.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 16);
  EXPECT_EQ(lines[1], QStringLiteral("Heat start at :  12:00:00,00"));
  EXPECT_EQ(lines[8], QString(48, QLatin1Char('_')));
  EXPECT_EQ(lines[10], QStringLiteral("2   Dog 2               030120 000000 0000000000"));
}

TEST_F(Heat_Reports, Names_Are_Cut_Or_Padded_To_20_And_Numbers_Keep_Their_Digits) {
  const QString path = app.File(QStringLiteral("judged.qk3"));
  QFile::copy(QStringLiteral(LURCHER_FIXTURES "/recording/heat_written.qk3"), path);
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  h.Set_Hound_Dog_name(1, QStringLiteral("A Very Long Greyhound Name"));
  h.Set_Hound_Heat_time(1, false, 2345);
  h.Set_Hound_Heat_time(1, true, 1234);
  h.Set_Hound_Heat_Click_Time(1, 0);
  h.Set_Hound_dead_heat(1, true);
  const QStringList lines = h.File_Properties().split(QStringLiteral("\r\n"));
  EXPECT_EQ(lines[9], QStringLiteral("1   A Very Long Greyhoun002345 001234 0000000000 dh"));
}

TEST_F(Heat_Reports, A_File_Without_Frames_Reports_No_Average) {
  const QString path = app.File(QStringLiteral("empty.qk3"));
  cls_VideoFile_handler h;
  h.Set_File_name(path);
  h.Set_Cropped_X(720);
  h.Set_Cropped_Y(576);
  h.Initiate_QK3_File();
  ASSERT_TRUE(h.Open_File(path));
  const QStringList b = h.QK3_Properties().split(QStringLiteral("\r\n"));
  ASSERT_EQ(b.size(), 21);
  EXPECT_EQ(b[1], QStringLiteral("Average frame size : - kB"));
  EXPECT_EQ(b[3], QStringLiteral("Frames : 0"));
}
} // namespace
