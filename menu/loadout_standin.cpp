// Stand-in until the loadout screen lands: an empty preview surface.
#include "menu/loadout.h"

_DRAW_SURFACE mnu_PreviewSurface = {};
