// Fuzz target: the ordnance manager rebuilt from a saved store list, then
// the weapon keys, releases and the list saved again. The first byte
// chooses the form: 0 an aircraft set-up block image (the list as it
// travels), otherwise the list's own words as they lie in memory.
#include <cstdint>
#include <cstring>

#include "fuzz_util.h"
#include "net/player.h"
#include "sim/ord.h"
#include "sim/weapon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x100000, 0, 0, 0);
        ready = true;
    }
    if (size < 1) return 0;
    OrdLoadout list{};
    if (data[0] == 0) {
        static PlayerAircraftBlock block;
        if (size - 1 < PLAYER_AIRCRAFT_BLOCK_SIZE || player_BlockRead(&block, data + 1) != 0) return 0;
        list = block.loadout;
    } else {
        memcpy(&list, data + 1, size - 1 < sizeof list ? size - 1 : sizeof list);
    }
    ord_StoreListSet(&list);
    if (ord_StoreListRestore() != 0) return 0;
    if (ord_Manager->panels.count > ORD_STORES_MAX || ord_Manager->mounts.count > ORD_MOUNTS_MAX) __builtin_trap();
    weapon_CurrentReset();
    for (int32_t code = 9; code <= 34; code++) {
        weapon_KeyCode(code);
        if (weapon_CurrentId >= 0) {
            ord_AllReady();
            ord_ConsumeStore(weapon_CurrentId);
        }
        ord_FuelDraw(1.0f);
    }
    ord_StoreListSave();
    if (ord_SavedStoreList.storeCount > (uint32_t)ORD_STORES_MAX ||
        ord_SavedStoreList.mountCount > (uint32_t)ORD_MOUNTS_MAX)
        __builtin_trap();
    for (uint32_t i = 0; i < ord_SavedStoreList.mountCount; i++)
        if (!memchr(ord_SavedStoreList.mounts[i].modelName, 0, 16)) __builtin_trap();
    ord_ManagerDestroy();
    weapon_CurrentReset();
    return 0;
}
