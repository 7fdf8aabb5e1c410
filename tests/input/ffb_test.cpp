// Force feedback: settings file, requests, composition, dispatch and the
// aircraft frame.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "input/instate.h"
#include "joy_fixture.h"
#include "shell/settings.h"
#include "sim/plane.h"

namespace {

std::string TempPath(const char* name) {
    return testing::TempDir() + "krx_ffb_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadAll(const std::string& path) {
    std::string out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    fclose(f);
    return out;
}

void WriteAll(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

bool TableIsDefault() { return memcmp(ffb_SettingsTable, ffb_SettingsDefaults, sizeof ffb_SettingsTable) == 0; }

// ---- settings file ----

TEST_F(JoyTest, SettingsFileIsWrittenAsSpecifiedAndReadBack) {
    std::string path = TempPath("write.ffb");
    ffb_SettingsTable[FFB_JOLT] = {0, 0.75f};
    ffb_SettingsTable[FFB_CRASH] = {1, 2.5f};
    ASSERT_EQ(ffb_SettingsWrite(path.c_str()), 0);
    std::string text = ReadAll(path);
    std::string expectStart =
        "//############################################\r\n"
        "// Tarvesk Force Feedback Settings File\r\n"
        "//############################################\r\n"
        "\r\n"
        "VERSION 1\r\n"
        "\r\n"
        "// OVERALL SCALARS\r\n"
        "FORCE 1 1.000000\r\n"
        "RESISTENCE 1 1.000000\r\n"
        "VIBRATE 1 1.000000\r\n"
        "TWITCH 1 1.000000\r\n"
        "JOLT 0 0.750000\r\n"
        "SHOCK 1 1.000000\r\n"
        "\r\n"
        "// FORCE\r\n"
        "YAW 1 1.000000\r\n";
    EXPECT_EQ(text.substr(0, expectStart.size()), expectStart);
    std::string expectEnd =
        "// TWITCH\r\n"
        "FIRE_CANNON 1 1.000000\r\n"
        "\r\n"
        "// JOLT\r\n"
        "LAUNCH_MISSILE 1 1.000000\r\n"
        "DROP_BOMB 1 1.000000\r\n"
        "JETTISON_ORDNANCE 1 1.000000\r\n"
        "TOUCHDOWN 1 1.000000\r\n"
        "EJECT 1 1.000000\r\n"
        "PARACHUTE 1 1.000000\r\n"
        "\r\n"
        "// SHOCK\r\n"
        "AFTERBURNER 1 1.000000\r\n"
        "BULLET_HIT 1 1.000000\r\n"
        "MISSILE_HIT 1 1.000000\r\n"
        "EXPLODE 1 1.000000\r\n"
        "CRASH 1 2.500000\r\n";
    ASSERT_GE(text.size(), expectEnd.size());
    EXPECT_EQ(text.substr(text.size() - expectEnd.size()), expectEnd);
    EXPECT_NE(text.find("\r\n// VIBRATE\r\nSTRESS 1 1.000000\r\nENGINE 1 1.000000\r\nGROUND_FRICTION 1 "
                        "1.000000\r\n\r\n"),
              std::string::npos);
    // Every line ends in CR LF, and nothing is left beside the file.
    size_t lf = 0;
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == '\n') {
            lf++;
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << i;
        }
    EXPECT_EQ(lf, 44u);
    std::string prefix = TempPath("write.ffb.").substr(testing::TempDir().size());
    for (const auto& e : std::filesystem::directory_iterator(testing::TempDir()))
        EXPECT_NE(e.path().filename().string().rfind(prefix, 0), 0u) << e.path();

    FfbSetting written[FFB_SETTING_COUNT];
    memcpy(written, ffb_SettingsTable, sizeof written);
    memcpy(ffb_SettingsTable, ffb_SettingsDefaults, sizeof ffb_SettingsTable);
    ASSERT_EQ(ffb_SettingsRead(path.c_str()), 0);
    EXPECT_EQ(memcmp(ffb_SettingsTable, written, sizeof written), 0);
    remove(path.c_str());
    // A file that cannot be written leaves -1.
    EXPECT_EQ(ffb_SettingsWrite((testing::TempDir() + "no/such/dir/KRX.FFB").c_str()), -1);
}

TEST_F(JoyTest, SettingsReadTakesTheLastVersionAndKeepsDefaultsOtherwise) {
    struct Case {
        const char* text;
        int32_t result;
        int32_t pair;  // checked pair after a successful read, -1 none
        FfbSetting value;
    } cases[] = {
        {"VERSION 1\nJOLT 0 0.5\n", 0, FFB_JOLT, {0, 0.5f}},
        {"VERSION 2\nJOLT 0 0.5\n", -1, -1, {}},
        {"JOLT 0 0.5\n", -1, -1, {}},
        {"VERSION 2\nJOLT 0 0.5\nVERSION 1\n", 0, FFB_JOLT, {0, 0.5f}},
        {"VERSION 1\nJOLT 0 0.5\nVERSION 2\n", -1, -1, {}},
        {"VERSION\nJOLT 0 0.5\n", -1, -1, {}},
        {"VERSION one\n", -1, -1, {}},
        {"version 1\njolt 3 0.25\n", 0, FFB_JOLT, {3, 0.25f}},
        {"// VERSION 2\nVERSION 1\r\nG 0 2.0\r\n", 0, FFB_G, {0, 2.0f}},
        {"VERSION 1\n\n\t  YAW   0   -1.5   trailing words\n", 0, FFB_YAW, {0, -1.5f}},
        {"VERSION 1\nYAW 0\n", 0, FFB_YAW, {1, 1.0f}},             // too few words
        {"VERSION 1\nYAW x 0.5\n", 0, FFB_YAW, {1, 1.0f}},         // damaged number
        {"VERSION 1\nYAW 0 nan\n", 0, FFB_YAW, {1, 1.0f}},
        {"VERSION 1\nYAW 0 1e999\n", 0, FFB_YAW, {1, 1.0f}},
        {"VERSION 1\nYAW 99999999999 1\n", 0, FFB_YAW, {1, 1.0f}},
        {"VERSION 1\nYAWN 0 0.5\n", 0, FFB_YAW, {1, 1.0f}},
        {"VERSION 1\nYAW 0 0.5\nYAW 1 0.25\n", 0, FFB_YAW, {1, 0.25f}},
        {"VERSION 1\nCRASH 0 0.5", 0, FFB_CRASH, {0, 0.5f}},  // no final newline
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ffb_SettingsTable[FFB_SHOCK] = {0, 9.0f};  // whatever was there before is replaced
        EXPECT_EQ(ffb_SettingsParse(c.text, strlen(c.text)), c.result);
        if (c.pair < 0) {
            EXPECT_TRUE(TableIsDefault());
            continue;
        }
        EXPECT_EQ(ffb_SettingsTable[c.pair].enabled, c.value.enabled);
        EXPECT_FLOAT_EQ(ffb_SettingsTable[c.pair].scale, c.value.scale);
        EXPECT_EQ(ffb_SettingsTable[FFB_SHOCK].enabled, 1);
    }
}

TEST_F(JoyTest, SettingsReadOfMissingLargeOrDamagedFiles) {
    EXPECT_EQ(ffb_SettingsRead(TempPath("missing.ffb").c_str()), -1);
    EXPECT_TRUE(TableIsDefault());
    EXPECT_EQ(ffb_SettingsRead(nullptr), -1);

    std::string path = TempPath("damaged.ffb");
    // Binary junk, a NUL that ends its line's text, a huge line, and a good
    // line after them.
    std::string text = "VERSION 1\n";
    text += std::string("JOLT\0 0 0.5\n", 12);
    text += std::string(100000 / 2, 'x') + "\n";
    text += "\xff\xfe\x01 2 3\n";
    text += "TOUCHDOWN 0 0.125\n";
    WriteAll(path, text.substr(0, FFB_SETTINGS_MAX_SIZE));
    EXPECT_EQ(ffb_SettingsRead(path.c_str()), 0);
    EXPECT_EQ(ffb_SettingsTable[FFB_JOLT].enabled, 1);
    EXPECT_FLOAT_EQ(ffb_SettingsTable[FFB_TOUCHDOWN].scale, 0.125f);
    // Past the size a settings file can have: refused, defaults stay.
    WriteAll(path, "VERSION 1\nJOLT 0 0.5\n" + std::string(FFB_SETTINGS_MAX_SIZE, '\n'));
    EXPECT_EQ(ffb_SettingsRead(path.c_str()), -1);
    EXPECT_TRUE(TableIsDefault());
    remove(path.c_str());
}

// Start-up writes the defaults over a settings file it could not read: the
// player's old file is kept as NAME.bak first, and only then.
TEST_F(JoyTest, UnreadSettingsFileIsKeptBeforeTheDefaultsReplaceIt) {
    std::string path = TempPath("KRX.FFB");
    std::string bak = path + ".bak";
    remove(bak.c_str());
    const std::string damaged = "VERSI0N 1\r\nJOLT 0 0.5\r\n";
    WriteAll(path, damaged);
    ASSERT_EQ(ffb_SettingsRead(path.c_str()), -1);
    testing::internal::CaptureStderr();
    ASSERT_EQ(ffb_SettingsWrite(path.c_str()), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadAll(bak), damaged);
    EXPECT_NE(err.find(bak), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(ffb_SettingsRead(path.c_str()), 0);
    // A file that was read is replaced without a copy; so is a missing one.
    remove(bak.c_str());
    ASSERT_EQ(ffb_SettingsWrite(path.c_str()), 0);
    remove(path.c_str());
    EXPECT_EQ(ffb_SettingsRead(path.c_str()), -1);
    ASSERT_EQ(ffb_SettingsWrite(path.c_str()), 0);
    EXPECT_EQ(ReadAll(bak), "");
    remove(path.c_str());
}

// ---- pool and requests ----

class RequestTest : public JoyTest {
protected:
    void SetUp() override {
        JoyTest::SetUp();
        ASSERT_EQ(ffb_Init(4), 0);
    }
    static std::vector<_FEEDBACK_EVENT> Queue() {  // oldest first
        std::vector<_FEEDBACK_EVENT> out;
        for (_FEEDBACK_EVENT* e = ffb_ActiveList.tail; e; e = e->prev) out.push_back(*e);
        return out;
    }
};

TEST_F(RequestTest, PoolOfRequestsRunsOutAndComesBack) {
    EXPECT_EQ(ffb_FreeList.count, 4);
    for (int i = 0; i < 4; i++) EXPECT_EQ(ffb_ShockRequest(0.1f * (float)i, 100), 0);
    EXPECT_EQ(ffb_ShockRequest(1.0f, 100), -1);
    EXPECT_EQ(ffb_EventCrash(), -1);
    EXPECT_EQ(ffb_ActiveList.count, 4);
    auto q = Queue();
    EXPECT_FLOAT_EQ(q[0].shock.magnitude, 0.0f);
    EXPECT_FLOAT_EQ(q[3].shock.magnitude, 0.3f);
    EXPECT_EQ(q[0].active, 1);
    ffb_FrameDispatch();  // no joystick: every request is dropped
    EXPECT_EQ(ffb_ActiveList.count, 0);
    EXPECT_EQ(ffb_FreeList.count, 4);
    // A pool of at least one.
    ASSERT_EQ(ffb_Init(0), 0);
    EXPECT_EQ(ffb_FreeList.count, 1);
    ffb_Shutdown();
    EXPECT_EQ(ffb_FreeList.count + ffb_ActiveList.count, 0);
    EXPECT_EQ(ffb_ForceRequest(0, 0), -1);
}

TEST_F(RequestTest, DisabledKindsQueueZerosOrNothing) {
    ffb_SettingsTable[FFB_FORCE].enabled = 0;
    ffb_SettingsTable[FFB_RESISTENCE].enabled = 0;
    ffb_SettingsTable[FFB_VIBRATE].enabled = 0;
    EXPECT_EQ(ffb_ForceRequest(0.5f, 0.5f), 0);
    EXPECT_EQ(ffb_ResistenceRequest(1, 1, 1, 1), 0);
    EXPECT_EQ(ffb_VibrateRequest(0.7f), 0);
    auto q = Queue();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0].kind, EJOY_EFFECT_FORCE);
    EXPECT_EQ(q[0].force.x + q[0].force.y, 0.0f);
    EXPECT_EQ(q[1].resistence.a + q[1].resistence.d, 0.0f);
    EXPECT_EQ(q[2].vibrate.magnitude, 0.0f);
    ffb_StopAll();
    // Twitch off: the cannon queues nothing though its own pair is on.
    ffb_SettingsTable[FFB_TWITCH].enabled = 0;
    EXPECT_EQ(ffb_EventFireCannon(), 0);
    EXPECT_EQ(ffb_TwitchRequest(0, 1, 100, 0), 0);
    ffb_SettingsTable[FFB_JOLT].enabled = 0;
    EXPECT_EQ(ffb_JoltRequest(0, 1, 100, 0), 0);
    ffb_SettingsTable[FFB_SHOCK].enabled = 0;
    EXPECT_EQ(ffb_ShockRequest(1, 100), 0);
    EXPECT_EQ(ffb_ActiveList.count, 0);
    // The event's own pair off: nothing, whatever its kind says.
    memcpy(ffb_SettingsTable, ffb_SettingsDefaults, sizeof ffb_SettingsTable);
    ffb_SettingsTable[FFB_EXPLODE].enabled = 0;
    EXPECT_EQ(ffb_EventExplode(), 0);
    EXPECT_EQ(ffb_ActiveList.count, 0);
}

TEST_F(RequestTest, EventsQueueTheirEffectScaled) {
    struct Case {
        int32_t (*event)(void);
        int32_t pair;
        int32_t kind;
        float y;  // or the shock's magnitude, for a scale of 2
        int32_t ms, flag;
    } cases[] = {
        {ffb_EventFireCannon, FFB_FIRE_CANNON, EJOY_EFFECT_TWITCH, 1.0f, 100, 0},
        {ffb_EventLaunchMissile, FFB_LAUNCH_MISSILE, EJOY_EFFECT_JOLT, 1.8f, 600, 1},
        {ffb_EventDropBomb, FFB_DROP_BOMB, EJOY_EFFECT_JOLT, 1.8f, 700, 1},
        {ffb_EventJettison, FFB_JETTISON_ORDNANCE, EJOY_EFFECT_JOLT, 1.6f, 1000, 1},
        {ffb_EventTouchdown, FFB_TOUCHDOWN, EJOY_EFFECT_JOLT, -2.0f, 3000, 0},
        {ffb_EventEject, FFB_EJECT, EJOY_EFFECT_JOLT, 2.0f, 1500, 0},
        {ffb_EventParachute, FFB_PARACHUTE, EJOY_EFFECT_JOLT, -2.0f, 1500, 0},
        {ffb_EventAfterburner, FFB_AFTERBURNER, EJOY_EFFECT_SHOCK, 0.7f, 1000, 0},
        {ffb_EventBulletHit, FFB_BULLET_HIT, EJOY_EFFECT_SHOCK, 2.0f, 400, 0},
        {ffb_EventMissileHit, FFB_MISSILE_HIT, EJOY_EFFECT_SHOCK, 2.0f, 500, 0},
        {ffb_EventExplode, FFB_EXPLODE, EJOY_EFFECT_SHOCK, 2.0f, 1000, 0},
        {ffb_EventCrash, FFB_CRASH, EJOY_EFFECT_SHOCK, 2.0f, 1500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ffb_SettingNames[c.pair]);
        ffb_SettingsTable[c.pair].scale = 2.0f;
        ASSERT_EQ(c.event(), 0);
        auto q = Queue();
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(q[0].kind, c.kind);
        if (c.kind == EJOY_EFFECT_SHOCK) {
            EXPECT_FLOAT_EQ(q[0].shock.magnitude, c.y);
            EXPECT_EQ(q[0].shock.milliseconds, c.ms);
        } else {
            EXPECT_EQ(q[0].twitch.x, 0.0f);
            EXPECT_FLOAT_EQ(q[0].twitch.y, c.y);
            EXPECT_EQ(q[0].twitch.milliseconds, c.ms);
            EXPECT_EQ(q[0].twitch.flag, c.flag);
        }
        ffb_StopAll();
    }
}

// ---- composition ----

TEST_F(RequestTest, ForceComposition) {
    const float k = 0.017453f;
    struct Case {
        float yaw, pitch, velocity, g, balance, level;
        float x, y;
    } cases[] = {
        {0, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 1, 0.5f, 0, 0, 0, 0.45f + 0.1f},  // yaw term and velocity
        {90, 0, 1, 0, 0, 0, 0.45f * std::sin(90 * k), 0.45f * std::cos(90 * k) + 0.1f},
        {100, 0, 1, 0, 0, 0, 0, 0.1f},  // yaw beyond 90: no yaw term; pitch 0: none either
        {100, 60, 1, 0, 0, 0, 0.35f * std::sin(100 * k), 0.1f + 0.35f * std::cos(100 * k)},
        {0, 60, 1, 0, 0, 0, 0, 0.45f + 0.35f + 0.1f},
        {0, -60, 1, 0, 0, 0, 0, 0.45f - 0.35f + 0.1f},
        {0, 15, 1, 0, 0, 0, 0, 0.45f + 0.35f * std::sin(30 * k) + 0.1f},
        {0, 0, 0, 5, 0, 0, 0, -0.125f},
        {0, 0, 0, -3, 0, 0, 0, 1.0f},
        {0, 0, 0, -1.5f, 0, 0, 0, 0.125f},
        {0, 0, 0, -4, 0, 0, 0, 1.0f},
        {0, 0, 0, 9, 0, 0, 0, -1.0f},
        {0, 0, 0, 0.99f, 0, 0, 0, 0},
        {0, 0, 0, 0, 0.5f, 0.4f, 0.5f + 0.2f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.yaw << " " << c.pitch << " " << c.velocity << " " << c.g);
        ffb_YawSet(c.yaw);
        ffb_PitchSet(c.pitch);
        ffb_VelocitySet(c.velocity);
        ffb_GSet(c.g);
        ffb_BalanceSet(c.balance);
        ffb_LevelSet(c.level);
        ASSERT_EQ(ffb_ForceCompose(), 0);
        auto q = Queue();
        ASSERT_EQ(q.size(), 1u);
        EXPECT_NEAR(q[0].force.x, c.x, 1e-5);
        EXPECT_NEAR(q[0].force.y, c.y, 1e-5);
        ffb_StopAll();
    }
    // Each source's own scale, and a source switched off.
    ffb_SettingsTable[FFB_G].scale = 0.5f;
    ffb_SettingsTable[FFB_VELOCITY].enabled = 0;
    ffb_GSet(5);
    ffb_VelocitySet(1);
    ffb_ForceCompose();
    EXPECT_NEAR(Queue()[0].force.y, 0.45f - 0.0625f, 1e-5);
}

TEST_F(RequestTest, VibrationComposition) {
    struct Case {
        float stress, engine, friction, expect;
    } cases[] = {
        {0, 0, 0, 0},
        {-0.5f, 0, 0, 0},
        {0.3f, 1.0f, 0, 0.3f},
        {0.1f, 1.0f, 0, 0.25f},
        {0.1f, 0, 1.0f, 0.35f},
        {0.5f, 1.0f, 1.0f, 0.5f},
    };
    for (const Case& c : cases) {
        ffb_StressSet(c.stress);
        ffb_EngineSet(c.engine);
        ffb_GroundFrictionSet(c.friction);
        ASSERT_EQ(ffb_VibrateCompose(), 0);
        EXPECT_FLOAT_EQ(Queue()[0].vibrate.magnitude, c.expect);
        ffb_StopAll();
    }
    ffb_SettingsTable[FFB_STRESS].enabled = 0;
    ffb_StressSet(0.9f);
    ffb_VibrateCompose();
    EXPECT_FLOAT_EQ(Queue()[0].vibrate.magnitude, 0.0f);
}

// ---- dispatch to the effects ----

class DispatchTest : public JoyTest {
protected:
    void Begin(bool ffb = true) {
        dev_ = Add("Force Stick", ffb);
        Start(true);
    }
    int32_t dev_ = -1;
};

TEST_F(DispatchTest, InitCreatesTheSixEffectsWithTheirGainsAndDefaults) {
    Add("Plain");
    Begin();
    _EJOY_INFO* plain = ejoy_InfoHead;
    _EJOY_INFO* stick = plain->next;
    EXPECT_EQ(plain->effectCount, 0);
    ASSERT_EQ(stick->effectCount, 6);
    const char* names[] = {"Force", "Resistence", "Vibrate", "Twitch", "Jolt", "Shock"};
    int32_t kind = 0;
    for (_EJOY_EFFECT* e = stick->effectHead; e; e = e->next, kind++) {
        EXPECT_EQ(e->kind, kind);
        EXPECT_STREQ(e->name, names[kind]);
    }
    auto* force = (_EJOY_EFFECT_FORCE*)ejoy_EffectFind(stick, EJOY_EFFECT_FORCE);
    auto* twitch = (_EJOY_EFFECT_TWITCH*)ejoy_EffectFind(stick, EJOY_EFFECT_TWITCH);
    auto* shock = (_EJOY_EFFECT_SHOCK*)ejoy_EffectFind(stick, EJOY_EFFECT_SHOCK);
    EXPECT_EQ(force->gain, &ffb_SettingsTable[FFB_FORCE].scale);
    EXPECT_EQ(shock->gain, &ffb_SettingsTable[FFB_SHOCK].scale);
    EXPECT_FLOAT_EQ(((_EJOY_EFFECT_RESISTENCE*)ejoy_EffectFind(stick, 1))->c, 0.5f);
    EXPECT_FLOAT_EQ(((_EJOY_EFFECT_VIBRATE*)ejoy_EffectFind(stick, 2))->magnitude, 0.25f);
    EXPECT_FLOAT_EQ(twitch->y, 1.0f);
    EXPECT_EQ(twitch->milliseconds, 500);
    EXPECT_EQ(twitch->directionFlag, 1);
    EXPECT_FLOAT_EQ(shock->magnitude, 1.0f);
    EXPECT_EQ(ffb_DeviceEffectsCreate(nullptr), -1);
    // The feedback flag follows the active joystick and the setting.
    EXPECT_EQ(ffb_ActiveCompute(1), 1);
    EXPECT_EQ(ffb_ActiveCompute(0), 0);
    ejoy_DeviceSelect(plain);
    EXPECT_EQ(ffb_ActiveCompute(1), 0);
}

TEST_F(DispatchTest, OldestRequestFirstAndGainsFromTheSettings) {
    Begin();
    ffb_SettingsTable[FFB_SHOCK].scale = 0.5f;
    ffb_ShockRequest(1.0f, 200);
    ffb_ForceRequest(0.25f, 0.0f);
    ffb_FrameDispatch();
    EXPECT_EQ(ffb_ActiveList.count, 0);
    auto params = Log(PLAT_JOYLOG_SETPARAMS);
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0].kind, PLAT_EFFECT_SQUARE);
    EXPECT_EQ(params[0].params.periodMagnitude, 5000u);
    EXPECT_EQ(params[0].params.duration, 200000u);
    EXPECT_EQ(params[1].kind, PLAT_EFFECT_CONSTANT);
    EXPECT_EQ(params[1].params.direction[0], -2500);
}

TEST_F(DispatchTest, JoltFallsBackToTheShock) {
    Begin();
    _EJOY_INFO* stick = ejoy_ActiveDevice;
    ejoy_EffectDestroy(ejoy_EffectFind(stick, EJOY_EFFECT_JOLT));
    plat_JoyHeadlessLogClear();
    ffb_SettingsTable[FFB_LAUNCH_MISSILE].scale = 0.5f;
    ASSERT_EQ(ffb_EventLaunchMissile(), 0);
    ffb_FrameDispatch();
    auto params = Log(PLAT_JOYLOG_SETPARAMS);
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].kind, PLAT_EFFECT_SQUARE);
    // 0.5 x |(0, 0.9 x 0.5)| = 0.225, for half of 600 ms.
    EXPECT_EQ(params[0].params.periodMagnitude, 2250u);
    EXPECT_EQ(params[0].params.duration, 300000u);
    // Without a shock either, the request goes unplayed.
    ejoy_EffectDestroy(ejoy_EffectFind(stick, EJOY_EFFECT_SHOCK));
    plat_JoyHeadlessLogClear();
    ffb_EventLaunchMissile();
    ffb_FrameDispatch();
    EXPECT_TRUE(Log(PLAT_JOYLOG_SETPARAMS).empty());
    EXPECT_EQ(ffb_ActiveList.count, 0);
}

TEST_F(DispatchTest, JoystickWithoutForceFeedbackPlaysNothing) {
    Begin(false);
    ffb_ForceRequest(1, 1);
    ffb_EventCrash();
    ffb_FrameDispatch();
    EXPECT_TRUE(Log(PLAT_JOYLOG_SETPARAMS).empty());
    EXPECT_EQ(ffb_FreeList.count, 20);
}

TEST_F(DispatchTest, StopAllStopsDropsAndZeroes) {
    Begin();
    ffb_GSet(3.0f);
    ffb_EventExplode();
    ffb_StopAll();
    EXPECT_EQ(ffb_ActiveList.count, 0);
    EXPECT_EQ(Log(PLAT_JOYLOG_STOP).size(), 8u);  // six effects and the two squares
    for (float v : ffb_ForceValues) EXPECT_EQ(v, 0.0f);
}

// ---- the aircraft frame ----

TEST_F(RequestTest, AircraftFrameRunsEachHalfEveryEighthCall) {
    ASSERT_EQ(ffb_Init(200), 0);
    std::string kinds;
    for (int call = 1; call <= 17; call++) {
        ffb_AircraftFrame();
        std::string now;
        for (const _FEEDBACK_EVENT& e : Queue()) now += (char)('0' + e.kind);
        kinds += now + "|";
        ffb_StopAll();
    }
    // The vibration on calls 1, 9, 17; force and resistance on 5 and 13.
    EXPECT_EQ(kinds, "2||||01||||2||||01||||2|");
}

TEST_F(RequestTest, AircraftHalvesReadThePlayersAircraft) {
    PlaneFeedbackState p{};
    p.yawForce = 10;
    p.pitchForce = -20;
    p.speed = 300;
    p.referenceSpeed = 200;
    p.gLoad = 4.2f;
    p.level = -0.5f;
    p.balanceFactor = 0.5f;
    p.hasOrdnanceManager = 1;
    p.imbalance = 1500;
    app_Settings.UNBALANCED_LOADOUTS = 1;
    ffb_AircraftHalf(0, &p);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_YAW], 10);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_PITCH], -20);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_VELOCITY], 1.0f);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_G], 4.2f);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_BALANCE], 0.25f);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_LEVEL], 0.25f);
    auto q = Queue();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].kind, EJOY_EFFECT_FORCE);
    EXPECT_EQ(q[1].kind, EJOY_EFFECT_RESISTENCE);
    EXPECT_FLOAT_EQ(q[1].resistence.a, 0.13f);
    EXPECT_FLOAT_EQ(q[1].resistence.d, 0.7f);
    EXPECT_FLOAT_EQ(q[1].resistence.c, 0.35f);
    ffb_StopAll();

    // Resistance against g: negative loads stiffen the other way; both
    // clamped to 0.13..1.
    struct Case {
        float g, c, d;
    } cases[] = {{-1.5f, 0.5f, 0.25f}, {-6, 1.0f, 1.0f}, {0, 0.13f, 0.13f}, {0.5f, 0.13f, 0.13f}, {12, 1.0f, 1.0f}};
    for (const Case& c : cases) {
        p.gLoad = c.g;
        ffb_AircraftHalf(0, &p);
        EXPECT_FLOAT_EQ(Queue()[1].resistence.c, c.c) << c.g;
        EXPECT_FLOAT_EQ(Queue()[1].resistence.d, c.d) << c.g;
        ffb_StopAll();
    }

    // On the ground: no balance or level; engine and ground friction count.
    p.onGround = 1;
    p.engineOutput = 0.5f;
    p.groundReferenceSpeed = 600;
    p.stress = 0.1f;
    inmap_ThrottlePresets[INMAP_THROTTLE_AB] = 1.0f;
    ffb_AircraftHalf(0, &p);
    EXPECT_EQ(ffb_ForceValues[FFB_CH_BALANCE], 0.0f);
    EXPECT_EQ(ffb_ForceValues[FFB_CH_LEVEL], 0.0f);
    ffb_StopAll();
    ffb_AircraftHalf(1, &p);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_STRESS], 0.1f);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_ENGINE], 0.5f);
    EXPECT_FLOAT_EQ(ffb_ForceValues[FFB_CH_GROUND_FRICTION], 0.5f);
    EXPECT_FLOAT_EQ(Queue()[0].vibrate.magnitude, 0.175f);
    ffb_StopAll();
    // No AB preset: no engine term rather than a division by zero.
    inmap_ThrottlePresets[INMAP_THROTTLE_AB] = 0.0f;
    ffb_AircraftHalf(1, &p);
    EXPECT_EQ(ffb_ForceValues[FFB_CH_ENGINE], 0.0f);
    ffb_StopAll();

    // A player who cannot fly: every channel 0 and a light resistance.
    p.noControl = 1;
    ffb_GSet(3);
    ffb_AircraftHalf(0, &p);
    for (int ch = FFB_CH_YAW; ch <= FFB_CH_LEVEL; ch++) EXPECT_EQ(ffb_ForceValues[ch], 0.0f);
    auto q2 = Queue();
    EXPECT_FLOAT_EQ(q2[0].force.y, 0.0f);
    EXPECT_FLOAT_EQ(q2[1].resistence.c, 0.13f);
    ffb_StopAll();
    ffb_AircraftHalf(1, nullptr);
    EXPECT_FLOAT_EQ(Queue()[0].vibrate.magnitude, 0.0f);
    app_Settings.UNBALANCED_LOADOUTS = 0;
}

}  // namespace
