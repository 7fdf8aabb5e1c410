// Screen shake and screenshots, the two frame-level services of the frame
// composition.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "base/file.h"
#include "base/mem.h"
#include "base/table.h"
#include "debug/dbgtext.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "display/vid.h"
#include "platform/simlog.h"
#include "render/render.h"
#include "shell/dump.h"

float render_ShakeRequest = 0.0f;
int32_t render_ShakeOffsets[4] = {0, 0, 0, 0};
int32_t render_ScreenshotCounter = 0;
char render_ScreenshotName[32] = "";
char render_ScreenMessage[64] = "";

namespace {

const MathTableRow kShakeCurve[] = {{0.0f, 0.0f}, {0.5f, 0.05f}, {0.75f, 0.2f}, {1.0f, 1.0f}};

// The eight-frame pattern in units of the amplitude.
const int8_t kShakePattern[8][2] = {{1, 1}, {-1, 0}, {1, -1}, {0, 1}, {-1, -1}, {1, 0}, {-1, 1}, {0, -1}};

// Both projection-centre records: the current surface and the screen's.
void ShakeAdd(int32_t sign) {
    for (_DRAW_SURFACE* s : {&draw_CurrentSurface, &otw_ScreenSurface}) {
        s->centreXF += sign * render_ShakeOffsets[0];
        s->centreYF += sign * render_ShakeOffsets[1];
        s->viewX += sign * render_ShakeOffsets[2];
        s->viewY += sign * render_ShakeOffsets[3];
    }
}

struct Channel {
    uint32_t mask;
    int32_t shift, bits;
};
Channel ChannelOf(uint32_t mask) {
    Channel c{mask, 0, 0};
    if (!mask) return c;
    while (!(mask & 1u)) mask >>= 1, c.shift++;
    while (mask & 1u) mask >>= 1, c.bits++;
    return c;
}
uint8_t Component(uint32_t pixel, const Channel& c) {
    if (!c.bits) return 0;
    const uint32_t v = (pixel & c.mask) >> c.shift;
    return (uint8_t)(c.bits >= 8 ? v >> (c.bits - 8) : v << (8 - c.bits));
}

// The first "SNAP%04d.PCX" no file has yet; "SNAPXXXX.PCX" when all exist.
void PcxNameGet(char* buffer, size_t size) {
    for (int32_t n = 0; n < 10000; n++) {
        snprintf(buffer, size, "SNAP%04d.PCX", (int)n);
        if (!file_ExistsOnDisk(buffer)) return;
    }
    snprintf(buffer, size, "SNAPXXXX.PCX");
}

// 0 when the file was written.
int32_t WriteRaw(const _DRAW_SURFACE& s, const char* name) {
    const int64_t length = (int64_t)s.width * s.height * 3;
    if (length <= 0 || length > 0x7FFFFFFF) return -1;
    uint8_t* rgb = static_cast<uint8_t*>(mem_Alloc((uint32_t)length, 4));
    if (!rgb) return -1;
    const Channel r = ChannelOf(vid_State.redMask), g = ChannelOf(vid_State.greenMask),
                  b = ChannelOf(vid_State.blueMask);
    uint8_t* out = rgb;
    for (int32_t y = 0; y < s.height; y++) {
        const uint8_t* row = s.base + (size_t)y * (size_t)s.bytesPerRow;
        for (int32_t x = 0; x < s.width; x++) {
            uint32_t p = 0;
            memcpy(&p, row + (size_t)x * (size_t)s.bytesPerPixel, (size_t)s.bytesPerPixel);
            *out++ = Component(p, r);
            *out++ = Component(p, g);
            *out++ = Component(p, b);
        }
    }
    const int32_t written = file_SaveRaw(name, rgb, (int32_t)length);
    mem_Free(rgb);
    return written < 0 ? -1 : 0;
}

int32_t WritePcx(const _DRAW_SURFACE& s, const char* name) {
    pal_Second.width = s.width;
    pal_Second.height = s.height;
    pal_Second.colourCount = 256;
    memcpy(pal_Second.palette, pal_Current.palette, sizeof pal_Second.palette);
    if (s.bytesPerRow == s.width) return pcx_WriteFile(name, s.base);
    // The writer takes rows without padding.
    uint8_t* rows = static_cast<uint8_t*>(mem_Alloc((uint32_t)s.width * (uint32_t)s.height, 4));
    if (!rows) return -1;
    for (int32_t y = 0; y < s.height; y++)
        memcpy(rows + (size_t)y * (size_t)s.width, s.base + (size_t)y * (size_t)s.bytesPerRow, (size_t)s.width);
    const int32_t result = pcx_WriteFile(name, rows);
    mem_Free(rows);
    return result;
}

}  // namespace

void render_ShakeApply(void) {
    memset(render_ShakeOffsets, 0, sizeof render_ShakeOffsets);
    if (render_ShakeRequest == 0.0f) return;
    float curve = 0.0f;
    math_TableInterp(4, kShakeCurve, render_ShakeRequest, &curve);
    const int32_t a = (int32_t)std::lround(curve * (float)otw_ScreenSurface.width * 0.025f);
    const int32_t big = a * 128;
    const int8_t* p = kShakePattern[render_FrameCounter & 7];
    render_ShakeOffsets[0] = p[0] * big;
    render_ShakeOffsets[1] = p[1] * big;
    render_ShakeOffsets[2] = p[0] * a;
    render_ShakeOffsets[3] = p[1] * a;
    ShakeAdd(1);
}

void render_ShakeRemove(void) {
    ShakeAdd(-1);
    render_ShakeRequest = 0.0f;
}

void render_Screenshot(void) {
    const bool lockedHere = !otw_State.locked || !otw_ScreenSurface.base;
    if (lockedHere) otw_LockSurface();
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    if (!otw_State.locked || !s.base || s.width < 1 || s.height < 1) {
        if (lockedHere && otw_State.locked) otw_UnlockSurface();
        return;
    }
    snprintf(render_ScreenshotName, sizeof render_ScreenshotName, "SNAP%04d", (int)render_ScreenshotCounter);
    int32_t result;
    if (s.bytesPerPixel == 1) {
        // The first free number, as the high-colour files take it, so that
        // older pictures are never overwritten.
        PcxNameGet(render_ScreenshotName, sizeof render_ScreenshotName);
        result = WritePcx(s, render_ScreenshotName);
    } else {
        app_SnapshotNameGet(render_ScreenshotName, sizeof render_ScreenshotName);
        result = WriteRaw(s, render_ScreenshotName);
    }
    if (result == 0) {
        snprintf(render_ScreenMessage, sizeof render_ScreenMessage, "Saved '%s'", render_ScreenshotName);
        dbg_TextLineAdd(render_ScreenMessage);
        plat_SimLog("screen", "%s", render_ScreenMessage);
        render_ScreenshotCounter++;
    }
    if (lockedHere) otw_UnlockSurface();
}
