// Stand-in until the aircraft types land: no type is registered.
#include "sim/planereg.h"

#include <cstring>

__attribute__((weak)) _PLANE_TYPE plane_CurrentDescriptor;

__attribute__((weak)) void plane_Init(void) { memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor); }
__attribute__((weak)) void plane_Shutdown(void) {
    memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor);
}
__attribute__((weak)) const _PLANE_TYPE* plane_FindByName(const char*) { return nullptr; }
