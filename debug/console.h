// Developer console services used outside the console.
#pragma once
#include <cstdint>

// Clears the console toggles (start-up).
void con_ClearToggles(void);
// Shows entry n of the message string table on the debug text ring.
void con_PrintString(int32_t n);
// Runs a console command: 1 when the text was one, 0 otherwise.
int32_t con_Execute(const char* text);
// The unlimited-stores switch: releases take nothing off the stores.
extern int32_t con_UnlimitedStores;
// The no-crash switch: touchdowns and ground rolls never crash.
extern int32_t con_NoCrash;
