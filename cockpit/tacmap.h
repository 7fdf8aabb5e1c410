// The in-flight tactical map and the information pages that the input
// actions open, close and scroll.
#pragma once
#include <cstdint>

// Nonzero while the full-screen tactical map is open.
extern int32_t tacmap_Shown;
void tacmap_ZoomIn(int32_t fast);
void tacmap_ZoomOut(int32_t fast);

// Page toggles.
extern int32_t tacmap_GoalsShown;
extern int32_t tacmap_KeysShown;
extern int32_t tacmap_KeysScroll;   // first binding listed on the keys page
extern int32_t tacmap_ScoreShown;
extern int32_t tacmap_PlayerListShown;
extern int32_t tacmap_RecentShown;

// The game's team-play word and the player's squadron word (-1 none).
extern int32_t tacmap_TeamPlay;
extern int32_t tacmap_OwnSquadron;
