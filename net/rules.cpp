#include "net/rules.h"

#include <cstring>

#include "base/math.h"
#include "base/text.h"
#include "cockpit/tacmap.h"
#include "menu/host.h"
#include "net/msg.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/ai.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/trig.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"

RulesRecord rules_SinglePlayer;
RulesRecord rules_CaptureTheFlag;
RulesRecord rules_Deathmatch;
RulesSettings rules_Settings;
RulesCtfState rules_Ctf;
int32_t rules_DeathmatchRounds = 0;
uint32_t rules_RoundEndTick = 0;

namespace {

constexpr uint32_t RULES_RETRIES = 0x400;
// Bits of an object's flag byte the rules read.
constexpr uint8_t FLAG_STATIC = 0x01;
constexpr uint8_t FLAG_PLAYER = 0x02;
constexpr uint8_t FLAG_TEAM_B = 0x04;
constexpr uint8_t FLAG_TEAM_A = 0x08;
constexpr uint8_t FLAG_TEAMS = FLAG_TEAM_A | FLAG_TEAM_B;
constexpr uint8_t FLAG_AIRBORNE = 0x10;
constexpr uint8_t FLAG_KEEPS_THINK = 0x80;
// The side byte a viewer sees: its own team, the other team, the second
// loadout of a player.
constexpr uint8_t SEEN_FRIEND = 0x08;
constexpr uint8_t SEEN_FOE = 0x04;
constexpr uint8_t SEEN_SECOND_LOADOUT = 0x20;
constexpr uint16_t NO_SQUADRON = 0xFFFF;
constexpr int32_t TEXT_SIZE = 160;

HostOptions g_host;

uint32_t Now(void) { return app_TickCount.load(std::memory_order_relaxed); }

PlayerSlot* Slot(int32_t i) {
    if (!Server.player || i < 0 || i >= SERVER_PLAYERS) return nullptr;
    return &Server.player[i];
}

// The used slot whose aircraft the object is.
PlayerSlot* SlotOfObject(const ObjectRecord* o) {
    if (!o) return nullptr;
    PlayerSlot* s = Slot(o->player);
    return s && s->inUse && s->aircraft == o ? s : nullptr;
}

const char* GameText(uint32_t entry) {
    const char* text = level_GameText(entry);
    return text ? text : "";
}

const char* TeamName(int32_t colour) {
    if (colour < 0) return "";
    return GameText(RULES_TEXT_TEAM_NAMES + static_cast<uint32_t>(colour));
}

const char* SlotName(const PlayerSlot* s) { return s && s->name ? s->name : ""; }

void TriggerPost(uint16_t type, uint16_t id, uint16_t code) {
    trig_Event = TriggerEvent{type, id, code, 0, 0, 0};
    trig_PostEvent();
}

// A round is over and its pause not yet: no second round end.
bool RoundEnding(void) {
    RulesRecord* r = rules_Current();
    return r && r->frame;
}

void PlayerListTeamsClear(void) {
    for (PlayerTableEntry& e : player_Table) e.squadron = NO_SQUADRON;
}

void RoundEndStart(RulesFrameHook wait) {
    plane_HaltPlayerObjects();
    if (RulesRecord* r = rules_Current()) r->frame = wait;
    rules_RoundEndTick = Now() + RULES_ROUND_END_TICKS;
}

// After the pause: replay the map below the host's rounds, else go to the
// next map. 1 when the pause is over.
int32_t RoundEndFinish(int32_t* rounds, uint32_t modeBits) {
    if (static_cast<int32_t>(Now() - rules_RoundEndTick) < 0) return 0;
    (*rounds)++;
    if (*rounds < g_host.rounds) {
        Server_OutgoingEvent = ServerOutgoingEvent{};
        Server_OutgoingEvent.kind = SERVER_TO_ALL;
        Server_OutgoingEvent.value = 1;  // restart the level
        Server_QueueLevelReset();
        Server_LevelRequest = 1;
        plat_SimLog("rules", "replay round=%d", *rounds);
    } else {
        *rounds = 0;
        Server_LevelRequest = 2;
        level_MultiplayerMapNames(modeBits);
        plat_SimLog("rules", "next map");
    }
    if (RulesRecord* r = rules_Current()) r->frame = nullptr;
    PlayerListTeamsClear();
    return 1;
}

void PenaltyApply(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s) return;
    s->score--;
    if (RulesRecord* r = rules_Current(); r && r->scoreChanged) r->scoreChanged(slot);
    Server_OutgoingEvent = ServerOutgoingEvent{};
    Server_OutgoingEvent.kind = SERVER_TO_ALL;
    Server_QueueScores();
}

bool Alive(const PlayerSlot* s) { return s && s->aircraft && s->aircraft->hitPoints > 0; }

void SidesSet(int32_t slot, uint8_t side, uint8_t flags) {
    PlayerSlot* s = Slot(slot);
    if (!s || !s->aircraft) return;
    s->aircraft->side = side;
    s->aircraft->flags = static_cast<uint8_t>((s->aircraft->flags & ~(FLAG_PLAYER | FLAG_TEAMS)) | flags);
}

// ---- Single player ----

void SpPlayerKilled(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s || !s->aircraft) return;
    s->aircraft->think = plane_DeathThink;
    // Only a process that shows the local player's flight has a view to
    // switch.
    if (level_GameMode.display && !s->remote) {
        ViewModeRecord* camera = &view_ModeTable[VIEW_MODE_FOLLOW];
        view_TargetSet(camera, s->aircraft);
        view_Words.pending = camera;
        view_ModeSelect();
    }
}

void SpPlayerObjectMade(int32_t slot) { SidesSet(slot, 4, 10); }

uint8_t SpSide(int32_t, const ObjectRecord* o) { return o ? o->flags : 0; }

void SpStartupFields(PlayerStartupSource* r) {
    if (!r) return;
    r->ctfStart = 0;
    r->teamPlay = 0;
    r->blackouts = static_cast<uint8_t>(app_Settings.BLACKOUTS);
}

void SpPlayerJoined(int32_t slot) {
    // The player leads its group's first AI aircraft as its wingman.
    if (Server.player && slot >= 0 && slot < SERVER_PLAYERS) ai_PlayerWingmanSet(Server.player[slot].aircraft);
    TriggerPost(6, 0, 4);
}

// ---- Capture the flag ----

int32_t TeamSlot(int32_t team) {
    if (!Server.player) return -1;
    int32_t limit = rules_Settings.playerSlots < SERVER_PLAYERS ? rules_Settings.playerSlots : SERVER_PLAYERS;
    for (int32_t i = team; i < limit; i += 2)
        if (!Server.player[i].inUse) return i;
    return -1;
}

int32_t TeamTake(int32_t team) {
    int32_t slot = TeamSlot(team);
    if (slot >= 0) rules_Ctf.players[team]++;
    return slot;
}

int32_t SideToTeam(int32_t side) {
    if (side == 0) return -1;
    return side == 1 ? RULES_TEAM_A : RULES_TEAM_B;
}

bool SquadronIs(const char* squadron, const char* name) {
    return squadron && name[0] && strncmp(squadron, name, HOST_TEAM_NAME_SIZE) == 0;
}

int32_t CtfTeamChoice(const RulesJoin* join, int32_t* reply) {
    if (reply) *reply = 0;
    const char* squadron = join ? join->squadron : nullptr;
    const char* nameA = g_host.teamNames[RULES_TEAM_A];
    const char* nameB = g_host.teamNames[RULES_TEAM_B];
    int32_t team = -1;
    if (nameA[0] && nameB[0]) {
        if (SquadronIs(squadron, nameA))
            team = RULES_TEAM_A;
        else if (SquadronIs(squadron, nameB))
            team = RULES_TEAM_B;
        int32_t slot = team >= 0 ? TeamTake(team) : -1;
        if (slot < 0 && reply) *reply = team >= 0 ? RULES_REPLY_TEAM_FULL : RULES_REPLY_NO_TEAM;
        return slot;
    }
    if (nameA[0]) {
        team = SquadronIs(squadron, nameA) ? RULES_TEAM_A : RULES_TEAM_B;
    } else if (nameB[0]) {
        team = SquadronIs(squadron, nameB) ? RULES_TEAM_B : RULES_TEAM_A;
    } else if (g_host.sw == HO_SIDE_PLAYER) {
        team = SideToTeam(join ? join->recordSide : 0);
    } else if (g_host.sw == HO_SIDE_PLANE) {
        team = SideToTeam(join ? join->aircraftSide : 0);
    } else {
        team = rules_Ctf.players[RULES_TEAM_B] < rules_Ctf.players[RULES_TEAM_A] ? RULES_TEAM_B : RULES_TEAM_A;
    }
    int32_t slot = team >= 0 ? TeamTake(team) : -1;
    if (slot >= 0) return slot;
    // The other team, or either: the smaller first.
    int32_t first = rules_Ctf.players[RULES_TEAM_A] > rules_Ctf.players[RULES_TEAM_B] ? RULES_TEAM_B : RULES_TEAM_A;
    slot = TeamTake(first);
    if (slot < 0) slot = TeamTake(1 - first);
    if (slot < 0 && reply) *reply = RULES_REPLY_TEAM_FULL;
    return slot;
}

void CtfPlayerObjectMade(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s) return;
    int32_t team = slot & 1;
    if (team == RULES_TEAM_B)
        SidesSet(slot, 4, 6);
    else
        SidesSet(slot, 4, 10);
    uint16_t colour = static_cast<uint16_t>(rules_Ctf.colour[team]);
    s->squadron = colour;
    if (s->playerId < static_cast<uint32_t>(PLAYER_TABLE_SIZE)) player_Table[s->playerId].squadron = colour;
}

uint8_t CtfSide(int32_t viewerSlot, const ObjectRecord* o) {
    if (!o) return 0;
    uint8_t f = o->flags;
    if (!(f & FLAG_TEAMS)) return f;
    const PlayerSlot* viewer = Slot(viewerSlot);
    uint8_t own = viewer && viewer->aircraft ? static_cast<uint8_t>(viewer->aircraft->flags & FLAG_TEAMS) : 0;
    uint8_t seen = static_cast<uint8_t>((f & ~FLAG_TEAMS) | ((own & f) ? SEEN_FRIEND : SEEN_FOE));
    if (f & FLAG_PLAYER) {
        const PlayerSlot* s = SlotOfObject(o);
        if (s && s->squadron == 1) seen |= SEEN_SECOND_LOADOUT;
    }
    return seen;
}

void CtfCountObject(ObjectRecord* o) {
    int32_t team = rules_ObjectTeam(o);
    if (team >= 0) rules_Ctf.flags[team]++;
}

void CtfRoundEndWait(void) {
    if (!RoundEndFinish(&rules_Ctf.rounds, 2)) return;
    rules_Ctf.flags[0] = rules_Ctf.flags[1] = 0;
    rules_Ctf.lastFlagSet = 0;
}

void CtfRoundEnd(int32_t winner) {
    if (RoundEnding()) return;
    // Without a flag destroyed in this round the event carries no position.
    const FixWorldPos* at = rules_Ctf.lastFlagSet ? &rules_Ctf.lastFlagPosition : nullptr;
    Server_CallQueueEvent(EVENT_CTF_OVER, static_cast<uint32_t>(rules_Ctf.colour[winner]), at, SERVER_TO_ALL, 0, 0,
                      RULES_RETRIES);
    plat_SimLog("rules", "ctf over winner=%d", winner);
    RoundEndStart(CtfRoundEndWait);
}

void CtfObjectDestroyed(ObjectRecord* o) {
    int32_t team = rules_ObjectTeam(o);
    if (team >= 0) {
        rules_Ctf.flags[team]--;
        rules_Ctf.lastFlagSet = 1;
        rules_Ctf.lastFlagPosition = o->position;
        char text[TEXT_SIZE];
        text_Format(GameText(RULES_TEXT_FLAG_LOST), text, sizeof text, TeamName(rules_Ctf.colour[team]));
        Server_CallSendText(text, SERVER_TO_ALL, 0, rules_Ctf.colour[team]);
    }
    if (rules_Ctf.flags[RULES_TEAM_A] <= 0)
        CtfRoundEnd(RULES_TEAM_B);
    else if (rules_Ctf.flags[RULES_TEAM_B] <= 0)
        CtfRoundEnd(RULES_TEAM_A);
}

void CtfPlayerJoined(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s) return;
    char text[TEXT_SIZE];
    text_Format(GameText(RULES_TEXT_CTF_JOINED), text, sizeof text, SlotName(s));
    text_CatZ(text, TeamName(rules_Ctf.colour[slot & 1]), sizeof text);
    text_CatZ(text, GameText(RULES_TEXT_CTF_JOINED_END), sizeof text);
    Server_CallSendText(text, SERVER_TO_ALL, 0, rules_Ctf.colour[slot & 1]);
}

void CtfScorePenalty(int32_t slot) {
    if (Alive(Slot(slot))) PenaltyApply(slot);
}

void CtfPlayerLeft(int32_t slot) {
    if (!Slot(slot)) return;
    int32_t& count = rules_Ctf.players[slot & 1];
    if (count > 0) count--;
}

void CtfStartupFields(PlayerStartupSource* r) {
    if (!r) return;
    r->ctfStart = 1;
    r->teamPlay = 2;
    r->blackouts = static_cast<uint8_t>(rules_Settings.gameFlags[0]);
}

// ---- Deathmatch ----

void DmPlayerKilled(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s || !s->aircraft) return;
    if (!rules_Settings.respawn) {
        SpPlayerKilled(slot);
        return;
    }
    s->aircraft->think = plane_RespawnWait;
    s->aircraft->frameCounter = RULES_RESPAWN_DELAY;
    // The aircraft record is the local player's own.
    if (plane_Current && !s->remote) plane_Current->flags &= ~3u;
}

void DmPlayerObjectMade(int32_t slot) { SidesSet(slot, 4, 2); }

uint16_t SquadronOf(const ObjectRecord* o) {
    const PlayerSlot* s = SlotOfObject(o);
    return s ? s->squadron : NO_SQUADRON;
}

uint8_t DmSide(int32_t viewerSlot, const ObjectRecord* o) {
    if (!o) return 0;
    uint8_t f = o->flags;
    if (!(f & FLAG_PLAYER)) return f;
    const PlayerSlot* viewer = Slot(viewerSlot);
    uint16_t own = viewer ? viewer->squadron : NO_SQUADRON;
    bool friendly = own != NO_SQUADRON && own == SquadronOf(o);
    return static_cast<uint8_t>((f & ~FLAG_TEAMS) | (friendly ? SEEN_FRIEND : SEEN_FOE));
}

void DmPlayerJoined(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s) return;
    char text[TEXT_SIZE];
    text_Format(GameText(RULES_TEXT_DM_JOINED), text, sizeof text, SlotName(s));
    Server_CallSendText(text, SERVER_TO_ALL, 0, 0);
}

void DmScorePenalty(int32_t slot) {
    if (rules_Settings.respawn || Alive(Slot(slot))) PenaltyApply(slot);
}

void DmRoundEndWait(void) { RoundEndFinish(&rules_DeathmatchRounds, 1); }

void DmScoreChanged(int32_t slot) {
    PlayerSlot* s = Slot(slot);
    if (!s || s->score < g_host.share2 || RoundEnding()) return;
    uint32_t winner = s->aircraft ? s->aircraft->serial : 0;
    Server_CallQueueEvent(EVENT_DM_OVER, winner, nullptr, SERVER_TO_ALL, 0, 0, RULES_RETRIES);
    plat_SimLog("rules", "dm over slot=%d score=%d", slot, s->score);
    RoundEndStart(DmRoundEndWait);
    Server_AnnounceRefresh();
}

void DmPlayerLeft(int32_t slot) {
    if (PlayerSlot* s = Slot(slot)) tacmap_SquadronLeave(s);
}

void DmStartupFields(PlayerStartupSource* r) {
    if (!r) return;
    r->ctfStart = 0;
    r->teamPlay = 1;
    r->blackouts = static_cast<uint8_t>(rules_Settings.gameFlags[0]);
}

void DmPlayerTimer(int32_t slot) {
    if (PlayerSlot* s = Slot(slot)) s->countdown = RULES_DEATHMATCH_TIMER;
}

void Install(RulesRecord* r) { Server.rules = r; }

}  // namespace

// ---- Rule starts ----

RulesRecord* rules_Current(void) { return const_cast<RulesRecord*>(static_cast<const RulesRecord*>(Server.rules)); }

void rules_SinglePlayerStart(void) {
    RulesRecord* r = &rules_SinglePlayer;
    memset(r, 0, sizeof *r);
    r->playerKilled = SpPlayerKilled;
    r->playerObjectMade = SpPlayerObjectMade;
    r->objectSide = SpSide;
    r->staticSide = SpSide;
    r->startupFields = SpStartupFields;
    r->playerJoined = SpPlayerJoined;
    rules_Settings.respawn = 0;
    rules_Settings.gameFlags[1] = 1;
    rules_Settings.playerSlots = 1;
    Install(r);
}

void rules_CaptureTheFlagStart(void) {
    RulesRecord* r = &rules_CaptureTheFlag;
    memset(r, 0, sizeof *r);
    memset(&rules_Ctf, 0, sizeof rules_Ctf);
    r->teamChoice = CtfTeamChoice;
    r->playerObjectMade = CtfPlayerObjectMade;
    r->objectSide = CtfSide;
    r->staticSide = CtfSide;
    r->countObject = CtfCountObject;
    r->objectDestroyed = CtfObjectDestroyed;
    r->playerJoined = CtfPlayerJoined;
    r->scorePenalty = CtfScorePenalty;
    r->playerLeft = CtfPlayerLeft;
    r->startupFields = CtfStartupFields;
    mnu_HostOptionsGet(1, &g_host);
    rules_Settings.playerSlots = g_host.player;
    rules_Settings.respawn = 0;
    rules_Settings.gameFlags[0] = g_host.blackouts;
    rules_Settings.gameFlags[1] = g_host.share1;
    rules_Ctf.colour[RULES_TEAM_B] = math_RandomRange(0, 31);
    rules_Ctf.colour[RULES_TEAM_A] = math_RandomRange(0, 31);
    if (rules_Ctf.colour[RULES_TEAM_A] == rules_Ctf.colour[RULES_TEAM_B])
        rules_Ctf.colour[RULES_TEAM_A] = RULES_COLOUR_COLLISION;
    Install(r);
}

void rules_DeathmatchStart(void) {
    RulesRecord* r = &rules_Deathmatch;
    memset(r, 0, sizeof *r);
    rules_DeathmatchRounds = 0;
    r->playerKilled = DmPlayerKilled;
    r->playerObjectMade = DmPlayerObjectMade;
    r->objectSide = DmSide;
    r->staticSide = DmSide;
    r->playerJoined = DmPlayerJoined;
    r->scorePenalty = DmScorePenalty;
    r->scoreChanged = DmScoreChanged;
    r->playerLeft = DmPlayerLeft;
    r->startupFields = DmStartupFields;
    r->deathmatchPlayer = DmPlayerTimer;
    mnu_HostOptionsGet(0, &g_host);
    rules_Settings.playerSlots = g_host.player;
    rules_Settings.respawn = g_host.share1 ? 1 : 0;
    rules_Settings.gameFlags[0] = g_host.blackouts;
    rules_Settings.gameFlags[1] = 0;
    tacmap_SquadronBufferInit();
    Install(r);
}

int32_t rules_ObjectTeam(const ObjectRecord* o) {
    if (!o || !(o->flags & FLAG_STATIC)) return -1;
    if (o->flags & FLAG_TEAM_A) return RULES_TEAM_A;
    if (o->flags & FLAG_TEAM_B) return RULES_TEAM_B;
    return -1;
}

void rules_AnnounceDestroyed(const ObjectRecord* o) {
    if (!o || (o->flags & (FLAG_STATIC | FLAG_AIRBORNE)) == (FLAG_STATIC | FLAG_AIRBORNE)) return;
    char text[TEXT_SIZE];
    obj_DisplayName(o, text, sizeof text);
    text_CatZ(text, GameText(RULES_TEXT_DESTROYED), sizeof text);
    Server_CallSendText(text, SERVER_TO_ALL, 0, 0);
}

// ---- The server's calls ----

void Server_SelectRules(void) {
    level_RandomWarmUp();
    if (level_GameMode.singlePlayer)
        rules_SinglePlayerStart();
    else if (app_Settings.HOST_GAME_TYPE == 0)
        rules_DeathmatchStart();
    else
        rules_CaptureTheFlagStart();
}

void Server_RulesFrame(void) {
    RulesRecord* r = rules_Current();
    if (r && r->frame) r->frame();
}

// A player reset to its start point (and a restart): the deathmatch timer.
void Server_RulesReset(int32_t slot) {
    RulesRecord* r = rules_Current();
    if (r && r->deathmatchPlayer) r->deathmatchPlayer(slot);
}

// A crash: the penalty while the aircraft still flew, then the dead
// player's object.
void Server_RulesDeath(int32_t slot) {
    RulesRecord* r = rules_Current();
    if (!r) return;
    if (r->scorePenalty) r->scorePenalty(slot);
    if (r->playerKilled) r->playerKilled(slot);
}

void Server_RulesScore(int32_t slot) {
    RulesRecord* r = rules_Current();
    if (r && r->scoreChanged) r->scoreChanged(slot);
}

void Server_RulesDeathmatchEnd(void) {
    if (rules_Current() != &rules_Deathmatch || RoundEnding()) return;
    uint32_t winner = ServerPlayerObject ? ServerPlayerObject->serial : 0;
    Server_CallQueueEvent(EVENT_DM_OVER, winner, nullptr, SERVER_TO_ALL, 0, 0, RULES_RETRIES);
    RoundEndStart(DmRoundEndWait);
    Server_AnnounceRefresh();
}

void Server_RulesFlagEnd(int32_t side) {
    if (rules_Current() != &rules_CaptureTheFlag) return;
    CtfRoundEnd(side & 1);
}

// ---- Static objects ----

void Server_StaticDamage(ObjectRecord* o) {
    if (!o || o->hitPoints <= 0) return;
    FixWorldPos at = o->position;
    Server_CallQueueEvent(EVENT_DEBRIS, 0, &at, SERVER_IN_RANGE, 0, 0x2F80000u, 2);
    TriggerPost(0, o->missionObject, 4);
    int64_t damage = (static_cast<int64_t>(sim_HitRecord.damage) * sim_HitRecord.scale) >> 16;
    int64_t left = o->hitPoints - damage;
    if (left > 0) {
        o->hitPoints = static_cast<int16_t>(left > INT16_MAX ? INT16_MAX : left);
        return;
    }
    o->hitPoints = 0;
    rules_AnnounceDestroyed(o);
    TriggerPost(0, o->missionObject, 11);
    o->draw = render_DestroyedDraw;
    Server_CallQueueEvent(EVENT_GRNDEXPLODE, o->serial, &at, SERVER_IN_RANGE, 0, 0x3E580000u, RULES_RETRIES);
    Server_CallQueueEvent(EVENT_STATICMODIFY, o->modelSlot, &at, SERVER_TO_ALL, 0, 0, RULES_RETRIES);
    ai_ObjectDestroyed(o);
    TriggerPost(0, o->missionObject, 0);
    if (!(o->flags & FLAG_KEEPS_THINK)) o->think = nullptr;
    if (RulesRecord* r = rules_Current(); r && r->objectDestroyed) r->objectDestroyed(o);
    o->aiClass = 0;
    if (o->death) o->death(o);
    obj_TypeListUnlink(o);
    obj_ReplaceTargetRefs(o);
}

void Server_StaticDamageDestructible(ObjectRecord* o) { Server_StaticDamage(o); }
