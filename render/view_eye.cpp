// Eye routines: each places the camera for one frame (position, angles,
// projection centre, drawing surface and for cockpit views the panel
// number). Also the small camera services of the object renderer and the
// positional sound.
#include <cstdlib>

#include "base/fix.h"
#include "base/units.h"
#include "cockpit/hud.h"
#include "cockpit/vcp.h"
#include "display/otw.h"
#include "menu/loadout.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/pak.h"
#include "world/terrain.h"

ViewCameraBlock view_CameraBlock = {0x40000, 0, 0, 0, 0, {0, 0, 0}, 0, 0};
_PAK_HEADER* view_CockpitModel = nullptr;

namespace {

int32_t Signed25(int32_t angle) { return (int32_t)((uint32_t)angle << 7) >> 7; }
int32_t Neg(int32_t v) { return (int32_t)(0u - (uint32_t)v); }
int32_t Cos(int32_t angle) { return fix_Sin((int32_t)((uint32_t)angle + 0x800000u)); }
int32_t Mul16(int32_t a, int32_t b) { return (int32_t)(((int64_t)a * b) >> 16); }
// Signed difference of two world coordinates (the world wraps).
int32_t Diff(uint32_t a, uint32_t b) { return (int32_t)(a - b); }

// Turns v about z, then x, then y by the angles.
void TurnZXY(const FixAngles& a, FixVec3* v) {
    FixSinCosBlock b;
    fix_SinCosAngles(a.heading, a.pitch, a.roll, &b);
    fix_TrigToDouble(&b);
    fix_RotateAllInverse(v, v);
}

void HudBytesClear(void) {
    hud_SymbolState[0] = 0;
    if (hud_SymbolState[1] || hud_SymbolState[2]) hud_SymbolState[1] = hud_SymbolState[2] = 0;
}

void FullScreen(int32_t centreFactor) {
    view_ProjectionCentreY = otw_State.screen.height * centreFactor;
    draw_SelectSurface(&otw_State.screen);
}

// Keeps the camera the ground clearance above the terrain.
void GroundClear(void) {
    FixWorldPos& cam = view_State.position;
    int64_t clear = view_CameraBlock.groundClearance;
    int64_t h = (int32_t)cam.y;
    if ((int64_t)terrain_HeightMax4(&cam) + clear < h) return;
    int64_t t = (int64_t)terrain_HeightBilinear(&cam) + clear;
    if (t >= h) cam.y = (uint32_t)(int32_t)t;
}

// Camera angles to look from the camera at p, roll 0.
void LookAt(const FixWorldPos& p) {
    const FixWorldPos& cam = view_State.position;
    int32_t dx = Diff(cam.x, p.x) >> 1, dz = Diff(cam.z, p.z) >> 1;
    int32_t heading = fix_Atan2(dx, dz);
    int32_t ax = abs(dx), az = abs(dz);
    int32_t horizontal = ax > az ? ax + az / 2 : az + ax / 2;
    // Pitch up is positive, as for objects: the angle of (horizontal, rise)
    // from the camera to p.
    int32_t pitch = Neg(fix_Atan2(Diff(p.y, cam.y) >> 1, Neg(horizontal)));
    view_CameraBlock.lookAtHeading = heading;
    view_CameraBlock.lookAtPitch = pitch;
    view_State.angles = {heading, pitch, 0};
}

// Chase steps 4 to 6: the eye behind the object turned by the look angles.
void ChasePlace(const ObjectRecord* o) {
    int32_t h = view_LookYaw - o->angles.heading;
    int32_t c = Cos(h), s = fix_Sin(h);
    int32_t p = Mul16(c, view_LookPitch) + Mul16(s, view_Words.lookRoll);
    int32_t r = Mul16(c, view_Words.lookRoll) - Mul16(s, view_LookPitch);
    FixSinCosBlock b;
    fix_SinCosAngles(Neg(h), Neg(p), Neg(r), &b);
    fix_TrigToDouble(&b);
    FixVec3 v = {0, 0, Neg(view_CameraDistance)};
    fix_RotateAll(&v, &v);
    FixWorldPos& cam = view_State.position;
    cam.x = o->position.x + (uint32_t)v.x;
    cam.z = o->position.z + (uint32_t)v.z;
    uint32_t eyeHeight = o->position.y + (uint32_t)v.y;
    if (!view_Words.cameraPlaced) {
        cam.y = eyeHeight;
        view_Words.cameraPlaced = 1;
    } else {
        cam.y += (uint32_t)(Diff(eyeHeight, cam.y) >> 3);
    }
}

void FloatFromInt(const FixVec3& in, MathVec3* out) {
    fix_IntToFloatDiv(&in, out);
    math_Vec3Scale(out, 100.0f);
}

void IntFromFloat(const MathVec3& in, FixVec3* out) {
    MathVec3 v = in;
    math_Vec3Scale(&v, 0.01f);
    fix_FloatToIntMul(&v, out);
}

// The eye position inside the cockpit, with the smoothed change between
// cockpit views carried by the second camera object.
void CockpitEyeStep(const ObjectRecord* o, uint32_t options) {
    if (o != Client_PlayerObject) return;
    ViewCameraBlock& cb = view_CameraBlock;
    FixVec3 offset = {0, 0, 0};
    view_CockpitEyeOffset(view_CockpitModel, vcp_CockpitPanel, &offset);
    cb.cockpitEyeOffset = offset;
    bool panel = (options & VIEW_OPT_PANEL) != 0;
    int32_t scale = panel ? 120 : 96;
    MathVec3 f;
    FloatFromInt(offset, &f);
    _CAM* cam = view_CameraSecond;
    FixVec3 used = offset;
    if (!view_Words.cockpitToCockpit || !cam) {
        vcp_CockpitScale = scale;
        if (cam) {
            cam->target.pos = cam->current.pos = f;
            cam->centreTarget = cam->centre = (float)view_ProjectionCentreY / 128.0f;
            cam->fovTarget = cam->fov = (float)scale / 8.0f;
            cam->centreStep = cam->fovStep = 0.0f;
            cam->smoothedStep[1] = cam->smoothedStep[2] = 0.0f;
        }
    } else {
        cam->fovTarget = (float)scale / 8.0f;
        cam->centreTarget = (float)view_ProjectionCentreY / 128.0f;
        cam->target.pos = f;
        view_ProjectionCentreY = (int32_t)(cam->centre * 128.0f);
        vcp_CockpitScale = (int32_t)(cam->fov * 8.0f);
        IntFromFloat(cam->current.pos, &used);
        if (used.x == offset.x && used.y == offset.y && used.z == offset.z) {
            view_Words.cockpitToCockpit = 0;
            cam->current.pos = cam->target.pos;
            cam->centre = cam->centreTarget;
            cam->fov = cam->fovTarget;
            cam->smoothed[1] = cam->saved[1];
            cam->smoothed[2] = cam->saved[2];
            cam->centreStep = cam->fovStep = 0.0f;
            cam->smoothedStep[1] = cam->smoothedStep[2] = 0.0f;
        }
    }
    FixAngles turn = panel ? FixAngles{0, 0, 0} : o->angles;
    TurnZXY(turn, &used);
    FixWorldPos& p = view_State.position;
    p.x += (uint32_t)used.x;
    p.y += (uint32_t)used.y;
    p.z += (uint32_t)used.z;
}

// The cockpit-based eyes: look angles, then the aircraft's angles; the eye
// at the aircraft through the cockpit eye step.
void CockpitEye(ObjectRecord* o, const ViewSubView* entry, int32_t panel, int32_t centreFactor, bool panelEye) {
    if (!o) return;
    vcp_CockpitPanel = panel;
    FullScreen(centreFactor);
    uint32_t options = entry ? entry->options : 0;
    if (panelEye) {
        int32_t pitch = (panel == 4 || panel == 9 || panel == 10) ? -0x240000 : 0;
        view_State.angles = {0, pitch, 0};
    } else {
        FixVec3 forward = {0, 0, 0x10000}, up = {0, 0x10000, 0};
        FixAngles look = {view_LookYaw, view_LookPitch, view_Words.lookRoll};
        TurnZXY(look, &forward);
        TurnZXY(look, &up);
        TurnZXY(o->angles, &forward);
        TurnZXY(o->angles, &up);
        FixAngles a;
        fix_AnglesFromVectors(&up, &forward, &a);
        int32_t roll = Signed25(a.roll);
        if (roll > 0x1000000) roll -= 0x2000000;
        if (roll < -0x1000000) roll += 0x2000000;
        a.roll = roll;
        view_State.angles = a;
    }
    view_State.position = o->position;
    CockpitEyeStep(o, options);
    int32_t share = view_CameraBlock.padlockBlend >> 16;
    if ((options & VIEW_OPT_REAIM_CLEARS) && share > 8 && o->target) {
        FixAngles keep = view_State.angles;
        LookAt(o->target->position);
        int32_t h = view_CameraBlock.lookAtHeading, p = view_CameraBlock.lookAtPitch;
        keep.heading += (int32_t)((int64_t)Signed25(h - keep.heading) * share / 128);
        keep.pitch += (int32_t)((int64_t)Signed25(p - keep.pitch) * share / 128);
        view_State.angles = keep;
    }
}

}  // namespace

void view_EyeChase(ObjectRecord* o, const ViewSubView*) {
    if (!o) return;
    HudBytesClear();
    int32_t radius = o->model ? o->model->radius : 0;
    int32_t d = view_CameraDistance;
    if (d < radius) d = radius;
    if (d > 0x680000) d = 0x680000;
    view_CameraDistance = d;
    FullScreen(64);
    ChasePlace(o);
    GroundClear();
    LookAt(o->position);
}

void view_EyeHighChase(ObjectRecord* o, const ViewSubView* entry) {
    view_CameraBlock.groundClearance = 0xA0000;
    view_EyeChase(o, entry);
    view_CameraBlock.groundClearance = 0x40000;
}

void view_EyeLowChase(ObjectRecord* o, const ViewSubView* entry) {
    view_CameraBlock.groundClearance = 0x30000;
    view_EyeChase(o, entry);
}

void view_EyeFlyBy(ObjectRecord* o, const ViewSubView*) {
    if (!o) return;
    FullScreen(64);
    HudBytesClear();
    FixWorldPos& cam = view_State.position;
    if (!view_Words.cameraPlaced) {
        view_Words.cameraPlaced = 1;
        FixVec3 v = {0, 0, 0x960000};
        FixAngles a = {o->angles.heading - 0x30000, o->angles.pitch - 0x30000, o->angles.roll};
        TurnZXY(a, &v);
        cam = {o->position.x + (uint32_t)v.x, o->position.y + (uint32_t)v.y, o->position.z + (uint32_t)v.z};
    }
    LookAt(o->position);
    FixVec3 d = {Diff(o->position.x, cam.x), Diff(o->position.y, cam.y), Diff(o->position.z, cam.z)};
    if (fix_ApproxLength(&d) > 0xBB8000) view_Words.cameraPlaced = 0;
    GroundClear();
}

void view_EyeObjectToTarget(ObjectRecord* o, const ViewSubView*) {
    if (!o) return;
    view_State.position = o->position;
    GroundClear();
    if (o->target) LookAt(o->target->position);
}

void view_EyePadlock(ObjectRecord* o, const ViewSubView* entry) { CockpitEye(o, entry, 7, 32, false); }

void view_EyeSnapYaw(ObjectRecord* o, const ViewSubView* entry) {
    ViewCameraBlock& c = view_CameraBlock;
    c.targetYaw = entry ? (int32_t)((uint32_t)entry->argument << 16) : 0;
    c.targetPitch = c.targetRoll = 0;
    CockpitEye(o, entry, 7, 32, false);
}

void view_EyePanel7(ObjectRecord* o, const ViewSubView* entry) { CockpitEye(o, entry, 7, 32, false); }
void view_EyePanel8(ObjectRecord* o, const ViewSubView* entry) { CockpitEye(o, entry, 8, 64, false); }

void view_EyePanel(ObjectRecord* o, const ViewSubView* entry) {
    CockpitEye(o, entry, entry ? entry->argument : 0, 64, true);
}

int32_t view_CameraDistanceTo(const FixWorldPos* position) {
    if (!position) return 0;
    const FixWorldPos& cam = view_State.position;
    FixVec3 d = {Diff(cam.x, position->x), Diff(cam.y, position->y), Diff(cam.z, position->z)};
    return fix_ApproxLength(&d);
}

int32_t view_TransformToCamera(int32_t dx, int32_t dy, int32_t dz, int32_t distance) {
    if (distance < 0x10000) return 0;
    FixVec3 v = {dx / 8, dy / 8, dz / 8};
    fix_TrigToDouble(&view_State.viewMatrix);
    fix_RotateAll(&v, &v);
    return (int32_t)((uint32_t)fix_Atan2(v.x, Neg(v.z)) >> 17);
}

int32_t view_DistanceGain(int32_t distance) {
    int32_t d = distance < 0 ? 0 : distance >> 15;
    if (d > 0x200) d = 0x200;
    return ((0x200 - d) * 0x200) >> 10;
}

void view_OrbitCameraSetC(ObjectRecord* o) {
    if (!o) return;
    draw_SelectSurface(&mnu_PreviewSurface);
    ChasePlace(o);
    LookAt(o->position);
}

void view_CamerasReset(void) {
    for (ViewModeRecord& m : view_ModeTable) {
        m.lookYaw = -0x280000;
        m.lookPitch = 0x140000;
        m.lookRoll = 0;
        m.distance = 0x50000;
    }
    if (Client_PlayerObject && view_CameraFirst) {
        view_CameraPositionSave(view_CameraFirst);
        view_CameraModeSetup(view_CameraFirst);
    }
}
