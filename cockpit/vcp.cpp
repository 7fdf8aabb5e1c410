// The cockpit panel module: the panel views and their caches, the drawing
// target and state save, the MFD zoom and the panel redraw scheduler.
#include "cockpit/vcp.h"

#include <algorithm>
#include <cstring>

#include "cockpit/avionkrx.h"
#include "cockpit/hud_draw.h"
#include "cockpit/mfd.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "display/rast.h"
#include "display/vid.h"
#include "base/fix.h"
#include "sim/obj.h"
#include "net/client.h"
#include "render/view.h"
#include "world/level.h"
#include "world/pak.h"

uint8_t vcp_BackgroundsPending = 1;
uint8_t vcp_FullRepaintPending = 1;
uint8_t vcp_PanelDirty = 1;
uint8_t vcp_PanelTarget = 0;
uint8_t vcp_FrameBudget = 0;
uint8_t vcp_FramePhase = 0;
uint8_t vcp_MfdAlternator = 0;
int32_t vcp_LastView = 0;
void* vcp_DeferredUpload = nullptr;
void* vcp_CurrentTexture = nullptr;
uint8_t* vcp_CurrentPixels = nullptr;
uint8_t vcp_ColourTable[9];
uint8_t vcp_WhiteIndex = 0;
uint8_t vcp_DirtyFlags[VCP_GROUPS] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
uint8_t vcp_NightByte = 0;
const uint8_t* vcp_PixelCache[VCP_VIEWS];
void* vcp_EntryCache[VCP_VIEWS];
int32_t vcp_DisplayCentre[2];
int32_t vcp_DisplayScale[2] = {65536, 65536};
int32_t vcp_DisplayFactor = 0;
uint8_t vcp_RectTable = 0;
int32_t mfd_MapZoom = MFD_ZOOM_MIN;
FixSinCosBlock vcp_DisplayTrig;
FixAngles vcp_SavedAngles;
FixWorldPos vcp_PlotPosition;
FixAngles vcp_PlotAngles;

namespace {

#define FULL {0, 0, 319, 239}

// The screen scale (16.16) panel selection sets to 1.0 for the image rects.
int32_t g_screenScale = 65536;
char g_nameBuffer[PAK_TEXTURE_KEY_SIZE];

constexpr int32_t kStackDepth = 8;
_DRAW_SURFACE g_stack[kStackDepth];
uint8_t g_slotStack[kStackDepth];
// Image heights of the cached panels.
int32_t g_heightCache[VCP_VIEWS];
int32_t g_depth = 0;


void Upload(void* entry) {
    if (hw3d_Active && entry && hw3d_Descriptor.uploadImage) hw3d_Descriptor.uploadImage(entry, nullptr, 0, 0);
}

// True when the MFD of group g shows a page whose background is not restored.
bool MfdKeepsPicture(int32_t group) {
    return mfd_PageKeepsPicture(group == VCP_GROUP_MFD_RIGHT ? mfd_RightPage : mfd_LeftPage);
}

// One panel repaint: push, select the panel, restore, gauges, pop, upload.
// A panel without image pixels is skipped whole.
void Repaint(int32_t view, bool restore, int32_t routines, bool defer, int32_t group, bool count = true) {
    vcp_DrawStatePush();
    vcp_CockpitPanel = view;
    if (vcp_PanelTargetSelect() == 0) {
        if (restore) avionkrx_RestoreLoresBackgrounds();
        if (view == 3) {
            mfd_LeftDraw();
        } else if (view == 5) {
            mfd_RightDraw();
        } else {
            for (int32_t r = 0; r < routines; r++) avionkrx_GaugesDraw(view, r);
        }
        vcp_DrawStatePop();
        if (defer) vcp_DeferredUpload = vcp_CurrentTexture;
        else Upload(vcp_CurrentTexture);
    } else {
        vcp_DrawStatePop();
    }
    if (group >= 0) vcp_DirtyFlags[group] = 0;
    if (count) vcp_FrameBudget++;
}

void RepaintMfd(int32_t side) {
    const int32_t group = side ? VCP_GROUP_MFD_RIGHT : VCP_GROUP_MFD_LEFT;
    Repaint(side ? 5 : 3, !MfdKeepsPicture(group), 1, false, group);
}

};  // namespace

const VcpView vcp_Views[VCP_VIEWS] = {
    {"KRXVRTC:KRXG02.PCX", "KRXVRTCN:KRXG02N.PCX", 256, {0, 0, 255, 255}, FULL, nullptr},
    {"KRXVRTC:KRXG02.PCX", "KRXVRTCN:KRXG02N.PCX", 256, {0, 0, 255, 255}, FULL, vcp_InstrumentsDraw},
    {"KRXVRTC:KRXG03.PCX", "KRXVRTCN:KRXG03N.PCX", 256, {0, 0, 255, 255}, {66, 25, 254, 214}, mfd_LeftDraw},
    {"KRXVRTC:KRXG04.PCX", "KRXVRTCN:KRXG04N.PCX", 128, {0, 0, 128, 128}, FULL, vcp_InstrumentsDraw},
    {"KRXVRTC:KRXG05.PCX", "KRXVRTCN:KRXG05N.PCX", 256, {0, 0, 255, 255}, {66, 25, 254, 214}, mfd_RightDraw},
    {"KRXVRTC:KRXG08.PCX", "KRXVRTCN:KRXG08N.PCX", 128, {0, 0, 127, 127}, FULL, vcp_CentreConsoleRepaint},
    {"KRXVRTC:KRXG06.PCX", "KRXVRTCN:KRXG06N.PCX", 32, {0, 0, 31, 31}, FULL, nullptr},
    {"KRXVRTC:KRXG02.PCX", "KRXVRTCN:KRXG02N.PCX", 32, {0, 0, 31, 31}, FULL, nullptr},
    {"KRXVRTC:KRXG02.PCX", "KRXVRTCN:KRXG02N.PCX", 32, {0, 0, 31, 31}, FULL, vcp_InstrumentsDraw},
    {"KRXVRTC:KRXG11.PCX", "KRXVRTCN:KRXG11N.PCX", 64, {0, 0, 63, 63}, FULL, vcp_InstrumentsDraw},
    {"KRXVRTC:KRXG12.PCX", "KRXVRTCN:KRXG12N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG13.PCX", "KRXVRTCN:KRXG13N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG02.PCX", "KRXVRTCN:KRXG02N.PCX", 32, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG14.PCX", "KRXVRTCN:KRXG14N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG15.PCX", "KRXVRTCN:KRXG15N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG16.PCX", "KRXVRTCN:KRXG16N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG17.PCX", "KRXVRTCN:KRXG17N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXV12.PCX", "KRXVRTCN:KRXV12N.PCX", 32, {0, 0, 31, 63}, FULL, nullptr},
    {"KRXVRTC:KRXG09.PCX", "KRXVRTCN:KRXG09N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG01.PCX", "KRXVRTCN:KRXG01N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRX_LANT.PCX", "KRXVRTCN:KRX_LANT.PCX", 256, {0, 0, 255, 255}, FULL, nullptr},
    {"KRXVRTC:KRX_LANT.PCX", "KRXVRTCN:KRX_LANT.PCX", 128, {0, 0, 127, 127}, {241, 5, 316, 80}, nullptr},
    {"KRXVRTC:KRX_LANT.PCX", "KRXVRTCN:KRX_LANT.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
    {"KRXVRTC:KRXG07.PCX", "KRXVRTCN:KRXG07N.PCX", 128, {0, 0, 127, 127}, FULL, nullptr},
};
#undef FULL

void vcp_DisplayFactorUpdate(void) {
    vcp_DisplayFactor = (int32_t)(((int64_t)((256 * (int64_t)vcp_DisplayScale[0]) >> 16) * mfd_MapZoom) >> 16);
}

void vcp_PanelCacheClear(void) {
    memset(vcp_PixelCache, 0, sizeof vcp_PixelCache);
    memset(vcp_EntryCache, 0, sizeof vcp_EntryCache);
    vcp_BackgroundsPending = 1;
}

void vcp_PanelArtLoad(void) {
    memset(avionkrx_Backgrounds, 0, sizeof avionkrx_Backgrounds);
    avionkrx_LoadAvionicAssets();
    vcp_PanelCacheClear();
}

void vcp_PanelArtFree(void) {
    // The background buffers are the gauge module's; it frees them with its art.
    avionkrx_ReleaseAvionicAssets();
    vcp_PanelCacheClear();
}

void vcp_ViewportFromRect(int32_t view) {
    if (view < 0 || view >= VCP_VIEWS) return;
    const int32_t* r = vcp_RectTable ? vcp_Views[view].image : vcp_Views[view].screen;
    int32_t c[4];
    for (int32_t i = 0; i < 4; i++) c[i] = (int32_t)(((int64_t)r[i] * g_screenScale) >> 16);
    _DRAW_SURFACE& s = draw_CurrentSurface;
    s.clipX1 = c[0];
    s.clipY1 = c[1];
    s.clipX2 = c[2];
    s.clipY2 = c[3];
    s.clipX1F = c[0] * 128;
    s.clipY1F = c[1] * 128;
    s.clipX2F = c[2] * 128;
    s.clipY2F = c[3] * 128;
    vcp_DisplayCentre[0] = (c[0] + c[2]) / 2;
    vcp_DisplayCentre[1] = (c[1] + c[3]) / 2;
}

int32_t vcp_PanelTargetSelect(void) {
    const int32_t view = vcp_CockpitPanel - 1;
    if (view < 0 || view >= VCP_VIEWS) return -1;
    const VcpView& v = vcp_Views[view];
    vcp_PanelTarget = 1;
    if (!vcp_PixelCache[view]) {
        const char* name = vcp_NightByte ? v.nightImage : v.dayImage;
        strncpy(g_nameBuffer, name, sizeof g_nameBuffer - 1);
        g_nameBuffer[sizeof g_nameBuffer - 1] = 0;
        vcp_PixelCache[view] = pak_TextureFind(g_nameBuffer);
        g_heightCache[view] = vcp_PixelCache[view] ? pak_TextureHeight : 0;
        if (hw3d_Active) vcp_EntryCache[view] = pak_TextureEntryFind(g_nameBuffer);
    }
    vcp_CurrentPixels = const_cast<uint8_t*>(vcp_PixelCache[view]);
    vcp_CurrentTexture = hw3d_Active ? vcp_EntryCache[view] : nullptr;
    if (vcp_CurrentTexture && hw3d_Descriptor.prepareImage) hw3d_Descriptor.prepareImage(vcp_CurrentTexture);
    // A missing image: nothing may draw through a null surface.
    if (!vcp_CurrentPixels) return -1;
    _DRAW_SURFACE& s = draw_CurrentSurface;
    s.base = vcp_CurrentPixels;
    vcp_RectTable = 1;
    s.width = s.bytesPerRow = v.rowWidth;
    // Never past the image: a rect row beyond its height is left out.
    s.height = std::min(v.image[3] + 1, g_heightCache[view]);
    s.size = s.width * s.height;
    s.xScale = v.rowWidth * 256 / 320;
    s.bitsPerPixel = 8;
    s.bytesPerPixel = 1;
    draw_Context.colourSlot = 8;
    poly_SetPixelMode(vid_State.bitsPerPixel == 16 ? 2 : 1);
    const int32_t scale = g_screenScale;
    g_screenScale = 65536;
    vcp_ViewportFromRect(view);
    g_screenScale = scale;
    s.clipY2 = std::min(s.clipY2, s.height);
    s.clipY2F = s.clipY2 * 128;
    const int32_t* im = v.image;
    const int32_t* sc = v.screen;
    vcp_DisplayScale[0] = ((im[2] - im[0]) << 16) / (sc[2] - sc[0]);
    vcp_DisplayScale[1] = ((im[3] - im[1]) << 16) / (sc[3] - sc[1]);
    s.centreXF = (im[2] - im[0]) * 64;
    s.centreYF = (im[3] - im[1]) * 64;
    vcp_DisplayFactorUpdate();
    return 0;
}

void vcp_ScreenTargetSelect(void) {
    vcp_RectTable = 0;
    vcp_PanelTarget = 0;
    g_screenScale = draw_CurrentSurface.widthScale ? draw_CurrentSurface.widthScale : 65536;
    vcp_ViewportFromRect(vcp_CockpitPanel - 1);
    vcp_DisplayScale[0] = vcp_DisplayScale[1] = g_screenScale;
    vcp_DisplayFactorUpdate();
}

void vcp_DrawStatePush(void) {
    if (g_depth < kStackDepth) {
        g_stack[g_depth] = draw_CurrentSurface;
        g_slotStack[g_depth] = draw_Context.colourSlot;
    }
    g_depth++;
    // The MFD plots' rotation block: the player's angles, or those the
    // cockpit model pass kept while the 3D cockpit view is on.
    const ObjectRecord* player = Client_PlayerObject;
    FixAngles a{};
    if ((ViewFlags & 0x8000) && !view_Words.cockpitToCockpit) a = vcp_SavedAngles;
    else if (player) a = player->angles;
    fix_SinCosAngles(a.heading, a.pitch, a.roll, &vcp_DisplayTrig);
    fix_TrigToDouble(&vcp_DisplayTrig);
    if (player) {
        vcp_PlotPosition = player->position;
        vcp_PlotAngles = a;
    }
}

void vcp_DrawStatePop(void) {
    if (g_depth <= 0) return;
    g_depth--;
    if (g_depth < kStackDepth) {
        draw_CurrentSurface = g_stack[g_depth];
        draw_Context.colourSlot = g_slotStack[g_depth];
    }
    vcp_PanelTarget = 0;
    const int32_t bits = draw_CurrentSurface.bitsPerPixel;
    poly_SetPixelMode(bits == 32 ? 5 : bits == 16 ? 3 : vid_State.bitsPerPixel == 16 ? 2 : 1);
}

void mfd_MapZoomAdjust(int32_t step) {
    const int64_t z = (int64_t)mfd_MapZoom - step;
    mfd_MapZoom = (int32_t)std::clamp<int64_t>(z, MFD_ZOOM_MIN, MFD_ZOOM_MAX);
}

void mem_FillDwords(void* dest, uint32_t value, size_t bytes) {
    uint8_t* p = static_cast<uint8_t*>(dest);
    uint8_t v[4];
    memcpy(v, &value, 4);
    for (size_t i = 0; i < bytes; i++) p[i] = v[i & 3];
}
void mem_FillDwordsC(void* dest, uint32_t value, size_t bytes) { mem_FillDwords(dest, value, bytes); }

void vcp_DrawUpperRightConsole(void) { Repaint(2, true, 2, false, VCP_GROUP_ODOMETER); }

void vcp_DrawCentreConsole(void) {
    static const int32_t views[5] = {4, 14, 15, 16, 17};
    static const int32_t groups[5] = {VCP_GROUP_ATTITUDE, VCP_GROUP_AIRSPEED, VCP_GROUP_ALTIMETER, VCP_GROUP_AOA,
                                      VCP_GROUP_VVI};
    for (int32_t i = 0; i < 5; i++) Repaint(views[i], true, 1, false, groups[i]);
}

void vcp_DrawRightGauges(void) {
    Repaint(10, true, 1, false, VCP_GROUP_NOZZLE);
    Repaint(11, true, 1, false, VCP_GROUP_RPM);
    Repaint(12, true, 1, false, VCP_GROUP_TEMPERATURE);
}

void vcp_CentreConsoleRepaint(void) {
    vcp_DrawStatePop();
    vcp_DrawCentreConsole();
}

void vcp_HudPanelClear(void) {
    Repaint(VCP_HUD_VIEW, true, 0, false, -1, false);
    HudDrawing = 0;
}

void vcp_InstrumentsDraw(void) {
    const bool pending = vcp_BackgroundsPending || vcp_FullRepaintPending;
    if (!view_Words.cockpitToCockpit && !pending && !(ViewFlags & 4)) return;
    if (!pending && ViewedObject != Client_PlayerObject) return;
    if (vcp_BackgroundsPending) {
        vcp_BackgroundsPending = 0;
        avionkrx_RestoreLoresBackgrounds();
        vcp_FullRepaintPending = 1;
        return;
    }
    bool carry = false;
    if (vcp_FullRepaintPending) {
        vcp_DrawUpperRightConsole();
        Repaint(3, true, 1, false, VCP_GROUP_MFD_LEFT);
        vcp_DrawCentreConsole();
        Repaint(5, true, 1, false, VCP_GROUP_MFD_RIGHT);
        Repaint(6, true, 1, false, VCP_GROUP_HEADING);
        vcp_DrawRightGauges();
        Repaint(19, true, 2, false, VCP_GROUP_STICK);
        Repaint(20, true, 1, false, VCP_GROUP_THREAT);
        Repaint(24, true, 1, false, VCP_GROUP_GEAR);
        vcp_FullRepaintPending = 0;
    } else {
        // The view's heading as the pilot turns his head: away from the
        // aircraft's nose by more than 40 steps, the panels are out of sight.
        const ObjectRecord* player = Client_PlayerObject;
        const uint32_t nose = player ? (uint32_t)player->angles.heading : 0u;
        const int32_t heading = (int32_t)((((uint32_t)view_State.angles.heading - nose) & 0x1FFFFFF) >> 16);
        if (heading > 40 && heading < 400) return;
        avionkrx_GaugeChangeDetect();
        uint8_t* d = vcp_DirtyFlags;
        if (vcp_FrameBudget && vcp_FramePhase) {
            vcp_FrameBudget = 0;
            vcp_FramePhase = 0;
        } else {
            vcp_FrameBudget = 0;
            vcp_FramePhase++;
            if (d[VCP_GROUP_ATTITUDE]) {
                Repaint(2, false, 1, true, -1, false);
                Repaint(4, true, 1, false, -1, false);
                d[VCP_GROUP_ATTITUDE] = 0;
                vcp_FrameBudget = 2;
            }
        }
        const bool phase = vcp_FramePhase != 0;
        if (d[VCP_GROUP_THREAT] && phase) {
            Repaint(20, true, 1, false, -1, false);
        }
        if (d[VCP_GROUP_MFD_LEFT] && d[VCP_GROUP_MFD_RIGHT]) {
            if (vcp_MfdAlternator) {
                RepaintMfd(0);
                vcp_MfdAlternator = 0;
            } else {
                RepaintMfd(1);
                vcp_MfdAlternator++;
            }
        } else if (d[VCP_GROUP_MFD_LEFT]) {
            RepaintMfd(0);
            vcp_MfdAlternator = 0;
        } else if (d[VCP_GROUP_MFD_RIGHT]) {
            RepaintMfd(1);
            vcp_MfdAlternator++;
        }
        if (d[VCP_GROUP_ALTIMETER]) Repaint(15, true, 1, false, VCP_GROUP_ALTIMETER);
        if (d[VCP_GROUP_AIRSPEED]) Repaint(14, true, 1, false, VCP_GROUP_AIRSPEED);
        if (d[VCP_GROUP_HEADING] && heading > 400 && heading < 508) Repaint(6, true, 1, false, VCP_GROUP_HEADING);
        if (!(vcp_FrameBudget > 4 && phase) && d[VCP_GROUP_AOA]) {
            Repaint(16, false, 1, false, VCP_GROUP_AOA);
            if (d[VCP_GROUP_CATEGORY]) Repaint(18, true, 1, false, VCP_GROUP_CATEGORY);
        }
        if (!(vcp_FrameBudget > 4 && !phase)) {
            if (d[VCP_GROUP_VVI]) Repaint(17, false, 1, false, VCP_GROUP_VVI);
            if (d[VCP_GROUP_ODOMETER]) Repaint(2, false, 1, true, VCP_GROUP_ODOMETER);
        }
        if (!(vcp_FrameBudget > 5 && !phase) && d[VCP_GROUP_NOZZLE]) Repaint(10, true, 1, false, VCP_GROUP_NOZZLE);
        if (!(vcp_FrameBudget > 5 && phase) && d[VCP_GROUP_RPM]) Repaint(11, true, 1, false, VCP_GROUP_RPM);
        if (vcp_FrameBudget > 5 && !phase) {
            carry = true;
        } else {
            if (d[VCP_GROUP_TEMPERATURE]) Repaint(12, true, 1, false, VCP_GROUP_TEMPERATURE);
            if (d[VCP_GROUP_STICK]) Repaint(19, true, 2, false, VCP_GROUP_STICK);
            if (d[VCP_GROUP_GEAR]) Repaint(24, true, 1, false, VCP_GROUP_GEAR);
        }
    }
    if (!carry) vcp_FrameBudget = (vcp_FrameBudget == 0 && vcp_FramePhase) ? 1 : 0;
    if (vcp_DeferredUpload) {
        Upload(vcp_DeferredUpload);
        vcp_DeferredUpload = nullptr;
    }
    vcp_PanelDirty = 1;
}

void vcp_CockpitSetup(void) {
    mfd_MapZoom = MFD_ZOOM_MIN;
    memset(vcp_ColourTable, (uint8_t)level_MfdColour, 8);
    vcp_ColourTable[8] = 0;
    vcp_PanelTarget = 0;
    pal_Current.work.red = pal_Current.work.green = pal_Current.work.blue = 255;
    vcp_WhiteIndex = (uint8_t)pal_MatchStoredRgb();
    memset(pal_Current.palette + 23 * 3, 128, 3);
    vcp_DeferredUpload = nullptr;
    vcp_FullRepaintPending = 1;
    avion_DisplayStateReset();
    if (vcp_BackgroundsPending) vcp_InstrumentsDraw();
}

void vcp_PanelViewSelect(int32_t mode) {
    if (mode == 1) {
        vcp_ScreenTargetSelect();
    } else if (mode == 2) {
        avionkrx_GlassReflectionRefresh();
        return;
    } else {
        vcp_PanelTargetSelect();
    }
    vcp_PanelViewDraw();
}

void vcp_PanelViewDraw(void) {
    if (!Client_PlayerObject || ViewedObject != Client_PlayerObject) return;
    if (vcp_FullRepaintPending) {
        const int32_t view = vcp_CockpitPanel;
        vcp_InstrumentsDraw();
        vcp_CockpitPanel = view;
    }
    const int32_t view = vcp_CockpitPanel;
    if (view < 1 || view > VCP_VIEWS) return;
    void (*routine)(void) = vcp_Views[view - 1].draw;
    if (!routine) return;
    if (routine == vcp_InstrumentsDraw) {
        vcp_DrawStatePush();
        vcp_PanelTargetSelect();
        routine();
        vcp_DrawStatePop();
    } else {
        if (vcp_PanelDirty || view != vcp_LastView) {
            vcp_DrawStatePush();
            const int32_t group = view == 3 ? VCP_GROUP_MFD_LEFT : VCP_GROUP_MFD_RIGHT;
            if (vcp_PanelTargetSelect() == 0 && view != 6 && !((view == 3 || view == 5) && MfdKeepsPicture(group)))
                avionkrx_RestoreLoresBackgrounds();
            vcp_DrawStatePop();
            vcp_PanelDirty = 0;
            vcp_LastView = view;
        }
        vcp_DrawStatePush();
        vcp_ScreenTargetSelect();
        routine();
        vcp_DrawStatePop();
    }
    Upload(vcp_CurrentTexture);
}
