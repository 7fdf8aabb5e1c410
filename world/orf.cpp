// Compiled mission files: loading, checking and binding.
#include "world/orf.h"

#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "platform/window.h"
#include "shell/appstr.h"
#include "shell/cursor.h"
#include "shell/fatal.h"
#include "shell/startup.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {

constexpr uint32_t kStringNotMission = 62;
constexpr uint32_t kStringBadVersion = 63;
constexpr uint32_t kStringBadText = 64;
constexpr uint32_t kTextMagic = 0x54585452;  // "RTXT"

// Why a load failed; each has its fatal form.
enum class Failure { None, NoMemory, Missing, NotMission, BadVersion, BadText };

// The message box of strings 62 to 64 with the mission name, then the end.
[[noreturn]] void MissionBox(uint32_t string, const char* name) {
    app_CursorShowAll();
    app_CursorUnclip();
    char text[512];
    AppFormatArg args[] = {name};
    app_StringFormat(text, sizeof text, app_StringGet(string), args, 1);
    plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONERROR);
    plat_Exit(APP_EXIT_DATA_ERROR);
}

void* Alloc(uint64_t size, const char* tag) {
    if (size == 0 || size > 0x7FFFFFFF) return nullptr;
    return mem_AllocEx((uint32_t)size, 4, tag);
}

void FreeIf(void* p) {
    if (p) mem_Free(p);
}

// A counted array of fixed-size records at the reader's position.
bool ReadArray(LeReader& r, uint8_t* image, uint32_t size, OrfArray* out) {
    uint32_t n = r.u32();
    if (!r.ok() || (uint64_t)n * size > r.remaining()) return false;
    out->count = n;
    out->records = n ? image + r.pos : nullptr;
    return r.skip((size_t)n * size);
}

// Group headers {item count, pointer slot}, then the items of all groups.
Failure ReadGroups(LeReader& r, uint8_t* image, uint32_t itemSize, OrfGroupArray* out) {
    uint32_t n = r.u32();
    if (!r.ok() || (uint64_t)n * ORF_GROUP_HEADER_SIZE > r.remaining()) return Failure::NotMission;
    size_t headers = r.pos;
    uint64_t total = 0;
    for (uint32_t i = 0; i < n; i++) {
        total += r.u32();
        r.u32();  // pointer slot of the 32-bit loader; bound natively below
    }
    if (!r.ok() || total * itemSize > r.remaining()) return Failure::NotMission;
    out->count = n;
    out->itemTotal = (uint32_t)total;
    out->items = total ? image + r.pos : nullptr;
    r.skip((size_t)(total * itemSize));
    if (n) {
        out->groups = static_cast<OrfGroup*>(Alloc((uint64_t)n * sizeof(OrfGroup), "_ORF groups"));
        if (!out->groups) return Failure::NoMemory;
        LeReader h(image + headers, (size_t)n * ORF_GROUP_HEADER_SIZE);
        for (uint32_t i = 0; i < n; i++) {
            out->groups[i].itemCount = h.u32();
            h.u32();
            out->groups[i].items = nullptr;
        }
    }
    return Failure::None;
}

// Each group gets its first item; the items are consumed in order.
void BindGroups(OrfGroupArray* a, uint32_t itemSize) {
    uint8_t* next = a->items;
    for (uint32_t i = 0; i < a->count; i++) {
        OrfGroup& g = a->groups[i];
        g.items = g.itemCount ? next : nullptr;
        if (g.itemCount) next += (size_t)g.itemCount * itemSize;
    }
}

// At most four conditions; a trailing "extended" condition has nothing to
// extend and is dropped; the last counted condition ends the chain.
void NormaliseTriggers(OrfArray* triggers) {
    for (uint32_t i = 0; i < triggers->count; i++) {
        uint8_t* t = triggers->records + (size_t)i * ORF_TRIGGER_SIZE;
        uint32_t count = t[1];
        if (count == 0) continue;
        if (count > ORF_TRIGGER_CONDITIONS) count = ORF_TRIGGER_CONDITIONS;
        uint8_t* last = t + ORF_TRIGGER_HEAD_SIZE + (count - 1) * ORF_CONDITION_SIZE;
        if (last[0] == ORF_LINK_EXTENDED) count--;
        if (count > 0) t[ORF_TRIGGER_HEAD_SIZE + (count - 1) * ORF_CONDITION_SIZE] = ORF_LINK_LAST;
        t[1] = (uint8_t)count;
    }
}

const TriggerActionEntry* ActionFind(int32_t id) {
    for (const TriggerActionEntry* e = trig_ActionTable; e->keyword; e++)
        if (e->id == id) return e;
    return nullptr;
}

// An index of the trigger block: -1 is none, anything else must name a record.
template <typename T>
bool Resolve(int32_t index, T* base, uint32_t count, T** out) {
    if (index == -1) {
        *out = nullptr;
        return true;
    }
    if (index < 0 || (uint32_t)index >= count) return false;
    *out = base + index;
    return true;
}

Failure ReadTriggerBlock(LeReader& r, _ORF* rec) {
    rec->blockValue = r.i32();
    uint32_t nodes = r.u32(), actions = r.u32(), arguments = r.u32();
    if (!r.ok()) return Failure::NotMission;
    uint64_t bytes = (uint64_t)nodes * ORF_NODE_SIZE + (uint64_t)actions * ORF_ACTION_SIZE +
                     (uint64_t)arguments * ORF_ARGUMENTS_SIZE + 12;
    if (bytes > r.remaining()) return Failure::NotMission;
    if (nodes) {
        rec->nodes = static_cast<OrfTriggerNode*>(Alloc((uint64_t)nodes * sizeof(OrfTriggerNode), "_ORF nodes"));
        if (!rec->nodes) return Failure::NoMemory;
    }
    if (actions) {
        rec->actions =
            static_cast<OrfTriggerAction*>(Alloc((uint64_t)actions * sizeof(OrfTriggerAction), "_ORF actions"));
        if (!rec->actions) return Failure::NoMemory;
    }
    if (arguments) {
        rec->arguments =
            static_cast<OrfTriggerArgs*>(Alloc((uint64_t)arguments * sizeof(OrfTriggerArgs), "_ORF arguments"));
        if (!rec->arguments) return Failure::NoMemory;
    }
    rec->nodeCount = nodes;
    rec->actionCount = actions;
    rec->argumentCount = arguments;
    for (uint32_t i = 0; i < nodes; i++)
        for (int32_t& w : rec->nodes[i].word) w = r.i32();
    for (uint32_t i = 0; i < actions; i++)
        for (int32_t& w : rec->actions[i].word) w = r.i32();
    for (uint32_t i = 0; i < arguments; i++)
        for (int32_t& w : rec->arguments[i].word) w = r.i32();
    for (int32_t& v : rec->closingValues) v = r.i32();
    if (!r.ok()) return Failure::NotMission;

    for (uint32_t i = 0; i < nodes; i++) {
        OrfTriggerNode& n = rec->nodes[i];
        if (!Resolve(n.word[3], rec->actions, actions, &n.action) || !Resolve(n.word[5], rec->nodes, nodes, &n.node1) ||
            !Resolve(n.word[7], rec->nodes, nodes, &n.node2))
            return Failure::NotMission;
    }
    for (uint32_t i = 0; i < actions; i++) {
        OrfTriggerAction& a = rec->actions[i];
        if (!Resolve(a.word[5], rec->arguments, arguments, &a.arguments)) return Failure::NotMission;
        a.handler = (a.word[1] == 3 && a.word[2] == 1) ? ActionFind(a.word[3]) : nullptr;
    }
    return Failure::None;
}

// The text table: a named file, or the rest of the mission file.
Failure ReadText(LeReader& r, _ORF* rec, const char** missingName, char* textName, size_t textNameSize) {
    orf_HeaderName(rec, ORF_TEXT_NAME, textName, textNameSize);
    const uint8_t* image;
    uint32_t size;
    void* loaded = nullptr;
    if (textName[0]) {
        loaded = file_LoadFileEx(textName);
        if (!loaded) {
            *missingName = textName;
            return Failure::Missing;
        }
        image = static_cast<const uint8_t*>(loaded);
        size = file_State.lastSize > 0 ? (uint32_t)file_State.lastSize : 0;
    } else {
        image = r.data + r.pos;
        size = (uint32_t)r.remaining();
    }
    uint32_t magic = 0;
    Failure f = Failure::None;
    if (!le_Read32At(image, size, 0, &magic) || magic != kTextMagic) {
        f = Failure::BadText;
    } else {
        rec->textData = file_TableRelocate(image, size);
        if (!rec->textData) f = Failure::BadText;
    }
    FreeIf(loaded);
    return f;
}

// Steps 2 to 9 of the load; the record is allocated and named.
Failure Build(_ORF* rec, const char* name, const char** missingName, char* textName, size_t textNameSize) {
    rec->fileData = static_cast<uint8_t*>(file_LoadFileEx(name));
    if (!rec->fileData) {
        *missingName = name;
        return Failure::Missing;
    }
    int32_t size = file_State.lastSize;
    rec->fileSize = size > 0 ? (uint32_t)size : 0;
    rec->header = rec->fileData;
    uint8_t* image = rec->fileData;

    LeReader r(image, rec->fileSize);
    if (r.u32() != ORF_MAGIC) return Failure::NotMission;
    uint32_t version = r.u32();
    if (!r.ok()) return Failure::NotMission;
    if (version != ORF_VERSION) return Failure::BadVersion;
    if (rec->fileSize < ORF_HEADER_SIZE) return Failure::NotMission;

    image[ORF_TIME_OF_DAY]--;  // stored 1-based

    r.seek(ORF_HEADER_SIZE);
    Failure f;
    if (!ReadArray(r, image, ORF_ARRAY1_SIZE, &rec->array1) || !ReadArray(r, image, ORF_ARRAY2_SIZE, &rec->array2) ||
        !ReadArray(r, image, ORF_MODEL_NAME_SIZE, &rec->models) || !ReadArray(r, image, ORF_PLACED_SIZE, &rec->placed))
        return Failure::NotMission;
    if ((f = ReadGroups(r, image, ORF_ARRAY5_ITEM_SIZE, &rec->array5)) != Failure::None) return f;
    if ((f = ReadGroups(r, image, ORF_START_ITEM_SIZE, &rec->starts)) != Failure::None) return f;
    if (!ReadArray(r, image, ORF_TRIGGER_SIZE, &rec->triggers) ||
        !ReadArray(r, image, ORF_COUNTER_SIZE, &rec->counters) ||
        !ReadArray(r, image, ORF_MESSAGE_SIZE, &rec->messages))
        return Failure::NotMission;

    NormaliseTriggers(&rec->triggers);

    uint32_t blockFlag = 0;
    le_Read32At(image, rec->fileSize, ORF_TRIGGER_BLOCK_FLAG, &blockFlag);
    if (blockFlag && (f = ReadTriggerBlock(r, rec)) != Failure::None) return f;

    if ((f = ReadText(r, rec, missingName, textName, textNameSize)) != Failure::None) return f;

    BindGroups(&rec->array5, ORF_ARRAY5_ITEM_SIZE);
    BindGroups(&rec->starts, ORF_START_ITEM_SIZE);
    return Failure::None;
}

// The region and time of day of a single-player level come from the file
// unless chosen already; a forced time of day wins over both.
void RegionRule(const _ORF* rec) {
    if (!level_GameMode.singlePlayer) return;
    if (level_Region == -1) {
        level_Region = rec->header[ORF_REGION];
        level_TimeOfDay = rec->header[ORF_TIME_OF_DAY];
    }
    if (level_TimeOfDayForced != -1) level_TimeOfDay = level_TimeOfDayForced;
}

}  // namespace

_ORF* orf_Load(const char* name, uint32_t flags) {
    if (!name) return nullptr;
    bool fatal = (flags & ORF_FATAL) != 0;
    auto* rec = static_cast<_ORF*>(mem_AllocEx(sizeof(_ORF), 4, "_ORF"));
    if (!rec) {
        if (fatal) app_FatalErrorBox("orf_Load", name);
        return nullptr;
    }
    memset(rec, 0, sizeof *rec);
    snprintf(rec->name, sizeof rec->name, "%s", name);

    const char* missing = nullptr;
    char textName[ORF_NAME_SIZE + 1];
    Failure f = Build(rec, name, &missing, textName, sizeof textName);
    if (f == Failure::None) {
        RegionRule(rec);
        return rec;
    }
    if (fatal) {
        switch (f) {
            case Failure::Missing: app_FatalErrorBox("orf_Load", missing);
            case Failure::BadVersion: MissionBox(kStringBadVersion, name);
            case Failure::BadText: MissionBox(kStringBadText, name);
            case Failure::NoMemory: app_FatalErrorBox("orf_Load", name);
            default: MissionBox(kStringNotMission, name);
        }
    }
    orf_Free(rec);
    return nullptr;
}

void orf_Free(_ORF* rec) {
    if (!rec) return;
    FreeIf(rec->textData);
    FreeIf(rec->nodes);
    FreeIf(rec->actions);
    FreeIf(rec->arguments);
    FreeIf(rec->array5.groups);
    FreeIf(rec->starts.groups);
    FreeIf(rec->fileData);
    mem_Free(rec);
}

void orf_HeaderName(const _ORF* rec, uint32_t offset, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    out[0] = 0;
    if (!rec || !rec->header || offset > rec->fileSize || rec->fileSize - offset < ORF_NAME_SIZE) return;
    LeReader r(rec->header + offset, ORF_NAME_SIZE);
    r.fixedString(out, outSize, ORF_NAME_SIZE);
}

bool orf_PlacedGet(const _ORF* rec, uint32_t index, OrfPlaced* out) {
    memset(out, 0, sizeof *out);
    if (!rec || index >= rec->placed.count) return false;
    LeReader r(rec->placed.records + (size_t)index * ORF_PLACED_SIZE, ORF_PLACED_SIZE);
    out->x = r.u32();
    out->height = r.i32();
    out->z = r.u32();
    out->type = r.u8();
    out->category = r.u8();
    out->dynamic = r.u8();
    out->heading = r.u8();
    out->playerSlot = r.u8();
    out->kind = r.u8();
    out->modelIndex = r.u16();
    out->categoryFlags = r.u8();
    out->hitClass = r.u8();
    out->options = r.u8();
    out->side = r.u8();
    out->objectNumber = r.u16();
    out->serial = r.u16();
    out->stateTest = r.u8();
    out->stateWanted = r.u8();
    out->stateIndex = r.u16();
    out->sides[0] = r.u8();
    out->sides[1] = r.u8();
    orf_AiPartDecode(rec->placed.records + (size_t)index * ORF_PLACED_SIZE, &out->ai);
    orf_MapPartDecode(rec->placed.records + (size_t)index * ORF_PLACED_SIZE, &out->map);
    return true;
}

void orf_MapPartDecode(const uint8_t* record, OrfMapPart* out) {
    memset(out, 0, sizeof *out);
    if (!record) return;
    LeReader r(record + ORF_PLACED_MAP, ORF_PLACED_SIZE - ORF_PLACED_MAP);
    out->type = r.u8();
    out->subtype = r.u8();
    out->nameIndex = r.u8();
    out->iconFrame = r.u8();
    out->marker = r.u8();
    out->flags = r.u8();
    out->control = r.u16();
}

void orf_AiPartDecode(const uint8_t* record, OrfAiPart* out) {
    memset(out, 0, sizeof *out);
    if (!record) return;
    LeReader r(record + ORF_PLACED_AI, ORF_PLACED_SIZE - ORF_PLACED_AI);
    out->subtype = r.u8();
    out->group = r.u8();
    out->stepList = r.u8();
    out->route = r.u8();
    out->formation = r.u8();
    out->startFlags = r.u8();
    out->skill = r.u8();
    out->member = r.u8();
    out->flagByte = r.u8();
    out->categoryByte = r.u8();
    out->extraByte = r.u8();
    out->missionByte = r.u8();
    for (uint8_t& a : out->alliance) a = r.u8();
    for (uint8_t& w : out->weapons) w = r.u8();
    r.u8();
    out->missionWord = r.i32();
}

void orf_WaypointDecode(const uint8_t* item, OrfWaypoint* out) {
    memset(out, 0, sizeof *out);
    if (!item) return;
    LeReader r(item, ORF_START_ITEM_SIZE);
    out->x = r.u32();
    out->height = r.i32();
    out->z = r.u32();
    out->action = r.u16();
    out->argument = r.u16();
    out->behaviour = r.u8();
    out->engagement = r.u8();
}

void orf_RouteStepDecode(const uint8_t* item, OrfRouteStep* out) {
    memset(out, 0, sizeof *out);
    if (!item) return;
    LeReader r(item, ORF_ARRAY5_ITEM_SIZE);
    out->x = r.u32();
    out->z = r.u32();
    out->kind = r.u16();
    out->heading = r.u16();
}

bool orf_StartItemGet(const _ORF* rec, uint32_t side, uint32_t item, OrfStartItem* out) {
    memset(out, 0, sizeof *out);
    if (!rec || side >= rec->starts.count || item >= rec->starts.groups[side].itemCount) return false;
    LeReader r(rec->starts.groups[side].items + (size_t)item * ORF_START_ITEM_SIZE, ORF_START_ITEM_SIZE);
    out->x = r.u32();
    out->height = r.i32();
    out->z = r.u32();
    out->heading = r.u32();
    return true;
}

bool orf_TriggerGet(const _ORF* rec, uint32_t index, OrfTrigger* out) {
    memset(out, 0, sizeof *out);
    if (!rec || index >= rec->triggers.count) return false;
    LeReader r(rec->triggers.records + (size_t)index * ORF_TRIGGER_SIZE, ORF_TRIGGER_SIZE);
    out->fired = r.u8();
    out->conditionCount = r.u8();
    out->actionList = r.u16();
    out->actionClass = r.u16();
    for (uint16_t& a : out->arguments) a = r.u16();
    for (OrfCondition& c : out->conditions) {
        c.kind = r.u8();
        c.momentary = r.u8();
        c.id = r.u16();
        c.code = r.u8();
        r.u8();
        c.argument = r.u16();
        c.type = r.u8();
        c.matched = r.u8();
        r.u16();
        c.tick = r.i32();
    }
    return true;
}
