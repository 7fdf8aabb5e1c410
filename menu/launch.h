// The launch paths of the front end: set the game-mode flags and enter an
// in-flight state.
#pragma once
#include <cstdint>

// Starts the game the KRX_LAUNCH variable asks for ("single", "dedicated",
// "host:PORT", "dedicated:PORT" or "join:ADDRESS:PORT"; mission KRX_MISSION),
// once a run: 1 when the in-flight state (or the loading screen before it)
// is the runner's next state, 0 when nothing was launched.
int32_t mnu_LaunchFromEnvironment(void);
