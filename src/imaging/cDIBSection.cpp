#include "imaging/cDIBSection.h"

#include "imaging/Image_Routines.h"
#include "support/Failure.h"
#include "support/Operator.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {
// Larger pictures than any camera delivers are refused rather than allocated.
constexpr std::int64_t max_side = 32768;

// Clears the re-entrance flag however the draw ends.
class Busy_Flag {
public:
  explicit Busy_Flag(bool &flag) : flag_(flag) { flag_ = true; }
  ~Busy_Flag() { flag_ = false; }
  Busy_Flag(const Busy_Flag &) = delete;
  Busy_Flag &operator=(const Busy_Flag &) = delete;

private:
  bool &flag_;
};
} // namespace

std::int32_t cDIBSection::BytesPerScanLine() const { return static_cast<std::int32_t>(DIB_Row_Bytes(width_)); }

std::int32_t cDIBSection::SizeImage() const {
  // A refused size too large for 32 bits reads as 0 rather than as a wrapped number.
  const std::int64_t size = DIB_Row_Bytes(width_) * height_;
  return size <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(size) : 0;
}

bool cDIBSection::Create(std::int32_t width, std::int32_t height) {
  ClearUp();
  width_ = width;
  height_ = height;
  if (width <= 0 || height <= 0 || width > max_side || height > max_side)
    return false;
  // The size must stay a 32-bit number: the file records and the codec carry it so.
  if (DIB_Row_Bytes(width) * height > std::numeric_limits<std::int32_t>::max())
    return false;
  try {
    pixels_.assign(static_cast<size_t>(SizeImage()), 0);
  } catch (const std::bad_alloc &) {
    ClearUp();
    return false;
  }
  created_ = true;
  return true;
}

void cDIBSection::ClearUp() {
  pixels_.clear();
  pixels_.shrink_to_fit();
  created_ = false;
}

void cDIBSection::Fill_with_RGB(std::int32_t colour) {
  if (!created_)
    return;
  const auto red = static_cast<std::uint8_t>(colour & 0xFF);
  const auto green = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
  const auto blue = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
  const std::int32_t stride = BytesPerScanLine();
  for (std::int32_t y = 0; y < height_; ++y) {
    std::uint8_t *row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (std::int32_t x = 0; x < width_; ++x) {
      row[3 * x] = blue;
      row[3 * x + 1] = green;
      row[3 * x + 2] = red;
    }
  }
}

QImage cDIBSection::Stored_Image() const {
  if (!created_)
    return QImage();
  return QImage(pixels_.data(), width_, height_, BytesPerScanLine(), QImage::Format_BGR888);
}

QImage cDIBSection::Image() const { return Image(QRect(0, 0, width_, height_)); }

QImage cDIBSection::Image(const QRect &part) const {
  const QRect visible = part & QRect(0, 0, width_, height_);
  if (!created_ || visible.isEmpty())
    return QImage();
  // Row y from the top is stored row height - 1 - y from the start of the block.
  const QRect stored(visible.x(), height_ - visible.y() - visible.height(), visible.width(), visible.height());
  return Stored_Image().copy(stored).mirrored(false, true);
}

void cDIBSection::Store_Image(const QImage &picture) {
  if (!created_ || picture.width() != width_ || picture.height() != height_)
    return;
  const QImage bgr = picture.convertToFormat(QImage::Format_BGR888);
  const auto stride = static_cast<size_t>(BytesPerScanLine());
  const auto row_bytes = static_cast<size_t>(3) * static_cast<size_t>(width_);
  for (std::int32_t y = 0; y < height_; ++y)
    std::memcpy(pixels_.data() + static_cast<size_t>(height_ - 1 - y) * stride, bgr.constScanLine(y), row_bytes);
}

bool cDIBSection::Paint_Scaled(QPainter &painter, const QRectF &target, const QRectF &source) const {
  if (!created_ || target.width() <= 0 || target.height() <= 0 || source.width() <= 0 || source.height() <= 0)
    return false;
  if (!painter.isActive())
    Raise(Err_Invalid_Call, QStringLiteral("The target surface cannot be drawn on"));
  const QRectF visible = source & QRectF(0, 0, width_, height_);
  if (visible.isEmpty())
    return false;
  // What lies outside the picture is left out, and the target shrinks in proportion.
  const double sx = target.width() / source.width();
  const double sy = target.height() / source.height();
  const QRectF shown(target.x() + (visible.x() - source.x()) * sx, target.y() + (visible.y() - source.y()) * sy,
                     visible.width() * sx, visible.height() * sy);
  painter.drawImage(shown, Image(visible.toAlignedRect()));
  return true;
}

bool cDIBSection::DIB_PaintPicture(Draw_Surface &target, std::int32_t left, std::int32_t top, std::int32_t width,
                                   std::int32_t height, std::int32_t source_left, std::int32_t source_top,
                                   std::int32_t raster_op) {
  try {
    return DIB_PaintPicture(target.Painter(), left, top, width, height, source_left, source_top, raster_op);
  } catch (...) {
    Msg_Box(QStringLiteral("DIB_paintpicture error"));
    return false;
  }
}

bool cDIBSection::DIB_PaintPicture(QPainter &target, std::int32_t left, std::int32_t top, std::int32_t width,
                                   std::int32_t height, std::int32_t source_left, std::int32_t source_top,
                                   std::int32_t /*raster_op*/) {
  try {
    const double w = width < 0 ? width_ : width;
    const double h = height < 0 ? height_ : height;
    return Paint_Scaled(target, QRectF(left, top, w, h), QRectF(source_left, source_top, width_, height_));
  } catch (...) {
    Msg_Box(QStringLiteral("DIB_paintpicture error"));
    return false;
  }
}

bool cDIBSection::DIB_DrawDib2(Draw_Surface &target, std::int16_t source_top, std::int16_t source_left,
                               std::int16_t source_width, std::int16_t source_height) {
  if (drawing_dib_)
    return false;
  const Busy_Flag busy(drawing_dib_);
  return Guarded(QStringLiteral("DIB_DrawDib2 of Class Module cDIBSection"), false, [&] {
    QPainter &painter = target.Painter();
    return Paint_Scaled(painter, QRectF(0, 0, target.ScaleWidth(), target.ScaleHeight()),
                        QRectF(source_left, source_top, source_width, source_height));
  });
}

cDIBSection::Drawing::Drawing(cDIBSection &bitmap)
    : bitmap_(bitmap), width_(bitmap.created_ ? bitmap.width_ : 0), height_(bitmap.created_ ? bitmap.height_ : 0) {
  if (!bitmap.created_)
    return;
  work_ = bitmap.Image().convertToFormat(QImage::Format_RGB32);
  painter_.begin(&work_);
}

cDIBSection::Drawing::~Drawing() {
  Guarded(QStringLiteral("Drawing of Class Module cDIBSection"), [&] { Finish(); });
}

void cDIBSection::Drawing::Finish() {
  if (!painter_.isActive())
    return;
  painter_.end();
  // A bitmap re-created meanwhile at another size keeps its own pixels.
  if (bitmap_.width_ == width_ && bitmap_.height_ == height_)
    bitmap_.Store_Image(work_);
}
