// Stand-in until the trigger runtime lands: a mission without triggers.
#include "sim/trig.h"

TriggerEvent trig_Event;

void trig_PostEvent(void) {}
void trig_Reset(void) {}
void trig_CounterTick(void) {}
