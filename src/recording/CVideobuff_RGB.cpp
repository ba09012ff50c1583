#include "recording/CVideobuff_RGB.h"

#include "support/Failure.h"

#include <cstring>

void CVideobuff_RGB::Set_RGB_Length(std::int32_t length) {
  if (length < 0)
    Raise(Err_Invalid_Call, QStringLiteral("RGB_Length %1").arg(length));
  data_.assign(static_cast<size_t>(length), 0);
}

void CVideobuff_RGB::FillData_RGB(const std::uint8_t *source) {
  if (!data_.empty() && source)
    std::memcpy(data_.data(), source, data_.size());
}

void CVideobuff_RGB::PutTimestamp(std::int32_t tick, std::int32_t local, std::int32_t delta) {
  capture_mill_ = tick;
  capture_local_ = local;
  capture_delta_ = delta;
}

Frame_Buffer_List &Frame_Buffers() {
  static Frame_Buffer_List list;
  return list;
}
