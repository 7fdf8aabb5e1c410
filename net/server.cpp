#include "net/server.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/math.h"
#include "base/mem.h"
#include "base/text.h"
#include "base/units.h"
#include "cockpit/tacmap.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"
#include "input/ekey.h"
#include "net/bridge.h"
#include "net/client.h"
#include "net/censor.h"
#include "net/console.h"
#include "net/driver.h"
#include "net/msg.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "platform/winmsg.h"
#include "shell/appstr.h"
#include "shell/cursor.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/ai.h"
#include "sim/flight.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/trig.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/pak.h"
#include "world/terrain.h"

ServerRecord Server;
PlayerSlot* ServerPlayerPtr = nullptr;
ObjectRecord* ServerPlayerObject = nullptr;
int32_t Server_Paused = 0;
int32_t Server_Victory = 0;
int32_t Server_Hold = 0;
int32_t Server_LevelRequest = 0;
int32_t Server_LineMode = 0;
char Server_Line[512];
int32_t Server_F12Toggle = 0;

const AppStateRecord Server_DedicatedState = {Server_Start, Server_StateFrame, Server_StateDraw, Server_Stop, 0};

namespace {

int32_t g_slot = -1;          // index of ServerPlayerPtr
char g_startTime[40];

bool LocalPlayer(void) { return level_GameMode.sharedProcess != 0; }
bool NetworkGame(void) { return !level_GameMode.singlePlayer; }

PlayerSlot* SlotAt(int32_t i) {
    if (!Server.player || i < 0 || i >= SERVER_PLAYERS) return nullptr;
    return &Server.player[i];
}

FixWorldPos WorldOf(const FixVec3& v) { return FixWorldPos{(uint32_t)v.x, (uint32_t)v.y, (uint32_t)v.z}; }

void SlotLog(const char* what, int32_t slot) { plat_SimLog("slot", "%s %d", what, slot); }

}  // namespace

// ---- Start, frame, draw, stop ----

int32_t Server_RecordCreate(void) {
    memset(&Server, 0, sizeof Server);
    ServerPlayerPtr = nullptr;
    ServerPlayerObject = nullptr;
    g_slot = -1;
    Server.anchor = mem_AllocEx(0, 4, "Server Anchor");
    Server_LoadRingClear();
    Server.player = static_cast<PlayerSlot*>(mem_AllocEx(sizeof(PlayerSlot) * SERVER_PLAYERS, 4, "Player Buffer"));
    Server.send_buffer_ptr = static_cast<uint8_t*>(mem_AllocEx(SERVER_SEND_BUFFER_SIZE, 4, "Server.send_buffer_ptr"));
    Server.send_buffer_size = 0;
    Server.tmpTags = static_cast<uint32_t*>(mem_AllocEx(SERVER_TMP_BUFFER_SIZE, 4, "Server TMP Buffer"));
    if (!Server.player || !Server.send_buffer_ptr || !Server.tmpTags) {
        if (Server.anchor) mem_FreeFrom(Server.anchor);
        memset(&Server, 0, sizeof Server);
        return -1;
    }
    memset(Server.player, 0, sizeof(PlayerSlot) * SERVER_PLAYERS);
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) Server.player[i].squadron = 0xFFFF;
    Server_EventPoolCreate();
    Server.objectSerial = 0xFFFFFFFFu;  // the last static serial: none yet
    // Until the level sets the timing: single-player values.
    Server.updateInterval = 2;
    Server.updateMask = 1;
    Server.extrapolationShift = 1;
    Server.running = 1;
    return 0;
}

void Server_LocalGameNumberSet(int32_t gameNumber) {
    player_ApplicationId = (uint32_t)gameNumber;
    uint8_t* tarv = player_DescriptorBuffer + PLAYER_DESCRIPTOR_CHUNKS;
    if (memcmp(tarv, "TARV", 4) != 0) return;
    for (int32_t i = 0; i < 4; i++) tarv[8 + i] = (uint8_t)(player_ApplicationId >> (8 * i));
}

void Server_Start(void) {
    Server_Paused = 0;
    Server_Victory = 0;
    Server_LineMode = 0;
    Server_Line[0] = 0;
    Server_F12Toggle = 0;
    Server_Hold = 0;
    Server_LevelRequest = 0;
    Server_PlaneCountersClear();
    model_DymodFreeAll(&model_ServerDymods);

    int32_t gameNumber = 0;
    if (app_Settings.CONNECT_AGENT == -1 || app_Settings.CONNECT_AGENT == -2)
        gameNumber = math_RandomRange(1000, 9999);

    if (Server_RecordCreate() != 0) {
        plat_SimLog("server", "start failed");
        Client_FlightState = 1;
        return;
    }
    Server.gameNumber = gameNumber;
    if (LocalPlayer()) Server_LocalGameNumberSet(gameNumber);
    Server_SelectRules();
    level_LoadServer();
    if (level_GameMode.singlePlayer) {
        Server.updateInterval = 2;
        Server.updateMask = 1;
        Server.extrapolationShift = 1;
    } else {
        Server.updateInterval = 16;
        Server.updateMask = 15;
        Server.extrapolationShift = 4;
    }
    Server.frame = 1;
    Server.framesWithPlayers = 0;
    Server.framesWithoutPlayers = 0;
    if (!LocalPlayer()) {
        if (level_GameMode.display) {
            level_PaletteFadeOut(level_PaletteCopy, 16);
            Server.fadeInPending = 1;
        }
        for (int32_t i = 0; i < 2; i++) {
            Server.stats[i] = static_cast<int32_t*>(mem_AllocEx(32 * 4, 4, "Server statistics"));
            if (Server.stats[i]) memset(Server.stats[i], 0, 32 * 4);
        }
        app_CursorShowAll();
    }
    Server_ChatLogCreate(LocalPlayer() ? 0 : 24);
    sys_LocalTimeGet(&Server_StartTime);
    sys_DateTimeFormat(g_startTime, sizeof g_startTime, &Server_StartTime);
    if (level_GameMode.hosting && NetworkGame()) {
        Server_AnnounceOpen();
        Server_AnnounceRefresh();
    }
    plat_SimLog("server", "start mode=%s interval=%d", level_GameMode.singlePlayer ? "single"
                                                        : LocalPlayer()           ? "host"
                                                                                  : "dedicated",
                Server.updateInterval);
}

void Server_PlayersStep(void) {
    if (!Server.player) return;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        PlayerSlot* s = &Server.player[i];
        if (!s->inUse) continue;
        s->framesSince++;
        ObjectRecord* a = s->aircraft;
        if (a) {
            // The record keeps its motion as a direction scaled by the speed.
            a->position.x += (uint32_t)(((int64_t)a->velocity.x * a->speed) >> 16);
            a->position.y += (uint32_t)(((int64_t)a->velocity.y * a->speed) >> 16);
            a->position.z += (uint32_t)(((int64_t)a->velocity.z * a->speed) >> 16);
            // Angles stay 25-bit fractions of a turn.
            a->angles.heading = (int32_t)(((uint32_t)a->angles.heading + (uint32_t)a->rates.heading) & 0x1FFFFFF);
            a->angles.pitch = (int32_t)(((uint32_t)a->angles.pitch + (uint32_t)a->rates.pitch) & 0x1FFFFFF);
            a->angles.roll = (int32_t)(((uint32_t)a->angles.roll + (uint32_t)a->rates.roll) & 0x1FFFFFF);
            if ((a->aiClass & 1) && s->countdown) {
                if (--s->countdown == 0) {
                    const char* text = app_StringGet(563);
                    Server_CallSendText(text ? text : "", SERVER_TO_PLAYER, i, 1);
                }
            }
        }
        if (s->chatFlood > 0) s->chatFlood--;
        s->frameCount++;
    }
}

void Server_WorldStep(void) {
    // The level links its objects into its own head of the server object
    // list; the server walks and flushes the same list.
    Server.objects = level_ServerTables.objectList;
    bool held = level_GameMode.singlePlayer && Server_Paused;
    if (!held && !Server_Hold) {
        trig_CounterTick();
        for (ObjectRecord* o = Server.objects; o; o = o->next)
            if (o->think) o->think(o);
        for (ObjectRecord* o = Server.objects; o; o = o->next)
            if (o->secondPass) o->secondPass(o);
    }
    DcbPool* group = &level_ServerArrays.player;
    net_DcbPoolFlushRemovals(group, &Server.objects);
    net_DcbPoolFlushAdditions(group, &Server.objects);
    level_ServerTables.objectList = Server.objects;
}

void Server_ReceiveAll(void) {
    if (!Server.player) return;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++)
        if (Server.player[i].inUse) Server.player[i].dataReceived = 0;
    if (!LocalPlayer()) Server_ReceiveLoad = 0;
    for (int32_t n = 0; n < SERVER_RECEIVE_PER_FRAME; n++) {
        size_t size = 0;
        int32_t sender = 0;
        const uint8_t* p = net_ReceivePacket(0, &size, &sender);
        if (!p) break;
        int32_t slot = Server_SlotOfSender(sender);
        if (slot >= 0) Server_ParsePacket(p, size, slot);
        Server_ReceiveLoad++;
    }
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        PlayerSlot* s = &Server.player[i];
        if (s->inUse && s->dataReceived) {
            s->dataReceived = 0;
            s->expectedFrames += Server.updateInterval;
        }
    }
}

namespace {

// The dedicated server's keys; 1 when Escape ended the game.
int32_t ConsoleKeys(void) {
    if (Server_LineMode) {
        if (ekey_PressedTable[VK_ESCAPE]) {
            Server_LineMode = 0;
        } else if (ekey_PressedTable[VK_RETURN]) {
            switch (Server_LineMode) {
            case 1: Server_ConsoleCommand(Server_Line); break;
            case 2: Server_CallSendText(Server_Line, SERVER_TO_ALL, 0, 1); break;
            case 3: Server_CallSendText(Server_Line, SERVER_TO_SIDE, 0, 1); break;
            case 4: Server_CallSendText(Server_Line, SERVER_TO_SIDE, 1, 1); break;
            default: break;
            }
            Server_Line[0] = 0;
            Server_LineMode = 0;
        } else if (ekey_PressedTable[VK_F12]) {
            Server_F12Toggle ^= 1;
        } else {
            // The characters typed this frame; backspace comes as a key.
            bool erased = false;
            for (int32_t i = 0; i < ekey_LineLength && ekey_Line[i]; i++) {
                erased |= ekey_Line[i] == '\b';
                Server_ConsoleEditLine((unsigned char)ekey_Line[i]);
            }
            if (ekey_PressedTable[VK_BACK] && !erased) Server_ConsoleEditLine('\b');
        }
        return 0;
    }
    if (ekey_PressedTable[VK_ESCAPE]) {
        Client_FlightState = 1;
        plat_SimLog("server", "escape frame=%u", Server.frame);
        return 1;
    }
    if (ekey_PressedTable['V'] && ekey_StateTable[VK_CONTROL]) {
        otw_SetDisplayMode(OTW_MODE_WINDOWED, 0, 0, 0, !vid_State.windowed, 0);
        level_PaletteApply();
        pal_BuildHighColourTables();
    } else if (ekey_PressedTable[VK_F3] || ekey_PressedTable[VK_F4] || ekey_PressedTable[VK_F5] ||
               ekey_PressedTable[VK_F6]) {
        // F3 a console command, F4 a line to all, F5 and F6 to a side.
        Server_LineMode = ekey_PressedTable[VK_F3] ? 1 : ekey_PressedTable[VK_F4] ? 2 : ekey_PressedTable[VK_F5] ? 3 : 4;
        Server_Line[0] = 0;
    } else if (ekey_PressedTable[VK_F1]) {
        Server_PeakPlayersReset();
    } else if (ekey_PressedTable[VK_F2]) {
        for (uint32_t id : {617u, 618u}) {
            const char* text = app_StringGet(id);
            if (text) Server_CallSendText(text, SERVER_TO_ALL, 0, 1);
        }
        Server_Victory = 1;
    }
    return 0;
}

}  // namespace

int32_t Server_Frame(void) {
    if (!Server.running) return Client_FlightState != 0;
    Server_RulesFrame();
    Server_PlayersStep();
    Server_WorldStep();
    Server_ReceiveAll();
    Server_SendPlayers();
    Server.frame++;
    if (Server.playerCount > 0)
        Server.framesWithPlayers++;
    else
        Server.framesWithoutPlayers++;
    if (!LocalPlayer()) {
        Server_StatsFrameEnd();
        Server.statsIndex = (int32_t)(Server.frame & 31);
        if (ConsoleKeys()) return 1;
    }
    if ((Server.frame & 0x3FF) == 0) Server_AnnounceRefresh();
    Server_WindowTitleUpdate();
    if (Server_LevelRequest == 1 || Server_LevelRequest == 2) {
        if (Server_LevelRequest == 2 && LocalPlayer()) tacmap_StartTextShow();
        level_StartSequence();
        Server_LevelRequest = 0;
        Server.runNumber++;
        plat_SimLog("server", "run %u", Server.runNumber);
    }
    return Client_FlightState != 0;
}

int32_t Server_StateFrame(void) { return Server_Frame(); }

void Server_StateDraw(void) {
    if (LocalPlayer() || !Server.running) return;
    if ((Server.frame & 31) == 0) Server_StatusDraw();
    if (Server.fadeInPending) {
        Server.fadeInPending = 0;
        if (level_GameMode.display) level_PaletteFadeIn(level_PaletteCopy, 32);
    }
}

void Server_Stop(void) {
    Server_AnnounceDelete();
    Server_ChatLogFree();
    level_WaitTicks();
    level_PalrefRelease();
    level_TablesClear();
    uint32_t frames = Server.frame;
    Server_PlayersFree();
    plat_SimLog("server", "sent packets=%u", Server_PacketsSent);
    if (Server.anchor) mem_FreeFrom(Server.anchor);
    memset(&Server, 0, sizeof Server);
    ServerPlayerPtr = nullptr;
    ServerPlayerObject = nullptr;
    g_slot = -1;
    app_Runner.nextState = app_Runner.followOn1;
    Client_FlightState = 0;
    if (NetworkGame()) net_DriverGameClose();
    pal_SelectMatcher(0);
    mem_Heap2Reset();
    if (!LocalPlayer()) {
        if (level_GameMode.display) level_PaletteFadeOut(level_PaletteCopy, 16);
        Server_AnnounceClose();
    }
    pak_UnloadAll();
    model_DymodFreeAll(&model_ServerDymods);
    // Key 0 is every block nobody owns (the display's among them).
    if (level_OwnerKey) mem_GlobalFreeByOwner(level_OwnerKey);
    plat_SimLog("server", "stop frames=%u", frames);
}

// ---- Lookups ----

ObjectRecord* Server_FindPlayerById(uint32_t id) {
    for (ObjectRecord* o = Server.objects; o; o = o->next)
        if (o->serial == id) return o;
    return nullptr;
}

ObjectRecord* Server_FindPlayerByNetId(uint32_t netId) {
    for (ObjectRecord* o = Server.objects; o; o = o->next)
        if (o->netId == netId) return o;
    return nullptr;
}

ObjectRecord* Server_FindObjectAt(int32_t x, int32_t z) {
    ObjectRecord** heads = depth_Level.staticHeads;
    if (!heads) return nullptr;
    // Negative coordinates would index before the grid: mask them into it.
    uint32_t ux = (uint32_t)x, uz = (uint32_t)z;
    uint32_t cell = ((uz >> OBJ_GRID_SHIFT) & (OBJ_GRID_SIZE - 1)) * OBJ_GRID_SIZE +
                    ((ux >> OBJ_GRID_SHIFT) & (OBJ_GRID_SIZE - 1));
    for (ObjectRecord* o = heads[cell]; o; o = o->freeLink)
        if (o->position.x == ux && o->position.z == uz) return o;
    return nullptr;
}

int32_t Server_TakeStore(int32_t weaponType) {
    PlayerSlot* s = ServerPlayerPtr;
    if (!s) return -1;
    if (weaponType < 0 || weaponType >= SIM_WEAPON_TYPES) return -1;
    // A remote client's flags are not trusted in a network game.
    if ((s->playerFlags & SLOT_FLAG_UNLIMITED_STORES) && !(NetworkGame() && s->remote)) return 0;
    return plane_DecrementStore(&s->block, weaponType) == 0 ? 0 : -1;
}

int32_t Server_SlotOfSender(int32_t sender) {
    if (!Server.player) return -1;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        const PlayerSlot* s = &Server.player[i];
        if (!s->inUse) continue;
        if (sender == NET_SENDER_LOCAL ? s->remote == 0 : (s->remote && s->netPlayerId == (uint32_t)sender))
            return i;
    }
    return -1;
}

// ---- Duplicate check and player data ----

int32_t Server_MessageTagCheck(uint32_t tag) {
    PlayerSlot* s = ServerPlayerPtr;
    if (Server.tmpTags && Server.tmpCount < SERVER_SCRATCH_TAGS) Server.tmpTags[Server.tmpCount++] = tag;
    if (!s) return 1;
    if (s->confirmTags && s->confirmCount < SERVER_SLOT_TAGS) s->confirmTags[s->confirmCount++] = tag;
    if (s->blocked) return 1;
    uint32_t n = s->receivedCount < SERVER_SLOT_TAGS ? s->receivedCount : SERVER_SLOT_TAGS;
    if (!s->receivedTags) n = 0;
    for (uint32_t i = 0; i < n; i++)
        if (s->receivedTags[i] == tag) return 1;
    return 0;
}

namespace {

// Wrapped difference of two 25-bit angles (object angles), sign-extended:
// both are taken to the top of 32 bits, subtracted, and brought back.
int32_t AngleDelta25(int32_t reported25, int32_t current25) {
    uint32_t d = ((uint32_t)reported25 << 7) - ((uint32_t)current25 << 7);
    return (int32_t)d >> 7;
}

int32_t Scale(int64_t value, int32_t k) { return (int32_t)((value * k) >> 16); }

}  // namespace

void Server_OnPlayerData(const uint8_t* record, size_t size, int32_t slot) {
    MsgPlayerData m;
    PlayerSlot* s = SlotAt(slot);
    if (!s || msg_PlayerDataDecode(record, size, &m) != 0) return;
    ServerPlayerPtr = s;
    ServerPlayerObject = s->aircraft;
    g_slot = slot;
    s->lastDataTick = app_TickCount.load(std::memory_order_relaxed);
    s->playerFlags = m.playerFlags;
    s->reportedRun = m.runNumber;
    if (s->restartRequest) Server_PlayerRestart(slot);
    if (m.runNumber != Server.runNumber || m.frame <= s->lastSequence) return;
    s->lastSequence = m.frame;
    s->dataReceived = 1;
    int32_t n = s->expectedFrames - (int32_t)s->framesSince;
    int32_t interval = Server.updateInterval > 0 ? Server.updateInterval : 1;
    int32_t k;
    if (n > 7 && n < 25) {
        k = 65536 / n;
    } else {
        k = 65536 / interval;
        s->framesSince = 0;
        s->expectedFrames = interval;
    }
    s->viewReference = FixVec3{(int32_t)m.eye[0] * 65536, (int32_t)m.eye[1] * 65536, (int32_t)m.eye[2] * 65536};
    ObjectRecord* a = s->aircraft;
    if (!a) return;
    a->velocity.x = Scale((int32_t)((uint32_t)m.position.x - a->position.x), k);
    a->velocity.y = Scale((int32_t)((uint32_t)m.position.y - a->position.y), k);
    a->velocity.z = Scale((int32_t)((uint32_t)m.position.z - a->position.z), k);
    flight_SpeedFromVelocity(a);
    a->rates.heading = Scale(AngleDelta25(m.angles.heading, a->angles.heading), k);
    a->rates.pitch = Scale(AngleDelta25(m.angles.pitch, a->angles.pitch), k);
    a->rates.roll = Scale(AngleDelta25(m.angles.roll, a->angles.roll), k);
    a->aiClass = m.category;
    a->stateFlags = m.status;
    a->missionWord = (int32_t)m.aux;
    s->aux = m.aux;
    if (m.target) {
        ObjectRecord* t = Server_FindPlayerById(m.target);
        a->target = t;
        if (t && t != s->lastTarget) {
            s->lastTarget = t;
            ai_PostKillEvents(a, t);
            ai_ReactToThreat(t, a);
            trig_Event = TriggerEvent{6, 0, 1, t->missionObject, 0, 0};
            trig_PostEvent();
        }
    }
    if (m.aimMode && a->target && (a->target->targetClass & OBJ_TARGET_AIR_COMBAT)) a->target->drawFlags |= 4;
    if (m.sightFlag) {
        s->markerFlag = m.sightFlag;
        s->markerPosition = m.sight;
    } else {
        s->markerFlag = 0;
    }
}

// ---- Message handlers ----

namespace {

// A hit of the sender's aircraft on the target, through its damage routine.
void HitWith(ObjectRecord* target) {
    if (!target || !target->hit) return;
    sim_HitRecord.hitter = ServerPlayerObject;
    sim_HitRecord.damage = 80;
    sim_HitRecord.scale = 0x10000;
    sim_HitRecord.debris = 0;
    sim_HitRecord.weaponType = 0;
    target->hit(target);
}

// EVENT_SCORES to the players of the kind.
void ScoresTo(int32_t kind, int32_t target) {
    Server_OutgoingEvent.kind = kind;
    Server_OutgoingEvent.target = target;
    Server_QueueScores();
}

bool AircraftAlive(void) { return ServerPlayerObject && ServerPlayerObject->hitPoints > 0; }

// Bounded copy of a text field of a record into a terminated line.
void TextCopy(char* out, size_t outSize, const char* in, size_t inSize) {
    size_t n = 0;
    while (n < inSize && n + 1 < outSize && in[n]) {
        out[n] = in[n];
        n++;
    }
    out[n] = 0;
}

void OnChat(const MsgRecord* r) {
    MsgChat m;
    if (msg_ChatDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    PlayerSlot* s = ServerPlayerPtr;
    if (s->chatFlood > 0) {
        s->chatFlood += SERVER_CHAT_FLOOD_FRAMES;
        return;
    }
    s->chatFlood += SERVER_CHAT_FLOOD_FRAMES;
    char text[sizeof m.text + 1];
    TextCopy(text, sizeof text, m.text, sizeof m.text);
    if (chat_CensorCheck(text)) {
        const char* refusal = app_StringGet(619);
        if (refusal) Server_CallSendText(refusal, SERVER_TO_PLAYER, g_slot, 1);
        return;
    }
    if (m.mode == 1)
        Server_CallSendText(text, SERVER_TO_SIDE, s->side, 1);
    else
        Server_CallSendText(text, SERVER_TO_ALL, 0, 1);
}

// Most frames a bullet is advanced for the sender's latency.
constexpr int32_t BULLET_LATENCY_MAX = 32;

void OnBulletFired(const MsgRecord* r) {
    MsgBullet m;
    if (msg_BulletFiredDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (!ServerPlayerObject) return;
    ObjectRecord* b = net_DcbPoolTake(&level_ServerArrays.common);
    if (!b) return;
    b->position = WorldOf(m.position);
    b->velocity = m.velocity;
    b->angles = m.angles;
    weapon_SetCurrentType(0);
    weapon_InitBullet(b);
    b->owner = ServerPlayerObject;
    // The frame difference wraps at 16 bits; a wild one is clamped.
    int32_t d = (int16_t)(uint16_t)((ServerPlayerPtr->lastSequence & 0xFFFF) - m.frame);
    if (d < 0) d = -d;
    if (d > BULLET_LATENCY_MAX) d = BULLET_LATENCY_MAX;
    int64_t step = (int64_t)d * 2 * b->speed;
    b->position.x += (uint32_t)(((int64_t)b->velocity.x * step) >> 16);
    b->position.y += (uint32_t)(((int64_t)b->velocity.y * step) >> 16);
    b->position.z += (uint32_t)(((int64_t)b->velocity.z * step) >> 16);
    b->serverFlags |= OBJ_SERVER_NO_SEND;
    Server_QueueBullet(b, m.weaponType, m.flag);
    Client_PoolLinkToOwner(b);
}

void OnBulletHit(const MsgRecord* r) {
    MsgBulletHit m;
    if (msg_BulletHitDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    HitWith(Server_FindPlayerById(m.target));
}

void LaunchDone(ObjectRecord* weapon) {
    if (weapon) weapon->serverFlags |= OBJ_SERVER_CREATED;
    ServerPlayerObject->target = nullptr;
}

void OnLaunchMissile(const MsgRecord* r) {
    MsgLaunchMissile m;
    if (msg_LaunchMissileDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if ((int32_t)m.weaponType < 0 || m.weaponType >= (uint32_t)SIM_WEAPON_TYPES) return;
    if (!AircraftAlive() || Server_TakeStore((int32_t)m.weaponType) != 0) return;
    ObjectRecord* a = ServerPlayerObject;
    ObjectRecord* target = nullptr;
    if (m.byPosition & 1)
        target = Server_FindObjectAt(m.targetPosition.x, m.targetPosition.z);
    else if (m.target)
        target = Server_FindPlayerById(m.target);
    a->target = target;
    weapon_LaunchRecord.position = m.launchPoint;
    weapon_LaunchRecord.value[0] = (int32_t)m.weaponWords[0];
    weapon_LaunchRecord.value[1] = (int32_t)m.weaponWords[1];
    weapon_SetCurrentType((int32_t)m.weaponType);
    LaunchDone(weapon_LaunchMissileObject(a));
}

void OnLaunchBomb(const MsgRecord* r) {
    MsgLaunchBomb m;
    if (msg_LaunchBombDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (m.weaponType >= SIM_WEAPON_TYPES) return;
    if (!AircraftAlive() || Server_TakeStore(m.weaponType) != 0) return;
    weapon_LaunchRecord.position = m.launchPoint;
    weapon_SetCurrentType(m.weaponType);
    FixWorldPos aim = WorldOf(m.aimPoint);
    LaunchDone(weapon_LaunchBombObject(ServerPlayerObject, m.hasAimPoint ? &aim : nullptr));
}

void OnJettison(const MsgRecord* r) {
    MsgJettisonWeapon m;
    if (msg_JettisonWeaponDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (m.weaponType >= (uint32_t)SIM_WEAPON_TYPES) return;
    if (!AircraftAlive() || Server_TakeStore((int32_t)m.weaponType) != 0) return;
    weapon_LaunchRecord.position = m.launchPoint;
    weapon_SetCurrentType((int32_t)m.weaponType);
    LaunchDone(weapon_SpawnReleasedStore(ServerPlayerObject));
}

void Stop(ObjectRecord* a) {
    a->velocity = FixVec3{0, 0, 0};
    a->rates = FixAngles{0, 0, 0};
    a->speed = 0;
}

void OnPlayerReset(const MsgRecord* r) {
    MsgPlayerReset m;
    if (msg_PlayerResetDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    ObjectRecord* a = ServerPlayerObject;
    PlayerSlot* s = ServerPlayerPtr;
    if (!a) return;
    if (m.flags & 1) {
        a->hitPoints = 0x400;
        // Its death took it off the type list in single player: back in the
        // world, it is found by the searches again.
        obj_TypeListPush(a);
    }
    if (m.flags & 4) s->block = s->stored[s->squadron == 1 ? 1 : 0];
    if (m.flags & 8) {
        a->position = WorldOf(m.position);
        Stop(a);
        Server_RulesReset(g_slot);
    }
    // The range is taken around the aircraft; the event itself carries no
    // position.
    FixWorldPos at = a->position;
    Server_CallQueueEvent(EVENT_PLAYERRESET, a->serial, &at, SERVER_IN_RANGE | SERVER_NO_POSITION, g_slot,
                          0x4A380000u, 0x400);
}

void OnPlayerCrash(const MsgRecord* r) {
    MsgPlayerPosition m;
    if (msg_PlayerCrashDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    ObjectRecord* a = ServerPlayerObject;
    if (!a) return;
    a->position = WorldOf(m.position);
    Stop(a);
    Server_CallQueueEvent(EVENT_GRNDEXPLODE, a->serial, &a->position, SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT, g_slot,
                          0x3E580000u, 4);
    Server_CrashTextSend();
    Server_RulesDeath(g_slot);
    Server_ClearTargetsOf(a);
}

void OnEcmDrop(const MsgRecord* r) {
    MsgEcmDrop m;
    if (msg_EcmDropDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    FixWorldPos at{(uint32_t)((int32_t)m.x * 65536), (uint32_t)((int32_t)m.y * 65536), (uint32_t)((int32_t)m.z * 65536)};
    Server_CallQueueEvent(EVENT_ECMDROP, m.kind, &at, SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT, g_slot, 0x2F80000u, 2);
    if (!ServerPlayerObject) return;
    weapon_LaunchRecord.position = FixVec3{(int32_t)at.x, (int32_t)at.y, (int32_t)at.z};
    weapon_DecoySpawn.silent = 1;
    ObjectRecord* o = m.kind == 0 ? weapon_FlareCreate(ServerPlayerObject) : weapon_ChaffCreate(ServerPlayerObject);
    if (o) o->serverFlags |= OBJ_SERVER_NO_SEND;
}

void OnPlayerTrig(const MsgRecord* r) {
    MsgPlayerTrig m;
    if (msg_PlayerTrigDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (m.value == 5) ai_TriggerKind5Action(ServerPlayerObject);
    if (m.value == 4) ai_TriggerKind4Action(ServerPlayerObject);
    trig_Event = TriggerEvent{6, 0, m.value, m.trigger, 0, 0};
    trig_PostEvent();
}

void OnBulletHitStatic(const MsgRecord* r) {
    MsgBulletHitStatic m;
    if (msg_BulletHitStaticDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    ObjectRecord* t = Server_FindObjectAt(m.position.x, m.position.z);
    if (!t) return;
    if (NetworkGame() && ServerPlayerObject && (t->side & ServerPlayerObject->side & 0x0C)) return;
    HitWith(t);
}

void OnWingCommand(const MsgRecord* r) {
    MsgWord m;
    if (msg_WingCommandDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (m.value >= SIM_WING_COMMANDS || !ServerPlayerObject) return;
    plane_WingmanOrder(ServerPlayerObject, m.value);
}

void OnPlayerType(const MsgRecord* r) {
    MsgWord m;
    if (msg_PlayerTypeDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    PlayerSlot* s = ServerPlayerPtr;
    s->squadron = m.value;
    if (s->playerId < (uint32_t)PLAYER_TABLE_SIZE) player_Table[s->playerId].squadron = m.value;
    s->block = s->stored[m.value == 0 ? 0 : 1];
    Server_CallSendName(g_slot);
    const char* format = app_StringGet(m.value == 0 ? 770 : 771);
    if (!format) return;
    char text[160];
    text_Format(format, text, sizeof text, s->name ? s->name : "");
    Server_CallSendText(text, SERVER_TO_SIDE, s->side, 1);
}

void OnMidair(const MsgRecord* r) {
    MsgPlayerPosition m;
    if (msg_MidairDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (Server_NoCollision) return;
    FixWorldPos at = WorldOf(m.position);
    Server_CallQueueEvent(EVENT_AIREXPLODE, 0, &at, SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT, g_slot, 0x3E580000u,
                          0x400);
    PlayerSlot* s = ServerPlayerPtr;
    if (Server_NoDamage || Server_SlotNoDamage(s)) return;
    ObjectRecord* a = ServerPlayerObject;
    if (!a) return;
    Server_TargetsForget(a);
    if (a->hitPoints > 0) {
        a->hitPoints = 0;
        s->score--;
        Server_RulesScore(g_slot);
        ScoresTo(SERVER_TO_ALL, 0);
    }
}

void OnStartupConfirm(const MsgRecord* r) {
    MsgStartupConfirm m;
    if (msg_StartupConfirmDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    PlayerSlot* s = ServerPlayerPtr;
    if (m.number != s->startupSerial) return;
    s->startupPending = 0;
    s->active = 1;
    ScoresTo(SERVER_TO_PLAYER, g_slot);
    SlotLog("active", g_slot);
}

void OnSquadRequest(const MsgRecord* r) {
    MsgSquadRequest m;
    if (msg_SquadRequestDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (!tacmap_SquadronBuffer) return;
    char name[sizeof m.name + 1], password[sizeof m.password + 1];
    TextCopy(name, sizeof name, m.name, sizeof m.name);
    TextCopy(password, sizeof password, m.password, sizeof m.password);
    tacmap_SquadronJoin(ServerPlayerPtr, name, password);
    Server_CallSendName(g_slot);
}

void OnResponse(const MsgRecord* r) {
    MsgResponse m;
    if (msg_ResponseDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (m.kind == 2)
        Server_SquadronAnnounceNext(g_slot);
    else if (m.kind == 3 && m.value == Server.runNumber)
        ScoresTo(SERVER_TO_PLAYER, g_slot);
}

constexpr int32_t TANKER_LIFETIME = 2400;

void OnLaunchFuelPlane(const MsgRecord* r) {
    MsgLaunchFuelPlane m;
    if (msg_LaunchFuelPlaneDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    // A frame with a non-finite value would poison the tanker's flight.
    const float* v = &m.frame.pos.x;
    for (size_t i = 0; i < sizeof m.frame / sizeof(float); i++)
        if (!std::isfinite(v[i])) return;
    ObjectRecord* t = net_DcbPoolTake(&level_ServerArrays.ai);
    if (!t) return;
    // The record may have been a unit destroyed earlier in the game.
    obj_RecordClear(t);
    fix_FloatToWorld(&m.frame.pos, &t->position);
    t->frameCounter = TANKER_LIFETIME;
    t->think = weapon_TankerThink;
    t->draw = weapon_TankerDraw;
    t->target = nullptr;
    Client_PoolLinkToOwner(t);
}

void OnPlayerExploded(const MsgRecord* r) {
    MsgTagOnly m;
    if (msg_PlayerExplodedDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    Server_PlayerExploded();
}

void OnVictory(const MsgRecord* r) {
    MsgTagOnly m;
    if (msg_VictoryDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    if (level_GameMode.singlePlayer) return;
    if (app_Settings.HOST_GAME_TYPE == 0)
        Server_RulesDeathmatchEnd();
    else
        Server_RulesFlagEnd((int32_t)(ServerPlayerPtr->playerId & 1));
}

void OnConsoleCommand(const MsgRecord* r) {
    MsgConsoleCommand m;
    if (msg_ConsoleCommandDecode(r->data, r->length, &m) != 0 || Server_MessageTagCheck(m.tag)) return;
    // Only the player at this machine runs console commands.
    if (ServerPlayerPtr->remote) return;
    char line[sizeof m.text + 1];
    TextCopy(line, sizeof line, m.text, sizeof m.text);
    Server_ConsoleCommand(line);
}

void OnStaticConfirm(const MsgRecord* r) {
    MsgStaticConfirm m;
    if (msg_StaticConfirmDecode(r->data, r->length, &m) != 0) return;
    Server_ConfirmStatics(ServerPlayerPtr, m.batch);
}

void OnMsgConfirm(const MsgRecord* r) {
    MsgMsgConfirm m;
    if (msg_MsgConfirmDecode(r->data, r->length, &m) != 0) return;
    for (uint32_t i = 0; i < m.count; i++) {
        uint32_t tag;
        if (msg_MsgConfirmTag(r->data, r->length, i, &tag) != 0) return;
        Server_EventConfirmed(ServerPlayerPtr, tag);
    }
}

typedef void (*ServerHandler)(const MsgRecord* r);
struct ServerHandlerEntry {
    uint16_t type;
    ServerHandler handler;
    bool anyRun;  // housekeeping: whatever the client's level run
};
const ServerHandlerEntry kHandlers[] = {
    {MSG_CHAT, OnChat, true},
    {MSG_BULLETFIRED, OnBulletFired, false},
    {MSG_BULLETHIT, OnBulletHit, false},
    {MSG_LAUNCHMISSILE, OnLaunchMissile, false},
    {MSG_LAUNCHBOMB, OnLaunchBomb, false},
    {MSG_JETTISONWEAPON, OnJettison, false},
    {MSG_PLAYERRESET, OnPlayerReset, false},
    {MSG_PLAYERCRASH, OnPlayerCrash, false},
    {MSG_ECMDROP, OnEcmDrop, false},
    {MSG_PLAYERTRIG, OnPlayerTrig, false},
    {MSG_BULLETHIT_ST, OnBulletHitStatic, false},
    {MSG_WINGCOMMAND, OnWingCommand, false},
    {MSG_PLAYERTYPE, OnPlayerType, false},
    {MSG_MIDAIR, OnMidair, false},
    {MSG_STARTUPCONFIRM, OnStartupConfirm, true},
    {MSG_SQUADREQUEST, OnSquadRequest, true},
    {MSG_RESPONSE, OnResponse, true},
    {MSG_LAUNCH_FUELPLANE, OnLaunchFuelPlane, false},
    {MSG_PLAYER_EXPLODED, OnPlayerExploded, false},
    {MSG_VICTORY, OnVictory, false},
    {MSG_CONSOLECOMMAND, OnConsoleCommand, false},
    {MSG_STATICCONFIRM, OnStaticConfirm, false},
    {MSG_MSGCONFIRM, OnMsgConfirm, true},
};

}  // namespace

void Server_ParsePacket(const uint8_t* packet, size_t size, int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || !s->inUse || !packet) return;
    Server.tmpCount = 0;
    // Everything in the packet is the sender's, whatever record comes first.
    ServerPlayerPtr = s;
    ServerPlayerObject = s->aircraft;
    g_slot = slot;
    MsgWalker w;
    msg_WalkBegin(&w, packet, size);
    MsgRecord r;
    int32_t got;
    while ((got = msg_WalkNext(&w, &r)) == 1) {
        if (r.type == MSG_PLAYERDATA) {
            // The owner byte must name the sender's own slot.
            if (r.length < 23 || r.data[22] != (uint8_t)slot) return;
            Server_OnPlayerData(r.data, r.length, slot);
            continue;
        }
        for (const ServerHandlerEntry& e : kHandlers) {
            if (e.type != r.type) continue;
            if (e.anyRun || s->reportedRun == Server.runNumber) e.handler(&r);
            break;
        }
    }
    // A damaged packet keeps the records before the damage; their tags count
    // for the duplicate check of the next packet like any others.
    (void)got;
    if (!s->firstPacket) {
        s->firstPacket = 1;
        Server_SquadronAnnounceStart(slot);
    }
    uint32_t n = Server.tmpCount < SERVER_SLOT_TAGS ? Server.tmpCount : SERVER_SLOT_TAGS;
    if (!s->receivedTags) n = 0;
    if (n) memcpy(s->receivedTags, Server.tmpTags, n * sizeof(uint32_t));
    s->receivedCount = n;
}
