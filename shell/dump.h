// Crash handling and the diagnostic dumps: the guard around the dispatch
// loop, the context dump "_SYSDUMP.TXT" written when the program faults, the
// packet dump "_PACKET.TXT" of an oversized server packet, the screenshot
// names, and the network message overlay.
#pragma once
#include <cstddef>
#include <cstdint>

struct PlatCrashContext;

constexpr int32_t APP_DUMP_INFO_SIZE = 256;
// Most stack words a dump shows.
constexpr int32_t APP_DUMP_STACK_WORDS_MAX = 1024;

// The dump words: set by the run step and app_Main.
struct AppDumpSettings {
    int32_t enabled;       // 1: the crash handler writes the context dump
    const char* fileName;  // null: "_SYSDUMP.TXT"
    int32_t stackWords;    // 64 at start, 256 once app_Main runs
    int32_t entered;       // the crash handler has run (it runs once)
    char info[APP_DUMP_INFO_SIZE];  // "Dump Information": the faulting function
};
extern AppDumpSettings app_DumpSettings;

// What the loaders were doing, shown in the context dump; their owners keep
// them current.
constexpr int32_t APP_STATUS_TEXT_SIZE = 256;
extern char app_StatusString[APP_STATUS_TEXT_SIZE];   // the application status text
extern char app_PakInfoString[APP_STATUS_TEXT_SIZE];  // the model loader's status text
extern int32_t app_LevelObjectNumber;  // the level loader's object counter
extern int32_t app_LevelObjectTotal;   // and its total

// Runs body inside the crash guard and returns its result: sets the dump
// words (no file name, 64 stack words, dumping on), reads the program's
// symbol map, and hands every fault on the way to app_CrashHandle.
int32_t app_CrashGuardRun(int32_t (*body)(void));

// The crash handler. Runs once (a later call returns 0 at once): writes the
// context dump when dumping is on and there is a context, then switches the
// 3D card off, puts the display back to a 640 x 480 window, shows the
// cursor, stops the timer and runs the crash callback (which saves the
// settings). Returns 0; the fault then goes on to the system.
int32_t app_CrashHandle(const PlatCrashContext* ctx);

// Writes the context dump to fileName (null: the dump words' name or
// "_SYSDUMP.TXT") and reports it in a box. Allocates nothing and uses only
// async-signal-safe calls up to the box. 0, or -1 (with the box of
// application string 3) when the file cannot be created.
int32_t app_DumpExceptionToFile(const PlatCrashContext* ctx, const char* fileName);

// Fills the dump words' "Dump Information" with the function at address,
// from the symbol map read by the guard.
void app_DumpInfoSet(uintptr_t address);

// Writes the packet dump of a send buffer to fileName: the header lines and
// the records of its first size bytes, of which at most capacity (the
// buffer's own size) are read. 0, or -1 when the file cannot be created.
int32_t dump_PacketWrite(const char* fileName, const uint8_t* buffer, int32_t size, int32_t capacity);
// The server's oversized packet: "_PACKET.TXT" of the server's send buffer,
// the box of application string 35 with the reason, then app_FatalExit.
[[noreturn]] void dump_PacketAndAbort(int32_t reason);

// The first "SNAP%4.4ld.RAW" (0..9999) with no file of that name, or
// "SNAPXXXX.RAW" when all exist. 0 (nothing written without a buffer or
// with one shorter than 13 bytes).
int32_t app_SnapshotNameGet(char* buffer, size_t size);

// Draw hook (before each present): lists the network message trace.
void app_MessageQueueOverlay(void);
