#pragma once
// The program's in-memory picture: 24-bit, rows bottom-up, blue-green-red bytes, each row
// padded to 4 bytes, one contiguous block. Frames are copied in and out with one block
// copy and handed to the JPEG codec and the image routines without conversion.
//
// Positions handed to the drawing calls are measured from the top-left of the picture,
// as on any other surface, although the rows are stored bottom-up.

#include "support/Draw_Surface.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

class cDIBSection {
public:
  cDIBSection() = default;

  // Replaces any previous bitmap. false (and no pixels) when the size is not usable;
  // the header then still carries the requested size.
  bool Create(std::int32_t width, std::int32_t height);
  void ClearUp();

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::int32_t BytesPerScanLine() const;
  std::int32_t SizeImage() const;
  bool Created() const { return created_; }

  // First byte of the pixel data; nullptr when none.
  std::uint8_t *DIBSectionBitsPtr() { return created_ ? pixels_.data() : nullptr; }
  const std::uint8_t *DIBSectionBitsPtr() const { return created_ ? pixels_.data() : nullptr; }

  // colour is 0x00BBGGRR (red in the lowest byte).
  void Fill_with_RGB(std::int32_t colour);

  void Set_ID_string(const QString &id) { id_string_ = id; }
  const QString &ID_string() const { return id_string_; }

  // A copy of the picture, or of part of it, the right way up (top row first). The part is
  // cut to the picture; a null image when nothing is left or no bitmap exists.
  QImage Image() const;
  QImage Image(const QRect &part) const;

  // Draws the whole picture scaled into (left, top, width, height) of the target; a width
  // or height below 0 means the picture's own. The source starts at (source_left,
  // source_top) and has the picture's size; what lies outside the picture is not drawn.
  // raster_op is accepted for the callers' sake and not used. false when nothing was drawn;
  // a failure shows "DIB_paintpicture error".
  bool DIB_PaintPicture(Draw_Surface &target, std::int32_t left, std::int32_t top, std::int32_t width,
                        std::int32_t height, std::int32_t source_left = 0, std::int32_t source_top = 0,
                        std::int32_t raster_op = 0);
  bool DIB_PaintPicture(QPainter &target, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                        std::int32_t source_left = 0, std::int32_t source_top = 0, std::int32_t raster_op = 0);

  // Draws the source rectangle scaled onto the whole target. A call made while an earlier
  // one is still drawing (a redraw from events processed meanwhile) returns at once.
  // false when nothing was drawn.
  bool DIB_DrawDib2(Draw_Surface &target, std::int16_t source_top, std::int16_t source_left, std::int16_t source_width,
                    std::int16_t source_height);

  // Drawing into the bitmap. The painter works on a copy the right way up; the pixels
  // change when the drawing finishes (Finish or the end of its life). A flipped painter on
  // the stored rows would be cheaper, but it puts lines and points one row off from filled
  // areas, so every shape is drawn the ordinary way and the rows are turned on the way back.
  class Drawing final : public Draw_Surface {
  public:
    explicit Drawing(cDIBSection &bitmap);
    ~Drawing() override;
    Drawing(const Drawing &) = delete;
    Drawing &operator=(const Drawing &) = delete;

    QPainter &Painter() override { return painter_; }
    std::int32_t ScaleWidth() const override { return width_; }
    std::int32_t ScaleHeight() const override { return height_; }
    // Writes the drawing into the bitmap; later drawing through this object is lost.
    void Finish();

  private:
    cDIBSection &bitmap_;
    QImage work_;
    QPainter painter_;
    std::int32_t width_;
    std::int32_t height_;
  };

private:
  // The pixels wrapped as they are stored, bottom row first; no copy.
  QImage Stored_Image() const;
  void Store_Image(const QImage &picture);
  bool Paint_Scaled(QPainter &painter, const QRectF &target, const QRectF &source) const;

  std::vector<std::uint8_t> pixels_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  bool created_ = false;
  bool drawing_dib_ = false; // re-entrance guard of DIB_DrawDib2
  QString id_string_;
};
