#include "net/announce.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/console.h"
#include "net/driver.h"
#include "net/rules.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/sockets.h"
#include "platform/window.h"
#include "platform/winmsg.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "world/level.h"

AnnounceSettings Announce;
AnnounceSockets AnnounceSock = {-1, -1, nullptr, 0, 0, 0, 0};

static void CopyBounded(char* dst, size_t cap, const char* src) {
    size_t i = 0;
    for (; src && src[i] && i + 1 < cap; ++i) dst[i] = src[i];
    dst[i] = 0;
}

// The master server is a deployment value: KRX_MASTER_SERVER=ADDRESS[:PORT].
void app_ServerDefaultsSet(void) {
    Announce.open = 0;
    Announce.enable = 1;
    Announce.masterPort = 3875;
    Announce.masterAddress[0] = 0;
    Announce.masterIp = 0;
    CopyBounded(Announce.idPassword, sizeof Announce.idPassword, "qolvatz");
    CopyBounded(Announce.idOpen, sizeof Announce.idOpen, "brenumo");
    const char* env = getenv("KRX_MASTER_SERVER");
    if (env && *env) {
        CopyBounded(Announce.masterAddress, sizeof Announce.masterAddress, env);
        char* colon = strchr(Announce.masterAddress, ':');
        if (colon) {
            *colon = 0;
            long p = strtol(colon + 1, nullptr, 10);
            if (p > 0 && p < 65536) Announce.masterPort = (uint16_t)p;
        }
    }
}

static uint32_t CrcTable[256];
static void CrcTableInit(void) {
    if (CrcTable[1]) return;
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
        CrcTable[i] = c;
    }
}

uint32_t net_Crc32Mpeg2(const uint8_t* data, size_t n) {
    CrcTableInit();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) c = (c << 8) ^ CrcTable[((c >> 24) ^ data[i]) & 0xFF];
    return c;
}

int32_t net_DatagramBuild(uint8_t* out, size_t cap, const char* text, size_t n) {
    if (!out || (n && !text) || cap < 4 || n > cap - 4 || n > 0x7FFFFFF0u) return -1;
    memcpy(out + 4, text, n);
    uint32_t c = net_Crc32Mpeg2(out + 4, n);
    uint32_t word = c;
    if (n >= 32) {
        // Bit i of the check word and bit 0 of text byte i change places.
        word = 0;
        for (int i = 0; i < 32; ++i) {
            uint8_t* b = out + 4 + i;
            word |= (uint32_t)(*b & 1u) << i;
            *b = (uint8_t)((*b & 0xFEu) | ((c >> i) & 1u));
        }
    }
    out[0] = (uint8_t)word;
    out[1] = (uint8_t)(word >> 8);
    out[2] = (uint8_t)(word >> 16);
    out[3] = (uint8_t)(word >> 24);
    return (int32_t)(n + 4);
}

int32_t net_DatagramDecode(const uint8_t* data, size_t size, char* text, size_t cap, size_t* n) {
    if (!data || !text || size < 4 || size - 4 > cap) return -1;
    size_t len = size - 4;
    uint32_t word = (uint32_t)data[0] | (uint32_t)data[1] << 8 | (uint32_t)data[2] << 16 |
                    (uint32_t)data[3] << 24;
    memcpy(text, data + 4, len);
    uint32_t want = word;
    if (len >= 32) {
        want = 0;
        for (int i = 0; i < 32; ++i) {
            want |= (uint32_t)(text[i] & 1) << i;
            text[i] = (char)((text[i] & 0xFE) | ((word >> i) & 1u));
        }
    }
    if (net_Crc32Mpeg2((const uint8_t*)text, len) != want) return -1;
    if (n) *n = len;
    return 0;
}

int32_t net_SocketsOpen(int32_t mode, uint16_t* localPort, uint16_t destPort) {
    if (!localPort) return WSAEFAULT;
    uint16_t port = *localPort;
    int32_t a = -1;
    // A taken port moves up by 4096; the cycle has only 16 ports, so it
    // gives up after those.
    for (int tries = 0; tries < 16; ++tries) {
        a = sock_OpenUdp(port);
        if (a >= 0) break;
        int32_t err = sock_LastError();
        if (mode == 1 || err != WSAEADDRINUSE) return err ? err : WSAEINVAL;
        port = (uint16_t)(port + 4096);
    }
    if (a < 0) return WSAEADDRINUSE;
    *localPort = port;
    int32_t b = sock_OpenUdp(0);
    if (b < 0) {
        int32_t err = sock_LastError();
        sock_Close(a);
        return err ? err : WSAEINVAL;
    }
    // The platform sockets already use 64 KiB buffers; the send buffer is
    // sized as the receive buffer plus the check word.
    int32_t size = 0x10000 + 4;
    uint8_t* buffer = (uint8_t*)malloc((size_t)size);
    if (!buffer) {
        sock_Close(a);
        sock_Close(b);
        return WSAEFAULT;
    }
    free(AnnounceSock.buffer);
    AnnounceSock = {a, b, buffer, size, mode, port, destPort};
    return 0;
}

int32_t net_DatagramSend(const char* text, size_t n, uint32_t address) {
    if (n == 0) return 0;
    if (!AnnounceSock.buffer || n > (size_t)AnnounceSock.bufferSize - 4) return WSAEMSGSIZE;
    int32_t size = net_DatagramBuild(AnnounceSock.buffer, (size_t)AnnounceSock.bufferSize, text, n);
    if (size < 0) return WSAEMSGSIZE;
    // An unresolved master server gets nothing.
    if (address == 0) return 0;
    SockAddr to = {address, AnnounceSock.destPort};
    if (sock_SendTo(AnnounceSock.b, AnnounceSock.buffer, (size_t)size, to) < 0) return sock_LastError();
    return 0;
}

int32_t net_SocketsClose(void) {
    if (AnnounceSock.a >= 0) sock_Close(AnnounceSock.a);
    if (AnnounceSock.b >= 0) sock_Close(AnnounceSock.b);
    AnnounceSock.a = AnnounceSock.b = -1;
    free(AnnounceSock.buffer);
    AnnounceSock.buffer = nullptr;
    AnnounceSock.bufferSize = 0;
    return 0;
}

uint32_t net_ResolveHost(const char* text) {
    uint32_t ip = 0;
    if (!text || !*text || sock_Resolve(text, &ip) != 0) return 0;
    return ip;
}

void Server_AnnounceEscape(char* text) {
    for (; text && *text; ++text)
        if (*text == ' ' || *text == '=') *text = '+';
}

int32_t Server_AnnounceDeleteText(char* out, size_t cap, const char* id, int32_t port) {
    int r = snprintf(out, cap, "%s Port = %ld Delete", id ? id : "", (long)port);
    return (r < 0 || (size_t)r >= cap) ? -1 : r;
}

int32_t Server_AnnounceTextBuild(char* out, size_t cap, const AnnounceFields* f) {
    if (!out || !f || cap == 0) return -1;
    char item[5][128];
    const char* src[5] = {f->serverName, (f->country && *f->country) ? f->country : "---",
                          f->gameType, f->region, f->timeOfDay};
    for (int i = 0; i < 5; ++i) {
        CopyBounded(item[i], sizeof item[i], src[i] ? src[i] : "");
        Server_AnnounceEscape(item[i]);
    }
    int r = snprintf(out, cap,
                     "%s Port = %ld AppId = %ld ServerName = %s Country = %s GameType = %s Region = %s "
                     "TimeOfDay = %s Players = %ld MaxPlayers = %ld KRX = %ld TVLAR = %ld WXN = %ld",
                     f->id ? f->id : "", (long)f->port, (long)f->appId, item[0], item[1], item[2],
                     item[3], item[4], (long)f->players, (long)f->maxPlayers, (long)f->krx,
                     (long)f->tvlar, (long)f->wxn);
    return (r < 0 || (size_t)r >= cap) ? -1 : r;
}

static bool InternetGame(void) { return app_Settings.CURRENT_PROVIDER == -1; }

// The game's network port: the one the multiplayer screens set, else the
// transport's receive port.
static int32_t GamePort(void) {
    if (Announce.gamePort) return Announce.gamePort;
    uint32_t port = 0;
    return net_GetRecvPort(&port) == 0 ? (int32_t)port : 0;
}

void Server_AnnounceOpen(void) {
    if (Announce.open || !InternetGame()) return;
    if (Announce.enable) {
        Announce.localPort = (uint16_t)(1025 + Announce.otherCopies);
        if (net_SocketsOpen(2, &Announce.localPort, Announce.masterPort) != 0) {
            plat_MessageBox(0,
                            "Error!  Can't initialize winsock.\n\nEither you don't have a winsock dll, or\n"
                            "the receive port is already used.",
                            app_Title, MB_ICONERROR);
            return;
        }
        Announce.masterIp = net_ResolveHost(Announce.masterAddress);
    }
    Announce.open = 1;
}

void Server_AnnounceDelete(void) {
    if (!Announce.open || !InternetGame() || !Announce.enable) return;
    char text[64];
    const char* id = app_Settings.HOST_GAME_PASSWORD[0] ? Announce.idPassword : Announce.idOpen;
    int32_t n = Server_AnnounceDeleteText(text, sizeof text, id, GamePort());
    if (n > 0) net_DatagramSend(text, (size_t)n, Announce.masterIp);
}

void Server_AnnounceClose(void) {
    if (!Announce.open || !InternetGame()) return;
    if (Announce.enable) net_SocketsClose();
    Announce.open = 0;
}

// Text of item n of the game data file; empty when it is missing.
static const char* GameDataText(uint32_t n) {
    const char* text = level_GameText(n);
    return text ? text : "";
}

void Server_AnnounceSend(void) {
    if (!Announce.open || !InternetGame() || !Announce.enable || !level_GameData) return;
    Server_PlaneCountsUpdate();
    AnnounceFields f = {};
    f.id = app_Settings.HOST_GAME_PASSWORD[0] ? Announce.idPassword : Announce.idOpen;
    f.port = GamePort();
    f.appId = Announce.appId;
    f.serverName = app_Settings.HOST_GAME_NAME;
    f.country = app_Settings.HOST_COUNTRY_NAME;
    f.gameType = GameDataText(832u + (uint32_t)app_Settings.HOST_GAME_TYPE);
    f.region = GameDataText(450u + (uint32_t)level_Region);
    f.timeOfDay = GameDataText(467u + (uint32_t)level_TimeOfDay);
    f.players = Server.playerCount;
    f.maxPlayers = rules_Settings.playerSlots;
    f.krx = Server_PlaneCounts[0];
    f.tvlar = Server_PlaneCounts[1];
    f.wxn = Server_PlaneCounts[2];
    char text[1024];
    int32_t n = Server_AnnounceTextBuild(text, sizeof text, &f);
    if (n > 0) net_DatagramSend(text, (size_t)n, Announce.masterIp);
}

void Server_AnnounceRefresh(void) { Server_AnnounceSend(); }
