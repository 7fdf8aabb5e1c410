// The dispatch loop of deferred calls, and app_Main: bring every service up
// behind the loading window, run the front end, take everything down.
#pragma once
#include <cstdint>

// A deferred call: two 32-bit arguments, a 32-bit result.
typedef int32_t (*AppDispatchRoutine)(int32_t first, int32_t second);

struct _DISPATCH_FUNCTION {
    _DISPATCH_FUNCTION* prev;
    _DISPATCH_FUNCTION* next;
    AppDispatchRoutine routine;
    int32_t first;
    int32_t second;
};

struct AppDispatchList {
    _DISPATCH_FUNCTION* head;
    _DISPATCH_FUNCTION* tail;
    int32_t count;
};

struct AppDispatchCallback {
    AppDispatchRoutine routine;
    int32_t first;
    int32_t second;
};

struct AppDispatchState {
    _DISPATCH_FUNCTION* array;  // "_DISPATCH_FUNCTION array", a named global block
    int32_t size;               // entries in the array
    AppDispatchList freeList;
    AppDispatchList callList;   // last in, first out
    int32_t exitFlag;
    int32_t exitCode;
    AppDispatchCallback idle;      // run while the call list is empty
    AppDispatchCallback overflow;  // run when a post finds no free entry
    AppDispatchCallback exit;      // run by app_DispatchExit
};
extern AppDispatchState app_Dispatch;

// 0, or -1 when the array exists already or cannot be allocated. A count
// of 0 or less makes one entry.
int32_t app_DispatchCreate(int32_t count);
void app_DispatchFree(void);
// 0, or -1 (after the overflow callback) when every entry is in use.
int32_t app_DispatchPost(AppDispatchRoutine routine, int32_t first, int32_t second);
// Drops every waiting call; returns how many.
int32_t app_DispatchFlush(void);
// Runs calls (newest first) until app_DispatchExit; returns the exit code.
int32_t app_DispatchRun(void);
// Ends the loop after the running call; returns the exit callback's result.
int32_t app_DispatchExit(int32_t code);

// The stop callback runs when the main window is destroyed; the crash
// callback at the end of the crash handler.
void app_StopCallbackSet(void (*routine)(void));
void app_CrashCallbackSet(void (*routine)(void));
extern void (*app_CrashCallback)(void);

// The three data files checked against this program at start-up.
struct AppDataFileVersion {
    const char* name;
    uint32_t item;
    int32_t number;
};
extern const AppDataFileVersion app_DataFileVersions[3];

// Loads each data file and checks its version item; a file that does not
// load ends the program with app_FatalErrorBox, a wrong or missing version
// with app_FatalErrorBoxC ("app_Main" and the file name).
void app_DataFilesCheck(void);
// Mounts the PFF archives of the data directories.
void app_ArchivesMount(void);

// The body of the program, run as the first dispatched call. Always ends
// with app_DispatchExit(0).
void app_Main(void);
