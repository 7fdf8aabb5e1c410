// Stand-in: the joystick layout table and an input-map resource that loads
// nothing.
#include "input/inmap_standin.h"

#include <strings.h>

namespace {
struct LayoutRecord {
    const char* name;
    int32_t displayItem;
    int32_t layout;
};
const LayoutRecord kJoystickLayouts[] = {
    {"STANDARD", 186, 0},
    {"STANDARD_FORCE_FEEDBACK", 187, 1},
    {"FCS", 198, 2},
    {"KRX_FLCS", 197, 3},
    {"WXN_PRO", 196, 4},
    {"FLIGHTSTICK", 199, 5},
    {"FLIGHTSTICK_PRO", 200, 6},
    {"FORCE_FX", 203, 7},
    {"PC_COMMANDER_PLUS", 201, 8},
    {"WINGMAN", 188, 9},
    {"WINGMAN_EXTREME", 189, 10},
    {"WINGMAN_EXTREME_DIGITAL", 190, 11},
    {"WINGMAN_INTERCEPTOR", 202, 12},
    {"CYBERMAN2", 192, 14},
    {"THUNDERPAD_DIGITAL", 193, 15},
    {"WINGMAN_FORCE_FEEDBACK", 191, 13},
    {"SIDEWINDER", 194, 16},
    {"SIDEWINDER_FORCE_FEEDBACK_PRO", 195, 17},
};
}  // namespace

int32_t inmap_JoystickLayoutByName(const char* name) {
    if (!name) return -1;
    for (const LayoutRecord& r : kJoystickLayouts)
        if (strcasecmp(r.name, name) == 0) return r.layout;
    return -1;
}

const char* inmap_JoystickLayoutName(int32_t layout) {
    for (const LayoutRecord& r : kJoystickLayouts)
        if (r.layout == layout) return r.name;
    return nullptr;
}

int32_t inmap_ResourceLoad(void) { return 0; }
void inmap_ResourceFree(void) {}
