// Page transitions (the new page revealed pixel by pixel over about 16
// ticks in the order of a mask) and the software cursor, drawn just before
// each flip and taken off just after it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "display/rast.h"
#include "display/vid.h"
#include "menu/mnu.h"
#include "shell/cursor.h"
#include "shell/fatal.h"
#include "shell/mouse.h"

MnuTransition mnu_Transition = {};
MnuCursorState mnu_Cursor = {};

namespace {

constexpr uint32_t kNoiseSeed = 721897921u;
uint32_t g_noise = kNoiseSeed;

// ---------------------------------------------------------------------------
// Masks.

void* AllocOrDie(int32_t size, const char* tag, const char* detail) {
    void* p = mem_AllocEx(static_cast<uint32_t>(size), 4, tag);
    if (!p) app_FatalErrorBoxB("mnu_TransitionSet", detail);
    return p;
}

uint16_t Clamp16(int32_t v) { return static_cast<uint16_t>(v < 0 ? 0 : v > 0xffff ? 0xffff : v); }

// Octagonal distance from the screen centre.
int32_t Distance(int32_t x, int32_t y, int32_t w, int32_t h) {
    int32_t dx = abs(w / 2 - x), dy = abs(h / 2 - y);
    return dx < dy ? dy + dx * 5 / 16 : dx + dy * 5 / 16;
}

void MaskNoise(MnuTransition& t) {
    const int32_t n = t.width * t.height;
    for (int32_t i = 0; i < n; i += 2) {
        uint32_t s = mnu_TransNoise();
        t.mask[i] = static_cast<uint16_t>(s & 0xff);
        if (i + 1 < n) t.mask[i + 1] = static_cast<uint16_t>((s >> 16) & 0xff);
    }
}

// Kinds 2 to 5: one term per pair of pixels, separate noise for each.
template <typename Term>
void MaskPairs(MnuTransition& t, Term term, int32_t noiseSign) {
    for (int32_t y = 0; y < t.height; y++) {
        uint16_t* row = t.mask + static_cast<int64_t>(y) * t.width;
        for (int32_t x = 0; x < t.width; x += 2) {
            int32_t base = term(x, y);
            uint32_t s = mnu_TransNoise();
            row[x] = Clamp16(base + noiseSign * static_cast<int32_t>(s & 63));
            if (x + 1 < t.width) row[x + 1] = Clamp16(base + noiseSign * static_cast<int32_t>((s >> 16) & 63));
        }
    }
}

void MaskFromCentre(MnuTransition& t) {
    MaskPairs(t, [&](int32_t x, int32_t y) { return 255 - static_cast<int32_t>(0.48 * Distance(x, y, t.width, t.height)); }, 1);
}

void MaskFromEdges(MnuTransition& t) {
    MaskPairs(t, [&](int32_t x, int32_t y) { return static_cast<int32_t>(0.48 * Distance(x, y, t.width, t.height)); }, 1);
}

void MaskFromLeft(MnuTransition& t) {
    const int32_t pairsPerStep = t.width / 510 + 1;
    MaskPairs(t, [&](int32_t x, int32_t) {
        int32_t ramp = 255 - (x / 2) / pairsPerStep;
        return ramp <= 64 ? 63 : ramp;
    }, -1);
}

void MaskFromRight(MnuTransition& t) {
    const int32_t pairsPerStep = t.width / 510 + 1;
    MaskPairs(t, [&](int32_t x, int32_t) {
        int32_t ramp = (x / 2) / pairsPerStep;
        return ramp > 192 ? 192 : ramp;
    }, 1);
}

// The shape's triangles at five scales, 5 down to 1, filled with 250 +
// scale by the 8-bit rasteriser into the start of the mask, then widened
// to one 16-bit value per pixel (0 outside the shape: shown last).
void MaskShape(MnuTransition& t, const MnuShape* shape) {
    memset(t.mask, 0, static_cast<size_t>(t.pageSize));
    if (!shape || !shape->triangles || !shape->vertices || shape->triangleCount <= 0) return;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(t.mask);
    const _DRAW_SURFACE saved = draw_CurrentSurface;
    const int32_t savedMode = poly_PixelMode;
    _DRAW_SURFACE d;
    draw_InitSurfaceDesc(&d, bytes, t.width, t.height, 1);
    draw_SelectSurface(&d);
    poly_SetPixelMode(POLY_MODE_8);
    const int32_t cx = t.width / 2, cy = t.height / 2;
    for (int32_t scale = 5; scale >= 1; scale--) {
        for (int32_t i = 0; i < shape->triangleCount; i++) {
            PolyVertex v[3] = {};
            bool ok = true;
            for (int32_t k = 0; k < 3; k++) {
                int32_t index = shape->triangles[i * 3 + k];
                if (index < 0 || index >= shape->vertexCount) {
                    ok = false;
                    break;
                }
                const int32_t* p = shape->vertices + index * 3;
                v[k].x = (cx + p[0] * scale) * 128;
                v[k].y = (cy + p[1] * scale) * 128;
            }
            if (!ok) continue;
            // Either winding: the rasteriser draws only one of the two.
            poly_DrawPolygonTex(&v[0], &v[1], &v[2], bytes, static_cast<uintptr_t>(250 + scale), 0);
            poly_DrawPolygonTex(&v[0], &v[2], &v[1], bytes, static_cast<uintptr_t>(250 + scale), 0);
        }
    }
    poly_SetPixelMode(savedMode);
    draw_SelectSurface(&saved);
    for (int64_t i = static_cast<int64_t>(t.width) * t.height - 1; i >= 0; i--) t.mask[i] = bytes[i];
}

void MaskBuild(MnuTransition& t, const MnuShape* shape) {
    mnu_TransNoiseSeed();
    switch (t.kind) {
    case 1: MaskNoise(t); break;
    case 2:
    case 7: MaskFromCentre(t); break;
    case 3: MaskFromEdges(t); break;
    case 4: MaskFromLeft(t); break;
    case 5: MaskFromRight(t); break;
    case 6: MaskShape(t, shape); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// The cursor's screen copies.

struct Saved {
    int32_t valid;
    int32_t x, y, width, height, bytesPerPixel;
};
Saved g_saved = {};
// Blit depth of the cursor's picture: the display copy is in the screen's
// format, the picture as loaded 5-5-5.
int32_t g_pictureDepth = 15;
// Room for one frame at the deepest pixels.
constexpr int32_t kSaveBytesPerPixel = 4;

// Locks the screen unless it is already; false without pixels.
bool Lock(bool* didLock) {
    *didLock = !otw_State.locked;
    return otw_LockSurface() != nullptr;
}

void Unlock(bool didLock) {
    if (didLock) otw_UnlockSurface();
}

void SaveUnder(int32_t x, int32_t y) {
    g_saved.valid = 0;
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    if (!s.base || !mnu_Cursor.saveUnder) return;
    const int32_t bpp = s.bytesPerPixel;
    int32_t w = mnu_Cursor.width, h = mnu_Cursor.frameHeight;
    if (x < 0 || y < 0 || bpp <= 0 || bpp > kSaveBytesPerPixel) return;
    if (x + w > s.width) w = s.width - x;
    if (y + h > s.height) h = s.height - y;
    if (w <= 0 || h <= 0) return;
    for (int32_t r = 0; r < h; r++)
        memcpy(mnu_Cursor.saveUnder + static_cast<int64_t>(r) * w * bpp,
               s.base + static_cast<int64_t>(y + r) * s.bytesPerRow + static_cast<int64_t>(x) * bpp,
               static_cast<size_t>(w) * bpp);
    g_saved = Saved{1, x, y, w, h, bpp};
}

void RestoreUnder(void) {
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    if (!g_saved.valid || !s.base || !mnu_Cursor.saveUnder || s.bytesPerPixel != g_saved.bytesPerPixel) return;
    if (g_saved.x + g_saved.width > s.width || g_saved.y + g_saved.height > s.height) return;
    const int32_t bpp = g_saved.bytesPerPixel;
    for (int32_t r = 0; r < g_saved.height; r++)
        memcpy(s.base + static_cast<int64_t>(g_saved.y + r) * s.bytesPerRow + static_cast<int64_t>(g_saved.x) * bpp,
               mnu_Cursor.saveUnder + static_cast<int64_t>(r) * g_saved.width * bpp,
               static_cast<size_t>(g_saved.width) * bpp);
    g_saved.valid = 0;
}

void HooksInstall(void) {
    vid_SetPreFlipCallback(mnu_CursorDrawHook);
    vid_SetPostFlipCallback(mnu_CursorRestoreHook);
}

void HooksRemove(void) {
    vid_SetPreFlipCallback(nullptr);
    vid_SetPostFlipCallback(nullptr);
}

}  // namespace

void mnu_TransNoiseSeed(void) { g_noise = kNoiseSeed; }

uint32_t mnu_TransNoise(void) {
    uint32_t t = (g_noise >> 21) + g_noise * 2049u;
    g_noise = (t << 3) | (t >> 29);
    return g_noise;
}

// ---------------------------------------------------------------------------
// Transitions.

void mnu_TransitionFree(void) {
    MnuTransition& t = mnu_Transition;
    if (t.outPage) mem_Free(t.outPage);
    if (t.inPage) mem_Free(t.inPage);
    if (t.mask) mem_Free(t.mask);
    t = MnuTransition{};
}

void mnu_TransitionSet(MnuContext* c, int32_t kind, const char* windowName, MnuPageRoutine draw,
                       const char* soundName, const MnuShape* shape) {
    mnu_TransitionFree();
    MnuTransition& t = mnu_Transition;
    if (soundName && soundName[0]) mnu_SoundEventPlay(c, soundName);
    uint8_t* pixels = otw_LockSurface();
    if (pixels) {
        const _DRAW_SURFACE& s = otw_ScreenSurface;
        const int32_t bpp = s.bytesPerPixel > 0 ? s.bytesPerPixel : 1;
        const int64_t size = static_cast<int64_t>(s.bytesPerRow) * s.height;
        if (size > 0 && size <= INT32_MAX) {
            t.pageSize = static_cast<int32_t>(size);
            t.width = s.bytesPerRow / bpp;
            t.height = s.height;
            t.outPage = static_cast<uint8_t*>(AllocOrDie(t.pageSize, "mnu Trans Out Page", "TransitionMgr.out_page"));
            memcpy(t.outPage, pixels, static_cast<size_t>(t.pageSize));
            if (draw)
                draw();
            else
                memset(pixels, 0, static_cast<size_t>(t.pageSize));
            // The page routine may have let the surface go.
            pixels = otw_LockSurface();
            t.inPage = static_cast<uint8_t*>(AllocOrDie(t.pageSize, "mnu Trans In Page", "TransitionMgr.in_page"));
            if (pixels) {
                memcpy(t.inPage, pixels, static_cast<size_t>(t.pageSize));
                memcpy(pixels, t.outPage, static_cast<size_t>(t.pageSize));
            }
        }
    }
    otw_UnlockSurface();
    t.kind = kind;
    t.context = c;
    snprintf(t.window, sizeof t.window, "%s", windowName ? windowName : "");
    snprintf(t.sound, sizeof t.sound, "%s", soundName ? soundName : "");
    // A kind without routines would leave the menus waiting on a transition
    // that never steps: only the known kinds run.
    if (kind < 1 || kind > 7) return;
    if (t.pageSize > 0) {
        t.mask = static_cast<uint16_t*>(AllocOrDie(t.pageSize, "mnu Trans Scatter Page", "TransitionMgr.scatter_page"));
        // One 16-bit value a pixel must fit the page's bytes.
        if (static_cast<int64_t>(t.width) * t.height * 2 > t.pageSize) t.height = t.pageSize / 2 / (t.width ? t.width : 1);
    }
    t.step = mnu_TransitionStep;
    t.draw = mnu_TransitionDraw;
    t.speed = 16;
    t.running = 1;
    if (t.mask) MaskBuild(t, shape);
}

int32_t mnu_TransitionStep(void) {
    MnuTransition& t = mnu_Transition;
    int32_t next = t.threshold + t.speed;
    t.threshold = static_cast<uint8_t>(next > 255 ? 255 : next);
    if (t.finished) {
        mnu_TransitionFree();
        return 0;
    }
    if (t.threshold >= 255) {
        t.finished = 1;
        mnu_WindowRefresh(t.context, t.window, nullptr, 0);
    }
    mnu_Idle();
    return 0;
}

void mnu_TransitionDraw(void) {
    MnuTransition& t = mnu_Transition;
    uint8_t* pixels = otw_LockSurface();
    if (pixels && t.inPage && t.mask) {
        const _DRAW_SURFACE& s = otw_ScreenSurface;
        const int32_t bpp = s.bytesPerPixel;
        const int64_t size = static_cast<int64_t>(s.bytesPerRow) * s.height;
        if (bpp > 0 && size == t.pageSize) {
            const uint16_t limit = static_cast<uint16_t>(255 - t.threshold);
            const int64_t n = static_cast<int64_t>(t.width) * t.height;
            for (int64_t i = 0; i < n; i++)
                if (t.mask[i] >= limit) memcpy(pixels + i * bpp, t.inPage + i * bpp, static_cast<size_t>(bpp));
        }
    }
    otw_UnlockSurface();
    otw_PresentFrame();
}

int32_t mnu_TransitionFrame(void) {
    if (!mnu_Transition.draw) return 0;
    mnu_Transition.draw();
    mnu_Idle();
    mnu_PageCallbackRun();
    return 1;
}

// ---------------------------------------------------------------------------
// The software cursor.

int32_t mnu_CursorSet(MnuContext* c, const char* name) {
    MnuCursor* cur = mnu_CursorFind(c, name);
    if (!cur) return 0;
    if (MnuImage* im = mnu_ImageFind(c, cur->imageName)) {
        mnu_CursorImageSet(c, cur->imageName, im->frameCount, cur->frameDelay);
        mnu_CursorHotSpotSet(cur->hotX, cur->hotY);
    }
    if (otw_State.windowed) {
        mnu_CursorHotSpotClear();
        mnu_CursorHide();
        app_CursorShowLoop();
    }
    return 1;
}

void mnu_CursorImageSet(MnuContext* c, const char* imageName, int32_t frames, int32_t delay) {
    MnuCursorState& k = mnu_Cursor;
    if (otw_State.windowed) {
        HooksRemove();
        mnu_CursorHide();
        app_CursorShowLoop();
    } else {
        HooksInstall();
        k.drawing = 1;
        app_CursorHideLoop();
    }
    MnuImage* im = mnu_ImageFind(c, imageName);
    if (!im) return;
    mnu_CursorHotSpotClear();
    const uint8_t* picture = mnu_ImagePicture(im);
    if (!picture) return;
    if (k.saveUnder) mem_GlobalFreeNamed(k.saveUnder);
    k.saveUnder = nullptr;
    g_saved.valid = 0;
    if (frames < 1) frames = 1;
    k.picture = picture;
    k.frame = picture;
    k.width = im->width;
    k.frameHeight = im->height / frames;
    k.bitsPerPixel = im->displayCopy ? otw_ScreenSurface.bytesPerPixel * 8 : 16;
    g_pictureDepth = im->displayCopy ? k.bitsPerPixel : 15;
    k.frameCount = frames;
    k.delay = delay;
    k.current = 0;
    k.tick = 0;
    k.bytesPerFrame = k.width * k.frameHeight * (k.bitsPerPixel / 8);
    k.x = app_MouseState.x;
    k.y = app_MouseState.y;
    k.saveUnder = static_cast<uint8_t*>(
        mem_GlobalAllocNamed("XCursor.scratch", k.width * k.frameHeight * kSaveBytesPerPixel));
    k.active = 1;
}

void mnu_CursorStep(void) {
    MnuCursorState& k = mnu_Cursor;
    k.x = app_MouseState.x;
    k.y = app_MouseState.y;
    if (!k.active) return;
    if (k.tick < k.delay) {
        k.tick++;
        return;
    }
    k.tick = 0;
    if (++k.current >= k.frameCount) k.current = 0;
    k.frame = k.picture + static_cast<int64_t>(k.current) * k.bytesPerFrame;
}

void mnu_CursorDrawHook(int32_t width, int32_t height) {
    MnuCursorState& k = mnu_Cursor;
    if (!k.active) return;
    if (k.x < k.hotX) k.x = k.hotX;
    if (k.x > width - k.width) k.x = width - k.width;
    if (k.y < k.hotY) k.y = k.hotY;
    if (k.y > height - k.frameHeight) k.y = height - k.frameHeight;
    if (k.x < 0) k.x = 0;
    if (k.y < 0) k.y = 0;
    if (!k.drawing) return;
    bool didLock;
    if (!Lock(&didLock)) return;
    SaveUnder(k.x, k.y);
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    draw_SetBlitDest(s.base, s.bytesPerRow / (s.bytesPerPixel > 0 ? s.bytesPerPixel : 1));
    draw_SetBlitSource(const_cast<uint8_t*>(k.picture), k.width);
    draw_SetBlitSourceRows(k.frameHeight * k.frameCount);
    draw_BlitRect(k.x, k.y, k.width, k.frameHeight, 0, k.current * k.frameHeight, g_pictureDepth, 1);
    Unlock(didLock);
}

void mnu_CursorRestoreHook(int32_t, int32_t) {
    if (!mnu_Cursor.active || !mnu_Cursor.drawing) return;
    bool didLock;
    if (!Lock(&didLock)) return;
    RestoreUnder();
    Unlock(didLock);
}

void mnu_CursorHide(void) {
    if (!mnu_Cursor.active) return;
    mnu_CursorRestoreHook(640, 480);
    mnu_Cursor.drawing = 0;
    mnu_CursorHotSpotClear();
}

void mnu_CursorShow(void) {
    if (mnu_Cursor.active) mnu_Cursor.drawing = 1;
}

void mnu_CursorRelease(void) {
    if (!mnu_Cursor.active) return;
    HooksRemove();
    if (mnu_Cursor.saveUnder) mem_GlobalFreeNamed(mnu_Cursor.saveUnder);
    mnu_Cursor = MnuCursorState{};
    g_saved.valid = 0;
}

void mnu_CursorMoveTo(int32_t x, int32_t y) {
    mnu_Cursor.x = x;
    mnu_Cursor.y = y;
}

void mnu_CursorHotSpotSet(int32_t x, int32_t y) {
    mnu_Cursor.hotX = x;
    mnu_Cursor.hotY = y;
}

void mnu_CursorHotSpotClear(void) { mnu_Cursor.hotX = mnu_Cursor.hotY = 0; }
