// Stand-in until the joystick layer lands: no devices.
#include "input/ejoy.h"

void ejoy_StateClear(void) {}
void ejoy_ClearEdges(void) {}
void ejoy_InputRead(void) {}
