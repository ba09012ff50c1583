#include "../Fake_Capture_Component.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/cls_Capture_HDMI.h"
#include "capture/ui/Form_select_Video.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {
constexpr std::int64_t fps_25 = 400000, fps_50 = 200000, fps_29_97 = 333667, fps_59_94 = 166834;

std::vector<Fake_Source> Club_Sources() {
  // Formats 0, 1 and 3 read alike, 2 differs: rows for 0, 2 and 3.
  return {
      {QStringLiteral("USB3 HDMI Grabber"),
       {Fake_Format(1920, 1080, fps_25), Fake_Format(1920, 1080, fps_25), Fake_Format(1280, 720, fps_50),
        Fake_Format(1920, 1080, fps_25)}},
      {QStringLiteral("Lurcher test track"), {Fake_Format(1920, 1080, fps_29_97), Fake_Format(720, 576, fps_59_94)}}};
}

class Select_Video_Test : public testing::Test {
protected:
  void SetUp() override { Use(Club_Sources()); }
  void TearDown() override {
    Set_Capture_Component_Factory(nullptr);
    Module_HDMI_Support::m_saved_Friendly_name.clear();
    Module_HDMI_Support::m_saved_Video_prop_num.clear();
    Module_HDMI_Support::Limit_Capture_25_Fps = true;
  }
  void Use(std::vector<Fake_Source> sources) {
    Set_Capture_Component_Factory([sources] { return std::make_unique<Fake_Capture_Component>(sources); });
  }
  QString Setting(const char *key) {
    return Read_INI(QStringLiteral("capturesettings"), QString::fromLatin1(key), Globals::Ini_File,
                    QStringLiteral("unset"));
  }

  Temp_AppData appdata_;
  Scripted_Operator &operator_ = Scripted_Operator::Install();
  Form_select_Video form_;
};

TEST_F(Select_Video_Test, ListsEachRunOfLikeFormatsOnce) {
  form_.Command_enum2_Click();
  const QString point = QLocale::system().decimalPoint();
  const std::vector<QStringList> expected = {
      {"1", "USB3 HDMI Grabber", "0", "1920*1080/25"},
      {"1", "USB3 HDMI Grabber", "2", "1280*720/50"},
      {"1", "USB3 HDMI Grabber", "3", "1920*1080/25"},
      {"2", "Lurcher test track", "0", "1920*1080/30"}, // 29.97 reads as 30
      {"2", "Lurcher test track", "1", "720*576/59" + point + "9"},
  };
  ASSERT_EQ(form_.Row_Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < form_.Row_Count(); ++i)
    EXPECT_EQ(form_.Row(i), expected[static_cast<std::size_t>(i)]) << "row " << i;
  EXPECT_EQ(form_.Selected_Row(), -1) << "nothing saved was looked up yet";
  form_.Command_enum2_Click();
  EXPECT_EQ(form_.Row_Count(), 5) << "enumerating again starts from an empty list";
}

TEST_F(Select_Video_Test, NoSourcesLeavesTheListEmpty) {
  Use({});
  form_.Command_enum2_Click();
  EXPECT_EQ(form_.Row_Count(), 0);
  form_.show();
  operator_.Answer(Msg_Result::OK);
  form_.Command_select_done_Click();
  EXPECT_EQ(operator_.Message_Texts(), QStringList{QStringLiteral("No video source selected!")});
  EXPECT_TRUE(form_.isVisible());
}

TEST_F(Select_Video_Test, ChoosingARowStoresItAndReopeningAsksAgain) {
  form_.show();
  form_.Command_enum2_Click();
  form_.ListView_prop_Click(3);
  EXPECT_EQ(Setting("friendlyname"), QStringLiteral("Lurcher test track"));
  EXPECT_EQ(Setting("videoproperty"), QStringLiteral("0"));
  EXPECT_EQ(form_.findChild<QLabel *>(QStringLiteral("Label_property_string"))->text(), QStringLiteral("1920*1080/30"));
  form_.Command_select_done_Click();
  EXPECT_FALSE(form_.isVisible());
  EXPECT_FALSE(form_.m_was_Cancelled());

  form_.show(); // reopened: the earlier choice does not count
  operator_.Answer(Msg_Result::OK);
  form_.Command_select_done_Click();
  EXPECT_EQ(operator_.Message_Texts(), QStringList{QStringLiteral("No video source selected!")});
  EXPECT_TRUE(form_.isVisible());
}

TEST_F(Select_Video_Test, CancelHidesWithoutAChoice) {
  form_.show();
  form_.Command_Cancel_Click();
  EXPECT_TRUE(form_.m_was_Cancelled());
  EXPECT_FALSE(form_.isVisible());
  EXPECT_EQ(Setting("friendlyname"), QStringLiteral("unset"));
}

TEST_F(Select_Video_Test, SavedChoiceIsMarkedInBlue) {
  Module_HDMI_Support::m_saved_Friendly_name = QStringLiteral("USB3 HDMI Grabber");
  Module_HDMI_Support::m_saved_Video_prop_num = QStringLiteral("2");
  form_.Command_enum2_Click();
  ASSERT_EQ(form_.Selected_Row(), 1);
  const auto *list = form_.findChild<QTreeWidget *>(QStringLiteral("ListView_prop"));
  EXPECT_EQ(list->topLevelItem(1)->foreground(1).color(), QColor(0, 0, 255));
  EXPECT_NE(list->topLevelItem(0)->foreground(1).color(), QColor(0, 0, 255));
}

TEST_F(Select_Video_Test, ListContentsOnTheClipboard) {
  Globals::Computer_Name = QStringLiteral("FINISH-PC");
  form_.Command_enum2_Click();
  form_.item_list_contents_Click();
  const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 8); // two heading lines, five rows, and the empty rest after the last CR LF
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Video source enumeration at ")));
  EXPECT_EQ(lines[0].size(), QStringLiteral("Video source enumeration at yyyy-mm-dd hh:nn:ss").size());
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Program version Lurcher_HDMI ")));
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" Computer name FINISH-PC")));
  EXPECT_EQ(lines[3], QStringLiteral("1  USB3 HDMI Grabber  2  1280*720/50"));
  EXPECT_EQ(lines[7], QString());
}

TEST_F(Select_Video_Test, RateLimitBoxFeedsTheCaptureObject) {
  auto *box = form_.findChild<QCheckBox *>(QStringLiteral("Check_limit_fps"));
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isChecked());
  box->setChecked(false);
  EXPECT_FALSE(Module_HDMI_Support::Limit_Capture_25_Fps);
  Form_select_Video second;
  EXPECT_TRUE(Module_HDMI_Support::Limit_Capture_25_Fps) << "a new window starts ticked";
}
// Without a camera the window lists the program's own sources: the GStreamer test pattern
// (when asked for) and the test track last; a row chosen here is the one the capture object
// then finds.
TEST_F(Select_Video_Test, ListsTheProgramsOwnSourcesAndTheChoiceIsFound) {
  Set_Capture_Component_Factory(nullptr);
  qputenv("LURCHER_GST_TEST_SOURCE", "1");
  form_.show();
  form_.Command_enum2_Click();
  qunsetenv("LURCHER_GST_TEST_SOURCE");
  QStringList pattern, track;
  int track_row = -1;
  for (int i = 0; i < form_.Row_Count(); ++i) {
    const QStringList row = form_.Row(i);
    if (row[1] == QStringLiteral("GStreamer test pattern"))
      pattern << row[3];
    if (row[1] == QStringLiteral("Lurcher test track")) {
      track << row[2] + QLatin1Char(' ') + row[3];
      track_row = i;
    }
  }
  EXPECT_EQ(pattern, QStringList({"318*240/50", "640*480/30", "1280*720/50", "1920*1080/25"}));
  EXPECT_EQ(track, QStringList({"0 1920*1080/50", "1 1920*1080/25", "2 720*576/25", "3 1280*720/50"}));
  ASSERT_EQ(track_row, form_.Row_Count() - 1) << "the test track comes last";
  form_.ListView_prop_Click(track_row - 1); // 720*576/25
  form_.Command_select_done_Click();
  EXPECT_FALSE(form_.isVisible());

  cls_Capture_HDMI capture;
  EXPECT_TRUE(capture.Set_Source_from_Saved());
  EXPECT_EQ(capture.Current_FriendlyName(), QStringLiteral("Lurcher test track"));
  EXPECT_EQ(capture.Current_PropertyString(), QStringLiteral("720*576/25"));
}
} // namespace
