#pragma once
// The Control Box panel of the main window: the interface kit's state drawn onto the
// window's own controls (found by objectName): the lamps as shaded discs, the arming lever,
// the on-screen LED that also drives output 0, and the labels.

#include <QColor>
#include <QObject>
#include <QStringList>
#include <array>
#include <cstdint>

class Kit_Controller;
class Picture_Box;
class Shape_Control;
class QLabel;
class QPushButton;
class QWidget;

class Control_Box : public QObject {
  Q_OBJECT

public:
  // window holds the controls; kit gives the state. Neither is owned.
  Control_Box(QWidget &window, Kit_Controller &kit, QObject *parent = nullptr);

  // Controls the window lacks; the panel draws what it has.
  const QStringList &Missing_Controls() const { return missing_; }

  // Redraws the whole panel from the kit.
  void Check_Attached();
  void Draw_Start_Switch(bool armed);
  void draw_LED();
  void Picture_LED_MouseDown();
  void Picture_LED_MouseUp();

  // Concentric circles of radius 1 .. radius, pen width 2, the colour moving channel by
  // channel from inner to outer.
  static void Shaded_Disc(Picture_Box &picture, int x, int y, int radius, const QColor &inner, const QColor &outer);
  static QColor Button_Face();

private:
  template <class T> T *Find(const QString &name);
  void Find_Controls();
  void Show_Not_Attached();
  void Show_Attached();
  void Draw_Remote_Lamp();
  void Draw_Arming();
  void Draw_Capture_Lamps();
  void Report_Check_Attached_Failure();

  QWidget &window_;
  Kit_Controller &kit_;
  QStringList missing_;
  QWidget *Frame_Control_box = nullptr;
  QLabel *Label_attached = nullptr;
  QLabel *Label_Phidget_attached = nullptr;
  QLabel *Label_RM = nullptr;
  QLabel *Label_remote_start = nullptr;
  Picture_Box *Picture_lamps = nullptr;
  Shape_Control *Shape_RM_open = nullptr;
  std::array<Shape_Control *, 4> Shape_camera{};
  std::array<Shape_Control *, 4> Shape_circle1{};
  std::array<QLabel *, 4> Label_GS{};
  Picture_Box *Picture_armed_switch = nullptr;
  Shape_Control *Shape_lever = nullptr;
  Picture_Box *Picture_LED = nullptr;
  QPushButton *Command_initiate_file = nullptr;
  QPushButton *Command_start_heat = nullptr;
};
