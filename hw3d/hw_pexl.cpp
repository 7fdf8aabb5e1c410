// The project's 3D-card driver library: a "software card" that draws into a
// frame buffer in memory and shows it through the present routine the
// program lends it (the _HW3D_HOST record passed as the instance). It keeps
// the whole contract of the descriptor table so that the program's card
// path runs for real, without a 3D card.
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

// Flat triangle over the pixel centres inside the clip, in 1/128 pixel.
void FillTriangle(const _HW3D_VERTEX* a, const _HW3D_VERTEX* b, const _HW3D_VERTEX* c, uint32_t pixel) {
    if (!g.pixels || !a || !b || !c) return;
    // Kept to a range whose edge products cannot overflow.
    auto cl = [](int32_t v) -> int64_t { return v < -(1 << 28) ? -(1 << 28) : v > (1 << 28) ? (1 << 28) : v; };
    int64_t ax = cl(a->x), ay = cl(a->y), bx = cl(b->x), by = cl(b->y), cx = cl(c->x), cy = cl(c->y);
    int64_t area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (area == 0) return;
    int32_t x1, y1, x2, y2;
    Clip(&x1, &y1, &x2, &y2);
    auto lo = [](int64_t p, int64_t q, int64_t r) { return (p < q ? (p < r ? p : r) : (q < r ? q : r)) >> 7; };
    auto hi = [](int64_t p, int64_t q, int64_t r) { return ((p > q ? (p > r ? p : r) : (q > r ? q : r)) >> 7) + 1; };
    int64_t minX = lo(ax, bx, cx), maxX = hi(ax, bx, cx), minY = lo(ay, by, cy), maxY = hi(ay, by, cy);
    if (minX < x1) minX = x1;
    if (minY < y1) minY = y1;
    if (maxX > x2) maxX = x2;
    if (maxY > y2) maxY = y2;
    for (int64_t y = minY; y < maxY; y++) {
        int64_t py = y * 128 + 64;
        for (int64_t x = minX; x < maxX; x++) {
            int64_t px = x * 128 + 64;
            int64_t e0 = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
            int64_t e1 = (cx - bx) * (py - by) - (cy - by) * (px - bx);
            int64_t e2 = (ax - cx) * (py - cy) - (ay - cy) * (px - cx);
            bool inside = area > 0 ? (e0 >= 0 && e1 >= 0 && e2 >= 0) : (e0 <= 0 && e1 <= 0 && e2 <= 0);
            if (inside) Put((int32_t)x, (int32_t)y, pixel);
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

void Triangle(const void* p1, const void* p2, const void* p3, uint32_t colour, uint32_t, int32_t) {
    g.triangles++;
    if (!g.pixels) return;
    uint32_t pixel = Pack((int32_t)(colour >> 16 & 0xFF), (int32_t)(colour >> 8 & 0xFF), (int32_t)(colour & 0xFF));
    FillTriangle(static_cast<const _HW3D_VERTEX*>(p1), static_cast<const _HW3D_VERTEX*>(p2),
                 static_cast<const _HW3D_VERTEX*>(p3), pixel);
}

// Textures are not drawn: the quad takes its first vertex's colour.
void Quad(const void* p1, const void* p2, const void* p3, const void* p4, const void*, int32_t) {
    g.triangles += 2;
    auto* a = static_cast<const _HW3D_VERTEX*>(p1);
    if (!g.pixels || !a) return;
    uint32_t pixel = Pack((int32_t)(a->colour >> 16 & 0xFF), (int32_t)(a->colour >> 8 & 0xFF),
                          (int32_t)(a->colour & 0xFF));
    FillTriangle(a, static_cast<const _HW3D_VERTEX*>(p2), static_cast<const _HW3D_VERTEX*>(p3), pixel);
    FillTriangle(a, static_cast<const _HW3D_VERTEX*>(p3), static_cast<const _HW3D_VERTEX*>(p4), pixel);
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

void RecordList(const void*, int32_t count, int32_t) {
    if (count > 0) g.records += count;
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
