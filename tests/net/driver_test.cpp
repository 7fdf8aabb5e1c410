// The transport driver table and its wrappers, the session list, the
// quillax driver against the library on the in-memory hub, and the
// DirectPlay driver against our absent DirectPlay and a scripted fake.
#include "net/driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/mem.h"
#include "platform/dplay.h"
#include "platform/quillax.h"

namespace {

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}

std::vector<std::string> g_calls;
std::vector<std::vector<uint8_t>> g_callbackData[NET_CALLBACK_COUNT];
template <int Slot>
void Record(const void* data, uint32_t size) {
    g_callbackData[Slot].emplace_back((const uint8_t*)data, (const uint8_t*)data + size);
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x200000, 0x1000, 0x1000);
        ASSERT_EQ(mem_HeapInit(), 0);
        memset(&net_Counters, 0, sizeof net_Counters);
        net_DriverSelect(1);
        for (int i = 0; i < NET_CALLBACK_COUNT; i++) g_callbackData[i].clear();
        net_DriverCallbacks[0] = Record<0>;
        net_DriverCallbacks[1] = Record<1>;
        net_DriverCallbacks[2] = Record<2>;
        net_DriverCallbacks[3] = Record<3>;
        net_DriverCallbacks[4] = Record<4>;
        g_calls.clear();
    }
    void TearDown() override {
        net_DriverSelect(1);
        net_DriverClose();
        for (NetSessionCallback& cb : net_DriverCallbacks) cb = nullptr;
        memset(&net_Counters, 0, sizeof net_Counters);
        plat_DplaySet(nullptr);
    }
};

std::vector<int32_t> Indexes(void) {
    std::vector<int32_t> out;
    for (SessionEntry* e = net_Counters.sessionHead; e; e = e->next) out.push_back(e->index);
    return out;
}

TEST_F(DriverTest, SessionListRenumbersAfterEveryChange) {
    uint8_t guid[3][16] = {{1}, {2}, {3}};
    uint32_t words[7] = {1, 2, 3, 4, 5, 6, 7};
    SessionEntry* e[3];
    for (int i = 0; i < 3; i++) e[i] = net_SessionAdd(("game " + std::to_string(i)).c_str(), guid[i], net_AppGuid, words);
    ASSERT_TRUE(e[0] && e[1] && e[2]);
    EXPECT_EQ(Indexes(), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(std::string(e[2]->name), "game 2");
    EXPECT_EQ(e[1]->words[6], 7u);
    net_Counters.sessionsChanged = 0;
    net_DriverTable()->sessionRemove(e[0]);
    EXPECT_EQ(Indexes(), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(net_Counters.sessionCount, 2);
    EXPECT_EQ(net_Counters.sessionsChanged, 1);
    EXPECT_EQ(net_SessionFindByIndex(0), e[1]);
    EXPECT_EQ(net_SessionFindByIndex(2), nullptr);
    EXPECT_EQ(net_SessionFindByGuid(guid[2]), e[2]);
    EXPECT_EQ(net_SessionFindByGuid(guid[0]), nullptr);
    // A name from the network is kept to its bound.
    std::string longName(1000, 'x');
    SessionEntry* l = net_SessionAdd(longName.c_str(), guid[0], net_AppGuid, words);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(strlen(l->name), 255u);
    net_SessionListFlush();
    EXPECT_EQ(net_Counters.sessionHead, nullptr);
    EXPECT_EQ(net_Counters.sessionTail, nullptr);
    EXPECT_EQ(net_Counters.sessionCount, 0);
}

// A table that records which slots ran.
int32_t CountOpen(void) {
    g_calls.push_back("open");
    net_Counters.open = 1;
    return 0;
}
int32_t CountClose(void) {
    g_calls.push_back("close");
    net_Counters.open = 0;
    return 0;
}
int32_t CountJoin(SessionEntry*, const char*) {
    g_calls.push_back("join");
    return 0;
}
int32_t CountServerId(int32_t seconds) {
    g_calls.push_back("server id " + std::to_string(seconds));
    return 0;
}

TEST_F(DriverTest, WrappersForwardAndSelectionCloses) {
    NetDriverTable counting = net_DriverTableQuillax;
    counting.open = CountOpen;
    counting.close = CountClose;
    counting.join = CountJoin;
    counting.serverId = CountServerId;
    net_DriverTableInstall(&counting);
    EXPECT_EQ(net_JoinSessionByIndex(0, nullptr), -1) << "not open";
    EXPECT_EQ(net_DriverInit(), 0);
    EXPECT_EQ(net_DriverInit(), 0);
    uint8_t guid[16] = {9};
    net_SessionAdd("one", guid, net_AppGuid, nullptr);
    EXPECT_EQ(net_JoinSessionByIndex(1, nullptr), -1) << "beyond the list";
    EXPECT_EQ(net_JoinSessionByIndex(-1, nullptr), -1);
    EXPECT_EQ(net_JoinSessionByIndex(0, "pw"), 0);
    EXPECT_EQ(net_GetServerIdEx(), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"open", "join", "server id 5"}));
    net_SessionListClear();

    // Selecting another table closes the open driver first; the same table
    // twice leaves it open.
    net_DriverTableInstall(&net_DriverTableQuillax);
    ASSERT_EQ(net_DriverInit(), 0);
    net_DriverSelect(1);
    EXPECT_EQ(net_Counters.open, 1);
    net_DriverSelect(0);
    EXPECT_EQ(net_Counters.open, 0);
    EXPECT_EQ(net_DriverTable(), &net_DriverTableDirectPlay);
    net_DriverSelect(7);
    EXPECT_EQ(net_DriverTable(), &net_DriverTableDirectPlay);
}

TEST_F(DriverTest, ClosedQuillaxDriverFailsEverything) {
    EXPECT_EQ(net_Counters.open, 0);
    uint8_t p[4] = {};
    EXPECT_EQ(net_HostSession("game", 0, 8, nullptr, 0, 0, 0, 0), -1) << "never reported as hosted";
    EXPECT_EQ(net_CreatePlayer("me", 1, nullptr, 0), 1);
    EXPECT_EQ(net_ConnectTcpip("127.0.0.1"), 1);
    EXPECT_EQ(net_ConnectionClose(), 1);
    EXPECT_EQ(net_EnumSessionsStart(), -1);
    EXPECT_EQ(net_Receive(), nullptr);
    EXPECT_EQ(net_GetPlayerName(1), nullptr);
    EXPECT_EQ(net_SendToServer(p, sizeof p), 0);
    EXPECT_EQ(net_JoinSession(nullptr, nullptr), -1);
}

// The host through the library on the hub; the driver's side on another
// instance of the same hub.
struct HubPair {
    QuillaxHub* hub = quillax_HubCreate(11);
    uint64_t clock = 5000;
    QuillaxInstance* other = quillax_InstanceCreate();
    QuillaxInstance* mine = quillax_InstanceCreate();
    HubPair() {
        for (QuillaxInstance* q : {other, mine}) {
            quillax_InstanceSetClock(q, &clock);
            quillax_InstanceUseHub(q, hub);
        }
        quillax_InstanceSelect(other);
        quillax_Init();
        quillax_InstanceSelect(mine);
    }
    ~HubPair() {
        quillax_InstanceSelect(mine);
        net_DriverClose();
        quillax_InstanceSelect(other);
        quillax_Close();
        quillax_InstanceDestroy(other);
        quillax_InstanceDestroy(mine);
        quillax_InstanceSelect(nullptr);
        quillax_HubDestroy(hub);
    }
    // Runs the other side once (it pumps in every call).
    void RunOther(void) {
        quillax_InstanceSelect(other);
        uint32_t id;
        quillax_GetServerId(&id);
        quillax_InstanceSelect(mine);
        clock += 100;
    }
    void HostOther(const char* password, uint32_t max) {
        quillax_InstanceSelect(other);
        uint8_t r[QX_SESSION_RECORD] = {};
        Put32(r, 256);
        Put32(r + 4, 7 | 8);
        Put32(r + 8, 0);
        Put32(r + 12, max);
        strncpy((char*)r + 16, "Hub game", 127);
        if (password) strncpy((char*)r + 144, password, 63);
        memcpy(r + 224, net_AppGuid, 16);
        Put32(r + 240, 44);
        ASSERT_EQ(quillax_HostSession(r), 0);
        uint32_t id;
        uint8_t p[QX_PLAYER_RECORD] = {};
        ASSERT_EQ(quillax_CreatePlayer(&id, p, 1, nullptr, 0), 0);
        quillax_InstanceSelect(mine);
    }
};

TEST_F(DriverTest, QuillaxJoinResults) {
    struct Case {
        const char* what;
        const char* password;
        uint32_t max;
        const char* given;
        int32_t result;
    } cases[] = {
        {"joined", nullptr, 0, nullptr, 0},
        {"password", "pw", 0, "pw", 0},
        {"bad password", "pw", 0, "nope", -2},
        {"full", nullptr, 1, nullptr, -3},
    };
    for (const Case& c : cases) {
        HubPair hp;
        hp.HostOther(c.password, c.max);
        ASSERT_EQ(net_DriverInit(), 0);
        ASSERT_EQ(net_ConnectTcpip("127.0.0.1"), 0);
        EXPECT_EQ(net_Counters.connection, 2);
        ASSERT_EQ(net_EnumSessionsStart(), 0);
        for (int k = 0; k < 5 && !net_Counters.sessionHead; k++) {
            hp.RunOther();
            net_EnumSessionsStart();
        }
        SessionEntry* e = net_SessionFindByIndex(0);
        ASSERT_NE(e, nullptr) << c.what;
        EXPECT_EQ(std::string(e->name), "Hub game");
        EXPECT_EQ(e->words[0], 1u) << "flag bit 0x8";
        EXPECT_EQ(e->words[1], c.max) << "the word at 12";
        EXPECT_EQ(e->words[2], 1u) << "the word at 8: players now";
        EXPECT_EQ(e->words[3], 44u);
        EXPECT_EQ(net_Counters.sessionCount, 1) << "listed once however often it answers";
        int32_t r = net_JoinSessionByIndex(0, c.given);
        EXPECT_EQ(r, 1) << c.what << ": pending first";
        for (int k = 0; k < 10 && r == 1; k++) {
            hp.RunOther();
            r = net_JoinSessionByIndex(0, c.given);
        }
        EXPECT_EQ(r, c.result) << c.what;
        EXPECT_EQ(net_Counters.hosting, 0);
        if (r == 0) {
            EXPECT_EQ(net_GetServerIdEx(), 0);
            EXPECT_EQ(net_DriverServerPlayer(), 1);
        }
    }
}

TEST_F(DriverTest, QuillaxHostSeesPlayersAndPackets) {
    HubPair hp;
    ASSERT_EQ(net_DriverInit(), 0);
    ASSERT_EQ(net_ConnectTcpip(""), 0);
    ASSERT_EQ(net_HostSession("Mine", 0, 4, nullptr, 1, 2, 3, 4), 0);
    EXPECT_EQ(net_Counters.hosting, 1);
    const uint8_t mine[] = {1, 2, 3};
    ASSERT_EQ(net_CreatePlayer("Server", 1, mine, sizeof mine), 0);
    EXPECT_EQ(net_Counters.serverPlayer, 1u);
    EXPECT_EQ(net_Receive(), nullptr);
    EXPECT_TRUE(g_callbackData[NET_CALLBACK_PLAYER_JOINED].empty()) << "never for the own server player";

    // The other side joins through the library directly.
    quillax_InstanceSelect(hp.other);
    ASSERT_EQ(quillax_InitTCPIP("127.0.0.1"), 0);
    uint8_t guid[16];
    auto cb = [](const uint8_t* rec, void* ctx) -> int32_t {
        memcpy(ctx, rec + 208, 16);
        return 1;
    };
    uint8_t r[QX_SESSION_RECORD] = {};
    memcpy(r + 224, net_AppGuid, 16);
    quillax_EnumSessions(r, 0, cb, guid, 0);
    quillax_InstanceSelect(hp.mine);
    net_Receive();
    quillax_InstanceSelect(hp.other);
    uint32_t id = 0;
    quillax_GetServerId(&id);
    memcpy(r + 208, guid, 16);
    ASSERT_EQ(quillax_JoinSession(r), QX_PENDING);
    quillax_InstanceSelect(hp.mine);
    net_Receive();
    quillax_InstanceSelect(hp.other);
    ASSERT_EQ(quillax_JoinSession(r), 0);
    uint8_t player[QX_PLAYER_RECORD] = {'P', 'i', 'l', 'o', 't'};
    std::vector<uint8_t> descriptor(2048);
    for (size_t i = 0; i < descriptor.size(); i++) descriptor[i] = (uint8_t)(i * 7);
    ASSERT_EQ(quillax_CreatePlayer(&id, player, 0, descriptor.data(), (uint32_t)descriptor.size()), 0);
    uint8_t packet[100] = {0x42};
    ASSERT_EQ(quillax_SendToServer(packet, sizeof packet), 0);
    quillax_InstanceSelect(hp.mine);

    size_t size = 0;
    int32_t sender = 0;
    const uint8_t* got = net_DriverReceive(0, &size, &sender);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(size, sizeof packet);
    EXPECT_EQ(sender, (int32_t)id);
    EXPECT_EQ(got[0], 0x42);
    ASSERT_EQ(g_callbackData[NET_CALLBACK_PLAYER_JOINED].size(), 1u);
    uint32_t index = 0;
    memcpy(&index, g_callbackData[NET_CALLBACK_PLAYER_JOINED][0].data(), 4);
    EXPECT_EQ(index, id);
    EXPECT_EQ(net_Counters.joinWords[1], 2048u);
    uint32_t n = 0;
    const uint8_t* data = net_PlayerData(&n);
    ASSERT_EQ(n, 2048u);
    EXPECT_EQ(memcmp(data, descriptor.data(), n), 0);
    EXPECT_EQ(net_Counters.players, 1);
    EXPECT_EQ(net_Counters.joins, 1);
    EXPECT_EQ(net_Counters.systemMessages, 1u);
    EXPECT_EQ(net_Counters.received, 2u);
    EXPECT_EQ(std::string(net_GetPlayerName(id)), "Pilot");

    // To the client; busy sends count their retries.
    quillax_HubSetBusy(hp.hub, 3);
    EXPECT_EQ(net_SendToClient(packet, sizeof packet, id), 0);
    EXPECT_EQ(net_DriverSendRetries(), 3u);
    quillax_HubSetBusy(hp.hub, 5000);
    EXPECT_EQ(net_SendToClient(packet, sizeof packet, id), 2) << "gives up after 2048 retries";
    quillax_HubSetBusy(hp.hub, 0);
    EXPECT_EQ(net_SendToClient(packet, sizeof packet, 77), 1) << "no such player";
    uint32_t address = 0;
    EXPECT_EQ(net_DriverTable()->playerAddress(77, &address), 4);

    // It leaves.
    quillax_InstanceSelect(hp.other);
    uint32_t sizeIn = 0, from = 0;
    uint8_t buf[200];
    sizeIn = sizeof buf;
    EXPECT_EQ(quillax_GetMessage(buf, &sizeIn, &from), 0);
    EXPECT_EQ(from, 1u);
    quillax_DestroyPlayer(id);
    quillax_InstanceSelect(hp.mine);
    EXPECT_EQ(net_Receive(), nullptr);
    ASSERT_EQ(g_callbackData[NET_CALLBACK_PLAYER_LEFT].size(), 1u);
    EXPECT_EQ(net_Counters.players, 0);
    EXPECT_EQ(net_Counters.lastSender, id);
}

TEST_F(DriverTest, QuillaxJoinerLosesTheSession) {
    HubPair hp;
    hp.HostOther(nullptr, 0);
    ASSERT_EQ(net_DriverInit(), 0);
    ASSERT_EQ(net_ConnectTcpip("127.0.0.1"), 0);
    net_EnumSessionsStart();
    hp.RunOther();
    net_EnumSessionsStart();
    ASSERT_EQ(net_JoinSessionByIndex(0, nullptr), 1);
    hp.RunOther();
    ASSERT_EQ(net_JoinSessionByIndex(0, nullptr), 0);
    // The host closes: a notice with its text, then the session is lost.
    quillax_InstanceSelect(hp.other);
    quillax_CloseSession();
    quillax_InstanceSelect(hp.mine);
    EXPECT_EQ(net_Receive(), nullptr);
    ASSERT_EQ(g_callbackData[NET_CALLBACK_NOTICE].size(), 1u);
    EXPECT_STREQ((const char*)g_callbackData[NET_CALLBACK_NOTICE][0].data(), "The host closed the session");
    EXPECT_EQ(g_callbackData[NET_CALLBACK_SESSION_LOST].size(), 1u);
    EXPECT_TRUE(g_callbackData[NET_CALLBACK_PLAYER_LEFT].empty()) << "left is the host's message";
}

// ---- DirectPlay ----

TEST_F(DriverTest, AbsentDirectPlayFailsCleanly) {
    net_DriverSelect(0);
    EXPECT_EQ(net_DriverInit(), 1);
    EXPECT_EQ(net_Counters.open, 0);
    EXPECT_EQ(net_ConnectModem("555"), 1);
    NetSerialSettings serial{1, 57600, 0, 0, 0};
    EXPECT_EQ(net_ConnectSerial(&serial), 1);
    EXPECT_EQ(net_ConnectIpx(), 1);
    EXPECT_EQ(net_JoinSession(nullptr, nullptr), -1);
    EXPECT_EQ(net_LastError, -1);
    // The quillax driver borrows these routines: open, they still fail.
    net_DriverSelect(1);
    ASSERT_EQ(net_DriverInit(), 0);
    EXPECT_EQ(net_ConnectModem("555"), 1);
    EXPECT_EQ(net_ConnectIpx(), 1);
    EXPECT_EQ(net_Counters.connection, 0);
}

// The scripted DirectPlay.
struct FakeDplay {
    HRESULT_DP openResult = DP_OK;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> inbox;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> sent;
    int32_t connected = 0;
};
FakeDplay g_fake;

const DplayApi kFake = {
    [] { return DP_OK; },
    [] { return DP_OK; },
    [] {},
    [](int32_t provider, const void*, uint32_t) {
        g_fake.connected = provider;
        return DP_OK;
    },
    [](char* name, uint32_t size) {
        strncpy(name, "Modem", size - 1);
        return DP_OK;
    },
    [](const uint8_t*, uint32_t, DplayEnumCallback cb, void* ctx, uint32_t flags) {
        if (flags == 0xD1) {
            DplaySessionInfo a{0x400, {1}, {}, 8, 2, {5, 6, 7, 8}, "Ours"};
            memcpy(a.application, net_AppGuid, 16);
            DplaySessionInfo b{0, {2}, {9}, 8, 2, {}, "Other program"};
            cb(&a, ctx);
            cb(&b, ctx);
            cb(&a, ctx);
        }
        return DP_OK;
    },
    [](const uint8_t*, const char*, uint32_t, const char*, const uint32_t*, uint32_t) { return g_fake.openResult; },
    [] { return DP_OK; },
    [](uint32_t* id, const char*, const void*, uint32_t, uint32_t flags) {
        *id = flags & 0x100 ? 100 : 200;
        return DP_OK;
    },
    [](uint32_t) { return DP_OK; },
    [](uint32_t, uint32_t* count) {
        *count = (uint32_t)g_fake.inbox.size();
        return DP_OK;
    },
    [](uint32_t* from, uint32_t, uint32_t, void* buffer, uint32_t* size) {
        if (g_fake.inbox.empty()) return DPERR_NOMESSAGES;
        auto m = g_fake.inbox.front();
        g_fake.inbox.erase(g_fake.inbox.begin());
        *from = m.first;
        memcpy(buffer, m.second.data(), m.second.size());
        *size = (uint32_t)m.second.size();
        return DP_OK;
    },
    [](uint32_t, uint32_t to, uint32_t, const void* buffer, uint32_t size) {
        g_fake.sent.emplace_back(to, std::vector<uint8_t>((const uint8_t*)buffer, (const uint8_t*)buffer + size));
        return DP_OK;
    },
    [](uint32_t, char* name, uint32_t* size) {
        strncpy(name, "Dp pilot", *size - 1);
        return DP_OK;
    },
    [](uint32_t, const char*) { return DP_OK; },
};

std::vector<uint8_t> Words(std::initializer_list<uint32_t> w) {
    std::vector<uint8_t> out;
    for (uint32_t v : w)
        for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
    return out;
}

TEST_F(DriverTest, DirectPlayThroughAScriptedFake) {
    g_fake = FakeDplay{};
    plat_DplaySet(&kFake);
    net_DriverSelect(0);
    ASSERT_EQ(net_DriverInit(), 0);
    ASSERT_EQ(net_ConnectModem("555"), 0);
    EXPECT_EQ(net_Counters.connection, 3);
    NetSerialSettings serial{1, 57600, 0, 0, 0};
    ASSERT_EQ(net_ConnectSerial(&serial), 0) << "the modem connection is closed first";
    EXPECT_EQ(net_Counters.connection, 4);
    ASSERT_EQ(net_EnumSessionsStart(), 0);
    ASSERT_EQ(net_Counters.sessionCount, 1) << "other programs' sessions and repeats are left out";
    EXPECT_EQ(net_Counters.sessionHead->words[0], 1u);
    EXPECT_EQ(net_Counters.sessionHead->words[1], 8u);

    struct Case {
        HRESULT_DP result;
        int32_t join, lastError;
    } cases[] = {
        {DP_OK, 0, 0},           {DPERR_CONNECTING, 1, 0}, {0x8877014A, -3, -16}, {0x88770154, -2, -13},
        {0x80070057, -1, -12},   {0x887700F0, -1, -18},    {0x88770820, -1, -14}, {0x88771234, -1, -21},
    };
    for (const Case& c : cases) {
        net_LastError = 0;
        g_fake.openResult = c.result;
        EXPECT_EQ(net_JoinSessionByIndex(0, "pw"), c.join) << std::hex << c.result;
        EXPECT_EQ(net_LastError, c.lastError) << std::hex << c.result;
    }
    g_fake.openResult = DP_OK;

    // Hosting: a created player gets the server's id, is counted and
    // reported; a destroyed one leaves; a lost session goes to the bridge's
    // callback.
    ASSERT_EQ(net_HostSession("DP game", 0, 8, nullptr, 0, 0, 0, 0), 0);
    ASSERT_EQ(net_CreatePlayer("Server", 1, nullptr, 0), 0);
    EXPECT_EQ(net_Counters.serverPlayer, 100u);
    g_fake.inbox.push_back({0, Words({DPSYS_CREATEPLAYERORGROUP, 300, 7, 136})});
    g_fake.inbox.push_back({300, {0xAA, 0xBB}});
    const uint8_t* m = net_Receive();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m[0], 0xAA);
    EXPECT_EQ(net_Counters.lastSender, 300u);
    ASSERT_EQ(g_callbackData[NET_CALLBACK_PLAYER_JOINED].size(), 1u);
    EXPECT_EQ(g_callbackData[NET_CALLBACK_PLAYER_JOINED][0], Words({7}));
    ASSERT_EQ(g_fake.sent.size(), 1u);
    EXPECT_EQ(g_fake.sent[0].first, 300u);
    EXPECT_EQ(g_fake.sent[0].second, Words({0x4001, 100}));
    EXPECT_EQ(net_Counters.players, 1);
    g_fake.inbox.push_back({0, Words({DPSYS_DESTROYPLAYERORGROUP, 300})});
    g_fake.inbox.push_back({0, Words({DPSYS_SESSIONLOST})});
    g_fake.inbox.push_back({0, {1}});  // too short to have a type
    EXPECT_EQ(net_Receive(), nullptr);
    EXPECT_EQ(net_Counters.players, 0);
    EXPECT_EQ(g_callbackData[NET_CALLBACK_PLAYER_LEFT].size(), 1u);
    EXPECT_EQ(g_callbackData[NET_CALLBACK_BRIDGE].size(), 1u);
    EXPECT_EQ(net_Counters.systemMessages, 4u);

    // Joined: the server's destruction is the session lost; the server id
    // comes from the 0x4001 record.
    net_Counters.hosting = 0;
    g_fake.inbox.push_back({100, Words({0x4001, 100})});
    EXPECT_EQ(net_GetServerIdEx(), 0);
    EXPECT_EQ(net_Counters.serverPlayer, 100u);
    g_fake.inbox.push_back({0, Words({DPSYS_DESTROYPLAYERORGROUP, 100})});
    net_Receive();
    EXPECT_EQ(g_callbackData[NET_CALLBACK_SESSION_LOST].size(), 1u);
    EXPECT_EQ(net_GetServerId(0), -2);
    EXPECT_EQ(std::string(net_GetPlayerName(300)), "Dp pilot");
    net_DriverClose();
    EXPECT_EQ(net_Counters.sessionCount, 0);
}

}  // namespace
