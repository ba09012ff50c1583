#pragma once
// The image routines the renderer and the About window call with raw pixel buffers. Every
// buffer is a 24-bit bitmap as cDIBSection holds it: rows bottom-up, blue-green-red bytes,
// each row padded to a multiple of 4 bytes. Widths and heights are pixels.
//
// The routines trust the caller for the buffer sizes (the renderer compares the image sizes
// before it calls); a width or height below 1, a null buffer or a source that is also the
// destination makes them do nothing and return false.

#include <cstdint>

// Bytes per stored row and per picture of the layout above.
std::int64_t DIB_Row_Bytes(std::int32_t width);
std::int64_t DIB_Image_Bytes(std::int32_t width, std::int32_t height);

// Rebuilds a full frame from one field of an interlaced frame. Field 1 is the lines 1, 3,
// 5, ... of the picture as shown, counted from its top line (so the top line belongs to
// field 1); field 2 is lines 2, 4, 6, ... As the rows are stored bottom-up, the top line is
// the last stored row. The field's own lines are copied; each line of the other field becomes
// the mean of the field lines above and below it (rounded half up), or a copy of the one
// field line next to it at the top and bottom edges. The destination has the source's size.
bool deinterlaceFrame2(const std::uint8_t *source, std::uint8_t *destination, std::int32_t width, std::int32_t height,
                       std::int32_t field);

// Turns the picture a quarter turn clockwise, as seen on the screen. This is the turn that
// sets upright the picture of a camera lying on its right side (seen from behind, its top
// turned to the right), whose picture shows the scene turned a quarter turn anticlockwise.
// width and height are the source's; the destination is height pixels wide and width high.
// The last argument is unused and kept for the callers.
bool Rotate90(const std::uint8_t *source, std::uint8_t *destination, std::int32_t width, std::int32_t height,
              std::int32_t unused = 0);

// destination = first x w/256 + second x (256 - w)/256 per byte, rounded half up, with w the
// weight limited to 0..256: 256 gives the first picture, 0 the second, 128 the even mix.
// All three buffers have the same size; the destination may be one of the sources.
bool ABlend(std::uint8_t *destination, const std::uint8_t *first, const std::uint8_t *second, std::int32_t width,
            std::int32_t height, std::int16_t weight);

// The routines' version text, readable for Blend_Version_Bytes bytes (zero-padded).
inline constexpr int Blend_Version_Bytes = 64;
const char *BlendVersion();
