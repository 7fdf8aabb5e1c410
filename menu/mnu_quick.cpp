// The mission list and the quick mission screen.
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/filetable.h"
#include "base/mem.h"
#include "menu/quick.h"
#include "shell/cmdline.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "world/orf.h"

MnuMissionHeader* mnu_MissionList = nullptr;
int32_t mnu_MissionCount = 0;
int32_t mnu_MissionFileCounts[MNU_MISSION_FILES] = {};
int32_t mnu_MissionCurrent = 0;
int32_t mnu_GameMode = 0;
MnuQuickState mnu_Quick = {};
char mnu_UserMissionName[260] = {};
MnuMissionHeader mnu_UserMission = {};

namespace {

constexpr uint32_t kUnlockAll = 0x80;
constexpr int32_t kAlwaysAvailableByte = 132;

const char* GroupItem(const _ORF* m, int32_t mission, const char* item) {
    if (!m || !m->textData) return nullptr;
    char group[32];
    snprintf(group, sizeof group, "MISS %d HEADERS", mission);
    FileTableEntry* e = file_TableFindNamed(m->textData, group, item);
    return e ? e->text : nullptr;
}

void HeaderCopy(MnuMissionHeader* h, const _ORF* m) {
    uint32_t n = m->fileSize < (uint32_t)MNU_MISSION_HEADER ? m->fileSize : (uint32_t)MNU_MISSION_HEADER;
    memcpy(h->header, m->header, n);
}

void ListFree(void) {
    MnuMissionHeader* h = mnu_MissionList;
    while (h) {
        MnuMissionHeader* next = h->next;
        mem_Free(h);
        h = next;
    }
    mnu_MissionList = nullptr;
}

void LoadFile(int32_t n, MnuMissionHeader*** tail) {
    for (int32_t i = 1; i <= MNU_MISSIONS_PER_FILE; i++) {
        char name[64];
        snprintf(name, sizeof name, app_ProductRecord.missionPattern, (int)n, (int)i);
        _ORF* m = orf_Load(name, 0);
        if (!m) continue;
        const char* title = GroupItem(m, i, "TITLE");
        if (!title) {
            orf_Free(m);
            continue;
        }
        MnuMissionHeader* h =
            static_cast<MnuMissionHeader*>(mem_AllocEx(sizeof(MnuMissionHeader), 4, "mnuQuick mission_ptr"));
        if (!h) {
            orf_Free(m);
            continue;
        }
        memset(h, 0, sizeof *h);
        **tail = h;
        *tail = &h->next;
        mnu_MissionCount++;
        snprintf(h->title, sizeof h->title, "%s", title);
        const char* description = GroupItem(m, i, "DESCRIPTION");
        snprintf(h->description, sizeof h->description, "%s", description ? description : "");
        HeaderCopy(h, m);
        h->fileNumber = n;
        h->missionNumber = i;
        if (n >= MNU_MISSION_FIRST_FREE) {
            h->available = 1;
        } else {
            mnu_MissionFileCounts[1 + n]++;
            h->available = (app_StartupOptions & kUnlockAll) || app_Settings.HIGHEST_COMPLETED_MISSION[n] >= i ||
                           (h->header[kAlwaysAvailableByte] & 1);
        }
        orf_Free(m);
    }
}

}  // namespace

void mnu_MissionListReset(void) {
    int32_t report = file_ReportSet(0);
    ListFree();
    mnu_MissionCount = 0;
    memset(mnu_MissionFileCounts, 0, sizeof mnu_MissionFileCounts);
    mnu_MissionCurrent = 0;
    MnuMissionHeader** tail = &mnu_MissionList;
    // The free files first, then the campaigns.
    for (int32_t pass = 0; pass < 2; pass++) {
        int32_t first = pass == 0 ? MNU_MISSION_FIRST_FREE : 1;
        int32_t last = pass == 0 ? MNU_MISSION_LAST_FILE : MNU_MISSION_FIRST_FREE - 1;
        for (int32_t n = first; n <= last; n++) {
            char file[64];
            snprintf(file, sizeof file, "%s%02d.bin", app_ProductRecord.campaignPrefix, (int)n);
            if (!file_Exists(file)) continue;
            if (n < MNU_MISSION_FIRST_FREE) mnu_MissionFileCounts[0]++;
            LoadFile(n, &tail);
        }
    }
    file_ReportSet(report);
}

MnuMissionHeader* mnu_MissionFind(int32_t fileNumber, int32_t missionNumber) {
    for (MnuMissionHeader* h = mnu_MissionList; h; h = h->next)
        if (h->fileNumber == fileNumber && h->missionNumber == missionNumber) return h;
    return nullptr;
}

void mnu_MissionSelect(int32_t fileNumber, int32_t missionNumber) {
    int32_t index = 0;
    for (MnuMissionHeader* h = mnu_MissionList; h; h = h->next, index++) {
        if (h->fileNumber == fileNumber && h->missionNumber == missionNumber) {
            mnu_MissionCurrent = index;
            return;
        }
    }
}

MnuMissionHeader* mnu_QuickMissionCurrent(void) {
    if (mnu_MissionCurrent < 0) return nullptr;
    int32_t index = 0;
    for (MnuMissionHeader* h = mnu_MissionList; h; h = h->next, index++)
        if (index == mnu_MissionCurrent) return h;
    return nullptr;
}
