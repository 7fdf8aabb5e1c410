// The front-end menus as the shell uses them.
#pragma once

#include "shell/runner.h"

// The main menu screen; the front end's state chain starts here.
extern const AppStateRecord WndMain;
// The menu context handed to mnu_Shutdown.
extern void* mnu_Context;

// Releases the whole menu system.
void mnu_Shutdown(void* context);
// Reloads the mission header list (start-up).
void mnu_MissionListReset(void);
