#include "capture/ui/Form_HDMI_performance.h"

#include "ui_Form_HDMI_performance.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"
#include "support/ui/Picture_Box.h"
#include "support/ui/Printer_Wrapper.h"
#include "support/ui/Window_Helpers.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QRandomGenerator>

namespace {
constexpr std::int32_t random_delta_interval_ms = 40;
constexpr std::int32_t clipboard_wait_ms = 500;
constexpr std::int32_t printer_busy_error = 481;
const QColor plot_blue(0, 0, 255);
const QColor reference_yellow(255, 255, 0);
const QColor scale_cyan(0, 255, 255);

constexpr Location_Of where{"Form", "Form_HDMI_performance"};

QString Version_Text() {
  const App_Version_Info v = App_Version();
  return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}
} // namespace

Form_HDMI_performance::Form_HDMI_performance(QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Form_HDMI_performance>()) {
  ui_->setupUi(this);
  setAttribute(Qt::WA_QuitOnClose, false);
  random_timer_.setInterval(random_delta_interval_ms);
  connect(&random_timer_, &QTimer::timeout, this, [this] { Random_Delta_Tick(); });
  connect(ui_->Command_Hide_Me, &QPushButton::clicked, this, [this] { Command_Hide_Me_Click(); });
  connect(ui_->Command_Print_Form, &QPushButton::clicked, this, [this] { Command_Print_Form_Click(); });
  connect(ui_->Command_copy_to_clipboard, &QPushButton::clicked, this, [this] { Command_copy_to_clipboard_Click(); });
  connect(ui_->item_copy_clipboard, &QAction::triggered, this, [this] { item_copy_clipboard_Click(); });
  connect(ui_->item_print_form, &QAction::triggered, this, [this] { Command_Print_Form_Click(); });
  connect(ui_->item_random_delta, &QAction::triggered, this, [this] { item_random_delta_Click(); });
  ui_->Label_frames_lost->installEventFilter(this);
  ui_->Picture_Delta_Scroll->Set_BackColor(Qt::black);
  ui_->Picture_Delta_Scroll->Cls();
  ui_->Picture_delta_scroll_lines->hide();
  ui_->menu_debug->menuAction()->setVisible(false); // shown only in development builds
  Enable_Close_Button(this, false);
}

Form_HDMI_performance::~Form_HDMI_performance() = default;

Picture_Box &Form_HDMI_performance::Plot() { return *ui_->Picture_Delta_Scroll; }
QString Form_HDMI_performance::Received_Text() const { return ui_->Label_Frames_received->text(); }
QString Form_HDMI_performance::Calculated_Text() const { return ui_->Label_frames_Calculated->text(); }
QString Form_HDMI_performance::Lost_Text() const { return ui_->Label_frames_lost->text(); }
QString Form_HDMI_performance::Properties_Text() const { return ui_->Label_prop->text(); }
QString Form_HDMI_performance::Dimensions_Text() const { return ui_->Label_HDMI_dimensions->text(); }
QString Form_HDMI_performance::Min_Max_Fps_Text() const { return ui_->Label_min_max_fps->text(); }

// ---- fed by the main window ----

void Form_HDMI_performance::Show_Properties(const QString &text) {
  Guarded(where("Show_Properties"), [&] { ui_->Label_prop->setText(text); });
}

void Form_HDMI_performance::Reset_Counters() {
  Guarded(where("Reset_Counters"), [this] {
    start_tick_ = Tick();
    frames_received_ = 0;
  });
}

void Form_HDMI_performance::HDMI_Dimensions(const QString &text) {
  Guarded(where("HDMI_Dimensions"), [&] { ui_->Label_HDMI_dimensions->setText(text); });
}

void Form_HDMI_performance::Fill_min_max_fps(const QString &text) {
  Guarded(where("Fill_min_max_fps"), [&] { ui_->Label_min_max_fps->setText(text); });
}

// The frames expected are counted from the capture tick of the frame, so a window that
// handles frames late does not count them as lost.
void Form_HDMI_performance::HDMI_event(std::int32_t tick, std::int32_t delta) {
  Guarded(where("HDMI_event"), [&] {
    frames_received_ = Checked_32(static_cast<long long>(frames_received_) + 1);
    Plot_Delta(delta);
    const std::int32_t elapsed = Ticks_Between(start_tick_, tick);
    const auto calculated = Checked_32(Divide_Half_Even(elapsed, expected_frame_ms));
    ui_->Label_Frames_received->setText(QString::number(frames_received_));
    ui_->Label_frames_Calculated->setText(QString::number(calculated));
    ui_->Label_frames_lost->setText(QString::number(static_cast<long long>(frames_received_) - calculated));
    ui_->Frame_performance->update();
  });
}

// Scrolls the plot one pixel to the left and draws the new delta as a column at the right,
// one pixel per millisecond, over the two reference lines.
void Form_HDMI_performance::Plot_Delta(std::int32_t delta) {
  Guarded(where("Plot_Delta"), [&] {
    Picture_Box &box = *ui_->Picture_Delta_Scroll;
    const std::int32_t w = box.ScaleWidth();
    const std::int32_t h = box.ScaleHeight();
    if (w < 2 || h < 1)
      return;
    const QImage shown = box.Image();
    QPainter &p = box.Painter();
    if (!p.isActive())
      return;
    p.drawImage(0, 0, shown, 1, 0, w - 1, h);
    // The new column starts empty; otherwise every earlier column would show through.
    p.fillRect(w - 1, 0, 1, h, box.BackColor());
    box.Set_DrawWidth(1);
    const std::int32_t top = std::max<std::int32_t>((h - 1) - std::max<std::int32_t>(delta, 0), 0);
    box.Line(w - 1, h - 1, w - 1, top, plot_blue);
    Draw_Reference_Lines(box, ui_->Picture_delta_scroll_lines->ScaleWidth(), Qt::SolidLine);
    box.update();
  });
}

void Form_HDMI_performance::Draw_Reference_Lines(Picture_Box &box, std::int32_t right, Qt::PenStyle style) {
  QPainter &p = box.Painter();
  if (!p.isActive())
    return;
  p.save();
  p.setPen(QPen(reference_yellow, 2, style));
  const std::int32_t h = box.ScaleHeight();
  for (const std::int32_t ms : {40, 80})
    p.drawLine(text_40_width_ + 2, h - ms, right, h - ms);
  p.restore();
}

// ---- activation ----

bool Form_HDMI_performance::event(QEvent *event) {
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
    Form_Activate();
  return QMainWindow::event(event);
}

void Form_HDMI_performance::Form_Activate() {
  Guarded(where("Form_Activate"), [this] {
    Draw_Reference_Scale();
    Enable_Close_Button(this, false);
    setWindowTitle(QStringLiteral("HDMI performance ") + Globals::App_Name + QLatin1Char(' ') + Version_Text() +
                   QLatin1Char(' ') + Get_DateTime_Text());
    ui_->Label_Windows_version->setText(Globals::OS_Caption + QStringLiteral("\nCPU = ") + Globals::CPU_Bitness +
                                        QStringLiteral(" OS = ") + Globals::OS_Bitness);
    ui_->Lbl_PC_info->setText(Globals::Computer_Name + QLatin1Char(' ') + Globals::CPU_Info + QStringLiteral("  ") +
                              Globals::Mem_Info);
  });
}

void Form_HDMI_performance::Draw_Reference_Scale() {
  Picture_Box &lines = *ui_->Picture_delta_scroll_lines;
  Picture_Box &scale = *ui_->Picture_Scale;
  lines.show();
  text_40_width_ = Checked_16(lines.TextWidth(QStringLiteral("40")));
  text_40_height_ = Checked_16(lines.TextHeight(QStringLiteral("40")));
  lines.setGeometry(ui_->Picture_Delta_Scroll->geometry());
  lines.Set_BackColor(Qt::black);
  lines.Cls();
  Draw_Reference_Lines(lines, lines.ScaleWidth(), Qt::DashDotLine);
  lines.Refresh();
  scale.Set_BackColor(Qt::black);
  scale.Cls();
  scale.Set_ForeColor(scale_cyan);
  scale.Set_FontName(QStringLiteral("Times"));
  scale.Set_FontSize(10);
  for (const std::int32_t ms : {40, 80}) {
    const QString text = QString::number(ms);
    scale.Set_CurrentX(0);
    scale.Set_CurrentY(scale.ScaleHeight() - ms - scale.TextHeight(text) / 2);
    scale.Print(text);
  }
  lines.hide();
}

// ---- commands ----

bool Form_HDMI_performance::eventFilter(QObject *watched, QEvent *event) {
  if (watched == ui_->Label_frames_lost && event->type() == QEvent::MouseButtonPress)
    Reset_Counters();
  return QMainWindow::eventFilter(watched, event);
}

void Form_HDMI_performance::closeEvent(QCloseEvent *event) {
  random_timer_.stop();
  QMainWindow::closeEvent(event);
}

void Form_HDMI_performance::Command_Hide_Me_Click() {
  Guarded(where("Command_Hide_Me_Click"), [this] { hide(); });
}

void Form_HDMI_performance::Command_copy_to_clipboard_Click() {
  Guarded(where("Command_copy_to_clipboard_Click"),
          [this] { QGuiApplication::clipboard()->setImage(grab().toImage()); });
}

void Form_HDMI_performance::item_copy_clipboard_Click() {
  Guarded(where("item_copy_clipboard_Click"), [this] {
    QGuiApplication::clipboard()->setImage(grab().toImage());
    Do_Sleep(clipboard_wait_ms, true);
  });
}

void Form_HDMI_performance::Print_Form(Printer_Wrapper &printer) {
  // The picture is taken straight from the window, not through the clipboard, so there is
  // nothing to wait for and the operator's clipboard is left alone.
  const QImage picture = grab().toImage();
  if (printer.Printing())
    printer.End_Doc();
  printer.Paint_Picture(picture, 0, 0);
  printer.End_Doc();
}

void Form_HDMI_performance::Command_Print_Form_Click() {
  try {
    Print_Form(Current_Printer());
  } catch (const Lurcher_Failure &failure) {
    if (failure.Number() == printer_busy_error || failure.Number() == Printer_Wrapper::Err_Printer)
      Msg_Box(QStringLiteral("Sorry can't print this time....\r\nWindows reports Printer error!"));
    else
      Report_Current_Failure(where("Command_Print_Form_Click"));
  } catch (...) {
    Report_Current_Failure(where("Command_Print_Form_Click"));
  }
}

void Form_HDMI_performance::item_random_delta_Click() {
  Guarded(where("item_random_delta_Click"), [this] {
    const bool on = !random_timer_.isActive();
    ui_->item_random_delta->setChecked(on);
    if (on)
      random_timer_.start();
    else
      random_timer_.stop();
  });
}

void Form_HDMI_performance::Random_Delta_Tick() {
  Guarded(where("Timer_delta_Timer"), [this] {
    const double r = QRandomGenerator::global()->generateDouble();
    Plot_Delta(static_cast<std::int32_t>(Round_Half_Even(40 + 30 * r)));
  });
}
