// SDL input events become the window messages of the program: virtual-key
// codes, the key bits of lParam, characters and mouse messages.
#ifdef KRX_HAVE_SDL
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/harness.h"
#include "platform/sdl/sdl_events.h"
#include "platform/window.h"

namespace {

struct Msg {
    uint32_t message;
    uintptr_t wParam;
    uint32_t lParam;
    bool operator==(const Msg&) const = default;
};

class SdlEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The translation posts to the first window; a headless one will do.
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_SCRIPT");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        ASSERT_NE(plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, plat_DefWindowProc, 0), 0u);
    }
    void TearDown() override { plat_Shutdown(); }

    std::vector<Msg> Take() {
        std::vector<Msg> out;
        PlatMsg m;
        while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) out.push_back({m.message, m.wParam, (uint32_t)m.lParam});
        return out;
    }
    void Key(bool down, SDL_Scancode sc, SDL_Keycode sym, uint16_t mod = 0, bool repeat = false) {
        SDL_Event ev{};
        ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        ev.key.repeat = repeat;
        ev.key.keysym.scancode = sc;
        ev.key.keysym.sym = sym;
        ev.key.keysym.mod = mod;
        sdl_TranslateInputEvent(&ev);
    }
};

uint32_t L(uint32_t vk, uint32_t bits = 0) { return 1u | vk << 16 | bits; }

TEST_F(SdlEventsTest, KeysBecomeVirtualKeyCodesWithExtendedBit) {
    struct Case {
        SDL_Scancode sc;
        SDL_Keycode sym;
        uint32_t vk;
        uint32_t ext;
    } cases[] = {
        {SDL_SCANCODE_A, SDLK_a, 'A', 0},
        {SDL_SCANCODE_Q, SDLK_a, 'A', 0},  // letters follow the layout
        {SDL_SCANCODE_7, SDLK_7, '7', 0},
        {SDL_SCANCODE_KP_7, SDLK_KP_7, VK_NUMPAD7, 0},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, VK_NUMPAD0, 0},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, VK_DECIMAL, 0},
        {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, VK_ADD, 0},
        {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, VK_DIVIDE, KF_EXTENDED_BIT},
        {SDL_SCANCODE_UP, SDLK_UP, VK_UP, KF_EXTENDED_BIT},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, VK_DELETE, KF_EXTENDED_BIT},
        {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, VK_NEXT, KF_EXTENDED_BIT},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, VK_SHIFT, 0},
        {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, VK_SHIFT, 0},
        {SDL_SCANCODE_LCTRL, SDLK_LCTRL, VK_CONTROL, 0},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, VK_CONTROL, KF_EXTENDED_BIT},
        {SDL_SCANCODE_F5, SDLK_F5, VK_F5, 0},
        {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, VK_OEM_1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        Key(true, c.sc, c.sym);
        Key(true, c.sc, c.sym, 0, true);
        Key(false, c.sc, c.sym);
        EXPECT_EQ(Take(), (std::vector<Msg>{{WM_KEYDOWN, c.vk, L(c.vk, c.ext)},
                                            {WM_KEYDOWN, c.vk, L(c.vk, c.ext | KF_REPEAT_BIT)},
                                            {WM_KEYUP, c.vk, L(c.vk, c.ext | KF_REPEAT_BIT | KF_UP_BIT)}}));
    }
}

TEST_F(SdlEventsTest, AltMakesSystemKeysAndAltGrDoesNot) {
    Key(true, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    Key(true, SDL_SCANCODE_X, SDLK_x, KMOD_LALT);
    Key(true, SDL_SCANCODE_E, SDLK_e, KMOD_RALT | KMOD_LCTRL);
    Key(true, SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT);
    Key(true, SDL_SCANCODE_F10, SDLK_F10);
    std::vector<Msg> got = Take();
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0], (Msg{WM_SYSKEYDOWN, VK_MENU, L(VK_MENU, KF_ALTDOWN_BIT)}));
    EXPECT_EQ(got[1], (Msg{WM_SYSKEYDOWN, 'X', L('X', KF_ALTDOWN_BIT)}));
    EXPECT_EQ(got[2], (Msg{WM_KEYDOWN, 'E', L('E')}));
    EXPECT_EQ(got[3], (Msg{WM_SYSKEYDOWN, VK_MENU, L(VK_MENU, KF_EXTENDED_BIT | KF_ALTDOWN_BIT)}));
    EXPECT_EQ(got[4], (Msg{WM_SYSKEYDOWN, VK_F10, L(VK_F10)}));
}

TEST_F(SdlEventsTest, CharactersFromTextAndControlKeys) {
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    snprintf(ev.text.text, sizeof ev.text.text, "a\xC3\xA9\xE2\x82\xAC!");  // a, e acute, euro, !
    sdl_TranslateInputEvent(&ev);
    EXPECT_EQ(Take(), (std::vector<Msg>{{WM_CHAR, 'a', 1}, {WM_CHAR, 0xE9, 1}, {WM_CHAR, '!', 1}}));
    // A cut-off sequence ends the text.
    snprintf(ev.text.text, sizeof ev.text.text, "b\xC3");
    sdl_TranslateInputEvent(&ev);
    EXPECT_EQ(Take(), (std::vector<Msg>{{WM_CHAR, 'b', 1}}));
    Key(true, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
    Key(true, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER);
    Key(true, SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL);
    std::vector<Msg> got = Take();
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[1], (Msg{WM_CHAR, 8, L(VK_BACK)}));
    EXPECT_EQ(got[3], (Msg{WM_CHAR, 13, L(VK_RETURN, KF_EXTENDED_BIT)}));
    EXPECT_EQ(got[5], (Msg{WM_CHAR, 3, L('C')}));
}

TEST_F(SdlEventsTest, MouseMessagesPackPositionAndButtons) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = SDL_BUTTON_LEFT;
    ev.button.x = 12;
    ev.button.y = 34;
    sdl_TranslateInputEvent(&ev);
    ev.type = SDL_MOUSEMOTION;
    ev.motion.x = -3;
    ev.motion.y = 470;
    sdl_TranslateInputEvent(&ev);
    ev.type = SDL_MOUSEBUTTONUP;
    ev.button.button = SDL_BUTTON_LEFT;
    ev.button.x = 5;
    ev.button.y = 6;
    sdl_TranslateInputEvent(&ev);
    std::vector<Msg> got = Take();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], (Msg{WM_LBUTTONDOWN, 1, (uint32_t)plat_MakeLParam(12, 34)}));
    EXPECT_EQ(got[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[1].wParam & 1, 1u);
    EXPECT_EQ(plat_LoWordSigned((intptr_t)(int32_t)got[1].lParam), -3);
    EXPECT_EQ(plat_HiWordSigned((intptr_t)(int32_t)got[1].lParam), 470);
    EXPECT_EQ(got[2], (Msg{WM_LBUTTONUP, 0, (uint32_t)plat_MakeLParam(5, 6)}));
}

}  // namespace
#endif
