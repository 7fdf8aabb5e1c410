// Stand-in until the debug text lands: lines are dropped.
#include "cockpit/hud.h"
#include "debug/dbgtext.h"

// The HUD repeater keeps every line shown.
void dbg_TextLineAdd(const char* text) { hud_RepeaterAdd(text); }
void dbg_TextPrint(const char* text) { dbg_TextLineAdd(text); }
void dbg_TextInit(void) {}
void dbg_TextReset(void) {}
void dbg_TextDraw(void) {}
const char* dbg_EngineMessage = nullptr;
