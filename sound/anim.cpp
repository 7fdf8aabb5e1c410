// The KDV movie player. The file is read through a chunk buffer that always
// starts at the current chunk: each step drops the chunk just handled, reads
// what the next one needs (plus the head of the one after) and spreads the
// rest of the reading over the time a frame waits to be due.
#include "sound/anim.h"

#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "display/vid.h"
#include "platform/timer.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"
#include "shell/wndproc.h"
#include "sound/mix.h"

namespace {

constexpr const char* kInvalid = "ANIMMGR: Invalid KDV File";
constexpr const char* kMismatched = "ANIMMGR: Mismatched Player and KDV file";
constexpr const char* kOverrun = "ANIMMGR: [BRE] Invalid KDV File";

constexpr uint32_t kFirstRead = 4096;
constexpr uint32_t kReadAhead = 4096;
constexpr uint32_t kReadAheadMost = 262144;
constexpr int32_t kAudioSlots = 16;
constexpr int32_t kCache = 128;
constexpr int32_t kLateShown = 6;
constexpr int32_t kStreamBusy = 10;

enum BlockKind : int32_t { KIND_NONE, KIND_FOUR, KIND_TWO, KIND_FILL };

// A colour as a block draws it: both 16-bit conversions, or transparent.
struct AnimColour {
    uint16_t truncated;
    uint16_t rounded;
    uint8_t transparent;
};

// Decoding state of one frame (the 24-bit colour cache and the block
// colours a repeat code reuses).
struct AnimDecoder {
    const uint8_t* data;
    uint32_t size;
    uint32_t pos;
    AnimColour cache[kCache];
    int32_t cachePos;
    AnimColour colours[4];
    uint8_t colours8[4];
    int32_t kind;
    // 16-bit packing: shift and width of each channel.
    int32_t redShift, redBits, greenShift, greenBits, blueShift, blueBits;
};

struct AnimAudio {
    uint8_t* buffer;  // payload in the upper half, the queued frames below
    uint32_t capacity;
    uint32_t payload;
    uint8_t stereo;
};

struct AnimState {
    int32_t open;      // buffers held
    int32_t fileOpen;
    char error[64];
    int32_t hasError;
    int32_t width, height, depth;
    uint32_t period;
    uint32_t due;
    int32_t late;
    int32_t screenWidth, screenHeight;  // 0 until the mode is chosen
    int32_t bytesPerPixel;
    int32_t drawable;  // the mode was set as chosen
    int32_t centre;  // pixels
    uint8_t palette[768];
    int32_t palettePending;
    AnimAudio audio[kAudioSlots];
    int32_t audioSlot;
    int32_t audioPending;
    int32_t stereo;
    uint8_t* buffer;  // "Anim video buffer"
    uint32_t capacity;
    uint32_t buffered;
    uint32_t drop;
    uint32_t chunkStart;  // file offset of buffer[0]
    uint32_t filePos;     // end of the current chunk
    uint32_t fileSize;
    uint32_t nextTag, nextLength;
    uint32_t tag, length;  // the current chunk
    uint8_t* dest;
    AnimDecoder decoder;
};

AnimState g;
void (*g_frameCallback)(void) = nullptr;

void Fail(const char* text) {
    if (g.hasError) return;
    size_t n = strnlen(text, sizeof g.error - 1);
    memcpy(g.error, text, n);
    g.error[n] = 0;
    g.hasError = 1;
}

uint32_t Rd32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

uint32_t Now(void) { return app_ClockHigh.load(std::memory_order_acquire); }

// The clock moves only while the timer runs and the window is active (or
// kept running); waiting on a standing clock would never end.
bool ClockMoves(void) {
    if (!app_TimerRunning || app_TimerStopped) return false;
    return app_FocusFlag.load(std::memory_order_acquire) || app_KeepRunningFlag.load(std::memory_order_acquire);
}

// ---- Frame decoding ---------------------------------------------------------

int32_t MaskShift(uint32_t mask) {
    int32_t s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        s++;
    }
    return s;
}
int32_t MaskBits(uint32_t mask) {
    mask >>= MaskShift(mask);
    int32_t b = 0;
    while (mask & 1) {
        mask >>= 1;
        b++;
    }
    return b > 8 ? 8 : b;
}

void DecoderFormat(AnimDecoder& d) {
    d.redShift = MaskShift(vid_State.redMask);
    d.redBits = MaskBits(vid_State.redMask);
    d.greenShift = MaskShift(vid_State.greenMask);
    d.greenBits = MaskBits(vid_State.greenMask);
    d.blueShift = MaskShift(vid_State.blueMask);
    d.blueBits = MaskBits(vid_State.blueMask);
}

uint16_t Pack(const AnimDecoder& d, uint32_t r, uint32_t g8, uint32_t b) {
    uint32_t v = ((r >> (8 - d.redBits)) << d.redShift) | ((g8 >> (8 - d.greenBits)) << d.greenShift) |
                 ((b >> (8 - d.blueBits)) << d.blueShift);
    // 0 is the transparent pixel of the program's blits.
    return v & 0xFFFF ? (uint16_t)v : 1;
}

uint32_t Sat(uint32_t v) { return v > 255 ? 255 : v; }

AnimColour Convert(const AnimDecoder& d, uint8_t b0, uint8_t green, uint8_t red) {
    if (red == 0) return AnimColour{0, 0, 1};
    uint32_t blue = (uint32_t)b0 * 2;
    return AnimColour{Pack(d, red, green, blue), Pack(d, Sat(red + 4u), Sat(green + 2u), Sat(blue + 4u)), 0};
}

bool Has(const AnimDecoder& d, uint32_t n) { return d.size - d.pos >= n; }

// One colour of a 24-bit block: a cache reference or a three-byte literal.
bool ReadColour(AnimDecoder& d, AnimColour* out, bool* literal) {
    if (!Has(d, 1)) return false;
    uint8_t b0 = d.data[d.pos];
    if (b0 & 0x80) {
        d.pos++;
        *out = d.cache[b0 & 0x7F];
        *literal = false;
        return true;
    }
    if (!Has(d, 3)) return false;
    *out = Convert(d, b0, d.data[d.pos + 1], d.data[d.pos + 2]);
    d.pos += 3;
    *literal = true;
    return true;
}

void CacheAdd(AnimDecoder& d, const AnimColour& c) {
    d.cache[d.cachePos] = c;
    d.cachePos = (d.cachePos + 1) % kCache;
}

template <bool kWrite>
void Put8(uint8_t* b, int32_t pitch, int32_t p, uint8_t v) {
    if (kWrite && v) b[(p >> 2) * pitch + (p & 3)] = v;
}

template <bool kWrite>
void Put16(uint8_t* b, int32_t pitch, int32_t p, const AnimColour& c, bool checker) {
    if (!kWrite || c.transparent) return;
    int32_t row = p >> 2, col = p & 3;
    uint16_t v = checker && ((row + col) & 1) == 0 ? c.rounded : c.truncated;
    reinterpret_cast<uint16_t*>(b + (size_t)row * pitch)[col] = v;
}

template <bool kWrite>
void Four8(AnimDecoder& d, uint8_t* b, int32_t pitch, uint32_t word) {
    for (int32_t p = 0; p < 16; p++) Put8<kWrite>(b, pitch, p, d.colours8[(word >> (2 * p)) & 3]);
}
template <bool kWrite>
void Two8(AnimDecoder& d, uint8_t* b, int32_t pitch, uint32_t mask) {
    for (int32_t p = 0; p < 16; p++) Put8<kWrite>(b, pitch, p, d.colours8[(mask >> p) & 1]);
}
template <bool kWrite>
void Fill8(AnimDecoder& d, uint8_t* b, int32_t pitch) {
    for (int32_t p = 0; p < 16; p++) Put8<kWrite>(b, pitch, p, d.colours8[0]);
}

template <bool kWrite>
int32_t Decode8(AnimDecoder& d, uint8_t* dest, int32_t width, int32_t height) {
    int32_t pitch = width;
    int32_t across = width / 4, down = height / 4;
    uint32_t codes = 0;
    int32_t k = 0;
    for (int32_t by = 0; by < down; by++)
        for (int32_t bx = 0; bx < across; bx++, k++) {
            if ((k & 3) == 0) {
                if (!Has(d, 1)) return -1;
                codes = d.data[d.pos++];
            }
            uint32_t code = codes & 3;
            codes >>= 2;
            uint8_t* b = kWrite ? dest + ((size_t)by * 4 * pitch + (size_t)bx * 4) : nullptr;
            const uint8_t* s = d.data + d.pos;
            switch (code) {
            case 0:
                if (!Has(d, 8)) return -1;
                memcpy(d.colours8, s, 4);
                d.pos += 8;
                d.kind = KIND_FOUR;
                Four8<kWrite>(d, b, pitch, Rd32(s + 4));
                break;
            case 1:
                if (!Has(d, 2)) return -1;
                if (s[0] != s[1]) {
                    if (!Has(d, 4)) return -1;
                    d.colours8[0] = s[0];
                    d.colours8[1] = s[1];
                    d.pos += 4;
                    d.kind = KIND_TWO;
                    Two8<kWrite>(d, b, pitch, (uint32_t)s[2] | ((uint32_t)s[3] << 8));
                } else {
                    if (!Has(d, 18)) return -1;
                    d.pos += 18;
                    for (int32_t p = 0; p < 16; p++) Put8<kWrite>(b, pitch, p, s[2 + p]);
                }
                break;
            case 2:
                if (!Has(d, 1)) return -1;
                d.colours8[0] = s[0];
                d.pos += 1;
                d.kind = KIND_FILL;
                Fill8<kWrite>(d, b, pitch);
                break;
            default:
                if (d.kind == KIND_FOUR) {
                    if (!Has(d, 4)) return -1;
                    d.pos += 4;
                    Four8<kWrite>(d, b, pitch, Rd32(s));
                } else if (d.kind == KIND_TWO) {
                    if (!Has(d, 2)) return -1;
                    d.pos += 2;
                    Two8<kWrite>(d, b, pitch, (uint32_t)s[0] | ((uint32_t)s[1] << 8));
                } else if (d.kind == KIND_FILL) {
                    Fill8<kWrite>(d, b, pitch);
                }
                // Before any coloured block a repeat has nothing to repeat.
                break;
            }
        }
    return 0;
}

template <bool kWrite>
void Four16(AnimDecoder& d, uint8_t* b, int32_t pitch, uint32_t word) {
    for (int32_t p = 0; p < 16; p++) Put16<kWrite>(b, pitch, p, d.colours[(word >> (2 * p)) & 3], false);
}
template <bool kWrite>
void Two16(AnimDecoder& d, uint8_t* b, int32_t pitch, uint32_t mask) {
    for (int32_t p = 0; p < 16; p++) Put16<kWrite>(b, pitch, p, d.colours[(mask >> p) & 1], true);
}
template <bool kWrite>
void Fill16(AnimDecoder& d, uint8_t* b, int32_t pitch) {
    if (d.colours[0].transparent) return;
    for (int32_t p = 0; p < 16; p++) Put16<kWrite>(b, pitch, p, d.colours[0], true);
}

template <bool kWrite>
int32_t Decode24(AnimDecoder& d, uint8_t* dest, int32_t width, int32_t height) {
    int32_t pitch = width * 2;
    int32_t across = width / 4, down = height / 4;
    for (AnimColour& c : d.cache) c = AnimColour{0, 0, 1};
    d.cachePos = 0;
    uint32_t codes = 0;
    int32_t k = 0;
    bool literal = false;
    for (int32_t by = 0; by < down; by++)
        for (int32_t bx = 0; bx < across; bx++, k++) {
            if ((k & 3) == 0) {
                if (!Has(d, 1)) return -1;
                codes = d.data[d.pos++];
            }
            uint32_t code = codes & 3;
            codes >>= 2;
            uint8_t* b = kWrite ? dest + ((size_t)by * 4 * pitch + (size_t)bx * 8) : nullptr;
            switch (code) {
            case 0:
                for (AnimColour& c : d.colours) {
                    if (!ReadColour(d, &c, &literal)) return -1;
                    // Cached colours show rounded, literals truncated.
                    uint16_t v = literal ? c.truncated : c.rounded;
                    c.truncated = c.rounded = v;
                }
                if (!Has(d, 4)) return -1;
                d.kind = KIND_FOUR;
                Four16<kWrite>(d, b, pitch, Rd32(d.data + d.pos));
                d.pos += 4;
                break;
            case 1: {
                if (Has(d, 6) && !memcmp(d.data + d.pos, "\0\0\0\0\0\0", 6)) {
                    if (!Has(d, 6 + 48)) return -1;
                    const uint8_t* s = d.data + d.pos + 6;
                    d.pos += 6 + 48;
                    for (int32_t p = 0; p < 16; p++) {
                        const uint8_t* c = s + 3 * p;
                        AnimColour raw{Pack(d, c[2], c[1], (uint32_t)(c[0] & 0x7F) * 2), 0, 0};
                        Put16<kWrite>(b, pitch, p, raw, false);
                    }
                    break;
                }
                for (int32_t i = 0; i < 2; i++) {
                    if (!ReadColour(d, &d.colours[i], &literal)) return -1;
                    if (literal) CacheAdd(d, d.colours[i]);
                }
                if (!Has(d, 2)) return -1;
                d.kind = KIND_TWO;
                Two16<kWrite>(d, b, pitch, (uint32_t)d.data[d.pos] | ((uint32_t)d.data[d.pos + 1] << 8));
                d.pos += 2;
                break;
            }
            case 2:
                if (!ReadColour(d, &d.colours[0], &literal)) return -1;
                if (literal) CacheAdd(d, d.colours[0]);
                d.kind = KIND_FILL;
                Fill16<kWrite>(d, b, pitch);
                break;
            default:
                if (d.kind == KIND_FOUR) {
                    if (!Has(d, 4)) return -1;
                    Four16<kWrite>(d, b, pitch, Rd32(d.data + d.pos));
                    d.pos += 4;
                } else if (d.kind == KIND_TWO) {
                    if (!Has(d, 2)) return -1;
                    Two16<kWrite>(d, b, pitch, (uint32_t)d.data[d.pos] | ((uint32_t)d.data[d.pos + 1] << 8));
                    d.pos += 2;
                } else if (d.kind == KIND_FILL) {
                    Fill16<kWrite>(d, b, pitch);
                }
                break;
            }
        }
    return 0;
}

int32_t Decode(AnimDecoder& d, uint32_t tag, const uint8_t* data, uint32_t size, uint8_t* dest, int32_t width,
               int32_t height) {
    d.data = data;
    d.size = size;
    d.pos = 0;
    d.kind = KIND_NONE;
    if (tag == ANIM_TAG_FRAME8) return dest ? Decode8<true>(d, dest, width, height) : Decode8<false>(d, dest, width, height);
    DecoderFormat(d);
    return dest ? Decode24<true>(d, dest, width, height) : Decode24<false>(d, dest, width, height);
}

// ---- The chunk buffer -------------------------------------------------------

void* Grow(void* block, uint32_t* capacity, uint32_t want, const char* tag) {
    if (block && *capacity >= want) return block;
    void* p = block ? mem_Realloc(block, want, 4) : mem_AllocEx(want, 4, tag);
    if (p) *capacity = want;
    return p;
}

// Room for `want` bytes in the chunk buffer; it grows by halves at least,
// so that reading ahead 4 KB at a time does not move it every time.
bool Reserve(uint32_t want) {
    if (g.buffer && g.capacity >= want) return true;
    uint64_t more = (uint64_t)g.capacity + g.capacity / 2;
    uint32_t size = more > want && more <= UINT32_MAX / 2 ? (uint32_t)more : want;
    void* p = Grow(g.buffer, &g.capacity, size, "Anim video buffer");
    if (!p && size != want) p = Grow(g.buffer, &g.capacity, want, "Anim video buffer");
    if (!p) return false;
    g.buffer = (uint8_t*)p;
    return true;
}

// Reads up to `count` more bytes of the file behind what is buffered.
uint32_t ReadMore(uint32_t count) {
    uint32_t readPos = g.chunkStart + g.buffered;
    uint32_t left = g.fileSize - readPos;
    if (count > left) count = left;
    if (count == 0) return 0;
    if (!Reserve(g.buffered + count)) return 0;
    int32_t got = file_Read(g.buffer + g.buffered, (int32_t)count);
    if (got <= 0) return 0;
    g.buffered += (uint32_t)got;
    return (uint32_t)got;
}

void NoteNext(void) {
    g.nextTag = g.nextLength = 0;
    if (g.buffered >= g.length + ANIM_CHUNK_HEAD) {
        g.nextTag = Rd32(g.buffer + g.length);
        g.nextLength = Rd32(g.buffer + g.length + 4);
    }
}

enum AdvanceResult { ADVANCE_CHUNK, ADVANCE_END, ADVANCE_ERROR };

AdvanceResult Advance(void) {
    if (g.drop > g.buffered) {
        Fail(kOverrun);
        return ADVANCE_ERROR;
    }
    memmove(g.buffer, g.buffer + g.drop, g.buffered - g.drop);
    g.buffered -= g.drop;
    g.chunkStart += g.drop;
    g.drop = 0;
    if (g.filePos >= g.fileSize) return ADVANCE_END;
    uint32_t tag = g.nextTag, length = g.nextLength;
    // A length below the chunk head would never move on.
    if ((tag >> 24) != 0x4B || length < ANIM_CHUNK_HEAD) {
        Fail(kInvalid);
        return ADVANCE_ERROR;
    }
    if (length > g.fileSize - g.filePos) {
        Fail(kOverrun);
        return ADVANCE_ERROR;
    }
    g.filePos += length;
    g.tag = tag;
    g.length = length;
    uint64_t want = (uint64_t)length + ANIM_CHUNK_HEAD;
    if (want > g.fileSize - g.chunkStart) want = g.fileSize - g.chunkStart;
    if (want > g.buffered) ReadMore((uint32_t)want - g.buffered);
    if (g.buffered < length) {
        Fail(kOverrun);
        return ADVANCE_ERROR;
    }
    NoteNext();
    g.drop = length;
    return ADVANCE_CHUNK;
}

// ---- Chunks -----------------------------------------------------------------

void Recentre(void) {
    if (g.screenHeight) g.centre = ((g.screenHeight - g.height) >> 1) * g.width;
}

// Sizes the chosen mode can show: multiples of 4 that fit the screen.
bool SizeFits(int64_t w, int64_t h) {
    if (w <= 0 || h <= 0 || (w & 3) || (h & 3)) return false;
    int64_t sw = g.screenWidth ? g.screenWidth : (w <= 320 ? 320 : 640);
    int64_t sh = g.screenHeight ? g.screenHeight : (w <= 320 ? 240 : 480);
    return w <= sw && h <= sh;
}

enum HandleResult { HANDLE_MORE, HANDLE_FRAME };

HandleResult HandleHeader(const uint8_t* c) {
    if (g.length < ANIM_HEADER_SIZE) {
        Fail(kInvalid);
        return HANDLE_MORE;
    }
    uint32_t version = Rd32(c + 24);
    if ((version & ~ANIM_VERSION_24BIT) != ANIM_VERSION) {
        Fail(kMismatched);
        return HANDLE_MORE;
    }
    uint32_t period = Rd32(c + 20);
    int32_t depth = version & ANIM_VERSION_24BIT ? 24 : 8;
    // The display's depth is chosen once, at open.
    if (period > ANIM_PERIOD_MAX || (g.screenHeight && depth != g.depth)) {
        Fail(kInvalid);
        return HANDLE_MORE;
    }
    g.period = period;
    g.depth = depth;
    int32_t w = (int32_t)Rd32(c + 8), h = (int32_t)Rd32(c + 12);
    if (w == g.width && h == g.height) return HANDLE_MORE;
    if (!SizeFits(w, h)) {
        Fail(kInvalid);
        return HANDLE_MORE;
    }
    g.width = w;
    g.height = h;
    Recentre();
    return HANDLE_FRAME;
}

void HandleAudio(const uint8_t* c) {
    uint32_t payload = g.length - ANIM_CHUNK_HEAD;
    const uint8_t* p = c + ANIM_CHUNK_HEAD;
    bool stereo = g.tag == ANIM_TAG_STEREO;
    uint64_t n = payload >= 16 ? Rd32(p + 4) : 0;
    uint64_t need = (16 + n) * (stereo ? 2 : 1);
    if (payload < 16 || need > payload) {
        Fail(kInvalid);
        return;
    }
    g.stereo = stereo;
    g.audioSlot = (g.audioSlot + 1) % kAudioSlots;
    AnimAudio& a = g.audio[g.audioSlot];
    void* block = Grow(a.buffer, &a.capacity, payload * 2, "Anim audio buffer");
    if (!block) {
        Fail(kOverrun);
        return;
    }
    a.buffer = (uint8_t*)block;
    memcpy(a.buffer + payload, p, payload);
    a.payload = payload;
    a.stereo = stereo ? 1 : 0;
    g.audioPending++;
}

HandleResult HandleChunk(void) {
    const uint8_t* c = g.buffer;
    switch (g.tag) {
    case ANIM_TAG_HEADER: return HandleHeader(c);
    case ANIM_TAG_PALETTE:
        if (g.length < ANIM_CHUNK_HEAD + 768) {
            Fail(kInvalid);
            break;
        }
        memcpy(g.palette, c + ANIM_CHUNK_HEAD, 768);
        g.palettePending = 1;
        break;
    case ANIM_TAG_MONO:
    case ANIM_TAG_STEREO: HandleAudio(c); break;
    case ANIM_TAG_FRAME8:
    case ANIM_TAG_FRAME24: {
        // The back buffer's depth was set for the header's frames.
        if ((g.tag == ANIM_TAG_FRAME24) != (g.depth == 24)) {
            Fail(kInvalid);
            break;
        }
        if (Decode(g.decoder, g.tag, c + ANIM_CHUNK_HEAD, g.length - ANIM_CHUNK_HEAD, g.dest, g.width, g.height))
            Fail(kInvalid);
        return HANDLE_FRAME;
    }
    default: {
        char text[64] = "ANIMMGR: \"xxxx\" Invalid Digital Video Token";
        // A byte that is no letter would cut or garble the text.
        for (int32_t i = 0; i < 4; i++) {
            uint8_t c = (uint8_t)(g.tag >> (24 - 8 * i));
            text[10 + i] = c >= 0x20 && c < 0x7F ? (char)c : '?';
        }
        Fail(text);
        break;
    }
    }
    return HANDLE_MORE;
}

// ---- Audio ------------------------------------------------------------------

void QueueAudio(void) {
    if (g.audioPending == 0) return;
    if (mix_StreamCount() >= kStreamBusy) {
        g.audioPending = 0;
        return;
    }
    int32_t slot = g.stereo ? ((g.audioSlot - g.audioPending + 1) % kAudioSlots + kAudioSlots) % kAudioSlots
                            : g.audioSlot;
    g.audioPending = 0;
    AnimAudio& a = g.audio[slot];
    if (!a.buffer || a.payload < 16) return;
    // Interleaved from the payload copy in the upper half into the lower:
    // each pair written lies below every sample still to be read.
    const uint8_t* left = a.buffer + a.payload;
    uint32_t n = Rd32(left + 4);
    const uint8_t* right = a.stereo ? left + 16 + n : left;
    int32_t leftShift = left[12], rightShift = right[12];
    uint8_t* out = a.buffer;
    for (uint32_t i = 0; i < n; i++) {
        uint8_t l = left[16 + i], r = right[16 + i];
        out[2 * i] = l;
        out[2 * i + 1] = r;
    }
    mix_StreamQueue(out, 2 * n, leftShift, rightShift);
}

// ---- Timing -----------------------------------------------------------------

void Present(void) {
    vid_UnlockBackBuffer();
    vid_Flip();
    vid_LockBackBuffer();
    g.late = 0;
    if (g.palettePending) {
        vid_SetPalette(g.palette);
        g.palettePending = 0;
    }
    QueueAudio();
}

bool ReadAhead(void) {
    if (g.buffered + kReadAhead > kReadAheadMost) return false;
    return ReadMore(kReadAhead) > 0;
}

void Time(void) {
    g.due += g.period;
    uint32_t now = Now();
    if ((int32_t)(g.due - now) > 0) {
        uint32_t early = g.due - (3 * g.period) / 4;
        while ((int32_t)(early - now) >= 0 && ClockMoves()) {
            if (!ReadAhead()) {
                plat_IdleWait();
                // A window closed while the frame waits ends the wait: the
                // clock may never reach the frame's time again.
                app_PumpMessagesEx();
                if (app_QuitFlag || app_Runner.done) break;
            }
            now = Now();
        }
        Present();
        return;
    }
    if (++g.late >= kLateShown) {
        g.due = now;
        Present();
        return;
    }
    // A late frame is not shown: the next one is decoded over it.
    QueueAudio();
}

void Release(void) {
    mix_StreamStop();
    for (AnimAudio& a : g.audio) {
        if (a.buffer) mem_Free(a.buffer);
        a = AnimAudio{};
    }
    if (g.fileOpen) file_Close();
    g.fileOpen = 0;
    if (g.buffer) mem_Free(g.buffer);
    g.buffer = nullptr;
    g.capacity = 0;
    g.open = 0;
}

}  // namespace

const char* anim_ErrorText(void) { return g.hasError ? g.error : nullptr; }

void anim_SetFrameCallback(void (*routine)(void)) { g_frameCallback = routine; }

int32_t anim_DecodeFrame(uint32_t tag, const uint8_t* data, uint32_t size, uint8_t* dest, int32_t width,
                         int32_t height) {
    if ((tag != ANIM_TAG_FRAME8 && tag != ANIM_TAG_FRAME24) || !data || width < 0 || height < 0) return -1;
    static AnimDecoder decoder;
    return Decode(decoder, tag, data, size, dest, width, height);
}

void anim_Stop(void) {
    if (g.open) Release();
}

int32_t anim_Open(const char* name) {
    anim_Stop();
    g = AnimState{};
    g.audioSlot = 7;
    g.open = 1;
    for (AnimAudio& a : g.audio) {
        a.buffer = (uint8_t*)Grow(nullptr, &a.capacity, 4, "Anim audio buffer");
        if (!a.buffer) Fail(kOverrun);
    }
    if (!Reserve(4)) Fail(kOverrun);
    int32_t size = name && file_Exists(name) ? file_FileSizeEx(name) : -1;
    if (g.hasError || size < 0 || file_OpenEx(name) < 0) {
        Fail(kInvalid);
        return -1;
    }
    g.fileOpen = 1;
    g.fileSize = (uint32_t)size;
    ReadMore(kFirstRead);
    if (g.buffered >= ANIM_CHUNK_HEAD) {
        g.nextTag = Rd32(g.buffer);
        g.nextLength = Rd32(g.buffer + 4);
    }
    if (g.nextTag != ANIM_TAG_HEADER) {
        Fail(kInvalid);
        return -1;
    }
    if (Advance() != ADVANCE_CHUNK) {
        Fail(kInvalid);
        return -1;
    }
    HandleChunk();
    if (g.hasError) return -1;
    if (g.nextTag == ANIM_TAG_PALETTE && g.filePos < g.fileSize) {
        if (Advance() != ADVANCE_CHUNK) return -1;
        HandleChunk();
        if (g.hasError) return -1;
    }
    g.screenWidth = g.width <= 320 ? 320 : 640;
    g.screenHeight = g.width <= 320 ? 240 : 480;
    g.bytesPerPixel = g.depth == 24 ? 2 : 1;
    vid_SetPixelDepth(g.depth == 24 ? 16 : 8);
    // Without the mode asked for there is no back buffer of the movie's
    // size and depth: frames are then read and timed but not drawn.
    g.drawable = vid_SetModeWithFallback(g.screenWidth, g.screenHeight) == 0 &&
                 vid_State.surfaceWidth == g.screenWidth && vid_State.surfaceHeight == g.screenHeight &&
                 vid_State.bitsPerPixel == g.bytesPerPixel * 8;
    Recentre();
    g.due = Now();
    return 0;
}

int32_t anim_Step(void) {
    if (!g.open) return 0;
    if (g.hasError) return 1;
    uint8_t* pixels = g.drawable ? vid_LockBackBuffer() : nullptr;
    g.dest = pixels ? pixels + (size_t)g.centre * g.bytesPerPixel : nullptr;
    for (;;) {
        AdvanceResult r = Advance();
        if (r == ADVANCE_END) {
            vid_UnlockBackBuffer();
            return 0;
        }
        if (r == ADVANCE_ERROR) break;
        HandleResult h = HandleChunk();
        if (g.hasError || h == HANDLE_FRAME) break;
    }
    if (!g.hasError) Time();
    vid_UnlockBackBuffer();
    return 1;
}

int32_t anim_PlayMovie(const char* name, int32_t skipAllowed) {
    if (!name || !file_Exists(name)) return -1;
    anim_Open(name);
    if (g.hasError) return -2;
    app_KeyQueueClear();
    // The clock stands while the window is inactive during a movie.
    int32_t keepRunning = app_KeepRunningFlag.load(std::memory_order_acquire);
    app_TimerTickEnable(0);
    int32_t result = 1;
    for (;;) {
        app_PumpMessagesEx();
        // A program that is closing does not wait for the movie's end.
        if (app_QuitFlag || app_Runner.done) break;
        if (g_frameCallback) g_frameCallback();
        if (skipAllowed && app_KeyQueuePop() != 0) break;
        if (g.hasError) {
            app_TimerTickEnable(keepRunning);
            return -2;
        }
        if (app_FocusFlag.load(std::memory_order_acquire))
            result = anim_Step();
        else
            plat_IdleWait();
        if (app_TimerStopped || result == 0) break;
    }
    app_TimerTickEnable(keepRunning);
    anim_Stop();
    return 0;
}
