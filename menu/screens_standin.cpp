// Stand-ins for routines and screens not built yet.
#include "menu/front.h"
#include "menu/quick.h"

void mnu_CallbackStandin(int32_t) {}

namespace {
// A screen not built yet goes straight back to the main screen.
int32_t BackToMain(void) {
    app_Runner.nextState = &WndMain;
    return 1;
}
}  // namespace

const AppStateRecord WndNewCamp = {nullptr, BackToMain, nullptr, nullptr, 0};

// The briefing's sub-screens not built yet go straight back to it.
namespace {
int32_t BackToBriefing(void) {
    app_Runner.nextState = &WndMisBrief;
    return 1;
}
}  // namespace

const AppStateRecord WndMap = {nullptr, BackToBriefing, nullptr, nullptr, 0};
const AppStateRecord WndStats = {nullptr, BackToBriefing, nullptr, nullptr, 0};
