// View modes, the view option bits and the player's look angles, as the
// input actions and the poll use them.
#pragma once
#include <cstdint>

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

// Option bits of the current sub-view.
extern uint32_t view_Flags;
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
// The number of the current mode, -1 for none.
int32_t view_ModeCurrentGet(void);
// Nonzero when the current mode looks at the player's own aircraft.
int32_t view_ViewedIsPlayer(void);

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
