// Stand-in until the host screen lands: the options come from the HOST
// settings of the game type.
#include "menu/host.h"

#include <cstring>

#include "base/text.h"
#include "shell/settings.h"

namespace {
// Store counts of a deathmatch aircraft; the settings file has no keys for
// them.
constexpr int32_t HOST_DM_STORES_KIND1 = 4;
constexpr int32_t HOST_DM_STORES_KIND2 = 2;

// A value out of the host screen's range (settings not read yet) takes the
// default.
int32_t Ranged(int32_t v, int32_t lo, int32_t hi, int32_t otherwise) { return v < lo || v > hi ? otherwise : v; }
}  // namespace

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
        out->sw = HOST_DM_STORES_KIND1;
        out->am = HOST_DM_STORES_KIND2;
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
