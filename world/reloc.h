// Relocatable list files: images of linked lists saved with file offsets in
// place of pointers (the part information of the models, ".PIB", and the
// avionics data files). A file is checked and turned into one block of
// native lists: a value list of named 32-bit values, and a group list whose
// entries each carry a list of sub-entries. The image itself is kept in the
// block, so a file kind reads its own further words at an entry's offset
// through the checked accessors. Layout in docs/formats.md.
#pragma once
#include <cstddef>
#include <cstdint>

// Flags word of the file and of the block.
constexpr uint32_t RELOC_FLAG_BUILT = 1;      // a list built in memory: never relocated
constexpr uint32_t RELOC_FLAG_RELOCATED = 2;  // the lists are linked

constexpr uint32_t RELOC_HEADER_SIZE = 40;
constexpr uint32_t RELOC_VALUE_SIZE = 24;
constexpr uint32_t RELOC_GROUP_SIZE = 20;
constexpr uint32_t RELOC_SUB_SIZE = 16;

struct RelocBlock;

struct RelocValue {
    RelocValue* prev;
    RelocValue* next;
    RelocBlock* owner;
    const char* name;  // null when the entry has none
    int32_t value;
    uint32_t offset;   // of the entry in the image
};

struct RelocSub {
    RelocSub* prev;
    RelocSub* next;
    const char* name;  // null when none
    uint32_t data;     // the second offset as stored (checked; 0 for none)
    uint32_t offset;
};

struct RelocGroup {
    RelocGroup* prev;
    RelocGroup* next;
    RelocBlock* owner;
    RelocSub* first;   // its sub-entries
    const char* name;  // null when none
    uint32_t offset;
    void* bound;       // what the file's user attached (the model loader: the orient structure)
};

struct RelocBlock {
    uint32_t flags;
    RelocValue* valueFirst;
    RelocValue* valueLast;
    RelocGroup* groupFirst;
    RelocGroup* groupLast;
    int32_t valueCount;  // entries reached from the header
    int32_t groupCount;
    int32_t subCount;    // distinct sub-entries
    // The native entries and a copy of the image, inside this block.
    RelocValue* values;
    RelocGroup* groups;
    RelocSub* subs;
    const uint8_t* image;
    uint32_t imageSize;
};

// Bytes a block needs for this image, or -1 when the image is damaged (an
// offset outside the image, a name that does not end inside it). Lists that
// loop end where they would come round again.
int64_t level_RelocBlockSize(const void* image, uint32_t size);
// Makes the block in memory of `bytes` (from level_RelocBlockSize) and
// relocates it. The block, or null for a damaged image or too little memory.
RelocBlock* level_RelocBlockMake(void* memory, size_t bytes, const void* image, uint32_t size);
// Links the native lists and sets RELOC_FLAG_RELOCATED; nothing when either
// flag is already set (a file saved with one of them reads as empty lists).
// 0, or -1 for null.
int32_t level_RelocBlockRelocate(RelocBlock* block);

// The whole file loaded and relocated in one block of the current heap
// (free it with mem_Free); null for a null name, a missing or damaged file,
// or no memory.
RelocBlock* level_RelocFileLoad(const char* name);

// One {name, value} pair; a list of them ends with a null name.
struct RelocNamePair {
    const char* name;
    int32_t value;
};
// Every value becomes -1, then each pair sets the value of the entry of its
// name (without regard to case). 0, or -1 for a null block.
int32_t level_RelocNamesBind(RelocBlock* block, const RelocNamePair* pairs);
// The first value entry of that name (without regard to case), or null.
RelocValue* level_RelocValueFind(RelocBlock* block, const char* name);

// A 32-bit word of the image at offset; 0 (and *ok false when given) when it
// does not lie inside.
uint32_t level_RelocWord(const RelocBlock* block, uint32_t offset, bool* ok);
