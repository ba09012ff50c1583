// The demonstration records the classic finish camera: the test track at 25 frames a second
// interlaced, in a format whose picture holds the whole crop the window then uses.

#include "app/ui/Form_Lurcher.h"
#include "app/ui/Race_Demo.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/Test_Track_Component.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {
namespace M = Module_HDMI_Support;

class Race_Demo_Test : public testing::Test {
protected:
  void SetUp() override {
    Globals::Closing = false;
    Frame_Buffers().clear();
  }
  void TearDown() override {
    Frame_Buffers().clear();
    Globals::Closing = false;
  }
  Temp_AppData appdata_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
};

TEST_F(Race_Demo_Test, TheDemoFilmsTwentyFiveInterlacedFramesAndACropThePictureHolds) {
  // A settings folder of an earlier run, with a crop and a format of its own.
  Write_INI(QStringLiteral("Settings"), QStringLiteral("lastcrop"), QStringLiteral("576*720"), Globals::Ini_File);
  Write_INI(M::Settings_Section, M::Key_Video_Property, QStringLiteral("3"), Globals::Ini_File);
  Race_Demo::Choose_Test_Track();
  EXPECT_EQ(Read_INI(M::Settings_Section, M::Key_Friendly_Name, Globals::Ini_File, QString()),
            Embedded_Source_Friendly_Name());

  Form_Lurcher form;
  form.Simulate_Kit = true;
  form.Form_Load(QString());
  ASSERT_FALSE(form.Program_Ended());
  // The crop is one the window offers, and it is the one in use.
  const auto chosen = std::find_if(form.item_crop_size.begin(), form.item_crop_size.end(),
                                   [](const QAction *item) { return item->isChecked(); });
  ASSERT_NE(chosen, form.item_crop_size.end());
  EXPECT_EQ((*chosen)->text(), QStringLiteral("%1*%2").arg(form.Crop_X).arg(form.Crop_Y));
  EXPECT_EQ(form.Crop_X, 400);
  EXPECT_EQ(form.Crop_Y, 880);

  Test_Track_Component track;
  ASSERT_TRUE(track.SelectSource(QStringLiteral("video:1")));
  bool ok = false;
  const int number = Read_INI(M::Settings_Section, M::Key_Video_Property, Globals::Ini_File, QString()).toInt(&ok);
  ASSERT_TRUE(ok);
  const std::optional<Capture_Format> format = track.Format_Record(number);
  ASSERT_TRUE(format);
  EXPECT_TRUE(format->interlaced);
  EXPECT_EQ(format->frame_time_100ns, 400000) << "25 frames a second";
  EXPECT_GE(format->width, form.Crop_X) << "no black bands beside the picture";
  EXPECT_GE(format->height, form.Crop_Y) << "no black bands above and below";
}
} // namespace
