// The on-screen debug text lines.
#pragma once

// Adds a debug line; dbg_TextPrint is the same for plain callers.
void dbg_TextLineAdd(const char* text);
void dbg_TextPrint(const char* text);
// Per level: the 2048-byte buffer, then the reset; the reset alone clears
// the lines.
void dbg_TextInit(void);
void dbg_TextReset(void);

// The debug text lines on the frame.
void dbg_TextDraw(void);
// The engine message text shown as a block of lines (null: none loaded).
extern const char* dbg_EngineMessage;
