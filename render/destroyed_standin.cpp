// Stand-in until the destroyed form of statics lands: drawn as before.
#include "render/render.h"

void render_DestroyedDraw(ObjectRecord* object) { render_ObjectDraw(object); }
