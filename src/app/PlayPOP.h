#pragma once
// The start sound: a short pop built into the program, played without waiting for it to
// end. No audio device, or any failure of the sound system, means silence.

#include <QByteArray>

void PlayPOP();

// The embedded WAV, for the tests and for anyone who wants to hear it elsewhere.
QByteArray Pop_Sound();
