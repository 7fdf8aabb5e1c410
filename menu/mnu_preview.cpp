// The loadout screen's preview surface, which the view selects for the
// orbit camera; kept apart from the screen so the view needs nothing else
// of it.
#include "menu/loadout.h"

_DRAW_SURFACE mnu_PreviewSurface = {};
