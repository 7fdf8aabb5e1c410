// The mission briefing screen: the mission's header and briefing text, the
// map picture, the default loadout, and the campaign bookkeeping after a
// flight.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "base/text.h"
#include "cockpit/tacmap.h"
#include "menu/brief.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "net/bridge.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "platform/winmsg.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "sim/ord.h"
#include "sound/music.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/orf.h"
#include "world/pak.h"

MnuBriefState mnu_Brief = {1, 0, 0, 0, {}, nullptr, nullptr};

namespace {

constexpr int32_t kMapX = 339, kMapY = 85, kMapRight = 614, kMapBottom = 350;
constexpr int32_t kBriefLines = 16;

bool Quick(void) { return mnu_GameMode == 1; }

const char* StringText(MnuContext* c, const char* key) {
    MnuString* s = c ? mnu_StringFind(c, key) : nullptr;
    return s && s->text ? s->text : key;
}

int32_t Campaign(void) { return mnu_PilotGet16(MNU_PILOT_CAMPAIGN); }
int32_t Mission(void) { return mnu_PilotGet16(MNU_PILOT_MISSION); }
int32_t Slot(void) { return mnu_PilotGet16(MNU_PILOT_SLOT); }

MnuCampList* CampaignList(void) {
    int32_t c = Campaign();
    return c >= 1 && c <= MNU_CAMP_LISTS ? &mnu_CampLoadout.lists[c - 1] : nullptr;
}

bool UserMission(void) { return mnu_UserMissionName[0] && Quick(); }

// The header of the mission the screen shows: the user's or the current one.
const MnuMissionHeader* Header(void) {
    if (UserMission()) return &mnu_UserMission;
    return mnu_QuickMissionCurrent();
}

// The group number of the mission's briefing: its number in its file, 1
// for a user mission.
int32_t GroupNumber(void) {
    if (UserMission()) return 1;
    const MnuMissionHeader* h = mnu_QuickMissionCurrent();
    return h ? h->missionNumber : 1;
}

void MissionNameSet(void) {
    const MnuMissionHeader* h = mnu_QuickMissionCurrent();
    level_UserMission[0] = 0;
    if (UserMission() || !h) {
        text_CopyZ(level_MissionNames.mission, mnu_UserMissionName, sizeof level_MissionNames.mission);
    } else {
        snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F%dM%d.ORF", (int)h->fileNumber,
                 (int)h->missionNumber);
    }
}

void MapCreate(MnuContext* c) {
    const MnuMissionHeader* h = Header();
    int32_t region = h ? h->header[ORF_REGION] : 0;
    MnuImageArea a = {};
    snprintf(a.name, sizeof a.name, "%s", "ImageMisBriefMap");
    snprintf(a.window, sizeof a.window, "%s", "WndMisBrief");
    snprintf(a.imageName, sizeof a.imageName, "ImageSMap%d", (int)region + 1);
    if (!mnu_ImageFind(c, a.imageName)) snprintf(a.imageName, sizeof a.imageName, "%s", "ImageSMap1");
    a.left = kMapX;
    a.top = kMapY;
    a.firstFrame = 0;
    a.lastFrame = 0;
    if (MnuImageArea* made = mnu_ImageAreaCreate(c, &a)) mnu_ImageAreaLink(c, made);
}

void MapPressed(chs_Zone*, int32_t) { cbMisMap(0); }

// Books the stores the flight used and gained into the campaign's stock.
void StoresBook(void) {
    MnuCampList* list = CampaignList();
    if (!list) return;
    int32_t used = mnu_Pilot.usedCount < MNU_PILOT_STORES ? mnu_Pilot.usedCount : MNU_PILOT_STORES;
    for (int32_t i = 0; i < used; i++)
        mnu_CampLoadoutAdjust(list, mnu_Pilot.used[i].key, -(int32_t)mnu_Pilot.used[i].count);
    int32_t gained = mnu_Pilot.gainedCount < MNU_PILOT_STORES ? mnu_Pilot.gainedCount : MNU_PILOT_STORES;
    for (int32_t i = 0; i < gained; i++) {
        mnu_CampLoadoutAdjust(list, mnu_Pilot.gained[i].key, mnu_Pilot.gained[i].count);
        mnu_Pilot.gained[i] = MnuPilotStore{};
    }
    mnu_Pilot.gainedCount = 0;
    mnu_CampLoadoutSave(Slot());
}

void Bookkeeping(bool menuWasStarted) {
    if (!Quick() && mnu_PilotGet16(MNU_PILOT_COMPLETED)) {
        uint32_t done = mnu_PilotGet32(MNU_PILOT_CAMPAIGNS_DONE) + 1;
        uint32_t found = mnu_MissionFileCounts[0] > 0 ? (uint32_t)mnu_MissionFileCounts[0] : 0;
        mnu_PilotSet32(MNU_PILOT_CAMPAIGNS_DONE, done > found ? found : done);
        mnu_PilotSet16(MNU_PILOT_COMPLETED, 0);
        mnu_CampLoadoutSave(Slot());
    }
    uint16_t returned = mnu_PilotGet16(MNU_PILOT_RETURNED);
    if (returned == 2) {
        mnu_PilotSet16(MNU_PILOT_RETURNED, 0);
        app_Runner.nextState = &WndMain;
        mnu_LeaveFlag = 1;
    } else if (returned == 1) {
        music_SetVariable(1, 1);
        if (!mnu_Brief.skipped && !Quick()) StoresBook();
        mnu_PilotSet16(MNU_PILOT_RETURNED, 0);
        mnu_Brief.skipState = MNU_STATE_DISABLED;
    } else if (!Quick() && !menuWasStarted) {
        mnu_Brief.skipState = MNU_STATE_NORMAL;
    }
}

void BriefEnter(void) {
    mnu_LeaveFlag = 0;
    bool started = mnu_Context && mnu_Context->callbacks == mnu_CallbackTable;
    if (!started) {
        mnu_SystemStart();
        srand(app_TickCount.load(std::memory_order_relaxed));
        music_SetVariable(1, 2 + rand() % 2);
    }
    MnuContext* c = mnu_Context;
    if (Quick()) {
        mnu_Brief.skipState = MNU_STATE_DISABLED;
        mnu_StockCheck = 0;
        mnu_CampLoadoutList = nullptr;
    } else {
        mnu_CampLoadoutLoad(Slot());
        mnu_MissionSelect(Campaign(), Mission());
        mnu_StockCheck = 1;
        mnu_CampLoadoutList = CampaignList();
    }
    if (c) {
        MapCreate(c);
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndMisBrief");
        mnu_WindowShow(c, "WndMisBrief");
    }
    mnu_AcceptKeyCallbackSet(cbMisAccept);
    mnu_CancelKeyCallbackSet(cbMisBack);
    mnu_HoverCount = 0;
    MissionNameSet();
    mnu_BriefPointsLoad();
    Bookkeeping(started);
    if (!mnu_Brief.loadoutBuilt) {
        mnu_BriefLoadoutBuild();
        mnu_Brief.loadoutBuilt = 1;
    }
    if (Quick())
        memset(level_MissionOptionsFrontEnd, 0, sizeof level_MissionOptionsFrontEnd);
    else
        memcpy(level_MissionOptionsFrontEnd, mnu_Pilot.record + MNU_PILOT_MISSION_STATE,
               sizeof level_MissionOptionsFrontEnd);
    if (!Quick() && Mission() == 1) memset(mnu_Pilot.counters, 0, sizeof mnu_Pilot.counters);
    if (!c) return;
    mnu_ButtonSetPressTimes(c, "BtnMBUp", 8, 1);
    mnu_ButtonSetPressTimes(c, "BtnMBDown", 8, 1);
    mnu_BriefTextBuild();
    if (mnu_Brief.mapZone) chs_ZoneRemove(&mnu_ZoneList, mnu_Brief.mapZone);
    mnu_Brief.mapZone = chs_ZoneAdd(&mnu_ZoneList, kMapX, kMapY, kMapRight, kMapBottom, 0);
    if (mnu_Brief.mapZone) chs_ZoneHandlerAdd(mnu_Brief.mapZone, 2, MapPressed, 0);
    mnu_ButtonSetState(c, "BtnMisSkip", mnu_Brief.skipState);
    mnu_Brief.skipped = 0;
    mnu_CursorSet(c, "Cursor1");
    mnu_Update(c);
    const AppStateRecord* from = app_Runner.prevState;
    bool back = from == &WndMap || from == &WndLoadOut || from == &WndAnime;
    mnu_TransitionSet(c, back ? mnu_TransBack : mnu_TransForward, "WndMisBrief", mnu_BriefPage,
                      back ? "TRANSITION_IN" : "TRANSITION_OUT", nullptr);
}

int32_t BriefFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    if (mnu_Context) mnu_Update(mnu_Context);
    mnu_BriefArrowKeys();
    return 0;
}

void BriefDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(mnu_BriefPage);
}

void BriefLeave(void) {
    if (mnu_Brief.mapZone) chs_ZoneRemove(&mnu_ZoneList, mnu_Brief.mapZone);
    mnu_Brief.mapZone = nullptr;
    if (mnu_Brief.text) mem_Free(mnu_Brief.text);
    mnu_Brief.text = nullptr;
    if (mnu_Context) {
        mnu_ScrollSetText(mnu_Context, "ScrollMB", "");
        mnu_ScrollDetach(mnu_Context, "ScrollMB");
        int32_t state = mnu_ButtonGetState(mnu_Context, "BtnMisSkip");
        if (state > 0) mnu_Brief.skipState = state;
    }
    if (!Quick()) mnu_CampLoadoutFree();
}

bool Held(uint32_t vk) {
    return app_KeyState.downTable[vk & 0x7F] || app_KeyState.downTable[128 + (vk & 0x7F)];
}

void PressWhileHeld(uint32_t vk, const char* button) {
    if (!Held(vk)) return;
    int32_t s = mnu_ButtonGetState(mnu_Context, button);
    if (s != MNU_STATE_PRESSED && s != MNU_STATE_DISABLED) mnu_ButtonSetState(mnu_Context, button, MNU_STATE_PRESSED);
}

// Appends src[0..n) to out at *at, bounded.
void Append(char* out, size_t size, size_t* at, const char* src, size_t n) {
    if (*at + 1 >= size) return;
    size_t room = size - 1 - *at;
    if (n > room) n = room;
    memcpy(out + *at, src, n);
    *at += n;
    out[*at] = 0;
}

}  // namespace

const AppStateRecord WndMisBrief = {BriefEnter, BriefFrame, BriefDraw, BriefLeave, 0};

void mnu_BriefPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndMisBrief");
    mnu_ImageAreasDraw(c);
}

void mnu_BriefArrowKeys(void) {
    if (!mnu_Context) return;
    PressWhileHeld(VK_UP, "BtnMBUp");
    PressWhileHeld(VK_DOWN, "BtnMBDown");
}

void mnu_BriefTextFrom(const FileTable* table, int32_t missionNumber, char* out, size_t size) {
    if (!out || size == 0) return;
    out[0] = 0;
    if (!table) return;
    char group[32];
    snprintf(group, sizeof group, "MISS %d BRIEF", (int)missionNumber);
    size_t at = 0;
    for (int32_t n = 1; n <= kBriefLines; n++) {
        char item[16];
        snprintf(item, sizeof item, "LINE %d", (int)n);
        FileTableEntry* e = file_TableFindNamed(table, group, item);
        const char* line = e ? tacmap_GoalConditionTest(e->text) : nullptr;
        if (!line) continue;
        for (const char* p = line; *p;) {
            if (strncmp(p, "<CR>", 4) == 0) {
                Append(out, size, &at, "\r\n", 2);
                p += 4;
            } else if (strncmp(p, "<TAB>", 5) == 0) {
                Append(out, size, &at, "     ", 5);
                p += 5;
            } else {
                Append(out, size, &at, p, 1);
                p++;
            }
        }
    }
}

int32_t mnu_MissionGroupNumber(void) { return GroupNumber(); }

void mnu_BriefTextBuild(void) {
    MnuContext* c = mnu_Context;
    const MnuMissionHeader* h = Header();
    if (!c || !h) return;
    _ORF* m = orf_Load(level_MissionNames.mission, 0);
    if (!m) return;
    // The text never grows: "<CR>" becomes two characters, "<TAB>" five.
    size_t sum = 0;
    char group[32];
    snprintf(group, sizeof group, "MISS %d BRIEF", (int)GroupNumber());
    for (int32_t n = 1; n <= kBriefLines; n++) {
        char item[16];
        snprintf(item, sizeof item, "LINE %d", (int)n);
        FileTableEntry* e = m->textData ? file_TableFindNamed(m->textData, group, item) : nullptr;
        const char* line = e ? tacmap_GoalConditionTest(e->text) : nullptr;
        if (line) sum += strlen(line);
    }
    size_t scratchSize = sum + 64;
    char* scratch = static_cast<char*>(mem_AllocEx((uint32_t)scratchSize, 4, "mnu MB Temp Briefing"));
    if (!scratch) {
        orf_Free(m);
        return;
    }
    mnu_BriefTextFrom(m->textData, GroupNumber(), scratch, scratchSize);
    if (mnu_Brief.text) mem_Free(mnu_Brief.text);
    const char* body = scratch[0] ? scratch : StringText(c, "NO_DESC");
    size_t textSize = 2 * scratchSize > strlen(body) + 1 ? 2 * scratchSize : strlen(body) + 1;
    mnu_Brief.text = static_cast<char*>(mem_AllocEx((uint32_t)textSize, 4, "mnu MB Mission Briefing"));
    if (mnu_Brief.text) snprintf(mnu_Brief.text, textSize, "%s", body);

    // The text area keeps the pointer.
    static char header[512];
    char tod[32], region[32];
    snprintf(tod, sizeof tod, "HO_TOD_%d", (int)h->header[ORF_TIME_OF_DAY] + 1);
    snprintf(region, sizeof region, "HO_REGION_%d", (int)h->header[ORF_REGION] + 1);
    if (Quick()) {
        snprintf(header, sizeof header, "%s%c%c%s%c%c%s %s %s %s%c%c", StringText(c, "QM_LABEL"), '\r', '\n', h->title,
                 '\r', '\n', StringText(c, "QM_TIME"), StringText(c, tod), StringText(c, "QM_REGION"),
                 StringText(c, region), '\r', '\n');
    } else {
        snprintf(header, sizeof header, "%s %d %s %d%c%c%s%c%c%s %s %s %s%c%c", StringText(c, "MB_CAMP"),
                 (int)Campaign(), StringText(c, "MP_MISSION"), (int)Mission(), '\r', '\n', h->title, '\r', '\n',
                 StringText(c, "QM_TIME"), StringText(c, tod), StringText(c, "QM_REGION"), StringText(c, region),
                 '\r', '\n');
    }
    mnu_TextAreaSetText(c, "TxtMBBriefHeader", header);
    mnu_ScrollSetText(c, "ScrollMB", mnu_Brief.text ? mnu_Brief.text : "");
    mnu_ScrollAttach(c, "ScrollMB");
    orf_Free(m);
    mem_Free(scratch);
}

int32_t mnu_MissionStartPoints(const _ORF* m, uint8_t (*points)[MNU_BRIEF_POINT_SIZE], int32_t max) {
    if (!m || !points || max <= 0) return -1;
    // The first player start (category 2) brings its start group's points.
    constexpr uint32_t kSide = 23;
    for (uint32_t i = 0; i < m->placed.count; i++) {
        const uint8_t* r = m->placed.records + (size_t)i * ORF_PLACED_SIZE;
        if (r[ORF_PLACED_CATEGORY] != 2) continue;
        uint32_t side = r[kSide];
        if (side >= m->starts.count) return -1;
        const OrfGroup& group = m->starts.groups[side];
        if (!group.items) return 0;
        uint32_t n = group.itemCount < (uint32_t)max ? group.itemCount : (uint32_t)max;
        if (n > 0) memcpy(points, group.items, (size_t)n * MNU_BRIEF_POINT_SIZE);
        return (int32_t)n;
    }
    return -1;
}

void mnu_BriefPointsLoad(void) {
    if (mnu_PilotGet16(MNU_PILOT_RETURNED)) {
        mnu_Brief.pointCount = 0;
        return;
    }
    if (mnu_Brief.pointCount > 0) return;
    _ORF* m = orf_Load(level_MissionNames.mission, 0);
    if (!m) return;
    int32_t n = mnu_MissionStartPoints(m, mnu_Brief.points, MNU_BRIEF_POINTS);
    if (n >= 0) mnu_Brief.pointCount = n;
    orf_Free(m);
}

void mnu_RouteLoad(const char* missionFile) {
    level_WaypointList.count = 0;
    _ORF* m = missionFile && *missionFile ? orf_Load(missionFile, 0) : nullptr;
    if (!m) return;
    uint8_t points[MNU_BRIEF_POINTS][MNU_BRIEF_POINT_SIZE];
    int32_t n = mnu_MissionStartPoints(m, points, MNU_BRIEF_POINTS);
    orf_Free(m);
    for (int32_t i = 0; i < n; i++) {
        // A point is x, height and z; the route keeps x and z.
        LeReader r(points[i], MNU_BRIEF_POINT_SIZE);
        level_WaypointList.entries[i].x = (int32_t)r.u32();
        r.u32();
        level_WaypointList.entries[i].z = (int32_t)r.u32();
    }
    level_WaypointList.count = n > 0 ? n : 0;
    plat_SimLog("route", "%s waypoints %d", missionFile, (int)level_WaypointList.count);
}

void mnu_BriefLoadoutBuild(void) {
    ord_LoadoutBegin();
    _ORF* m = orf_Load(level_MissionNames.mission, 0);
    pak_UnloadAll();
    if (m) {
        mnu_MissionStoresAdd(m);
        orf_Free(m);
    }
    ord_LoadoutEnd(1);
}

void mnu_MissionStoresAdd(const _ORF* m) {
    if (!m) return;
    LeReader r(m->array2.records, (size_t)m->array2.count * ORF_ARRAY2_SIZE);
    for (uint32_t i = 0; i < m->array2.count; i++) {
        int32_t type = r.u16();
        int32_t count = r.u16();
        r.u32();
        ord_LoadoutAddStores(type, count);
    }
}

void cbMisAccept(int32_t) {
    if (mnu_LeaveFlag) return;
    memset(level_MissionOptionsFrontEnd, 0, sizeof level_MissionOptionsFrontEnd);
    level_GameMode.hosting = 1;
    level_GameMode.sharedProcess = 1;
    level_GameMode.singlePlayer = 1;
    level_GameMode.display = 1;
    level_GameMode.quickMission = Quick() ? 1 : 0;
    // The route the map screen wrote for this mission flies; otherwise the
    // mission's own.
    if (strcmp(mnu_Brief.routeMission, level_MissionNames.mission) != 0) mnu_RouteLoad(level_MissionNames.mission);
    Server_RegisterSessionCallbacks();
    app_Runner.nextState = &WndAnime;
    app_Runner.followOn1 = &WndMisBrief;
    app_Runner.followOn2 = &net_InFlightStates[NET_STATE_BRIDGE];
    mnu_Brief.loadoutBuilt = 0;
    if (app_Settings.LOADOUT_TYPE == 1) {
        uint32_t n = ord_SavedStoreList.storeCount < (uint32_t)ORD_STORES_MAX ? ord_SavedStoreList.storeCount
                                                                             : (uint32_t)ORD_STORES_MAX;
        for (uint32_t i = 0; i < n; i++) {
            OrdStoreEntry& e = ord_SavedStoreList.stores[i];
            if (e.type == -1) continue;
            e.count *= 2;
            e.capacity *= 2;
        }
    }
    mnu_LeaveFlag = 1;
}

void cbMisBack(int32_t) {
    // The flight leaves the briefing as its return state; back from there
    // goes to the screen the mission was chosen on.
    const AppStateRecord* back = app_Runner.followOn1;
    if (!back || back == &WndMisBrief) back = Quick() ? &WndQuickMis : &WndNewCamp;
    app_Runner.nextState = back;
    mnu_Brief.pointCount = 0;
    mnu_Brief.routeMission[0] = 0;
    mnu_Brief.loadoutBuilt = 0;
    mnu_LeaveFlag = 1;
}

void cbMisLoadOut(int32_t) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndLoadOut;
    mnu_LeaveFlag = 1;
}

void cbMisStats(int32_t) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndStats;
    mnu_LeaveFlag = 1;
}

void cbMisMap(int32_t) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndMap;
    mnu_LeaveFlag = 1;
}

void cbMBSkip(int32_t) {
    if (Quick()) return;
    tacmap_MissionResultRecord();
    mnu_Brief.loadoutBuilt = 0;
    mnu_Brief.skipped = 1;
    mnu_LeaveFlag = 1;
    app_Runner.nextState = &WndMisBrief;
    mnu_Brief.skipState = MNU_STATE_DISABLED;
}

void cbMisUp(int32_t) {
    if (MnuScroll* s = mnu_Context ? mnu_ScrollFind(mnu_Context, "ScrollMB") : nullptr) mnu_ScrollUp(s);
}

void cbMisDown(int32_t) {
    if (MnuScroll* s = mnu_Context ? mnu_ScrollFind(mnu_Context, "ScrollMB") : nullptr) mnu_ScrollDown(s);
}
