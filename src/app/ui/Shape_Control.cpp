#include "app/ui/Shape_Control.h"

#include "support/Failure.h"

#include <QPainter>
#include <algorithm>

Shape_Control::Shape_Control(QWidget *parent) : QWidget(parent) {
  // Only the outline and fill are drawn; the parent shows through elsewhere.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape_Control::setShape(Shape shape) {
  shape_ = shape;
  update();
}

void Shape_Control::Set_FillColor(const QColor &colour) {
  fill_color_ = colour;
  update();
}

void Shape_Control::Set_FillStyle(Fill style) {
  fill_style_ = style;
  update();
}

void Shape_Control::Set_BorderColor(const QColor &colour) {
  border_color_ = colour;
  update();
}

void Shape_Control::Set_BorderWidth(std::int32_t width) {
  border_width_ = std::max<std::int32_t>(width, 1);
  update();
}

QRectF Shape_Control::Outline() const {
  const double inset = border_width_ / 2.0;
  QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
  if (shape_ == Circle) {
    // A circle keeps to the smaller side, centred like the shape it stands for.
    const double side = std::min(r.width(), r.height());
    r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
  }
  return r;
}

void Shape_Control::paintEvent(QPaintEvent * /*event*/) {
  Guarded(QStringLiteral("paintEvent of Class Shape_Control"), [&] {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, shape_ != Rectangle);
    QPen pen(border_color_);
    pen.setWidth(border_width_);
    p.setPen(pen);
    p.setBrush(fill_style_ == Fill::Solid ? QBrush(fill_color_) : QBrush(Qt::NoBrush));
    if (shape_ == Rectangle)
      p.drawRect(Outline());
    else
      p.drawEllipse(Outline());
  });
}
