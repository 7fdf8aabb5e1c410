// The transport driver table, its wrappers, the driver state and the
// session list both drivers share.
#include "net/driver.h"

#include <cstring>

#include "base/le.h"
#include "base/mem.h"
#include "platform/simlog.h"

NetDriverState net_Counters;
NetSessionCallback net_DriverCallbacks[NET_CALLBACK_COUNT];
int32_t net_LastError;
int32_t net_SessionNumber;

// {A8417440-9359-11D2-A546-00C0F0165D06}, as its four little-endian words.
const uint8_t net_AppGuid[16] = {0x40, 0x74, 0x41, 0xA8, 0x59, 0x93, 0xD2, 0x11,
                                 0xA5, 0x46, 0x00, 0xC0, 0xF0, 0x16, 0x5D, 0x06};

namespace {

const NetDriverTable* g_table = &net_DriverTableQuillax;
// The largest game packets that went through the driver, for the log.
uint32_t g_largestIn = 0, g_largestOut = 0;

void NoteOut(uint32_t size) {
    if (size > g_largestOut) g_largestOut = size;
}
int32_t g_kind = 1;

constexpr uint32_t SESSION_NAME_MAX = 255;

}  // namespace

const NetDriverTable* net_DriverTable(void) { return g_table; }
void net_DriverTableInstall(const NetDriverTable* table) {
    if (table) g_table = table;
}

// ---- The shared session list (slots 0-5) ----

void net_SessionListRenumber(void) {
    int32_t i = 0;
    for (SessionEntry* e = net_Counters.sessionHead; e; e = e->next) e->index = i++;
}

SessionEntry* net_SessionListAdd(const char* name, const uint8_t* sessionGuid, const uint8_t* appGuid,
                                 const uint32_t* words) {
    if (!name) name = "";
    // Names come from the network: bounded.
    size_t len = strnlen(name, SESSION_NAME_MAX);
    // The list outlives the screens and levels that free their memory by
    // ranges (an entry found by the search, then the menus let go of their
    // blocks as the flight starts): its own heap id keeps it out of them.
    SessionEntry* e = (SessionEntry*)mem_AllocWithId((uint32_t)(sizeof(SessionEntry) + len + 1), 8,
                                                     "Net Session Buffer", NET_SESSION_HEAP_ID);
    if (!e) return nullptr;
    memset(e, 0, sizeof *e);
    e->name = reinterpret_cast<char*>(e + 1);
    memcpy(e->name, name, len);
    e->name[len] = 0;
    if (sessionGuid) memcpy(e->sessionGuid, sessionGuid, 16);
    if (appGuid) memcpy(e->appGuid, appGuid, 16);
    if (words) memcpy(e->words, words, sizeof e->words);
    e->prev = net_Counters.sessionTail;
    if (net_Counters.sessionTail)
        net_Counters.sessionTail->next = e;
    else
        net_Counters.sessionHead = e;
    net_Counters.sessionTail = e;
    net_Counters.sessionCount++;
    net_SessionListRenumber();
    net_Counters.sessionsChanged = 1;
    return e;
}

int32_t net_SessionListRemove(SessionEntry* e) {
    if (!e) return -1;
    if (e->prev)
        e->prev->next = e->next;
    else
        net_Counters.sessionHead = e->next;
    if (e->next)
        e->next->prev = e->prev;
    else
        net_Counters.sessionTail = e->prev;
    net_Counters.sessionCount--;
    mem_Free(e);
    net_SessionListRenumber();
    net_Counters.sessionsChanged = 1;
    return 0;
}

void net_SessionListClearAll(void) {
    while (net_Counters.sessionHead) net_SessionListRemove(net_Counters.sessionHead);
}

SessionEntry* net_SessionListFindGuid(const uint8_t* guid) {
    if (!guid) return nullptr;
    for (SessionEntry* e = net_Counters.sessionHead; e; e = e->next)
        if (memcmp(e->sessionGuid, guid, 16) == 0) return e;
    return nullptr;
}

SessionEntry* net_SessionListFindIndex(int32_t index) {
    for (SessionEntry* e = net_Counters.sessionHead; e; e = e->next)
        if (e->index == index) return e;
    return nullptr;
}

// ---- Shared by the drivers ----

int32_t net_DriverSendLoop(int32_t (*send)(void* context), void* context, int32_t busy) {
    for (uint32_t tries = 0;; tries++) {
        int32_t r = send(context);
        if (r == 0) {
            net_Counters.sent++;
            return 0;
        }
        if (r != busy) return 1;
        if (tries >= 2048) return 2;
        // The library waits on its socket before it answers busy, so the
        // send is simply tried again: no window messages mid-frame.
        net_Counters.sendRetries++;
    }
}

void net_DriverCallback(int32_t slot, const void* data, uint32_t size) {
    if (slot >= 0 && slot < NET_CALLBACK_COUNT && net_DriverCallbacks[slot]) net_DriverCallbacks[slot](data, size);
}

int32_t net_DriverBufferOpen(uint8_t** buffer) {
    *buffer = (uint8_t*)mem_AllocEx(NET_MESSAGE_BUFFER, 8, "Net Message Buffer");
    if (!*buffer) return 1;
    net_Counters.open = 1;
    return 0;
}

int32_t net_DriverBufferClose(uint8_t** buffer) {
    net_SessionListClearAll();
    int32_t r = mem_Free(*buffer);
    *buffer = nullptr;
    net_Counters.open = 0;
    net_Counters.connection = 0;
    return r;
}

bool net_DriverReceived(const uint8_t* buffer, uint32_t size, uint32_t sender) {
    net_Counters.lastMessage = buffer;
    net_Counters.lastSize = size;
    net_Counters.received++;
    if (sender == 0) return false;
    net_Counters.lastSender = sender;
    return true;
}

// ---- Wrappers ----

void net_DriverSelect(int32_t kind) {
    const NetDriverTable* want = kind == 1 ? &net_DriverTableQuillax : &net_DriverTableDirectPlay;
    int32_t k = kind == 1 ? 1 : 0;
    if (want == g_table && k == g_kind) return;
    if (net_Counters.open) g_table->close();
    g_table = want;
    g_kind = k;
}

int32_t net_DriverInit(void) {
    if (net_Counters.open) return 0;
    return g_table->open();
}
int32_t net_DriverClose(void) {
    if (net_Counters.open)
        plat_SimLog("net", "close received=%u sent=%u system=%u joins=%d players=%d retries=%u largest-in=%u largest-out=%u",
                    net_Counters.received, net_Counters.sent, net_Counters.systemMessages, net_Counters.joins,
                    net_Counters.players, net_Counters.sendRetries, g_largestIn, g_largestOut);
    return g_table->close();
}

SessionEntry* net_SessionAdd(const char* name, const uint8_t* sessionGuid, const uint8_t* appGuid,
                             const uint32_t* words) {
    return g_table->sessionAdd(name, sessionGuid, appGuid, words);
}
void net_SessionListClear(void) { g_table->sessionClear(); }
void net_SessionListFlush(void) { g_table->sessionClear(); }
SessionEntry* net_SessionFindByGuid(const uint8_t* guid) { return g_table->sessionFindByGuid(guid); }
SessionEntry* net_SessionFindByIndex(int32_t index) { return g_table->sessionFindByIndex(index); }
int32_t net_ConnectTcpip(const char* address) { return g_table->connectTcpip(address); }
int32_t net_ConnectModem(const char* phone) { return g_table->connectModem(phone); }
int32_t net_ConnectSerial(const NetSerialSettings* settings) { return g_table->connectSerial(settings); }
int32_t net_ConnectIpx(void) { return g_table->connectIpx(); }
int32_t net_ConnectionClose(void) { return g_table->disconnect(); }
int32_t net_EnumSessionsStart(void) { return g_table->enumStart(); }
int32_t net_EnumSessionsStop(void) { return g_table->enumStop(); }
int32_t net_JoinSession(SessionEntry* entry, const char* password) { return g_table->join(entry, password); }

int32_t net_JoinSessionByIndex(int32_t index, const char* password) {
    if (!net_Counters.open) return -1;
    SessionEntry* e = g_table->sessionFindByIndex(index);
    if (!e) return -1;
    return g_table->join(e, password);
}

int32_t net_HostSession(const char* name, int32_t ignored, uint32_t maxPlayers, const char* password, uint32_t w0,
                        uint32_t w1, uint32_t w2, uint32_t w3) {
    return g_table->host(name, ignored, maxPlayers, password, w0, w1, w2, w3);
}
int32_t net_CloseSession(void) { return g_table->closeSession(); }
int32_t net_CreatePlayer(const char* name, int32_t serverFlag, const void* data, uint32_t size) {
    return g_table->createPlayer(name, serverFlag, data, size);
}
int32_t net_DestroyPlayer(void) { return g_table->destroyPlayer(); }
const uint8_t* net_Receive(void) { return g_table->receive(); }
int32_t net_SendToServer(const void* buffer, uint32_t size) { return g_table->sendToServer(buffer, size); }
int32_t net_SendToClient(const void* buffer, uint32_t size, uint32_t player) {
    NoteOut(size);
    return g_table->sendToClient(buffer, size, player);
}
int32_t net_SendToClientEx(const void* buffer, uint32_t size, uint32_t player) {
    return g_table->sendToClient2(buffer, size, player);
}
const char* net_GetPlayerName(uint32_t id) { return g_table->playerName(id); }
int32_t net_GetServerId(int32_t seconds) { return g_table->serverId(seconds); }
int32_t net_GetServerIdEx(void) { return g_table->serverId(5); }
int32_t net_CancelJoin(void) { return g_table->cancelJoin(); }
int32_t net_SetPorts(uint32_t a, uint32_t b) { return g_table->setPorts(a, b); }
int32_t net_SetDynamicPortUsage(int32_t on) { return g_table->dynamicPorts(on); }
int32_t net_GetRecvPort(uint32_t* port) { return g_table->recvPort(port); }

void net_DriverCallbackSet(int32_t slot, NetSessionCallback callback) {
    if (slot >= 0 && slot < NET_CALLBACK_COUNT) net_DriverCallbacks[slot] = callback;
}

void net_SendValueToServerPlayer(uint32_t value) {
    if (!net_Counters.open) return;
    uint8_t record[8];
    LeSpanWriter w(record, sizeof record);
    w.u32(0x4001);
    w.u32(value);
    g_table->sendToClient2(record, sizeof record, net_Counters.lastSender);
}

// ---- What the game's halves call ----

const uint8_t* net_DriverReceive(int32_t, size_t* size, int32_t* sender) {
    const uint8_t* p = g_table->receive();
    if (!p) return nullptr;
    if (net_Counters.lastSize > g_largestIn) g_largestIn = net_Counters.lastSize;
    if (size) *size = net_Counters.lastSize;
    if (sender) *sender = (int32_t)net_Counters.lastSender;
    return p;
}

void net_DriverGameClose(void) {
    g_table->destroyPlayer();
    g_table->closeSession();
}

uint32_t net_DriverSendRetries(void) { return net_Counters.sendRetries; }

int32_t net_DriverSend(const uint8_t* packet, size_t size) {
    if (size > NET_MESSAGE_BUFFER) return 1;
    NoteOut((uint32_t)size);
    return g_table->sendToServer(packet, (uint32_t)size);
}

int32_t net_DriverServerPlayer(void) { return (int32_t)net_Counters.serverPlayer; }

const uint8_t* net_PlayerData(uint32_t* size) {
    if (size) *size = net_Counters.joinDataSize;
    return net_Counters.joinData;
}
