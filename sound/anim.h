// The KDV movie player: tagged chunks holding a header, a palette, block-coded
// 8-bit or 24-bit frames and 8-bit audio. Frames are decoded straight into
// the locked back buffer and shown on the game clock; the audio goes to the
// mixer's stream. Main thread only. The layout is in docs/formats.md.
#pragma once
#include <cstdint>

// Chunk tags: the top byte is always 'K'.
constexpr uint32_t ANIM_TAG_HEADER = 0x4B445678;   // "KDVx"
constexpr uint32_t ANIM_TAG_PALETTE = 0x4B445670;  // "KDVp"
constexpr uint32_t ANIM_TAG_MONO = 0x4B445661;     // "KDVa"
constexpr uint32_t ANIM_TAG_STEREO = 0x4B445673;   // "KDVs"
constexpr uint32_t ANIM_TAG_FRAME8 = 0x4B445669;   // "KDVi"
constexpr uint32_t ANIM_TAG_FRAME24 = 0x4B323469;  // "K24i"
constexpr uint32_t ANIM_CHUNK_HEAD = 8;
constexpr uint32_t ANIM_HEADER_SIZE = 28;
constexpr uint32_t ANIM_VERSION = 0x22;
constexpr uint32_t ANIM_VERSION_24BIT = 0x80000000u;
// Longest frame period taken (clock units of 1/120 s): a frame shown for
// more than ten seconds is a damaged header, not a movie.
constexpr uint32_t ANIM_PERIOD_MAX = 1200;

// Plays a whole movie: 0 when it ended or was skipped (any key, when
// skipAllowed), -1 when the file does not exist, -2 when the player
// recorded an error.
int32_t anim_PlayMovie(const char* name, int32_t skipAllowed);
// The routine anim_PlayMovie calls once per loop; null for none.
void anim_SetFrameCallback(void (*routine)(void));
// Opens and validates a movie and sets the display mode; 0, or -1 with the
// error text recorded.
int32_t anim_Open(const char* name);
// Decodes the next frame and shows it when due: 1 while the movie goes on
// (or after an error), 0 at its end.
int32_t anim_Step(void);
// Ends playback: empties the mixer's stream, frees the buffers, closes the
// file.
void anim_Stop(void);
// The recorded error text ("ANIMMGR: ..."), or null.
const char* anim_ErrorText(void);

// Decodes one frame chunk's payload (tag ANIM_TAG_FRAME8 or ANIM_TAG_FRAME24)
// into dest: width x height pixels, rows `width` pixels apart, 1 byte a pixel
// for 8-bit frames and 2 (in the display's current 16-bit masks) for 24-bit
// ones. 0, or -1 when the data runs out before the last block (the blocks
// before it are drawn).
int32_t anim_DecodeFrame(uint32_t tag, const uint8_t* data, uint32_t size, uint8_t* dest, int32_t width,
                         int32_t height);
