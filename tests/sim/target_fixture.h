// A player aircraft and a few world objects on flat ground for the
// targeting, seeker and guidance tests.
#pragma once
#include <cstring>
#include <memory>
#include <vector>

#include "net/client.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sim_fixture.h"

constexpr uint32_t kMid = 0x40000000;
constexpr uint32_t kAlt = 0x1000000;

class TargetEnv : public SimEnv {
protected:
    std::vector<std::unique_ptr<_COMMON_DCB>> records;
    ObjectRecord* player = nullptr;

    void SetUp() override {
        SimEnv::SetUp();
        obj_ClearLabelCache();
        obj_TypeListReset();
        weapon_TargetListClear();
        weapon_SeekerHeadReset();
        weapon_LockState = 0;
        weapon_RadarMode = 1;
        memset(plane_SystemsDamage, 0, sizeof plane_SystemsDamage);
        player = Make(0, 0, 0);
        player->flags = OBJ_FLAG_PLAYER;
        Client_PlayerObject = player;
    }
    void TearDown() override {
        Client_PlayerObject = nullptr;
        weapon_CurrentId = -1;
        weapon_Current = _WEAPON_TYPE{};
        weapon_Current.index = -1;
        obj_TypeListReset();
        SimEnv::TearDown();
    }
    // An object at (dx, dy, dz) from the middle of the world at kAlt.
    ObjectRecord* Make(int32_t dx, int32_t dy, int32_t dz) {
        records.push_back(std::make_unique<_COMMON_DCB>());
        ObjectRecord* o = &records.back()->object;
        o->position = FixWorldPos{kMid + static_cast<uint32_t>(dx), kAlt + static_cast<uint32_t>(dy),
                                  kMid + static_cast<uint32_t>(dz)};
        o->hitPoints = 1;
        return o;
    }
    // An airborne aircraft in the type list, known to the player.
    ObjectRecord* Aircraft(int32_t dx, int32_t dy, int32_t dz) {
        ObjectRecord* o = Make(dx, dy, dz);
        o->aiClass = 1;
        o->stateFlags = OBJ_STATE_AIRBORNE;
        o->known = 1;
        obj_TypeListAppend(o);
        return o;
    }
    static int32_t Row(const char* id) {
        for (int32_t i = 0; i < WEAPON_TYPES; i++)
            if (!strcmp(weapon_Types[i].id, id)) return i;
        return -1;
    }
    // Makes the row current without the ordnance manager.
    static void Current(const char* id) {
        const int32_t i = Row(id);
        weapon_CurrentId = i;
        weapon_Current = weapon_Types[i];
    }
};
