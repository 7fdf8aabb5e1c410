// The pilot record as the mission screens use it, the mission briefing
// screen and the teletype page shown before a campaign mission.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "menu/front.h"
#include "menu/mnu.h"

struct FileTable;
struct _ORF;

// --- The pilot record (mnu_pilot.cpp) ---
// The 5452 bytes saved as the slot's pilot file, then the extension block
// that follows them in the file (layout in docs/formats.md).
constexpr int32_t MNU_PILOT_SIZE = 5452;
constexpr int32_t MNU_PILOT_SLOT = 2;                // 16 bits, 1..10; 0 none
constexpr int32_t MNU_PILOT_MISSION_STATE = 1204;    // the 2832-byte mission state
constexpr int32_t MNU_PILOT_CAMPAIGN = 4044;         // 16 bits, from 1
constexpr int32_t MNU_PILOT_MISSION = 4046;          // 16 bits, from 1
constexpr int32_t MNU_PILOT_RETURNED = 4048;         // 16 bits: 1 flown, 2 back to the main screen
constexpr int32_t MNU_PILOT_COMPLETED = 4050;        // 16 bits: a campaign was won
constexpr int32_t MNU_PILOT_CAMPAIGNS_DONE = 5352;   // 32 bits
constexpr int32_t MNU_PILOT_TOTALS = 5356;           // 14 x 32 bits: the flights' totals
constexpr int32_t MNU_PILOT_SCORE = 5412;            // 32 bits: the missions' score
constexpr int32_t MNU_PILOT_COUNTERS = 2048;
constexpr int32_t MNU_PILOT_STORES = 64;

struct MnuPilotStore {
    uint16_t key;
    uint16_t count;
};
struct MnuPilot {
    uint8_t record[MNU_PILOT_SIZE];
    // The extension block.
    uint8_t counters[MNU_PILOT_COUNTERS];       // the campaign's mission counters
    int32_t usedCount;                          // stores the last flight used
    MnuPilotStore used[MNU_PILOT_STORES];
    int32_t gainedCount;                        // stores the last flight gained
    MnuPilotStore gained[MNU_PILOT_STORES];
};
extern MnuPilot mnu_Pilot;

uint16_t mnu_PilotGet16(int32_t offset);
void mnu_PilotSet16(int32_t offset, uint16_t value);
uint32_t mnu_PilotGet32(int32_t offset);
void mnu_PilotSet32(int32_t offset, uint32_t value);
// Adds a (key, count) entry to the used or gained list; 0 when full.
int32_t mnu_PilotStoreAdd(int32_t gained, uint16_t key, uint16_t count);
// The file image (record and extension) and the record from one: 1, or 0
// for a file of another size (the record is left zeroed). A 5452-byte
// file has no extension and loads with an empty one.
std::vector<uint8_t> mnu_PilotImage(void);
int32_t mnu_PilotParse(const uint8_t* data, size_t size);

// --- The mission briefing screen (mnu_brief.cpp) ---
constexpr int32_t MNU_BRIEF_POINTS = 32;
constexpr int32_t MNU_BRIEF_POINT_SIZE = 24;
struct MnuBriefState {
    int32_t skipState;       // "BtnMisSkip": 1 or 8, kept between visits
    int32_t loadoutBuilt;
    int32_t skipped;
    int32_t pointCount;
    uint8_t points[MNU_BRIEF_POINTS][MNU_BRIEF_POINT_SIZE];
    char* text;              // "mnu MB Mission Briefing"
    chs_Zone* mapZone;
    char routeMission[96];   // the mission the map screen last wrote the route for
};
extern MnuBriefState mnu_Brief;
extern const AppStateRecord WndMisBrief;

void mnu_BriefTextBuild(void);
// The number of the flight's mission within its file (1 for a mission file
// of the user's own): the n of its "MISS n ..." groups.
int32_t mnu_MissionGroupNumber(void);
// Writes the current pilot record to its slot's file.
void mnu_PilotSave(void);
void mnu_BriefPointsLoad(void);
// The points of a mission's player start group (those of its first placed
// player start, category 2), at most max of them: their count, or -1 when
// the mission has no player start or its group is missing.
int32_t mnu_MissionStartPoints(const _ORF* mission, uint8_t (*points)[MNU_BRIEF_POINT_SIZE], int32_t max);
// The flight's waypoint list (level_WaypointList) from the player start
// group of the mission file; empty when the file or the group is missing.
void mnu_RouteLoad(const char* missionFile);
void mnu_BriefLoadoutBuild(void);
// Gives every (type, count) pair of the mission's store list to the loadout.
void mnu_MissionStoresAdd(const _ORF* mission);
void mnu_BriefArrowKeys(void);
void mnu_BriefPage(void);
// The briefing text from a mission's LINE items (group "MISS n BRIEF"):
// the passing lines after their condition, "<CR>" as CR LF and "<TAB>" as
// five blanks. Empty when no line passes.
void mnu_BriefTextFrom(const FileTable* table, int32_t missionNumber, char* out, size_t size);

void cbMisAccept(int32_t);
void cbMisBack(int32_t);
void cbMisLoadOut(int32_t);
void cbMisStats(int32_t);
void cbMisMap(int32_t);
void cbMBSkip(int32_t);
void cbMisUp(int32_t);
void cbMisDown(int32_t);

// --- The teletype page (mnu_teletype.cpp) ---
constexpr int32_t MNU_ANIME_TEXT = 64;
struct MnuAnimePage {
    char anim[MNU_ANIME_TEXT], pcx[MNU_ANIME_TEXT], fontName[MNU_ANIME_TEXT], pwf[MNU_ANIME_TEXT],
        textBin[MNU_ANIME_TEXT], sound[MNU_ANIME_TEXT];
    int32_t ulx, uly, lrx, lry;
    int32_t rate, whitespaceRate, xSpacer, textId;
    int32_t x, y;
    MnuImage background;     // "mnu ANIME BG" pixels, or none
    MnuFontBlock* font;      // the named font's block, or null
    MnuRgb colours[2];
    const char* current;     // next character to type
    const char* text;
    int32_t length;
    int32_t typed;
    FileTable* strings;
    int32_t countdown;
    int32_t done;
};
extern MnuAnimePage mnu_AnimePageRecord;
extern int32_t mnu_AnimeEndCountdown;
extern const AppStateRecord WndAnime;

void mnu_AnimeLoad(MnuAnimePage* page, const char* file);
void mnu_AnimeType(MnuAnimePage* page);
void mnu_AnimeTick(MnuAnimePage* page);
void mnu_AnimePage(void);
// Frees the page's picture and string file.
void mnu_AnimeFree(MnuAnimePage* page);
void cbAnimeAccept(int32_t);
void cbAnimeBack(int32_t);
