// The input map file: its text form read and written, opening the map with
// the defaults behind it, the report and the joystick buttons' trigger
// arrangement.
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "inmapfile_fixture.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

const std::string kHeader = Lines({
    "//#################################################",
    "//#  Tarvesk Input Mapping System Resource File",
    "//#################################################",
});

// The joystick sections, with lines for some layouts.
std::string JoystickSections(const std::vector<std::pair<int32_t, std::string>>& bindings) {
    std::string s;
    for (const InmapLayout* l = inmap_JoystickLayouts; l->name; l++) {
        s += "\r\nJOYSTICK " + std::string(l->name) + "\r\n";
        for (auto& [layout, line] : bindings)
            if (layout == l->layout) s += line + "\r\n";
    }
    return s;
}

// A binding line of the defaults' text: the name in a 25-wide field (the
// longest default action names have 23 characters).
std::string Bound(const std::string& name, const std::string& rest) {
    return "\r\n" + name + std::string(25 - name.size(), ' ') + " " + rest + "\r\n";
}

struct InputWant {
    int32_t kind, layout, code, modifiers, hold;
};

// The one action of a map and its inputs.
void ExpectInputs(_INMAP* m, const char* action, std::vector<InputWant> want, const std::string& text) {
    _INMAP_ACTION* a = inmap_ActionFind(m, action);
    ASSERT_NE(a, nullptr) << text;
    ASSERT_EQ(a->inputCount, (int32_t)want.size()) << text;
    size_t i = 0;
    for (_INMAP_INPUT* in = a->inputHead; in; in = in->actionNext, i++) {
        EXPECT_EQ(in->kind, want[i].kind) << text;
        EXPECT_EQ(in->layout, want[i].layout) << text;
        EXPECT_EQ(in->code, want[i].code) << text;
        EXPECT_EQ(in->modifiers, want[i].modifiers) << text;
        EXPECT_EQ(in->hold, want[i].hold) << text;
    }
}

}  // namespace

// ---- the written form ----------------------------------------------------------

TEST_F(InmapFileTest, WrittenFormIsExact) {
    _INMAP* m = NewMap();
    inmap_VersionSet(m, 56);
    inmap_ThresholdSet(m, 2000);
    inmap_ScaleSet(m, 0.5f);
    _INMAP_ACTION* fire = inmap_ActionCreate(m, "Fire_Cannon", -1, 0, nullptr);
    inmap_ActionCreate(m, "stick_left", -1, 0, nullptr);
    _INMAP_ACTION* gear = inmap_ActionCreate(m, "GEAR", -1, 0, nullptr);
    _INMAP_ACTION* look = inmap_ActionCreate(m, "LOOK_FORWARD", -1, 0, nullptr);
    inmap_InputCreate(fire, INMAP_KIND_KEYBOARD, 0, 'Z', 0, 1);
    inmap_InputCreate(fire, INMAP_KIND_JOYSTICK, 0, 31, 0, 1);
    inmap_InputCreate(fire, INMAP_KIND_JOYSTICK, 7, 31, INMAP_MOD_CTRL, 0);
    inmap_InputCreate(gear, INMAP_KIND_KEYBOARD, 0, 'G', 7, 0);
    inmap_InputCreate(gear, INMAP_KIND_MOUSE, 0, 0, 0, 0);  // never written
    inmap_InputCreate(look, INMAP_KIND_JOYSTICK, 12, 17, 0, 0);
    inmap_InputCreate(look, INMAP_KIND_KEYBOARD, 0, 0xFF, 0, 0);  // a key without a name
    inmap_InputCreate(look, INMAP_KIND_KEYBOARD, 3, 'Q', 0, 0);   // a layout not in the table

    std::string want = kHeader + Lines({
                                     "// 4 Actions, 8 Inputs",
                                     "",
                                     "VERSION_NUMBER 56",
                                     "THROTTLE_THRESHOLD 2000",
                                     "JOYSTICK_SCALE 0.500000",
                                     "",
                                     "",
                                     "KEYBOARD STANDARD",
                                     "FIRE_CANNON    HOLD Z",
                                     "GEAR           CTRL SHIFT ALT G",
                                     "LOOK_FORWARD   NONE",
                                 }) +
                       JoystickSections({{0, "FIRE_CANNON    HOLD B1"},
                                         {7, "FIRE_CANNON    CTRL B1"},
                                         {12, "LOOK_FORWARD   HAT2_UP"}}) +
                       Lines({"", "STICK_LEFT     NONE"});
    EXPECT_EQ(Format(m), want);

    // The file holds the same bytes, and nothing is left beside it.
    ASSERT_EQ(inmap_TextWrite(m, "KRX.INP"), 0);
    EXPECT_EQ(ReadText("KRX.INP"), want);
    EXPECT_FALSE(Exists("KRX.INP.new"));

    // A cut buffer is still terminated and the full length is reported.
    char small[10];
    EXPECT_EQ(inmap_TextFormat(m, small, sizeof small), want.size());
    EXPECT_EQ(std::string(small), want.substr(0, 9));
}

TEST_F(InmapFileTest, ReadAndWriteRoundTripByteExact) {
    // A map as the program writes it reads back to the same bytes, the
    // defaults as well as one with every kind of line.
    _INMAP* defaults = NewMap(inmap_DefaultBindings);
    inmap_VersionSet(defaults, 56);
    inmap_ActionsSort(defaults);
    std::string text = Format(defaults);

    std::string own = kHeader + Lines({
                                    "// 4 Actions, 5 Inputs",
                                    "",
                                    "VERSION_NUMBER 56",
                                    "THROTTLE_THRESHOLD 65535",
                                    "JOYSTICK_SCALE 0.250000",
                                    "",
                                    "",
                                    "KEYBOARD STANDARD",
                                    "WAYPOINT_PREV   CTRL N",
                                    "WAYPOINT_PREV   SHIFT N",
                                    "ZOOM_IN_FAST    HOLD SHIFT S",
                                }) +
                      JoystickSections({{0, "ZOOM_IN_FAST    HOLD CTRL SHIFT ALT HAT1"},
                                        {17, "CTRL            HOLD B16"}}) +
                      Lines({"", "MY_OWN_ACTION   NONE"});
    for (const std::string& t : {text, own}) {
        _INMAP* m = Parse(t);
        ASSERT_NE(m, nullptr) << inmap_TextError;
        EXPECT_EQ(Format(m), t);
        // Through the files too.
        WriteText("KRX.INP", t);
        _INMAP* loaded = inmap_TextLoad("KRX.INP");
        ASSERT_NE(loaded, nullptr);
        ASSERT_EQ(inmap_TextWrite(loaded, "COPY.INP"), 0);
        inmap_MapFree(loaded);
        EXPECT_EQ(ReadText("COPY.INP"), t);
    }
    EXPECT_EQ(defaults->inputCount, INMAP_DEFAULT_COUNT);
}

TEST_F(InmapFileTest, DefaultMapTextSpotChecks) {
    _INMAP* m = NewMap(inmap_DefaultBindings);
    inmap_VersionSet(m, 56);
    inmap_ActionsSort(m);
    std::string text = Format(m);
    for (const std::string& line : {
             Bound("AUTO_SPIN_CAMERA", "CTRL SHIFT ALT O"),
             Bound("STICK_UP", "HOLD UP"),
             Bound("HUD_BRIGHTEN", "LESSTHAN"),
             Bound("KEYS", "DIVIDE"),
             Bound("WINGMAN_GOHOME", "ALT 9"),
             std::string("\r\nJOYSTICK WINGMAN_INTERCEPTOR\r\n"),
             Bound("CAMERA_UP", "HOLD HAT2_UP"),
             Bound("THROTTLE_LEFT", "HOLD SHIFT THROTTLE"),
         })
        EXPECT_NE(text.find(line), std::string::npos) << line;
    // No action of the defaults is without inputs.
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
}

// ---- reading ------------------------------------------------------------------

TEST_F(InmapFileTest, BindingLineSyntax) {
    constexpr int32_t KB = INMAP_KIND_KEYBOARD, MS = INMAP_KIND_MOUSE, JS = INMAP_KIND_JOYSTICK;
    struct Case {
        std::string text;
        std::vector<InputWant> want;  // of FIRE_CANNON
    } cases[] = {
        {"FIRE_CANNON HOLD NONE Z", {{KB, 0, 'Z', 0, 0}}},
        {"FIRE_CANNON Z X", {{KB, 0, 'X', 0, 0}}},
        {"fire_cannon ctrl Shift ALT hold z", {{KB, 0, 'Z', 7, 1}}},
        {"FIRE_CANNON CTRL Z NONE", {}},
        {"FIRE_CANNON BOGUS 12 Z WORDS", {{KB, 0, 'Z', 0, 0}}},
        {"FIRE_CANNON", {}},
        {"FIRE_CANNON \"NUMPAD*\"", {{KB, 0, 0x6A, 0, 0}}},
        {"\tFIRE_CANNON\t\tNUMPAD_MINUS  ", {{KB, 0, 0x6D, 0, 0}}},
        {"FIRE_CANNON ?", {{KB, 0, 0xBF, 0, 0}}},
        {"FIRE_CANNON MOUSE_LEFT", {{MS, 0, 0, 0, 0}}},
        {"JOYSTICK FCS\nFIRE_CANNON HAT_UP", {{JS, 2, 12, 0, 0}}},
        {"JOYSTICK cyberman2\nKEYBOARD STANDARD\nFIRE_CANNON B16 A", {{KB, 0, 'A', 0, 0}}},
        {"JOYSTICK 17\nFIRE_CANNON B16", {{JS, 17, 46, 0, 0}}},
        {"JOYSTICK 9\nJOYSTICK\nFIRE_CANNON B1", {{JS, 0, 31, 0, 0}}},
        {"KEYBOARD 3\nJOYSTICK 4\nFIRE_CANNON F1\nFIRE_CANNON THROTTLE\nFIRE_CANNON MOUSE_RIGHT",
         {{KB, 3, 0x70, 0, 0}, {JS, 4, 4, 0, 0}, {MS, 0, 2, 0, 0}}},
        // Two lines of one action, in any letter case, add to it.
        {"FIRE_CANNON Z\r\nFire_Cannon X\r\n", {{KB, 0, 'Z', 0, 0}, {KB, 0, 'X', 0, 0}}},
        // Comments and blank lines.
        {"// FIRE_CANNON Z\n\n   \nFIRE_CANNON\n//FIRE_CANNON X", {}},
    };
    for (const Case& c : cases) {
        _INMAP* m = Parse(c.text);
        ASSERT_NE(m, nullptr) << c.text << ": " << inmap_TextError;
        EXPECT_EQ(m->actionCount, 1) << c.text;
        ExpectInputs(m, "FIRE_CANNON", c.want, c.text);
        _INMAP_ACTION* a = inmap_ActionFind(m, "FIRE_CANNON");
        EXPECT_EQ(a->id, -1);
        EXPECT_EQ(a->handler, nullptr);
    }
    // Only comments: no action at all.
    _INMAP* empty = Parse("// FIRE_CANNON Z\r\n\r\n");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->actionCount, 0);
}

TEST_F(InmapFileTest, KeywordSyntax) {
    struct Case {
        std::string text;
        int32_t version, threshold;
        float scale;
    } cases[] = {
        {"", 0, 1024, 1.0f},
        {"VERSION_NUMBER 56", 56, 1024, 1.0f},
        {"version_number 55", 55, 1024, 1.0f},
        {"VERSION_NUMBER 56\nVERSION_NUMBER", 0, 1024, 1.0f},
        {"VERSION_NUMBER 99999999999", INT32_MAX, 1024, 1.0f},
        {"THROTTLE_THRESHOLD 700", 0, 700, 1.0f},
        {"THROTTLE_THRESHOLD 70000", 0, 65535, 1.0f},
        {"THROTTLE_THRESHOLD -5", 0, 0, 1.0f},
        {"THROTTLE_THRESHOLD 99999999999999999999999", 0, 65535, 1.0f},
        {"THROTTLE_THRESHOLD 5\nTHROTTLE_THRESHOLD", 0, 1024, 1.0f},
        {"JOYSTICK_SCALE 0.25", 0, 1024, 0.25f},
        {"JOYSTICK_SCALE 2", 0, 1024, 1.0f},
        {"JOYSTICK_SCALE -1", 0, 1024, 0.0f},
        {"JOYSTICK_SCALE 1e300", 0, 1024, 1.0f},
        {"JOYSTICK_SCALE 0.5\nJOYSTICK_SCALE", 0, 1024, 1.0f},
    };
    for (const Case& c : cases) {
        _INMAP* m = Parse(c.text);
        ASSERT_NE(m, nullptr) << c.text << ": " << inmap_TextError;
        EXPECT_EQ(m->version, c.version) << c.text;
        EXPECT_EQ(m->threshold, c.threshold) << c.text;
        EXPECT_FLOAT_EQ(m->scale, c.scale) << c.text;
        EXPECT_EQ(m->actionCount, 0) << c.text;
    }
}

// A mistyped number or layout takes its default, and a line that cannot be
// taken is skipped: the rest of the player's bindings stay.
TEST_F(InmapFileTest, DamagedLinesAreSkippedAndTheRestKept) {
    std::string longName(INMAP_ACTION_NAME_MAX + 1, 'A');
    struct Case {
        std::string text;  // between two good lines
        int32_t version, threshold;
        float scale;
        int32_t skipped;
        const char* reason;
    } cases[] = {
        {"VERSION_NUMBER fifty-six", 0, 1024, 1.0f, 0, ""},
        {"VERSION_NUMBER 56\nTHROTTLE_THRESHOLD 12x", 56, 1024, 1.0f, 0, ""},
        {"THROTTLE_THRESHOLD 700\nJOYSTICK_SCALE nan", 0, 700, 1.0f, 0, ""},
        {"JOYSTICK_SCALE 0.5\nJOYSTICK_SCALE inf", 0, 1024, 1.0f, 0, ""},
        {"JOYSTICK NO_SUCH_STICK\nKEYBOARD DVORAK", 0, 1024, 1.0f, 0, ""},
        {std::string(INMAP_LINE_MAX + 1, 'G'), 0, 1024, 1.0f, 1, "line 2 is longer than 1024 characters"},
        {"// " + std::string(2000, '#'), 0, 1024, 1.0f, 1, "line 2 is longer than 1024 characters"},
        {std::string("GEAR \0 H", 8), 0, 1024, 1.0f, 1, "line 2 holds a zero byte"},
        {longName + " Z", 0, 1024, 1.0f, 1, "line 2 has an action name longer than 255 characters"},
        {"\" //", 0, 1024, 1.0f, 1, "line 2 has an action name that is not one word"},
        {"\"GEAR DOWN\" G\n\"GEAR  UP\" U", 0, 1024, 1.0f, 2, "line 2 has an action name that is not one word"},
    };
    for (const Case& c : cases) {
        std::string text = "GEAR G\r\n" + c.text + "\r\nFLAPS F\r\n";
        _INMAP* m = Parse(text);
        ASSERT_NE(m, nullptr) << c.text << ": " << inmap_TextError;
        EXPECT_EQ(m->version, c.version) << c.text;
        EXPECT_EQ(m->threshold, c.threshold) << c.text;
        EXPECT_FLOAT_EQ(m->scale, c.scale) << c.text;
        EXPECT_EQ(inmap_TextSkipped, c.skipped) << c.text;
        EXPECT_STREQ(inmap_TextSkipReason, c.reason) << c.text;
        EXPECT_EQ(m->actionCount, 2) << c.text;
        ExpectInputs(m, "GEAR", {{INMAP_KIND_KEYBOARD, 0, 'G', 0, 0}}, c.text);
        ExpectInputs(m, "FLAPS", {{INMAP_KIND_KEYBOARD, 0, 'F', 0, 0}}, c.text);
    }
    // An unknown layout is layout 0 for the lines under it.
    _INMAP* m = Parse("JOYSTICK FCS\nJOYSTICK NO_SUCH_STICK\nGEAR B3\n");
    ASSERT_NE(m, nullptr);
    ExpectInputs(m, "GEAR", {{INMAP_KIND_JOYSTICK, 0, 33, 0, 0}}, "unknown layout");
    // The longest lines and names that are taken.
    std::string line(INMAP_LINE_MAX, ' ');
    line.replace(0, 6, "GEAR G");
    EXPECT_NE(Parse(line + "\r\n"), nullptr) << inmap_TextError;
    EXPECT_NE(Parse(std::string(INMAP_ACTION_NAME_MAX, 'A') + " Z"), nullptr) << inmap_TextError;
    EXPECT_EQ(inmap_TextError[0], 0);
    EXPECT_EQ(inmap_TextSkipped, 0);
    EXPECT_EQ(inmap_TextParse(nullptr, "GEAR G", 6), -1);
    EXPECT_EQ(inmap_TextParse(NewMap(), nullptr, 0), 0);
}

TEST_F(InmapFileTest, LoadRefusesMissingAndLargeFiles) {
    EXPECT_EQ(inmap_TextLoad("NOFILE.INP"), nullptr);
    EXPECT_EQ(inmap_TextLoad(nullptr), nullptr);
    WriteText("BIG.INP", std::string(INMAP_FILE_MAX + 1, '\n'));
    EXPECT_EQ(inmap_TextLoad("BIG.INP"), nullptr);
    EXPECT_NE(std::string(inmap_TextError).find("larger than"), std::string::npos);
    // A damaged line is skipped and said so on standard error.
    WriteText("BAD.INP", "VERSION_NUMBER 56\r\nTHROTTLE_THRESHOLD lots\r\n\"GEAR UP\" G\r\nFLAPS F\r\n");
    testing::internal::CaptureStderr();
    _INMAP* bad = inmap_TextLoad("BAD.INP");
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->threshold, 1024);
    EXPECT_EQ(bad->inputCount, 1);
    EXPECT_EQ(err, "inmap_TextLoad: BAD.INP: 1 line(s) skipped, the first: line 3 has an action name that is not one "
                   "word\n");
    inmap_MapFree(bad);
    // Found whatever the letter case of the name.
    WriteText("krx.inp", "VERSION_NUMBER 56\r\nGEAR G\r\n");
    _INMAP* m = inmap_TextLoad("KRX.INP");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->version, 56);
    EXPECT_EQ(m->inputCount, 1);
    inmap_MapFree(m);
}

TEST_F(InmapFileTest, FailedWriteKeepsTheOldFile) {
    WriteText("KRX.INP", "old\r\n");
    WriteText("KRX.INP.new", "another copy's");
    _INMAP* m = NewMap(inmap_DefaultBindings);
    // The disk fills up half way through the new file.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int32_t result = inmap_TextWrite(m, "KRX.INP");
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadText("KRX.INP"), "old\r\n");
    EXPECT_EQ(ReadText("KRX.INP.new"), "another copy's");
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(".")) files += e.is_regular_file();
    EXPECT_EQ(files, 2u);  // no temporary left
    EXPECT_EQ(inmap_TextWrite(nullptr, "KRX.INP"), -1);
    EXPECT_EQ(inmap_TextWrite(m, nullptr), -1);
}

// ---- opening the map --------------------------------------------------------------

class InmapOpenTest : public InmapFileTest {
protected:
    void SetUp() override {
        InmapFileTest::SetUp();
        app_Settings.JOYSTICK_ENABLE = 1;
        app_Settings.RUDDER_ENABLE = 1;
        app_Settings.THROTTLE_ENABLE = 1;
        app_Settings.JOYSTICK_LAYOUT = 0;
        ejoy_EnableFlag = 1;
        // The text the defaults give.
        _INMAP* d = NewMap(inmap_DefaultBindings);
        inmap_VersionSet(d, 56);
        inmap_ActionsSort(d);
        defaults_ = Format(d);
    }
    std::string defaults_;
};

TEST_F(InmapOpenTest, MissingOrOutdatedFileGivesTheDefaultsAndIsKept) {
    const char* cases[] = {
        nullptr,  // no file
        "VERSION_NUMBER 55\r\nGEAR G\r\n",
        "GEAR G\r\n",  // no version line
        "VERSION_NUMBER 5x6\r\nGEAR G\r\n",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c ? c : "no file");
        std::filesystem::remove("KRX.INP.bak");
        if (c) WriteText("KRX.INP", c);
        testing::internal::CaptureStderr();
        _INMAP* m = inmap_MapOpen();
        std::string err = testing::internal::GetCapturedStderr();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m, inmap_OpenMap);
        EXPECT_EQ(m->version, 56);
        EXPECT_EQ(m->threshold, 1024);
        EXPECT_EQ(m->inputCount, INMAP_DEFAULT_COUNT);
        EXPECT_EQ(ReadText("KRX.INP"), defaults_);
        // The player's old file is kept, and standard error says so.
        EXPECT_EQ(Exists("KRX.INP.bak"), c != nullptr);
        if (c) {
            EXPECT_EQ(ReadText("KRX.INP.bak"), c);
            EXPECT_NE(err.find("krx: KRX.INP could not be read and is replaced; the old file is kept as "
                               "KRX.INP.bak\n"),
                      std::string::npos)
                << err;
        }
        // Sorted by name, and bound to the action table by the report.
        EXPECT_STREQ(m->actionHead->name, "ABORT_MISSION");
        _INMAP_ACTION* fire = inmap_ActionFind(m, "FIRE_CANNON");
        EXPECT_EQ(fire->id, 293);
        EXPECT_EQ(fire->continuous, 1);
        EXPECT_NE(fire->handler, nullptr);
        EXPECT_EQ(inmap_ActionFind(m, "THROTTLE_LEFT")->handler, nullptr);
        EXPECT_TRUE(Exists("_inptmap.txt"));
        inmap_MapClose();
        EXPECT_EQ(inmap_OpenMap, nullptr);
        std::filesystem::remove("_inptmap.txt");
        std::filesystem::remove("KRX.INP");
    }
}

// One bad line in the player's file (a mistyped number, an unknown layout,
// an over-long comment, a quoted action name) costs that line at most: the
// file stays as the player wrote it, with every other binding in force.
TEST_F(InmapOpenTest, BadLinesKeepThePlayersBindingsAndFile) {
    std::string text = "VERSION_NUMBER 56\r\nTHROTTLE_THRESHOLD 3OOO\r\nJOYSTICK_SCALE .5.\r\n"
                       "KEYBOARD QWERTZ\r\nFIRE_CANNON HOLD Q\r\n// " +
                       std::string(1100, '-') +
                       "\r\n\"GEAR UP\" U\r\nGEAR CTRL G\r\nJOYSTICK NO_SUCH_STICK\r\nBRAKE B5\r\n" +
                       std::string("FLAPS \0 F\r\n", 11);
    WriteText("KRX.INP", text);
    testing::internal::CaptureStderr();
    _INMAP* m = inmap_MapOpen();
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(ReadText("KRX.INP"), text);
    EXPECT_FALSE(Exists("KRX.INP.bak"));
    EXPECT_EQ(m->threshold, 1024);
    EXPECT_FLOAT_EQ(m->scale, 1.0f);
    EXPECT_EQ(m->inputCount, 3);
    ExpectInputs(m, "FIRE_CANNON", {{INMAP_KIND_KEYBOARD, 0, 'Q', 0, 1}}, "fire");
    ExpectInputs(m, "GEAR", {{INMAP_KIND_KEYBOARD, 0, 'G', INMAP_MOD_CTRL, 0}}, "gear");
    ExpectInputs(m, "BRAKE", {{INMAP_KIND_JOYSTICK, 0, 35, 0, 0}}, "brake");
    EXPECT_EQ(inmap_ActionFind(m, "FLAPS"), nullptr);
    EXPECT_NE(err.find("KRX.INP: 3 line(s) skipped, the first: line 6 is longer than 1024 characters"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("replace"), std::string::npos) << err;
}

TEST_F(InmapOpenTest, CurrentFileIsKeptAsItIs) {
    std::string text = "VERSION_NUMBER 56\nTHROTTLE_THRESHOLD 3000\nJOYSTICK_SCALE 0.5\nfire_cannon hold z\n";
    WriteText("KRX.INP", text);
    app_Settings.JOYSTICK_ENABLE = 0;
    app_Settings.RUDDER_ENABLE = 0;
    app_Settings.THROTTLE_ENABLE = 0;
    app_Settings.JOYSTICK_LAYOUT = 12;
    inmap_KeyboardLayout = 5;
    _INMAP* m = inmap_MapOpen();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->inputCount, 1);
    EXPECT_EQ(ReadText("KRX.INP"), text);
    // Opening again gives the same map.
    EXPECT_EQ(inmap_MapOpen(), m);
    // The settings and the threshold went where they are used.
    EXPECT_EQ(ejoy_AxisSettings[EJOY_SET_THROTTLE], 3000);
    EXPECT_EQ(ejoy_EnableFlag, 0);
    EXPECT_EQ(inmap_UseRudder, 0);
    EXPECT_EQ(inmap_UseThrottle, 0);
    EXPECT_EQ(inmap_JoystickLayout, 12);
    EXPECT_EQ(inmap_KeyboardLayout, 0);
    EXPECT_FLOAT_EQ(m->scale, 0.5f);
    EXPECT_NE(inmap_ActionFind(m, "FIRE_CANNON")->handler, nullptr);
    inmap_MapClose();
    inmap_MapClose();
    EXPECT_EQ(inmap_OpenMap, nullptr);
}

TEST_F(InmapOpenTest, ExtraBindingsFollowTheDefaults) {
    static const InmapBinding extra[] = {
        {"LANTIRN_ENABLE", INMAP_KIND_KEYBOARD, 0, 'U', 0, 0},
        {"GEAR", INMAP_KIND_JOYSTICK, 0, 40, 0, 0},
        {nullptr, 0, 0, 0, 0, 0},
    };
    inmap_ExtraBindings = extra;
    _INMAP* m = inmap_MapOpen();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->inputCount, INMAP_DEFAULT_COUNT + 2);
    EXPECT_EQ(inmap_ActionFind(m, "GEAR")->inputCount, 2);
    std::string text = ReadText("KRX.INP");
    EXPECT_NE(text.find(Bound("LANTIRN_ENABLE", "U")), std::string::npos);
    EXPECT_NE(text.find(Bound("GEAR", "B10")), std::string::npos);
}

TEST_F(InmapOpenTest, ReportListsSupportedAndUnsupportedActions) {
    WriteText("KRX.INP", "VERSION_NUMBER 56\r\nZOOM_IN S\r\nMY_OWN_ACTION X\r\nFIRE_CANNON Z\r\nLEFTOVER\r\n");
    ASSERT_NE(inmap_MapOpen(), nullptr);
    std::string want = Lines({
        "//#################################################",
        "//  RUN-TIME INPUT MAPPING REPORT",
        "//#################################################",
        "",
        "// ACTIONS THAT ARE SUPPORTED AND MAPPED",
        "ZOOM_IN",
        "FIRE_CANNON",
        "",
        "// ACTIONS THAT ARE NOT SUPPORTED BUT MAPPED",
        "MY_OWN_ACTION",
        "LEFTOVER",
        "",
        "// ACTIONS THAT ARE SUPPORTED BUT NOT MAPPED",
    });
    for (const InmapActionDef* d = inmap_ActionTable; d->name; d++)
        if (strcmp(d->name, "ZOOM_IN") != 0 && strcmp(d->name, "FIRE_CANNON") != 0)
            want += std::string(d->name) + "\r\n";
    EXPECT_EQ(ReadText("_inptmap.txt"), want);

    // Binding again forgets what the table no longer has.
    _INMAP_ACTION* own = inmap_ActionFind(inmap_OpenMap, "MY_OWN_ACTION");
    EXPECT_EQ(own->id, -1);
    own->id = 7;
    own->handler = inmap_ActionTable[0].handler;
    const InmapActionDef small[] = {{"ZOOM_IN", 291, 1, inmap_ActionTable[0].handler}, {nullptr, 0, 0, nullptr}};
    EXPECT_EQ(inmap_ReportWrite(inmap_OpenMap, small, nullptr), 0);
    EXPECT_EQ(own->id, -1);
    EXPECT_EQ(own->handler, nullptr);
    EXPECT_EQ(inmap_ActionFind(inmap_OpenMap, "FIRE_CANNON")->handler, nullptr);
    EXPECT_EQ(inmap_ActionFind(inmap_OpenMap, "zoom_in")->id, 291);
    EXPECT_EQ(inmap_ReportWrite(nullptr, small, "_inptmap.txt"), -1);
}

// ---- joystick buttons ----------------------------------------------------------------

TEST_F(InmapOpenTest, TriggerFiresCurrentWeaponRemap) {
    WriteText("KRX.INP",
              "VERSION_NUMBER 56\r\n"
              "JOYSTICK STANDARD\r\n"
              "FIRE_CANNON HOLD B1\r\n"
              "FIRE_CURRENT_WEAPON HOLD B2\r\n"
              "JETTISON_CURRENT_WEAPON CTRL SHIFT B2\r\n"
              "SELECT_WEAPON_NEXT B3\r\n"
              "TARGET_NEXT B4\r\n"
              "JOYSTICK FCS\r\n"
              "TARGET_NEXT HOLD ALT B4\r\n"
              "GEAR B5\r\n");
    _INMAP* m = inmap_MapOpen();
    ASSERT_NE(m, nullptr);
    std::filesystem::remove("_inptmap.txt");
    inmap_JoystickButtonsRemap();

    constexpr int32_t JS = INMAP_KIND_JOYSTICK;
    ExpectInputs(m, "FIRE_CANNON", {}, "B1 dropped");
    ExpectInputs(m, "FIRE_CURRENT_WEAPON", {{JS, 0, 31, 0, 1}}, "B2 to B1");
    ExpectInputs(m, "JETTISON_CURRENT_WEAPON", {{JS, 0, 31, 3, 0}}, "B2 to B1");
    ExpectInputs(m, "SELECT_WEAPON_NEXT", {{JS, 0, 32, 0, 0}}, "B3 to B2");
    ExpectInputs(m, "TARGET_NEXT", {{JS, 0, 33, 0, 0}, {JS, 2, 33, 4, 1}}, "B4 copied to B3");
    ExpectInputs(m, "CTRL", {{JS, 0, 34, 0, 1}, {JS, 2, 34, 0, 1}}, "B4 held as CTRL");
    ExpectInputs(m, "GEAR", {{JS, 2, 35, 0, 0}}, "B5 stays");
    // CTRL was made, so the report came again and bound it.
    _INMAP_ACTION* ctrl = inmap_ActionFind(m, "CTRL");
    EXPECT_EQ(ctrl->continuous, 1);
    EXPECT_EQ(ctrl->id, 209);
    EXPECT_NE(ctrl->handler, nullptr);
    std::string report = ReadText("_inptmap.txt");
    EXPECT_NE(report.find("MAPPED\r\nFIRE_CANNON\r\nFIRE_CURRENT_WEAPON"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nCTRL\r\n\r\n// ACTIONS THAT ARE NOT"), std::string::npos) << report;

    // With CTRL already there the report is not written again.
    std::filesystem::remove("_inptmap.txt");
    inmap_JoystickButtonsRemap();
    EXPECT_FALSE(Exists("_inptmap.txt"));
    ExpectInputs(m, "FIRE_CURRENT_WEAPON", {}, "second run drops the new B1");
    // CTRL's own B4 inputs are copied onto B3 as well.
    ExpectInputs(m, "CTRL", {{JS, 0, 34, 0, 1}, {JS, 2, 34, 0, 1}, {JS, 0, 33, 0, 1}, {JS, 2, 33, 0, 1}},
                 "CTRL keeps B4");
}

TEST_F(InmapOpenTest, RemapOfTheActiveMapTakesEffect) {
    WriteText("KRX.INP",
              "VERSION_NUMBER 56\r\nFIRE_CANNON HOLD B1\r\nFIRE_CURRENT_WEAPON HOLD B2\r\nGEAR CTRL G\r\n"
              "TARGET_NEXT B4\r\n");
    _INMAP* m = inmap_MapOpen();
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(inmap_MapActivate(m), 0);
    inmap_JoystickButtonsRemap();
    EXPECT_EQ(inmap_ActiveMap, m);
    // The trigger fires the current weapon; B4 is a Ctrl that makes CTRL+G.
    inmap_JoystickWatch(31, 1);
    inmap_JoystickWatch(34, 1);
    inmap_PollFrame();
    EXPECT_TRUE(inmap_InputCurrent.flags & INPUT_FIRE_WEAPON);
    EXPECT_FALSE(inmap_InputCurrent.flags & INPUT_FIRE_CANNON);
    EXPECT_TRUE(inmap_InputCurrent.flags & INPUT_CTRL);
    ekey_KeyDown('G', 0);
    inmap_PollFrame();
    EXPECT_TRUE(inmap_InputCurrent.flags & INPUT_GEAR);
    inmap_MapClose();
    EXPECT_EQ(inmap_ActiveMap, nullptr);
    inmap_JoystickButtonsRemap();  // no open map: nothing
}
