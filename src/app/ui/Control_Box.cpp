#include "app/ui/Control_Box.h"

#include "app/Interface_Kit.h"
#include "app/Kit_Controller.h"
#include "app/ui/Shape_Control.h"
#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Operator.h"
#include "support/Trace.h"
#include "support/ui/Picture_Box.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace {
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor White(255, 255, 255);

constexpr Location_Of Location{"Form", "Form_Lurcher"};

void Set_Text(QLabel *label, const QString &text, const QColor &colour) {
  if (!label)
    return;
  label->setText(text);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

void Set_Shown(QWidget *widget, bool shown) {
  if (widget)
    widget->setVisible(shown);
}

void Set_Enabled(QWidget *widget, bool enabled) {
  if (widget)
    widget->setEnabled(enabled);
}

int Channel_Between(int inner, int outer, int step, int steps) {
  return inner + static_cast<int>(Divide_Half_Even(static_cast<long long>(outer - inner) * step, steps));
}
} // namespace

Control_Box::Control_Box(QWidget &window, Kit_Controller &kit, QObject *parent)
    : QObject(parent), window_(window), kit_(kit) {
  Find_Controls();
  if (Picture_LED) {
    connect(Picture_LED, &Picture_Box::MouseDown, this, [this] { Picture_LED_MouseDown(); });
    connect(Picture_LED, &Picture_Box::MouseUp, this, [this] { Picture_LED_MouseUp(); });
  }
}

template <class T> T *Control_Box::Find(const QString &name) {
  T *control = window_.findChild<T *>(name);
  if (!control)
    missing_ << name;
  return control;
}

void Control_Box::Find_Controls() {
  Frame_Control_box = Find<QWidget>(QStringLiteral("Frame_Control_box"));
  Label_attached = Find<QLabel>(QStringLiteral("Label_attached"));
  Label_Phidget_attached = Find<QLabel>(QStringLiteral("Label_Phidget_attached"));
  Label_RM = Find<QLabel>(QStringLiteral("Label_RM"));
  Label_remote_start = Find<QLabel>(QStringLiteral("Label_remote_start"));
  Picture_lamps = Find<Picture_Box>(QStringLiteral("Picture_lamps"));
  Shape_RM_open = Find<Shape_Control>(QStringLiteral("Shape_RM_open"));
  for (std::size_t k = 2; k <= 3; ++k) {
    const QString index = QString::number(k);
    Shape_camera[k] = Find<Shape_Control>(QStringLiteral("Shape_camera_") + index);
    Shape_circle1[k] = Find<Shape_Control>(QStringLiteral("Shape_circle1_") + index);
    Label_GS[k] = Find<QLabel>(QStringLiteral("Label_GS_") + index);
  }
  Picture_armed_switch = Find<Picture_Box>(QStringLiteral("Picture_armed_switch"));
  Shape_lever = Find<Shape_Control>(QStringLiteral("Shape_lever"));
  Picture_LED = Find<Picture_Box>(QStringLiteral("Picture_LED"));
  Command_initiate_file = Find<QPushButton>(QStringLiteral("Command_initiate_file"));
  Command_start_heat = Find<QPushButton>(QStringLiteral("Command_start_heat"));
}

QColor Control_Box::Button_Face() { return QApplication::palette().color(QPalette::Button); }

void Control_Box::Shaded_Disc(Picture_Box &picture, int x, int y, int radius, const QColor &inner,
                              const QColor &outer) {
  picture.Set_DrawWidth(2);
  picture.Set_FillStyle(Picture_Box::Fill_Transparent);
  for (int r = 1; r <= radius; ++r) {
    const QColor colour(Channel_Between(inner.red(), outer.red(), r, radius),
                        Channel_Between(inner.green(), outer.green(), r, radius),
                        Channel_Between(inner.blue(), outer.blue(), r, radius));
    picture.Circle(x, y, r, colour);
  }
}

void Control_Box::Check_Attached() {
  try {
    if (!kit_.Present()) {
      Trace_String(QStringLiteral("*Check_Attached m_Phidget_Present = False"));
      return;
    }
    if (Picture_lamps)
      Picture_lamps->Cls();
    if (!kit_.Kit() || !kit_.Kit()->IsAttached()) {
      Show_Not_Attached();
      return;
    }
    Show_Attached();
    Draw_Remote_Lamp();
    Draw_Arming();
    Draw_Capture_Lamps();
    draw_LED();
    Trace_String(QStringLiteral("Check_Attached, End"));
  } catch (...) {
    Report_Check_Attached_Failure();
  }
}

void Control_Box::Report_Check_Attached_Failure() {
  const Failure_Info failure = Current_Failure();
  Guarded(Location("Check_Attached"), [&] {
    Msg_Box(QStringLiteral("Check_attached error") + QString::number(failure.line) + QStringLiteral(" ") +
            failure.description + QStringLiteral(" ") + QString::number(failure.number));
  });
  Report_Current_Failure(Location("Check_Attached"));
}

void Control_Box::Show_Not_Attached() {
  Set_Enabled(Frame_Control_box, false);
  Set_Text(Label_attached, QStringLiteral("Not attached"), Qt::black);
  Set_Text(Label_Phidget_attached, QStringLiteral("Not attached"), Qt::black);
  Trace_String(QStringLiteral("Check_Attached obj_Phidget.IsAttached = false"));
  Set_Shown(Shape_circle1[2], false);
  Set_Shown(Shape_circle1[3], false);
  Set_Shown(Label_RM, false);
  Set_Shown(Label_remote_start, false);
  if (Shape_RM_open)
    Shape_RM_open->Set_FillColor(Button_Face());
  Set_Shown(Picture_LED, false);
  Set_Enabled(Command_start_heat, false);
}

void Control_Box::Show_Attached() {
  Trace_String(QStringLiteral("*Check_Attached obj_Phidget.IsAttached = True"));
  Set_Enabled(Frame_Control_box, true);
  const QString serial = QStringLiteral("Attached, serial = ") + QString::number(kit_.Serial_Number());
  Set_Text(Label_attached, serial, Green);
  if (Label_Phidget_attached)
    Label_Phidget_attached->setText(serial);
  Set_Enabled(Command_initiate_file, true);
  for (QWidget *shown : {static_cast<QWidget *>(Label_RM), static_cast<QWidget *>(Label_remote_start),
                         static_cast<QWidget *>(Shape_circle1[2]), static_cast<QWidget *>(Shape_circle1[3]),
                         static_cast<QWidget *>(Picture_LED)})
    Set_Shown(shown, true);
  Set_Enabled(Command_start_heat, true);
}

void Control_Box::Draw_Remote_Lamp() {
  const bool closed = kit_.Input_On(Kit_Controller::Remote_Contact);
  if (closed)
    Set_Text(Label_RM, QStringLiteral("RM closed"), QColor(255, 128, 0));
  else
    Set_Text(Label_RM, QStringLiteral("RM open"), Qt::black);
  if (!Picture_lamps || !Shape_RM_open)
    return;
  const QRect lamp = Shape_RM_open->geometry();
  Picture_lamps->Set_FontName(QStringLiteral("Arial"));
  Picture_lamps->Set_FontSize(12);
  Shaded_Disc(*Picture_lamps, lamp.left() + lamp.width() / 2, lamp.top() + lamp.height() / 2, lamp.width() / 2, White,
              closed ? QColor(197, 132, 0) : Button_Face());
  Picture_lamps->Set_ForeColor(closed ? QColor(0, 0, 255) : White);
  Picture_lamps->Set_CurrentX(lamp.left());
  Picture_lamps->Set_CurrentY(lamp.top() + lamp.height() / 3);
  Picture_lamps->Print(closed ? QStringLiteral("Closed") : QStringLiteral("Open"), false);
}

void Control_Box::Draw_Arming() {
  const bool armed = kit_.Input_On(Kit_Controller::Start_Armed);
  if (armed)
    Set_Text(Label_remote_start, QStringLiteral("Start armed!"), QColor(0, 192, 0));
  else
    Set_Text(Label_remote_start, QStringLiteral("Start not armed!"), Red);
  Draw_Start_Switch(armed);
}

void Control_Box::Draw_Capture_Lamps() {
  Set_Shown(Label_GS[2], false);
  Set_Shown(Label_GS[3], false);
  for (int n = 3; n <= 4; ++n) {
    const auto k = static_cast<std::size_t>(n - 1);
    const bool on = kit_.Input_On(n);
    QColor fill = on ? Red : Green;
    // The kit may go between the first check and here.
    if (!kit_.Kit() || !kit_.Kit()->IsAttached())
      fill = Button_Face();
    for (Shape_Control *shape : {Shape_circle1[k], Shape_camera[k]}) {
      if (shape)
        shape->Set_FillColor(fill);
    }
    if (Shape_circle1[k])
      Shape_circle1[k]->Set_FillStyle(Shape_Control::Fill::Solid);
    if (Picture_lamps && Shape_camera[k]) {
      const QRect lamp = Shape_camera[k]->geometry();
      Shaded_Disc(*Picture_lamps, lamp.left() + lamp.width() / 2, lamp.top() + lamp.height() / 2, lamp.width() / 2,
                  White, on ? Red : Green);
    }
    Set_Shown(Label_GS[k], on);
  }
}

void Control_Box::Draw_Start_Switch(bool armed) {
  if (!Picture_armed_switch)
    return;
  const auto centre_line = Checked_32(Round_Half_Even(Picture_armed_switch->height() / 1.6));
  if (Shape_lever)
    Shape_lever->move(Shape_lever->x(), armed ? centre_line - Shape_lever->height() : centre_line);
  Picture_armed_switch->Set_BackColor(armed ? Green : QColor(255, 192, 192));
  Picture_armed_switch->Cls();
  Picture_armed_switch->Set_FontName(QStringLiteral("Arial"));
  Picture_armed_switch->Set_ForeColor(Qt::black);
  Picture_armed_switch->Set_CurrentX(2);
  Picture_armed_switch->Set_CurrentY(2);
  Picture_armed_switch->Print(armed ? QStringLiteral("Armed") : QStringLiteral("Not Armed"), false);
}

void Control_Box::draw_LED() {
  if (!Picture_LED)
    return;
  const bool lit = kit_.Lamp_Wanted();
  Picture_LED->Cls();
  Picture_LED->Set_DrawWidth(2);
  Picture_LED->Filled_Disc(Picture_LED->width() / 2, Picture_LED->height() / 2, Picture_LED->width() / 3,
                           lit ? QColor(255, 255, 0) : QColor(100, 100, 100));
  kit_.Set_Lamp(lit);
}

void Control_Box::Picture_LED_MouseDown() {
  Guarded(Location("Picture_LED_MouseDown"), [&] {
    kit_.Set_LED_Pressed(true);
    Check_Attached();
  });
}

void Control_Box::Picture_LED_MouseUp() {
  Guarded(Location("Picture_LED_MouseUp"), [&] {
    kit_.Set_LED_Pressed(false);
    Check_Attached();
  });
}
