// The player's target candidates and their cycling, the target keys and the
// object label texts.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "net/player.h"
#include "platform/simlog.h"
#include "world/level.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/pak.h"

ObjectRecord* obj_Candidates[OBJ_CANDIDATES];
int32_t obj_CandidateCount;
ObjLabelEntry obj_LabelTable[OBJ_LABELS];
int32_t obj_LabelCount;
int32_t plane_TargetListIndex;
int32_t plane_TargetCueOption = 1;
int32_t plane_RadarLockOption;
int32_t plane_TargetCues;

namespace {

// The run-time string table: the level's game data texts.
const FileTable* StringTable() { return static_cast<const FileTable*>(level_GameData); }

void SetTarget(ObjectRecord* searcher, ObjectRecord* target) {
    if (!searcher) return;
    searcher->target = target;
    plat_SimLog("target", "id=%d", target ? static_cast<int32_t>(target->missionObject) : -1);
}

// The player's search bytes: the current weapon's kinds, air targets when
// no weapon is current.
void SearchBytes(uint8_t* flags, uint8_t* categories) {
    if (weapon_CurrentId >= 0) {
        *flags = static_cast<uint8_t>(weapon_Current.searchKindA);
        *categories = static_cast<uint8_t>(weapon_Current.searchKindB);
    } else {
        *flags = 1;
        *categories = 1;
    }
}

// Bounded append to a text.
void Append(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
void Append(char* buffer, size_t size, const char* format, ...) {
    const size_t used = strnlen(buffer, size);
    if (used + 1 >= size) return;
    va_list args;
    va_start(args, format);
    vsnprintf(buffer + used, size - used, format, args);
    va_end(args);
}

// A text read as a signed decimal: leading blanks and a sign, digits up to
// the first other character; 0 without digits.
int64_t ReadNumber(const char* text) {
    while (*text == ' ' || *text == '\t') text++;
    int64_t sign = 1;
    if (*text == '-' || *text == '+') sign = *text++ == '-' ? -1 : 1;
    int64_t n = 0;
    while (*text >= '0' && *text <= '9' && n < 100000000000LL) n = n * 10 + (*text++ - '0');
    return sign * n;
}

bool ObjectInTypeList(const ObjectRecord* o) { return o && o->typeLinked; }

ObjectRecord* ConeStep(ObjectRecord* s, uint8_t flags, uint8_t categories, bool forward) {
    if (!s || !obj_TypeList.head) return nullptr;
    ObjectRecord* start = ObjectInTypeList(s->target) ? s->target : nullptr;
    auto step = [&](ObjectRecord* o) {
        if (forward) return o && o->typeNext ? o->typeNext : obj_TypeList.head;
        return o && o->typePrev ? o->typePrev : obj_TypeList.tail;
    };
    obj_Search.cone = 0x38;
    obj_Search.detectRange = OBJ_CANDIDATE_RANGE;
    ObjectRecord* o = start ? step(start) : obj_TypeList.head;
    ObjectRecord* first = o;
    for (int32_t n = 0; n <= obj_TypeList.count; n++) {
        if (o != start && obj_CandidateFilter(s, o, flags, categories) && obj_FindNearestFiltered(s, o) &&
            obj_LineOfSight(s, &o->position)) {
            const int32_t d = obj_Distance(s, o);
            if (d < OBJ_CANDIDATE_RANGE && obj_IsDetected(o, d, OBJ_CANDIDATE_RANGE)) return o;
        }
        o = step(o);
        if (o == first || (start && o == start)) break;
    }
    return nullptr;
}

}  // namespace

// ---- Candidates ----

int32_t obj_BuildCandidates(ObjectRecord* s, uint8_t flags, uint8_t categories) {
    obj_CandidateCount = 0;
    if (!s) return 0;
    obj_Search.detectRange = OBJ_CANDIDATE_RANGE;
    int32_t last = -1;
    while (obj_CandidateCount < OBJ_CANDIDATES) {
        int32_t d = 0;
        ObjectRecord* o = plane_SystemsDamage[OBJ_SYS_DEGRADED_SEARCH]
                              ? obj_FindNextNearest(s, flags, categories, last, OBJ_CANDIDATE_RANGE, &d)
                              : obj_FindNextNearestDetected(s, flags, categories, last, OBJ_CANDIDATE_RANGE, &d);
        if (!o) break;
        obj_Candidates[obj_CandidateCount++] = o;
        last = d;
    }
    if (!s->target && obj_CandidateCount) SetTarget(s, obj_Candidates[0]);
    return obj_CandidateCount;
}

int32_t obj_CandidateIndex(const ObjectRecord* object) {
    if (!object) return -1;
    for (int32_t i = 0; i < obj_CandidateCount; i++)
        if (obj_Candidates[i] == object) return i;
    return -1;
}

void obj_TargetNext(ObjectRecord* s) {
    if (!s) return;
    if (!obj_CandidateCount) return SetTarget(s, nullptr);
    const int32_t i = obj_CandidateIndex(s->target);
    SetTarget(s, obj_Candidates[i < 0 ? 0 : (i + 1) % obj_CandidateCount]);
}

void obj_TargetPrev(ObjectRecord* s) {
    if (!s) return;
    if (!obj_CandidateCount) return SetTarget(s, nullptr);
    const int32_t i = obj_CandidateIndex(s->target);
    SetTarget(s, obj_Candidates[i <= 0 ? obj_CandidateCount - 1 : i - 1]);
}

void obj_TargetCandidateRemove(ObjectRecord* object) {
    const int32_t i = obj_CandidateIndex(object);
    if (i < 0) return;
    memmove(&obj_Candidates[i], &obj_Candidates[i + 1], sizeof(obj_Candidates[0]) * (obj_CandidateCount - i - 1));
    obj_Candidates[--obj_CandidateCount] = nullptr;
}

ObjectRecord* obj_ConeTargetPrev(ObjectRecord* s, uint8_t flags, uint8_t categories) {
    return ConeStep(s, flags, categories, false);
}
ObjectRecord* obj_ConeTargetNext(ObjectRecord* s, uint8_t flags, uint8_t categories) {
    return ConeStep(s, flags, categories, true);
}

// ---- Player target selection ----

void plane_TargetFromList(ObjectRecord* player) {
    if (!player) return;
    const ObjCategoryList* list = nullptr;
    for (const ObjCategoryList& l : obj_CategoryLists)
        if (l.bit == OBJ_CATEGORY_PLAYER_TARGET) list = &l;
    if (!list || list->count <= 0) return SetTarget(player, nullptr);
    if (plane_TargetListIndex < 0 || plane_TargetListIndex >= list->count) plane_TargetListIndex = 0;
    SetTarget(player, list->items[plane_TargetListIndex]);
}

void plane_TargetCue(void) {
    if (plane_TargetCueOption) plane_TargetCues++;
}

void plane_TargetReacquire(ObjectRecord* player) {
    if (!player) return;
    PlanePlayerFields* f = plane_PlayerFields(player);
    if (f->gear != 64 || plane_SystemsDamage[PLANE_SYS_RADAR]) return;
    if (!plane_RadarLockOption && !f->lockMode) return;
    ObjectRecord* before = player->target;
    f->lockMode = 0;
    uint8_t flags, categories;
    SearchBytes(&flags, &categories);
    obj_BuildCandidates(player, flags, categories);
    if (obj_CandidateCount && obj_Candidates[0] != before) plane_TargetCue();
}

int32_t plane_TargetKey(ObjectRecord* player, int32_t code) {
    if (code < 0x23 || code > 0x28) return 0;
    if (!player) return 1;
    PlanePlayerFields* f = plane_PlayerFields(player);
    const bool ground = weapon_CurrentId >= 0 && (weapon_Current.kind & WEAPON_TARGET_LIST);
    const bool radar = !plane_SystemsDamage[PLANE_SYS_RADAR];
    const bool gearUp = f->gear == 64;
    uint8_t flags, categories;
    SearchBytes(&flags, &categories);
    switch (code) {
    case 0x23:
    case 0x24:
        f->lockMode = 0;
        if (ground) code == 0x23 ? weapon_TargetNext() : weapon_TargetPrev();
        else code == 0x23 ? obj_TargetNext(player) : obj_TargetPrev(player);
        break;
    case 0x25:
        if (gearUp && !(weapon_CurrentId >= 0 && (weapon_Current.kind & WEAPON_IR_MISSILE)) && radar &&
            !f->lockMode) {
            f->lockMode = 0;
            obj_BuildCandidates(player, flags, categories);
        }
        break;
    case 0x26:
        if (!gearUp || !radar) break;
        if (ground) weapon_TargetNearestOnScreen();
        else SetTarget(player, obj_BestInBoresight(player, flags, categories));
        break;
    default:
        if (!gearUp || !f->lockMode || !radar) break;
        if (ground) {
            code == 0x27 ? weapon_TargetPrev() : weapon_TargetNext();
        } else {
            ObjectRecord* o = code == 0x27 ? obj_ConeTargetPrev(player, flags, categories)
                                           : obj_ConeTargetNext(player, flags, categories);
            SetTarget(player, o);
        }
        break;
    }
    plane_TargetCue();
    return 1;
}

// ---- Labels ----

void obj_FormatName(char* buffer, size_t size, const ObjectRecord* o) {
    if (!buffer || !size) return;
    buffer[0] = '\0';
    if (!o) return;
    if (!o->model) {
        snprintf(buffer, size, "NOPAK");
        return;
    }
    const char* name = o->model->name;
    if (o->flags & OBJ_FLAG_PLAYER) {
        const char* player = o->player < PLAYER_TABLE_SIZE ? player_Table[o->player].name : "";
        snprintf(buffer, size, "%s %.*s", name, static_cast<int>(sizeof player_Table[0].name), player);
        return;
    }
    uint32_t number = 0;
    if (o->groundUnit == 0) number = o->group + 27u;
    else if (o->groundUnit == 1) number = o->group + 177u;
    const FileTableEntry* e = StringTable() ? file_TableEntryGet(StringTable(), number) : nullptr;
    const long member = o->member;
    if (!e || !e->text) {
        snprintf(buffer, size, "%s ??? %ld", name, member);
        return;
    }
    const int64_t n = ReadNumber(e->text);
    if (n > 0) snprintf(buffer, size, "%s %lld", name, static_cast<long long>(n + member));
    else snprintf(buffer, size, "%s %s %ld", name, e->text, member);
}

void obj_DisplayName(const ObjectRecord* object, char* buffer, size_t size) { obj_FormatName(buffer, size, object); }

int32_t obj_ComposeLabel(int32_t entry, char* buffer, size_t size) {
    if (!buffer || !size) return -1;
    buffer[0] = '\0';
    if (entry < 0 || entry >= obj_LabelCount || entry >= OBJ_LABELS) return -1;
    const ObjLabelEntry& l = obj_LabelTable[entry];
    char name[256];
    obj_FormatName(name, sizeof name, l.record);
    snprintf(buffer, size, "%s ", name);
    if (l.flags & 0x02) return 0;
    const uint32_t base = l.kind == 0 ? 27u : 177u;
    const FileTableEntry* e = StringTable() ? file_TableEntryGet(StringTable(), base + l.index) : nullptr;
    Append(buffer, size, "%s %d", e && e->text ? e->text : "", static_cast<int32_t>(l.number));
    return 0;
}

void obj_ClearLabelCache(void) {
    obj_Search = ObjSearchState{};
    obj_CandidateCount = 0;
    for (ObjectRecord*& c : obj_Candidates) c = nullptr;
    plane_TargetListIndex = 0;
}
