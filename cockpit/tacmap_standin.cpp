// Stand-in until the full-screen tactical map lands: it never opens.
#include "cockpit/tacmap.h"

int32_t tacmap_Shown = 0;

void tacmap_ZoomIn(int32_t) {}
void tacmap_ZoomOut(int32_t) {}
void tacmap_Draw(void) {}
void tacmap_PanKeys(void) {}
