// The loadout screen's aircraft preview as the view uses it.
#pragma once

#include "display/dsurf.h"

// The surface the aircraft preview is drawn into.
extern _DRAW_SURFACE mnu_PreviewSurface;
