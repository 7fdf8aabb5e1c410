// Stand-in until the card sky and software sky land: the sky
// view, its flags and the cloud fog only.
#include "render/sky.h"

void sky_CardDraw(void) { sky_FrameSetup(); }
void sky_SoftDraw(void) { sky_FrameSetup(); }
