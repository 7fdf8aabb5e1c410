// Aircraft set-up routines and the flight-model readout page.
#include "world/loadout.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "display/dtext.h"
#include "net/player.h"

namespace {

void Name(char* field, const char* s) {
    memset(field, 0, 16);
    memcpy(field, s, strnlen(s, 15));
}

void Rail(OrdLoadout* l, int32_t part) { ord_AddMountNamed(l, part, "rmount.pak", 0); }
void Rails(OrdLoadout* l) {
    for (int32_t p : {70, 72, 76, 81, 83, 87}) Rail(l, p);
}
void Mounts(OrdLoadout* l, int32_t type, std::initializer_list<int32_t> parts, int32_t flagA = 1) {
    for (int32_t p : parts) ord_AddMount(l, p, type, flagA, 1);
}
// Lists a store type once.
void Store(OrdLoadout* l, int32_t type) {
    for (uint32_t i = 0; i < l->storeCount; i++)
        if (l->stores[i].type == type) return;
    ord_AddStoreType(l, type, -1, -1, -1);
}
void StoreCount(OrdLoadout* l, int32_t type, int32_t count) {
    for (uint32_t i = 0; i < l->storeCount; i++)
        if (l->stores[i].type == type) l->stores[i].count = count;
}

// Stations loaded in order; the list ends with -1.
const int32_t kStationsA[] = {69, 80, 71, 82, 75, 86, 73, 84, 74, 85, -1};
const int32_t kStationsC[] = {69, 80, 70, 81, 76, 87, -1};

// One station's store.
void One(OrdLoadout* l, int32_t part, int32_t type, int32_t flagA, int32_t flagB) {
    const int32_t station[2] = {part, -1};
    ord_AddStoreWithMounts(l, station, type, flagA, flagB);
}

const int32_t* Stations(OrdLoadout* l, const int32_t* st, int32_t count, int32_t type, int32_t flagA) {
    for (int32_t i = 0; i < count && *st >= 0; i++) st = ord_AddStoreWithMounts(l, st, type, flagA, 1);
    return st;
}

}  // namespace

void loadout_PlayerSetup(PlayerAircraftBlock* block) {
    if (!block) return;
    memset(block, 0, sizeof *block);
    Name(block->name, "KRX");
    Name(block->modelFile, "krx.pak");
    Name(block->aiModel, "krx_ai.pak");
    OrdLoadout* l = &block->loadout;
    ord_AddStoreType(l, 0, 500, 500, -1);
    for (int32_t t : {2, 1, 16, 30, 10, 12}) ord_AddStoreType(l, t, -1, -1, -1);
    struct Mount {
        int32_t part, type, flagA;  // type -1: the rail model
    };
    static const Mount kMounts[] = {
        {68, 10, 1}, {69, 2, 1},   {70, -1, 1}, {71, 1, 1},  {72, -1, 1}, {73, 16, 1},  {74, 16, 1}, {75, 16, 1},
        {76, -1, 1}, {77, 30, 0},  {78, 12, 0}, {79, 30, 1}, {80, 2, 1},  {81, -1, 1},  {82, 1, 1},  {83, -1, 1},
        {84, 16, 1}, {85, 16, 1},  {86, 16, 1}, {87, -1, 1}, {88, 30, 0}, {89, 12, 0},  {90, 30, 1},
    };
    for (const Mount& m : kMounts) {
        if (m.type < 0)
            Rail(l, m.part);
        else
            ord_AddMount(l, m.part, m.type, m.flagA, 1);
    }
}

LoadoutFamily loadout_FamilyOf(const char* name) {
    if (!name) return LOADOUT_NONE;
    static const struct {
        const char* name;
        LoadoutFamily family;
    } kFamilies[] = {{"KRX", LOADOUT_A}, {"RX3", LOADOUT_A2}, {"SX1", LOADOUT_B}, {"TVLAR", LOADOUT_C}};
    for (const auto& f : kFamilies)
        if (strcmp(f.name, name) == 0) return f.family;
    return LOADOUT_NONE;
}

void loadout_Deathmatch(LoadoutFamily family, OrdLoadout* l, const LoadoutHostOptions* o) {
    if (!l || !o) return;
    if (family == LOADOUT_C) {
        const int32_t* st = Stations(l, kStationsC, o->sw, 20, 0);
        Stations(l, st, o->am, 22, 0);
        Store(l, 11);
        ord_AddMount(l, 68, 11, 1, 1);
        return;
    }
    if (family == LOADOUT_NONE) return;
    const int32_t* st = Stations(l, kStationsA, o->sw, 1, 1);
    Stations(l, st, o->am, 2, 1);
    Rails(l);
    Store(l, 10);
    Store(l, 12);
    ord_AddMount(l, 68, 10, 1, 1);
    Mounts(l, 12, {79, 90});
}

void loadout_CtfFirst(LoadoutFamily family, OrdLoadout* l) {
    if (!l) return;
    if (family == LOADOUT_C) {
        for (int32_t p : {69, 80, 70, 81}) One(l, p, 20, 1, 1);
        for (int32_t p : {76, 87}) One(l, p, 22, 1, 1);
        for (int32_t p : {68}) One(l, p, 11, 1, 1);
        return;
    }
    if (family == LOADOUT_NONE) return;
    static const struct {
        int32_t type;
        int32_t parts[4];
    } kLoads[] = {{1, {69, 80, 71, 82}}, {2, {75, 86, -1, -1}}, {10, {68, -1, -1, -1}}, {12, {79, 90, -1, -1}}};
    for (const auto& ld : kLoads)
        for (int32_t p : ld.parts)
            if (p >= 0) One(l, p, ld.type, 1, 1);
    Rails(l);
}

void loadout_CtfSecond(LoadoutFamily family, OrdLoadout* l, const LoadoutHostOptions* o) {
    if (!l || !o) return;
    auto put = [l](int32_t type, std::initializer_list<int32_t> parts) {
        for (int32_t p : parts) One(l, p, type, 1, 1);
    };
    if (family == LOADOUT_C) {
        put(o->share2 ? 20 : 26, {69, 80});
        put(37, {70, 81});
        put(36, {76, 87});
        put(11, {68});
        return;
    }
    if (family == LOADOUT_NONE) return;
    if (o->share2) {
        put(1, {69, 80});
        put(30, {75, 86});
    } else {
        put(30, {75, 73, 86, 84});
    }
    put(35, {79, 90});
    put(10, {68});
    Rails(l);
}

void loadout_StoreCounts(LoadoutFamily family, OrdLoadout* l, int32_t teamPlay, int32_t second,
                         const LoadoutHostOptions* o) {
    if (!l || !o || family != LOADOUT_A2) return;
    if (teamPlay == 1) {
        StoreCount(l, 2, o->am);
        StoreCount(l, 1, o->sw);
    } else if (teamPlay == 2 && !second) {
        StoreCount(l, 2, 4);
        StoreCount(l, 1, 2);
    } else if (teamPlay == 2) {
        if (o->share2) StoreCount(l, 2, 2);
        StoreCount(l, 1, 2);
        StoreCount(l, 3, 2);
    }
}

void loadout_FullStores(LoadoutFamily family, OrdLoadout* l) {
    if (!l) return;
    static const int32_t kA[] = {1, 2, 15, 16, 17, 18, 35, -1};
    static const int32_t kAB[] = {1, 2, 3, -1};
    static const int32_t kC[] = {21, 22, 24, 26, 27, 36, 38, -1};
    const int32_t* types = family == LOADOUT_A ? kA : family == LOADOUT_C ? kC : family == LOADOUT_NONE ? nullptr : kAB;
    for (; types && *types >= 0; types++) ord_AddStoreType(l, *types, 10, 10, -1);
}

int32_t loadout_ReadoutFormat(const LoadoutReadout* v, LoadoutReadoutLine* lines) {
    if (!v || !lines) return 0;
    int32_t n = 0;
    auto line = [&](int32_t y) -> char* {
        lines[n].x = 10;
        lines[n].y = y;
        return lines[n++].text;
    };
    constexpr size_t S = sizeof lines[0].text;
    constexpr float kLb = 2.20462f;
    snprintf(line(10), S, "MASS: %5.2fkg (P=%5.2f, O=%5.2f, I=%5.2f, E=%5.2f)", v->mass, v->massP, v->massO, v->massI,
             v->massE);
    snprintf(line(18), S, "MASS: %5.2flb (P=%5.2f, O=%5.2f, I=%5.2f, E=%5.2f)", v->mass * kLb, v->massP * kLb,
             v->massO * kLb, v->massI * kLb, v->massE * kLb);
    const double kmh = (double)v->velocity * 144000.0 * 0.001;
    snprintf(line(26), S, "VELOCITY: %5.5f M/F, %4.3f KM/HR, %4.3f MI/HR, %4.3f NM/HR", v->velocity, kmh,
             kmh / 1.609344, kmh / 1.852);
    snprintf(line(34), S, "ALTITUDE: %5.5f METERS, %5.5f FEET", v->altitude, v->altitude * 3.281);
    snprintf(line(42), S, "AOA: %5.5f degrees", v->aoa);
    snprintf(line(58), S, "ENGINE:");
    snprintf(line(74), S, "THROTTLE : %3.3f%% (%3.3f%%)", v->throttle * 100.0, v->throttleTarget * 100.0);
    snprintf(line(82), S, "AIR INTAKE: %3.3f%% (%3.3f%%)", v->intake * 100.0, v->intakeTarget * 100.0);
    snprintf(line(90), S, "FUEL USAGE : turbine = %3.3f%%, afterburnder = %3.3f%%", v->fuelTurbine * 100.0,
             v->fuelAfterburner * 100.0);
    snprintf(line(98), S, "FUEL FLOW : %3.3f%% (turbine = %3.3f%%, afterburnder = %3.3f%%)", v->fuelFlow * 100.0,
             v->flowTurbine * 100.0, v->flowAfterburner * 100.0);
    static const char* const kFlame[4] = {"OK", "INTERMITTEN", "STALLED", "DAMAGED"};
    const char* status = v->flameStatus >= 0 && v->flameStatus < 4 ? kFlame[v->flameStatus] : "";
    snprintf(line(106), S, "FLAME STATUS : %s", status);
    snprintf(line(114), S, "FLAME : counter = %ld, level = %3.3f%%, scale = %3.3f%%, flame = %3.3f",
             (long)v->flameCounter, v->flameLevel * 100.0, v->flameScale * 100.0, v->flame);
    snprintf(line(122), S, "RPMS : %3.3f%% (%3.3f%%)", v->rpm * 100.0, v->rpmTarget * 100.0);
    snprintf(line(130), S, "TEMPERATURE : %3.3f deg C  [turbine %3.3f (%3.3f), flame %3.3f (%3.3f)]", v->temperature,
             v->turbineTemp, v->turbineTempTarget, v->flameTemp, v->flameTempTarget);
    snprintf(line(138), S, "THRUST : %3.3f (PURE = %3.3f, EFFECIENCY = %3.3f)", v->thrust, v->thrustPure,
             v->efficiency);
    snprintf(line(154), S, "ANGLES: YAW = %3.3f, PITCH = %3.3f", v->yaw, v->pitch);
    return n;
}

void loadout_ReadoutDraw(const LoadoutReadout* values) {
    LoadoutReadoutLine lines[LOADOUT_READOUT_LINES];
    int32_t n = loadout_ReadoutFormat(values, lines);
    for (int32_t i = 0; i < n; i++) app_DebugTextThunk(lines[i].x, lines[i].y, lines[i].text, 0xFFFFFFu);
}
