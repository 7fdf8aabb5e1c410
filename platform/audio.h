// Digital audio output: 22050 Hz, two channels, signed 16-bit frames
// (4 bytes a frame, left first). The device pulls: whenever it needs frames
// it asks for them, on its own thread (sdl) or from the virtual clock
// (headless: 2205 frames every 4 game ticks).
//
// One device at a time, opened either in stream form (the device pulls from
// the caller's routine) or in wave-out form (the caller queues buffers that
// play in order; each finished buffer is posted back to a window as
// MM_WOM_DONE). Main thread only, except the pull routine.
//
// KRX_AUDIO=none makes every open fail, as on a machine without sound.
#pragma once
#include <cstdint>

#include "platform/timer.h"
#include "platform/window.h"

constexpr int32_t PLAT_AUDIO_RATE = 22050;
constexpr int32_t PLAT_AUDIO_CHANNELS = 2;
constexpr int32_t PLAT_AUDIO_FRAME_BYTES = 4;

// Fills `frames` frames at `out`. Runs on the device's thread.
typedef void (*PlatAudioPullFn)(int16_t* out, int32_t frames);

// Stream form. Opens the device stopped; 0, or -1 when there is no device
// (or it is busy). *emulated is 1 when the device only emulates output (no
// sound is heard: SDL's dummy and disk drivers).
int32_t plat_AudioOpen(PlatAudioPullFn pull, int32_t* emulated);
// The device starts pulling.
void plat_AudioStart(void);
// Stops and closes the device; once it returns the pull routine is not
// running and will not run again.
void plat_AudioClose(void);

// Wave-out form. Results are the wave-out error numbers below.
enum {
    PLAT_MMSYSERR_NOERROR = 0,
    PLAT_MMSYSERR_ALLOCATED = 4,   // the device is open already
    PLAT_MMSYSERR_NODRIVER = 6,    // no device
    PLAT_MMSYSERR_INVALHANDLE = 5, // not open
    // PLAT_MMSYSERR_INVALPARAM (timer.h): a buffer without data or length
    PLAT_WAVERR_STILLPLAYING = 33, // buffers are still queued
    PLAT_WAVERR_UNPREPARED = 34,
};
enum { PLAT_WHDR_DONE = 1, PLAT_WHDR_PREPARED = 2, PLAT_WHDR_INQUEUE = 16 };

// A buffer of frames handed to the device. The caller owns it; it must
// stay in place while prepared.
struct PlatWaveHeader {
    uint8_t* data;
    uint32_t bufferLength;  // bytes to play (whole frames)
    uintptr_t user;
    uint32_t flags;         // PLAT_WHDR_*
    // The device's own.
    uint32_t played;        // bytes taken so far
    PlatWaveHeader* next;
};

// Opens the device; each finished buffer is posted to `window` as
// MM_WOM_DONE with the header's address as lParam.
int32_t plat_WaveOutOpen(PlatHwnd window);
// Takes every queued buffer back (marked done, nothing posted).
int32_t plat_WaveOutReset(void);
int32_t plat_WaveOutPrepareHeader(PlatWaveHeader* header);
int32_t plat_WaveOutUnprepareHeader(PlatWaveHeader* header);
// Queues a prepared buffer behind the others.
int32_t plat_WaveOutWrite(PlatWaveHeader* header);
// PLAT_WAVERR_STILLPLAYING while buffers are queued.
int32_t plat_WaveOutClose(void);
