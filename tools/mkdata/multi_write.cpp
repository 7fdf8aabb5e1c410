// The multiplayer screens: the multiplayer screen with its connection
// windows and password dialog, the multiplayer options, the host screen and
// the launch screen; their texts; the deathmatch and capture-the-flag maps
// of the regions the host screen offers.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "mission_write.h"
#include "mkdata.h"

namespace {

void Button(MkMenuScript& s, const char* window, const char* name, int32_t x, int32_t y, const char* text,
            const char* action) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, MainButton, %s, 0, %d, %d, %s, ARIAL12, 512, %s, cbInHover, cbOutHover, BUTTON_CLICK",
             window, name, (int)x, (int)y, text, action);
    s.buttons.push_back(buf);
}

// A 16 x 16 arrow at its top-left corner, without a caption.
void Arrow(MkMenuScript& s, const char* window, const char* name, int32_t x, int32_t y, bool right, const char* action) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %s, 0, %d, %d, NULL, NULL, 0, %s, NULL, NULL, BUTTON_CLICK", window,
             right ? "ScrollDown" : "ScrollUp", name, (int)x, (int)y, action);
    s.buttons.push_back(buf);
}

void Text(MkMenuScript& s, const char* window, const char* name, const char* key, const char* font, int32_t l,
          int32_t t, int32_t r, int32_t b, int32_t flags = 0) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %s, %s, %d, %d, %d, %d, %d", window, name, key, font, (int)l, (int)t, (int)r,
             (int)b, (int)flags);
    s.texts.push_back(buf);
}

void Entry(MkMenuScript& s, const char* window, const char* name, int32_t l, int32_t t, int32_t r, int32_t b,
           const char* button) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %d, %d, %d, %d, %s", window, name, (int)l, (int)t, (int)r, (int)b, button);
    s.entries.push_back(buf);
}

// A caption button at (x, y) and the entry line it opens under it, 180
// wide and `height` high.
void ButtonEntry(MkMenuScript& s, const char* window, const char* button, int32_t x, int32_t y, const char* text,
                 const char* action, const char* entry, int32_t height = 18) {
    Button(s, window, button, x, y, text, action);
    Entry(s, window, entry, x - 90, y + 18, x + 90, y + 18 + height, button);
}

// An arrow pair around a value area on one row.
void Stepper(MkMenuScript& s, const char* window, const char* left, const char* area, const char* right, int32_t x,
             int32_t y, int32_t width, const char* leftAction, const char* rightAction) {
    Arrow(s, window, left, x, y, false, leftAction);
    Text(s, window, area, "NULL", "ARIAL10", x + 20, y, x + 20 + width, y + 16, 512);
    Arrow(s, window, right, x + 24 + width, y, true, rightAction);
}

void Multi(MkMenuScript& s) {
    s.windows.push_back("WndMulti, 0, 0, 0, MainBack, ARIAL12");
    for (const char* w : {"WndMultiTCPIP", "WndMultiModem", "WndMultiSerial", "WndMultiIPX", "WndMultiZelvoria",
                          "WndMultiPlate"}) {
        char buf[96];
        snprintf(buf, sizeof buf, "%s, 1, 0, 0, NULL, ARIAL12", w);
        s.windows.push_back(buf);
    }
    Text(s, "WndMulti", "MPTitle", "MP_TITLE", "ARIAL16B", 0, 16, 640, 50, 512);
    // Session buttons: 0..6 in the left column, 7..12 in the right one.
    for (int32_t i = 0; i < 13; i++) {
        char name[32], action[32];
        snprintf(name, sizeof name, "BtnMPSel%d", (int)i);
        snprintf(action, sizeof action, "cbMPSel%d", (int)i);
        // A picture button (top-left corner) under a text area of its name
        // that shows the session.
        char buf[256];
        int32_t x = i < 7 ? 20 : 230, y = 66 + (i % 7) * 32;
        snprintf(buf, sizeof buf, "WndMulti, MainButton, %s, 0, %d, %d, NULL, NULL, 0, %s, NULL, NULL, BUTTON_CLICK", name,
                 (int)x, (int)y, action);
        s.buttons.push_back(buf);
        Text(s, "WndMulti", name, "NULL", "ARIAL12", x, y, x + 200, y + 28, 512);
    }
    Stepper(s, "WndMulti", "BtnMPConnectLeft", "TxtMPCurConnection", "BtnMPConnectRight", 440, 70, 140, "cbMPConLeft",
            "cbMPConRight");
    ButtonEntry(s, "WndMulti", "BtnMPCallSign", 530, 110, "MP_CALLSIGN", "cbMPName", "EntryMPCurCallSign");
    ButtonEntry(s, "WndMulti", "BtnMPSessionPW", 530, 170, "MP_SESSIONPW", "cbMPSessionPW", "EntryMPSessionPW");
    ButtonEntry(s, "WndMultiTCPIP", "BtnMPTcpIp", 530, 230, "MP_IPADDRESS", "cbMPIP", "EntryMPIPAddr");
    ButtonEntry(s, "WndMultiModem", "BtnMPModem", 530, 230, "MP_PHONE", "cbMPModem", "EntryMPModem");
    Stepper(s, "WndMultiSerial", "BtnMPSerialLeft", "TxtMPSerial", "BtnMPSerialRight", 440, 240, 140, "cbMPLeft",
            "cbMPRight");
    Stepper(s, "WndMultiZelvoria", "BtnMPNWLeft", "TxtMPNWConnect", "BtnMPNWRight", 440, 240, 140, "cbMPLeft",
            "cbMPRight");
    Text(s, "WndMultiIPX", "TxtMPIpxNote", "MP_IPX_NOTE", "ARIAL10", 440, 240, 620, 260, 512);
    Button(s, "WndMulti", "BtnMPSearch", 120, 330, "MP_SEARCH", "cbMPSearch");
    Arrow(s, "WndMulti", "BtnMPSearchBtn", 0, 322, true, "cbMPSearch");
    Button(s, "WndMulti", "BtnMPJoin", 330, 330, "MP_JOIN", "cbMPJoin");
    Arrow(s, "WndMulti", "BtnMPJoinBtn", 432, 322, true, "cbMPJoin");
    Button(s, "WndMulti", "BtnMPHost", 530, 370, "MP_HOST", "cbMPHost");
    Button(s, "WndMulti", "BtnMPOpt", 330, 370, "MP_OPTIONS", "cbMPOpt");
    Button(s, "WndMulti", "BtnMPBack", 120, 440, "MP_BACK", "cbMPBack");
    Text(s, "WndMulti", "TxtMPStatusBar", "NULL", "ARIAL10", 20, 400, 620, 420, 512);
    // The password dialog over the screen.
    s.windows.push_back("WndPwDlg, 2, 0, 0, NULL, ARIAL12");
    Text(s, "WndPwDlg", "TxtPwPrompt", "MP_PW_PROMPT", "ARIAL12", 170, 170, 470, 200, 512);
    Entry(s, "WndPwDlg", "EntryPwEntry", 220, 210, 420, 228, "NULL");
    Button(s, "WndPwDlg", "BtnPwOk", 220, 270, "MP_PW_OK", "cbMPPwOk");
    Button(s, "WndPwDlg", "BtnPwCancel", 420, 270, "MP_PW_CANCEL", "cbMPPwCancel");
}

void MultiOption(MkMenuScript& s) {
    s.windows.push_back("WndMultiOption, 0, 0, 0, MainBack, ARIAL12");
    s.windows.push_back("WndMultiPw, 1, 0, 0, NULL, ARIAL12");
    Text(s, "WndMultiOption", "MPOptTitle", "MP_OPT_TITLE", "ARIAL16B", 0, 16, 640, 50, 512);
    ButtonEntry(s, "WndMultiOption", "BtnMPSquad", 320, 120, "MP_SQUAD", "cbMPOptSQName", "EntrySQName");
    ButtonEntry(s, "WndMultiPw", "BtnMPSquadPW", 320, 190, "MP_SQUADPW", "cbMPOptSQPW", "EntrySQPW");
    ButtonEntry(s, "WndMultiOption", "BtnMPSidePW", 320, 260, "MP_SIDEPW", "cbMPOptSidePW", "EntrySidePW");
    Stepper(s, "WndMultiOption", "BtnMPSideL", "TxtMPSide", "BtnMPSideR", 220, 320, 160, "cbMPOptSideTogL",
            "cbMPOptSideTogR");
    Button(s, "WndMultiOption", "BtnMPOptAccept", 320, 430, "MP_OPT_DONE", "cbMPOptAcept");
}

void Host(MkMenuScript& s) {
    s.windows.push_back("WndHost, 0, 0, 0, MainBack, ARIAL12");
    s.windows.push_back("WndHostDM, 1, 0, 0, NULL, ARIAL12");
    s.windows.push_back("WndHostCTF, 1, 0, 0, NULL, ARIAL12");
    Text(s, "WndHost", "HOTitle", "HO_TITLE", "ARIAL16B", 0, 10, 640, 40, 512);
    Text(s, "WndHost", "TxtHostSubtitle", "NULL", "ARIAL12", 0, 44, 640, 64, 512);
    const char* const areas[] = {"TxtHostPlayer", "TxtHostBlackouts", "TxtHostShare1", "TxtHostTOD",
                                 "TxtHostTerrain", "TxtHostTerrainSeq", "TxtHostRounds", "TxtHostShare2",
                                 "TxtHostSW",      "TxtHostAM",         "TxtHostShare3"};
    for (int32_t r = 1; r <= 11; r++) {
        char left[32], right[32], la[32], ra[32], label[32], key[32];
        int32_t y = 76 + (r - 1) * 26;
        snprintf(left, sizeof left, "BtnHOLeft%d", (int)r);
        snprintf(right, sizeof right, "BtnHORight%d", (int)r);
        snprintf(la, sizeof la, "cbHostL%d", (int)r);
        snprintf(ra, sizeof ra, "cbHostR%d", (int)r);
        Stepper(s, "WndHost", left, areas[r - 1], right, 40, y, 180, la, ra);
        for (const char* w : {"WndHostDM", "WndHostCTF"}) {
            snprintf(label, sizeof label, "Txt%sRow%d", w + 3, (int)r);
            snprintf(key, sizeof key, "HO_%s_ROW%d", strcmp(w, "WndHostDM") == 0 ? "DM" : "CTF", (int)r);
            Text(s, w, label, key, "ARIAL10", 270, y, 420, y + 16);
        }
    }
    // Panels behind the rows that lock: frame 3 when locked.
    s.imageAreas.push_back("WndHost, WndHostPanel9, ScrollUp, 16, 284, 0, 0, 0");
    s.imageAreas.push_back("WndHost, WndHostPanel10, ScrollUp, 16, 310, 0, 0, 0");
    Stepper(s, "WndHost", "BtnHOServerL", "TxtHostServer", "BtnHOServerR", 440, 76, 140, "cbHostServer", "cbHostServer");
    Stepper(s, "WndHost", "BtnHOGameL", "TxtHostGame", "BtnHOGameR", 440, 102, 140, "cbHostGame", "cbHostGame");
    ButtonEntry(s, "WndHost", "BtnHOName", 530, 146, "HO_NAME", "cbHostName", "EntryHostGameName");
    ButtonEntry(s, "WndHost", "BtnHOPassword", 530, 204, "HO_PASSWORD", "cbHostPw", "EntryHostGamePW");
    ButtonEntry(s, "WndHostCTF", "BtnHOPasswordA", 530, 262, "HO_PASSWORDA", "cbHostPwA", "EntryHostGamePWA");
    ButtonEntry(s, "WndHostCTF", "BtnHOPasswordB", 530, 320, "HO_PASSWORDB", "cbHostPwB", "EntryHostGamePWB");
    ButtonEntry(s, "WndHost", "BtnHOCountry", 530, 378, "HO_COUNTRY", "cbHostCountry", "EntryHostCountry", 16);
    Text(s, "WndHost", "TxtHostStatus", "NULL", "ARIAL10", 20, 418, 620, 434, 512);
    Button(s, "WndHost", "BtnHOBack", 110, 456, "HO_BACK", "cbHostBack");
    Button(s, "WndHost", "BtnHOMain", 320, 456, "HO_MAIN", "cbHostMain");
    Button(s, "WndHost", "BtnHOHost", 530, 456, "HO_HOST", "cbHostHost");
}

void Launch(MkMenuScript& s) {
    s.windows.push_back("WndLaunch, 0, 0, 0, MainBack, ARIAL12");
    Text(s, "WndLaunch", "LaunchTitle", "LAUNCH_TITLE", "ARIAL16B", 0, 20, 640, 60, 512);
    for (int32_t i = 0; i < 6; i++) {
        char name[32];
        snprintf(name, sizeof name, "TxtLaunchBox%d", (int)i);
        Text(s, "WndLaunch", name, "NULL", "ARIAL12", 60, 100 + i * 40, 580, 124 + i * 40, 512);
    }
    Button(s, "WndLaunch", "BtnLaunchBack", 320, 440, "LAUNCH_BACK", "cbLaunchBack");
}

// The two status lines the multiplayer screen takes from the menu text
// table by number: 53 while joining, 27 once joined.
const MkMenuText kJoining = {"MP_STATUS_JOINING", "Joining the session ..."};
const MkMenuText kJoined = {"MP_STATUS_JOINED", "Joined: starting the flight"};

}  // namespace

void mkdata_MultiScript(MkMenuScript& s) {
    Multi(s);
    MultiOption(s);
    Host(s);
    Launch(s);
}

void mkdata_MultiTexts(std::vector<MkMenuText>& texts) {
    const MkMenuText add[] = {
        {"MP_TITLE", "Multiplayer"},
        {"MP_PW_OK", "{hot}OK"},
        {"MP_PW_CANCEL", "{hot}Cancel"},
        {"MP_CALLSIGN", "Call {hot}Sign"},
        {"MP_SESSIONPW", "Session {hot}Password"},
        {"MP_IPADDRESS", "{hot}IP Address"},
        {"MP_PHONE", "Phone {hot}Number"},
        {"MP_SEARCH", "{hot}Search"},
        {"MP_NET_MSG_CANCEL", "{hot}Cancel"},
        {"MP_JOIN", "{hot}Join"},
        {"MP_HOST", "{hot}Host"},
        {"MP_OPTIONS", "O{hot}ptions"},
        {"MP_BACK", "{hot}Back"},
        {"MP_IPX_NOTE", "IPX network"},
        {"MP_TYPE_IPX", "IPX"},
        {"MP_TYPE_TCPIP", "TCP/IP"},
        {"MP_TYPE_SERIAL", "Serial cable"},
        {"MP_TYPE_MODEM", "Modem"},
        {"MP_TYPE_ZELVORIA", "Online service"},
        {"MP_TYPE_ZELVORIASV", "Online service (server)"},
        {"MP_VIABROWSER", "Via the browser"},
        {"MP_VIADEFAULT", "Via the launcher"},
        {"MP_SET_COM1", "COM1"},
        {"MP_SET_COM2", "COM2"},
        {"MP_SET_COM3", "COM3"},
        {"MP_SET_COM4", "COM4"},
        {"MP_NET_MSG_IDLE", "Idle"},
        {"MP_NET_MSG_SEARCHING", "Searching"},
        {"MP_MODEM_MSG1", "Dialling"},
        {"MP_MODEM_MSG3", "Enter a phone number first"},
        {"MP_NET_MSG_ERROR", "Network error"},
        {"MP_NET_MSG_TIMEOUTORBADPW", "Timed out, or a wrong password"},
        {"MP_NET_MSG_PWERROR", "Wrong session password"},
        {"MP_NET_MSG_MODEM_ERROR", "Modem error"},
        {"MP_NET_MSG_TIMEOUT", "Timed out"},
        {"MP_NET_MSG_CREATE_PLAYER_ERROR", "Could not create the player"},
        {"MP_NET_MSG_SESSION_FULL_ERROR", "The session is full"},
        {"MP_NET_MSG_GETSERVER_ERROR", "The server does not answer"},
        {"MP_NET_MSG_UNKERROR", "Unknown error"},
        {"MP_NET_TIMEOUT", "The server did not answer in time"},
        {"MP_BADSIDEPW", "Wrong side password"},
        {"MP_PW_PROMPT", "This session needs a password"},
        {"MP_DEFAULT_CALLSIGN", "KRX GAME"},
        {"MP_OPT_TITLE", "Multiplayer Options"},
        {"MP_SQUAD", "S{hot}quadron"},
        {"MP_SQUADPW", "Squadron {hot}Password"},
        {"MP_SIDEPW", "Si{hot}de Password"},
        {"MP_OPT_SIDE0", "Any side"},
        {"MP_OPT_SIDE1", "Side A"},
        {"MP_OPT_SIDE2", "Side B"},
        {"MP_OPT_DONE", "{hot}Done"},
        {"HO_TITLE", "Host a Game"},
        {"HO_DM_TITLE", "Deathmatch"},
        {"HO_CTF_TITLE", "Capture the Flag"},
        {"HO_DEDICATED_YES", "Dedicated server"},
        {"HO_DEDICATED_NO", "Play on this machine"},
        {"HO_GAME_TYPE_1", "Deathmatch"},
        {"HO_GAME_TYPE_2", "Capture the flag"},
        {"HO_INCREMENTAL", "In turn"},
        {"HO_RANDOM", "Random"},
        {"HO_TIME_CHANGE", "Time of day"},
        {"HO_SIDE_FIRST", "First come"},
        {"HO_SIDE_PLAYER", "Player's choice"},
        {"HO_SIDE_PLANE", "By aircraft"},
        {"HO_TOD_5", "Midnight"},
        {"HO_REGION_4", "Islands"},
        {"HO_REGION_5", "Plains"},
        {"HO_REGION_6", "Valley"},
        {"HO_REGION_7", "Tundra"},
        {"HO_REGION_8", "Canyon"},
        {"HO_REGION_9", "Delta"},
        {"HO_BAD_NAME", "The game needs a name"},
        {"HO_HOST_ERROR", "The game could not be hosted"},
        {"HO_PLAYER_ERROR", "The player could not be created"},
        {"HO_TIMEOUT", "Hosting timed out"},
        {"HO_NAME", "Game {hot}Name"},
        {"HO_PASSWORD", "Game {hot}Password"},
        {"HO_PASSWORDA", "Side {hot}A Password"},
        {"HO_PASSWORDB", "Side {hot}B Password"},
        {"HO_COUNTRY", "{hot}Country"},
        {"HO_BACK", "{hot}Back"},
        {"HO_MAIN", "{hot}Main"},
        {"HO_HOST", "{hot}Host"},
        {"HO_DM_ROW1", "Players"},
        {"HO_DM_ROW2", "Blackouts"},
        {"HO_DM_ROW3", "Spin deaths"},
        {"HO_DM_ROW4", "Time of day"},
        {"HO_DM_ROW5", "Terrain"},
        {"HO_DM_ROW6", "Map change"},
        {"HO_DM_ROW7", "Rounds per map"},
        {"HO_DM_ROW8", "Kills per round"},
        {"HO_DM_ROW9", "Missiles"},
        {"HO_DM_ROW10", "Bombs"},
        {"HO_DM_ROW11", " "},
        {"HO_CTF_ROW1", "Players"},
        {"HO_CTF_ROW2", "Blackouts"},
        {"HO_CTF_ROW3", "GPS"},
        {"HO_CTF_ROW4", "Time of day"},
        {"HO_CTF_ROW5", "Terrain"},
        {"HO_CTF_ROW6", "Map change"},
        {"HO_CTF_ROW7", "Games per map"},
        {"HO_CTF_ROW8", "Bombers get missiles"},
        {"HO_CTF_ROW9", "Sides"},
        {"HO_CTF_ROW10", " "},
        {"HO_CTF_ROW11", " "},
        {"LAUNCH_TITLE", "Joining an Online Game"},
        {"LAUNCH_BACK", "{hot}Back"},
        {"LAUNCH_BAD_HOST", "The server refused this copy of the game"},
        {"LAUNCH_SIDEFULL", "That side is full"},
        {"LAUNCH_BADSIDEPW", "Wrong side password"},
        {"LAUNCH_CFG_ERROR", "No game was chosen on the service's page"},
        {"LAUNCH_NOT_FOUND", "No game found at that address"},
        {"LAUNCH_TRYING", "Trying the game's address"},
        {"LAUNCH_CONNECTING", "Connecting"},
        {"LAUNCH_FOUND", "Found %s"},
        {"LAUNCH_NEGOTIATING", "Joining the game"},
        {"LAUNCH_STARTING", "Starting"},
    };
    for (const MkMenuText& t : add) texts.push_back(t);
}

void mkdata_MultiTextsPlace(std::vector<MkMenuText>& texts) {
    // Numbered items: placed where the screen reads them, every other text
    // keeps its order (they are read by name).
    while (texts.size() < 54) texts.push_back({"MP_PAD", " "});
    texts.insert(texts.begin() + 27, kJoined);
    texts.insert(texts.begin() + 53, kJoining);
}

int mkdata_WriteMultiMaps(const std::string& dir) {
    std::ifstream in(dir + "/" + MK_SAMPLE_REFERENCE, std::ios::binary);
    std::vector<uint8_t> reference((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (reference.empty()) return -1;
    for (int32_t region = 3; region <= 8; region++) {
        for (bool deathmatch : {true, false}) {
            char orf[16], ref[16];
            snprintf(orf, sizeof orf, deathmatch ? "QJDM%02d.ORF" : "QJCTF%02d.ORF", (int)(region + 1));
            snprintf(ref, sizeof ref, deathmatch ? "QJDM%02d.REF" : "QJCTF%02d.REF", (int)(region + 1));
            MkMission m = mkdata_SampleMission();
            mkdata_MissionTerrainNames(&m, ref);
            if (mkdata_WriteFile(dir, orf, mkdata_MissionBuild(m)) != 0 || mkdata_WriteFile(dir, ref, reference) != 0)
                return -1;
        }
    }
    return 0;
}
