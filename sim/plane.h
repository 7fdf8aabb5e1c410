// Aircraft records.
//
// Stand-in until the aircraft records land: the float flight state and the
// one field of the current aircraft that the base layer reads.
#pragma once
#include <cstdint>

#include "base/math.h"

// Float flight state of an object: frame (metres) and velocity (metres).
struct FloatStateRecord {
    MathFrame frame;
    MathVec3 velocity;
};

struct _PLANE {
    uint32_t flags;   // 0x20: on the ground
};

// The current aircraft record, or null.
inline _PLANE* plane_Current = nullptr;
