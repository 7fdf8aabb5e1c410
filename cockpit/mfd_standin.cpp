// Stand-in until the MFD page drawing lands: nothing drawn.
#include "cockpit/mfd.h"

void mfd_LeftDraw(void) {}
void mfd_RightDraw(void) {}
int32_t mfd_EnlargedView = 0;
