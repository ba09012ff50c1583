#include "app/ui/Heat_Preview.h"
#include "ui_Form_Lurcher.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "events/Event_File_Name.h"
#include "events/ui/Form_event_registration.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {
QString Setting(const char *key) {
  return Read_INI(QStringLiteral("Settings"), QString::fromLatin1(key), Globals::Ini_File, QString());
}

class Preview : public testing::Test {
protected:
  void SetUp() override {
    Globals::Event_Folder = appdata.Path() + QStringLiteral("/Lurcher Event Files/");
    Globals::Event_Present = false;
    Event_Files::Event_File.clear();
    ui.setupUi(&main_window);
    ui.Frame_dogs_Heat->hide();
    events.Form_Load();
  }
  void TearDown() override {
    op.Expect_All_Answered();
    Globals::Event_Folder.clear();
    Event_Files::Event_File.clear();
    Globals::Event_Present = false;
  }

  QLineEdit &Edit(const char *name) { return *events.findChild<QLineEdit *>(QString::fromLatin1(name)); }
  void Leave(const char *name) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&Edit(name), &out);
  }

  // Summer Cup, heat 3 "Puppy final" over 480 m with two dogs; heat 4 named, without a length.
  void Make_Event() {
    Edit("Text_event_name").setText(QStringLiteral("Summer Cup"));
    Edit("Text_day").setText(QStringLiteral("2018-05-26"));
    events.item_create_event_file_Click();
    events.findChild<QSpinBox *>(QStringLiteral("UpDown_heat"))->setValue(3);
    Edit("Text_heatName").setText(QStringLiteral("Puppy final"));
    Leave("Text_heatName");
    Edit("Text_heatLength").setText(QStringLiteral("480"));
    Leave("Text_heatLength");
    Edit("Text_dog_name_1").setText(QStringLiteral("Lightning Lad"));
    Edit("Text_dog_name_6").setText(QStringLiteral("Blue Comet"));
    events.findChild<QSpinBox *>(QStringLiteral("UpDown_heat"))->setValue(4);
    Edit("Text_heatName").setText(QStringLiteral("Open"));
    Leave("Text_heatName");
  }
  void Select(int heat) {
    ui.UpDown_heat->setValue(heat);
    preview.UpDown_heat_Change();
  }

  Temp_AppData appdata;
  Scripted_Operator &op = Scripted_Operator::Install();
  QMainWindow main_window;
  Ui::Form_Lurcher ui;
  Form_event_registration events;
  bool heat_file_open = false;
  Heat_Preview preview{ui, events, [this] { return heat_file_open; }};
};
} // namespace

TEST_F(Preview, TheSelectedHeatOfTheEventIsShown) {
  Make_Event();
  Select(3);
  EXPECT_FALSE(ui.Frame_dogs_Heat->isHidden());
  EXPECT_EQ(ui.Label_event_file->text(), QStringLiteral("Summer Cup2018_05_26.xml"));
  EXPECT_EQ(ui.Label_event_name->text(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(ui.Label_heat_number2->text(), QStringLiteral("3"));
  EXPECT_EQ(ui.Label_heat_name2->text(), QStringLiteral("Puppy final"));
  EXPECT_EQ(ui.Label_dog_0->text(), QStringLiteral("Lightning Lad"));
  EXPECT_TRUE(ui.Label_dog_1->text().isEmpty());
  EXPECT_EQ(ui.Label_dog_5->text(), QStringLiteral("Blue Comet"));
  EXPECT_EQ(ui.Label_day->text(), QStringLiteral("2018-05-26"));
  EXPECT_EQ(ui.Label_heat_num->text(), QStringLiteral("3"));
  EXPECT_EQ(ui.Label_Heat_name->text(), QStringLiteral("Puppy final"));
  EXPECT_EQ(ui.Label_Heat_name->toolTip(), QStringLiteral("Puppy final"));
  EXPECT_EQ(ui.Label_event->text(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(ui.Label_heat_length->text(), QStringLiteral("480 m"));
  EXPECT_EQ(Setting("Heat_ID"), QStringLiteral("3"));

  Select(4);
  EXPECT_EQ(ui.Label_heat_length->text(), QString()) << "no length shows no \" m\"";
  EXPECT_EQ(Setting("Heat_ID"), QStringLiteral("4"));
}

TEST_F(Preview, WithAHeatFileOpenTheSelectorChangesNothing) {
  Make_Event();
  Select(3);
  heat_file_open = true;
  Select(4);
  EXPECT_EQ(ui.Label_heat_num->text(), QStringLiteral("3"));
  EXPECT_EQ(ui.Label_Heat_name->text(), QStringLiteral("Puppy final"));
  EXPECT_EQ(Setting("Heat_ID"), QStringLiteral("3"));
}

TEST_F(Preview, WithoutAnEventTheLabelsReadTest) {
  Select(5);
  EXPECT_TRUE(ui.Frame_dogs_Heat->isHidden());
  EXPECT_EQ(Setting("Heat_ID"), QStringLiteral("N/A")) << "not stored without an event";
  ui.Label_heat_length->setText(QStringLiteral("480 m"));
  preview.Display_Heat_Data();
  EXPECT_EQ(ui.Label_Heat_name->text(), QStringLiteral("Test"));
  EXPECT_EQ(ui.Label_Heat_name->toolTip(), QStringLiteral("Test"));
  EXPECT_EQ(ui.Label_event->text(), QStringLiteral("Test"));
  EXPECT_TRUE(ui.Label_heat_length->text().isEmpty());
  EXPECT_TRUE(ui.Label_day->text().isEmpty());
  EXPECT_TRUE(ui.Label_heat_num->text().isEmpty());
}

TEST_F(Preview, AfterNoEventFileTheLabelsReadTestAgain) {
  Make_Event();
  Select(3);
  events.No_Event_File();
  preview.Display_Heat_Data();
  EXPECT_EQ(ui.Label_event->text(), QStringLiteral("Test"));
  EXPECT_TRUE(ui.Label_heat_num->text().isEmpty());
}

TEST_F(Preview, HideHidesThePanel) {
  Make_Event();
  Select(3);
  preview.Command_hide_Click();
  EXPECT_TRUE(ui.Frame_dogs_Heat->isHidden());
}

TEST_F(Preview, TheShownHeatsDogsGoIntoTheHeatFile) {
  Make_Event();
  Select(3);
  cls_VideoFile_handler heat_file;
  heat_file.Header().Create_Header(); // a new heat's header, as initiating a heat file makes it
  preview.Update_Dog_names(heat_file);
  EXPECT_EQ(heat_file.Hound_Dog_name(1), QStringLiteral("Lightning Lad"));
  EXPECT_EQ(heat_file.Hound_Dog_name(6), QStringLiteral("Blue Comet"));
  EXPECT_TRUE(heat_file.Hound_Dog_name(2).isEmpty());
}
