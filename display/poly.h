// The polygon module's entry point: the software rasteriser and the clipper.
#pragma once
#include "display/clip.h"
#include "display/rast.h"
