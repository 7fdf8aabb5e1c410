// The chat input line: typing and its limits, backspace, Enter by mode, the
// macros, and the text as drawn.
#include "net/chat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/font.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "net/client.h"
#include "net/msg.h"
#include "render/render.h"
#include "shell/settings.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {

class ChatTest : public ::testing::Test {
protected:
    FontEntry entries[FONT_ENTRIES]{};
    BitmapFont font{};
    const ScreenStateEntry before{nullptr, nullptr, 0};
    TestWorkDir work;  // a recorded macro writes APP.INI

    void SetUp() override {
        ASSERT_TRUE(work.Enter("krx_chat"));
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x1000, 0x1000), 0);
        ASSERT_EQ(list_PoolCreate(sizeof(ClientQueuedMessage), 8, &Client.messagePool), 0);
        Client.sendQueue = nullptr;
        level_GameMode = GameModeFlags{1, 1, 0, 1, 0};
        // Every glyph 10 pixels wide.
        for (FontEntry& e : entries) e.width = 9;
        font.entries = entries;
        level_Fonts[1] = &font;
        text("Pilot", app_Settings.PLAYER_NAME, sizeof app_Settings.PLAYER_NAME);
        memset(ekey_StateTable, 0, sizeof ekey_StateTable);
        Open(0);
    }
    void TearDown() override {
        level_Fonts[1] = nullptr;
        Client.messagePool = ListPool{};
        Client.sendQueue = nullptr;
        level_GameMode = GameModeFlags{};
        render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
        memset(ekey_StateTable, 0, sizeof ekey_StateTable);
        memset(&app_Ini, 0, sizeof app_Ini);
        chat_InputClear();
        work.Leave();
    }
    static void text(const char* s, char* out, size_t size) {
        strncpy(out, s, size - 1);
        out[size - 1] = 0;
    }
    // As the chat action and the first draw do.
    void Open(uint32_t mode) {
        chat_Mode = mode;
        chat_InputClear();
        render_ScreenStatePrevious = &before;
        render_ScreenStateCurrent = &render_ScreenStateTable[3];
        chat_LineDraw();
    }
    static void Key(uint8_t character, uint8_t key = 0) {
        inmap_KeyEvent = InputKeyEvent{key, character, key, character};
        chat_LineKeys();
    }
    static void Type(const char* s) {
        for (; *s; s++) Key((uint8_t)*s);
    }
    // The chat lines queued, oldest first.
    static std::vector<MsgChat> Sent(void) {
        std::vector<MsgChat> out;
        for (ListNode* n = Client.sendQueue; n; n = n->next) {
            const ClientQueuedMessage* q = reinterpret_cast<const ClientQueuedMessage*>(n);
            MsgChat m;
            if (msg_ChatDecode(q->record, q->length, &m) == 0) out.insert(out.begin(), m);
        }
        return out;
    }
};

TEST_F(ChatTest, TypingAndBackspace) {
    Key(8);  // nothing to delete
    EXPECT_STREQ(chat_Text, "");
    Type("hix");
    Key(8);
    EXPECT_STREQ(chat_Text, "hi");
    Key(1);  // not printable
    EXPECT_STREQ(chat_Text, "hi");
    // Keys before the line is drawn open are not typed.
    Open(0);
    chat_Active = 0;
    Type("abc");
    EXPECT_STREQ(chat_Text, "");
}

// The composed line stops growing at 620 pixels or 127 characters.
TEST_F(ChatTest, TypingStops) {
    struct Case {
        const char* what;
        uint32_t mode;
        bool withFont;
        size_t length;
    } cases[] = {
        {"620 pixels: 62 glyphs of 10", 4, true, 62},
        {"mode 0 counts the name: 8 glyphs and 54", 0, true, 54},
        {"127 characters without a font", 4, false, 127},
        {"127 characters of the composed line", 0, false, 117},
    };
    for (const Case& c : cases) {
        level_Fonts[1] = c.withFont ? &font : nullptr;
        Open(c.mode);
        for (int i = 0; i < 300; i++) Key('x');
        EXPECT_EQ(strlen(chat_Text), c.length) << c.what;
    }
}

TEST_F(ChatTest, EnterSendsOrHoldsBack) {
    struct Case {
        const char* what;
        uint32_t mode;
        int32_t singlePlayer;
        const char* typed;
        const char* sent;  // null: nothing
    } cases[] = {
        {"to all", 0, 0, "hello", "Pilot ~0- hello"},
        {"to the squadron without the tag text", 1, 0, "form up", "~1[SQD] Pilot ~1- form up"},
        {"a command code in mode 0", 0, 0, ":code", nullptr},
        {"a command code in mode 1", 1, 0, ":code", nullptr},
        {"mode 4 goes to the interpreters", 4, 0, "hello", nullptr},
        {"single player sends nothing", 0, 1, "hello", nullptr},
    };
    for (const Case& c : cases) {
        Client.sendQueue = nullptr;
        level_GameMode.singlePlayer = c.singlePlayer;
        Open(c.mode);
        Type(c.typed);
        Key(13);
        std::vector<MsgChat> sent = Sent();
        if (c.sent) {
            ASSERT_EQ(sent.size(), 1u) << c.what;
            EXPECT_STREQ(sent[0].text, c.sent) << c.what;
            EXPECT_EQ(sent[0].mode, c.mode) << c.what;
        } else {
            EXPECT_TRUE(sent.empty()) << c.what;
        }
        // Enter closes the line either way.
        EXPECT_EQ(render_ScreenStateCurrent, &before) << c.what;
        EXPECT_EQ(chat_Active, 0) << c.what;
    }
}

TEST_F(ChatTest, CommandCodesAreMasked) {
    char line[160];
    Open(4);
    Type(":abc");
    chat_InputTextFormat(line, sizeof line);
    EXPECT_STREQ(line, "~0]~5 ????_");
    Open(0);
    Type("abc");
    chat_InputTextFormat(line, sizeof line);
    EXPECT_STREQ(line, "~0]~5 abc_");
    // A short buffer stays terminated.
    Open(4);
    Type(":abcdefgh");
    chat_InputTextFormat(line, 10);
    EXPECT_EQ(strlen(line), 9u);
}

TEST_F(ChatTest, EscapeAndMacros) {
    Type("abc");
    Key(0, 27);
    EXPECT_EQ(render_ScreenStateCurrent, &before);

    // Alt+Shift+3 records the typed text into macro 3 and closes the line;
    // Alt+3 recalls it into a fresh line.
    Open(0);
    Type("check six");
    ekey_StateTable[18] = ekey_StateTable[16] = ekey_StateTable['3'] = 1;
    Key(0, '3');
    EXPECT_STREQ(app_Ini.chat[3], "check six");
    EXPECT_EQ(render_ScreenStateCurrent, &before);
    Open(0);
    ekey_StateTable[16] = 0;
    Key(0, '3');
    EXPECT_STREQ(chat_Text, "check six");
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[3]);
}

}  // namespace
