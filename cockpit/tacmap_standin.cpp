// Stand-in until the tactical map and the information pages land.
#include "cockpit/tacmap.h"

#include <cstdlib>
#include <cstring>

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

// Goals, start text and results: nothing to show yet. The squadron buffer
// keeps its layout so that joins find their entries.
#include <strings.h>

#include <cstring>

#include "base/mem.h"

uint8_t* tacmap_SquadronBuffer = nullptr;

void tacmap_GoalsLoad(void) {}
void tacmap_GoalsUpdate(void) {}
void tacmap_StartTextShow(void) {}
void tacmap_MissionEnd(void) {}

void tacmap_SquadronBufferInit(void) {
    tacmap_SquadronBuffer =
        static_cast<uint8_t*>(mem_AllocEx(TACMAP_SQUADRONS * TACMAP_SQUADRON_ENTRY_SIZE, 4, "SQUADRON BUFFER"));
    if (tacmap_SquadronBuffer) memset(tacmap_SquadronBuffer, 0, TACMAP_SQUADRONS * TACMAP_SQUADRON_ENTRY_SIZE);
}

int32_t tacmap_SquadronJoin(PlayerSlot*, const char* squadron, const char*) {
    if (!tacmap_SquadronBuffer || !squadron || !squadron[0]) return -1;
    constexpr size_t field = TACMAP_SQUADRON_ENTRY_SIZE - TACMAP_SQUADRON_NAME;
    int32_t empty = -1;
    for (int32_t i = 0; i < TACMAP_SQUADRONS; i++) {
        char* name = reinterpret_cast<char*>(tacmap_SquadronBuffer + i * TACMAP_SQUADRON_ENTRY_SIZE + TACMAP_SQUADRON_NAME);
        if (!name[0]) {
            if (empty < 0) empty = i;
            continue;
        }
        if (strncasecmp(name, squadron, field - 1) == 0) return i;
    }
    if (empty < 0) return -1;
    char* name = reinterpret_cast<char*>(tacmap_SquadronBuffer + empty * TACMAP_SQUADRON_ENTRY_SIZE + TACMAP_SQUADRON_NAME);
    size_t n = strnlen(squadron, field - 1);
    memcpy(name, squadron, n);
    name[n] = 0;
    return empty;
}

void tacmap_SquadronLeave(PlayerSlot*) {}
void tacmap_Draw(void) {}
void tacmap_PlayerScoresDraw(void) {}
void tacmap_GoalsPageDraw(void) {}
void tacmap_KeysPageDraw(void) {}
void tacmap_DebriefDraw(void) {}
void tacmap_DebriefKeys(void) {}
void tacmap_PausePageDraw(void) {}
void tacmap_PausePageKeys(void) {}
void tacmap_PlayerTypeDraw(void) {}
void tacmap_PlayerTypeKeys(void) {}
void tacmap_PlayerListDraw(void) {}
void tacmap_PlayerListKeys(void) {}
void tacmap_ResultPageDraw(void) {}
void tacmap_ResultPageKeys(void) {}
void tacmap_ResultScoresDraw(void) {}
void tacmap_ScorePageDraw(void) {}
void tacmap_ScorePageKeys(void) {}
void tacmap_PanKeys(void) {}
__attribute__((weak)) int32_t tacmap_MissionOutcome = 0;
__attribute__((weak)) uint32_t tacmap_OutcomeTick = 0;

// Stand-in until the goal conditions land: counters read as 0.
int32_t tacmap_LabelConditionTest(const TacmapLabelCondition* condition) {
    return condition && condition->mode == 1;
}
// Mission counters are all 0 until the goals land: "(CV n)+" fails and
// "(CV !n)+" passes.

const char* tacmap_GoalConditionTest(const char* text) {
    if (!text) return nullptr;
    const char* plus = strchr(text, '+');
    if (strncmp(text, "(CV ", 4) != 0 || !plus) return plus ? plus + 1 : text;
    bool negated = text[4] == '!';
    return negated ? plus + 1 : nullptr;
}

void tacmap_MissionResultRecord(void) {}
int32_t tacmap_GoalAction(int32_t list, int32_t goal) { return list >= 0 && list < 4 && goal >= 0; }
