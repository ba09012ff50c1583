#pragma once
// The settings window: the three timing compensations and three behaviour switches. Every
// edit goes to the settings file at once, and the compensations are reloaded at once; the
// window keeps nothing of its own. "Hide" unloads it (it deletes itself later).

#include <QWidget>
#include <memory>

namespace Ui {
class Form_Lurcher_settings;
}
class QLineEdit;

class Form_Lurcher_settings : public QWidget {
  Q_OBJECT

public:
  // Loads from the settings file; parent is the main window, which owns it.
  explicit Form_Lurcher_settings(QWidget *parent = nullptr);
  ~Form_Lurcher_settings() override;

  const std::unique_ptr<Ui::Form_Lurcher_settings> ui;

  void Form_Load();
  void Check_Auto_init_Click();
  void Check_open_after_finish_Click();
  void Check_print_dialog_Click();
  void Text_Box_delay_Change();
  void Text_goalcam_delay_Change();
  void Text_splitcam_delay_Change();
  // The typing filter: whether the character typed into a delay box is accepted. A refused
  // one beeps.
  static bool Delay_KeyPress(QChar typed);
  void Command_hide_Click();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Text_Change(QLineEdit *box, const QString &key, const char *procedure);
};
