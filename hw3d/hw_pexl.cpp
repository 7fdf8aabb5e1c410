// The project's 3D-card driver library: a "software card" that draws into a
// frame buffer in memory and shows it through the present routine the
// program lends it (the _HW3D_HOST record passed as the instance). It keeps
// the whole contract of the descriptor table so that the program's card
// path runs for real, without a 3D card.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "display/hw3d.h"
#include "display/hw3d_draw.h"

#define HW3D_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The card's devices, chosen by control code 32 + n: each takes modes up to
// its size.
struct Device {
    const char* name;
    int32_t maxWidth, maxHeight;
};
constexpr Device kDevices[] = {
    {"Software card, up to 1024x768", 1024, 768},
    {"Software card, up to 800x600", 800, 600},
    {"Software card, up to 640x480", 640, 480},
};
constexpr int32_t kDeviceCount = (int32_t)(sizeof kDevices / sizeof kDevices[0]);

struct Size {
    int32_t width, height;
};
constexpr Size kModes[] = {{640, 480}, {800, 600}, {1024, 768}};

// Passes that need the frame buffer locked: the same as the software path,
// since every pixel of ours is in memory.
constexpr intptr_t kLockMask = 0x10F;

struct Card {
    _HW3D_STATE shared;  // the program writes its palette pointer here
    const _HW3D_HOST* host;
    int32_t initialised;
    int32_t enabled;
    int32_t activated;
    int32_t device;
    int32_t width, height, bytes;  // the mode; 0 when none is set
    uint8_t* pixels;
    int32_t locked;
    int32_t clipX1, clipY1, clipX2, clipY2;  // view window, x2 and y2 outside
    int32_t screenW, screenH;
    uint8_t registers[5][3];
    uint8_t colour[3];
    int32_t value, palette, stateCode, pixel32, level;
    int32_t frames, triangles, lines, records;
};
Card g;

void FreeFrame(void) {
    free(g.pixels);
    g.pixels = nullptr;
    g.width = g.height = g.bytes = 0;
    g.locked = 0;
}

bool Listed(int32_t width, int32_t height) {
    for (const Size& s : kModes)
        if (s.width == width && s.height == height) return true;
    return false;
}

bool Fits(int32_t width, int32_t height) {
    const Device& d = kDevices[g.device];
    return width >= 1 && height >= 1 && width <= d.maxWidth && height <= d.maxHeight;
}

uint32_t Pack(int32_t r, int32_t gr, int32_t b) {
    if (g.bytes == 4) return (uint32_t)r << 16 | (uint32_t)gr << 8 | (uint32_t)b;
    return (uint32_t)(r >> 3) << 11 | (uint32_t)(gr >> 2) << 5 | (uint32_t)(b >> 3);
}

void Unpack(uint32_t p, int32_t* r, int32_t* gr, int32_t* b) {
    if (g.bytes == 4) {
        *r = (int32_t)(p >> 16 & 0xFF), *gr = (int32_t)(p >> 8 & 0xFF), *b = (int32_t)(p & 0xFF);
    } else {
        *r = (int32_t)(p >> 11 & 0x1F) << 3, *gr = (int32_t)(p >> 5 & 0x3F) << 2, *b = (int32_t)(p & 0x1F) << 3;
    }
}

uint8_t* At(int32_t x, int32_t y) { return g.pixels + ((size_t)y * (size_t)g.width + (size_t)x) * (size_t)g.bytes; }

uint32_t Get(int32_t x, int32_t y) {
    uint8_t* p = At(x, y);
    if (g.bytes == 4) {
        uint32_t v;
        memcpy(&v, p, 4);
        return v;
    }
    uint16_t v;
    memcpy(&v, p, 2);
    return v;
}

void Put(int32_t x, int32_t y, uint32_t pixel) {
    uint8_t* p = At(x, y);
    if (g.bytes == 4) {
        memcpy(p, &pixel, 4);
    } else {
        uint16_t v = (uint16_t)pixel;
        memcpy(p, &v, 2);
    }
}

// Clip rectangle of the primitives: the view window inside the frame.
void Clip(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    *x1 = g.clipX1 > 0 ? g.clipX1 : 0;
    *y1 = g.clipY1 > 0 ? g.clipY1 : 0;
    *x2 = g.clipX2 < g.width ? g.clipX2 : g.width;
    *y2 = g.clipY2 < g.height ? g.clipY2 : g.height;
}

int32_t ClampByte(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// What a triangle is filled with: a flat colour, or a texture read through
// the state's palette; both modulated by the corners' colours. Shaded
// triangles take 128 in a channel as the colour itself (255 nearly doubles
// it); blended ones take 255 as the colour itself.
struct Fill {
    uint32_t colour;                  // 0x00BBGGRR
    const _HW3D_TEXTURE* texture;     // null: the flat colour
    int32_t alpha;                    // -1: opaque; 0..255 fixed; 256: the corners' alpha
};
double Unit(const Fill& f) { return f.alpha < 0 ? 128.0 : 255.0; }

// Reads a texel at (u, v) in 1/65536 of the texture's size (it repeats);
// false when the texture's transparent texel 0 leaves the pixel.
bool Texel(const _HW3D_TEXTURE* t, double u, double v, int32_t* r, int32_t* gr, int32_t* b) {
    const uint32_t w = 1u << (t->log2Width & 15), h = 1u << (t->log2Height & 15);
    const uint32_t x = (uint32_t)(int64_t)std::floor(u * w / 65536.0) & (w - 1);
    const uint32_t y = (uint32_t)(int64_t)std::floor(v * h / 65536.0) & (h - 1);
    const uint8_t index = t->pixels[(size_t)y * w + x];
    if (index == 0 && (t->renderFlags & HW3D_FLAG_TRANSPARENT)) return false;
    const uint8_t* pal = g.shared.palette;
    if (!pal || (t->renderFlags & HW3D_FLAG_INTENSITY)) {
        *r = *gr = *b = index;
        return true;
    }
    *r = pal[index * 3], *gr = pal[index * 3 + 1], *b = pal[index * 3 + 2];
    return true;
}

// A triangle over the pixel centres inside the clip, positions in 1/128
// pixel; corner colours and texture coordinates are interpolated in
// perspective (by the corners' depth).
void FillTriangle(const _HW3D_VERTEX* a, const _HW3D_VERTEX* b, const _HW3D_VERTEX* c, const Fill& fill) {
    if (!g.pixels || !a || !b || !c) return;
    if (fill.texture && !fill.texture->pixels) return;
    // Kept to a range whose edge products cannot overflow.
    auto cl = [](int32_t v) -> int64_t { return v < -(1 << 28) ? -(1 << 28) : v > (1 << 28) ? (1 << 28) : v; };
    int64_t area = ((int64_t)cl(b->x) - cl(a->x)) * (cl(c->y) - cl(a->y)) - ((int64_t)cl(b->y) - cl(a->y)) * (cl(c->x) - cl(a->x));
    if (area == 0) return;
    // Turned to run one way round, so that an edge two triangles share is
    // walked in opposite directions and its pixels go to one of them only.
    if (area < 0) std::swap(b, c), area = -area;
    int64_t ax = cl(a->x), ay = cl(a->y), bx = cl(b->x), by = cl(b->y), cx = cl(c->x), cy = cl(c->y);
    auto owns = [](int64_t e, int64_t dx, int64_t dy) { return e > 0 || (e == 0 && (dy > 0 || (dy == 0 && dx > 0))); };
    int32_t x1, y1, x2, y2;
    Clip(&x1, &y1, &x2, &y2);
    auto lo = [](int64_t p, int64_t q, int64_t r) { return (p < q ? (p < r ? p : r) : (q < r ? q : r)) >> 7; };
    auto hi = [](int64_t p, int64_t q, int64_t r) { return ((p > q ? (p > r ? p : r) : (q > r ? q : r)) >> 7) + 1; };
    int64_t minX = lo(ax, bx, cx), maxX = hi(ax, bx, cx), minY = lo(ay, by, cy), maxY = hi(ay, by, cy);
    if (minX < x1) minX = x1;
    if (minY < y1) minY = y1;
    if (maxX > x2) maxX = x2;
    if (maxY > y2) maxY = y2;
    const _HW3D_VERTEX* corner[3] = {a, b, c};
    double w[3], ch[3][4], tu[3], tv[3], fog[3];
    for (int k = 0; k < 3; k++) {
        const _HW3D_VERTEX* v = corner[k];
        w[k] = v->z > 0 ? 65536.0 / v->z : 1.0;
        for (int i = 0; i < 4; i++) ch[k][i] = (double)(v->colour >> (8 * i) & 0xFF) * w[k];
        tu[k] = v->reserved[0] * w[k];
        tv[k] = v->reserved[1] * w[k];
        fog[k] = (v->reserved[2] & 0xFF) * w[k];
    }
    const bool fogged = fill.alpha < 0 && (a->reserved[2] | b->reserved[2] | c->reserved[2]) & 0xFF;
    const double unit = Unit(fill);
    const double fr = fill.colour & 0xFF, fg = fill.colour >> 8 & 0xFF, fb = fill.colour >> 16 & 0xFF;
    for (int64_t y = minY; y < maxY; y++) {
        int64_t py = y * 128 + 64;
        for (int64_t x = minX; x < maxX; x++) {
            int64_t px = x * 128 + 64;
            int64_t e0 = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
            int64_t e1 = (cx - bx) * (py - by) - (cy - by) * (px - bx);
            int64_t e2 = (ax - cx) * (py - cy) - (ay - cy) * (px - cx);
            if (!owns(e0, bx - ax, by - ay) || !owns(e1, cx - bx, cy - by) || !owns(e2, ax - cx, ay - cy)) continue;
            // Weights of a, b and c: each corner's share is its opposite edge's.
            const double la = (double)e1 / (double)area, lb = (double)e2 / (double)area, lc = (double)e0 / (double)area;
            const double wsum = la * w[0] + lb * w[1] + lc * w[2];
            if (wsum <= 0) continue;
            double m[4];
            for (int i = 0; i < 4; i++) m[i] = (la * ch[0][i] + lb * ch[1][i] + lc * ch[2][i]) / wsum;
            double r = fr, gr = fg, bl = fb;
            if (fill.texture) {
                int32_t tr, tg, tb;
                if (!Texel(fill.texture, (la * tu[0] + lb * tu[1] + lc * tu[2]) / wsum,
                           (la * tv[0] + lb * tv[1] + lc * tv[2]) / wsum, &tr, &tg, &tb))
                    continue;
                r = tr, gr = tg, bl = tb;
            }
            int32_t out[3] = {ClampByte((int32_t)(r * m[0] / unit)), ClampByte((int32_t)(gr * m[1] / unit)),
                              ClampByte((int32_t)(bl * m[2] / unit))};
            if (fogged) {
                // Towards the fog colour by the corners' fog amount.
                const double f = std::min((la * fog[0] + lb * fog[1] + lc * fog[2]) / wsum, 255.0) / 255.0;
                for (int i = 0; i < 3; i++) out[i] = (int32_t)(out[i] + (g.colour[i] - out[i]) * f);
            }
            const int32_t alpha = fill.alpha == 256 ? ClampByte((int32_t)m[3]) : fill.alpha;
            if (alpha >= 0 && alpha < 255) {
                int32_t dr, dg, db;
                Unpack(Get((int32_t)x, (int32_t)y), &dr, &dg, &db);
                out[0] = (out[0] * alpha + dr * (255 - alpha)) / 255;
                out[1] = (out[1] * alpha + dg * (255 - alpha)) / 255;
                out[2] = (out[2] * alpha + db * (255 - alpha)) / 255;
            }
            Put((int32_t)x, (int32_t)y, Pack(out[0], out[1], out[2]));
        }
    }
}

// ---- Descriptor entries ----------------------------------------------------

int32_t Enable(void) {
    if (!g.initialised) return -1;
    g.enabled = 1;
    return 0;
}

int32_t ModeTest(int32_t width, int32_t height, int32_t bits, int32_t) {
    return bits == 16 && Listed(width, height) && Fits(width, height) ? 0 : 1;
}

int32_t SetMode(int32_t width, int32_t height, int32_t bits, int32_t exact) {
    if (!g.enabled || !Fits(width, height)) return -1;
    if (exact && (bits != 16 || !Listed(width, height))) return -1;
    int32_t bytes = bits == 32 ? 4 : 2;
    size_t size = (size_t)width * (size_t)height * (size_t)bytes;
    auto* pixels = static_cast<uint8_t*>(calloc(size, 1));
    if (!pixels) return -1;
    FreeFrame();
    g.pixels = pixels;
    g.width = width, g.height = height, g.bytes = bytes;
    g.clipX1 = g.clipY1 = 0;
    g.clipX2 = g.screenW = width;
    g.clipY2 = g.screenH = height;
    return 0;
}

void Disable(void) {
    g.enabled = 0;
    FreeFrame();
}

intptr_t Control(int32_t code) {
    switch (code) {
    case HW3D_CTL_RESET: g.frames = g.triangles = g.lines = g.records = 0; return 0;
    case HW3D_CTL_LOCK_MASK: return kLockMask;
    case HW3D_CTL_DESCRIPTION: return (intptr_t) "KRX software card: draws in system memory";
    case HW3D_CTL_ACTIVATED: g.activated = 1; return 0;
    case HW3D_CTL_DEACTIVATED: g.activated = 0; return 0;
    case HW3D_CTL_NO_CURSOR_CLIP: return 0;
    case HW3D_CTL_RED_MASK: return g.bytes == 4 ? 0xFF0000 : 0xF800;
    case HW3D_CTL_GREEN_MASK: return g.bytes == 4 ? 0x00FF00 : 0x07E0;
    case HW3D_CTL_BLUE_MASK: return g.bytes == 4 ? 0x0000FF : 0x001F;
    case HW3D_CTL_TEXT2: return (intptr_t) "16-bit frame buffer";
    case HW3D_CTL_VERSION: return 16;
    case HW3D_CTL_MODE_COUNT: return kDeviceCount;
    default: break;
    }
    if (code >= HW3D_CTL_MODE_NAME && code < HW3D_CTL_MODE_NAME + kDeviceCount)
        return (intptr_t)kDevices[code - HW3D_CTL_MODE_NAME].name;
    if (code >= HW3D_CTL_MODE_SELECT && code < HW3D_CTL_MODE_SELECT + kDeviceCount) {
        g.device = code - HW3D_CTL_MODE_SELECT;
        return 0;
    }
    return 0;
}

void SelectPalette(int32_t palette) { g.palette = palette; }

void SetColour(int32_t r, int32_t gr, int32_t b) {
    g.colour[0] = (uint8_t)ClampByte(r), g.colour[1] = (uint8_t)ClampByte(gr), g.colour[2] = (uint8_t)ClampByte(b);
}

void SetValue(int32_t value) { g.value = value; }

void ViewWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    g.clipX1 = x1, g.clipY1 = y1, g.clipX2 = x2, g.clipY2 = y2;
}

void ScreenRect(int32_t, int32_t, int32_t x2, int32_t y2) { g.screenW = x2, g.screenH = y2; }

// Images are read through the state's palette when drawn; nothing is kept.
void UploadImage(void*, const void*, int32_t, int32_t) {}
void PrepareImage(void*) {}
void AfterSwap(void) {}

void Clear(void) {
    if (!g.pixels) return;
    uint32_t pixel = Pack(g.registers[3][0], g.registers[3][1], g.registers[3][2]);
    for (int32_t y = 0; y < g.height; y++)
        for (int32_t x = 0; x < g.width; x++) Put(x, y, pixel);
}

void Swap(void) {
    if (!g.pixels) return;
    g.frames++;
    if (g.host && g.host->present) g.host->present(g.pixels, g.width, g.height, g.width * g.bytes, g.bytes * 8);
}

void SetState(int32_t code) { g.stateCode = code; }

// The colour comes as 0x??BBGGRR; with the alpha flag the corners' alpha
// blends the triangle over the frame.
void Triangle(const void* p1, const void* p2, const void* p3, uint32_t colour, uint32_t flags, int32_t) {
    g.triangles++;
    if (!g.pixels) return;
    const Fill fill = {colour & 0xFFFFFFu, nullptr, flags & HW3D_FLAG_ALPHA ? 256 : -1};
    FillTriangle(static_cast<const _HW3D_VERTEX*>(p1), static_cast<const _HW3D_VERTEX*>(p2),
                 static_cast<const _HW3D_VERTEX*>(p3), fill);
}

// A textured quad (a triangle when its last two corners are the same). A
// texture with the alpha flag blends by `word` when it is 1..255, else by
// the corners' alpha; without a texture the quad is white.
void Quad(const void* p1, const void* p2, const void* p3, const void* p4, const void* texture, int32_t word) {
    g.triangles += 2;
    if (!g.pixels) return;
    const auto* t = static_cast<const _HW3D_TEXTURE*>(texture);
    Fill fill = {0xFFFFFFu, t, -1};
    if (t && (t->renderFlags & HW3D_FLAG_ALPHA)) fill.alpha = word > 0 && word < 255 ? word : 256;
    auto* a = static_cast<const _HW3D_VERTEX*>(p1);
    auto* b = static_cast<const _HW3D_VERTEX*>(p2);
    auto* c = static_cast<const _HW3D_VERTEX*>(p3);
    auto* d = static_cast<const _HW3D_VERTEX*>(p4);
    FillTriangle(a, b, c, fill);
    if (d && d != c && memcmp(c, d, sizeof *c) != 0) FillTriangle(a, c, d, fill);
}

// The colour comes as 0x00BBGGRR.
void Line(const void* v1, const void* v2, uint32_t colour, int32_t, int32_t) {
    g.lines++;
    auto* a = static_cast<const _HW3D_VERTEX*>(v1);
    auto* b = static_cast<const _HW3D_VERTEX*>(v2);
    if (!g.pixels || !a || !b) return;
    uint32_t pixel = Pack((int32_t)(colour & 0xFF), (int32_t)(colour >> 8 & 0xFF), (int32_t)(colour >> 16 & 0xFF));
    int32_t x1, y1, x2, y2;
    Clip(&x1, &y1, &x2, &y2);
    if (x1 >= x2 || y1 >= y2) return;
    // Cut the line to the clip first (in pixels), so far ends cost nothing.
    double ax = a->x / 128.0, ay = a->y / 128.0, bx = b->x / 128.0, by = b->y / 128.0;
    double t0 = 0, t1 = 1, dxf = bx - ax, dyf = by - ay;
    const double p[4] = {-dxf, dxf, -dyf, dyf};
    const double q[4] = {ax - x1, (x2 - 1) - ax, ay - y1, (y2 - 1) - ay};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0) return;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return;
            if (t < t1) t1 = t;
        }
    }
    int32_t x = (int32_t)(ax + t0 * dxf), y = (int32_t)(ay + t0 * dyf);
    int32_t ex = (int32_t)(ax + t1 * dxf), ey = (int32_t)(ay + t1 * dyf);
    int32_t dx = ex > x ? ex - x : x - ex, dy = ey > y ? y - ey : ey - y;
    int32_t sx = x < ex ? 1 : -1, sy = y < ey ? 1 : -1, err = dx + dy;
    for (;;) {
        if (x >= x1 && x < x2 && y >= y1 && y < y2) Put(x, y, pixel);
        if (x == ex && y == ey) break;
        int32_t e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

void ShadedRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t level) {
    if (!g.pixels) return;
    if (level < 0) level = 0;
    if (level > 16) level = 16;
    if (x1 < 0) x1 = 0;
    if (y1 < 0) y1 = 0;
    if (x2 > g.width) x2 = g.width;
    if (y2 > g.height) y2 = g.height;
    for (int32_t y = y1; y < y2; y++)
        for (int32_t x = x1; x < x2; x++) {
            int32_t r, gr, b;
            Unpack(Get(x, y), &r, &gr, &b);
            Put(x, y, Pack(r * (16 - level) / 16, gr * (16 - level) / 16, b * (16 - level) / 16));
        }
}

uint8_t* Lock(int32_t* pitch) {
    if (!g.enabled || !g.pixels) return nullptr;
    if (pitch) *pitch = g.width * g.bytes;
    g.locked = 1;
    return g.pixels;
}

void Unlock(void) { g.locked = 0; }

void ReadCounters(void* a, void* b, void* c) {
    if (a) memcpy(a, &g.frames, sizeof(int32_t));
    if (b) memcpy(b, &g.triangles, sizeof(int32_t));
    if (c) memcpy(c, &g.lines, sizeof(int32_t));
}

void ColourRegister(int32_t reg, int32_t r, int32_t gr, int32_t b) {
    if (reg < 0 || reg > 4) return;
    g.registers[reg][0] = (uint8_t)ClampByte(r);
    g.registers[reg][1] = (uint8_t)ClampByte(gr);
    g.registers[reg][2] = (uint8_t)ClampByte(b);
}

int32_t Option(int32_t option, int32_t value) {
    if (option == HW3D_OPTION_PIXEL32) {
        g.pixel32 = value;
        return 1;
    }
    if (option == HW3D_OPTION_LEVEL) {
        g.level = value;
        return 1;
    }
    return 0;
}

// Particles: a square of each active one's radius round its screen
// position, blended by its alpha.
void RecordList(const void* records, int32_t count, int32_t recordSize) {
    if (count <= 0) return;
    g.records += count;
    if (!g.pixels || !records || recordSize != (int32_t)sizeof(_HW3D_PARTICLE)) return;
    const auto* list = static_cast<const _HW3D_PARTICLE*>(records);
    int32_t x1, y1, x2, y2;
    Clip(&x1, &y1, &x2, &y2);
    for (int32_t i = 0; i < count; i++) {
        const _HW3D_PARTICLE& p = list[i];
        if (!p.active || p.radius <= 0 || p.alpha == 0) continue;
        const int32_t cx = p.screenX >> 7, cy = p.screenY >> 7, r = std::min(p.radius, 256);
        const int32_t a = p.alpha;
        const int32_t sr = (int32_t)(p.colour & 0xFF), sg = (int32_t)(p.colour >> 8 & 0xFF),
                      sb = (int32_t)(p.colour >> 16 & 0xFF);
        for (int32_t y = std::max(cy - r, y1); y < std::min(cy + r, y2); y++)
            for (int32_t x = std::max(cx - r, x1); x < std::min(cx + r, x2); x++) {
                int32_t dr, dg, db;
                Unpack(Get(x, y), &dr, &dg, &db);
                Put(x, y, Pack((sr * a + dr * (255 - a)) / 255, (sg * a + dg * (255 - a)) / 255,
                               (sb * a + db * (255 - a)) / 255));
            }
    }
}

}  // namespace

// The card's name for the options screen, in the player's language.
HW3D_EXPORT const char* hw3d_GetNameStr(const char* countryCode) {
    if (countryCode) {
        if (!strcasecmp(countryCode, "DE")) return "KRX Software-Karte";
        if (!strcasecmp(countryCode, "FR")) return "Carte logicielle KRX";
    }
    return "KRX Software Card";
}

// instance: the program's _HW3D_HOST record, or 0 when there is nothing to
// show frames on (they are drawn all the same).
HW3D_EXPORT int32_t hw3d_GetDescriptor(uintptr_t instance, _HW3D_DESCRIPTOR* d, int32_t version) {
    if (!d || d->size != HW3D_DESCRIPTOR_SIZE || version != HW3D_INTERFACE_VERSION) return -1;
    const auto* host = reinterpret_cast<const _HW3D_HOST*>(instance);
    g.host = host && host->size >= (int32_t)sizeof(_HW3D_HOST) ? host : nullptr;
    d->state = &g.shared;
    d->enable = Enable;
    d->setMode = SetMode;
    d->modeTest = ModeTest;
    d->disable = Disable;
    d->control = Control;
    d->selectPalette = SelectPalette;
    d->setColour = SetColour;
    d->setValue = SetValue;
    d->viewWindow = ViewWindow;
    d->screenRect = ScreenRect;
    d->uploadImage = UploadImage;
    d->prepareImage = PrepareImage;
    d->afterSwap = AfterSwap;
    d->clear = Clear;
    d->swap = Swap;
    d->setState = SetState;
    d->triangle = Triangle;
    d->quad = Quad;
    d->line = Line;
    d->shadedRect = ShadedRect;
    d->lock = Lock;
    d->unlock = Unlock;
    d->readCounters = ReadCounters;
    d->colourRegister = ColourRegister;
    d->option = Option;
    d->recordList = RecordList;
    return 0;
}

HW3D_EXPORT int32_t hw3d_InitOnce(void) {
    const _HW3D_HOST* host = g.host;
    FreeFrame();
    memset(&g, 0, sizeof g);
    g.host = host;
    g.initialised = 1;
    g.shared.frameAccess = 1;  // the frame is plain memory
    return 0;
}

HW3D_EXPORT void hw3d_UninitOnce(void) {
    FreeFrame();
    memset(&g, 0, sizeof g);
}
