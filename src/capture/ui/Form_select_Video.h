#pragma once
// The source selection window: lists every format of every capture source, stores the
// operator's choice of source and format under "capturesettings", and carries the check box
// that limits capture to 25 frames per second. The capture object looks the stored choice
// up when the camera is next started without a source.

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>

namespace Ui {
class Form_select_Video;
}
class Capture_Component;
class QTreeWidgetItem;

class Form_select_Video : public QMainWindow {
  Q_OBJECT

public:
  explicit Form_select_Video(QWidget *parent = nullptr);
  ~Form_select_Video() override;

  bool m_was_Cancelled() const { return was_cancelled_; }
  bool Selection_Made() const { return selection_made_; }
  bool Check_limit_fps() const;

  // The rows of the list: source number, friendly name, format number, description.
  int Row_Count() const;
  QStringList Row(int index) const;
  // The row marked as the saved choice, or -1.
  int Selected_Row() const;
  // The text "List contents to ClipBoard" puts on the clipboard.
  QString List_Contents_Text() const;

  void Command_enum2_Click();
  void Command_select_done_Click();
  void Command_Cancel_Click();
  void ListView_prop_Click(int row);
  void item_list_contents_Click();
  void item_form_capture_Click();
  void menu_form_click();
  // The window became active: a choice must be made again before "Select Done" closes it.
  void Form_Activate();

protected:
  bool event(QEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  void Form_Load();
  void Add_Source_Rows(Capture_Component &capture, int source_number);
  void Mark_Saved_Row();

  std::unique_ptr<Ui::Form_select_Video> ui_;
  bool was_cancelled_ = false;
  bool selection_made_ = false;
};
