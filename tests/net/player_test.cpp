// Player records: descriptors, packed aircraft records and the start-up
// record, written and read back, and the reader's refusals.
#include "net/player.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/client.h"
#include "world/loadout.h"

namespace {

uint32_t Get32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

void SetSide(const char* side) {
    memset(player_SideText, 0, sizeof player_SideText);
    if (side) memcpy(player_SideText, side, strnlen(side, sizeof player_SideText - 1));
}

TEST(PlayerDescriptor, BuildSizesChunksAndApply) {
    loadout_PlayerSetup(&player_AircraftBlock);
    player_ApplicationId = 0x31415926;
    struct Case {
        const char* side;
        uint32_t size;
        const char* tags;  // tags after the stamp, in written order
    } cases[] = {
        {"", 1452, "TARVDONE"},
        {"RED", 1472, "TARVSIDEDONE"},
        {"ELEVENCHARS", 1472, "TARVSIDEDONE"},
    };
    for (const Case& c : cases) {
        SetSide(c.side);
        uint8_t d[PLAYER_DESCRIPTOR_SIDE_SIZE];
        memset(d, 0xEE, sizeof d);
        ASSERT_EQ(player_DescriptorBuild(d), c.size) << c.side;
        std::string tags;
        for (uint32_t pos = PLAYER_DESCRIPTOR_CHUNKS; pos < c.size; pos += 8 + Get32(d + pos + 4))
            tags.append((const char*)d + pos, 4);
        EXPECT_EQ(tags, c.tags) << c.side;
        // Stamp bytes 64 to 91 are zero.
        for (uint32_t i = 64; i < PLAYER_STAMP_SIZE; i++) EXPECT_EQ(d[PLAYER_AIRCRAFT_BLOCK_SIZE + i], 0);

        char side[PLAYER_SIDE_SIZE];
        player_DescriptorSide(d, c.size, side);
        EXPECT_STREQ(side, c.side);

        PlayerSlotRecords slot;
        memset(&slot, 0x55, sizeof slot);
        ASSERT_EQ(player_DescriptorApply(d, c.size, &slot), 0);
        for (const PlayerAircraftBlock& b : slot.blocks) {
            EXPECT_STREQ(b.name, "KRX");
            EXPECT_EQ(b.loadout.storeCount, 7u);
            EXPECT_EQ(b.loadout.mountCount, 23u);
        }
        EXPECT_EQ(Get32(slot.applicationId), 0x31415926u);
        EXPECT_STREQ(slot.sideText, c.side);
        EXPECT_EQ(slot.stamp.dataStamp, player_DataStamp());
    }
    EXPECT_EQ(player_DescriptorBuild(nullptr), 0u);
    SetSide("");
}

// A chain whose first length is 0 ends at once: no application id, no side.
TEST(PlayerDescriptor, FirstChunkOfLengthZeroAppliesNothing) {
    SetSide("BLUE");
    uint8_t d[PLAYER_DESCRIPTOR_SIDE_SIZE];
    uint32_t size = player_DescriptorBuild(d);
    memset(d + PLAYER_DESCRIPTOR_CHUNKS + 4, 0, 4);
    PlayerSlotRecords slot;
    memset(&slot, 0x55, sizeof slot);
    ASSERT_EQ(player_DescriptorApply(d, size, &slot), 0);
    EXPECT_EQ(Get32(slot.applicationId), 0u);
    EXPECT_STREQ(slot.sideText, "");
    SetSide("");
}

// Damaged descriptors from other machines are refused and the slot is left
// as it was.
TEST(PlayerDescriptor, DamagedDescriptorsAreRefused) {
    SetSide("GREEN");
    loadout_PlayerSetup(&player_AircraftBlock);
    uint8_t good[PLAYER_DESCRIPTOR_SIDE_SIZE];
    const uint32_t size = player_DescriptorBuild(good);
    const uint32_t side = PLAYER_DESCRIPTOR_CHUNKS + 12;
    struct Case {
        const char* what;
        uint32_t at;
        uint32_t value;   // written as u32 at `at`
        uint32_t size;
    } cases[] = {
        {"shorter than block and stamp", 0, 0, PLAYER_DESCRIPTOR_CHUNKS - 1},
        {"no ending chunk", 0, 0, side + 20},
        {"chunk past the end", side + 4, 4000, size},
        {"side longer than 12", side + 4, 16, size},
        {"store count 9", 48, 9, size},
        {"mount count 25", 52, 25, size},
        {"name not terminated", 0, 0x41414141, size},
    };
    for (const Case& c : cases) {
        uint8_t d[PLAYER_DESCRIPTOR_SIDE_SIZE + 8];
        memcpy(d, good, size);
        if (c.value || c.at) memcpy(d + c.at, &c.value, 4);
        if (strcmp(c.what, "name not terminated") == 0) memset(d, 'A', 16);
        if (strcmp(c.what, "side longer than 12") == 0) memset(d + side + 8, 'S', 16);
        PlayerSlotRecords slot, before;
        memset(&slot, 0x55, sizeof slot);
        before = slot;
        EXPECT_EQ(player_DescriptorApply(d, c.size, &slot), -1) << c.what;
        EXPECT_EQ(memcmp(&slot, &before, sizeof slot), 0) << c.what;
    }
    SetSide("");
}

PlayerAircraftBlock FullBlock(void) {
    PlayerAircraftBlock b;
    memset(&b, 0, sizeof b);
    memcpy(b.name, "ABCDEFGHIJKLMNO", 15);
    memcpy(b.modelFile, "krx.pak", 7);
    b.kind = 3;
    for (int32_t i = 0; i < ORD_STORES_MAX; i++) ord_AddStoreType(&b.loadout, i, 500 - i, -1, i);
    for (int32_t i = 0; i < ORD_MOUNTS_MAX; i++) {
        if (i % 3 == 0)
            ord_AddMountNamed(&b.loadout, 68 + (i % 23), "rmount.pak", 0);
        else
            ord_AddMount(&b.loadout, 68 + (i % 23), i, i & 1, 1);
    }
    return b;
}

TEST(PlayerPacked, FullListsRoundTripAndOneMoreIsRefused) {
    PlayerAircraftBlock b = FullBlock();
    EXPECT_EQ(ord_AddStoreType(&b.loadout, 99, 1, 1, 0), ORD_STORES_MAX);
    EXPECT_EQ(ord_AddMount(&b.loadout, 68, 99, 1, 1), ORD_MOUNTS_MAX);
    uint8_t buf[2048];
    for (size_t start : {0, 1, 3}) {
        size_t end = player_AircraftPack(buf, sizeof buf, start, &b);
        ASSERT_GT(end, start);
        PlayerAircraftBlock back;
        EXPECT_EQ(player_AircraftUnpack(buf, end, start, &back), end);
        EXPECT_EQ(memcmp(&back, &b, sizeof b), 0) << start;
        // One byte short: refused.
        EXPECT_EQ(player_AircraftUnpack(buf, end - 1, start, &back), 0u);
    }
    // A record announcing 9 stores or 25 mounts is refused.
    size_t end = player_AircraftPack(buf, sizeof buf, 0, &b);
    PlayerAircraftBlock back;
    buf[1] = 9;
    EXPECT_EQ(player_AircraftUnpack(buf, end, 0, &back), 0u);
    buf[1] = 8;
    buf[2] = 25;
    EXPECT_EQ(player_AircraftUnpack(buf, end, 0, &back), 0u);
    // The block image refuses the same counts.
    uint8_t image[PLAYER_AIRCRAFT_BLOCK_SIZE];
    player_BlockWrite(image, &b);
    ASSERT_EQ(player_BlockRead(&back, image), 0);
    EXPECT_EQ(memcmp(&back, &b, sizeof b), 0);
    image[48] = 9;
    EXPECT_EQ(player_BlockRead(&back, image), -1);
}

struct StartupFixture {
    PlayerAircraftBlock blocks[2];
    const char* missions[2] = {"MIS01", "MIS02"};
    uint8_t entries[2 * 24];
    PlayerNamePair pairs[2];
    PlayerFlaggedString flagged[2] = {{1, "alpha"}, {0, ""}};
    PlayerStartupSource src{};

    StartupFixture() {
        loadout_PlayerSetup(&blocks[0]);
        blocks[1] = FullBlock();
        for (int i = 0; i < 48; i++) entries[i] = (uint8_t)(i * 7);
        memset(pairs, 0, sizeof pairs);
        memset(pairs[0].first, 'n', 38);
        memcpy(pairs[0].second, "sixteen-chars-xx", 16);
        pairs[0].values[0] = 0x1234;
        pairs[0].values[1] = 0xFFFF;
        memcpy(pairs[1].first, "a", 1);
        src.playerNumber = 3;
        src.startPosition[0] = -5;
        src.startPosition[1] = 0x12345678;
        src.startPosition[2] = 7;
        src.startOrientation[0] = 0x01000000;
        src.modelSlot = 0x1AB;
        src.levelRunNumber = 9;
        src.startupNumber = 41;
        src.region = 4;
        src.timeOfDay = -1;
        src.sides[0] = 1;
        src.sides[1] = 2;
        src.ctfStart = 1;
        src.squadron = 0x1207;
        src.teamPlay = 2;
        src.blackouts = 1;
        src.secondGameFlag = 1;
        const char* strings[7] = {"T1", "T2", "", "T4", "FIFTEEN-CHARS-X", "GAME", "PLAYER"};
        for (int i = 0; i < 7; i++) src.strings[i] = strings[i];
        src.missionNames = missions;
        src.missionNameCount = 2;
        src.startEntries = entries;
        src.startEntryCount = 2;
        src.namePairs = pairs;
        src.namePairCount = 2;
        src.flagged = flagged;
        src.flaggedCount = 2;
        src.blocks[0] = &blocks[0];
        src.blocks[1] = &blocks[1];
        src.joinResult = PLAYER_JOIN_REFUSED_SECOND;
    }
};

TEST(PlayerStartup, WrittenAndReadBackEqual) {
    StartupFixture f;
    std::vector<uint8_t> r(4096);
    uint32_t n = player_StartupWrite(r.data(), r.size(), &f.src);
    ASSERT_GT(n, PLAYER_STARTUP_HEAD);
    EXPECT_EQ(n % 4, 0u);
    PlayerStartupView v;
    ASSERT_EQ(player_StartupParse(r.data(), n, &v), 0);
    EXPECT_EQ(v.dataStamp, player_DataStamp());
    EXPECT_EQ(v.playerNumber, 3);
    EXPECT_EQ(v.startPosition[0], -5);
    EXPECT_EQ(v.startPosition[1], 0x12345678);
    EXPECT_EQ(v.startOrientation[0], 0x01000000u);
    EXPECT_EQ(v.levelRunNumber, 9u);
    EXPECT_EQ(v.startupNumber, 41u);
    EXPECT_EQ(v.region, 4);
    EXPECT_EQ(v.timeOfDay, -1);
    EXPECT_EQ(v.sides[1], 2);
    EXPECT_EQ(v.squadron, 0x07);
    EXPECT_EQ(v.teamPlay, 2);
    EXPECT_EQ(v.flaggedCount, 2u);
    EXPECT_STREQ(v.strings[4], "FIFTEEN-CHARS-X");
    EXPECT_STREQ(v.strings[6], "PLAYER");
    EXPECT_EQ(memcmp(r.data() + v.startEntriesAt, f.entries, sizeof f.entries), 0);
    EXPECT_EQ(memcmp(&v.blocks[0], &f.blocks[0], sizeof f.blocks[0]), 0);
    EXPECT_EQ(memcmp(&v.blocks[1], &f.blocks[1], sizeof f.blocks[1]), 0);
    EXPECT_EQ(v.blocks[0].loadout.stores[0].count, 500);
    EXPECT_EQ(v.joinResult, PLAYER_JOIN_REFUSED_SECOND);
    // Every truncation is refused.
    for (uint32_t cut = 0; cut < n; cut++) {
        std::vector<uint8_t> t(r.begin(), r.begin() + cut);
        t.resize(cut + 1);  // keep data() valid for an empty record
        if (cut >= 4) t[2] = (uint8_t)cut, t[3] = (uint8_t)(cut >> 8);
        EXPECT_EQ(player_StartupParse(t.data(), cut, &v), -1) << cut;
    }
    // Too small a buffer writes nothing.
    EXPECT_EQ(player_StartupWrite(r.data(), n - 1, &f.src), 0u);
}

// A refused player flies nothing: the client ends the flight and leaves
// the refusal for the launch screens, another application shown as a bad
// host (and so is a code it does not know).
TEST(PlayerStartup, ARefusalSetsTheLaunchStatus) {
    StartupFixture f;
    const struct {
        int32_t result, status;
    } cases[] = {{PLAYER_JOIN_OTHER_APPLICATION, -1}, {PLAYER_JOIN_REFUSED_FIRST, -5},
                 {PLAYER_JOIN_REFUSED_SECOND, -6}, {-9, -1}};
    uint32_t number = 100;
    for (const auto& c : cases) {
        f.src.joinResult = c.result;
        f.src.startupNumber = number++;
        std::vector<uint8_t> r(4096);
        uint32_t n = player_StartupWrite(r.data(), r.size(), &f.src);
        ASSERT_GT(n, 0u);
        Client_LaunchStatus = 0;
        Client_FlightState = 0;
        Client_ExitResult = 0;
        EXPECT_EQ(player_ClientStartupRead(r.data(), n), -1) << c.result;
        EXPECT_EQ(Client_LaunchStatus, c.status) << c.result;
        EXPECT_EQ(Client_FlightState, 1) << c.result;
        EXPECT_EQ(Client_ExitResult, -1) << c.result;
    }
    Client_LaunchStatus = 0;
    Client_FlightState = 0;
    Client_ExitResult = 0;
}

// The fixed part, byte for byte; unset bytes are zero.
TEST(PlayerStartup, FixedPartGoldenBytes) {
    StartupFixture f;
    uint8_t r[4096];
    uint32_t n = player_StartupWrite(r, sizeof r, &f.src);
    ASSERT_GT(n, 0u);
    const uint32_t s = player_DataStamp();
    const uint8_t golden[76] = {
        0x04, 0x00, (uint8_t)n, (uint8_t)(n >> 8),                       // +0 type, +2 length
        (uint8_t)s, (uint8_t)(s >> 8), (uint8_t)(s >> 16), (uint8_t)(s >> 24),
        0x03, 0x00, 0x02, 0x00,                                          // +8 player, +10 mission names
        0xFB, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0x07, 0x00, 0x00, 0x00,  // +12 position
        0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // +24 orientation
        0xAB, 0x00, 0x02, 0x00, 0x02, 0x00,                              // +36 slot, entries, pairs
        0x09, 0x00, 0x00, 0x00, 0x29, 0x00, 0x00, 0x00,                  // +42 run, +46 start-up number
        0x00, 0x00,                                                      // +50..51
        0x04, 0xFF, 0x01, 0x02,                                          // +52 region, time, sides
        0x00, 0x00, 0x00, 0x00,                                          // +56..59
        0x01, 0x07, 0x02, 0x00, 0x01, 0x01, 0x00, 0x00,                  // +60..67
        0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                  // +68 flagged, +72..75
    };
    EXPECT_EQ(memcmp(r, golden, sizeof golden), 0);
    // The record ends with the stamp, "EXIT" -6 and "DONE" 0.
    EXPECT_EQ(memcmp(r + n - 20, "EXIT\x04\0\0\0\xFA\xFF\xFF\xFF" "DONE\0\0\0\0", 20), 0);
}

TEST(PlayerStartup, JoinResults) {
    struct Case {
        int32_t single;
        uint32_t server, player;
        int32_t refusal, result;
    } cases[] = {
        {0, 1, 2, 0, 0}, {1, 1, 1, 0, 0}, {1, 1, 2, 0, -4}, {0, 1, 1, 1, -5}, {0, 1, 1, 2, -6}, {1, 1, 2, 2, -4},
    };
    for (const Case& c : cases) EXPECT_EQ(player_JoinResult(c.single, c.server, c.player, c.refusal), c.result);
}

TEST(PlayerStartup, ClientReadRefusals) {
    StartupFixture f;
    uint8_t r[4096];
    uint32_t n = player_StartupWrite(r, sizeof r, &f.src);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(player_ClientStartupRead(nullptr, 0), -1);

    // Another stamp: flight state 1, exit result -1.
    uint8_t other[4096];
    memcpy(other, r, n);
    other[4] ^= 0xFF;
    player_LastStartupNumber = 0xFFFFFFFFu;
    Client_FlightState = 0;
    Client_ExitResult = 0;
    EXPECT_EQ(player_ClientStartupRead(other, n), -1);
    EXPECT_EQ(Client_FlightState, 1);
    EXPECT_EQ(Client_ExitResult, -1);

    // A repeated start-up number is ignored without side effects.
    Client_FlightState = 0;
    Client_ExitResult = 0;
    player_LastStartupNumber = 41;
    PlayerAircraftBlock before = player_AircraftBlock;
    EXPECT_EQ(player_ClientStartupRead(r, n), -1);
    EXPECT_EQ(Client_FlightState, 0);
    EXPECT_EQ(Client_ExitResult, 0);
    EXPECT_EQ(memcmp(&before, &player_AircraftBlock, sizeof before), 0);

    // A damaged record of this version ends the flight the same way.
    std::vector<uint8_t> bad(r, r + n);
    bad[46] = 43;
    bad[2] = 80;  // length cuts the strings
    bad[3] = 0;
    Client_FlightState = 0;
    EXPECT_EQ(player_ClientStartupRead(bad.data(), bad.size()), -1);
    EXPECT_EQ(Client_FlightState, 1);
    EXPECT_EQ(Client_ExitResult, -1);
    Client_FlightState = 0;
    player_LastStartupNumber = 0xFFFFFFFFu;
}

}  // namespace
