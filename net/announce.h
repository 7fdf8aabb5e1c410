// Master-server announcement: settings, the two UDP sockets and the
// datagram format (check word + text).
#pragma once
#include <cstddef>
#include <cstdint>

struct AnnounceSettings {
    int32_t open;             // 1 while the sockets are open
    int32_t enable;           // 0: nothing is opened or sent
    uint16_t localPort;
    uint16_t masterPort;
    char masterAddress[32];   // dotted IPv4 address or host name
    uint32_t masterIp;        // resolved, host order; 0 when unresolved
    char idPassword[8];       // identifier word of a game with a password
    char idOpen[8];           // identifier word of a game without one
    int32_t otherCopies;      // other running copies of the program
    int32_t gamePort;         // the game's network port (multiplayer screens)
    int32_t appId;            // application number of the running server
};
extern AnnounceSettings Announce;

// Socket state of the announcement.
struct AnnounceSockets {
    int32_t a;                // bound, non-blocking
    int32_t b;                // unbound, for sending
    uint8_t* buffer;          // send buffer
    int32_t bufferSize;
    int32_t mode;
    uint16_t localPort;
    uint16_t destPort;
};
extern AnnounceSockets AnnounceSock;

// Sets the announcement defaults (ports, identifiers, master server).
void app_ServerDefaultsSet(void);

// CRC-32 MSB first, polynomial 0x04C11DB7, initial 0xFFFFFFFF, no final xor.
uint32_t net_Crc32Mpeg2(const uint8_t* data, size_t n);
// Builds check word + text into out (room for n + 4); the datagram's size,
// or -1 when it does not fit.
int32_t net_DatagramBuild(uint8_t* out, size_t cap, const char* text, size_t n);
// Undoes the mixing and checks the CRC: 0 and the text (n bytes) or -1.
int32_t net_DatagramDecode(const uint8_t* data, size_t size, char* text, size_t cap, size_t* n);

int32_t net_SocketsOpen(int32_t mode, uint16_t* localPort, uint16_t destPort);
int32_t net_DatagramSend(const char* text, size_t n, uint32_t address);
int32_t net_SocketsClose(void);
uint32_t net_ResolveHost(const char* text);

// Replaces every blank and '=' by '+' in place.
void Server_AnnounceEscape(char* text);
// Writes the delete text into out; its length or -1.
int32_t Server_AnnounceDeleteText(char* out, size_t cap, const char* id, int32_t port);

// Values of one announcement.
struct AnnounceFields {
    const char* id;
    int32_t port;
    int32_t appId;
    const char* serverName;
    const char* country;
    const char* gameType;
    const char* region;
    const char* timeOfDay;
    int32_t players, maxPlayers;
    int32_t krx, tvlar, wxn;
};
// Writes the announcement text (escaped items) into out; its length or -1.
int32_t Server_AnnounceTextBuild(char* out, size_t cap, const AnnounceFields* f);

void Server_AnnounceOpen(void);
void Server_AnnounceSend(void);
void Server_AnnounceDelete(void);
void Server_AnnounceClose(void);
