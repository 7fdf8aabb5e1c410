// The multiplayer, host and launch screens: connection-type and port
// wraps, the default call sign, error texts, the host rows and their locks,
// the online page title's decoding and the launch screen's steps.
#include <cstring>
#include <string>
#include <vector>

#include "menu/front.h"
#include "menu/multi.h"
#include "net/client.h"
#include "menu_fixture.h"
#include "net/driver.h"
#include "platform/dplay.h"
#include "platform/harness.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"
#include "shell/settings.h"

namespace {

// The page title of a game: the address (with its port) and the session
// number scrambled with the key, after "[NK=" and "CK=".
std::string Encode(const std::string& plain) {
    std::string out;
    for (size_t i = 0; i < plain.size(); i++)
        out += (char)(uint8_t)((uint8_t)plain[i] - (uint8_t)'0' + (uint8_t)mnu_LaunchKey[i % 21]);
    return out;
}

MnuLaunchTitle Decoded(const std::string& title) {
    MnuLaunchTitle t = {};
    strncpy(t.title, title.c_str(), sizeof t.title - 1);
    mnu_LaunchTitleDecode(&t);
    return t;
}

TEST(LaunchTitle, DecodesAddressPortAndSession) {
    const struct {
        std::string title, address, port, session;
    } kCases[] = {
        {"Page [NK=" + Encode("10.1.0.100") + "&CK=" + Encode("42") + "&x", "10.1.0.100", "", "42"},
        {"[NK=" + Encode("127.0.0.1:30000") + "&CK=" + Encode("7"), "127.0.0.1", "30000", "7"},
        // No session marker: the number stays empty (0 as a number).
        {"Game [NK=" + Encode("192.168.0.1"), "192.168.0.1", "", ""},
        // No game marker: nothing is decoded, not even the session.
        {"Page CK=" + Encode("5"), "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : kCases) {
        MnuLaunchTitle t = Decoded(c.title);
        EXPECT_STREQ(t.address, c.address.c_str()) << c.title;
        EXPECT_STREQ(t.port, c.port.c_str()) << c.title;
        EXPECT_STREQ(t.session, c.session.c_str()) << c.title;
    }
}

TEST(LaunchTitle, OverlongTextStaysInsideKeyAndFields) {
    // 200 encoded characters after each marker, in a title that fills the
    // whole buffer without a terminator.
    MnuLaunchTitle t = {};
    std::string title = "[NK=" + std::string(120, 'z') + "CK=" + std::string(200, 'z');
    memcpy(t.title, title.data(), sizeof t.title);
    memset(t.address, 'A', sizeof t.address);
    mnu_LaunchTitleDecode(&t);
    EXPECT_EQ(strlen(t.address), 21u);  // the key's length
    EXPECT_EQ(strlen(t.session), 21u);
    EXPECT_EQ(t.port[0], 0);
}

TEST(LaunchAddress, LeadingZerosOfEachGroupDropped) {
    const struct {
        const char* in;
        const char* out;
    } kCases[] = {
        {"010.001.000.100", "10.1.0.100"},
        {"001.002.003.004", "1.2.3.4"},
        {"127.0.0.1", "127.0.0.1"},
        {"00.0.00.0", "0.0.0.0"},        // a group never goes empty
        {"0127.000.000.001", "0127.000.000.001"},  // longer than 15: unchanged
        {"", ""},
    };
    for (const auto& c : kCases) {
        char a[MNU_LAUNCH_FIELD] = {};
        strncpy(a, c.in, sizeof a - 1);
        mnu_LaunchAddressNormalise(a);
        EXPECT_STREQ(a, c.out) << c.in;
    }
}

TEST(MultiText, CallSignWithoutVisibleCharacterBecomesNewbie) {
    const struct {
        const char* name;
        const char* after;
    } kCases[] = {
        {"", "NEWBIE"},
        {"    ", "NEWBIE"},
        {"~1~2 ", "NEWBIE"},  // colour codes hide the character after them
        {"!", "NEWBIE"},      // below the visible range
        {"~1Ace", "~1Ace"},
        {" x", " x"},
    };
    for (const auto& c : kCases) {
        strncpy(app_Settings.PLAYER_NAME, c.name, sizeof app_Settings.PLAYER_NAME - 1);
        mnu_MultiEditEnd();
        EXPECT_STREQ(app_Settings.PLAYER_NAME, c.after) << '"' << c.name << '"';
    }
}

TEST(MultiText, ErrorCodesToStringKeys) {
    const struct {
        int32_t code, type, lastError;
        const char* key;
    } kCases[] = {
        {1, 1, -18, "MP_NET_MSG_ERROR"},
        {1, 0, -18, "MP_NET_MSG_TIMEOUTORBADPW"},
        {1, 2, -18, "MP_NET_MSG_TIMEOUTORBADPW"},
        {1, 3, -18, "MP_NET_MSG_TIMEOUTORBADPW"},
        {1, 3, -13, "MP_NET_MSG_ERROR"},
        {2, 1, 0, "MP_NET_MSG_PWERROR"},
        {3, 3, 0, "MP_NET_MSG_MODEM_ERROR"},
        {4, 1, 0, "MP_NET_MSG_TIMEOUT"},
        {5, 1, 0, "MP_NET_MSG_CREATE_PLAYER_ERROR"},
        {6, 1, 0, "MP_NET_MSG_SESSION_FULL_ERROR"},
        {7, 1, 0, "MP_NET_MSG_GETSERVER_ERROR"},
        {8, 1, 0, "LAUNCH_BAD_HOST"},
        {9, 3, 0, "MP_MODEM_MSG3"},
        {10, 1, 0, "MP_NET_MSG_UNKERROR"},
        {11, 1, 0, "MP_BADSIDEPW"},
        {-4, 1, 0, "MP_NET_MSG_UNKERROR"},
    };
    for (const auto& c : kCases)
        EXPECT_STREQ(mnu_MultiErrorKey(c.code, c.type, c.lastError), c.key) << c.code << " type " << c.type;
}

TEST(HostRows, StepsStopOrWrapAtTheEnds) {
    const struct {
        int32_t type, row, value, direction, after;
    } kCases[] = {
        {0, 0, 16, 1, 16},   // players stop at 16
        {0, 0, 2, -1, 2},    // ... and at 2
        {0, 4, 3, -1, 8},    // region wraps 3 -> 8
        {0, 4, 8, 1, 3},
        {0, 1, 1, 1, 0},     // yes/no wraps
        {0, 3, 0, -1, 4},    // time of day wraps
        {0, 6, 99, 1, 99},   // rounds stop
        {0, 8, 6, 1, 6},     // stores of kind 1 stop at 6
        {0, 9, 0, -1, 0},
        {1, 7, 0, -1, 1},    // capture the flag: bombers' missiles wrap
        {1, 8, 2, 1, 0},     // side selection wraps
        {1, 9, 5, 1, 5},     // no setting: unchanged
        {0, 10, 5, 1, 5},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(mnu_HostRowStep(c.type, c.row, c.value, c.direction), c.after)
            << "type " << c.type << " row " << c.row + 1 << " value " << c.value;
    EXPECT_EQ(mnu_HostRowSetting(1, 9), nullptr);
    EXPECT_EQ(mnu_HostRowSetting(0, 10), nullptr);
    EXPECT_EQ(mnu_HostRowSetting(0, 4), &app_Settings.DEATHMATCH_REGION);
    EXPECT_EQ(mnu_HostRowSetting(1, 4), &app_Settings.RAW_REGION);
}

TEST(HostRows, CallbacksStepTheGameTypesSettings) {
    app_Settings.HOST_GAME_TYPE = 0;
    app_Settings.DEATHMATCH_MAX_PLAYERS = 16;
    app_Settings.DEATHMATCH_REGION = 3;
    const MnuCallback* r1 = nullptr;
    const MnuCallback* l5 = nullptr;
    for (const MnuCallback* cb = mnu_CallbackTable; cb->name[0]; cb++) {
        if (strcmp(cb->name, "cbHostR1") == 0) r1 = cb;
        if (strcmp(cb->name, "cbHostL5") == 0) l5 = cb;
    }
    ASSERT_TRUE(r1 && l5);
    r1->handler(r1->argument);
    l5->handler(l5->argument);
    EXPECT_EQ(app_Settings.DEATHMATCH_MAX_PLAYERS, 16);
    EXPECT_EQ(app_Settings.DEATHMATCH_REGION, 8);
}

// The screens with the data set's menu script loaded.
class MultiScreenTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Load(mkdata_MenuScript());
        mnu_Context = &ctx;
    }
    void TearDown() override {
        mnu_Context = nullptr;
        MenuTest::TearDown();
    }
    int32_t State(const char* button) { return mnu_ButtonGetState(&ctx, button); }
};

TEST_F(MultiScreenTest, CaptureTheFlagLocksRowTenAndASidePasswordRowNine) {
    app_Settings.HOST_GAME_TYPE = 0;
    app_Settings.RAW_SIDE1_PASSWORD[0] = 0;
    app_Settings.RAW_SIDE2_PASSWORD[0] = 0;
    cbHostServer(0);  // shows the game type without changing it
    EXPECT_EQ(State("BtnHOLeft10"), MNU_STATE_NORMAL);
    EXPECT_EQ(State("BtnHORight9"), MNU_STATE_NORMAL);
    app_Settings.HOST_SERVER_TYPE = 1;
    cbHostServer(0);  // toggled back
    EXPECT_EQ(app_Settings.HOST_SERVER_TYPE, 0);

    cbHostGame(1);
    EXPECT_EQ(app_Settings.HOST_GAME_TYPE, 1);
    EXPECT_EQ(State("BtnHOLeft10"), MNU_STATE_DISABLED);
    EXPECT_EQ(State("BtnHORight10"), MNU_STATE_DISABLED);
    EXPECT_EQ(State("BtnHOLeft9"), MNU_STATE_NORMAL);
    strcpy(app_Settings.RAW_SIDE2_PASSWORD, "RED");
    mnu_HostEditEnd();
    EXPECT_EQ(State("BtnHOLeft9"), MNU_STATE_DISABLED);
    EXPECT_EQ(State("BtnHORight9"), MNU_STATE_DISABLED);

    cbHostGame(1);  // back to deathmatch: both rows free again
    EXPECT_EQ(State("BtnHOLeft10"), MNU_STATE_NORMAL);
    EXPECT_EQ(State("BtnHOLeft9"), MNU_STATE_NORMAL);
    app_Settings.RAW_SIDE2_PASSWORD[0] = 0;
}

TEST_F(MultiScreenTest, ConnectionTypeAndSerialPortWrap) {
    app_Settings.CURRENT_PROVIDER = -1;
    cbMPConLeft(-1);
    EXPECT_EQ(app_Settings.CURRENT_PROVIDER, 3);
    cbMPConLeft(1);
    EXPECT_EQ(app_Settings.CURRENT_PROVIDER, -1);
    // The online service with a server is reached only from the settings;
    // the side arrows leave it, the type arrows step on from it.
    app_Settings.CURRENT_PROVIDER = -2;
    app_Settings.CONNECT_AGENT = 0;
    cbMPLeft(1);
    EXPECT_EQ(app_Settings.CURRENT_PROVIDER, -2);
    EXPECT_EQ(app_Settings.CONNECT_AGENT, 1);
    cbMPConLeft(1);
    EXPECT_EQ(app_Settings.CURRENT_PROVIDER, -1);

    app_Settings.CURRENT_PROVIDER = 2;
    const struct {
        int32_t port, direction, after;
    } kPorts[] = {{4, 1, 1}, {1, -1, 4}, {2, 1, 3}, {0, -1, 4}, {7, 1, 1}};
    for (const auto& c : kPorts) {
        app_Settings.PORT = c.port;
        cbMPLeft(c.direction);
        EXPECT_EQ(app_Settings.PORT, c.after) << c.port << " by " << c.direction;
    }
}

TEST_F(MultiScreenTest, CancelledPasswordDialogLeavesTheScreenReady) {
    mnu_Multi.joining = 1;
    mnu_Multi.pwOpen = 1;
    mnu_Multi.pwAccepted = 1;
    cbMPPwCancel(0);
    EXPECT_EQ(mnu_Multi.pwOpen, 0);
    EXPECT_EQ(mnu_Multi.pwAccepted, 0);
    mnu_Multi.joining = 0;
    // A search starts again: the type's connection (IPX has no transport
    // here) fails with error 1 and the search is off, nothing is stuck.
    app_Settings.CURRENT_PROVIDER = 0;
    cbMPSearch(0);
    EXPECT_EQ(mnu_Multi.searchKind, MNU_SEARCH_NONE);
    EXPECT_EQ(mnu_Multi.error, 1);
    EXPECT_EQ(mnu_Multi.errorCountdown, MNU_MP_ERROR_FRAMES);
    // The error shows for its frames, then the status is idle again.
    for (int32_t i = 0; i <= MNU_MP_ERROR_FRAMES; i++) mnu_MultiStatusUpdate();
    EXPECT_EQ(mnu_Multi.error, 0);
    net_DriverClose();
}

}  // namespace

namespace {

// The launch screen run by its state record, with the menu texts and the
// game's timer (each step waits on the tick count).
class LaunchScreenTest : public MultiScreenTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        test_WriteFile("KRXMENU.BIN", mkdata_MenuDataBuild());
        Load(mkdata_MenuScript());
        mnu_Context = &ctx;
        app_Runner = AppRunnerState{};
        Client_LaunchStatus = 0;
        app_TimerInterval = 25;
        app_TickIncrement = 1;
        app_KeepRunningFlag = 1;
        app_TimerStart();
    }
    void TearDown() override {
        app_TimerStop();
        app_KeepRunningFlag = 0;
        WndLaunch.leave();
        net_DriverClose();
        mnu_LeaveFlag = 0;
        MultiScreenTest::TearDown();
    }
    std::string Line(int32_t i) {
        const MnuTextArea* a = mnu_TextAreaFind(&ctx, ("TxtLaunchBox" + std::to_string(i)).c_str());
        return a && a->text ? a->text : "";
    }
    std::string Text(const char* key) {
        const MnuString* s = mnu_StringFind(&ctx, key);
        return s && s->text ? s->text : "?";
    }
    // Frames until the steps have run and stopped (or `limit` frames).
    void Frames(int32_t limit) {
        for (int32_t i = 0; i < limit && !mnu_LeaveFlag; i++) {
            mnu_Transition.running = 0;
            if (WndLaunch.frame()) break;
        }
    }
};

TEST_F(LaunchScreenTest, WithoutAPageTitleTheStepsStillRunAndFindNothing) {
    WndLaunch.enter();
    EXPECT_EQ(Line(0), Text("LAUNCH_CFG_ERROR"));
    EXPECT_EQ(mnu_LaunchPage.address[0], 0);
    Frames(4);
    EXPECT_EQ(Line(1), Text("LAUNCH_TRYING"));
    // The connecting line is overwritten by the time-out's.
    EXPECT_EQ(Line(2), Text("LAUNCH_NOT_FOUND"));
    EXPECT_EQ(Line(3), " ");
    EXPECT_EQ(mnu_LeaveFlag, 0);
}

TEST_F(LaunchScreenTest, GoingBackEndsAStepInTheSameFrame) {
    ASSERT_EQ(plat_HarnessToplevelOpen(("KVT [NK=" + Encode("127.0.0.1:9") + "&CK=" + Encode("3")).c_str()), 0);
    WndLaunch.enter();
    EXPECT_STREQ(mnu_LaunchPage.address, "127.0.0.1");
    EXPECT_STREQ(mnu_LaunchPage.port, "9");
    Frames(2);  // starts the steps and shows the first line
    EXPECT_EQ(Line(0), Text("LAUNCH_TRYING"));
    // Escape is the cancel key: the connecting step sees it on its first
    // pass and ends at once, the screen goes back to the multiplayer screen.
    app_KeyMessageDown(VK_ESCAPE, 0);
    uint32_t before = app_TickCount.load();
    EXPECT_EQ(WndLaunch.frame(), 0);
    EXPECT_LT(app_TickCount.load() - before, 100u);
    EXPECT_EQ(mnu_LeaveFlag, 1);
    EXPECT_EQ(app_Runner.nextState, &WndMulti);
    EXPECT_EQ(Line(1).rfind(Text("LAUNCH_CONNECTING"), 0), 0u) << Line(1);
    EXPECT_EQ(Line(2), " ") << "nothing more shown once leaving";
    plat_HarnessToplevelClose(("KVT [NK=" + Encode("127.0.0.1:9") + "&CK=" + Encode("3")).c_str());
}

TEST_F(LaunchScreenTest, RefusalAfterAFlightIsShownAndHoldsTheSteps) {
    Client_LaunchStatus = -5;
    app_Runner.followOn1 = &WndLaunch;
    WndLaunch.enter();
    EXPECT_EQ(Line(1), Text("LAUNCH_SIDEFULL"));
    EXPECT_EQ(app_Runner.nextState, &WndMulti);
    EXPECT_EQ(mnu_LeaveFlag, 0);
    Frames(3);
    EXPECT_EQ(Line(2), " ") << "no connection was started";
}

}  // namespace

namespace {

// A DirectPlay that answers: one modem, one session of this program, joins
// at once and a server that names its player.
struct ModemFake {
    int32_t opens = 0;
    bool serverSent = false;
};
ModemFake g_modem;

std::vector<uint8_t> ServerIdRecord(void) { return {0x01, 0x40, 0, 0, 7, 0, 0, 0}; }

const DplayApi kModemFake = {
    [] { return DP_OK; },
    [] { return DP_OK; },
    [] {},
    [](int32_t, const void*, uint32_t) { return DP_OK; },
    [](char* name, uint32_t size) {
        strncpy(name, "Modem", size - 1);
        return DP_OK;
    },
    [](const uint8_t*, uint32_t, DplayEnumCallback cb, void* ctx, uint32_t) {
        DplaySessionInfo s{0, {9}, {}, 8, 1, {}, "Dial-up game"};
        memcpy(s.application, net_AppGuid, 16);
        cb(&s, ctx);
        return DP_OK;
    },
    [](const uint8_t*, const char*, uint32_t, const char*, const uint32_t*, uint32_t) {
        g_modem.opens++;
        return DP_OK;
    },
    [] { return DP_OK; },
    [](uint32_t* id, const char*, const void*, uint32_t, uint32_t) {
        *id = 200;
        return DP_OK;
    },
    [](uint32_t) { return DP_OK; },
    [](uint32_t, uint32_t* count) {
        *count = g_modem.opens && !g_modem.serverSent ? 1 : 0;
        return DP_OK;
    },
    [](uint32_t* from, uint32_t, uint32_t, void* buffer, uint32_t* size) {
        if (!g_modem.opens || g_modem.serverSent) return DPERR_NOMESSAGES;
        g_modem.serverSent = true;
        std::vector<uint8_t> r = ServerIdRecord();
        *from = 100;
        memcpy(buffer, r.data(), r.size());
        *size = (uint32_t)r.size();
        return DP_OK;
    },
    [](uint32_t, uint32_t, uint32_t, const void*, uint32_t) { return DP_OK; },
    [](uint32_t, char* name, uint32_t* size) {
        strncpy(name, "Host", *size - 1);
        return DP_OK;
    },
    [](uint32_t, const char*) { return DP_OK; },
};

TEST_F(MultiScreenTest, ModemSearchJoinsTheFirstSessionAtOnce) {
    g_modem = ModemFake{};
    plat_DplaySet(&kModemFake);
    app_Settings.CURRENT_PROVIDER = 3;
    strcpy(app_Settings.PHONE_NUMBER, "555-0100");
    app_Settings.GAME_PASSWORD[0] = 0;
    app_Runner = AppRunnerState{};
    mnu_LeaveFlag = 0;
    cbMPSearch(0);
    ASSERT_EQ(mnu_Multi.searchKind, MNU_SEARCH_MODEM) << mnu_Multi.error;
    // The first enumeration goes out after 80 frames; the session it finds
    // is joined in that frame, without the join button.
    for (int32_t i = 0; i < 81 && !mnu_LeaveFlag; i++) mnu_MultiStatusUpdate();
    EXPECT_EQ(g_modem.opens, 1);
    EXPECT_EQ(mnu_LeaveFlag, 1) << mnu_Multi.error;
    EXPECT_EQ(app_Runner.nextState, &WndLoading);
    EXPECT_EQ(app_Runner.followOn1, &WndMulti);
    EXPECT_EQ(net_Counters.serverPlayer, 7u);
    mnu_LeaveFlag = 0;
    mnu_MultiReset();
    net_DriverClose();
    plat_DplaySet(nullptr);
}

TEST_F(MultiScreenTest, ModemWithoutPhoneNumberIsRefused) {
    g_modem = ModemFake{};
    plat_DplaySet(&kModemFake);
    app_Settings.CURRENT_PROVIDER = 3;
    app_Settings.PHONE_NUMBER[0] = 0;
    mnu_MultiReset();
    cbMPSearch(0);
    EXPECT_EQ(mnu_Multi.searchKind, MNU_SEARCH_NONE);
    EXPECT_EQ(mnu_Multi.error, 9);
    net_DriverClose();
    plat_DplaySet(nullptr);
}

}  // namespace
