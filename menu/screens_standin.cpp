// Stand-ins for routines and screens not built yet.
#include "menu/front.h"
#include "menu/quick.h"

void mnu_CallbackStandin(int32_t) {}

