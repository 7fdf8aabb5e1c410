// Developer option bits.
#include "debug/dbgopt.h"

int32_t dbg_OptionBits = 0;
