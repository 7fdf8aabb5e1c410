// Stand-in until the weapons land: nothing is launched, and of the weapon
// table only the kind bits and sound numbers are here.
#include "sim/weapon.h"

#include "sim/hit.h"

WeaponLaunchRecord weapon_LaunchRecord;

void weapon_LoadModels(void) {}
void weapon_DecoyListsReset(void) {}
void weapon_SetCurrentType(int32_t) {}

void weapon_InitBullet(ObjectRecord*) {}
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_LaunchBombObject(const FixWorldPos*) { return nullptr; }
ObjectRecord* weapon_SpawnReleasedStore(void) { return nullptr; }
ObjectRecord* weapon_FlareCreate(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_ChaffCreate(ObjectRecord*) { return nullptr; }

void weapon_TargetListRemove(ObjectRecord*) {}

// The kind bits and sound numbers of the 39 rows are all the client's hit
// handling reads of the table.
uint32_t weapon_TypeKindBits(int32_t type) {
    static const uint32_t bits[SIM_WEAPON_TYPES] = {
        0x701,     0x3004162, 0x30009A2, 0x11C0208, 0x1,       0x101,     0x1000162, 0x10001A2,
        0x1000208, 0x0,       0x10,      0x10,      0x10,      0x10,      0x10,      0x3790264,
        0x3788264, 0x3780CA4, 0x1382264, 0x10011A2, 0x3004162, 0x3004162, 0x30009A2, 0x19A0264,
        0x13822A4, 0x19A0264, 0x3590264, 0x13822A4, 0x701,     0x1180208, 0x1FA0208, 0x1FA0208,
        0x1FA0208, 0x11C0208, 0x11C0208, 0x11C0208, 0x3590208, 0x1180208, 0x1180208};
    return type >= 0 && type < SIM_WEAPON_TYPES ? bits[type] : 0;
}
int32_t weapon_TypeSoundNumber(int32_t type) { return type >= 0 && type < SIM_WEAPON_TYPES ? 33 + type : 0; }
