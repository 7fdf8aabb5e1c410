// Indexed data files: building native tables from file images, and lookups.
#include "base/filetable.h"

#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"

namespace {

inline char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool table_NameEqual(const char* a, const char* b) {
    while (*a && *b) {
        if (upper(*a) != upper(*b)) return false;
        a++;
        b++;
    }
    return *a == *b;
}

// The name after p, or null when the names run past the image.
const char* table_NextName(const FileTable* t, const char* p) {
    if (!p || p >= t->imageEnd) return nullptr;
    p += strlen(p) + 1; // stops at the zero behind the image at the latest
    return p <= t->imageEnd ? p : nullptr;
}

// Round up to 16 so that the records behind stay aligned.
inline uint64_t table_Align(uint64_t n) { return (n + 15) & ~static_cast<uint64_t>(15); }

} // namespace

FileTable* file_TableRelocate(const void* image, uint32_t size) {
    if (!image) return nullptr;
    LeReader r(image, size);
    uint32_t word0 = r.u32();
    uint32_t dirOffset = r.u32();
    uint32_t word8 = r.u32();
    uint32_t count = r.u32();
    if (!r.ok()) return nullptr;
    uint64_t dataBase = 16 + 16ull * count;
    if (dataBase > size) return nullptr;

    LeReader d(image, size);
    d.seek(dirOffset);
    uint32_t groupCount = d.u32();
    uint64_t groupBase = static_cast<uint64_t>(dirOffset) + 4;
    if (!d.ok() || groupBase + 8ull * groupCount > size) return nullptr;

    uint64_t headBytes = table_Align(sizeof(FileTable));
    uint64_t entryBytes = table_Align(sizeof(FileTableEntry) * static_cast<uint64_t>(count));
    uint64_t groupBytes = table_Align(sizeof(FileTableGroup) * static_cast<uint64_t>(groupCount));
    uint64_t total = headBytes + entryBytes + groupBytes + size + 1;
    if (total > 0xFFFFFFF0ull) return nullptr;

    auto* block = static_cast<uint8_t*>(mem_AllocEx(static_cast<uint32_t>(total), 16, "LOADED FILE"));
    if (!block) return nullptr;
    auto* t = reinterpret_cast<FileTable*>(block);
    auto* entries = reinterpret_cast<FileTableEntry*>(block + headBytes);
    auto* groups = reinterpret_cast<FileTableGroup*>(block + headBytes + entryBytes);
    char* copy = reinterpret_cast<char*>(block + headBytes + entryBytes + groupBytes);
    memcpy(copy, image, size);
    copy[size] = 0; // every text and name ends inside the block
    t->word0 = word0;
    t->word8 = word8;
    t->count = count;
    t->entries = entries;
    t->groupCount = groupCount;
    t->groups = groups;
    t->imageEnd = copy + size;

    bool ok = true;
    r.seek(16);
    for (uint32_t i = 0; i < count && ok; i++) {
        uint32_t off = r.u32();
        entries[i].word1 = r.u32();
        entries[i].word2 = r.u32();
        entries[i].word3 = r.u32();
        if (!r.ok() || dataBase + off > size) ok = false;
        else entries[i].text = copy + dataBase + off;
    }
    // Group names lie packed behind the group records, in group order.
    const char* groupName = copy + groupBase + 8ull * groupCount;
    for (uint32_t g = 0; g < groupCount && ok; g++) {
        uint32_t nameOff = d.u32();
        uint32_t items = d.u32();
        if (!d.ok() || groupBase + nameOff > size || groupName >= t->imageEnd) {
            ok = false;
            break;
        }
        groups[g].itemNames = copy + groupBase + nameOff;
        groups[g].itemCount = items;
        groups[g].name = groupName;
        groupName += strlen(groupName) + 1;
    }
    if (!ok) {
        mem_Free(block);
        return nullptr;
    }
    return t;
}

FileTable* file_TableLoadWithId(const char* name, uint32_t id) {
    void* image = file_LoadFileEx(name);
    if (!image) return nullptr;
    uint32_t size = static_cast<uint32_t>(file_State.lastSize);
    // The table keeps the tag of the block it was loaded into.
    const char* tag = reinterpret_cast<const MemBlock*>(static_cast<uint8_t*>(image) - MEM_BLOCK_HEADER)->tag;
    FileTable* t = file_TableRelocate(image, size);
    mem_Free(image);
    if (!t) {
        fprintf(stderr, "file_TableLoad: %s: damaged table file\n", name);
        return nullptr;
    }
    mem_TagSet(t, tag);
    if (id < MEM_ID_FIRST) mem_IdSet(t, id);
    return t;
}

FileTable* file_TableLoad(const char* name) { return file_TableLoadWithId(name, 0xFFFFFFFFu); }

FileTableEntry* file_TableEntryGet(const FileTable* table, uint32_t index) {
    if (!table || index >= table->count) return nullptr;
    return &table->entries[index];
}

uint32_t file_TableCount(const FileTable* table) { return table ? table->count : 0; }

const char* file_TableNameGet(const FileTable* table, uint32_t index) {
    if (!table || index >= table->count || table->groupCount == 0) return nullptr;
    const char* p = table->groups[0].itemNames;
    for (uint32_t i = 0; i < index && p; i++) p = table_NextName(table, p);
    return (p && p < table->imageEnd) ? p : nullptr;
}

FileTableEntry* file_TableFindNamed(const FileTable* table, const char* group, const char* item) {
    if (!table || !group || !item || table->groupCount == 0) return nullptr;
    uint64_t before = 0;
    for (uint32_t g = 0; g < table->groupCount; g++) {
        const FileTableGroup& gr = table->groups[g];
        if (!table_NameEqual(gr.name, group)) {
            before += gr.itemCount;
            continue;
        }
        // Only the first group of that name is searched.
        const char* p = gr.itemNames;
        for (uint32_t i = 0; i < gr.itemCount && p && p < table->imageEnd; i++) {
            if (table_NameEqual(p, item)) {
                uint64_t n = before + i;
                return n < table->count ? &table->entries[n] : nullptr;
            }
            p = table_NextName(table, p);
        }
        return nullptr;
    }
    return nullptr;
}

FileTable* file_TableRelocateReg(const void* image, uint32_t size) { return file_TableRelocate(image, size); }
FileTable* file_TableLoadReg(const char* name) { return file_TableLoad(name); }
FileTableEntry* file_TableEntryGetReg(uint32_t index, const FileTable* table) {
    return file_TableEntryGet(table, index);
}
FileTableEntry* file_TableFindNamedReg(const FileTable* table, const char* group, const char* item) {
    return file_TableFindNamed(table, group, item);
}
int32_t file_TableNameGetReg(const FileTable* table, uint32_t index, const char** name) {
    const char* n = file_TableNameGet(table, index);
    if (name) *name = n;
    return n ? 1 : 0;
}
