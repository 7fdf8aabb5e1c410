// Stand-in until the renderer lands: posted values are dropped.
#include "render/render.h"

void render_UserMessageEventPost(uint16_t) {}
