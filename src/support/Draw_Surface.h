#pragma once
// Something that can be drawn on: a picture box, a printer page, a bitmap being drawn into.
// Drawing code takes a Draw_Surface so the same procedure serves the screen and the printer.

#include <QPainter>
#include <cstdint>

class Draw_Surface {
public:
  virtual ~Draw_Surface() = default;
  // The painter to draw with. It stays valid until the surface is shown, read back or
  // resized; a caller that changes its state (pen, transform, clip) restores it.
  virtual QPainter &Painter() = 0;
  // The drawable size in the surface's scale units: pixels on screen and in bitmaps,
  // twips on a printer page (the painter works in the same units).
  virtual std::int32_t ScaleWidth() const = 0;
  virtual std::int32_t ScaleHeight() const = 0;
};
