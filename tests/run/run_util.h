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

// A fresh copy of the sample data set in a temporary folder. With `frames`,
// an empty folder dir/frames is made in it for the frame dumps and *frames
// names it; on any failure both are empty.
std::string run_FreshDataDir(const std::string& name, std::string* frames = nullptr);

// Writes the settings file of a first short run in `dir` with the software
// colour depth set to `bits`; false when that run or file failed.
bool run_SetSoftwareDepth(const std::string& dir, int bits);

// A run of krx of `ticks` ticks in `dir`, with the input script (none when
// empty; written to dir/script.txt) and the `extra` environment entries; with
// `log`, the simulation log goes to dir/sim.log and is read back into *log.
RunResult run_Krx(const std::string& dir, const std::string& script, int ticks, std::string* log,
                  const std::vector<std::string>& extra = {});

// The same run launched straight into a single-player flight
// (KRX_LAUNCH=single); the simulation log is written even without `log`.
RunResult run_SingleFlight(const std::string& dir, const std::string& script, int ticks, std::string* log,
                           const std::vector<std::string>& extra = {});

// The simulation log of a single-player flight (see run_SingleFlight) in a
// fresh data folder `name`; empty, with a test failure, when the folder could
// not be made or the run failed.
std::string run_FlightLog(const std::string& name, const std::string& script, int ticks);

// A single-player flight (see run_SingleFlight) in a fresh data folder `name`,
// its frames dumped every `every` ticks and the `extra` environment entries
// added; with `bits`, the software colour depth is set to it first. Returns
// the frames folder, empty (with a test failure) when the run failed.
std::string run_DumpedFlight(const std::string& name, const std::string& script, int ticks, int every,
                             int bits = 0, std::string* log = nullptr, const std::vector<std::string>& extra = {});

// One side of a game of two programs on loopback, paced by the wall clock
// (KRX_REALTIME): a fresh data folder `name`, the run's script (none when
// empty), length and further environment entries; the run fills in the
// folder, its result and its simulation log.
struct RunPeer {
    std::string name;
    std::string script;
    int ticks = 0;
    std::vector<std::string> env;
    std::string dir;
    RunResult result;
    std::string log;
};
// Runs the host in a thread of its own and the joiner beside it until both
// end; false (nothing run) when a data folder could not be made.
bool run_HostAndJoin(RunPeer& host, RunPeer& joiner);

// Script lines that type the text at the tick: key down, character and key
// up for each character.
// The script of a take-off and climb-out in the sample aircraft: the roll,
// the stick pulled back for the rotation, gear up, then the autopilot holds
// the wings level. Up and clear of the ground by tick 1100.
inline constexpr const char* kRunClimbOut = "100 key BACK\n560 keydown DOWN\n640 keyup DOWN\n700 key G\n"
                                            "1000 key 7\n1050 key L\n";

// The main screen's quick mission button clicked, then Enter on the list:
// the first quick mission's briefing shows from tick 400.
inline constexpr const char* kRunToBriefing = "150 mouse 320 160\n160 lbutton down 320 160\n164 lbutton up 320 160\n"
                                              "400 key RETURN\n";

std::string run_TypeLine(int tick, const std::string& text);

// The whole file as text (empty when missing).
std::string run_ReadAll(const std::string& path);
// The tick of the first simulation-log line holding `what`, or -1.
long run_LogTick(const std::string& log, const std::string& what);
struct _EIMAGE2;
// The frame dumped at the tick into the folder `dump` (null when missing);
// img_Free frees it.
_EIMAGE2* run_LoadFrame(const std::string& dump, long tick);
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
// The ground under the horizon: neither sky nor black.
inline bool run_Ground(RunRgb c) { return !run_Blue(c) && !run_Dark(c); }
// Pixels of the rectangle (x0, y0)-(x1, y1), ends excluded, that pass the test.
template <class Test>
int32_t run_Count(const _EIMAGE2* img, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Test test) {
    int32_t n = 0;
    for (int32_t y = y0; y < y1; y++)
        for (int32_t x = x0; x < x1; x++) n += test(run_Rgb(img, x, y)) ? 1 : 0;
    return n;
}
// Pixels about the middle of a follow view that stand out from the ground at
// its lower left: the player's aircraft.
int32_t run_AircraftPixels(const _EIMAGE2* follow);
// The same count in the frame dump file `file`, or -1 when it cannot be read.
int32_t run_CountInFile(const std::string& file, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        bool (*test)(RunRgb));
