// Object records.
//
// Stand-in until the object records land: only the fields that the unit
// conversions read and write.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord {
    FixAngles angles;       // heading, pitch, roll: 25-bit angles
    FixWorldPos position;   // world x, height, z
    FixVec3 velocity;       // velocity, 4096 units to the foot
    FixVec3 motion;         // displacement of the last motion step
};
