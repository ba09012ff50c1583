// The settings window: every edit reaches the settings file at once, the compensations
// follow, and the delay boxes take digits only.

#include "app/Compensations.h"
#include "app/Module_Lurcher.h"
#include "app/ui/Form_Lurcher_settings.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "kit/Kit_Test_Support.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"
#include "ui_Form_Lurcher_settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
// Types into a box the way the keyboard does: a key press per character.
void Type(QWidget *box, const QString &text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &press);
  }
}

void Press(QWidget *box, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(box, &press);
}

class Form_Lurcher_settings_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Recording_Presenter presenter;

  ~Form_Lurcher_settings_Test() override {
    Module_Lurcher::Goal_Compensation = 200;
    Module_Lurcher::Split_Compensation = 200;
    Module_Lurcher::Box_Delay = 0;
    op.Expect_All_Answered();
  }
  QString Stored(const QString &key) {
    return Read_INI(QStringLiteral("Settings"), key, Globals::Ini_File, QStringLiteral("<none>"));
  }
  void Store(const QString &key, const QString &value) {
    Write_INI(QStringLiteral("Settings"), key, value, Globals::Ini_File);
  }
};

TEST_F(Form_Lurcher_settings_Test, TheWindowShowsTheCompensationsAndSwitches) {
  Module_Lurcher::Goal_Compensation = 240;
  Module_Lurcher::Split_Compensation = 180;
  Module_Lurcher::Box_Delay = 150;
  Store(QStringLiteral("goal_compensation"), QStringLiteral("240"));
  Store(QStringLiteral("split_compensation"), QStringLiteral("180"));
  Store(QStringLiteral("box_delay"), QStringLiteral("150"));
  Store(QStringLiteral("auto_init"), QStringLiteral("1"));
  Store(QStringLiteral("show_printer_dialog"), QStringLiteral("garbled"));
  Form_Lurcher_settings window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Lurcher Settings"));
  EXPECT_EQ(window.ui->Text_goalcam_delay->text(), QStringLiteral("240"));
  EXPECT_EQ(window.ui->Text_splitcam_delay->text(), QStringLiteral("180"));
  EXPECT_EQ(window.ui->Text_Box_delay->text(), QStringLiteral("150"));
  EXPECT_TRUE(window.ui->Check_Auto_init->isChecked());
  EXPECT_FALSE(window.ui->Check_open_after_finish->isChecked());
  EXPECT_FALSE(window.ui->Check_print_dialog->isChecked());
  EXPECT_EQ(window.ui->Check_Auto_init->text(), QStringLiteral("Automatically initiate file on start signal"));
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(Form_Lurcher_settings_Test, EachSwitchIsWrittenTheMomentItIsClicked) {
  Form_Lurcher_settings window;
  const struct {
    QCheckBox *box;
    const char *key;
  } switches[] = {{window.ui->Check_Auto_init, "auto_init"},
                  {window.ui->Check_open_after_finish, "open_after_finish"},
                  {window.ui->Check_print_dialog, "show_printer_dialog"}};
  for (const auto &s : switches) {
    s.box->click();
    EXPECT_EQ(Stored(QString::fromLatin1(s.key)), QStringLiteral("1")) << s.key;
    s.box->click();
    EXPECT_EQ(Stored(QString::fromLatin1(s.key)), QStringLiteral("0")) << s.key;
  }
}

TEST_F(Form_Lurcher_settings_Test, AnEditedDelayIsStoredAndLoadedAtOnce) {
  Form_Lurcher_settings window;
  window.ui->Text_Box_delay->clear();
  Type(window.ui->Text_Box_delay, QStringLiteral("150"));
  EXPECT_EQ(Stored(QStringLiteral("Box_delay")), QStringLiteral("150"));
  EXPECT_EQ(Module_Lurcher::Box_Delay, 150);
  window.ui->Text_splitcam_delay->setText(QStringLiteral("175"));
  EXPECT_EQ(Module_Lurcher::Split_Compensation, 175);
}

TEST_F(Form_Lurcher_settings_Test, EmptyingTheGoalDelayBringsBackTheDefault) {
  Form_Lurcher_settings window;
  window.ui->Text_goalcam_delay->setText(QStringLiteral("260"));
  EXPECT_EQ(Module_Lurcher::Goal_Compensation, 260);
  window.ui->Text_goalcam_delay->clear();
  EXPECT_EQ(Stored(QStringLiteral("goal_compensation")), QStringLiteral("<none>"));
  EXPECT_EQ(Module_Lurcher::Goal_Compensation, 200);
}

TEST_F(Form_Lurcher_settings_Test, OnlyDigitsAndEditingKeysMayBeTyped) {
  const struct {
    QChar typed;
    bool accepted;
  } cases[] = {
      {QLatin1Char('0'), true}, {QLatin1Char('9'), true},  {QChar(8), true},          {QChar(9), true},
      {QChar(12), true},        {QLatin1Char('a'), false}, {QLatin1Char('-'), false}, {QLatin1Char('.'), false},
      {QChar(0x0663), false}}; // an Arabic-Indic digit is no digit here
  for (const auto &c : cases) {
    op.Clear();
    EXPECT_EQ(Form_Lurcher_settings::Delay_KeyPress(c.typed), c.accepted) << static_cast<int>(c.typed.unicode());
    EXPECT_EQ(op.Beeps(), c.accepted ? 0 : 1) << static_cast<int>(c.typed.unicode());
  }
}

TEST_F(Form_Lurcher_settings_Test, ARefusedKeyBeepsAndLeavesTheTextAsItWas) {
  Form_Lurcher_settings window;
  QLineEdit *box = window.ui->Text_goalcam_delay;
  box->setText(QStringLiteral("200"));
  box->setCursorPosition(0);
  Type(box, QStringLiteral("-a"));
  EXPECT_EQ(box->text(), QStringLiteral("200"));
  EXPECT_EQ(op.Beeps(), 2);
  // Arrows and Delete are no characters: they still edit.
  Press(box, Qt::Key_Delete);
  EXPECT_EQ(box->text(), QStringLiteral("00"));
  EXPECT_EQ(op.Beeps(), 2);
}

TEST_F(Form_Lurcher_settings_Test, PastedTextCannotStoreAValueThatWouldNotLoad) {
  Form_Lurcher_settings window;
  QLineEdit *box = window.ui->Text_Box_delay;
  box->clear();
  box->insert(QStringLiteral("12ab"));
  EXPECT_NE(Stored(QStringLiteral("box_delay")), QStringLiteral("12ab"));
  box->insert(QStringLiteral("12345678901"));
  EXPECT_LE(box->text().size(), 9);
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(Form_Lurcher_settings_Test, AHandEditedValueIsReportedAndTheOthersStillLoad) {
  Store(QStringLiteral("split_compensation"), QStringLiteral("1x0"));
  Form_Lurcher_settings window;
  window.ui->Text_Box_delay->setText(QStringLiteral("90"));
  EXPECT_TRUE(presenter.Reported(QStringLiteral("Load_Compensations of Form Form_Lurcher")));
}

TEST_F(Form_Lurcher_settings_Test, HideUnloadsTheWindow) {
  QPointer<Form_Lurcher_settings> window = new Form_Lurcher_settings;
  window->show();
  window->ui->Command_hide->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}
} // namespace
