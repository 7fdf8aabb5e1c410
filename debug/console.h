// Developer console services used outside the console.
#pragma once
#include <cstdint>

// Shows entry n of the message string table on the debug text ring.
void con_PrintString(int32_t n);
