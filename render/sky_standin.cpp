// Stand-in until the sky renderer lands: no sky, sun, stars or flare; the
// frame reads the state words.
#include "render/sky.h"

void sky_ColourSetSelect(void) {}
void sky_RampsBuild(void) {}
void sky_TextureLoad(void) {}
void sky_SunDefaultsSet(void) {}
void sky_CardDraw(void) {}
void sky_SoftDraw(void) {}
void sky_SunDraw(void) {}
void sky_StarFieldDraw(void) {}
void sky_LensFlareDraw(void) {}
void sky_FogOverlay(void) {}
int32_t sky_InsideCloud = 0;
uint32_t sky_ClearFill = 0;
uint8_t sky_ClearColour[3] = {0, 0, 0};
int32_t sky_GlareLevel = 0;
uint8_t sky_GlareColourCard[3] = {0xFF, 0xFF, 0xFF};
uint8_t sky_GlareColourSoft[3] = {0xFF, 0xFF, 0xFF};
