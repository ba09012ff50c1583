#pragma once
// The event registration window: where the operator prepares a meeting (the event's name and
// day, and per heat its name, start time, length and the dogs in boxes 1 to 6). It holds the
// open event document, writes every edit into it at once and saves it at fixed occasions.
// The main window loads it hidden at start-up so the last event file is open from the
// beginning; the rest of the program reads the event through its accessors.
//
// This file pair holds the controls, the accessors, activation and the editing rules; the
// file operations and menu actions live in Form_event_registration_File.cpp.

#include "events/Event_Document.h"

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>

namespace Ui {
class Form_event_registration;
}
class QLineEdit;
class Picture_Box;
struct Dog_Import_Plan;

class Form_event_registration : public QMainWindow {
  Q_OBJECT

public:
  explicit Form_event_registration(QWidget *parent = nullptr);
  ~Form_event_registration() override;

  // The badge of a box (the main window's Paint_box); without one the badges stay blank.
  using Badge_Painter = std::function<void(Picture_Box &, std::int16_t)>;
  void Set_Badge_Painter(Badge_Painter painter) { badge_painter_ = std::move(painter); }
  // Called whenever the main window's heat display should follow the event (at load).
  void Set_Heat_Display(std::function<void()> refresh) { heat_display_ = std::move(refresh); }

  // Opening at load: reopens the event file stored in the settings ("current_event_file").
  void Form_Load();

  // The accessors; they never raise, and give an empty text when there is nothing to give.
  QString Event_name() const;
  QString Get_day() const;
  QString Heat_Name(std::int16_t heat) const;
  QString Heat_Length(std::int16_t heat) const;
  QString Reg_Dog_Name(std::int16_t heat, std::int16_t box) const;
  // The texts of the event name and day boxes.
  QString Text_event_name() const;
  QString Text_day() const;
  bool Event_Open() const { return m_Event_Open; }
  std::int16_t Current_Heat() const { return m_Current_Heat; }

  // The document operations.
  void Create_Lurcher_Race_File();
  // true when the file was written.
  bool Create_Event_XML_File();
  // true when the document was written (or there was no file to write to).
  bool XML_to_File();
  // Checks the file and, only when it holds an event, makes it the open event (the old one
  // saved first). A file that is no event file is named in a message and changes nothing.
  bool Open_Event_File(const QString &path);
  void Load_Heat_Data();
  void Import_Dogs();
  void Update_Event_file_name();
  void Update_heat();

  // The menu "Form".
  void item_open_event_file_Click();
  void item_create_event_file_Click();
  void item_close_event_file_Click();
  void item_import_dog_names_Click();
  void item_print_form_Click();
  void item_hide_Click();
  // The main window's "No Event File": the event file is closed as by "Close event file".
  void No_Event_File();

  // The pause after each imported name, so the operator sees the names arrive.
  static inline std::int32_t Import_Step_ms = 500;

  Picture_Box &Picture_box(int box) const { return *Picture_box_[static_cast<std::size_t>(box - 1)]; }
  QLineEdit &Text_dog_name(int box) const { return *Text_dog_name_[static_cast<std::size_t>(box - 1)]; }

protected:
  bool event(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Connect_Controls();
  void Form_Activate();
  void Form_Deactivate();
  void Form_QueryUnload();
  void Set_Event_Open(bool open);
  void Show_Event_Texts();
  void Show_Heat(std::int16_t heat);
  void Clear_Heat_Boxes();
  void Refresh_Heat_Display();

  // Editing.
  void Text_event_name_Change();
  void Text_day_Change();
  void Text_dog_name_Change(int box);
  void Text_dog_name_LostFocus(int box);
  void Text_heatName_Validate();
  void Text_heatName_LostFocus();
  void Text_heat_start_time_Validate();
  void Text_heatLength_Validate();
  void Text_heatLength_LostFocus();
  void UpDown_heat_Change(int value);
  bool Key_Refused(QObject *watched, QEvent *event);
  void Focus_Left(QObject *watched);

  // Menu actions.
  bool Create_New_Event_File();
  void Close_Event_File();
  void Forget_Event();
  void Apply_Import(const Dog_Import_Plan &plan);
  void Print_Form();

  std::unique_ptr<Ui::Form_event_registration> ui_;
  std::array<Picture_Box *, 6> Picture_box_{};
  std::array<QLineEdit *, 6> Text_dog_name_{};
  Event_Document m_Event_DOM;
  bool m_Event_Open = false;
  std::int16_t m_Current_Heat = 1;
  Badge_Painter badge_painter_;
  std::function<void()> heat_display_;
  bool loading_ = false; // filling the boxes from the document
  bool saving_ = false;  // a save is on its way (its message must not start another)
};
