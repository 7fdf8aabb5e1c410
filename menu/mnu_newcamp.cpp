// The campaign screen: ten pilot slots, the pilot's statistics, campaigns
// and medals on three sub-pages, clearing a slot behind a confirmation
// dialog, the campaign choice and the way on to the briefing.
#include <cstdio>
#include <cstring>

#include "base/efile.h"
#include "base/file.h"
#include "base/filetable.h"
#include "base/mem.h"
#include "menu/camp.h"
#include "menu/newcamp.h"
#include "menu/quick.h"
#include "shell/runner.h"

MnuNewCampState mnu_NewCamp = {};

namespace {

constexpr int32_t kSlotGroup = 10;
const char* const kPilotButtons[] = {"BtnNCAccept", "BtnNCEdit",   "BtnNCClear",  "BtnNCLeft",
                                     "BtnNCRight",  "BtnNCP3Left", "BtnNCP3Right"};
const char* const kPages[] = {"WndNewCampPage1", "WndNewCampPage3", "WndNewCampPage2"};
const char* const kPageTitles[] = {"NC_FLIGHT_STATS", "NC_CAMPAIGNS", "NC_MEDALS"};
const char* const kMedalTitles[MNU_MEDALS] = {"MD_MEDAL1_TITLE", "MD_MEDAL2_TITLE", "MD_MEDAL3_TITLE",
                                              "MD_MEDAL4_TITLE", "MD_MEDAL5_TITLE"};

char g_leftText[16];
char g_campText[2][512];

MnuContext* Ctx(void) { return mnu_Context; }

void EntryName(int32_t slot, char* out, size_t size) { snprintf(out, size, "EntryNCSlot%d", (int)slot); }
void ButtonName(int32_t slot, char* out, size_t size) { snprintf(out, size, "BtnNCSlot%d", (int)slot); }

void PilotButtons(int32_t state) {
    if (MnuContext* c = Ctx())
        for (const char* b : kPilotButtons) mnu_ButtonSetState(c, b, state);
}

void Redraw(void) {
    if (MnuContext* c = Ctx()) mnu_WindowRefresh(c, "WndNewCamp", nullptr, 0);
}

int32_t Campaign(void) { return mnu_PilotGet16(MNU_PILOT_CAMPAIGN); }
int32_t Mission(void) { return mnu_PilotGet16(MNU_PILOT_MISSION); }

// The entry of a slot: its name buffer, showing the empty-slot text while
// the name is empty.
void SlotEntryBind(int32_t slot);

void SlotEntryShow(int32_t slot) {
    MnuContext* c = Ctx();
    if (!c) return;
    char entry[MNU_NAME];
    EntryName(slot, entry, sizeof entry);
    const char* name = mnu_NewCamp.names[slot];
    mnu_TextAreaSetText(c, entry, name[0] ? name : mnu_NewCamp.emptyText);
}

void MedalZonesRemove(void) {
    for (chs_Zone*& z : mnu_NewCamp.medalZones) {
        if (z) chs_ZoneRemove(&mnu_ZoneList, z);
        z = nullptr;
    }
    mnu_NewCamp.medalHover = 0;
}

void MedalText(int32_t medal) {
    MnuContext* c = Ctx();
    if (!c) return;
    if (medal < 0)
        mnu_TextAreaSetText(c, "TxtNCMedalText", "");
    else
        mnu_TextAreaSetString(c, "TxtNCMedalText", kMedalTitles[medal]);
}

void MedalAreaName(int32_t medal, char* out, size_t size) { snprintf(out, size, "WndNCMedal%d", (int)medal + 1); }

void MedalEvent(chs_Zone*, int32_t medal, int32_t event) {
    MnuContext* c = Ctx();
    if (!c || medal < 0 || medal >= MNU_MEDALS) return;
    char area[MNU_NAME];
    MedalAreaName(medal, area, sizeof area);
    if (event == CHS_LEAVE) {
        mnu_ImageAreaSetFrame(c, area, 1);
        if (mnu_NewCamp.medalHover > 0) mnu_NewCamp.medalHover--;
        if (mnu_NewCamp.medalHover == 0) MedalText(-1);
        return;
    }
    if (event == CHS_ENTER) mnu_NewCamp.medalHover++;
    mnu_ImageAreaSetFrame(c, area, 2);
    MedalText(medal);
}
void MedalEnter(chs_Zone* z, int32_t medal) { MedalEvent(z, medal, CHS_ENTER); }
void MedalLeave(chs_Zone* z, int32_t medal) { MedalEvent(z, medal, CHS_LEAVE); }
void MedalMove(chs_Zone* z, int32_t medal) { MedalEvent(z, medal, 1); }

void SubPageShow(int32_t page) {
    MnuContext* c = Ctx();
    mnu_NewCamp.subPage = page;
    MedalZonesRemove();
    if (!c) return;
    for (const char* w : kPages) mnu_WindowHide(c, w);
    mnu_WindowOpen(c, "WndNewCamp");
    mnu_WindowShow(c, "WndNewCamp");
    mnu_TextAreaSetString(c, "TxtNCSubPage", kPageTitles[page]);
    mnu_WindowOpen(c, kPages[page]);
    mnu_WindowShow(c, kPages[page]);
    if (page == 2) mnu_NewCampMedalsShow();
    Redraw();
}

void CampaignText(const char* item, int32_t campaign, const char* area, char* buffer, size_t size) {
    MnuContext* c = Ctx();
    if (!c || !mnu_NewCamp.strings) return;
    char key[32];
    snprintf(key, sizeof key, item, (int)campaign);
    const FileTableEntry* e = file_TableFindNamed(mnu_NewCamp.strings, "CAMPAIGN", key);
    if (!e || !e->text) return;
    snprintf(buffer, size, "%s", e->text);
    mnu_TextAreaSetText(c, area, buffer);
}

void PilotShow(void) {
    MnuContext* c = Ctx();
    if (!c) return;
    const int32_t campaign = Campaign(), mission = Mission();
    const MnuMissionHeader* h = mnu_MissionFind(campaign, mission);
    mnu_StatsFill(c, "TxtNC");
    MnuTextArea* leftLabel = mnu_TextAreaFind(c, "TxtNCLeftMisLabel");
    MnuTextArea* curLabel = mnu_TextAreaFind(c, "TxtNCCurMisLabel");
    int32_t wl = 0, wc = 0;
    if (leftLabel) mnu_TextMeasure(c, leftLabel->fontName, leftLabel->text, &wl, nullptr);
    if (curLabel) mnu_TextMeasure(c, curLabel->fontName, curLabel->text, &wc, nullptr);
    const int32_t wide = (wl > wc ? wl : wc) + 8;
    const struct {
        MnuTextArea* label;
        const char* value;
    } places[] = {{leftLabel, "TxtNCLeftMis"}, {curLabel, "TxtNCCurMis"}};
    for (const auto& p : places) {
        MnuTextArea* v = mnu_TextAreaFind(c, p.value);
        if (!p.label || !v) continue;
        const int32_t width = v->right - v->left;
        v->left = p.label->left + wide;
        v->right = v->left + width;
    }
    const int32_t count = campaign >= 1 && campaign + 1 < MNU_MISSION_FILES ? mnu_MissionFileCounts[campaign + 1] : 0;
    snprintf(g_leftText, sizeof g_leftText, "%d", (int)(count - mission + 1));
    mnu_TextAreaSetText(c, "TxtNCLeftMis", g_leftText);
    mnu_TextAreaSetText(c, "TxtNCCurMis", h ? h->title : "");
    CampaignText("CC_CAMP%d", campaign, "TxtNCCurCamp", g_campText[0], sizeof g_campText[0]);
    CampaignText("CC_CAMPDESC%d", campaign, "TxtNCCampDesc", g_campText[1], sizeof g_campText[1]);
}

// Back to an empty slot: the files gone, the record zeroed.
void SlotClear(int32_t slot) {
    MnuContext* c = Ctx();
    char entry[MNU_NAME];
    EntryName(slot, entry, sizeof entry);
    if (c) mnu_EntryEnd(c, entry);
    mnu_NewCamp.names[slot][0] = 0;
    SlotEntryShow(slot);
    char name[64];
    mnu_PilotFileName(slot + 1, name, sizeof name);
    file_Delete(name);
    mnu_CampLoadoutDelete(slot + 1);
    if (c) mnu_ButtonGroupSetState(c, -1, kSlotGroup, MNU_STATE_NORMAL, 0);
    mnu_Pilot = MnuPilot{};
    mnu_PilotSet16(MNU_PILOT_SLOT, (uint16_t)(slot + 1));
    mnu_PilotSet16(MNU_PILOT_CAMPAIGN, 1);
    mnu_PilotSet16(MNU_PILOT_MISSION, 1);
    PilotButtons(MNU_STATE_DISABLED);
    mnu_NewCamp.subPage = 0;
    if (c) {
        SubPageShow(0);
        mnu_StatsClear(c, "TxtNC");
    }
    Redraw();
}

void SlotCommit(void) {
    const int32_t slot = mnu_NewCamp.selected;
    if (slot < 0 || slot >= MNU_PILOT_SLOTS) return;
    MnuContext* c = Ctx();
    char entry[MNU_NAME];
    EntryName(slot, entry, sizeof entry);
    if (c) mnu_EntryEnd(c, entry);
    mnu_PilotCallsignSet(mnu_NewCamp.names[slot]);
    mnu_PilotSave();
    if (mnu_NewCamp.names[slot][0]) {
        PilotShow();
        PilotButtons(MNU_STATE_NORMAL);
        SlotEntryShow(slot);
    } else {
        SlotClear(slot);
    }
}

void CommitCallback(int32_t) { SlotCommit(); }

void SlotEntryBind(int32_t slot) {
    MnuContext* c = Ctx();
    if (!c) return;
    char entry[MNU_NAME];
    EntryName(slot, entry, sizeof entry);
    mnu_EntryBind(c, entry, mnu_NewCamp.names[slot], MNU_PILOT_CALLSIGN_LENGTH + 1, CommitCallback, "ARIAL10");
}

void SlotsBuild(void) {
    MnuContext* c = Ctx();
    if (!c) return;
    mnu_ButtonGroupSetState(c, -1, kSlotGroup, MNU_STATE_NORMAL, 0);
    static MnuPilot scratch;
    for (int32_t slot = 0; slot < MNU_PILOT_SLOTS; slot++) {
        mnu_NewCamp.names[slot][0] = 0;
        if (mnu_PilotFileRead(slot + 1, &scratch) > 0)
            mnu_PilotCallsign(&scratch, mnu_NewCamp.names[slot], MNU_PILOT_CALLSIGN_LENGTH + 1);
        SlotEntryBind(slot);
        SlotEntryShow(slot);
        char entry[MNU_NAME], button[MNU_NAME];
        EntryName(slot, entry, sizeof entry);
        ButtonName(slot, button, sizeof button);
        mnu_ButtonTextAreaSet(c, entry, button);
        mnu_ButtonSetFlags(c, button, MNU_BUTTON_LATCHING | MNU_BUTTON_RADIO);
    }
}

void SubPageWindowReopen(void) {
    MnuContext* c = Ctx();
    if (!c) return;
    mnu_WindowHide(c, "WndCampDlg");
    mnu_WindowOpen(c, "WndNewCamp");
    mnu_WindowShow(c, "WndNewCamp");
    const char* page = kPages[mnu_NewCamp.subPage];
    mnu_WindowOpen(c, page);
    mnu_WindowShow(c, page);
    mnu_AcceptKeyCallbackSet(cbNCAccept);
    mnu_CancelKeyCallbackSet(cbNCBack);
    mnu_PopupClear();
    mnu_NewCamp.dialogOpen = 0;
}

void NewCampPage(void) {
    MnuContext* c = Ctx();
    if (!c) return;
    mnu_Draw(c);
    mnu_ImageAreasDraw(c);
    mnu_WindowTextDraw(c, "WndNewCamp");
    mnu_WindowTextDraw(c, "WndCampDlg");
    mnu_WindowTextDraw(c, kPages[mnu_NewCamp.subPage]);
    if (mnu_NewCamp.dialogOpen) mnu_WindowRefresh(c, "WndCampDlg", nullptr, 0);
}

void NewCampEnter(void) {
    MnuContext* c = Ctx();
    mnu_GameMode = 0;
    mnu_NewCamp.subPage = 0;
    mnu_NewCamp.dialogOpen = 0;
    mnu_NewCamp.medalHover = 0;
    mnu_LeaveFlag = 0;
    if (mnu_NewCamp.strings) mem_Free(mnu_NewCamp.strings);
    mnu_NewCamp.strings = file_Exists("KRX_CC.BIN") ? file_TableLoad("KRX_CC.BIN") : nullptr;
    MnuString* empty = c ? mnu_StringFind(c, "CC_EMPTY") : nullptr;
    mnu_NewCamp.emptyText = empty && empty->text ? empty->text : "?String Failure";
    mnu_AcceptKeyCallbackSet(cbNCAccept);
    mnu_CancelKeyCallbackSet(cbNCBack);
    if (!c) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndNewCamp");
    mnu_WindowShow(c, "WndNewCamp");
    mnu_WindowOpen(c, "WndNewCampPage1");
    mnu_WindowShow(c, "WndNewCampPage1");
    mnu_CursorSet(c, "Cursor1");
    SlotsBuild();
    const int32_t slot = mnu_PilotGet16(MNU_PILOT_SLOT);
    mnu_NewCamp.selected = -1;
    if (slot >= 1 && slot <= MNU_PILOT_SLOTS) {
        cbNCSlot(slot - 1);
        char button[MNU_NAME];
        ButtonName(slot - 1, button, sizeof button);
        mnu_ButtonSetState(c, button, MNU_STATE_LATCHED);
        if (mnu_NewCamp.names[slot - 1][0]) PilotButtons(MNU_STATE_NORMAL);
    } else {
        PilotButtons(MNU_STATE_DISABLED);
    }
    mnu_TextAreaLink(c, "TxtNCSubPage", "BtnNCLeft");
    mnu_TextAreaLink(c, "TxtNCSubPage", "BtnNCRight");
    mnu_TextAreaLink(c, "TxtNCCurCamp", "BtnNCP3Left");
    mnu_TextAreaLink(c, "TxtNCCurCamp", "BtnNCP3Right");
    SubPageShow(0);
    mnu_Update(c);
    const bool back = app_Runner.prevState == &WndMisBrief;
    mnu_TransitionSet(c, back ? mnu_TransBack : mnu_TransForward, "WndNewCamp", NewCampPage,
                      back ? "TRANSITION_OUT" : "TRANSITION_IN", nullptr);
}

void NewCampDraw(void) {
    if (mnu_Context) mnu_ScreenDraw(NewCampPage);
}

void NewCampLeave(void) {
    MedalZonesRemove();
    SlotCommit();
    if (mnu_NewCamp.strings) mem_Free(mnu_NewCamp.strings);
    mnu_NewCamp.strings = nullptr;
    mnu_KeyCaptureSet(0);
}

}  // namespace

const AppStateRecord WndNewCamp = {NewCampEnter, mnu_StateFrame, NewCampDraw, NewCampLeave, 0};

void mnu_NewCampMedalsShow(void) {
    MnuContext* c = Ctx();
    if (!c) return;
    Redraw();
    MedalZonesRemove();
    for (int32_t m = 0; m < MNU_MEDALS; m++) {
        char area[MNU_NAME];
        MedalAreaName(m, area, sizeof area);
        mnu_ImageAreaSetFrame(c, area, 0);
    }
    uint32_t done = mnu_PilotGet32(MNU_PILOT_CAMPAIGNS_DONE);
    if (done > (uint32_t)MNU_MEDALS) done = MNU_MEDALS;
    for (int32_t m = 0; m < (int32_t)done; m++) {
        char area[MNU_NAME];
        MedalAreaName(m, area, sizeof area);
        MnuImageArea* a = mnu_ImageAreaFind(c, area);
        MnuWindow* w = a ? mnu_WindowFind(c, a->window) : nullptr;
        if (!a) continue;
        const int32_t x = w ? w->x : 0, y = w ? w->y : 0;
        chs_Zone* z = chs_ZoneAdd(&mnu_ZoneList, x + a->left, y + a->top, x + a->right, y + a->bottom, m);
        if (z) {
            chs_ZoneHandlerAdd(z, CHS_ENTER, MedalEnter, m);
            chs_ZoneHandlerAdd(z, CHS_LEAVE, MedalLeave, m);
            chs_ZoneHandlerAdd(z, 1, MedalMove, m);
        }
        mnu_NewCamp.medalZones[m] = z;
        mnu_ImageAreaSetFrame(c, area, 1);
    }
}

void cbNCSlot(int32_t slot) {
    if (slot < 0 || slot >= MNU_PILOT_SLOTS) return;
    SlotCommit();
    mnu_NewCamp.selected = slot;
    mnu_PilotSet16(MNU_PILOT_SLOT, (uint16_t)(slot + 1));
    mnu_PilotLoad();
    if (mnu_NewCamp.subPage == 2) mnu_NewCampMedalsShow();
    MnuContext* c = Ctx();
    if (mnu_NewCamp.names[slot][0]) {
        PilotShow();
        PilotButtons(MNU_STATE_NORMAL);
    } else {
        mnu_StatsClear(c, "TxtNC");
        cbNCEdit(0);
        PilotButtons(MNU_STATE_DISABLED);
    }
    Redraw();
}

void cbNCEdit(int32_t) {
    const int32_t slot = mnu_NewCamp.selected;
    MnuContext* c = Ctx();
    if (slot < 0 || !c) return;
    char entry[MNU_NAME];
    EntryName(slot, entry, sizeof entry);
    SlotEntryBind(slot);
    mnu_EntryBegin(c, entry);
}

void cbNCClear(int32_t) {
    if (mnu_NewCamp.selected < 0) return;
    MnuContext* c = Ctx();
    mnu_PopupShow(c, "", nullptr, -1, nullptr, 0, nullptr, 0, 0);
    mnu_PopupRectSet(0, 0, 640, 480, 0);
    mnu_NewCamp.dialogOpen = 1;
    mnu_AcceptKeyCallbackSet(cbNCOk);
    mnu_CancelKeyCallbackSet(cbNCCancel);
    if (!c) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndCampDlg");
    mnu_WindowShow(c, "WndCampDlg");
    mnu_CursorSet(c, "Cursor1");
}

void cbNCCancel(int32_t) { SubPageWindowReopen(); }

void cbNCOk(int32_t) {
    SubPageWindowReopen();
    if (mnu_NewCamp.selected >= 0) SlotClear(mnu_NewCamp.selected);
}

void cbNCStatTog(int32_t step) { SubPageShow(((mnu_NewCamp.subPage + step) % 3 + 3) % 3); }

void mnu_NewCampCampaignStep(int32_t step) {
    const int32_t found = mnu_MissionFileCounts[0];
    // Where the campaign stands is kept, so stepping back resumes it.
    mnu_PilotLastReachedSet(Campaign(), Mission() - 1);
    int32_t campaign = Campaign() + step;
    if (campaign < 1) campaign = found;
    if (campaign > found) campaign = 1;
    if (campaign < 1) campaign = 1;
    const int32_t mission = mnu_PilotLastReached(campaign) + 1;
    mnu_PilotSet16(MNU_PILOT_CAMPAIGN, (uint16_t)campaign);
    mnu_PilotSet16(MNU_PILOT_MISSION, (uint16_t)mission);
    mnu_MissionSelect(campaign, mission);
    PilotShow();
    Redraw();
}

void cbNCCampTog(int32_t step) { mnu_NewCampCampaignStep(step); }

void cbNCAccept(int32_t) {
    // Only a named pilot flies: an unnamed one would leave a pilot file
    // with no name behind.
    const int32_t slot = mnu_NewCamp.selected;
    if (slot < 0 || slot >= MNU_PILOT_SLOTS || !mnu_NewCamp.names[slot][0] || mnu_LeaveFlag) return;
    const int32_t campaign = Campaign(), mission = Mission();
    mnu_UserMissionName[0] = 0;
    mnu_MissionSelect(campaign, mission);
    app_Runner.nextState = &WndMisBrief;
    app_Runner.followOn1 = &WndNewCamp;
    app_Runner.followOn2 = &WndNewCamp;
    mnu_LeaveFlag = 1;
}

void cbNCBack(int32_t argument) { mnu_CreditsBack(argument); }
