// Stand-in until the debug text lands: lines are dropped.
#include "debug/dbgtext.h"

void dbg_TextLineAdd(const char*) {}
void dbg_TextPrint(const char* text) { dbg_TextLineAdd(text); }
void dbg_TextInit(void) {}
void dbg_TextReset(void) {}
void dbg_TextDraw(void) {}
const char* dbg_EngineMessage = nullptr;
