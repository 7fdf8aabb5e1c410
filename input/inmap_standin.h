// Stand-in until the input map files land: the joystick layout names that
// the settings file keeps, and the input-map resource calls of the start-up.
#pragma once
#include <cstdint>

// Layout number of a joystick layout name (any letter case), or -1.
int32_t inmap_JoystickLayoutByName(const char* name);
// Name of a joystick layout number, or null.
const char* inmap_JoystickLayoutName(int32_t layout);

int32_t inmap_ResourceLoad(void);
void inmap_ResourceFree(void);
