// The chat censor: the normalised form of a text, the word list read from
// "censor.txt", and the verdict on chat lines.
#include "net/censor.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/file_fixture.h"

namespace {

std::string Normal(const char* text, size_t size = CHAT_CENSOR_LINE_SIZE) {
    std::string out(size, '\0');
    chat_CensorNormalize(text, out.data(), size);
    return out.c_str();
}

TEST(CensorNormalize, LettersOnlyUpperCasedWithoutRepeats) {
    struct Case {
        const char* text;
        const char* normal;
    } cases[] = {
        {"Hello, wORLD", "HELOWORLD"},
        {"b00kkeeper 42!", "BKEPER"},
        {"aAa", "AAA"},  // compared as written: a, A and a all differ
        {"", ""},
        {" 1,2;3 ", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Normal(c.text), c.normal) << c.text;
    // The output keeps its terminator whatever the text's length.
    std::string longText(1000, 'x');
    for (size_t i = 0; i < longText.size(); i += 2) longText[i] = 'y';
    EXPECT_EQ(Normal(longText.c_str(), 8), "YXYXYXY");
}

class CensorFile : public FileEnv {
protected:
    void TearDown() override {
        // Later tests see an empty list.
        std::remove("censor.txt");
        chat_CensorLoad();
        FileEnv::TearDown();
    }
};

TEST_F(CensorFile, WordsMatchAnywhereAndThroughDisguises) {
    WriteText("censor.txt", "darn\r\nHeck\r\n");
    chat_CensorInit();
    struct Case {
        const char* line;
        int32_t refused;
    } cases[] = {
        {"oh darn it", 1},
        {"D.A.R.N", 1},
        {"daaarrrn", 1},       // doubled letters match single ones
        {"undarnable", 1},     // inside a longer word
        {"h e c k", 1},
        {"dare not", 0},
        {"hello there", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(chat_CensorCheck(c.line), c.refused) << c.line;
}

// Without the file, or with a line without letters, nothing is refused.
TEST_F(CensorFile, MissingFileAndBlankLinesRefuseNothing) {
    chat_CensorLoad();
    EXPECT_EQ(chat_CensorWords[0], nullptr);
    EXPECT_EQ(chat_CensorCheck("anything at all"), 0);

    WriteText("censor.txt", "\r\n 123 \r\nfoo\r\n");
    chat_CensorLoad();
    ASSERT_NE(chat_CensorWords[0], nullptr);
    EXPECT_STREQ(chat_CensorWords[0], "FO");
    EXPECT_EQ(chat_CensorWords[1], nullptr);
    EXPECT_EQ(chat_CensorCheck("a harmless line"), 0);
    EXPECT_EQ(chat_CensorCheck("food"), 1);
}

// Loading stops when the buffer is full; every word kept is whole.
TEST_F(CensorFile, LoadingStopsWhenTheBufferIsFull) {
    // 127-letter words without repeats: 128 bytes each, 32 fill the buffer.
    std::string word;
    for (int i = 0; i < 127; i++) word += (char)('a' + i % 2);
    std::string text;
    for (int i = 0; i < 40; i++) text += word + "\r\n";
    WriteText("censor.txt", text);
    chat_CensorLoad();
    int32_t n = 0;
    while (chat_CensorWords[n]) {
        EXPECT_EQ(strlen(chat_CensorWords[n]), 127u);
        n++;
    }
    EXPECT_EQ(n, 32);
}

}  // namespace
