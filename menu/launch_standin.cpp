// Stand-in until the menus' launch paths land: a headless game started from
// the environment.
#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "menu/launch.h"
#include "menu/menu.h"
#include "net/bridge.h"
#include "net/server_calls.h"
#include "shell/runner.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {
bool g_launched = false;
}

__attribute__((weak)) int32_t mnu_LaunchFromEnvironment(void) {
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
    app_Runner.nextState = state;
    app_Runner.followOn1 = &WndMain;
    return 1;
}
