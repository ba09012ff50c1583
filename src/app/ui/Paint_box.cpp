#include "app/ui/Paint_box.h"

#include "support/Checked.h"
#include "support/Failure.h"
#include "support/ui/Picture_Box.h"

#include <QApplication>
#include <QPalette>

namespace {
constexpr int first_points = 64;
constexpr int pump_above_points = 32;

// The largest size from 64 down at which 0.9 x the height of "8" stays below the drawing.
void Fit_Font(Picture_Box &picture) {
  picture.Set_FontName(QStringLiteral("Arial"));
  picture.Set_FontBold(true);
  int points = first_points;
  picture.Set_FontSize(points);
  // Stop at 1 point: a picture with no height would otherwise never fit.
  while (points > 1 && Round_Half_Even(0.9 * picture.TextHeight(QStringLiteral("8"))) >= picture.ScaleHeight()) {
    --points;
    picture.Set_FontSize(points);
    if (points > pump_above_points)
      QCoreApplication::processEvents();
  }
}

void Paint_Bands(Picture_Box &picture) {
  const std::int32_t w = picture.ScaleWidth();
  const std::int32_t h = picture.ScaleHeight();
  const QColor shadow = Box_Band_Colour();
  QPainter &p = picture.Painter();
  p.fillRect(QRect(QPoint(0, h / 4), QPoint(w - 1, h / 2)), shadow);
  p.fillRect(QRect(QPoint(0, h * 3 / 4), QPoint(w - 1, h - 1)), shadow);
}
} // namespace

QColor Box_Band_Colour() { return QColor(QApplication::palette().color(QPalette::Dark).rgb()); }

Box_Colours Box_Colours_Of(std::int16_t box) {
  switch (box) {
  case 1:
    return {QColor(181, 0, 0), Qt::white};
  case 2:
    return {QColor(64, 116, 202), Qt::white};
  case 3:
    return {Qt::white, Qt::black};
  case 4:
    return {Qt::black, Qt::white};
  case 5:
    return {QColor(231, 177, 27), Qt::black};
  case 6:
    return {Qt::white, QColor(255, 0, 0)};
  default:
    return {QColor(), QColor()};
  }
}

void Paint_box(Picture_Box &picture, std::int16_t box) {
  Guarded(QStringLiteral("Paint_box of Module Module_Lurcher"), [&] {
    picture.Set_Picture(QImage());
    picture.Cls();
    picture.Refresh();
    Fit_Font(picture);
    const Box_Colours colours = Box_Colours_Of(box);
    if (!colours.background.isValid())
      return;
    picture.Painter().fillRect(QRect(0, 0, picture.ScaleWidth(), picture.ScaleHeight()), colours.background);
    if (box == 6)
      Paint_Bands(picture);
    picture.Set_ForeColor(colours.number);
    picture.Set_CurrentX(0);
    picture.Set_CurrentY(0);
    // A number prints with the blank that stands for its sign.
    picture.Print(QStringLiteral(" %1").arg(box));
    picture.Set_Picture(picture.Image());
  });
}
