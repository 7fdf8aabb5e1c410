// The front-end menus as the shell uses them.
#pragma once

#include "menu/mnu.h"
#include "shell/runner.h"

// The main menu screen; the front end's state chain starts here.
extern const AppStateRecord WndMain;
// Reloads the mission header list (start-up).
void mnu_MissionListReset(void);
