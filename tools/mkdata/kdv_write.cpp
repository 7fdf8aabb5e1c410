// The KDV movie encoder and the data set's two movies. Each 4x4 block is
// coded in the cheapest form that reproduces it: a repeat of the block
// before, a fill, two colours, four colours, or raw pixels.
#include "kdv_write.h"

#include <cmath>
#include <cstring>

#include "mkdata.h"
#include "sound/anim.h"

namespace {

constexpr uint32_t kTransparent = 0xFFFFFFFFu;  // 24-bit key of "leave the pixel"
constexpr int32_t kCache = 128;

enum Kind { KIND_NONE, KIND_FOUR, KIND_TWO, KIND_FILL };

// A 24-bit colour as the file stores it: blue's top 7 bits, green, red;
// red 0 would be transparent, so visible colours have at least 1.
uint32_t Key24(uint32_t rgb) {
    uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return ((r ? r : 1) << 16) | (g << 8) | (b >> 1);
}

struct FrameCoder {
    MkKdvMovie* movie;
    bool deep;  // 24-bit
    uint32_t transparent;
    std::vector<uint8_t> data;
    size_t codePos = 0;
    int32_t block = 0;
    int32_t kind = KIND_NONE;
    uint32_t colours[4] = {};
    uint32_t cache[kCache];
    int32_t cachePos = 0;

    int32_t CacheFind(uint32_t key) const {
        for (int32_t i = 0; i < kCache; i++)
            if (cache[i] == key) return i;
        return -1;
    }
    int32_t ColourCost(uint32_t key) const { return deep ? (CacheFind(key) >= 0 ? 1 : 3) : 1; }
    void Colour(uint32_t key, bool entersCache) {
        if (!deep) {
            data.push_back((uint8_t)key);
            return;
        }
        int32_t ref = CacheFind(key);
        if (ref >= 0) {
            data.push_back((uint8_t)(0x80 | ref));
            movie->stats.cacheRefs++;
            return;
        }
        if (key == kTransparent) {
            data.insert(data.end(), {0, 0, 0});
        } else {
            data.push_back((uint8_t)(key & 0x7F));
            data.push_back((uint8_t)(key >> 8));
            data.push_back((uint8_t)(key >> 16));
        }
        if (entersCache) {
            cache[cachePos] = key;
            cachePos = (cachePos + 1) % kCache;
        }
    }
    void Code(uint32_t code) {
        if ((block & 3) == 0) {
            codePos = data.size();
            data.push_back(0);
        }
        data[codePos] |= (uint8_t)(code << (2 * (block & 3)));
    }
    void Word(uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++) data.push_back((uint8_t)(v >> (8 * i)));
    }
};

// Which of `set` each pixel takes: the target where it must change, else
// transparent or the colour it already has. False when a pixel fits none.
bool Assign(const uint32_t* target, const uint32_t* before, const bool* need, const uint32_t* set, int32_t count,
            uint32_t transparent, int32_t* index) {
    for (int32_t p = 0; p < 16; p++) {
        int32_t found = -1;
        for (int32_t i = 0; i < count && found < 0; i++)
            if (need[p] ? set[i] == target[p] : set[i] == transparent) found = i;
        for (int32_t i = 0; i < count && found < 0 && !need[p]; i++)
            if (set[i] == before[p] && before[p] != transparent) found = i;
        if (found < 0) return false;
        index[p] = found;
    }
    return true;
}

void CodeBlock(FrameCoder& f, const uint32_t* target, const uint32_t* before, const bool* need) {
    uint32_t t = f.transparent;
    uint32_t distinct[16];
    int32_t count = 0;
    for (int32_t p = 0; p < 16; p++) {
        if (!need[p]) continue;
        bool seen = false;
        for (int32_t i = 0; i < count; i++) seen = seen || distinct[i] == target[p];
        if (!seen) distinct[count++] = target[p];
    }
    // Candidate sets: the colours that must be drawn, and those plus
    // transparent for the pixels that stay.
    uint32_t withT[17];
    memcpy(withT, distinct, sizeof(uint32_t) * (size_t)count);
    withT[count] = t;

    enum Choice { REPEAT, FILL, TWO, FOUR, RAW };
    int32_t best = RAW, bestCost = f.deep ? 54 : 18;
    int32_t index[16] = {}, bestIndex[16] = {};
    uint32_t set[4] = {};
    auto consider = [&](int32_t choice, const uint32_t* s, int32_t n, int32_t cost) {
        if (cost >= bestCost || !Assign(target, before, need, s, n, t, index)) return;
        best = choice;
        bestCost = cost;
        memcpy(bestIndex, index, sizeof index);
        for (int32_t i = 0; i < 4; i++) set[i] = s[i < n ? i : 0];
    };
    if (f.kind == KIND_FILL) consider(REPEAT, f.colours, 1, 0);
    if (f.kind == KIND_TWO) consider(REPEAT, f.colours, 2, 2);
    if (f.kind == KIND_FOUR) consider(REPEAT, f.colours, 4, 4);
    if (count == 0) consider(FILL, &t, 1, f.ColourCost(t));
    if (count == 1) consider(FILL, distinct, 1, f.ColourCost(distinct[0]));
    if (count <= 2) {
        // Two unequal colours: pad a single one with transparent.
        uint32_t two[2] = {count > 0 ? distinct[0] : t, count > 1 ? distinct[1] : t};
        if (count == 2 || two[0] != t) consider(TWO, two, 2, 2 + f.ColourCost(two[0]) + f.ColourCost(two[1]));
    }
    if (count == 1) {
        uint32_t two[2] = {t, distinct[0]};
        consider(TWO, two, 2, 2 + f.ColourCost(t) + f.ColourCost(distinct[0]));
    }
    for (const uint32_t* s : {distinct, withT})
        for (int32_t n : {count, count + 1}) {
            if (n < 1 || n > 4 || (s == distinct && n > count)) continue;
            int32_t cost = 4;
            for (int32_t i = 0; i < 4; i++) cost += f.ColourCost(s[i < n ? i : 0]);
            consider(FOUR, s, n, cost);
        }

    MkKdvStats& st = f.movie->stats;
    switch (best) {
    case REPEAT:
        f.Code(3);
        st.repeat++;
        if (f.kind == KIND_FOUR) {
            uint32_t word = 0;
            for (int32_t p = 0; p < 16; p++) word |= (uint32_t)bestIndex[p] << (2 * p);
            f.Word(word, 4);
        } else if (f.kind == KIND_TWO) {
            uint32_t mask = 0;
            for (int32_t p = 0; p < 16; p++) mask |= (uint32_t)bestIndex[p] << p;
            f.Word(mask, 2);
        }
        break;
    case FILL:
        f.Code(2);
        f.Colour(set[0], true);
        st.fill++;
        if (set[0] == t) st.transparent++;
        f.kind = KIND_FILL;
        f.colours[0] = set[0];
        break;
    case TWO: {
        f.Code(1);
        // Never both transparent (a block that stays is a fill), so the
        // colours never begin with the raw block's six zero bytes.
        f.Colour(set[0], true);
        f.Colour(set[1], true);
        uint32_t mask = 0;
        for (int32_t p = 0; p < 16; p++) mask |= (uint32_t)bestIndex[p] << p;
        f.Word(mask, 2);
        st.two++;
        f.kind = KIND_TWO;
        f.colours[0] = set[0];
        f.colours[1] = set[1];
        break;
    }
    case FOUR: {
        f.Code(0);
        for (int32_t i = 0; i < 4; i++) f.Colour(set[i], false);
        uint32_t word = 0;
        for (int32_t p = 0; p < 16; p++) word |= (uint32_t)bestIndex[p] << (2 * p);
        f.Word(word, 4);
        st.four++;
        f.kind = KIND_FOUR;
        memcpy(f.colours, set, sizeof set);
        break;
    }
    default:
        f.Code(1);
        st.raw++;
        if (!f.deep) {
            f.data.insert(f.data.end(), {0, 0});
            for (int32_t p = 0; p < 16; p++) f.data.push_back(need[p] ? (uint8_t)target[p] : 0);
        } else {
            f.data.insert(f.data.end(), 6, 0);
            for (int32_t p = 0; p < 16; p++) {
                uint32_t key = need[p] ? target[p] : before[p];
                if (key == kTransparent) key = 0x010000;  // never: stays are coded transparent above
                f.data.push_back((uint8_t)(key & 0x7F));
                f.data.push_back((uint8_t)(key >> 8));
                f.data.push_back((uint8_t)(key >> 16));
            }
        }
        break;
    }
    f.block++;
}

void Chunk(MkKdvMovie* movie, uint32_t tag, const std::vector<uint8_t>& payload) {
    movie->out.u32(tag);
    movie->out.u32((uint32_t)payload.size() + ANIM_CHUNK_HEAD);
    movie->out.bytes(payload.data(), payload.size());
}

// Codes a frame of keys (8-bit: indices, 0 transparent; 24-bit: Key24).
void Frame(MkKdvMovie* movie, const std::vector<uint32_t>& keys) {
    FrameCoder f;
    f.movie = movie;
    f.deep = movie->depth == 24;
    f.transparent = f.deep ? kTransparent : 0;
    for (uint32_t& c : f.cache) c = kTransparent;
    int32_t w = movie->width, h = movie->height;
    if (!movie->previousValid) movie->previous.assign((size_t)w * h, f.deep ? kTransparent : 0);
    std::vector<uint32_t>& prev = movie->previous;
    for (int32_t by = 0; by < h / 4; by++)
        for (int32_t bx = 0; bx < w / 4; bx++) {
            uint32_t target[16], before[16];
            bool need[16];
            for (int32_t p = 0; p < 16; p++) {
                size_t at = (size_t)(by * 4 + p / 4) * w + (size_t)(bx * 4 + p % 4);
                target[p] = keys[at];
                before[p] = prev[at];
                need[p] = target[p] != f.transparent && (!movie->previousValid || target[p] != before[p]);
                if (need[p]) prev[at] = target[p];
            }
            CodeBlock(f, target, before, need);
        }
    movie->previousValid = true;
    Chunk(movie, f.deep ? ANIM_TAG_FRAME24 : ANIM_TAG_FRAME8, f.data);
}

}  // namespace

void mkdata_KdvHeader(MkKdvMovie* movie, int32_t width, int32_t height, uint32_t period, int32_t depth) {
    LeWriter w;
    w.u32((uint32_t)width);
    w.u32((uint32_t)height);
    w.u32(0);  // not used
    w.u32(period);
    w.u32(ANIM_VERSION | (depth == 24 ? ANIM_VERSION_24BIT : 0));
    Chunk(movie, ANIM_TAG_HEADER, w.buf);
    if (width != movie->width || height != movie->height) movie->previousValid = false;
    movie->width = width;
    movie->height = height;
    movie->depth = depth;
}

void mkdata_KdvPalette(MkKdvMovie* movie, const uint8_t* rgb768) {
    Chunk(movie, ANIM_TAG_PALETTE, std::vector<uint8_t>(rgb768, rgb768 + 768));
}

void mkdata_KdvAudio(MkKdvMovie* movie, const uint8_t* left, const uint8_t* right, uint32_t n, uint8_t leftShift,
                     uint8_t rightShift) {
    LeWriter w;
    auto block = [&](const uint8_t* samples, uint8_t shift) {
        w.bytes("SAMP", 4);
        w.u32(n);
        w.u32(0);
        w.u8(shift);
        w.zeros(3);
        w.bytes(samples, n);
    };
    block(left, leftShift);
    if (right) block(right, rightShift);
    Chunk(movie, right ? ANIM_TAG_STEREO : ANIM_TAG_MONO, w.buf);
}

void mkdata_KdvFrame8(MkKdvMovie* movie, const uint8_t* pixels) {
    std::vector<uint32_t> keys(pixels, pixels + (size_t)movie->width * movie->height);
    Frame(movie, keys);
}

void mkdata_KdvFrame24(MkKdvMovie* movie, const uint32_t* pixels) {
    std::vector<uint32_t> keys((size_t)movie->width * movie->height);
    for (size_t i = 0; i < keys.size(); i++) keys[i] = Key24(pixels[i]);
    Frame(movie, keys);
}

uint32_t mkdata_KdvSamplesForFrame(uint32_t period, uint32_t frame) {
    uint64_t end = (uint64_t)(frame + 1) * period * 22050 / 120;
    uint64_t start = (uint64_t)frame * period * 22050 / 120;
    return (uint32_t)(end - start);
}

// ---- The data set's movies ----------------------------------------------------

namespace {

uint32_t g_noise = 0x9E3779B9u;
uint32_t Noise(void) {
    g_noise ^= g_noise << 13;
    g_noise ^= g_noise >> 17;
    g_noise ^= g_noise << 5;
    return g_noise;
}

uint8_t Sample(double v) {
    long s = lround(128 + 100 * v);
    return (uint8_t)(s < 1 ? 1 : s > 255 ? 255 : s);
}

// Intro palette: sky blues 1-63, greens 64-127, greys 128-191, warm
// colours 192-254, white 255.
void IntroPalette(uint8_t* p) {
    memset(p, 0, 768);
    for (int i = 1; i < 64; i++) {
        p[3 * i] = (uint8_t)(20 + i);
        p[3 * i + 1] = (uint8_t)(40 + 2 * i);
        p[3 * i + 2] = (uint8_t)(120 + 2 * i);
    }
    for (int i = 0; i < 64; i++) {
        p[3 * (64 + i)] = (uint8_t)(20 + i);
        p[3 * (64 + i) + 1] = (uint8_t)(60 + 2 * i);
        p[3 * (64 + i) + 2] = (uint8_t)(20 + i / 2);
        p[3 * (128 + i)] = p[3 * (128 + i) + 1] = p[3 * (128 + i) + 2] = (uint8_t)(4 * i);
        p[3 * (192 + i)] = 255;
        p[3 * (192 + i) + 1] = (uint8_t)(80 + 2 * i);
        p[3 * (192 + i) + 2] = (uint8_t)(i / 2);
    }
    p[765] = p[766] = p[767] = 255;
}

}  // namespace

std::vector<uint8_t> mkdata_KdvIntroBuild(void) {
    const int32_t w = 320, h = 200, frames = 30;
    const uint32_t period = 12;
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, w, h, period, 8);
    uint8_t palette[768];
    IntroPalette(palette);
    mkdata_KdvPalette(&movie, palette);
    std::vector<uint8_t> pixels((size_t)w * h);
    std::vector<uint8_t> audio;
    double phase = 0;
    for (int32_t f = 0; f < frames; f++) {
        // A rising engine tone under the picture.
        uint32_t n = mkdata_KdvSamplesForFrame(period, (uint32_t)f);
        audio.resize(n);
        for (uint32_t i = 0; i < n; i++) {
            phase += 2 * M_PI * (110.0 + 4.0 * f) / 22050;
            audio[i] = Sample(0.5 * sin(phase) + 0.2 * sin(3 * phase));
        }
        mkdata_KdvAudio(&movie, audio.data(), nullptr, n, 0, 0);
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++) {
                uint8_t c;
                if (y < 140)
                    c = (uint8_t)(1 + y * 62 / 139);  // sky
                else
                    c = (uint8_t)(64 + ((x / 16 + y / 8) & 7) * 8);  // fields
                pixels[(size_t)y * w + x] = c;
            }
        // The aircraft crossing: a grey wedge with a warm exhaust.
        int32_t px = 10 + f * 9, py = 60 + f;
        for (int32_t y = -10; y <= 10; y++)
            for (int32_t x = 0; x < 40 - 3 * (y < 0 ? -y : y); x++) {
                int32_t X = px + x, Y = py + y;
                if (X >= 0 && X < w && Y >= 0 && Y < h) pixels[(size_t)Y * w + X] = (uint8_t)(150 + x);
            }
        for (int32_t y = -2; y <= 2; y++)
            for (int32_t x = -8; x < 0; x++) {
                int32_t X = px + x, Y = py + y;
                if (X >= 0 && X < w && Y >= 0 && Y < h) pixels[(size_t)Y * w + X] = (uint8_t)(200 + (Noise() & 31));
            }
        // A strip of static along the bottom, new every frame.
        for (int32_t y = 188; y < 196; y++)
            for (int32_t x = 8; x < 312; x++) pixels[(size_t)y * w + x] = (uint8_t)(128 + (Noise() & 63));
        // The title bar appears halfway.
        if (f >= frames / 2)
            for (int32_t y = 16; y < 28; y++)
                for (int32_t x = 80; x < 240; x++) pixels[(size_t)y * w + x] = ((x / 4 + y / 4) & 1) ? 255 : 220;
        mkdata_KdvFrame8(&movie, pixels.data());
    }
    return movie.out.buf;
}

std::vector<uint8_t> mkdata_KdvOverviewBuild(void) {
    const int32_t w = 640, h = 400, frames = 20;
    const uint32_t period = 12;
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, w, h, period, 24);
    std::vector<uint32_t> pixels((size_t)w * h);
    std::vector<uint8_t> left, right;
    double pl = 0, pr = 0;
    for (int32_t f = 0; f < frames; f++) {
        uint32_t n = mkdata_KdvSamplesForFrame(period, (uint32_t)f);
        left.resize(n);
        right.resize(n);
        for (uint32_t i = 0; i < n; i++) {
            pl += 2 * M_PI * 220.0 / 22050;
            pr += 2 * M_PI * 330.0 / 22050;
            left[i] = Sample(0.4 * sin(pl));
            right[i] = Sample(0.4 * sin(pr) * (f & 1 ? 0.5 : 1.0));
        }
        mkdata_KdvAudio(&movie, left.data(), right.data(), n, 0, 1);
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++) {
                // A map in bands of 8 pixels: sea, coast and land.
                uint32_t band = (uint32_t)((x / 8) + (y / 8)) % 24;
                uint32_t r = 20 + band * 4, g = 60 + band * 6, b = 160 - band * 5;
                if (x > 320 + (y / 4)) r += 60, g += 40, b /= 2;
                pixels[(size_t)y * w + x] = (r << 16) | (g << 8) | b;
            }
        // A marker sweeping across: a shaded disc.
        int32_t cx = 60 + f * 26, cy = 200;
        for (int32_t y = -24; y <= 24; y++)
            for (int32_t x = -24; x <= 24; x++) {
                int32_t d2 = x * x + y * y;
                if (d2 > 576) continue;
                uint32_t v = (uint32_t)(255 - d2 * 200 / 576);
                pixels[(size_t)(cy + y) * w + (size_t)(cx + x)] = (v << 16) | ((v / 2) << 8) | 16;
            }
        // A small panel of changing noise.
        for (int32_t y = 360; y < 384; y++)
            for (int32_t x = 16; x < 112; x++) pixels[(size_t)y * w + x] = Noise() & 0xFFFFFF;
        mkdata_KdvFrame24(&movie, pixels.data());
    }
    return movie.out.buf;
}

int mkdata_WriteMovies(const std::string& dir) {
    if (mkdata_WriteFile(dir, "KRXINTRO.KDV", mkdata_KdvIntroBuild()) != 0) return -1;
    return mkdata_WriteFile(dir, "KRXOVER.KDV", mkdata_KdvOverviewBuild());
}
