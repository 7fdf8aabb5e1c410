// Stand-in until the aircraft lands: no player aircraft.
#include "sim/plane_ffb.h"

int32_t plane_FeedbackStateGet(PlaneFeedbackState*) { return -1; }
