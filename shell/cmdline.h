// The command line: its words and switches, the option word and the rule
// that keeps a second copy of the program from starting.
#pragma once
#include <cstdint>

// Bits of the option word.
constexpr uint32_t APP_OPTION_HARDWARE = 0x400;
constexpr uint32_t APP_OPTION_SOFTWARE = 0x800;       // no 3D-card driver is loaded
constexpr uint32_t APP_OPTION_FRAME_RATE = 0x8000;    // the frame rate shows from each level start
constexpr uint32_t APP_OPTION_CONSOLE_TOGGLE = 0x80000;  // toggled by the developer console
constexpr uint32_t APP_OPTION_HWNOCRUNCH = 0x100000;
constexpr uint32_t APP_OPTION_WINDOW = 0x200000;

extern uint32_t app_StartupOptions;

// What a command line asks for.
enum AppCommandAction : int32_t {
    APP_COMMAND_RUN = 0,         // start (after the single-instance rule)
    APP_COMMAND_VERSION_BOX,     // -a
    APP_COMMAND_USAGE_BOX,       // -h
    APP_COMMAND_BAD_WORD,        // an unknown word: application string 55
    APP_COMMAND_BAD_SWITCH,      // an unknown switch letter: string 54
};

struct AppCommandLine {
    AppCommandAction action;
    uint32_t options;        // option bits of the words read
    int32_t versionInTitle;  // VERSION
    int32_t many;            // MANY: a second copy may start
    int32_t trace;           // TRACE
    char badWord[128];       // the unknown word (cut to fit)
    char badSwitch;          // the unknown switch letter
};

// Reads the words in order up to the first that ends the program; no side
// effects. Blanks separate words, double quotes keep blanks inside one.
void app_CommandLineParse(const char* commandLine, AppCommandLine* out);

// Interprets the command line (width 640, height 480, depth 16 first), then
// either shows a box and ends, raises a running copy and ends, or runs the
// program. Returns the exit code: 0, -1 for an unknown word or switch, or the
// run step's result.
int32_t app_CommandLineRun(const char* commandLine);
