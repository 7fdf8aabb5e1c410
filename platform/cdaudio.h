// CD audio: plays tracks of an audio CD (track numbers from 1; lengths in
// minutes, seconds and frames of 1/75 s). The program has no device: every
// open fails. Tests install a device that reports track lengths and times
// a play on the platform clock. Main thread only.
#pragma once
#include <cstdint>

// Results (the MCI error numbers the callers compare with 0).
enum { PLAT_CD_NOERROR = 0, PLAT_CD_NODEVICE = 263, PLAT_CD_BADTRACK = 290, PLAT_CD_NOTOPEN = 277 };

// Opens the device in track/minute/second/frame form; its id in *device.
int32_t plat_CdOpen(uint32_t* device);
int32_t plat_CdClose(uint32_t device);
// The track's length: minutes in the low byte, seconds in the next, frames
// in the third.
int32_t plat_CdTrackLength(uint32_t device, int32_t track, uint32_t* msf);
// Plays from `from` to `to` (TMSF: track, minutes, seconds, frames from the
// low byte up).
int32_t plat_CdPlay(uint32_t device, uint32_t from, uint32_t to);
int32_t plat_CdStop(uint32_t device);

// For tests: a device with these track lengths (MSF words; count 0 removes
// it), and what it was asked.
void plat_CdTestDevice(const uint32_t* trackMsf, int32_t count);
struct PlatCdTestLog {
    int32_t plays, stops;
    uint32_t from, to;   // of the last play
    uint32_t playMs;     // platform clock at the last play
    int32_t playing;     // 1 from a play until its end time or a stop
};
void plat_CdTestLog(PlatCdTestLog* log);
