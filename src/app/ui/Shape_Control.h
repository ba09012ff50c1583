#pragma once
// A drawn shape on a window: the lamp outlines, lamp circles and the arming lever of the
// Control Box. It has no behaviour of its own; the window sets its fill and border.

#include <QColor>
#include <QWidget>
#include <cstdint>

class Shape_Control : public QWidget {
  Q_OBJECT
  Q_PROPERTY(Shape shape READ shape WRITE setShape)

public:
  enum Shape { Rectangle, Oval, Circle };
  Q_ENUM(Shape)

  enum class Fill { Transparent, Solid };

  explicit Shape_Control(QWidget *parent = nullptr);

  Shape shape() const { return shape_; }
  void setShape(Shape shape);

  QColor FillColor() const { return fill_color_; }
  Fill FillStyle() const { return fill_style_; }
  QColor BorderColor() const { return border_color_; }
  std::int32_t BorderWidth() const { return border_width_; }
  void Set_FillColor(const QColor &colour);
  void Set_FillStyle(Fill style);
  void Set_BorderColor(const QColor &colour);
  void Set_BorderWidth(std::int32_t width);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QRectF Outline() const;

  Shape shape_ = Rectangle;
  QColor fill_color_ = Qt::black;
  Fill fill_style_ = Fill::Transparent;
  QColor border_color_ = Qt::black;
  std::int32_t border_width_ = 1;
};
