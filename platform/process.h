// Processes: start a program with its standard output sent to a file, poll
// for its end, and list the titles of the top-level windows.
//
// A command line is one line as the program was given it: the program, then
// its arguments, separated by blanks; double quotes group blanks into one
// argument. In the program's name '\' becomes '/', and it is looked up
// without regard to case; a name ending in ".exe" also stands for the file
// without the extension, and "update.exe" is our `update` beside the running
// program; "start X" opens X with the desktop's default opener (xdg-open).
// A child inherits only the three standard descriptors and runs in a new
// process group. A name without a folder is looked up beside the running program,
// then in the current folder, then on the search path.
#pragma once
#include <cstddef>
#include <cstdint>

// GetExitCodeProcess's answer while the process runs.
constexpr uint32_t PLAT_STILL_ACTIVE = 259;

// Starts `commandLine` with standard input and error those of this process
// and standard output the file `outputPath` (null: also this process's own).
// The handle (>= 1), or -1 with *error (may be null) set to a system error
// code of the kind the program reports: 2 not found, 5 access denied, 8 no
// memory, 87 a bad command line, 193 not a program, 31 anything else.
int32_t plat_ProcessStart(const char* commandLine, const char* outputPath, int32_t* error);
// PLAT_STILL_ACTIVE while the process runs, else its exit code (128 plus the
// signal's number when a signal ended it). The handle stays valid until
// plat_ProcessClose; -1 for an unknown handle.
int64_t plat_ProcessPoll(int32_t handle);
// Forgets the process; one that still runs is left running.
void plat_ProcessClose(int32_t handle);

// The program file a command line's program name stands for, into out: 0,
// or -1 when none is found (out then holds the name as it would be tried
// on the search path). Exposed for the tests.
int plat_ProcessResolve(const char* program, char* out, size_t outSize);
// Splits a command line into at most maxArgs arguments, written one after
// another into buffer; argv points into it. The count, or -1 when the line
// does not fit.
int plat_CommandLineSplit(const char* commandLine, char* buffer, size_t bufferSize, char** argv, int maxArgs);

// Calls `visit` with the title of every top-level window this program can
// see until it answers nonzero; returns that answer, or 0. Under sdl these
// are the program's own windows; headless runs add the other programs'
// windows their script opened (`toplevel`, docs/testing.md).
int plat_WindowTitlesEnum(int (*visit)(const char* title, void* context), void* context);
// The same with each window's handle: our windows' handles, or
// PLAT_FOREIGN_HANDLE and up for another program's window.
constexpr int64_t PLAT_FOREIGN_HANDLE = 0x100000000LL;
int plat_TopLevelEnum(int (*visit)(int64_t handle, const char* title, void* context), void* context);
// 1 while the top-level window of that handle exists.
int plat_TopLevelExists(int64_t handle);
