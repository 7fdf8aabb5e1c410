// Flight-model services shared with the client and the server.
#include "sim/flight.h"

#include "sim/obj.h"

void flight_SpeedFromVelocity(ObjectRecord* object) {
    if (!object) return;
    // The record keeps motion as a direction scaled by the speed.
    FixVec3 v = object->velocity;
    const int32_t speed = fix_LengthExact(&v);
    object->speed = speed;
    if (speed == 0) {
        object->velocity = {};
        return;
    }
    fix_NormalizeExact(&v);
    object->velocity = v;
}
