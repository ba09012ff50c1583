#include "imaging/Wu_Line.h"

#include "imaging/Image_Routines.h"
#include "imaging/cDIBSection.h"
#include "support/Checked.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {
std::uint8_t Blend_Channel(std::uint8_t colour, std::uint8_t old, float weight) {
  // A float weight times a byte is exact in double, so a half is a true half here.
  const double w = weight;
  return static_cast<std::uint8_t>(std::clamp<long long>(Round_Half_Even((1.0 - w) * colour + w * old), 0, 255));
}

bool Has_Own_Colours(const QImage &picture) {
  switch (picture.format()) {
  case QImage::Format_Invalid:
  case QImage::Format_Mono:
  case QImage::Format_MonoLSB:
  case QImage::Format_Indexed8:
    return false;
  default:
    return !picture.isNull();
  }
}

bool Direct_32(QImage::Format format) {
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

// One column (flat line) or row (steep line) of the pen.
class Pen_Walk {
public:
  Pen_Walk(Wu_Surface &surface, BGR_Colour colour, bool flat) : surface_(surface), colour_(colour), flat_(flat) {}

  // along: the column (flat) or row (steep); from..to: the pixels across it, edges blended.
  void Draw(std::int32_t along, std::int32_t from, std::int32_t to, float frac) {
    Blend(along, from, frac);
    Blend(along, to, 1.0f - frac);
    for (std::int32_t across = from + 1; across < to; ++across)
      if (Inside(along, across))
        Put(along, across, colour_);
  }

private:
  bool Inside(std::int32_t along, std::int32_t across) const {
    return across >= 0 && across < (flat_ ? surface_.Height() : surface_.Width()) && along >= 0 &&
           along < (flat_ ? surface_.Width() : surface_.Height());
  }
  void Blend(std::int32_t along, std::int32_t across, float weight) {
    if (!Inside(along, across))
      return;
    const BGR_Colour old = flat_ ? surface_.Get_Pixel(along, across) : surface_.Get_Pixel(across, along);
    Put(along, across, Wu_Blend(colour_, old, weight));
  }
  void Put(std::int32_t along, std::int32_t across, BGR_Colour colour) {
    if (flat_)
      surface_.Set_Pixel(along, across, colour);
    else
      surface_.Set_Pixel(across, along, colour);
  }

  Wu_Surface &surface_;
  BGR_Colour colour_;
  bool flat_;
};
} // namespace

BGR_Colour Wu_Blend(BGR_Colour colour, BGR_Colour old, float weight) {
  return {Blend_Channel(colour.blue, old.blue, weight), Blend_Channel(colour.green, old.green, weight),
          Blend_Channel(colour.red, old.red, weight)};
}

void Wu_Line(Wu_Surface &surface, Wu_Point p1, Wu_Point p2, BGR_Colour colour, std::int16_t width) {
  if (p1 == p2 || width < 1)
    return;
  const std::int32_t half = width / 2;
  const std::int32_t rest = width - half;
  // A 45-degree line counts as steep and is walked along y.
  const bool flat = std::abs(p2.y - p1.y) < std::abs(p2.x - p1.x);
  if (flat ? p2.x < p1.x : p2.y < p1.y)
    std::swap(p1, p2);
  const std::int32_t walk_start = flat ? p1.x : p1.y;
  const std::int32_t across_start = flat ? p1.y : p1.x;
  const std::int32_t n = (flat ? p2.x : p2.y) - walk_start;
  const std::int32_t m = (flat ? p2.y : p2.x) - across_start;
  const std::int32_t walk_size = flat ? surface.Width() : surface.Height();

  // Columns off the surface draw nothing; the others do not depend on them.
  const std::int32_t first = std::max(0, -walk_start);
  const std::int32_t last = std::min(n, walk_size - 1 - walk_start);
  Pen_Walk pen(surface, colour, flat);
  for (std::int32_t k = first; k <= last; ++k) {
    // In single precision, k / n first: the pixels are fixed to this arithmetic.
    const float f = static_cast<float>(k) / static_cast<float>(n) * static_cast<float>(m);
    const float whole = std::floor(f);
    const std::int32_t c = static_cast<std::int32_t>(whole) + across_start;
    pen.Draw(walk_start + k, c - half, c + rest, f - whole);
  }
}

// ---- surfaces ----

DIB_Wu_Surface::DIB_Wu_Surface(cDIBSection &bitmap)
    : pixels_(bitmap.DIBSectionBitsPtr()), row_bytes_(DIB_Row_Bytes(bitmap.Width())),
      width_(pixels_ ? bitmap.Width() : 0), height_(pixels_ ? bitmap.Height() : 0) {}

std::uint8_t *DIB_Wu_Surface::At(std::int32_t x, std::int32_t y) const {
  return pixels_ + static_cast<std::int64_t>(height_ - 1 - y) * row_bytes_ + static_cast<std::int64_t>(x) * 3;
}

BGR_Colour DIB_Wu_Surface::Get_Pixel(std::int32_t x, std::int32_t y) const {
  const std::uint8_t *p = At(x, y);
  return {p[0], p[1], p[2]};
}

void DIB_Wu_Surface::Set_Pixel(std::int32_t x, std::int32_t y, BGR_Colour colour) {
  std::uint8_t *p = At(x, y);
  p[0] = colour.blue;
  p[1] = colour.green;
  p[2] = colour.red;
}

QImage_Wu_Surface::QImage_Wu_Surface(QImage &picture)
    : picture_(picture), direct_(Direct_32(picture.format())), width_(Has_Own_Colours(picture) ? picture.width() : 0),
      height_(Has_Own_Colours(picture) ? picture.height() : 0) {}

BGR_Colour QImage_Wu_Surface::Get_Pixel(std::int32_t x, std::int32_t y) const {
  const QRgb pixel = direct_ ? reinterpret_cast<const QRgb *>(picture_.constScanLine(y))[x] : picture_.pixel(x, y);
  return {static_cast<std::uint8_t>(qBlue(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
          static_cast<std::uint8_t>(qRed(pixel))};
}

void QImage_Wu_Surface::Set_Pixel(std::int32_t x, std::int32_t y, BGR_Colour colour) {
  const QRgb pixel = qRgb(colour.red, colour.green, colour.blue);
  if (direct_)
    reinterpret_cast<QRgb *>(picture_.scanLine(y))[x] = pixel;
  else
    picture_.setPixel(x, y, pixel);
}
