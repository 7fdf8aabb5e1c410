// Stand-in until the flight model lands: objects keep no speed value.
#include "sim/flight.h"

void flight_SpeedFromVelocity(ObjectRecord*) {}
void flight_HitJolt(void) {}
