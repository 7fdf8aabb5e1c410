// View modes and the view state: which mode is current, what it looks at,
// the look angles and distance each mode keeps, and the per-frame tracking
// that lets the current sub-view's eye routine place the camera.
#include "render/view.h"

#include <cstring>

#include "base/fix.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "cockpit/vcp.h"
#include "debug/timecomp.h"
#include "display/dsurf.h"
#include "input/instate.h"
#include "net/chat.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "platform/simlog.h"
#include "render/render.h"
#include "shell/wndproc.h"
#include "sim/obj.h"
#include "sim/plane.h"

int32_t ViewNearDistance = 4096;
ObjectRecord* ViewedObject = nullptr;
uint32_t ViewFlags = 0;
int32_t view_LookYaw = 0;
int32_t view_LookPitch = 0;
int32_t view_CameraDistance = 0x50000;
int32_t view_ActiveFlag = 0;
int32_t view_FollowSubMode = 0;
uint8_t view_CameraAutoSpin = 0;
int32_t view_NearPlane = 0x670;
int32_t view_ProjectionCentreY = 0;
ViewStateWords view_Words = {};

namespace {

// Set by every mode change: the next placement writes a harness log line.
bool g_logPending = true;

// One "camera" line at the first placement after a mode change: the
// camera's position and its offset from the viewed object.
void LogPlacement(const ViewModeRecord* m, const ObjectRecord* o) {
    if (!g_logPending) return;
    g_logPending = false;
    const FixWorldPos& c = view_State.position;
    plat_SimLog("camera", "mode=%d sub=%d x=%u y=%u z=%u dx=%d dy=%d dz=%d distance=%d",
                (int)(m - view_ModeTable), (int)m->subView, c.x, c.y, c.z, (int32_t)(c.x - o->position.x),
                (int32_t)(c.y - o->position.y), (int32_t)(c.z - o->position.z), view_CameraDistance);
}

constexpr int32_t kLookYawStart = -0x280000;
constexpr int32_t kLookPitchStart = 0x140000;
constexpr int32_t kDistanceStart = 0x50000;
constexpr int32_t kCockpitNear = 0x670;
constexpr int32_t kExternalNear = 0x4000;
constexpr int32_t kSnapNear = 0xE70;

// A 25-bit angle taken as signed.
int32_t Signed25(int32_t angle) { return (int32_t)((uint32_t)angle << 7) >> 7; }

const ViewSubView kCockpit[] = {{view_EyePanel7, 0x32714, 0, kCockpitNear},
                                {view_EyePanel8, 0x32701, 0, kCockpitNear}};
const ViewSubView kHud[] = {{view_EyePanel7, 0x32714, 0, kCockpitNear}};
const ViewSubView kDefault[] = {{view_EyePanel8, 0x23381, 0, kCockpitNear}};
const ViewSubView kFollow[] = {{view_EyeChase, 0x4810, 0, kExternalNear}};
const ViewSubView kFlyBy[] = {{view_EyeFlyBy, 0, 0, kExternalNear}};
const ViewSubView kWingman[] = {{view_EyeChase, 0x4C10, 0, kExternalNear}, {view_EyeFlyBy, 0x400, 0, kExternalNear}};
const ViewSubView kMissile[] = {{view_EyeFlyBy, 0x400, 0, kExternalNear},
                                {view_EyeHighChase, 0x4C10, 0, kExternalNear}};
const ViewSubView kTarget[] = {{view_EyeChase, 0x4C10, 0, kExternalNear}, {view_EyeFlyBy, 0x400, 0, kExternalNear}};
const ViewSubView kLowChase[] = {{view_EyeLowChase, 0x4C10, 0, kExternalNear}};
const ViewSubView kTargetLock[] = {{view_EyePadlock, 0x1316, 0, kCockpitNear}};
const ViewSubView kStatus[] = {{view_EyePanel, 0x31104, 1, kCockpitNear}};
const ViewSubView kHorizon[] = {{view_EyePanel, 0x31104, 2, kCockpitNear}};
const ViewSubView kDefence[] = {{view_EyePanel, 0x39108, 3, kCockpitNear}};
const ViewSubView kStores[] = {{view_EyePanel, 0x31104, 4, kCockpitNear}};
const ViewSubView kAttack[] = {{view_EyePanel, 0x39108, 5, kCockpitNear}};
const ViewSubView kNavigation[] = {{view_EyePanel, 0x39108, 6, kCockpitNear}};
const ViewSubView kStick[] = {{view_EyePanel, 0x31104, 9, kCockpitNear}};
const ViewSubView kThrottle[] = {{view_EyePanel, 0x31104, 10, kCockpitNear}};
const ViewSubView kSnapLeft[] = {{view_EyeSnapYaw, 0x130, 0x180, kSnapNear}};
const ViewSubView kSnapRight[] = {{view_EyeSnapYaw, 0x130, 0x80, kSnapNear}};
const ViewSubView kSnapBack[] = {{view_EyeSnapYaw, 0x130, 0x100, kSnapNear}};
const ViewSubView kTargetFromObject[] = {{view_EyeObjectToTarget, 0, 0, kExternalNear}};

// String numbers of the sub-view names (the camera messages).
const int32_t kNames[2] = {924, 925};

template <size_t N>
constexpr ViewModeRecord Mode(const ViewSubView (&subs)[N]) {
    return {nullptr, 0, (int16_t)N, subs, kNames, kLookYawStart, kLookPitchStart, 0, kDistanceStart};
}

}  // namespace

ViewModeRecord view_ModeTable[VIEW_MODE_COUNT] = {
    Mode(kCockpit),  Mode(kHud),     Mode(kDefault),    Mode(kFollow),     Mode(kFlyBy),     Mode(kWingman),
    Mode(kMissile),  Mode(kTarget),  Mode(kLowChase),   Mode(kTargetLock), Mode(kStatus),    Mode(kHorizon),
    Mode(kDefence),  Mode(kStores),  Mode(kAttack),     Mode(kNavigation), Mode(kStick),     Mode(kThrottle),
    Mode(kSnapLeft), Mode(kSnapRight), Mode(kSnapBack), Mode(kTargetFromObject),
};

void view_ModeRequest(int32_t mode) {
    if (mode >= 0 && mode < VIEW_MODE_COUNT) view_Words.pending = &view_ModeTable[mode];
}

int32_t view_ModeCurrentGet(void) {
    ViewModeRecord* m = view_Words.current;
    return m ? (int32_t)(m - view_ModeTable) : -1;
}

int32_t view_ViewedIsPlayer(void) {
    return ViewedObject && ViewedObject == Client_PlayerObject ? 1 : 0;
}

void view_ReAim(void) {
    ViewModeRecord* m = view_Words.current;
    if (ViewFlags & VIEW_OPT_REAIM_CLEARS) {
        view_LookYaw = view_LookPitch = view_Words.lookRoll = 0;
        return;
    }
    if (!m) return;
    view_LookYaw = m->lookYaw;
    view_LookPitch = m->lookPitch;
    view_Words.lookRoll = m->lookRoll;
    view_CameraDistance = m->distance;
}

void view_ModeSelect(void) {
    ViewStateWords& w = view_Words;
    if (tacmap_Shown) {
        tacmap_Shown = 0;
        render_ScreenStateCurrent = nullptr;
    }
    ViewModeRecord* mode = w.pending;
    if (!mode) return;
    if (!(ViewFlags & VIEW_OPT_TEMPORARY)) w.remembered = w.current;
    uint32_t oldBits = ViewFlags;
    w.current = mode;
    if (mode == w.previous) {
        if (oldBits & VIEW_OPT_TEMPORARY) {
            view_ModeReturn();
            return;
        }
        int32_t next = mode->subView + 1;
        mode->subView = (int16_t)(next >= mode->subViewCount ? 0 : next);
    } else if (!(mode->subViews[mode->subView].options & VIEW_OPT_KEEP_SUBVIEW)) {
        mode->subView = 0;
    }
    const ViewSubView& sub = mode->subViews[mode->subView];
    ViewFlags = sub.options;
    view_NearPlane = sub.nearPlane;
    w.previous = mode;
    w.pending = nullptr;
    w.cameraPlaced = 0;
    g_logPending = true;
    if (!(ViewFlags & VIEW_OPT_TEMPORARY) && !w.noReAim) view_ReAim();
    if ((ViewFlags & VIEW_OPT_COCKPIT_FAMILY) && vcp_Available) {
        if (oldBits & VIEW_OPT_COCKPIT_FAMILY) {
            w.cockpitToCockpit = 1;
            view_NearPlane = kCockpitNear;
        } else {
            w.cockpitToCockpit = 0;
        }
    } else {
        w.cockpitToCockpit = 0;
    }
    app_FocusObjectSet(nullptr);
}

void view_ModeSelectC(ViewModeRecord* mode) {
    view_Words.pending = mode;
    view_ModeSelect();
}

void view_ModeReturn(void) {
    ViewStateWords& w = view_Words;
    ViewModeRecord* back = w.remembered;
    if (!back || !back->viewedObject) {
        w.previous = nullptr;
        w.remembered = &view_ModeTable[VIEW_MODE_DEFAULT];
        w.pending = w.remembered;
        view_ModeSelect();
        return;
    }
    w.pending = back;
    w.noReAim = 1;
    view_ModeSelect();
    w.noReAim = 0;
}

void view_TargetSet(ViewModeRecord* mode, ObjectRecord* object) {
    if (!mode) return;
    mode->viewedObject = object;
    if (mode != view_Words.current) return;
    view_Words.cameraPlaced = 0;
    if (!object) view_ModeSelectC(&view_ModeTable[VIEW_MODE_COCKPIT]);
}

void view_TrackUpdate(void) {
    ViewStateWords& w = view_Words;
    ViewModeRecord* m = w.current;
    if (!m || !m->viewedObject) {
        // Start again once with the cockpit mode; before the player's
        // object is bound that has none either and the camera stays.
        view_ModeSelectC(&view_ModeTable[VIEW_MODE_COCKPIT]);
        m = w.current;
        if (!m || !m->viewedObject) {
            ViewedObject = nullptr;
            return;
        }
    }
    ViewedObject = m->viewedObject;
    if (m == &view_ModeTable[VIEW_MODE_DEFAULT]) {
        view_LookYaw = view_LookPitch = w.lookRoll = 0;
    } else {
        int32_t p = Signed25(view_LookPitch);
        if (p < -0x400000) p = -0x400000;
        if (p > 0x780000) p = 0x780000;
        view_LookPitch = p;
    }
    m->lookYaw = view_LookYaw;
    m->lookPitch = view_LookPitch;
    m->lookRoll = w.lookRoll;
    m->distance = view_CameraDistance;
    w.subViewNumber = m->subView;
    w.subViewEntry = &m->subViews[m->subView];
    if (w.subViewEntry->eye) w.subViewEntry->eye(ViewedObject, w.subViewEntry);
    LogPlacement(m, ViewedObject);
    FixAngles& a = view_State.angles;
    fix_SinCosAngles(a.heading, a.pitch, a.roll, &view_State.cameraTrig);
    fix_SinCosAngles((int32_t)(0u - (uint32_t)a.heading), (int32_t)(0u - (uint32_t)a.pitch),
                     (int32_t)(0u - (uint32_t)a.roll), &view_State.viewMatrix);
}

void view_LookAnglesEase(void) {
    ViewCameraBlock& c = view_CameraBlock;
    ViewStateWords& w = view_Words;
    uint32_t held = inmap_InputCurrent.flags & 0x782;
    if (!held && !(ViewFlags & VIEW_OPT_LOOK_TARGET) && (ViewFlags & VIEW_OPT_LOOK_RETURN)) {
        view_LookYaw -= Signed25(view_LookYaw) / 8;
        view_LookPitch -= Signed25(view_LookPitch) / 8;
    }
    if (ViewFlags & VIEW_OPT_TRACKING)
        c.padlockBlend += (0x800000 - c.padlockBlend) / 8;
    else
        c.padlockBlend -= c.padlockBlend / 8;
    if (ViewFlags & VIEW_OPT_LOOK_TARGET) {
        view_LookYaw += Signed25(c.targetYaw - view_LookYaw) / 8;
        view_LookPitch += Signed25(c.targetPitch - view_LookPitch) / 8;
        w.lookRoll += Signed25(c.targetRoll - w.lookRoll) / 8;
    }
    if ((ViewFlags & VIEW_OPT_TURN_FOLLOW) && Client_PlayerObject && plane_Current &&
        (plane_Current->flags & 0x20))
        view_LookYaw -= Client_PlayerObject->rates.heading;
}

void view_Reset(void) {
    g_logPending = true;
    render_FrameCounter = 0;
    dbg_TimeCompressionReset();
    tacmap_GoalsShown = tacmap_KeysShown = tacmap_ScoreShown = 0;
    render_EjectionSequence = 0;
    render_EndStampFlag = render_EndNotice = 0;
    view_Words.previous = nullptr;
    view_Words.noReAim = 0;
    view_ModeTable[VIEW_MODE_MISSILE].viewedObject = nullptr;
    view_ModeTable[VIEW_MODE_TARGET].viewedObject = nullptr;
    chat_InputClear();
    render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
    Client_RequestByte = 0;
    render_SkyDetail = 1;
    view_ActiveFlag = 1;
    tacmap_ScoreShown = tacmap_PlayerListShown = tacmap_RecentShown = tacmap_Shown = 0;
}

void view_StateReset(void) {
    view_CameraDistance = kDistanceStart;
    view_Words.cameraPlaced = 0;
    ViewCameraBlock& c = view_CameraBlock;
    c.targetYaw = c.targetPitch = c.targetRoll = 0;
    c.padlockBlend = 0;
    c.groundClearance = 0x40000;
}

void view_BlockClear(void) {
    Client_ResetSlots();
    memset(Client_PlayerBlock, 0, sizeof Client_PlayerBlock);
    memset(Client_PlayerBlockTail, 0, sizeof Client_PlayerBlockTail);
    Client_PaletteFadeRequest = 1;
}

void view_MissionStartReset(void) {
    if (view_CameraFirst) {
        view_CameraFirst->settings.gains[1] = 0.15f;
        view_CameraFirst->settings.gains[2] = 0.1f;
        view_CameraFirst->settings.gains[3] = 0.05f;
    }
    Client_ResetSlots();
    memset(Client_PlayerBlock, 0, sizeof Client_PlayerBlock);
    Client_BindPlayerObject();
    if (Client_PlayerObject) Client_PoolLinkToOwner(Client_PlayerObject);
    Client_StartupReset();
    Client_StartObjectSounds();
}

void view_SetQuarterExtent(void) {
    view_Words.projectionTerm = (draw_CurrentSurface.clipY2 - draw_CurrentSurface.clipY1) / 4;
}
