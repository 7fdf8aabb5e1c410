// Cheat codes typed after ':'.
#pragma once
#include <cstdint>

// 1 when the text advanced the unlock or ran a cheat, 0 otherwise.
int32_t cheat_Command(const char* text);
