// The in-flight chat input line: a line typed to all players, to the
// player's squadron, or to the command interpreters. The chat actions set
// the mode, select the chat line's screen state and clear the line; its draw
// routine opens it, and its key routine types, recalls or records a macro,
// and sends the line on Enter. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

// 0 all players, 1 squadron, 4 command code (2 and 3 have labels only).
extern uint32_t chat_Mode;
constexpr size_t CHAT_TEXT_SIZE = 128;
// The typed text, zero-terminated.
extern char chat_Text[CHAT_TEXT_SIZE];
// 1 while the line is open.
extern uint8_t chat_Active;
// The line as other players see it.
extern char chat_Line[CHAT_TEXT_SIZE];
// Typing stops once the composed line is this wide in the chat font or
// this long.
constexpr int32_t CHAT_LINE_WIDTH_MAX = 620;
constexpr size_t CHAT_LINE_CHARS_MAX = 127;
// Macro n is recalled with Alt and digit key n, and recorded from the typed
// text when Shift is held as well.
extern int32_t chat_MacrosOn;

// Closes the line and clears the typed text.
void chat_InputClear(void);
// Writes chat_Line for the current mode and text.
void chat_Compose(void);
// Composes and queues the line as MSG_CHAT; nothing in single player.
void chat_Send(void);
// The input text as drawn: "~0]~5 " and the typed text, or one '?' per
// character of a text that begins with ':', then the '_' cursor.
void chat_InputTextFormat(char* out, size_t size);
// The chat line screen state: its draw routine (which opens the line) and
// key handler.
void chat_LineDraw(void);
void chat_LineKeys(void);
