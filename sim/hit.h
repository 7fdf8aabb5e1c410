// The hit record a damage routine reads, and the aircraft services the
// server's handlers use.
#pragma once
#include <cstdint>

struct ObjectRecord;
struct PlayerAircraftBlock;

struct SimHitRecord {
    ObjectRecord* hitter;
    int32_t damage;
    int32_t scale;   // 16.16
};
extern SimHitRecord sim_HitRecord;

// Weapon types 0..38, wing commands 0..SIM_WING_COMMANDS-1.
constexpr int32_t SIM_WEAPON_TYPES = 39;
constexpr int32_t SIM_WING_COMMANDS = 16;

// Takes one store of the type from the block; -1 when none is left.
int32_t plane_DecrementStore(PlayerAircraftBlock* block, int32_t weaponType);
// Gives the wing command to the aircraft's wingmen.
void ai_WingCommand(ObjectRecord* aircraft, int32_t command);
// The tanker's think and draw routines.
void weapon_TankerThink(ObjectRecord* tanker);
void weapon_TankerDraw(ObjectRecord* tanker);
