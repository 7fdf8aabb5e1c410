// Frame composition: one picture of the flight per client draw, on the 3D
// card's path or the software path, each in its fixed order of world,
// cockpit layers, tints, overlays and the in-game screen state.
#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "cockpit/avion.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"
#include "debug/dbgobj.h"
#include "debug/dbgreadout.h"
#include "debug/dbgtext.h"
#include "debug/timecomp.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/rast.h"
#include "display/vid.h"
#include "input/inmap.h"
#include "input/instate.h"
#include "net/client.h"
#include "render/render.h"
#include "render/sky.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/level.h"
#include "world/terrain_draw.h"

int32_t render_FrameCounter = 0;
int32_t render_FrameRate = 0;
int32_t render_RateFrames = -1;
uint32_t render_RateTick = 0;
uint8_t render_WorldWanted = 0;
int32_t render_LockedHere = 0;
uint8_t render_ScreenCaptured = 0;
uint8_t render_OneShotAction = 0;
uint8_t render_WindowedToggleRequest = 0;
int32_t render_EndOfFlight = 0;
uint32_t render_EndStamp = 0;
uint8_t render_EndStampFlag = 0;
uint8_t render_EndNotice = 0;
uint8_t render_PaletteFlash = 0;
uint8_t render_BasePalette[768];
uint8_t render_WorkingPalette[768];
uint8_t render_PaletteRequest = 0;
int32_t render_GEffectKind = 0;
int32_t render_GEffectLevel = 0;
int32_t render_SkyDetail = 1;
uint8_t render_EjectionSequence = 0;
int32_t render_AboveCloudDeck = 0;
int32_t render_CloudHazeOffset = 0;
const uint8_t* render_ShadeTables[2] = {nullptr, nullptr};

namespace {

// The software sky by detail index; both entries are the same routine.
void (*const kSoftSky[2])(void) = {sky_SoftDraw, sky_SoftDraw};

bool Locked(void) { return otw_State.locked != 0; }


bool WorldWanted(void) {
    if (ViewFlags & VIEW_OPT_PANEL) return view_Words.cockpitToCockpit != 0;
    return true;
}

// Cockpit hook 4: with panel-first views, or panel views during a change
// between cockpit views.
void PanelRedraw(void) {
    if ((ViewFlags & VIEW_OPT_PANEL_FIRST) || ((ViewFlags & VIEW_OPT_PANEL) && view_Words.cockpitToCockpit))
        avion_InstrumentsHookCall();
}

void ViewedMark(bool on) {
    ObjectRecord* o = ViewedObject;
    if (!o) return;
    if (on) {
        if (ViewFlags & (VIEW_OPT_HIDE_COCKPIT | VIEW_OPT_HIDE_VIEWED)) o->drawFlags |= 2;
    } else {
        o->drawFlags &= (uint8_t)~2u;
    }
}

bool StarsWanted(void) { return !sky_InsideCloud && (level_TimeOfDay == 1 || render_AboveCloudDeck); }

// The terrain and its objects with the world's near plane; the span state
// takes the level's shade table first.
void TerrainPass(void) {
    if (level_ShadeTable) {
        render_ShadeTables[0] = render_ShadeTables[1] = level_ShadeTable;
        poly_SpanState.shadeTable = level_ShadeTable;
        poly_SpanState.shadeRows = 32;
    }
    const int32_t near = view_NearPlane;
    view_NearPlane = 0x1000;
    terrain_DrawFrame();
    view_NearPlane = near;
}

void ParticleField(void) {
    if (render_ParticleFieldReady && render_ParticleFieldShown) render_ParticleFieldDraw();
}

void HudHookPass(void) {
    const uint8_t nav = inmap_NavOverlay;
    inmap_NavOverlay = 0;
    if (!Locked()) otw_LockSurface();
    const int32_t nearA = view_NearPlane, nearB = ViewNearDistance;
    view_NearPlane = ViewNearDistance = 0x670;
    hud_ProjectionFlag = 1;
    plane_HookHud(0);
    hud_ProjectionFlag = 0;
    view_NearPlane = nearA;
    ViewNearDistance = nearB;
    inmap_NavOverlay = nav;
}

// 3D cockpit, HUD hook pass and the MFDs over the frame.
void CockpitLayers(void) {
    const int32_t panel = vcp_CockpitPanel;
    if (ViewedObject && ViewedObject == Client_PlayerObject && (ViewFlags & VIEW_OPT_COCKPIT_LAYERS) &&
        !(ViewFlags & VIEW_OPT_HIDE_COCKPIT))
        vcp_Cockpit3dPass();
    HudHookPass();
    if (ViewFlags & VIEW_OPT_COCKPIT_LAYERS) avion_MfdOverlayHookCall();
    vcp_CockpitPanel = panel;
}

void EndOfFlightBookkeeping(void) {
    if (!render_EndOfFlight) return;
    render_EndNotice = 0;
    if (!render_EndStampFlag) {
        render_EndStamp = app_TickCount.load(std::memory_order_acquire);
        render_EndStampFlag = 1;
    }
}

// One card vertex of a full-view fill: position in 1/128 pixel.
_HW3D_VERTEX CardPoint(int32_t x, int32_t y, int32_t depth, uint32_t colour) {
    _HW3D_VERTEX v{};
    v.x = x * 128;
    v.y = y * 128;
    v.z = depth;
    v.weight = 256;
    v.colour = colour;
    return v;
}

void CardTriangle(const _HW3D_VERTEX& a, const _HW3D_VERTEX& b, const _HW3D_VERTEX& c, uint32_t colour) {
    if (hw3d_Descriptor.triangle) hw3d_Descriptor.triangle(&a, &b, &c, colour, 0x20000, 0);
}

// The view rectangle: the current surface's clip rectangle.
void ViewRect(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    *x1 = s.clipX1;
    *y1 = s.clipY1;
    *x2 = s.clipX2;
    *y2 = s.clipY2;
}

// Clamps and stores back the g level; the shifted amount, or 0 when the
// vignette draws nothing.
int32_t VignetteLevel(void) {
    if (!render_GEffectKind || !(ViewFlags & VIEW_OPT_COCKPIT_LAYERS)) return -1;
    render_GEffectLevel = std::clamp(render_GEffectLevel, 0, 0xFFF);
    return render_GEffectLevel >> 4;
}

// Colour slots of the message block: the shadow slot of the shadowed text
// and the white slot.
constexpr int32_t kShadowSlot = 10, kTextSlot = 15;

void MessageBlock(void) {
    const char* text = dbg_EngineMessage;
    BitmapFont* font = level_Fonts[0];
    if (!text || !font) return;
    char token[255];
    const char* rest = text;
    for (int32_t y = 10; y < 480; y += 16) {
        if (text_TokenNext(rest, &rest, token, sizeof token) < 0) break;
        font_DrawString(token, font, 11, y + 1, kShadowSlot, FONT_MODE_ONE_COLOUR);
        font_DrawString(token, font, 10, y, kTextSlot, FONT_MODE_ONE_COLOUR);
    }
}

void CardWorldPass(void) {
    if (sky_InsideCloud || render_AboveCloudDeck) {
        if (hw3d_Descriptor.colourRegister)
            hw3d_Descriptor.colourRegister(3, sky_ClearColour[0], sky_ClearColour[1], sky_ClearColour[2]);
        if (hw3d_Descriptor.clear) hw3d_Descriptor.clear();
    }
    PanelRedraw();
    ViewedMark(true);
    if (hw3d_Active) {
        if (hw3d_Descriptor.colourRegister)
            hw3d_Descriptor.colourRegister(2, sky_GlareColourCard[0], sky_GlareColourCard[1], sky_GlareColourCard[2]);
        sky_CardDraw();
        fix_TrigToDouble(&view_State.viewMatrix);
    }
    sky_SunDraw();
    if (StarsWanted()) sky_StarFieldDraw();
    TerrainPass();
    sky_FogOverlay();
    ViewedMark(false);
    ParticleField();
    CockpitLayers();
    render_PaletteApply();
    const bool wasLocked = Locked();
    if (wasLocked) otw_UnlockSurface();
    sky_LensFlareDraw();
    render_GlareWashCard();
    if (wasLocked) otw_LockSurface();
    render_VignetteCard();
    render_OverlayPass();
    EndOfFlightBookkeeping();
}

void SoftWorldPass(void) {
    if (sky_InsideCloud || render_AboveCloudDeck) render_FrameBufferFill(sky_ClearFill);
    memcpy(render_WorkingPalette, render_BasePalette, sizeof render_WorkingPalette);
    PanelRedraw();
    kSoftSky[render_SkyDetail & 1]();
    if (StarsWanted()) sky_StarFieldDraw();
    sky_SunDraw();
    ViewedMark(true);
    TerrainPass();
    sky_FogOverlay();
    ParticleField();
    ViewedMark(false);
    CockpitLayers();
    render_PaletteApply();
    sky_LensFlareDraw();
    render_VignetteSoft();
    render_OverlayPass();
    EndOfFlightBookkeeping();
}

// The panel views without the world: the cockpit model, the 2D cockpit view
// and the cockpit layers over it.
void PanelLayers(bool card) {
    const int32_t panel = vcp_CockpitPanel;
    vcp_CockpitModelPass();
    if (card) {
        if (Locked()) otw_UnlockSurface();
    } else {
        render_GlareTint();
    }
    avion_PanelViewHookCall(Client_PlayerObject);
    bool lockedHere = false;
    if (card) {
        otw_LockSurface();
    } else if (!Locked()) {
        otw_LockSurface();
        lockedHere = true;
    }
    HudHookPass();
    avion_MfdOverlayHookCall();
    otw_LockSurface();
    vcp_CockpitPanel = panel;
    if (card) {
        render_VignetteCard();
    } else {
        render_VignetteSoft();
    }
    render_OverlayPass();
    if (lockedHere && Locked()) otw_UnlockSurface();
}

// The enlarged MFD view over everything while the navigation overlay is on.
void NavOverlay(void) {
    if (!inmap_NavOverlay || render_EjectionSequence) return;
    render_LockedHere = 0;
    if (!Locked()) {
        otw_LockSurface();
        render_LockedHere = 1;
    }
    const int32_t panel = vcp_CockpitPanel;
    avion_MfdEnlargedHookCall();
    vcp_CockpitPanel = panel;
    if (render_LockedHere) {
        otw_UnlockSurface();
        render_LockedHere = 0;
    }
}

void PendingViewMode(void) {
    if (view_Words.pending) view_ModeSelect();
}

void CardPath(void) {
    vcp_CockpitGlass = 0;
    if (tacmap_Shown) {
        tacmap_Draw();
    } else {
        render_WorldWanted = WorldWanted();
        if (render_WorldWanted)
            CardWorldPass();
        else
            PanelLayers(true);
        NavOverlay();
    }
    render_ScreenCaptured = 0;
    if (!Locked()) otw_LockSurface();
    render_ScreenPass();
    otw_UnlockSurface();
    if (Locked()) otw_UnlockSurface();
    render_PanelsAndDrawHooks();
    PendingViewMode();
}

void SoftPath(void) {
    if (render_WindowedToggleRequest) {
        render_WindowedToggle();
        render_WindowedToggleRequest = 0;
    }
    vcp_CockpitGlass = 0;
    otw_LockSurface();
    if (Locked() && otw_ScreenSurface.base) {
        if (tacmap_Shown) {
            tacmap_Draw();
        } else {
            render_WorldWanted = WorldWanted();
            if (render_WorldWanted) {
                SoftWorldPass();
                render_GlareTint();
            } else {
                PanelLayers(false);
            }
            NavOverlay();
        }
        render_ScreenCaptured = 0;
        if (!Locked()) otw_LockSurface();
        render_ScreenPass();
        if (!tacmap_Shown) render_BorderRowsClear();
        otw_UnlockSurface();
    }
    render_PanelsAndDrawHooks();
    PendingViewMode();
}

}  // namespace

int32_t render_FrameRateMeasure(void) {
    const uint32_t now = app_TickCount.load(std::memory_order_acquire);
    if (render_RateFrames == -1) {
        render_RateFrames = 0;
        render_RateTick = now;
        return render_FrameRate;
    }
    render_RateFrames++;
    const uint32_t elapsed = now - render_RateTick;
    if (elapsed >= 40) {
        render_FrameRate = (int32_t)(((int64_t)render_RateFrames * 0x280000 + elapsed / 2) / elapsed);
        render_RateFrames = 0;
        render_RateTick = now;
    }
    return render_FrameRate;
}

void render_Frame(void) {
    render_FrameRateMeasure();
    render_FrameCounter++;
    render_ShakeApply();
    if (hw3d_Active)
        CardPath();
    else
        SoftPath();
    render_ShakeRemove();
}

void render_FrameBufferFill(uint32_t value) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (!s.base || s.width < 1 || s.height < 1) return;
    // Row by row: the pitch may be wider than the picture.
    const size_t rowBytes = (size_t)s.width * (size_t)s.bytesPerPixel;
    for (int32_t y = 0; y < s.height; y++) {
        uint8_t* row = s.base + (size_t)y * (size_t)s.bytesPerRow;
        for (size_t i = 0; i < rowBytes; i += 4) {
            const size_t n = std::min<size_t>(4, rowBytes - i);
            memcpy(row + i, &value, n);
        }
    }
}

void render_PaletteApply(void) {
    if (render_PaletteRequest) {
        pal_SetRange(render_WorkingPalette, 0, 256);
        vid_RealizePalette();
        render_PaletteRequest = 0;
        render_PaletteFlash = 1;
    } else if (render_PaletteFlash) {
        pal_SetRange(render_BasePalette, 0, 256);
        vid_RealizePalette();
        render_PaletteFlash = 0;
    }
}

void render_PanelsAndDrawHooks(void) {
    vcursor_PanelHitUpdate();
    otw_PresentFrame();
}

void render_PixelMode2C(void) {
    poly_SetPixelMode(2);
    poly_ResetState();
}

void render_PixelMode1C(void) {
    poly_SetPixelMode(1);
    poly_ResetState();
}

void render_TimeCompressionCancel(void) {
    if (dbg_TimeCompression != 1 && inmap_StickDeflected()) dbg_ShowValueLine(1);
}

void render_GlareTint(void) {
    const int32_t amount = sky_GlareLevel >> 8;
    if (amount <= 8) return;
    // The tint blends high-colour pixels only; 8-bit frames keep theirs.
    if (draw_CurrentSurface.bytesPerPixel != 2) return;
    pal_TintView16(sky_GlareColourSoft[0], sky_GlareColourSoft[1], sky_GlareColourSoft[2], std::min(amount, 0xF0));
}

void render_VignetteSoft(void) {
    const int32_t amount = VignetteLevel();
    if (amount <= 8) return;
    if (draw_CurrentSurface.bytesPerPixel != 2) return;
    const int32_t a = std::min(amount, 0xFA);
    if (render_GEffectKind == 1)
        pal_TintView16(0, 0, 0, a);
    else
        pal_TintView16(0xC0, 0, 0, a);
}

void render_VignetteCard(void) {
    const int32_t amount = VignetteLevel();
    if (amount < 0 || !hw3d_Active) return;
    int32_t x1, y1, x2, y2;
    ViewRect(&x1, &y1, &x2, &y2);
    const uint32_t corner = (uint32_t)std::min(amount, 255) << 24 | 0xFFFFFFu;
    const uint32_t centre = (uint32_t)std::max(amount - 64, 0) << 24 | 0xFFFFFFu;
    const _HW3D_VERTEX c = CardPoint((x1 + x2) / 2, (y1 + y2) / 2, 0x1000, centre);
    const _HW3D_VERTEX tl = CardPoint(x1, y1, 0x1000, corner), tr = CardPoint(x2, y1, 0x1000, corner),
                       br = CardPoint(x2, y2, 0x1000, corner), bl = CardPoint(x1, y2, 0x1000, corner);
    const uint32_t colour = render_GEffectKind == 1 ? 0 : 0xFF;
    CardTriangle(c, tl, tr, colour);
    CardTriangle(c, tr, br, colour);
    CardTriangle(c, br, bl, colour);
    CardTriangle(c, bl, tl, colour);
}

void render_GlareWashCard(void) {
    if (!hw3d_Active) return;
    const int32_t alpha = sky_GlareLevel >> 8;
    if (alpha <= 8) return;
    const uint32_t a = (uint32_t)std::min(alpha, 0xF0);
    const uint32_t colour = a << 24 | (uint32_t)sky_GlareColourCard[2] << 16 | (uint32_t)sky_GlareColourCard[1] << 8 |
                            sky_GlareColourCard[0];
    int32_t x1, y1, x2, y2;
    ViewRect(&x1, &y1, &x2, &y2);
    const _HW3D_VERTEX tl = CardPoint(x1, y1, 0x100, colour), tr = CardPoint(x2, y1, 0x100, colour),
                       br = CardPoint(x2, y2, 0x100, colour), bl = CardPoint(x1, y2, 0x100, colour);
    CardTriangle(tl, tr, br, 0xFFFFFF);
    CardTriangle(tl, br, bl, 0xFFFFFF);
}

void render_OverlayPass(void) {
    otw_LockIfFlag(0x100);
    // The labels and the status banner share the call site and its condition.
    if (!render_ScreenStateCurrent && Client_PlayerObject && Client_PlayerObject->hitPoints > 0) {
        hud_ObjectLabelsDraw();
        hud_StatusBannerDraw();
    }
    if (tacmap_ScoreShown) tacmap_PlayerScoresDraw();
    if (plane_Current && (plane_Current->flags & 0x01)) plane_HookFrameDraw(0);
    if (dbg_EngineMessage) MessageBlock();
    if (dbg_DebugKeyTextShown) Client_DebugKeyText();
    if (dbg_DebugObjectInputShown) Client_DebugObjectInput();
}

void render_ScreenPass(void) {
    if (render_OneShotAction) {
        const int32_t code = render_OneShotAction;
        // Cleared first: the action runs once even if it sets a new code.
        render_OneShotAction = 0;
        if (code >= 1 && code <= RENDER_KEY_ACTIONS && render_KeyActionTable[code - 1]) render_KeyActionTable[code - 1]();
    }
    dbg_OverlayFrame();
    dbg_ReadoutFrame();
    if (render_EndOfFlight == 0) {
        if (const ScreenStateEntry* st = render_ScreenStateCurrent) {
            if (st->draw) {
                st->draw();
                if (!(st->flags & 2)) render_ScreenCaptured = 1;
            }
        }
        if (tacmap_GoalsShown)
            tacmap_GoalsPageDraw();
        else if (tacmap_KeysShown)
            tacmap_KeysPageDraw();
        if (tacmap_PlayerListShown) tacmap_PlayerListDraw();
        if (tacmap_RecentShown) hud_RepeaterDraw();
        dbg_TextDraw();
    }
    dbg_DrawObjectLabels();
    dbg_DrawBombDebug();
}

void render_BorderRowsClear(void) {
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    if (!s.base || s.height < 1) return;
    const size_t rowBytes = (size_t)s.width * (size_t)s.bytesPerPixel;
    const int32_t top = std::min(s.clipY1, s.height - 1);
    for (int32_t y = 0; y <= top; y++) memset(s.base + (size_t)y * (size_t)s.bytesPerRow, 0, rowBytes);
    for (int32_t y = std::max(s.height - 2, 0); y < s.height; y++)
        memset(s.base + (size_t)y * (size_t)s.bytesPerRow, 0, rowBytes);
}

void render_WindowedToggle(void) {
    if (otw_FixedMode) return;
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    const int32_t windowed = otw_State.windowed ? 0 : 1;
    if (otw_CheckMode(s.width, s.height, s.bytesPerPixel, windowed, 0) != 0) return;
    if (otw_SetDisplayMode(OTW_MODE_WINDOWED, 0, 0, 0, windowed, 0) != 0) return;
    level_ColourTablesBuild();
    if (otw_ScreenSurface.bytesPerPixel == 1) vid_RealizePalette();
}
