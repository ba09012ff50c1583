#pragma once
// The capture performance window: while the camera runs it plots the time between frames,
// one pixel per millisecond, and counts the frames received against those expected at 25
// frames per second, with the source's format and the PC's particulars, so the operator can
// judge and document whether capture keeps up. The main window feeds it every frame.

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace Ui {
class Form_HDMI_performance;
}
class Picture_Box;
class Printer_Wrapper;

class Form_HDMI_performance : public QMainWindow {
  Q_OBJECT

public:
  static constexpr std::int32_t expected_frame_ms = 40; // 25 frames per second

  explicit Form_HDMI_performance(QWidget *parent = nullptr);
  ~Form_HDMI_performance() override;

  // Called by the main window.
  void Show_Properties(const QString &text);
  void Reset_Counters();
  void HDMI_Dimensions(const QString &text);
  void Fill_min_max_fps(const QString &text);
  // One frame: its capture tick and the delta to the frame before.
  void HDMI_event(std::int32_t tick, std::int32_t delta);
  void Plot_Delta(std::int32_t delta);

  std::int32_t Frames_Received() const { return frames_received_; }
  QString Received_Text() const;
  QString Calculated_Text() const;
  QString Lost_Text() const;
  QString Properties_Text() const;
  QString Dimensions_Text() const;
  QString Min_Max_Fps_Text() const;
  Picture_Box &Plot();
  bool Random_Delta_On() const { return random_timer_.isActive(); }

  void Command_Hide_Me_Click();
  void Command_Print_Form_Click();
  void Command_copy_to_clipboard_Click();
  void item_copy_clipboard_Click();
  void item_random_delta_Click();
  // Prints the window's picture on the printer as one document (failures raise).
  void Print_Form(Printer_Wrapper &printer);
  void Form_Activate();

protected:
  bool event(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  void Draw_Reference_Scale();
  void Draw_Reference_Lines(Picture_Box &box, std::int32_t right, Qt::PenStyle style);
  void Random_Delta_Tick();

  std::unique_ptr<Ui::Form_HDMI_performance> ui_;
  std::int32_t start_tick_ = 0;
  std::int32_t frames_received_ = 0;
  std::int16_t text_40_width_ = 0;
  std::int16_t text_40_height_ = 0;
  QTimer random_timer_; // Timer_delta
};
