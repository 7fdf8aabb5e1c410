// The near distance of the 3D view: camera-space depths below it are
// behind the camera. Signed, in 1/128 units (compared after a shift by 7).
#pragma once
#include <cstdint>

extern int32_t ViewNearDistance;
