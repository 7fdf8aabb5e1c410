// Stand-in until the flight-end screen state lands: the flight never ends
// from the screen side.
#include "render/render.h"

__attribute__((weak)) int32_t render_EndOfFlightState = 0;
