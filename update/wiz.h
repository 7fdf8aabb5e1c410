// The update wizard: installs updated data files in place (see docs/formats.md
// for its configuration files).
#pragma once
#include <cstdint>

#include "platform/window.h"

// Private messages of the progress dialog.
enum : uint32_t { WIZ_MSG_READCONFIG = 1025, WIZ_MSG_PROCESS = 1026 };

// The program: the command line as one line. Exit code: 0, 1 when the
// configuration pass failed, 2 when an entry failed.
int32_t wiz_Main(const char* commandLine);

intptr_t wiz_ProgressDlgProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
// 0 on success, -1 when the pass failed (its message shown).
int32_t wiz_ReadConfig(void);
void wiz_ProcessList(void);
// 1 when the file starts with an SZDD header.
int32_t wiz_IsSzdd(const char* name);
// Expands an SZDD file in place (whole or not at all); a file that is not
// compressed counts as expanded. 1 on success, 0 on failure.
int32_t wiz_ExpandFile(const char* name);
// Runs a command line with standard output to `output`; with `wait` until it
// ends. The start's system error code into *error. 0, or -1 when the file
// or the process cannot be created.
int32_t wiz_RunProcess(const char* commandLine, int32_t wait, uint32_t* exitCode, const char* output,
                       int32_t* error);
void wiz_PumpMessages(void);
void wiz_CenterWindow(PlatHwnd hwnd);
// 1 for a plain relative name inside the working folder (not absolute, no
// "..", no drive).
int32_t wiz_NameSafe(const char* name);
