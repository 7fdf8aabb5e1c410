// The in-flight chat input line.
#pragma once
#include <cstdint>

// 0 all players, 1 squadron, 4 command code.
extern uint32_t chat_Mode;
// Closes the line and clears the typed text.
void chat_InputClear(void);
// The chat line screen state: its draw routine and key handler.
void chat_LineDraw(void);
void chat_LineKeys(void);
