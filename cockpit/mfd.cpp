// MFD drawing: the two MFDs into their panels, the pod video and situation
// pages, the enlarged MFD view and the MFDs over the out-the-window frame;
// the threat panel.
#include "cockpit/mfd.h"

#include "cockpit/avionkrx.h"
#include "cockpit/mfd_sitpage.h"
#include "cockpit/mfd_threat.h"
#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"
#include "display/draw_fill.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/terrain_draw.h"

MfdPodState mfd_Pod = {0, {0, 0, 0}, {0, 0}, 0};
int32_t mfd_RadarFailed = 0;
uint8_t mfd_EnlargedFlag = 0;
uint8_t mfd_StoresFrameFlag = 0;
int32_t mfd_RadarPictureWord = 0;
uint8_t mfd_PodColour = 15;
uint8_t mfd_ThreatBuffer[16384];

namespace {

// Set while the pod video page is drawn.
uint8_t g_podVideo = 0;
// The page of the MFD being drawn.
MfdPageRecord* g_page = nullptr;
// Set once the radar sweep picture has been drawn.
uint8_t g_sweepValid = 0;

bool Locked(void) { return otw_State.locked != 0; }

// The display layer's screen scale (16.16).
int64_t ScreenScale(void) { return draw_CurrentSurface.widthScale ? draw_CurrentSurface.widthScale : 65536; }

// The panel's background, only into a panel that has pixels.
void RestoreBackground(void) {
    if (vcp_PanelTarget && vcp_CurrentPixels) avionkrx_RestoreLoresBackgrounds();
}

// Pops and pushes the drawing state and makes the current view's panel the
// target again; false when the panel has no image.
bool PanelReselect(void) {
    vcp_DrawStatePop();
    vcp_DrawStatePush();
    return vcp_PanelTargetSelect() == 0;
}

void MfdDraw(bool right) {
    MfdPageRecord* page = right ? mfd_RightPage : mfd_LeftPage;
    if (!page) return;
    const uint8_t declutter = right ? mfd_RightDeclutter : mfd_LeftDeclutter;
    const bool enlarged = mfd_EnlargedFlag != 0;
    if (page->page == MFD_PAGE_POD_VIDEO) g_podVideo = 1;
    bool lockedHere = false;
    bool drawable = true;
    if (!enlarged) {
        const bool cockpit3d = (ViewFlags & VIEW_OPT_HIDE_VIEWED) && !view_Words.cockpitToCockpit;
        if ((g_podVideo || mfd_PageKeepsPicture(page)) && cockpit3d) {
            drawable = PanelReselect();
        } else if (hw3d_Active && !vcp_PanelTarget && !Locked()) {
            otw_LockSurface();
            lockedHere = true;
            vcp_DrawStatePop();
            vcp_DrawStatePush();
            vcp_ScreenTargetSelect();
        }
    }
    g_page = page;
    // The enlarged pages draw in a 256-unit frame: its centre and the scale
    // of the enlarged view.
    const int32_t centre[2] = {vcp_DisplayCentre[0], vcp_DisplayCentre[1]};
    const int32_t scale[2] = {vcp_DisplayScale[0], vcp_DisplayScale[1]};
    const int32_t factor = vcp_DisplayFactor;
    if (enlarged) {
        vcp_DisplayCentre[0] = vcp_DisplayCentre[1] = 128;
        vcp_DisplayScale[0] = vcp_DisplayScale[1] = (int32_t)((0x6AAB * ScreenScale()) >> 16);
        vcp_DisplayFactorUpdate();
    }
    if (drawable) {
        if (g_podVideo) {
            mfd_PodVideoDraw();
        } else if (page->page == MFD_PAGE_TEXT_LIST) {
            if (enlarged) mfd_DrawSystemsPage();
        } else if (page->page == MFD_PAGE_SITUATION) {
            mfd_SituationPageDraw();
        } else if (page->page == MFD_PAGE_STATUS) {
            mfd_DrawStoresPage();
            if (!enlarged) vcp_PanelDirty = 1;
        }
        if (enlarged && !declutter) {
            if (mfd_IsStorePage(page)) mfd_StoresFrameFlag = 1;
            if (!Locked()) {
                otw_LockSurface();
                lockedHere = true;
            }
            mfd_DrawButtonLabels(page);
            if (g_podVideo) {
                mfd_DrawPage3Labels();
                mfd_TitleDraw(0x34E);
            } else if (page->page == MFD_PAGE_SITUATION && mfd_SubMode == MFD_SUBMODE_RADAR) {
                mfd_TitleDraw(0x349);
                mfd_RadarPictureWord = 0;
            }
            mfd_StoresFrameFlag = 0;
        }
    }
    if (enlarged) {
        vcp_DisplayCentre[0] = centre[0];
        vcp_DisplayCentre[1] = centre[1];
        vcp_DisplayScale[0] = scale[0];
        vcp_DisplayScale[1] = scale[1];
        vcp_DisplayFactor = factor;
    }
    g_podVideo = 0;
    g_page = nullptr;
    if (lockedHere) otw_UnlockSurface();
}

// Screen point of a design-space panel point (1/128 pixel).
FixScreenPoint OverlayPoint(int32_t x, int32_t y) {
    return {(int32_t)((x * ScreenScale()) >> 9), (int32_t)((y * ScreenScale()) >> 9)};
}

// 512 steps a turn of a 25-bit angle.
int32_t Steps(int32_t angle) { return (int32_t)(((uint32_t)angle & 0x1FFFFFFu) >> 16); }
bool AwayFrom(int32_t steps, int32_t limit) { return steps > limit && steps < 512 - limit; }

}  // namespace

bool mfd_PageKeepsPicture(const MfdPageRecord* page) {
    if (!page) return false;
    return page->page == MFD_PAGE_POD_VIDEO || (page->page == MFD_PAGE_SITUATION && mfd_SubMode == MFD_SUBMODE_RADAR);
}

void mfd_LeftDraw(void) { MfdDraw(false); }
void mfd_RightDraw(void) { MfdDraw(true); }

void mfd_MapFrameSetup(void) {
    vcp_DisplayScale[0] = vcp_DisplayScale[1] = (int32_t)ScreenScale();
    vcp_DisplayFactorUpdate();
    fix_SinCosAngles(0, 0, 0, &vcp_DisplayTrig);
    fix_TrigToDouble(&vcp_DisplayTrig);
    if (const ObjectRecord* player = Client_PlayerObject) vcp_PlotAngles = player->angles;
}

void mfd_PodVideoDraw(void) {
    if (mfd_EnlargedFlag) return;
    if (mfd_Pod.failed == 1) {
        RestoreBackground();
        mfd_DrawFailureBar(0);
        return;
    }
    const ObjectRecord* player = Client_PlayerObject;
    if (!player || !draw_CurrentSurface.base) return;
    const ViewState view = view_State;
    const uint32_t flags = ViewFlags;
    const int32_t nearA = view_NearPlane, nearB = ViewNearDistance;
    const int32_t card = hw3d_Active;
    const int32_t xScale = draw_CurrentSurface.xScale;
    // The pod's eye: the aircraft's frame moved by the pod's offsets and
    // turned by its look angles.
    FixSinCosBlock turn;
    fix_SinCosAngles(player->angles.heading, player->angles.pitch, player->angles.roll, &turn);
    fix_TrigToDouble(&turn);
    FixVec3 offset = {mfd_Pod.offset[0], mfd_Pod.offset[1], mfd_Pod.offset[2]};
    fix_RotateAllInverse(&offset, &offset);
    view_State.position = player->position;
    view_State.position.x += (uint32_t)offset.x;
    view_State.position.y += (uint32_t)offset.y;
    view_State.position.z += (uint32_t)offset.z;
    FixAngles& a = view_State.angles;
    a = {(int32_t)((uint32_t)player->angles.heading + (uint32_t)mfd_Pod.look[0]),
         (int32_t)((uint32_t)player->angles.pitch + (uint32_t)mfd_Pod.look[1]), player->angles.roll};
    fix_SinCosAngles(a.heading, a.pitch, a.roll, &view_State.cameraTrig);
    fix_SinCosAngles((int32_t)(0u - (uint32_t)a.heading), (int32_t)(0u - (uint32_t)a.pitch),
                     (int32_t)(0u - (uint32_t)a.roll), &view_State.viewMatrix);
    const bool narrow = (mfd_Pod.flags & 0x100) != 0;
    draw_CurrentSurface.xScale = narrow ? 8627 : 2442;
    view_NearPlane = ViewNearDistance = narrow ? 0x2A0000 : 0xC0000;
    hw3d_Active = 0;
    terrain_DrawFrame();
    hw3d_Active = card;
    draw_CurrentSurface.xScale = xScale;
    view_NearPlane = nearA;
    ViewNearDistance = nearB;
    ViewFlags = flags;
    view_State = view;
    fix_TrigToDouble(&view_State.viewMatrix);
    static const int32_t kCross[8][4] = {
        {127, 108, 127, 124}, {128, 108, 128, 124}, {108, 127, 124, 127}, {108, 128, 124, 128},
        {132, 127, 148, 127}, {132, 128, 148, 128}, {127, 132, 127, 148}, {128, 132, 128, 148},
    };
    draw_Context.colourSlot = mfd_PodColour;
    for (const auto& l : kCross) draw_ClipLine(l[0], l[1], l[2], l[3]);
    vcp_PanelDirty = 1;
}

void mfd_SituationPageDraw(void) {
    // The situation page's mode button leads to the menu of its mode group.
    mfd_PageTable[MFD_REC_SITUATION].buttons[9] = mfd_SubMode <= 1 ? MFD_REC_AIR_MENU : MFD_REC_GROUND_MENU;
    if (mfd_SubMode == MFD_SUBMODE_RADAR) {
        if (mfd_RadarFailed == 1) {
            RestoreBackground();
            mfd_DrawFailureBar(0);
        } else {
            mfd_RadarSweepStep();
            g_sweepValid = 1;
        }
        return;
    }
    // Enlarged, the picture; it stays empty while the display has failed.
    if (mfd_EnlargedFlag) {
        if (!avion_DisplayFailed()) mfd_DrawSituationPage();
        return;
    }
    if (!PanelReselect()) return;
    // The bar rolls over a clean panel, not over its earlier frames.
    RestoreBackground();
    if (avion_DisplayFailed()) mfd_DrawFailureBar(0);
}

void vcp_MfdEnlargedDraw(void) {
    const int32_t saved = vcp_CockpitPanel;
    vcp_CockpitPanel = 22;
    vcp_DrawStatePush();
    vcp_ScreenTargetSelect();
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (hw3d_Active) {
        otw_UnlockSurface();
        if (hw3d_Descriptor.shadedRect) hw3d_Descriptor.shadedRect(s.clipX1, s.clipY1, s.clipX2, s.clipY2, level_MfdColour);
        vcp_DrawStatePop();
        otw_LockSurface();
    } else {
        draw_Context.destX = s.clipX1;
        draw_Context.destY = s.clipY1;
        draw_Context.width = s.clipX2 - s.clipX1;
        draw_Context.height = s.clipY2 - s.clipY1;
        draw_BevelPanel(level_MfdColour);
        vcp_DrawStatePop();
    }
    vcp_DrawStatePush();
    vcp_ScreenTargetSelect();
    vcp_DisplayScale[0] = vcp_DisplayScale[1] = (int32_t)((0x6AAB * ScreenScale()) >> 16);
    vcp_DisplayFactorUpdate();
    draw_Context.colourSlot = (uint8_t)level_MfdColour;
    const uint8_t enlarged = mfd_EnlargedFlag;
    // The view's window is the 256-unit frame of the sub-pixel path.
    draw_SetFloatClipWindow({s.clipX1 * 128, s.clipY1 * 128}, {s.clipX2 * 128, s.clipY1 * 128},
                            {s.clipX2 * 128, s.clipY2 * 128}, {s.clipX1 * 128, s.clipY2 * 128});
    mfd_EnlargedFlag = 1;
    vcp_DisplayCentre[0] = 128;
    mfd_DrawEnlargedSituation();
    mfd_EnlargedFlag = enlarged;
    vcp_DrawStatePop();
    vcp_CockpitPanel = saved;
}

void vcp_MfdOverlayDraw(void) {
    mfd_EnlargedFlag = 1;
    bool lockedHere = false;
    const ObjectRecord* player = Client_PlayerObject;
    if ((ViewFlags & VIEW_OPT_PANEL) && !view_Words.cockpitToCockpit) {
        const int32_t view = vcp_CockpitPanel;
        if (view == 3 || view == 5) {
            const bool right = view == 5;
            const int32_t x0 = right ? 69 : 68, y0 = right ? 28 : 30;
            if (!Locked()) {
                otw_LockSurface();
                lockedHere = true;
            }
            draw_SetFloatClipWindow(OverlayPoint(x0, y0), OverlayPoint(252, y0), OverlayPoint(252, 212),
                                    OverlayPoint(x0, 212));
            vcp_DrawStatePush();
            vcp_ScreenTargetSelect();
            MfdDraw(right);
            vcp_DrawStatePop();
        }
    } else if (player) {
        bool away;
        if ((ViewFlags & VIEW_OPT_TRACKING) && player->target) {
            away = AwayFrom(Steps(view_State.angles.heading - player->angles.heading), 64) ||
                   AwayFrom(Steps(view_State.angles.pitch - player->angles.pitch), 64);
        } else {
            away = AwayFrom(Steps(view_LookPitch), 128) || AwayFrom(Steps(view_LookYaw), 128);
        }
        if (!away) {
            const int32_t saved = vcp_CockpitPanel;
            for (int32_t side = 0; side < 2; side++) {
                vcp_DrawStatePush();
                vcp_CockpitPanel = side ? 5 : 3;
                // The first two panels of the set are the MFDs; the clip
                // window runs round the outline 0-1-3-2.
                const VcursorPanel* p = vcursor_PanelSet;
                if (p && side) p = p->next;
                FixScreenPoint c[4];
                if (vcp_PanelTargetSelect() == 0 && p) {
                    vcursor_ProjectPanelC(p, c);
                    draw_SetFloatClipWindow(c[0], c[1], c[3], c[2]);
                    MfdDraw(side != 0);
                }
                vcp_DrawStatePop();
            }
            vcp_CockpitPanel = saved;
        }
    }
    if (lockedHere && Locked()) otw_UnlockSurface();
    mfd_EnlargedFlag = 0;
    draw_SelectSurface(&otw_State.screen);
}

void vcp_DrawThreatPanel(void) {
    const _DRAW_SURFACE saved = draw_CurrentSurface;
    _DRAW_SURFACE threat;
    draw_InitSurfaceDesc(&threat, mfd_ThreatBuffer, 128, 128, 1);
    draw_SelectSurface(&threat);
    mem_FillDwords(mfd_ThreatBuffer, 0, sizeof mfd_ThreatBuffer);
    avion_ThreatDisplayDraw();
    draw_CurrentSurface = saved;
    avionkrx_ThreatMaskDraw();
}
