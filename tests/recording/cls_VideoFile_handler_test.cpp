// The heat file writer and reader together: the layout the writer leaves on disk, record
// arithmetic, append passes and segments, every core writing the same bytes as one, frames
// that do not fit, and write failures.

#include "Heat_Frames.h"
#include "QK3_Fixture.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/QK3_Layout.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "recording/mIntelJPEGLibrary.h"
#include "support/Clock.h"
#include "support/Error_Handler.h"

#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
constexpr int W = 64, H = 48;

QByteArray Read_All(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::int32_t Int32_At(const QByteArray &b, qsizetype at) {
  return QK3::Get_32(reinterpret_cast<const std::uint8_t *>(b.constData()) + at);
}

// Failures reported while it lives, by description.
class Recorded_Errors final : public Error_Presenter {
public:
  Recorded_Errors() { Set_Error_Presenter(this); }
  ~Recorded_Errors() override { Set_Error_Presenter(nullptr); }
  Recorded_Errors(const Recorded_Errors &) = delete;
  Recorded_Errors &operator=(const Recorded_Errors &) = delete;
  void Present_Error(const QStringList &report_lines) override { reports << report_lines.join('\n'); }
  QStringList reports;
};

class Heat_Writer : public ::testing::Test {
protected:
  void SetUp() override { Set_Clock(&clock); }
  void TearDown() override { Set_Clock(nullptr); }

  QString Path(const char *name) const { return app.File(QString::fromLatin1(name)); }

  void Start(cls_VideoFile_handler &h, const QString &path, bool interlaced = false) {
    h.Set_RGB_interlaced(interlaced);
    h.Set_File_name(path);
    h.Set_Cropped_X(W);
    h.Set_Cropped_Y(H);
    h.Initiate_QK3_File();
  }

  // The heat recording cycle at capture end.
  std::int32_t Record(cls_VideoFile_handler &h, const Frame_Buffer_List &frames, int workers) {
    if (h.Rounded_Compressed_Size() == 0)
      h.Calculate_Compressed_Size(frames);
    h.Open_qk3_for_Append();
    const std::int32_t n = h.Append_RGB_Frames(frames, 1, static_cast<std::int32_t>(frames.size()), {}, workers);
    h.Close_File();
    return n;
  }

  static std::unique_ptr<Cls_XML_header> Stored_Header(const QString &path) {
    auto header = std::make_unique<Cls_XML_header>();
    header->Set_XML_string(QString::fromLatin1(Stored_Header_Text(path)));
    return header;
  }

  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Manual_Clock clock{5000000};
};

TEST_F(Heat_Writer, An_Initiated_File_Is_The_Header_Block_Alone) {
  cls_VideoFile_handler h;
  Start(h, Path("heat.qk3"));
  const QByteArray bytes = Read_All(Path("heat.qk3"));
  ASSERT_EQ(bytes.size(), 32016);
  EXPECT_EQ(bytes.left(4), "QKR3");
  EXPECT_EQ(Int32_At(bytes, 4), 32016);
  EXPECT_EQ(bytes.mid(32012, 4), "QKRX");
  const std::int32_t xml_length = Int32_At(bytes, 8);
  EXPECT_EQ(bytes.mid(12 + xml_length, 32000 - xml_length), QByteArray(32000 - xml_length, '\0'));
  const QByteArray xml = bytes.mid(12, xml_length);
  EXPECT_TRUE(xml.contains("<num_frames>000</num_frames>"));
  EXPECT_TRUE(xml.contains("<num_segments>000</num_segments>"));
  EXPECT_TRUE(xml.contains("<RGB_fourcc>IJL</RGB_fourcc>"));
  EXPECT_TRUE(xml.contains("<RGB_X>64</RGB_X>"));
  EXPECT_FALSE(QFile::exists(Header_Side_File(Path("heat.qk3"))));
}

TEST_F(Heat_Writer, Initiating_Over_An_Older_Heat_Drops_Its_Records) {
  const QString path = Path("heat.qk3");
  {
    cls_VideoFile_handler h;
    Start(h, path);
    Record(h, heat_frames::Capture(W, H, 4), 1);
  }
  cls_VideoFile_handler again;
  Start(again, path);
  EXPECT_EQ(Read_All(path).size(), 32016);
}

TEST_F(Heat_Writer, One_Pass_Lays_Out_Fixed_Records) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  Start(h, path);
  const Frame_Buffer_List frames = heat_frames::Capture(W, H, 7);
  ASSERT_EQ(Record(h, frames, 1), 7);
  const std::int32_t slot = h.Rounded_Compressed_Size();
  ASSERT_GT(slot, 0);
  EXPECT_EQ(slot % 1000, 0);
  const std::int64_t S = slot + 58;
  const QByteArray bytes = Read_All(path);
  EXPECT_EQ(bytes.size(), 32016 + 7 * S);
  auto header = Stored_Header(path);
  EXPECT_EQ(header->Frames_no(), 7);
  EXPECT_EQ(header->RGB_Sample_Size(), S);
  EXPECT_EQ(header->RGB_Image_Size(), slot);
  EXPECT_EQ(header->Segments_no(), 2);
  for (int n = 1; n <= 7; ++n) {
    const qsizetype start = static_cast<qsizetype>(QK3::Record_Offset(n, S));
    EXPECT_EQ(bytes.mid(start, 4), "RGBS") << n;
    EXPECT_EQ(bytes.mid(start + 40, 4), "RGBE") << n;
    EXPECT_EQ(bytes.mid(32016 + n * S - 4, 4), "RGBF") << n;
    EXPECT_EQ(Int32_At(bytes, start + 46), slot);
    EXPECT_EQ(Int32_At(bytes, start + 50), 1);
    EXPECT_EQ(Int32_At(bytes, start + 8), frames[static_cast<size_t>(n - 1)]->Capture_Mill());
    EXPECT_EQ(Int32_At(bytes, start + 16), frames[static_cast<size_t>(n - 1)]->Capture_Local());
    EXPECT_EQ(Int32_At(bytes, start + 24), 80);
    // the JPEG begins at record start + 54; the rest of the slot is cleared
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[start + 54]), 0xFF);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[start + 55]), 0xD8);
    const std::int32_t jpeg = Int32_At(bytes, start + 32);
    EXPECT_EQ(bytes.mid(start + 54 + jpeg, slot - jpeg), QByteArray(slot - jpeg, '\0'));
  }
  EXPECT_TRUE(Verify_Heat_File(path).Sound()) << Verify_Heat_File(path).problems.join('\n').toStdString();
}

TEST_F(Heat_Writer, Each_Further_Pass_Adds_Its_Frames_And_Two_Segments) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  Start(h, path);
  Record(h, heat_frames::Capture(W, H, 5), 1);
  Record(h, heat_frames::Capture(W, H, 3, 6, 5), 0);
  auto header = Stored_Header(path);
  EXPECT_EQ(header->Frames_no(), 8);
  EXPECT_EQ(header->Segments_no(), 4);
  // A later program run that has forgotten the slot keeps the file's own.
  cls_VideoFile_handler later;
  later.Set_File_name(path);
  later.Set_Cropped_X(W);
  later.Set_Cropped_Y(H);
  Record(later, heat_frames::Capture(W, H, 2, 60, 8), 0);
  EXPECT_EQ(Stored_Header(path)->Frames_no(), 10);
  EXPECT_EQ(Read_All(path).size(), 32016 + 10 * (h.Rounded_Compressed_Size() + 58));
  EXPECT_TRUE(Verify_Heat_File(path).Sound()) << Verify_Heat_File(path).problems.join('\n').toStdString();
}

TEST_F(Heat_Writer, Every_Core_Writes_The_Same_Bytes_As_One) {
  const Frame_Buffer_List frames = heat_frames::Capture(W, H, 37);
  QByteArray files[3];
  const int workers[3] = {1, 2, 0};
  for (int i = 0; i < 3; ++i) {
    const QString path = Path("heat.qk3");
    cls_VideoFile_handler h;
    Start(h, path);
    std::vector<std::int32_t> progress;
    if (h.Rounded_Compressed_Size() == 0)
      h.Calculate_Compressed_Size(frames);
    h.Open_qk3_for_Append();
    EXPECT_EQ(h.Append_RGB_Frames(
                  frames, 1, 37, [&](std::int32_t n) { progress.push_back(n); }, workers[i]),
              37);
    h.Close_File();
    EXPECT_EQ(progress.size(), 37u);
    EXPECT_EQ(progress.back(), 37);
    files[i] = Read_All(path);
  }
  EXPECT_EQ(files[0], files[1]);
  EXPECT_EQ(files[0], files[2]);
}

TEST_F(Heat_Writer, A_Frame_Larger_Than_Its_Slot_Is_Stored_At_Lower_Quality) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  h.Set_File_name(path);
  h.Set_Cropped_X(320);
  h.Set_Cropped_Y(240);
  h.Initiate_QK3_File();
  // Flat test frames choose a small slot; a busy frame must come down to fit it.
  Frame_Buffer_List frames = heat_frames::Flat_Capture(320, 240, 4);
  frames.push_back(heat_frames::Camera_Frame(320, 240, 4, 40));
  Record(h, frames, 1);
  EXPECT_EQ(h.Rounded_Compressed_Size() % 1000, 0);
  cls_VideoFile_handler r;
  ASSERT_TRUE(r.Open_File(path));
  ASSERT_TRUE(r.Read_RGB_sample(1, true));
  EXPECT_EQ(r.QK3_Compression_Quality(), 80);
  ASSERT_TRUE(r.Read_RGB_sample(5, true));
  const std::int16_t quality = r.QK3_Compression_Quality();
  EXPECT_LT(quality, 80);
  EXPECT_GT(quality, 3);
  // the quality is one of the sequence 80, 68, 58, ...
  std::int32_t q = 80;
  while (q > quality)
    q = Reduced_JPEG_Quality(q);
  EXPECT_EQ(q, quality);
  EXPECT_LE(r.QK3_JPEG_Size(), h.Rounded_Compressed_Size());
  EXPECT_GT(r.QK3_JPEG_Size(), 0);
  // the recording's report counts it
  EXPECT_EQ(r.Header().JPG_Reduced_Qual_num(), 1);
  EXPECT_TRUE(r.QK3_Properties().contains(QStringLiteral("\r\nReduced Quality instances : 1\r\n")));
}

TEST_F(Heat_Writer, A_Frame_That_Never_Fits_Keeps_Its_Times_Without_Picture) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  h.Set_File_name(path);
  h.Set_Cropped_X(640);
  h.Set_Cropped_Y(480);
  h.Initiate_QK3_File();
  // Flat test frames give the smallest slot; pure noise does not fit it even at quality 3.
  Frame_Buffer_List frames = heat_frames::Flat_Capture(640, 480, 3);
  frames.push_back(heat_frames::Camera_Frame(640, 480, 3, 256));
  op.Answer(Msg_Result::OK);
  Record(h, frames, 2);
  EXPECT_EQ(h.Frames_Without_Picture(), 1);
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_TRUE(op.Message_Texts()[0].contains(QStringLiteral("without picture")));
  cls_VideoFile_handler r;
  ASSERT_TRUE(r.Open_File(path));
  EXPECT_EQ(r.Num_Frames(), 4);
  ASSERT_TRUE(r.Read_RGB_sample(4, true));
  EXPECT_EQ(r.QK3_JPEG_Size(), 0);
  EXPECT_EQ(r.QK3_Compression_Quality(), 3);
  EXPECT_EQ(r.Timestamp_long(), frames[3]->Capture_Mill());
  const QK3_Verify_Result v = Verify_Heat_File(path);
  EXPECT_TRUE(v.Sound());
  EXPECT_EQ(v.notes.size(), 1);
}

TEST_F(Heat_Writer, A_Frame_That_Cannot_Be_Compressed_Keeps_Its_Times_And_The_Pass_Goes_On) {
  // A frame of another size cannot go through the compression bitmap. Whichever frame it is
  // (the first, which measures the record size, one amid the pass, the finish, the only one),
  // every frame
  // reaches the file, on one core and on several alike, and the operator is told once.
  struct Case {
    int count, bad;
  };
  for (const auto [Count, bad] : {Case{12, 1}, Case{12, 6}, Case{12, 12}, Case{1, 1}}) {
    SCOPED_TRACE(testing::Message() << bad << " of " << Count);
    QByteArray files[2];
    const int workers[2] = {1, 3};
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(workers[i]);
      Frame_Buffer_List frames = heat_frames::Capture(W, H, Count);
      frames[static_cast<std::size_t>(bad - 1)] = heat_frames::Flat_Frame(W + 8, H, bad - 1);
      const QString path = Path("heat.qk3");
      cls_VideoFile_handler h;
      Start(h, path);
      op.Answer(Msg_Result::OK);
      EXPECT_EQ(Record(h, frames, workers[i]), Count);
      ASSERT_EQ(op.Message_Texts().size(), 1);
      EXPECT_TRUE(op.Message_Texts()[0].startsWith(
          QStringLiteral("1 frame(s) could not be compressed. They are stored with their times and without picture, "
                         "and show as \"Corrupted video\". The first failure: A frame of 10368 bytes does not match "
                         "the frame size 64*48")))
          << op.Message_Texts()[0].toStdString();
      op.Clear();
      EXPECT_EQ(h.Frames_Without_Picture(), 1);
      files[i] = Read_All(path);

      cls_VideoFile_handler r;
      ASSERT_TRUE(r.Open_File(path));
      EXPECT_EQ(r.Num_Frames(), Count);
      for (int n = 1; n <= Count; ++n) {
        ASSERT_TRUE(r.Read_RGB_sample(static_cast<std::int16_t>(n), false)) << n;
        EXPECT_EQ(r.Timestamp_long(), frames[static_cast<std::size_t>(n - 1)]->Capture_Mill()) << n;
        EXPECT_EQ(r.QK3_JPEG_Size() == 0, n == bad) << n;
      }
      ASSERT_TRUE(r.Read_RGB_sample(static_cast<std::int16_t>(bad), false));
      EXPECT_EQ(r.QK3_Compression_Quality(), 80);
      EXPECT_EQ(r.QK3_Capture_local(), frames[static_cast<std::size_t>(bad - 1)]->Capture_Local());
      const std::int32_t record_size = r.Record_Size();
      r.Close_File();
      const QK3_Verify_Result v = Verify_Heat_File(path);
      EXPECT_TRUE(v.Sound()) << v.problems.join('\n').toStdString();
      QStringList notes{QStringLiteral("record %1: stored without picture").arg(bad)};
      if (Count == 1) // a pass of one frame never measures its record size
        notes.prepend(QStringLiteral("header: RGB_sample_size was never measured; the first record gives %1 bytes")
                          .arg(record_size));
      EXPECT_EQ(v.notes, notes);
    }
    EXPECT_EQ(files[0], files[1]);
  }
}

TEST_F(Heat_Writer, A_File_Made_Read_Only_Between_Passes_Is_Reported_And_Left_Alone) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  Start(h, path);
  Record(h, heat_frames::Capture(W, H, 3), 1);
  const QByteArray before = Read_All(path);
  QFile::setPermissions(path, QFile::ReadOwner);
  EXPECT_EQ(Record(h, heat_frames::Capture(W, H, 3), 0), 0);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(Read_All(path), before);
}

TEST_F(Heat_Writer, A_File_Removed_Between_Passes_Is_Not_Made_Again) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  Start(h, path);
  Record(h, heat_frames::Capture(W, H, 2), 1);
  QFile::remove(path);
  EXPECT_EQ(Record(h, heat_frames::Capture(W, H, 3), 0), 0);
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(Heat_Writer, A_Full_Disk_Leaves_Whole_Records_And_A_Header_That_Counts_Them) {
  const QString path = Path("heat.qk3");
  cls_VideoFile_handler h;
  Start(h, path);
  const Frame_Buffer_List frames = heat_frames::Capture(W, H, 6);
  h.Calculate_Compressed_Size(frames);
  const std::int64_t S = h.Rounded_Compressed_Size() + 58;
  // The file may grow to two and a half records: the third fails part way.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit = old;
  limit.rlim_cur = static_cast<rlim_t>(32016 + 2 * S + S / 2);
  setrlimit(RLIMIT_FSIZE, &limit);
  const std::int32_t appended = Record(h, frames, 2);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(appended, 2);
  EXPECT_EQ(Read_All(path).size(), 32016 + 2 * S);
  EXPECT_EQ(Stored_Header(path)->Frames_no(), 2);
  EXPECT_TRUE(Verify_Heat_File(path).Sound()) << Verify_Heat_File(path).problems.join('\n').toStdString();
}

TEST_F(Heat_Writer, A_Heat_File_Holds_At_Most_32767_Frames) {
  // A hand-made file one frame short of the limit, with a tiny slot to keep it small.
  fixture::Heat full;
  full.width = W;
  full.height = H;
  full.slot = 100;
  full.frames.assign(32766, fixture::Frame{});
  const QString path = Path("full.qk3");
  fixture::Write(path, fixture::File_Of(full));
  cls_VideoFile_handler h;
  h.Set_File_name(path);
  h.Set_Cropped_X(W);
  h.Set_Cropped_Y(H);
  op.Answer(Msg_Result::OK); // the file is full
  op.Answer(Msg_Result::OK); // at the end of the pass: the frame is stored without picture in a slot of 100 bytes
  EXPECT_EQ(Record(h, heat_frames::Capture(W, H, 3), 1), 1);
  ASSERT_EQ(op.Message_Texts().size(), 2);
  EXPECT_TRUE(op.Message_Texts()[0].contains(QStringLiteral("32767")));
  EXPECT_TRUE(op.Message_Texts()[1].startsWith(QStringLiteral("1 frame(s) did not fit their records")));
  EXPECT_EQ(Stored_Header(path)->Frames_no(), 32767);
  EXPECT_EQ(Read_All(path).size(), 32016 + 32767LL * 158);
}

TEST_F(Heat_Writer, A_Header_Rewrite_Of_A_File_Open_For_Reading_Is_Refused_Without_A_Side_Copy) {
  const QString path = Path("heat.qk3");
  {
    cls_VideoFile_handler h;
    Start(h, path);
    Record(h, heat_frames::Capture(W, H, 3), 1);
  }
  const QByteArray before = Read_All(path);
  QFile::setPermissions(path, QFile::ReadOwner);
  Recorded_Errors errors;
  {
    cls_VideoFile_handler h;
    ASSERT_TRUE(h.Open_File(path));
    ASSERT_TRUE(h.Read_only());
    h.Set_Hound_Heat_time(1, false, 30120);
    h.Write_XML_Header();
  }
  ASSERT_EQ(errors.reports.size(), 1);
  EXPECT_TRUE(errors.reports[0].contains(QStringLiteral("Write_XML_Header"))) << errors.reports[0].toStdString();
  // A side copy would be taken later for a header that never reached the file.
  EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
  cls_VideoFile_handler again;
  ASSERT_TRUE(again.Open_File(path));
  EXPECT_EQ(again.Hound_Heat_time(1, false), 0);
  again.Close_File();
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(Read_All(path), before);
}

TEST_F(Heat_Writer, Compress_Frame_Encodes_A_List_Item_At_The_Quality_Asked) {
  cls_VideoFile_handler h;
  Start(h, Path("heat.qk3"));
  const Frame_Buffer_List frames = heat_frames::Capture(W, H, 3);
  ASSERT_TRUE(h.Compress_Frame(frames, 2, 80));
  const std::int32_t at_80 = h.Last_Compressed_Size();
  ASSERT_GT(at_80, 0);
  EXPECT_EQ(h.Last_Compressed_Address()[0], 0xFF);
  EXPECT_EQ(h.Last_Compressed_Address()[1], 0xD8);
  ASSERT_TRUE(h.Compress_Frame(frames, 2, 10));
  EXPECT_LT(h.Last_Compressed_Size(), at_80);
  Recorded_Errors errors;
  EXPECT_FALSE(h.Compress_Frame(frames, 4, 80));
  EXPECT_FALSE(h.Compress_Frame(frames, 0, 80));
  EXPECT_EQ(errors.reports.size(), 2);
}

TEST_F(Heat_Writer, A_Compression_Bitmap_That_Could_Not_Be_Made_Is_Reported_Not_Written_Through) {
  // The bitmap keeps the size asked for when making it fails, so a frame of that size passes
  // the size check; its pixels are missing.
  constexpr int Wide = 40000, Rows = 2;
  Recorded_Errors errors;
  cls_VideoFile_handler h;
  h.Set_Cropped_X(Wide);
  h.Set_Cropped_Y(Rows);
  ASSERT_EQ(errors.reports.size(), 1);
  EXPECT_TRUE(errors.reports[0].contains(QStringLiteral("No compression bitmap of 40000*2")));
  Frame_Buffer_List frames;
  frames.push_back(heat_frames::Flat_Frame(Wide, Rows, 0));
  EXPECT_FALSE(h.Compress_Frame(frames, 1, 80));
  ASSERT_EQ(errors.reports.size(), 2);
  EXPECT_TRUE(errors.reports[1].contains(QStringLiteral("No compression bitmap of 40000*2")))
      << errors.reports[1].toStdString();
  EXPECT_TRUE(errors.reports[1].contains(QStringLiteral("Compress_Frame of Class cls_VideoFile_handler")))
      << errors.reports[1].toStdString();
}

TEST_F(Heat_Writer, Race_Settings_Reach_The_File_Through_The_Heat_File_Object) {
  const QString path = Path("heat.qk3");
  {
    cls_VideoFile_handler h;
    Start(h, path);
    h.Set_Hound_box_delay(QStringLiteral("120"));
    h.Set_Hound_Goal_compensation(QStringLiteral("-15"));
    h.Set_Hound_Split_compensation(QStringLiteral("7"));
    h.Set_Hound_Goal_Finish(QStringLiteral("10,0,12,575"));
    h.Set_Hound_Goal_Split(QStringLiteral("300,0,301,575"));
    h.Set_Phidget_serial(QStringLiteral("12345"));
    h.Set_Running_Fps(50);
    h.Write_XML_Header();
    h.Close_File();
  }
  cls_VideoFile_handler r;
  ASSERT_TRUE(r.Open_File(path));
  EXPECT_EQ(r.Hound_box_delay(), QLatin1String("120"));
  EXPECT_EQ(r.Hound_Goal_compensation(), QLatin1String("-15"));
  EXPECT_EQ(r.Hound_Split_compensation(), QLatin1String("7"));
  EXPECT_EQ(r.Hound_Goal_Finish(), QLatin1String("10,0,12,575"));
  EXPECT_EQ(r.Hound_Goal_Split(), QLatin1String("300,0,301,575"));
  EXPECT_EQ(r.Phidget_serial(), QLatin1String("12345"));
  EXPECT_EQ(r.Measured_fps(), 50);
  EXPECT_EQ(r.Hound_Heat_Length(), QLatin1String("000"));
}
} // namespace
