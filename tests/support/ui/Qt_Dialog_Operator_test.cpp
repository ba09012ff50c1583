// The Qt dialogs are driven by a timer that finds the open dialog and answers it, so no
// test waits on a person.
#include "support/ui/Qt_Dialog_Operator.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>
#include <ostream>

namespace {
constexpr int poll_ms = 10;
constexpr int give_up_ms = 10000;

// Acts on the next modal dialog once it is up. A dialog that never closes is rejected
// after a while, and the test fails.
class Dialog_Driver {
public:
  explicit Dialog_Driver(std::function<void(QWidget *)> act) : act_(std::move(act)) {
    timer_.setInterval(poll_ms);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  bool Acted() const { return acted_; }

private:
  void Poll() {
    QWidget *dialog = QApplication::activeModalWidget();
    waited_ms_ += poll_ms;
    if (dialog && !acted_) {
      acted_ = true;
      act_(dialog);
    } else if (dialog && waited_ms_ > give_up_ms) {
      ADD_FAILURE() << "the dialog did not close";
      if (auto *d = qobject_cast<QDialog *>(dialog))
        d->reject();
    } else if (!dialog && acted_) {
      timer_.stop();
    }
  }

  std::function<void(QWidget *)> act_;
  QTimer timer_;
  bool acted_ = false;
  int waited_ms_ = 0;
};

Message_Prompt Prompt(Msg_Buttons buttons, int default_button = 0, Msg_Icon icon = Msg_Icon::Question) {
  Message_Prompt p;
  p.text = QStringLiteral("Overwrite <heat> & keep times?");
  p.title = QStringLiteral("Lurcher_HDMI");
  p.buttons = buttons;
  p.icon = icon;
  p.default_button = default_button;
  return p;
}

// ---- building the message box ----

struct Box_Case {
  const char *name;
  Msg_Buttons buttons;
  int default_index;
  QMessageBox::StandardButtons shown;
  QMessageBox::StandardButton default_button;
  QMessageBox::StandardButton escape; // NoButton: left to Qt
};
void PrintTo(const Box_Case &c, std::ostream *out) { *out << c.name; }

class Message_Box_Build_Test : public testing::TestWithParam<Box_Case> {};

TEST_P(Message_Box_Build_Test, ButtonsDefaultAndEscape) {
  const Box_Case c = GetParam();
  const auto box = Qt_Dialog_Operator::Build_Message_Box(Prompt(c.buttons, c.default_index));
  EXPECT_EQ(box->standardButtons(), c.shown);
  ASSERT_NE(box->defaultButton(), nullptr);
  EXPECT_EQ(box->standardButton(box->defaultButton()), c.default_button);
  if (c.escape != QMessageBox::NoButton) {
    EXPECT_EQ(box->escapeButton(), box->button(c.escape));
  }
  EXPECT_EQ(box->text(), QStringLiteral("Overwrite <heat> & keep times?"));
  EXPECT_EQ(box->textFormat(), Qt::PlainText) << "texts are shown as written";
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Lurcher_HDMI"));
  EXPECT_EQ(box->icon(), QMessageBox::Question);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, Message_Box_Build_Test,
    testing::Values(Box_Case{"OK", Msg_Buttons::OK, 0, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
                    Box_Case{"OK_Cancel", Msg_Buttons::OK_Cancel, 1, QMessageBox::Ok | QMessageBox::Cancel,
                             QMessageBox::Cancel, QMessageBox::Cancel},
                    Box_Case{"Yes_No", Msg_Buttons::Yes_No, 1, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                             QMessageBox::NoButton},
                    Box_Case{"Yes_No_Cancel", Msg_Buttons::Yes_No_Cancel, 0,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                             QMessageBox::Cancel},
                    Box_Case{"Retry_Cancel", Msg_Buttons::Retry_Cancel, 0, QMessageBox::Retry | QMessageBox::Cancel,
                             QMessageBox::Retry, QMessageBox::Cancel},
                    Box_Case{"Abort_Retry_Ignore", Msg_Buttons::Abort_Retry_Ignore, 2,
                             QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Ignore,
                             QMessageBox::NoButton},
                    // a default beyond the buttons falls back to the first
                    Box_Case{"Default_Out_Of_Range", Msg_Buttons::Yes_No, 7, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Yes, QMessageBox::NoButton}),
    [](const testing::TestParamInfo<Box_Case> &param_info) { return std::string(param_info.param.name); });

TEST(Qt_Dialog_Operator, IconsMapToTheirKind) {
  EXPECT_EQ(Qt_Dialog_Operator::Icon_Of(Msg_Icon::None), QMessageBox::NoIcon);
  EXPECT_EQ(Qt_Dialog_Operator::Icon_Of(Msg_Icon::Critical), QMessageBox::Critical);
  EXPECT_EQ(Qt_Dialog_Operator::Icon_Of(Msg_Icon::Question), QMessageBox::Question);
  EXPECT_EQ(Qt_Dialog_Operator::Icon_Of(Msg_Icon::Exclamation), QMessageBox::Warning);
  EXPECT_EQ(Qt_Dialog_Operator::Icon_Of(Msg_Icon::Information), QMessageBox::Information);
}

// ---- running the message box ----

class Message_Box_Run_Test : public testing::Test {
protected:
  Msg_Result Run(const Message_Prompt &prompt, std::function<void(QMessageBox &)> answer) {
    Dialog_Driver driver([&](QWidget *w) {
      auto *box = qobject_cast<QMessageBox *>(w);
      ASSERT_NE(box, nullptr) << "expected a message box";
      answer(*box);
    });
    const Msg_Result result = op.Message_Box(prompt);
    EXPECT_TRUE(driver.Acted());
    return result;
  }
  Qt_Dialog_Operator op;
};

TEST_F(Message_Box_Run_Test, TheDefaultButtonAnswersEnter) {
  const auto enter = [](QMessageBox &box) { box.defaultButton()->click(); };
  EXPECT_EQ(Run(Prompt(Msg_Buttons::Yes_No, 1), enter), Msg_Result::No);
  EXPECT_EQ(Run(Prompt(Msg_Buttons::OK), enter), Msg_Result::OK);
  EXPECT_EQ(Run(Prompt(Msg_Buttons::Abort_Retry_Ignore, 1), enter), Msg_Result::Retry);
}

TEST_F(Message_Box_Run_Test, EachButtonGivesItsAnswer) {
  const struct {
    QMessageBox::StandardButton button;
    Msg_Result result;
  } clicks[] = {{QMessageBox::Yes, Msg_Result::Yes},
                {QMessageBox::No, Msg_Result::No},
                {QMessageBox::Cancel, Msg_Result::Cancel}};
  for (const auto &c : clicks)
    EXPECT_EQ(Run(Prompt(Msg_Buttons::Yes_No_Cancel), [&](QMessageBox &box) { box.button(c.button)->click(); }),
              c.result);
}

TEST_F(Message_Box_Run_Test, EscapeCancels) {
  const auto escape = [](QMessageBox &box) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &key);
  };
  EXPECT_EQ(Run(Prompt(Msg_Buttons::Yes_No_Cancel), escape), Msg_Result::Cancel);
  EXPECT_EQ(Run(Prompt(Msg_Buttons::OK_Cancel), escape), Msg_Result::Cancel);
}

// ---- the other dialogs ----

TEST(Qt_Dialog_Operator, InputBoxGivesTheTextOrNothing) {
  Qt_Dialog_Operator op;
  {
    Dialog_Driver driver([](QWidget *w) {
      auto *d = qobject_cast<QInputDialog *>(w);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->textValue(), QStringLiteral("Heat 1"));
      EXPECT_EQ(d->labelText(), QStringLiteral("Heat name?"));
      d->setTextValue(QStringLiteral("Final"));
      static_cast<QDialog *>(d)->accept();
    });
    EXPECT_EQ(op.Input_Box(QStringLiteral("Heat name?"), QStringLiteral("Rename"), QStringLiteral("Heat 1")),
              std::optional<QString>(QStringLiteral("Final")));
  }
  Dialog_Driver cancel([](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); });
  EXPECT_EQ(op.Input_Box(QStringLiteral("Heat name?"), QString(), QString()), std::nullopt);
}

TEST(Qt_Dialog_Operator, FileDialogsOpenAndSave) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString existing = folder.filePath(QStringLiteral("heat 1.qk3"));
  {
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  Qt_Dialog_Operator op;
  File_Prompt open_prompt{QStringLiteral("Open heat"), folder.path(), QString(),
                          QStringLiteral("Heat files (*.qk3 *.qk2)"), false};
  {
    Dialog_Driver driver([&](QWidget *w) {
      auto *d = qobject_cast<QFileDialog *>(w);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
      EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Heat files (*.qk3 *.qk2)")});
      d->selectFile(existing);
      static_cast<QDialog *>(d)->accept();
    });
    EXPECT_EQ(op.File_Dialog(open_prompt), std::optional<QString>(existing));
  }
  {
    Dialog_Driver cancel([](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); });
    EXPECT_EQ(op.File_Dialog(open_prompt), std::nullopt);
  }
  File_Prompt save_prompt{QStringLiteral("Save event"), folder.path(), QStringLiteral("Derby.xml"),
                          QStringLiteral("Event files (*.xml)"), true};
  Dialog_Driver save([&](QWidget *w) {
    auto *d = qobject_cast<QFileDialog *>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
    static_cast<QDialog *>(d)->accept(); // the proposed name
  });
  EXPECT_EQ(op.File_Dialog(save_prompt), std::optional<QString>(folder.filePath(QStringLiteral("Derby.xml"))));
}

TEST(Qt_Dialog_Operator, FolderDialogGivesTheFolder) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("events")));
  const QString events = folder.filePath(QStringLiteral("events"));
  Qt_Dialog_Operator op;
  Dialog_Driver driver([&](QWidget *w) {
    auto *d = qobject_cast<QFileDialog *>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->fileMode(), QFileDialog::Directory);
    d->setDirectory(events);
    static_cast<QDialog *>(d)->accept();
  });
  EXPECT_EQ(op.Folder_Dialog(QStringLiteral("Event folder"), folder.path()), std::optional<QString>(events));
}

TEST(Qt_Dialog_Operator, PrinterDialogCancelledLeavesTheChoice) {
  Qt_Dialog_Operator op;
  Printer_Choice choice{QString(), 2, true};
  Dialog_Driver cancel([](QWidget *w) {
    EXPECT_NE(qobject_cast<QPrintDialog *>(w), nullptr);
    qobject_cast<QDialog *>(w)->reject();
  });
  EXPECT_FALSE(op.Printer_Dialog(choice));
  EXPECT_EQ(choice.copies, 2);
  EXPECT_TRUE(choice.landscape);
}

TEST(Qt_Dialog_Operator, PrinterDialogAcceptedFillsTheChoice) {
  Qt_Dialog_Operator op;
  Printer_Choice choice{QString(), 3, true};
  Dialog_Driver accept([](QWidget *w) { qobject_cast<QDialog *>(w)->accept(); });
  EXPECT_TRUE(op.Printer_Dialog(choice));
  EXPECT_EQ(choice.copies, 3);
  EXPECT_TRUE(choice.landscape);
}

TEST(Qt_Dialog_Operator, InstallHonoursUnattended) {
  const QByteArray saved = qgetenv("LURCHER_UNATTENDED");
  qputenv("LURCHER_UNATTENDED", "1");
  Qt_Dialog_Operator::Install();
  EXPECT_NE(dynamic_cast<Unattended_Operator *>(&Current_Operator()), nullptr);
  qunsetenv("LURCHER_UNATTENDED");
  Qt_Dialog_Operator::Install();
  EXPECT_NE(dynamic_cast<Qt_Dialog_Operator *>(&Current_Operator()), nullptr);
  if (!saved.isNull())
    qputenv("LURCHER_UNATTENDED", saved);
  Set_Operator(nullptr);
}
} // namespace
