// View state, view modes and camera objects as the other subsystems use
// them.
//
// Stand-in until the view modes land: the camera fields that the unit
// conversions write (fix_ViewFromFrame) and the 3D projection reads, the
// mode numbers and the look words that the input actions change.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "base/math.h"

struct ObjectRecord;

struct ViewState {
    FixWorldPos position;       // camera position, world units (the eye position)
    FixAngles angles;           // camera heading, pitch, roll
    FixAngles previousAngles;   // the renderer's copy of the angles
    uint32_t angleChanges;      // raised at every new copy
    FixSinCosBlock cameraTrig;  // sines and cosines of the angles
    FixSinCosBlock viewMatrix;  // sines and cosines of the negated angles (the rotation set)
};

inline ViewState view_State = {};

// The near distance of the 3D view: camera-space depths below it are
// behind the camera. Signed, in 1/128 units (compared after a shift by 7).
extern int32_t ViewNearDistance;

// The object the current view follows; its world position anchors the
// leader lines of the 3D markers. Null when the view follows nothing.
extern ObjectRecord* ViewedObject;

// The view mode table, by number.
enum : int32_t {
    VIEW_MODE_COCKPIT,
    VIEW_MODE_HUD,
    VIEW_MODE_DEFAULT,
    VIEW_MODE_FOLLOW,
    VIEW_MODE_FLY_BY,
    VIEW_MODE_WINGMAN,
    VIEW_MODE_MISSILE,
    VIEW_MODE_TARGET,
    VIEW_MODE_LOW_CHASE,
    VIEW_MODE_TARGET_LOCK,
    VIEW_MODE_STATUS,
    VIEW_MODE_HORIZON,
    VIEW_MODE_DEFENSE,
    VIEW_MODE_STORES,
    VIEW_MODE_ATTACK,
    VIEW_MODE_NAVIGATION,
    VIEW_MODE_STICK,
    VIEW_MODE_THROTTLE,
    VIEW_MODE_SNAP_LEFT,
    VIEW_MODE_SNAP_RIGHT,
    VIEW_MODE_SNAP_BACK,
    VIEW_MODE_TARGET_FROM_OBJECT,
    VIEW_MODE_COUNT
};

// Option bits of the current sub-view (0x100: leader lines end at the
// screen centre).
extern uint32_t ViewFlags;
// Look yaw and pitch (25-bit angles) and the camera distance (16.16).
extern int32_t view_LookYaw;
extern int32_t view_LookPitch;
extern int32_t view_CameraDistance;
// 1 while the camera actions may change the view (set when the player's
// object is bound).
extern int32_t view_ActiveFlag;
// Sub-mode of the follow camera, 0..2.
extern int32_t view_FollowSubMode;
// Nonzero while the follow camera spins by itself.
extern uint8_t view_CameraAutoSpin;

// Stores mode n as the pending mode (applied at the end of the frame).
void view_ModeRequest(int32_t mode);
// Applies the pending view mode record.
void view_ModeSelect(void);
// The number of the current mode, -1 for none.
int32_t view_ModeCurrentGet(void);
// Nonzero when the current mode looks at the player's own aircraft.
int32_t view_ViewedIsPlayer(void);

// Camera state back to its start (client start and stop, level start).
void view_Reset(void);
void view_StateReset(void);
// Per client frame: follow the viewed object; ease the look angles back.
void view_TrackUpdate(void);
void view_LookAnglesEase(void);

// Camera objects.
struct _CAM;
// The current camera, or null.
_CAM* view_CameraCurrentGet(void);
void view_CameraPark(_CAM* camera);
// Nonzero for the external (follow) camera.
int32_t view_CameraIsExternal(const _CAM* camera);
// Its saved orbit distance.
float view_CameraDistanceGet(const _CAM* camera);
void view_CameraDistanceSet(_CAM* camera, float distance);
// Saves and zeroes its four motion words (for the pause).
void view_CameraMotionHold(_CAM* camera);
// Its target eye frame (a 48-byte eye block; null clears it) and its eye
// offset (null clears it).
void view_CameraEyeSet(_CAM* camera, const void* eyeBlock);
void view_CameraOffsetSet(_CAM* camera, const MathVec3* offset);
// Keeps its angles within half a turn of their targets.
void view_CameraAnglesUnwrap(_CAM* camera);
// Runs its mode routine for this frame.
void view_CameraModeFrame(_CAM* camera);
// Frees both camera objects (client stop).
void view_CamerasFree(void);

// Sound geometry of the view.
// The distance from the view position (the listener) to a world position:
// the length of the offset, wrapped per axis, saturating at INT32_MAX.
int32_t view_ListenerDistance(const FixWorldPos* position);
// The direction byte of an offset from the listener in the camera's frame
// (0 ahead, 64 left, 128 behind, 192 right); 0 below distance 0x10000.
int32_t view_TransformToCamera(int32_t dx, int32_t dy, int32_t dz, int32_t distance);
