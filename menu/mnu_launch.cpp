// The launch screen: joins the game the online service's page chose. The
// page window's title carries the address, port and session number in a
// scrambled form after "[NK="; the screen decodes it, connects, finds and
// joins the session and starts the flight, one line of text per step.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "menu/front.h"
#include "menu/menu.h"
#include "menu/mnu.h"
#include "menu/multi.h"
#include "net/client.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/player.h"
#include "platform/process.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "world/gamemode.h"

MnuLaunchTitle mnu_LaunchPage = {};
const char mnu_LaunchKey[22] = "hdbjgafcebjigdachfbej";

namespace {

constexpr int32_t kLines = 6;
constexpr uint32_t kStepTicks = 2000;
constexpr uint32_t kDotTicks = 40;
constexpr int32_t kPort = 4533;
const char kMarker[] = "[NK=";
const char kSessionMarker[] = "CK=";

enum Step { STEP_NONE, STEP_TRYING, STEP_CONNECTING, STEP_NEGOTIATING, STEP_STARTING };

struct LaunchState {
    int32_t line;
    Step step;
    int32_t started, hold;
    char text[kLines][128];
};
LaunchState g = {};

bool Quitting(void) { return app_QuitFlag || app_Runner.done; }

void LaunchPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndLaunch");
    mnu_ImageAreasDraw(c);
}

void LaunchDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(LaunchPage);
}

// Shows a line in the current text box and moves on by `advance` lines.
void Show(const char* text, int32_t advance) {
    if (mnu_LeaveFlag) return;
    if (g.line >= 0 && g.line < kLines) {
        text_CopyZ(g.text[g.line], text ? text : "", sizeof g.text[g.line]);
        char area[32];
        snprintf(area, sizeof area, "TxtLaunchBox%d", (int)g.line);
        if (mnu_Context) mnu_TextAreaSetText(mnu_Context, area, g.text[g.line]);
        LaunchDraw();
    }
    g.line += advance;
}

void ShowString(const char* key, int32_t advance) { Show(mnu_StringText(key), advance); }

// The string's text with its first "%s" replaced by `value`; no other
// directive of the text is read.
void Format(char* out, size_t size, const char* text, const char* value) {
    const char* at = strstr(text, "%s");
    if (!at) {
        snprintf(out, size, "%s", text);
        return;
    }
    snprintf(out, size, "%.*s%s%s", (int)(at - text), text, value, at + 2);
}

// One pass of a step's loop; true when the step must end now.
bool StepPass(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag || Quitting()) return true;
    if (mnu_Context) mnu_Update(mnu_Context);
    if (mnu_LeaveFlag || Quitting()) return true;
    plat_Sleep(5);
    return false;
}

uint32_t Now(void) { return app_TickCount.load(std::memory_order_relaxed); }

void Connecting(void) {
    net_EnumSessionsStop();
    memset(mnu_ChosenSession, 0, sizeof mnu_ChosenSession);
    net_ConnectionClose();
    net_DriverSelect(1);
    net_DriverInit();
    uint32_t port = kPort;
    if (mnu_LaunchPage.port[0]) {
        char* end = nullptr;
        unsigned long v = strtoul(mnu_LaunchPage.port, &end, 10);
        if (*end == 0 && v > 0 && v <= 65535) port = (uint32_t)v;
    }
    net_SetPorts(port, kPort);
    net_SetDynamicPortUsage(0);
    net_ConnectTcpip(mnu_LaunchPage.address);
    uint32_t recvPort = kPort;
    net_GetRecvPort(&recvPort);
    uint32_t start = Now(), dotAt = start;
    int32_t dots = 0;
    for (;;) {
        if (Now() - dotAt > kDotTicks) {
            dots = dots == 7 ? 0 : dots + 1;
            dotAt = Now();
        }
        char line[128];
        snprintf(line, sizeof line, "%s", mnu_StringText("LAUNCH_CONNECTING"));
        for (int32_t i = 0; i < dots; i++) text_CatZ(line, ".", sizeof line);
        Show(line, 0);
        net_SessionListFlush();
        net_EnumSessionsStart();
        bool timedOut = Now() - start > kStepTicks;
        if (!timedOut && net_Counters.sessionCount > 0) {
            if (SessionEntry* e = net_SessionFindByIndex(0)) {
                memcpy(mnu_ChosenSession, e->sessionGuid, sizeof mnu_ChosenSession);
                char found[128];
                Format(found, sizeof found, mnu_StringText("LAUNCH_FOUND"), e->name ? e->name : "");
                Show(found, 1);
                g.step = STEP_NEGOTIATING;
                return;
            }
        }
        if (timedOut) {
            ShowString("LAUNCH_NOT_FOUND", 1);
            g.step = STEP_NONE;
            return;
        }
        if (StepPass()) {
            g.step = STEP_NONE;
            return;
        }
    }
}

void Negotiating(void) {
    SessionEntry* e = net_SessionFindByGuid(mnu_ChosenSession);
    if (!e) {
        g.step = STEP_NONE;
        return;
    }
    ShowString("LAUNCH_NEGOTIATING", 1);
    uint32_t start = Now();
    int32_t error = 0;
    for (;;) {
        int32_t r = net_JoinSessionByIndex(e->index, app_Settings.GAME_PASSWORD);
        if (r == -2) error = 2;
        else if (r == -1) error = 1;
        else if (r == -3) error = 6;
        if (error) break;
        if (Now() - start > kStepTicks) {
            error = 4;
            break;
        }
        if (r != 1) break;
        if (StepPass()) {
            g.step = STEP_NONE;
            return;
        }
        // The session may have been renumbered meanwhile.
        e = net_SessionFindByGuid(mnu_ChosenSession);
        if (!e) {
            error = 1;
            break;
        }
    }
    if (error) {
        net_CancelJoin();
        ShowString(mnu_MultiErrorKey(error, 1, 0), 1);
        g.step = STEP_NONE;
        return;
    }
    g.step = STEP_STARTING;
}

void Starting(void) {
    g.step = STEP_NONE;
    level_GameMode = GameModeFlags{0, 0, 0, 1, 0};
    ShowString("LAUNCH_STARTING", 1);
    net_SessionNumber = (int32_t)strtol(mnu_LaunchPage.session, nullptr, 10);
    if (net_CreateLocalPlayer(app_Settings.PLAYER_NAME, 0) == 1) {
        ShowString("LAUNCH_CFG_ERROR", 1);
        return;
    }
    uint32_t start = Now();
    while (Now() - start <= kStepTicks) {
        if (net_GetServerId(1) == 0) {
            app_Runner.nextState = &WndLoading;
            app_Runner.followOn1 = &WndLaunch;
            app_Runner.followOn2 = &net_InFlightStates[NET_STATE_CLIENT];
            mnu_LeaveFlag = 1;
            return;
        }
        if (StepPass()) return;
    }
    ShowString("MP_NET_TIMEOUT", 1);
}

int FindTitle(const char* title, void*) {
    text_CopyZ(mnu_LaunchPage.title, title, sizeof mnu_LaunchPage.title);
    return strstr(mnu_LaunchPage.title, kMarker) ? 1 : 0;
}

void TitleRead(void) {
    memset(&mnu_LaunchPage, 0, sizeof mnu_LaunchPage);
    if (!plat_WindowTitlesEnum(FindTitle, nullptr)) {
        mnu_LaunchPage.title[0] = 0;
        ShowString("LAUNCH_CFG_ERROR", 1);
        g.step = STEP_NONE;
        return;
    }
    mnu_LaunchTitleDecode(&mnu_LaunchPage);
    if (app_MainHwnd) plat_WindowShow(app_MainHwnd, PLAT_SW_RESTORE);
    app_PumpMessagesEx();
    mnu_LaunchAddressNormalise(mnu_LaunchPage.address);
}

void LaunchEnter(void) {
    mnu_LeaveFlag = 0;
    mnu_SystemStart();
    g.line = 0;
    g.step = STEP_NONE;
    for (int32_t i = 0; i < kLines; i++) {
        text_CopyZ(g.text[i], " ", sizeof g.text[i]);
        char area[32];
        snprintf(area, sizeof area, "TxtLaunchBox%d", (int)i);
        if (mnu_Context) mnu_TextAreaSetText(mnu_Context, area, g.text[i]);
    }
    MnuContext* c = mnu_Context;
    if (c) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndLaunch");
        mnu_WindowShow(c, "WndLaunch");
        mnu_CursorSet(c, "Cursor1");
    }
    mnu_HoverCount = 0;
    mnu_AcceptKeyCallbackSet(nullptr);
    mnu_CancelKeyCallbackSet(cbMulti);
    g.hold = 0;
    const char* refusal = Client_LaunchStatus == -1   ? "LAUNCH_BAD_HOST"
                          : Client_LaunchStatus == -5 ? "LAUNCH_SIDEFULL"
                          : Client_LaunchStatus == -6 ? "LAUNCH_BADSIDEPW"
                                                   : nullptr;
    if (refusal) {
        text_CopyZ(g.text[1], mnu_StringText(refusal), sizeof g.text[1]);
        if (c) mnu_TextAreaSetText(c, "TxtLaunchBox1", g.text[1]);
        g.step = STEP_NONE;
        app_Runner.followOn2 = nullptr;
        g.hold = 1;
    }
    if (app_Runner.followOn1 == &WndLaunch) {
        app_Runner.nextState = &WndMulti;
        app_Runner.followOn1 = nullptr;
        app_Runner.followOn2 = nullptr;
        if (Client_LaunchStatus == 0) {
            mnu_LeaveFlag = 1;
            return;
        }
    }
    if (app_Runner.followOn2 == &net_InFlightStates[NET_STATE_CLIENT]) {
        app_Runner.nextState = &WndMulti;
        mnu_LeaveFlag = 1;
        g.step = STEP_NONE;
    }
    TitleRead();
    g.started = 0;
    if (c) {
        mnu_Update(c);
        mnu_TransitionSet(c, mnu_TransForward, "WndLaunch", LaunchPage, "TRANSITION_IN", nullptr);
    }
}

int32_t LaunchFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    switch (g.step) {
    case STEP_TRYING:
        ShowString("LAUNCH_TRYING", 1);
        g.step = STEP_CONNECTING;
        break;
    case STEP_CONNECTING: Connecting(); break;
    case STEP_NEGOTIATING: Negotiating(); break;
    case STEP_STARTING: Starting(); break;
    case STEP_NONE: break;
    }
    if (mnu_Context) mnu_Update(mnu_Context);
    if (!g.hold && !g.started && !mnu_Transition.running) {
        g.step = STEP_TRYING;
        g.started = 1;
    }
    return 0;
}

void LaunchLeave(void) { Client_LaunchStatus = 0; }

// Decodes the text from `from` (up to the end, "&" or the title's end) into
// a field, as far as the key and the field go.
void Decode(const char* from, const char* titleEnd, char* field) {
    size_t keyLength = sizeof mnu_LaunchKey - 1;
    for (size_t i = 0; from + i < titleEnd && from[i] && from[i] != '&'; i++) {
        if (i >= keyLength || i >= MNU_LAUNCH_FIELD - 1) break;
        field[i] = (char)(uint8_t)((uint8_t)from[i] - (uint8_t)mnu_LaunchKey[i] + (uint8_t)'0');
    }
}

}  // namespace

const AppStateRecord WndLaunch = {LaunchEnter, LaunchFrame, LaunchDraw, LaunchLeave, 0};

void mnu_LaunchTitleDecode(MnuLaunchTitle* t) {
    if (!t) return;
    memset(t->address, 0, sizeof t->address);
    memset(t->port, 0, sizeof t->port);
    memset(t->session, 0, sizeof t->session);
    const char* end = t->title + strnlen(t->title, sizeof t->title);
    const char* nk = nullptr;
    for (const char* p = t->title; p + 4 <= end; p++)
        if (memcmp(p, kMarker, 4) == 0) {
            nk = p;
            break;
        }
    if (!nk) return;
    Decode(nk + 4, end, t->address);
    if (char* colon = strchr(t->address, ':')) {
        text_CopyZ(t->port, colon + 1, sizeof t->port);
        *colon = 0;
    }
    for (const char* p = t->title; p + 3 <= end; p++)
        if (memcmp(p, kSessionMarker, 3) == 0) {
            Decode(p + 3, end, t->session);
            return;
        }
}

void mnu_LaunchAddressNormalise(char* address) {
    if (!address) return;
    size_t length = strlen(address);
    if (length > 15) return;
    char out[16];
    size_t o = 0;
    const char* p = address;
    while (*p) {
        const char* groupEnd = strchr(p, '.');
        if (!groupEnd) groupEnd = p + strlen(p);
        size_t n = (size_t)(groupEnd - p);
        for (size_t i = 0; i < n; i++) {
            bool last = i + 1 == n;
            // The last character of a group always stays, so a group is
            // never emptied.
            if (!last && i == 0 && p[0] == '0') continue;
            if (!last && i == 1 && p[1] == '0' && p[0] == '0') continue;
            out[o++] = p[i];
        }
        if (*groupEnd == '.') {
            out[o++] = '.';
            p = groupEnd + 1;
        } else {
            p = groupEnd;
        }
    }
    out[o] = 0;
    memcpy(address, out, o + 1);
}
