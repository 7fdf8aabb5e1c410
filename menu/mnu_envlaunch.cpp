// The launch route of the environment: KRX_LAUNCH starts a game from the
// main screen's first entry without going through the menus, for headless
// runs, scripted servers and the whole-program tests (docs/testing.md). The
// menus' own launch paths are untouched by it; with the variable unset the
// main screen runs as always.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/text.h"
#include "menu/brief.h"
#include "menu/launch.h"
#include "menu/front.h"
#include "menu/menu.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/player.h"
#include "net/server_calls.h"
#include "shell/runner.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {
bool g_launched = false;

// The port after "WORD:" (the game port when there is none): 0 when the
// text is not a port.
uint32_t PortOf(const char* text) {
    if (!text || !*text) return 4533;
    char* end = nullptr;
    unsigned long v = strtoul(text, &end, 10);
    return (*end || v == 0 || v > 65535) ? 0 : (uint32_t)v;
}

// Hosts a TCP/IP session on the port with this process's server player.
bool HostNetworkGame(uint32_t port) {
    if (net_DriverInit() != 0 || net_SetPorts(port, 0) != 0 || net_ConnectTcpip("") != 0 ||
        net_HostSession("KRX", 0, 16, nullptr, 0, 0, 0, 0) != 0 || net_CreateLocalPlayer("Host", 1) != 0) {
        fprintf(stderr, "krx: cannot host a game on port %u\n", (unsigned)port);
        return false;
    }
    fprintf(stderr, "krx: hosting on port %u\n", (unsigned)port);
    return true;
}

// Finds the session at ADDRESS:PORT and joins it, for up to 20 seconds of
// wall-clock time.
bool JoinNetworkGame(const char* address) {
    if (net_DriverInit() != 0 || net_ConnectTcpip(address) != 0) {
        fprintf(stderr, "krx: cannot reach \"%s\"\n", address);
        return false;
    }
    int32_t r = 1;
    for (int i = 0; i < 1000 && r == 1; i++) {
        if (!net_SessionFindByIndex(0)) {
            net_EnumSessionsStart();
        } else {
            r = net_JoinSessionByIndex(0, nullptr);
        }
        if (r == 1) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (r != 0 || net_GetServerIdEx() != 0 || net_CreateLocalPlayer("Joiner", 0) != 0) {
        fprintf(stderr, "krx: cannot join the game at \"%s\" (%d)\n", address, (int)r);
        net_CancelJoin();
        return false;
    }
    fprintf(stderr, "krx: joined \"%s\" as player %u\n", address, (unsigned)net_Counters.localPlayer);
    return true;
}
}  // namespace

int32_t mnu_LaunchFromEnvironment(void) {
    if (g_launched) return 0;
    g_launched = true;
    const char* kind = getenv("KRX_LAUNCH");
    if (!kind) return 0;
    const AppStateRecord* state;
    if (strcmp(kind, "single") == 0) {
        level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
        state = &net_InFlightStates[NET_STATE_BRIDGE];
    } else if (strcmp(kind, "dedicated") == 0) {
        level_GameMode = GameModeFlags{1, 0, 0, 0, 0};
        state = &net_InFlightStates[NET_STATE_DEDICATED];
    } else if (strncmp(kind, "dedicated:", 10) == 0 || strncmp(kind, "host:", 5) == 0) {
        // A networked game: a dedicated server, or a host that plays too.
        bool dedicated = kind[0] == 'd';
        uint32_t port = PortOf(strchr(kind, ':') + 1);
        if (!port || !HostNetworkGame(port)) return 0;
        level_GameMode = dedicated ? GameModeFlags{1, 0, 0, 0, 0} : GameModeFlags{1, 1, 0, 1, 0};
        state = &net_InFlightStates[dedicated ? NET_STATE_DEDICATED : NET_STATE_BRIDGE];
    } else if (strncmp(kind, "join:", 5) == 0) {
        if (!JoinNetworkGame(kind + 5)) return 0;
        level_GameMode = GameModeFlags{0, 0, 0, 1, 0};
        state = &net_InFlightStates[NET_STATE_CLIENT];
    } else {
        return 0;
    }
    const char* mission = getenv("KRX_MISSION");
    if (!mission || !*mission) mission = "F1M1.ORF";
    text_CopyZ(level_UserMission, mission, sizeof level_UserMission);
    char reference[sizeof level_MissionNames.reference];
    text_CopyZ(reference, mission, sizeof reference);
    text_StripExtension(reference);
    text_CatZ(reference, ".REF", sizeof reference);
    text_CopyZ(level_MissionNames.reference, reference, sizeof level_MissionNames.reference);
    Server_RegisterSessionCallbacks();
    app_Runner.followOn1 = &WndMain;
    if (state == &net_InFlightStates[NET_STATE_BRIDGE] && level_GameMode.singlePlayer) {
        // A single-player flight is handed over by the loading screen and
        // flies its mission's route.
        mnu_RouteLoad(level_UserMission);
        app_Runner.followOn2 = state;
        app_Runner.nextState = &WndLoading;
        return 1;
    }
    app_Runner.nextState = state;
    return 1;
}
