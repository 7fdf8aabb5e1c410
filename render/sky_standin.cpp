// Stand-in until the sky texture, card sky and software sky land: the sky
// view, its flags and the cloud fog only.
#include "render/sky.h"

void sky_TextureLoad(void) { sky_RampsBuild(); }
void sky_CardDraw(void) { sky_FrameSetup(); }
void sky_SoftDraw(void) { sky_FrameSetup(); }
