// Fuzz target: arbitrary bytes as a server packet, parsed by a started
// client (its block, queue and tag buffers in place), then one packet built.
// A packet holding a start-up record is left to startup_record_fuzz: a good
// one loads a level from the data set, which this process does not have.
#include <cstdint>
#include <cstring>

#include "fuzz_util.h"
#include "net/client.h"
#include "world/gamemode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x400000, 0x10000, 0x10000, FUZZ_ALL);
        level_GameMode = GameModeFlags{1, 1, 1, 0, 0};
        Client_Start();
        Client_PlayerBlockTail[1] = 1;  // started
        ready = true;
    }
    MsgWalker w;
    msg_WalkBegin(&w, data, size);
    MsgRecord r;
    while (msg_WalkNext(&w, &r) == 1)
        if (r.type == MSG_STARTUPDATA) return 0;

    Client_LevelRunNumber = 0;
    Client.serverRunNumber = 0;
    Client.lastServerFrame = 0;
    Client.eventTagCount = 0;
    Client.confirmCount = 0;
    Client_SendPlayerTrig(1, 2);
    Client_ParsePacket(data, size);
    // The same bytes again: now a repeat of the previous bundle.
    Client_ParsePacket(data, size);
    Client_BuildAndSend();
    if (Client.confirmCount > CLIENT_CONFIRM_TAGS || Client.eventTagCount > CLIENT_CONFIRM_TAGS) __builtin_trap();
    return 0;
}
