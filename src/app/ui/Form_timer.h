#pragma once
// The clock window (Debug -> "Timer"): the local time of day, the main window's heat time
// and a hand that sweeps once a second. It ticks only while it is the active window.

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class Form_timer;
}
class QLabel;

class Form_timer : public QWidget {
  Q_OBJECT

public:
  // heat_time: the main window's heat-time display, copied on every tick.
  explicit Form_timer(const QLabel *heat_time, QWidget *parent = nullptr);
  ~Form_timer() override;

  const std::unique_ptr<Ui::Form_timer> ui;
  QTimer Timer1;

  void Timer1_Timer();
  // The hand for v hundredths of a second.
  void Draw_Arm(std::int32_t v);

protected:
  bool event(QEvent *event) override;

private:
  const QLabel *heat_time_;
};
