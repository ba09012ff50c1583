// The simulated kit's window: its switches are the kit's inputs, its lamp the kit's output.

#include "app/Kit_Controller.h"
#include "app/Simulated_Kit.h"
#include "app/ui/Form_simulated_kit.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "kit/Kit_Test_Support.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "ui_Form_simulated_kit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>

namespace {
class Form_simulated_kit_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Manual_Clock clock{200000};
  Simulated_Kit kit;
  Recording_Race race;
  Kit_Controller controller{&kit, race};
  std::unique_ptr<Form_simulated_kit> window;

  Form_simulated_kit_Test() {
    Set_Clock(&clock);
    Globals::Startup_Time = 100000;
    kit.Open(0);
    window = std::make_unique<Form_simulated_kit>(kit);
    QCoreApplication::processEvents();
  }
  ~Form_simulated_kit_Test() override {
    window.reset();
    Set_Clock(nullptr);
    Globals::Startup_Time = 0;
    op.Expect_All_Answered();
  }
};

TEST_F(Form_simulated_kit_Test, EightSwitchesAndALamp) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Simulated interface kit"));
  for (QCheckBox *box : window->Check_input)
    EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(window->ui->Check_attached->isChecked());
  EXPECT_EQ(window->ui->Label_output_0->text(), QStringLiteral("Output 0: lamp off"));
}

TEST_F(Form_simulated_kit_Test, ASwitchIsAnInputStampedWhenClicked) {
  window->Check_input[2]->click();
  clock.Advance(700);
  QCoreApplication::processEvents();
  EXPECT_TRUE(kit.Input_State(2));
  EXPECT_EQ(race.calls, QStringList{QStringLiteral("start 200000")});
  window->Check_input[3]->click();
  window->Check_input[3]->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(race.calls.mid(1), (QStringList{QStringLiteral("capture start"), QStringLiteral("capture end")}));
}

TEST_F(Form_simulated_kit_Test, TheLampFollowsOutputZero) {
  window->Check_input[0]->click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(kit.Output_State());
  EXPECT_EQ(window->ui->Label_output_0->text(), QStringLiteral("Output 0: lamp on"));
  EXPECT_EQ(window->ui->Label_output_0->palette().color(QPalette::Window), QColor(255, 255, 0));
  window->Check_input[0]->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->ui->Label_output_0->text(), QStringLiteral("Output 0: lamp off"));
}

TEST_F(Form_simulated_kit_Test, UnpluggingDetachesAndSilencesTheSwitches) {
  window->ui->Check_attached->click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(controller.Phidget_Attached());
  window->Check_input[2]->click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(race.calls.isEmpty());
  EXPECT_TRUE(window->Check_input[2]->isChecked());
  window->ui->Check_attached->click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(controller.Phidget_Attached());
}

TEST_F(Form_simulated_kit_Test, AWindowMadeBeforeTheKitOpensShowsItPluggedInOnceItIs) {
  Simulated_Kit later;
  Form_simulated_kit early(later);
  EXPECT_FALSE(early.ui->Check_attached->isChecked());
  later.Open(0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(early.ui->Check_attached->isChecked());
}

TEST_F(Form_simulated_kit_Test, TheOfferIsAQuestionAnsweredNoByDefault) {
  op.Answer(Msg_Result::No);
  EXPECT_FALSE(Simulated_Kit::Offer());
  op.Answer(Msg_Result::Yes);
  EXPECT_TRUE(Simulated_Kit::Offer());
  ASSERT_EQ(op.Prompts().size(), 2u);
  EXPECT_TRUE(op.Prompts()[0].text.startsWith(QStringLiteral("No Phidget drivers found!")));
}
} // namespace
