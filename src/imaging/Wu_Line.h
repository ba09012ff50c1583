#pragma once
// The goal line's thick antialiased line (Xiaolin Wu's idea): a pen of a given width walks
// along the line's long axis; in every column (or row) the two edge pixels are blended with
// what the surface already holds, by the fraction the line lies off the pixel grid, and the
// pixels between them take the colour. The result is fixed to the pixel, so the same line
// looks the same on the review picture, on the live picture and on a print.

#include <QImage>
#include <cstdint>

class cDIBSection;

struct BGR_Colour {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  friend bool operator==(const BGR_Colour &, const BGR_Colour &) = default;
};

struct Wu_Point {
  std::int16_t x = 0;
  std::int16_t y = 0;
  friend bool operator==(const Wu_Point &, const Wu_Point &) = default;
};

// A surface the line can read and write pixel by pixel. Positions are measured from the
// top-left pixel; the line only asks for pixels inside Width() x Height().
class Wu_Surface {
public:
  virtual ~Wu_Surface() = default;
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  virtual BGR_Colour Get_Pixel(std::int32_t x, std::int32_t y) const = 0;
  virtual void Set_Pixel(std::int32_t x, std::int32_t y, BGR_Colour colour) = 0;
};

// The program's 24-bit bitmap (rows stored bottom-up). A bitmap without pixels has no size.
class DIB_Wu_Surface final : public Wu_Surface {
public:
  explicit DIB_Wu_Surface(cDIBSection &bitmap);
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  BGR_Colour Get_Pixel(std::int32_t x, std::int32_t y) const override;
  void Set_Pixel(std::int32_t x, std::int32_t y, BGR_Colour colour) override;

private:
  std::uint8_t *At(std::int32_t x, std::int32_t y) const;
  std::uint8_t *pixels_;
  std::int64_t row_bytes_;
  std::int32_t width_;
  std::int32_t height_;
};

// A picture the review draws into. Pixels written are opaque. Monochrome and palette
// pictures have no colours of their own to blend with, so they offer no pixels.
class QImage_Wu_Surface final : public Wu_Surface {
public:
  explicit QImage_Wu_Surface(QImage &picture);
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  BGR_Colour Get_Pixel(std::int32_t x, std::int32_t y) const override;
  void Set_Pixel(std::int32_t x, std::int32_t y, BGR_Colour colour) override;

private:
  QImage &picture_;
  bool direct_; // 32-bit pixels, read and written in place
  std::int32_t width_;
  std::int32_t height_;
};

// Draws the solid line from p1 to p2 (both ends included) with the pen width in pixels.
// Pixels outside the surface are left out; coinciding ends and a width below 1 draw nothing.
void Wu_Line(Wu_Surface &surface, Wu_Point p1, Wu_Point p2, BGR_Colour colour, std::int16_t width);

// (1 - weight) x colour + weight x old per channel, rounded halves to even: weight 0 gives
// the colour, 1 keeps the old pixel.
BGR_Colour Wu_Blend(BGR_Colour colour, BGR_Colour old, float weight);
