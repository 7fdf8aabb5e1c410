// Stand-in until the tactical map and the information pages land.
#include "cockpit/tacmap.h"

int32_t tacmap_Shown = 0;
int32_t tacmap_GoalsShown = 0;
int32_t tacmap_KeysShown = 0;
int32_t tacmap_KeysScroll = 0;
int32_t tacmap_ScoreShown = 0;
int32_t tacmap_PlayerListShown = 0;
int32_t tacmap_RecentShown = 0;
int32_t tacmap_TeamPlay = 0;
int32_t tacmap_OwnSquadron = -1;

void tacmap_ZoomIn(int32_t) {}
void tacmap_ZoomOut(int32_t) {}
