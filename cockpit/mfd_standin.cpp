// Stand-in until the pod frame part lands: it draws nothing.
#include "cockpit/mfd.h"

void mfd_PodFramePartDraw(void) {}
