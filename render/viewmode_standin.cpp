// Stand-in until the view modes and camera objects land: one mode number
// and one external camera.
#include "render/viewmode.h"

uint32_t view_Flags = 0;
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
int32_t view_ModeCurrentGet(void) { return g_current; }
int32_t view_ViewedIsPlayer(void) { return 0; }

_CAM* view_CameraCurrentGet(void) { return &g_camera; }
void view_CameraPark(_CAM*) {}
int32_t view_CameraIsExternal(const _CAM* camera) { return camera == &g_camera; }
float view_CameraDistanceGet(const _CAM* camera) { return camera ? camera->distance : 0.0f; }
void view_CameraDistanceSet(_CAM* camera, float distance) {
    if (camera) camera->distance = distance;
}
void view_CameraMotionHold(_CAM*) {}
