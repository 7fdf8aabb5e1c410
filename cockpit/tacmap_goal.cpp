// Mission goals and the mission result: the four goal lists read from the
// mission text table, their conditions on the mission counters, the goal
// marks of the trigger runtime and the outcome they decide, and at the end
// of flight the campaign position, the pilot's totals and the mission score.
#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "cockpit/tacmap.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "menu/brief.h"
#include "menu/quick.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/orf.h"

TacmapGoalList tacmap_Goals[TACMAP_GOAL_LISTS];
int32_t tacmap_MissionOutcome = 0;
uint32_t tacmap_OutcomeTick = 0;
int32_t tacmap_BonusDone = 0;
int32_t tacmap_MissionComplete = 0;
uint32_t tacmap_CompleteTick = 0;
int32_t tacmap_MissionCounted = 0;
int32_t tacmap_MissionEndDone = 0;
uint32_t tacmap_FlightStartTick = 0;
uint32_t tacmap_PausedTicks = 0;
uint8_t tacmap_FrontEndStatistics[TACMAP_STATISTICS_SIZE];
TacmapCampaign tacmap_Campaign;

namespace {

const char* const kListWord[TACMAP_GOAL_LISTS] = {"PRIMARY", "SECONDARY", "BONUS", "FAIL"};

void ListFree(TacmapGoalList& list) {
    if (list.entries) mem_Free(list.entries);
    list = TacmapGoalList{};
}

// Reads the leading "(CV n)+" or "(CV !n)+": true with n and the negation
// when the text begins with a well-formed condition.
bool ConditionParse(const char* text, int32_t* counter, bool* negated) {
    if (strncmp(text, "(CV ", 4) != 0) return false;
    const char* p = text + 4;
    *negated = *p == '!';
    if (*negated) p++;
    bool minus = *p == '-';
    if (minus || *p == '+') p++;
    if (*p < '0' || *p > '9') return false;
    int64_t n = 0;
    while (*p >= '0' && *p <= '9') {
        if (n < 0x7FFFFFFF) n = n * 10 + (*p - '0');
        p++;
    }
    if (p[0] != ')' || p[1] != '+') return false;
    if (n > 0x7FFFFFFF) n = 0x7FFFFFFF;
    *counter = static_cast<int32_t>(minus ? -n : n);
    return true;
}

int32_t Now(void) { return static_cast<int32_t>(app_TickCount.load(std::memory_order_acquire)); }

}  // namespace

int32_t tacmap_MissionCounter(int32_t n) {
    if (n < 0 || n >= TACMAP_MISSION_COUNTERS) return 0;
    return level_MissionOptions[LEVEL_DESTROYED_TABLE_SIZE + n];
}

const char* tacmap_GoalConditionTest(const char* text) {
    if (!text) return nullptr;
    int32_t counter = 0;
    bool negated = false;
    if (ConditionParse(text, &counter, &negated)) {
        const bool set = tacmap_MissionCounter(counter) != 0;
        if (set == negated) return nullptr;
    }
    const char* plus = strchr(text, '+');
    return plus ? plus + 1 : text;
}

int32_t tacmap_LabelConditionTest(const TacmapLabelCondition* condition) {
    if (!condition || condition->mode == 0) return 0;
    const bool zero = tacmap_MissionCounter(condition->counter) == 0;
    return condition->mode == 1 ? zero : !zero;
}

void tacmap_GoalsFree(void) {
    for (TacmapGoalList& list : tacmap_Goals) ListFree(list);
}

void tacmap_GoalsLoadFrom(const FileTable* table, int32_t missionNumber) {
    tacmap_GoalsFree();
    char group[32];
    snprintf(group, sizeof group, "MISS %d GOALS", (int)missionNumber);
    for (int32_t kind = 0; kind < TACMAP_GOAL_LISTS; kind++) {
        TacmapGoalList& list = tacmap_Goals[kind];
        list.kind = kind;
        list.entries = static_cast<TacmapGoal*>(mem_AllocEx(0, 4, "GOAL DATA"));
        for (int32_t n = 1; table; n++) {
            char item[32];
            snprintf(item, sizeof item, "%s %d", kListWord[kind], (int)n);
            const FileTableEntry* e = file_TableFindNamed(table, group, item);
            if (!e) break;
            const uint32_t size = static_cast<uint32_t>(sizeof(TacmapGoal)) * static_cast<uint32_t>(list.count + 1);
            void* grown = list.entries ? mem_Realloc(list.entries, size, 4) : mem_AllocEx(size, 4, "GOAL DATA");
            if (!grown) break;  // the heap is full: the goals read so far stay
            list.entries = static_cast<TacmapGoal*>(grown);
            TacmapGoal& g = list.entries[list.count++];
            g.done = 0;
            g.text = tacmap_GoalConditionTest(e->text);
            if (g.text) {
                list.visible++;
                list.remaining++;
            }
        }
    }
    tacmap_MissionOutcome = 0;
    tacmap_BonusDone = 0;
    tacmap_MissionComplete = 0;
    tacmap_CompleteTick = 0;
    plat_SimLog("goals", "load group=\"%s\" primary=%d secondary=%d bonus=%d fail=%d", group, tacmap_Goals[0].count,
                tacmap_Goals[1].count, tacmap_Goals[2].count, tacmap_Goals[3].count);
}

void tacmap_GoalsLoad(void) {
    tacmap_GoalsLoadFrom(level_Mission ? level_Mission->textData : nullptr, mnu_MissionGroupNumber());
    tacmap_MissionCounted = level_GameMode.singlePlayer && !level_GameMode.quickMission && !level_UserMission[0];
    tacmap_MissionEndDone = 0;
}

void tacmap_GoalsUpdate(void) {
    for (TacmapGoalList& list : tacmap_Goals) {
        list.remaining = list.visible;
        for (int32_t i = 0; i < list.count; i++) list.entries[i].done = 0;
    }
    tacmap_MissionOutcome = 0;
    tacmap_BonusDone = 0;
    tacmap_MissionComplete = 0;
    tacmap_CompleteTick = 0;
    tacmap_FlightStartTick = static_cast<uint32_t>(Now());
    tacmap_PausedTicks = 0;
}

int32_t tacmap_GoalAction(int32_t kind, int32_t goal) {
    if (kind < 0 || kind >= TACMAP_GOAL_LISTS) return 0;
    TacmapGoalList& list = tacmap_Goals[kind];
    // The goal number is the entry's index: goal 0 is the list's item 1 of
    // the mission text.
    if (goal < 0 || goal >= list.count) return 0;
    TacmapGoal& g = list.entries[goal];
    if (g.done) return 1;  // a second mark would count the goal twice
    g.done = 1;
    if (kind == TACMAP_GOALS_FAIL && tacmap_MissionOutcome == 0) {
        tacmap_MissionOutcome = 2;
        tacmap_OutcomeTick = static_cast<uint32_t>(Now());
    }
    if (kind == TACMAP_GOALS_BONUS) tacmap_BonusDone++;
    if (g.text) list.remaining--;
    if (kind == TACMAP_GOALS_PRIMARY && list.remaining <= 0 && tacmap_MissionOutcome == 0) {
        tacmap_MissionOutcome = 1;
        tacmap_OutcomeTick = static_cast<uint32_t>(Now());
        tacmap_MissionComplete = 1;
        if (!tacmap_CompleteTick) tacmap_CompleteTick = tacmap_OutcomeTick ? tacmap_OutcomeTick : 1;
    }
    plat_SimLog("goals", "done list=%d goal=%d remaining=%d outcome=%d", kind, goal, list.remaining,
                tacmap_MissionOutcome);
    return 1;
}

// ---- Statistics ----

void tacmap_StatisticsGather(TacmapStatistics* s) {
    if (!s) return;
    *s = TacmapStatistics{};
    s->counter[0] = plane_Stats.kills;
    s->counter[1] = plane_Stats.landings;
    s->counter[3] = plane_Stats.crashes;
    // Records 1..4 are the gun, the two missile families and the bombs;
    // record 0 sums them.
    for (int32_t c = 0; c < 4; c++) {
        TacmapWeaponRecord& r = s->weapon[c + 1];
        r.type = c;
        r.count[0] = weapon_Stats.shots[c];
        r.count[1] = weapon_Stats.hits[c];
        r.count[2] = weapon_Stats.hitsBy[c][0];
        r.count[3] = weapon_Stats.hitsBy[c][1];
        s->counter[2] += weapon_Stats.hitsBy[c][2];
        for (int32_t k = 0; k < 4; k++) s->weapon[0].count[k] += r.count[k];
    }
    s->weapon[0].type = -1;
    const int32_t n = plane_WeaponStatsCount < 0 ? 0 : (plane_WeaponStatsCount > PLANE_WEAPON_STATS ? PLANE_WEAPON_STATS : plane_WeaponStatsCount);
    s->typeCount = n;
    for (int32_t i = 0; i < n; i++) {
        s->types[i].type = plane_WeaponStats[i].type;
        for (int32_t k = 0; k < 4; k++) s->types[i].count[k] = plane_WeaponStats[i].counter[k];
    }
}

namespace {
void RecordPut(uint8_t* p, const TacmapWeaponRecord& r) {
    LeSpanWriter w(p, 24);
    w.i32(r.type);
    for (int32_t k = 0; k < 4; k++) w.i32(r.count[k]);
    w.i32(0);
}
}  // namespace

void tacmap_StatisticsImage(const TacmapStatistics* s, uint8_t* out) {
    if (!out) return;
    memset(out, 0, TACMAP_STATISTICS_SIZE);
    if (!s) return;
    LeSpanWriter w(out, 32);
    for (int32_t i = 0; i < TACMAP_STAT_COUNTERS; i++) w.i32(s->counter[i]);
    for (int32_t i = 0; i < TACMAP_WEAPON_RECORDS; i++) RecordPut(out + 32 + 24 * i, s->weapon[i]);
    LeSpanWriter(out + 152, 4).i32(s->typeCount);
    for (int32_t i = 0; i < s->typeCount && i < TACMAP_TYPE_RECORDS; i++) RecordPut(out + 156 + 24 * i, s->types[i]);
}

// ---- Mission end ----

int32_t tacmap_MissionScore(const TacmapStatistics* s, int32_t points, int32_t bonusDone, int32_t reduced) {
    if (!s) return 0;
    // Products in 64 bits: the counters come from a whole flight.
    const int64_t k1 = s->weapon[1].count[2], k2 = s->weapon[2].count[2], k3 = s->weapon[3].count[2];
    const int64_t c0 = s->counter[0], c1 = s->counter[1], c2 = s->counter[2];
    int64_t score = static_cast<int64_t>(points & 0xFFFF) + k1 + 75 * (k2 + 2 * c1) + 250 * (c0 + 2 * (c2 + bonusDone)) +
                    100 * k3;
    if (reduced) score = score * 3 * 16384 / 65536;  // toward zero
    if (score > 0x7FFFFFFF) score = 0x7FFFFFFF;
    if (score < -0x7FFFFFFF) score = -0x7FFFFFFF;
    return static_cast<int32_t>(score);
}

void tacmap_PilotTotalsAdd(const TacmapStatistics* s, uint32_t minutes) {
    if (!s) return;
    for (int32_t i = 0; i < 5; i++) {
        const int32_t at = MNU_PILOT_TOTALS + 4 * i;
        mnu_PilotSet32(at, mnu_PilotGet32(at) + static_cast<uint32_t>(s->counter[i]));
    }
    for (int32_t r = 1; r <= 4; r++)
        for (int32_t k = 0; k < 2; k++) {
            const int32_t at = MNU_PILOT_TOTALS + 20 + 8 * (r - 1) + 4 * k;
            mnu_PilotSet32(at, mnu_PilotGet32(at) + static_cast<uint32_t>(s->weapon[r].count[k]));
        }
    mnu_PilotSet32(MNU_PILOT_TOTALS + 52, mnu_PilotGet32(MNU_PILOT_TOTALS + 52) + minutes);
}

void tacmap_MissionScoreAdd(const TacmapStatistics* s) {
    // The aircraft record carries no points word of its own yet: P is 0.
    const int32_t score = tacmap_MissionScore(s, 0, tacmap_BonusDone, app_Settings.LOADOUT_TYPE == 1);
    mnu_PilotSet32(MNU_PILOT_SCORE, mnu_PilotGet32(MNU_PILOT_SCORE) + static_cast<uint32_t>(score));
    plat_SimLog("goals", "mission score=%d", score);
}

void tacmap_MissionEnd(void) {
    if (!level_GameMode.singlePlayer || tacmap_MissionEndDone) return;
    tacmap_MissionEndDone = 1;
    TacmapStatistics s;
    tacmap_StatisticsGather(&s);
    if (tacmap_MissionCounted) {
        tacmap_MissionResultRecord();
        memcpy(level_MissionOptionsFrontEnd, level_MissionOptions, sizeof level_MissionOptionsFrontEnd);
        tacmap_StatisticsImage(&s, tacmap_FrontEndStatistics);
    }
    if (tacmap_MissionOutcome == 3 && !tacmap_MissionCounted) {
        plat_SimLog("goals", "mission end outcome=3 not counted");
        return;
    }
    const uint32_t now = static_cast<uint32_t>(Now());
    const uint32_t flown = now - tacmap_FlightStartTick - tacmap_PausedTicks;
    tacmap_PilotTotalsAdd(&s, flown / 2400);
    if (tacmap_MissionOutcome == 1 || tacmap_MissionCounted) tacmap_MissionScoreAdd(&s);
    mnu_PilotSave();
    plat_SimLog("goals", "mission end outcome=%d counted=%d", tacmap_MissionOutcome, tacmap_MissionCounted);
}

void tacmap_MissionResultRecord(void) {
    TacmapCampaign& c = tacmap_Campaign;
    // The campaign table of the front end: word 0 the chapters found, then
    // the missions of each.
    c.chapterCount = mnu_MissionFileCounts[0] < TACMAP_CHAPTERS ? mnu_MissionFileCounts[0] : TACMAP_CHAPTERS - 1;
    for (int32_t i = 0; i < TACMAP_CHAPTERS; i++) {
        const int32_t n = i + 1 < MNU_MISSION_FILES ? mnu_MissionFileCounts[i + 1] : 0;
        c.missionCount[i] = static_cast<uint8_t>(n < 0 ? 0 : (n > 255 ? 255 : n));
    }
    int32_t chapter = mnu_PilotGet16(MNU_PILOT_CAMPAIGN);
    int32_t mission = mnu_PilotGet16(MNU_PILOT_MISSION);
    if (MnuMissionHeader* h = mnu_MissionFind(chapter, mission)) h->header[TACMAP_HEADER_FLOWN] |= 1;
    // The chapter loop stays inside the table.
    int32_t last = c.chapterCount;
    if (last < 0) last = 0;
    if (last >= TACMAP_CHAPTERS) last = TACMAP_CHAPTERS - 1;
    if (chapter >= 0 && chapter < TACMAP_CHAPTERS) {
        if (c.highest[chapter] < mission) c.highest[chapter] = static_cast<uint8_t>(mission);
        c.lastFlown[chapter] = static_cast<uint8_t>(mission);
    }
    mission++;
    mnu_PilotSet16(MNU_PILOT_RETURNED, 1);
    bool complete = true;
    for (int32_t i = 0; i <= last; i++)
        if (c.lastFlown[i] != c.missionCount[i]) complete = false;
    c.complete = complete ? 1 : 0;
    const int32_t count = chapter >= 0 && chapter < TACMAP_CHAPTERS ? c.missionCount[chapter] : 0;
    if (mission > count && chapter <= c.chapterCount) {
        chapter++;
        c.chapterAdvanced = 1;
        if (chapter > c.chapterCount) {
            chapter = c.chapterCount;
            mission = chapter >= 0 && chapter < TACMAP_CHAPTERS ? c.missionCount[chapter] : 1;
            mnu_PilotSet16(MNU_PILOT_RETURNED, 2);
        } else {
            mission = 1;
        }
        c.newChapter = 1;
    }
    mnu_PilotSet16(MNU_PILOT_CAMPAIGN, static_cast<uint16_t>(chapter));
    mnu_PilotSet16(MNU_PILOT_MISSION, static_cast<uint16_t>(mission));
}

// ---- Counter dump (debug overlay) ----

void tacmap_CounterDumpDraw(void) {
    const BitmapFont* font = level_Fonts[0];
    tacmap_PageBox(10, 10, 310, 230, 10, 10, 300, 220, 5);
    if (!font) return;
    for (int32_t i = 0; i < TACMAP_MISSION_COUNTERS; i++) {
        const int32_t v = tacmap_MissionCounter(i);
        char line[24];
        snprintf(line, sizeof line, "%3d:%d", (int)i, (int)v);
        const int32_t x = tacmap_Scaled(16 + 40 * (i % 14)), y = tacmap_Scaled(12 + 10 * (i / 14));
        tacmap_PageText(line, font, x, y, v ? 4 : 5);
    }
}
