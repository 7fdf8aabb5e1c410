// The in-flight tactical map and the information pages that the input
// actions open, close and scroll.
#pragma once
#include <cstddef>
#include <cstdint>

// Nonzero while the full-screen tactical map is open.
extern int32_t tacmap_Shown;
// The zoom steps of the open map: 2048, or 6144 when fast, kept within
// TACMAP_ZOOM_MIN..TACMAP_ZOOM_MAX.
void tacmap_ZoomIn(int32_t fast);
void tacmap_ZoomOut(int32_t fast);

// The map state, cleared on the first draw of the run and kept from one
// opening to the next.
struct TacmapState {
    int32_t originX, originY;  // screen position of grid line 0
    int32_t zoom;              // 16.16
    int32_t cell;              // pixels between grid lines
    int32_t factor;            // world-to-screen factor F
    int32_t firstColumn, firstRow;
    int32_t panX, panZ;        // world units added to the map centre
};
constexpr int32_t TACMAP_ZOOM_MIN = 81920;
constexpr int32_t TACMAP_ZOOM_MAX = 951296;
constexpr int32_t TACMAP_ZOOM_START = 131072;
extern TacmapState tacmap_Map;
extern int32_t tacmap_MapInitialised;
struct FixWorldPos;
// The map's centre while it draws: the player's position moved by the pan
// (a copy; the player object itself is not moved). The map-content hook
// plots around it.
extern FixWorldPos tacmap_MapCentre;
// The steps of tacmap_Draw.
void tacmap_GridDraw(void);
void tacmap_GridLabelsDraw(void);
void tacmap_OwnMarkerDraw(void);
void tacmap_PositionReadout(void);
// The name of grid column index 0..31: A..Z, then AA..FF.
void tacmap_ColumnLetter(int32_t index, char* out, size_t size);
// Grid column and row of a world position.
int32_t tacmap_ColumnOf(uint32_t x);
int32_t tacmap_RowOf(uint32_t z);

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

// The four goal lists: primary, secondary, bonus, fail. An entry's text is
// the goal text after its condition, or null when the condition hid it.
enum : int32_t { TACMAP_GOALS_PRIMARY, TACMAP_GOALS_SECONDARY, TACMAP_GOALS_BONUS, TACMAP_GOALS_FAIL };
constexpr int32_t TACMAP_GOAL_LISTS = 4;
struct TacmapGoal {
    int32_t done;
    const char* text;
};
struct TacmapGoalList {
    TacmapGoal* entries;  // "GOAL DATA", grown by one entry per goal
    int32_t count;
    int32_t visible;      // entries with a text
    int32_t remaining;    // visible goals not yet done
    int32_t kind;
};
extern TacmapGoalList tacmap_Goals[TACMAP_GOAL_LISTS];
// Bonus goals done, the mission-complete flag and the tick it was reached.
extern int32_t tacmap_BonusDone;
extern int32_t tacmap_MissionComplete;
extern uint32_t tacmap_CompleteTick;
// A campaign mission counts in the campaign; set at goal load. The end
// flag keeps the mission end to one run per flight.
extern int32_t tacmap_MissionCounted;
extern int32_t tacmap_MissionEndDone;
// The flight's start tick and the ticks spent paused since.
extern uint32_t tacmap_FlightStartTick;
extern uint32_t tacmap_PausedTicks;
// Reads the lists of group "MISS n GOALS" of a mission text table (none
// without a table); frees the lists before.
struct FileTable;
void tacmap_GoalsLoadFrom(const FileTable* table, int32_t missionNumber);
void tacmap_GoalsFree(void);
// The mission's byte counters 0..511 that goal conditions test; any other
// number reads 0.
constexpr int32_t TACMAP_MISSION_COUNTERS = 512;
int32_t tacmap_MissionCounter(int32_t n);

// The flight's statistics: counters (0 air kills, 1 landings, 2 ground
// kills, 3 crashes), five weapon records (0 the total, 1..4 gun, the two
// missile families, bombs: shots, hits, air hits, ground hits) and the
// per-weapon-type records. The front end keeps a byte image of it
// (TACMAP_STATISTICS_SIZE bytes, layout in docs/formats.md).
constexpr int32_t TACMAP_STATISTICS_SIZE = 1176;
constexpr int32_t TACMAP_STAT_COUNTERS = 8;
constexpr int32_t TACMAP_WEAPON_RECORDS = 5;
constexpr int32_t TACMAP_TYPE_RECORDS = 32;
struct TacmapWeaponRecord {
    int32_t type;
    int32_t count[4];
};
struct TacmapStatistics {
    int32_t counter[TACMAP_STAT_COUNTERS];
    TacmapWeaponRecord weapon[TACMAP_WEAPON_RECORDS];
    int32_t typeCount;
    TacmapWeaponRecord types[TACMAP_TYPE_RECORDS];
};
void tacmap_StatisticsGather(TacmapStatistics* s);
void tacmap_StatisticsImage(const TacmapStatistics* s, uint8_t* out);
extern uint8_t tacmap_FrontEndStatistics[TACMAP_STATISTICS_SIZE];
// The mission score of a flight: points, weighted kills and bonus goals,
// three quarters of it (toward zero) when reduced.
int32_t tacmap_MissionScore(const TacmapStatistics* s, int32_t points, int32_t bonusDone, int32_t reduced);
void tacmap_MissionScoreAdd(const TacmapStatistics* s);
// Adds the flight into the pilot record's totals (minutes flown too).
void tacmap_PilotTotalsAdd(const TacmapStatistics* s, uint32_t minutes);
// Campaign progress by chapter: the highest mission reached and the last
// flown, and the flags the front end reads after a flight.
constexpr int32_t TACMAP_CHAPTERS = 64;
constexpr int32_t TACMAP_HEADER_FLOWN = 133;  // header byte whose bit 0 marks a flown mission
struct TacmapCampaign {
    int32_t chapterCount;                  // last chapter number
    uint8_t missionCount[TACMAP_CHAPTERS]; // missions per chapter
    uint8_t highest[TACMAP_CHAPTERS];
    uint8_t lastFlown[TACMAP_CHAPTERS];
    int32_t complete;
    int32_t chapterAdvanced;
    int32_t newChapter;
};
extern TacmapCampaign tacmap_Campaign;
// Debug overlay: every mission counter.
void tacmap_CounterDumpDraw(void);

// Squadrons: the 800-byte "SQUADRON BUFFER" of 16 entries of 50 bytes, the
// squadron name at +16 of an entry.
constexpr int32_t TACMAP_SQUADRONS = 16;
constexpr int32_t TACMAP_SQUADRON_ENTRY_SIZE = 50;
constexpr int32_t TACMAP_SQUADRON_NAME = 16;
extern uint8_t* tacmap_SquadronBuffer;
void tacmap_SquadronBufferInit(void);
struct PlayerSlot;
// Name and password fields of an entry (21 and 11 characters and the
// terminator); the password at +38.
constexpr int32_t TACMAP_SQUADRON_NAME_SIZE = 22;
constexpr int32_t TACMAP_SQUADRON_PASSWORD_SIZE = 12;
// Adds the player to the named squadron (an existing entry, when the
// password matches, or a new one): its entry, or -1 when there is no
// buffer, no name, a wrong password or no room. Name and password are read
// within their field sizes.
int32_t tacmap_SquadronJoin(PlayerSlot* player, const char* squadron, const char* password);
// The player leaves its squadron; the last member frees the entry.
void tacmap_SquadronLeave(PlayerSlot* player);
int32_t tacmap_SquadronMembers(int32_t index);
// The entry's name, or null for a free entry or another index.
const char* tacmap_SquadronName(int32_t index);
// The level's start text on the local screen (server restart with a local
// player) and the mission results at client stop.
void tacmap_StartTextShow(void);
void tacmap_MissionEnd(void);

// Page layout: a length of the 320 by 240 layout in pixels, and a page box
// (the card's rectangle x1, y1 to x2, y2; the software panel x, y, width,
// height; both in layout units).
int32_t tacmap_Scaled(int32_t v);
void tacmap_PageBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y, int32_t width,
                    int32_t height, int32_t style);
// The same box in pixels: through the 3D card's box entry with the surface
// unlocked, else a bevelled panel.
void tacmap_BoxPixels(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y, int32_t width,
                      int32_t height, int32_t style);
// A page line at (x, y) pixels in page colour 0..12, shadowed; nothing for
// a line below the screen.
void tacmap_PageText(const char* text, const struct BitmapFont* font, int32_t x, int32_t y, int32_t colour);
// Draws game text item centred at y (pixels), shadowed: y + 30.
int32_t tacmap_StringLineDraw(int32_t y, int32_t colour, uint32_t item, const struct BitmapFont* font);
// The start texts (switches set by the client) drawn over the frame.
extern int32_t tacmap_StartTextOn;
extern int32_t tacmap_StartTextSecond;
void tacmap_StartTextDraw(void);
// The score page's first line.
extern int32_t tacmap_ScoreFirst;
// Moves the score page's first line by step for count players.
int32_t tacmap_ScoreScroll(int32_t first, int32_t step, int32_t count);
// Lines the keys page listed on its last draw (at most TACMAP_KEYS_LINES).
constexpr int32_t TACMAP_KEYS_LINES = 39;
extern int32_t tacmap_KeysListed;

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

// The display name of a map item (valid until the next call).
struct LevelMapItem;
const char* tacmap_ItemNameGetC(const LevelMapItem* item);
// The name routines' two texts: the result they return and the scratch
// text a name word is put in before its frame is applied. A kind-6 item
// whose description names no word applies its frame to the scratch text as
// the previous name left it.
constexpr size_t TACMAP_NAME_SIZE = 256;
extern char tacmap_NameResult[TACMAP_NAME_SIZE];
extern char tacmap_NameScratch[TACMAP_NAME_SIZE];
// Every kind but 6: text 0 while the item is hidden by its reveal mode and
// trigger flag, kinds 7 and 8 their framed name words, any other kind k
// text k.
const char* tacmap_ItemName(const LevelMapItem* item);
// Kind 6: the frame text 6 applied to the name word of the item's
// description.
const char* tacmap_ItemNameKind6(const LevelMapItem* item);
// Word 27 + index (kind 7) or 177 + index (kind 8) in its frame, into the
// result; 0 (a missing word reads "???").
int32_t tacmap_LabelKind7(int32_t index);
int32_t tacmap_LabelKind8(int32_t index);
