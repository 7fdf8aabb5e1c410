// Developer readout pages: blocks of text over the current frame that read
// live game state. Each page is switched by a developer word ("page NAME")
// and drawn by dbg_ReadoutFrame once per drawn flight frame, after the
// overlay pass.
#pragma once
#include <cstddef>
#include <cstdint>

void dbg_DrawTerrainInfo(void);
void dbg_DrawVoiceTable(void);
void dbg_DrawFrameRateLine(void);
void dbg_DrawNetStatistics(void);
// Only while dbg_TimingPageShown is set.
void dbg_DrawTimingPage(void);
// Clears at most the first 204,800 bytes of the selected frame buffer, then
// the player's position; nothing at all without a player aircraft.
void dbg_DrawPositionPage(void);
void dbg_DrawLocale(void);
void dbg_DrawObjectLists(void);
void dbg_DrawAirDataPage(void);
void dbg_DrawTargetLists(void);
// Each force's scale and current value; the LEVEL line is labelled "Level".
void dbg_DrawFeedbackPage(void);
extern int32_t dbg_TimingPageShown;

// The readout pages' switches, one bit per page of the word table; the
// frame step draws those that are on.
extern uint32_t dbg_ReadoutPages;
void dbg_ReadoutFrame(void);
// The developer words "page NAME" (see dbgreadout.cpp for the names): 1 when
// the text was one of them (the page's switch flipped), else 0.
int32_t dbg_ReadoutWord(const char* text);
