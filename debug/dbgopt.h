// Developer option bits and the monochrome debug text screen.
#pragma once
#include <cstdint>

#include "debug/dbgmono.h"

// Developer option bits, 0 at start. 0x200: the virtual cursor status page.
constexpr int32_t DBG_OPT_VCURSOR_STATUS = 0x200;
extern int32_t dbg_OptionBits;
