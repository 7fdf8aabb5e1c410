// The options screen: slider knobs and values, the setting toggles, key
// capture on the remap page, conflicts, and when the input map is written.
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "input/inmapfile.h"
#include "menu/option.h"
#include "menu_fixture.h"
#include "platform/winmsg.h"
#include "shell/runner.h"
#include "shell/settings.h"

namespace {

constexpr int32_t kKnobW = 12;  // the data set's knob
constexpr int32_t kRightEnd = MNU_OPT_TRACK_RIGHT - kKnobW;

TEST(OptionSlider, KnobPlacesAndValues) {
    const struct {
        int32_t id, x, value;
    } kToValue[] = {
        {MNU_OPT_SFX, MNU_OPT_TRACK_LEFT, 0},  {MNU_OPT_SFX, kRightEnd, 255},      {MNU_OPT_MUSIC, kRightEnd - 1, 254},
        {MNU_OPT_TEXTURE, kRightEnd, 26},      {MNU_OPT_TEXTURE, kRightEnd - 8, 25},
        {MNU_OPT_CUES, MNU_OPT_TRACK_LEFT - 9, 0},  // left of the track
    };
    for (const auto& c : kToValue)
        EXPECT_EQ(mnu_OptSliderValue(c.id, c.x, kKnobW), c.value) << c.id << " at " << c.x;
    const struct {
        int32_t id, value, x;
    } kToKnob[] = {
        {MNU_OPT_SFX, 255, kRightEnd},      {MNU_OPT_DIALOG, 0, MNU_OPT_TRACK_LEFT},
        {MNU_OPT_WEAPON, 128, 349 + 128 * 191 / 256},
        {MNU_OPT_TEXTURE, 26, kRightEnd},   {MNU_OPT_TEXTURE, 13, 349 + 13 * 191 / 27},
    };
    for (const auto& c : kToKnob)
        EXPECT_EQ(mnu_OptSliderKnobX(c.id, c.value, kKnobW), c.x) << c.id << " value " << c.value;
}

TEST(OptionFormat, OneArgumentBounded) {
    char out[24];
    const struct {
        const char* format;
        const char* arg;
        int32_t result;
        const char* text;
    } kCases[] = {
        {"Keys for %s?", "Fire", 0, "Keys for Fire?"},
        {"100%% %s %s %d", "x", 0, "100% x %s %d"},  // one argument only, nothing else converted
        {nullptr, "x", -1, "!STRING ERROR"},
        {"%s", "a name far too long for the box", -1, "!STRING ERROR"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(mnu_OptFormat(out, sizeof out, c.format, c.arg), c.result);
        EXPECT_STREQ(out, c.text);
    }
}

class OptionScreen : public MenuTest {
protected:
    bool entered = false;

    void SetUp() override {
        MenuTest::SetUp();
        ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
        pal_BuildHighColourTables();
        ASSERT_EQ(mkdata_WriteSoundTriggers("."), 0);
        ASSERT_EQ(mkdata_WriteMenuScript("."), 0);
        test_WriteFile("KRXMENU.BIN", mkdata_MenuDataBuild());
        test_WriteFile("INPUTMAP.BIN", mkdata_InputMapBuild());
        mnu_ScriptLoad("KRX.MNU", &ctx);
        mnu_Context = &ctx;
        cfg_SettingsDefaults();
        app_Runner = AppRunnerState{};
        mnu_Option = MnuOptionState{};
    }
    void TearDown() override {
        if (entered) WndOption.leave();
        mnu_TransitionFree();
        mnu_CursorRelease();
        mnu_AcceptKeyCallbackSet(nullptr);
        mnu_CancelKeyCallbackSet(nullptr);
        inmap_MapClose();
        inmap_ResourceFree();
        mnu_Context = nullptr;
        MenuTest::TearDown();
        otw_CloseDisplay();
    }
    void Enter() {
        WndOption.enter();
        mnu_TransitionFree();
        entered = true;
    }
    void Leave() {
        WndOption.leave();
        entered = false;
    }
    void Page(int32_t page) {
        while (mnu_Option.page != page) {
            mnu_Option.pageLock = 0;  // the draw clears it between changes
            cbOptPageTog(1);
        }
        mnu_Option.pageLock = 0;
    }
    const char* Text(const char* area) {
        MnuTextArea* a = mnu_TextAreaFind(&ctx, area);
        return a && a->text ? a->text : "";
    }
    const char* String(const char* key) {
        MnuString* s = mnu_StringFind(&ctx, key);
        return s && s->text ? s->text : "?";
    }
    // The first input of the page's kind of the action on that row.
    static const _INMAP_INPUT* Key(int32_t row) {
        _INMAP_ACTION* a = mnu_Option.actions[mnu_Option.top + row];
        for (const _INMAP_INPUT* in = a->inputHead; in; in = in->actionNext)
            if (in->kind == INMAP_KIND_KEYBOARD) return in;
        return nullptr;
    }
    static void Capture(int32_t row, int32_t key) {
        cbOptRemap(row);
        mnu_OptKeyWatch(key, 1);
        mnu_OptKeyWatch(key, 0);
    }
    // A key no action holds yet.
    static int32_t FreeKey(void) {
        for (int32_t code = 'A'; code <= (int32_t)VK_F12; code++) {
            bool used = false;
            for (const _INMAP_INPUT* in = inmap_OpenMap->inputHead; in && !used; in = in->next)
                used = in->kind == INMAP_KIND_KEYBOARD && in->code == code;
            if (!used && inmap_KeyNameFind(INMAP_KIND_KEYBOARD, code)) return code;
        }
        return 0;
    }
    static struct stat Stat(const char* file) {
        struct stat st = {};
        stat(file, &st);
        return st;
    }
};

TEST_F(OptionScreen, SlidersEndAtTheirMaximumAndLeaveTheOthersAlone) {
    app_Settings.SFX_VOLUME = 200;
    app_Settings.MUSIC_VOLUME = 201;  // no knob place gives exactly this value
    Enter();
    ASSERT_EQ(mnu_Option.knobWidth, kKnobW);
    EXPECT_EQ(mnu_Option.knobs[0]->left, mnu_OptSliderKnobX(MNU_OPT_SFX, 200, kKnobW));
    for (int32_t i = 0; i < 60; i++) cbOptSliderAdd(MNU_OPT_SFX);
    EXPECT_EQ(mnu_Option.knobs[0]->left, kRightEnd);
    EXPECT_EQ(app_Settings.SFX_VOLUME, 255);
    for (int32_t i = 0; i < 60; i++) cbOptSliderAdd(MNU_OPT_TEXTURE);
    EXPECT_EQ(app_Settings.TEXTURE_DISTANCE, 26);
    EXPECT_EQ(app_Settings.MUSIC_VOLUME, 201);
    for (int32_t i = 0; i < 60; i++) cbOptSliderMinus(MNU_OPT_SFX);
    EXPECT_EQ(app_Settings.SFX_VOLUME, 0);
    Leave();
    EXPECT_EQ(app_Settings.MUSIC_VOLUME, 201);
}

TEST_F(OptionScreen, TogglesChangeOnlyTheirSetting) {
    Enter();
    AppSettings& s = app_Settings;
    const struct {
        int32_t argument;
        int32_t* setting;
        int32_t before, after;
        int32_t allow1024;
    } kCases[] = {
        {0, &s.GAME_FULLSCREEN, 0, 1, 1},        {7, &s.JOYSTICK_ENABLE, 1, 0, 1},
        {10, &s.RUDDER_ENABLE, 0, 1, 1},         {11, &s.STEER_WITH_RUDDER, 1, 0, 1},
        {12, &s.BLACKOUTS, 0, 1, 1},             {13, &s.AUTO_SHOOTLIST, 0, 1, 1},
        {14, &s.AUTO_GEAR, 0, 1, 1},             {15, &s.UNBALANCED_LOADOUTS, 0, 1, 1},
        {16, &s.FLAMEOUTS, 0, 1, 1},             {17, &s.FLATSPINS, 0, 1, 1},
        {19, &s.AUX_VOICE_DIALOG, 1, 0, 1},      {20, &s.TRIGGER_FIRES_CURRENT_WEAPON, 0, 1, 1},
        {21, &s.SMOOTH_COCKPIT_CAMERA, 0, 1, 1}, {22, &s.EASY_TARGET_CUE, 0, 1, 1},
        {258, &s.MEMORY_USAGE, 0, 2, 1},         {65538, &s.MEMORY_USAGE, 2, 0, 1},
        {263, &s.JOYSTICK_LAYOUT, 0, 17, 1},     {65543, &s.JOYSTICK_LAYOUT, 17, 0, 1},
        {264, &s.THROTTLE_ENABLE, 0, 2, 1},      {65544, &s.THROTTLE_ENABLE, 1, 2, 1},
        // The resolution skips 1024 x 768 when it is not to be had.
        {65539, &s.GAME_RESOLUTION, 1, 0, 0},    {259, &s.GAME_RESOLUTION, 0, 1, 0},
        {65539, &s.GAME_RESOLUTION, 1, 2, 1},    {259, &s.GAME_RESOLUTION, 0, 2, 1},
    };
    for (const auto& c : kCases) {
        *c.setting = c.before;
        mnu_Allow1024 = c.allow1024;
        AppSettings before = s;
        cbOptTog(c.argument);
        EXPECT_EQ(*c.setting, c.after) << c.argument;
        *c.setting = c.before;
        EXPECT_EQ(memcmp(&before, &s, sizeof s), 0) << c.argument << " changed another setting";
    }
    // The arm toggle only refreshes the texts.
    AppSettings before = s;
    cbOptTog(18);
    EXPECT_EQ(memcmp(&before, &s, sizeof s), 0);
    s.BLACKOUTS = 1;
    cbOptTog(18);
    EXPECT_STREQ(Text("TxtOptBO"), String("ON"));
}

TEST_F(OptionScreen, CtrlHeldBindsWithCtrlAndEscapeChangesNothing) {
    Enter();
    Page(5);
    ASSERT_GT(mnu_Option.count, MNU_OPT_ROWS);
    // Escape: the old binding stays, the capture ends.
    const _INMAP_INPUT* old = Key(0);
    ASSERT_NE(old, nullptr);
    int32_t oldCode = old->code, oldMods = old->modifiers;
    cbOptRemap(0);
    EXPECT_EQ(mnu_Option.capturing, 1);
    EXPECT_EQ(mnu_KeyCapture, 1);
    mnu_OptKeyWatch(27, 1);
    EXPECT_EQ(mnu_Option.capturing, 0);
    EXPECT_EQ(Key(0)->code, oldCode);
    EXPECT_EQ(Key(0)->modifiers, oldMods);
    EXPECT_EQ(mnu_Option.mapChanged, 0);
    EXPECT_STREQ(Text("TxtOptP5Status"), String("OPT_INPUT_OFF"));
    mnu_OptKeyWatch(27, 0);
    EXPECT_EQ(mnu_KeyCapture, 0);

    // Ctrl held, then Q: bound with Ctrl, the row shows it.
    cbOptRemap(0);
    mnu_OptKeyWatch(17, 1);
    EXPECT_EQ(mnu_Option.modifiers, INMAP_MOD_CTRL);
    mnu_OptKeyWatch('Q', 1);
    EXPECT_EQ(mnu_Option.capturing, 0);
    ASSERT_NE(Key(0), nullptr);
    EXPECT_EQ(Key(0)->code, 'Q');
    EXPECT_EQ(Key(0)->modifiers, INMAP_MOD_CTRL);
    int32_t keys = 0;
    for (const _INMAP_INPUT* in = Key(0)->action->inputHead; in; in = in->actionNext)
        keys += in->kind == INMAP_KIND_KEYBOARD ? 1 : 0;
    EXPECT_EQ(keys, 1);
    EXPECT_EQ(mnu_Option.mapChanged, 1);
    EXPECT_EQ(std::string(mnu_OptRowBinding(0)), std::string(String("OPT_CTRL")) + "-Q");
    mnu_OptKeyWatch('Q', 0);
    mnu_OptKeyWatch(17, 0);
    EXPECT_EQ(mnu_KeyCapture, 0);
}

TEST_F(OptionScreen, TwoActionsOnOneKeyShowTheMarker) {
    Enter();
    Page(5);
    int32_t key = FreeKey();
    ASSERT_NE(key, 0);
    Capture(0, key);
    EXPECT_EQ(strstr(mnu_OptRowBinding(0), String("OPT_CONFLICT_MARKER")), nullptr);
    EXPECT_STREQ(Text("TxtOptP5Status"), String("OPT_INPUT_OFF"));
    Capture(1, key);
    EXPECT_NE(strstr(mnu_OptRowBinding(0), String("OPT_CONFLICT_MARKER")), nullptr);
    EXPECT_NE(strstr(mnu_OptRowBinding(1), String("OPT_CONFLICT_MARKER")), nullptr);
    EXPECT_EQ(strstr(mnu_OptRowBinding(2), String("OPT_CONFLICT_MARKER")), nullptr);
    EXPECT_STREQ(Text("TxtOptP5Status"), String("OPT_CONFLICT"));
    // Delete the second one's keys: no conflict left.
    cbOptRemap(1);
    cbOptDelete1(0);
    EXPECT_STREQ(mnu_OptRowBinding(1), String("OPT_NONE"));
    EXPECT_STREQ(Text("TxtOptP5Status"), String("OPT_INPUT_OFF"));
}

TEST_F(OptionScreen, TheMapIsWrittenOnceAfterAChangeAndNeverWithout) {
    const char* file = INMAP_FILE_DEFAULT;
    // Without a change nothing is written.
    Enter();
    Page(5);
    struct stat before = Stat(file);
    ASSERT_NE(before.st_ino, 0u);
    Page(6);
    Leave();
    struct stat after = Stat(file);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // A change is written at the next page change, and not again at leave.
    Enter();
    Page(5);
    Capture(0, VK_F12);
    Page(6);
    struct stat written = Stat(file);
    EXPECT_NE(written.st_ino, before.st_ino);
    Leave();
    EXPECT_EQ(Stat(file).st_ino, written.st_ino);
    _INMAP* map = inmap_TextLoad(file);
    ASSERT_NE(map, nullptr);
    _INMAP_ACTION* first = map->actionHead;
    ASSERT_NE(first, nullptr);
    bool bound = false;
    for (const _INMAP_INPUT* in = first->inputHead; in; in = in->actionNext)
        bound = bound || (in->kind == INMAP_KIND_KEYBOARD && in->code == VK_F12);
    EXPECT_TRUE(bound) << first->name;
    inmap_MapFree(map);
}

TEST_F(OptionScreen, FewActionsNeedNoScrollingAndRowsBeyondDoNothing) {
    test_WriteText(INMAP_FILE_DEFAULT,
                   "VERSION_NUMBER 56\r\nKEYBOARD STANDARD\r\nAUTO_LEVEL L\r\nBRAKE B\r\nNO_SUCH_ACTION X\r\n");
    Enter();
    Page(5);
    EXPECT_EQ(mnu_Option.count, 2);
    EXPECT_EQ(mnu_Option.knobStep, 0.0f);
    mnu_OptScrollButtonsUpdate();
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnOpt5Up"), MNU_STATE_DISABLED);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnOpt5Down"), MNU_STATE_DISABLED);
    cbOptRemapPage(1);
    EXPECT_EQ(mnu_Option.top, 0);
    EXPECT_EQ(mnu_Option.remapKnob->top, MNU_OPT_KNOB_TOP);
    mnu_ZoneList.y = MNU_OPT_KNOB_BOTTOM;
    mnu_OptScrollDrag(nullptr, 0);
    EXPECT_EQ(mnu_Option.top, 0);
    cbOptRemap(5);
    EXPECT_EQ(mnu_Option.capturing, 0);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnOpt5Item6"), MNU_STATE_DISABLED);
    EXPECT_STREQ(Text("TxtRemapItem3A"), "");
}

TEST_F(OptionScreen, RevertDropsUnsavedBindings) {
    Enter();
    Page(5);
    int32_t code = Key(0)->code;
    Capture(0, VK_F12);
    cbOptRevert(0);
    EXPECT_EQ(mnu_Option.dialogOpen, 1);
    EXPECT_NE(strstr(Text("TxtDlgText"), String("OPT_PAGE5_TITLE")), nullptr);
    cbOptOk(0);
    EXPECT_EQ(mnu_Option.dialogOpen, 0);
    EXPECT_EQ(Key(0)->code, code);
    EXPECT_EQ(mnu_Option.mapChanged, 0);
}

TEST_F(OptionScreen, ThreeDDialogWithoutACard) {
    Enter();
    mnu_Option.pageLock = 1;
    cbOptVidQuestion(0);  // during a page change: nothing
    EXPECT_EQ(mnu_Option.dialogOpen, 0);
    mnu_Option.pageLock = 0;
    cbOptVidQuestion(0);
    EXPECT_EQ(mnu_Option.dialogOpen, 1);
    EXPECT_STREQ(Text("Txt3DDlgLine1"), String("OPT_3D_NOTDETECTED"));
    EXPECT_EQ(std::string(Text("Txt3DDlgLine2")), std::string(String("OPT_STATUS")) + ": " + String("NOT_AVAIL"));
    EXPECT_STREQ(Text("Txt3DDlgLine3"), "");
    EXPECT_STREQ(Text("TxtOptScreen3D"), String("NOTAVAIL"));
    EXPECT_EQ(app_Settings.ENABLE_3D, 0);
    cbOptVidOK(0);
    EXPECT_EQ(mnu_Option.dialogOpen, 0);
}

}  // namespace
