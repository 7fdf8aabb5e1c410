// Stand-in until the sky renderer lands: there is no sky to set up.
#include "render/sky.h"

void sky_ColourSetSelect(void) {}
void sky_RampsBuild(void) {}
void sky_TextureLoad(void) {}
void sky_SunDefaultsSet(void) {}
