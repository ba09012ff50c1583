#include "app/ui/Form_Lurcher.h"
#include "app/ui/Heat_Preview.h"
#include "ui_Form_Lurcher.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "events/Event_File_Fixture.h"
#include "events/Event_State.h"
#include "events/ui/Form_event_registration.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <QFocusEvent>
#include <QLabel>
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
    Event_State::Event_Present = false;
    Event_State::Event_File.clear();
    ui.setupUi(&main_window);
    ui.Frame_dogs_Heat->hide();
    events.Form_Load();
  }
  void TearDown() override {
    op.Expect_All_Answered();
    Globals::Event_Folder.clear();
    Event_State::Event_File.clear();
    Event_State::Event_Present = false;
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

TEST_F(Preview, NoEventFileLeavesTheProgramWithoutAnEvent) {
  Make_Event();
  Select(3);
  preview.item_No_event_file_Click();
  EXPECT_FALSE(Event_State::Event_Present);
  EXPECT_TRUE(Event_State::Event_File.isEmpty());
  EXPECT_EQ(Setting("current_event_file"), QStringLiteral("N/A")) << "stored empty";
  EXPECT_TRUE(ui.Frame_dogs_Heat->isHidden());
  EXPECT_EQ(ui.Label_event->text(), QStringLiteral("Test"));
  EXPECT_EQ(ui.Label_Heat_name->text(), QStringLiteral("Test"));
  EXPECT_TRUE(ui.Label_heat_num->text().isEmpty());
  EXPECT_EQ(events.findChild<QLabel *>(QStringLiteral("Label_event_filename"))->text(),
            QStringLiteral("No event file"));
  Select(4);
  EXPECT_TRUE(ui.Frame_dogs_Heat->isHidden()) << "the selector shows no panel without an event";
}

// The whole program: the main window loads the event window hidden, and both follow the
// event file across a restart.
class Program : public testing::Test {
protected:
  void SetUp() override { Forget_Run(); }
  void TearDown() override {
    op.Expect_All_Answered();
    Forget_Run();
  }
  // What a new process starts with.
  static void Forget_Run() {
    Globals::Closing = false;
    Event_State::Event_Present = false;
    Event_State::Event_File.clear();
  }
  static QLineEdit &Edit(Form_event_registration &events, const char *name) {
    return *events.findChild<QLineEdit *>(QString::fromLatin1(name));
  }
  static void Leave(QWidget &widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&widget, &out);
  }

  Temp_AppData appdata;
  Scripted_Operator &op = Scripted_Operator::Install();
};

TEST_F(Program, WithoutAnEventFileThePreviewReadsTest) {
  Form_Lurcher form;
  form.Form_Load(QString());
  EXPECT_FALSE(form.Event_Registration().isVisible()) << "loaded hidden";
  EXPECT_FALSE(form.Event_Registration().Event_Open());
  EXPECT_EQ(form.ui->Label_Heat_name->text(), QStringLiteral("Test"));
  EXPECT_TRUE(form.ui->Label_heat_num->text().isEmpty());
  EXPECT_TRUE(form.ui->Frame_dogs_Heat->isHidden());
  form.ui->item_event_registration->trigger();
  EXPECT_TRUE(form.Event_Registration().isVisible());
}

TEST_F(Program, AnEventMadeInTheWindowSurvivesARestart) {
  {
    Form_Lurcher form;
    form.Form_Load(QString());
    Form_event_registration &events = form.Event_Registration();
    Edit(events, "Text_event_name").setText(QStringLiteral("Summer Cup"));
    Edit(events, "Text_day").setText(QStringLiteral("2018-05-26"));
    events.item_create_event_file_Click();
    events.findChild<QSpinBox *>(QStringLiteral("UpDown_heat"))->setValue(3);
    Edit(events, "Text_heatName").setText(QStringLiteral("Puppy final"));
    Leave(Edit(events, "Text_heatName"));
    Edit(events, "Text_heatLength").setText(QStringLiteral("480"));
    Leave(Edit(events, "Text_heatLength"));
    Edit(events, "Text_dog_name_6").setText(QStringLiteral("Blue Comet")); // saved when the program ends
    form.ui->UpDown_heat->setValue(3);
    EXPECT_EQ(form.ui->Label_dog_5->text(), QStringLiteral("Blue Comet"));
    form.Lurcher_End();
  }
  Forget_Run();

  Form_Lurcher form;
  form.Form_Load(QString());
  EXPECT_TRUE(form.Event_Registration().Event_Open());
  EXPECT_TRUE(Event_State::Event_Present);
  EXPECT_EQ(form.ui->Label_event->text(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(form.ui->UpDown_heat->value(), 3) << "Heat_ID";
  EXPECT_EQ(form.ui->Label_heat_num->text(), QStringLiteral("3"));
  EXPECT_EQ(form.ui->Label_Heat_name->text(), QStringLiteral("Puppy final"));
  EXPECT_EQ(form.ui->Label_heat_length->text(), QStringLiteral("480 m"));
  EXPECT_EQ(form.ui->Label_day->text(), QStringLiteral("2018-05-26"));
  EXPECT_EQ(form.ui->Label_event_file->text(), QStringLiteral("Summer Cup2018_05_26.xml"));
  EXPECT_EQ(form.ui->Label_dog_5->text(), QStringLiteral("Blue Comet"));
  EXPECT_FALSE(form.ui->Frame_dogs_Heat->isHidden());
}

TEST_F(Program, TheMenusOpenAndDropTheEventFile) {
  Form_Lurcher form;
  form.Form_Load(QString());
  Event_File_Fixture fixture;
  fixture.event_name = QStringLiteral("Spring Meeting");
  fixture.heat_name[1] = QStringLiteral("Sprint");
  fixture.dog_name[{1, 1}] = QStringLiteral("Rex");
  op.Answer_File(appdata.Write(QStringLiteral("spring.xml"), fixture.Bytes()));
  form.ui->item_open_event_file->trigger();
  EXPECT_EQ(form.ui->Label_event->text(), QStringLiteral("Spring Meeting"));
  EXPECT_EQ(form.ui->Label_Heat_name->text(), QStringLiteral("Sprint"));
  EXPECT_EQ(form.ui->Label_dog_0->text(), QStringLiteral("Rex"));

  form.ui->Command_hide->click();
  EXPECT_TRUE(form.ui->Frame_dogs_Heat->isHidden());

  form.ui->item_No_event_file->trigger();
  EXPECT_FALSE(Event_State::Event_Present);
  EXPECT_EQ(form.ui->Label_event->text(), QStringLiteral("Test"));
  EXPECT_EQ(Setting("current_event_file"), QStringLiteral("N/A"));
}
