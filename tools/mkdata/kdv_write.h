// The KDV movie encoder (kdv_write.cpp; layout in docs/formats.md): chunks
// are appended in the order they are given. Frames are coded against the
// frame before them: pixels that did not change are left transparent.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/le.h"

// Blocks written, by kind.
struct MkKdvStats {
    int32_t four, two, raw, fill, repeat;
    int32_t transparent;  // fills that leave their block unchanged
    int32_t cacheRefs;    // 24-bit colours written as cache references
};

struct MkKdvMovie {
    LeWriter out;
    int32_t width = 0, height = 0;
    int32_t depth = 8;  // 8 or 24
    // The frame before, to code the next one against; invalid at the start
    // and after a change of size.
    std::vector<uint32_t> previous;
    bool previousValid = false;
    MkKdvStats stats{};
};

// Header chunk: width and height multiples of 4 (up to 320 x 240 or
// 640 x 480), period in 1/120 s. Also starts a new size mid-movie.
void mkdata_KdvHeader(MkKdvMovie* movie, int32_t width, int32_t height, uint32_t period, int32_t depth);
void mkdata_KdvPalette(MkKdvMovie* movie, const uint8_t* rgb768);
// One audio chunk of n unsigned 8-bit samples a channel (at 22050 Hz);
// right null: mono.
void mkdata_KdvAudio(MkKdvMovie* movie, const uint8_t* left, const uint8_t* right, uint32_t n,
                     uint8_t leftShift, uint8_t rightShift);
// An 8-bit frame of palette indices; index 0 leaves the pixel as it was.
void mkdata_KdvFrame8(MkKdvMovie* movie, const uint8_t* pixels);
// A 24-bit frame of 0x00RRGGBB pixels.
void mkdata_KdvFrame24(MkKdvMovie* movie, const uint32_t* pixels);
// Samples of audio that belong to frame `frame` (0 on) at `period`: the
// frames share 22050 a second with none lost to rounding.
uint32_t mkdata_KdvSamplesForFrame(uint32_t period, uint32_t frame);

// The data set's movies: KRXINTRO.KDV (320 wide, 8-bit, mono) and
// KRXOVER.KDV (640 wide, 24-bit, stereo).
std::vector<uint8_t> mkdata_KdvIntroBuild(void);
std::vector<uint8_t> mkdata_KdvOverviewBuild(void);
int mkdata_WriteMovies(const std::string& dir);
