// The DirectPlay transport driver: modem, serial-cable and IPX games. On
// this system the DirectPlay objects cannot be created, so the driver does
// not open and every slot answers with its failure result.
#include <cstring>

#include "base/le.h"
#include "net/driver.h"
#include "platform/dplay.h"
#include "platform/timer.h"
#include "shell/wndproc.h"

SessionEntry* net_SessionListAdd(const char* name, const uint8_t* sessionGuid, const uint8_t* appGuid,
                                 const uint32_t* words);
int32_t net_SessionListRemove(SessionEntry* e);
void net_SessionListClearAll(void);
SessionEntry* net_SessionListFindGuid(const uint8_t* guid);
SessionEntry* net_SessionListFindIndex(int32_t index);

namespace {

uint8_t* g_buffer = nullptr;
bool g_objects = false;  // the lobby and DirectPlay objects exist
char g_modem[256];

constexpr HRESULT_DP DPERR_INVALIDPASSWORD = 0x8877014Au;
constexpr HRESULT_DP DPERR_NOSESSIONS = 0x88770154u;
constexpr uint32_t DPRECEIVE_TOPLAYER = 0x2;
constexpr uint32_t DPSEND_GUARANTEED = 0x1;
constexpr uint32_t DPPLAYER_SERVERPLAYER = 0x100;

struct JoinError {
    HRESULT_DP result;
    int32_t code;
};
constexpr JoinError JOIN_ERRORS[] = {
    {0x80070057u, -12}, {0x88770005u, -4},  {0x8877000Au, -3},  {0x88770078u, -11}, {0x887700AAu, -15},
    {0x887700F0u, -18}, {0x88770118u, -20}, {0x88770140u, -19}, {0x887707D0u, -5},  {0x887707DAu, -8},
    {0x887707E4u, -9},  {0x887707EEu, -17}, {0x887707F8u, -7},  {0x8877080Cu, -6},  {0x88770820u, -14},
};

const DplayApi* Api(void) { return plat_Dplay(); }

// Any object created so far goes again.
void ReleaseObjects(void) {
    Api()->release();
    g_objects = false;
}

int32_t Open(void) {
    if (net_Counters.open) return 0;
    if (Api()->lobbyCreate() != DP_OK) return 1;
    if (Api()->playCreate() != DP_OK || net_DriverBufferOpen(&g_buffer) != 0) {
        ReleaseObjects();
        return 1;
    }
    g_objects = true;
    return 0;
}

int32_t Close(void) {
    if (!net_Counters.open) return 0;
    ReleaseObjects();
    return net_DriverBufferClose(&g_buffer);
}

// The quillax driver borrows the connect routines while its own state is
// open: they need the DirectPlay objects too.
bool Ready(void) { return net_Counters.open && g_objects; }

int32_t Disconnect(void) {
    if (!Ready()) return 1;
    if (net_Counters.connection == 0) return 0;
    Api()->release();
    if (Api()->lobbyCreate() != DP_OK || Api()->playCreate() != DP_OK) {
        Close();
        return 1;
    }
    net_Counters.connection = 0;
    return 0;
}

int32_t Connect(int32_t provider, const void* element, uint32_t size) {
    if (!Ready()) return 1;
    if (net_Counters.connection != 0 && Disconnect() != 0) return 1;
    if (Api()->initializeConnection(provider, element, size) != DP_OK) return 1;
    net_Counters.connection = provider;
    return 0;
}

int32_t ConnectTcpip(const char* address) {
    const char* a = address ? address : "";
    return Connect(DP_PROVIDER_TCPIP, a, (uint32_t)strnlen(a, 255) + 1);
}

int32_t EnumCallback(const DplaySessionInfo* info, void*) {
    if (!info || memcmp(info->application, net_AppGuid, 16) != 0) return 1;
    if (net_SessionListFindGuid(info->session)) return 1;
    uint32_t words[7] = {(info->flags & 0x400) ? 1u : 0u, info->maxPlayers, info->currentPlayers,
                         info->user[0], info->user[1], info->user[2], info->user[3]};
    net_SessionListAdd(info->name, info->session, info->application, words);
    return 1;
}

int32_t EnumStart(void) {
    if (!Ready()) return -1;
    HRESULT_DP r = Api()->enumSessions(net_AppGuid, 0, EnumCallback, nullptr, 0xD1);
    return r == DP_OK ? 0 : r == DPERR_CONNECTING ? 1 : -1;
}

int32_t EnumStop(void) {
    if (!Ready()) return -1;
    return Api()->enumSessions(net_AppGuid, 0, EnumCallback, nullptr, 0xE1) == DP_OK ? 0 : -1;
}

int32_t Join(SessionEntry* entry, const char* password) {
    if (!Ready()) {
        net_LastError = -1;
        return -1;
    }
    if (!entry) {
        net_LastError = -2;
        return -1;
    }
    net_Counters.hosting = 0;
    const char* pw = password && *password ? password : nullptr;
    HRESULT_DP r = Api()->open(entry->sessionGuid, nullptr, 0, pw, nullptr, 0x81);
    if (r == DP_OK) return 0;
    if (r == DPERR_CONNECTING) return 1;
    if (r == DPERR_INVALIDPASSWORD) {
        net_LastError = -16;
        return -3;
    }
    if (r == DPERR_NOSESSIONS) {
        net_LastError = -13;
        return -2;
    }
    net_LastError = -21;
    for (const JoinError& e : JOIN_ERRORS)
        if (e.result == r) net_LastError = e.code;
    return -1;
}

int32_t Host(const char* name, int32_t, uint32_t maxPlayers, const char* password, uint32_t w0, uint32_t w1,
             uint32_t w2, uint32_t w3) {
    if (!Ready()) return -1;
    uint32_t user[4] = {w0, w1, w2, w3};
    HRESULT_DP r = Api()->open(nullptr, name, maxPlayers, password, user, 2);
    if (r == DP_OK) {
        net_Counters.hosting = 1;
        return 0;
    }
    return r == DPERR_NOSESSIONS ? -2 : r == DPERR_CONNECTING ? 1 : -1;
}

int32_t CloseSession(void) {
    if (!Ready()) return 1;
    return Api()->close() == DP_OK ? 0 : 1;
}

int32_t CreatePlayer(const char* name, int32_t server, const void* data, uint32_t size) {
    if (!Ready()) return 1;
    uint32_t id = 0;
    if (Api()->createPlayer(&id, name, data, size, server ? DPPLAYER_SERVERPLAYER : 0) != DP_OK) return 1;
    net_Counters.localPlayer = id;
    if (server) net_Counters.serverPlayer = id;
    return 0;
}

int32_t DestroyPlayer(void) {
    if (!Ready()) return 1;
    return Api()->destroyPlayer(net_Counters.localPlayer) == DP_OK ? 0 : 1;
}

int32_t MessageCount(void) {
    uint32_t n = 0;
    if (!Ready() || Api()->getMessageCount(net_Counters.localPlayer, &n) != DP_OK) return 0;
    return (int32_t)n;
}

void SystemMessage(const uint8_t* m, uint32_t size) {
    net_Counters.systemMessages++;
    uint32_t type = 0, id = 0;
    if (!le_Read32At(m, size, 0, &type)) return;
    switch (type) {
        case DPSYS_CREATEPLAYERORGROUP: {
            if (!le_Read32At(m, size, 4, &id)) return;
            net_Counters.lastSender = id;
            net_Counters.joinWords[0] = net_Counters.joinWords[1] = 0;
            le_Read32At(m, size, 8, &net_Counters.joinWords[0]);
            le_Read32At(m, size, 12, &net_Counters.joinWords[1]);
            net_Counters.joinDataSize = 0;
            net_SendValueToServerPlayer(net_Counters.serverPlayer);
            net_Counters.players++;
            net_Counters.joins++;
            net_DriverCallback(NET_CALLBACK_PLAYER_JOINED, &net_Counters.joinWords[0], 4);
            break;
        }
        case DPSYS_DESTROYPLAYERORGROUP:
            if (!le_Read32At(m, size, 4, &id)) return;
            if (net_Counters.hosting) {
                net_Counters.players--;
                net_Counters.lastSender = id;
                net_DriverCallback(NET_CALLBACK_PLAYER_LEFT, &id, 4);
            } else if (id == net_Counters.serverPlayer) {
                net_DriverCallback(NET_CALLBACK_SESSION_LOST, &net_Counters.serverPlayer, 4);
            }
            break;
        case DPSYS_SESSIONLOST: {
            uint32_t zero = 0;
            net_DriverCallback(NET_CALLBACK_BRIDGE, &zero, 4);
            break;
        }
        default:
            break;
    }
}

const uint8_t* Receive(void) {
    if (!Ready() || !g_buffer) return nullptr;
    for (;;) {
        if (MessageCount() <= 0) return nullptr;
        uint32_t from = 0, size = NET_MESSAGE_BUFFER;
        if (Api()->receive(&from, net_Counters.localPlayer, DPRECEIVE_TOPLAYER, g_buffer, &size) != DP_OK)
            return nullptr;
        if (size > NET_MESSAGE_BUFFER) return nullptr;
        if (net_DriverReceived(g_buffer, size, from)) return g_buffer;
        SystemMessage(g_buffer, size);
    }
}

struct SendArgs {
    uint32_t to;
    uint32_t flags;
    const void* buffer;
    uint32_t size;
};
int32_t SendOnce(void* c) {
    SendArgs* a = (SendArgs*)c;
    HRESULT_DP r = Api()->send(net_Counters.localPlayer, a->to, a->flags, a->buffer, a->size);
    return r == DP_OK ? 0 : r == DPERR_BUSY ? 16 : 1;
}
int32_t Send(uint32_t to, uint32_t flags, const void* buffer, uint32_t size) {
    if (!Ready()) return 1;
    SendArgs a{to, flags, buffer, size};
    return net_DriverSendLoop(SendOnce, &a, 16);
}
int32_t SendToServer(const void* b, uint32_t n) { return Send(net_Counters.serverPlayer, 0, b, n); }
int32_t SendToServer2(const void* b, uint32_t n) { return Send(net_Counters.serverPlayer, DPSEND_GUARANTEED, b, n); }
int32_t SendToClient(const void* b, uint32_t n, uint32_t p) { return Send(p, 0, b, n); }
int32_t SendToClient2(const void* b, uint32_t n, uint32_t p) { return Send(p, DPSEND_GUARANTEED, b, n); }
int32_t SendToAll(const void* b, uint32_t n) { return Send(0, 0, b, n); }

const char* PlayerName(uint32_t id) {
    static char name[256];
    if (!Ready()) return nullptr;
    uint32_t size = sizeof name;
    if (Api()->getPlayerName(id, name, &size) != DP_OK) return nullptr;
    name[sizeof name - 1] = 0;
    return name;
}

int32_t SetPlayerName(uint32_t id, const char* text) {
    if (!Ready()) return 1;
    return Api()->setPlayerName(id, text) == DP_OK ? 0 : 1;
}

// Waits for the 0x4001 record that names the server player; the wait is
// in seconds.
int32_t ServerId(int32_t seconds);

int32_t CancelJoin(void) { return 0; }
int32_t SetPorts(uint32_t, uint32_t) { return 0; }
int32_t FlagZero(int32_t) { return 0; }
int32_t RecvPort(uint32_t*) { return 0; }
int32_t PlayerAddress(uint32_t, uint32_t* address) {
    if (address) *address = 0;
    return 0;
}

}  // namespace

int32_t dplay_ConnectModem(const char* phone) {
    if (!Ready()) return 1;
    if (Api()->firstModem(g_modem, sizeof g_modem) != DP_OK) return 1;
    g_modem[sizeof g_modem - 1] = 0;
    const char* p = phone ? phone : "";
    return Connect(DP_PROVIDER_MODEM, p, (uint32_t)strnlen(p, 255) + 1);
}

int32_t dplay_ConnectSerial(const NetSerialSettings* settings) {
    if (!settings) return 1;
    uint8_t record[20];
    LeSpanWriter w(record, sizeof record);
    w.u32(settings->port);
    w.u32(settings->baudRate);
    w.u32(settings->stopBits);
    w.u32(settings->parity);
    w.u32(settings->flowControl);
    return Connect(DP_PROVIDER_SERIAL, record, sizeof record);
}

int32_t dplay_ConnectIpx(void) { return Connect(DP_PROVIDER_IPX, nullptr, 0); }

namespace {
int32_t ServerId(int32_t seconds) {
    net_Counters.serverPlayer = 0;
    if (!Ready()) return -2;
    uint32_t start = plat_TimeMs();
    uint32_t wait = (uint32_t)(seconds > 0 ? seconds : 0) * 1000u;
    do {
        app_PumpMessages();
        const uint8_t* m = Receive();
        uint16_t type = 0;
        uint32_t value = 0;
        if (m && le_Read16At(m, net_Counters.lastSize, 0, &type) && type == 0x4001 &&
            le_Read32At(m, net_Counters.lastSize, 4, &value)) {
            net_Counters.serverPlayer = value;
            return 0;
        }
    } while (plat_TimeMs() - start < wait);
    return -2;
}
}  // namespace

const NetDriverTable net_DriverTableDirectPlay = {
    net_SessionListAdd, net_SessionListRemove, net_SessionListClearAll, net_SessionListFindGuid,
    net_SessionListFindIndex, net_SessionListRenumber, Open, Close, ConnectTcpip, dplay_ConnectModem,
    dplay_ConnectSerial, dplay_ConnectIpx, Disconnect, EnumStart, EnumStop, Join, Host, CloseSession,
    CreatePlayer, DestroyPlayer, MessageCount, Receive, SendToServer, SendToServer2, SendToClient, SendToClient2,
    SendToAll, PlayerName, SetPlayerName, ServerId, CancelJoin, SetPorts, FlagZero, RecvPort, FlagZero,
    PlayerAddress,
};
