#pragma once
// The JPEG codec of heat frames: a 24-bit bottom-up bitmap to baseline JPEG (IJG quality
// scale, 4:2:0 chroma) and back, over libjpeg-turbo. Each thread keeps its own coder, so
// frames can be compressed on every core at once.
//
// Frame size control: every frame of a heat file must fit the fixed data area (the slot)
// of its sample record. The slot is chosen from three test frames at the base quality;
// a frame larger than the slot is compressed again at lower quality until it fits.

#include <cstdint>
#include <vector>

class cDIBSection;

// Quality of the first attempt for every frame.
constexpr std::int32_t JPEG_Base_Quality = 80;
// The program-wide start quality a new heat file records; 80 while a heat file object lives.
inline std::int16_t JPEG_Start_Quality = 80;
// What the encoder may write into the heat file object's output buffer.
constexpr std::int32_t JPEG_Output_Capacity = 999999;
// Larger pictures than any camera delivers are refused by the decoder rather than allocated.
constexpr std::int32_t JPEG_Max_Side = 8192;

// Encodes the bitmap into buffer (capacity in size) at quality 1..100; on return size holds
// the JPEG's length. A failure raises "Failed to initialise the IJL library: ..." or
// "Failed to save to JPG ..." for the caller to report; nothing is written past size bytes.
bool Encode_DIB_To_JPG(const cDIBSection &bitmap, std::uint8_t *buffer, std::int32_t &size, std::int32_t quality);

// Decodes size bytes of JPEG into the bitmap, which is recreated only when the picture's size
// differs. A one-channel JPEG comes out grey. Bytes that are no JPEG show the warning
// "Failed to read JPG" and give false; a picture that does not decode completely gives false.
bool Decode_JPG_Buffer(cDIBSection &bitmap, const std::uint8_t *buffer, std::int32_t size);

// The slot for the largest test-frame size M: floor((M + 5500) / 1000) x 1000.
std::int32_t Slot_Size_For(std::int32_t largest_test_size);
// The next quality to try: 0.85 of the last, to the nearest (halves to even); it stays at 3.
std::int32_t Reduced_JPEG_Quality(std::int32_t quality);
// The 1-based items of a frame list of that count compressed to choose the slot: count - 1,
// count / 2 (halves to even) and 2, each kept within 1..count; none for an empty list.
std::vector<std::int32_t> Slot_Test_Frames(std::int32_t count);

struct Fitted_JPEG {
  std::int32_t quality = 0; // quality actually used
  std::int32_t size = 0;    // bytes of JPEG in the buffer
};
// Encodes at the base quality, then at reduced qualities while the result is larger than the
// slot. Raises as Encode_DIB_To_JPG does.
Fitted_JPEG Encode_Within_Slot(const cDIBSection &bitmap, std::uint8_t *buffer, std::int32_t capacity,
                               std::int32_t slot_size);
