// Level start and stop sequences.
#include "world/levelseq.h"

#include <cstring>

#include "base/math.h"
#include "base/mem.h"
#include "cockpit/avion.h"
#include "debug/dbgobj.h"
#include "debug/dbgtext.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "net/player.h"
#include "net/rules.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "render/object.h"
#include "render/render.h"
#include "render/sky.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/pose.h"
#include "sim/trig.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/orf.h"
#include "world/terrain.h"

LevelServerTables level_ServerTables = {};
LevelClientTables level_ClientTables = {};
const int16_t level_StaticHitPoints[10] = {128, 256, 512, 1024, 16384, 4096, 0, 2048, 8192, 24576};
uint32_t level_Counter = 0;
int32_t level_ExcludedType = -1;
uint8_t level_ClientState[1176] = {};
uint8_t level_ClientState2[20] = {};

namespace {

// Bits 2 and 3 of an object's flag byte: its capture-the-flag team.
constexpr uint8_t LEVEL_TEAM_BITS = 0x0C;

// Every record of the pool free again, chained in address order.
void PoolRechain(DcbPool* pool) {
    if (!pool || !pool->memory || pool->count == 0) return;
    auto* base = static_cast<uint8_t*>(pool->memory);
    ObjectRecord* prev = nullptr;
    for (uint32_t i = 0; i < pool->count; i++) {
        auto* r = reinterpret_cast<ObjectRecord*>(base + static_cast<size_t>(i) * pool->size);
        r->freeLink = nullptr;
        r->pendingLink = nullptr;
        r->pending = 0;
        r->next = r->prev = nullptr;
        if (prev) prev->freeLink = r;
        else pool->freeHead = r;
        prev = r;
    }
    pool->pendingAdd = pool->pendingRemove = nullptr;
}

void WorkTablesClear(void) {
    if (depth_Level.staticHeads) memset(depth_Level.staticHeads, 0, TERRAIN_PATCHES * sizeof(ObjectRecord*));
    if (depth_Level.dynamicHeads) memset(depth_Level.dynamicHeads, 0, TERRAIN_PATCHES * sizeof(ObjectRecord*));
    if (depth_Level.patchStamps) memset(depth_Level.patchStamps, 0, TERRAIN_PATCHES * sizeof(uint32_t));
    if (depth_Level.dynamicStamps) memset(depth_Level.dynamicStamps, 0, TERRAIN_PATCHES * sizeof(uint32_t));
}

void MissionOptionsRefresh(void) {
    if (!level_GameMode.singlePlayer)
        memset(level_MissionOptions, 0, sizeof level_MissionOptions);
    else if (!level_GameMode.quickMission)
        memcpy(level_MissionOptions, level_MissionOptionsFrontEnd, sizeof level_MissionOptions);
}

// The model of a placed record: its index counts from the first level slot.
_PAK_HEADER* PlacedModel(const OrfPlaced& p, int32_t* slot) {
    int32_t s = level_Models.firstLevelSlot + p.modelIndex;
    if (s < 0 || s >= LEVEL_MODEL_SLOTS) {
        *slot = 0;
        return nullptr;
    }
    *slot = s;
    return level_Models.pak[s];
}

// 1 create, 0 the state test fails, 2 destroyed before.
int32_t Mark(const OrfPlaced& p) {
    if (p.stateTest) {
        // An index beyond the table fails the test.
        if (p.stateIndex >= LEVEL_STATE_TABLE_SIZE) return 0;
        bool set = level_MissionOptions[LEVEL_DESTROYED_TABLE_SIZE + p.stateIndex] != 0;
        if (set != (p.stateWanted != 0)) return 0;
    }
    if (p.serial < LEVEL_DESTROYED_TABLE_SIZE && level_MissionOptions[p.serial]) return 2;
    return 1;
}

ObjectRecord* StaticMake(int32_t index, const OrfPlaced& p) {
    LevelServerTables* t = &level_ServerTables;
    int32_t slot = 0;
    _PAK_HEADER* model = PlacedModel(p, &slot);
    ObjectRecord* o = obj_StaticCreate(p.x, p.z, model, 0);
    if (!o) return nullptr;
    o->angles.heading = static_cast<int32_t>((static_cast<uint32_t>(p.heading) << 17) & 0x1FFFFFF);
    o->position.y = static_cast<uint32_t>(p.height);
    o->modelSlot = static_cast<uint16_t>(slot);
    LevelPlacedEntry* e = &t->placed[index];
    e->created = 1;
    e->typeIndex = p.type;
    e->instance = static_cast<uint8_t>(t->typeCount[p.type]);
    e->category = p.category;
    e->model = model;
    o->typeIndex = p.type;
    o->instance = e->instance;
    t->typeCount[p.type]++;
    // The record's category flags are the object's category bits; the team
    // bits of the second side byte are its flags before it joins the lists,
    // as the player target list admits only objects flagged 0x04.
    o->category = p.categoryFlags;
    o->flags = static_cast<uint8_t>(o->flags | (p.sides[1] & LEVEL_TEAM_BITS));
    // Kind 3 objects are the landing places the touchdown test looks for.
    if (p.kind == 3) o->category = static_cast<uint8_t>(o->category | OBJ_CATEGORY_LANDING);
    obj_CategoryListsAdd(o);
    o->missionObject = p.objectNumber;
    o->side = p.sides[0];
    int16_t hp = level_StaticHitPoints[0];
    if (p.kind == 3) hp = 0;
    else if (p.kind == 2) hp = level_StaticHitPoints[p.hitClass < 10 ? p.hitClass : 0];
    o->hitPoints = hp;
    o->hitPointsMax = hp;
    if (RulesRecord* r = rules_Current(); r && r->countObject) r->countObject(o);
    if (t->staticList) t->staticList[t->staticCount++] = o;
    return o;
}

void PlayerStart(int32_t index, const OrfPlaced& p, const uint8_t* record) {
    LevelServerTables* t = &level_ServerTables;
    // Only 128 start slots exist.
    if (p.playerSlot >= LEVEL_PLAYER_STARTS) return;
    t->startCount++;
    LevelPlayerStart* s = &t->starts[p.playerSlot];
    s->position = FixWorldPos{p.x, 0, p.z};
    s->heading = static_cast<int32_t>((static_cast<uint32_t>(p.heading) << 17) & 0x1FFFFFF);
    s->objectNumber = p.objectNumber;
    s->record = record;
    s->placedIndex = index;
    LevelPlacedEntry* e = &t->placed[index];
    e->category = LEVEL_CATEGORY_PLAYER_START;
    e->typeIndex = p.type;
    t->typeStarts[p.type]++;
    e->value = p.playerSlot + 1;
}

void AiUnit(int32_t index, const OrfPlaced& p, const uint8_t* record, bool special) {
    LevelServerTables* t = &level_ServerTables;
    ObjectRecord* o = nullptr;
    int32_t slot = 0;
    _PAK_HEADER* model = PlacedModel(p, &slot);
    if (p.kind == 2) {
        o = StaticMake(index, p);
    } else {
        o = net_DcbPoolTake(&level_ServerArrays.ai);
        if (!o) return;
        o->position = FixWorldPos{p.x, static_cast<uint32_t>(p.height), p.z};
        o->angles = FixAngles{static_cast<int32_t>((static_cast<uint32_t>(p.heading) << 17) & 0x1FFFFFF), 0, 0};
        o->modelSlot = static_cast<uint16_t>(slot);
        o->model = model;
        o->draw = render_ObjectDraw;
        model_PoseBind(o);
        o->typeIndex = p.type;
    }
    if (!o) return;
    o->side = special ? 4 : 8;
    o->flags = static_cast<uint8_t>(p.categoryFlags | ((p.options & 1) ? 0x10 : 0) | (special ? 0x20 : 0));
    o->missionObject = p.objectNumber;
    ai_InitObjectByKind(o, record);
    LevelPlacedEntry* e = &t->placed[index];
    e->category = special ? LEVEL_CATEGORY_SPECIAL_AI : LEVEL_CATEGORY_AI;
    e->typeIndex = p.type;
    e->model = model;
    if (!(p.options & 2)) {
        level_ObjectRegister(o);
    } else {
        obj_TypeListPush(o);
    }
}

}  // namespace

void level_TablesClear(void) {
    memset(&level_ServerTables, 0, sizeof level_ServerTables);
    memset(&level_ClientTables, 0, sizeof level_ClientTables);
}

void level_RandomWarmUp(void) {
    uint32_t n = static_cast<uint32_t>(app_ClockRead() & 127);
    for (uint32_t i = 0; i < n; i++) math_Random();
}

void level_PlacedObjectsWalk(void) {
    LevelServerTables* t = &level_ServerTables;
    memset(t->placed, 0, sizeof t->placed);
    memset(t->typeCount, 0, sizeof t->typeCount);
    memset(t->typeLast, 0, sizeof t->typeLast);
    memset(t->typeStarts, 0, sizeof t->typeStarts);
    t->startCount = 0;
    t->staticCount = 0;
    t->staticList = nullptr;
    obj_ListsReset();
    if (!level_Mission) return;
    uint32_t count = level_Mission->placed.count;
    t->staticList = static_cast<ObjectRecord**>(
        mem_AllocEx(static_cast<uint32_t>((count ? count : 1) * sizeof(ObjectRecord*)), 4, "Level.static_list"));
    // The per-placed table has 1000 entries: records beyond it are not made.
    if (count > static_cast<uint32_t>(LEVEL_PLACED_MAX)) count = LEVEL_PLACED_MAX;
    for (uint32_t i = 0; i < count; i++) {
        OrfPlaced p;
        if (!orf_PlacedGet(level_Mission, i, &p)) continue;
        const uint8_t* record = level_Mission->placed.records + i * ORF_PLACED_SIZE;
        if (!level_GameMode.singlePlayer && !(p.categoryFlags & 2) && p.kind == 0 &&
            static_cast<int32_t>(p.type) == level_ExcludedType)
            continue;
        int32_t mark = Mark(p);
        if (mark == 0) continue;
        if (mark == 2) {
            trig_Event = TriggerEvent{};
            trig_Event.type = 0;
            trig_Event.id = p.objectNumber;
            trig_Event.code = 11;
            trig_Event.argument = 0;
            trig_PostEvent();
            continue;
        }
        if (p.dynamic == 0) {
            StaticMake(static_cast<int32_t>(i), p);
            continue;
        }
        switch (p.category) {
        case LEVEL_CATEGORY_PLAYER_START: PlayerStart(static_cast<int32_t>(i), p, record); break;
        case LEVEL_CATEGORY_AI: AiUnit(static_cast<int32_t>(i), p, record, false); break;
        case LEVEL_CATEGORY_SPECIAL_AI: AiUnit(static_cast<int32_t>(i), p, record, true); break;
        default: break;
        }
    }
    obj_LevelLog();
}

int32_t level_ObjectMarkQuery(const uint8_t* placed) {
    if (!placed || !level_Mission) return 0;
    const uint8_t* base = level_Mission->placed.records;
    if (!base || placed < base) return 0;
    size_t offset = static_cast<size_t>(placed - base);
    if (offset % ORF_PLACED_SIZE || offset / ORF_PLACED_SIZE >= level_Mission->placed.count) return 0;
    OrfPlaced p;
    if (!orf_PlacedGet(level_Mission, static_cast<uint32_t>(offset / ORF_PLACED_SIZE), &p)) return 0;
    return Mark(p);
}

void level_ObjectRegister(ObjectRecord* object) {
    if (!object) return;
    LevelServerTables* t = &level_ServerTables;
    net_ObjectListLink(&t->objectList, object);
    obj_TypeListPush(object);
    t->typeLast[object->typeIndex] = object;
    t->typeCount[object->typeIndex]++;
    plane_PlaceAtLevelStart(object);
}

ObjectRecord* level_PlayerObjectCreate(int32_t n) {
    n &= 127;
    LevelServerTables* t = &level_ServerTables;
    ObjectRecord* o = net_DcbPoolTake(&level_ServerArrays.player);
    if (!o) return nullptr;
    net_ObjectListLink(&t->objectList, o);
    o->model = level_PlayerModel[0];
    o->modelSlot = 0;
    t->playerObjects[n] = o;
    LevelPlayerStart* s = &t->starts[n];
    s->startItems = nullptr;
    s->startItemCount = 0;
    if (s->record && level_Mission) {
        OrfPlaced p;
        if (orf_PlacedGet(level_Mission, static_cast<uint32_t>(s->placedIndex), &p)) {
            o->side = p.side;
            // A side without a start group gets no start items.
            if (p.side < level_Mission->starts.count) {
                s->startItems = level_Mission->starts.groups[p.side].items;
                s->startItemCount = level_Mission->starts.groups[p.side].itemCount;
            }
        }
        o->typeIndex = level_ServerTables.placed[s->placedIndex].typeIndex;
    }
    o->missionObject = s->objectNumber;
    o->player = static_cast<uint8_t>(n);
    o->think = nullptr;
    o->secondPass = nullptr;
    o->draw = plane_ObjectDraw;
    model_PoseBind(o);
    o->hit = Server_PlayerAircraftHit;
    o->hitPoints = 1024;
    o->hitPointsMax = 1024;
    obj_TypeListPush(o);
    // Player objects have no instance number: the byte carries the slot's
    // parity.
    o->instance = static_cast<uint8_t>(n & 1);
    o->position = s->position;
    o->angles = FixAngles{s->heading, 0, 0};
    plane_PlaceAtLevelStart(o);
    s->object = o;
    t->newestPlayer = o;
    return o;
}

namespace {

// The units linked to their groups: both on the server's first set-up and
// on every restart, once the placed objects are walked.
void AiGroupsLink(void) {
    ai_LinkWaygroups();
    ai_AttachNearbyUnits();
    ai_SaveGroupCounters();
}

}  // namespace

void level_ServerSetUp(void) {
    level_RandomWarmUp();
    obj_ClearLabelCache();
    if (!level_GameMode.singlePlayer) memset(level_MissionOptions, 0, sizeof level_MissionOptions);
    ai_ClearModuleData();
    trig_Reset();
    level_PlacedObjectsWalk();
    AiGroupsLink();
    weapon_DecoyListsReset();
}

void level_StartSequence(void) {
    WorkTablesClear();
    LevelServerTables saved = level_ServerTables;
    level_TablesClear();
    // The player starts stay: the players are placed on them again.
    memcpy(level_ServerTables.starts, saved.starts, sizeof saved.starts);
    level_RandomWarmUp();
    obj_ClearLabelCache();
    MissionOptionsRefresh();
    tacmap_GoalsUpdate();
    PoolRechain(&level_ServerArrays.ai);
    PoolRechain(&level_ServerArrays.common);
    PoolRechain(&level_ServerArrays.statics);
    level_ServerTables.objectList = nullptr;
    weapon_DecoyListsReset();
    ai_ClearModuleData();
    trig_Reset();
    level_PlacedObjectsWalk();
    // The players keep their aircraft objects: they join the new world.
    Server_PlayersReleaseObjects();
    AiGroupsLink();
    level_Counter++;
    // Every player starts again with the aircraft it chose.
    if (Server.player)
        for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
            PlayerSlot* s = &Server.player[i];
            if (s->inUse) s->block = s->stored[s->squadron == 1 ? 1 : 0];
        }
}

void level_ServerReload(void) {
    level_Counter++;
    if (level_Markers.serverStart && level_Markers.serverEnd)
        mem_FreeBetween(level_Markers.serverStart, level_Markers.serverEnd);
    level_Markers.serverStart = level_Markers.serverEnd = nullptr;
    level_Mission = nullptr;
    level_TablesClear();
    level_PalrefRelease();
    level_LoadServer();
    Server_PlayersPrepare();
}

void level_ClientStart(void) {
    dbg_TextInit();
    view_StateReset();
    avion_HookResetCall();
    sky_StarFieldInit();
    sky_SunDefaultsSet();
    render_LightDirectionSet();
    ViewedObject = level_ServerTables.newestPlayer;
    weapon_DecoyListsReset();
}

void level_ClientPoolReset(void) {
    PoolRechain(&level_ClientObjectArray);
    PoolRechain(&level_ClientArrays.common);
    PoolRechain(&level_ClientArrays.special);
    if (!level_GameMode.sharedProcess) {
        WorkTablesClear();
        PoolRechain(level_ClientStaticArray);
    }
    level_ClientTables.objectList = nullptr;
}

void level_ClientReset(void) {
    dbg_VirtualKeysClear();
    dbg_TextReset();
    hud_RepeaterClear();
    level_ClientPoolReset();
    view_MissionStartReset();
    Client_CountersReset();
    view_StateReset();
    avion_HookResetCall();
    if (!level_GameMode.sharedProcess) level_TablesClear();
    memset(level_ClientState, 0, sizeof level_ClientState);
    memset(level_ClientState2, 0, sizeof level_ClientState2);
    plane_PlaceForRespawn(Client_PlayerObject, &player_Startup);
    if (level_GameMode.singlePlayer) {
        trig_Event = TriggerEvent{};
        trig_Event.type = 6;
        trig_Event.code = 4;
        trig_PostEvent();
    }
}

void level_ClientModelsFree(void) {
    if (!level_GameMode.sharedProcess) level_PalrefRelease();
    for (_DYMOD* d = model_ClientDymods.first; d; d = d->next) {
        if (d->anchorFront && d->anchorBack) mem_FreeBetween(d->anchorFront, d->anchorBack);
        d->anchorFront = d->anchorBack = nullptr;
    }
    model_DymodFreeAll(&model_ClientDymods);
    level_PlayerModel[0] = level_PlayerModel[1] = level_PlayerModel[2] = nullptr;
    Client_LevelSoundsFree();
    if (level_Markers.clientStart && level_Markers.clientEnd)
        mem_FreeBetween(level_Markers.clientStart, level_Markers.clientEnd);
    level_Markers.clientStart = level_Markers.clientEnd = nullptr;
    if (!level_GameMode.sharedProcess) level_TablesClear();
    view_BlockClear();
}
