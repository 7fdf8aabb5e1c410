// Fatal error boxes of the start-up and of data and allocation failures,
// and the formatting of application strings that serve as formats.
#pragma once
#include <cstddef>
#include <cstdint>

// Exit code of a program stopped by a missing, damaged or out-of-date data
// file or a failed allocation.
constexpr int32_t APP_EXIT_DATA_ERROR = 1;

// One argument of app_StringFormat: a text or a number.
struct AppFormatArg {
    const char* text;  // used when not null
    long number;
    AppFormatArg(const char* t) : text(t ? t : ""), number(0) {}
    AppFormatArg(long n) : text(nullptr), number(n) {}
    AppFormatArg(int n) : text(nullptr), number(n) {}
};

// Formats `format` (usually an application string) with the arguments.
// Only %s, %c, %d, %i, %u, %x, %X (with flags, width, precision and l) and
// %% are taken; each uses the next argument, a conversion with no argument
// left is printed as it stands, so that a damaged string cannot read what
// it was not given. Returns the length written.
size_t app_StringFormat(char* out, size_t size, const char* format, const AppFormatArg* args, size_t count);

// Shows the text in a box owned by the main window, then app_FatalExit.
[[noreturn]] void app_FatalMessage(const char* text);
// Data-file and allocation failures: a box with application string 4 (name
// and detail), 28 (name only), 5 (detail only) or 27 (neither), then the
// program ends with APP_EXIT_DATA_ERROR.
[[noreturn]] void app_FatalErrorBox(const char* name, const char* detail);
// The same with strings 13, 14, 15, 29.
[[noreturn]] void app_FatalErrorBoxB(const char* name, const char* detail);
// Version mismatch: strings 17, 18, 19, 20.
[[noreturn]] void app_FatalErrorBoxC(const char* name, const char* detail);
