#pragma once
// One captured frame kept in memory until the heat is written: the pixel bytes of the
// cropped frame exactly as they lie in the crop bitmap (24-bit, bottom-up rows padded to
// 4 bytes) and its three time stamps. The frame buffer list holds these in capture order.

#include <cstdint>
#include <memory>
#include <vector>

class CVideobuff_RGB {
public:
  // Sets the length and allocates that many bytes; earlier content is discarded.
  void Set_RGB_Length(std::int32_t length);
  std::int32_t RGB_Length() const { return static_cast<std::int32_t>(data_.size()); }

  // Copies RGB_Length bytes from source.
  void FillData_RGB(const std::uint8_t *source);

  void PutTimestamp(std::int32_t tick, std::int32_t local, std::int32_t delta);
  std::int32_t Capture_Mill() const { return capture_mill_; }
  std::int32_t Capture_Local() const { return capture_local_; }
  std::int32_t Capture_Delta() const { return capture_delta_; }

  // The first data byte; the heat file writer reads the pixels through it.
  const std::uint8_t *Video_Adress() const { return data_.data(); }
  std::uint8_t *Video_Adress() { return data_.data(); }

private:
  std::vector<std::uint8_t> data_;
  std::int32_t capture_mill_ = 0;
  std::int32_t capture_delta_ = 0;
  std::int32_t capture_local_ = 0;
};

// The frame buffer list: 1-based positions in the program, 0-based in the container.
using Frame_Buffer_List = std::vector<std::unique_ptr<CVideobuff_RGB>>;

// The one list of the process: filled by the capture object, drained by the heat writer.
Frame_Buffer_List &Frame_Buffers();
