// The pilot's head angles of the player's aircraft (degrees, 0..360).
#pragma once
#include <cstdint>

// 0 with the angles, -1 when there is no player aircraft.
int32_t plane_PlayerHeadGet(float* yaw, float* pitch);
void plane_PlayerHeadSet(float yaw, float pitch);
