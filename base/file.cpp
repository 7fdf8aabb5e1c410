// File layer: lookup on disk and in the mounted archives, the current file,
// plain disk access and the load trace.
#include "base/file.h"

#include <cstdio>
#include <cstring>

#include "base/efile.h"
#include "base/mem.h"
#include "platform/files.h"
#include "platform/window.h"

FileLayerState file_State = {-1, 0, 0, 0, 0, 0, {}, -1, nullptr, 0};

namespace {

FileTraceHook file_TraceHook = nullptr;

void file_NotFoundBox(const char* path, const char* title) {
    if (!file_State.report) return;
    char text[600];
    snprintf(text, sizeof text, "Cannot open file %s", path ? path : "");
    plat_MessageBox(0, text, title, MB_OK);
}

// True when the member of that name is found in the archive but its
// directory entry is damaged.
bool file_MemberDamaged(PffRecord* pff, const char* path) {
    PffEntry* e = pff_Find(path, pff);
    pff->failed = 1;
    return e && e->damaged;
}

// A load that failed on a damaged entry names the member and the archive, so
// that the player learns which file is at fault.
void file_DamagedMemberReport(const char* path, PffRecord* pff, const char* title) {
    fprintf(stderr, "%s: %s: its entry in the archive %s lies outside the archive\n", title, path, pff->name);
    if (!file_State.report) return;
    char text[800];
    snprintf(text, sizeof text, "Cannot open file %s (its entry in the archive %s is damaged)", path, pff->name);
    plat_MessageBox(0, text, title, MB_OK);
}

// Clears the member selection; the archive stays open.
void file_DeselectMember() {
    if (file_State.memberSelected && file_State.currentSlot) file_State.currentSlot->current = nullptr;
    file_State.memberSelected = 0;
    file_State.currentSlot = nullptr;
    file_State.currentSlotIndex = -1;
}

// Closes the current disk file, if one is open, before another is opened:
// only one current file exists at a time.
void file_DropCurrent() {
    if (!file_State.memberSelected && file_State.currentHandle >= 0) plat_FileClose(file_State.currentHandle);
    file_DeselectMember();
    file_State.currentHandle = -1;
}

enum FileWhere { FILE_NOWHERE = -1, FILE_ON_DISK = 0, FILE_IN_PFF = 1 };

FileWhere file_LocateInSlots(const char* path, int* slotOut) {
    for (int i = 0; i < FILE_PFF_SLOTS; i++) {
        PffRecord* pff = file_State.slots[i];
        if (pff && pff_Find(path, pff)) {
            *slotOut = i;
            return FILE_IN_PFF;
        }
    }
    return FILE_NOWHERE;
}

// The search order of every lookup-based operation.
FileWhere file_Locate(const char* path, int* slotOut) {
    *slotOut = -1;
    if (!path || !*path) return FILE_NOWHERE;
    if (file_State.diskFirst) {
        if (plat_FileExists(path)) return FILE_ON_DISK;
        return file_LocateInSlots(path, slotOut);
    }
    if (file_State.slotCount > 0) return file_LocateInSlots(path, slotOut);
    return plat_FileExists(path) ? FILE_ON_DISK : FILE_NOWHERE;
}

// Size of an open disk file, or -1 when it is too large for the layer.
int32_t file_HandleSize(int h) {
    int64_t size = plat_FileSizeOf(h);
    if (size < 0 || size > INT32_MAX) return -1;
    return static_cast<int32_t>(size);
}

// Reads exactly count bytes; false on a short read.
bool file_ReadFully(int h, void* buffer, uint32_t count) {
    uint8_t* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        int32_t n = plat_FileRead(h, p, count);
        if (n <= 0) return false;
        p += n;
        count -= static_cast<uint32_t>(n);
    }
    return true;
}

void file_Trace(const char* path, const char* archive, int32_t size, int32_t ok) {
    if (file_TraceHook) file_TraceHook(path, archive, size, ok);
}

} // namespace

void file_TraceHookSet(FileTraceHook hook) { file_TraceHook = hook; }

void file_TraceLoad(const char* path, const char* archiveName, int32_t size, int32_t success) {
    char source[512];
    if (archiveName) {
        snprintf(source, sizeof source, "%s", archiveName);
    } else if (plat_GetCwd(source, sizeof source) != 0) {
        source[0] = 0;
    }
    char line[1200];
    if (success)
        snprintf(line, sizeof line, "%s: %s (%ld bytes)", source, path ? path : "", static_cast<long>(size));
    else
        snprintf(line, sizeof line, "%s: %s (FAILURE TO LOAD)", source, path ? path : "");
    efile_AppendLine("_trace.txt", line);
}

void file_StateInit(void) {
    file_DropCurrent();
    for (int i = 0; i < FILE_PFF_SLOTS; i++) {
        if (file_State.slots[i]) pff_Close(file_State.slots[i]);
        file_State.slots[i] = nullptr;
    }
    file_State.currentHandle = -1;
    file_State.lastSize = 0;
    file_State.memberSelected = 0;
    file_State.diskFirst = 0;
    file_State.error = 0;
    file_State.report = 0;
    file_State.currentSlotIndex = -1;
    file_State.currentSlot = nullptr;
    file_State.slotCount = 0;
}

int32_t file_DiskFirstSet(int32_t flag) {
    int32_t old = file_State.diskFirst;
    file_State.diskFirst = flag;
    return old;
}

int32_t file_ReportSet(int32_t flag) {
    int32_t old = file_State.report;
    file_State.report = flag;
    return old;
}

// The shell's mode word of the file layer is its report flag: start-up sets
// it to 1, which makes a missing file show its box.
int32_t file_ModeWordSet(int32_t word) { return file_ReportSet(word); }

int32_t file_PffSlotAdd(PffRecord* pff) {
    if (!pff) return -1;
    int slot = -1;
    for (int i = 0; i < FILE_PFF_SLOTS; i++) {
        if (file_State.slots[i] == pff) return i; // already mounted
        if (slot < 0 && !file_State.slots[i]) slot = i;
    }
    if (slot >= 0) file_State.slots[slot] = pff;
    int count = 0;
    for (int i = 0; i < FILE_PFF_SLOTS; i++)
        if (file_State.slots[i]) count++;
    file_State.slotCount = count;
    return slot;
}

// ---------------------------------------------------------------------------
// Lookup-based operations.

int32_t file_OpenEx(const char* path) {
    int slot;
    FileWhere where = file_Locate(path, &slot);
    file_DropCurrent();
    if (where == FILE_ON_DISK) {
        int h = plat_FileOpen(path, PLAT_OPEN_READ);
        if (h >= 0) {
            file_State.currentHandle = h;
            file_State.error = 0;
            return h;
        }
    } else if (where == FILE_IN_PFF) {
        PffRecord* pff = file_State.slots[slot];
        if (pff_MemberOpen(pff, path) == 1) {
            file_State.currentHandle = pff->handle;
            file_State.memberSelected = 1;
            file_State.currentSlot = pff;
            file_State.currentSlotIndex = slot;
            file_State.error = 0;
            return 1;
        }
        if (file_MemberDamaged(pff, path)) {
            file_State.error = 1;
            file_DamagedMemberReport(path, pff, "file_OpenEx");
            return -1;
        }
    }
    file_State.error = 1;
    file_NotFoundBox(path, "file_OpenEx");
    return -1;
}

int32_t file_Exists(const char* path) {
    int slot;
    return file_Locate(path, &slot) != FILE_NOWHERE ? 1 : 0;
}

int32_t file_FileSizeEx(const char* path) {
    int slot;
    FileWhere where = file_Locate(path, &slot);
    int32_t size = -1;
    if (where == FILE_ON_DISK) {
        int64_t s = plat_FileSize(path);
        if (s >= 0 && s <= INT32_MAX) size = static_cast<int32_t>(s);
    } else if (where == FILE_IN_PFF) {
        PffRecord* pff = file_State.slots[slot];
        size = pff_MemberSize(pff, path);
        if (size < 0 && file_MemberDamaged(pff, path)) {
            file_State.error = 1;
            file_DamagedMemberReport(path, pff, "file_FileSizeEx");
            return -1;
        }
    }
    if (size < 0) {
        file_State.error = 1;
        file_NotFoundBox(path, "file_FileSizeEx");
    }
    return size;
}

void* file_LoadFileEx(const char* path) {
    int slot;
    FileWhere where = file_Locate(path, &slot);
    if (where == FILE_IN_PFF) {
        PffRecord* pff = file_State.slots[slot];
        file_DropCurrent();
        void* block = pff_MemberLoad(pff, path);
        if (block) {
            file_State.lastSize = static_cast<int32_t>(pff->lastSize);
            file_State.error = 0;
            file_Trace(path, pff->name, file_State.lastSize, 1);
            return block;
        }
        file_State.error = 1;
        if (file_MemberDamaged(pff, path)) file_DamagedMemberReport(path, pff, "file_LoadFileEx");
        file_Trace(path, nullptr, 0, 0);
        return nullptr;
    }
    if (where == FILE_ON_DISK) {
        file_DropCurrent();
        int h = plat_FileOpen(path, PLAT_OPEN_READ);
        if (h >= 0) {
            int32_t size = file_HandleSize(h);
            void* block = size >= 0 ? mem_AllocEx(static_cast<uint32_t>(size), 4, "LOADED FILE") : nullptr;
            bool ok = block && file_ReadFully(h, block, static_cast<uint32_t>(size));
            plat_FileClose(h);
            if (ok) {
                file_State.lastSize = size;
                file_State.error = 0;
                file_Trace(path, nullptr, size, 1);
                return block;
            }
            // Out of memory or a short read: a failed load, traced as one.
            if (block) mem_Free(block);
            file_State.error = 1;
            file_Trace(path, nullptr, 0, 0);
            return nullptr;
        }
    }
    file_State.error = 1;
    file_NotFoundBox(path, "file_LoadFileEx");
    file_Trace(path, nullptr, 0, 0);
    return nullptr;
}

int32_t file_RawLoaderEx(const char* path, void* buffer, size_t bufferSize) {
    int slot;
    FileWhere where = file_Locate(path, &slot);
    if (where == FILE_IN_PFF) {
        file_DropCurrent();
        PffRecord* pff = file_State.slots[slot];
        int32_t n = pff_MemberLoadRaw(pff, path, buffer, bufferSize);
        file_State.error = n < 0;
        if (n >= 0) file_State.lastSize = n;
        else if (file_MemberDamaged(pff, path)) file_DamagedMemberReport(path, pff, "file_RawLoaderEx");
        return n;
    }
    if (where == FILE_ON_DISK) {
        int32_t n = file_LoadRaw(path, buffer, bufferSize);
        if (n >= 0) return n;
        if (plat_FileExists(path)) return -1; // too large for the buffer, or unreadable
    }
    file_State.error = 1;
    file_NotFoundBox(path, "file_RawLoaderEx");
    return -1;
}

// ---------------------------------------------------------------------------
// Current-file operations.

int32_t file_Read(void* buffer, int32_t count) {
    if (file_State.memberSelected) return pff_MemberRead(file_State.currentSlot, buffer, count);
    return file_ReadRaw(buffer, count);
}

int32_t file_Seek(int32_t offset, int32_t origin) {
    if (file_State.memberSelected) return pff_MemberSeek(file_State.currentSlot, offset, origin);
    return file_SeekRaw(offset, origin);
}

void file_Close(void) {
    if (file_State.memberSelected) return;
    file_CloseRaw();
}

// ---------------------------------------------------------------------------
// Disk-only operations.

int32_t file_OpenRaw(const char* path) {
    file_DropCurrent();
    int h = path ? plat_FileOpen(path, PLAT_OPEN_READ) : -1;
    file_State.currentHandle = h;
    file_State.error = h < 0;
    return h < 0 ? -1 : h;
}

int32_t file_Create(const char* path) {
    file_DropCurrent();
    int h = path ? plat_FileOpen(path, PLAT_OPEN_CREATE) : -1;
    file_State.currentHandle = h;
    if (h < 0) {
        file_State.error = 1;
        file_NotFoundBox(path, "file_Create");
        return -1;
    }
    file_State.error = 0;
    return h;
}

int32_t file_ReadRaw(void* buffer, int32_t count) {
    if (file_State.currentHandle < 0 || !buffer || count <= 0) return count == 0 ? 0 : -1;
    int32_t n = plat_FileRead(file_State.currentHandle, buffer, static_cast<uint32_t>(count));
    file_State.error = n < 0;
    return n;
}

int32_t file_WriteRaw(const void* buffer, int32_t count) {
    if (file_State.currentHandle < 0 || !buffer || count < 0) return -1;
    if (count == 0) return 0;
    int32_t n = plat_FileWrite(file_State.currentHandle, buffer, static_cast<uint32_t>(count));
    file_State.error = n != count;
    return n;
}

int32_t file_SeekRaw(int32_t offset, int32_t origin) {
    if (file_State.currentHandle < 0 || origin < 0 || origin > 2) return -1;
    int64_t pos = plat_FileSeek(file_State.currentHandle, offset, origin);
    if (pos < 0 || pos > INT32_MAX) {
        file_State.error = 1;
        return -1;
    }
    return static_cast<int32_t>(pos);
}

int32_t file_CloseRaw(void) {
    if (file_State.memberSelected) file_DeselectMember();
    else if (file_State.currentHandle >= 0) {
        int r = plat_FileClose(file_State.currentHandle);
        file_State.currentHandle = -1;
        return r == 0 ? 0 : -1;
    }
    file_State.currentHandle = -1;
    return 0;
}

int32_t file_ExistsOnDisk(const char* path) { return path && plat_FileExists(path) ? 1 : 0; }

int32_t file_SizeOnDisk(const char* path) {
    if (!path) return -1;
    int h = plat_FileOpen(path, PLAT_OPEN_READ);
    if (h < 0) return -1;
    int64_t size = plat_FileSeek(h, 0, 2);
    plat_FileClose(h);
    if (size < 0 || size > INT32_MAX) return -1;
    return static_cast<int32_t>(size);
}

int32_t file_LoadRaw(const char* path, void* buffer, size_t bufferSize) {
    if (!path) return -1;
    int h = plat_FileOpen(path, PLAT_OPEN_READ);
    if (h < 0) return -1;
    int32_t size = file_HandleSize(h);
    if (size >= 0 && buffer) {
        if (static_cast<size_t>(size) > bufferSize || !file_ReadFully(h, buffer, static_cast<uint32_t>(size)))
            size = -1;
    }
    plat_FileClose(h);
    return size;
}

int32_t file_SaveRaw(const char* path, const void* buffer, int32_t length) {
    if (!path || length < 0 || (!buffer && length > 0)) return -1;
    int h = plat_FileOpen(path, PLAT_OPEN_CREATE);
    if (h < 0) return -1;
    int32_t n = length > 0 ? plat_FileWrite(h, buffer, static_cast<uint32_t>(length)) : 0;
    int c = plat_FileClose(h);
    return (n == length && c == 0) ? 0 : -1;
}
