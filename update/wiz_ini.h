// The update wizard's configuration files: a small line reader of sections
// and keys (the .WIZ file, the configuration it names, update.lst and
// update.dmp), and the list of file entries they produce. The reader keeps
// one file at a time. Lines end with CR LF and are shorter than 128
// characters; see docs/formats.md.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t WIZ_LINE_MAX = 128;
constexpr int32_t WIZ_NAME_MAX = 128;

// Entry flags.
enum : uint32_t {
    WIZ_ENTRY_COPY = 1,
    WIZ_ENTRY_RESOURCE = 2,
    WIZ_ENTRY_FAILED = 4,
    WIZ_ENTRY_DELETE = 8,
    WIZ_ENTRY_EXECUTE = 0x10,
    WIZ_ENTRY_REMOVE = 0x20,
};

struct WizEntry {
    uint32_t flags;
    char name[WIZ_NAME_MAX];
    int32_t number;  // read and kept, not used
    int32_t time;    // seconds since 1970 (UTC)
    WizEntry* next;
};

// Head of the entry list: the entry made last comes first.
extern WizEntry* wiz_EntryList;

// Loads a whole file: 1, or 0 when it cannot be read or is not in the
// format (a line of 128 characters or more, a CR or LF that is not part of
// a CR LF pair, a NUL byte). A failed load leaves nothing loaded. Text after
// the last CR LF is not a line.
int32_t wiz_IniLoadFile(const char* fileName);
void wiz_IniFree(void);
// Number of lines of the loaded file.
int32_t wiz_IniLineCount(void);
// The current line (with its LF, cut to length - 1 characters) into buffer;
// moves to the next. The buffer, or null at the end.
char* wiz_IniNextLine(char* buffer, int32_t length);
// Rewinds and finds the section line "[NAME..."; the current line is then
// the one after it. The section line, or null.
const char* wiz_IniFindSection(const char* name);
// The first line KEY=VALUE of `key` in `section`: the value (cut to length -
// 1 characters) into value, its atoi reading into *number (may be null).
// 1, or 0 when the section or key is missing (value then as it was).
int32_t wiz_IniGetKey(const char* section, const char* key, char* value, int32_t length, int32_t* number);
// The next line of `key` from the current line up to the next section line;
// the current line is then the one after it. 1, or 0 when none is left.
int32_t wiz_IniNextKey(const char* key, char* value, int32_t length, int32_t* number);

// The first non-empty comma-separated item of a value into out (emptied when
// there is none).
void wiz_FirstItem(const char* value, char* out, size_t outSize);

// A new zeroed entry at the head of the list, with name, time and number
// from the value "name,time,number" (missing items read as 0). Null when
// memory is short.
WizEntry* wiz_EntryCreate(const char* value);
// Entries whose flags share a bit with mask.
int32_t wiz_EntryCount(uint32_t mask);
void wiz_EntryFreeAll(void);
