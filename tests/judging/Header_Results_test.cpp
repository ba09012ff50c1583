#include "judging/Header_Results.h"
#include "recording/Cls_XML_header.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Failure.h"

#include "Judging_Test_Support.h"
#include <cctype>

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {
constexpr std::int16_t Err_Object_Not_Set = 91;

// A fresh heat header with the dogs' names, judged values in every box.
void Create_Judged(Cls_XML_header &h) {
  h.Create_Header(Header_Origin{});
  h.Set_Hound_event(QStringLiteral("Spring meeting"));
  h.Set_Hound_Heat_ID(QStringLiteral("7"));
  h.Set_Hound_Heat_Name(QStringLiteral("Puppy stakes"));
  h.Set_Hound_start_DateTime(QStringLiteral("23-05-2018 12:18:54"));
  for (int box = 1; box <= header_boxes; ++box) {
    h.Set_Hound_Dog_name(box, QStringLiteral("Dog %1").arg(box));
    h.Set_Hound_Heat_time(box, false, 28000 + 100 * box);
    h.Set_Hound_Heat_time(box, true, 12000 + 100 * box);
    h.Set_Hound_Heat_Click_Time(box, 50000 + box);
    h.Set_Hound_heat_frame(box, 700 + box);
    h.Set_Hound_split_frame(box, 300 + box);
    h.Set_Hound_dead_heat(box, box == 3);
  }
}

// The same header without one element of one box, as a damaged or foreign file has it.
void Create_Without(Cls_XML_header &damaged, int box, const char *element) {
  Cls_XML_header h;
  Create_Judged(h);
  h.Set_Hound_Heat_Click_Time(box, 4242); // makes that box's elements unique in the text
  h.Set_Hound_heat_frame(box, 4243);
  QString text = h.XML_string();
  const QString tag = QString::fromLatin1(element);
  const QString value = tag == QLatin1String("dog_heat_frame") ? QStringLiteral("4243") : QStringLiteral("4242");
  const QString node = QStringLiteral("<%1>%2</%1>").arg(tag, value);
  ASSERT_EQ(text.count(node), 1) << node.toStdString();
  text.remove(node);
  damaged.Set_XML_string(text);
  ASSERT_TRUE(damaged.Valid());
}

TEST(Header_Results, TheTableFromTheHeaderIsTheTableOfItsValues) {
  Cls_XML_header h;
  Create_Judged(h);
  h.Set_Hound_Heat_time(5, false, 0);
  h.Set_Hound_Heat_time(6, true, 0);

  const Result_Array table = Load_Result_Array(h);
  EXPECT_EQ(table(3), (Result_Record{3, 28300, 12300, 50003, QStringLiteral("Dog 3"), true}));
  EXPECT_EQ(table(5).Heat_time, no_time);
  EXPECT_EQ(table(6).Split_time, no_time);
  const Heat_Results values = Read_Heat_Results(h);
  const Result_Array from_values = Load_Result_Array(values);
  for (int row = 1; row <= heat_boxes; ++row)
    EXPECT_EQ(table(row), from_values(row)) << row;
  EXPECT_EQ(values.Box(8), (Header_Box{QStringLiteral("Dog 8"), 28800, 12800, 50008, 708, 308, false}));

  const Result_Heading heading = Load_Result_Heading(h);
  EXPECT_EQ(heading.event, QStringLiteral("Spring meeting"));
  EXPECT_EQ(heading.heat_id, QStringLiteral("7"));
  EXPECT_EQ(heading.heat_name, QStringLiteral("Puppy stakes"));
  EXPECT_EQ(heading.started, QStringLiteral("Started at: 23-05-2018 12:18:54"));
}

TEST(Header_Results, TheHeatFileObjectGivesItsHeadersTable) {
  cls_VideoFile_handler heat;
  Create_Judged(heat.Header());
  heat.Header().Set_Hound_Dog_name(2, QStringLiteral("Blue Comet"));
  EXPECT_EQ(Load_Result_Array(heat)(2).Dog_Name, QStringLiteral("Blue Comet"));
  EXPECT_EQ(Load_Result_Heading(heat).heat_id, QStringLiteral("7"));
}

TEST(Header_Results, AnUnreadableTimeIsTheHeadersFailure) {
  Cls_XML_header h;
  Create_Without(h, 4, "dog_heat_frame"); // the table does not need the frame
  EXPECT_EQ(Failure_Of([&] { Load_Result_Array(h); }), 0);
  Cls_XML_header no_time_element;
  h.Set_Hound_Heat_time(2, false, 0);
  QString text = h.XML_string();
  text.replace(QStringLiteral("<dog_heat_time>0</dog_heat_time>"),
               QStringLiteral("<dog_heat_time>12,3</dog_heat_time>"));
  no_time_element.Set_XML_string(text);
  ASSERT_TRUE(no_time_element.Valid());
  EXPECT_EQ(Failure_Of([&] { Load_Result_Array(no_time_element); }), Err_Type_Mismatch);
}

// ---- writing ----

struct Write_Case {
  std::string name;
  std::vector<Box_Assignment> assignments;
};
void PrintTo(const Write_Case &c, std::ostream *out) { *out << c.name; }

class Header_Results_Write : public testing::TestWithParam<Write_Case> {};

TEST_P(Header_Results_Write, TheHeaderGetsWhatTheValuesGet) {
  Cls_XML_header h;
  Create_Judged(h);
  Heat_Results expected = Read_Heat_Results(h);
  for (const Box_Assignment &a : GetParam().assignments) {
    Apply_Assignment(h, a);
    Apply_Assignment(expected, a);
  }
  EXPECT_EQ(Read_Heat_Results(h), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Header_Results_Write,
    testing::Values(Write_Case{"goal time", {{2, false, 31250, 781, 61000, false}}},
                    Write_Case{"goal time with dead heat", {{4, false, 31250, 781, 61000, true}}},
                    Write_Case{"clearing a dead heat", {{3, false, 31250, 781, 61000, false}}},
                    Write_Case{"code", {{5, false, code_no_rank, 790, 62000, false}}},
                    Write_Case{"split only", {{6, true, 13050, 330, 0, false}}},
                    Write_Case{"re-assigning a box",
                               {{1, false, 31250, 781, 61000, true}, {1, false, 30990, 775, 63000, false}}},
                    Write_Case{"box 8 of the header", {{8, false, 29990, 760, 64000, true}}}),
    [](const testing::TestParamInfo<Write_Case> &param_info) { return Test_Name(param_info.param.name); });

TEST(Header_Results, DeadHeatIsStoredAsTrue) {
  Cls_XML_header h;
  h.Create_Header(Header_Origin{});
  Apply_Assignment(h, Box_Assignment{2, false, 28450, 710, 50000, true});
  EXPECT_TRUE(h.XML_string().contains(QStringLiteral("<dog_dead_heat>True</dog_dead_heat>")));
  EXPECT_TRUE(h.Hound_dead_heat(2));
}

TEST(Header_Results, ClearingEmptiesAllEightBoxesAndKeepsNamesAndSplitFrames) {
  Cls_XML_header h;
  Create_Judged(h);
  Clear_all_Results(h);
  for (int box = 1; box <= header_boxes; ++box) {
    SCOPED_TRACE(box);
    EXPECT_EQ(h.Hound_Dog_name(box), QStringLiteral("Dog %1").arg(box));
    EXPECT_EQ(h.Hound_split_frame(box), 300 + box);
    EXPECT_EQ(h.Hound_Heat_time(box, false), 0);
    EXPECT_EQ(h.Hound_Heat_time(box, true), 0);
    EXPECT_EQ(h.Hound_Heat_Click_Time(box), 0);
    EXPECT_EQ(h.Hound_heat_frame(box), 0);
    EXPECT_FALSE(h.Hound_dead_heat(box));
  }
  EXPECT_EQ(Timed_Boxes(h, false), (std::array<bool, heat_boxes>{}));
  EXPECT_EQ(Timed_Boxes(h, true), (std::array<bool, heat_boxes>{}));
}

// A write that cannot be whole changes nothing: the next save would store a box half judged.
TEST(Header_Results, AHeaderWithoutAnElementKeepsEveryValue) {
  Cls_XML_header no_click;
  Create_Without(no_click, 8, "dog_heat_click_time");
  const QString before_clear = no_click.XML_string();
  EXPECT_EQ(Failure_Of([&] { Clear_all_Results(no_click); }), Err_Object_Not_Set);
  EXPECT_EQ(no_click.XML_string(), before_clear);
  EXPECT_EQ(no_click.Hound_Heat_time(1, false), 28100);

  Cls_XML_header no_frame;
  Create_Without(no_frame, 3, "dog_heat_frame");
  const QString before_goal = no_frame.XML_string();
  EXPECT_EQ(Failure_Of([&] {
              Apply_Assignment(no_frame, Box_Assignment{3, false, 31250, 781, 61000, false});
            }),
            Err_Object_Not_Set);
  EXPECT_EQ(no_frame.XML_string(), before_goal);
  EXPECT_EQ(no_frame.Hound_Heat_time(3, false), 28300);
  EXPECT_TRUE(no_frame.Hound_dead_heat(3));
  // a split needs no goal frame
  Apply_Assignment(no_frame, Box_Assignment{3, true, 13050, 330, 0, false});
  EXPECT_EQ(no_frame.Hound_Heat_time(3, true), 13050);
  EXPECT_EQ(no_frame.Hound_split_frame(3), 330);
}

TEST(Header_Results, TimedBoxesFollowTheMode) {
  Cls_XML_header h;
  h.Create_Header(Header_Origin{});
  Apply_Assignment(h, Box_Assignment{2, false, 28450, 710, 50000, false});
  Apply_Assignment(h, Box_Assignment{5, false, code_disqualified, 712, 50100, false});
  Apply_Assignment(h, Box_Assignment{6, true, 12340, 310, 0, false});
  EXPECT_EQ(Timed_Boxes(h, false), (std::array<bool, heat_boxes>{false, true, false, false, true, false}));
  EXPECT_EQ(Timed_Boxes(h, true), (std::array<bool, heat_boxes>{false, false, false, false, false, true}));
}
} // namespace
