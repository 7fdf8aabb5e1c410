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

// Mission goals: read from the mission text table at level load,
// re-evaluated at a level restart.
void tacmap_GoalsLoad(void);
void tacmap_GoalsUpdate(void);

// Squadrons: the 800-byte "SQUADRON BUFFER" of 16 entries of 50 bytes, the
// squadron name at +16 of an entry.
constexpr int32_t TACMAP_SQUADRONS = 16;
constexpr int32_t TACMAP_SQUADRON_ENTRY_SIZE = 50;
constexpr int32_t TACMAP_SQUADRON_NAME = 16;
extern uint8_t* tacmap_SquadronBuffer;
void tacmap_SquadronBufferInit(void);
struct PlayerSlot;
// Adds the player to the named squadron (an existing entry or a new one):
// its entry, or -1 when there is no buffer, no name or no room.
int32_t tacmap_SquadronJoin(PlayerSlot* player, const char* squadron, const char* password);
void tacmap_SquadronLeave(PlayerSlot* player);
// The level's start text on the local screen (server restart with a local
// player) and the mission results at client stop.
void tacmap_StartTextShow(void);
void tacmap_MissionEnd(void);

// The full-screen map, the score lines and the information pages drawn by
// the frame, with the pages' key handlers.
void tacmap_Draw(void);
void tacmap_PlayerScoresDraw(void);
void tacmap_GoalsPageDraw(void);
void tacmap_KeysPageDraw(void);
void tacmap_DebriefDraw(void);
void tacmap_DebriefKeys(void);
void tacmap_PausePageDraw(void);
void tacmap_PausePageKeys(void);
void tacmap_PlayerTypeDraw(void);
void tacmap_PlayerTypeKeys(void);
void tacmap_PlayerListDraw(void);
void tacmap_PlayerListKeys(void);
void tacmap_ResultPageDraw(void);
void tacmap_ResultPageKeys(void);
void tacmap_ResultScoresDraw(void);
void tacmap_ScorePageDraw(void);
void tacmap_ScorePageKeys(void);
void tacmap_PanKeys(void);
// The mission outcome: 0 running, 1 success, 2 failed, 3 abandoned; and the
// clock tick it was last set at.
extern int32_t tacmap_MissionOutcome;
extern uint32_t tacmap_OutcomeTick;

// A label's condition: a mode byte and a trigger counter number. Mode 0 is
// false, 1 true while the counter is 0, any other true while it is not.
struct TacmapLabelCondition {
    uint8_t mode;
    uint16_t counter;
};
int32_t tacmap_LabelConditionTest(const TacmapLabelCondition* condition);
// A goal text's leading condition "(CV n)+" (shown while mission counter n
// is nonzero) or "(CV !n)+" (while it is 0): the text after the condition,
// the whole text when it has none, or null when the condition fails.
const char* tacmap_GoalConditionTest(const char* text);
// Books the current campaign mission as done in the front end's mission
// list.
void tacmap_MissionResultRecord(void);
// The trigger runtime's goal action: goal n of goal list `list` (0 primary,
// 1 secondary, 2 bonus, 3 fail) is done, and the mission outcome follows.
// 0 when there is no such goal.
int32_t tacmap_GoalAction(int32_t list, int32_t goal);
