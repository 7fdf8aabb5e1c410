// Plain files and directory lists: a small file object with its own size,
// position and end flag, whole-file readers, line reading and writing, and a
// sorted list of the entries that match a wildcard. None of this looks into
// the PFF archives.
#pragma once
#include <cstddef>
#include <cstdint>

// State flags of _EFILE.
constexpr uint32_t EFILE_STATE_OPEN = 1;
constexpr uint32_t EFILE_STATE_EOF = 4;

// Open flags.
constexpr uint32_t EFILE_CREATE = 2;    // create the file when it does not exist
constexpr uint32_t EFILE_READ = 4;
constexpr uint32_t EFILE_WRITE = 8;
constexpr uint32_t EFILE_SHARED = 0x10; // others may read and write meanwhile

// Bytes read ahead at a time: a settings file is read line by line, and one
// system call per byte made reading it slow.
constexpr int32_t EFILE_BUFFER_SIZE = 4096;

struct _EFILE {
    int handle;
    uint32_t state;    // EFILE_STATE_*
    int32_t size;      // raised when a write passes it
    int32_t position;
    // Read-ahead: `buffered` bytes of the file from bufferStart on; while
    // any are held the system's file offset is bufferStart + buffered.
    int32_t bufferStart;
    int32_t buffered;
    uint8_t buffer[EFILE_BUFFER_SIZE];
};

_EFILE* efile_Open(const char* path, uint32_t flags);
int32_t efile_Close(_EFILE* file);
int32_t efile_Read(_EFILE* file, void* buffer, int32_t count);
int32_t efile_ReadWord(_EFILE* file, uint32_t* word);
// Reads up to "\n" (not stored), keeping at most size - 1 characters and
// dropping "\r" and form feeds; -1 at end of file.
int32_t efile_ReadLine(_EFILE* file, char* buffer, int32_t size);
int32_t efile_Write(_EFILE* file, const void* buffer, int32_t count);
int32_t efile_WriteLine(_EFILE* file, const char* string); // string + "\r\n"
int32_t efile_Seek(_EFILE* file, int32_t offset, int32_t origin);
int32_t efile_Size(_EFILE* file);
// Whole file in a named global block "EFILE buffer" (free it with
// mem_GlobalFreeNamed); LoadText adds a terminating zero and reports
// size + 1.
void* efile_LoadWhole(const char* path, int32_t* sizeOut);
char* efile_LoadText(const char* path, int32_t* sizeOut);
int32_t efile_AppendLine(const char* path, const char* string);

// Replacing a file: the new contents go to a temporary file of its own in
// the same folder (two copies of the program never share one), are flushed
// to the disk and then renamed over the file, so the old file stays whole
// until the new one is complete. CreateTemp opens the temporary for writing
// and stores its name; CommitTemp closes it and renames it over `path`, or
// deletes it when any write, the flush or the rename failed (0 or -1).
_EFILE* efile_CreateTemp(const char* path, char* tempName, size_t tempSize);
int32_t efile_CommitTemp(_EFILE* file, const char* tempName, const char* path, bool ok);
// The whole of `data` written in place of the file as above; 0 or -1.
int32_t efile_SaveReplacing(const char* path, const void* data, int32_t length);
// Before the program replaces a player's file that it could not read (a
// damaged version line, another version), the old file is copied to
// "NAME.bak" and one line on standard error says so. 0 when the file does
// not exist or was copied; -1 when it exists but no copy could be made, and
// the file must then be left alone.
int32_t efile_KeepBackup(const char* path);

int32_t file_ExistsSingle(const char* pattern);
int32_t dir_GetCurrent(char* buffer, size_t size);
int32_t dir_SetCurrent(const char* path);
int32_t file_Delete(const char* path);

// Date and time of a directory entry; all zero when unknown.
struct _EDIRLIST_TIME {
    uint8_t day;
    uint8_t month;
    uint16_t year;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
    uint8_t millisecond; // low 8 bits
};

// Attribute bits.
constexpr uint32_t EDIR_ATTR_ARCHIVE = 1;
constexpr uint32_t EDIR_ATTR_COMPRESSED = 2;
constexpr uint32_t EDIR_ATTR_DIRECTORY = 4;
constexpr uint32_t EDIR_ATTR_HIDDEN = 8;
constexpr uint32_t EDIR_ATTR_NORMAL = 16;
constexpr uint32_t EDIR_ATTR_READONLY = 32;
constexpr uint32_t EDIR_ATTR_SYSTEM = 64;
constexpr uint32_t EDIR_ATTR_TEMPORARY = 128;

// List flags.
constexpr uint32_t EDIR_WITH_DIRECTORY = 0x100; // names with the pattern's directory
constexpr uint32_t EDIR_KEEP_PARENT = 0x200;    // keep ".."
constexpr uint32_t EDIR_SORT_NOCASE = 0x400;

struct _EDIRLIST;
struct _EDIRLIST_ENTRY {
    _EDIRLIST_ENTRY* prev;
    _EDIRLIST_ENTRY* next;
    _EDIRLIST* list;
    char* name;         // stored behind the record
    uint32_t size;      // low 32 bits
    _EDIRLIST_TIME created;
    _EDIRLIST_TIME accessed;
    _EDIRLIST_TIME written;
    uint32_t attributes;
};

struct _EDIRLIST {
    _EDIRLIST_ENTRY* first;
    _EDIRLIST_ENTRY* last;
    int32_t count;
};

_EDIRLIST* dir_ListMake(const char* pattern, uint32_t flags);
void dir_ListFree(_EDIRLIST* list);
void dir_ListEntryRemove(_EDIRLIST_ENTRY* entry);
