#include "support/ui/Picture_Box.h"

#include "support/Failure.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QStringList>

namespace {
constexpr double metres_per_inch = 0.0254;
} // namespace

Picture_Box::Picture_Box(QWidget *parent) : QWidget(parent), font_(QWidget::font()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Rebuild(size(), false);
}

Picture_Box::~Picture_Box() { End_Painting(); }

QPainter &Picture_Box::Painter() {
  Follow_Size();
  if (!painter_.isActive() && !backing_.isNull()) {
    painter_.begin(&backing_);
    update();
  }
  return painter_;
}

void Picture_Box::End_Painting() {
  if (painter_.isActive())
    painter_.end();
}

void Picture_Box::Follow_Size() {
  // A hidden box is resized without a resize event; the drawing follows on first use.
  if (backing_.size() != size())
    Rebuild(size(), true);
}

void Picture_Box::Rebuild(const QSize &size, bool keep_drawing) {
  End_Painting();
  QImage fresh(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
  if (!fresh.isNull()) {
    // Point sizes measure the same on the backing image as on the screen.
    fresh.setDotsPerMeterX(qRound(logicalDpiX() / metres_per_inch));
    fresh.setDotsPerMeterY(qRound(logicalDpiY() / metres_per_inch));
    fresh.fill(back_color_);
    QPainter p(&fresh);
    if (!picture_.isNull())
      p.drawImage(0, 0, picture_);
    if (keep_drawing && !backing_.isNull())
      p.drawImage(0, 0, backing_);
  }
  backing_ = fresh;
}

void Picture_Box::Set_Picture(const QImage &picture) {
  picture_ = picture;
  Rebuild(size(), false);
  update();
}

QImage Picture_Box::Image() {
  End_Painting();
  Follow_Size();
  return backing_;
}

void Picture_Box::Cls() {
  Rebuild(size(), false);
  current_x_ = 0;
  current_y_ = 0;
  update();
}

void Picture_Box::Refresh() {
  End_Painting();
  repaint();
}

void Picture_Box::Set_FontName(const QString &name) { font_.setFamily(name); }

void Picture_Box::Set_FontSize(double points) {
  if (points > 0)
    font_.setPointSizeF(points);
}

void Picture_Box::Set_FontBold(bool bold) { font_.setBold(bold); }

void Picture_Box::Set_Font(const QFont &font) { font_ = font; }

std::int32_t Picture_Box::TextWidth(const QString &text) const {
  const QFontMetrics metrics(font_, this);
  int widest = 0;
  for (const QString &line : text.split(QLatin1Char('\n')))
    widest = qMax(widest, metrics.horizontalAdvance(line));
  return widest;
}

std::int32_t Picture_Box::TextHeight(const QString &text) const {
  const QFontMetrics metrics(font_, this);
  return metrics.height() * static_cast<std::int32_t>(text.count(QLatin1Char('\n')) + 1);
}

void Picture_Box::Print(const QString &text, bool new_line) {
  QPainter &p = Painter();
  if (!p.isActive())
    return;
  const QFontMetrics metrics(font_, this);
  p.setFont(font_);
  p.setPen(fore_color_);
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    p.drawText(QPoint(current_x_, current_y_ + metrics.ascent()), lines[i]);
    if (new_line || i + 1 < lines.size()) {
      current_x_ = 0;
      current_y_ += metrics.height();
    } else {
      current_x_ += metrics.horizontalAdvance(lines[i]);
    }
  }
}

QBrush Picture_Box::Fill_Brush() const {
  switch (fill_style_) {
  case Fill_Solid:
    return QBrush(fill_color_, Qt::SolidPattern);
  case Fill_Horizontal:
    return QBrush(fill_color_, Qt::HorPattern);
  case Fill_Vertical:
    return QBrush(fill_color_, Qt::VerPattern);
  case Fill_Upward_Diagonal:
    return QBrush(fill_color_, Qt::BDiagPattern);
  case Fill_Downward_Diagonal:
    return QBrush(fill_color_, Qt::FDiagPattern);
  case Fill_Cross:
    return QBrush(fill_color_, Qt::CrossPattern);
  case Fill_Diagonal_Cross:
    return QBrush(fill_color_, Qt::DiagCrossPattern);
  default:
    return QBrush(Qt::NoBrush);
  }
}

QPen Picture_Box::Line_Pen(const QColor &colour) const {
  QPen pen(colour.isValid() ? colour : fore_color_);
  pen.setWidth(draw_width_);
  return pen;
}

void Picture_Box::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const QColor &colour,
                       Line_Form form) {
  QPainter &p = Painter();
  if (!p.isActive())
    return;
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPen pen = Line_Pen(colour);
  const QRect box(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2), qMax(y1, y2)));
  if (form == Line_Form::Filled_Box) {
    p.fillRect(box, pen.color());
  } else if (form == Line_Form::Box) {
    p.fillRect(box, Fill_Brush());
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // A stroked rectangle covers one pixel more than its size: both corners stay included.
    p.drawRect(QRect(box.topLeft(), box.size() - QSize(1, 1)));
  } else {
    p.setPen(pen);
    p.drawLine(x1, y1, x2, y2);
  }
  current_x_ = x2;
  current_y_ = y2;
}

void Picture_Box::Circle(std::int32_t x, std::int32_t y, std::int32_t radius, const QColor &colour) {
  QPainter &p = Painter();
  if (!p.isActive() || radius < 0)
    return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Line_Pen(colour));
  p.setBrush(Fill_Brush());
  p.drawEllipse(QPointF(x, y), radius, radius);
  p.setRenderHint(QPainter::Antialiasing, false);
  current_x_ = x;
  current_y_ = y;
}

void Picture_Box::Filled_Disc(std::int32_t x, std::int32_t y, std::int32_t radius, const QColor &colour) {
  QPainter &p = Painter();
  if (!p.isActive() || radius < 0)
    return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(colour, 1));
  p.setBrush(colour);
  p.drawEllipse(QPointF(x, y), radius, radius);
  p.setRenderHint(QPainter::Antialiasing, false);
  current_x_ = x;
  current_y_ = y;
}

void Picture_Box::PSet(std::int32_t x, std::int32_t y, const QColor &colour) {
  End_Painting();
  Follow_Size();
  current_x_ = x;
  current_y_ = y;
  if (!backing_.valid(x, y))
    return;
  backing_.setPixelColor(x, y, colour.isValid() ? colour : fore_color_);
  update();
}

QColor Picture_Box::Point(std::int32_t x, std::int32_t y) {
  End_Painting();
  Follow_Size();
  return backing_.valid(x, y) ? backing_.pixelColor(x, y) : QColor();
}

void Picture_Box::paintEvent(QPaintEvent *event) {
  Guarded(QStringLiteral("paintEvent of Class Picture_Box"), [&] {
    End_Painting();
    Follow_Size();
    QPainter p(this);
    const QRect exposed = event->rect();
    p.drawImage(exposed.topLeft(), backing_, exposed);
    const QRegion uncovered = QRegion(exposed) - QRegion(backing_.rect());
    for (const QRect &r : uncovered)
      p.fillRect(r, back_color_);
  });
}

void Picture_Box::resizeEvent(QResizeEvent *event) {
  Guarded(QStringLiteral("resizeEvent of Class Picture_Box"), [&] { Rebuild(event->size(), true); });
}

void Picture_Box::mousePressEvent(QMouseEvent *event) {
  Guarded(QStringLiteral("MouseDown of Class Picture_Box"), [&] {
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), at.x(), at.y());
  });
}

void Picture_Box::mouseMoveEvent(QMouseEvent *event) {
  Guarded(QStringLiteral("MouseMove of Class Picture_Box"), [&] {
    const QPoint at = event->position().toPoint();
    emit MouseMove(event->buttons(), at.x(), at.y());
  });
}

void Picture_Box::mouseReleaseEvent(QMouseEvent *event) {
  Guarded(QStringLiteral("MouseUp of Class Picture_Box"), [&] {
    const QPoint at = event->position().toPoint();
    emit MouseUp(event->button(), at.x(), at.y());
    if (event->button() == Qt::LeftButton && rect().contains(at))
      emit Click();
  });
}
