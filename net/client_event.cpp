// The client's side of the server's game events: the world handlers (run
// only while client and server play the same level run) and the flight
// handlers (run for every new event), the tables they write and the detach
// step that takes a client copy out of play.
//
// Every field of an event comes from the server and is checked before it
// indexes anything: table slots, counts, type numbers and file names.
#include <cstdlib>
#include <cstring>

#include "base/math.h"
#include "cockpit/tacmap.h"
#include "debug/dbgobj.h"
#include "debug/dbgtext.h"
#include "input/ffb.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "net/server.h"
#include "render/fx.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/flight.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/mix.h"
#include "sound/sndtrig.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/terrain.h"

ClientDisplayRecords Client_PlayerDisplayRecords = {player_Table, PLAYER_TABLE_SIZE, 0, {}, 0, 0};
int32_t Client_LevelResetCount = 0;
SndTrigFile* Client_SoundTriggers = nullptr;

namespace {

constexpr uint16_t DETACHED_LINGER = 0xB1E0;  // negative: retired at the next packet's end
constexpr int32_t BULLET_ADVANCE_MAX = 64;     // frames a remote bullet is moved ahead at most
constexpr int32_t RADAR_LIST_ENTRIES = 512;
constexpr int32_t TARGET_LISTS = 3;

// The last air or ground explosion: the view that watched a removed object
// turns to it.
struct {
    bool set;
    FixWorldPos position;
} g_lastExplosion;

FixWorldPos WorldOf(const FixVec3& v) { return FixWorldPos{(uint32_t)v.x, (uint32_t)v.y, (uint32_t)v.z}; }

bool Bridge(void) { return level_GameMode.sharedProcess != 0; }

uint16_t AircraftSoundType(void) { return (uint16_t)plane_CurrentDescriptor.aircraftSoundType; }

void Trigger(uint16_t type, uint16_t subtype, uint16_t id) {
    sndtrig_Event.type = type;
    sndtrig_Event.subtype = subtype;
    sndtrig_Event.id = id;
    sndtrig_Trigger(&sndtrig_Event, Client_SoundTriggers);
}

void TriggerAtVolume(int32_t volume, uint16_t type, uint16_t subtype, uint16_t id) {
    sndtrig_Event.volume = volume;
    Trigger(type, subtype, id);
}

// The sound's position part, then the trigger.
void TriggerAt(const FixWorldPos& at, uint16_t type, uint16_t subtype, uint16_t id) {
    sndtrig_RequestAtPosition(&at);
    Trigger(type, subtype, id);
}

// The event's common form; false for one too short for it.
bool Common(const MsgRecord* ev, MsgEventCommon* c, FixWorldPos* at) {
    if (msg_EventCommonDecode(ev->data, ev->length, c) != 0) return false;
    *at = WorldOf(c->position);
    return true;
}

// Drops the object from a counted list, closing it up.
void ListDrop(ObjCategoryList* list, const ObjectRecord* o) {
    int32_t n = list->count < 0 ? 0 : list->count > 256 ? 256 : list->count;
    int32_t kept = 0;
    for (int32_t i = 0; i < n; i++)
        if (list->items[i] != o) list->items[kept++] = list->items[i];
    for (int32_t i = kept; i < n; i++) list->items[i] = nullptr;
    list->count = kept;
}

// ---- World handlers ----

void OnExplosion(const MsgRecord* ev, bool ground) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    TriggerAt(at, AircraftSoundType(), 2, 0);
    // The cell flag marks water: land and the air take the explosion.
    if (!ground || !terrain_CellFlagGet(&at))
        fx_AirExplosion(&at);
    else
        fx_AirBurstSpawn(&at);
    g_lastExplosion.set = true;
    g_lastExplosion.position = at;
    if (c.value == 0) return;
    if (ObjectRecord* o = Client_ObjectFind(c.value)) {
        o->hitPoints = 0;
        Client_ObjectDetach(o);
    }
}

void OnDebris(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    g_lastExplosion.set = false;
    if (ObjectRecord* o = Client_ObjectFind(c.value)) Client_ObjectDetach(o);
    fx_DebrisBurst(&at, 1 + (int32_t)(math_Random2() & 3));
}

void OnBeenHit(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    if (Client_PlayerObject) sndtrig_RequestAtObject(Client_PlayerObject);
    int32_t type = (int32_t)c.value;
    if (type < 0 || type >= SIM_WEAPON_TYPES) {
        // A weapon the table does not hold: a plain hit, nothing of the
        // table is read.
        plane_PlayerHit(-1);
        return;
    }
    uint32_t kind = weapon_Types[type].kind;
    if (ffb_FeedbackActive) {
        if (kind & 0x1)
            ffb_EventBulletHit();
        else if (kind & 0x20)
            ffb_EventMissileHit();
    }
    if (int32_t sound = weapon_Types[type].soundNumber) TriggerAtVolume(255, AircraftSoundType(), 3, (uint16_t)sound);
    if (kind & 0x1000000) flight_HitJolt();
    plane_PlayerHit(type);
}

void OnBeenKilled(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    ObjectRecord* p = Client_PlayerObject;
    if (!p) return;
    p->hitPoints = 0;
    if (c.value == 0) {
        p->think = plane_DeathThink;
        p->frameCounter = 0;
        if (!view_CameraFirst || !view_CameraIsExternal(view_CameraFirst)) view_ModeRequest(VIEW_MODE_DEFAULT);
    } else {
        p->think = plane_RespawnWait;
        p->frameCounter = 200;
        if (plane_Current) plane_Current->flags &= ~0x03u;  // neither flying nor destroyed
    }
}

void OnSimpleBlast(const MsgRecord* ev, uint16_t type, void (*effect)(const FixWorldPos*)) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    TriggerAt(at, type, 5, 7);
    effect(&at);
}

void OnGroundExplodeSmall(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    TriggerAt(at, 2, 5, 7);
    if (!terrain_CellFlagGet(&at))
        fx_SmallExplosion(&at);
    else
        fx_GroundBurstSpawn(&at);
}

void OnFlak(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    sndtrig_RequestAtPosition(&at);
    sndtrig_Event.pitch = 0x10000 + (int32_t)(math_Random() & 0x7FFF) - 0x4000;
    Trigger(7, 2, 0);
    fx_FlakBurst(&at);
}

void OnBullet(const MsgRecord* ev) {
    MsgBullet m;
    if (msg_EventBulletDecode(ev->data, ev->length, &m) != 0) return;
    ObjectRecord* b = net_DcbPoolTake(&level_ClientArrays.common);
    if (!b) return;
    b->serial = m.id;
    b->position = WorldOf(m.position);
    b->velocity = m.velocity;
    b->angles = m.angles;
    weapon_SetCurrentType(0);
    weapon_InitBullet(b);
    int32_t d = Client_BulletAdvanceFrames(m.frame);
    int64_t scale = (int64_t)d * 2 * b->speed;
    b->position.x += (uint32_t)(((int64_t)b->velocity.x * scale) >> 16);
    b->position.y += (uint32_t)(((int64_t)b->velocity.y * scale) >> 16);
    b->position.z += (uint32_t)(((int64_t)b->velocity.z * scale) >> 16);
    Client_PoolLinkToOwner(b);
    sndtrig_RequestAtPosition(&b->position);
    if (m.flag)
        Trigger(4, 0, 6);
    else
        Trigger(9, 12, (uint16_t)weapon_Types[0].soundNumber);
}

void OnScores(const MsgRecord* ev) {
    MsgEventScores m;
    if (msg_EventScoresDecode(ev->data, ev->length, &m) != 0) return;  // over 8 entries
    ClientDisplayRecords& t = Client_PlayerDisplayRecords;
    t.scoreCount = m.count;
    memcpy(t.scores, m.entries, sizeof t.scores);
}

void OnEcmDrop(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    weapon_LaunchRecord.position = c.position;
    weapon_DecoySpawn.silent = 1;
    if (c.value == 0)
        weapon_FlareCreate(nullptr);
    else
        weapon_ChaffCreate(nullptr);
}

void OnStaticModify(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    ObjectRecord* o = Server_FindObjectAt(c.position.x, c.position.z);
    if (!o) return;
    // The type must name a loaded model of the level's table.
    if (c.value >= (uint32_t)LEVEL_MODEL_SLOTS || !level_Models.pak[c.value]) return;
    o->modelSlot = (uint16_t)c.value;
    o->model = level_Models.pak[c.value];
    for (int32_t i = 0; i < TARGET_LISTS; i++) {
        if (Client_PlayerObject && Client_PlayerObject->target == o) Client_PlayerObject->target = nullptr;
        ListDrop(&obj_CategoryLists[i], o);
    }
    weapon_TargetListRemove(o);
}

void OnRadarDie(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at) || !level_Lists.sam) return;
    for (int32_t i = 0; i < RADAR_LIST_ENTRIES; i++) {
        ObjectRecord* o = level_Lists.sam[i];
        if (o && o->position.x == at.x && o->position.z == at.z) {
            level_Lists.sam[i] = nullptr;
            return;
        }
    }
}

void OnRadarChange(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    ObjectRecord* o = Server_FindObjectAt(c.position.x, c.position.z);
    if (!o) return;
    if (c.value == 0)
        o->flags |= 0x02;
    else
        o->flags &= (uint8_t)~0x02;
}

void OnGameOver(const MsgRecord* ev, int32_t* result, int32_t screenState) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    *result = (int32_t)c.value;
    render_ScreenStateSet(screenState);
    if (Client_PlayerObject) plane_EjectOnEvent(Client_PlayerObject);
}

void OnPlayerReset(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at) || c.value == 0) return;
    if (ObjectRecord* o = Client_ObjectFind(c.value)) o->hitPoints = 1;
}

// ---- Flight handlers ----

void OnText(const MsgRecord* ev) {
    MsgEventText m;
    // Bounded by the decoder: at most 127 characters, and none without a
    // terminator inside the event.
    if (msg_EventTextDecode(ev->data, ev->length, &m) != 0) return;
    dbg_TextLineAdd(m.text);
    plat_SimLog("client", "text %s", m.text);
    switch (m.sound) {
    case 1: TriggerAtVolume(128, 3, 6, 0); break;
    case 2: TriggerAtVolume(128, AircraftSoundType(), 7, 11); break;
    case 3: TriggerAtVolume(128, AircraftSoundType(), 8, 11); break;
    default: break;
    }
}

void OnName(const MsgRecord* ev) {
    // In a bridge game the local server fills the table itself.
    if (Bridge()) return;
    MsgEventName m;
    if (msg_EventNameDecode(ev->data, ev->length, &m) != 0) return;
    if (m.player >= (uint32_t)PLAYER_TABLE_SIZE) return;
    PlayerTableEntry& e = player_Table[m.player];
    memcpy(e.name, m.name, sizeof e.name);
    memcpy(e.aircraft, m.plane, sizeof e.aircraft);
    e.name[sizeof e.name - 1] = 0;
    e.aircraft[sizeof e.aircraft - 1] = 0;
    e.side = (int16_t)m.side;
    e.squadron = m.squadron;
}

void OnLevelReset(const MsgRecord* ev) {
    MsgEventLevelReset m;
    if (msg_EventLevelResetDecode(ev->data, ev->length, &m) != 0) return;
    Client_LevelResetCount++;
    Client_LevelRunNumber = m.runNumber;
    if (m.restart == 1) {
        Client_FlightState = 3;
        Client_SendResponse(3, m.runNumber);
    } else {
        Client_FlightState = 4;
    }
    Client.staticConfirmPending = 0;
}

void OnSquadron(const MsgRecord* ev) {
    MsgEventSquadron m;
    if (msg_EventSquadronDecode(ev->data, ev->length, &m) != 0) return;
    if (m.slot >= (uint32_t)TACMAP_SQUADRONS) return;
    if (!tacmap_SquadronBuffer) tacmap_SquadronBufferInit();
    if (!tacmap_SquadronBuffer) return;
    char* name = reinterpret_cast<char*>(tacmap_SquadronBuffer + m.slot * TACMAP_SQUADRON_ENTRY_SIZE +
                                         TACMAP_SQUADRON_NAME);
    memcpy(name, m.name, sizeof m.name);  // terminated by the decoder
    if (m.answer) Client_SendResponse(2, m.slot);
}

void OnSquadJoin(const MsgRecord* ev) {
    MsgEventCommon c;
    FixWorldPos at;
    if (!Common(ev, &c, &at)) return;
    Client_SquadronWord = c.value;
}

void OnDynamicModel(const MsgRecord* ev) {
    MsgEventDynamicModel m;
    if (msg_EventDynamicModelDecode(ev->data, ev->length, &m) != 0 || m.release != 0) return;
    // The name must end inside its field as sent, not where the decoder cut
    // it, and be a plain file name for one of the numbered slots.
    constexpr size_t NAME_AT = 16;
    if (!memchr(ev->data + NAME_AT, 0, sizeof m.name)) return;
    if (m.id >= (uint32_t)LEVEL_NUMBERED_SLOTS || !level_NameIsPlain(m.name, MODEL_DYMOD_NAME_SIZE)) return;
    model_DymodLoad((int32_t)m.id, m.name);
}

void OnDebugPath(const MsgRecord* ev) {
    MsgEventDebugPath m;
    if (msg_EventDebugPathDecode(ev->data, ev->length, &m) != 0) return;
    constexpr int32_t SERVER_PATHS = 1;
    DbgDebugObject* path = dbg_DebugObjectFind(SERVER_PATHS, (int32_t)m.key);
    if (m.remove) {
        if (path) dbg_DebugObjectDestroy(path);
        return;
    }
    // A full store makes no path and takes no point.
    if (!path) path = dbg_DebugObjectCreate(SERVER_PATHS, (int32_t)m.key, m.colour);
    if (!path) return;
    FixWorldPos at = WorldOf(m.position);
    dbg_DebugObjectAddCoord(path, &at);
}

}  // namespace

int32_t Client_BulletAdvanceFrames(uint16_t stamp) {
    // The 16-bit stamps wrap; a stale or forged stamp moves the bullet no
    // further than the cap.
    int32_t d = std::abs((int32_t)(int16_t)(uint16_t)((uint32_t)Client.lastServerFrame - stamp));
    return d > BULLET_ADVANCE_MAX ? BULLET_ADVANCE_MAX : d;
}

// ---- Detaching ----

void Client_ObjectDetach(ObjectRecord* o) {
    if (!o) return;
    o->copyFlags = 0;
    o->linger = (int16_t)DETACHED_LINGER;
    if (o->soundSource) {
        mix_SourceRemove(o->soundSource);
        o->soundSource = 0;
    }
    obj_TargetCandidateRemove(o);
    ObjectRecord* p = Client_PlayerObject;
    if (!p || p->target != o) return;
    p->target = nullptr;
    // The views that watched it look at the last explosion's place, or the
    // default view takes over.
    for (int32_t i = 0; i < VIEW_MODE_COUNT; i++)
        if (view_ModeTable[i].viewedObject == o) view_ModeTable[i].viewedObject = nullptr;
    if (!g_lastExplosion.set) view_ModeRequest(VIEW_MODE_DEFAULT);
    obj_ReferencesReplace(o, nullptr);
}

// ---- Dispatch ----

void Client_EventWorld(const MsgRecord* ev) {
    switch (ev->type) {
    case EVENT_DEBRIS: OnDebris(ev); break;
    case EVENT_AIREXPLODE: OnExplosion(ev, false); break;
    case EVENT_GRNDEXPLODE: OnExplosion(ev, true); break;
    case EVENT_BEENHIT: OnBeenHit(ev); break;
    case EVENT_BEENKILLED: OnBeenKilled(ev); break;
    case EVENT_SMALLEXPLODE: OnSimpleBlast(ev, 17, [](const FixWorldPos* p) { fx_SmallExplosion(p); }); break;
    case EVENT_BULLET: OnBullet(ev); break;
    case EVENT_SCORES: OnScores(ev); break;
    case EVENT_ECMDROP: OnEcmDrop(ev); break;
    case EVENT_GRNDEXPLODE_SM: OnGroundExplodeSmall(ev); break;
    case EVENT_STATICMODIFY: OnStaticModify(ev); break;
    case EVENT_BOMBEXPLODE: OnSimpleBlast(ev, 16, fx_BombBlast); break;
    case EVENT_FLAK: OnFlak(ev); break;
    case EVENT_RADARDIE: OnRadarDie(ev); break;
    case EVENT_RADARCHANGE: OnRadarChange(ev); break;
    case EVENT_CTF_OVER: OnGameOver(ev, &Client_PlayerDisplayRecords.ctfResult, 10); break;
    case EVENT_DM_OVER: OnGameOver(ev, &Client_PlayerDisplayRecords.dmResult, 11); break;
    case EVENT_PLAYERRESET: OnPlayerReset(ev); break;
    case EVENT_EXPLODE_FX: OnSimpleBlast(ev, 21, fx_WideBlast); break;
    default: break;
    }
}

void Client_EventFlight(const MsgRecord* ev) {
    switch (ev->type) {
    case EVENT_TEXT: OnText(ev); break;
    case EVENT_NAME: OnName(ev); break;
    case EVENT_LEVEL_RESET: OnLevelReset(ev); break;
    case EVENT_SQUADRON: OnSquadron(ev); break;
    case EVENT_SQUADJOIN: OnSquadJoin(ev); break;
    case EVENT_DYMANIC_MODEL: OnDynamicModel(ev); break;
    case EVENT_DEBUGPATH: OnDebugPath(ev); break;
    default: break;
    }
}

void Client_PlayerNamesFree(void) {
    for (PlayerTableEntry& e : player_Table) e.squadron = 0xFFFF;
}
