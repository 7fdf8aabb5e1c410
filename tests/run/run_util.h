// Starting the real program headless and reading what it wrote.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RunResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs KRX_BIN_DIR/<program> (or <program> when it is a full path) with `args` in `cwd`, with the environment
// entries `env` ("NAME=value") added to a headless environment. A run launched straight into a game
// (KRX_LAUNCH) without arguments gets the SOFTWARE word, so its flight is drawn in software, unless `env`
// holds kRunCard (then the project's card draws it, as the settings choose).
inline constexpr const char* kRunCard = "KRX_RUN_CARD=1";
RunResult run_Program(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                      const std::vector<std::string>& env);

// A fresh copy of the sample data set in a temporary folder.
std::string run_FreshDataDir(const std::string& name);

// Writes the settings file of a first short run in `dir` with the software
// colour depth set to `bits`; false when that run or file failed.
bool run_SetSoftwareDepth(const std::string& dir, int bits);

// A single-player flight (KRX_LAUNCH=single) of `ticks` ticks in `dir`, with
// the input script (none when empty) and the `extra` environment entries;
// the simulation log goes to dir/sim.log and is read back into *log.
RunResult run_SingleFlight(const std::string& dir, const std::string& script, int ticks, std::string* log,
                           const std::vector<std::string>& extra = {});

// Script lines that type the text at the tick: key down, character and key
// up for each character.
// The script of a take-off and climb-out in the sample aircraft: the roll,
// the stick pulled back for the rotation, gear up, then the autopilot holds
// the wings level. Up and clear of the ground by tick 1100.
inline constexpr const char* kRunClimbOut = "100 key BACK\n560 keydown DOWN\n640 keyup DOWN\n700 key G\n"
                                            "1000 key 7\n1050 key L\n";

std::string run_TypeLine(int tick, const std::string& text);

// The whole file as text (empty when missing).
std::string run_ReadAll(const std::string& path);
// The tick of the first simulation-log line holding `what`, or -1.
long run_LogTick(const std::string& log, const std::string& what);
struct _EIMAGE2;
// A 24-bit frame dump's pixel as 0xRRGGBB.
uint32_t run_PixelAt(const _EIMAGE2* img, int32_t x, int32_t y);
// The same pixel as its three channels, and the colour classes the frame
// checks use: sky blue, near black, and the ground's or a panel's green.
struct RunRgb {
    int r, g, b;
};
RunRgb run_Rgb(const _EIMAGE2* img, int32_t x, int32_t y);
inline bool run_Blue(RunRgb c) { return c.b > c.r + 40 && c.b > c.g + 20; }
inline bool run_Dark(RunRgb c) { return c.r + c.g + c.b < 24; }
inline bool run_Green(RunRgb c) { return c.g > c.r + 24 && c.g > c.b + 24; }
// Pixels of the rectangle (x0, y0)-(x1, y1), ends excluded, that pass the test.
template <class Test>
int32_t run_Count(const _EIMAGE2* img, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Test test) {
    int32_t n = 0;
    for (int32_t y = y0; y < y1; y++)
        for (int32_t x = x0; x < x1; x++) n += test(run_Rgb(img, x, y)) ? 1 : 0;
    return n;
}
