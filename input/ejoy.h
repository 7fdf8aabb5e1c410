// Joysticks, throttles, rudders and force-feedback effects.
#pragma once

void ejoy_StateClear(void);
// Clears only the pressed and released code tables (per-frame edges).
void ejoy_ClearEdges(void);
void ejoy_InputRead(void);
