// Stand-in until the HUD's moving symbols land: nothing drawn.
#include "cockpit/hud_draw.h"

int32_t hud_TargetArrowOption = 0;
void hud_VelocityGroup(void) {}
void hud_SteeringCue(void) {}
void hud_TargetInfo(void) {}
void hud_ContactBoxes(void) {}
void hud_SymbolSequencer(void) {}
void hud_TargetArrow(void) {}
