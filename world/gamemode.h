// Game-mode flags, set by the front end before a launch.
#pragma once
#include <cstdint>

struct GameModeFlags {
    int32_t hosting;        // this process runs the server
    int32_t sharedProcess;  // server and a local client in this process
    int32_t singlePlayer;
    int32_t display;        // this process shows a picture
    int32_t quickMission;
};
extern GameModeFlags level_GameMode;
