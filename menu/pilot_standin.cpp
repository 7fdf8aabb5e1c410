// Stand-in until the pilot screens land: the pilot record stays in memory.
#include "menu/brief.h"

void mnu_PilotSave(void) {}
