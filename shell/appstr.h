// Application strings: user-visible texts by number, from the application
// string file "APPSTR.BIN" (an indexed data file).
#pragma once
#include <cstdint>

struct FileTable;

// The loaded application string file, or null. Callers that fall back on a
// text of their own when an item is missing look it up with
// file_TableEntryGet(app_StringTable, index).
extern FileTable* app_StringTable;

// The text of item `index`, or a marker text when no file is loaded or the
// item does not exist. Never null.
const char* app_StringGet(uint32_t index);
// Frees the loaded string file.
void app_StringFileFree(void);
