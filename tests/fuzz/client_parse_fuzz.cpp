// Fuzz target: arbitrary bytes as a server packet, parsed by a started
// client (its block, queue and tag buffers in place, pools for object copies
// and static objects, a model table), then the copies stepped and one packet
// built.
// A packet holding a start-up record is left to startup_record_fuzz: a good
// one loads a level from the data set, which this process does not have.
// The event bundles reach every handler, in a bridge game and in a remote
// one (odd and even sizes); the bytes are also walked as the events of one
// bundle. A dynamic model event with a plain name that passes every check
// loads a PAK from the data set too, so such inputs are left out as well.
#include <cstdint>
#include <cstring>

#include <algorithm>
#include <vector>

#include "base/mem.h"
#include "fuzz_util.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "sim/obj.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/terrain.h"

namespace {

bool LoadsAModel(const uint8_t* record, size_t size) {
    MsgEventWalker ew;
    if (msg_EventWalkBegin(&ew, record, size) != 0) return false;
    MsgRecord ev;
    while (msg_EventWalkNext(&ew, &ev) == 1) {
        MsgEventDynamicModel m;
        if (ev.type == EVENT_DYMANIC_MODEL && msg_EventDynamicModelDecode(ev.data, ev.length, &m) == 0 &&
            m.release == 0 && level_NameIsPlain(m.name, MODEL_DYMOD_NAME_SIZE))
            return true;
    }
    return false;
}
constexpr uint32_t COPIES = 16;
DcbPool g_statics;
std::vector<ObjectRecord*> g_heads(OBJ_GRID_SIZE * OBJ_GRID_SIZE, nullptr);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x400000, 0x10000, 0x10000, FUZZ_ALL);
        level_GameMode = GameModeFlags{1, 1, 1, 0, 0};
        Client_Start();
        Client_PlayerBlockTail[1] = 1;  // started
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
        depth_Level.staticHeads = g_heads.data();
        level_Models.count = 8;
        ready = true;
    }
    // Fresh pools for every input: the copies and statics of the last one go.
    static void* mark = nullptr;
    if (mark) mem_FreeFrom(mark);
    mark = mem_AllocEx(0, 4, "fuzz copies");
    level_ClientObjectArray = DcbPool{};
    g_statics = DcbPool{};
    net_DcbPoolCreate(sizeof(_CLIENT_DCB), COPIES, &level_ClientObjectArray, nullptr, "copies");
    net_DcbPoolCreate(sizeof(_STATIC_DCB), 8, &g_statics, nullptr, "statics");
    level_ClientStaticArray = &g_statics;
    std::fill(g_heads.begin(), g_heads.end(), nullptr);
    obj_ListsReset();
    Client.knownObjects = Client.packetObjects = nullptr;
    Client.staticBatch = 0xFFFF;
    Client.objectsSynced = 0;
    MsgWalker w;
    msg_WalkBegin(&w, data, size);
    MsgRecord r;
    while (msg_WalkNext(&w, &r) == 1) {
        if (r.type == MSG_STARTUPDATA) return 0;
        if (r.type == MSG_EVENTDATA && LoadsAModel(r.data, r.length)) return 0;
    }
    // The same bytes as the events of one bundle.
    static uint8_t bundle[MSG_PACKET_MAX];
    size_t events = size < sizeof bundle - MSG_EVENTDATA_HEAD ? size : sizeof bundle - MSG_EVENTDATA_HEAD;
    LeSpanWriter bw(bundle, sizeof bundle);
    bw.u16(MSG_EVENTDATA);
    bw.u16((uint16_t)(MSG_EVENTDATA_HEAD + events));
    bw.u16(0xFFFF);
    bw.bytes(data, events);
    if (LoadsAModel(bundle, bw.pos)) return 0;
    level_GameMode.sharedProcess = (int32_t)(size & 1);

    Client_LevelRunNumber = 0;
    Client.serverRunNumber = 0;
    Client.lastServerFrame = 0;
    Client.eventTagCount = 0;
    Client.confirmCount = 0;
    Client_SendPlayerTrig(1, 2);
    Client_ParsePacket(data, size);
    // The same bytes again: now a repeat of the previous bundle.
    Client_ParsePacket(data, size);
    MsgRecord b{MSG_EVENTDATA, (uint16_t)bw.pos, bundle};
    Client_EventBundle(&b);
    Client_EventBundle(&b);
    for (int i = 0; i < 3; i++) {
        Client.packetFrame++;
        Client_ThinkPass();
    }
    if (net_ObjectListCount(Client.knownObjects) > (int32_t)COPIES) __builtin_trap();
    Client_BuildAndSend();
    if (Client.confirmCount > CLIENT_CONFIRM_TAGS || Client.eventTagCount > CLIENT_CONFIRM_TAGS) __builtin_trap();
    return 0;
}
