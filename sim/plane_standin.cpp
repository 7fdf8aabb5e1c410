// Stand-in until the aircraft land: no type is registered and there is no
// player aircraft.
#include "sim/plane.h"

#include <cstring>

__attribute__((weak)) _PLANE_TYPE plane_CurrentDescriptor;

__attribute__((weak)) void plane_Init(void) { memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor); }
__attribute__((weak)) void plane_Shutdown(void) {
    memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor);
}
__attribute__((weak)) const _PLANE_TYPE* plane_TypeFind(const char*) { return nullptr; }
void plane_Release(void) {}

int32_t plane_FeedbackStateGet(PlaneFeedbackState*) { return -1; }

int32_t plane_PlayerHeadGet(float*, float*) { return -1; }
void plane_PlayerHeadSet(float, float) {}

void plane_PlaceAtLevelStart(ObjectRecord*) {}
void plane_PlaceForRespawn(ObjectRecord*, const void*) {}
void plane_HaltPlayerObjects(void) {}
void plane_EjectOnEvent(ObjectRecord*) {}

int32_t plane_DecrementStore(PlayerAircraftBlock*, int32_t) { return -1; }
void plane_PlayerHit(int32_t) {}
void plane_HookClientFrame(int32_t) {}
int32_t plane_SightGroundPoint(FixWorldPos*) { return -1; }
void plane_ApplyInputRotations(void) {}
void plane_WingmanOrder(ObjectRecord*, int32_t) {}
