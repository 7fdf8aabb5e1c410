// Multi-function displays.
#pragma once
#include <cstdint>

#include "base/fix.h"

// MFD map zoom, 16.16, kept between MFD_ZOOM_MIN and MFD_ZOOM_MAX.
constexpr int32_t MFD_ZOOM_MIN = 81920;
constexpr int32_t MFD_ZOOM_MAX = 6553600;
extern int32_t mfd_MapZoom;

// Changes the MFD map zoom by delta: zoom = clamp(zoom - delta).
void mfd_MapZoomAdjust(int32_t delta);

// Draw the current page of the left (view 3) and right (view 5) MFD.
void mfd_LeftDraw(void);
void mfd_RightDraw(void);
// The plot set-up of an MFD page: S from the viewport's text scale, K, a
// zero-angle rotation block and the player's angles kept for the plots.
void mfd_MapFrameSetup(void);
// The pod video page and the situation page of the current MFD.
void mfd_PodVideoDraw(void);
void mfd_SituationPageDraw(void);

// Advances the radar sweep picture twice per game tick since the last step
// (at most 96 ticks).
void mfd_RadarSweepStep(void);

// ---- The MFD page tree: current pages and their state ----

enum : int32_t {
    MFD_PAGE_TEXT_LIST = 0,
    MFD_PAGE_STATUS = 1,
    MFD_PAGE_SITUATION = 2,
    MFD_PAGE_POD_VIDEO = 3,
};
// The situation page's radar sub-mode.
constexpr int32_t MFD_SUBMODE_RADAR = 4;

struct MfdPage {
    int32_t id;
    uint8_t storePage;  // one of the four store pages
    MfdPage* link;      // the situation page's linked page record
};
extern MfdPage* mfd_LeftPage;
extern MfdPage* mfd_RightPage;
extern int32_t mfd_SituationSubMode;
extern uint8_t mfd_LeftDeclutter;
extern uint8_t mfd_RightDeclutter;
// The situation page's two linked page records (sub-modes 0 and 1, others).
extern MfdPage mfd_SituationLinks[2];
// The pages drawn over their panel without its background: the pod video
// page, and the situation page in its radar sub-mode.
bool mfd_PageKeepsPicture(const MfdPage* page);

// The targeting pod and the radar as the pages read them: failure flags (1
// failed), the pod's offsets from the aircraft (world units), its look
// heading and pitch and its field (record flag bit 8: narrow).
struct MfdPodState {
    int32_t failed;
    int32_t offset[3];
    int32_t look[2];
    uint32_t flags;
};
extern MfdPodState mfd_Pod;
extern int32_t mfd_RadarFailed;

// ---- Page bodies and page parts ----

// Set while an MFD is drawn enlarged or over the frame.
extern uint8_t mfd_EnlargedFlag;
// Set while a store page's frame is drawn.
extern uint8_t mfd_StoresFrameFlag;
// The radar picture word, cleared by the radar title draw.
extern int32_t mfd_RadarPictureWord;
// The colour slot of the pod video cross-hair.
extern uint8_t mfd_PodColour;
// The frame and button labels of a page (also the enlarged page bodies).
void mfd_PageFrameDraw(MfdPage* page);
void mfd_TextListPageDraw(MfdPage* page);
void mfd_StatusPageDraw(MfdPage* page);
void mfd_FailurePartDraw(void);
void mfd_PodFramePartDraw(void);
void mfd_TitleDraw(int32_t stringId);
// The threat scope and its 128 x 128 8-bit buffer.
extern uint8_t mfd_ThreatBuffer[16384];
void mfd_ThreatScopeDraw(void);
// The four screen corners (1/128 pixel) of a panel of the cockpit model's
// panel list; -1 when there is no such panel.
int32_t vcp_PanelProject(int32_t panel, FixScreenPoint out[4]);
// Cockpit hooks 10 and 11: the tactical map's situation plot and own mark.
void mfd_TacMapContentHook(int32_t zoom);
void mfd_TacMapOwnMarkHook(int32_t x, int32_t y);
