// View state.
//
// Stand-in until the view modes land: the camera fields that the unit
// conversions write (fix_ViewFromFrame) and the renderer reads.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ViewState {
    FixWorldPos position;       // camera position, world units
    FixAngles angles;           // camera heading, pitch, roll
    FixAngles previousAngles;   // the renderer's copy of the angles
    uint32_t angleChanges;      // raised at every new copy
    FixSinCosBlock cameraTrig;  // sines and cosines of the angles
    FixSinCosBlock viewMatrix;  // sines and cosines of the negated angles
};

inline ViewState view_State = {};
