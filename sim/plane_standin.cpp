// Stand-in until the aircraft's placement and damage land: no head angles,
// placement, stores or hits.
#include "sim/plane.h"


int32_t plane_PlayerHeadGet(float*, float*) { return -1; }
void plane_PlayerHeadSet(float, float) {}

void plane_PlaceAtLevelStart(ObjectRecord*) {}
void plane_PlaceForRespawn(ObjectRecord*, const void*) {}
void plane_HaltPlayerObjects(void) {}
void plane_DeathThink(ObjectRecord*) {}
void plane_RespawnWait(ObjectRecord*) {}
void plane_EjectOnEvent(ObjectRecord*) {}

int32_t plane_DecrementStore(PlayerAircraftBlock*, int32_t) { return -1; }
void plane_PlayerHit(int32_t) {}
int32_t plane_SightGroundPoint(FixWorldPos*) { return -1; }
void plane_ApplyInputRotations(void) {}
void plane_WingmanOrder(ObjectRecord*, int32_t) {}

// Stand-ins until the player object's own fields, waypoints and systems
// damage land: one field record, no waypoints, damage only marks the word.
PlanePlayerFields* plane_PlayerFields(ObjectRecord*) {
    static PlanePlayerFields fields;
    return &fields;
}
int32_t plane_WaypointPoint(const ObjectRecord*, MathVec3*) { return -1; }
void plane_WaypointNext(ObjectRecord*) {}
void plane_WaypointHome(ObjectRecord*) {}
int32_t plane_SystemsDamage[PLANE_SYSTEMS];
void plane_DamageSystem(int32_t index) {
    if (index >= 0 && index <= 18) plane_SystemsDamage[index] = 1;
}
