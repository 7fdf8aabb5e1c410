// Camera objects: smoothed float eyes. Each moves its current eye block
// towards its target with speed and acceleration limits; the first follows
// the player's aircraft for the follow view, the second carries the virtual
// cockpit's eye changes between cockpit views.
#include <cmath>
#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"
#include "base/units.h"
#include "render/view.h"
#include "shell/wndproc.h"
#include "sim/plane.h"
#include "world/pak.h"

// mode, kind, k, zero words, base position, gains, acceleration, spare,
// maximum speed, range.
const ViewCameraSettings view_CameraSettingsFirst = {
    5, 0, 20, {}, {22.0f, 0.0f, 10.0f}, {0.1f, 0.15f, 0.1f, 0.05f}, 0.05f, 4.0f, 32.0f, 50.0f};
const ViewCameraSettings view_CameraSettingsSecond = {
    6, 0, 10, {}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.2f, 1.0f, 32.0f, 50.0f};

_CAM* view_CameraFirst = nullptr;
_CAM* view_CameraSecond = nullptr;
ViewCameraList view_Cameras = {nullptr, nullptr, 0};

namespace {

const ViewCameraSettings kDefaults = {
    0, 0, 0, {}, {0.0f, 0.0f, 20.0f}, {0.1f, 0.0f, 0.0f, 0.0f}, 0.1f, 0.0f, 2.0f, 100.0f};

// The smoothing divisor; a camera without one moves in a single step.
float K(const _CAM* c) { return c->settings.k >= 1 ? (float)c->settings.k : 1.0f; }

void Renumber(void) {
    int32_t n = 0;
    for (_CAM* c = view_Cameras.head; c; c = c->next) c->listPosition = n++;
}

// Shared step: the working target from the target block, then orbited by
// the saved distance, spin and tilt.
void SharedStep(_CAM* c) {
    c->working = c->target;
    if (c->settings.targetKind == 1) {
        MathVec3 a;
        math_Mat33ToAngles(&c->target.rot, &a);
        math_Mat33FromAngles(&c->working.rot, 0.0f, 0.0f, a.x);
    } else if (c->settings.targetKind == 2) {
        math_Mat33Identity(&c->working.rot);
    }
    math_RotateRows02(&c->working.rot, c->saved[1]);
    math_RotateRows12(&c->working.rot, c->saved[2]);
    math_FrameMoveRow3Back(&c->working, c->saved[0]);
}

void PositionStep(_CAM* c) {
    float k = K(c);
    MathVec3 step;
    step.x = ((k - 1.0f) * c->offset.x + c->working.pos.x - c->current.pos.x) / k;
    step.y = ((k - 1.0f) * c->offset.y + c->working.pos.y - c->current.pos.y) / k;
    step.z = ((k - 1.0f) * c->offset.z + c->working.pos.z - c->current.pos.z) / k;
    float d = math_Vec3Length(&step);
    // The speed limit rises by the acceleration each frame up to the maximum
    // speed, also when the target is far: the eye never jumps to full speed.
    float limit = c->speed + c->settings.acceleration;
    if (limit > c->settings.maximumSpeed) limit = c->settings.maximumSpeed;
    if (d > limit) {
        math_Vec3Scale(&step, limit / d);
        c->speed = limit;
    } else {
        c->speed = d;
    }
    math_Vec3Add(&c->current.pos, &step);
}

// Heading and pitch from the current eye to the followed eye (the target
// block's position: the working target is the orbit point the eye moves to,
// from which the eye would look along its own path and, at rest, nowhere),
// in the current eye's axes, within half a turn.
void TowardTarget(const _CAM* c, float* heading, float* pitch) {
    MathVec3 v = c->target.pos;
    math_Vec3Sub(&v, &c->current.pos);
    math_RelativeHeadingPitch(&v, &c->current.rot, heading, pitch);
    if (*heading > 180.0f) *heading -= 360.0f;
    if (*pitch > 180.0f) *pitch -= 360.0f;
}

// Turns the eye a share of the way towards the working target (with these
// row turns a positive relative heading and pitch turn towards it).
void TurnStep(_CAM* c) {
    float h, p;
    TowardTarget(c, &h, &p);
    math_RotateRows02(&c->current.rot, h * c->settings.gains[1]);
    math_RotateRows12(&c->current.rot, p * c->settings.gains[2]);
}

void Scalar(float* v, float* s, float t, float k, float limit) {
    float desired = (t - *v) / k / 2.0f;
    if (std::fabs(desired) > std::fabs(*s)) {
        *s += desired > 0.0f ? limit : -limit;
    } else {
        *s = desired;
    }
    *v += *s;
}

// The eye offset a snap takes from the settings lies in their zero words:
// both settings blocks carry none, so the eye comes to rest on the working
// target (the base position is the orbit, not an offset).
void Snap(_CAM* c) {
    c->current = c->working;
    c->offset = {(float)c->settings.zero[0], (float)c->settings.zero[1], (float)c->settings.zero[2]};
    c->speed = math_Vec3Length(&c->offset);
}

void Mode0(_CAM*) {}
void Mode1(_CAM* c) { math_FrameTurnToward(&c->target.pos, &c->current); }
void Mode2(_CAM* c) { c->current = c->target; }
void Mode3(_CAM* c) {
    c->current = c->target;
    fix_ViewFromFrame(&c->current);
}
void Mode4Frame(_CAM* c) {
    float k = K(c);
    for (int i = 0; i < 3; i++) {
        c->smoothedStep[i] += ((c->saved[i] - c->smoothed[i]) / k - c->smoothedStep[i]) / 2.0f;
        c->smoothed[i] += c->smoothedStep[i];
    }
    Mode3(c);
}
void Mode4Setup(_CAM* c) {
    for (int i = 0; i < 3; i++) {
        c->smoothed[i] = c->saved[i];
        c->smoothedStep[i] = 0.0f;
    }
    Mode3(c);
}
void Mode5Frame(_CAM* c) {
    SharedStep(c);
    PositionStep(c);
    TurnStep(c);
}
void Mode5Setup(_CAM* c) {
    SharedStep(c);
    Snap(c);
    // Straight at the target; the eye keeps the working frame's roll (a turn
    // of rows 0 and 1 by the target's heading would tilt the picture).
    float h, p;
    TowardTarget(c, &h, &p);
    math_RotateRows02(&c->current.rot, h);
    math_RotateRows12(&c->current.rot, p);
}
void Mode6Frame(_CAM* c) {
    SharedStep(c);
    PositionStep(c);
    float k = K(c);
    Scalar(&c->centre, &c->centreStep, c->centreTarget, k, 1.0f);
    Scalar(&c->fov, &c->fovStep, c->fovTarget, k, 0.05f);
    Scalar(&c->smoothed[1], &c->smoothedStep[1], c->saved[1], k, 2.0f);
    Scalar(&c->smoothed[2], &c->smoothedStep[2], c->saved[2], k, 2.0f);
}
void Mode6Setup(_CAM* c) {
    SharedStep(c);
    Snap(c);
}

bool Listed(const _CAM* camera) {
    for (_CAM* c = view_Cameras.head; c; c = c->next)
        if (c == camera) return true;
    return false;
}

}  // namespace

const ViewCameraRoutine view_CameraModeTable[7][2] = {
    {Mode0, Mode0}, {Mode1, Mode1}, {Mode2, Mode2}, {Mode3, Mode3},
    {Mode4Frame, Mode4Setup}, {Mode5Frame, Mode5Setup}, {Mode6Frame, Mode6Setup},
};

_CAM* view_CameraCreate(const ViewCameraSettings* settings) {
    _CAM* c = (_CAM*)mem_AllocEx(sizeof(_CAM), 8, "_CAM");
    if (!c) return nullptr;
    memset(c, 0, sizeof *c);
    dlist_AddTail(&view_Cameras, c);
    Renumber();
    c->settings = settings ? *settings : kDefaults;
    math_FrameIdentity(&c->current);
    math_FrameIdentity(&c->target);
    math_FrameIdentity(&c->working);
    view_CameraPositionSave(c);
    for (int i = 0; i < 3; i++) {
        c->smoothed[i] = c->saved[i];
        c->smoothedStep[i] = 0.0f;
    }
    return c;
}

void view_CameraDestroy(_CAM* camera) {
    if (!camera || !Listed(camera)) return;
    dlist_Unlink(&view_Cameras, camera);
    Renumber();
    if (app_FocusObject == camera) app_FocusObjectSet(nullptr);
    if (view_CameraFirst == camera) view_CameraFirst = nullptr;
    if (view_CameraSecond == camera) view_CameraSecond = nullptr;
    mem_Free(camera);
}

void view_CameraEyeSet(_CAM* camera, const void* eyeBlock) {
    if (!camera) return;
    if (eyeBlock)
        memcpy(&camera->target, eyeBlock, sizeof camera->target);
    else
        memset(&camera->target, 0, sizeof camera->target);
}

void view_CameraCurrentSet(_CAM* camera, const void* eyeBlock) {
    if (!camera) return;
    if (eyeBlock)
        memcpy(&camera->current, eyeBlock, sizeof camera->current);
    else
        memset(&camera->current, 0, sizeof camera->current);
}

void view_CameraOffsetSet(_CAM* camera, const MathVec3* offset) {
    if (!camera) return;
    camera->offset = offset ? *offset : MathVec3{0.0f, 0.0f, 0.0f};
}

void view_CameraPositionSave(_CAM* camera) {
    if (!camera) return;
    for (int i = 0; i < 3; i++) camera->saved[i] = camera->settings.base[i];
}

void view_CameraModeFrame(_CAM* camera) {
    if (!camera || camera->settings.mode < 0 || camera->settings.mode > 6) return;
    view_CameraModeTable[camera->settings.mode][0](camera);
}

void view_CameraModeSetup(_CAM* camera) {
    if (!camera || camera->settings.mode < 0 || camera->settings.mode > 6) return;
    view_CameraModeTable[camera->settings.mode][1](camera);
}

void view_CameraAnglesUnwrap(_CAM* camera) {
    if (!camera) return;
    for (int i = 1; i < 3; i++) {
        float& v = camera->smoothed[i];
        float t = camera->saved[i];
        if (v - t > 180.0f) v -= 360.0f;
        if (t - v > 180.0f) v += 360.0f;
    }
}

// Node names of the cockpit eye of each panel, in the cockpit model's part
// information (docs/formats.md, "Cockpit eye nodes").
namespace {
const char* const kEyeNodeNames[11] = {"Eye 0", "Eye 1", "Eye 2", "Eye 3", "Eye 4", "Eye 5",
                                       "Eye 6", "Eye 7", "Eye 8", "Eye 9", "Eye 10"};
}

int32_t view_CockpitEyeOffset(const _PAK_HEADER* model, int32_t panel, FixVec3* out) {
    if (!out) return -1;
    *out = {0, 0, 0};
    if (!model || panel < 0 || panel > 10 || !model->partInfo) return -1;
    RelocGroup* node = pak_InfoPartFind(model->partInfo, 0);
    RelocSub* part = pak_ModelFindByName(node, kEyeNodeNames[panel]);
    if (!part) return -1;
    bool ok = false;
    // The part's word names the attachment point of model 0 at the eye.
    uint32_t point = level_RelocWord(model->partInfo, part->offset + 16, &ok);
    int32_t xyz[3];
    if (!ok || point > 0x7FFFFFFF || pak_ModelPartGet(model, 0, (int32_t)point, xyz) != 0) return -1;
    *out = {xyz[0], xyz[1], xyz[2]};
    return 0;
}

void view_CamerasCreate(void) {
    view_CameraFirst = view_CameraCreate(&view_CameraSettingsFirst);
    if (view_CameraFirst) {
        if (plane_Current) {
            MathFrame eye;
            eye.pos = plane_Current->position;
            eye.rot = plane_Current->orientation;
            view_CameraEyeSet(view_CameraFirst, &eye);
        }
        SharedStep(view_CameraFirst);
        view_CameraFirst->current = view_CameraFirst->working;
    }
    view_CameraSecond = view_CameraCreate(&view_CameraSettingsSecond);
    view_Words.cockpitToCockpit = 0;
}

void view_CamerasFree(void) {
    view_CameraDestroy(view_CameraFirst);
    view_CameraDestroy(view_CameraSecond);
    view_Words.cockpitToCockpit = 0;
}

_CAM* view_CameraCurrentGet(void) {
    _CAM* c = (_CAM*)app_FocusObject;
    return c && Listed(c) ? c : nullptr;
}

void view_CameraPark(_CAM* camera) {
    if (!camera || !Listed(camera)) return;
    // Back to its resting orbit (the settings' distance, spin and tilt),
    // snapped there by its set-up.
    view_CameraPositionSave(camera);
    view_CameraModeSetup(camera);
}

float view_CameraHeldMotion[4] = {0.0f, 0.0f, 0.0f, 0.0f};

void view_CameraMotionHold(_CAM* camera) {
    if (!camera || !Listed(camera)) return;
    // Its eye speed and the three steps of the smoothed orbit: zeroed, the
    // camera starts again from rest and accelerates as usual.
    view_CameraHeldMotion[0] = camera->speed;
    for (int i = 0; i < 3; i++) view_CameraHeldMotion[i + 1] = camera->smoothedStep[i];
    camera->speed = 0.0f;
    for (float& s : camera->smoothedStep) s = 0.0f;
}

int32_t view_CameraIsExternal(const _CAM* camera) { return camera && camera == view_CameraFirst ? 1 : 0; }

float view_CameraDistanceGet(const _CAM* camera) { return camera ? camera->saved[0] : 0.0f; }

void view_CameraDistanceSet(_CAM* camera, float distance) {
    if (camera) camera->saved[0] = distance;
}
