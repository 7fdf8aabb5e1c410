// Stand-in until the flight model lands: hits do not jolt the attitude.
#include "sim/flight.h"

void flight_HitJolt(void) {}
