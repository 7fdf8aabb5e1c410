// Stand-in until the MFDs land: the zoom is not kept.
#include "cockpit/mfd.h"

void mfd_MapZoomAdjust(int32_t) {}
