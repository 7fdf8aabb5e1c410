// The multiplayer screen: connection type, call sign, address, phone
// number and session password, the session search, the 13 session buttons,
// the join with its password dialog; and the multiplayer options screen.
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "base/math.h"
#include "base/text.h"
#include "menu/front.h"
#include "menu/menu.h"
#include "menu/mnu.h"
#include "menu/multi.h"
#include "net/client.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/player.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/winmsg.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "sound/music.h"
#include "world/gamemode.h"

MnuMultiState mnu_Multi = {};
uint8_t mnu_ChosenSession[16] = {};

namespace {

const char kTempOutput[] = "$$TMPEXE.$$";
// Ticks a join may take before it gives up (50 seconds).
constexpr uint32_t kJoinTicks = 2000;
constexpr uint32_t kModemTicks = 80000;
constexpr int32_t kPort = 4533;

const char* const kEntries[] = {"EntryMPCurCallSign", "EntryMPIPAddr", "EntryMPModem", "EntryMPSessionPW"};
const char* const kTypeWindows[] = {"WndMultiTCPIP", "WndMultiModem", "WndMultiSerial", "WndMultiIPX",
                                    "WndMultiZelvoria", "WndMultiPlate"};

bool Quitting(void) { return app_QuitFlag || app_Runner.done; }
bool Online(int32_t type) { return type == -1 || type == -2; }
int32_t Provider(void) { return app_Settings.CURRENT_PROVIDER; }

// Entry n of the menu text table.
const char* MenuText(uint32_t n) {
    if (!mnu_Context || !mnu_Context->stringResource) return nullptr;
    const FileTableEntry* e = file_TableEntryGet(mnu_Context->stringResource, n);
    return e ? e->text : nullptr;
}

bool GuidNone(const uint8_t* g) {
    for (int i = 0; i < 16; i++)
        if (g[i]) return false;
    return true;
}

void Repaint(const char* window) {
    if (mnu_Context) mnu_WindowRefresh(mnu_Context, window, nullptr, 0);
}

void SetState(const char* button, int32_t state) {
    if (mnu_Context) mnu_ButtonSetState(mnu_Context, button, state);
}

int32_t GetState(const char* button) { return mnu_Context ? mnu_ButtonGetState(mnu_Context, button) : 0; }

void StatusSet(const char* text) {
    if (!text) text = "";
    if (strcasecmp(text, mnu_Multi.status) == 0) return;
    text_CopyZ(mnu_Multi.status, text, sizeof mnu_Multi.status);
    mnu_Multi.statusChanged = 1;
}

void ErrorSet(int32_t code) {
    mnu_Multi.error = code;
    mnu_Multi.errorCountdown = MNU_MP_ERROR_FRAMES;
}

void ButtonsApply(void) {
    for (MnuSessionButton& b : mnu_Multi.buttons) {
        // Looked up each time: the menu context is loaded anew after a flight.
        b.button = mnu_Context ? mnu_ButtonFind(mnu_Context, b.name) : nullptr;
        if (b.button) mnu_ButtonSetStateRecord(b.button, b.state);
        if (mnu_Context) mnu_TextAreaSetText(mnu_Context, b.name, b.text);
    }
}

void ButtonsClear(void) {
    for (int32_t i = 0; i < MNU_MP_SESSION_BUTTONS; i++) {
        MnuSessionButton& b = mnu_Multi.buttons[i];
        snprintf(b.name, sizeof b.name, "BtnMPSel%d", (int)i);
        b.text[0] = 0;
        b.state = MNU_STATE_DISABLED;
    }
    ButtonsApply();
}

void Choose(const SessionEntry* e) {
    if (e)
        memcpy(mnu_ChosenSession, e->sessionGuid, sizeof mnu_ChosenSession);
    else
        memset(mnu_ChosenSession, 0, sizeof mnu_ChosenSession);
}

SessionEntry* Chosen(void) { return GuidNone(mnu_ChosenSession) ? nullptr : net_SessionFindByGuid(mnu_ChosenSession); }

void ButtonsFill(void) {
    bool any = net_Counters.sessionCount > 0;
    const SessionEntry* chosen = Chosen();
    int32_t i = 0;
    for (MnuSessionButton& b : mnu_Multi.buttons) b.text[0] = 0;
    for (SessionEntry* e = net_Counters.sessionHead; e && i < MNU_MP_SESSION_BUTTONS; e = e->next, i++) {
        MnuSessionButton& b = mnu_Multi.buttons[i];
        text_CopyZ(b.text, e->name ? e->name : "", sizeof b.text);
        b.state = (any && e == chosen) ? MNU_STATE_LATCHED : MNU_STATE_NORMAL;
    }
    for (; i < MNU_MP_SESSION_BUTTONS; i++) mnu_Multi.buttons[i].state = MNU_STATE_DISABLED;
    if (!chosen && any) {
        Choose(net_SessionFindByIndex(0));
        mnu_Multi.buttons[0].state = MNU_STATE_LATCHED;
    }
    ButtonsApply();
}

void ConnectionShow(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    for (const char* w : kTypeWindows) mnu_WindowHide(c, w);
    mnu_WindowOpen(c, "WndMulti");
    for (const char* b : {"BtnMPHost", "BtnMPSearchBtn", "BtnMPSearch"}) SetState(b, MNU_STATE_NORMAL);
    const char* text = nullptr;
    const char* window = nullptr;
    switch (Provider()) {
    case 0: text = "MP_TYPE_IPX", window = "WndMultiIPX"; break;
    case 1: text = "MP_TYPE_TCPIP", window = "WndMultiTCPIP"; break;
    case 2: text = "MP_TYPE_SERIAL", window = "WndMultiSerial"; break;
    case 3: text = "MP_TYPE_MODEM", window = "WndMultiModem"; break;
    case -1: text = "MP_TYPE_ZELVORIA", window = "WndMultiZelvoria"; break;
    case -2: text = "MP_TYPE_ZELVORIASV", window = "WndMultiZelvoria"; break;
    default: break;
    }
    if (window) {
        mnu_WindowOpen(c, window);
        mnu_WindowShow(c, window);
        if (!Online(Provider())) {
            mnu_WindowOpen(c, "WndMultiPlate");
            mnu_WindowShow(c, "WndMultiPlate");
        } else {
            SetState("BtnMPSearchBtn", MNU_STATE_DISABLED);
            SetState("BtnMPSearch", MNU_STATE_DISABLED);
        }
    }
    if (text) mnu_TextAreaSetString(c, "TxtMPCurConnection", text);
    Repaint("WndMulti");
}

// The connection-side texts: the agent of the online service or the serial
// port, after a step of `direction`.
void SideShow(int32_t direction) {
    MnuContext* c = mnu_Context;
    int32_t type = Provider();
    if (Online(type)) {
        if (direction) app_Settings.CONNECT_AGENT = app_Settings.CONNECT_AGENT ? 0 : 1;
        if (c) mnu_TextAreaSetString(c, "TxtMPNWConnect", app_Settings.CONNECT_AGENT == 1 ? "MP_VIABROWSER" : "MP_VIADEFAULT");
    } else if (type == 2) {
        int32_t port = app_Settings.PORT + direction;
        if (port > 4) port = 1;
        if (port <= 0) port = 4;
        app_Settings.PORT = port;
        char key[32];
        snprintf(key, sizeof key, "MP_SET_COM%d", (int)port);
        if (c) mnu_TextAreaSetString(c, "TxtMPSerial", key);
    }
}

void EntriesBind(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    auto end = [](int32_t) { mnu_MultiEditEnd(); };
    mnu_EntryBind(c, "EntryMPCurCallsign", app_Settings.PLAYER_NAME, 21, end, "ARIAL10");
    mnu_EntryBind(c, "EntryMPSessionPW", app_Settings.GAME_PASSWORD, 11, end, "ARIAL10");
    mnu_EntryBind(c, "EntryMPIPAddr", app_Settings.IP_ADDRESS, 31, end, "ARIAL10");
    mnu_EntryBind(c, "EntryMPModem", app_Settings.PHONE_NUMBER, 31, end, "ARIAL10");
    mnu_EntryBind(c, "EntryPwEntry", app_Settings.GAME_PASSWORD, 11, nullptr, "ARIAL10");
}

void EditStart(const char* entry) {
    mnu_MultiSearchStop();
    mnu_MultiEditEnd();
    if (mnu_Context) mnu_EntryBegin(mnu_Context, entry);
    Repaint("WndMulti");
}

// Stepping the connection type or its side: ends editing, resets the
// connection and empties the session buttons.
void StepPrepare(void) {
    mnu_MultiEditEnd();
    mnu_MultiReset();
    ButtonsClear();
}

// The search button's label and hot letter.
void SearchLabel(const char* key, char hot) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_TextAreaSetString(c, "BtnMPSearch", key);
    if (MnuTextArea* area = mnu_TextAreaFind(c, "BtnMPSearch")) area->hotKey = hot;
    if (MnuButton* button = mnu_ButtonFind(c, "BtnMPSearch")) button->hotKey = hot;
}

void SearchToggle(void) {
    if (mnu_Multi.searchKind != MNU_SEARCH_NONE) {
        mnu_MultiSearchStop();
        return;
    }
    mnu_MultiEditEnd();
    mnu_MultiReset();
    ButtonsClear();
    SearchLabel("MP_NET_MSG_CANCEL", 'C');
    Repaint("WndMulti");
    switch (Provider()) {
    case 0: mnu_Multi.searchKind = MNU_SEARCH_IPX; break;
    case 2: mnu_Multi.searchKind = MNU_SEARCH_SERIAL; break;
    case 3: mnu_Multi.searchKind = MNU_SEARCH_MODEM; break;
    default: mnu_Multi.searchKind = MNU_SEARCH_TCPIP; break;
    }
}

// One pass of a loop nested in a frame: messages and a little time.
void WaitPass(void) {
    app_PumpMessagesEx();
    plat_Sleep(5);
}

bool MainMinimised(void) { return app_MainHwnd && plat_WindowIsMinimized(app_MainHwnd); }

void MultiPage(void);

void PwDialogOpen(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_PopupShow(c, "", nullptr, 0, nullptr, 0, nullptr, 0, 16);
    mnu_PopupRectSet(0, 0, 640, 480, 0);
    mnu_HoverCount = 0;
    mnu_CursorSet(c, "Cursor1");
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndPwDlg");
    mnu_WindowShow(c, "WndPwDlg");
    mnu_CancelKeyCallbackSet(cbMPPwCancel);
    mnu_AcceptKeyCallbackSet(cbMPPwOk);
    mnu_Multi.pwOpen = 1;
    mnu_EntryBegin(c, "EntryPwEntry");
}

void PwDialogClose(int32_t accepted) {
    MnuContext* c = mnu_Context;
    if (c) {
        mnu_WindowHide(c, "WndPwDlg");
        mnu_WindowShow(c, "WndMulti");
        mnu_WindowOpen(c, "WndMulti");
    }
    ConnectionShow();
    mnu_HoverCount = 0;
    if (c) mnu_CursorSet(c, "Cursor1");
    mnu_CancelKeyCallbackSet(cbMPBack);
    mnu_AcceptKeyCallbackSet(cbMPJoin);
    mnu_Multi.pwOpen = 0;
    if (c) mnu_EntryEnd(c, "EntryPwEntry");
    mnu_PopupClear();
    mnu_Multi.pwAccepted = accepted;
}

int32_t MultiFrame(void);
void MultiDraw(void);

// The join loop: 0 joined, else an error code.
int32_t JoinLoop(SessionEntry* e) {
    uint32_t start = app_TickCount.load(std::memory_order_relaxed);
    for (;;) {
        app_PumpMessagesEx();
        text_ToUpper(app_Settings.GAME_PASSWORD);
        int32_t r = net_JoinSessionByIndex(e->index, app_Settings.GAME_PASSWORD);
        if (app_TickCount.load(std::memory_order_relaxed) - start > kJoinTicks || Quitting()) {
            net_CancelJoin();
            return 4;
        }
        if (r == 1) {
            plat_Sleep(5);
            continue;
        }
        if (r == -2) return 2;
        if (r == -1) return mnu_Multi.searchKind == MNU_SEARCH_MODEM ? 3 : 1;
        if (r == -3) return 6;
        return 0;
    }
}

void Join(void) {
    if (mnu_LeaveFlag) return;
    int32_t type = Provider();
    if (Online(type)) {
        char command[256];
        snprintf(command, sizeof command, "update.exe %lu /LOG /WIZ:%s", (unsigned long)(uintptr_t)app_MainHwnd,
                 "KRX.WIZ");
        int32_t r = mnu_RunProcess(command, 1, nullptr, kTempOutput);
        plat_FileDelete(kTempOutput);
        if (r == 0 || r == -1) mnu_OnlineServiceLaunch(-1);
        if ((r == -1 || r == 2) && app_MainHwnd) plat_WindowShow(app_MainHwnd, PLAT_SW_RESTORE);
        return;
    }
    mnu_MultiEditEnd();
    mnu_Multi.joining = 1;
    SessionEntry* e = Chosen();
    if (!e) {
        mnu_Multi.joining = 0;
        return;
    }
    if ((e->words[0] & 1) && !app_Settings.GAME_PASSWORD[0]) {
        mnu_Multi.pwAccepted = 0;
        PwDialogOpen();
        while (mnu_Multi.pwOpen && !Quitting()) {
            if (MultiFrame()) break;
            MultiDraw();
            plat_Sleep(5);
        }
        if (mnu_Multi.pwOpen) PwDialogClose(0);
        if (!mnu_Multi.pwAccepted) {
            mnu_Multi.joining = 0;
            return;
        }
        e = Chosen();
        if (!e) {
            mnu_Multi.joining = 0;
            return;
        }
    }
    StatusSet(MenuText(53));
    mnu_Multi.error = 0;
    int32_t error = JoinLoop(e);
    if (!error) {
        level_GameMode = GameModeFlags{0, 0, 0, 1, 0};
        if (net_CreateLocalPlayer(app_Settings.PLAYER_NAME, 0) == 1) {
            error = 5;
        } else {
            int32_t r = net_GetServerId(kJoinTicks / 40);
            if (r == -1) error = 7;
            else if (r != 0) error = 4;
        }
    }
    if (!error) {
        app_Runner.nextState = &WndLoading;
        app_Runner.followOn2 = &net_InFlightStates[NET_STATE_CLIENT];
        app_Runner.followOn1 = &WndMulti;
        mnu_LeaveFlag = 1;
        StatusSet(MenuText(27));
        return;
    }
    ErrorSet(error);
    mnu_Multi.joining = 0;
    if (mnu_Multi.searchKind == MNU_SEARCH_MODEM) mnu_MultiReset();
}

void MultiPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    if (mnu_Multi.statusChanged) {
        mnu_TextAreaSetText(c, "TxtMPStatusBar", mnu_Multi.status);
        mnu_Multi.statusChanged = 0;
    }
    mnu_Draw(c);
    mnu_ImageAreasDraw(c);
    mnu_WindowTextDraw(c, "WndMulti");
    mnu_WindowTextDraw(c, "WndPwDlg");
    switch (Provider()) {
    case 0: mnu_WindowTextDraw(c, "WndMultiIPX"); break;
    case 1: mnu_WindowTextDraw(c, "WndMultiTCPIP"); break;
    case 2: mnu_WindowTextDraw(c, "WndMultiSerial"); break;
    case 3: mnu_WindowTextDraw(c, "WndMultiModem"); break;
    case -1:
    case -2: mnu_WindowTextDraw(c, "WndMultiZelvoria"); break;
    default: break;
    }
    if (Provider() >= 0 && Provider() <= 3) mnu_WindowTextDraw(c, "WndMultiPlate");
    if (mnu_PopupDraw(c) == 1) Repaint("WndPwDlg");
}

void MultiEnter(void) {
    mnu_Multi.savedKeepRunning = app_KeepRunningFlag.load(std::memory_order_acquire);
    app_TimerTickEnable(1);
    bool loaded = mnu_Context && mnu_Context->callbacks == mnu_CallbackTable;
    mnu_LeaveFlag = 0;
    mnu_SystemStart();
    if (!loaded) {
        math_RandomSeedFromClock();
        music_SetVariable(1, 1 + (int32_t)(math_Random() % 3));
    }
    MnuContext* c = mnu_Context;
    net_CloseSession();
    mnu_MultiReset();
    ButtonsClear();
    if (!c) return;
    SetState("BtnMPJoin", MNU_STATE_DISABLED);
    SetState("BtnMPJoinBtn", MNU_STATE_DISABLED);
    for (const char* b : {"BtnMPCallSign", "BtnMPSessionPW", "BtnMPTcpIp", "BtnMPModem"})
        mnu_ButtonSetFlags(c, b, MNU_BUTTON_LATCHING);
    const char* const captions[][2] = {
        {"EntryMPCurCallSign", "BtnMPCallSign"}, {"EntryMPSessionPW", "BtnMPSessionPW"},
        {"EntryMPIPAddr", "BtnMPTcpIp"},         {"EntryMPModem", "BtnMPModem"},
        {"TxtMPCurConnection", "BtnMPConnectLeft"}, {"TxtMPCurConnection", "BtnMPConnectRight"},
        {"TxtMPSerial", "BtnMPSerialLeft"},      {"TxtMPSerial", "BtnMPSerialRight"},
        {"TxtMPNWConnect", "BtnMPNWLeft"},       {"TxtMPNWConnect", "BtnMPNWRight"},
    };
    for (const auto& p : captions) mnu_ButtonTextAreaSet(c, p[0], p[1]);
    mnu_AcceptKeyCallbackSet(cbMPJoin);
    mnu_CancelKeyCallbackSet(cbMPBack);
    EntriesBind();
    mnu_WindowsCloseAll(c);
    ConnectionShow();
    for (MnuSessionButton& b : mnu_Multi.buttons) mnu_ButtonSetFlags(c, b.name, MNU_BUTTON_RADIO | MNU_BUTTON_LATCHING);
    ButtonsClear();
    mnu_WindowOpen(c, "WndMulti");
    mnu_WindowShow(c, "WndMulti");
    mnu_CursorSet(c, "Cursor1");
    mnu_HoverCount = 0;
    app_Runner.followOn2 = nullptr;
    SideShow(0);
    mnu_Update(c);
    mnu_MultiStatusUpdate();
    // The service's page stays in front while it is open.
    if (mnu_PageWindow != -1 && plat_TopLevelExists(mnu_PageWindow) && app_MainHwnd)
        plat_WindowShow(app_MainHwnd, PLAT_SW_MINIMIZE);
    bool fromMain = app_Runner.prevState == &WndMain;
    mnu_TransitionSet(c, fromMain ? mnu_TransForward : mnu_TransBack, "WndMulti", MultiPage,
                      fromMain ? "TRANSITION_IN" : "TRANSITION_OUT", nullptr);
}

int32_t MultiFrame(void) {
    while (MainMinimised()) {
        if (mnu_LeaveFlag || Quitting()) return 1;
        WaitPass();
        bool nk = mnu_ServicePageFind() == 1;
        if (mnu_PageSeen && !nk)
            mnu_PageSeen = 0;
        else if (nk)
            mnu_OnlineServiceLaunch(0);
        if (mnu_PageWindow != -1 && !plat_TopLevelExists(mnu_PageWindow)) {
            if (app_MainHwnd) plat_WindowShow(app_MainHwnd, PLAT_SW_RESTORE);
            mnu_PageWindow = -1;
            break;
        }
    }
    if (mnu_LeaveFlag) return 1;
    if (!mnu_Multi.joining) mnu_MultiStatusUpdate();
    if (Client_LaunchStatus == -6) {
        mnu_Multi.error = 11;
        StatusSet(mnu_StringText(mnu_MultiErrorKey(11, Provider(), net_LastError)));
        Client_LaunchStatus = 0;
        mnu_Multi.errorCountdown = MNU_MP_ERROR_FRAMES;
    }
    app_PumpMessagesEx();
    if (mnu_Context) mnu_Update(mnu_Context);
    return mnu_LeaveFlag ? 1 : 0;
}

void MultiDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(MultiPage);
}

void MultiLeave(void) {
    mnu_MultiSearchStop();
    mnu_MultiEditEnd();
    plat_FileDelete(kTempOutput);
    app_TimerTickEnable(mnu_Multi.savedKeepRunning);
    mnu_Multi.status[0] = 0;
    mnu_Multi.statusChanged = 0;
    for (MnuSessionButton& b : mnu_Multi.buttons) b.button = nullptr;
    text_ToUpper(app_Settings.GAME_PASSWORD);
}

// --- The options screen ---

void SideTextShow(void) {
    char key[32];
    snprintf(key, sizeof key, "MP_OPT_SIDE%d", (int)app_Settings.RAW_SIDE);
    if (mnu_Context) mnu_TextAreaSetString(mnu_Context, "TxtMPSide", key);
}

void SquadEditEnd(int32_t) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    for (const char* e : {"EntrySQName", "EntrySQPW", "EntrySidePW"}) mnu_EntryEnd(c, e);
    if (app_Settings.SQUADRON_NAME[0]) {
        mnu_WindowShow(c, "WndMultiPw");
        mnu_WindowOpen(c, "WndMultiPw");
    } else {
        mnu_WindowHide(c, "WndMultiPw");
    }
    for (const char* b : {"BtnMPSquad", "BtnMPSquadPW", "BtnMPSidePW"}) SetState(b, MNU_STATE_NORMAL);
    Repaint("WndMultiOption");
}

void OptionPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_ImageAreasDraw(c);
    mnu_WindowTextDraw(c, "WndMultiOption");
    mnu_WindowTextDraw(c, "WndMultiPw");
}

void OptionEnter(void) {
    mnu_LeaveFlag = 0;
    mnu_SystemStart();
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndMultiOption");
    mnu_WindowShow(c, "WndMultiOption");
    mnu_CursorSet(c, "Cursor1");
    if (app_Settings.SQUADRON_NAME[0]) {
        mnu_WindowShow(c, "WndMultiPw");
        mnu_WindowOpen(c, "WndMultiPw");
    }
    mnu_ButtonTextAreaSet(c, "EntrySQName", "BtnMPSquad");
    mnu_ButtonTextAreaSet(c, "EntrySQPW", "BtnMPSquadPW");
    mnu_ButtonTextAreaSet(c, "EntrySidePW", "BtnMPSidePW");
    mnu_EntryBind(c, "EntrySQName", app_Settings.SQUADRON_NAME, 21, SquadEditEnd, "ARIAL10");
    mnu_EntryBind(c, "EntrySQPW", app_Settings.SQUADRON_PASSWORD, 11, SquadEditEnd, "ARIAL10");
    mnu_EntryBind(c, "EntrySidePW", app_Settings.SIDE_PASSWORD, 11, SquadEditEnd, "ARIAL10");
    mnu_AcceptKeyCallbackSet(cbMPOptAcept);
    mnu_CancelKeyCallbackSet(cbMPOptAcept);
    for (const char* b : {"BtnMPSquad", "BtnMPSquadPW", "BtnMPSidePW"}) mnu_ButtonSetFlags(c, b, MNU_BUTTON_LATCHING);
    SideTextShow();
    mnu_HoverCount = 0;
    mnu_TransitionSet(c, mnu_TransForward, "WndMultiOption", OptionPage, "TRANSITION_IN", nullptr);
}

void OptionDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(OptionPage);
}

void OptionLeave(void) { SquadEditEnd(0); }

}  // namespace

const AppStateRecord WndMulti = {MultiEnter, MultiFrame, MultiDraw, MultiLeave, 0};
const AppStateRecord WndMultiOption = {OptionEnter, mnu_StateFrame, OptionDraw, OptionLeave, 0};

const char* mnu_StringText(const char* key) {
    const MnuString* s = mnu_Context ? mnu_StringFind(mnu_Context, key) : nullptr;
    return s && s->text ? s->text : "";
}

int32_t mnu_TextVisible(const char* text) {
    if (!text) return 0;
    for (const char* p = text; *p; p++) {
        if (*p == '~') {
            if (!p[1]) break;
            p++;
            continue;
        }
        if (*p >= 0x22 && *p <= 0x7E) return 1;
    }
    return 0;
}

const char* mnu_MultiErrorKey(int32_t code, int32_t type, int32_t lastError) {
    switch (code) {
    case 1:
        return (type == 0 || type == 2 || type == 3) && lastError == -18 ? "MP_NET_MSG_TIMEOUTORBADPW"
                                                                         : "MP_NET_MSG_ERROR";
    case 2: return "MP_NET_MSG_PWERROR";
    case 3: return "MP_NET_MSG_MODEM_ERROR";
    case 4: return "MP_NET_MSG_TIMEOUT";
    case 5: return "MP_NET_MSG_CREATE_PLAYER_ERROR";
    case 6: return "MP_NET_MSG_SESSION_FULL_ERROR";
    case 7: return "MP_NET_MSG_GETSERVER_ERROR";
    case 8: return "LAUNCH_BAD_HOST";
    case 9: return "MP_MODEM_MSG3";
    case 11: return "MP_BADSIDEPW";
    default: return "MP_NET_MSG_UNKERROR";
    }
}

int32_t mnu_MultiConnect(void) {
    int32_t type = Provider();
    bool ok = false;
    switch (type) {
    case 0:
        net_DriverSelect(0);
        ok = net_DriverInit() == 0 && net_ConnectIpx() == 0;
        break;
    case 2: {
        net_DriverSelect(0);
        NetSerialSettings s = {(uint32_t)app_Settings.PORT, (uint32_t)app_Settings.BAUD_RATE, 0, 0, 0};
        ok = net_DriverInit() == 0 && net_ConnectSerial(&s) == 0;
        break;
    }
    case 3:
        net_DriverSelect(0);
        if (net_DriverInit() != 0) break;
        if (!app_Settings.PHONE_NUMBER[0]) {
            ErrorSet(9);
            return 0;
        }
        if (net_ConnectModem(app_Settings.PHONE_NUMBER) != 0) {
            ErrorSet(3);
            return 0;
        }
        mnu_Multi.modemDeadline = app_TickCount.load(std::memory_order_relaxed) + kModemTicks;
        return 1;
    default: {
        net_ConnectionClose();
        net_DriverSelect(1);
        if (net_DriverInit() != 0) break;
        net_SetPorts(kPort, kPort);
        net_SetDynamicPortUsage(0);
        if (net_ConnectTcpip(app_Settings.IP_ADDRESS) != 0) break;
        uint32_t port = kPort;
        net_GetRecvPort(&port);
        ok = true;
        break;
    }
    }
    if (!ok) ErrorSet(1);
    return ok ? 1 : 0;
}

void mnu_MultiSearchStop(void) {
    if (mnu_Multi.searchKind == MNU_SEARCH_NONE) return;
    mnu_Multi.searchKind = MNU_SEARCH_NONE;
    SearchLabel("MP_SEARCH", 'S');
}

void mnu_MultiReset(void) {
    mnu_MultiSearchStop();
    mnu_Multi.searchKind = MNU_SEARCH_NONE;
    mnu_Multi.error = 0;
    mnu_Multi.errorCountdown = 0;
    mnu_Multi.joining = 0;
    net_EnumSessionsStop();
    net_SessionListClear();
    Choose(nullptr);
}

void mnu_MultiEditEnd(void) {
    MnuContext* c = mnu_Context;
    if (c)
        for (const char* e : kEntries) mnu_EntryEnd(c, e);
    Repaint("WndMulti");
    if (!mnu_TextVisible(app_Settings.PLAYER_NAME))
        text_CopyZ(app_Settings.PLAYER_NAME, "NEWBIE", sizeof app_Settings.PLAYER_NAME);
    for (const char* b : {"BtnMPCallSign", "BtnMPTcpIp", "BtnMPModem", "BtnMPSessionPW"}) SetState(b, MNU_STATE_NORMAL);
}

void mnu_MultiStatusUpdate(void) {
    int32_t type = Provider();
    bool online = Online(type);
    if (net_Counters.sessionCount == 0) {
        for (const char* b : {"BtnMPJoin", "BtnMPJoinBtn"}) {
            int32_t s = GetState(b);
            if (online) {
                if (s == MNU_STATE_DISABLED) SetState(b, MNU_STATE_NORMAL);
            } else if (s != MNU_STATE_DISABLED && s != MNU_STATE_PRESSED) {
                SetState(b, MNU_STATE_DISABLED);
            }
        }
        if (online)
            SetState("BtnMPSearch", MNU_STATE_DISABLED);
        else if (GetState("BtnMPSearch") == MNU_STATE_DISABLED)
            SetState("BtnMPSearch", MNU_STATE_NORMAL);
    }
    if (mnu_Multi.searchKind == MNU_SEARCH_NONE || mnu_Multi.error) {
        if (!mnu_Multi.error) {
            StatusSet(mnu_StringText("MP_NET_MSG_IDLE"));
            mnu_Multi.dots = 0;
            return;
        }
        StatusSet(mnu_StringText(mnu_MultiErrorKey(mnu_Multi.error, type, net_LastError)));
        if (--mnu_Multi.errorCountdown < 0) {
            mnu_Multi.error = 0;
            mnu_Multi.errorCountdown = 0;
            mnu_Multi.dots = 0;
        }
        mnu_MultiSearchStop();
        return;
    }
    bool modem = mnu_Multi.searchKind == MNU_SEARCH_MODEM;
    if (mnu_Multi.dotFrames++ > 20 && !mnu_Multi.statusChanged) {
        mnu_Multi.dotFrames = 0;
        mnu_Multi.dots = (mnu_Multi.dots + 1) % 8;
        char text[MNU_MP_STATUS_SIZE];
        const char* base = mnu_StringText(modem ? "MP_MODEM_MSG1" : "MP_NET_MSG_SEARCHING");
        snprintf(text, sizeof text, "%s", base);
        for (int32_t i = 0; i < mnu_Multi.dots; i++) text_CatZ(text, ".", sizeof text);
        StatusSet(text);
    }
    if (mnu_Multi.enumFrames++ < 80) return;
    mnu_Multi.enumFrames = 0;
    net_SessionListFlush();
    int32_t r = net_EnumSessionsStart();
    if (modem) {
        if ((int32_t)(app_TickCount.load(std::memory_order_relaxed) - mnu_Multi.modemDeadline) > 0)
            ErrorSet(4);
        else if (r == -1)
            ErrorSet(3);
        if (mnu_Multi.error) {
            mnu_MultiSearchStop();
            return;
        }
        if (!Chosen() && net_Counters.sessionCount > 0) {
            Choose(net_SessionFindByIndex(0));
            if (!mnu_Multi.joining) Join();
            return;
        }
    } else if (r == -1) {
        ErrorSet(1);
    }
    ButtonsFill();
    if (net_Counters.sessionCount > 0)
        for (const char* b : {"BtnMPJoin", "BtnMPJoinBtn"})
            if (GetState(b) == MNU_STATE_DISABLED) SetState(b, MNU_STATE_NORMAL);
}

// --- Callbacks ---

void cbMPBack(int32_t) {
    if (mnu_LeaveFlag) return;
    // Another program's page window is not ours to close: it is forgotten.
    mnu_PageWindow = -1;
    mnu_MultiReset();
    app_Runner.nextState = &WndMain;
    mnu_LeaveFlag = 1;
}

void cbMPOpt(int32_t) {
    if (mnu_LeaveFlag) return;
    // Another program's page window is not ours to close: it is forgotten.
    mnu_PageWindow = -1;
    mnu_MultiReset();
    app_Runner.nextState = &WndMultiOption;
    mnu_LeaveFlag = 1;
}

void cbMPHost(int32_t) {
    app_Runner.nextState = &WndHost;
    mnu_LeaveFlag = 1;
    mnu_MultiReset();
}

void cbMPSearch(int32_t) {
    mnu_Multi.error = 0;
    SearchToggle();
    if (mnu_Multi.searchKind != MNU_SEARCH_NONE && !mnu_MultiConnect()) mnu_MultiSearchStop();
    mnu_MultiEditEnd();
    Repaint("WndMulti");
}

void cbMPJoin(int32_t) { Join(); }
void cbMPName(int32_t) { EditStart("EntryMPCurCallSign"); }
void cbMPIP(int32_t) { EditStart("EntryMPIPAddr"); }
void cbMPModem(int32_t) { EditStart("EntryMPModem"); }
void cbMPSessionPW(int32_t) { EditStart("EntryMPSessionPW"); }

void cbMPConLeft(int32_t direction) {
    StepPrepare();
    if (!mnu_Context || !mnu_TextAreaFind(mnu_Context, "TxtMPCurConnection")) return;
    int32_t type = app_Settings.CURRENT_PROVIDER + direction;
    if (type > 3) type = -1;
    if (type < -1) type = 3;
    app_Settings.CURRENT_PROVIDER = type;
    ConnectionShow();
}

void cbMPLeft(int32_t direction) {
    StepPrepare();
    SideShow(direction);
}

void cbMPSel(int32_t index) {
    if (SessionEntry* e = net_SessionFindByIndex(index)) Choose(e);
}

void cbMPPwOk(int32_t) { PwDialogClose(1); }
void cbMPPwCancel(int32_t) { PwDialogClose(0); }

void cbMPOptAcept(int32_t) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndMulti;
    mnu_LeaveFlag = 1;
}

void cbMPOptSQName(int32_t) {
    SquadEditEnd(0);
    if (mnu_Context) mnu_EntryBegin(mnu_Context, "EntrySQName");
}
void cbMPOptSQPW(int32_t) {
    SquadEditEnd(0);
    if (mnu_Context) mnu_EntryBegin(mnu_Context, "EntrySQPW");
}
void cbMPOptSidePW(int32_t) {
    SquadEditEnd(0);
    if (mnu_Context) mnu_EntryBegin(mnu_Context, "EntrySidePW");
}

void cbMPOptSideTog(int32_t direction) {
    int32_t side = app_Settings.RAW_SIDE + direction;
    if (side < 0) side = 2;
    if (side > 2) side = 0;
    app_Settings.RAW_SIDE = side;
    SideTextShow();
}
