// The program's symbol map: a text file beside the program that lists its
// functions by address ("KRX.MAP" beside krx, written when the program is
// built), so that a crash dump can name the functions on the stack.
//
// Line format: a line of one word names the module; a line whose first
// word is "Address" starts the symbols; after it, a line of four or five
// words whose first word holds a ':' is one symbol:
//   0001:00012345  function  0000000000012345  [f]  object
// (the name second, the hexadecimal address third, the object last).
// Addresses are those of the program as linked; plat_ProgramLoadBase gives
// what to add for this run.
#pragma once
#include <cstddef>
#include <cstdint>

struct _MAPFILE;

struct _MAPFILE_ENTRY {
    _MAPFILE_ENTRY* prev;
    _MAPFILE_ENTRY* next;
    _MAPFILE* owner;
    char* function_name;  // "_MAPFILE_ENTRY function_name"
    uint64_t address;
    char* object_name;    // "_MAPFILE_ENTRY object_name"
};

// A loaded map: a named global block "_MAPFILE"; each entry is one
// "_MAPFILE_ENTRY" block, and every text a block of its own.
struct _MAPFILE {
    char* filename;     // "_MAPFILE filename"
    char* module_name;  // "_MAPFILE module_name"
    _MAPFILE_ENTRY* head;  // entries in the reverse order of the file
    _MAPFILE_ENTRY* tail;
    int32_t count;
};

// The map record, or null when the file cannot be read or memory runs out.
_MAPFILE* app_MapFileLoad(const char* path);
void app_MapFileFree(_MAPFILE* map);
// The entry with the greatest address not above `address`, or null.
_MAPFILE_ENTRY* app_MapFind(_MAPFILE* map, uint64_t address);
// The map's path: the program's file with its name cut at its first '.',
// upper-cased, and ".MAP" added ("/games/krx" gives "/games/KRX.MAP").
// 0, or -1 (buffer emptied) when the program's path is unknown or the
// buffer too small.
int32_t app_MapFilePath(char* buffer, size_t size);

// ---- The crash dump's copy ---------------------------------------------------
// Nothing may be loaded while the program faults, so the dump works from a
// sorted copy of the map made beforehand, looked up without allocating.

// Loads the program's own map (app_MapFilePath) with this run's load base.
// 0, or -1 when it cannot be read (the path is kept for the dump's text).
int32_t app_SymbolsPrepare(void);
// The same for any map file and base.
int32_t app_SymbolsPrepareFrom(const char* path, uintptr_t loadBase);
void app_SymbolsFree(void);
// 1 when a map is loaded.
int32_t app_SymbolsLoaded(void);
// The path of the map last prepared ("" before the first).
const char* app_SymbolsPath(void);
// The symbol with the greatest address not above the run-time `address`:
// 0 with its run-time start, name and object; -1 when there is none.
// Async-signal-safe.
int32_t app_SymbolFind(uintptr_t address, uintptr_t* start, const char** name, const char** object);
