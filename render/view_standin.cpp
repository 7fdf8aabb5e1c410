// Stand-in until the camera park and pause hold land.
#include "render/view.h"

void view_CameraPark(_CAM*) {}
void view_CameraMotionHold(_CAM*) {}
