// Stand-in until the console lands: no toggles, no commands, nothing shown.
#include "debug/console.h"

__attribute__((weak)) void con_ClearToggles(void) {}
void con_PrintString(int32_t) {}
int32_t con_Execute(const char*) { return 0; }
int32_t con_UnlimitedStores = 0;
__attribute__((weak)) int32_t con_NoCrash = 0;
