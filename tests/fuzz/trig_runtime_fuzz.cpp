// Fuzz target: arbitrary triggers, action lists and events. Input: a byte of
// trigger count (at most 16) and one of list length (at most 8); the
// triggers (76 bytes each); the list entries (keyword id, argument, next
// node, flags: 4 bytes each); then events of 12 bytes, each followed by a
// counter tick. The runtime may do little with bad records, never crash.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_util.h"
#include "sim/ai.h"
#include "sim/trig.h"
#include "world/level.h"
#include "world/orf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x100000, 0x10000, 0x10000, 0);
        ready = true;
    }
    if (size < 2 || size > 0x4000) return 0;
    const uint32_t triggerCount = data[0] % 17, nodeCount = data[1] % 9;
    size_t at = 2;
    if (size < at + triggerCount * ORF_TRIGGER_SIZE + nodeCount * 4) return 0;
    std::vector<uint8_t> triggers(data + at, data + at + triggerCount * ORF_TRIGGER_SIZE);
    at += triggers.size();
    std::vector<OrfTriggerNode> nodes(nodeCount);
    std::vector<OrfTriggerAction> actions(nodeCount);
    std::vector<OrfTriggerArgs> arguments(nodeCount);
    for (uint32_t i = 0; i < nodeCount; i++, at += 4) {
        const uint8_t* e = data + at;
        for (const TriggerActionEntry* k = trig_ActionTable; k->keyword; k++)
            if (k->id == e[0]) actions[i].handler = k;
        arguments[i].word[2] = static_cast<int8_t>(e[1]);
        actions[i].arguments = (e[3] & 2) ? nullptr : &arguments[i];
        nodes[i].word[0] = e[3] & 1;
        nodes[i].action = &actions[i];
        nodes[i].node1 = e[2] < nodeCount ? &nodes[e[2]] : nullptr;  // cycles are allowed
    }
    std::vector<uint8_t> counters(4 * ORF_COUNTER_SIZE, 0);
    std::vector<uint8_t> messages(2 * ORF_MESSAGE_SIZE, 0);
    memcpy(messages.data(), "HELLO", 5);
    memcpy(messages.data() + ORF_MESSAGE_SIZE, "NULLMSG", 7);
    _ORF mission{};
    mission.triggers = OrfArray{triggers.empty() ? nullptr : triggers.data(), triggerCount};
    mission.counters = OrfArray{counters.data(), 4};
    mission.messages = OrfArray{messages.data(), 2};
    mission.nodes = nodes.empty() ? nullptr : nodes.data();
    mission.nodeCount = nodeCount;
    level_Mission = &mission;
    ai_ClearModuleData();
    memset(trig_Flags, 0, sizeof trig_Flags);
    trig_Reset();
    for (; at + 12 <= size; at += 12) {
        const uint8_t* e = data + at;
        auto word = [e](int n) { return static_cast<uint16_t>(e[2 * n] | e[2 * n + 1] << 8); };
        trig_Event = TriggerEvent{word(0), word(1), word(2), word(3), word(4), word(5)};
        trig_PostEvent();
        trig_CounterTick();
    }
    level_Mission = nullptr;
    return 0;
}
