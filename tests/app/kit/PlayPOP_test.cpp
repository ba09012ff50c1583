// The start sound: built into the program as a small WAV, and silent where there is no
// audio device.

#include "app/PlayPOP.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {
TEST(PlayPOP_Test, ThePopIsAShortMono8BitWav) {
  const QByteArray wav = Pop_Sound();
  ASSERT_GT(wav.size(), 44);
  EXPECT_EQ(wav.left(4), "RIFF");
  EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
  const auto *bytes = reinterpret_cast<const uchar *>(wav.constData());
  EXPECT_EQ(qFromLittleEndian<quint16>(bytes + 22), 1);     // mono
  EXPECT_EQ(qFromLittleEndian<quint32>(bytes + 24), 11025); // samples per second
  EXPECT_EQ(qFromLittleEndian<quint16>(bytes + 34), 8);     // bits per sample
  const quint32 data_size = qFromLittleEndian<quint32>(bytes + 40);
  EXPECT_EQ(static_cast<qsizetype>(data_size) + 44, wav.size());
  // About a sixth of a second: short enough never to mask the next signal.
  EXPECT_NEAR(data_size / 11025.0, 0.17, 0.02);
}

TEST(PlayPOP_Test, PlayingWithoutASoundDeviceIsSilentAndRepeatable) {
  PlayPOP();
  PlayPOP();
  SUCCEED();
}
} // namespace
