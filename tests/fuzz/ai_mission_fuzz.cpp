// Fuzz target: arbitrary mission placed records (76 bytes each, kind byte
// and AI part as read) go through unit creation and mission start, with a
// route and a route-step list of the input's own bytes. Bad units are
// mission errors, never a crash.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_ai.h"
#include "net/dcbpool.h"
#include "world/objarray.h"

namespace {

constexpr uint32_t kUnits = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::vector<ObjectRecord*> heads;
    if (!ready) {
        fuzz_AiInit();
        ready = true;
    }
    if (size > 64 * ORF_PLACED_SIZE) return 0;
    // Fresh pools and grid each run.
    mem_HeapInit();
    level_ServerArrays = LevelServerArrays{};
    if (net_DcbPoolCreate(sizeof(_AI_DCB), kUnits, &level_ServerArrays.ai, nullptr, "ai") != 0) return 0;
    if (net_DcbPoolCreate(sizeof(_STATIC_DCB), kUnits, &level_ServerArrays.statics, nullptr, "statics") != 0) return 0;
    level_ClientStaticArray = &level_ServerArrays.statics;
    fuzz_AiWorldReset(heads);

    // The input's first 48 bytes are two waypoints of route 0, its next 24
    // two route steps of list 0; the records follow.
    std::vector<uint8_t> bytes(data, data + size);
    bytes.resize(std::max<size_t>(size, 72), 0);
    OrfGroup route{2, bytes.data()};
    OrfGroup steps{2, bytes.data() + 48};
    _ORF mission;
    fuzz_AiMissionStart(&mission, &route, &steps);
    uint32_t count = static_cast<uint32_t>((bytes.size() - 72) / ORF_PLACED_SIZE);
    for (uint32_t i = 0; i < count; i++) {
        const uint8_t* record = bytes.data() + 72 + static_cast<size_t>(i) * ORF_PLACED_SIZE;
        ObjectRecord* o = record[17] == 2 ? net_DcbPoolTake(&level_ServerArrays.statics)
                                          : net_DcbPoolTake(&level_ServerArrays.ai);
        if (!o) break;
        memcpy(&o->position, record, 12);
        o->missionObject = static_cast<uint16_t>(i + 1);
        ai_InitObjectByKind(o, record);
        obj_TypeListPush(o);
    }
    ai_LinkWaygroups();
    ai_AttachNearbyUnits();
    ai_SaveGroupCounters();
    ai_Nop();
    // A few frames of route flying and waypoint actions for each unit.
    for (ObjectRecord* o = obj_TypeList.head; o; o = o->typeNext) {
        ai_FlyToWaypoint(o);
        ai_WaypointAction(o);
        ai_TaxiToStep(o);
        ai_FlyFormation(o);
    }
    level_Mission = nullptr;
    return fuzz_AiErrors < 0;
}
