// Message and event records: golden bytes of every record, and the packet
// walker's checks.
#include "net/msg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Hex bytes; "0*N" stands for N zero bytes.
std::vector<uint8_t> Hex(const char* text) {
    std::vector<uint8_t> out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token.rfind("0*", 0) == 0) {
            out.insert(out.end(), std::stoul(token.substr(2)), 0);
            continue;
        }
        for (size_t i = 0; i + 1 < token.size(); i += 2) out.push_back((uint8_t)std::stoul(token.substr(i, 2), nullptr, 16));
    }
    return out;
}

constexpr uint32_t kTag = 0x01020305;
constexpr FixVec3 kPos = {0x11223344, -2, 0x00ABCDEF};
constexpr FixAngles kAngles = {0x01230000, 0x00450000, 0x01FF0000};

void Copy(char* dst, size_t size, const char* s) { snprintf(dst, size, "%s", s); }

typedef std::function<int32_t(LeSpanWriter*)> Encoder;
// Decodes the record and encodes what came out, so that a field the decoder
// misses shows as a byte difference.
typedef std::function<int32_t(const uint8_t*, size_t, LeSpanWriter*)> RoundTrip;

template <typename T>
RoundTrip Through(int32_t (*decode)(const uint8_t*, size_t, T*), int32_t (*encode)(LeSpanWriter*, const T*)) {
    return [decode, encode](const uint8_t* p, size_t n, LeSpanWriter* w) {
        T m;
        memset(&m, 0x5A, sizeof m);  // every field must be written by the decoder
        if (decode(p, n, &m) != 0) return -1;
        return encode(w, &m);
    };
}
template <typename T>
Encoder Of(int32_t (*encode)(LeSpanWriter*, const T*), T m) {
    return [encode, m](LeSpanWriter* w) { return encode(w, &m); };
}

MsgObjectEntry kEntries[2];
MsgStaticEntry kStatic;

struct Golden {
    const char* name;
    Encoder encode;
    RoundTrip roundTrip;
    const char* hex;
};

std::vector<Golden> Table() {
    std::vector<Golden> t;
    MsgChat chat{kTag, 1, 0x0203, {}};
    Copy(chat.text, sizeof chat.text, "Hello");
    t.push_back({"MSG_CHAT", Of(msg_ChatEncode, chat), Through(msg_ChatDecode, msg_ChatEncode),
                 "01008c00050302010100030248656c6c6f 0*123"});

    kEntries[0] = {0x11, 0x1234, -5, 0x0100, kAngles, 0x0450, 3, 0x17, 0x81, 0x31, 0x0A, 0x02, {5, 6}, 1, 0xCAFEBABE};
    kEntries[1] = {0x13, 1, 2, 3, {0, 0, 0}, 0, 0, 1, 0, 0, 0, 0, {0, 0}, 0, 0};
    MsgObjectData objects{2, {1000, -2000, 3000}};
    t.push_back({"MSG_OBJECTDATA", [objects](LeSpanWriter* w) { return msg_ObjectDataEncode(w, &objects, kEntries); },
                 [](const uint8_t* p, size_t n, LeSpanWriter* w) {
                     MsgObjectData head;
                     MsgObjectEntry e[2];
                     if (msg_ObjectDataDecode(p, n, &head) != 0 || head.count != 2) return -1;
                     for (uint32_t i = 0; i < 2; i++)
                         if (msg_ObjectEntryDecode(p, n, i, &e[i]) != 0) return -1;
                     MsgObjectEntry beyond;
                     if (msg_ObjectEntryDecode(p, n, 2, &beyond) == 0) return -1;
                     return msg_ObjectDataEncode(w, &head, e);
                 },
                 "020052000200e803000030f8ffffb80b0000110000003412fbff000123014500ff015004031781310a0205060100bebafeca"
                 "130000000100020003 0*10 01 0*12"});

    MsgPlayerData pd{kPos, kAngles, 3, 0x41, 1, 3, 2, 0x0A, 0x1000, 0x35, 0xDEAD, 7, {0x1122, -3, 0xAB}, {5, 6, -7}};
    t.push_back({"MSG_PLAYERDATA", Of(msg_PlayerDataEncode, pd), Through(msg_PlayerDataDecode, msg_PlayerDataEncode),
                 "0300400044332211feffffffefcdab0023014500ff010300410103020a000010000035000000adde000007000000"
                 "2211fdffab000500000006000000f9ffffff"});

    kStatic = {{0x12345678, 0x100, -0x10}, kAngles, 0x0203, 4, 0x81, 2, 0x55, {7, 8}};
    MsgStaticData statics{9, 1};
    t.push_back({"MSG_STATICDATA", [statics](LeSpanWriter* w) { return msg_StaticDataEncode(w, &statics, &kStatic); },
                 [](const uint8_t* p, size_t n, LeSpanWriter* w) {
                     MsgStaticData head;
                     MsgStaticEntry e;
                     if (msg_StaticDataDecode(p, n, &head) != 0 || msg_StaticEntryDecode(p, n, 0, &e) != 0) return -1;
                     return msg_StaticDataEncode(w, &head, &e);
                 },
                 "05002200090001007856341200010000f0ffffff23014500ff010302048102550708"});

    t.push_back({"MSG_EVENTDATA",
                 [](LeSpanWriter* w) {
                     const std::vector<uint8_t> ev = Hex("01001800210000005100000044332211feffffffefcdab00");
                     return msg_EventDataEncode(w, 1, ev.data(), ev.size());
                 },
                 [](const uint8_t* p, size_t n, LeSpanWriter* w) {
                     MsgEventData head;
                     if (msg_EventDataDecode(p, n, &head) != 0) return -1;
                     return msg_EventDataEncode(w, head.count, p + MSG_EVENTDATA_HEAD, n - MSG_EVENTDATA_HEAD);
                 },
                 "06001e00010001001800210000005100000044332211feffffffefcdab00"});

    t.push_back({"MSG_PLAYERINFO", Of(msg_PlayerInfoEncode, MsgPlayerInfo{0x12345, 0x80, 1, -5, 0x0A}),
                 Through(msg_PlayerInfoDecode, msg_PlayerInfoEncode), "07001000452301008001fbff0a000000"});

    // The client writes +45 as 0 whatever the record holds.
    t.push_back({"MSG_BULLETFIRED",
                 Of(msg_BulletFiredEncode, MsgBullet{kTag, 0x00030007, kPos, {10, -20, 30}, kAngles, 0xBEEF, 5, 9}),
                 Through(msg_BulletFiredDecode, msg_BulletFiredEncode),
                 "01102e00050302010700030044332211feffffffefcdab000a000000ecffffff1e00000023014500ff01efbe0500"});
    t.push_back({"MSG_BULLETHIT", Of(msg_BulletHitEncode, MsgBulletHit{kTag, 0x41, 0x30009, 0x1234}),
                 Through(msg_BulletHitDecode, msg_BulletHitEncode), "021012000503020141000000090003003412"});
    t.push_back({"MSG_LAUNCHMISSILE by position",
                 Of(msg_LaunchMissileEncode, MsgLaunchMissile{kTag, 7, 0, {1, 2, 3}, {0x10, 0x20}, {4, 5, 6}, 1}),
                 Through(msg_LaunchMissileDecode, msg_LaunchMissileEncode),
                 "0310340005030201070000000000000001000000020000000300000010000000200000000400000005000000"
                 "0600000001000000"});
    // Without a target position +36..+47 are 0, whatever the record holds.
    t.push_back({"MSG_LAUNCHMISSILE locked target",
                 Of(msg_LaunchMissileEncode, MsgLaunchMissile{kTag, 7, 0x41, {1, 2, 3}, {0, 0}, {4, 5, 6}, 0}),
                 Through(msg_LaunchMissileDecode, msg_LaunchMissileEncode),
                 "03103400050302010700000041000000010000000200000003 0*27"});
    t.push_back({"MSG_LAUNCHBOMB", Of(msg_LaunchBombEncode, MsgLaunchBomb{kTag, {7, 8, 9}, {1, 2, 3}, 0x0C, 1}),
                 Through(msg_LaunchBombDecode, msg_LaunchBombEncode),
                 "04102200050302010700000008000000090000000100000002000000030000000c01"});
    t.push_back({"MSG_JETTISONWEAPON", Of(msg_JettisonWeaponEncode, MsgJettisonWeapon{kTag, {1, 2, 3}, 0x0D}),
                 Through(msg_JettisonWeaponDecode, msg_JettisonWeaponEncode),
                 "05101800050302010100000002000000030000000d000000"});
    t.push_back({"MSG_PLAYERRESET", Of(msg_PlayerResetEncode, MsgPlayerReset{kTag, 0xFFFF, kPos}),
                 Through(msg_PlayerResetDecode, msg_PlayerResetEncode), "0610160005030201ffff44332211feffffffefcdab00"});
    t.push_back({"MSG_PLAYERCRASH", Of(msg_PlayerCrashEncode, MsgPlayerPosition{kTag, kPos}),
                 Through(msg_PlayerCrashDecode, msg_PlayerCrashEncode), "071014000503020144332211feffffffefcdab00"});
    t.push_back({"MSG_ECMDROP", Of(msg_EcmDropEncode, MsgEcmDrop{kTag, 0x1122, -1, 0x33, 1}),
                 Through(msg_EcmDropDecode, msg_EcmDropEncode), "08101000050302012211ffff33000100"});
    t.push_back({"MSG_PLAYERTRIG", Of(msg_PlayerTrigEncode, MsgPlayerTrig{kTag, 0x0102, 11}),
                 Through(msg_PlayerTrigDecode, msg_PlayerTrigEncode), "09100c000503020102010b00"});
    t.push_back({"MSG_BULLETHIT_ST", Of(msg_BulletHitStaticEncode, MsgBulletHitStatic{kTag, 0x3000A, kPos, 0x55AA}),
                 Through(msg_BulletHitStaticDecode, msg_BulletHitStaticEncode),
                 "0a101a00050302010a00030044332211feffffffefcdab00aa55"});
    t.push_back({"MSG_WINGCOMMAND", Of(msg_WingCommandEncode, MsgWord{kTag, 4}),
                 Through(msg_WingCommandDecode, msg_WingCommandEncode), "0b100a00050302010400"});
    t.push_back({"MSG_PLAYERTYPE", Of(msg_PlayerTypeEncode, MsgWord{kTag, 0x0105}),
                 Through(msg_PlayerTypeDecode, msg_PlayerTypeEncode), "0c100a00050302010501"});
    t.push_back({"MSG_MIDAIR", Of(msg_MidairEncode, MsgPlayerPosition{kTag, kPos}),
                 Through(msg_MidairDecode, msg_MidairEncode), "0d1018000503020144332211feffffffefcdab0000000000"});
    t.push_back({"MSG_STARTUPCONFIRM", Of(msg_StartupConfirmEncode, MsgStartupConfirm{kTag, 0x42}),
                 Through(msg_StartupConfirmDecode, msg_StartupConfirmEncode), "0e100c000503020142000000"});
    MsgSquadRequest squad{kTag, {}, {}};
    Copy(squad.name, sizeof squad.name, "Wolves");
    Copy(squad.password, sizeof squad.password, "secret");
    t.push_back({"MSG_SQUADREQUEST", Of(msg_SquadRequestEncode, squad),
                 Through(msg_SquadRequestDecode, msg_SquadRequestEncode),
                 "0f102a0005030201576f6c766573 0*16 736563726574000000000000"});
    t.push_back({"MSG_RESPONSE", Of(msg_ResponseEncode, MsgResponse{kTag, 3, 0x0B}),
                 Through(msg_ResponseDecode, msg_ResponseEncode), "10100e000503020103000b000000"});
    MsgLaunchFuelPlane fuel{kTag, {{1.5f, -2.0f, 1000.0f}, {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}}};
    t.push_back({"MSG_LAUNCH_FUELPLANE", Of(msg_LaunchFuelPlaneEncode, fuel),
                 Through(msg_LaunchFuelPlaneDecode, msg_LaunchFuelPlaneEncode),
                 "12103800050302010000c03f000000c000007a440000803f 0*14 803f 0*14 803f"});
    t.push_back({"MSG_PLAYER_EXPLODED", Of(msg_PlayerExplodedEncode, MsgTagOnly{kTag}),
                 Through(msg_PlayerExplodedDecode, msg_PlayerExplodedEncode), "1310080005030201"});
    t.push_back({"MSG_VICTORY", Of(msg_VictoryEncode, MsgTagOnly{kTag}), Through(msg_VictoryDecode, msg_VictoryEncode),
                 "1410080005030201"});
    MsgConsoleCommand console{kTag, {}};
    Copy(console.text, sizeof console.text, "kick 3");
    t.push_back({"console command", Of(msg_ConsoleCommandEncode, console),
                 Through(msg_ConsoleCommandDecode, msg_ConsoleCommandEncode), "15108800050302016b69636b2033 0*122"});
    t.push_back({"MSG_STATICCONFIRM", Of(msg_StaticConfirmEncode, MsgStaticConfirm{9}),
                 Through(msg_StaticConfirmDecode, msg_StaticConfirmEncode), "012006000900"});
    t.push_back({"MSG_MSGCONFIRM",
                 [](LeSpanWriter* w) {
                     const uint32_t tags[3] = {0x21, 0x23, 0x25};
                     return msg_MsgConfirmEncode(w, tags, 3);
                 },
                 [](const uint8_t* p, size_t n, LeSpanWriter* w) {
                     MsgMsgConfirm head;
                     uint32_t tags[3];
                     if (msg_MsgConfirmDecode(p, n, &head) != 0 || head.count != 3) return -1;
                     for (uint32_t i = 0; i < 3; i++)
                         if (msg_MsgConfirmTag(p, n, i, &tags[i]) != 0) return -1;
                     if (msg_MsgConfirmTag(p, n, 3, &tags[0]) == 0) return -1;
                     return msg_MsgConfirmEncode(w, tags, 3);
                 },
                 "0220140003000000210000002300000025000000"});
    t.push_back({"MSG_END", [](LeSpanWriter* w) { return msg_EndEncode(w); },
                 [](const uint8_t* p, size_t n, LeSpanWriter* w) { return msg_EndEncode(w); }, "ffff0000"});

    t.push_back({"EVENT_DEBRIS (common form)", Of(msg_EventCommonEncode, MsgEventCommon{EVENT_DEBRIS, 0x21, 0x51, kPos}),
                 Through(msg_EventCommonDecode, msg_EventCommonEncode),
                 "01001800210000005100000044332211feffffffefcdab00"});
    MsgEventText text{kTag, 2, {}};
    Copy(text.text, sizeof text.text, "Kill");
    t.push_back({"EVENT_TEXT", Of(msg_EventTextEncode, text), Through(msg_EventTextDecode, msg_EventTextEncode),
                 "090010000503020102004b696c6c0000"});
    t.push_back({"EVENT_BULLET",
                 Of(msg_EventBulletEncode, MsgBullet{kTag, 0x99, kPos, {10, -20, 30}, kAngles, 0x0102, 5, 1}),
                 Through(msg_EventBulletDecode, msg_EventBulletEncode),
                 "0a002e00050302019900000044332211feffffffefcdab000a000000ecffffff1e00000023014500ff0102010501"});
    MsgEventScores scores{kTag, 2, {{1, 50}, {3, -2}}};
    t.push_back({"EVENT_SCORES", Of(msg_EventScoresEncode, scores), Through(msg_EventScoresDecode, msg_EventScoresEncode),
                 "0b0014000503020102000000010032000300feff"});
    MsgEventName name{kTag, 5, {}, {}, 1, 0xFFFF};
    Copy(name.name, sizeof name.name, "Ace");
    Copy(name.plane, sizeof name.plane, "KRX");
    t.push_back({"EVENT_NAME", Of(msg_EventNameEncode, name), Through(msg_EventNameDecode, msg_EventNameEncode),
                 "0c003400050302010500416365 0*19 4b5258 0*13 0100ffff"});
    t.push_back({"EVENT_LEVEL_RESET", Of(msg_EventLevelResetEncode, MsgEventLevelReset{kTag, 1, 9}),
                 Through(msg_EventLevelResetDecode, msg_EventLevelResetEncode), "15000e0005030201010009000000"});
    MsgEventSquadron sq{kTag, 2, 1, {}};
    Copy(sq.name, sizeof sq.name, "Wolves");
    t.push_back({"EVENT_SQUADRON", Of(msg_EventSquadronEncode, sq),
                 Through(msg_EventSquadronDecode, msg_EventSquadronEncode),
                 "180022000503020102000100576f6c766573 0*16"});
    MsgEventDynamicModel load{kTag, 0, 3, {}};
    Copy(load.name, sizeof load.name, "tank.pak");
    t.push_back({"EVENT_DYMANIC_MODEL load", Of(msg_EventDynamicModelEncode, load),
                 Through(msg_EventDynamicModelDecode, msg_EventDynamicModelEncode),
                 "2000300005030201000000000300000074616e6b2e70616b 0*24"});
    MsgEventDynamicModel release = load;
    release.release = 1;  // the name is left out
    t.push_back({"EVENT_DYMANIC_MODEL release", Of(msg_EventDynamicModelEncode, release),
                 Through(msg_EventDynamicModelDecode, msg_EventDynamicModelEncode),
                 "20003000050302010100000003 0*35"});
    t.push_back({"debug path event", Of(msg_EventDebugPathEncode, MsgEventDebugPath{kTag, 0, 0x77, 0x00FF00, kPos}),
                 Through(msg_EventDebugPathDecode, msg_EventDebugPathEncode),
                 "2300200005030201000000007700000000ff000044332211feffffffefcdab00"});
    return t;
}

TEST(MsgRecords, GoldenBytes) {
    for (const Golden& g : Table()) {
        SCOPED_TRACE(g.name);
        const std::vector<uint8_t> want = Hex(g.hex);
        uint8_t buf[512];
        memset(buf, 0xEE, sizeof buf);
        LeSpanWriter w(buf, sizeof buf);
        ASSERT_EQ(g.encode(&w), 0);
        EXPECT_EQ(std::vector<uint8_t>(buf, buf + w.pos), want);

        uint8_t again[512];
        LeSpanWriter w2(again, sizeof again);
        ASSERT_EQ(g.roundTrip(want.data(), want.size(), &w2), 0);
        EXPECT_EQ(std::vector<uint8_t>(again, again + w2.pos), want);

        // One byte short of room writes nothing; a record cut short does not decode.
        uint8_t small[512];
        LeSpanWriter tight(small, want.size() - 1);
        EXPECT_NE(g.encode(&tight), 0);
        EXPECT_EQ(tight.pos, 0u);
        if (want.size() > 4) {
            uint8_t out[512];
            LeSpanWriter w3(out, sizeof out);
            EXPECT_NE(g.roundTrip(want.data(), want.size() - 1, &w3), 0);
        }
    }
}

TEST(MsgRecords, AngleFormAndSendCounts) {
    EXPECT_EQ(msg_AngleToWire(0x01FFFFFF), 0x01FF);
    EXPECT_EQ(msg_AngleFromWire(0x01FF), 0x01FF0000);
    EXPECT_EQ((uint32_t)msg_AngleFromWire(0xFFFF), 0xFFFF0000u);
    EXPECT_EQ(msg_SendCount(MSG_BULLETHIT), 4);
    EXPECT_EQ(msg_SendCount(MSG_BULLETHIT_ST), 4);
    EXPECT_EQ(msg_SendCount(MSG_PLAYERTRIG), 4);
    EXPECT_EQ(msg_SendCount(MSG_CHAT), 0x400);
    EXPECT_EQ(msg_SendCount(MSG_LAUNCHMISSILE), 0x400);
    EXPECT_TRUE(msg_AppendsAtTail(MSG_BULLETHIT));
    EXPECT_FALSE(msg_AppendsAtTail(MSG_PLAYERTRIG));
}

TEST(MsgRecords, DecodersRefuseBadContent) {
    // A text line without its zero.
    std::vector<uint8_t> text = Hex("090010000503020102004b696c6c4141");
    MsgEventText t;
    EXPECT_NE(msg_EventTextDecode(text.data(), text.size(), &t), 0);
    // Nine scores, more than the table holds, though the record is long enough.
    std::vector<uint8_t> scores = Hex("0b0030000503020109000000 0*36");
    MsgEventScores s;
    EXPECT_NE(msg_EventScoresDecode(scores.data(), scores.size(), &s), 0);
    // A record of another type.
    std::vector<uint8_t> hit = Hex("021012000503020141000000090003003412");
    MsgBullet b;
    EXPECT_NE(msg_BulletFiredDecode(hit.data(), hit.size(), &b), 0);
    // The common form only takes its own ids.
    std::vector<uint8_t> level = Hex("1500180005030201 0*16");
    MsgEventCommon c;
    EXPECT_NE(msg_EventCommonDecode(level.data(), level.size(), &c), 0);
    // A text longer than 127 characters is cut to 127 on the way out.
    MsgEventText longText{1, 0, {}};
    memset(longText.text, 'a', sizeof longText.text);
    uint8_t buf[256];
    LeSpanWriter w(buf, sizeof buf);
    ASSERT_EQ(msg_EventTextEncode(&w, &longText), 0);
    EXPECT_EQ(w.pos, 138u);
    EXPECT_EQ(buf[10 + 127], 0);
}

// ---- The walker ----

struct Walk {
    std::vector<uint16_t> types;
    int32_t status;
};

Walk WalkAll(const std::vector<uint8_t>& packet) {
    MsgWalker w;
    msg_WalkBegin(&w, packet.data(), packet.size());
    Walk out;
    MsgRecord r;
    int32_t rc;
    while ((rc = msg_WalkNext(&w, &r)) > 0) out.types.push_back(r.type);
    out.status = rc;
    EXPECT_EQ(msg_WalkNext(&w, &r), rc);  // a stopped walk stays stopped
    return out;
}

std::vector<uint8_t> Cat(std::initializer_list<const char*> parts) {
    std::vector<uint8_t> out;
    for (const char* p : parts) {
        std::vector<uint8_t> b = Hex(p);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

TEST(MsgWalker, Cases) {
    const char* info = "07001000452301008001fbff0a000000";
    const char* end = "ffff0000";
    std::vector<uint8_t> big(16385, 0);
    big[0] = 0xFF;
    big[1] = 0xFF;
    struct Case {
        const char* name;
        std::vector<uint8_t> packet;
        std::vector<uint16_t> types;
        int32_t status;
    } cases[] = {
        {"only MSG_END", Hex(end), {}, 0},
        {"the client's end mark, type only", Cat({info, "ffff"}), {MSG_PLAYERINFO}, 0},
        {"records, then the end", Cat({info, "0b100a00050302010400", end}), {MSG_PLAYERINFO, MSG_WINGCOMMAND}, 0},
        {"an unknown type is stepped over", Cat({"34120600aabb", info, end}), {0x1234, MSG_PLAYERINFO}, 0},
        {"bytes after the end are not read", Cat({end, "0000"}), {}, 0},
        {"length 0", Cat({info, "07000000", end}), {MSG_PLAYERINFO}, MSG_WALK_BAD_LENGTH},
        {"length 3", Cat({"07000300", end}), {}, MSG_WALK_BAD_LENGTH},
        {"length past the end", Cat({info, "0b100e0005030201"}), {MSG_PLAYERINFO}, MSG_WALK_BAD_LENGTH},
        {"a header cut short", Cat({info, "0b10"}), {MSG_PLAYERINFO}, MSG_WALK_BAD_LENGTH},
        {"no end mark", Hex(info), {MSG_PLAYERINFO}, MSG_WALK_NO_END},
        {"empty", {}, {}, MSG_WALK_NO_END},
        {"one stray byte", Cat({info, "ff"}), {MSG_PLAYERINFO}, MSG_WALK_NO_END},
        {"16385 bytes", big, {}, MSG_WALK_TOO_LARGE},
        {"shorter than its type", Cat({"07000c00452301008001fbff", end}), {}, MSG_WALK_SHORT},
        {"object count past its record", Cat({"020032000200e803000030f8ffffb80b0000 0*32", end}), {}, MSG_WALK_BAD_COUNT},
        {"static count past its record", Cat({"050022000900020078563412 0*22", end}), {}, MSG_WALK_BAD_COUNT},
        {"confirm count past its record", Cat({"02200c000200000021000000", end}), {}, MSG_WALK_BAD_COUNT},
        {"event count past its record",
         Cat({"06001e00020001001800210000005100000044332211feffffffefcdab00", end}), {}, MSG_WALK_BAD_COUNT},
        {"event length past its record",
         Cat({"06001e00010001001900210000005100000044332211feffffffefcdab00", end}), {}, MSG_WALK_BAD_LENGTH},
        {"event shorter than its id",
         Cat({"06001d00010001001700210000005100000044332211feffffffefcdab", end}), {}, MSG_WALK_SHORT},
        {"event of length 0", Cat({"06000e0001000900000005030201", end}), {}, MSG_WALK_BAD_LENGTH},
        {"good events", Cat({"06001e00010001001800210000005100000044332211feffffffefcdab00", end}), {MSG_EVENTDATA}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Walk w = WalkAll(c.packet);
        EXPECT_EQ(w.types, c.types);
        EXPECT_EQ(w.status, c.status);
    }
}

TEST(MsgWalker, ReaderLoopDispatchesByType) {
    std::vector<uint16_t> seen;
    const MsgHandlerEntry table[] = {
        {MSG_PLAYERINFO, [](const MsgRecord* r, void* c) { ((std::vector<uint16_t>*)c)->push_back(r->type); }},
        {MSG_WINGCOMMAND, [](const MsgRecord* r, void* c) { ((std::vector<uint16_t>*)c)->push_back(r->length); }},
    };
    const char* info = "07001000452301008001fbff0a000000";
    std::vector<uint8_t> good = Cat({info, "34120600aabb", "0b100a00050302010400", "ffff0000"});
    EXPECT_EQ(msg_PacketRead(good.data(), good.size(), table, 2, &seen), 0);
    EXPECT_EQ(seen, (std::vector<uint16_t>{MSG_PLAYERINFO, 10}));
    // The records before a violation are handled, none after it.
    seen.clear();
    std::vector<uint8_t> bad = Cat({info, "07000000", info, "ffff0000"});
    EXPECT_EQ(msg_PacketRead(bad.data(), bad.size(), table, 2, &seen), MSG_WALK_BAD_LENGTH);
    EXPECT_EQ(seen, (std::vector<uint16_t>{MSG_PLAYERINFO}));
}

TEST(MsgWalker, EventsOfABundle) {
    std::vector<uint8_t> rec = Cat({"06002c000200", "01001800210000005100000044332211feffffffefcdab00",
                                    "15000e0005030201010009000000"});
    MsgEventWalker ew;
    ASSERT_EQ(msg_EventWalkBegin(&ew, rec.data(), rec.size()), 0);
    MsgRecord ev;
    ASSERT_EQ(msg_EventWalkNext(&ew, &ev), 1);
    MsgEventCommon c;
    ASSERT_EQ(msg_EventCommonDecode(ev.data, ev.length, &c), 0);
    EXPECT_EQ(c.id, EVENT_DEBRIS);
    EXPECT_EQ(c.value, 0x51u);
    ASSERT_EQ(msg_EventWalkNext(&ew, &ev), 1);
    MsgEventLevelReset lr;
    ASSERT_EQ(msg_EventLevelResetDecode(ev.data, ev.length, &lr), 0);
    EXPECT_EQ(lr.runNumber, 9u);
    EXPECT_EQ(msg_EventWalkNext(&ew, &ev), 0);
}

}  // namespace
