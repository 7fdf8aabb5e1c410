#include "net/client.h"

#include <cmath>
#include <cstring>

#include "base/mem.h"
#include "base/text.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "cockpit/vcursor.h"
#include "debug/console.h"
#include "debug/dbgobj.h"
#include "debug/dbgtext.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "input/ekey.h"
#include "input/ffb.h"
#include "input/inmap.h"
#include "input/inmapfile.h"
#include "net/bridge.h"
#include "net/chat.h"
#include "net/dcbpool.h"
#include "net/driver.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "render/object.h"
#include "render/render.h"
#include "render/particle.h"
#include "render/sky.h"
#include "shell/startup.h"
#include "render/view.h"
#include "shell/appstr.h"
#include "shell/cursor.h"
#include "shell/fatal.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/pose.h"
#include "sound/mix.h"
#include "sound/snd.h"
#include "sound/sndtrig.h"
#include "sound/speech.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/pak.h"

ClientRecord Client;
int32_t avion_LinkFlag = 0;

int32_t Client_PlayerObjectIndex = -1;
uint32_t Client_OptionWord = 0;
uint16_t Client_OwnPlayerNumber = 0;
uint32_t Client_OwnPlayerHigh = 0;
uint8_t Client_FlightState = 0;
int32_t Client_ExitResult = 0;
int32_t Client_LaunchStatus = 0;
int32_t Client_GameFlags[2] = {};
uint32_t Client_SquadronWord = 0;
uint32_t Client_TeamPlayWord = 0;
uint32_t Client_LevelRunNumber = 0xFFFFFFFFu;
uint8_t Client_CtfStart = 0;
ObjectRecord* Client_PlayerObject = nullptr;
uint8_t Client_PlayerBlock[0x54] = {};
int32_t Client_PlayerBlockTail[3] = {};
int32_t Client_PaletteFadeRequest = 0;
uint8_t Client_RequestByte = 0;
int32_t Client_RemoteGame = 0;
int32_t Client_EndRequest = 0;
uint8_t Client_PlayerFlags = 0;
uint8_t Client_AimMode = 0;

namespace {

bool Bridge(void) { return level_GameMode.sharedProcess != 0; }

constexpr uint32_t EXTERNAL_YAW_STEP = 0x8000;  // the follow view's look yaw, a frame
constexpr int32_t CHAT_SCREEN_STATE = 3;
constexpr uint32_t CLIENT_LOG_FRAMES = 256;  // a line of the copies and sounds every this many frames

// The two views whose camera is the external one.
bool ExternalView(void) {
    const int32_t mode = view_ModeCurrentGet();
    return mode == VIEW_MODE_FOLLOW || mode == VIEW_MODE_LOW_CHASE;
}

// The chat line takes the typing keys from its first frame on (it opens
// itself when it is first drawn).
bool TextInputOpen(void) {
    return chat_Active || render_ScreenStateCurrent == &render_ScreenStateTable[CHAT_SCREEN_STATE];
}

// The message kinds by type, 1..22, for traces.
uint16_t KindOf(uint16_t type) {
    static const uint16_t types[] = {MSG_CHAT,          MSG_BULLETFIRED,    MSG_BULLETHIT,   MSG_LAUNCHMISSILE,
                                     MSG_LAUNCHBOMB,    MSG_JETTISONWEAPON, MSG_PLAYERRESET, MSG_PLAYERCRASH,
                                     MSG_ECMDROP,       MSG_PLAYERTRIG,     MSG_BULLETHIT_ST, MSG_WINGCOMMAND,
                                     MSG_PLAYERTYPE,    MSG_MIDAIR,         MSG_STARTUPCONFIRM, MSG_SQUADREQUEST,
                                     MSG_RESPONSE,      MSG_LAUNCH_FUELPLANE, MSG_PLAYER_EXPLODED, MSG_VICTORY,
                                     MSG_CONSOLECOMMAND, MSG_STATICCONFIRM};
    for (uint16_t i = 0; i < sizeof types / sizeof types[0]; i++)
        if (types[i] == type) return (uint16_t)(i + 1);
    return 0;
}

// Queues a record the encoder writes into a fresh node; the tag is the
// node's serial. Dropped silently when no node is free or no client runs.
template <typename M, typename Enc>
void Queue(uint16_t type, M& m, Enc encode) {
    if (!Client.messagePool.block) return;
    ListNode* n = list_PoolTake(&Client.messagePool);
    if (!n) return;
    ClientQueuedMessage* q = reinterpret_cast<ClientQueuedMessage*>(n);
    m.tag = n->serial;
    LeSpanWriter w(q->record, sizeof q->record);
    if (encode(&w, &m) != 0) {
        list_PoolGiveBack(&Client.messagePool, n);
        return;
    }
    q->length = (uint16_t)w.pos;
    q->kind = KindOf(type);
    q->sendCount = msg_SendCount(type);
    q->source = Client_PlayerObject ? Client_PlayerObject->serial : 0;
    if (msg_AppendsAtTail(type))
        list_Append(&Client.sendQueue, n);
    else
        list_PushFront(&Client.sendQueue, n);
}

FixVec3 PlayerPosition(void) {
    if (!Client_PlayerObject) return FixVec3{};
    const FixWorldPos& p = Client_PlayerObject->position;
    return FixVec3{(int32_t)p.x, (int32_t)p.y, (int32_t)p.z};
}

void StartupHandler(const MsgRecord* r);
void PlayerInfoHandler(const MsgRecord* r);
void ConfirmHandler(const MsgRecord* r);

}  // namespace

// ---- Senders ----

void Client_SendChat(uint16_t mode, const char* text) {
    MsgChat m{};
    m.mode = mode;
    m.squadron = (uint16_t)Client_SquadronWord;
    text_CopyZ(m.text, text ? text : "", sizeof m.text);
    Queue(MSG_CHAT, m, msg_ChatEncode);
}

void Client_SendBulletFired(uint32_t bulletId, const FixWorldPos* position, const FixVec3* velocity,
                            const FixAngles* angles, uint8_t weaponType) {
    MsgBullet m{};
    m.id = bulletId;
    if (position) m.position = FixVec3{(int32_t)position->x, (int32_t)position->y, (int32_t)position->z};
    if (velocity) m.velocity = *velocity;
    if (angles) m.angles = *angles;
    m.frame = (uint16_t)Client.frame;
    m.weaponType = weaponType;
    Queue(MSG_BULLETFIRED, m, msg_BulletFiredEncode);
}

void Client_SendBulletHit(uint32_t target, uint32_t bulletId) {
    MsgBulletHit m{};
    m.target = target;
    m.bullet = bulletId;
    m.frame = (uint16_t)Client.frame;
    Queue(MSG_BULLETHIT, m, msg_BulletHitEncode);
}

void Client_SendLaunchMissile(uint32_t weaponType, uint32_t target, const FixVec3* launchPoint,
                              const uint32_t weaponWords[2], const FixVec3* targetPosition) {
    MsgLaunchMissile m{};
    m.weaponType = weaponType;
    if (launchPoint) m.launchPoint = *launchPoint;
    if (weaponWords) {
        m.weaponWords[0] = weaponWords[0];
        m.weaponWords[1] = weaponWords[1];
    }
    if (targetPosition) {
        m.targetPosition = *targetPosition;
        m.byPosition = 1;
    } else {
        m.target = target;
    }
    Queue(MSG_LAUNCHMISSILE, m, msg_LaunchMissileEncode);
}

void Client_SendLaunchBomb(const FixVec3* aimPoint, const FixVec3* launchPoint, uint8_t weaponType) {
    MsgLaunchBomb m{};
    if (aimPoint) {
        m.aimPoint = *aimPoint;
        m.hasAimPoint = 1;
    }
    if (launchPoint) m.launchPoint = *launchPoint;
    m.weaponType = weaponType;
    Queue(MSG_LAUNCHBOMB, m, msg_LaunchBombEncode);
}

void Client_SendJettisonWeapon(const FixVec3* launchPoint, uint32_t weaponType) {
    MsgJettisonWeapon m{};
    if (launchPoint) m.launchPoint = *launchPoint;
    m.weaponType = weaponType;
    Queue(MSG_JETTISONWEAPON, m, msg_JettisonWeaponEncode);
}

void Client_SendPlayerReset(uint16_t flags) {
    MsgPlayerReset m{};
    m.flags = flags;
    m.position = PlayerPosition();
    // The client does at once what it asks of the server.
    if ((flags & 1) && Client_PlayerObject) Client_PlayerObject->hitPoints = 0x400;
    Queue(MSG_PLAYERRESET, m, msg_PlayerResetEncode);
}

void Client_SendPlayerCrash(void) {
    MsgPlayerPosition m{};
    m.position = PlayerPosition();
    Queue(MSG_PLAYERCRASH, m, msg_PlayerCrashEncode);
}

void Client_SendEcmDrop(const FixWorldPos* position, uint16_t kind) {
    MsgEcmDrop m{};
    if (position) {
        m.x = (int16_t)(position->x >> 16);
        m.y = (int16_t)(position->y >> 16);
        m.z = (int16_t)(position->z >> 16);
    }
    m.kind = kind;
    Queue(MSG_ECMDROP, m, msg_EcmDropEncode);
}

void Client_SendPlayerTrig(uint16_t value, uint16_t trigger) {
    MsgPlayerTrig m{};
    m.value = value;
    m.trigger = trigger;
    Queue(MSG_PLAYERTRIG, m, msg_PlayerTrigEncode);
}

void Client_SendBulletHitStatic(uint32_t bulletId, const FixVec3* position) {
    MsgBulletHitStatic m{};
    m.bullet = bulletId;
    if (position) m.position = *position;
    m.frame = (uint16_t)Client.frame;
    Queue(MSG_BULLETHIT_ST, m, msg_BulletHitStaticEncode);
}

void Client_SendWingCommand(uint16_t command) {
    MsgWord m{};
    m.value = command;
    Queue(MSG_WINGCOMMAND, m, msg_WingCommandEncode);
}

void Client_SendPlayerType(uint16_t type) {
    MsgWord m{};
    m.value = type;
    Queue(MSG_PLAYERTYPE, m, msg_PlayerTypeEncode);
}

void Client_SendMidair(void) {
    MsgPlayerPosition m{};
    m.position = PlayerPosition();
    Queue(MSG_MIDAIR, m, msg_MidairEncode);
}

void Client_SendStartupConfirm(uint32_t number) {
    MsgStartupConfirm m{};
    m.number = number;
    Queue(MSG_STARTUPCONFIRM, m, msg_StartupConfirmEncode);
}

void Client_SendSquadRequest(const char* name, const char* password) {
    MsgSquadRequest m{};
    text_CopyZ(m.name, name ? name : "", sizeof m.name);
    text_CopyZ(m.password, password ? password : "", sizeof m.password);
    Queue(MSG_SQUADREQUEST, m, msg_SquadRequestEncode);
}

void Client_SendResponse(uint16_t kind, uint32_t value) {
    MsgResponse m{};
    m.kind = kind;
    m.value = value;
    Queue(MSG_RESPONSE, m, msg_ResponseEncode);
}

void Client_SendLaunchFuelPlane(void) {
    MsgLaunchFuelPlane m{};
    if (plane_Current) {
        // The aircraft's frame moved 1000 along its third row.
        m.frame.rot = plane_Current->orientation;
        m.frame.pos.x = plane_Current->position.x + 1000.0f * m.frame.rot.m[2][0];
        m.frame.pos.y = plane_Current->position.y + 1000.0f * m.frame.rot.m[2][1];
        m.frame.pos.z = plane_Current->position.z + 1000.0f * m.frame.rot.m[2][2];
    }
    Queue(MSG_LAUNCH_FUELPLANE, m, msg_LaunchFuelPlaneEncode);
}

void Client_SendPlayerExploded(void) {
    MsgTagOnly m{};
    Queue(MSG_PLAYER_EXPLODED, m, msg_PlayerExplodedEncode);
}

void Client_SendVictory(void) {
    MsgTagOnly m{};
    Queue(MSG_VICTORY, m, msg_VictoryEncode);
}

void Client_SendConsoleCommand(const char* line) {
    MsgConsoleCommand m{};
    text_CopyZ(m.text, line ? line : "", sizeof m.text);
    Queue(MSG_CONSOLECOMMAND, m, msg_ConsoleCommandEncode);
}

void Client_CallSendPlayerType(int32_t type) { Client_SendPlayerType((uint16_t)type); }
void Client_CallSendWingCommand(int32_t command) { Client_SendWingCommand((uint16_t)command); }

// ---- Building and sending ----

void Client_BuildAndSend(void) {
    if (!Client.send_buffer) return;
    LeSpanWriter w(Client.send_buffer, CLIENT_SEND_BUFFER_SIZE);
    ObjectRecord* p = Client_PlayerObject;
    MsgPlayerData d{};
    if (p) {
        int32_t lead = Client.lead;
        int32_t half = lead > 0 ? lead - 1 : 0;
        // Where the player will be 2^lead frames later.
        d.position.x = (int32_t)(p->position.x + ((uint32_t)p->velocity.x << lead));
        d.position.y = (int32_t)(p->position.y + ((uint32_t)p->velocity.y << lead));
        d.position.z = (int32_t)(p->position.z + ((uint32_t)p->velocity.z << lead));
        d.angles.heading = (int32_t)((uint32_t)p->angles.heading + ((uint32_t)p->rates.heading << half));
        d.angles.pitch = (int32_t)((uint32_t)p->angles.pitch + ((uint32_t)p->rates.pitch << half));
        d.angles.roll = (int32_t)((uint32_t)p->angles.roll + ((uint32_t)p->rates.roll << half));
        d.owner = p->player;
        d.status = p->stateFlags;
        d.category = p->aiClass;
        d.target = p->target ? p->target->serial : 0;
        d.aux = (uint32_t)p->missionWord;
    }
    d.playerFlags = Client_PlayerFlags;
    d.aimMode = Client_AimMode;
    d.frame = Client.frame;
    d.runNumber = Client_LevelRunNumber;
    d.eye[0] = (int16_t)(view_State.position.x >> 16);
    d.eye[1] = (int16_t)(view_State.position.y >> 16);
    d.eye[2] = (int16_t)(view_State.position.z >> 16);
    // The sight ray is cast again only while the last one met the ground.
    if (Client.sightFlag) {
        FixWorldPos hit{};
        if (plane_SightGroundPoint(&hit) == 0) {
            Client.sightPoint = hit;
        } else {
            Client.sightFlag = 0;
        }
    }
    d.sightFlag = Client.sightFlag;
    if (Client.sightFlag)
        d.sight = FixVec3{(int32_t)Client.sightPoint.x, (int32_t)Client.sightPoint.y, (int32_t)Client.sightPoint.z};
    msg_PlayerDataEncode(&w, &d);

    if (Client.staticConfirmPending) {
        MsgStaticConfirm c{Client.staticBatch};
        msg_StaticConfirmEncode(&w, &c);
        Client.staticConfirmPending = 0;
    }
    // Every queued record goes out; one whose count ran out goes for the
    // last time and back to the pool. Room for the confirms and the end is
    // kept: what does not fit waits for the next packet with its count.
    const size_t reserve = MSG_MSGCONFIRM_HEAD + 4 * CLIENT_CONFIRM_TAGS + MSG_END_LENGTH;
    for (ListNode* n = Client.sendQueue; n;) {
        ListNode* next = n->next;
        ClientQueuedMessage* q = reinterpret_cast<ClientQueuedMessage*>(n);
        if (w.remaining() < (size_t)q->length + reserve) break;
        w.bytes(q->record, q->length);
        if (--q->sendCount < 0) {
            list_Remove(&Client.sendQueue, n);
            list_PoolGiveBack(&Client.messagePool, n);
        }
        n = next;
    }
    if (Client.confirmCount) {
        msg_MsgConfirmEncode(&w, Client.confirmTags, Client.confirmCount);
        Client.confirmCount = 0;
    }
    msg_EndEncode(&w);
    Client.sendLength = (uint32_t)w.pos;
    Client.packetsSent++;
    if (Bridge())
        bridge_Write(0, Client.send_buffer, w.pos);
    else
        Client.sendResult = net_DriverSend(Client.send_buffer, w.pos);
}

// ---- Receiving ----

void Client_ReceiveAll(void) {
    Client.objectDataArrived = 0;
    // A transport packet from anyone but the server is dropped; the bridge
    // only carries the local server's.
    int32_t server = net_DriverServerPlayer();
    for (int32_t k = 0; k < SERVER_RECEIVE_PER_FRAME; k++) {
        size_t size = 0;
        int32_t sender = 0;
        const uint8_t* p = net_ReceivePacket(1, &size, &sender);
        if (!p) break;
        if (sender != NET_SENDER_LOCAL && sender != server) continue;
        Client_ParsePacket(p, size);
    }
    if (Client.objectDataArrived) Client.expectedFrames += Client.interval;
}

void Client_ParsePacket(const uint8_t* packet, size_t size) {
    Client_ObjectsPacketStart();
    MsgWalker walker;
    msg_WalkBegin(&walker, packet, size);
    MsgRecord r;
    int32_t got;
    while ((got = msg_WalkNext(&walker, &r)) == 1) {
        bool sameRun = Client.serverRunNumber == Client_LevelRunNumber;
        switch (r.type) {
        case MSG_STARTUPDATA: StartupHandler(&r); break;
        case MSG_PLAYERINFO: PlayerInfoHandler(&r); break;
        case MSG_OBJECTDATA:
            if (sameRun && Client_Started()) Client_ObjectData(&r);
            break;
        case MSG_STATICDATA:
            if (sameRun && Client_Started()) Client_StaticData(&r);
            break;
        case MSG_EVENTDATA: Client_EventBundle(&r); break;
        case MSG_MSGCONFIRM: ConfirmHandler(&r); break;
        default: break;
        }
        // The start-up may have ended the flight.
        if (Client_FlightState == 1 && Client_ExitResult < 0) return;
    }
    if (got == 0) Client_ObjectsRetire();
}

void Client_EventBundle(const MsgRecord* record) {
    if (!Client_Started() || !Client.tmpTags) return;
    MsgEventWalker ew;
    if (msg_EventWalkBegin(&ew, record->data, record->length) != 0) return;
    Client.tmpCount = 0;
    MsgRecord ev;
    while (msg_EventWalkNext(&ew, &ev) == 1) {
        uint32_t tag = 0;
        le_Read32At(ev.data, ev.length, 4, &tag);
        if (Client.confirmCount < CLIENT_CONFIRM_TAGS) Client.confirmTags[Client.confirmCount++] = tag;
        bool seen = false;
        for (uint32_t i = 0; i < Client.eventTagCount; i++)
            if (Client.eventTags[i] == tag) {
                seen = true;
                break;
            }
        if (!seen) {
            if (Client.serverRunNumber == Client_LevelRunNumber) Client_EventWorld(&ev);
            Client_EventFlight(&ev);
        }
        // The list's count is 16-bit: it stops at its buffer's end.
        if (Client.tmpCount < CLIENT_TMP_TAGS) Client.tmpTags[Client.tmpCount++] = tag;
    }
    uint32_t keep = Client.tmpCount < CLIENT_CONFIRM_TAGS ? Client.tmpCount : CLIENT_CONFIRM_TAGS;
    memcpy(Client.eventTags, Client.tmpTags, keep * 4);
    Client.eventTagCount = keep;
}

namespace {

void PlayerInfoHandler(const MsgRecord* r) {
    MsgPlayerInfo m;
    if (msg_PlayerInfoDecode(r->data, r->length, &m) != 0) return;
    if (m.frame <= Client.lastServerFrame) return;
    Client.lastServerFrame = m.frame;
    Client.serverRunNumber = m.runNumber;
    if (m.runNumber != Client_LevelRunNumber) return;
    Client.warning = m.mark;
    Client.infoScore = m.score;
    Client.infoFlag = m.sideActive & 1;
    avion_LinkFlag = Client.infoFlag;
}

void ConfirmHandler(const MsgRecord* r) {
    MsgMsgConfirm c;
    if (msg_MsgConfirmDecode(r->data, r->length, &c) != 0) return;
    for (uint32_t i = 0; i < c.count; i++) {
        uint32_t tag = 0;
        if (msg_MsgConfirmTag(r->data, r->length, i, &tag) != 0) return;
        for (ListNode* n = Client.sendQueue; n; n = n->next)
            if (n->serial == tag) {
                list_Remove(&Client.sendQueue, n);
                list_PoolGiveBack(&Client.messagePool, n);
                break;
            }
    }
}

// The player's frame: the aircraft record's when there is one, else the
// object's position with no turn.
MathFrame PlayerFrame(void) {
    MathFrame f{};
    f.rot.m[0][0] = f.rot.m[1][1] = f.rot.m[2][2] = 1.0f;
    if (plane_Current) {
        f.pos = plane_Current->position;
        f.rot = plane_Current->orientation;
    } else if (Client_PlayerObject) {
        f.pos = MathVec3{(float)(int32_t)Client_PlayerObject->position.x, (float)(int32_t)Client_PlayerObject->position.y,
                         (float)(int32_t)Client_PlayerObject->position.z};
    }
    return f;
}

void CameraBehind(void) {
    MathFrame f = PlayerFrame();
    const float* row0 = f.rot.m[0];
    const float* row1 = f.rot.m[1];
    f.pos.x += -500.0f * row0[0] + 10.0f * row1[0];
    f.pos.y += -500.0f * row0[1] + 10.0f * row1[1];
    f.pos.z += -500.0f * row0[2] + 10.0f * row1[2];
    Client.camera.frame = f;
}

void EaseTargets(float a, float b, float c) {
    Client.camera.easeTarget[0] = a;
    Client.camera.easeTarget[1] = b;
    Client.camera.easeTarget[2] = c;
}

float WrapDegrees(float h) {
    while (h > 180.0f) h -= 360.0f;
    while (h <= -180.0f) h += 360.0f;
    return h;
}

void CtfStartView(void) {
    if (Client_CtfStart != 1) return;
    render_ScreenStateSet(7);
    view_Words.pending = &view_ModeTable[0];
    view_ModeSelect();
}

void StartupHandler(const MsgRecord* r) {
    if (player_ClientStartupRead(r->data, r->length) < 0) return;
    ObjectRecord* o = net_DcbPoolTake(&level_ClientArrays.player);
    if (!o) {
        // Nothing to fly: the flight ends with an error.
        plat_SimLog("client", "startup: no player record");
        Client_FlightState = 1;
        Client_ExitResult = -2;
        return;
    }
    const PlayerStartupView& v = player_Startup;
    Client_OwnPlayerNumber = v.playerNumber;
    Client_OwnPlayerHigh = (uint32_t)v.playerNumber << 16;
    o->position = FixWorldPos{(uint32_t)v.startPosition[0], (uint32_t)v.startPosition[1], (uint32_t)v.startPosition[2]};
    o->angles = FixAngles{(int32_t)v.startOrientation[0], (int32_t)v.startOrientation[1], (int32_t)v.startOrientation[2]};
    o->player = (uint8_t)v.playerNumber;
    // The player aircraft's draw routine and model (its think and second
    // pass come with the placing below).
    o->draw = plane_ObjectDraw;
    o->model = level_PlayerModel[0];
    o->modelSlot = 0;
    model_PoseBind(o);
    o->hit = nullptr;
    o->hitPoints = 0;
    o->hitPointsMax = 0x400;
    o->side = 2;
    o->flags |= OBJ_FLAG_PLAYER;
    Client_PlayerObject = o;
    Client_PlayerObjectIndex = 0;
    // The timing of the game kind, as the client level load set it.
    Client.interval = level_ClientPlayerLimits[0];
    Client.lead = level_ClientPlayerLimits[1];
    Client.mask = level_ClientPlayerLimits[2];
    level_ClientStart();
    Client_StartupReset();
    Client_StartObjectSounds();
    plane_PlaceAtLevelStart(o);
    // The two cameras, the first with the aircraft record's eye.
    view_CamerasFree();
    view_CamerasCreate();
    Client_PlayerBlockTail[1] = 1;
    Client.frame = 1;
    Client_CountersReset();

    CameraBehind();
    EaseTargets(1.0f, 1.0f, 1.0f);
    Client.camera.state = 1;

    Client_BindPlayerObject();
    CtfStartView();
    net_ObjectListLink(&level_ClientTables.objectList, o);
    Client_SendStartupConfirm(v.startupNumber);
    if (app_Settings.SQUADRON_NAME[0] && !level_GameMode.singlePlayer && v.squadron)
        Client_SendSquadRequest(app_Settings.SQUADRON_NAME, app_Settings.SQUADRON_PASSWORD);
    level_ColourTablesBuild();
    plat_SimLog("client", "startup number=%u player=%u", v.startupNumber, v.playerNumber);
}

}  // namespace

// ---- The fly-in camera ----

void Client_CameraStep(void) {
    ClientCamera& c = Client.camera;
    if (c.state == 1) {
        CameraBehind();
        c.heading = WrapDegrees(c.heading - 180.0f);
        EaseTargets(1.0f, 1.0f, 1.0f);
        plane_HookClientFrame(1);
        c.state = 2;
    } else if (c.state == 2) {
        MathFrame f = PlayerFrame();
        float dx = c.frame.pos.x - f.pos.x, dy = c.frame.pos.y - f.pos.y, dz = c.frame.pos.z - f.pos.z;
        if (std::sqrt(dx * dx + dy * dy + dz * dz) <= 35.0f) {
            c.state = 93;
            plane_HookClientFrame(0);
        }
    } else if (c.state > 2) {
        c.state--;
        c.heading = WrapDegrees(c.heading + 2.0f);
        if (c.state <= 2) {
            c.state = 0;
            EaseTargets(0.15f, 0.1f, 0.05f);
            plane_HookClientFrame(0);
        }
    }
    if (view_CameraAutoSpin && ExternalView()) {
        // The external camera circles the aircraft by itself.
        c.heading = WrapDegrees(c.heading + 0.5f);
        if (view_CameraFirst) view_CameraFirst->saved[1] = WrapDegrees(view_CameraFirst->saved[1] + 0.5f);
        if (view_ModeCurrentGet() == VIEW_MODE_FOLLOW) {
            ViewModeRecord& m = view_ModeTable[VIEW_MODE_FOLLOW];
            m.lookYaw = (int32_t)(((uint32_t)m.lookYaw - EXTERNAL_YAW_STEP) & FIX_ANGLE_MASK);
        }
    }
    for (int32_t i = 0; i < 3; i++) {
        float d = c.easeTarget[i] - c.eye[i];
        if (d > 0.01f) d = 0.01f;
        if (d < -0.01f) d = -0.01f;
        c.eye[i] += d;
    }
}

// ---- Reset steps ----

void Client_ResetSlots(void) {
    snd_StopAllVoices();
    mem_Heap2Reset();
    Client.staticBatch = 0xFFFF;
    if (!Bridge()) Client_PlayerNamesFree();
}

void Client_CountersReset(void) {
    Client.objectsSynced = 0;
    // The copies went back with their pool.
    Client.knownObjects = Client.packetObjects = nullptr;
    Client.packetFrame = 0;
    Client.expectedFrames = Client.interval;
    Client.objectDataArrived = 0;
}

void Client_BindPlayerObject(void) {
    for (int32_t i = 0; i < VIEW_MODE_COUNT; i++)
        if (i != VIEW_MODE_MISSILE && i != VIEW_MODE_TARGET) view_ModeTable[i].viewedObject = Client_PlayerObject;
    view_Reset();
}

void Client_StartupReset(void) {
    mix_SourcesInit(6, 8, view_DistanceGain, nullptr, nullptr);
    for (int32_t n = 6; n <= 13; n++) snd_VoiceSetFlag(n, 1);
}

// ---- Session callbacks ----

void Client_SessionLost(void) {
    const char* text = app_StringGet(830);
    if (text) dbg_TextLineAdd(text);
    Client.sessionLost = 1;
}

void Client_SessionNotice(const char* text) {
    char line[256];
    AppFormatArg args[1] = {text ? text : ""};
    const char* format = app_StringGet(831);
    if (!format) return;
    app_StringFormat(line, sizeof line, format, args, 1);
    dbg_TextLineAdd(line);
}

namespace {

void OnSessionLost(const void*, uint32_t) { Client_SessionLost(); }
void OnNotice(const void* data, uint32_t size) {
    // The text comes from the transport: only what lies inside it counts.
    char text[128];
    size_t n = 0;
    const char* s = static_cast<const char*>(data);
    while (s && n < size && n + 1 < sizeof text && s[n]) {
        text[n] = s[n];
        n++;
    }
    text[n] = 0;
    Client_SessionNotice(text);
}

}  // namespace

// ---- Start, frame, draw, stop ----

void Client_Start(void) {
    Client_EndRequest = 0;
    Client_RemoteGame = !level_GameMode.sharedProcess && !level_GameMode.hosting;
    // In host-and-play the driver's joined and left slots stay the server's.
    if (Client_RemoteGame) {
        net_DriverCallbackSet(NET_CALLBACK_PLAYER_LEFT, OnSessionLost);
        net_DriverCallbackSet(NET_CALLBACK_SESSION_LOST, OnSessionLost);
        net_DriverCallbackSet(NET_CALLBACK_NOTICE, OnNotice);
    }
    if (Bridge()) {
        player_DescriptorBuild(player_DescriptorBuffer);
        Server_PlayerJoined();
    }
    memset(&Client, 0, sizeof Client);
    avion_LinkFlag = 0;
    Client.anchor = mem_AllocEx(0, 4, "Client Anchor");
    Client.send_buffer = static_cast<uint8_t*>(mem_AllocEx(CLIENT_SEND_BUFFER_SIZE, 4, "Client.send_buffer"));
    Client.staticBatch = 0xFFFF;
    list_PoolCreate(sizeof(ClientQueuedMessage), CLIENT_MESSAGE_NODES, &Client.messagePool);
    Client.confirmTags = static_cast<uint32_t*>(mem_AllocEx(CLIENT_CONFIRM_TAGS * 4, 4, "Client.confirm_buffer"));
    if (Client.confirmTags) memset(Client.confirmTags, 0, CLIENT_CONFIRM_TAGS * 4);
    Client.eventTags = static_cast<uint32_t*>(mem_AllocEx(CLIENT_CONFIRM_TAGS * 4, 4, "Client.event_tag_buffer"));
    Client.tmpTags = static_cast<uint32_t*>(mem_AllocEx(CLIENT_TMP_TAGS * 4, 4, "Client.tmp_buffer"));
    if (!Client.send_buffer || !Client.messagePool.block || !Client.confirmTags || !Client.eventTags ||
        !Client.tmpTags) {
        plat_SimLog("client", "start failed");
        Client_FlightState = 1;
    }
    // Until the level load says otherwise: the timing of the game kind.
    if (level_GameMode.singlePlayer) {
        Client.interval = 2, Client.mask = 1, Client.lead = 1;
    } else {
        Client.interval = 16, Client.mask = 15, Client.lead = 4;
    }
    Client.lastServerFrame = 0;

    hud_CommandMenuReset();
    hud_EndOfFlightChoice = 0;
    app_KeyState.readIndex = app_KeyState.writeIndex = 0;
    memset(app_KeyState.downTable, 0, sizeof app_KeyState.downTable);
    hud_RepeaterInit();
    if (!Bridge()) {
        // The last game's squadrons and scores went with its client heap.
        tacmap_SquadronBuffer = nullptr;
        Client_PlayerDisplayRecords.scoreCount = 0;
    }
    // The frames set the sound condition mask; the one found here comes back
    // at stop.
    Client.savedConditionMask = sndtrig_SetConditionMask(0);
    sndtrig_SetConditionMask(Client.savedConditionMask);

    Client.firstDraw = 1;
    Client.fadeInPending = 1;
    Client_LevelRunNumber = 0xFFFFFFFFu;
    _INMAP* map = inmap_MapOpen();
    if (map && app_Settings.TRIGGER_FIRES_CURRENT_WEAPON) inmap_JoystickButtonsRemap();
    inmap_MapActivate(map);
    speech_Init();
    if (con_BombOverlay) dbg_BombDebugOn();
    snd_VoiceSetFlag(app_Settings.AUX_VOICE_DIALOG, 1);
    plat_SimLog("client", "start mode=%s interval=%d", Bridge() ? "bridge" : "remote", Client.interval);
}

int32_t Client_Frame(void) {
    // While the key list is shown every key pressed goes into it.
    if (dbg_DebugKeyTextShown)
        while (uint32_t key = ekey_EventPop()) dbg_VirtualKeyAdd(key);
    // Sound conditions: always, cockpit or outside, and the voice setting.
    int32_t mask = 1 | ((ViewFlags & 0x100) ? 2 : 4);
    if (app_Settings.AUX_VOICE_DIALOG) mask |= 0x20;
    sndtrig_SetConditionMask(mask);
    // The tactical map takes the arrows, an open chat line the typing keys.
    inmap_KeyTableSelect(tacmap_Shown ? 3 : (TextInputOpen() ? 2 : 1));

    if (!Client_Started()) {
        Client_ReceiveAll();
        if (Client_EndRequest) Client.endFlag = 1;
    }
    if (Client.endFlag) {
        Client_FlightState = 1;
        return 1;
    }
    if (Client_Started()) {
        ffb_ActiveCompute(1);
        inmap_PollFrame();
        inmap_PollHotKey();
        Client.packetFrame++;
        Client_ReceiveAll();
        Client_ThinkPass();
        render_ParticleFrameTick();
        if ((Client.frame & (uint32_t)Client.mask) == 0) Client_BuildAndSend();
        view_LookAnglesEase();
        view_TrackUpdate();
        Client_CameraStep();
        MathVec3 offset{Client.camera.eye[0], Client.camera.eye[1], Client.camera.eye[2]};
        for (_CAM* cam : {view_CameraFirst, view_CameraSecond})
            if (cam) {
                view_CameraOffsetSet(cam, &offset);
                view_CameraModeFrame(cam);
            }
        // The zoom actions work on the camera of an external view.
        app_FocusObjectSet(ExternalView() ? view_CameraFirst : nullptr);
        Client.frame++;
        if ((Client.frame & (CLIENT_LOG_FRAMES - 1)) == 0)
            plat_SimLog("client", "frame=%u copies=%d sources=%d", Client.frame,
                        net_ObjectListCount(Client.knownObjects), mix_SourceTable.count);
        FixVec3 eye{(int32_t)view_State.position.x, (int32_t)view_State.position.y, (int32_t)view_State.position.z};
        mix_SourcesListener(&eye, nullptr);
        if (ffb_FeedbackActive) ffb_FrameDispatch();
        vcursor_FrameUpdate();
        if (app_ModeWord == 4) sky_LightTurn();
    }
    // A choice on the debriefing page ends the flight: the state runner goes
    // back to the screen the flight was started from.
    if (hud_EndOfFlightChoice && Client_FlightState == 0) {
        plat_SimLog("client", "end of flight choice=%d", hud_EndOfFlightChoice);
        Client_FlightState = 1;
    }
    switch (Client_FlightState) {
    case 0: return 0;
    case 4: return 1;
    case 2:
        Client_FlightState = 0;
        level_StartSequence();
        level_ClientReset();
        Client_LevelRunNumber++;
        return 0;
    case 3:
        Client_FlightState = 0;
        level_ClientReset();
        CtfStartView();
        return 0;
    default: return 1;
    }
}

void Client_Draw(void) {
    if (Client.firstDraw) {
        Client.firstDraw = 0;
        if (level_GameMode.display) otw_ClearAllBuffers();
    }
    if (!Client_Started() || !level_GameMode.display) return;
    render_Frame();
    // A card shows its frame at the swap; its after-swap entry follows.
    if (hw3d_Active) {
        if (hw3d_Descriptor.swap) hw3d_Descriptor.swap();
        if (hw3d_Descriptor.afterSwap) hw3d_Descriptor.afterSwap();
    }
    if (Client.fadeInPending || Client_PaletteFadeRequest) {
        Client.fadeInPending = 0;
        Client_PaletteFadeRequest = 0;
        level_PaletteFadeIn(level_PaletteCopy, 32);
    }
}

void Client_Stop(void) {
    const int32_t sources = mix_SourceTable.count;
    const int32_t copies = net_ObjectListCount(Client.knownObjects);
    ffb_StopAll();
    level_WaitTicks();
    speech_Shutdown();
    inmap_MapActivate(nullptr);
    inmap_MapClose();
    dbg_DebugObjectsClear();
    dbg_VirtualKeysClear();
    level_PalrefRelease();
    dbg_BombDebugOff();
    render_ParticleFieldFree();
    tacmap_MissionEnd();
    sndtrig_SetConditionMask(Client.savedConditionMask);
    snd_StopAllVoices();
    Client_LevelSoundsFree();
    vcursor_Free();
    if (Client.anchor) mem_FreeFrom(Client.anchor);
    uint32_t sent = Client.packetsSent;
    bool lost = Client.sessionLost != 0;
    memset(&Client, 0, sizeof Client);
    avion_LinkFlag = 0;
    app_CursorLoadSet(APP_CURSOR_ARROW);
    level_TablesClear();
    app_Runner.nextState = app_Runner.followOn1;
    if (!level_GameMode.hosting && !level_GameMode.singlePlayer && !lost) net_DriverGameClose();
    Client_RemoteGame = 0;
    mem_Heap2Reset();
    if (level_GameMode.display) level_PaletteFadeOut(level_PaletteCopy, 16);
    plane_Release();
    view_CamerasFree();
    if (level_GameMode.display) {
        otw_SetDisplayMode(OTW_MODE_WIDTH | OTW_MODE_HEIGHT, 640, 480, 0, 0, 0);
        otw_ResetViewportFull();
    }
    Client_PlayerObject = nullptr;
    Client_PlayerObjectIndex = -1;
    Client_PlayerBlockTail[1] = 0;
    pak_UnloadAll();
    model_DymodFreeAll(&model_ClientDymods);
    if (level_OwnerKey) mem_GlobalFreeByOwner(level_OwnerKey);
    plat_SimLog("client", "stop packets=%u sources=%d copies=%d", sent, sources, copies);
}
