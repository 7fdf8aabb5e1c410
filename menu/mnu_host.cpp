// The host screen: eleven rows of settings of the game type, the game name,
// passwords and country, the dedicated-server and game-type toggles, and
// the hosting of the session.
#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "menu/front.h"
#include "menu/host.h"
#include "menu/menu.h"
#include "menu/mnu.h"
#include "menu/multi.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/player.h"
#include "net/server_calls.h"
#include "platform/timer.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "world/gamemode.h"
#include "world/level.h"

char mnu_HostStatus[128] = {};

namespace {

// Ticks the host loop waits for the session (8 seconds).
constexpr uint32_t kHostTicks = 320;

enum RowShow { SHOW_NONE, SHOW_NUMBER, SHOW_YESNO, SHOW_ENABLED, SHOW_TOD, SHOW_REGION, SHOW_CHANGE, SHOW_SIDE };

struct RowRule {
    int32_t lo, hi;
    bool wrap;
    RowShow show;
};

// Rows 1..11 by game type: deathmatch, capture the flag.
const RowRule kRules[2][MNU_HOST_ROWS] = {
    {{2, 16, false, SHOW_NUMBER},
     {0, 1, true, SHOW_YESNO},
     {0, 1, true, SHOW_YESNO},
     {0, 4, true, SHOW_TOD},
     {3, 8, true, SHOW_REGION},
     {0, 2, true, SHOW_CHANGE},
     {1, 99, false, SHOW_NUMBER},
     {1, 99, false, SHOW_NUMBER},
     {0, 6, false, SHOW_NUMBER},
     {0, 4, false, SHOW_NUMBER},
     {0, 0, false, SHOW_NONE}},
    {{2, 16, false, SHOW_NUMBER},
     {0, 1, true, SHOW_YESNO},
     {0, 1, true, SHOW_ENABLED},
     {0, 4, true, SHOW_TOD},
     {3, 8, true, SHOW_REGION},
     {0, 2, true, SHOW_CHANGE},
     {1, 99, false, SHOW_NUMBER},
     {0, 1, true, SHOW_YESNO},
     {0, 2, true, SHOW_SIDE},
     {0, 0, false, SHOW_NONE},
     {0, 0, false, SHOW_NONE}},
};

const char* const kRowAreas[MNU_HOST_ROWS] = {"TxtHostPlayer", "TxtHostBlackouts", "TxtHostShare1",   "TxtHostTOD",
                                              "TxtHostTerrain", "TxtHostTerrainSeq", "TxtHostRounds", "TxtHostShare2",
                                              "TxtHostSW",      "TxtHostAM",         "TxtHostShare3"};
char g_rowText[MNU_HOST_ROWS][64];

int32_t GameType(void) { return app_Settings.HOST_GAME_TYPE == 1 ? 1 : 0; }
bool Ctf(void) { return app_Settings.HOST_GAME_TYPE == 1; }

void Repaint(void) {
    if (mnu_Context) mnu_WindowRefresh(mnu_Context, "WndHost", nullptr, 0);
}

void StatusShow(const char* key) {
    text_CopyZ(mnu_HostStatus, mnu_StringText(key), sizeof mnu_HostStatus);
    if (mnu_Context) mnu_TextAreaSetText(mnu_Context, "TxtHostStatus", mnu_HostStatus);
}

void RowShowText(int32_t row) {
    const RowRule& r = kRules[GameType()][row];
    int32_t* setting = mnu_HostRowSetting(GameType(), row);
    char* out = g_rowText[row];
    out[0] = 0;
    if (setting) {
        int32_t v = *setting;
        char key[32];
        switch (r.show) {
        case SHOW_NUMBER: snprintf(out, sizeof g_rowText[row], "%lu", (unsigned long)(uint32_t)v); break;
        case SHOW_YESNO: text_CopyZ(out, mnu_StringText(v ? "YES" : "NO"), sizeof g_rowText[row]); break;
        case SHOW_ENABLED: text_CopyZ(out, mnu_StringText(v ? "ENABLED" : "DISABLED"), sizeof g_rowText[row]); break;
        case SHOW_TOD:
        case SHOW_REGION:
            snprintf(key, sizeof key, r.show == SHOW_TOD ? "HO_TOD_%lu" : "HO_REGION_%lu", (unsigned long)(uint32_t)(v + 1));
            text_CopyZ(out, mnu_StringText(key), sizeof g_rowText[row]);
            break;
        case SHOW_CHANGE: {
            static const char* const k[] = {"HO_INCREMENTAL", "HO_RANDOM", "HO_TIME_CHANGE"};
            text_CopyZ(out, v >= 0 && v <= 2 ? mnu_StringText(k[v]) : "", sizeof g_rowText[row]);
            break;
        }
        case SHOW_SIDE: {
            static const char* const k[] = {"HO_SIDE_FIRST", "HO_SIDE_PLAYER", "HO_SIDE_PLANE"};
            text_CopyZ(out, v >= 0 && v <= 2 ? mnu_StringText(k[v]) : "", sizeof g_rowText[row]);
            break;
        }
        case SHOW_NONE: break;
        }
    }
    if (mnu_Context) mnu_TextAreaSetText(mnu_Context, kRowAreas[row], row == MNU_HOST_ROWS - 1 ? nullptr : out);
}

void RowButtons(int32_t row, bool enabled) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    char left[32], right[32], panel[32];
    snprintf(left, sizeof left, "BtnHOLeft%d", (int)row);
    snprintf(right, sizeof right, "BtnHORight%d", (int)row);
    snprintf(panel, sizeof panel, "WndHostPanel%d", (int)row);
    mnu_ButtonSetState(c, left, enabled ? MNU_STATE_NORMAL : MNU_STATE_DISABLED);
    mnu_ButtonSetState(c, right, enabled ? MNU_STATE_NORMAL : MNU_STATE_DISABLED);
    mnu_ImageAreaSetFrames(c, panel, enabled ? 0 : 3, enabled ? 0 : 3);
}

void RowsPoint(void) { RowButtons(10, !Ctf()); }

void RowsShowAll(void) {
    MnuContext* c = mnu_Context;
    RowsPoint();
    if (c) {
        mnu_TextAreaSetString(c, "TxtHostServer", app_Settings.HOST_SERVER_TYPE ? "HO_DEDICATED_YES" : "HO_DEDICATED_NO");
        mnu_TextAreaSetString(c, "TxtHostGame", Ctf() ? "HO_GAME_TYPE_2" : "HO_GAME_TYPE_1");
    }
    for (int32_t r = 0; r < MNU_HOST_ROWS; r++) RowShowText(r);
    bool locked = Ctf() && (app_Settings.RAW_SIDE1_PASSWORD[0] || app_Settings.RAW_SIDE2_PASSWORD[0]);
    RowButtons(9, !locked);
}

void GameTypeShow(void) {
    MnuContext* c = mnu_Context;
    if (c) {
        const char* show = Ctf() ? "WndHostCTF" : "WndHostDM";
        mnu_WindowHide(c, Ctf() ? "WndHostDM" : "WndHostCTF");
        mnu_WindowOpen(c, show);
        mnu_WindowShow(c, show);
        mnu_TextAreaSetString(c, "TxtHostSubtitle", Ctf() ? "HO_CTF_TITLE" : "HO_DM_TITLE");
    }
    mnu_HoverCount = 0;
    RowsShowAll();
    Repaint();
}

const char* const kEntries[] = {"EntryHostGameName", "EntryHostGamePW", "EntryHostGamePWA", "EntryHostGamePWB",
                                "EntryHostCountry"};

void EditStart(const char* entry) {
    mnu_HostEditEnd();
    if (mnu_Context) mnu_EntryBegin(mnu_Context, entry);
}

void HostPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_ImageAreasDraw(c);
    mnu_WindowTextDraw(c, "WndHost");
    mnu_WindowTextDraw(c, Ctf() ? "WndHostCTF" : "WndHostDM");
}

void HostEnter(void) {
    mnu_LeaveFlag = 0;
    mnu_SystemStart();
    MnuContext* c = mnu_Context;
    if (c) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndHost");
        mnu_WindowShow(c, "WndHost");
    }
    mnu_AcceptKeyCallbackSet(cbHostHost);
    mnu_CancelKeyCallbackSet(cbHostBack);
    mnu_HoverCount = 0;
    AppSettings& s = app_Settings;
    for (int32_t* v : {&s.DEATHMATCH_MAX_PLAYERS, &s.RAW_MAX_PLAYERS}) *v = *v < 2 ? 2 : *v > 16 ? 16 : *v;
    for (int32_t* v : {&s.DEATHMATCH_KILLS_PER_ROUND, &s.DEATHMATCH_ROUNDS_PER_CHANGE, &s.RAW_GAMES_PER_CHANGE})
        if (*v < 1) *v = 1;
    RowsShowAll();
    mnu_HostEditEnd();
    mnu_HostStatus[0] = 0;
    if (!c) return;
    const char* show = Ctf() ? "WndHostCTF" : "WndHostDM";
    mnu_WindowOpen(c, show);
    mnu_WindowShow(c, show);
    mnu_TextAreaSetString(c, "TxtHostSubtitle", Ctf() ? "HO_CTF_TITLE" : "HO_DM_TITLE");
    mnu_ButtonSetFlags(c, "BtnHOName", MNU_BUTTON_LATCHING);
    mnu_CursorSet(c, "Cursor1");
    auto end = [](int32_t) { mnu_HostEditEnd(); };
    mnu_EntryBind(c, "EntryHostGameName", s.HOST_GAME_NAME, 23, end, "ARIAL10");
    mnu_EntryBind(c, "EntryHostGamePW", s.HOST_GAME_PASSWORD, 11, end, "ARIAL10");
    mnu_EntryBind(c, "EntryHostGamePWA", s.RAW_SIDE1_PASSWORD, 11, end, "ARIAL10");
    mnu_EntryBind(c, "EntryHostGamePWB", s.RAW_SIDE2_PASSWORD, 11, end, "ARIAL10");
    mnu_EntryBind(c, "EntryHostCountry", s.HOST_COUNTRY_NAME, 4, end, "ARIAL10");
    mnu_TextAreaSetText(c, "TxtHostStatus", mnu_HostStatus);
    const char* const buttons[] = {"BtnHOName", "BtnHOPassword", "BtnHOPasswordA", "BtnHOPasswordB", "BtnHOCountry"};
    for (int i = 0; i < 5; i++) mnu_ButtonTextAreaSet(c, kEntries[i], buttons[i]);
    mnu_ButtonTextAreaSet(c, "TxtHostServer", "BtnHOServerL");
    mnu_ButtonTextAreaSet(c, "TxtHostServer", "BtnHOServerR");
    mnu_ButtonTextAreaSet(c, "TxtHostGame", "BtnHOGameL");
    mnu_ButtonTextAreaSet(c, "TxtHostGame", "BtnHOGameR");
    for (int32_t r = 0; r < MNU_HOST_ROWS; r++) {
        char left[32], right[32];
        snprintf(left, sizeof left, "BtnHOLeft%d", (int)(r + 1));
        snprintf(right, sizeof right, "BtnHORight%d", (int)(r + 1));
        mnu_ButtonTextAreaSet(c, kRowAreas[r], left);
        mnu_ButtonTextAreaSet(c, kRowAreas[r], right);
    }
    GameTypeShow();
    mnu_Update(c);
    mnu_TransitionSet(c, mnu_TransForward, "WndHost", HostPage, "TRANSITION_IN", nullptr);
}

void HostDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(HostPage);
}

void HostLeave(void) {
    text_ToUpper(app_Settings.HOST_GAME_PASSWORD);
    mnu_HostEditEnd();
}

}  // namespace

const AppStateRecord WndHost = {HostEnter, mnu_StateFrame, HostDraw, HostLeave, 0};

int32_t* mnu_HostRowSetting(int32_t gameType, int32_t row) {
    AppSettings& s = app_Settings;
    if (row < 0 || row >= MNU_HOST_ROWS) return nullptr;
    if (gameType == 1) {
        int32_t* rows[MNU_HOST_ROWS] = {&s.RAW_MAX_PLAYERS,      &s.RAW_BLACKOUTS,           &s.RAW_GPS_ENABLED,
                                        &s.RAW_TIMEOFDAY,        &s.RAW_REGION,              &s.RAW_CHANGE_TYPE,
                                        &s.RAW_GAMES_PER_CHANGE, &s.RAW_BOMBERS_GET_MISSILES, &s.RAW_SIDE_SELECTION,
                                        nullptr,                 nullptr};
        return rows[row];
    }
    int32_t* rows[MNU_HOST_ROWS] = {&s.DEATHMATCH_MAX_PLAYERS,       &s.DEATHMATCH_BLACKOUTS,
                                    &s.DEATHMATCH_SPIN_DEATHS,       &s.DEATHMATCH_TIMEOFDAY,
                                    &s.DEATHMATCH_REGION,            &s.DEATHMATCH_CHANGE_TYPE,
                                    &s.DEATHMATCH_ROUNDS_PER_CHANGE, &s.DEATHMATCH_KILLS_PER_ROUND,
                                    &s.deathmatchStores1,             &s.deathmatchStores2,
                                    nullptr};
    return rows[row];
}

int32_t mnu_HostRowStep(int32_t gameType, int32_t row, int32_t value, int32_t direction) {
    if (row < 0 || row >= MNU_HOST_ROWS) return value;
    const RowRule& r = kRules[gameType == 1 ? 1 : 0][row];
    if (r.show == SHOW_NONE) return value;
    int32_t v = value + direction;
    if (v < r.lo) v = r.wrap ? r.hi : r.lo;
    if (v > r.hi) v = r.wrap ? r.lo : r.hi;
    return v;
}

void mnu_HostEditEnd(void) {
    if (mnu_Context)
        for (const char* e : kEntries) mnu_EntryEnd(mnu_Context, e);
    if (!mnu_TextVisible(app_Settings.HOST_GAME_NAME))
        text_CopyZ(app_Settings.HOST_GAME_NAME, mnu_StringText("MP_DEFAULT_CALLSIGN"), sizeof app_Settings.HOST_GAME_NAME);
    if (mnu_Context) mnu_ButtonSetState(mnu_Context, "BtnHOName", MNU_STATE_NORMAL);
    RowsShowAll();
    Repaint();
}

int32_t mnu_HostStart(void) {
    AppSettings& s = app_Settings;
    mnu_HostStatus[0] = 0;
    if (!mnu_TextVisible(s.HOST_GAME_NAME)) {
        StatusShow("HO_BAD_NAME");
        return 0;
    }
    bool ctf = Ctf();
    int32_t region = ctf ? s.RAW_REGION : s.DEATHMATCH_REGION;
    int32_t tod = ctf ? s.RAW_TIMEOFDAY : s.DEATHMATCH_TIMEOFDAY;
    level_MapIndex = region;
    level_TimeOfDay = (int32_t)(int16_t)(tod & 0xFFFF);
    snprintf(level_UserMission, sizeof level_UserMission, ctf ? "QJCTF%02d.ORF" : "QJDM%02d.ORF", (int)(region + 1));
    snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, ctf ? "QJCTF%02d.REF" : "QJDM%02d.REF",
             (int)(region + 1));
    mnu_MultiConnect();
    bool dedicated = s.HOST_SERVER_TYPE != 0;
    uint32_t limit = s.HOST_GAME_TYPE == 0 ? (uint32_t)s.DEATHMATCH_MAX_PLAYERS
                     : s.HOST_GAME_TYPE == 1 ? (uint32_t)s.RAW_MAX_PLAYERS
                                             : 2u;
    const AppStateRecord* inFlight;
    if (dedicated) {
        level_GameMode = GameModeFlags{1, 0, 0, 0, 0};
        inFlight = &net_InFlightStates[NET_STATE_DEDICATED];
        limit += 1;
    } else {
        level_GameMode = GameModeFlags{1, 1, 0, 1, 0};
        inFlight = &net_InFlightStates[NET_STATE_BRIDGE];
    }
    app_Runner.followOn2 = inFlight;
    uint32_t start = app_TickCount.load(std::memory_order_relaxed);
    while (app_TickCount.load(std::memory_order_relaxed) - start < kHostTicks && !app_QuitFlag && !app_Runner.done) {
        const char* password = nullptr;
        if (s.CURRENT_PROVIDER != 3 && s.CURRENT_PROVIDER != 4) {
            text_ToUpper(s.HOST_GAME_PASSWORD);
            password = s.HOST_GAME_PASSWORD;
        }
        int32_t r = net_HostSession(s.HOST_GAME_NAME, 0, limit, password, (uint32_t)s.HOST_GAME_TYPE, 0, 0, 0);
        if (r == 1) {
            app_PumpMessagesEx();
            plat_Sleep(5);
            continue;
        }
        // Any failure is a failure: only 0 hosted the session.
        if (r < 0) {
            StatusShow("HO_HOST_ERROR");
            return 0;
        }
        Server_RegisterSessionCallbacks();
        if (net_CreateLocalPlayer(s.PLAYER_NAME, 1) == 1) {
            StatusShow("HO_PLAYER_ERROR");
            return 0;
        }
        app_Runner.nextState = &WndLoading;
        app_Runner.followOn1 = &WndHost;
        if (!dedicated) text_CopyZ(s.SIDE_PASSWORD, s.RAW_SIDE1_PASSWORD, sizeof s.SIDE_PASSWORD);
        mnu_LeaveFlag = 1;
        return 1;
    }
    StatusShow("HO_TIMEOUT");
    return 0;
}

// A value out of the host screen's range (settings not read yet) takes the
// default.
static int32_t Ranged(int32_t v, int32_t lo, int32_t hi, int32_t otherwise) { return v < lo || v > hi ? otherwise : v; }

void mnu_HostOptionsGet(int32_t gameType, HostOptions* out) {
    if (!out) return;
    memset(out, 0, sizeof *out);
    const AppSettings& s = app_Settings;
    if (gameType == 0) {
        out->player = Ranged(s.DEATHMATCH_MAX_PLAYERS, 1, 16, 16);
        out->blackouts = s.DEATHMATCH_BLACKOUTS;
        out->share1 = s.DEATHMATCH_SPIN_DEATHS;
        out->terrainSeq = Ranged(s.DEATHMATCH_CHANGE_TYPE, 0, 2, HO_INCREMENTAL);
        out->rounds = Ranged(s.DEATHMATCH_ROUNDS_PER_CHANGE, 1, 99, 3);
        out->share2 = Ranged(s.DEATHMATCH_KILLS_PER_ROUND, 1, 99, 10);
        out->sw = s.deathmatchStores1;
        out->am = s.deathmatchStores2;
        return;
    }
    out->player = Ranged(s.RAW_MAX_PLAYERS, 1, 16, 16);
    out->blackouts = s.RAW_BLACKOUTS;
    out->share1 = s.RAW_GPS_ENABLED;
    out->terrainSeq = Ranged(s.RAW_CHANGE_TYPE, 0, 2, HO_INCREMENTAL);
    out->rounds = Ranged(s.RAW_GAMES_PER_CHANGE, 1, 99, 1);
    out->share2 = s.RAW_BOMBERS_GET_MISSILES;
    out->sw = Ranged(s.RAW_SIDE_SELECTION, 0, 2, HO_SIDE_FIRST);
    text_CopyZ(out->teamNames[0], s.RAW_SIDE1_PASSWORD, sizeof out->teamNames[0]);
    text_CopyZ(out->teamNames[1], s.RAW_SIDE2_PASSWORD, sizeof out->teamNames[1]);
}

void cbHostStep(int32_t argument) {
    int32_t direction = argument >= 255 ? 1 : -1;
    int32_t row = argument >= 255 ? argument - 255 : argument;
    int32_t* setting = mnu_HostRowSetting(GameType(), row);
    if (!setting) return;
    *setting = mnu_HostRowStep(GameType(), row, *setting, direction);
    RowShowText(row);
}

void cbHostServer(int32_t) {
    if (mnu_Context && mnu_TextAreaFind(mnu_Context, "TxtHostServer"))
        app_Settings.HOST_SERVER_TYPE = app_Settings.HOST_SERVER_TYPE ? 0 : 1;
    GameTypeShow();
}

void cbHostGame(int32_t) {
    if (mnu_Context && mnu_TextAreaFind(mnu_Context, "TxtHostGame"))
        app_Settings.HOST_GAME_TYPE = app_Settings.HOST_GAME_TYPE ? 0 : 1;
    GameTypeShow();
}

void cbHostName(int32_t) { EditStart("EntryHostGameName"); }
void cbHostPw(int32_t) { EditStart("EntryHostGamePW"); }
void cbHostPwA(int32_t) { EditStart("EntryHostGamePWA"); }
void cbHostPwB(int32_t) { EditStart("EntryHostGamePWB"); }
void cbHostCountry(int32_t) { EditStart("EntryHostCountry"); }
void cbHostHost(int32_t) { mnu_HostStart(); }

void cbHostBack(int32_t) {
    if (mnu_LeaveFlag) return;
    mnu_HostEditEnd();
    app_Runner.nextState = &WndMulti;
    mnu_LeaveFlag = 1;
}

void cbHostMain(int32_t) {
    mnu_HostEditEnd();
    app_Runner.nextState = &WndMain;
    mnu_LeaveFlag = 1;
}
