// Cheat codes: three code words unlock them while the marker file exists,
// then each further word runs one cheat. Every word and file name is kept
// scrambled and compared through the keyed scrambler.
#include "debug/cheat.h"

#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "base/units.h"
#include "debug/cheat_local.h"
#include "debug/console.h"
#include "debug/dbgtext.h"
#include "debug/timecomp.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/plane.h"

const char cheat_Key[] = "krx flight line";
int32_t cheat_Stage = 0;
uint8_t cheat_StateByte = 0;
const char* dbg_EngineMessage = nullptr;

namespace {

// The marker file and the engine message file, unscrambled in place on
// first use.
char g_marker[] = "MELQQC.ALC";
bool g_markerPlain = false;
char g_engineFile[] = "GAUVZL.CZK";
bool g_engineFilePlain = false;
char* g_engineMessage = nullptr;

const char* const kCodeWords[3] = {"jnfoabh", "oroqad", "ebacmzi"};

// Flight actions run once at the player's next flight-model step; they need
// a player object (and the move one its target).
void MoveToTarget(_PLANE* plane) {
    const ObjectRecord* o = Client_PlayerObject;
    if (!o || !o->target) return;
    FloatStateRecord t = {};
    fix_ObjectToFloatState(o->target, &t);
    // 1000 m behind the target and 40 m above it, on its heading and with its
    // velocity.
    plane->orientation = t.frame.rot;
    plane->position = t.frame.pos;
    math_Vec3SubRow2Scaled(&plane->position, &t.frame.rot, 1000.0f);
    plane->position.y += 40.0f;
    plane->velocity = t.velocity;
}

void TurnAround(_PLANE* plane) {
    if (!Client_PlayerObject) return;
    // Half a turn about the vertical: the side and nose axes change sign.
    for (int32_t row : {0, 2})
        for (float& v : plane->orientation.m[row]) v = -v;
    plane->velocity.x = -plane->velocity.x;
    plane->velocity.y = -plane->velocity.y;
    plane->velocity.z = -plane->velocity.z;
}

void Arm(void (*routine)(_PLANE*)) {
    if (!Client_PlayerObject) return;
    plane_PendingRoutine = routine;
}

void Say(int32_t on, const char* yes, const char* no) { dbg_TextPrint(on ? yes : no); }

void CheatFast(void) {
    dbg_FastMode = dbg_FastMode ? 0 : 1;
    Say(dbg_FastMode, "FAST MODE : ENABLED", "FAST MODE : DISABLED");
}
void CheatMove(void) { Arm(MoveToTarget); }
void CheatTurn(void) { Arm(TurnAround); }
void CheatFlag2(void) {
    int32_t& f = con_ToggleBlock[CON_CHEAT_FLAG2];
    f = f ? 0 : 1;
    cheat_StateByte = (uint8_t)(f ? cheat_StateByte | CHEAT_STATE_FLAG2 : cheat_StateByte & ~CHEAT_STATE_FLAG2);
    con_PrintString(f ? 942 : 943);
}
void CheatReload(void) {
    cheat_ReloadAction();
    dbg_TextPrint("RELOADED!");
}
void CheatRefuel(void) {
    plane_Refuel();
    dbg_TextPrint("REFUELED!");
}
void CheatUnlimited(void) {
    con_UnlimitedStores = con_UnlimitedStores ? 0 : 1;
    cheat_StateByte = (uint8_t)(con_UnlimitedStores ? cheat_StateByte | CHEAT_STATE_UNLIMITED
                                                    : cheat_StateByte & ~CHEAT_STATE_UNLIMITED);
    Say(con_UnlimitedStores, "UNLIMITED AMMO : ENABLED", "UNLIMITED AMMO : DISABLED");
}
void CheatRecordBit(void) {
    if (plane_Current) plane_Current->flags ^= 0x8000;
}
void CheatNoCrash(void) { Say(con_NoCrashToggle(), "NO CRASH : ENABLED", "NO CRASH : DISABLED"); }
void CheatHeal(void) {
    cheat_HealAction();
    Client_SendPlayerReset(1);
    dbg_TextPrint("HEALED!");
}

void EngineMessageFree(void) {
    if (g_engineMessage) mem_GlobalFreeNamed(g_engineMessage);
    g_engineMessage = nullptr;
    dbg_EngineMessage = nullptr;
}

void CheatEngineMessage(void) {
    if (g_engineMessage) {
        EngineMessageFree();
        return;
    }
    if (!g_engineFilePlain) {
        cheat_KeyedTransformText(g_engineFile, cheat_Key);
        g_engineFilePlain = true;
    }
    const int32_t size = file_FileSizeEx(g_engineFile);
    if (size < 0 || size > 0x7FFFFFFE) return;
    char* buffer = static_cast<char*>(mem_GlobalAllocNamed("EngineMsg", size + 1));
    if (!buffer) return;
    // Only what was read counts: the text ends there at the latest.
    int32_t got = 0;
    if (file_OpenEx(g_engineFile) >= 0) {
        got = file_Read(buffer, size);
        file_Close();
    }
    if (got <= 0) {
        mem_GlobalFreeNamed(buffer);
        return;
    }
    buffer[got] = 0;
    cheat_KeyedTransformCount(buffer, got, cheat_Key);
    g_engineMessage = buffer;
    dbg_EngineMessage = buffer;
}

void CheatFlag3(void) {
    int32_t& f = con_ToggleBlock[CON_CHEAT_FLAG3];
    f = f ? 0 : 1;
    con_PrintString(f ? 945 : 946);
}
void CheatVictory(void) { Client_SendVictory(); }

struct CheatRecord {
    const char* name;
    void (*handler)(void);
};
const CheatRecord kCheats[] = {
    {"jhfek", CheatFast},        {"lhacfv", CheatMove},         {"cochfmqji", CheatTurn},
    {"ieszxpdz", CheatFlag2},    {"trghbwbf", CheatReload},     {"hvzygw", CheatRefuel},
    {"garyqzi", CheatUnlimited}, {"onfxnpj", CheatRecordBit},   {"wapeqhahfoc", CheatNoCrash},
    {"orbq", CheatHeal},         {"gauvzluy", CheatEngineMessage}, {"uuoqad", CheatFlag3},
    {"vewhywx", CheatVictory},   {nullptr, nullptr},
};

}  // namespace

void cheat_ReloadAction(void) {
    if (Client_PlayerObject) plane_ReloadStores(Client_PlayerObject);
    Client_SendPlayerReset(4);
}

void cheat_HealAction(void) {
    memset(plane_SystemsDamage, 0, sizeof plane_SystemsDamage);
    plane_HookRepair(0);
}

void cheat_Reset(void) {
    cheat_Stage = 0;
    cheat_StateByte = 0;
    EngineMessageFree();
}

int32_t cheat_Command(const char* text) {
    if (!text) return 0;
    if (!g_markerPlain) {
        cheat_KeyedTransformText(g_marker, cheat_Key);
        g_markerPlain = true;
    }
    if (cheat_Stage < 3) {
        if (cheat_Stage == 0 && !file_Exists(g_marker)) return 0;
        if (!cheat_KeyedCompare(text, kCodeWords[cheat_Stage], cheat_Key)) return 0;
        if (++cheat_Stage == 3) dbg_TextPrint("CHEATS ENABLED.");
        return 1;
    }
    for (const CheatRecord* c = kCheats; c->name; c++) {
        if (cheat_KeyedCompare(text, c->name, cheat_Key)) {
            c->handler();
            return 1;
        }
    }
    return 0;
}
