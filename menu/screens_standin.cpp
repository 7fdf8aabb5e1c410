// Stand-ins for routines of screens not built yet.
#include "menu/mnu.h"

void mnu_CallbackStandin(int32_t) {}
void mnu_CreditsStep(MnuContext*) {}
