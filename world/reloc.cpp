// Relocatable list files. Nothing is relocated in place: the image is
// checked, copied into the block, and native entries are linked beside it.
#include "world/reloc.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "base/text.h"

namespace {

// Header words.
constexpr uint32_t kFlags = 12, kValueFirst = 16, kValueLast = 20, kGroupFirst = 28, kGroupLast = 32;
// Entry words.
constexpr uint32_t kPrev = 0, kNext = 4, kValueName = 16, kValueValue = 20;
constexpr uint32_t kGroupSub = 12, kGroupName = 16, kSubName = 8, kSubData = 12;

uint32_t Word(const uint8_t* image, uint32_t size, uint32_t offset) {
    uint32_t v = 0;
    le_Read32At(image, size, offset, &v);
    return v;
}

bool EntryInside(uint32_t offset, uint32_t entrySize, uint32_t size) {
    return offset >= RELOC_HEADER_SIZE && offset <= size && size - offset >= entrySize;
}

// Nonzero offsets that are not followed here (prev, last, data) must still
// point into the image.
bool OffsetInside(uint32_t offset, uint32_t size) { return offset == 0 || offset < size; }

// A name offset: 0, or a text that ends inside the image.
bool NameInside(const uint8_t* image, uint32_t size, uint32_t offset) {
    if (offset == 0) return true;
    if (offset >= size) return false;
    return memchr(image + offset, 0, size - offset) != nullptr;
}

// One list, followed from its head: the entry offsets in order; an entry
// already taken ends the list (a loop, or a list that joins another).
struct Chain {
    std::vector<uint32_t> offsets;
};

// What relocation links: every list of the image with native indices.
struct Plan {
    Chain values;
    Chain groups;
    std::vector<uint32_t> subOffsets;    // distinct sub-entries
    std::vector<int32_t> subNext;        // native index of the next, or -1
    std::vector<int32_t> groupFirstSub;  // per group, or -1
};

// Follows a list from head; false for an entry outside the image or a damaged
// field. `taken` marks entries already in this list.
bool FollowList(const uint8_t* image, uint32_t size, uint32_t head, uint32_t entrySize, Chain* out) {
    std::unordered_map<uint32_t, bool> taken;
    for (uint32_t at = head; at != 0;) {
        if (!EntryInside(at, entrySize, size)) return false;
        if (taken.count(at)) break;
        taken[at] = true;
        if (!OffsetInside(Word(image, size, at + kPrev), size)) return false;
        out->offsets.push_back(at);
        at = Word(image, size, at + kNext);
    }
    return true;
}

bool Analyse(const uint8_t* image, uint32_t size, Plan* plan) {
    if (!image || size < RELOC_HEADER_SIZE) return false;
    if (!OffsetInside(Word(image, size, kValueLast), size) || !OffsetInside(Word(image, size, kGroupLast), size))
        return false;
    if (!FollowList(image, size, Word(image, size, kValueFirst), RELOC_VALUE_SIZE, &plan->values)) return false;
    for (uint32_t at : plan->values.offsets)
        if (!NameInside(image, size, Word(image, size, at + kValueName))) return false;
    if (!FollowList(image, size, Word(image, size, kGroupFirst), RELOC_GROUP_SIZE, &plan->groups)) return false;

    // Sub-entries may be shared between groups: each is made once. A list
    // that comes round to an entry of the walk in progress is cut there, so
    // every native list ends.
    std::unordered_map<uint32_t, int32_t> index;  // offset -> native index
    for (uint32_t g : plan->groups.offsets) {
        if (!NameInside(image, size, Word(image, size, g + kGroupName))) return false;
        uint32_t at = Word(image, size, g + kGroupSub);
        if (at == 0) {
            plan->groupFirstSub.push_back(-1);
            continue;
        }
        int32_t walkStart = (int32_t)plan->subOffsets.size();
        int32_t previous = -1;
        int32_t first = -1;
        while (at != 0) {
            auto found = index.find(at);
            if (found != index.end()) {
                // Joins a list made earlier; a loop back into this walk is cut.
                int32_t n = found->second;
                if (n < walkStart && previous >= 0) plan->subNext[previous] = n;
                if (first < 0) first = n;
                break;
            }
            if (!EntryInside(at, RELOC_SUB_SIZE, size)) return false;
            if (!OffsetInside(Word(image, size, at + kPrev), size) ||
                !NameInside(image, size, Word(image, size, at + kSubName)) ||
                !OffsetInside(Word(image, size, at + kSubData), size))
                return false;
            int32_t n = (int32_t)plan->subOffsets.size();
            index[at] = n;
            plan->subOffsets.push_back(at);
            plan->subNext.push_back(-1);
            if (previous >= 0) plan->subNext[previous] = n;
            if (first < 0) first = n;
            previous = n;
            at = Word(image, size, at + kNext);
        }
        plan->groupFirstSub.push_back(first);
    }
    return true;
}

size_t BlockBytes(const Plan& plan, uint32_t size) {
    return sizeof(RelocBlock) + plan.values.offsets.size() * sizeof(RelocValue) +
           plan.groups.offsets.size() * sizeof(RelocGroup) + plan.subOffsets.size() * sizeof(RelocSub) + size;
}

const char* NameAt(const RelocBlock* b, uint32_t offset) {
    return offset ? reinterpret_cast<const char*>(b->image + offset) : nullptr;
}

}  // namespace

int64_t level_RelocBlockSize(const void* image, uint32_t size) {
    Plan plan;
    if (!Analyse(static_cast<const uint8_t*>(image), size, &plan)) return -1;
    return (int64_t)BlockBytes(plan, size);
}

RelocBlock* level_RelocBlockMake(void* memory, size_t bytes, const void* image, uint32_t size) {
    Plan plan;
    if (!memory || !Analyse(static_cast<const uint8_t*>(image), size, &plan)) return nullptr;
    if (bytes < BlockBytes(plan, size)) return nullptr;
    auto* b = static_cast<RelocBlock*>(memory);
    memset(b, 0, sizeof *b);
    uint8_t* at = reinterpret_cast<uint8_t*>(b + 1);
    b->values = reinterpret_cast<RelocValue*>(at);
    at += plan.values.offsets.size() * sizeof(RelocValue);
    b->groups = reinterpret_cast<RelocGroup*>(at);
    at += plan.groups.offsets.size() * sizeof(RelocGroup);
    b->subs = reinterpret_cast<RelocSub*>(at);
    at += plan.subOffsets.size() * sizeof(RelocSub);
    memcpy(at, image, size);
    b->image = at;
    b->imageSize = size;
    b->flags = Word(at, size, kFlags);
    b->valueCount = (int32_t)plan.values.offsets.size();
    b->groupCount = (int32_t)plan.groups.offsets.size();
    b->subCount = (int32_t)plan.subOffsets.size();
    level_RelocBlockRelocate(b);
    return b;
}

int32_t level_RelocBlockRelocate(RelocBlock* b) {
    if (!b) return -1;
    if (b->flags & (RELOC_FLAG_BUILT | RELOC_FLAG_RELOCATED)) return 0;
    Plan plan;
    // The image was checked when the block was made, and the counts match.
    if (!Analyse(b->image, b->imageSize, &plan)) return -1;
    const uint8_t* img = b->image;
    uint32_t size = b->imageSize;

    for (int32_t i = 0; i < b->valueCount; i++) {
        RelocValue* v = &b->values[i];
        uint32_t off = plan.values.offsets[(size_t)i];
        v->prev = i > 0 ? &b->values[i - 1] : nullptr;
        v->next = i + 1 < b->valueCount ? &b->values[i + 1] : nullptr;
        v->owner = b;
        v->name = NameAt(b, Word(img, size, off + kValueName));
        v->value = (int32_t)Word(img, size, off + kValueValue);
        v->offset = off;
    }
    b->valueFirst = b->valueCount ? &b->values[0] : nullptr;
    b->valueLast = b->valueCount ? &b->values[b->valueCount - 1] : nullptr;

    for (int32_t i = 0; i < b->subCount; i++) {
        RelocSub* s = &b->subs[i];
        uint32_t off = plan.subOffsets[(size_t)i];
        s->prev = nullptr;
        s->name = NameAt(b, Word(img, size, off + kSubName));
        s->data = Word(img, size, off + kSubData);
        s->offset = off;
    }
    for (int32_t i = 0; i < b->subCount; i++) {
        int32_t n = plan.subNext[(size_t)i];
        b->subs[i].next = n >= 0 ? &b->subs[n] : nullptr;
        if (n >= 0 && !b->subs[n].prev) b->subs[n].prev = &b->subs[i];
    }

    for (int32_t i = 0; i < b->groupCount; i++) {
        RelocGroup* g = &b->groups[i];
        uint32_t off = plan.groups.offsets[(size_t)i];
        g->prev = i > 0 ? &b->groups[i - 1] : nullptr;
        g->next = i + 1 < b->groupCount ? &b->groups[i + 1] : nullptr;
        g->owner = b;
        int32_t first = plan.groupFirstSub[(size_t)i];
        g->first = first >= 0 ? &b->subs[first] : nullptr;
        g->name = NameAt(b, Word(img, size, off + kGroupName));
        g->offset = off;
        g->bound = nullptr;
    }
    b->groupFirst = b->groupCount ? &b->groups[0] : nullptr;
    b->groupLast = b->groupCount ? &b->groups[b->groupCount - 1] : nullptr;
    b->flags |= RELOC_FLAG_RELOCATED;
    return 0;
}

RelocBlock* level_RelocFileLoad(const char* name) {
    if (!name) return nullptr;
    void* image = file_LoadFileEx(name);
    if (!image) return nullptr;
    int32_t size = file_State.lastSize;
    int64_t bytes = size > 0 ? level_RelocBlockSize(image, (uint32_t)size) : -1;
    RelocBlock* b = nullptr;
    if (bytes > 0 && bytes < (int64_t)UINT32_MAX) {
        void* memory = mem_AllocEx((uint32_t)bytes, 8, "RELOC LIST");
        if (memory) {
            b = level_RelocBlockMake(memory, (size_t)bytes, image, (uint32_t)size);
            if (!b) mem_Free(memory);
        }
    }
    mem_Free(image);
    return b;
}

int32_t level_RelocNamesBind(RelocBlock* block, const RelocNamePair* pairs) {
    if (!block) return -1;
    for (RelocValue* v = block->valueFirst; v; v = v->next) v->value = -1;
    for (const RelocNamePair* p = pairs; p && p->name; p++) {
        RelocValue* v = level_RelocValueFind(block, p->name);
        if (v) v->value = p->value;
    }
    return 0;
}

RelocValue* level_RelocValueFind(RelocBlock* block, const char* name) {
    if (!block || !name) return nullptr;
    for (RelocValue* v = block->valueFirst; v; v = v->next)
        if (v->name && text_EqualNoCase(v->name, name)) return v;
    return nullptr;
}

uint32_t level_RelocWord(const RelocBlock* block, uint32_t offset, bool* ok) {
    uint32_t v = 0;
    bool inside = block && le_Read32At(block->image, block->imageSize, offset, &v);
    if (ok) *ok = inside;
    return v;
}
