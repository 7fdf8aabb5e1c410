// Flight actions the console's hidden words and the cheats share.
#pragma once
#include <cstdint>

// Reloads the player's stores and asks the server to do the same.
void cheat_ReloadAction(void);
// Clears the systems damage and runs the aircraft's repair hook.
void cheat_HealAction(void);
