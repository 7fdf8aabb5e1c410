// Stand-in until the virtual cursor lands: off.
#include "cockpit/vcursor.h"

int32_t vcursor_Enabled = 0;
int32_t vcursor_Item = -1;
