#pragma once
// The main window: the hub every part of the program plugs into. It owns the heat file
// object, the capture object and the interface kit for the whole run. This file pair holds
// its controls, start-up and shutdown, keyboard and activation; the menus and the panel
// arrangement live in Form_Lurcher_Menus.cpp and Form_Lurcher_Layout.cpp.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

namespace Ui {
class Form_Lurcher;
}
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class Form_timer;
class Keyboard_Hook;
class Lurcher_debug_form;
class Picture_Box;
class Shape_Control;
class Single_Instance;
class cls_VideoFile_handler;

class Form_Lurcher : public QMainWindow {
  Q_OBJECT

public:
  explicit Form_Lurcher(QWidget *parent = nullptr);
  ~Form_Lurcher() override;

  // The designed controls, and the control arrays gathered from them (indexed as the
  // window names them: Shape_circle1(2..3), Option_selected_camera(1..2)).
  const std::unique_ptr<Ui::Form_Lurcher> ui;
  std::array<Picture_Box *, 6> Picture_dognum{};
  std::array<QLabel *, 6> Label_dog{};
  std::array<QPushButton *, 6> Command_BOX_set_time{};
  std::array<Shape_Control *, 4> Shape_circle1{};
  std::array<Shape_Control *, 4> Shape_camera{};
  std::array<QLabel *, 4> Label_GS{};
  std::array<QRadioButton *, 3> Option_selected_camera{};
  std::array<QAction *, 3> item_crop_size{};

  // The heat file object, recording and review alike, for the whole run.
  std::unique_ptr<cls_VideoFile_handler> obj_QK3_Handler;

  // Heat-time display (50 ms) and frame-rate display (1000 ms); both start disabled.
  QTimer Timer1;
  QTimer Timer_2;

  static constexpr std::int32_t Bytes_Per_KB = 1024;
  static constexpr std::int32_t Bytes_Per_MB = 1048576;
  // Size of the cropped frame in pixels (crop-size menu); 0 until chosen.
  std::int16_t Crop_X = 0;
  std::int16_t Crop_Y = 0;
  // The tallest frame picture the layout allows, in pixels (set at start-up).
  std::int32_t m_Max_Picture_Height = 0;

  // Start-up: the load sequence with the program's command-line text.
  void Form_Load(const QString &command_text);
  void Form_Activate();
  void Form_QueryUnload();
  void Lurcher_End();
  // The start-up or the shutdown ended the program; code is the exit code.
  bool Program_Ended() const { return program_ended_; }
  int Exit_Code() const { return exit_code_; }
  // The heat file named on the command line, quotes removed.
  const QString &Startup_Path() const { return startup_path_; }

  // Keyboard and focus.
  void IWindowsHook_HookProc(std::int32_t wParam);
  bool Hook_Installed() const;
  void Form_KeyDown(std::int32_t key_code);
  void Form_MouseDown();
  void Form_Click();
  void Loose_Focus();
  // True, after saying so, when the heat file under review is read-only.
  bool Check_Read_Only();

  // Menus.
  void menu_form_click();
  void menu_print_click();
  void item_about_Click();
  void item_Exit_Click();
  void item_associate_Click();
  void item_DLL_available_Click();
  void item_timer_Click();
  bool Menu_Shown(const QString &menu_name) const;

  // Panels.
  void Arrange_form();
  void Set_Cropping();
  void Form_Resize();

  // The auxiliary windows, created on first use.
  Form_timer &Clock_Window();
  Lurcher_debug_form &Debug_Window();

protected:
  bool event(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void changeEvent(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Gather_Control_Arrays();
  void Connect_Menus();
  void Hide_Menu(QMenu *menu);
  void Show_Menu(QMenu *menu, bool shown);
  void Start_Up();
  bool Check_Single_Instance();
  void Show_Heat_Selector();
  void UpDown_heat_Change(int heat);
  void Show_No_Phidget();
  void Set_Max_Picture_Height();
  void End_Program(int code);
  void Slider_Focus();
  int Non_Client_Height() const;
  void Set_Outer_Height(int height);
  void Set_Outer_Width(int width);

  std::unique_ptr<Keyboard_Hook> hook_;
  std::unique_ptr<Single_Instance> instance_;
  QPointer<Form_timer> clock_window_;
  QPointer<Lurcher_debug_form> debug_window_;
  QString startup_path_;
  std::int32_t last_hook_tick_ = 0;
  bool hook_seen_ = false;
  bool program_ended_ = false;
  bool ending_ = false;
  int exit_code_ = 0;
};
