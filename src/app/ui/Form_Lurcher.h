#pragma once
// The main window: the hub every part of the program plugs into. It owns the heat file
// object, the capture object and the interface kit for the whole run. This file pair holds
// its controls, start-up and shutdown, keyboard and activation; the menus and the panel
// arrangement live in Form_Lurcher_Menus.cpp and Form_Lurcher_Layout.cpp.

#include "app/Kit_Debounce.h"
#include "app/Kit_Race_Control.h"

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
class Form_event_registration;
class Form_HDMI_performance;
class Form_select_Video;
class Form_timer;
class Heat_Preview;
class Keyboard_Hook;
class Lurcher_debug_form;
class Picture_Box;
class Shape_Control;
class Single_Instance;
class cls_Capture_HDMI;
class cls_VideoFile_handler;
class Control_Box;
class Form_Lurcher_settings;
class Form_simulated_kit;
class Frm_progress;
class Interface_Kit;
class Kit_Controller;

class Form_Lurcher : public QMainWindow, public Kit_Race_Control {
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
  // The capture object: the one camera, created once the start-up has passed the instance check.
  std::unique_ptr<cls_Capture_HDMI> obj_Capture_HDMI;

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
  void Key_Released(std::int32_t wParam);
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
  void item_Select_Video_Source_Click();
  void item_file_properties_Click();
  void item_qk3_properties_Click();
  // Diagnostics -> "HDMI performance": opens the capture performance window, or closes it.
  void item_HDMI_performance_Click();
  // The capture performance window while it is open; null otherwise.
  Form_HDMI_performance *Performance_Window() const { return performance_window_.get(); }
  void Feed_Performance_Window();

  void item_event_registration_Click();
  bool Menu_Shown(const QString &menu_name) const;

  // Panels.
  void Arrange_form();
  void Set_Cropping();
  void Form_Resize();

  // The event registration window, loaded hidden at start-up, and the heat preview it feeds.
  Form_event_registration &Event_Registration() const { return *event_registration_; }
  Heat_Preview &Heat_preview() const { return *heat_preview_; }

  // The auxiliary windows, created on first use.
  Form_timer &Clock_Window();
  Lurcher_debug_form &Debug_Window();
  // The video source selection window, loaded hidden at start-up; null before.
  Form_select_Video *Video_Source_Window() const { return video_source_window_.get(); }

  // Race control: the heat recording cycle (Form_Lurcher_Race.cpp, Form_Lurcher_Capture.cpp)
  // and the interface kit (Form_Lurcher_Kit.cpp).
  QString Current_File;
  QString Capture_Folder;
  QString Capture_Info;
  QString Actual_Sample;
  std::int32_t Heat_Start_Tick = 0;
  std::int32_t Heat_Start_Local = 0;
  // A heat runs from an accepted start signal to heat finish or abort. Kept apart from the
  // start tick, which may be 0 or negative once the 32-bit tick has run past its half.
  bool Heat_Running = false;
  bool Capturing = false;
  bool Live_View = false;
  // Ask for the simulated kit instead of the library's (set before Form_Load).
  bool Simulate_Kit = false;
  // Seconds the last capture end took to append its frames and close the file.
  double Last_Append_Seconds = 0;
  std::unique_ptr<Interface_Kit> obj_Phidget;
  std::unique_ptr<Kit_Controller> Kit;
  std::unique_ptr<Control_Box> Control_box;

  bool Camera_Running() const;
  bool Phidget_Attached() const;
  void Command_start_camera_Click();
  void Start_camera();
  void Stop_Camera();
  void Do_Close();
  // Option_selected_camera(camera) clicked; shows race control again.
  void Camera_Chosen(int camera);
  void cmd_live_view_Click();
  void Update_Running_Fps();
  void Command_initiate_file_Click();
  void Validate_Folder();
  void Label_capture_folder_Click();
  void load_Capture_Folder();
  void item_crop_size_Click(int index);
  void Read_Last_Crop();
  void Command_start_heat_Click();
  void Handle_Start(std::int32_t tick) override;
  void Update_heat_time();
  void Cmd_capture_MouseDown();
  void Cmd_capture_MouseUp();
  void Handle_Capture_Start(std::int32_t tick) override;
  void Handle_Capture_End(std::int32_t tick) override;
  void HDMI_event();
  void Update_File_Size(const QString &path);
  void Command_finish_Click();
  void Do_Heat_Finish();
  // The abort question, asked once Escape is let go; only while a heat runs.
  void Do_Abort();
  void Escape_Pressed();
  void Escape_Released();
  void Set_Buttons();
  void Check_Attached() override;
  void Stop_All_Cameras() override;
  bool Verify_Phidgets();
  void Check_For_Phidget();
  void item_Blink_LED_Click();
  void item_show_settings_Click();
  Form_Lurcher_settings &Settings_Window();
  // The simulated kit's window; null unless the simulated kit is in use.
  Form_simulated_kit *Simulated_Kit_Window() const { return simulated_kit_window_.get(); }
  // Frames captured and not yet written to a heat file.
  std::int32_t Frames_Pending() const;

protected:
  bool event(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void changeEvent(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Gather_Control_Arrays();
  void Create_Event_Windows();
  void Connect_Menus();
  void Hide_Menu(QMenu *menu);
  void Show_Menu(QMenu *menu, bool shown);
  void Start_Up();
  void Load_Video_Source_Window();
  bool Heat_File_Open(const QString &procedure);
  QString Sample_Text() const;

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
  // Declared in this order: the preview refers to the event window.
  std::unique_ptr<Form_event_registration> event_registration_;
  std::unique_ptr<Heat_Preview> heat_preview_;
  QPointer<Form_timer> clock_window_;
  QPointer<Lurcher_debug_form> debug_window_;
  std::unique_ptr<Form_select_Video> video_source_window_;
  std::unique_ptr<Form_HDMI_performance> performance_window_;
  QString startup_path_;
  Kit_Debounce hook_debounce_{Kit_Debounce::Keyboard_Hook_ms};
  bool program_ended_ = false;
  bool ending_ = false;
  bool activating_ = false;

  int exit_code_ = 0;

  // Race control
  void Connect_Race_Controls();
  bool Initiate_File();
  bool Make_Heat_File(const QString &path, bool with_start);
  void Fill_Heat_Header(bool with_start);
  void Toggle_Camera();
  void Choose_Test_Track_Without_Camera();
  void Set_Capture_Folder(const QString &folder);
  void Select_Crop(int index, bool store);
  void Append_Capture();
  bool Write_Kept_Frames();
  void Draw_Live_Frame();
  bool Offer_Other_Folder(const QString &why);
  void End_Capture(std::int32_t tick, bool read_switch_again);
  void Wait_For_Frames_Before(cls_Capture_HDMI &capture);
  void Resume_Held_Capture();
  void Show_Camera_Stopped(const QString &why);
  void Camera_Failed(const QString &text);
  void Keep_Frames_Before_Closing();
  void Remake_Heat_File(const QString &path);
  void Open_Phidget();
  void Set_Up_Kit();
  Kit_Debounce start_camera_debounce_{Kit_Debounce::Start_Camera_ms};
  Kit_Debounce live_view_debounce_{Kit_Debounce::Live_View_ms};
  Kit_Debounce capture_press_debounce_{Kit_Debounce::Capture_Press_ms};
  Kit_Debounce capture_release_debounce_{Kit_Debounce::Capture_Release_ms};
  std::unique_ptr<Frm_progress> progress_;
  std::unique_ptr<Form_simulated_kit> simulated_kit_window_;
  QPointer<Form_Lurcher_settings> settings_window_;
  QString heat_start_text_;
  bool appending_ = false;
  // Frames of the list at its head that are in the heat file already (a pass that failed).
  std::int32_t frames_in_file_ = 0;
  void Ask_Abort();
  bool aborting_ = false;      // the abort question is open
  bool abort_queued_ = false;  // Escape seen, the abort not yet looked at
  bool abort_waiting_ = false; // the abort waits for Escape to be let go
  QTimer abort_wait_;
};
