// File layer and PFF archives.
//
// Data files are looked up by name on disk and in up to 16 mounted PFF
// archives (flat archives of named members). The layer keeps one current
// file: open, read, seek and close act on it; a member is read through its
// archive's handle. Writing is plain disk access. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int FILE_PFF_SLOTS = 16;
constexpr uint32_t PFF_HEADER_SIZE = 20;
constexpr uint32_t PFF_ENTRY_SIZE = 32;
constexpr uint32_t PFF_NAME_SIZE = 16;
constexpr uint32_t PFF_FLAG_SCRAMBLED = 1;
constexpr uint32_t PFF_SCRAMBLE_KEY = 0x6B3D91F4;

// The archive header as read.
struct PffHeader {
    uint32_t headerSize; // must be greater than 19
    uint32_t word4;      // not read
    uint32_t count;      // entries in the directory
    uint32_t word12;     // not read
    uint32_t dirOffset;  // file offset of the directory
};

// One directory entry (32 bytes in the file).
struct PffEntry {
    uint8_t flags;                 // bit 0: stored scrambled
    uint32_t offset;               // file offset of the member's data
    uint32_t size;                 // member size in bytes
    char name[PFF_NAME_SIZE + 1];  // always terminated
    uint8_t damaged;               // lies outside the archive: found, never read
};

// Archive record ("PFF STRUCT", alternate heap 1).
struct PffRecord {
    int handle;             // the archive file, kept open
    char name[128];         // the archive's path
    PffHeader header;
    PffEntry* directory;    // "PFF HEADERS", alternate heap 1
    PffEntry* current;      // selected member, or null
    uint32_t position;      // read position within the selected member
    int32_t open;           // 1 once the directory is read
    uint32_t lastSize;      // size of the last member loaded whole
    int32_t failed;         // the last lookup or read here failed
    int32_t missReport;     // 0 for every mounted archive
    uint64_t fileSize;      // size of the archive file
};

// File-layer state (one per program).
struct FileLayerState {
    int currentHandle;      // current file; for a member the archive's handle
    int32_t lastSize;       // size of the last whole file loaded
    int32_t memberSelected; // the current file is an archive member
    int32_t diskFirst;      // search the disk before the archives
    int32_t error;          // the last operation failed
    int32_t report;         // box when a file is not found
    PffRecord* slots[FILE_PFF_SLOTS];
    int32_t currentSlotIndex;
    PffRecord* currentSlot;
    int32_t slotCount;      // occupied slots
};
extern FileLayerState file_State;

// Called after each file_LoadFileEx: (path, archive name or null, size, 1) on
// success, (path, null, 0, 0) on failure.
typedef void (*FileTraceHook)(const char* path, const char* archiveName, int32_t size, int32_t success);
void file_TraceHookSet(FileTraceHook hook);
// The load trace of the TRACE command word: appends one line per load to
// "_trace.txt".
void file_TraceLoad(const char* path, const char* archiveName, int32_t size, int32_t success);

// Settings. file_StateInit also closes and frees any mounted archives.
void file_StateInit(void);
int32_t file_DiskFirstSet(int32_t flag);  // returns the previous flag
int32_t file_ReportSet(int32_t flag);     // returns the previous flag
// The shell's mode word: the report flag by another name; returns the
// previous flag.
int32_t file_ModeWordSet(int32_t word);

// Lookup-based operations (disk-first or archives-first search).
int32_t file_OpenEx(const char* path);       // disk handle, 1 for a member, -1
int32_t file_Exists(const char* path);       // 1 or 0, never reports
int32_t file_FileSizeEx(const char* path);   // size or -1
// Block of the file's size in the current heap ("LOADED FILE" or
// "PFF LOADED FILE"); null when missing, damaged or out of memory.
void* file_LoadFileEx(const char* path);
// With a buffer of bufferSize bytes reads the whole file into it; returns the
// size either way; -1 when not found or when the file does not fit.
int32_t file_RawLoaderEx(const char* path, void* buffer, size_t bufferSize);

// Current-file operations.
int32_t file_Read(void* buffer, int32_t count);
int32_t file_Seek(int32_t offset, int32_t origin);
void file_Close(void);

// Disk-only operations.
int32_t file_OpenRaw(const char* path);
int32_t file_Create(const char* path);
int32_t file_ReadRaw(void* buffer, int32_t count);
int32_t file_WriteRaw(const void* buffer, int32_t count);
int32_t file_SeekRaw(int32_t offset, int32_t origin);
int32_t file_CloseRaw(void);
int32_t file_ExistsOnDisk(const char* path);
int32_t file_SizeOnDisk(const char* path);
int32_t file_LoadRaw(const char* path, void* buffer, size_t bufferSize);
int32_t file_SaveRaw(const char* path, const void* buffer, int32_t length);

// Archives.
PffRecord* pff_Open(const char* path);
// Puts the archive into the first empty slot; its slot, or -1 when all 16
// are taken (the archive is then not added and stays the caller's).
int32_t file_PffSlotAdd(PffRecord* pff);
// The entry of that name, or null; a damaged entry is found too (and then
// fails every read, measure and load).
PffEntry* pff_Find(const char* name, PffRecord* pff);
int32_t pff_MemberOpen(PffRecord* pff, const char* name);             // 1 or -1
int32_t pff_MemberRead(PffRecord* pff, void* buffer, int32_t count);  // bytes read
int32_t pff_MemberSeek(PffRecord* pff, int32_t offset, int32_t origin);
void* pff_MemberLoad(PffRecord* pff, const char* name);
int32_t pff_MemberLoadRaw(PffRecord* pff, const char* name, void* buffer, size_t bufferSize);
int32_t pff_MemberSize(PffRecord* pff, const char* name);
// Closes the archive file and frees its record and directory; for archives
// that were never mounted (mounted ones are closed by file_StateInit).
void pff_Close(PffRecord* pff);
// Scrambles or unscrambles (the same operation) `length` bytes that start
// `start` bytes into a member.
void pff_Scramble(void* data, uint32_t length, uint32_t start);
