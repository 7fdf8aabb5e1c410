// Start-up: entry routine, command line, single instance, run step.
#pragma once
#include <cstdint>

int app_WinMain(int argc, char** argv);
