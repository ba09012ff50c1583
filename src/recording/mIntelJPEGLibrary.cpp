#include "recording/mIntelJPEGLibrary.h"

#include "imaging/cDIBSection.h"
#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Operator.h"

#include <algorithm>
#include <cstring>
#include <turbojpeg.h>

namespace {
const QString Init_Failed = QStringLiteral("Failed to initialise the IJL library: ");
const QString Save_Failed = QStringLiteral("Failed to save to JPG ");
const QString Read_Failed = QStringLiteral("Failed to read JPG");

// One compressor, one decompressor and one output area per thread, made on first use and
// kept for the thread's life: nothing is allocated per frame.
struct Thread_Coder {
  tjhandle compressor = nullptr;
  tjhandle decompressor = nullptr;
  unsigned char *scratch = nullptr;
  unsigned long scratch_size = 0;

  Thread_Coder() = default;
  Thread_Coder(const Thread_Coder &) = delete;
  Thread_Coder &operator=(const Thread_Coder &) = delete;
  ~Thread_Coder() {
    if (compressor)
      tjDestroy(compressor);
    if (decompressor)
      tjDestroy(decompressor);
    tjFree(scratch);
  }
};

Thread_Coder &Coder() {
  thread_local Thread_Coder coder;
  return coder;
}

QString Library_Error(tjhandle handle) { return QString::fromLocal8Bit(tjGetErrorStr2(handle)); }

tjhandle Compressor() {
  Thread_Coder &c = Coder();
  if (!c.compressor) {
    c.compressor = tjInitCompress();
    if (!c.compressor)
      Raise(Err_Internal, Init_Failed + Library_Error(nullptr));
  }
  return c.compressor;
}

// TurboJPEG writes as much as the worst case may need without checking, so it writes into an
// area of that size and the result is copied out when it fits the caller's buffer.
unsigned char *Scratch_For(std::int32_t width, std::int32_t height) {
  Thread_Coder &c = Coder();
  const unsigned long needed = tjBufSize(width, height, TJSAMP_420);
  if (needed == static_cast<unsigned long>(-1))
    Raise(Err_Internal, Save_Failed + Library_Error(nullptr));
  if (c.scratch_size < needed) {
    tjFree(c.scratch);
    c.scratch_size = 0;
    c.scratch = tjAlloc(static_cast<int>(needed));
    if (!c.scratch)
      Raise(Err_Out_Of_Memory, Save_Failed + Failure_Description(Err_Out_Of_Memory));
    c.scratch_size = needed;
  }
  return c.scratch;
}
} // namespace

bool Encode_DIB_To_JPG(const cDIBSection &bitmap, std::uint8_t *buffer, std::int32_t &size, std::int32_t quality) {
  const tjhandle handle = Compressor();
  if (!bitmap.DIBSectionBitsPtr())
    Raise(Err_Invalid_Call, Save_Failed + QStringLiteral("(no picture)"));
  if (!buffer || size <= 0)
    Raise(Err_Invalid_Call, Save_Failed + QStringLiteral("(no output buffer)"));
  unsigned char *out = Scratch_For(bitmap.Width(), bitmap.Height());
  unsigned long jpeg_size = Coder().scratch_size;
  // Rows run bottom-up in the bitmap; TurboJPEG reads them so directly.
  if (tjCompress2(handle, bitmap.DIBSectionBitsPtr(), bitmap.Width(), bitmap.BytesPerScanLine(), bitmap.Height(),
                  TJPF_BGR, &out, &jpeg_size, TJSAMP_420, std::clamp(quality, 1, 100),
                  TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC) != 0)
    Raise(Err_Internal, Save_Failed + Library_Error(handle));
  if (jpeg_size > static_cast<unsigned long>(size))
    Raise(Err_Internal,
          Save_Failed + QStringLiteral("(%1 bytes do not fit the buffer of %2)").arg(jpeg_size).arg(size));
  std::memcpy(buffer, out, jpeg_size);
  size = static_cast<std::int32_t>(jpeg_size);
  return true;
}

bool Decode_JPG_Buffer(cDIBSection &bitmap, const std::uint8_t *buffer, std::int32_t size) {
  Thread_Coder &c = Coder();
  if (!c.decompressor) {
    c.decompressor = tjInitDecompress();
    if (!c.decompressor) {
      Msg_Box(Init_Failed + Library_Error(nullptr), Msg_Buttons::OK, Msg_Icon::Exclamation);
      return false;
    }
  }
  int width = 0, height = 0, subsampling = 0, colour_space = 0;
  if (!buffer || size <= 0 ||
      tjDecompressHeader3(c.decompressor, buffer, static_cast<unsigned long>(size), &width, &height, &subsampling,
                          &colour_space) != 0 ||
      width <= 0 || height <= 0 || width > JPEG_Max_Side || height > JPEG_Max_Side) {
    Msg_Box(Read_Failed, Msg_Buttons::OK, Msg_Icon::Exclamation);
    return false;
  }
  if (!bitmap.Created() || bitmap.Width() != width || bitmap.Height() != height)
    if (!bitmap.Create(width, height))
      return false;
  // Grey pictures expand to three equal channels. A warning (a cut-off stream) counts as a
  // failure: the frame is not what was recorded.
  return tjDecompress2(c.decompressor, buffer, static_cast<unsigned long>(size), bitmap.DIBSectionBitsPtr(), width,
                       bitmap.BytesPerScanLine(), height, TJPF_BGR, TJFLAG_BOTTOMUP) == 0;
}

std::int32_t Slot_Size_For(std::int32_t largest_test_size) {
  return Checked_32((static_cast<long long>(largest_test_size) + 5500) / 1000 * 1000);
}

std::int32_t Reduced_JPEG_Quality(std::int32_t quality) {
  return static_cast<std::int32_t>(Divide_Half_Even(static_cast<long long>(quality) * 85, 100));
}

std::vector<std::int32_t> Slot_Test_Frames(std::int32_t count) {
  if (count <= 0)
    return {};
  const auto within = [count](long long item) {
    return static_cast<std::int32_t>(std::clamp<long long>(item, 1, count));
  };
  return {within(count - 1), within(Divide_Half_Even(count, 2)), within(2)};
}

Fitted_JPEG Encode_Within_Slot(const cDIBSection &bitmap, std::uint8_t *buffer, std::int32_t capacity,
                               std::int32_t slot_size) {
  Fitted_JPEG result{JPEG_Base_Quality, capacity};
  Encode_DIB_To_JPG(bitmap, buffer, result.size, result.quality);
  while (result.size > slot_size) {
    const std::int32_t lower = Reduced_JPEG_Quality(result.quality);
    if (lower == result.quality)
      break; // 3 is as low as it goes; the frame is stored as it is
    result.quality = lower;
    result.size = capacity;
    Encode_DIB_To_JPG(bitmap, buffer, result.size, result.quality);
  }
  return result;
}
