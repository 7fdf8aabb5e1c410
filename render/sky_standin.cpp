// Stand-in until the sky texture, card sky, software sky and star pass land.
#include "render/sky.h"

void sky_TextureLoad(void) { sky_RampsBuild(); }
void sky_SunDefaultsSet(void) {}
void sky_CardDraw(void) {}
void sky_SoftDraw(void) {}
void sky_StarFieldDraw(void) {}
