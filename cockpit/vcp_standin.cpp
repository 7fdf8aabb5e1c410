// Stand-in until the cockpit model passes land: the words the eye routines write.
#include "cockpit/vcp.h"

int32_t vcp_CockpitPanel = 7;
int32_t vcp_CockpitScale = 96;
int32_t vcp_Available = 0;
void vcp_CockpitModelPass(void) {}
void vcp_Cockpit3dPass(void) {}
int32_t vcp_CockpitGlass = 0;
