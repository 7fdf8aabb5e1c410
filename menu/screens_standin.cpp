// Stand-ins for routines and screens not built yet.
#include "menu/front.h"
#include "menu/quick.h"

void mnu_CallbackStandin(int32_t) {}
void mnu_MultiSearchStop(void) {}

namespace {
// A screen not built yet goes straight back to the main screen.
int32_t BackToMain(void) {
    app_Runner.nextState = &WndMain;
    return 1;
}
}  // namespace

const AppStateRecord WndMulti = {nullptr, BackToMain, nullptr, nullptr, 0};
const AppStateRecord WndLaunch = {nullptr, BackToMain, nullptr, nullptr, 0};
const AppStateRecord WndNewCamp = {nullptr, BackToMain, nullptr, nullptr, 0};
const AppStateRecord WndMisBrief = {nullptr, BackToMain, nullptr, nullptr, 0};
