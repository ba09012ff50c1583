// The Control Box drawn onto the main window's own controls: labels, lamps, lever and LED
// from the kit's state, and the LED held down lighting the external lamp.

#include "app/Interface_Kit.h"
#include "app/Kit_Controller.h"
#include "app/Simulated_Kit.h"
#include "app/ui/Control_Box.h"
#include "app/ui/Shape_Control.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "kit/Kit_Test_Support.h"
#include "support/ui/Picture_Box.h"
#include "ui_Form_Lurcher.h"

#include <QApplication>
#include <QMainWindow>
#include <gtest/gtest.h>

namespace {
QColor Text_Colour(const QLabel *label) { return label->palette().color(QPalette::WindowText); }

bool Near(const QColor &a, const QColor &b, int tolerance = 40) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

class Control_Box_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Recording_Presenter presenter;
  QMainWindow window;
  Ui::Form_Lurcher ui;
  Simulated_Kit kit;
  Recording_Race race;
  Kit_Controller controller{&kit, race};
  std::unique_ptr<Control_Box> box;

  Control_Box_Test() {
    ui.setupUi(&window);
    box = std::make_unique<Control_Box>(window, controller);
  }
  ~Control_Box_Test() override { op.Expect_All_Answered(); }

  void Attach_With(std::initializer_list<int> inputs_on) {
    kit.Open(0);
    for (int i : inputs_on)
      kit.Set_Input(i, true);
    QCoreApplication::processEvents();
    box->Check_Attached();
  }
  QPoint Lamp_Centre(const QWidget *lamp) const { return lamp->geometry().center(); }
};

TEST_F(Control_Box_Test, TheMainWindowHasEveryControlOfThePanel) { EXPECT_EQ(box->Missing_Controls(), QStringList()); }

TEST_F(Control_Box_Test, AWindowWithoutThePanelIsDrawnWithoutFailing) {
  QWidget bare;
  Control_Box partial(bare, controller);
  EXPECT_TRUE(partial.Missing_Controls().contains(QStringLiteral("Picture_lamps")));
  kit.Open(0);
  partial.Check_Attached();
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(Control_Box_Test, ADetachedKitDisablesThePanelAndTheStart) {
  box->Check_Attached();
  EXPECT_FALSE(ui.Frame_Control_box->isEnabled());
  EXPECT_EQ(ui.Label_attached->text(), QStringLiteral("Not attached"));
  EXPECT_EQ(ui.Label_Phidget_attached->text(), QStringLiteral("Not attached"));
  EXPECT_TRUE(ui.Picture_LED->isHidden());
  EXPECT_TRUE(ui.Shape_circle1_2->isHidden());
  EXPECT_TRUE(ui.Label_RM->isHidden());
  EXPECT_FALSE(ui.Command_start_heat->isEnabled());
  EXPECT_EQ(ui.Shape_RM_open->FillColor(), Control_Box::Button_Face());
}

TEST_F(Control_Box_Test, AnAttachedKitShowsItsSerialAndEnablesTheStart) {
  ui.Command_initiate_file->setEnabled(false);
  Attach_With({});
  EXPECT_TRUE(ui.Frame_Control_box->isEnabled());
  const QString serial = QStringLiteral("Attached, serial = %1").arg(Simulated_Kit::Simulated_Serial);
  EXPECT_EQ(ui.Label_attached->text(), serial);
  EXPECT_EQ(ui.Label_Phidget_attached->text(), serial);
  EXPECT_EQ(Text_Colour(ui.Label_attached), QColor(0, 255, 0));
  EXPECT_TRUE(ui.Command_initiate_file->isEnabled());
  EXPECT_TRUE(ui.Command_start_heat->isEnabled());
  EXPECT_FALSE(ui.Picture_LED->isHidden());
}

TEST_F(Control_Box_Test, TheRemoteLampShowsTheContact) {
  Attach_With({0});
  EXPECT_EQ(ui.Label_RM->text(), QStringLiteral("RM closed"));
  EXPECT_EQ(Text_Colour(ui.Label_RM), QColor(255, 128, 0));
  const QRect lamp = ui.Shape_RM_open->geometry();
  // The disc runs from white at the centre to the lamp colour at the rim.
  const QPoint centre = lamp.center();
  EXPECT_TRUE(Near(ui.Picture_lamps->Point(centre.x() + 2, centre.y() + 2), Qt::white));
  EXPECT_TRUE(Near(ui.Picture_lamps->Point(centre.x(), lamp.bottom() - 1), QColor(197, 132, 0)));
  kit.Set_Input(0, false);
  QCoreApplication::processEvents();
  box->Check_Attached();
  EXPECT_EQ(ui.Label_RM->text(), QStringLiteral("RM open"));
  EXPECT_TRUE(Near(ui.Picture_lamps->Point(centre.x(), lamp.bottom() - 1), Control_Box::Button_Face()));
}

TEST_F(Control_Box_Test, TheArmingSwitchMovesTheLever) {
  Attach_With({1});
  EXPECT_EQ(ui.Label_remote_start->text(), QStringLiteral("Start armed!"));
  EXPECT_EQ(Text_Colour(ui.Label_remote_start), QColor(0, 192, 0));
  const int centre_line = 55; // 88 / 1.6
  EXPECT_EQ(ui.Shape_lever->y(), centre_line - ui.Shape_lever->height());
  EXPECT_EQ(ui.Picture_armed_switch->Point(70, 80), QColor(0, 255, 0));
  box->Draw_Start_Switch(false);
  EXPECT_EQ(ui.Shape_lever->y(), centre_line);
  EXPECT_EQ(ui.Picture_armed_switch->Point(70, 80), QColor(255, 192, 192));
}

TEST_F(Control_Box_Test, CaptureSwitchesLightTheirLampsAndLabels) {
  Attach_With({3});
  EXPECT_EQ(ui.Shape_circle1_2->FillColor(), QColor(255, 0, 0));
  EXPECT_EQ(ui.Shape_camera_2->FillColor(), QColor(255, 0, 0));
  EXPECT_FALSE(ui.Label_GS_2->isHidden());
  EXPECT_EQ(ui.Shape_circle1_3->FillColor(), QColor(0, 255, 0));
  EXPECT_TRUE(ui.Label_GS_3->isHidden());
  // Input 5 captures too, but has no lamp of its own.
  kit.Set_Input(3, false);
  kit.Set_Input(5, true);
  QCoreApplication::processEvents();
  box->Check_Attached();
  EXPECT_EQ(ui.Shape_circle1_2->FillColor(), QColor(0, 255, 0));
  EXPECT_TRUE(ui.Label_GS_2->isHidden());
  EXPECT_TRUE(ui.Label_GS_3->isHidden());
}

TEST_F(Control_Box_Test, HoldingTheLedLightsTheLampUntilRelease) {
  Attach_With({});
  const QPoint centre(ui.Picture_LED->width() / 2, ui.Picture_LED->height() / 2);
  EXPECT_EQ(ui.Picture_LED->Point(centre.x(), centre.y()), QColor(100, 100, 100));
  EXPECT_FALSE(kit.Output_State());
  emit ui.Picture_LED->MouseDown(Qt::LeftButton, centre.x(), centre.y());
  EXPECT_EQ(ui.Picture_LED->Point(centre.x(), centre.y()), QColor(255, 255, 0));
  EXPECT_TRUE(kit.Output_State());
  emit ui.Picture_LED->MouseUp(Qt::LeftButton, centre.x(), centre.y());
  EXPECT_FALSE(kit.Output_State());
  // The closed remote contact lights it as well.
  kit.Set_Input(0, true);
  QCoreApplication::processEvents();
  box->Check_Attached();
  EXPECT_TRUE(kit.Output_State());
  EXPECT_EQ(ui.Picture_LED->Point(centre.x(), centre.y()), QColor(255, 255, 0));
}

TEST_F(Control_Box_Test, ADetachDuringAHeatDisablesTheStartButton) {
  Attach_With({3});
  race.calls.clear();
  kit.Detach();
  QCoreApplication::processEvents();
  box->Check_Attached();
  EXPECT_FALSE(ui.Command_start_heat->isEnabled());
  EXPECT_TRUE(ui.Shape_circle1_2->isHidden());
  EXPECT_TRUE(race.calls.isEmpty());
}

TEST_F(Control_Box_Test, WithoutAKitThePanelIsLeftAlone) {
  Kit_Controller none(nullptr, race);
  Control_Box panel(window, none);
  ui.Label_attached->setText(QStringLiteral("No Phidget drivers"));
  panel.Check_Attached();
  EXPECT_EQ(ui.Label_attached->text(), QStringLiteral("No Phidget drivers"));
}

class Failing_Kit final : public Interface_Kit {
public:
  void Open(std::int32_t) override {}
  bool IsAttached() const override { Raise(Err_Internal, QStringLiteral("USB gone")); }
  std::int32_t Serial_Number() const override { return 0; }
  bool Input_State(int) const override { return false; }
  void Set_Output_State(int, bool) override {}
  QString Library_Version() const override { return QString(); }
  QString Device_Name() const override { return QString(); }
  QString Device_Type() const override { return QString(); }
};

TEST_F(Control_Box_Test, AFailingRefreshSaysSoAndIsReported) {
  Failing_Kit failing;
  Kit_Controller broken(&failing, race);
  Control_Box panel(window, broken);
  op.Answer(Msg_Result::OK);
  panel.Check_Attached();
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_TRUE(op.Message_Texts().first().startsWith(QStringLiteral("Check_attached error")));
  EXPECT_TRUE(op.Message_Texts().first().endsWith(QStringLiteral(" USB gone 440")));
  EXPECT_TRUE(presenter.Reported(QStringLiteral("Check_Attached of Form Form_Lurcher")));
}

TEST(Control_Box_Disc_Test, TheDiscShadesFromInnerToOuter) {
  Picture_Box picture;
  picture.resize(60, 60);
  picture.Cls();
  Control_Box::Shaded_Disc(picture, 30, 30, 20, Qt::white, QColor(255, 0, 0));
  EXPECT_TRUE(Near(picture.Point(31, 30), Qt::white, 30));
  EXPECT_TRUE(Near(picture.Point(30, 40), QColor(255, 128, 128), 30));
  EXPECT_TRUE(Near(picture.Point(30, 49), QColor(255, 0, 0), 30));
  EXPECT_EQ(picture.Point(2, 2), picture.BackColor());
}
} // namespace
