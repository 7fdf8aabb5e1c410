// Fuzz target: arbitrary command programs. The input's first byte picks the
// unit kind and subtype of a two-unit group on a fixed route; the rest is the
// program both units run for 64 frames. Bad programs are mission errors,
// never a crash.
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/le.h"
#include "fuzz_ai.h"
#include "net/dcbpool.h"
#include "sim/ai_program.h"
#include "world/objarray.h"

namespace {

std::vector<uint8_t> Route(void) {
    LeWriter w;
    for (uint32_t i = 0; i < 3; i++) {
        w.u32(0x10000000u + i * 0x3E80000u);
        w.i32(0x640000);
        w.u32(0x10000000u);
        w.u16(static_cast<uint16_t>(i));
        w.zeros(10);
    }
    return w.buf;
}

std::vector<uint8_t> Steps(void) {
    LeWriter w;
    for (uint16_t kind : {0, 2, 1}) {
        w.u32(0x10000000u);
        w.u32(0x10000000u + kind * 0x100000u);
        w.u16(kind);
        w.u16(0x80);
    }
    return w.buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::vector<ObjectRecord*> heads;
    static std::vector<uint8_t> route = Route(), steps = Steps();
    if (!ready) {
        fuzz_AiInit();
        ready = true;
    }
    if (size < 1 || size > 4 * 4096 + 1) return 0;
    mem_HeapInit();
    level_ServerArrays = LevelServerArrays{};
    if (net_DcbPoolCreate(sizeof(_AI_DCB), 4, &level_ServerArrays.ai, nullptr, "ai") != 0) return 0;
    fuzz_AiWorldReset(heads);
    OrfGroup routeGroup{3, route.data()};
    OrfGroup stepGroup{3, steps.data()};
    _ORF mission;
    fuzz_AiMissionStart(&mission, &routeGroup, &stepGroup);

    // Kind: bit 7 a ground unit (subtype from the low bits), else an
    // aircraft of type 0..30 in the air or on the ground (bit 6).
    const bool ground = (data[0] & 0x80) != 0;
    uint8_t record[ORF_PLACED_SIZE] = {};
    record[13] = 4;
    record[14] = 1;
    record[17] = ground ? 1 : 0;
    uint8_t* a = record + ORF_PLACED_AI;
    a[0] = static_cast<uint8_t>(ground ? (data[0] & 0x0F) % 13 : (data[0] & 0x1F) % AI_UNIT_TYPES);
    a[1] = 1;
    a[2] = 0;
    a[3] = 0;
    a[5] = (data[0] & 0x40) ? 0 : ORF_AI_AIRBORNE;
    a[6] = static_cast<uint8_t>(data[0] & 3);
    ObjectRecord* units[2] = {};
    for (uint8_t m = 0; m < 2; m++) {
        ObjectRecord* o = net_DcbPoolTake(&level_ServerArrays.ai);
        if (!o) break;
        o->position = FixWorldPos{0x10000000u + m * 0x100000u, 0x2000000u, 0x10000000u};
        o->missionObject = static_cast<uint16_t>(m + 1);
        a[7] = m;
        ai_InitObjectByKind(o, record);
        obj_TypeListPush(o);
        units[m] = o;
    }
    ai_LinkWaygroups();
    const void* program = ai_ProgramLoad(data + 1, static_cast<int32_t>((size - 1) / 4));
    for (ObjectRecord* o : units)
        if (_AI_DCB* u = ai_Unit(o)) {
            u->pendingProgram = program;
            if (!o->think) o->think = ai_UnitThink;
        }
    for (int frame = 0; frame < 64; frame++)
        for (ObjectRecord* o : units)
            if (o && o->think == ai_UnitThink) ai_UnitThink(o);
    level_Mission = nullptr;
    return fuzz_AiErrors < 0;
}
