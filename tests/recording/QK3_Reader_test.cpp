// Reading heat files that the program did not write: a file assembled byte by byte from the
// layout, and the folder of deliberately broken files, each of which must give a clear
// message or the bad-record flag and never more.

#include "QK3_Fixture.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "imaging/cDIBSection.h"
#include "recording/QK3_File.h"
#include "recording/QK3_Layout.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Clock.h"
#include "support/Error_Handler.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
const QString Broken_Folder = QStringLiteral(LURCHER_FIXTURES "/recording/broken");
const QString Good_File = QStringLiteral(LURCHER_FIXTURES "/recording/heat_three_frames.qk3");
const QString Written_File = QStringLiteral(LURCHER_FIXTURES "/recording/heat_written.qk3");
const QString One_Frame_File = QStringLiteral(LURCHER_FIXTURES "/recording/heat_one_frame_unmeasured.qk3");
const QString Lost_Frames_File = QStringLiteral(LURCHER_FIXTURES "/recording/heat_lost_frames.qk3");

// A small heat as the program writes it, judged: for the inspection tool's reports.
void Write_Written_Fixture() {
  Manual_Clock clock(7000000);
  Set_Clock(&clock);
  QFile::remove(Written_File);
  cls_VideoFile_handler h;
  h.Set_File_name(Written_File);
  h.Set_Cropped_X(32);
  h.Set_Cropped_Y(16);
  h.Initiate_QK3_File();
  h.Set_Hound_event(QStringLiteral("Spring Meeting"));
  h.Set_Hound_Heat_ID(QStringLiteral("3"));
  h.Set_Hound_Heat_Name(QStringLiteral("Puppy Stakes"));
  h.Set_Hound_heat_start_local(43200000);
  h.Set_Hound_start_PC_mill(6999000);
  for (int box = 1; box <= 6; ++box)
    h.Set_Hound_Dog_name(box, QStringLiteral("Dog %1").arg(box));
  h.Write_XML_Header();
  Frame_Buffer_List frames;
  for (int k = 0; k < 3; ++k) {
    auto f = std::make_unique<CVideobuff_RGB>();
    f->Set_RGB_Length(96 * 16);
    for (int i = 0; i < f->RGB_Length(); ++i)
      f->Video_Adress()[i] = static_cast<std::uint8_t>(i * (k + 3));
    f->PutTimestamp(7000000 + 20 * k, 43201000 + 20 * k, 20);
    frames.push_back(std::move(f));
  }
  h.Calculate_Compressed_Size(frames);
  h.Open_qk3_for_Append();
  h.Append_RGB_Frames(frames, 1, 3);
  h.Close_File();
  h.Set_Hound_Heat_time(2, false, 30120);
  h.Write_XML_Header();
  h.Close_File();
  Set_Clock(nullptr);
}

// Blue, green, red of the picture's pixel (x, y from the top).
std::array<int, 3> Pixel(cDIBSection &dib, int x, int y) {
  const std::uint8_t *p =
      dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine() + 3 * x;
  return {p[0], p[1], p[2]};
}

class Heat_Reader : public ::testing::Test {
protected:
  QString Put(const char *name, const fixture::Bytes &bytes) {
    const QString path = app.File(QString::fromLatin1(name));
    fixture::Write(path, bytes);
    return path;
  }
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
};

TEST_F(Heat_Reader, A_Hand_Made_File_Opens_And_Gives_Its_Times_And_Pictures) {
  const fixture::Heat heat = fixture::Three_Frames();
  const QString path = Put("hand.qk3", fixture::File_Of(heat));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Num_Frames(), 3);
  EXPECT_EQ(h.Num_fields(), 3);
  EXPECT_EQ(h.Width(), 16);
  EXPECT_EQ(h.Height(), 8);
  EXPECT_EQ(h.Record_Size(), 1058);
  EXPECT_EQ(h.Clip_Length(), 60);
  EXPECT_EQ(h.Hound_start_PC_mill(), 1000000);
  const char *race_times[3] = {"12,34", "12,36", "12,38"};
  const std::array<int, 3> colours[3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}}; // as blue, green, red
  for (int n = 1; n <= 3; ++n) {
    ASSERT_TRUE(h.Read_RGB_sample(static_cast<std::int16_t>(n), true)) << n;
    EXPECT_FALSE(h.Bad_Record());
    EXPECT_EQ(Display_Mill_Time(h.Timestamp_long() - h.Hound_start_PC_mill(), true), QLatin1String(race_times[n - 1]));
    EXPECT_EQ(h.QK3_Capture_local(), heat.frames[static_cast<size_t>(n - 1)].local);
    EXPECT_EQ(h.QK3_Capture_Delta(), 20);
    EXPECT_EQ(h.QK3_Compression_Quality(), 80);
    EXPECT_EQ(h.QK3_JPEG_Size(), static_cast<std::int32_t>(heat.frames[static_cast<size_t>(n - 1)].jpeg.size()));
    EXPECT_EQ(h.RGB_video_adress(static_cast<std::int16_t>(n)), 32016 + (n - 1) * 1058 + 1);
    const std::array<int, 3> seen = Pixel(h.Source_Bitmap(), 8, 4);
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(seen[static_cast<size_t>(c)], colours[n - 1][static_cast<size_t>(c)], 3) << n;
    // the checksum adds the data bytes at 1-based indices 100, 1100, ... within the JPEG
    const fixture::Bytes &jpeg = heat.frames[static_cast<size_t>(n - 1)].jpeg;
    std::int32_t sum = 0;
    for (size_t i = 100; i <= jpeg.size(); i += 1000)
      sum += jpeg[i - 1];
    EXPECT_EQ(h.RGB_Checksum(), sum);
  }
  EXPECT_TRUE(Verify_Heat_File(path).Sound()) << Verify_Heat_File(path).problems.join('\n').toStdString();
}

TEST_F(Heat_Reader, The_Record_Already_Loaded_Is_Not_Read_Again) {
  const QString path = Put("hand.qk3", fixture::File_Of(fixture::Three_Frames()));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  ASSERT_TRUE(h.Read_RGB_sample(2, false));
  const std::int32_t tick = h.Timestamp_long();
  {
    QK3_File f; // change record 2's tick behind the reader's back
    f.Open(path, QK3_File::Mode::Read_Write);
    std::uint8_t zero[4] = {};
    f.Write_At(32016 + 1058 + 8, zero, 4);
  }
  ASSERT_TRUE(h.Read_RGB_sample(2, false));
  EXPECT_EQ(h.Timestamp_long(), tick);
  ASSERT_TRUE(h.Read_RGB_sample(3, false));
  ASSERT_TRUE(h.Read_RGB_sample(2, false));
  EXPECT_EQ(h.Timestamp_long(), 0);
}

TEST_F(Heat_Reader, Frames_Beyond_The_File_Or_Zero_Set_The_Bad_Record_Flag) {
  const fixture::Heat heat = fixture::Three_Frames();
  const QString path = Put("hand.qk3", fixture::File_Of(heat));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  ASSERT_TRUE(h.Read_RGB_sample(1, false));
  for (const std::int16_t n : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{4}, std::int16_t{32767}}) {
    EXPECT_FALSE(h.Read_RGB_sample(n, true)) << n;
    EXPECT_TRUE(h.Bad_Record()) << n;
    EXPECT_EQ(h.Timestamp_long(), heat.frames[0].mill) << n;
  }
}

struct Clip_Case {
  bool interlaced;
  int fields;
  int clip_ms;
};
class Heat_Clip : public Heat_Reader, public ::testing::WithParamInterface<Clip_Case> {};

TEST_P(Heat_Clip, Fields_And_Clip_Length_Follow_The_Interlacing) {
  fixture::Heat heat;
  heat.interlaced = GetParam().interlaced;
  heat.slot = 100;
  heat.frames.assign(500, fixture::Frame{});
  for (int i = 0; i < 500; ++i)
    heat.frames[static_cast<size_t>(i)].mill = 1000 + 40 * i;
  const QString path = Put("clip.qk3", fixture::File_Of(heat));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Num_Frames(), 500);
  EXPECT_EQ(h.Num_fields(), GetParam().fields);
  EXPECT_EQ(h.Clip_Length(), GetParam().clip_ms);
  EXPECT_EQ(h.Ms_Per_Frame(), GetParam().interlaced ? 40 : 20);
}
INSTANTIATE_TEST_SUITE_P(Heat_Reader, Heat_Clip,
                         ::testing::Values(Clip_Case{true, 1000, 20000}, Clip_Case{false, 500, 10000}));

TEST_F(Heat_Reader, A_Heat_Of_32767_Interlaced_Frames_Numbers_As_Many_Fields_As_It_Can) {
  fixture::Heat heat;
  heat.interlaced = true;
  heat.slot = 1;
  heat.frames.assign(32767, fixture::Frame{});
  const QString path = Put("long.qk3", fixture::File_Of(heat));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Num_Frames(), 32767);
  EXPECT_EQ(h.Num_fields(), 32767);
  EXPECT_TRUE(h.Read_RGB_sample(32767, false));
}

TEST_F(Heat_Reader, A_Complete_Side_File_Restores_A_Header_Torn_By_A_Crash) {
  const fixture::Heat heat = fixture::Three_Frames();
  fixture::Bytes good = fixture::File_Of(heat);
  const QString path = Put("torn.qk3", good);
  // The side file's second slot holds the complete new block, its sequence number and CRC;
  // the first an older block.
  Header_Block block{};
  std::copy(good.begin(), good.begin() + 32016, block.begin());
  Header_Block older = block;
  std::fill(older.begin() + 12, older.begin() + 40, std::uint8_t{0x41});
  std::vector<std::uint8_t> side = Header_Side_Slot(older, 6);
  const std::vector<std::uint8_t> newest = Header_Side_Slot(block, 7);
  side.insert(side.end(), newest.begin(), newest.end());
  fixture::Bytes torn = good;
  std::fill(torn.begin() + 12, torn.begin() + 3000, std::uint8_t{0x20});
  fixture::Write(path, torn);
  fixture::Write(Header_Side_File(path), side);
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Num_Frames(), 3);
  EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
  h.Close_File();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray(reinterpret_cast<const char *>(good.data()), static_cast<qsizetype>(good.size())));
}

TEST_F(Heat_Reader, A_Side_Slot_Torn_By_A_Crash_Leaves_The_Other_Slot) {
  const fixture::Bytes good = fixture::File_Of(fixture::Three_Frames());
  const QString path = Put("heat.qk3", good);
  Cls_XML_header header;
  header.Set_XML_string(QString::fromLatin1(Stored_Header_Text(path)));
  header.Set_Hound_event(QStringLiteral("Meant"));
  const Header_Block meant = QK3::Build_Header_Block(header.XML_bytes());
  header.Set_Hound_event(QStringLiteral("Torn"));
  std::vector<std::uint8_t> side = Header_Side_Slot(meant, 41);
  std::vector<std::uint8_t> torn = Header_Side_Slot(QK3::Build_Header_Block(header.XML_bytes()), 42);
  torn[5000] ^= 0xFF;
  side.insert(side.end(), torn.begin(), torn.end());
  fixture::Write(Header_Side_File(path), side);
  {
    // Reading only: the newest complete copy is what the file means, and nothing is changed.
    cls_VideoFile_handler viewer;
    viewer.Set_Open_For_Reading_Only(true);
    ASSERT_TRUE(viewer.Open_File(path));
    EXPECT_EQ(viewer.Hound_event(), QLatin1String("Meant"));
    EXPECT_TRUE(QFile::exists(Header_Side_File(path)));
  }
  EXPECT_EQ(Verify_Heat_File(path).notes.size(), 1);
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Hound_event(), QLatin1String("Meant"));
  EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
}

TEST_F(Heat_Reader, Judging_Keeps_A_Side_Copy_Until_The_File_Is_Closed) {
  const QString path = Put("heat.qk3", fixture::File_Of(fixture::Three_Frames()));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  for (int click = 1; click <= 3; ++click) {
    h.Set_Hound_event(QStringLiteral("Click %1").arg(click));
    h.Write_XML_Header();
    Header_Block side{};
    ASSERT_TRUE(Read_Header_Side_File(path, side));
    EXPECT_EQ(QK3::Parse_Header_Block(side).xml, Stored_Header_Text(path)) << click;
  }
  EXPECT_TRUE(Verify_Heat_File(path).notes.isEmpty()); // the side copy is the block on disk
  h.Close_File();
  EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
  {
    cls_VideoFile_handler again; // ends without Close_File
    ASSERT_TRUE(again.Open_File(path));
    EXPECT_EQ(again.Hound_event(), QLatin1String("Click 3"));
    again.Set_Hound_event(QStringLiteral("Click 4"));
    again.Write_XML_Header();
    EXPECT_TRUE(QFile::exists(Header_Side_File(path)));
  }
  EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
  EXPECT_TRUE(Stored_Header_Text(path).contains("Click 4"));
}

TEST_F(Heat_Reader, An_Incomplete_Side_File_Is_Dropped_And_The_Header_Kept) {
  const QString path = Put("heat.qk3", fixture::File_Of(fixture::Three_Frames()));
  fixture::Write(Header_Side_File(path), fixture::Bytes(20000, 0x41));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Num_Frames(), 3);
  EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
}

TEST_F(Heat_Reader, A_Read_Only_File_Opens_For_Reading) {
  const QString path = Put("heat.qk3", fixture::File_Of(fixture::Three_Frames()));
  QFile::setPermissions(path, QFile::ReadOwner);
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_TRUE(h.Read_only());
  EXPECT_TRUE(h.Read_RGB_sample(3, true));
}

// ---- The broken files ----

struct Broken_Case {
  const char *file;
  bool opens;
  const char *message; // part of the one message shown; empty: none
  int frames;          // frames the reader offers
  int bad_frame;       // a frame that sets the bad-record flag; 0: none
  const char *problem; // part of a line lurcher-qk3 verify gives
};

const Broken_Case Broken_Cases[] = {
    {"short_file.qk3", false, "Corrupt file, (Invalid file length)", 0, 0, "header block is cut short"},
    {"truncated_header.qk3", false, "Incomplete header block", 0, 0, "header block is cut short"},
    {"truncated_record.qk3", true, "holds 2 of the 3 frames", 2, 3, "last record is cut short"},
    {"wrong_header_magic.qk3", true, "", 3, 0, "no \"QKR3\" mark"},
    {"wrong_tail_magic.qk3", true, "", 3, 0, "no \"QKRX\" mark"},
    {"huge_xml_length.qk3", true, "", 3, 0, "XML length 2147483647"},
    {"negative_xml_length.qk3", false, "Invalid header length -7", 0, 0, "XML length -7"},
    {"bad_xml.qk3", false, "The heat header cannot be read", 0, 0, "does not parse"},
    {"negative_sample_size.qk3", true, "Invalid record size -5", 0, 1, "RGB_sample_size -5"},
    {"sample_size_beyond_file.qk3", true, "", 3, 0, "RGB_sample_size 99999999"},
    {"too_many_frames.qk3", true, "holds 3 of the 500 frames", 3, 0, "the header counts 500 frames"},
    {"huge_frame_size.qk3", false, "Invalid frame size 30000*8", 0, 0, "frame size 30000*8"},
    {"jpeg_size_beyond_slot.qk3", true, "", 3, 2, "record 2: JPEG size 1001"},
    {"bad_record_magic.qk3", true, "", 3, 2, "record 2: no \"RGBS\" mark"},
    {"corrupt_jpeg.qk3", true, "", 3, 0, "record 2: the JPEG does not decode"},
    {"ticks_going_back.qk3", true, "", 3, 0, "record 3: capture tick"},
};

class Broken_File : public Heat_Reader, public ::testing::WithParamInterface<Broken_Case> {};

TEST_P(Broken_File, Gives_A_Clear_Message_Or_The_Bad_Record_Flag) {
  const Broken_Case &c = GetParam();
  // Work on a copy: opening may repair what can be repaired.
  const QString path = app.File(QString::fromLatin1(c.file));
  ASSERT_TRUE(QFile::copy(Broken_Folder + QLatin1Char('/') + QLatin1String(c.file), path));
  if (*c.message)
    op.Answer(Msg_Result::OK);
  cls_VideoFile_handler h;
  EXPECT_EQ(h.Open_File(path), c.opens);
  if (*c.message) {
    ASSERT_EQ(op.Message_Texts().size(), 1);
    EXPECT_TRUE(op.Message_Texts()[0].contains(QLatin1String(c.message))) << op.Message_Texts()[0].toStdString();
  }
  if (!c.opens)
    return;
  EXPECT_EQ(h.Num_Frames(), c.frames);
  for (int n = 1; n <= c.frames; ++n) {
    if (n != c.bad_frame) {
      EXPECT_TRUE(h.Read_RGB_sample(static_cast<std::int16_t>(n), false)) << n;
    }
  }
  if (c.bad_frame) {
    EXPECT_FALSE(h.Read_RGB_sample(static_cast<std::int16_t>(c.bad_frame), true));
    EXPECT_TRUE(h.Bad_Record());
  }
}

TEST_P(Broken_File, Fails_Verification_With_A_Message) {
  const Broken_Case &c = GetParam();
  const QK3_Verify_Result v = Verify_Heat_File(Broken_Folder + QLatin1Char('/') + QLatin1String(c.file));
  EXPECT_FALSE(v.Sound());
  EXPECT_TRUE(v.problems.join('\n').contains(QLatin1String(c.problem))) << v.problems.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Heat_Reader, Broken_File, ::testing::ValuesIn(Broken_Cases),
                         [](const ::testing::TestParamInfo<Broken_Case> &param) {
                           std::string name = param.param.file;
                           return name.substr(0, name.find('.'));
                         });

// ---- Files whose header never measured the record size ----

struct Unmeasured_Case {
  const char *name;
  int frames;
  const char *sample_size_text; // as the header stores it
};

class Unmeasured_Record_Size : public Heat_Reader, public ::testing::WithParamInterface<Unmeasured_Case> {};

TEST_P(Unmeasured_Record_Size, Opens_And_Verifies_Sound_With_The_Same_Records) {
  const Unmeasured_Case &c = GetParam();
  fixture::Heat heat = fixture::Three_Frames();
  heat.frames.resize(static_cast<std::size_t>(c.frames));
  QByteArray xml = fixture::Header_Text(heat);
  xml.replace("<RGB_sample_size>1058<", QByteArray("<RGB_sample_size>") + c.sample_size_text + "<");
  const QString path = Put((std::string(c.name) + ".qk3").c_str(), fixture::File_Of(heat, xml));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_TRUE(op.Message_Texts().isEmpty());
  EXPECT_EQ(h.Num_Frames(), c.frames);
  EXPECT_EQ(h.Record_Size(), 1058);
  h.Close_File();
  const QK3_Verify_Result v = Verify_Heat_File(path);
  EXPECT_TRUE(v.Sound()) << v.problems.join('\n').toStdString();
  EXPECT_EQ(v.records_checked, c.frames);
  EXPECT_TRUE(v.warnings.isEmpty()) << v.warnings.join('\n').toStdString();
  ASSERT_EQ(v.notes.size(), 1);
  EXPECT_EQ(v.notes[0],
            QStringLiteral("header: RGB_sample_size was never measured; the first record gives 1058 bytes"));
}

INSTANTIATE_TEST_SUITE_P(Heat_Reader, Unmeasured_Record_Size,
                         ::testing::Values(Unmeasured_Case{"one_frame", 1, "0000000"},
                                           Unmeasured_Case{"three_frames", 3, "0"}),
                         [](const ::testing::TestParamInfo<Unmeasured_Case> &param) { return param.param.name; });

TEST_F(Heat_Reader, A_Broken_Header_Size_Is_Still_A_Problem_Where_The_First_Record_Helps) {
  // The reader finds the records; the check still says the header is wrong.
  const QK3_Verify_Result v = Verify_Heat_File(Broken_Folder + QStringLiteral("/sample_size_beyond_file.qk3"));
  EXPECT_EQ(v.problems, QStringList{QStringLiteral(
                            "header: RGB_sample_size 99999999 is not a record size (the first record gives 1058)")});
  EXPECT_EQ(v.records_checked, 3);
}

// ---- Frames the capture lost ----

struct Lost_Frames_Case {
  const char *name;
  std::int32_t first_tick;
  std::vector<std::int32_t> steps; // ms from one record's capture tick to the next
  int header_fps;                  // RGB_fps
  QStringList warnings;
};

class Lost_Frames : public Heat_Reader, public ::testing::WithParamInterface<Lost_Frames_Case> {};

TEST_P(Lost_Frames, Are_Warned_About_And_Leave_The_File_Sound) {
  const Lost_Frames_Case &c = GetParam();
  fixture::Heat heat = fixture::Three_Frames();
  const fixture::Frame model = heat.frames[0];
  heat.frames.clear();
  std::uint32_t tick = static_cast<std::uint32_t>(c.first_tick);
  heat.frames.push_back(model);
  heat.frames.back().mill = static_cast<std::int32_t>(tick);
  for (const std::int32_t step : c.steps) {
    tick += static_cast<std::uint32_t>(step);
    heat.frames.push_back(model);
    heat.frames.back().mill = static_cast<std::int32_t>(tick);
  }
  QByteArray xml = fixture::Header_Text(heat);
  xml.replace("<RGB_fps>50<", "<RGB_fps>" + QByteArray::number(c.header_fps) + "<");
  const QString path = Put((std::string(c.name) + ".qk3").c_str(), fixture::File_Of(heat, xml));
  const QK3_Verify_Result v = Verify_Heat_File(path);
  EXPECT_TRUE(v.Sound()) << v.problems.join('\n').toStdString();
  EXPECT_EQ(v.records_checked, static_cast<int>(heat.frames.size()));
  EXPECT_EQ(v.warnings, c.warnings);
}

std::vector<std::int32_t> Steady(std::size_t n, std::int32_t ms) { return std::vector<std::int32_t>(n, ms); }

std::vector<std::int32_t> With_Gap(std::vector<std::int32_t> steps, std::size_t at, std::int32_t ms) {
  steps[at] = ms;
  return steps;
}

const Lost_Frames_Case Lost_Frames_Cases[] = {
    {"steady", 1000000, Steady(9, 20), 50, {}},
    {"half_again_is_no_loss", 1000000, With_Gap(Steady(9, 20), 3, 30), 50, {}},
    {"one_lost",
     1000000,
     With_Gap(Steady(9, 20), 3, 40),
     50,
     {QStringLiteral("record 5: 1 frame(s) lost before it (capture ticks 1000060 and 1000100 are 40 ms apart, the "
                     "frame period is 20.0 ms)"),
      QStringLiteral("1 frame(s) lost in all")}},
    {"two_gaps",
     1000000,
     With_Gap(With_Gap(Steady(9, 20), 1, 60), 7, 100),
     50,
     {QStringLiteral("record 3: 2 frame(s) lost before it (capture ticks 1000020 and 1000080 are 60 ms apart, the "
                     "frame period is 20.0 ms)"),
      QStringLiteral("record 9: 4 frame(s) lost before it (capture ticks 1000180 and 1000280 are 100 ms apart, the "
                     "frame period is 20.0 ms)"),
      QStringLiteral("6 frame(s) lost in all")}},
    // too few records for a median: the measured rate gives the period
    {"three_records",
     1000000,
     {20, 80},
     50,
     {QStringLiteral("record 3: 3 frame(s) lost before it (capture ticks 1000020 and 1000100 are 80 ms apart, the "
                     "frame period is 20.0 ms)"),
      QStringLiteral("3 frame(s) lost in all")}},
    // the rate is not measured: the median tick delta gives the period
    {"no_rate",
     1000000,
     With_Gap(Steady(9, 40), 4, 120),
     0,
     {QStringLiteral("record 6: 2 frame(s) lost before it (capture ticks 1000160 and 1000280 are 120 ms apart, the "
                     "frame period is 40.0 ms)"),
      QStringLiteral("2 frame(s) lost in all")}},
    // a rate that the records do not follow (taken before a cap) calls nothing lost
    {"capped_rate", 1000000, Steady(9, 40), 50, {}},
    // across the sign change and the wrap of the tick
    {"across_2_31", 2147483647 - 50, Steady(9, 20), 50, {}},
    {"across_2_32",
     -50,
     With_Gap(Steady(9, 20), 2, 60),
     50,
     {QStringLiteral("record 4: 2 frame(s) lost before it (capture ticks -10 and 50 are 60 ms apart, the frame period "
                     "is 20.0 ms)"),
      QStringLiteral("2 frame(s) lost in all")}},
};

INSTANTIATE_TEST_SUITE_P(Heat_Reader, Lost_Frames, ::testing::ValuesIn(Lost_Frames_Cases),
                         [](const ::testing::TestParamInfo<Lost_Frames_Case> &param) { return param.param.name; });

TEST_F(Heat_Reader, A_JPEG_That_Does_Not_Decode_Shows_Blue) {
  const QString path = app.File(QStringLiteral("corrupt_jpeg.qk3"));
  ASSERT_TRUE(QFile::copy(Broken_Folder + QStringLiteral("/corrupt_jpeg.qk3"), path));
  cls_VideoFile_handler h;
  ASSERT_TRUE(h.Open_File(path));
  op.Answer(Msg_Result::OK); // the codec's "Failed to read JPG"
  ASSERT_TRUE(h.Read_RGB_sample(2, true));
  EXPECT_FALSE(h.Bad_Record());
  const std::array<int, 3> blue{255, 0, 0};
  EXPECT_EQ(Pixel(h.Source_Bitmap(), 0, 0), blue);
  EXPECT_EQ(h.Timestamp_long(), fixture::Three_Frames().frames[1].mill);
}

// Answers every prompt with its default and keeps what was shown, message boxes and error
// reports alike.
class Recording_Operator final : public Operator, public Error_Presenter {
public:
  QStringList shown;
  Msg_Result Message_Box(const Message_Prompt &prompt) override {
    shown << prompt.text;
    return Default_Result(prompt);
  }
  std::optional<QString> Input_Box(const QString &, const QString &, const QString &) override { return {}; }
  void Beep() override {}
  std::optional<QString> File_Dialog(const File_Prompt &) override { return {}; }
  std::optional<QString> Folder_Dialog(const QString &, const QString &) override { return {}; }
  bool Printer_Dialog(Printer_Choice &) override { return false; }
  void Present_Error(const QStringList &lines) override { shown << lines.join(QLatin1Char('\n')); }
};

QByteArray File_Bytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Fuzz_Regressions, Give_A_Clear_Answer_And_Leave_The_File_As_It_Was) {
  // Inputs from the fuzzer (scripts/fuzz-heat-file): those it found harmful, kept after the
  // fix, and some of its corpus that reach the reader's edges.
  Temp_AppData app;
  auto owned = std::make_unique<Recording_Operator>();
  Recording_Operator &op = *owned;
  Set_Operator(std::move(owned));
  Set_Error_Presenter(&op);
  struct Presenter_Back {
    ~Presenter_Back() { Set_Error_Presenter(nullptr); }
  } presenter_back;
  const QDir folder(QStringLiteral(LURCHER_FIXTURES "/recording/fuzz"));
  const QStringList names = folder.entryList(QDir::Files);
  ASSERT_FALSE(names.isEmpty());
  for (const QString &name : names) {
    SCOPED_TRACE(name.toStdString());
    const QString path = app.File(name + QStringLiteral(".qk3"));
    ASSERT_TRUE(QFile::copy(folder.filePath(name), path));
    const QByteArray before = File_Bytes(path);
    op.shown.clear();
    bool opened = false;
    bool every_frame_read = true;
    std::int32_t frames = 0;
    {
      cls_VideoFile_handler h;
      h.Set_Open_For_Reading_Only(true);
      opened = h.Open_File(path);
      if (opened) {
        frames = h.Num_Frames();
        for (std::int32_t n = 1; n <= std::min(frames, 64); ++n)
          every_frame_read =
              h.Read_RGB_sample(static_cast<std::int16_t>(n), true) && !h.Bad_Record() && every_frame_read;
        h.Close_File();
      }
    }
    if (!opened) {
      ASSERT_FALSE(op.shown.isEmpty()) << "a refused file is named in a message";
      for (const QString &text : op.shown)
        EXPECT_FALSE(text.trimmed().isEmpty());
    }
    const QK3_Verify_Result v = Verify_Heat_File(path);
    EXPECT_EQ(File_Bytes(path), before) << "reading and verifying change no byte";
    EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
    for (const QString &problem : v.problems)
      EXPECT_FALSE(problem.trimmed().isEmpty());
    if (!opened) {
      EXPECT_FALSE(v.Sound()) << "verify passes a file the reader refuses";
    }
    if (v.Sound()) {
      EXPECT_TRUE(opened);
      EXPECT_TRUE(op.shown.isEmpty()) << op.shown.join('\n').toStdString();
      EXPECT_TRUE(every_frame_read) << "verify passes a record the reader cannot read";
      EXPECT_EQ(v.records_checked, frames);
    }
  }
}

fixture::Bytes Read_Fixture(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  const QByteArray b = f.readAll();
  return fixture::Bytes(b.begin(), b.end());
}

TEST(Broken_Fixtures, Are_All_In_Their_Folder) {
  // LURCHER_WRITE_FIXTURES=1 writes them afresh from the builder.
  const auto files = fixture::Broken_Files();
  if (qEnvironmentVariableIntValue("LURCHER_WRITE_FIXTURES") == 1) {
    QDir().mkpath(Broken_Folder);
    for (const auto &[name, bytes] : files)
      fixture::Write(Broken_Folder + QLatin1Char('/') + QString::fromStdString(name), bytes);
    fixture::Write(Good_File, fixture::File_Of(fixture::Three_Frames()));
    fixture::Write(One_Frame_File, fixture::One_Frame_Unmeasured());
    fixture::Write(Lost_Frames_File, fixture::Lost_Frames());
    Write_Written_Fixture();
  }
  EXPECT_TRUE(QFile::exists(Good_File));
  EXPECT_EQ(Read_Fixture(One_Frame_File), fixture::One_Frame_Unmeasured());
  EXPECT_EQ(Read_Fixture(Lost_Frames_File), fixture::Lost_Frames());
  EXPECT_TRUE(QFile::exists(Written_File));
  for (const auto &[name, bytes] : files)
    EXPECT_TRUE(QFile::exists(Broken_Folder + QLatin1Char('/') + QString::fromStdString(name))) << name;
  EXPECT_EQ(files.size(), std::size(Broken_Cases));
}
} // namespace
