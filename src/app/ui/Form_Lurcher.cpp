#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Interface_Kit.h"
#include "app/Kit_Controller.h"
#include "app/Single_Instance.h"
#include "app/Stand_Ins.h"
#include "app/ui/Control_Box.h"
#include "app/ui/Form_simulated_kit.h"
#include "app/ui/Form_timer.h"
#include "app/ui/Heat_Preview.h"
#include "app/ui/Keyboard_Hook.h"
#include "app/ui/Lurcher_debug_form.h"
#include "app/ui/Paint_box.h"
#include "capture/cls_Capture_HDMI.h"
#include "capture/ui/Form_HDMI_performance.h"
#include "capture/ui/Form_select_Video.h"
#include "events/ui/Form_event_registration.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/ui/Frm_progress.h"

#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Operator.h"
#include "support/Trace.h"
#include "support/ui/Keyboard_State.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr std::int32_t vk_escape = 27;
constexpr std::int32_t vk_left = 37;
constexpr std::int32_t vk_right = 39;
constexpr std::int32_t vk_numpad4 = 100;
constexpr std::int32_t vk_numpad6 = 102;
constexpr int heat_timer_ms = 50;
constexpr int fps_timer_ms = 1000;

constexpr Location_Of Form_Location{"Form", "Form_Lurcher"};
} // namespace

Form_Lurcher::Form_Lurcher(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::Form_Lurcher>()) {
  ui->setupUi(this);
  Gather_Control_Arrays();
  Connect_Menus();
  Connect_Race_Controls();
  Timer1.setInterval(heat_timer_ms);
  Timer_2.setInterval(fps_timer_ms);
  ui->Picture_temp->hide(); // a measuring picture only
  ui->Label_Coll_count->hide();
  ui->centralwidget->installEventFilter(this);
  Create_Event_Windows();
  connect(ui->UpDown_heat, &QSpinBox::valueChanged, this, &Form_Lurcher::UpDown_heat_Change);
  hook_ = std::make_unique<Keyboard_Hook>([this](std::int32_t code) { IWindowsHook_HookProc(code); }, nullptr,
                                          [this](std::int32_t code) { Key_Released(code); });
}

Form_Lurcher::~Form_Lurcher() {
  hook_.reset();
  delete clock_window_.data();
  delete debug_window_.data();
}

void Form_Lurcher::Create_Event_Windows() {
  event_registration_ = std::make_unique<Form_event_registration>();
  heat_preview_ = std::make_unique<Heat_Preview>(*ui, *event_registration_,
                                                 [this] { return obj_QK3_Handler && obj_QK3_Handler->File_open(); });
  event_registration_->Set_Badge_Painter(&Paint_box);
  event_registration_->Set_Heat_Display([this] { heat_preview_->Event_Changed(); });
}

void Form_Lurcher::Gather_Control_Arrays() {
  Picture_dognum = {ui->Picture_dognum_0, ui->Picture_dognum_1, ui->Picture_dognum_2,
                    ui->Picture_dognum_3, ui->Picture_dognum_4, ui->Picture_dognum_5};
  Label_dog = {ui->Label_dog_0, ui->Label_dog_1, ui->Label_dog_2, ui->Label_dog_3, ui->Label_dog_4, ui->Label_dog_5};
  Command_BOX_set_time = {ui->Command_BOX_set_time_0, ui->Command_BOX_set_time_1, ui->Command_BOX_set_time_2,
                          ui->Command_BOX_set_time_3, ui->Command_BOX_set_time_4, ui->Command_BOX_set_time_5};
  Shape_circle1 = {nullptr, nullptr, ui->Shape_circle1_2, ui->Shape_circle1_3};
  Shape_camera = {nullptr, nullptr, ui->Shape_camera_2, ui->Shape_camera_3};
  Label_GS = {nullptr, nullptr, ui->Label_GS_2, ui->Label_GS_3};
  Option_selected_camera = {nullptr, ui->Option_selected_camera_1, ui->Option_selected_camera_2};
  item_crop_size = {ui->item_crop_size_0, ui->item_crop_size_1, ui->item_crop_size_2};
}

bool Form_Lurcher::Hook_Installed() const { return hook_ && hook_->Installed(); }

// ---------------------------------------------------------------- activation

bool Form_Lurcher::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate)
    Form_Activate();
  return QMainWindow::event(e);
}

void Form_Lurcher::Form_Activate() {
  // Fitting the badge font processes events; an activation arriving meanwhile finds the
  // badges being painted already.
  if (activating_)
    return;
  activating_ = true;
  Guarded(Form_Location("Form_Activate"), [&] {
    if (ui->Slider_play->isVisible())
      ui->Slider_play->setFocus();
    for (std::size_t i = 0; i < Picture_dognum.size(); ++i)
      Paint_box(*Picture_dognum[i], static_cast<std::int16_t>(i + 1));
    Check_Attached();
  });
  activating_ = false;
}

// ---------------------------------------------------------------- keyboard and focus

void Form_Lurcher::IWindowsHook_HookProc(std::int32_t wParam) {
  Guarded(Form_Location("IWindowsHook_HookProc"), [&] {
    // Escape aborts the heat from whichever window has the keyboard. Taken before the quiet
    // time, which would lose a press that follows another key closely.
    if (wParam == vk_escape)
      Escape_Pressed();
    if (!hook_debounce_.Accept(Tick()))
      return;
    Trace_String(QStringLiteral("*IWindowsHook_HookProc, wParam = %1").arg(wParam));
    if (wParam == vk_numpad4 || wParam == vk_numpad6)
      Stand_In::Handle_Goal_Offset(wParam);
    if (wParam == vk_left || (wParam == vk_right && !Ctrl_Down()))
      Slider_Focus();
  });
}

void Form_Lurcher::Key_Released(std::int32_t wParam) {
  Guarded(Form_Location("IWindowsHook_HookProc"), [&] {
    if (wParam == vk_escape)
      Escape_Released();
  });
}

void Form_Lurcher::Slider_Focus() {
  // A hidden slider cannot take the focus; the key then simply goes where it was going.
  if (ui->Slider_play->isVisible())
    ui->Slider_play->setFocus();
}

void Form_Lurcher::Form_KeyDown(std::int32_t key_code) {
  Guarded(Form_Location("Form_KeyDown"), [&] {
    if (key_code == vk_left || key_code == vk_right)
      Slider_Focus();
  });
}

void Form_Lurcher::Form_MouseDown() {
  Guarded(Form_Location("Form_MouseDown"), [&] { Slider_Focus(); });
}

void Form_Lurcher::Form_Click() {
  Guarded(Form_Location("Form_Click"), [&] {
    if (ui->Command_start_heat->isVisible() && ui->Command_start_heat->isEnabled())
      ui->Command_start_heat->setFocus();
  });
}

void Form_Lurcher::Loose_Focus() {
  Guarded(Form_Location("Loose_Focus"), [&] { ui->Picture_out->setFocus(); });
}

bool Form_Lurcher::Check_Read_Only() {
  return Guarded(Form_Location("Check_Read_Only"), false, [&] {
    if (!obj_QK3_Handler || !obj_QK3_Handler->File_open() || !obj_QK3_Handler->Read_only())
      return false;
    Msg_Box(QStringLiteral("File is read only!"));
    return true;
  });
}

void Form_Lurcher::keyPressEvent(QKeyEvent *e) {
  Form_KeyDown(Keyboard_State::Virtual_Key(*e));
  QMainWindow::keyPressEvent(e);
}

bool Form_Lurcher::eventFilter(QObject *watched, QEvent *e) {
  // Presses and clicks on the window's background, between the controls.
  if (watched == ui->centralwidget) {
    if (e->type() == QEvent::MouseButtonPress) {
      Form_MouseDown();
    } else if (e->type() == QEvent::MouseButtonRelease) {
      const auto *mouse = static_cast<QMouseEvent *>(e);
      if (ui->centralwidget->rect().contains(mouse->position().toPoint()))
        Form_Click();
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void Form_Lurcher::UpDown_heat_Change(int /*heat*/) {
  Guarded(Form_Location("UpDown_heat_Change"), [&] { heat_preview_->UpDown_heat_Change(); });
}

// ---------------------------------------------------------------- closing

void Form_Lurcher::closeEvent(QCloseEvent *e) {
  if (appending_) { // the frames being written must reach the file first
    e->ignore();
    return;
  }
  if (!ending_)
    Form_QueryUnload();
  e->accept();
}

void Form_Lurcher::Form_QueryUnload() {
  Guarded(Form_Location("Form_QueryUnload"), [&] {
    hook_->Remove();
    Lurcher_End();
  });
}

// ---------------------------------------------------------------- auxiliary windows

Form_timer &Form_Lurcher::Clock_Window() {
  if (!clock_window_)
    clock_window_ = new Form_timer(ui->Label_heat_time);
  return *clock_window_;
}

Lurcher_debug_form &Form_Lurcher::Debug_Window() {
  if (!debug_window_)
    debug_window_ = new Lurcher_debug_form();
  return *debug_window_;
}
