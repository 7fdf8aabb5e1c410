// The mission list (headers of every mission found, built at start-up) and
// the quick mission screen that offers the available ones.
#pragma once
#include <cstdint>

#include "menu/front.h"

constexpr int32_t MNU_MISSION_HEADER = 196;  // the mission file's header record
constexpr int32_t MNU_MISSION_TITLE = 128;
constexpr int32_t MNU_MISSION_DESCRIPTION = 512;
constexpr int32_t MNU_MISSION_FILES = 65;     // word 0: campaign files found; 1+n: missions of file n
constexpr int32_t MNU_MISSION_FIRST_FREE = 29;  // files from here on are always available
constexpr int32_t MNU_MISSION_LAST_FILE = 63;
constexpr int32_t MNU_MISSIONS_PER_FILE = 15;
constexpr int32_t MNU_QM_ROWS = 6;

struct MnuMissionHeader {
    uint8_t header[MNU_MISSION_HEADER];  // byte 16 region, 17 time of day, 132 bit 0 always available
    char title[MNU_MISSION_TITLE];
    char description[MNU_MISSION_DESCRIPTION];
    uint8_t available;
    uint8_t spare[3];
    int32_t fileNumber;
    int32_t missionNumber;  // 1..15
    MnuMissionHeader* next;
};

extern MnuMissionHeader* mnu_MissionList;
extern int32_t mnu_MissionCount;
extern int32_t mnu_MissionFileCounts[MNU_MISSION_FILES];
extern int32_t mnu_MissionCurrent;  // index into the whole list
// The game mode word: 1 quick mission, 0 campaign.
extern int32_t mnu_GameMode;

void mnu_MissionListReset(void);
MnuMissionHeader* mnu_MissionFind(int32_t fileNumber, int32_t missionNumber);
// Makes that record current; unchanged when none matches.
void mnu_MissionSelect(int32_t fileNumber, int32_t missionNumber);
MnuMissionHeader* mnu_QuickMissionCurrent(void);

// The quick mission screen.
extern const AppStateRecord WndMisBrief;

struct MnuQuickState {
    MnuMissionHeader* available;  // "QuickMission List"
    int32_t availableCount;
    int32_t top, selected;
    int32_t listRedraw;
    float step;  // knob pixels per row
};
extern MnuQuickState mnu_Quick;
extern char mnu_UserMissionName[260];
extern MnuMissionHeader mnu_UserMission;

void cbQMAccept(int32_t);
void cbQMUser(int32_t);
void cbQMSel(int32_t row);
void cbQMUp(int32_t);
void cbQMDown(int32_t);
void cbQMBack(int32_t);
// Fills the six rows from the available list at top.
void mnu_QuickRowsFill(void);
// The knob's drag handler of the scroll zone (left button down, repeated).
void mnu_QuickKnobDrag(chs_Zone* zone, int32_t argument);
// The scroll buttons' states for the current page.
void mnu_QuickScrollButtonsUpdate(void);
