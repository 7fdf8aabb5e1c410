// The input-map resource, the descriptions of inputs, the key-name and
// layout tables and the default bindings.
#include <map>
#include <set>
#include <string>

#include "inmapfile_fixture.h"
#include "mkdata.h"
#include "shell/fatal.h"
#include "shell/startup.h"

namespace {

class InmapResourceTest : public InmapFileTest {
protected:
    void LoadResource() {
        std::vector<uint8_t> image = mkdata_InputMapBuild();
        WriteText("INPUTMAP.BIN", std::string(image.begin(), image.end()));
        ASSERT_EQ(inmap_ResourceLoad(), 0);
    }
    // Describes an input of a bound action.
    int32_t Describe(const char* action, int32_t kind, int32_t code, int32_t modifiers, int32_t hold) {
        _INMAP* m = NewMap();
        _INMAP_ACTION* a = BoundAction(m, action);
        _INMAP_INPUT* in = inmap_InputCreate(a, kind, 0, code, modifiers, hold);
        return inmap_InputDescribe(in, key_, sizeof key_, action_, sizeof action_);
    }
    char key_[64];
    char action_[64];
};

}  // namespace

TEST_F(InmapResourceTest, LoadKeepsTheTaggedResource) {
    EXPECT_EQ(inmap_ResourceLoad(), -1);  // no file
    EXPECT_EQ(inmap_Resource, nullptr);
    LoadResource();
    ASSERT_NE(inmap_Resource, nullptr);
    auto header =
        reinterpret_cast<const MemBlock*>(reinterpret_cast<const uint8_t*>(inmap_Resource) - MEM_BLOCK_HEADER);
    EXPECT_STREQ(header->tag, "INPUTMAP TEXT RESOURCE");
    EXPECT_STREQ(inmap_ResourceText(INMAP_ITEM_VERSION), "1");
    EXPECT_STREQ(inmap_ResourceText(INMAP_ITEM_WORD_HOLD), "Hold");
    EXPECT_EQ(inmap_ResourceText(INMAP_ITEM_VERSION + 1), nullptr);
    EXPECT_EQ(inmap_ResourceText(-1), nullptr);
    // Loading again replaces the block; freeing forgets it.
    LoadResource();
    inmap_ResourceFree();
    EXPECT_EQ(inmap_Resource, nullptr);
    EXPECT_EQ(inmap_ResourceText(INMAP_ITEM_VERSION), nullptr);
}

TEST_F(InmapResourceTest, EveryNameTheProgramShowsIsInTheResource) {
    LoadResource();
    for (const InmapActionDef* d = inmap_ActionTable; d->name; d++) {
        const char* t = inmap_ResourceText(d->id);
        ASSERT_NE(t, nullptr) << d->name;
        EXPECT_NE(t[0], 0) << d->name;
    }
    for (const InmapKeyName* k = inmap_KeyNames; k->name; k++) {
        const char* t = inmap_ResourceText(k->displayId);
        ASSERT_NE(t, nullptr) << k->name;
        EXPECT_NE(t[0], 0) << k->name;
    }
    for (const InmapLayout* l : {inmap_KeyboardLayouts, inmap_JoystickLayouts})
        for (; l->name; l++) EXPECT_NE(inmap_ResourceText(l->displayItem)[0], 0) << l->name;
    // Each action's own name, not one shared with a key or a layout.
    EXPECT_STREQ(inmap_ResourceText(293), "Fire cannon");
    EXPECT_STREQ(inmap_ResourceText(374), "Select weapon AAM prev");
}

TEST_F(InmapResourceTest, DescribeInputs) {
    LoadResource();
    constexpr int32_t KB = INMAP_KIND_KEYBOARD, JS = INMAP_KIND_JOYSTICK, MS = INMAP_KIND_MOUSE;
    struct Case {
        const char* action;
        int32_t kind, code, modifiers, hold;
        const char* key;
        const char* text;
    } cases[] = {
        {"FIRE_CANNON", KB, 'Z', 0, 1, "Hold Z", "Fire cannon"},
        {"SNAPSHOT", KB, 0x2D, 3, 0, "Ctrl + Shift + Insert", "Snapshot"},
        {"AUTO_SPIN_CAMERA", KB, 'O', 7, 0, "Ctrl + Shift + Alt + O", "Auto spin camera"},
        {"JETTISON_CURRENT_WEAPON", JS, 32, 5, 1, "Hold Ctrl + Alt + Button 2", "Jettison current weapon"},
        {"LOOK_LEFT", JS, 14, 0, 0, "Hat 1 left", "Look left"},
        {"THROTTLE", JS, 4, 2, 0, "Shift + Throttle", "Throttle"},
        {"HUD_BRIGHTEN", KB, 0xBC, 0, 0, ",", "HUD brighten"},
        {"PAUSE", MS, 2, 0, 0, "Right mouse button", "Pause"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(c.action, c.kind, c.code, c.modifiers, c.hold), 0) << c.action;
        EXPECT_STREQ(key_, c.key);
        EXPECT_STREQ(action_, c.text);
    }
    // Cut to the buffers, always terminated.
    _INMAP* m = NewMap();
    _INMAP_INPUT* in = inmap_InputCreate(BoundAction(m, "AUTO_SPIN_CAMERA"), KB, 0, 'O', 7, 1);
    char k[8], a[5];
    EXPECT_EQ(inmap_InputDescribe(in, k, sizeof k, a, sizeof a), 0);
    EXPECT_STREQ(k, "Hold Ct");
    EXPECT_STREQ(a, "Auto");
}

TEST_F(InmapResourceTest, DescribeFailsForWhatIsMissing) {
    // Without the resource.
    EXPECT_EQ(Describe("GEAR", INMAP_KIND_KEYBOARD, 'G', 0, 0), -1);
    LoadResource();
    EXPECT_EQ(Describe("GEAR", INMAP_KIND_KEYBOARD, 'G', 0, 0), 0);
    // An action the table lacks, a key without a name, no input, no buffer.
    EXPECT_EQ(Describe("MY_OWN_ACTION", INMAP_KIND_KEYBOARD, 'G', 0, 0), -1);
    EXPECT_STREQ(key_, "");
    EXPECT_STREQ(action_, "");
    EXPECT_EQ(Describe("GEAR", INMAP_KIND_KEYBOARD, 0x5B, 0, 0), -1);
    EXPECT_EQ(Describe("GEAR", INMAP_KIND_JOYSTICK, 47, 0, 0), -1);
    EXPECT_EQ(inmap_InputDescribe(nullptr, key_, sizeof key_, action_, sizeof action_), -1);
    _INMAP* m = NewMap();
    _INMAP_INPUT* in = inmap_InputCreate(BoundAction(m, "GEAR"), INMAP_KIND_KEYBOARD, 0, 'G', 0, 0);
    EXPECT_EQ(inmap_InputDescribe(in, nullptr, 0, action_, sizeof action_), -1);
    // Empty words are used as they stand.
    MkTableGroup g{"INPUTMAP", {}};
    for (int i = 0; i <= 300; i++) g.items.push_back({"I" + std::to_string(i), "text"});
    g.items.resize(INMAP_ITEM_VERSION + 1);
    g.items[INMAP_ITEM_VERSION].text = "1";
    std::vector<uint8_t> image = mkdata_TableBuild({g});
    WriteText("INPUTMAP.BIN", std::string(image.begin(), image.end()));
    ASSERT_EQ(inmap_ResourceLoad(), 0);
    EXPECT_EQ(Describe("GEAR", INMAP_KIND_KEYBOARD, 'G', 0, 0), 0);
    EXPECT_STREQ(key_, "text");
    EXPECT_STREQ(inmap_ResourceText(INMAP_ITEM_WORD_CTRL), "");
    EXPECT_EQ(Describe("GEAR", INMAP_KIND_KEYBOARD, 'G', INMAP_MOD_CTRL, 0), 0);
    EXPECT_STREQ(key_, " + text");
}

// In a child process: a resource whose version item reads 2.
void LoadWrongVersion(void) {
    setenv("KRX_PLATFORM", "headless", 1);
    mem_HeapInit();
    char tmpl[] = "/tmp/krx_inmapv_XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0) _exit(99);
    MkTableGroup g{"INPUTMAP", std::vector<MkTableItem>(INMAP_ITEM_VERSION + 1)};
    g.items[INMAP_ITEM_VERSION].text = "2";
    if (mkdata_WriteFile(".", "INPUTMAP.BIN", mkdata_TableBuild({g})) != 0 || mkdata_WriteAppStrings(".") != 0)
        _exit(98);
    app_StringFileLoad();
    inmap_ResourceLoad();
    _exit(0);
}

TEST(InmapResourceDeath, WrongVersionEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(LoadWrongVersion(), ::testing::ExitedWithCode(APP_EXIT_DATA_ERROR), "inmap_ResourceLoad");
}

// ---- names and layouts --------------------------------------------------------------

TEST(InmapNames, KeyNameLookups) {
    struct Case {
        const char* name;
        int32_t kind, code, displayId;
        const char* first;  // the name written for the key
    } cases[] = {
        {"bs", 1, 0x08, 0, "BACKSPACE"},         {"Return", 1, 0x0D, 3, "ENTER"},
        {"PGDN", 1, 0x22, 114, "PGDN"},          {"numpad*", 1, 0x6A, 71, "NUMPAD_MULTIPLY"},
        {"NUMPAD-", 1, 0x6D, 74, "NUMPAD_SUBTRACT"}, {"f24", 1, 0x87, 100, "F24"},
        {"_", 1, 0xBD, 106, "SUBTRACT"},         {"<", 1, 0xBC, 105, "LESSTHAN"},
        {"`", 1, 0xC0, 109, "TILDE"},            {"\\", 1, 0xDC, 111, "BACKSLASH"},
        {"\"", 1, 0xDE, 113, "SINGLEQUOTE"},     {"z", 1, 'Z', 60, "Z"},
        {"MOUSE_LEFT", 2, 0, 115, "MOUSE_MOVE_UP"}, {"mouse_right", 2, 2, 117, "MOUSE_RIGHT"},
        {"v_max", 3, 10, 132, "V_MAX"},          {"HAT_RIGHT", 3, 15, 152, "HAT1_RIGHT"},
        {"HAT4", 3, 26, 168, "HAT4"},            {"HAT4_RIGHT", 3, 30, 164, "HAT4_RIGHT"},
        {"B16", 3, 46, 148, "B16"},
    };
    for (const Case& c : cases) {
        const InmapKeyName* k = inmap_KeyNameByName(c.name);
        ASSERT_NE(k, nullptr) << c.name;
        EXPECT_EQ(k->kind, c.kind) << c.name;
        EXPECT_EQ(k->code, c.code) << c.name;
        EXPECT_EQ(k->displayId, c.displayId) << c.name;
        const InmapKeyName* first = inmap_KeyNameFind(c.kind, c.code);
        ASSERT_NE(first, nullptr);
        EXPECT_STREQ(first->name, c.first);
    }
    EXPECT_EQ(inmap_KeyNameByName("NOKEY"), nullptr);
    EXPECT_EQ(inmap_KeyNameByName(nullptr), nullptr);
    EXPECT_EQ(inmap_KeyNameFind(1, 0x5B), nullptr);
    EXPECT_EQ(inmap_KeyNameFind(3, 47), nullptr);
    EXPECT_EQ(inmap_KeyNameFind(0, 0x08), nullptr);
    int n = 0;
    for (const InmapKeyName* k = inmap_KeyNames; k->name; k++) n++;
    EXPECT_EQ(n, INMAP_KEY_NAME_COUNT);
}

TEST(InmapNames, LayoutLookups) {
    EXPECT_EQ(inmap_KeyboardLayoutByName("standard"), 0);
    EXPECT_EQ(inmap_KeyboardLayoutByName("FCS"), -1);
    EXPECT_EQ(inmap_JoystickLayoutByName("Wingman_Interceptor"), 12);
    EXPECT_EQ(inmap_JoystickLayoutByName("CYBERMAN2"), 14);
    EXPECT_EQ(inmap_JoystickLayoutByName("WINGMAN_FORCE_FEEDBACK"), 13);
    EXPECT_EQ(inmap_JoystickLayoutByName("WINGMAN_"), -1);
    EXPECT_EQ(inmap_JoystickLayoutByName(nullptr), -1);
    // Every layout number once, and the settings file's names back.
    std::set<int32_t> numbers;
    for (const InmapLayout* l = inmap_JoystickLayouts; l->name; l++) {
        numbers.insert(l->layout);
        EXPECT_STREQ(inmap_JoystickLayoutName(l->layout), l->name);
    }
    EXPECT_EQ(numbers.size(), 18u);
    EXPECT_EQ(*numbers.rbegin(), 17);
    EXPECT_EQ(inmap_JoystickLayoutName(18), nullptr);
}

// ---- default bindings -----------------------------------------------------------------

TEST(InmapDefaults, BindingsPerLayoutAndActions) {
    // Joystick bindings of each layout 0..17.
    const int32_t perLayout[18] = {24, 23, 24, 24, 24, 24, 24, 26, 16, 14, 16, 16, 25, 20, 16, 16, 20, 20};
    int32_t counted[18] = {};
    for (const InmapBinding* b = inmap_DefaultBindings; b->action; b++) {
        if (b->kind == INMAP_KIND_KEYBOARD) {
            EXPECT_EQ(b->layout, 0);
        } else {
            ASSERT_EQ(b->kind, INMAP_KIND_JOYSTICK);
            ASSERT_GE(b->layout, 0);
            ASSERT_LT(b->layout, 18);
            counted[b->layout]++;
        }
        // Every binding has a name to be written with, and names an action
        // of the table, but for the two engine throttles.
        EXPECT_NE(inmap_KeyNameFind(b->kind, b->code), nullptr) << b->action;
        bool known = false;
        for (const InmapActionDef* d = inmap_ActionTable; d->name; d++)
            known = known || strcmp(d->name, b->action) == 0;
        EXPECT_TRUE(known || !strcmp(b->action, "THROTTLE_LEFT") || !strcmp(b->action, "THROTTLE_RIGHT")) << b->action;
    }
    for (int l = 0; l < 18; l++) EXPECT_EQ(counted[l], perLayout[l]) << "layout " << l;

    // No two bindings of one layout share a key, modifiers and action.
    std::set<std::tuple<int32_t, int32_t, int32_t, int32_t, std::string>> seen;
    for (const InmapBinding* b = inmap_DefaultBindings; b->action; b++)
        EXPECT_TRUE(seen.insert({b->kind, b->layout, b->code, b->modifiers, b->action}).second) << b->action;
}
