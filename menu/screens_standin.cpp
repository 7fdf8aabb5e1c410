// Stand-ins for routines and screens not built yet.
#include "menu/front.h"
#include "menu/quick.h"

void mnu_CallbackStandin(int32_t) {}

// The briefing's sub-screens not built yet go straight back to it.
namespace {
int32_t BackToBriefing(void) {
    app_Runner.nextState = &WndMisBrief;
    return 1;
}
}  // namespace

const AppStateRecord WndMap = {nullptr, BackToBriefing, nullptr, nullptr, 0};
