// Developer readout pages: blocks of text over the current frame that read
// live game state. Each page is switched by a developer word ("page NAME")
// and drawn by dbg_ReadoutFrame once per drawn flight frame, after the
// overlay pass.
#pragma once
#include <cstddef>
#include <cstdint>

struct MathVec3;

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
// The terrain pass's frame counter at pixel (10, 200).
void dbg_DrawTerrainCount(void);
// The label buffer (dbg_LabelBuffer) at its kept pixel position (0, 0).
void dbg_DrawMessageAt(void);
// The seeker head's angles, the direction it last tracked and the angle
// between them; the player's target's world position when there is one.
void dbg_DrawSeekerPage(void);
// Runs the terrain-clearance look-ahead and draws it into the 3D view: its
// steps as red diamonds, those below the clearance joined to white ones at
// the clearance, the point it went below the clearance, and the current
// waypoint.
void dbg_DrawClearancePrediction(void);
// The fields of app_VersionRecord.
void dbg_DrawVersionPage(void);
// The camera's angles and the player's angle changes per frame, each also
// shifted right by 16.
void dbg_DrawChaseAngles(void);
// A 16-segment ring of the radius (metres) around the position (metres),
// in the level plane of the current aircraft (the world's without one):
// each segment whose two ends project is drawn clipped in the colour slot.
void dbg_DrawRing3D(const MathVec3* position, int32_t colour, float radius);

// The readout pages' switches, one bit per page of the word table; the
// frame step draws those that are on.
extern uint32_t dbg_ReadoutPages;
void dbg_ReadoutFrame(void);
// The developer words "page NAME" (see dbgreadout.cpp for the names): 1 when
// the text was one of them (the page's switch flipped), else 0.
int32_t dbg_ReadoutWord(const char* text);
