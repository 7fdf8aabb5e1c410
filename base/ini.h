// Section/key text parser: one sectioned text file at a time, split into
// lines once and read with a cursor (find a section, then fetch keys).
//
// Lines end with "\r\n"; text after the last "\r\n" is not read. A section
// line starts with "[" and a run of A-Z, 0-9 and "_"; a key line holds a key,
// "=" and a value, and ";" starts a comment. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

struct IniParserState {
    char* buffer;        // "config file buffer", alternate heap 1
    uint32_t size;       // the file's size
    char* cursor;        // start of the current line
    char* previous;      // start of the line read before
    uint32_t lineCount;  // lines found at load
    uint32_t lineIndex;  // number of the current line
};
extern IniParserState ini_State;

// 1 on success, 0 when the file is missing or cannot be read. Load upper-cases
// the text; both turn tabs into blanks. A file still loaded is freed first.
int32_t ini_Load(const char* path);
int32_t ini_LoadKeepCase(const char* path);
int32_t ini_Unload(void);
// Copies the current line ("\n" included, at most size - 1 characters) and
// moves to the next; null at the end.
char* ini_LineNext(char* buffer, size_t size);
int32_t ini_SectionFind(const char* name);
// From the cursor, within the current section. The value (blanks trimmed,
// at most valueSize - 1 characters) and its decimal number are stored when
// found; the number is cleared first. A key with an empty value is found
// with an empty value and the number 0.
int32_t ini_KeyGet(const char* key, char* value, size_t valueSize, int32_t* number);
int32_t ini_SectionKeyGet(const char* section, const char* key, char* value, size_t valueSize, int32_t* number);
