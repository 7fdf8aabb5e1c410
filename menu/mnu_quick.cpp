// The mission list and the quick mission screen.
#include <cmath>
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
#include "shell/wndproc.h"
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

// --- The quick mission screen ---

namespace {

constexpr int32_t kTrackTop = 105, kTrackBottom = 389, kKnobX = 30;
constexpr int32_t kRowGroup = 2;
constexpr const char* kKnob = "QuickMis Slider";

struct QuickRow {
    char button[MNU_NAME];
    char area[MNU_NAME];
    char text[260];
    MnuButton* buttonRecord;
    MnuTextArea* areaRecord;
};
QuickRow g_rows[MNU_QM_ROWS];

const char* StringText(MnuContext* c, const char* key) {
    MnuString* s = c ? mnu_StringFind(c, key) : nullptr;
    return s && s->text ? s->text : key;
}

void RowsName(void) {
    for (int32_t r = 0; r < MNU_QM_ROWS; r++) {
        snprintf(g_rows[r].button, sizeof g_rows[r].button, "BtnQMSel%d", (int)r);
        snprintf(g_rows[r].area, sizeof g_rows[r].area, "TxtQMSel%d", (int)r);
    }
}

int32_t MaxTop(void) {
    int32_t m = mnu_Quick.availableCount - MNU_QM_ROWS;
    return m < 0 ? 0 : m;
}

int32_t AvailableIndexOfCurrent(void) {
    MnuMissionHeader* cur = mnu_QuickMissionCurrent();
    if (!cur) return 0;
    for (int32_t i = 0; i < mnu_Quick.availableCount; i++)
        if (mnu_Quick.available[i].fileNumber == cur->fileNumber &&
            mnu_Quick.available[i].missionNumber == cur->missionNumber)
            return i;
    return 0;
}

void AvailableBuild(void) {
    if (mnu_Quick.available) mem_Free(mnu_Quick.available);
    mnu_Quick.available = nullptr;
    mnu_Quick.availableCount = 0;
    int32_t n = 0;
    for (MnuMissionHeader* h = mnu_MissionList; h; h = h->next) n += h->available ? 1 : 0;
    if (n == 0) return;
    mnu_Quick.available =
        static_cast<MnuMissionHeader*>(mem_AllocEx((size_t)n * sizeof(MnuMissionHeader), 4, "QuickMission List"));
    if (!mnu_Quick.available) return;
    for (MnuMissionHeader* h = mnu_MissionList; h; h = h->next)
        if (h->available) mnu_Quick.available[mnu_Quick.availableCount++] = *h;
}

MnuImageArea* Knob(void) { return mnu_Context ? mnu_ImageAreaFind(mnu_Context, kKnob) : nullptr; }

int32_t KnobHeight(const MnuImageArea* k) { return k ? k->bottom - k->top : 0; }

void KnobPlace(int32_t y) {
    MnuImageArea* k = Knob();
    if (!k) return;
    int32_t h = KnobHeight(k);
    if (y > kTrackBottom - h) y = kTrackBottom - h;
    if (y < kTrackTop) y = kTrackTop;
    MnuRect old = {k->left, k->top, k->right, k->bottom};
    mnu_WindowRefresh(mnu_Context, "WndQuickMis", &old, 0);
    k->top = y;
    k->bottom = y + h;
    k->flags |= MNU_IMAGE_AREA_REDRAW;
}

chs_Zone* g_scrollZone = nullptr;

void CursorDrag(chs_Zone*, int32_t) {
    if (mnu_Context) mnu_CursorSet(mnu_Context, "Cursor2");
}
void CursorNormal(chs_Zone*, int32_t) {
    if (mnu_Context) mnu_CursorSet(mnu_Context, "Cursor1");
}

void RowsChanged(void);

}  // namespace

void mnu_QuickKnobDrag(chs_Zone*, int32_t) {
    MnuImageArea* k = Knob();
    if (mnu_Quick.listRedraw || !k || mnu_Quick.availableCount <= MNU_QM_ROWS) return;
    int32_t y = mnu_ZoneList.y, h = KnobHeight(k);
    int32_t knobY = y;
    if (y > k->top + 4 * h || y < k->top - 4 * h) {
        int32_t six = (int32_t)(6.0f * mnu_Quick.step);
        knobY = y > k->top ? k->top + six : k->top - six;
    }
    int32_t top = (int32_t)lroundf((float)(knobY - kTrackTop) / (float)(kTrackBottom - kTrackTop) *
                                   (float)(mnu_Quick.availableCount - 3));
    if (top > MaxTop()) top = MaxTop();
    if (top < 0) top = 0;
    KnobPlace(knobY);
    if (mnu_Context) {
        mnu_ButtonSetState(mnu_Context, "BtnQMUp", MNU_STATE_NORMAL);
        mnu_ButtonSetState(mnu_Context, "BtnQMDown", MNU_STATE_NORMAL);
    }
    if (top != mnu_Quick.top) {
        mnu_Quick.top = top;
        mnu_QuickRowsFill();
        if (mnu_Context) mnu_ButtonGroupSetState(mnu_Context, -1, kRowGroup, MNU_STATE_NORMAL, 1);
        mnu_Quick.listRedraw = 1;
    }
}

namespace {

void KnobCreate(void) {
    mnu_Quick.step = 0;
    if (mnu_Quick.availableCount <= MNU_QM_ROWS || !mnu_Context) return;
    mnu_Quick.step = (float)(kTrackBottom - kTrackTop) / (float)(mnu_Quick.availableCount - MNU_QM_ROWS);
    MnuImage* image = mnu_ImageFind(mnu_Context, "ImageVSlider");
    MnuImageArea a = {};
    snprintf(a.name, sizeof a.name, "%s", kKnob);
    snprintf(a.window, sizeof a.window, "%s", "WndQuickMis");
    snprintf(a.imageName, sizeof a.imageName, "%s", "ImageVSlider");
    int32_t w = image ? image->width : 0, h = image ? image->height / (image->frameCount > 0 ? image->frameCount : 1) : 0;
    a.left = kKnobX;
    a.top = kTrackTop + (int32_t)((float)mnu_Quick.top * mnu_Quick.step);
    a.right = kKnobX + w;
    a.bottom = a.top + h;
    if (MnuImageArea* k = mnu_ImageAreaCreate(mnu_Context, &a)) {
        mnu_ImageAreaLink(mnu_Context, k);
        KnobPlace(a.top);
    }
    if (g_scrollZone) chs_ZoneRemove(&mnu_ZoneList, g_scrollZone);
    g_scrollZone = chs_ZoneAdd(&mnu_ZoneList, 10, kTrackTop, 50, kTrackBottom, 0);
    if (g_scrollZone) {
        chs_ZoneHandlerAdd(g_scrollZone, 2, mnu_QuickKnobDrag, 0);
        chs_ZoneHandlerAdd(g_scrollZone, 1, CursorDrag, 0);
        chs_ZoneHandlerAdd(g_scrollZone, CHS_LEAVE, CursorNormal, 0);
    }
}

void RowsChanged(void) {
    mnu_QuickRowsFill();
    if (mnu_Context) mnu_ButtonGroupSetState(mnu_Context, -1, kRowGroup, MNU_STATE_NORMAL, 1);
    KnobPlace(kTrackTop + (int32_t)((float)mnu_Quick.top * mnu_Quick.step));
}

void QuickPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndQuickMis");
    mnu_ImageAreasDraw(c);
    if (mnu_Quick.listRedraw) {
        MnuRect r = {20, 74, 322, 418};
        mnu_WindowRefresh(c, "WndQuickMis", &r, 0);
        mnu_Quick.listRedraw = 0;
    }
}

void QuickEnter(void) {
    MnuContext* c = mnu_Context;
    mnu_UserMissionName[0] = 0;
    memset(&mnu_UserMission, 0, sizeof mnu_UserMission);
    mnu_LeaveFlag = 0;
    mnu_GameMode = 1;
    RowsName();
    AvailableBuild();
    if (c) {
        mnu_ButtonSetPressTimes(c, "BtnQMUp", 10, 4);
        mnu_ButtonSetPressTimes(c, "BtnQMDown", 10, 4);
        mnu_ButtonSetState(c, "BtnQMUp", MNU_STATE_NORMAL);
        mnu_ButtonSetState(c, "BtnQMDown", MNU_STATE_NORMAL);
        for (const QuickRow& r : g_rows) mnu_ButtonSetFlags(c, r.button, MNU_BUTTON_LATCHING | MNU_BUTTON_RADIO);
    }
    mnu_Quick.selected = AvailableIndexOfCurrent();
    int32_t top = mnu_Quick.selected;
    if (top > MaxTop()) top = MaxTop();
    mnu_Quick.top = top < 0 ? 0 : top;
    mnu_Quick.listRedraw = 0;
    if (c) mnu_ButtonGroupSetState(c, -1, kRowGroup, MNU_STATE_NORMAL, 1);
    mnu_QuickRowsFill();
    KnobCreate();
    if (!c) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndQuickMis");
    mnu_WindowShow(c, "WndQuickMis");
    mnu_CursorSet(c, "Cursor1");
    mnu_AcceptKeyCallbackSet(cbQMAccept);
    mnu_CancelKeyCallbackSet(cbQMBack);
    mnu_QuickScrollButtonsUpdate();
    mnu_Update(c);
    bool fromBriefing = app_Runner.prevState == &WndMisBrief;
    mnu_TransitionSet(c, fromBriefing ? mnu_TransBack : mnu_TransForward, "WndQuickMis", QuickPage,
                      fromBriefing ? "TRANSITION_OUT" : "TRANSITION_IN", nullptr);
}

int32_t QuickFrame(void) {
    int32_t r = mnu_StateFrame();
    if (!r) mnu_QuickScrollButtonsUpdate();
    return r;
}

void QuickDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(QuickPage);
}

void QuickLeave(void) {
    for (QuickRow& r : g_rows) {
        if (r.buttonRecord) r.buttonRecord->caption = nullptr;
        r.buttonRecord = nullptr;
        r.areaRecord = nullptr;
    }
    if (g_scrollZone) chs_ZoneRemove(&mnu_ZoneList, g_scrollZone);
    g_scrollZone = nullptr;
    if (mnu_Quick.available) mem_Free(mnu_Quick.available);
    mnu_Quick.available = nullptr;
    mnu_Quick.availableCount = 0;
}

}  // namespace

const AppStateRecord WndQuickMis = {QuickEnter, QuickFrame, QuickDraw, QuickLeave, 0};

void mnu_QuickRowsFill(void) {
    MnuContext* c = mnu_Context;
    RowsName();
    for (int32_t r = 0; r < MNU_QM_ROWS; r++) {
        QuickRow& row = g_rows[r];
        if (c && !row.buttonRecord) row.buttonRecord = mnu_ButtonFind(c, row.button);
        if (c && !row.areaRecord) row.areaRecord = mnu_TextAreaFind(c, row.area);
        if (row.buttonRecord) {
            if (row.buttonRecord->state != MNU_STATE_LATCHED) mnu_ButtonSetStateRecord(row.buttonRecord, MNU_STATE_DISABLED);
            row.buttonRecord->caption = row.areaRecord;
        }
        row.text[0] = 0;
        int32_t index = mnu_Quick.top + r;
        if (index >= 0 && index < mnu_Quick.availableCount) {
            const MnuMissionHeader& h = mnu_Quick.available[index];
            char tod[32], region[32];
            snprintf(tod, sizeof tod, "HO_TOD_%d", (int)h.header[ORF_TIME_OF_DAY] + 1);
            snprintf(region, sizeof region, "HO_REGION_%d", (int)h.header[ORF_REGION] + 1);
            snprintf(row.text, sizeof row.text, "%s%c%c%s%c%c%s %s %s %s%c%c", StringText(c, "QM_LABEL"), '\r', '\n',
                     h.title, '\r', '\n', StringText(c, "QM_TIME"), StringText(c, tod), StringText(c, "QM_REGION"),
                     StringText(c, region), '\r', '\n');
            if (row.buttonRecord && row.buttonRecord->state != MNU_STATE_LATCHED)
                mnu_ButtonSetStateRecord(row.buttonRecord, MNU_STATE_NORMAL);
        }
        if (c) mnu_TextAreaSetText(c, row.area, row.text);
    }
}

void mnu_QuickScrollButtonsUpdate(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    if (mnu_Quick.availableCount > MNU_QM_ROWS) {
        if (mnu_Quick.top + MNU_QM_ROWS >= mnu_Quick.availableCount) mnu_ButtonSetState(c, "BtnQMDown", MNU_STATE_DISABLED);
        if (mnu_Quick.top <= 0) mnu_ButtonSetState(c, "BtnQMUp", MNU_STATE_DISABLED);
    } else {
        mnu_ButtonSetState(c, "BtnQMUp", MNU_STATE_DISABLED);
        mnu_ButtonSetState(c, "BtnQMDown", MNU_STATE_DISABLED);
        mnu_Quick.top = 0;
    }
    int32_t row = mnu_Quick.selected - mnu_Quick.top;
    if (row >= 0 && row < MNU_QM_ROWS) {
        char name[MNU_NAME];
        snprintf(name, sizeof name, "BtnQMSel%d", (int)row);
        mnu_ButtonSetState(c, name, MNU_STATE_LATCHED);
    }
}

void cbQMAccept(int32_t) {
    if (mnu_LeaveFlag) return;
    if (!mnu_QuickMissionCurrent() && !mnu_UserMissionName[0]) return;
    app_Runner.nextState = &WndMisBrief;
    app_Runner.followOn1 = &WndQuickMis;
    app_Runner.followOn2 = &WndQuickMis;
    mnu_LeaveFlag = 1;
}

void cbQMSel(int32_t row) {
    int32_t index = mnu_Quick.top + row;
    if (row < 0 || index < 0 || index >= mnu_Quick.availableCount) return;
    const MnuMissionHeader& h = mnu_Quick.available[index];
    mnu_MissionSelect(h.fileNumber, h.missionNumber);
    mnu_Quick.selected = index;
    if (mnu_Context) mnu_TextAreaSetText(mnu_Context, "TxtQMBriefing", h.description);
}

void cbQMUp(int32_t) {
    if (mnu_Quick.top > 0) mnu_Quick.top--;
    if (mnu_Context) mnu_ButtonSetState(mnu_Context, "BtnQMDown", MNU_STATE_NORMAL);
    RowsChanged();
}

void cbQMDown(int32_t) {
    if (mnu_Quick.top < MaxTop()) mnu_Quick.top++;
    if (mnu_Context) mnu_ButtonSetState(mnu_Context, "BtnQMUp", MNU_STATE_NORMAL);
    RowsChanged();
}

void cbQMBack(int32_t argument) { mnu_CreditsBack(argument); }

void cbQMUser(int32_t) {
    MnuContext* c = mnu_Context;
    // The dialog needs the menus in a window.
    int32_t windowed = app_Settings.menuWindowed;
    if (!windowed) {
        app_Settings.menuWindowed = 1;
        mnu_DisplaySetup();
        if (c) mnu_WindowRefresh(c, "WndQuickMis", nullptr, 0);
    }
    char filter[160] = {};
    const char* f1 = StringText(c, "USER_DLG_FILTER1");
    const char* f2 = StringText(c, "USER_DLG_FILTER2");
    size_t n1 = strnlen(f1, 70), n2 = strnlen(f2, 70);
    memcpy(filter, f1, n1);
    memcpy(filter + n1 + 1, f2, n2);  // each NUL-terminated, an empty string after
    char fileTitle[260];
    _ORF* m = nullptr;
    if (app_FileOpenDialog(filter, mnu_UserMissionName, fileTitle, (int32_t)sizeof fileTitle))
        m = orf_Load(mnu_UserMissionName, 0);
    if (m) {
        memset(&mnu_UserMission, 0, sizeof mnu_UserMission);
        const char* fallback = StringText(c, "USER_DLG_TITLE");
        const char* title = GroupItem(m, 0, "TITLE");
        const char* description = GroupItem(m, 0, "DESCRIPTION");
        snprintf(mnu_UserMission.title, sizeof mnu_UserMission.title, "%s", title ? title : fallback);
        snprintf(mnu_UserMission.description, sizeof mnu_UserMission.description, "%s",
                 description ? description : fallback);
        HeaderCopy(&mnu_UserMission, m);
        mnu_UserMission.available = 1;
        orf_Free(m);
        cbQMAccept(0);
    } else {
        mnu_UserMissionName[0] = 0;
        memset(&mnu_UserMission, 0, sizeof mnu_UserMission);
    }
    if (!windowed) {
        app_Settings.menuWindowed = 0;
        mnu_DisplaySetup();
    }
    if (c) mnu_WindowRefresh(c, "WndQuickMis", nullptr, 0);
}
