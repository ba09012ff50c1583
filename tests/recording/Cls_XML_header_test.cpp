#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/Cls_XML_header.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {
QByteArray Fixture(const char *name) {
  QFile f(QStringLiteral(LURCHER_FIXTURES "/recording/") + QString::fromLatin1(name));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
  return f.readAll();
}

// The origin texts the default-header fixture was written for.
Header_Origin Fixture_Origin() {
  Header_Origin o;
  o.creation_date = QStringLiteral("18-05-23 12:18:54");
  o.comp_name = QStringLiteral("M\u00e5lstolpe-PC");
  o.comp_cpuinfo = QStringLiteral("CPU= 586 4 core 3.4GHz");
  o.comp_cpubitness = QStringLiteral("64");
  o.comp_physram = QStringLiteral("7.98 GB (45% Free)");
  o.comp_osbitness = QStringLiteral("64");
  o.capture_property = QStringLiteral("1920x1080 25 fps & YUY2");
  o.capture_source = QStringLiteral("video:1");
  o.actual_sample = QStringLiteral("400*880, 25 fps");
  o.comp_manufacturer_model = QStringLiteral("Acme Box 9");
  o.phidget_serial = QStringLiteral("123456");
  o.exe_name = QStringLiteral("lurcher");
  o.prog_major = QStringLiteral("2");
  o.prog_minor = QStringLiteral("0");
  o.prog_revision = QStringLiteral("88");
  o.compile_date = QStringLiteral("2018-05-23 14:02");
  o.computer_uptime = QStringLiteral(" 1:02:03,00");
  o.program_uptime = QStringLiteral(" 00:05,00");
  o.exe_filedate = QStringLiteral("23/05/2018 14:02");
  o.os_version = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
  return o;
}

void Create_Default(Cls_XML_header &h) {
  h.rgb = true;
  h.Create_Header(Fixture_Origin());
}

// The text of the element at xpath, read from the serialized header independently of the
// header's own accessors; "<absent>" when there is no such element.
std::string Stored(Cls_XML_header &h, const char *xpath) {
  const QByteArray bytes = h.XML_bytes();
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), pugi::parse_default,
                              pugi::encoding_latin1));
  const pugi::xml_node node = doc.select_node(xpath).node();
  return node ? std::string(node.text().get()) : std::string("<absent>");
}

// The failure number a call raises, 0 when it returns.
int Failure_Of(const std::function<void()> &call) {
  try {
    call();
  } catch (const Lurcher_Failure &f) {
    return f.Number();
  }
  return 0;
}

TEST(Cls_XML_header_Document, DefaultHeaderIsTheLayoutByteForByte) {
  Cls_XML_header h;
  Create_Default(h);
  const QByteArray expected = Fixture("default_header.xml");
  EXPECT_EQ(h.XML_bytes().toStdString(), expected.toStdString());
  EXPECT_EQ(h.XML_string(), QString::fromLatin1(expected));
  EXPECT_EQ(h.Len_XML(), expected.size());
  EXPECT_EQ(h.XML_len(), expected.size());
  EXPECT_TRUE(h.Valid());
}

TEST(Cls_XML_header_Document, StoredHeaderParsesAndSerializesUnchanged) {
  const QByteArray stored = Fixture("default_header.xml");
  Cls_XML_header h;
  h.Set_XML_string(QString::fromLatin1(stored));
  ASSERT_TRUE(h.Valid());
  EXPECT_EQ(h.XML_bytes().toStdString(), stored.toStdString());
  EXPECT_EQ(h.Computer_name(), QStringLiteral("M\u00e5lstolpe-PC"));
  EXPECT_EQ(h.Capture_property(), QStringLiteral("1920x1080 25 fps & YUY2"));
}

struct Section_Case {
  bool rgb, lurcher, dog_race;
  bool has_rgb_data, has_lurcher;
};

class Cls_XML_header_Sections : public testing::TestWithParam<Section_Case> {
protected:
  void TearDown() override { Cls_XML_header::Dog_Race_Switch = true; }
};

TEST_P(Cls_XML_header_Sections, FlagsDecideTheSections) {
  const Section_Case c = GetParam();
  Cls_XML_header::Dog_Race_Switch = c.dog_race;
  Cls_XML_header h;
  h.rgb = c.rgb;
  h.Lurcher = c.lurcher;
  h.Create_Header(Fixture_Origin());
  EXPECT_TRUE(h.Node_Exists(QStringLiteral("/QKR_header/file_data/hdr_spare5")));
  EXPECT_EQ(h.Node_Exists(QStringLiteral("/QKR_header/RGB_data")), c.has_rgb_data);
  EXPECT_EQ(h.Node_Exists(QStringLiteral("/QKR_header/lurcher")), c.has_lurcher);
  EXPECT_EQ(h.Node_Exists(QStringLiteral("//box[@id='8']/dog_heat_spare2")), c.has_lurcher);
  EXPECT_FALSE(h.Node_Exists(QStringLiteral("//box[@id='9']")));
  EXPECT_FALSE(h.XML_string().contains(QStringLiteral("\r\n\r\n"))) << "a section left its line end behind";
}

INSTANTIATE_TEST_SUITE_P(Flags, Cls_XML_header_Sections,
                         testing::Values(Section_Case{true, true, true, true, true},
                                         Section_Case{false, true, true, false, true},
                                         Section_Case{true, false, true, true, false},
                                         Section_Case{true, true, false, true, false}));

TEST(Cls_XML_header_Document, OriginComesFromStartUpValuesAndTheClock) {
  Manual_Clock clock(90061000); // one day, one hour, one minute, one second since boot
  Set_Clock(&clock);
  Globals::Computer_Name = QStringLiteral("FINISH");
  Globals::CPU_Info = QStringLiteral("CPU= 586 2 core 2.1GHz");
  Globals::Load_Time = Tick() - 5000;
  Header_Sources::Actual_Sample = QStringLiteral("400*880, 25 fps");
  Header_Sources::Manufacturer_Model = QStringLiteral("Acme Box 9");
  const Header_Origin o = Gather_Header_Origin();
  Set_Clock(nullptr);
  EXPECT_EQ(o.creation_date, QStringLiteral("18-05-23 12:18:54"));
  EXPECT_EQ(o.comp_name, QStringLiteral("FINISH"));
  EXPECT_EQ(o.comp_cpuinfo, QStringLiteral("CPU= 586 2 core 2.1GHz"));
  EXPECT_EQ(o.actual_sample, QStringLiteral("400*880, 25 fps"));
  EXPECT_EQ(o.comp_manufacturer_model, QStringLiteral("Acme Box 9"));
  EXPECT_EQ(o.computer_uptime, QStringLiteral(" 1:01:01,00"));
  EXPECT_EQ(o.program_uptime, QStringLiteral(" 00:05,00"));
  EXPECT_FALSE(o.prog_major.isEmpty());
}

// --- properties ----------------------------------------------------------------------------

struct Property_Case {
  const char *name;
  const char *xpath;
  std::function<void(Cls_XML_header &)> set;
  std::function<QString(const Cls_XML_header &)> get;
  const char *stored;
};

std::ostream &operator<<(std::ostream &os, const Property_Case &c) { return os << c.name; }

QString N(long long v) { return QString::number(v); }
QString B(bool v) { return v ? QStringLiteral("true") : QStringLiteral("false"); }
const QString Text = QStringLiteral("Rapid & B\u00f8ld <1>");

class Cls_XML_header_Property : public testing::TestWithParam<Property_Case> {};

TEST_P(Cls_XML_header_Property, WritesItsElementAndReadsItBack) {
  const Property_Case &c = GetParam();
  Cls_XML_header h;
  Create_Default(h);
  c.set(h);
  EXPECT_EQ(Stored(h, c.xpath), c.stored);
  // Through the stored text, as a heat file carries it.
  Cls_XML_header back;
  back.Set_XML_string(h.XML_string());
  ASSERT_TRUE(back.Valid());
  EXPECT_EQ(c.get(back).toStdString(), c.get(h).toStdString());
}

using H = Cls_XML_header;
const char *const Text_Stored = "Rapid & B\xc3\xb8ld <1>"; // pugixml keeps UTF-8 inside

INSTANTIATE_TEST_SUITE_P(
    Heat, Cls_XML_header_Property,
    testing::Values(
        Property_Case{"event", "//hound_event", [](H &h) { h.Set_Hound_event(Text); },
                      [](const H &h) { return h.Hound_event(); }, Text_Stored},
        Property_Case{"heat_id", "//hound_heat_ID", [](H &h) { h.Set_Hound_Heat_ID(QStringLiteral("7")); },
                      [](const H &h) { return h.Hound_Heat_ID(); }, "7"},
        Property_Case{"heat_name", "//hound_heat_name", [](H &h) { h.Set_Hound_Heat_Name(QStringLiteral("Final")); },
                      [](const H &h) { return h.Hound_Heat_Name(); }, "Final"},
        Property_Case{"heat_length", "//hound_heat_length",
                      [](H &h) { h.Set_Hound_Heat_Length(QStringLiteral("480")); },
                      [](const H &h) { return h.Hound_Heat_Length(); }, "480"},
        Property_Case{"start_local", "//hound_start_local_mill", [](H &h) { h.Set_Hound_heat_start_local(50400123); },
                      [](const H &h) { return N(h.Hound_heat_start_local()); }, "50400123"},
        Property_Case{"start_pc", "//hound_start_PC_mill", [](H &h) { h.Set_Hound_start_PC_mill(-2147483648LL); },
                      [](const H &h) { return N(h.Hound_start_PC_mill()); }, "-2147483648"},
        Property_Case{"start_datetime", "//hound_start_datetime",
                      [](H &h) { h.Set_Hound_start_DateTime(QStringLiteral("23/05/2018 14:02:07")); },
                      [](const H &h) { return h.Hound_start_DateTime(); }, "23/05/2018 14:02:07"},
        Property_Case{"box_delay", "//hound_box_delay", [](H &h) { h.Set_Hound_box_delay(QStringLiteral("30")); },
                      [](const H &h) { return h.Hound_box_delay(); }, "30"},
        Property_Case{"goal_comp", "//hound_goal_time_offset",
                      [](H &h) { h.Set_Hound_Goal_compensation(QStringLiteral("-1")); },
                      [](const H &h) { return h.Hound_Goal_compensation(); }, "-1"},
        Property_Case{"split_comp", "//hound_split_time_offset",
                      [](H &h) { h.Set_Hound_Split_compensation(QStringLiteral("40000")); },
                      [](const H &h) { return h.Hound_Split_compensation(); }, "40000"},
        Property_Case{"goal_finish", "//hound_goal_finish",
                      [](H &h) { h.Set_Hound_Goal_Finish(QStringLiteral("10,20,30,400")); },
                      [](const H &h) { return h.Hound_Goal_Finish(); }, "10,20,30,400"},
        Property_Case{"goal_split", "//hound_goal_split",
                      [](H &h) { h.Set_Hound_Goal_Split(QStringLiteral("1,2,3,4")); },
                      [](const H &h) { return h.Hound_Goal_Split(); }, "1,2,3,4"}));

INSTANTIATE_TEST_SUITE_P(
    Boxes, Cls_XML_header_Property,
    testing::Values(
        Property_Case{"dog_name", "//box[@id='6']/dog_name", [](H &h) { h.Set_Hound_Dog_name(6, Text); },
                      [](const H &h) { return h.Hound_Dog_name(6); }, Text_Stored},
        Property_Case{"heat_time", "//box[@id='3']/dog_heat_time", [](H &h) { h.Set_Hound_Heat_time(3, false, 29870); },
                      [](const H &h) { return N(h.Hound_Heat_time(3, false)); }, "29870"},
        Property_Case{"heat_time_other_box_untouched", "//box[@id='4']/dog_heat_time",
                      [](H &h) { h.Set_Hound_Heat_time(3, false, 29870); },
                      [](const H &h) { return N(h.Hound_Heat_time(4, false)); }, "000000"},
        Property_Case{"split_time", "//box[@id='3']/dog_split_time",
                      [](H &h) { h.Set_Hound_Heat_time(3, true, 888886); },
                      [](const H &h) { return N(h.Hound_Heat_time(3, true)); }, "888886"},
        Property_Case{"split_leaves_heat_time", "//box[@id='3']/dog_heat_time",
                      [](H &h) { h.Set_Hound_Heat_time(3, true, 888886); },
                      [](const H &h) { return N(h.Hound_Heat_time(3, false)); }, "000000"},
        Property_Case{"click_time", "//box[@id='1']/dog_heat_click_time",
                      [](H &h) { h.Set_Hound_Heat_Click_Time(1, 2147483647); },
                      [](const H &h) { return N(h.Hound_Heat_Click_Time(1)); }, "2147483647"},
        Property_Case{"heat_frame", "//box[@id='2']/dog_heat_frame", [](H &h) { h.Set_Hound_heat_frame(2, 32767); },
                      [](const H &h) { return N(h.Hound_heat_frame(2)); }, "32767"},
        Property_Case{"split_frame", "//box[@id='2']/dog_split_frame", [](H &h) { h.Set_Hound_split_frame(2, 17); },
                      [](const H &h) { return N(h.Hound_split_frame(2)); }, "17"},
        Property_Case{"dead_heat_true", "//box[@id='2']/dog_dead_heat", [](H &h) { h.Set_Hound_dead_heat(2, true); },
                      [](const H &h) { return B(h.Hound_dead_heat(2)); }, "True"},
        Property_Case{"dead_heat_false", "//box[@id='2']/dog_dead_heat", [](H &h) { h.Set_Hound_dead_heat(2, false); },
                      [](const H &h) { return B(h.Hound_dead_heat(2)); }, "False"}));

INSTANTIATE_TEST_SUITE_P(
    File, Cls_XML_header_Property,
    testing::Values(
        Property_Case{"frames", "//num_frames", [](H &h) { h.Set_Frames_no(32767); },
                      [](const H &h) { return N(h.Frames_no()); }, "32767"},
        Property_Case{"segments", "//num_segments", [](H &h) { h.Set_Segments_no(2); },
                      [](const H &h) { return N(h.Segments_no()); }, "2"},
        Property_Case{"update_time", "//update_date", [](H &h) { h.Set_Update_Time(QStringLiteral("x")); },
                      [](const H &h) { return h.Update_Time(); }, "x"},
        Property_Case{"update_program", "//update_program",
                      [](H &h) { h.Set_Update_Program(QStringLiteral("Lurcher_HDMI")); },
                      [](const H &h) { return h.Update_Program(); }, "Lurcher_HDMI"},
        Property_Case{"hdr_spare1", "//hdr_spare1", [](H &h) { h.Set_Hdr_spare1(QStringLiteral("0")); },
                      [](const H &h) { return h.Hdr_spare1(); }, "0"},
        Property_Case{"comment1_emptied", "//file_comment1", [](H &h) { h.Set_comment(1, QString()); },
                      [](const H &h) { return h.comment(1); }, ""},
        Property_Case{"comment5", "//file_comment5", [](H &h) { h.Set_comment(5, QStringLiteral("wet track")); },
                      [](const H &h) { return h.comment(5); }, "wet track"},
        Property_Case{"last_capture", "//last_capture_time", [](H &h) { h.Set_Last_Capture_time(QString()); },
                      [](const H &h) { return h.Last_Capture_time(); }, ""},
        Property_Case{"phidget", "//phidget_serial", [](H &h) { h.Set_Phidget_serial(QStringLiteral("98765")); },
                      [](const H &h) { return h.Phidget_serial(); }, "98765"}));

INSTANTIATE_TEST_SUITE_P(
    Frames, Cls_XML_header_Property,
    testing::Values(
        Property_Case{"fps", "//RGB_fps", [](H &h) { h.Set_Running_Fps(50); },
                      [](const H &h) { return N(h.Measured_fps()); }, "50"},
        Property_Case{"interlaced_true", "//RGB_interlaced", [](H &h) { h.Set_RGB_interlaced(true); },
                      [](const H &h) { return B(h.RGB_interlaced()); }, "True"},
        Property_Case{"interlaced_false", "//RGB_interlaced", [](H &h) { h.Set_RGB_interlaced(false); },
                      [](const H &h) { return B(h.RGB_interlaced()); }, "False"},
        Property_Case{"rotated_true", "//RGB_rotated", [](H &h) { h.Set_RGB_Rotated(true); },
                      [](const H &h) { return B(h.RGB_Rotated()); }, "t"},
        Property_Case{"rotated_false", "//RGB_rotated", [](H &h) { h.Set_RGB_Rotated(false); },
                      [](const H &h) { return B(h.RGB_Rotated()); }, "f"},
        Property_Case{"preview", "//RGB_preview_on", [](H &h) { h.Set_RGB_preview_on(false); },
                      [](const H &h) { return B(h.RGB_preview_on()); }, "False"},
        Property_Case{"x", "//RGB_X", [](H &h) { h.Set_RGB_X(400); }, [](const H &h) { return N(h.RGB_X()); }, "400"},
        Property_Case{"y", "//RGB_Y", [](H &h) { h.Set_RGB_Y(880); }, [](const H &h) { return N(h.RGB_Y()); }, "880"},
        Property_Case{"image_size", "//RGB_image_size", [](H &h) { h.Set_RGB_Image_Size(29000); },
                      [](const H &h) { return N(h.RGB_Image_Size()); }, "29000"},
        Property_Case{"sample_size", "//RGB_sample_size", [](H &h) { h.Set_RGB_Sample_Size(29058); },
                      [](const H &h) { return N(h.RGB_Sample_Size()); }, "29058"},
        Property_Case{"max_size", "//RGB_compressed_max_size", [](H &h) { h.Set_RGB_Compressed_max_Size(40000); },
                      [](const H &h) { return N(h.RGB_Compressed_max_Size()); }, "40000"},
        Property_Case{"min_size", "//RGB_compressed_min_size", [](H &h) { h.Set_RGB_Compressed_min_Size(12345); },
                      [](const H &h) { return N(h.RGB_Compressed_min_Size()); }, "12345"},
        Property_Case{"fourcc", "//RGB_fourcc", [](H &h) { h.Set_RGB_fourcc(QStringLiteral("IJL")); },
                      [](const H &h) { return h.RGB_fourcc(); }, "IJL"},
        Property_Case{"codec", "//RGB_JPEG_Codec", [](H &h) { h.Set_RGB_JPEG_codec(QStringLiteral("Intel")); },
                      [](const H &h) { return h.RGB_JPEG_codec(); }, "Intel"},
        Property_Case{"quality", "//RGB_JPEG_Quality", [](H &h) { h.Set_RGB_JPEG_Quality(QStringLiteral("80")); },
                      [](const H &h) { return h.RGB_JPEG_Quality(); }, "80"},
        Property_Case{"reduced", "//RGB_JPEG_Quality_num_reduced", [](H &h) { h.Set_JPG_Reduced_Qual_num(3); },
                      [](const H &h) { return N(h.JPG_Reduced_Qual_num()); }, "3"}));

// --- defaults, widths, fallbacks -------------------------------------------------------------

TEST(Cls_XML_header_Reading, DefaultTextsReadByTheirRules) {
  Cls_XML_header h;
  Create_Default(h);
  EXPECT_FALSE(h.RGB_interlaced()); // "Y" is not "True"
  EXPECT_TRUE(h.RGB_Rotated());     // "Y" reads as t
  EXPECT_FALSE(h.Hound_dead_heat(2));
  EXPECT_EQ(h.Last_Capture_time(), QStringLiteral("0000"));
  EXPECT_EQ(h.Frames_no(), 0);
  EXPECT_EQ(h.RGB_Compressed_min_Size(), 99999999);
  EXPECT_EQ(h.Hound_Goal_compensation(), QStringLiteral("0000"));
  EXPECT_EQ(Failure_Of([&] { h.Hound_start_PC_mill(); }), Err_Type_Mismatch); // "hound_start_PC_mill"
}

TEST(Cls_XML_header_Reading, WidthsAreKeptAndOverflowIsFailureSix) {
  Cls_XML_header h;
  Create_Default(h);
  EXPECT_EQ(Failure_Of([&] { h.Set_Frames_no(32768); }), Err_Overflow);
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_heat_frame(1, -32769); }), Err_Overflow);
  EXPECT_EQ(Failure_Of([&] { h.Set_Running_Fps(70000); }), Err_Overflow);
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_Heat_time(1, false, 2147483648LL); }), Err_Overflow);
  EXPECT_EQ(Stored(h, "//num_frames"), "000") << "a refused value must leave the element alone";
  EXPECT_EQ(Stored(h, "//box[@id='1']/dog_heat_time"), "000000");
  // A 32-bit value in a 16-bit element is refused on reading too.
  h.Set_RGB_Image_Size(40000);
  h.Set_Segments_no(1);
  Cls_XML_header wide;
  wide.Set_XML_string(
      h.XML_string().replace(QStringLiteral("<num_segments>1<"), QStringLiteral("<num_segments>40000<")));
  EXPECT_EQ(Failure_Of([&] { wide.Segments_no(); }), Err_Overflow);
  EXPECT_EQ(wide.RGB_Image_Size(), 40000);
}

TEST(Cls_XML_header_Reading, OlderHeaderGivesFallbacksOrClearFailures) {
  Cls_XML_header h;
  h.Set_XML_string(QString::fromLatin1(Fixture("old_header.xml")));
  ASSERT_TRUE(h.Valid());
  // Fallbacks of absent elements
  EXPECT_EQ(h.Last_Capture_time(), QStringLiteral("0")) << "present but empty";
  EXPECT_EQ(h.Phidget_serial(), QStringLiteral("Not known!"));
  EXPECT_EQ(h.Computer_CPUInfo(), QStringLiteral("Not known!"));
  EXPECT_EQ(h.CPU_bitness(), QStringLiteral("Not known!"));
  EXPECT_EQ(h.OS_bitness(), QStringLiteral("Not known!"));
  EXPECT_EQ(h.Capture_Info(), QStringLiteral("Unknown Capture Info!"));
  EXPECT_EQ(h.Capture_property(), QString());
  EXPECT_EQ(h.Capture_source(), QString());
  EXPECT_EQ(h.Actual_sample(), QString());
  EXPECT_EQ(h.OS_version(), QString());
  EXPECT_EQ(h.Hound_Heat_Length(), QString());
  EXPECT_EQ(h.Hound_box_delay(), QStringLiteral("0"));
  EXPECT_EQ(h.RGB_JPEG_codec(), QStringLiteral("unknown"));
  EXPECT_EQ(h.RGB_JPEG_Quality(), QStringLiteral("0000"));
  EXPECT_EQ(h.comment(3), QString());
  EXPECT_FALSE(h.Hound_dead_heat(2));
  EXPECT_EQ(h.Hound_Heat_Click_Time(2), 0);
  // Unreadable values with a fallback
  EXPECT_EQ(h.Hound_Goal_compensation(), QStringLiteral("0")) << "abc";
  EXPECT_EQ(h.Hound_Split_compensation(), QStringLiteral("-12"));
  EXPECT_EQ(h.Hound_Heat_Click_Time(1), 0) << "oops";
  // Values that read
  EXPECT_EQ(h.Computer_name(), QStringLiteral("Gr\u00e4fin"));
  EXPECT_EQ(h.Hound_Dog_name(1), QStringLiteral("Rapid & Bold"));
  EXPECT_EQ(h.RGB_Y(), 880) << "blanks and leading zeros";
  EXPECT_TRUE(h.RGB_Rotated());
  EXPECT_FALSE(h.RGB_interlaced()) << "only \"True\" is true";
  EXPECT_TRUE(h.Hound_dead_heat(1));
  EXPECT_EQ(h.Hound_heat_frame(1), 32767);
  EXPECT_EQ(h.Hound_Heat_time(2, false), -1);
  // Failures the caller reports
  EXPECT_EQ(Failure_Of([&] { h.Frames_no(); }), Err_Type_Mismatch) << "-";
  EXPECT_EQ(Failure_Of([&] { h.Segments_no(); }), Err_Overflow) << "40000";
  EXPECT_EQ(Failure_Of([&] { h.RGB_X(); }), Err_Overflow) << "40000";
  EXPECT_EQ(Failure_Of([&] { h.RGB_Image_Size(); }), Err_Overflow) << "23 digits";
  EXPECT_EQ(Failure_Of([&] { h.RGB_Sample_Size(); }), Err_Overflow) << "2^31";
  EXPECT_EQ(Failure_Of([&] { h.Hound_Heat_time(1, false); }), Err_Type_Mismatch) << "12.5x";
  EXPECT_EQ(Failure_Of([&] { h.Hound_Heat_time(1, true); }), 91) << "absent";
  EXPECT_EQ(Failure_Of([&] { h.Hound_Dog_name(7); }), 91);
  EXPECT_EQ(Failure_Of([&] { h.Hound_Goal_Finish(); }), 91);
  EXPECT_EQ(Failure_Of([&] { h.Measured_fps(); }), 91);
}

TEST(Cls_XML_header_Reading, LastCaptureTimeOfAHeaderWithoutItIsTheCreationDate) {
  Cls_XML_header h;
  h.Set_XML_string(QStringLiteral("<QKR_header><file_data><creation_date>17-04-02 10:11:12</creation_date>"
                                  "</file_data></QKR_header>"));
  ASSERT_TRUE(h.Valid());
  EXPECT_EQ(h.Last_Capture_time(), QStringLiteral("17-04-02 10:11:12"));
}

TEST(Cls_XML_header_Writing, WritesNeverCreateElements) {
  Cls_XML_header h;
  h.Set_XML_string(QString::fromLatin1(Fixture("old_header.xml")));
  const QString before = h.XML_string();
  // These are skipped silently
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_dead_heat(2, true); }), 0);
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_box_delay(QStringLiteral("30")); }), 0);
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_Goal_Finish(QStringLiteral("1,2,3,4")); }), 0);
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_Goal_Split(QStringLiteral("1,2,3,4")); }), 0);
  // the others fail
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_Dog_name(7, QStringLiteral("x")); }), 91);
  EXPECT_EQ(Failure_Of([&] { h.Set_Hound_Heat_time(2, true, 100); }), 91);
  EXPECT_EQ(Failure_Of([&] { h.Set_Phidget_serial(QStringLiteral("1")); }), 91);
  EXPECT_EQ(h.XML_string(), before);
}

TEST(Cls_XML_header_Writing, TextsAreStoredAsLatin1WithReferencesBeyondIt) {
  struct Case {
    QString name;
    QByteArray stored;
  };
  const Case cases[] = {
      {QStringLiteral("Ren\u00e9e \u0141ucja"), QByteArray("<dog_name>Ren\xe9"
                                                           "e &#321;ucja</dog_name>")},
      {QStringLiteral("\u017b\u00f3\u0142w \u20ac"), QByteArray("<dog_name>&#379;\xf3"
                                                                "&#322;w &#8364;</dog_name>")},
      {QStringLiteral("Dog \U0001F415"), QByteArray("<dog_name>Dog &#128021;</dog_name>")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    Cls_XML_header h;
    Create_Default(h);
    h.Set_Hound_Dog_name(1, c.name);
    const QByteArray bytes = h.XML_bytes();
    EXPECT_TRUE(bytes.contains(c.stored)) << bytes.toStdString();
    EXPECT_EQ(h.Len_XML(), bytes.size());
    // What a reader gets from the stored bytes is the name itself.
    Cls_XML_header back;
    back.Set_XML_string(QString::fromLatin1(bytes));
    ASSERT_TRUE(back.Valid());
    EXPECT_EQ(back.Hound_Dog_name(1), c.name);
    EXPECT_EQ(back.XML_bytes(), bytes);
  }
}

// --- parsing what a file may hold ------------------------------------------------------------

class Cls_XML_header_Broken : public testing::TestWithParam<const char *> {};

TEST_P(Cls_XML_header_Broken, LeavesTheDocumentEmptyAndInvalid) {
  Cls_XML_header h;
  Create_Default(h);
  h.Set_XML_string(QString::fromLatin1(Fixture(GetParam())));
  EXPECT_FALSE(h.Valid());
  EXPECT_EQ(h.XML_string(), QString());
  EXPECT_EQ(Failure_Of([&] { h.Hound_event(); }), 91);
  EXPECT_EQ(h.Computer_name(), QStringLiteral("Unknown computer name"));
  // A good text afterwards is taken again.
  h.Set_XML_string(QString::fromLatin1(Fixture("default_header.xml")));
  EXPECT_TRUE(h.Valid());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Cls_XML_header_Broken,
                         testing::Values("broken_truncated.xml", "broken_mismatched.xml", "broken_not_xml.xml"));

TEST(Cls_XML_header_Parsing, EmptyAndHostileTextsGiveADefiniteAnswer) {
  Cls_XML_header h;
  h.Set_XML_string(QString());
  EXPECT_FALSE(h.Valid());
  EXPECT_EQ(h.XML_string(), QString());
  EXPECT_EQ(Failure_Of([&] { h.Hound_event(); }), 91);

  // Deep nesting is well-formed: parsed, searched and written back whole, without recursion.
  const QString deep = QStringLiteral("<a>").repeated(50000) + QStringLiteral("<hound_event>x</hound_event>") +
                       QStringLiteral("</a>").repeated(50000);
  h.Set_XML_string(deep);
  ASSERT_TRUE(h.Valid());
  EXPECT_EQ(h.Hound_event(), QStringLiteral("x"));
  EXPECT_EQ(h.XML_string(), deep + QStringLiteral("\r\n"));

  // Left open, the same nesting is refused and leaves nothing behind.
  h.Set_XML_string(QStringLiteral("<a>").repeated(50000) + QStringLiteral("<hound_event>x</hound_event>"));
  EXPECT_FALSE(h.Valid());
  EXPECT_EQ(h.XML_string(), QString());
  EXPECT_EQ(Failure_Of([&] { h.Hound_event(); }), 91);

  // Entities of a document type are never expanded: the reference stays as it was written.
  const QString laughs = QStringLiteral("<!DOCTYPE h [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
                                        "<QKR_header><hound_event>&b;</hound_event></QKR_header>");
  h.Set_XML_string(laughs);
  ASSERT_TRUE(h.Valid());
  EXPECT_EQ(h.Hound_event(), QStringLiteral("&b;"));

  const QString huge = QStringLiteral("<QKR_header><hound_event>") + QString(1000000, QLatin1Char('x')) +
                       QStringLiteral("</hound_event><RGB_X>") + QString(5000, QLatin1Char('9')) +
                       QStringLiteral("</RGB_X></QKR_header>");
  h.Set_XML_string(huge);
  ASSERT_TRUE(h.Valid());
  EXPECT_EQ(h.Hound_event(), QString(1000000, QLatin1Char('x')));
  EXPECT_EQ(Failure_Of([&] { h.RGB_X(); }), Err_Overflow);
}

// --- helpers ----------------------------------------------------------------------------------

TEST(Cls_XML_header_Helpers, BooleanTexts) {
  EXPECT_EQ(Cls_XML_header::Bool_to_XML_string(true), QStringLiteral("t"));
  EXPECT_EQ(Cls_XML_header::Bool_to_XML_string(false), QStringLiteral("f"));
  for (const char *s : {"t", "Y"})
    EXPECT_TRUE(Cls_XML_header::XML_string_to_Bool(QString::fromLatin1(s))) << s;
  for (const char *s : {"f", "True", "y", "T", "", "N"})
    EXPECT_FALSE(Cls_XML_header::XML_string_to_Bool(QString::fromLatin1(s))) << s;
}

TEST(Cls_XML_header_Helpers, GeneralDateHasSecondsAndNoTimeZone) {
  const QDateTime when(QDate(2018, 5, 23), QTime(14, 2, 7));
  const QString text = Cls_XML_header::General_Date_Text(when);
  EXPECT_TRUE(text.contains(QStringLiteral(":02:07"))) << text.toStdString();
  EXPECT_FALSE(text.contains(when.timeZoneAbbreviation())) << text.toStdString();
}

TEST(Cls_XML_header_Helpers, DumpWritesTheTextIntoTheDataFolder) {
  Temp_AppData appdata;
  auto &op = Scripted_Operator::Install();
  op.Answer(Msg_Result::OK);
  op.Answer(Msg_Result::OK);
  Cls_XML_header h;
  Create_Default(h);
  h.Dump_XML_to_File(QString());
  h.Dump_XML_to_File(QStringLiteral("heat3.xml"));
  EXPECT_EQ(appdata.Read(QStringLiteral("xmldump.xml")), h.XML_bytes());
  EXPECT_EQ(appdata.Read(QStringLiteral("heat3.xml")), h.XML_bytes());
  EXPECT_EQ(op.Message_Texts(),
            (QStringList{QStringLiteral("XML header dumped to: ") + appdata.File(QStringLiteral("xmldump.xml")),
                         QStringLiteral("XML header dumped to: ") + appdata.File(QStringLiteral("heat3.xml"))}));
}
} // namespace
