// The launch paths of the front end: set the game-mode flags and enter an
// in-flight state.
#pragma once
#include <cstdint>

// Starts the game the KRX_LAUNCH variable asks for ("single" or
// "dedicated", mission KRX_MISSION), once: 1 when the in-flight state is
// the runner's next state, 0 when nothing was launched.
int32_t mnu_LaunchFromEnvironment(void);
