// Stand-in until the view state lands: only the word itself, which the
// display's view window resets.
#include "render/viewnear.h"

int32_t ViewNearDistance = 4096;
