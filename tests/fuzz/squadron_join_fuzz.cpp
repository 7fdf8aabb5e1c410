// Squadron joins and departures on arbitrary names and passwords: the
// buffer's entries keep their terminated fields and their index words.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cockpit/tacmap.h"
#include "fuzz_util.h"
#include "net/server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x100000, 0, 0, 0);
        ready = true;
    }
    tacmap_SquadronBufferInit();
    if (!tacmap_SquadronBuffer) return 0;
    static PlayerSlot players[20];
    for (uint32_t i = 0; i < 20; i++) {
        players[i] = PlayerSlot{};
        players[i].squadron = 0xFFFF;
        players[i].playerId = i;
        players[i].name = "Fuzz";
    }
    // Records: player byte, name length, password length, then the texts;
    // a player byte with bit 7 set leaves instead.
    size_t at = 0;
    while (at + 3 <= size) {
        const uint8_t who = data[at], nameLength = data[at + 1], wordLength = data[at + 2];
        at += 3;
        PlayerSlot* p = &players[(who & 0x7F) % 20];
        if (who & 0x80) {
            tacmap_SquadronLeave(p);
            continue;
        }
        const size_t n = nameLength < size - at ? nameLength : size - at;
        const std::string name(reinterpret_cast<const char*>(data + at), n);
        at += n;
        const size_t w = wordLength < size - at ? wordLength : size - at;
        const std::string word(reinterpret_cast<const char*>(data + at), w);
        at += w;
        const int32_t index = tacmap_SquadronJoin(p, name.c_str(), word.c_str());
        if (index < -1 || index >= TACMAP_SQUADRONS) abort();
    }
    for (int32_t i = 0; i < TACMAP_SQUADRONS; i++) {
        const uint8_t* e = tacmap_SquadronBuffer + i * TACMAP_SQUADRON_ENTRY_SIZE;
        if (e[12] != i) abort();
        if (!memchr(e + TACMAP_SQUADRON_NAME, 0, TACMAP_SQUADRON_NAME_SIZE)) abort();
        if (!memchr(e + 38, 0, TACMAP_SQUADRON_PASSWORD_SIZE)) abort();
    }
    mem_Free(tacmap_SquadronBuffer);
    tacmap_SquadronBuffer = nullptr;
    return 0;
}
