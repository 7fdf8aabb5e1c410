// Whole-program runs of the start-up: loading steps, command line boxes,
// the single-instance rule, data-file checks and the settings files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "fixtures/workdir.h"
#include "mkdata.h"
#include "platform/window.h"
#include "run_util.h"
#include "shell/fatal.h"

namespace {

// An application string of the sample data set, formatted as the program
// formats it.
std::string AppString(uint32_t index, std::initializer_list<AppFormatArg> args = {}) {
    static FileTable* table = [] {
        mem_HeapSizesSet(0x100000, 0x10000, 0x10000);
        mem_HeapInit();
        return file_TableLoad(KRX_DATA_DIR "/APPSTR.BIN");
    }();
    const FileTableEntry* e = file_TableEntryGet(table, index);
    if (!e) return "<missing string>";
    char out[1024];
    app_StringFormat(out, sizeof out, e->text, args.begin(), args.size());
    return out;
}

std::vector<int> LoadingSteps(const std::string& err) {
    std::vector<int> steps;
    std::regex re("loading: (\\d+)%");
    for (auto it = std::sregex_iterator(err.begin(), err.end(), re); it != std::sregex_iterator(); ++it)
        steps.push_back(std::stoi((*it)[1]));
    return steps;
}

// KRX.INI as the defaults are written, line by line.
std::string DefaultIni() {
    std::vector<std::string> l = {"//############################################", "// Tarvesk Save Data File",
                                  "//############################################", "", "VERSION 1", ""};
    auto group = [&](const char* title, std::vector<std::string> keys, bool last = false) {
        l.push_back("//---------------------------");
        l.push_back(std::string("// ") + title);
        l.push_back("//---------------------------");
        l.push_back("");
        for (auto& k : keys) l.push_back(k);
        if (!last) {
            l.push_back("");
            l.push_back("");
        }
    };
    group("VIDEO", {"GAME_FULLSCREEN 1", "GAME_RESOLUTION 640", "MENU_FULLSCREEN 1", "ENABLE_3D 1"});
    group("AUDIO", {"SFX_VOLUME 255", "AVIONICS_SOUND_CUES 1", "MUSIC_VOLUME 128", "MUSIC_PLAY 1",
                    "AUX_VOICE_DIALOG 1", "DIALOG_VOLUME 255"});
    group("PERFORMANCE", {"MEMORY_USAGE 2", "TEXTURE_DISTANCE 26"});
    group("CONTROL", {"JOYSTICK_ENABLE 1", "JOYSTICK_LAYOUT \"STANDARD\"", "THROTTLE_ENABLE 0", "RUDDER_ENABLE 0",
                      "STEER_WITH_RUDDER 0", "TRIGGER_FIRES_CURRENT_WEAPON 0"});
    group("FLIGHT CHARACTERISTICS", {"BLACKOUTS 1", "AUTO_SHOOTLIST 1", "AUTO_GEAR 1", "UNBALANCED_LOADOUTS 1",
                                     "FLAMEOUTS 1", "FLATSPINS 1"});
    group("MISC OPTIONS", {"SMOOTH_COCKPIT_CAMERA 1", "AVIONIC_SOUND_VOLUME 255", "WEAPON_HUM_VOLUME 255",
                           "JOYSTICK_INSTANCE \"00000000-0000-0000-0000-000000000000\"", "FEEDBACK_ENABLED 1",
                           "BITDEPTH_SOFTWARE 16", "BITDEPTH_HARDWARE 16", "HW3D_DLL_FILENAME \"hw_pexl.dll\"",
                           "CARD_NUMBER 0"});
    group("MULTIPLAYER", {"PLAYER_NAME \"KRX Player\"", "SQUADRON_NAME \"\"", "SQUADRON_PASSWORD \"\"",
                          "IP_ADDRESS \"\"", "GAME_PASSWORD \"\"", "SIDE_PASSWORD \"\"", "PHONE_NUMBER \"555-1212\"",
                          "PORT 1", "BAUD_RATE 57600", "STOP_BITS 0", "PARITY 0", "FLOW_CONTROL 4",
                          "CURRENT_PROVIDER -1", "RAW_SIDE 0"});
    group("HOST", {"DEATHMATCH_REGION 7", "DEATHMATCH_TIMEOFDAY 0", "DEATHMATCH_MAX_PLAYERS 16",
                   "DEATHMATCH_KILLS_PER_ROUND 10", "DEATHMATCH_ROUNDS_PER_CHANGE 3", "DEATHMATCH_CHANGE_TYPE 0",
                   "DEATHMATCH_SPIN_DEATHS 0", "DEATHMATCH_BLACKOUTS 0", "RAW_REGION 7", "RAW_TIMEOFDAY 0",
                   "RAW_MAX_PLAYERS 16", "RAW_GAMES_PER_CHANGE 1", "RAW_CHANGE_TYPE 0", "RAW_BLACKOUTS 0",
                   "RAW_BOMBERS_GET_MISSILES 0", "RAW_GPS_ENABLED 0", "RAW_SIDE_SELECTION 0",
                   "RAW_SIDE1_PASSWORD \"\"", "RAW_SIDE2_PASSWORD \"\"", "HOST_GAME_NAME \"KRX Game\"",
                   "HOST_GAME_PASSWORD \"\"", "HOST_SERVER_TYPE 0", "HOST_GAME_TYPE 0", "HOST_COUNTRY_NAME \"\""});
    group("CONFIGURE", {"PAGE_FLIP 0", "DIRECT_SOUND 1", "MIDI_DEVICE 0"});
    group("LOCALIZATION", {"LOCALE \"\"", "KEY_YES 89", "KEY_NO 78", "EKEY_INDEX_END_MISSION 69"});
    std::vector<std::string> misc = {"HUD_COLOR 0"};
    for (int i = 0; i < 64; i++) misc.push_back("HIGHEST_COMPLETED_MISSION " + std::to_string(i) + " 0");
    for (const char* k : {"LOADOUT_TYPE 0", "CONNECT_AGENT 0", "HUD_COLOR_NIGHT 6", "AVIONICS_OVERLAY 0",
                          "EASY_TARGET_CUE 1", "SHOW_THROTTLE 1", "SHOW_VELOCITY 0", "SHOW_FUEL 0",
                          "SHOW_FUEL_USAGE 0", "SHOW_ALTITUDE 0", "SHOW_AOA 0", "SHOW_MACH 0", "CONTEST 0",
                          "SHOW_GROUNDSPEED 0", "COUNTRY_CODE \"US\""})
        misc.push_back(k);
    group("MISC", misc, true);
    std::string text;
    for (auto& line : l) text += line + "\r\n";
    return text;
}

// A table file of `count` empty items, with `text` at `item`.
std::vector<uint8_t> TableWith(uint32_t count, uint32_t item, const std::string& text) {
    MkTableGroup g{"T", {}};
    for (uint32_t i = 0; i < count; i++) {
        MkTableItem it;
        it.name = "I" + std::to_string(i);
        if (i == item) it.text = text;
        g.items.push_back(it);
    }
    return mkdata_TableBuild({g});
}

RunResult RunKrx(const std::string& dir, std::vector<std::string> args = {}, std::vector<std::string> env = {}) {
    env.push_back("KRX_MAXTICKS=10");
    return run_Program("krx", args, dir, env);
}

}  // namespace

TEST(StartupRun, LoadingStepsInOrderThenFrontEnd) {
    std::string dir = run_FreshDataDir("steps");
    ASSERT_FALSE(dir.empty());
    RunResult r = RunKrx(dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<int> want = {0, 2, 4, 5, 10, 20, 30, 35, 40, 45, 50, 55, 56, 57, 58, 59, 60, 61, 65, 75};
    EXPECT_EQ(LoadingSteps(r.err), want) << r.err;
    // The front end closes the loading window before its first frame.
    EXPECT_NE(r.err.find("loading: 75%\nloading: closed\n"), std::string::npos) << r.err;
    // The ten ticks go to the intro movie of the first main-screen entry.
    EXPECT_NE(r.err.find("krx: 0 frame steps"), std::string::npos) << r.err;
}

TEST(StartupRun, ExitButtonOnTheMainScreenEndsTheProgram) {
    std::string dir = run_FreshDataDir("escape");
    ASSERT_FALSE(dir.empty());
    test_WriteText(dir + "/script.txt", "200 mouse 320 400\n210 lbutton down 320 400\n214 lbutton up 320 400\n");
    RunResult r = run_Program("krx", {}, dir, {"KRX_SCRIPT=" + dir + "/script.txt", "KRX_MAXTICKS=1000"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    size_t at = r.err.find("krx: ");
    ASSERT_NE(at, std::string::npos) << r.err;
    EXPECT_LT(strtol(r.err.c_str() + at + 5, nullptr, 10), 400) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir + "/KRX.INI"));
}

TEST(StartupRun, CommandLineBoxesAndErrors) {
    std::string dir = run_FreshDataDir("cmdline");
    ASSERT_FALSE(dir.empty());
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string text;
    };
    const Case cases[] = {
        {{"-a"}, 0, AppString(44) + " \tKRX\n\n" + AppString(52) + " \tKRX.EXE\n"},
        {{"/A"}, 0, AppString(46) + " \t01.01.00.14\n"},
        {{"-h"}, 0, AppString(37) + ":  " + AppString(38) + " [<-" + AppString(38) + ">]\n\n" + AppString(39)},
        {{"window", "-H"}, 0, "\t-a      " + AppString(41) + ".\n"},
        {{"/x"}, 255, "box: KRX: " + AppString(54, {"x"})},
        {{"-7"}, 255, "box: KRX: " + AppString(54, {"7"})},
        {{"bogus"}, 255, "box: KRX: " + AppString(55, {"bogus"})},
        {{"MANY", "two words"}, 255, "box: KRX: " + AppString(55, {"two words"})},
    };
    for (const Case& c : cases) {
        RunResult r = RunKrx(dir, c.args);
        std::string what = c.args.back();
        EXPECT_EQ(r.exitCode, c.exitCode) << what << "\n" << r.err;
        EXPECT_NE(r.err.find(c.text), std::string::npos) << what << "\n" << r.err;
        // Nothing starts: no loading window, no settings written.
        EXPECT_EQ(r.err.find("loading:"), std::string::npos) << what;
        EXPECT_FALSE(std::filesystem::exists(dir + "/KRX.INI")) << what;
    }
    // A lone switch sign and the known words start the program.
    RunResult r = RunKrx(dir, {"-", "/", "many", "Window", "SOFTWARE", "hardware", "HWNOCRUNCH", "VERSION"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("loading: 75%"), std::string::npos) << r.err;
}

TEST(StartupRun, TraceLogsEveryWholeFileLoad) {
    std::string dir = run_FreshDataDir("trace");
    ASSERT_FALSE(dir.empty());
    test_WriteText(dir + "/_trace.txt", "old lines\r\n");
    RunResult r = RunKrx(dir, {"TRACE"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string trace = test_ReadText(dir + "/_trace.txt");
    EXPECT_EQ(trace.find("old lines"), std::string::npos);
    for (const char* name : {"QJGAME.BIN", "INPUTMAP.BIN", "KRXMENU.BIN"})
        EXPECT_NE(trace.find(name), std::string::npos) << trace;
}

// Runs a copy in the background in `dir` with the given runtime folder; the
// caller kills it.
pid_t Spawn(const std::string& dir, const std::string& runtime) {
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("KRX_PLATFORM", "headless", 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("KRX_MAXTICKS", "100000000", 1);
        std::string bin = std::string(KRX_BIN_DIR) + "/krx";
        execl(bin.c_str(), bin.c_str(), (char*)nullptr);
        _exit(127);
    }
    return pid;
}

TEST(StartupRun, SecondCopyRaisesTheFirstUnlessMany) {
    std::string dir = run_FreshDataDir("instance");
    ASSERT_FALSE(dir.empty());
    std::string runtime = dir + "/runtime";
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    pid_t first = Spawn(dir, runtime);
    ASSERT_GT(first, 0);
    // Wait until the first copy's main window exists.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (plat_InstanceCount("SKARVELCLASS") == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(plat_InstanceCount("SKARVELCLASS"), 1);

    std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime};
    RunResult second = RunKrx(dir, {}, env);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.err.find("loading:"), std::string::npos) << second.err;

    // With MANY a second copy runs, and its version string counts the copies.
    RunResult many = RunKrx(dir, {"MANY"}, env);
    EXPECT_EQ(many.exitCode, 0) << many.err;
    EXPECT_NE(many.err.find("loading: 75%"), std::string::npos) << many.err;
    RunResult version = RunKrx(dir, {"many", "-a"}, env);
    EXPECT_TRUE(std::regex_search(version.err, std::regex("\"\\d{8}\\.\\d{6}\\.\\d{6}-10R \\(#2\\)\"")))
        << version.err;

    kill(first, SIGKILL);
    int status = 0;
    waitpid(first, &status, 0);
    // The dead copy's lock went with it.
    EXPECT_EQ(plat_InstanceCount("SKARVELCLASS"), 0);
    unsetenv("XDG_RUNTIME_DIR");
}

// Points the directory entry of `member` in the archive past its end.
void DamageMemberEntry(const std::string& archive, const std::string& member) {
    std::string bytes = test_ReadText(archive);
    uint32_t count = 0, dir = 0;
    ASSERT_TRUE(le_Read32At(bytes.data(), bytes.size(), 8, &count));
    ASSERT_TRUE(le_Read32At(bytes.data(), bytes.size(), 16, &dir));
    bool found = false;
    for (uint32_t i = 0; i < count; i++) {
        size_t entry = dir + 32 * i;
        if (bytes.compare(entry + 16, member.size() + 1, member.c_str(), member.size() + 1) != 0) continue;
        uint32_t past = (uint32_t)bytes.size() - 10;
        for (int b = 0; b < 4; b++) bytes[entry + 4 + b] = (char)(past >> (8 * b));
        found = true;
    }
    ASSERT_TRUE(found) << member;
    test_WriteText(archive, bytes);
}

TEST(StartupRun, DataFileErrorsStopWithTheirBox) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> damage;
        std::string text;
        std::string before = "";  // a box shown before it
    };
    const Case cases[] = {
        {"no_strings", [](const std::string& d) { std::filesystem::remove(d + "/APPSTR.BIN"); },
         "Error!  File \"APPSTR.BIN\" does not exist."},
        {"bad_strings", [](const std::string& d) { test_WriteText(d + "/APPSTR.BIN", "not a table"); },
         "Error!  Cannot load file \"APPSTR.BIN\"!"},
        {"old_strings", [](const std::string& d) { test_WriteFile(d + "/APPSTR.BIN", TableWith(90, 86, "3")); },
         "Error!  File \"APPSTR.BIN\" is out-of-date with the current executable!"},
        // The file layer reports a missing file from start-up on.
        {"no_gamedata", [](const std::string& d) { std::filesystem::remove(d + "/KRX.PFF"); },
         AppString(4, {"app_Main", "QJGAME.BIN"}), "box: file_LoadFileEx: Cannot open file QJGAME.BIN\n"},
        // A bad entry names the member and its archive.
        {"bad_entry", [](const std::string& d) { DamageMemberEntry(d + "/KRX.PFF", "QJGAME.BIN"); },
         AppString(4, {"app_Main", "QJGAME.BIN"}),
         "box: file_LoadFileEx: Cannot open file QJGAME.BIN (its entry in the archive /tmp/krx_run_bad_entry_"},
        {"old_inputmap", [](const std::string& d) { test_WriteFile(d + "/INPUTMAP.BIN", TableWith(492, 491, "2")); },
         AppString(17, {"app_Main", "INPUTMAP.BIN"})},
        {"old_menu", [](const std::string& d) { test_WriteFile(d + "/krxmenu.bin", TableWith(393, 392, "6")); },
         AppString(17, {"app_Main", "KRXMENU.BIN"})},
        {"short_game", [](const std::string& d) { test_WriteFile(d + "/QJGAME.BIN", TableWith(10, 1, "6")); },
         AppString(17, {"app_Main", "QJGAME.BIN"})},
    };
    for (const Case& c : cases) {
        std::string dir = run_FreshDataDir(c.name);
        ASSERT_FALSE(dir.empty());
        c.damage(dir);
        RunResult r = RunKrx(dir);
        EXPECT_EQ(r.exitCode, 1) << c.name << "\n" << r.err;
        size_t fatal = r.err.find("box: KRX: " + c.text);
        EXPECT_NE(fatal, std::string::npos) << c.name << "\n" << r.err;
        if (!c.before.empty()) {
            EXPECT_LT(r.err.find(c.before), fatal) << c.name << "\n" << r.err;
        }
        EXPECT_FALSE(std::filesystem::exists(dir + "/KRX.INI")) << c.name;
    }
}

// A bad entry in an archive costs that member alone: the archive stays
// mounted and the program starts.
TEST(StartupRun, BadArchiveEntryLeavesTheOtherMembers) {
    std::string dir = run_FreshDataDir("bad_font_entry");
    ASSERT_FALSE(dir.empty());
    DamageMemberEntry(dir + "/KRX.PFF", "key16bna.pcx");
    RunResult r = RunKrx(dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("KRX.PFF: 1 member entry lies outside the file (the first: key16bna.pcx)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("box:"), std::string::npos) << r.err;
    EXPECT_EQ(test_ReadText(dir + "/KRX.INI"), DefaultIni());
}

TEST(StartupRun, SettingsWrittenFromDefaultsAndReadBack) {
    std::string dir = run_FreshDataDir("settings");
    ASSERT_FALSE(dir.empty());
    RunResult r = RunKrx(dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string ini = test_ReadText(dir + "/KRX.INI");
    EXPECT_EQ(ini, DefaultIni());

    // Values out of range come back corrected; the file keeps the rest.
    std::string edited = ini;
    auto replace = [&](const std::string& from, const std::string& to) {
        size_t at = edited.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        edited.replace(at, from.size(), to);
    };
    replace("SFX_VOLUME 255", "SFX_VOLUME 300");
    replace("GAME_RESOLUTION 640", "GAME_RESOLUTION 1024");
    replace("GAME_PASSWORD \"\"", "game_password \"abc\"");
    replace("JOYSTICK_LAYOUT \"STANDARD\"", "JOYSTICK_LAYOUT \"wingman_extreme\"");
    replace("DEATHMATCH_MAX_PLAYERS 16", "DEATHMATCH_MAX_PLAYERS 0");
    replace("HIGHEST_COMPLETED_MISSION 3 0", "HIGHEST_COMPLETED_MISSION 3 300");
    replace("PLAYER_NAME \"KRX Player\"", "PLAYER_NAME \"A name much longer than twenty-one\"");
    test_WriteText(dir + "/KRX.INI", edited + "UNKNOWN_KEY 5\r\nMUSIC_VOLUME\r\n");
    r = RunKrx(dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string back = test_ReadText(dir + "/KRX.INI");
    std::string want = DefaultIni();
    auto expect = [&](const std::string& from, const std::string& to) {
        size_t at = want.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        want.replace(at, from.size(), to);
    };
    expect("GAME_RESOLUTION 640", "GAME_RESOLUTION 1024");
    expect("GAME_PASSWORD \"\"", "GAME_PASSWORD \"ABC\"");
    expect("JOYSTICK_LAYOUT \"STANDARD\"", "JOYSTICK_LAYOUT \"WINGMAN_EXTREME\"");
    expect("DEATHMATCH_MAX_PLAYERS 16", "DEATHMATCH_MAX_PLAYERS 1");
    expect("HIGHEST_COMPLETED_MISSION 3 0", "HIGHEST_COMPLETED_MISSION 3 255");
    expect("PLAYER_NAME \"KRX Player\"", "PLAYER_NAME \"A name much longer th\"");
    EXPECT_EQ(back, want);

    // Another version, or a damaged VERSION line: ignored and rewritten
    // with the defaults, the player's file kept as KRX.INI.bak. The same for
    // a damaged KRX.FFB.
    for (const char* version : {"VERSION 2", "VERSI0N 1"}) {
        SCOPED_TRACE(version);
        std::string damaged = edited;
        damaged.replace(damaged.find("VERSION 1"), 9, version);
        test_WriteText(dir + "/KRX.INI", damaged);
        std::string ffb = test_ReadText(dir + "/KRX.FFB");
        ASSERT_NE(ffb.find("VERSION 1"), std::string::npos);
        std::string badFfb = ffb;
        badFfb.replace(badFfb.find("VERSION 1"), 9, version);
        test_WriteText(dir + "/KRX.FFB", badFfb);
        std::filesystem::remove(dir + "/KRX.INI.bak");
        std::filesystem::remove(dir + "/KRX.FFB.bak");
        r = RunKrx(dir);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(test_ReadText(dir + "/KRX.INI"), DefaultIni());
        EXPECT_EQ(test_ReadText(dir + "/KRX.INI.bak"), damaged);
        EXPECT_EQ(test_ReadText(dir + "/KRX.FFB"), ffb);
        EXPECT_EQ(test_ReadText(dir + "/KRX.FFB.bak"), badFfb);
        EXPECT_NE(r.err.find("krx: KRX.INI could not be read and is replaced; the old file is kept as KRX.INI.bak\n"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("krx: KRX.FFB could not be read and is replaced; the old file is kept as KRX.FFB.bak\n"),
                  std::string::npos)
            << r.err;
        // The next run reads both and copies nothing.
        std::filesystem::remove(dir + "/KRX.INI.bak");
        std::filesystem::remove(dir + "/KRX.FFB.bak");
        r = RunKrx(dir);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir + "/KRX.INI.bak"));
        EXPECT_FALSE(std::filesystem::exists(dir + "/KRX.FFB.bak"));
        EXPECT_EQ(r.err.find("krx: KRX."), std::string::npos) << r.err;
    }
}

TEST(StartupRun, OlderSaveAndConfigFilesAreTakenOver) {
    std::string dir = run_FreshDataDir("takeover");
    ASSERT_FALSE(dir.empty());
    // KRX.SAV: defaults but for a few fields.
    LeWriter w;
    w.bytes("SAVD", 4);
    w.u32(652);
    w.u32(14);
    w.i32(0);   // GAME_FULLSCREEN
    w.i32(1);   // resolution mode 1 (800)
    w.i32(1);   // menus windowed
    w.i32(1);   // ENABLE_3D
    w.i32(77);  // SFX_VOLUME
    for (int i = 0; i < 22; i++) w.i32(1);
    while (w.size() < 136) w.u8(0);
    w.i32(0);   // feedback on
    w.i32(0);   // software depth 0 reads as 16
    w.i32(32);  // hardware depth
    std::string dll = "glide2x.dll";
    w.bytes(dll.c_str(), dll.size());
    while (w.size() < 176) w.u8(0);
    std::string name = "Ace";
    w.bytes(name.c_str(), name.size());
    while (w.size() < 264) w.u8(0);
    w.bytes("secret", 6);
    while (w.size() < 308) w.u8(0);
    w.i32(9);   // PORT, clamped to 4
    while (w.size() < 652) w.u8(0);
    ASSERT_EQ(w.size(), 652u);
    test_WriteFile(dir + "/KRX.SAV", w.buf);
    test_WriteText(dir + "/KRX.CFG",
              "[display]\r\nPAGE_FLIPPING = 1 ; flip\r\n[CONNECTION]\r\nBAUDRATE=9600\r\n[AUDIO]\r\nDIRECTSOUND=0\r\n");

    RunResult r = RunKrx(dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string ini = test_ReadText(dir + "/KRX.INI");
    for (const char* line : {"GAME_FULLSCREEN 0\r\n", "GAME_RESOLUTION 800\r\n", "MENU_FULLSCREEN 0\r\n",
                             "SFX_VOLUME 77\r\n", "BITDEPTH_SOFTWARE 16\r\n", "BITDEPTH_HARDWARE 32\r\n",
                             "HW3D_DLL_FILENAME \"hw_pexl.dll\"\r\n", "PLAYER_NAME \"Ace\"\r\n",
                             "GAME_PASSWORD \"SECRET\"\r\n", "PORT 4\r\n", "BAUD_RATE 9600\r\n",
                             "PAGE_FLIP 1\r\n", "DIRECT_SOUND 0\r\n", "COUNTRY_CODE \"US\"\r\n",
                             "PHONE_NUMBER \"\"\r\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << ini;

    // Once KRX.INI exists the older files are not read again.
    std::filesystem::remove(dir + "/KRX.INI");
    test_WriteText(dir + "/KRX.SAV", "SAVD too short");
    r = RunKrx(dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ini = test_ReadText(dir + "/KRX.INI");
    EXPECT_NE(ini.find("SFX_VOLUME 255\r\n"), std::string::npos);
    EXPECT_NE(ini.find("BAUD_RATE 9600\r\n"), std::string::npos);
}

TEST(StartupRun, AppIniWrittenWhenMissingAndKept) {
    std::string dir = run_FreshDataDir("appini");
    ASSERT_FALSE(dir.empty());
    std::filesystem::remove(dir + "/APP.INI");
    RunResult r = RunKrx(dir, {"-a"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string want =
        "//############################################\r\n// Tarvesk Application Init File\r\n"
        "//############################################\r\n\r\nVERSION 1\r\n\r\nSKIP_16BIT_CHECK 0\r\n"
        "SKIP_BAD3DFXDLLS_CHECK 0\r\n\r\n";
    for (int i = 0; i < 10; i++) want += "CHAT " + std::to_string(i) + " \"\"\r\n";
    EXPECT_EQ(test_ReadText(dir + "/APP.INI"), want);
    // The sample data set ships the same file.
    EXPECT_EQ(test_ReadText(KRX_DATA_DIR "/APP.INI"), want);
}
