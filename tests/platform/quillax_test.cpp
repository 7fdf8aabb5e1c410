// The quillax library: sessions, players, messages and the system messages
// between a host and joiners, on the in-memory hub (with loss, duplication
// and reordering) and on loopback UDP.
#include "platform/quillax.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const uint8_t kApp[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }

struct Msg {
    uint32_t sender;
    std::vector<uint8_t> bytes;
    uint16_t type() const { return (uint16_t)(bytes[0] | bytes[1] << 8); }
    uint32_t word() const { return Get32(bytes.data() + 2); }
};

// A host and joiners, each an instance; every call selects the one it is
// made for.
struct Net {
    QuillaxHub* hub = nullptr;
    uint64_t clock = 1000;
    std::vector<QuillaxInstance*> peers;
    uint8_t sessionGuid[16] = {};

    explicit Net(int joiners, QuillaxHub* h) : hub(h) {
        for (int i = 0; i <= joiners; i++) {
            QuillaxInstance* q = quillax_InstanceCreate();
            quillax_InstanceSetClock(q, &clock);
            if (hub) quillax_InstanceUseHub(q, hub);
            peers.push_back(q);
            Use(i);
            EXPECT_EQ(quillax_Init(), 0);
        }
    }
    ~Net() {
        for (QuillaxInstance* q : peers) {
            quillax_InstanceSelect(q);
            quillax_Close();
            quillax_InstanceDestroy(q);
        }
        quillax_InstanceSelect(nullptr);
    }
    void Use(int i) { quillax_InstanceSelect(peers[i]); }

    int32_t Host(uint16_t port, const char* password, uint32_t maxPlayers) {
        Use(0);
        quillax_SetPorts(0, port);
        uint8_t r[QX_SESSION_RECORD] = {};
        Put32(r, 256);
        Put32(r + 4, 7);
        Put32(r + 12, maxPlayers);
        strncpy((char*)r + 16, "Test game", 127);
        if (password) strncpy((char*)r + 144, password, 63);
        memcpy(r + 224, kApp, 16);
        int32_t result = quillax_HostSession(r);
        uint32_t id = 0;
        uint8_t player[QX_PLAYER_RECORD] = {'S', 'r', 'v'};
        if (result == 0) {
            EXPECT_EQ(quillax_CreatePlayer(&id, player, 1, nullptr, 0), 0);
            EXPECT_EQ(id, 1u);
        }
        return result;
    }
    // Finds the session by enumeration, then joins it: the last result.
    int32_t Join(int i, const char* address, const char* password, int rounds = 200) {
        Use(i);
        EXPECT_EQ(quillax_InitTCPIP(address), 0);
        uint8_t r[QX_SESSION_RECORD] = {};
        memcpy(r + 224, kApp, 16);
        bool found = false;
        auto cb = [](const uint8_t* rec, void* ctx) -> int32_t {
            auto* f = (std::pair<bool*, uint8_t*>*)ctx;
            *f->first = true;
            memcpy(f->second, rec + 208, 16);
            EXPECT_EQ(std::string((const char*)rec + 16), "Test game");
            EXPECT_EQ(rec[144], 0) << "the password never travels in a reply";
            return 1;
        };
        std::pair<bool*, uint8_t*> ctx{&found, sessionGuid};
        EXPECT_EQ(quillax_EnumSessions(r, 0, cb, &ctx, 0), 0);
        for (int k = 0; k < rounds && !found; k++) Step(i, 1000);
        quillax_StopEnumSessions();
        if (!found) return -100;
        memcpy(r + 208, sessionGuid, 16);
        if (password) strncpy((char*)r + 144, password, 63);
        int32_t result = QX_PENDING;
        for (int k = 0; k < rounds && result == QX_PENDING; k++) {
            Use(i);
            result = quillax_JoinSession(r);
            if (result == QX_PENDING) Step(i, 200);
        }
        return result;
    }
    // Lets the host and then the instance run, and advances the clock.
    void Step(int i, uint64_t ms) {
        Use(0);
        uint32_t id;
        quillax_GetServerId(&id);
        clock += ms;
        Use(i);
        quillax_GetServerId(&id);
    }
    std::vector<Msg> Drain(int i) {
        Use(i);
        std::vector<Msg> out;
        std::vector<uint8_t> buf(QX_MAX_MESSAGE);
        for (;;) {
            uint32_t size = (uint32_t)buf.size(), sender = 0;
            if (quillax_GetMessage(buf.data(), &size, &sender) != 0) break;
            out.push_back(Msg{sender, std::vector<uint8_t>(buf.begin(), buf.begin() + size)});
        }
        return out;
    }
};

std::vector<uint8_t> Packet(uint32_t n) {
    std::vector<uint8_t> p(64);
    Put32(p.data(), n);
    return p;
}

TEST(Quillax, JoinResultsOnTheHub) {
    struct Case {
        const char* what;
        const char* hostPassword;
        uint32_t maxPlayers;
        const char* joinPassword;
        int32_t second;  // the second joiner's result
    } cases[] = {
        {"open session", nullptr, 0, nullptr, 0},
        {"password given", "secret", 0, "secret", 0},
        {"wrong password", "secret", 0, "guess", QX_BAD_PASSWORD},
        {"host and one joiner only", nullptr, 2, nullptr, QX_SESSION_FULL},
    };
    for (const Case& c : cases) {
        QuillaxHub* hub = quillax_HubCreate(7);
        {
            Net net(2, hub);
            ASSERT_EQ(net.Host(4533, c.hostPassword, c.maxPlayers), 0) << c.what;
            EXPECT_EQ(net.Join(1, "127.0.0.1", c.hostPassword), 0) << c.what;
            EXPECT_EQ(net.Join(2, "127.0.0.1:4533", c.joinPassword), c.second) << c.what;
            uint32_t id = 0;
            net.Use(1);
            EXPECT_EQ(quillax_GetServerId(&id), 0);
            EXPECT_EQ(id, 1u);
        }
        quillax_HubDestroy(hub);
    }
}

// With loss, duplication and reordering a joiner still gets in, its player
// reaches the host once, every game packet arrives at most once and in
// order, and its leave (or its silence) frees it.
TEST(Quillax, FaultyHubJoinsAndDeliversOnceInOrder) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        QuillaxHub* hub = quillax_HubCreate(seed);
        quillax_HubSetFaults(hub, 20, 20, 30);
        {
            Net net(2, hub);
            ASSERT_EQ(net.Host(4533, nullptr, 0), 0);
            ASSERT_EQ(net.Join(1, "127.0.0.1", nullptr), 0) << seed;
            ASSERT_EQ(net.Join(2, "127.0.0.1", nullptr), 0) << seed;
            uint8_t data[300];
            for (uint32_t i = 0; i < sizeof data; i++) data[i] = (uint8_t)i;
            for (int j = 1; j <= 2; j++) {
                net.Use(j);
                uint32_t id = 0;
                uint8_t rec[QX_PLAYER_RECORD] = {};
                strncpy((char*)rec, j == 1 ? "Ann" : "Bob", 127);
                ASSERT_EQ(quillax_CreatePlayer(&id, rec, 0, data, sizeof data), 0);
                EXPECT_EQ(id, (uint32_t)j + 1);
            }
            std::vector<Msg> joined;
            for (int k = 0; k < 100 && joined.size() < 2; k++) {
                for (int j = 1; j <= 2; j++) {
                    net.Use(j);
                    uint32_t id;
                    quillax_GetServerId(&id);  // resends the player record
                }
                net.clock += 200;
                for (Msg& m : net.Drain(0)) joined.push_back(m);
            }
            ASSERT_EQ(joined.size(), 2u) << seed;
            for (const Msg& m : joined) {
                EXPECT_EQ(m.sender, 0u);
                EXPECT_EQ(m.type(), QX_MSG_PLAYER_JOINED);
                uint8_t rec[QX_PLAYER_RECORD];
                ASSERT_EQ(quillax_GetPlayerName(m.word(), rec), 0);
                EXPECT_EQ(Get32(rec + 128), m.word());
                EXPECT_EQ(Get32(rec + 132), sizeof data);
                uint8_t back[QX_MAX_PLAYER_DATA];
                uint32_t n = sizeof back;
                ASSERT_EQ(quillax_GetPlayerData(Get32(rec + 128), back, &n), 0);
                ASSERT_EQ(n, sizeof data);
                EXPECT_EQ(memcmp(back, data, n), 0);
            }
            // Game packets both ways.
            std::vector<uint32_t> atHost, atJoiner;
            for (uint32_t n = 1; n <= 200; n++) {
                net.Use(1);
                std::vector<uint8_t> p = Packet(n);
                EXPECT_EQ(quillax_SendToServer(p.data(), (uint32_t)p.size()), 0);
                net.Use(0);
                EXPECT_EQ(quillax_SendToClient(p.data(), (uint32_t)p.size(), 2), 0);
                for (const Msg& m : net.Drain(0))
                    if (m.sender == 2) atHost.push_back(Get32(m.bytes.data()));
                for (const Msg& m : net.Drain(1)) {
                    EXPECT_EQ(m.sender, 1u);
                    atJoiner.push_back(Get32(m.bytes.data()));
                }
            }
            for (const auto* got : {&atHost, &atJoiner}) {
                EXPECT_GT(got->size(), 100u) << seed;
                for (size_t i = 1; i < got->size(); i++) EXPECT_LT((*got)[i - 1], (*got)[i]) << seed;
            }
            // Joiner 1 leaves; joiner 2 goes silent.
            net.Use(1);
            EXPECT_EQ(quillax_DestroyPlayer(2), 0);
            std::vector<uint32_t> left;
            for (int k = 0; k < 30; k++) {
                net.clock += 500;
                for (const Msg& m : net.Drain(0))
                    if (m.type() == QX_MSG_PLAYER_LEFT) left.push_back(m.word());
            }
            ASSERT_EQ(left.size(), 2u) << seed;
            EXPECT_EQ(left[1], 3u) << "the silent one goes last";
            // The host that dropped it says nothing more: the joiner loses
            // the session once that silence lasts.
            bool lost = false;
            for (const Msg& m : net.Drain(2)) lost |= m.type() == QX_MSG_SESSION_LOST;
            EXPECT_FALSE(lost) << "the host's last keep-alives are still fresh";
            net.clock += QX_SILENCE_MS;
            for (const Msg& m : net.Drain(2)) lost |= m.type() == QX_MSG_SESSION_LOST;
            EXPECT_TRUE(lost) << seed;
        }
        quillax_HubDestroy(hub);
    }
}

TEST(Quillax, StrangersAndBadCallsGetNothing) {
    QuillaxHub* hub = quillax_HubCreate(5);
    {
        Net net(1, hub);
        ASSERT_EQ(net.Host(4533, nullptr, 0), 0);
        net.Use(1);
        ASSERT_EQ(quillax_InitTCPIP("127.0.0.1"), 0);
        uint8_t p[8] = {};
        EXPECT_EQ(quillax_SendToServer(p, sizeof p), QX_FAIL) << "not joined";
        net.Use(0);
        EXPECT_EQ(quillax_SendToClient(p, sizeof p, 2), QX_FAIL) << "no such player";
        EXPECT_EQ(quillax_SendToClient(p, QX_MAX_MESSAGE + 1, 2), QX_FAIL);
        uint8_t rec[QX_PLAYER_RECORD] = {};
        uint32_t id = 0;
        std::vector<uint8_t> big(QX_MAX_PLAYER_DATA + 1);
        EXPECT_EQ(quillax_CreatePlayer(&id, rec, 0, big.data(), (uint32_t)big.size()), QX_FAIL);
        EXPECT_EQ(quillax_GetPlayerIPAddress(9, &id), QX_NO_PLAYER);
        EXPECT_TRUE(net.Drain(0).empty()) << "no system message for the host's own server player";
        net.Use(1);
        EXPECT_EQ(quillax_InitTCPIP("127.0.0.1:0"), QX_FAIL);
        EXPECT_EQ(quillax_InitTCPIP("127.0.0.1:99999"), QX_FAIL);
    }
    quillax_HubDestroy(hub);
}

// Datagrams made by hand: a stranger's game data is dropped, and of a
// peer's, a repeated or late number is dropped.
TEST(Quillax, StrangersRepeatsAndLateDatagramsAreDropped) {
    QuillaxHub* hub = quillax_HubCreate(3);
    {
        Net net(1, hub);
        ASSERT_EQ(net.Host(4533, nullptr, 0), 0);
        ASSERT_EQ(net.Join(1, "127.0.0.1", nullptr), 0);
        uint32_t id = 0, port = 0;
        uint8_t rec[QX_PLAYER_RECORD] = {'A'};
        ASSERT_EQ(quillax_CreatePlayer(&id, rec, 0, nullptr, 0), 0);
        quillax_GetRecvPort(&port);
        ASSERT_EQ(net.Drain(0).size(), 1u);  // joined
        auto data = [](uint32_t seq, uint8_t value) {
            std::vector<uint8_t> d = {'Q', 'X', 1, 8, 0, 0, 0, 0, value};
            Put32(d.data() + 4, seq);
            return d;
        };
        struct Step {
            uint16_t from;
            uint32_t seq;
            bool delivered;
        } steps[] = {
            {40000, 500, false},  // a stranger
            {(uint16_t)port, 100, true},
            {(uint16_t)port, 100, false},  // repeated
            {(uint16_t)port, 99, false},   // late
            {(uint16_t)port, 101, true},
        };
        for (const Step& st : steps) {
            std::vector<uint8_t> d = data(st.seq, (uint8_t)st.seq);
            quillax_HubInject(hub, st.from, 4533, d.data(), d.size());
            std::vector<Msg> got = net.Drain(0);
            EXPECT_EQ(got.size(), st.delivered ? 1u : 0u) << st.from << " " << st.seq;
            if (!got.empty()) {
                EXPECT_EQ(got[0].sender, id);
            }
        }
    }
    quillax_HubDestroy(hub);
}

TEST(Quillax, BusySendsAnswerSixteen) {
    QuillaxHub* hub = quillax_HubCreate(9);
    {
        Net net(1, hub);
        ASSERT_EQ(net.Host(4533, nullptr, 0), 0);
        ASSERT_EQ(net.Join(1, "127.0.0.1", nullptr), 0);
        quillax_HubSetBusy(hub, 2);
        net.Use(1);
        std::vector<uint8_t> p = Packet(5);
        EXPECT_EQ(quillax_SendToServer(p.data(), 64), QX_BUSY);
        EXPECT_EQ(quillax_SendToServer(p.data(), 64), QX_BUSY);
        EXPECT_EQ(quillax_SendToServer(p.data(), 64), 0);
    }
    quillax_HubDestroy(hub);
}

// The library over loopback UDP: two instances in one process, the host on
// a port of its own (bound only when hosting), the joiner on an ephemeral
// one.
TEST(Quillax, LoopbackUdp) {
    Net net(1, nullptr);
    net.Use(0);
    uint32_t port = 1;
    EXPECT_EQ(quillax_GetRecvPort(&port), 0);
    EXPECT_EQ(port, 0u) << "Init binds nothing";
    uint16_t hostPort = (uint16_t)(20000 + getpid() % 20000);
    int32_t hosted = -1;
    for (int k = 0; k < 20 && hosted != 0; k++) hosted = net.Host(hostPort = (uint16_t)(hostPort + 1), nullptr, 0);
    ASSERT_EQ(hosted, 0);
    EXPECT_EQ(quillax_GetRecvPort(&port), 0);
    EXPECT_EQ(port, hostPort);
    std::string address = "127.0.0.1:" + std::to_string(hostPort);
    // Real sockets deliver between calls: give them a moment each round.
    int32_t result = QX_PENDING;
    net.Use(1);
    ASSERT_EQ(quillax_InitTCPIP(address.c_str()), 0);
    EXPECT_EQ(quillax_GetRecvPort(&port), 0);
    EXPECT_NE(port, 0u);
    EXPECT_NE(port, hostPort);
    uint8_t r[QX_SESSION_RECORD] = {};
    memcpy(r + 224, kApp, 16);
    bool found = false;
    auto cb = [](const uint8_t* rec, void* ctx) -> int32_t {
        memcpy(ctx, rec + 208, 16);
        return 1;
    };
    uint8_t guid[16] = {};
    ASSERT_EQ(quillax_EnumSessions(r, 0, cb, guid, 0), 0);
    for (int k = 0; k < 200 && !found; k++) {
        net.Step(1, 1000);
        usleep(2000);
        uint32_t id;
        quillax_GetServerId(&id);
        found = memcmp(guid, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16) != 0;
    }
    ASSERT_TRUE(found);
    memcpy(r + 208, guid, 16);
    for (int k = 0; k < 200 && result == QX_PENDING; k++) {
        net.Use(1);
        result = quillax_JoinSession(r);
        net.Step(1, 200);
        usleep(2000);
    }
    ASSERT_EQ(result, 0);
    uint8_t rec[QX_PLAYER_RECORD] = {'J', 'o'};
    uint32_t id = 0;
    ASSERT_EQ(quillax_CreatePlayer(&id, rec, 0, "xyz", 3), 0);
    std::vector<Msg> got;
    for (int k = 0; k < 200 && got.empty(); k++) {
        usleep(2000);
        got = net.Drain(0);
    }
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].type(), QX_MSG_PLAYER_JOINED);
    EXPECT_EQ(got[0].word(), id);
    std::vector<uint8_t> big(16384, 0xAB);
    net.Use(1);
    ASSERT_EQ(quillax_SendToServer(big.data(), (uint32_t)big.size()), 0);
    got.clear();
    for (int k = 0; k < 200 && got.empty(); k++) {
        usleep(2000);
        got = net.Drain(0);
    }
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].sender, id);
    EXPECT_EQ(got[0].bytes, big);
    uint32_t address32 = 0;
    net.Use(0);
    EXPECT_EQ(quillax_GetPlayerIPAddress(id, &address32), 0);
    EXPECT_EQ(address32, 0x7F000001u);
}

TEST(Quillax, DatagramReader) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t result;
    } cases[] = {
        {"ping", {'Q', 'X', 1, 11, 1, 0, 0, 0}, 0},
        {"ping numbered 0", {'Q', 'X', 1, 11, 0, 0, 0, 0}, -1},
        {"join numbered", std::vector<uint8_t>{'Q', 'X', 1, 3, 1, 0, 0, 0}, -1},
        {"short header", {'Q', 'X', 1}, -1},
        {"bad magic", {'Q', 'Y', 1, 11, 1, 0, 0, 0}, -1},
        {"other version", {'Q', 'X', 2, 11, 1, 0, 0, 0}, -1},
        {"unknown kind", {'Q', 'X', 1, 99, 1, 0, 0, 0}, -1},
        {"empty data", {'Q', 'X', 1, 8, 1, 0, 0, 0}, -1},
        {"accept too short", {'Q', 'X', 1, 4, 1, 0, 0, 0, 2, 0, 0, 0}, -1},
        {"close text longer than its datagram", {'Q', 'X', 1, 10, 1, 0, 0, 0, 5, 'a'}, -1},
        {"close", {'Q', 'X', 1, 10, 1, 0, 0, 0, 1, 'a'}, 0},
    };
    for (const Case& c : cases) {
        QxDatagram d;
        EXPECT_EQ(quillax_DatagramRead(c.bytes.data(), c.bytes.size(), &d), c.result) << c.what;
    }
    // A player record whose data size disagrees with the datagram.
    std::vector<uint8_t> player = {'Q', 'X', 1, 6, 1, 0, 0, 0};
    player.resize(8 + 128 + 4 + 10);
    Put32(player.data() + 8 + 128, 10);
    QxDatagram d;
    EXPECT_EQ(quillax_DatagramRead(player.data(), player.size(), &d), 0);
    Put32(player.data() + 8 + 128, 11);
    EXPECT_EQ(quillax_DatagramRead(player.data(), player.size(), &d), -1);
    Put32(player.data() + 8 + 128, 0xFFFFFFF0u);
    EXPECT_EQ(quillax_DatagramRead(player.data(), player.size(), &d), -1);
}

}  // namespace
