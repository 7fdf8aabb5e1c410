// Aircraft set-up and multiplayer loadouts, and the readout page's lines.
#include "world/loadout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/player.h"
#include "sim/plane.h"

namespace {

// "part:type/flagA" for a weapon, "part:model" for a model; stores as
// "type x count/capacity".
std::string Mounts(const OrdLoadout& l) {
    std::string s;
    for (uint32_t i = 0; i < l.mountCount; i++) {
        const OrdMountEntry& m = l.mounts[i];
        if (!s.empty()) s += ' ';
        s += std::to_string(m.part) + ':';
        s += m.type < 0 ? std::string(m.modelName) : std::to_string(m.type) + '/' + std::to_string(m.flagA);
    }
    return s;
}
std::string Stores(const OrdLoadout& l) {
    std::string s;
    for (uint32_t i = 0; i < l.storeCount; i++) {
        if (!s.empty()) s += ' ';
        s += std::to_string(l.stores[i].type) + 'x' + std::to_string(l.stores[i].count) + '/' +
             std::to_string(l.stores[i].capacity);
    }
    return s;
}

TEST(Loadout, PlayerSetupThroughTheDescriptor) {
    plane_Init();
    const _PLANE_TYPE* krx = plane_TypeFind("KRX");
    ASSERT_NE(krx, nullptr);
    memset(&player_AircraftBlock, 0xCC, sizeof player_AircraftBlock);
    player_BlockSetup(krx);
    const PlayerAircraftBlock& b = player_AircraftBlock;
    EXPECT_STREQ(b.name, "KRX");
    EXPECT_STREQ(b.modelFile, "krx.pak");
    EXPECT_STREQ(b.aiModel, "krx_ai.pak");
    EXPECT_EQ(Stores(b.loadout), "0x500/500 2x-1/-1 1x-1/-1 16x-1/-1 30x-1/-1 10x-1/-1 12x-1/-1");
    EXPECT_EQ(Mounts(b.loadout),
              "68:10/1 69:2/1 70:rmount.pak 71:1/1 72:rmount.pak 73:16/1 74:16/1 75:16/1 76:rmount.pak "
              "77:30/0 78:12/0 79:30/1 80:2/1 81:rmount.pak 82:1/1 83:rmount.pak 84:16/1 85:16/1 86:16/1 "
              "87:rmount.pak 88:30/0 89:12/0 90:30/1");
    for (uint32_t i = 0; i < b.loadout.mountCount; i++) {
        if (b.loadout.mounts[i].type >= 0) {
            EXPECT_EQ(b.loadout.mounts[i].flagB, 1);
        }
    }
    // The rest of the block is cleared.
    EXPECT_EQ(b.loadout.stores[7].type, 0);
    EXPECT_EQ(b.teamFields[0], 0u);
    for (uint8_t c : b.rest) EXPECT_EQ(c, 0);
    // No set-up routine: the block is only cleared.
    player_BlockSetup(nullptr);
    EXPECT_EQ(player_AircraftBlock.name[0], 0);
    plane_Shutdown();
}

TEST(Loadout, Deathmatch) {
    const std::string kRest = " 70:rmount.pak 72:rmount.pak 76:rmount.pak 81:rmount.pak 83:rmount.pak 87:rmount.pak "
                              "68:10/1 79:12/1 90:12/1";
    struct Case {
        LoadoutFamily family;
        LoadoutHostOptions options;
        std::string mounts, stores;
    } cases[] = {
        {LOADOUT_A, {0, 0, 0}, kRest.substr(1), "10x-1/-1 12x-1/-1"},
        {LOADOUT_A, {2, 1, 0}, "69:1/1 80:1/1 71:2/1" + kRest, "1x-1/-1 2x-1/-1 10x-1/-1 12x-1/-1"},
        // More stations asked than the list holds: the list's ten, no more.
        {LOADOUT_A, {8, 8, 0}, "69:1/1 80:1/1 71:1/1 82:1/1 75:1/1 86:1/1 73:1/1 84:1/1 74:2/1 85:2/1" + kRest,
         "1x-1/-1 2x-1/-1 10x-1/-1 12x-1/-1"},
        {LOADOUT_B, {1, 0, 0}, "69:1/1" + kRest, "1x-1/-1 10x-1/-1 12x-1/-1"},
        {LOADOUT_C, {0, 0, 0}, "68:11/1", "11x-1/-1"},
        {LOADOUT_C, {2, 9, 0}, "69:20/0 80:20/0 70:22/0 81:22/0 76:22/0 87:22/0 68:11/1", "20x-1/-1 22x-1/-1 11x-1/-1"},
    };
    for (const Case& c : cases) {
        OrdLoadout l{};
        loadout_Deathmatch(c.family, &l, &c.options);
        EXPECT_EQ(Mounts(l), c.mounts) << c.family << " " << c.options.sw << "/" << c.options.am;
        EXPECT_EQ(Stores(l), c.stores) << c.family;
    }
}

TEST(Loadout, CaptureTheFlag) {
    const std::string kRails = "70:rmount.pak 72:rmount.pak 76:rmount.pak 81:rmount.pak 83:rmount.pak 87:rmount.pak";
    struct Case {
        LoadoutFamily family;
        int32_t second, share2;
        std::string mounts;
    } cases[] = {
        {LOADOUT_A, 0, 0, "69:1/1 80:1/1 71:1/1 82:1/1 75:2/1 86:2/1 68:10/1 79:12/1 90:12/1 " + kRails},
        {LOADOUT_A, 1, 1, "69:1/1 80:1/1 75:30/1 86:30/1 79:35/1 90:35/1 68:10/1 " + kRails},
        {LOADOUT_A2, 1, 0, "75:30/1 73:30/1 86:30/1 84:30/1 79:35/1 90:35/1 68:10/1 " + kRails},
        {LOADOUT_C, 0, 0, "69:20/1 80:20/1 70:20/1 81:20/1 76:22/1 87:22/1 68:11/1"},
        {LOADOUT_C, 1, 1, "69:20/1 80:20/1 70:37/1 81:37/1 76:36/1 87:36/1 68:11/1"},
        {LOADOUT_C, 1, 0, "69:26/1 80:26/1 70:37/1 81:37/1 76:36/1 87:36/1 68:11/1"},
    };
    for (const Case& c : cases) {
        OrdLoadout l{};
        LoadoutHostOptions o = {0, 0, c.share2};
        if (c.second)
            loadout_CtfSecond(c.family, &l, &o);
        else
            loadout_CtfFirst(c.family, &l);
        EXPECT_EQ(Mounts(l), c.mounts) << c.family << " second " << c.second << " share " << c.share2;
    }
}

TEST(Loadout, StoreCountsAndFullLists) {
    struct Case {
        int32_t teamPlay, second, share2;
        std::string stores;
    } cases[] = {
        {1, 0, 0, "1x3/-1 2x5/-1 3x-1/-1"},
        {2, 0, 0, "1x2/-1 2x4/-1 3x-1/-1"},
        {2, 1, 1, "1x2/-1 2x2/-1 3x2/-1"},
        {2, 1, 0, "1x2/-1 2x-1/-1 3x2/-1"},
    };
    for (const Case& c : cases) {
        OrdLoadout l{};
        for (int32_t t : {1, 2, 3}) ord_AddStoreType(&l, t, -1, -1, -1);
        LoadoutHostOptions o = {3, 5, c.share2};
        loadout_StoreCounts(LOADOUT_A2, &l, c.teamPlay, c.second, &o);
        EXPECT_EQ(Stores(l), c.stores) << c.teamPlay << c.second << c.share2;
    }
    struct Full {
        const char* name;
        std::string stores;
    } full[] = {
        {"KRX", "1x10/10 2x10/10 15x10/10 16x10/10 17x10/10 18x10/10 35x10/10"},
        {"RX3", "1x10/10 2x10/10 3x10/10"},
        {"SX1", "1x10/10 2x10/10 3x10/10"},
        {"TVLAR", "21x10/10 22x10/10 24x10/10 26x10/10 27x10/10 36x10/10 38x10/10"},
        {"GX2", ""},
    };
    for (const Full& f : full) {
        OrdLoadout l{};
        loadout_FullStores(loadout_FamilyOf(f.name), &l);
        EXPECT_EQ(Stores(l), f.stores) << f.name;
    }
}

TEST(Loadout, ReadoutLines) {
    LoadoutReadout v{};
    v.mass = 1000.0f;
    v.massP = 100.0f;
    v.velocity = 0.25f;
    v.altitude = 1000.0f;
    v.aoa = 2.5f;
    v.throttle = 0.5f;
    v.throttleTarget = 1.0f;
    v.flameStatus = 2;
    v.flameCounter = 7;
    v.flameLevel = 0.25f;
    v.yaw = 90.0f;
    v.pitch = -5.0f;
    LoadoutReadoutLine lines[LOADOUT_READOUT_LINES];
    ASSERT_EQ(loadout_ReadoutFormat(&v, lines), 16);
    struct Want {
        int32_t line, y;
        const char* text;
    } want[] = {
        {0, 10, "MASS: 1000.00kg (P=100.00, O= 0.00, I= 0.00, E= 0.00)"},
        {1, 18, "MASS: 2204.62lb (P=220.46, O= 0.00, I= 0.00, E= 0.00)"},
        {2, 26, "VELOCITY: 0.25000 M/F, 36.000 KM/HR, 22.369 MI/HR, 19.438 NM/HR"},
        {3, 34, "ALTITUDE: 1000.00000 METERS, 3281.00000 FEET"},
        {4, 42, "AOA: 2.50000 degrees"},
        {5, 58, "ENGINE:"},
        {6, 74, "THROTTLE : 50.000% (100.000%)"},
        {10, 106, "FLAME STATUS : STALLED"},
        {11, 114, "FLAME : counter = 7, level = 25.000%, scale = 0.000%, flame = 0.000"},
        {14, 138, "THRUST : 0.000 (PURE = 0.000, EFFECIENCY = 0.000)"},
        {15, 154, "ANGLES: YAW = 90.000, PITCH = -5.000"},
    };
    for (const Want& w : want) {
        EXPECT_EQ(lines[w.line].x, 10);
        EXPECT_EQ(lines[w.line].y, w.y);
        EXPECT_STREQ(lines[w.line].text, w.text);
    }
    // An unknown flame state shows no word.
    v.flameStatus = 9;
    loadout_ReadoutFormat(&v, lines);
    EXPECT_STREQ(lines[10].text, "FLAME STATUS : ");
}

}  // namespace
