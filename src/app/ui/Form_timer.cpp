#include "app/ui/Form_timer.h"
#include "ui_Form_timer.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"

#include <QLabel>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr int tick_ms = 50;
constexpr std::int32_t widest_hand = 4;
} // namespace

Form_timer::Form_timer(const QLabel *heat_time, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form_timer>()), heat_time_(heat_time) {
  ui->setupUi(this);
  Timer1.setInterval(tick_ms);
  connect(&Timer1, &QTimer::timeout, this, &Form_timer::Timer1_Timer);
}

Form_timer::~Form_timer() = default;

bool Form_timer::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate)
    Timer1.start();
  else if (e->type() == QEvent::WindowDeactivate || e->type() == QEvent::Hide)
    Timer1.stop();
  return QWidget::event(e);
}

void Form_timer::Timer1_Timer() {
  Guarded(QStringLiteral("Timer1_Timer of Form Form_timer"), [&] {
    const QString now = Display_Mill_Time(Ms_Of_Day(), false);
    ui->Label_time->setText(now);
    if (heat_time_)
      ui->Label_elapsed->setText(heat_time_->text());
    // The hundredths as shown, the two digits after the comma.
    Draw_Arm(now.right(2).toInt());
  });
}

void Form_timer::Draw_Arm(std::int32_t v) {
  Picture_Box &arm = *ui->Picture_arm;
  arm.Cls();
  const double cx = arm.ScaleWidth() / 2.0;
  const double cy = arm.ScaleHeight() / 2.0;
  const double angle = v / 99.0 * 2.0 * std::numbers::pi - std::numbers::pi / 2.0;
  arm.Set_DrawWidth(std::min(arm.ScaleWidth() / 8, widest_hand));
  arm.Line(Checked_32(Round_Half_Even(cx)), Checked_32(Round_Half_Even(cy)),
           Checked_32(Round_Half_Even(cx + cx * std::cos(angle))),
           Checked_32(Round_Half_Even(cy + cy * std::sin(angle))), QColor(0, 0, 255));
  arm.Refresh();
}
