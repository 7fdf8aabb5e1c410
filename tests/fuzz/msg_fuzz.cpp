// Fuzz target: packets through the walker, and every record and event
// decoder on each record the walker hands out and on the raw bytes.
#include <cstdint>
#include <cstring>

#include "net/msg.h"

namespace {

uint32_t g_sum;

template <typename T>
void Use(int32_t rc, const T& value) {
    if (rc != 0) return;
    const uint8_t* p = (const uint8_t*)&value;
    for (size_t i = 0; i < sizeof value; i++) g_sum += p[i];
}

void Events(const uint8_t* data, size_t size) {
    MsgEventCommon common;
    MsgEventText text;
    MsgBullet bullet;
    MsgEventScores scores;
    MsgEventName name;
    MsgEventLevelReset reset;
    MsgEventSquadron squadron;
    MsgEventDynamicModel model;
    MsgEventDebugPath path;
    Use(msg_EventCommonDecode(data, size, &common), common);
    Use(msg_EventTextDecode(data, size, &text), text);
    Use(msg_EventBulletDecode(data, size, &bullet), bullet);
    Use(msg_EventScoresDecode(data, size, &scores), scores);
    Use(msg_EventNameDecode(data, size, &name), name);
    Use(msg_EventLevelResetDecode(data, size, &reset), reset);
    Use(msg_EventSquadronDecode(data, size, &squadron), squadron);
    Use(msg_EventDynamicModelDecode(data, size, &model), model);
    Use(msg_EventDebugPathDecode(data, size, &path), path);
}

void Records(const uint8_t* data, size_t size) {
    MsgObjectData objects;
    if (msg_ObjectDataDecode(data, size, &objects) == 0)
        for (uint32_t i = 0; i <= objects.count; i++) {
            MsgObjectEntry e;
            Use(msg_ObjectEntryDecode(data, size, i, &e), e);
        }
    MsgStaticData statics;
    if (msg_StaticDataDecode(data, size, &statics) == 0)
        for (uint32_t i = 0; i <= statics.count; i++) {
            MsgStaticEntry e;
            Use(msg_StaticEntryDecode(data, size, i, &e), e);
        }
    MsgEventData events;
    if (msg_EventDataDecode(data, size, &events) == 0) {
        MsgEventWalker ew;
        MsgRecord ev;
        if (msg_EventWalkBegin(&ew, data, size) == 0)
            while (msg_EventWalkNext(&ew, &ev) > 0) Events(ev.data, ev.length);
    }
    MsgMsgConfirm confirm;
    if (msg_MsgConfirmDecode(data, size, &confirm) == 0)
        for (uint32_t i = 0; i <= confirm.count && i < 5000; i++) {
            uint32_t tag = 0;
            if (msg_MsgConfirmTag(data, size, i, &tag) == 0) g_sum += tag;
        }
    MsgPlayerInfo info;
    MsgChat chat;
    MsgPlayerData player;
    MsgBullet bullet;
    MsgBulletHit hit;
    MsgLaunchMissile missile;
    MsgLaunchBomb bomb;
    MsgJettisonWeapon jettison;
    MsgPlayerReset reset;
    MsgPlayerPosition position;
    MsgEcmDrop ecm;
    MsgPlayerTrig trig;
    MsgBulletHitStatic hitStatic;
    MsgWord word;
    MsgStartupConfirm startup;
    MsgSquadRequest squad;
    MsgResponse response;
    MsgLaunchFuelPlane fuel;
    MsgTagOnly tagOnly;
    MsgConsoleCommand console;
    MsgStaticConfirm staticConfirm;
    Use(msg_PlayerInfoDecode(data, size, &info), info);
    Use(msg_ChatDecode(data, size, &chat), chat);
    Use(msg_PlayerDataDecode(data, size, &player), player);
    Use(msg_BulletFiredDecode(data, size, &bullet), bullet);
    Use(msg_BulletHitDecode(data, size, &hit), hit);
    Use(msg_LaunchMissileDecode(data, size, &missile), missile);
    Use(msg_LaunchBombDecode(data, size, &bomb), bomb);
    Use(msg_JettisonWeaponDecode(data, size, &jettison), jettison);
    Use(msg_PlayerResetDecode(data, size, &reset), reset);
    Use(msg_PlayerCrashDecode(data, size, &position), position);
    Use(msg_MidairDecode(data, size, &position), position);
    Use(msg_EcmDropDecode(data, size, &ecm), ecm);
    Use(msg_PlayerTrigDecode(data, size, &trig), trig);
    Use(msg_BulletHitStaticDecode(data, size, &hitStatic), hitStatic);
    Use(msg_WingCommandDecode(data, size, &word), word);
    Use(msg_PlayerTypeDecode(data, size, &word), word);
    Use(msg_StartupConfirmDecode(data, size, &startup), startup);
    Use(msg_SquadRequestDecode(data, size, &squad), squad);
    Use(msg_ResponseDecode(data, size, &response), response);
    Use(msg_LaunchFuelPlaneDecode(data, size, &fuel), fuel);
    Use(msg_PlayerExplodedDecode(data, size, &tagOnly), tagOnly);
    Use(msg_VictoryDecode(data, size, &tagOnly), tagOnly);
    Use(msg_ConsoleCommandDecode(data, size, &console), console);
    Use(msg_StaticConfirmDecode(data, size, &staticConfirm), staticConfirm);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MsgWalker w;
    MsgRecord r;
    msg_WalkBegin(&w, data, size);
    while (msg_WalkNext(&w, &r) > 0) Records(r.data, r.length);
    // The decoders on their own, as a handler might call them on anything.
    Records(data, size);
    Events(data, size);
    return g_sum == 0xFFFFFFFF;
}
