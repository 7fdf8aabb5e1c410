// Plain files (_EFILE), whole-file readers and directory lists (_EDIRLIST).
#include "base/efile.h"

#include <cstdio>
#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"
#include "platform/files.h"

namespace {

void efile_UpdateEnd(_EFILE* f) {
    if (f->position >= f->size)
        f->state |= EFILE_STATE_EOF;
    else
        f->state &= ~EFILE_STATE_EOF;
}

// The record of a handle just opened on a file of `size` bytes, at its
// start; null when there is no memory (the caller closes the handle).
_EFILE* efile_RecordNew(int h, int32_t size) {
    auto* f = static_cast<_EFILE*>(mem_GlobalAllocNamed("_EFILE", sizeof(_EFILE)));
    if (!f) return nullptr;
    f->handle = h;
    f->size = size;
    f->position = 0;
    f->state = EFILE_STATE_OPEN;
    f->bufferStart = 0;
    f->buffered = 0;
    efile_UpdateEnd(f);
    return f;
}

bool efile_Usable(const _EFILE* f) { return f && (f->state & EFILE_STATE_OPEN) && f->handle >= 0; }

// Bytes read ahead and not yet handed out.
int32_t efile_Ahead(const _EFILE* f) { return f->buffered ? f->bufferStart + f->buffered - f->position : 0; }

// Drops the read-ahead and puts the system's offset back at the position.
bool efile_DropAhead(_EFILE* f) {
    if (!f->buffered) return true;
    f->buffered = 0;
    return plat_FileSeek(f->handle, f->position, 0) == f->position;
}

// Reads the next block ahead; the bytes read, 0 at the end, -1 on failure.
int32_t efile_Fill(_EFILE* f) {
    int32_t room = INT32_MAX - f->position;
    int32_t want = room < EFILE_BUFFER_SIZE ? room : EFILE_BUFFER_SIZE;
    f->buffered = 0;
    if (want <= 0) return 0;
    int32_t n = plat_FileRead(f->handle, f->buffer, static_cast<uint32_t>(want));
    if (n <= 0) return n;
    f->bufferStart = f->position;
    f->buffered = n;
    return n;
}

} // namespace

_EFILE* efile_Open(const char* path, uint32_t flags) {
    if (!path || !(flags & (EFILE_READ | EFILE_WRITE))) return nullptr;
    int mode = PLAT_OPEN_READ;
    if ((flags & EFILE_READ) && (flags & EFILE_WRITE))
        mode = PLAT_OPEN_READWRITE;
    else if (flags & EFILE_WRITE)
        mode = PLAT_OPEN_WRITE;
    int h;
    if ((flags & EFILE_CREATE) && !plat_FileExists(path))
        h = plat_FileOpen(path, PLAT_OPEN_CREATE);
    else
        h = plat_FileOpen(path, mode);
    if (h < 0) return nullptr;
    int64_t size = plat_FileSeek(h, 0, 2);
    if (size < 0 || size > INT32_MAX || plat_FileSeek(h, 0, 0) != 0) {
        plat_FileClose(h);
        return nullptr;
    }
    _EFILE* f = efile_RecordNew(h, static_cast<int32_t>(size));
    if (!f) plat_FileClose(h);
    return f;
}

int32_t efile_Close(_EFILE* file) {
    if (!file) return -1;
    int r = file->handle >= 0 ? plat_FileClose(file->handle) : -1;
    mem_GlobalFreeNamed(file);
    return r == 0 ? 0 : -1;
}

int32_t efile_Read(_EFILE* file, void* buffer, int32_t count) {
    if (!efile_Usable(file) || !buffer || count < 0) return -1;
    // The position is a signed 32-bit word: never read it past its range.
    if (count > INT32_MAX - file->position) count = INT32_MAX - file->position;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    int32_t done = 0;
    while (done < count) {
        int32_t ahead = efile_Ahead(file);
        if (ahead > 0) {
            int32_t n = count - done < ahead ? count - done : ahead;
            memcpy(out + done, file->buffer + (file->position - file->bufferStart), static_cast<size_t>(n));
            file->position += n;
            done += n;
            continue;
        }
        // Everything read ahead was handed out: the system's offset is the
        // position. Large reads go straight into the caller's buffer.
        int32_t n;
        if (count - done >= EFILE_BUFFER_SIZE) {
            file->buffered = 0;
            n = plat_FileRead(file->handle, out + done, static_cast<uint32_t>(count - done));
            if (n > 0) {
                file->position += n;
                done += n;
            }
        } else {
            n = efile_Fill(file);
        }
        if (n < 0 && done == 0) return -1;
        if (n <= 0) break;
    }
    efile_UpdateEnd(file);
    return done;
}

int32_t efile_ReadWord(_EFILE* file, uint32_t* word) {
    uint8_t b[4];
    if (!word) return -1;
    int32_t n = efile_Read(file, b, 4);
    if (n == 4) *word = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return n;
}

int32_t efile_ReadLine(_EFILE* file, char* buffer, int32_t size) {
    if (!efile_Usable(file) || !buffer || size <= 0) return -1;
    int32_t stored = 0;
    bool readAny = false;
    for (;;) {
        if (efile_Ahead(file) <= 0 && efile_Fill(file) <= 0) break;
        char c = static_cast<char>(file->buffer[file->position - file->bufferStart]);
        readAny = true;
        file->position++;
        if (c == '\n') break;
        if (c == '\r' || c == '\f') continue;
        if (stored < size - 1) buffer[stored++] = c;
    }
    efile_UpdateEnd(file);
    buffer[stored] = 0;
    return readAny ? stored : -1;
}

int32_t efile_Write(_EFILE* file, const void* buffer, int32_t count) {
    if (!efile_Usable(file) || !buffer || count < 0) return -1;
    if (count == 0) return 0;
    // A file of this kind stays below 2 GB, where its size and position fit.
    if (count > INT32_MAX - file->position) return -1;
    if (!efile_DropAhead(file)) return -1;
    int32_t n = plat_FileWrite(file->handle, buffer, static_cast<uint32_t>(count));
    if (n < 0) return -1;
    file->position += n;
    if (file->position > file->size) file->size = file->position;
    efile_UpdateEnd(file);
    return n;
}

int32_t efile_WriteLine(_EFILE* file, const char* string) {
    if (!string) return -1;
    size_t len = strlen(string);
    if (len > static_cast<size_t>(INT32_MAX - 2)) return -1;
    // One write per line where it fits.
    char line[1026];
    if (len + 2 <= sizeof line) {
        memcpy(line, string, len);
        memcpy(line + len, "\r\n", 2);
        int32_t total = static_cast<int32_t>(len + 2);
        return efile_Write(file, line, total) == total ? total : -1;
    }
    int32_t a = efile_Write(file, string, static_cast<int32_t>(len));
    if (a != static_cast<int32_t>(len)) return -1;
    int32_t b = efile_Write(file, "\r\n", 2);
    if (b != 2) return -1;
    return a + b;
}

int32_t efile_Seek(_EFILE* file, int32_t offset, int32_t origin) {
    if (!efile_Usable(file) || origin < 0 || origin > 2) return -1;
    // The system's offset runs ahead of the position while bytes are read
    // ahead: a seek from the current place counts from the position.
    int64_t target = offset;
    int whence = origin;
    if (origin == 1) {
        target = static_cast<int64_t>(file->position) + offset;
        whence = 0;
    }
    file->buffered = 0;
    int64_t pos = target < 0 && whence == 0 ? -1 : plat_FileSeek(file->handle, target, whence);
    if (pos < 0 || pos > INT32_MAX) {
        plat_FileSeek(file->handle, file->position, 0);
        return -1;
    }
    file->position = static_cast<int32_t>(pos);
    efile_UpdateEnd(file);
    return file->position;
}

int32_t efile_Size(_EFILE* file) { return efile_Usable(file) ? file->size : -1; }

namespace {

void* efile_LoadExtra(const char* path, int32_t* sizeOut, int32_t extra) {
    _EFILE* f = efile_Open(path, EFILE_READ | EFILE_SHARED);
    if (!f) return nullptr;
    int32_t size = f->size;
    if (size > INT32_MAX - extra) {
        efile_Close(f);
        return nullptr;
    }
    auto* block = static_cast<char*>(mem_GlobalAllocNamed("EFILE buffer", size + extra));
    if (!block) {
        efile_Close(f);
        return nullptr;
    }
    int32_t got = 0;
    while (got < size) {
        int32_t n = efile_Read(f, block + got, size - got);
        if (n <= 0) break;
        got += n;
    }
    efile_Close(f);
    if (got != size) {
        mem_GlobalFreeNamed(block);
        return nullptr;
    }
    if (sizeOut) *sizeOut = size + extra;
    return block;
}

} // namespace

void* efile_LoadWhole(const char* path, int32_t* sizeOut) { return efile_LoadExtra(path, sizeOut, 0); }

char* efile_LoadText(const char* path, int32_t* sizeOut) {
    // The extra byte is the terminator: named blocks are zero-filled.
    return static_cast<char*>(efile_LoadExtra(path, sizeOut, 1));
}

int32_t efile_AppendLine(const char* path, const char* string) {
    if (!path || !string) return -1;
    _EFILE* f = efile_Open(path, EFILE_WRITE | EFILE_CREATE);
    if (!f) return -1;
    int32_t r = efile_Seek(f, 0, 2) < 0 ? -1 : efile_WriteLine(f, string);
    int32_t c = efile_Close(f);
    return (r >= 0 && c == 0) ? 0 : -1;
}

_EFILE* efile_CreateTemp(const char* path, char* tempName, size_t tempSize) {
    if (!path || !tempName || tempSize == 0) return nullptr;
    int h = plat_FileCreateUnique(path, tempName, tempSize);
    if (h < 0) return nullptr;
    _EFILE* f = efile_RecordNew(h, 0);
    if (!f) {
        plat_FileClose(h);
        plat_FileDelete(tempName);
    }
    return f;
}

int32_t efile_CommitTemp(_EFILE* file, const char* tempName, const char* path, bool ok) {
    if (!file || !tempName) return -1;
    // On the disk before the rename, so that a crash leaves the old file or
    // the whole new one, never an empty one.
    ok = ok && path && plat_FileSync(file->handle) == 0;
    ok = efile_Close(file) == 0 && ok;
    if (!ok || plat_FileRename(tempName, path) != 0) {
        plat_FileDelete(tempName);
        return -1;
    }
    return 0;
}

int32_t efile_SaveReplacing(const char* path, const void* data, int32_t length) {
    if (!path || length < 0 || (!data && length > 0)) return -1;
    char temp[1024];
    _EFILE* f = efile_CreateTemp(path, temp, sizeof temp);
    if (!f) return -1;
    bool ok = length == 0 || efile_Write(f, data, length) == length;
    return efile_CommitTemp(f, temp, path, ok);
}

int32_t efile_KeepBackup(const char* path) {
    if (!path || !plat_FileExists(path)) return 0;
    char backup[1024];
    if (snprintf(backup, sizeof backup, "%s.bak", path) >= static_cast<int>(sizeof backup)) return -1;
    int in = plat_FileOpen(path, PLAT_OPEN_READ);
    char temp[1024];
    _EFILE* out = in >= 0 ? efile_CreateTemp(backup, temp, sizeof temp) : nullptr;
    bool ok = out != nullptr;
    static uint8_t chunk[65536];
    while (ok) {
        int32_t n = plat_FileRead(in, chunk, sizeof chunk);
        if (n < 0) ok = false;
        if (n <= 0) break;
        ok = efile_Write(out, chunk, n) == n;
    }
    if (in >= 0) plat_FileClose(in);
    if (out && efile_CommitTemp(out, temp, backup, ok) != 0) ok = false;
    if (ok)
        fprintf(stderr, "krx: %s could not be read and is replaced; the old file is kept as %s\n", path, backup);
    else
        fprintf(stderr, "krx: %s could not be read, and no copy of it could be kept: it is left as it is\n", path);
    return ok ? 0 : -1;
}

int32_t file_ExistsSingle(const char* pattern) {
    if (!pattern) return 0;
    PlatFindData d;
    PlatFind* find = plat_FindFirst(pattern, &d);
    if (!find) return 0;
    int matches = 0;
    bool isDir = false;
    do {
        if (!strcmp(d.name, ".") || !strcmp(d.name, "..")) continue;
        matches++;
        isDir = d.isDir != 0;
    } while (matches < 2 && plat_FindNext(find, &d));
    plat_FindClose(find);
    return (matches == 1 && !isDir) ? 1 : 0;
}

int32_t dir_GetCurrent(char* buffer, size_t size) {
    if (!buffer || size == 0) return -1;
    return plat_GetCwd(buffer, size) == 0 ? 0 : -1;
}

int32_t dir_SetCurrent(const char* path) {
    if (!path) return -1;
    return plat_SetCwd(path) == 0 ? 0 : -1;
}

int32_t file_Delete(const char* path) {
    if (!path) return -1;
    return plat_FileDelete(path) == 0 ? 0 : -1;
}

// ---------------------------------------------------------------------------
// Directory lists.

namespace {

int dir_Compare(const char* a, const char* b, bool noCase) {
    if (!noCase) return strcmp(a, b);
    for (;; a++, b++) {
        int ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
        if (ca >= 'a' && ca <= 'z') ca -= 32;
        if (cb >= 'a' && cb <= 'z') cb -= 32;
        if (ca != cb || !ca) return ca - cb;
    }
}

void dir_Unlink(_EDIRLIST_ENTRY* e) {
    // An entry off every list has no neighbours either.
    if (e->list) dlist_Unlink(e->list->first, e->list->last, e->list->count, e);
    e->list = nullptr;
}

} // namespace

_EDIRLIST* dir_ListMake(const char* pattern, uint32_t flags) {
    if (!pattern) return nullptr;
    PlatFindData d;
    PlatFind* find = plat_FindFirst(pattern, &d);
    if (!find) return nullptr;

    // The directory part: the pattern up to its last separator.
    char dir[512];
    snprintf(dir, sizeof dir, "%s", pattern);
    char* sep = strrchr(dir, '\\');
    char* slash = strrchr(dir, '/');
    if (!sep || (slash && slash > sep)) sep = slash;
    if (sep)
        *sep = 0;
    else
        dir[0] = 0;

    auto* list = static_cast<_EDIRLIST*>(mem_GlobalAllocNamed("_EDIRLIST", sizeof(_EDIRLIST)));
    if (!list) {
        plat_FindClose(find);
        return nullptr;
    }
    bool noCase = (flags & EDIR_SORT_NOCASE) != 0;
    do {
        if (!strcmp(d.name, ".")) continue;
        if (!strcmp(d.name, "..") && !(flags & EDIR_KEEP_PARENT)) continue;
        char name[800];
        if ((flags & EDIR_WITH_DIRECTORY) && dir[0])
            snprintf(name, sizeof name, "%s\\%s", dir, d.name);
        else
            snprintf(name, sizeof name, "%s", d.name);
        size_t len = strlen(name);
        auto* e = static_cast<_EDIRLIST_ENTRY*>(
            mem_GlobalAllocNamed("_EDIRLIST_ENTRY", static_cast<int32_t>(sizeof(_EDIRLIST_ENTRY) + len + 1)));
        if (!e) {
            plat_FindClose(find);
            dir_ListFree(list);
            return nullptr;
        }
        e->name = reinterpret_cast<char*>(e + 1);
        memcpy(e->name, name, len + 1);
        e->size = static_cast<uint32_t>(d.size);
        e->attributes = d.isDir ? EDIR_ATTR_DIRECTORY : EDIR_ATTR_NORMAL;
        // The times stay zero: the platform's directory search does not
        // report them.
        e->list = list;
        _EDIRLIST_ENTRY* at = list->first;
        while (at && dir_Compare(at->name, e->name, noCase) < 0) at = at->next;
        if (at)
            dlist_InsertBefore(list->first, list->last, list->count, at, e);
        else
            dlist_AddTail(list->first, list->last, list->count, e);
    } while (plat_FindNext(find, &d));
    plat_FindClose(find);
    if (list->count == 0) {
        dir_ListFree(list);
        return nullptr;
    }
    return list;
}

void dir_ListFree(_EDIRLIST* list) {
    if (!list) return;
    while (list->first) {
        _EDIRLIST_ENTRY* e = list->first;
        dir_Unlink(e);
        mem_GlobalFreeNamed(e);
    }
    mem_GlobalFreeNamed(list);
}

void dir_ListEntryRemove(_EDIRLIST_ENTRY* entry) {
    if (!entry) return;
    dir_Unlink(entry);
    mem_GlobalFreeNamed(entry);
}
