#pragma once
// The picture box: a widget that keeps what is drawn on it. Drawing goes into a backing
// image that survives every repaint; a stored picture lies underneath the drawing and comes
// back on Cls. Positions and sizes are pixels. Text is printed at the current position and
// moves it to the next line.

#include "support/Draw_Surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdint>

class Picture_Box : public QWidget, public Draw_Surface {
  Q_OBJECT

public:
  // Interior of boxes and circles.
  enum Fill_Style : int {
    Fill_Solid = 0,
    Fill_Transparent = 1,
    Fill_Horizontal = 2,
    Fill_Vertical = 3,
    Fill_Upward_Diagonal = 4,
    Fill_Downward_Diagonal = 5,
    Fill_Cross = 6,
    Fill_Diagonal_Cross = 7,
  };
  enum class Line_Form { Line, Box, Filled_Box };

  explicit Picture_Box(QWidget *parent = nullptr);
  ~Picture_Box() override;

  // Draw_Surface: a painter on the backing image; the box repaints when events are next processed.
  QPainter &Painter() override;
  std::int32_t ScaleWidth() const override { return width(); }
  std::int32_t ScaleHeight() const override { return height(); }

  // The stored picture; setting it redraws the box with it under a cleared drawing.
  const QImage &Picture() const { return picture_; }
  void Set_Picture(const QImage &picture);
  // A copy of what the box shows (the picture with the drawing over it).
  QImage Image();

  // Clears the drawing to BackColor over the picture and puts the current position at 0, 0.
  void Cls();
  // Repaints now.
  void Refresh();

  std::int32_t CurrentX() const { return current_x_; }
  std::int32_t CurrentY() const { return current_y_; }
  void Set_CurrentX(std::int32_t x) { current_x_ = x; }
  void Set_CurrentY(std::int32_t y) { current_y_ = y; }

  QString FontName() const { return font_.family(); }
  double FontSize() const { return font_.pointSizeF(); }
  bool FontBold() const { return font_.bold(); }
  void Set_FontName(const QString &name);
  void Set_FontSize(double points);
  void Set_FontBold(bool bold);
  const QFont &Font() const { return font_; }
  void Set_Font(const QFont &font);

  QColor ForeColor() const { return fore_color_; }
  QColor BackColor() const { return back_color_; }
  QColor FillColor() const { return fill_color_; }
  int FillStyle() const { return fill_style_; }
  std::int32_t DrawWidth() const { return draw_width_; }
  void Set_ForeColor(const QColor &colour) { fore_color_ = colour; }
  // Takes effect on the next Cls, as the drawing already made keeps its background.
  void Set_BackColor(const QColor &colour) { back_color_ = colour; }
  void Set_FillColor(const QColor &colour) { fill_color_ = colour; }
  void Set_FillStyle(int style) { fill_style_ = style; }
  void Set_DrawWidth(std::int32_t width) { draw_width_ = width < 1 ? 1 : width; }

  // Size of a text in the box's font, in pixels.
  std::int32_t TextWidth(const QString &text) const;
  std::int32_t TextHeight(const QString &text) const;

  // Prints text with its top-left at the current position. With new_line the position goes
  // to the start of the next line, otherwise to the end of the text.
  void Print(const QString &text, bool new_line = true);
  // A line, a box or a filled box between two points (both included), in ForeColor when
  // colour is invalid. A box's interior takes FillColor and FillStyle; the current position
  // moves to the second point.
  void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const QColor &colour = QColor(),
            Line_Form form = Line_Form::Line);
  // A circle around (x, y), its interior by FillColor and FillStyle.
  void Circle(std::int32_t x, std::int32_t y, std::int32_t radius, const QColor &colour = QColor());
  // A disc filled with one colour, outline included.
  void Filled_Disc(std::int32_t x, std::int32_t y, std::int32_t radius, const QColor &colour);
  void PSet(std::int32_t x, std::int32_t y, const QColor &colour = QColor());
  // The colour at a point; an invalid colour outside the box.
  QColor Point(std::int32_t x, std::int32_t y);

signals:
  void MouseDown(Qt::MouseButton button, int x, int y);
  void MouseMove(Qt::MouseButtons buttons, int x, int y);
  void MouseUp(Qt::MouseButton button, int x, int y);
  void Click();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void End_Painting();
  void Follow_Size();
  void Rebuild(const QSize &size, bool keep_drawing);
  QBrush Fill_Brush() const;
  QPen Line_Pen(const QColor &colour) const;

  QImage backing_;
  QImage picture_;
  QPainter painter_;
  QFont font_;
  QColor fore_color_ = Qt::black;
  QColor back_color_ = QColor(240, 240, 240);
  QColor fill_color_ = Qt::black;
  int fill_style_ = Fill_Transparent;
  std::int32_t draw_width_ = 1;
  std::int32_t current_x_ = 0;
  std::int32_t current_y_ = 0;
};
