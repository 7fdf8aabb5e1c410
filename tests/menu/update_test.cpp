// The per-frame update: press timing and repeat, hot keys, latching and
// radio groups, accept and cancel keys, text entries, scroll areas, image
// area animation and the button dump.
#include <cstring>
#include <vector>

#include "base/le.h"
#include "platform/files.h"
#include "platform/winmsg.h"
#include "widget_page.h"

namespace {

int32_t g_accepts = 0, g_cancels = 0, g_entryCalls = 0;
void OnAccept(int32_t) { g_accepts++; }
void OnCancel(int32_t) { g_cancels++; }
void OnEntry(int32_t) { g_entryCalls++; }

class UpdateTest : public WidgetPage {
protected:
    void SetUp() override {
        WidgetPage::SetUp();
        g_accepts = g_cancels = g_entryCalls = 0;
    }
    // The update numbers (from 1) in which the button's action ran while
    // the left button was held over it for `updates` updates.
    std::vector<int32_t> HoldOver(const char* name, int32_t updates) {
        MnuButton* b = mnu_ButtonFind(&ctx, name);
        std::vector<int32_t> fired;
        for (int32_t i = 1; i <= updates; i++) {
            size_t before = g_widgetActions.size();
            UpdateAt(b->x + 5, b->y + 5, true);
            if (g_widgetActions.size() > before) fired.push_back(i);
        }
        return fired;
    }
};

TEST_F(UpdateTest, APressActsInThe12thUpdateThenEvery6WhileHeld) {
    const struct {
        const char* button;
        int32_t updates;
        std::vector<int32_t> fired;
        int32_t stateAfter;  // after the button is let go
    } kCases[] = {
        {"BtnPlain", 30, {12, 18, 24, 30}, MNU_STATE_NORMAL},
        {"BtnOnce", 40, {12}, MNU_STATE_NORMAL},  // flag 0x1000: once until let go
        {"BtnLatch", 30, {12}, MNU_STATE_LATCHED},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(HoldOver(c.button, c.updates), c.fired) << c.button;
        UpdateAt(0, 470, false);
        EXPECT_EQ(mnu_ButtonGetState(&ctx, c.button), c.stateAfter) << c.button;
    }
    // Let go and pressed again, the flag-0x1000 button fires again.
    EXPECT_EQ(HoldOver("BtnOnce", 12), std::vector<int32_t>{12});
}

TEST_F(UpdateTest, PressTimesCanBeChanged) {
    mnu_ButtonSetPressTimes(&ctx, "BtnPlain", 8, 1);
    EXPECT_EQ(HoldOver("BtnPlain", 12), (std::vector<int32_t>{8, 9, 10, 11, 12}));
}

TEST_F(UpdateTest, HotKeysMatchEitherCaseAndADisabledButtonIgnoresItsOwn) {
    const struct {
        int32_t ch;
        bool disabled;
        bool fires;
    } kCases[] = {{'p', false, true}, {'P', false, true}, {'x', false, false}, {'p', true, false}};
    for (const auto& c : kCases) {
        g_widgetActions.clear();
        mnu_ButtonSetState(&ctx, "BtnPlain", c.disabled ? MNU_STATE_DISABLED : MNU_STATE_NORMAL);
        Key('P', c.ch);
        for (int32_t i = 0; i < 12; i++) UpdateAt(0, 470, false);
        EXPECT_EQ(g_widgetActions.size(), c.fires ? 1u : 0u) << (char)c.ch << c.disabled;
        if (c.fires) {
            EXPECT_EQ(g_widgetActions[0], 0);
        }
    }
    // While an entry takes the keys, hot keys do not reach the buttons.
    mnu_ButtonSetState(&ctx, "BtnPlain", MNU_STATE_NORMAL);
    g_widgetActions.clear();
    mnu_KeyCaptureSet(1);
    Key('P', 'p');
    for (int32_t i = 0; i < 12; i++) UpdateAt(0, 470, false);
    EXPECT_TRUE(g_widgetActions.empty());
}

TEST_F(UpdateTest, ARadioPressReleasesTheOthersOfItsGroup) {
    mnu_ButtonSetState(&ctx, "BtnRadio1", MNU_STATE_LATCHED);
    HoldOver("BtnRadio2", 1);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnRadio1"), MNU_STATE_NORMAL);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnRadio2"), MNU_STATE_PRESSED);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "NoSuchButton"), -1);
    EXPECT_EQ(mnu_ButtonGroupSetState(&ctx, -1, 1, MNU_STATE_DISABLED, 0), ctx.buttonCount);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnRadio1"), MNU_STATE_DISABLED);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnPlain"), MNU_STATE_NORMAL);
}

TEST_F(UpdateTest, AcceptAndCancelKeys) {
    mnu_AcceptKeyCallbackSet(OnAccept);
    mnu_CancelKeyCallbackSet(OnCancel);
    const struct {
        uint32_t vk;
        int32_t accepts, cancels;
    } kCases[] = {{VK_RETURN, 1, 0}, {VK_SPACE, 1, 0}, {VK_ESCAPE, 0, 1}, {'Q', 0, 0}};
    for (const auto& c : kCases) {
        g_accepts = g_cancels = 0;
        Key(c.vk);
        UpdateAt(0, 470, false);
        EXPECT_EQ(g_accepts, c.accepts) << c.vk;
        EXPECT_EQ(g_cancels, c.cancels) << c.vk;
    }
    // A closed page forgets keys already queued.
    Key(VK_RETURN);
    mnu_WindowsCloseAll(&ctx);
    g_accepts = 0;
    UpdateAt(0, 470, false);
    EXPECT_EQ(g_accepts, 0);
}

TEST_F(UpdateTest, AnEntryOfSize8Takes7CharactersAndEscapeRestoresTheText) {
    char name[8] = "Ann";
    mnu_EntryBind(&ctx, "EntName", name, sizeof name, OnEntry, nullptr);
    ASSERT_EQ(mnu_EntryBegin(&ctx, "EntName"), 1);
    EXPECT_EQ(mnu_KeyCapture, 1);
    for (char ch : std::string("abcdefgh")) Key('A', ch);
    UpdateAt(0, 470, false);
    EXPECT_STREQ(name, "Annabcd");
    Key(VK_BACK, 8);
    UpdateAt(0, 470, false);
    EXPECT_STREQ(name, "Annabc");
    Key(VK_ESCAPE, 27);
    UpdateAt(0, 470, false);
    EXPECT_STREQ(name, "Ann");
    EXPECT_EQ(g_entryCalls, 1);
    Key(VK_RETURN, 13);
    UpdateAt(0, 470, false);
    EXPECT_EQ(g_entryCalls, 2);
    mnu_EntryEnd(&ctx, "EntName");
    EXPECT_EQ(mnu_KeyCapture, 0);
    EXPECT_EQ(mnu_EntryBegin(&ctx, "NoSuchEntry"), 0);
}

TEST_F(UpdateTest, ScrollButtonsFollowTheFirstLine) {
    mnu_ScrollAttach(&ctx, "ScrList");
    MnuScroll* s = mnu_ScrollFind(&ctx, "ScrList");
    ASSERT_NE(s->area, nullptr);
    MnuImageArea* thumb = mnu_ImageAreaFind(&ctx, "ScrList");
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->top, s->trackTop);
    // Too few lines: both buttons are disabled once the first line is 0.
    s->area->lineCount = 2;
    UpdateAt(0, 470, false);
    EXPECT_EQ(s->up->state, MNU_STATE_DISABLED);
    EXPECT_EQ(s->down->state, MNU_STATE_DISABLED);
    // One line over a step of 1: the thumb stays at the top (no division by 0).
    s->area->lineCount = 1;
    mnu_ScrollDown(s);
    EXPECT_EQ(s->area->firstLine, 0);
    EXPECT_EQ(mnu_ImageAreaFind(&ctx, "ScrList")->top, s->trackTop);
    // Twenty lines: down moves the first line and the thumb, up is enabled.
    s->area->lineCount = 20;
    for (int32_t i = 0; i < 3; i++) mnu_ScrollDown(s);
    EXPECT_EQ(s->area->firstLine, 3);
    EXPECT_EQ(s->currentStep, 3);
    const int32_t expected = s->trackTop + static_cast<int32_t>((s->trackBottom - s->trackTop) / 19.0 * 3);
    EXPECT_EQ(mnu_ImageAreaFind(&ctx, "ScrList")->top, expected);
    UpdateAt(0, 470, false);
    EXPECT_EQ(s->up->state, MNU_STATE_NORMAL);
    EXPECT_EQ(s->down->state, MNU_STATE_NORMAL);
    for (int32_t i = 0; i < 40; i++) mnu_ScrollDown(s);
    EXPECT_EQ(s->area->firstLine, 18);  // line count - step - 1
    UpdateAt(0, 470, false);
    EXPECT_EQ(s->down->state, MNU_STATE_DISABLED);
    // The thumb never leaves its track.
    const MnuImageArea* t = mnu_ImageAreaFind(&ctx, "ScrList");
    EXPECT_LE(t->bottom, s->trackBottom);
    for (int32_t i = 0; i < 40; i++) mnu_ScrollUp(s);
    EXPECT_EQ(s->area->firstLine, 0);
    mnu_ScrollDetach(&ctx, "ScrList");
    EXPECT_EQ(s->trackZone, nullptr);
}

TEST_F(UpdateTest, ImageAreasStepEveryDelayPlusOneUpdates) {
    MnuImageArea* a = mnu_ImageAreaFind(&ctx, "AnimArea");
    ASSERT_NE(a->framePixels, nullptr);
    ASSERT_EQ(a->lastFrame, 3);
    std::vector<int32_t> frames;
    for (int32_t i = 0; i < 12; i++) {
        UpdateAt(0, 470, false);
        frames.push_back(a->frame);
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0}));
    const uint8_t* base = reinterpret_cast<const uint8_t*>(a->frameBase);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(a->framePixels), base);
    mnu_ImageAreaSetFrames(&ctx, "AnimArea", 2, 9);  // past the frames: 0
    EXPECT_EQ(a->firstFrame, 2);
    EXPECT_EQ(a->lastFrame, 0);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(a->framePixels), base + 2 * a->bytesPerFrame);
    mnu_ImageAreaSetFrame(&ctx, "AnimArea", 1);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(a->framePixels),
              reinterpret_cast<const uint8_t*>(a->frameBase) + a->bytesPerFrame);
}

TEST_F(UpdateTest, UpAndF5DumpTheButtonTable) {
    app_KeyMessageDown(VK_UP, 1 << 24);
    app_KeyMessageDown(VK_F5, 0);
    mnu_ButtonFind(&ctx, "BtnLatch")->hotKey = 'L';
    UpdateAt(0, 470, false);
    app_KeyMessageUp(VK_UP, 1 << 24);
    app_KeyMessageUp(VK_F5, 0);
    int h = plat_FileOpen("mnudump.bin", PLAT_OPEN_READ);
    ASSERT_GE(h, 0);
    std::vector<uint8_t> data(9 + 472 * (size_t)ctx.buttonCount + 1);
    int32_t got = plat_FileRead(h, data.data(), (uint32_t)data.size());
    plat_FileClose(h);
    ASSERT_EQ(got, 9 + 472 * ctx.buttonCount);
    EXPECT_EQ(memcmp(data.data(), "[BUTTONS]", 9), 0);
    for (int32_t i = 0; i < ctx.buttonCount; i++) {
        const uint8_t* r = data.data() + 9 + 472 * (size_t)i;
        const MnuButton& b = ctx.buttons[i];
        EXPECT_EQ(strncmp(reinterpret_cast<const char*>(r), b.name, 64), 0);
        EXPECT_EQ(r[192], (uint8_t)b.hotKey);
        uint32_t x = 0, state = 0, pointer = 1, repeat = 0;
        le_Read32At(r, 472, 216, &x);
        le_Read32At(r, 472, 420, &pointer);
        le_Read32At(r, 472, 444, &state);
        le_Read32At(r, 472, 464, &repeat);
        EXPECT_EQ((int32_t)x, b.x) << b.name;
        EXPECT_EQ(pointer, 0u);
        EXPECT_EQ((int32_t)state, b.state);
        EXPECT_EQ((int32_t)repeat, b.repeatTime);
    }
}

TEST_F(UpdateTest, AHiddenWindowReturnsItsButtonsToNormalUnlessDisabledOrLatched) {
    mnu_ButtonSetState(&ctx, "BtnPlain", MNU_STATE_PRESSED);
    mnu_ButtonSetState(&ctx, "BtnLatch", MNU_STATE_LATCHED);
    mnu_ButtonSetState(&ctx, "BtnOnce", MNU_STATE_DISABLED);
    mnu_WindowHide(&ctx, "WndTest");
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnPlain"), MNU_STATE_NORMAL);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnLatch"), MNU_STATE_LATCHED);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnOnce"), MNU_STATE_DISABLED);
    EXPECT_EQ(mnu_WindowFind(&ctx, "WndTest")->image->pixels, nullptr);
    mnu_WindowOpen(&ctx, "WndTest");
    EXPECT_NE(mnu_WindowFind(&ctx, "WndTest")->image->pixels, nullptr);
    EXPECT_NE(mnu_ButtonFind(&ctx, "BtnPlain")->image->pixels, nullptr);
}

}  // namespace

namespace {

int32_t g_hoverIn = 0, g_hoverOut = 0;
void HoverIn(int32_t) { g_hoverIn++; }
void HoverOut(int32_t) { g_hoverOut++; }

TEST_F(UpdateTest, HoverCallbacksAndPixelExactHits) {
    MnuButton* b = mnu_ButtonFind(&ctx, "BtnPlain");
    const MnuCallback in = {"", HoverIn, 0}, out = {"", HoverOut, 0};
    b->hoverIn = &in;
    b->hoverOut = &out;
    g_hoverIn = g_hoverOut = 0;
    UpdateAt(b->x + 5, b->y + 5, false);
    UpdateAt(b->x + 6, b->y + 5, false);
    EXPECT_EQ(g_hoverIn, 1);  // once per entry
    EXPECT_EQ(b->picture, 1);
    UpdateAt(b->x + 5, b->y + 40, false);
    EXPECT_EQ(g_hoverOut, 1);
    EXPECT_EQ(b->picture, 0);
    // Pixel-exact: a transparent pixel of the frame is no hit.
    b->image->flags |= MNU_IMAGE_PIXEL_HIT;
    b->image->pixels[(5 - 1) * b->image->width + (5 - 1)] = 0;
    const struct {
        int32_t dx;
        bool hit;
    } kCases[] = {{5, false}, {6, true}};
    for (const auto& c : kCases) {
        g_widgetActions.clear();
        for (int32_t i = 0; i < 12; i++) UpdateAt(b->x + c.dx, b->y + 5, true);
        UpdateAt(0, 470, false);
        EXPECT_EQ(g_widgetActions.size(), c.hit ? 1u : 0u) << c.dx;
    }
}

TEST_F(UpdateTest, DraggingTheTrackMovesTheThumbAndTheFirstLine) {
    mnu_ScrollAttach(&ctx, "ScrList");
    MnuScroll* s = mnu_ScrollFind(&ctx, "ScrList");
    s->area->lineCount = 20;
    UpdateAt(0, 470, false);
    const int32_t trackHeight = s->trackBottom - s->trackTop;
    // Near the thumb: the thumb follows the pointer.
    const int32_t y = s->trackTop + 40;
    chs_ListDispatch(&mnu_ZoneList, 2, s->trackLeft + 2, y);
    const MnuImageArea* t = mnu_ImageAreaFind(&ctx, "ScrList");
    EXPECT_EQ(t->top, y);
    EXPECT_EQ(s->area->firstLine, 40 * 20 / trackHeight);
    EXPECT_EQ(mnu_ZoneList.interval, 1);
    // Far from it: a page at a time, repeated every 8 ticks.
    chs_ListDispatch(&mnu_ZoneList, 2, s->trackLeft + 2, s->trackBottom - 1);
    EXPECT_GT(t->top, y);
    EXPECT_EQ(mnu_ZoneList.interval, 8);
    EXPECT_LE(t->bottom, s->trackBottom);
    // With both buttons disabled the track does nothing.
    mnu_ButtonSetStateRecord(s->up, MNU_STATE_DISABLED);
    mnu_ButtonSetStateRecord(s->down, MNU_STATE_DISABLED);
    const int32_t before = t->top;
    chs_ListDispatch(&mnu_ZoneList, 2, s->trackLeft + 2, s->trackTop);
    EXPECT_EQ(t->top, before);
}

}  // namespace
