// Time compression: the application clock advances several ticks per timer
// period in a single-player game.
#include "debug/timecomp.h"

#include "base/text.h"
#include "debug/console.h"
#include "debug/dbgtext.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "world/gamemode.h"

int32_t dbg_TimeCompression = 1;
uint8_t dbg_FastMode = 0;
int32_t dbg_TimeCompressionAnyGame = 0;

namespace {
constexpr uint32_t kFactorText = 377;
}  // namespace

void dbg_ShowValueLine(int32_t factor) {
    if (!level_GameMode.display) return;
    if (!level_GameMode.singlePlayer && !dbg_TimeCompressionAnyGame) return;
    if (factor < 1) factor = 1;
    dbg_TimeCompression = factor;
    app_TickIncrement = (uint32_t)factor;
    plat_SimLog("debug", "timecomp factor=%d clock=%u", factor, app_TickCount.load(std::memory_order_acquire));
    con_PrintNumber(kFactorText, factor);
}

void dbg_ShowValue(int32_t factor) { dbg_ShowValueLine(factor); }

void dbg_TimeCompressionReset(void) {
    dbg_TimeCompression = 1;
    app_TickIncrement = 1;
}
