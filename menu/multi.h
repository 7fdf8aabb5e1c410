// The multiplayer screens: the connection and session screen, its options
// screen and password dialog, the host screen and the launch screen of the
// online service. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "menu/mnu.h"
#include "shell/runner.h"

extern const AppStateRecord WndMultiOption;
extern const AppStateRecord WndHost;

// --- The multiplayer screen (mnu_multi.cpp) ---

constexpr int32_t MNU_MP_SESSION_BUTTONS = 13;
constexpr int32_t MNU_MP_STATUS_SIZE = 128;
constexpr int32_t MNU_MP_ERROR_FRAMES = 160;
// Search kinds.
enum : int32_t { MNU_SEARCH_NONE = 0, MNU_SEARCH_TCPIP = 1, MNU_SEARCH_IPX = 2, MNU_SEARCH_MODEM = 3, MNU_SEARCH_SERIAL = 4 };

struct MnuSessionButton {
    char name[64];
    char text[128];
    MnuButton* button;
    int32_t state;
};

struct MnuMultiState {
    int32_t searchKind;
    int32_t error, errorCountdown;
    int32_t joining;
    char status[MNU_MP_STATUS_SIZE];
    int32_t statusChanged;
    int32_t dots, dotFrames, enumFrames;
    uint32_t modemDeadline;
    int32_t pwOpen, pwAccepted;
    int32_t savedKeepRunning;
    MnuSessionButton buttons[MNU_MP_SESSION_BUTTONS];
};
extern MnuMultiState mnu_Multi;
// The session being joined (none: all zero); the launch screen shares it.
extern uint8_t mnu_ChosenSession[16];

// The text of the current menu context's string, "" when it has none.
const char* mnu_StringText(const char* key);
// 1 when the text holds a character that shows: 0x22..0x7E other than
// "~", where a "~" also hides the character after it (colour codes).
int32_t mnu_TextVisible(const char* text);
// The string key of a multiplayer error code; `type` is the connection
// type and `lastError` the driver's last join error.
const char* mnu_MultiErrorKey(int32_t code, int32_t type, int32_t lastError);
// Opens the connection of CURRENT_PROVIDER: 1, or 0 with the error set.
int32_t mnu_MultiConnect(void);
// Stops the search, clears the error, the join, the session list and the
// chosen session.
void mnu_MultiReset(void);
void mnu_MultiSearchStop(void);
// One status update of the multiplayer frame.
void mnu_MultiStatusUpdate(void);
void mnu_MultiEditEnd(void);

void cbMPBack(int32_t);
void cbMPOpt(int32_t);
void cbMPHost(int32_t);
void cbMPSearch(int32_t);
void cbMPJoin(int32_t);
void cbMPName(int32_t);
void cbMPIP(int32_t);
void cbMPModem(int32_t);
void cbMPSessionPW(int32_t);
void cbMPConLeft(int32_t direction);
void cbMPLeft(int32_t direction);
void cbMPSel(int32_t index);
void cbMPPwOk(int32_t);
void cbMPPwCancel(int32_t);
void cbMPOptAcept(int32_t);
void cbMPOptSQName(int32_t);
void cbMPOptSQPW(int32_t);
void cbMPOptSidePW(int32_t);
void cbMPOptSideTog(int32_t direction);

// --- The host screen (mnu_host.cpp) ---

constexpr int32_t MNU_HOST_ROWS = 11;
extern char mnu_HostStatus[128];
// The row's value after one step (direction -1 or 1) for the game type;
// rows without a setting keep the value.
int32_t mnu_HostRowStep(int32_t gameType, int32_t row, int32_t value, int32_t direction);
// The setting of a row (0-based) for a game type; null for none.
int32_t* mnu_HostRowSetting(int32_t gameType, int32_t row);
void mnu_HostEditEnd(void);
// Hosts the game of the host settings: 1 when the flight starts.
int32_t mnu_HostStart(void);

void cbHostStep(int32_t argument);
void cbHostServer(int32_t);
void cbHostGame(int32_t);
void cbHostName(int32_t);
void cbHostPw(int32_t);
void cbHostPwA(int32_t);
void cbHostPwB(int32_t);
void cbHostCountry(int32_t);
void cbHostHost(int32_t);
void cbHostBack(int32_t);
void cbHostMain(int32_t);

// --- The launch screen (mnu_launch.cpp) ---

constexpr int32_t MNU_LAUNCH_FIELD = 32;
constexpr int32_t MNU_LAUNCH_TITLE = 256;
struct MnuLaunchTitle {
    char title[MNU_LAUNCH_TITLE];
    char address[MNU_LAUNCH_FIELD];
    char port[MNU_LAUNCH_FIELD];
    char session[MNU_LAUNCH_FIELD];
};
extern MnuLaunchTitle mnu_LaunchPage;
extern const char mnu_LaunchKey[22];
// Decodes the scrambled page title in t->title into its three fields.
void mnu_LaunchTitleDecode(MnuLaunchTitle* t);
// Drops the leading zeros of each group of a dotted address of up to 15
// characters.
void mnu_LaunchAddressNormalise(char* address);
