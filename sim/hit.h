// The hit record a damage routine reads, and the tanker the server
// launches.
#pragma once
#include <cstdint>

struct ObjectRecord;

struct SimHitRecord {
    ObjectRecord* hitter;
    int32_t damage;
    int32_t scale;   // 16.16 multiplier (the hit direction of the weapon code)
    ObjectRecord* owner;   // who launched the weapon
    int32_t kind;          // the weapon row's hit kind
    uint32_t serial;       // the weapon's serial
    int32_t debris;        // the value of the EVENT_DEBRIS a hit player aircraft sends
    int32_t weaponType;    // the weapon type index of its EVENT_BEENHIT (0 for cannon hits)
};
extern SimHitRecord sim_HitRecord;

// Weapon types 0..38, wingman orders 0..9.
constexpr int32_t SIM_WEAPON_TYPES = 39;
constexpr int32_t SIM_WING_COMMANDS = 10;

// The tanker's think and draw routines.
void weapon_TankerThink(ObjectRecord* tanker);
void weapon_TankerDraw(ObjectRecord* tanker);
