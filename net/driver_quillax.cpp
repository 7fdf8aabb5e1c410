// The quillax transport driver: TCP/IP games through the quillax library;
// modem, serial and IPX through the DirectPlay driver's routines.
#include <cstring>

#include "base/le.h"
#include "net/driver.h"
#include "platform/quillax.h"

SessionEntry* net_SessionListAdd(const char* name, const uint8_t* sessionGuid, const uint8_t* appGuid,
                                 const uint32_t* words);
int32_t net_SessionListRemove(SessionEntry* e);
void net_SessionListClearAll(void);
SessionEntry* net_SessionListFindGuid(const uint8_t* guid);
SessionEntry* net_SessionListFindIndex(int32_t index);

namespace {

uint8_t* g_buffer = nullptr;

constexpr size_t REC_FLAGS = 4, REC_WORD8 = 8, REC_WORD12 = 12, REC_NAME = 16, REC_PASSWORD = 144,
                 REC_SESSION = 208, REC_APP = 224, REC_USER = 240;
constexpr size_t NAME_SIZE = 128, PASSWORD_SIZE = 64;

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}
uint32_t Get32(const uint8_t* p, size_t size, size_t at) {
    uint32_t v = 0;
    le_Read32At(p, size, at, &v);
    return v;
}
void PutText(uint8_t* p, const char* text, size_t size) {
    if (!text) return;
    size_t n = strnlen(text, size - 1);
    memcpy(p, text, n);
    p[n] = 0;
}

int32_t Open(void) {
    if (net_Counters.open) return 0;
    if (quillax_Init() != 0) return 1;
    if (net_DriverBufferOpen(&g_buffer) != 0) {
        // Without its buffer the driver cannot receive: report the failure.
        quillax_Close();
        return 1;
    }
    return 0;
}

int32_t Close(void) {
    if (!net_Counters.open) return 0;
    quillax_Close();
    return net_DriverBufferClose(&g_buffer);
}

int32_t ConnectTcpip(const char* address) {
    // The library's refusal is a failure, not a connection.
    if (!net_Counters.open || quillax_InitTCPIP(address) != 0) return 1;
    net_Counters.connection = 2;
    return 0;
}

int32_t Disconnect(void) {
    if (!net_Counters.open) return 1;
    if (net_Counters.connection != 0) {
        quillax_CloseTCPIP();
        net_Counters.connection = 0;
    }
    return 0;
}

int32_t EnumCallback(const uint8_t* record, void*) {
    if (memcmp(record + REC_APP, net_AppGuid, 16) != 0) return 0;
    if (net_SessionListFindGuid(record + REC_SESSION)) return 1;
    uint32_t words[7] = {(Get32(record, 256, REC_FLAGS) & 0x8) ? 1u : 0u, Get32(record, 256, REC_WORD12),
                         Get32(record, 256, REC_WORD8)};
    for (int i = 0; i < 4; i++) words[3 + i] = Get32(record, 256, REC_USER + 4 * i);
    char name[NAME_SIZE];
    memcpy(name, record + REC_NAME, NAME_SIZE);
    name[NAME_SIZE - 1] = 0;
    return net_SessionListAdd(name, record + REC_SESSION, record + REC_APP, words) ? 1 : 0;
}

int32_t EnumStart(void) {
    if (!net_Counters.open) return -1;
    uint8_t record[QX_SESSION_RECORD] = {};
    Put32(record, QX_SESSION_RECORD);
    memcpy(record + REC_APP, net_AppGuid, 16);
    quillax_EnumSessions(record, 0, EnumCallback, nullptr, 0);
    return 0;
}

int32_t EnumStop(void) { return quillax_StopEnumSessions(); }

int32_t Join(SessionEntry* entry, const char* password) {
    if (!net_Counters.open || !entry) return -1;
    quillax_StopEnumSessions();
    uint8_t record[QX_SESSION_RECORD] = {};
    Put32(record, QX_SESSION_RECORD);
    memcpy(record + REC_SESSION, entry->sessionGuid, 16);
    memcpy(record + REC_APP, net_AppGuid, 16);
    PutText(record + REC_PASSWORD, password, PASSWORD_SIZE);
    net_Counters.hosting = 0;
    switch (quillax_JoinSession(record)) {
        case QX_OK: return 0;
        case QX_PENDING: return 1;
        case QX_BAD_PASSWORD: return -2;
        case QX_SESSION_FULL: return -3;
        default: return -1;
    }
}

int32_t Host(const char* name, int32_t, uint32_t maxPlayers, const char* password, uint32_t w0, uint32_t w1,
             uint32_t w2, uint32_t w3) {
    // Not open, or the library refuses: failed, never "hosted".
    if (!net_Counters.open) return -1;
    uint8_t record[QX_SESSION_RECORD] = {};
    Put32(record, QX_SESSION_RECORD);
    Put32(record + REC_FLAGS, 7);
    Put32(record + REC_WORD12, maxPlayers);
    uint32_t user[4] = {w0, w1, w2, w3};
    for (int i = 0; i < 4; i++) Put32(record + REC_USER + 4 * i, user[i]);
    PutText(record + REC_PASSWORD, password, PASSWORD_SIZE);
    memcpy(record + REC_APP, net_AppGuid, 16);
    PutText(record + REC_NAME, name, NAME_SIZE);
    if (quillax_HostSession(record) != 0) return -1;
    net_Counters.hosting = 1;
    return 0;
}

int32_t CloseSession(void) { return quillax_CloseSession(); }

int32_t CreatePlayer(const char* name, int32_t server, const void* data, uint32_t size) {
    if (!net_Counters.open) return 1;
    uint8_t record[QX_PLAYER_RECORD] = {};
    PutText(record, name, NAME_SIZE);
    Put32(record + 132, size);
    uint32_t id = 0;
    if (quillax_CreatePlayer(&id, record, server ? 1 : 0, data, size) != 0) return 1;
    net_Counters.localPlayer = id;
    if (server) net_Counters.serverPlayer = id;
    return 0;
}

int32_t DestroyPlayer(void) {
    if (net_Counters.open) quillax_DestroyPlayer(net_Counters.localPlayer);
    return 0;
}

int32_t Zero(void) { return 0; }

void SystemMessage(const uint8_t* m, uint32_t size) {
    net_Counters.systemMessages++;
    uint16_t type = 0;
    if (!le_Read16At(m, size, 0, &type)) return;
    uint32_t id = 0;
    switch (type) {
        case QX_MSG_PLAYER_JOINED: {
            if (!le_Read32At(m, size, 2, &id)) return;
            net_Counters.lastSender = id;
            net_Counters.players++;
            net_Counters.joins++;
            uint8_t record[QX_PLAYER_RECORD] = {};
            net_Counters.joinWords[0] = net_Counters.joinWords[1] = 0;
            net_Counters.joinDataSize = 0;
            if (quillax_GetPlayerName(id, record) == 0) {
                net_Counters.joinWords[0] = Get32(record, sizeof record, 128);
                net_Counters.joinWords[1] = Get32(record, sizeof record, 132);
                uint32_t n = sizeof net_Counters.joinData;
                if (quillax_GetPlayerData(net_Counters.joinWords[0], net_Counters.joinData, &n) == 0)
                    net_Counters.joinDataSize = n;
            }
            net_DriverCallback(NET_CALLBACK_PLAYER_JOINED, &net_Counters.joinWords[0], 4);
            break;
        }
        case QX_MSG_PLAYER_LEFT:
            if (!net_Counters.hosting || !le_Read32At(m, size, 2, &id)) return;
            net_Counters.lastSender = id;
            net_Counters.players--;
            net_DriverCallback(NET_CALLBACK_PLAYER_LEFT, m, size);
            break;
        case QX_MSG_SESSION_LOST:
            net_DriverCallback(NET_CALLBACK_SESSION_LOST, m, size);
            break;
        case QX_MSG_NOTICE: {
            // The text after the type, cut at its end or the message's.
            char text[128] = {};
            size_t n = size - 2 < sizeof text - 1 ? size - 2 : sizeof text - 1;
            memcpy(text, m + 2, n);
            net_DriverCallback(NET_CALLBACK_NOTICE, text, (uint32_t)strlen(text) + 1);
            break;
        }
        default:
            break;
    }
}

const uint8_t* Receive(void) {
    if (!net_Counters.open || !g_buffer) return nullptr;
    for (;;) {
        uint32_t size = NET_MESSAGE_BUFFER;
        uint32_t sender = 0;
        if (quillax_GetMessage(g_buffer, &size, &sender) != 0) return nullptr;
        if (net_DriverReceived(g_buffer, size, sender)) return g_buffer;
        SystemMessage(g_buffer, size);
    }
}

struct SendArgs {
    const void* buffer;
    uint32_t size;
    uint32_t player;
};
int32_t SendServer(void* c) {
    SendArgs* a = (SendArgs*)c;
    return quillax_SendToServer(a->buffer, a->size);
}
int32_t SendClient(void* c) {
    SendArgs* a = (SendArgs*)c;
    return quillax_SendToClient(a->buffer, a->size, a->player);
}

int32_t SendToServer(const void* buffer, uint32_t size) {
    if (!net_Counters.open) return 0;
    SendArgs a{buffer, size, 0};
    return net_DriverSendLoop(SendServer, &a, QX_BUSY);
}
int32_t SendToClient(const void* buffer, uint32_t size, uint32_t player) {
    if (!net_Counters.open) return 0;
    SendArgs a{buffer, size, player};
    return net_DriverSendLoop(SendClient, &a, QX_BUSY);
}
int32_t SendToAll(const void*, uint32_t) { return 0; }

const char* PlayerName(uint32_t id) {
    static char name[QX_PLAYER_RECORD];
    if (!net_Counters.open) return nullptr;
    uint8_t record[QX_PLAYER_RECORD];
    if (quillax_GetPlayerName(id, record) != 0) return nullptr;
    memcpy(name, record, NAME_SIZE);
    name[NAME_SIZE - 1] = 0;
    return name;
}
int32_t SetPlayerName(uint32_t, const char*) { return 0; }

int32_t ServerId(int32_t) {
    uint32_t id = 0;
    if (quillax_GetServerId(&id) != 0) return -2;
    net_Counters.serverPlayer = id;
    return 0;
}

int32_t CancelJoin(void) { return quillax_CancelJoin(); }
int32_t SetPorts(uint32_t a, uint32_t b) { return quillax_SetPorts((uint16_t)b, (uint16_t)a) != 0 ? 1 : 0; }
int32_t DynamicPorts(int32_t on) { return quillax_SetDynamicPortUsage(on) != 0 ? 1 : 0; }
int32_t RecvPort(uint32_t* port) { return quillax_GetRecvPort(port) != 0 ? 1 : 0; }
int32_t Compression(int32_t on) { return quillax_EnableServerCompression(on) != 0 ? 1 : 0; }
int32_t PlayerAddress(uint32_t id, uint32_t* address) {
    int32_t r = quillax_GetPlayerIPAddress(id, address);
    return r == 0 ? 0 : r == QX_NO_PLAYER ? 4 : 1;
}

}  // namespace

const NetDriverTable net_DriverTableQuillax = {
    net_SessionListAdd, net_SessionListRemove, net_SessionListClearAll, net_SessionListFindGuid,
    net_SessionListFindIndex, net_SessionListRenumber, Open, Close, ConnectTcpip, dplay_ConnectModem,
    dplay_ConnectSerial, dplay_ConnectIpx, Disconnect, EnumStart, EnumStop, Join, Host, CloseSession,
    CreatePlayer, DestroyPlayer, Zero, Receive, SendToServer, SendToServer, SendToClient, SendToClient,
    SendToAll, PlayerName, SetPlayerName, ServerId, CancelJoin, SetPorts, DynamicPorts, RecvPort,
    Compression, PlayerAddress,
};
