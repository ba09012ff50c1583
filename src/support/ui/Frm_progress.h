#pragma once
// The progress window shown while frames are compressed or pictures printed: a caption
// line and a bar. Both repaint at once, because the work behind them holds the event loop.

#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class Frm_progress;
}

class Frm_progress : public QWidget {
  Q_OBJECT

public:
  explicit Frm_progress(QWidget *parent = nullptr);
  ~Frm_progress() override;

  void Set_Caption(const QString &text);
  // Outside the bar's range nothing changes.
  void Set_Percent(std::int32_t percent);
  // The largest font from 14 down at which the caption takes at most 90 % of its box.
  void Adapt_Font();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void Arrange();

  std::unique_ptr<Ui::Frm_progress> ui_;
};
