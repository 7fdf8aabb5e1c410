// The DirectPlay interfaces the DirectPlay transport driver calls, as a
// table of routines. This system has no DirectPlay: the installed table
// fails to create its objects, so modem, serial and IPX games fail cleanly.
// Tests install a scripted table of their own.
#pragma once
#include <cstdint>

typedef uint32_t HRESULT_DP;
constexpr HRESULT_DP DP_OK = 0;
constexpr HRESULT_DP DP_CLASS_NOT_AVAILABLE = 0x80040111u;
constexpr HRESULT_DP DPERR_BUSY = 0x8877010Eu;
constexpr HRESULT_DP DPERR_CONNECTING = 0x8877015Eu;
constexpr HRESULT_DP DPERR_NOMESSAGES = 0x88770190u;

// Service providers of a connection.
enum : int32_t { DP_PROVIDER_IPX = 1, DP_PROVIDER_TCPIP = 2, DP_PROVIDER_MODEM = 3, DP_PROVIDER_SERIAL = 4 };

// A session as enumeration reports it.
struct DplaySessionInfo {
    uint32_t flags;
    uint8_t session[16];
    uint8_t application[16];
    uint32_t maxPlayers;
    uint32_t currentPlayers;
    uint32_t user[4];
    const char* name;
};
typedef int32_t (*DplayEnumCallback)(const DplaySessionInfo* info, void* context);

// System messages (sender 0) start with a 32-bit type; "player created"
// then carries the id and the two words of its data, "player destroyed" the
// id.
constexpr uint32_t DPSYS_CREATEPLAYERORGROUP = 3;
constexpr uint32_t DPSYS_DESTROYPLAYERORGROUP = 5;
constexpr uint32_t DPSYS_SESSIONLOST = 49;

struct DplayApi {
    HRESULT_DP (*lobbyCreate)(void);   // DirectPlayLobbyCreate and IDirectPlayLobby2
    HRESULT_DP (*playCreate)(void);    // CoCreateInstance for IDirectPlay3
    void (*release)(void);             // releases both
    // The compound address is built from the provider and its element.
    HRESULT_DP (*initializeConnection)(int32_t provider, const void* element, uint32_t size);
    HRESULT_DP (*firstModem)(char* name, uint32_t size);
    HRESULT_DP (*enumSessions)(const uint8_t* application, uint32_t timeout, DplayEnumCallback callback,
                               void* context, uint32_t flags);
    HRESULT_DP (*open)(const uint8_t* session, const char* name, uint32_t maxPlayers, const char* password,
                       const uint32_t* user, uint32_t flags);
    HRESULT_DP (*close)(void);
    HRESULT_DP (*createPlayer)(uint32_t* id, const char* name, const void* data, uint32_t size, uint32_t flags);
    HRESULT_DP (*destroyPlayer)(uint32_t id);
    HRESULT_DP (*getMessageCount)(uint32_t id, uint32_t* count);
    HRESULT_DP (*receive)(uint32_t* from, uint32_t to, uint32_t flags, void* buffer, uint32_t* size);
    HRESULT_DP (*send)(uint32_t from, uint32_t to, uint32_t flags, const void* buffer, uint32_t size);
    HRESULT_DP (*getPlayerName)(uint32_t id, char* name, uint32_t* size);
    HRESULT_DP (*setPlayerName)(uint32_t id, const char* name);
};

// The table in use: our stand-in, or the one a test installed (null puts
// the stand-in back).
const DplayApi* plat_Dplay(void);
void plat_DplaySet(const DplayApi* api);
