// The registry of aircraft types as the start-up uses it.
#pragma once
#include <cstdint>

// Aircraft type descriptor; the start-up reads only its name.
struct _PLANE_TYPE {
    char name[16];
    char exteriorModel[16];
};

// The copy of the flown type's descriptor.
extern _PLANE_TYPE plane_CurrentDescriptor;

// Registers the built-in aircraft types (once) and clears the copy.
void plane_Init(void);
void plane_Shutdown(void);
// The registered type of that exact name, or null.
const _PLANE_TYPE* plane_FindByName(const char* name);
