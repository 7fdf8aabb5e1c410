// Indexed data files (table files): items fetched by number, or by group
// name and item name.
//
// A table is one heap block holding native records built from the file image
// (the image itself is copied behind them, so every text pointer stays
// inside the block). The caller owns it and frees it with mem_Free.
#pragma once
#include <cstddef>
#include <cstdint>

// One item: its text and the three words carried with it (word1 is the
// number stored with the item, for example the version number).
struct FileTableEntry {
    const char* text;
    uint32_t word1;
    uint32_t word2;
    uint32_t word3;
};

struct FileTableGroup {
    const char* name;       // the group's name
    const char* itemNames;  // the group's first item name
    uint32_t itemCount;
};

struct FileTable {
    uint32_t word0;         // the file's first word (for example "RTXT")
    uint32_t word8;
    uint32_t count;         // N
    FileTableEntry* entries;
    uint32_t groupCount;    // G
    FileTableGroup* groups;
    const char* imageEnd;   // one past the copied image (a zero byte lies there)
};

FileTable* file_TableLoad(const char* name);
// Stores id in the block header when it is below 0x1000000.
FileTable* file_TableLoadWithId(const char* name, uint32_t id);
// Builds a table in the current heap from a file image (tag "LOADED FILE").
// Null for a damaged image: every offset and count is checked.
FileTable* file_TableRelocate(const void* image, uint32_t size);
FileTableEntry* file_TableEntryGet(const FileTable* table, uint32_t index);
uint32_t file_TableCount(const FileTable* table);
const char* file_TableNameGet(const FileTable* table, uint32_t index);
FileTableEntry* file_TableFindNamed(const FileTable* table, const char* group, const char* item);

// Forms of the hand-written modules, with the same results.
FileTable* file_TableRelocateReg(const void* image, uint32_t size);
FileTable* file_TableLoadReg(const char* name);
FileTableEntry* file_TableEntryGetReg(uint32_t index, const FileTable* table);
FileTableEntry* file_TableFindNamedReg(const FileTable* table, const char* group, const char* item);
// 1 with *name set on success, else 0.
int32_t file_TableNameGetReg(const FileTable* table, uint32_t index, const char** name);
