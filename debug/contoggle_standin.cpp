// Stand-in until the developer console lands: no toggles to clear.
#include "debug/contoggle.h"

__attribute__((weak)) void con_ClearToggles(void) {}
