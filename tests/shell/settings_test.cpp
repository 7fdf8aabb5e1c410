// The settings files: APP.INI and KRX.INI reading rules, and writing that
// never loses the old file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <string>

#include "base/file_fixture.h"
#include "input/ejoy.h"
#include "shell/settings.h"

namespace {

// The file modules' fresh heaps, file layer and working folder, with the
// settings at their defaults.
class Settings : public FileEnv {
protected:
    void SetUp() override {
        FileEnv::SetUp();
        if (HasFatalFailure()) return;
        cfg_SettingsDefaults();
    }
    static void Write(const std::string& name, const std::string& text) { test_WriteText(name, text); }
    static std::string Read(const std::string& name) { return test_ReadText(name); }
    // KRX.INI of version 1 holding the lines.
    static void Ini(const std::string& lines) { Write("KRX.INI", "// test\r\nVERSION 1\r\n\r\n" + lines); }
};

}  // namespace

TEST_F(Settings, AppIniRules) {
    std::string longText(128, 'x');
    Write("APP.INI",
          "// macros\r\nSKIP_16BIT_CHECK 1 extra\r\nVERSION 1\r\nCHAT 0 \"hello there\"\r\nCHAT 10 \"ignored\"\r\n"
          "CHAT -1 \"ignored\"\r\nCHAT 2 \"" +
              longText + "\"\r\nCHAT 3 \"" + longText.substr(1) + "\"\r\nchat 4\r\nSKIP_BAD3DFXDLLS_CHECK 5\r\n");
    app_IniRead();
    EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, 1);
    EXPECT_EQ(app_Ini.SKIP_BAD3DFXDLLS_CHECK, 5);
    EXPECT_STREQ(app_Ini.chat[0], "hello there");
    EXPECT_STREQ(app_Ini.chat[2], "");
    EXPECT_EQ(strlen(app_Ini.chat[3]), 127u);
    EXPECT_STREQ(app_Ini.chat[4], "");

    // Without a VERSION above 0 nothing is taken.
    Write("APP.INI", "VERSION 0\r\nSKIP_16BIT_CHECK 1\r\nCHAT 1 \"x\"\r\n");
    app_IniRead();
    EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, 0);
    EXPECT_STREQ(app_Ini.chat[1], "");

    // Written back, read again.
    app_Ini.SKIP_16BIT_CHECK = 1;
    snprintf(app_Ini.chat[9], sizeof app_Ini.chat[9], "%s", "good game");
    ASSERT_EQ(app_IniWrite(), 0);
    app_IniRead();
    EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, 1);
    EXPECT_STREQ(app_Ini.chat[9], "good game");
    EXPECT_NE(Read("APP.INI").find("CHAT 9 \"good game\"\r\n"), std::string::npos);
}

TEST_F(Settings, KrxIniReadingRules) {
    Ini("MUSIC_VOLUME 128\r\nSFX_VOLUME 300\r\nDIALOG_VOLUME -4\r\nDEATHMATCH_MAX_PLAYERS 0\r\n"
        "GAME_RESOLUTION 1280\r\nmenu_fullscreen 0\r\nFEEDBACK_ENABLED 0\r\nPORT 0\r\nFLOW_CONTROL 7\r\n"
        "STOP_BITS 3\r\nPARITY 2\r\nBITDEPTH_SOFTWARE 12\r\nBITDEPTH_HARDWARE 32\r\nKEY_YES 106\r\n"
        "LOADOUT_TYPE 5\r\nCURRENT_PROVIDER -5\r\nJOYSTICK_LAYOUT \"nonsense\"\r\nCONTEST 9\r\n"
        "HW3D_DLL_FILENAME \"a_very_long_library_name.dll\"\r\nSIDE_PASSWORD \"side pass\"\r\n"
        "EKEY_INDEX_END_MISSION 300\r\nHIGHEST_COMPLETED_MISSION 64 5\r\nHIGHEST_COMPLETED_MISSION 63 -2\r\n"
        "HIGHEST_COMPLETED_MISSION 7\r\nSHOW_AOA 1 2\r\nSHOW_MACH\r\nCARD_NUMBER -9\r\n");
    ASSERT_EQ(cfg_SettingsRead(), 0);
    const AppSettings& s = app_Settings;
    EXPECT_EQ(s.MUSIC_VOLUME, 128);
    EXPECT_EQ(s.SFX_VOLUME, 255);
    EXPECT_EQ(s.DIALOG_VOLUME, 0);
    EXPECT_EQ(s.DEATHMATCH_MAX_PLAYERS, 1);
    EXPECT_EQ(s.GAME_RESOLUTION, 0);
    EXPECT_EQ(s.menuWindowed, 1);
    EXPECT_EQ(s.feedbackOff, 1);
    EXPECT_EQ(s.PORT, 1);
    EXPECT_EQ(s.FLOW_CONTROL, 4);
    EXPECT_EQ(s.STOP_BITS, 0);
    EXPECT_EQ(s.PARITY, 2);
    EXPECT_EQ(s.BITDEPTH_SOFTWARE, 16);
    EXPECT_EQ(s.BITDEPTH_HARDWARE, 32);
    EXPECT_EQ(s.keyYesUpper, 'J');
    EXPECT_EQ(s.keyYesLower, 'j');
    EXPECT_EQ(s.LOADOUT_TYPE, 1);
    EXPECT_EQ(s.CURRENT_PROVIDER, -1);
    EXPECT_EQ(s.JOYSTICK_LAYOUT, 0);
    EXPECT_EQ(s.CONTEST, 1);
    EXPECT_STREQ(s.HW3D_DLL_FILENAME, "a_very_long_lib");
    EXPECT_STREQ(s.SIDE_PASSWORD, "SIDE PASS");
    EXPECT_EQ(s.EKEY_INDEX_END_MISSION, 255);
    EXPECT_EQ(s.HIGHEST_COMPLETED_MISSION[63], 0);
    EXPECT_EQ(s.HIGHEST_COMPLETED_MISSION[7], 0);
    // Lines whose word count does not fit are ignored.
    EXPECT_EQ(s.SHOW_AOA, 0);
    EXPECT_EQ(s.CARD_NUMBER, -9);
}

TEST_F(Settings, OtherVersionOrMissingFileKeepsTheDefaults) {
    Write("KRX.INI", "VERSION 2\r\nSFX_VOLUME 3\r\n");
    EXPECT_EQ(cfg_SettingsRead(), -1);
    EXPECT_EQ(app_Settings.SFX_VOLUME, 255);
    Write("KRX.INI", "SFX_VOLUME 3\r\n");
    EXPECT_EQ(cfg_SettingsRead(), -1);
    std::filesystem::remove("KRX.INI");
    EXPECT_EQ(cfg_SettingsRead(), -1);
    EXPECT_EQ(app_Settings.SFX_VOLUME, 255);
}

TEST_F(Settings, WrittenValuesReadBackTheSame) {
    AppSettings& s = app_Settings;
    s.GAME_RESOLUTION = 2;
    s.menuWindowed = 1;
    s.JOYSTICK_LAYOUT = 13;
    for (int i = 0; i < 16; i++) s.JOYSTICK_INSTANCE[i] = (uint8_t)(0x11 * i + 3);
    snprintf(s.PLAYER_NAME, sizeof s.PLAYER_NAME, "%s", "Red Baron");
    s.HIGHEST_COMPLETED_MISSION[40] = 200;
    s.keyNoUpper = 'Q', s.keyNoLower = 'q';
    ASSERT_EQ(cfg_SettingsWrite(), 0);
    AppSettings written = s;
    std::string text = Read("KRX.INI");
    EXPECT_NE(text.find("JOYSTICK_LAYOUT \"WINGMAN_FORCE_FEEDBACK\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("JOYSTICK_INSTANCE \"36251403-5847-7A69-8B9C-ADBECFE0F102\"\r\n"), std::string::npos)
        << text.substr(text.find("JOYSTICK_INSTANCE"), 60);

    cfg_SettingsDefaults();
    ASSERT_EQ(cfg_SettingsRead(), 0);
    EXPECT_EQ(s.GAME_RESOLUTION, 2);
    EXPECT_EQ(s.menuWindowed, 1);
    EXPECT_EQ(s.JOYSTICK_LAYOUT, 13);
    EXPECT_EQ(memcmp(s.JOYSTICK_INSTANCE, written.JOYSTICK_INSTANCE, 16), 0);
    EXPECT_STREQ(s.PLAYER_NAME, "Red Baron");
    EXPECT_EQ(s.HIGHEST_COMPLETED_MISSION[40], 200);
    EXPECT_EQ(s.keyNoLower, 'q');
    // And the same text again.
    ASSERT_EQ(cfg_SettingsWrite(), 0);
    EXPECT_EQ(Read("KRX.INI"), text);
}

// Names of the files in the working folder.
static std::vector<std::string> Files() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(".")) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(Settings, AFailedWriteLeavesTheOldFile) {
    Ini("SFX_VOLUME 12\r\n");
    std::string before = Read("KRX.INI");
    // The disk fills up half way through the new file.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 200;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int32_t result = cfg_SettingsWrite();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Read("KRX.INI"), before);
    EXPECT_EQ(Files(), std::vector<std::string>{"KRX.INI"});  // no temporary left
    EXPECT_EQ(cfg_SettingsWrite(), 0);
    EXPECT_NE(Read("KRX.INI"), before);
    EXPECT_EQ(Files(), std::vector<std::string>{"KRX.INI"});
}

// Two copies of the program started with MANY write the same settings: each
// writes a temporary of its own, and neither touches the other's.
TEST_F(Settings, WritesNeverTouchAnotherCopysTemporary) {
    Write("KRX.INI.new", "half of another copy's file");
    Write("APP.INI.new", "half of another copy's file");
    ASSERT_EQ(cfg_SettingsWrite(), 0);
    ASSERT_EQ(app_IniWrite(), 0);
    EXPECT_EQ(Read("KRX.INI.new"), "half of another copy's file");
    EXPECT_EQ(Read("APP.INI.new"), "half of another copy's file");
    EXPECT_EQ(Files(), (std::vector<std::string>{"APP.INI", "APP.INI.new", "KRX.INI", "KRX.INI.new"}));
    EXPECT_EQ(Read("KRX.INI").substr(0, 46), "//############################################");
}

// Numbers past the 32-bit range take its nearest end, then the key's own
// limits, instead of wrapping round.
TEST_F(Settings, NumbersSaturateBeforeTheirLimits) {
    struct Case {
        const char* line;
        int32_t AppSettings::*field;
        int32_t want;
    } cases[] = {
        {"MUSIC_VOLUME 3000000000", &AppSettings::MUSIC_VOLUME, 255},
        {"MUSIC_VOLUME 4294967296", &AppSettings::MUSIC_VOLUME, 255},
        {"SFX_VOLUME -3000000000", &AppSettings::SFX_VOLUME, 0},
        {"DEATHMATCH_MAX_PLAYERS 4294967296", &AppSettings::DEATHMATCH_MAX_PLAYERS, 16},
        {"CARD_NUMBER 4294967297", &AppSettings::CARD_NUMBER, INT32_MAX},
        {"BAUD_RATE 99999999999999999999999", &AppSettings::BAUD_RATE, INT32_MAX},
        {"MIDI_DEVICE -2147483649", &AppSettings::MIDI_DEVICE, INT32_MIN},
        {"MIDI_DEVICE -2147483648", &AppSettings::MIDI_DEVICE, INT32_MIN},
        {"MIDI_DEVICE 2147483647", &AppSettings::MIDI_DEVICE, INT32_MAX},
        {"ENABLE_3D 4294967296", &AppSettings::ENABLE_3D, 1},
        {"TEXTURE_DISTANCE 12abc", &AppSettings::TEXTURE_DISTANCE, 12},
        {"TEXTURE_DISTANCE abc", &AppSettings::TEXTURE_DISTANCE, 0},
        {"PORT +3", &AppSettings::PORT, 3},
    };
    for (const Case& c : cases) {
        cfg_SettingsDefaults();
        Ini(std::string(c.line) + "\r\n");
        ASSERT_EQ(cfg_SettingsRead(), 0);
        EXPECT_EQ(app_Settings.*c.field, c.want) << c.line;
    }
    // A mission index past the range is ignored, not wrapped onto mission 7.
    cfg_SettingsDefaults();
    Ini("HIGHEST_COMPLETED_MISSION 4294967303 9\r\nHIGHEST_COMPLETED_MISSION 3 4294967296\r\n");
    ASSERT_EQ(cfg_SettingsRead(), 0);
    EXPECT_EQ(app_Settings.HIGHEST_COMPLETED_MISSION[7], 0);
    EXPECT_EQ(app_Settings.HIGHEST_COMPLETED_MISSION[3], 255);
    // The same in APP.INI and in the sectioned KRX.CFG.
    Write("APP.INI", "VERSION 4294967297\r\nSKIP_16BIT_CHECK 8589934592\r\n");
    app_IniRead();
    EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, INT32_MAX);
    Write("KRX.CFG", "[CONNECTION]\r\nBAUDRATE = 5000000000\r\n[AUDIO]\r\nDIRECTSOUND=-4294967296\r\n");
    ASSERT_EQ(cfg_ConfigFileRead(), 0);
    EXPECT_EQ(app_Settings.BAUD_RATE, INT32_MAX);
    EXPECT_EQ(app_Settings.DIRECT_SOUND, 1);
}

// A settings file the program could not read is kept as NAME.bak before it
// is first replaced, with one line on standard error; a file that was read,
// or none, is replaced without a copy.
TEST_F(Settings, UnreadSettingsFilesAreKeptAsBak) {
    const std::string damagedIni = "VERSI0N 1\r\nSFX_VOLUME 3\r\nPLAYER_NAME \"Ace\"\r\n";
    const std::string damagedApp = "VERSION x\r\nCHAT 1 \"gg\"\r\n";
    Write("KRX.INI", damagedIni);
    Write("APP.INI", damagedApp);
    EXPECT_EQ(cfg_SettingsLoad(), 0);
    app_IniRead();
    EXPECT_EQ(app_Settings.SFX_VOLUME, 255);
    EXPECT_EQ(Read("KRX.INI"), damagedIni);  // nothing replaced yet
    testing::internal::CaptureStderr();
    ASSERT_EQ(cfg_SettingsWrite(), 0);
    ASSERT_EQ(app_IniWrite(), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Read("KRX.INI.bak"), damagedIni);
    EXPECT_EQ(Read("APP.INI.bak"), damagedApp);
    EXPECT_EQ(err,
              "krx: KRX.INI could not be read and is replaced; the old file is kept as KRX.INI.bak\n"
              "krx: APP.INI could not be read and is replaced; the old file is kept as APP.INI.bak\n");
    ASSERT_EQ(cfg_SettingsRead(), 0);

    // Later writes, and files that were read, make no copy.
    std::filesystem::remove("KRX.INI.bak");
    std::filesystem::remove("APP.INI.bak");
    testing::internal::CaptureStderr();
    ASSERT_EQ(cfg_SettingsWrite(), 0);
    ASSERT_EQ(app_IniWrite(), 0);
    app_IniRead();
    ASSERT_EQ(app_IniWrite(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Files(), (std::vector<std::string>{"APP.INI", "KRX.INI"}));
}

TEST_F(Settings, SaveFileOfAnotherShapeIsIgnored) {
    std::string record(652, '\0');
    memcpy(&record[0], "SAVD", 4);
    record[4] = (char)(652 & 0xFF), record[5] = (char)(652 >> 8);
    record[8] = 14;
    record[28] = 40;  // SFX_VOLUME
    Write("KRX.SAV", record);
    EXPECT_EQ(cfg_SaveFileRead(), 0);
    EXPECT_EQ(app_Settings.SFX_VOLUME, 40);
    // Values out of range get the KRX.INI rules.
    EXPECT_EQ(app_Settings.DEATHMATCH_MAX_PLAYERS, 1);
    EXPECT_EQ(app_Settings.PORT, 1);

    cfg_SettingsDefaults();
    for (auto bad : {record.substr(0, 651), record + "x", "SAVX" + record.substr(4)}) {
        Write("KRX.SAV", bad);
        EXPECT_EQ(cfg_SaveFileRead(), -1);
        EXPECT_EQ(app_Settings.SFX_VOLUME, 255);
    }
    std::string version = record;
    version[8] = 13;
    Write("KRX.SAV", version);
    EXPECT_EQ(cfg_SaveFileRead(), -1);
}
