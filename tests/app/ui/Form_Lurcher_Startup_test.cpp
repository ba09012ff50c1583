// The main window's start-up and shutdown, offscreen, in a fresh application-data folder.

#include "app/Module_Lurcher.h"
#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "capture/cls_Capture_HDMI.h"
#include "capture/ui/Form_select_Video.h"
#include "recording/CVideobuff_RGB.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "common/Trace_Capture.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {
class Startup_Test : public testing::Test {
protected:
  void SetUp() override {
    Globals::Closing = false;
    Globals::Startup_Time = 0;
  }
  void TearDown() override { Globals::Closing = false; }
  QString Version() const {
    const App_Version_Info v = App_Version();
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
  }

  Temp_AppData appdata_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
  Trace_Capture trace_;
};

TEST_F(Startup_Test, TheLoadTracesItsStepsInOrder) {
  const QString heat = appdata_.Write(QStringLiteral("Spring Cup_3.qk3"), "QKR3");
  Form_Lurcher form;
  form.Form_Load(QLatin1Char('"') + heat + QLatin1Char('"'));
  EXPECT_FALSE(form.Program_Ended());
  EXPECT_EQ(form.Startup_Path(), heat);
  EXPECT_TRUE(In_Order(trace_.Lines(),
                       {QStringLiteral("*Form_Lurcher Form_Load, begin"), QStringLiteral("Test_Compiled start"),
                        QStringLiteral("*Computer name = ") + Globals::Computer_Name + QStringLiteral(" Windows = ") +
                            Globals::OS_Caption + QStringLiteral(" CPU = ") + Globals::CPU_Bitness +
                            QStringLiteral(" OS = ") + Globals::OS_Bitness,
                        QStringLiteral(" Lurcher starting, version = ") + Version() + QStringLiteral(" Computer = ") +
                            Globals::Computer_Name,
                        QStringLiteral("*Before InstallHook"), QStringLiteral("*After InstallHook"),
                        QStringLiteral("*Path_from_Command \"") + heat + QLatin1Char('"'),
                        QStringLiteral("Form_Load, after load_Capture_Folder"),
                        QStringLiteral("*Check_Attached m_Phidget_Present = False"),
                        QStringLiteral("*Command_dollar = ") + heat, QStringLiteral("Form_Lurcher Form_Load, end")}));
  EXPECT_TRUE(form.Hook_Installed());
  EXPECT_EQ(Module_Lurcher::App_Version, Version());
  EXPECT_EQ(Globals::Event_Folder, Globals::AppData_Folder + QStringLiteral("/Lurcher Event Files/"));
  EXPECT_TRUE(op_.Prompts().empty());
}

TEST_F(Startup_Test, TheVideoSourceWindowLoadsHiddenAndTheCaptureObjectComesLate) {
  Form_Lurcher form;
  form.Form_Load(QStringLiteral("/nowhere/heat.qk3"));
  ASSERT_NE(form.Video_Source_Window(), nullptr);
  EXPECT_FALSE(form.Video_Source_Window()->isVisible());
  ASSERT_NE(form.obj_Capture_HDMI, nullptr);
  EXPECT_FALSE(form.obj_Capture_HDMI->Is_Running());
  const QStringList lines = trace_.Lines();
  const qsizetype capture_line = lines.indexOf(QRegularExpression(QStringLiteral("\\*Cls_Capture_HDMI Initialize.*")));
  ASSERT_GE(capture_line, 0) << lines.join(QLatin1Char('\n')).toStdString();

  // A command line naming no file is only traced.
  const qsizetype command_line = lines.indexOf(QStringLiteral("*Command_dollar = /nowhere/heat.qk3"));
  ASSERT_GE(command_line, 0);
  EXPECT_GT(capture_line, command_line);

  EXPECT_LT(capture_line, lines.indexOf(QStringLiteral("Form_Lurcher Form_Load, end")));

  // The menu shows the window and leaves the main window to the operator.
  form.show();
  form.ui->item_Select_Video_Source->trigger();
  EXPECT_TRUE(form.Video_Source_Window()->isVisible());
  EXPECT_FALSE(form.Video_Source_Window()->isModal());
  EXPECT_TRUE(op_.Prompts().empty());
}

TEST_F(Startup_Test, WithoutAKitTheControlBoxSaysSo) {
  Form_Lurcher form;
  form.Form_Load(QString());
  EXPECT_FALSE(form.ui->Frame_Control_box->isEnabled());
  for (const QLabel *label : {form.ui->Label_attached, form.ui->Label_Phidget_attached}) {
    EXPECT_EQ(label->text(), QStringLiteral("No Phidget drivers"));
    EXPECT_FALSE(label->isEnabled());
  }
  EXPECT_TRUE(form.Shape_circle1[2]->isHidden());
  EXPECT_TRUE(form.Shape_circle1[3]->isHidden());
  EXPECT_TRUE(form.Option_selected_camera[1]->isChecked());
  EXPECT_TRUE(form.ui->Label_read_framesize->text().isEmpty());
  EXPECT_TRUE(form.ui->Slider_play->toolTip().isEmpty());
  EXPECT_GT(form.m_Max_Picture_Height, 0);
}

struct Heat_Case {
  const char *stored; // nullptr: no setting
  int heat;
};

void PrintTo(const Heat_Case &c, std::ostream *out) {
  *out << "Heat_ID " << (c.stored ? '"' + std::string(c.stored) + '"' : std::string("absent"));
}

class Heat_ID_Test : public Startup_Test, public testing::WithParamInterface<Heat_Case> {};

TEST_P(Heat_ID_Test, TheHeatSelectorTakesTheStoredHeat) {
  if (GetParam().stored)
    Write_INI(QStringLiteral("Settings"), QStringLiteral("Heat_ID"), QString::fromLatin1(GetParam().stored),
              Globals::Ini_File);
  Form_Lurcher form;
  form.Form_Load(QString());
  EXPECT_EQ(form.ui->UpDown_heat->value(), GetParam().heat);
  EXPECT_TRUE(In_Order(trace_.Lines(), {QStringLiteral("Form_Lurcher Form_Load, end")}));
}

INSTANTIATE_TEST_SUITE_P(Settings, Heat_ID_Test,
                         testing::Values(Heat_Case{nullptr, 1}, Heat_Case{"7", 7}, Heat_Case{"", 1},
                                         Heat_Case{"seven", 1}));

TEST_F(Startup_Test, ASecondInstanceIsRefusedWithoutTouchingTheSettings) {
  Form_Lurcher first;
  first.Form_Load(QString());
  ASSERT_FALSE(first.Program_Ended());
  const std::int32_t startup_time = Globals::Startup_Time;
  const QByteArray settings = appdata_.Read(QStringLiteral("Lurcher_HDMI.ini"));
  trace_.Clear();

  op_.Answer(Msg_Result::OK);
  Form_Lurcher second;
  second.show();
  second.Form_Load(QString());
  EXPECT_EQ(op_.Message_Texts(), QStringList{QStringLiteral("A previous instance of Lurcher is running!")});
  EXPECT_TRUE(second.Program_Ended());
  EXPECT_FALSE(second.isVisible());
  EXPECT_EQ(Globals::Startup_Time, startup_time);
  EXPECT_EQ(appdata_.Read(QStringLiteral("Lurcher_HDMI.ini")), settings);
  EXPECT_FALSE(trace_.Lines().contains(QStringLiteral("Form_Load, after load_Capture_Folder")));
  EXPECT_EQ(second.obj_Capture_HDMI, nullptr) << "a refused start takes no camera";
  EXPECT_FALSE(first.Program_Ended());
}

TEST_F(Startup_Test, AReloadWhileClosingStopsAfterTheHook) {
  Globals::Closing = true;
  Form_Lurcher form;
  form.Form_Load(QStringLiteral("/heats/a.qk3"));
  const QStringList lines = trace_.Lines();
  EXPECT_EQ(lines.last(), QStringLiteral("*After InstallHook"));
  EXPECT_TRUE(In_Order(lines, {QStringLiteral("*Form_Lurcher Form_Load, begin"), QStringLiteral("*Before InstallHook"),
                               QStringLiteral("*After InstallHook")}));
  EXPECT_FALSE(lines.contains(QStringLiteral("*Path_from_Command /heats/a.qk3")));
  EXPECT_FALSE(QFile::exists(appdata_.File(QStringLiteral("Lurcher_HDMI.lock"))));
  EXPECT_FALSE(form.Program_Ended());
}

TEST_F(Startup_Test, ShutdownStopsTheCameraFirstUnloadsEveryWindowAndSavesNothing) {
  Form_Lurcher form;
  form.Form_Load(QString());
  form.show();
  QWidget other;
  other.show();
  form.ui->item_Select_Video_Source->trigger();
  Frame_Buffers().push_back(std::make_unique<CVideobuff_RGB>()); // a frame left from a capture
  const QByteArray settings = appdata_.Read(QStringLiteral("Lurcher_HDMI.ini"));
  trace_.Clear();

  form.close(); // the window's close runs the shutdown
  EXPECT_TRUE(In_Order(trace_.Lines(), {QStringLiteral("*Lurcher_end, begin"), QStringLiteral("*Stop_Camera"),
                                        QStringLiteral("*Stop_Lurcher"), QStringLiteral("*Stop_Lurcher, end"),
                                        QStringLiteral("*Lurcher_end, end")}));
  EXPECT_TRUE(Globals::Closing);
  EXPECT_FALSE(form.Hook_Installed());
  EXPECT_FALSE(other.isVisible());
  EXPECT_FALSE(form.Video_Source_Window()->isVisible());
  EXPECT_TRUE(Frame_Buffers().empty()) << "the frame list is released";

  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(form.Program_Ended());
  EXPECT_EQ(appdata_.Read(QStringLiteral("Lurcher_HDMI.ini")), settings);
}

TEST_F(Startup_Test, ExitFromTheMenuRunsTheSameShutdownOnce) {
  Form_Lurcher form;
  form.Form_Load(QString());
  form.show();
  trace_.Clear();
  form.ui->item_Exit->trigger();
  form.close(); // a second request while shutting down changes nothing
  EXPECT_EQ(trace_.Lines().count(QStringLiteral("*Lurcher_end, begin")), 1);
  EXPECT_TRUE(form.Program_Ended());
}
} // namespace
