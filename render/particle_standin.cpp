// Stand-in until the falling particle field lands: nothing to draw or free.
#include "render/render.h"

void render_ParticleFieldDraw(void) {}
void render_ParticleFieldFree(void) {}
int32_t render_ParticleFieldReady = 0;
int32_t render_ParticleFieldShown = 0;
