// The start-position index of the camera's start-position cycling.
#include "render/view.h"

int32_t view_StartPosition = 0;
