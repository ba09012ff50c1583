#pragma once
// The program's in-memory picture: 24-bit, rows bottom-up, blue-green-red bytes, each row
// padded to 4 bytes, one contiguous block. Frames are copied in and out with one block
// copy and handed to the JPEG codec and the image routines without conversion.

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

private:
  std::vector<std::uint8_t> pixels_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  bool created_ = false;
  QString id_string_;
};
