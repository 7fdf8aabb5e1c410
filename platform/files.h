// Files on disk. Paths may use '\' or '/'; every component and wildcard is
// matched without regard to case, as on the file system the data was made for.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Resolves `path` against the disk: separators become '/', and each existing
// component is replaced by its real spelling. Returns 0 when the whole path
// exists, 1 when it doesn't (out then holds the resolved existing prefix and
// the rest as given, good for creating), -1 when out is too small.
int plat_PathResolve(const char* path, char* out, size_t outSize);
// Folders read to match a name without regard to case since start (tests).
// Each folder's listing is kept while the folder is unchanged; the
// program's own creates, renames and deletes drop the kept listings.
uint32_t plat_FileListingScans(void);

enum {
    PLAT_OPEN_READ = 0,
    PLAT_OPEN_WRITE = 1,     // existing file, write only
    PLAT_OPEN_READWRITE = 2, // existing file
    PLAT_OPEN_CREATE = 3,    // create or truncate, read and write
};
// Returns a handle >= 0, or -1.
int plat_FileOpen(const char* path, int mode);
int32_t plat_FileRead(int handle, void* buffer, uint32_t count);
int32_t plat_FileWrite(int handle, const void* buffer, uint32_t count);
// whence: 0 set, 1 current, 2 end. Returns the new position or -1.
int64_t plat_FileSeek(int handle, int64_t offset, int whence);
int64_t plat_FileSizeOf(int handle);
int plat_FileClose(int handle);

FILE* plat_FOpen(const char* path, const char* mode);
int plat_FileExists(const char* path);
int64_t plat_FileSize(const char* path); // -1 when missing
int plat_FileDelete(const char* path);   // 0 on success
int plat_FileRename(const char* from, const char* to); // replaces `to`
int plat_MakeDir(const char* path);
// Creates a new file of a name no other file has, in the folder of `path`
// ("<path>.XXXXXX"), open for reading and writing. The handle, with the
// name in `out`, or -1.
int plat_FileCreateUnique(const char* path, char* out, size_t outSize);
// Flushes what was written through the handle to the disk. 0 or -1.
int plat_FileSync(int handle);

struct PlatFindData {
    char name[260];
    uint64_t size;
    int isDir;
};
struct PlatFind;
// Wildcards '*' and '?' in the last component. Null when nothing matches.
PlatFind* plat_FindFirst(const char* pattern, PlatFindData* data);
int plat_FindNext(PlatFind* find, PlatFindData* data); // 1 found, 0 none left
void plat_FindClose(PlatFind* find);

int plat_GetCwd(char* out, size_t outSize);
int plat_SetCwd(const char* path);
// Directory of the running program, with a trailing '/'.
int plat_ProgramDir(char* out, size_t outSize);
// Full path of the running program's file. 0, or -1 when unknown or too long.
int plat_ProgramPath(char* out, size_t outSize);

// Sets the access and modification times of a file to `seconds` since 1970
// (UTC). 0 or -1.
int plat_FileSetTimes(const char* path, int64_t seconds);
// Gives `to` the permission bits of `from` (so a file put in another's
// place stays a program when it was one). 0 or -1.
int plat_FileModeCopy(const char* from, const char* to);
