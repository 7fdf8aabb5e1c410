// Cockpit view state the eye routines set and the cockpit passes read, and
// the cockpit panel module: the 24 panel views, their caches, the drawing
// state save and restore and the panel redraw scheduler.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"

// The cockpit panel (view) number of the current eye.
extern int32_t vcp_CockpitPanel;
// The scale the cockpit model pass draws with (96, or 120 in panel views).
extern int32_t vcp_CockpitScale;
// Nonzero while the virtual cockpit is available (its model is loaded).
extern int32_t vcp_Available;

// The cockpit passes of the frame: the cockpit model (panel views) and the
// 3D cockpit; the cockpit-glass flag the 3D pass sets for the HUD.
void vcp_CockpitModelPass(void);
void vcp_Cockpit3dPass(void);
extern int32_t vcp_CockpitGlass;

constexpr int32_t VCP_VIEWS = 24;

// One cockpit view (row of the view table, by view number minus 1).
struct VcpView {
    const char* dayImage;    // texture keys "archive:file"
    const char* nightImage;
    int32_t rowWidth;        // pixel row length (8 bits), also the projection width
    int32_t image[4];        // x0, y0, x1, y1 in the panel image
    int32_t screen[4];       // x0, y0, x1, y1 in the 320 x 240 design space
    void (*draw)(void);      // 2D view routine, or null
};
extern const VcpView vcp_Views[VCP_VIEWS];

// Instrument groups: one dirty byte each (set by the change detector and
// the art loader, cleared when the group is repainted).
enum : int32_t {
    VCP_GROUP_ATTITUDE,
    VCP_GROUP_THREAT,
    VCP_GROUP_MFD_LEFT,
    VCP_GROUP_MFD_RIGHT,
    VCP_GROUP_ALTIMETER,
    VCP_GROUP_AIRSPEED,
    VCP_GROUP_HEADING,
    VCP_GROUP_AOA,
    VCP_GROUP_CATEGORY,
    VCP_GROUP_VVI,
    VCP_GROUP_ODOMETER,
    VCP_GROUP_NOZZLE,
    VCP_GROUP_RPM,
    VCP_GROUP_TEMPERATURE,
    VCP_GROUP_STICK,
    VCP_GROUP_GEAR,
    VCP_GROUP_SPARE,
    VCP_GROUPS
};

// Module state.
extern uint8_t vcp_BackgroundsPending;
extern uint8_t vcp_FullRepaintPending;
extern uint8_t vcp_PanelDirty;
extern uint8_t vcp_PanelTarget;
extern uint8_t vcp_FrameBudget;
extern uint8_t vcp_FramePhase;
extern uint8_t vcp_MfdAlternator;
extern int32_t vcp_LastView;
extern void* vcp_DeferredUpload;
extern void* vcp_CurrentTexture;
extern uint8_t* vcp_CurrentPixels;
extern uint8_t vcp_ColourTable[9];
extern uint8_t vcp_WhiteIndex;
extern uint8_t vcp_DirtyFlags[VCP_GROUPS];
// Nonzero: the night image set (set by the avionics art loader).
extern uint8_t vcp_NightByte;
// Panel caches: image pixels and card texture entry, by view number minus 1.
extern const uint8_t* vcp_PixelCache[VCP_VIEWS];
extern void* vcp_EntryCache[VCP_VIEWS];
// Display centre (pixels), display scale S (16.16) and world-to-display
// factor K of the MFD plots.
extern int32_t vcp_DisplayCentre[2];
extern int32_t vcp_DisplayScale[2];
extern int32_t vcp_DisplayFactor;
// The MFD plots' rotation block and the player position and angles kept
// for them by vcp_DrawStatePush; the angles the cockpit model pass keeps.
extern FixSinCosBlock vcp_DisplayTrig;
extern FixAngles vcp_SavedAngles;
extern FixWorldPos vcp_PlotPosition;
extern FixAngles vcp_PlotAngles;
// Uses the screen rect table (0) or the image rect table (1).
extern uint8_t vcp_RectTable;

// Cockpit hooks 1 to 5 and 8 of the shipped aircraft.
void vcp_PanelArtLoad(void);
void vcp_PanelArtFree(void);
void vcp_CockpitSetup(void);
void vcp_InstrumentsDraw(void);
void vcp_PanelViewDraw(void);
void vcp_PanelViewSelect(int32_t mode);

void vcp_PanelCacheClear(void);
// K from S.x and the MFD map zoom.
void vcp_DisplayFactorUpdate(void);
void vcp_ViewportFromRect(int32_t view);
// Returns 0, or -1 when the view's panel image is missing (nothing may then
// be drawn into it).
int32_t vcp_PanelTargetSelect(void);
void vcp_ScreenTargetSelect(void);
void vcp_DrawStatePush(void);
void vcp_DrawStatePop(void);
void vcp_DrawUpperRightConsole(void);
void vcp_DrawCentreConsole(void);
void vcp_DrawRightGauges(void);
void vcp_CentreConsoleRepaint(void);
// Cockpit hooks 6 and 9: the enlarged MFD view and both MFDs over the
// out-the-window frame.
void vcp_MfdEnlargedDraw(void);
void vcp_MfdOverlayDraw(void);
// The HUD panel (view 21): its background restored, the HUD's drawing word
// cleared and the texture uploaded.
constexpr int32_t VCP_HUD_VIEW = 21;
void vcp_HudPanelClear(void);
// The threat warning panel: the scope into the threat buffer, then its mask.
void vcp_DrawThreatPanel(void);
// Clears the frame (with all ones) before the 3D cockpit when set.
extern uint8_t vcp_CockpitClear;

// Fills bytes bytes at dest with the 32-bit value (a tail that is not a
// multiple of 32 bytes is filled too, bytewise from the value's bytes).
void mem_FillDwords(void* dest, uint32_t value, size_t bytes);
void mem_FillDwordsC(void* dest, uint32_t value, size_t bytes);
