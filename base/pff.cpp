// PFF archives: opening, the member directory, member reads and the data
// scramble.
#include <cstdio>
#include <cstring>
#include <new>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "platform/files.h"

namespace {

// Members are addressed with 32-bit sizes by the layer's callers.
const uint32_t kMaxMemberSize = 0x7FFFFFFF;

inline char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool pff_NameEqual(const char* a, const char* b) {
    while (*a && *b) {
        if (upper(*a) != upper(*b)) return false;
        a++;
        b++;
    }
    return *a == *b;
}

bool pff_ReadAt(PffRecord* pff, uint64_t offset, void* buffer, uint32_t count) {
    if (plat_FileSeek(pff->handle, static_cast<int64_t>(offset), 0) != static_cast<int64_t>(offset)) return false;
    uint8_t* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        int32_t n = plat_FileRead(pff->handle, p, count);
        if (n <= 0) return false;
        p += n;
        count -= static_cast<uint32_t>(n);
    }
    return true;
}

void pff_Reject(const char* path, const char* why) {
    fprintf(stderr, "pff_Open: %s: %s\n", path, why);
}

} // namespace

void pff_Scramble(void* data, uint32_t length, uint32_t start) {
    if (!data) return;
    uint8_t* p = static_cast<uint8_t*>(data);
    // The key turns by 7 bits per byte, so its state repeats every 32 bytes.
    uint32_t key = PFF_SCRAMBLE_KEY;
    uint32_t r = (start % 32u) * 7u % 32u;
    if (r) key = (key << r) | (key >> (32 - r));
    for (uint32_t i = 0; i < length; i++) {
        key = (key << 7) | (key >> 25);
        p[i] ^= static_cast<uint8_t>(key);
    }
}

PffRecord* pff_Open(const char* path) {
    if (!path) return nullptr;
    auto* pff = static_cast<PffRecord*>(mem_AllocInHeap1(sizeof(PffRecord), "PFF STRUCT"));
    if (!pff) return nullptr;
    memset(pff, 0, sizeof *pff);
    snprintf(pff->name, sizeof pff->name, "%s", path);
    pff->handle = plat_FileOpen(path, PLAT_OPEN_READ);
    if (pff->handle < 0) {
        mem_FreeInHeap1(pff);
        return nullptr;
    }
    int64_t fileSize = plat_FileSizeOf(pff->handle);
    uint8_t raw[PFF_HEADER_SIZE];
    LeReader hr(raw, sizeof raw);
    if (fileSize < static_cast<int64_t>(PFF_HEADER_SIZE) || !pff_ReadAt(pff, 0, raw, sizeof raw)) {
        pff_Reject(path, "no archive header");
        pff_Close(pff);
        return nullptr;
    }
    pff->fileSize = static_cast<uint64_t>(fileSize);
    pff->header.headerSize = hr.u32();
    pff->header.word4 = hr.u32();
    pff->header.count = hr.u32();
    pff->header.word12 = hr.u32();
    pff->header.dirOffset = hr.u32();
    if (pff->header.headerSize <= 19) {
        pff_Reject(path, "bad header size");
        pff_Close(pff);
        return nullptr;
    }
    uint64_t count = pff->header.count;
    uint64_t dirBytes = count * PFF_ENTRY_SIZE;
    if (static_cast<uint64_t>(pff->header.dirOffset) + dirBytes > pff->fileSize || dirBytes > 0x7FFFFFFF) {
        pff_Reject(path, "directory outside the file");
        pff_Close(pff);
        return nullptr;
    }
    if (count > 0) {
        pff->directory = static_cast<PffEntry*>(
            mem_AllocInHeap1(static_cast<uint32_t>(count * sizeof(PffEntry)), "PFF HEADERS"));
        uint8_t* rawDir = new (std::nothrow) uint8_t[dirBytes];
        bool ok = pff->directory && rawDir &&
                  pff_ReadAt(pff, pff->header.dirOffset, rawDir, static_cast<uint32_t>(dirBytes));
        LeReader r(rawDir, ok ? dirBytes : 0);
        uint64_t damaged = 0;
        const char* firstDamaged = nullptr;
        for (uint64_t i = 0; ok && i < count; i++) {
            PffEntry& e = pff->directory[i];
            r.skip(2);
            e.flags = r.u8();
            r.skip(1);
            e.offset = r.u32();
            e.size = r.u32();
            r.skip(4);
            r.fixedString(e.name, sizeof e.name, PFF_NAME_SIZE);
            ok = r.ok();
            // A bad entry makes its member alone unloadable; the others are
            // still good.
            e.damaged = e.size > kMaxMemberSize || static_cast<uint64_t>(e.offset) + e.size > pff->fileSize;
            if (e.damaged && damaged++ == 0) firstDamaged = e.name;
        }
        delete[] rawDir;
        if (!ok) {
            pff_Reject(path, "directory unreadable");
            pff_Close(pff);
            return nullptr;
        }
        if (damaged)
            fprintf(stderr, "pff_Open: %s: %llu member entr%s outside the file (the first: %s)\n", path,
                    static_cast<unsigned long long>(damaged), damaged == 1 ? "y lies" : "ies lie", firstDamaged);
    }
    pff->open = 1;
    return pff;
}

void pff_Close(PffRecord* pff) {
    if (!pff) return;
    if (pff->handle >= 0) plat_FileClose(pff->handle);
    pff->handle = -1;
    if (pff->directory) mem_FreeInHeap1(pff->directory);
    pff->directory = nullptr;
    mem_FreeInHeap1(pff);
}

PffEntry* pff_Find(const char* name, PffRecord* pff) {
    if (!pff) return nullptr;
    if (name && pff->open) {
        for (uint32_t i = 0; i < pff->header.count; i++) {
            if (pff_NameEqual(name, pff->directory[i].name)) {
                pff->failed = 0;
                return &pff->directory[i];
            }
        }
    }
    pff->failed = 1;
    return nullptr;
}

int32_t pff_MemberOpen(PffRecord* pff, const char* name) {
    PffEntry* e = pff_Find(name, pff);
    if (!e) return -1;
    if (e->damaged) {
        pff->failed = 1;
        return -1;
    }
    if (plat_FileSeek(pff->handle, e->offset, 0) != static_cast<int64_t>(e->offset)) {
        pff->failed = 1;
        return -1;
    }
    pff->current = e;
    pff->position = 0;
    return 1;
}

int32_t pff_MemberRead(PffRecord* pff, void* buffer, int32_t count) {
    if (!pff || !pff->current || !buffer || count < 0) return -1;
    PffEntry* e = pff->current;
    // A read stops at the member's end rather than running into the next one.
    uint32_t left = e->size > pff->position ? e->size - pff->position : 0;
    uint32_t n = static_cast<uint32_t>(count) < left ? static_cast<uint32_t>(count) : left;
    if (n == 0) return 0;
    if (!pff_ReadAt(pff, static_cast<uint64_t>(e->offset) + pff->position, buffer, n)) {
        pff->failed = 1;
        return -1;
    }
    if (e->flags & PFF_FLAG_SCRAMBLED) pff_Scramble(buffer, n, pff->position);
    pff->position += n;
    pff->failed = 0;
    return static_cast<int32_t>(n);
}

int32_t pff_MemberSeek(PffRecord* pff, int32_t offset, int32_t origin) {
    if (!pff || !pff->current) return -1;
    PffEntry* e = pff->current;
    int64_t base;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = pff->position; break;
    case 2: base = e->size; break;
    default: return -1;
    }
    int64_t pos = base + offset;
    // A position outside the member would read another member's data.
    if (pos < 0 || pos > e->size) {
        pff->failed = 1;
        return -1;
    }
    pff->position = static_cast<uint32_t>(pos);
    plat_FileSeek(pff->handle, static_cast<int64_t>(e->offset) + pos, 0);
    return static_cast<int32_t>(pos);
}

int32_t pff_MemberSize(PffRecord* pff, const char* name) {
    PffEntry* e = pff_Find(name, pff);
    if (e && e->damaged) pff->failed = 1;
    return e && !e->damaged ? static_cast<int32_t>(e->size) : -1;
}

void* pff_MemberLoad(PffRecord* pff, const char* name) {
    PffEntry* e = pff_Find(name, pff);
    if (!e) return nullptr;
    if (e->damaged) {
        pff->failed = 1;
        return nullptr;
    }
    void* block = mem_AllocEx(e->size, 4, "PFF LOADED FILE");
    if (!block) return nullptr;
    if (e->size > 0 && !pff_ReadAt(pff, e->offset, block, e->size)) {
        mem_Free(block);
        pff->failed = 1;
        return nullptr;
    }
    if (e->flags & PFF_FLAG_SCRAMBLED) pff_Scramble(block, e->size, 0);
    pff->lastSize = e->size;
    pff->current = nullptr;
    return block;
}

int32_t pff_MemberLoadRaw(PffRecord* pff, const char* name, void* buffer, size_t bufferSize) {
    PffEntry* e = pff_Find(name, pff);
    if (!e) return -1;
    if (e->damaged) {
        pff->failed = 1;
        return -1;
    }
    if (buffer) {
        if (e->size > bufferSize) return -1;
        if (e->size > 0 && !pff_ReadAt(pff, e->offset, buffer, e->size)) {
            pff->failed = 1;
            return -1;
        }
        if (e->flags & PFF_FLAG_SCRAMBLED) pff_Scramble(buffer, e->size, 0);
        pff->lastSize = e->size;
    }
    pff->current = nullptr;
    return static_cast<int32_t>(e->size);
}
