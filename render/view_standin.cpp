// Stand-in until the view modes and camera objects land: one mode number,
// one external camera and no view object.
#include "render/view.h"

int32_t ViewNearDistance = 4096;
ObjectRecord* ViewedObject = nullptr;

uint32_t ViewFlags = 0;
int32_t view_LookYaw = 0;
int32_t view_LookPitch = 0;
int32_t view_CameraDistance = 0x50000;
int32_t view_ActiveFlag = 0;
int32_t view_FollowSubMode = 0;
uint8_t view_CameraAutoSpin = 0;

struct _CAM {
    float distance;
};

namespace {
int32_t g_current = -1;
_CAM g_camera = {100.0f};
}  // namespace

void view_ModeRequest(int32_t mode) {
    if (mode >= 0 && mode < VIEW_MODE_COUNT) g_current = mode;
}
void view_ModeSelect(void) {}
int32_t view_ModeCurrentGet(void) { return g_current; }
int32_t view_ViewedIsPlayer(void) { return 0; }

void view_Reset(void) {}
void view_StateReset(void) {}
void view_TrackUpdate(void) {}
void view_LookAnglesEase(void) {}

_CAM* view_CameraCurrentGet(void) { return &g_camera; }
void view_CameraPark(_CAM*) {}
int32_t view_CameraIsExternal(const _CAM* camera) { return camera == &g_camera; }
float view_CameraDistanceGet(const _CAM* camera) { return camera ? camera->distance : 0.0f; }
void view_CameraDistanceSet(_CAM* camera, float distance) {
    if (camera) camera->distance = distance;
}
void view_CameraMotionHold(_CAM*) {}
void view_CameraEyeSet(_CAM*, const void*) {}
void view_CameraOffsetSet(_CAM*, const MathVec3*) {}
void view_CameraAnglesUnwrap(_CAM*) {}
void view_CameraModeFrame(_CAM*) {}
void view_CamerasFree(void) {}

int32_t view_TransformToCamera(int32_t, int32_t, int32_t, int32_t) { return 0; }
