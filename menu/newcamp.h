// The pilot slots and their files, the campaign screen (ten pilot slots,
// statistics, campaigns and medals), the statistics and splash screens and
// the contest screen. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "menu/brief.h"
#include "menu/front.h"

struct FileTable;

// --- Pilot files (mnu_pilot.cpp) ---
constexpr int32_t MNU_PILOT_SLOTS = 10;
constexpr size_t MNU_PILOT_FILE_MAX = MNU_PILOT_SIZE + MNU_PILOT_COUNTERS + 2 * (4 + 4 * MNU_PILOT_STORES);
constexpr int32_t MNU_PILOT_CALLSIGN = 1180;         // text, 21 characters and a zero
constexpr int32_t MNU_PILOT_CALLSIGN_LENGTH = 21;
constexpr int32_t MNU_PILOT_RETIRED = 4052;          // 8 bits, nonzero: retired
constexpr int32_t MNU_PILOT_TIME = MNU_PILOT_TOTALS + 52;  // 32 bits: minutes flown
constexpr int32_t MNU_PILOT_RUNTIME = 4060;          // 32 bits, zeroed on load
// Campaign n's last mission reached, one byte each for campaigns 1..36
// (after the score, the record's last free bytes).
constexpr int32_t MNU_PILOT_REACHED = 5416;
constexpr int32_t MNU_PILOT_REACHED_COUNT = MNU_PILOT_SIZE - MNU_PILOT_REACHED;

// "FSLOTnn.sav".
void mnu_PilotFileName(int32_t slot, char* out, size_t size);
// Reads slot 1..10's file into *out: 1 read, 0 no file (zeroed record), -1
// a damaged file (kept beside as ".bad", zeroed record).
int32_t mnu_PilotFileRead(int32_t slot, MnuPilot* out);
int32_t mnu_PilotParseInto(MnuPilot* out, const uint8_t* data, size_t size);
// Loads the file of the record's slot into the record: campaign and mission
// 0 read as 1, the run-time fields zeroed, the slot number kept.
void mnu_PilotLoad(void);
// mnu_PilotSave with its result: 1 written, 0 nothing written (quick
// mission, no slot, or the write failed and the old file is kept).
int32_t mnu_PilotSaveResult(void);
// The callsign, bounded to 21 characters; and setting it from a name.
void mnu_PilotCallsign(const MnuPilot* p, char* out, size_t size);
void mnu_PilotCallsignSet(const char* name);
int32_t mnu_PilotLastReached(int32_t campaign);
void mnu_PilotLastReachedSet(int32_t campaign, int32_t mission);

// --- Statistics texts (mnu_stats.cpp) ---
// The thirteen rows of a prefix P: label areas P+row, values "%s%sStats".
// Fill moves the value areas right by the widest label once per prefix.
void mnu_StatsFill(MnuContext* c, const char* prefix);
void mnu_StatsClear(MnuContext* c, const char* prefix);
// One fired/hit row's text: fired, hits and the hit ratio (0.0 without hits).
void mnu_StatsPairFormat(MnuContext* c, uint32_t fired, uint32_t hits, char* out, size_t size);
void mnu_StatsTimeFormat(uint32_t minutes, char* out, size_t size);
extern const AppStateRecord WndSplash;
extern uint32_t mnu_SplashEnd;
void cbStatsBack(int32_t);
void cbSplashExit(int32_t);

// --- The campaign screen (mnu_newcamp.cpp) ---
constexpr int32_t MNU_MEDALS = 5;
constexpr int32_t MNU_SLOT_NAME = 24;
struct MnuNewCampState {
    int32_t subPage;   // 0 statistics, 1 campaigns, 2 medals
    int32_t selected;  // 0..9, -1 none
    FileTable* strings;  // "KRX_CC.BIN"
    const char* emptyText;
    int32_t medalHover;
    int32_t dialogOpen;
    char names[MNU_PILOT_SLOTS][MNU_SLOT_NAME];
    chs_Zone* medalZones[MNU_MEDALS];
};
extern MnuNewCampState mnu_NewCamp;

void cbNCSlot(int32_t slot);
void cbNCEdit(int32_t);
void cbNCClear(int32_t);
void cbNCOk(int32_t);
void cbNCCancel(int32_t);
void cbNCStatTog(int32_t step);
void cbNCCampTog(int32_t step);
void cbNCAccept(int32_t);
void cbNCBack(int32_t);
// Steps the campaign by -1 or +1 over the campaign files found.
void mnu_NewCampCampaignStep(int32_t step);
void mnu_NewCampMedalsShow(void);

// --- The contest screen (mnu_contest.cpp) ---
extern const AppStateRecord WndContest;
// The key phrase the contest pictures are scrambled with.
extern const char mnu_ContestKey[];
constexpr uint32_t MNU_CONTEST_TICKS = 7200;
struct MnuContestState {
    uint16_t* background;  // "mnu CONTEST BG"
    int32_t width, height;
    int32_t picture;  // 1 or 2 shown, 0 none
};
extern MnuContestState mnu_Contest;
// A scrambled picture file's bytes (unscrambled in place) into the
// background: 1, or 0 when it does not decode (no background then).
int32_t mnu_ContestPictureDecode(uint8_t* buffer, int32_t size);
void mnu_ContestFree(void);
void cbCONTESTBack(int32_t);

// The screen KRX_SCREEN names ("contest", "splash" or "stats") as the
// runner's next state, for headless runs: 1 when set, 0 otherwise.
int32_t mnu_ScreenFromEnvironment(void);
