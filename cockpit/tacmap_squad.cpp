// The server's squadron buffer: 16 named groups of players, each with an
// optional password; joins and departures are announced to every player.
#include <cstdio>
#include <cstring>

#include "base/le.h"
#include "base/mem.h"
#include "cockpit/tacmap.h"
#include "net/msg.h"
#include "net/player.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "world/level.h"

uint8_t* tacmap_SquadronBuffer = nullptr;

namespace {

constexpr int32_t kInUse = 0;
constexpr int32_t kMembers = 8;
constexpr int32_t kIndex = 12;
constexpr int32_t kPasswordAt = 38;
constexpr uint16_t kSquadronEvent = 27;

uint8_t* Entry(int32_t i) { return tacmap_SquadronBuffer + i * TACMAP_SQUADRON_ENTRY_SIZE; }

int32_t Get32(const uint8_t* p) { return static_cast<int32_t>(LeReader(p, 4).u32()); }
void Put32(uint8_t* p, int32_t v) { LeSpanWriter(p, 4).i32(v); }

// A received text of at most size - 1 characters, terminated.
void Bounded(char* out, size_t size, const char* text) {
    const size_t n = text ? strnlen(text, size - 1) : 0;
    if (n) memcpy(out, text, n);
    out[n] = 0;
}

const char* Item(uint32_t n) {
    const char* t = level_GameText(n);
    return t ? t : "";
}

int32_t SlotNumber(const PlayerSlot* player) {
    if (!Server.player || !player) return -1;
    const std::ptrdiff_t d = player - Server.player;
    return d >= 0 && d < SERVER_PLAYERS ? static_cast<int32_t>(d) : -1;
}

}  // namespace

void tacmap_SquadronBufferInit(void) {
    tacmap_SquadronBuffer =
        static_cast<uint8_t*>(mem_AllocEx(TACMAP_SQUADRONS * TACMAP_SQUADRON_ENTRY_SIZE, 4, "SQUADRON BUFFER"));
    if (!tacmap_SquadronBuffer) return;
    memset(tacmap_SquadronBuffer, 0, TACMAP_SQUADRONS * TACMAP_SQUADRON_ENTRY_SIZE);
    for (int32_t i = 0; i < TACMAP_SQUADRONS; i++) Put32(Entry(i) + kIndex, i);
}

int32_t tacmap_SquadronMembers(int32_t index) {
    if (!tacmap_SquadronBuffer || index < 0 || index >= TACMAP_SQUADRONS) return 0;
    return Get32(Entry(index) + kMembers);
}

const char* tacmap_SquadronName(int32_t index) {
    if (!tacmap_SquadronBuffer || index < 0 || index >= TACMAP_SQUADRONS) return nullptr;
    const char* name = reinterpret_cast<const char*>(Entry(index) + TACMAP_SQUADRON_NAME);
    return name[0] ? name : nullptr;
}

int32_t tacmap_SquadronJoin(PlayerSlot* player, const char* squadron, const char* password) {
    if (!tacmap_SquadronBuffer || !player) return -1;
    char name[TACMAP_SQUADRON_NAME_SIZE], word[TACMAP_SQUADRON_PASSWORD_SIZE];
    Bounded(name, sizeof name, squadron);
    Bounded(word, sizeof word, password);
    if (!name[0]) return -1;
    const int32_t slot = SlotNumber(player);
    const char* who = player->name ? player->name : "";
    char text[160];
    int32_t index = -1;
    for (int32_t i = 0; i < TACMAP_SQUADRONS && index < 0; i++)
        if (strncmp(reinterpret_cast<const char*>(Entry(i) + TACMAP_SQUADRON_NAME), name, sizeof name) == 0) index = i;
    if (index >= 0) {
        const char* own = reinterpret_cast<const char*>(Entry(index) + kPasswordAt);
        if (own[0] && strncmp(own, word, sizeof word) != 0) {
            snprintf(text, sizeof text, "%s %s %s", Item(780), name, Item(777));
            if (slot >= 0) Server_CallSendText(text, SERVER_TO_PLAYER, slot, 0);
            plat_SimLog("squadron", "refused \"%s\" slot=%d", name, slot);
            return -1;
        }
        snprintf(text, sizeof text, "%s ~5%s ~4%s ~5%s", who, Item(778), name, Item(777));
        Put32(Entry(index) + kMembers, Get32(Entry(index) + kMembers) + 1);
    } else {
        for (int32_t i = 0; i < TACMAP_SQUADRONS && index < 0; i++)
            if (!Get32(Entry(i) + kInUse)) index = i;
        if (index < 0) {
            plat_SimLog("squadron", "full \"%s\" slot=%d", name, slot);
            return -1;
        }
        uint8_t* e = Entry(index);
        memset(e + TACMAP_SQUADRON_NAME, 0, TACMAP_SQUADRON_ENTRY_SIZE - TACMAP_SQUADRON_NAME);
        memcpy(e + TACMAP_SQUADRON_NAME, name, strlen(name));
        memcpy(e + kPasswordAt, word, strlen(word));
        Put32(e + kMembers, 1);
        Put32(e + kInUse, 1);
        snprintf(text, sizeof text, "%s ~5%s ~4%s ~5%s", who, Item(779), name, Item(777));
    }
    player->squadron = static_cast<uint16_t>(index);
    Server_CallSendText(text, SERVER_TO_ALL, 0, 0);
    Server_CallQueueEvent(kSquadronEvent, static_cast<uint32_t>(index), nullptr, SERVER_TO_PLAYER, slot < 0 ? 0 : slot,
                          1024, 0);
    Server_CallSendSquadron(SERVER_TO_ALL, 0, index, 0, name);
    if (player->playerId < PLAYER_TABLE_SIZE) player_Table[player->playerId].squadron = static_cast<uint16_t>(index);
    // The caller announces the player's name record (EVENT_NAME) with the
    // new squadron.
    plat_SimLog("squadron", "join \"%s\" entry=%d members=%d slot=%d", name, index, tacmap_SquadronMembers(index), slot);
    return index;
}

void tacmap_SquadronLeave(PlayerSlot* player) {
    if (!tacmap_SquadronBuffer || !player || player->squadron == 0xFFFF) return;
    const int32_t index = player->squadron;
    player->squadron = 0xFFFF;
    if (index >= TACMAP_SQUADRONS) return;
    uint8_t* e = Entry(index);
    const int32_t members = Get32(e + kMembers) - 1;
    if (members > 0) {
        Put32(e + kMembers, members);
        return;
    }
    Put32(e + kInUse, 0);
    Put32(e + kMembers, 0);
    memset(e + TACMAP_SQUADRON_NAME, 0, TACMAP_SQUADRON_ENTRY_SIZE - TACMAP_SQUADRON_NAME);
}
