// The program's own formatter and the string routines.
#include "base/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

template <typename... Args>
std::string F(const char* format, Args... args) {
    char buf[256];
    memset(buf, '#', sizeof buf);
    int n = text_Format(format, buf, sizeof buf, args...);
    EXPECT_EQ(static_cast<size_t>(n), strlen(buf)) << format;
    return buf;
}

TEST(TextFormat, Codes) {
    struct Case {
        std::string got;
        std::string expect;
    } cases[] = {
        {F("%5s|", "abcdefg"), "abcde|"},
        {F("%5s|", "ab"), "ab   |"},
        {F("%s", "whole string"), "whole string"},
        {F("%s|%s", "", static_cast<const char*>(nullptr)), "|"},
        {F("%.2f", 1.999), "1.99"},
        {F("%.2f", -0.5), "-0.50"},
        {F("%f", 2.5f), "2.50"},        // float argument, default precision 2
        {F("%3.1f", 3.14159), "  3.1"}, // width = minimum integer digits, blank fill
        {F("%03.1f", -3.14159), "-003.1"},
        {F("%lf", 1.25), "1.25"},
        {F("%.0f|", 7.9), "7.|"},
        {F("%.2fp", 0x18000), "1.50"},
        {F("%.2fp", -32768), "-0.50"},
        {F("%fp", 0x28000), "2.50"},
        {F("%2.4fp", 0x14000), " 1.2500"},
        {F("%.9fp", 0x8000), "0.5000"}, // at most four fraction digits
        {F("%fp", INT32_MIN), "-32768.00"},
        {F("%d", 42), "42"},
        {F("%+d", 7), "+7"},
        {F("%03d", 7), "007"},
        {F("%5d", -42), "-   42"}, // the sign stands left of the fill
        {F("%05d", -42), "-00042"},
        {F("%d", INT32_MIN), "-2147483648"},
        {F("%ld", 5), "5"},
        {F("%2.2ld", 5), " 5"},
        {F("%lu %d", 9), "u 9"}, // unknown letters take no argument
        {F("%x", 255), "FF"},
        {F("%X", 0xDEADBEEFu), "DEADBEEF"},
        {F("%04x", 0xA), "000A"},
        {F("%p", 0x1234), "000001234"},
        {F("%p", -1), "000000001"},
        {F("%c%c", 'A' + 256, 'b'), "Ab"},
        {F("100%%"), "100%"},
        {F("abc%"), "abc"},
        {F("a\\nb"), "a\r\nb"},
        {F("\\t\\r\\\\"), "\x08\r\\"},
        {F("x\\qy"), "xy"},
        {F("end\\"), "end"},
        {F("%40d", 5), std::string(30, ' ') + "5"}, // at most 31 digits with the fill
        {F("%099d", -1), "-" + std::string(30, '0') + "1"},
        {F("%40s|", "ab"), "ab" + std::string(38, ' ') + "|"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expect);
}

TEST(TextFormat, OutputIsBounded) {
    char buf[8];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(text_Format("%s", buf, 5, "abcdefgh"), 4);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(buf[5], '#');
    EXPECT_EQ(text_Format("%40d\\n%fp", buf, 1, 1, 2), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(text_Format("abc", nullptr, 10), 0);
    EXPECT_EQ(text_Format(nullptr, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(text_FormatFixedPoint(0x18000, 0, 2, buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "1.50");
    EXPECT_EQ(text_FormatFixedPoint(-0x7FFFFFFF, 3, 4, buf, 6), 5);
    EXPECT_STREQ(buf, "-3276");
}

TEST(TextFormat, NumberConversionUsesTheFormatterState) {
    char buf[16];
    text_Format("%d", buf, sizeof buf, 1); // leaves decimal, blank fill
    EXPECT_STREQ(text_NumberToDigitsSigned(-42, 5), "-   42");
    EXPECT_STREQ(text_NumberToDigits(7, 0), "7");
    // The minimum digit count stays below the 32-character scratch area.
    EXPECT_EQ(std::string(text_NumberToDigits(0xFFFFFFFFu, 40)), std::string(21, ' ') + "4294967295");
}

TEST(TextStrings, LineNext) {
    const char* text = "one\r\ntwo\nthree";
    const char* next = nullptr;
    char line[16];
    EXPECT_EQ(text_LineNext(text, &next, line, sizeof line), 4); // one more for "\r\n"
    EXPECT_STREQ(line, "one");
    EXPECT_EQ(text_LineNext(next, &next, line, sizeof line), 3);
    EXPECT_STREQ(line, "two");
    EXPECT_EQ(text_LineNext(next, &next, line, sizeof line), 5);
    EXPECT_STREQ(line, "three");
    EXPECT_EQ(*next, 0);
    const char* end = next;
    EXPECT_EQ(text_LineNext(end, &next, line, sizeof line), -1);
    EXPECT_EQ(next, end);

    // A line too long for the destination is cut and the rest skipped.
    char small[4];
    EXPECT_EQ(text_LineNext("abcdefg\nxy", &next, small, sizeof small), 3);
    EXPECT_STREQ(small, "abc");
    EXPECT_STREQ(next, "xy");
    EXPECT_EQ(text_LineNext(nullptr, &next, small, 4), -1);
    EXPECT_EQ(text_LineNext("x", nullptr, small, 4), -1);
    EXPECT_EQ(text_LineNext("x", &next, small, 0), -1);
}

TEST(TextStrings, TokenNext) {
    // Walks a message text token by token, as the message block draws it.
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"ENGINE FIRE", {"ENGINE", "FIRE"}},
        {"   lead  and trail   ", {"lead", "and", "trail"}},
        {"one", {"one"}},
        {"tab\tstays", {"tab\tstays"}},  // only the blank separates
        {"", {}},
        {"    ", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        const char* p = c.text;
        char token[16];
        int n;
        while ((n = text_TokenNext(p, &p, token, sizeof token)) >= 0) {
            EXPECT_EQ(static_cast<size_t>(n), strlen(token)) << c.text;
            got.push_back(token);
            ASSERT_LE(got.size(), 8u) << c.text;  // the walk must end
        }
        EXPECT_EQ(got, c.tokens) << c.text;
        EXPECT_EQ(*p, 0) << c.text;  // at the end the rest is the terminator
    }

    // A token longer than the destination is cut and its rest skipped.
    const char* rest = nullptr;
    char small[4];
    memset(small, '#', sizeof small);
    EXPECT_EQ(text_TokenNext("abcdefg xy", &rest, small, sizeof small), 3);
    EXPECT_STREQ(small, "abc");
    EXPECT_STREQ(rest, " xy");
    EXPECT_EQ(text_TokenNext(rest, &rest, small, sizeof small), 2);
    EXPECT_STREQ(small, "xy");

    EXPECT_EQ(text_TokenNext(nullptr, &rest, small, 4), -1);
    EXPECT_EQ(text_TokenNext("x", nullptr, small, 4), -1);
    EXPECT_EQ(text_TokenNext("x", &rest, nullptr, 4), -1);
    EXPECT_EQ(text_TokenNext("x", &rest, small, 0), -1);
    // A size of 1 still terminates and moves past the token.
    EXPECT_EQ(text_TokenNext("ab c", &rest, small, 1), 0);
    EXPECT_STREQ(small, "");
    EXPECT_STREQ(rest, " c");
}

TEST(TextStrings, SplitWords) {
    char buffer[64];
    char* words[8];
    ASSERT_EQ(text_SplitWords("  KRX.EXE \"two  words\"\tmany ", buffer, sizeof buffer, words, 8), 3);
    EXPECT_STREQ(words[0], "KRX.EXE");
    EXPECT_STREQ(words[1], "two  words");
    EXPECT_STREQ(words[2], "many");
    EXPECT_EQ(text_SplitWords("", buffer, sizeof buffer, words, 8), 0);
    EXPECT_EQ(text_SplitWords("   ", buffer, sizeof buffer, words, 8), 0);
    EXPECT_EQ(text_SplitWords(nullptr, buffer, sizeof buffer, words, 8), 0);

    // The buffer and the array bound what is stored.
    char tiny[6];
    memset(tiny, '#', sizeof tiny);
    ASSERT_EQ(text_SplitWords("abcdef gh ij", tiny, 5, words, 8), 1);
    EXPECT_STREQ(words[0], "abcd");
    EXPECT_EQ(tiny[5], '#');
    ASSERT_EQ(text_SplitWords("a b c d", buffer, sizeof buffer, words, 2), 2);
    EXPECT_STREQ(words[1], "b");
}

TEST(TextStrings, Comparisons) {
    EXPECT_EQ(text_EqualExact("abc", "abc"), 1);
    EXPECT_EQ(text_EqualExact("abc", "ABC"), 0);
    EXPECT_EQ(text_EqualExact(nullptr, "a"), 0);
    EXPECT_EQ(text_EqualNoCase("Version", "VERSION"), 1);
    EXPECT_EQ(text_EqualNoCase("Version", "VERSIONS"), 0);
    EXPECT_EQ(text_EqualNoCase("a", nullptr), 0);
    EXPECT_EQ(text_StartsWithNoCase("HWNOCRUNCH", "hw"), 1);
    EXPECT_EQ(text_StartsWithNoCase("H", "hw"), 0);
    EXPECT_EQ(text_StartsWithNoCase(nullptr, ""), 0);
    EXPECT_EQ(text_StrEqual("x", "x"), 1);
    EXPECT_EQ(text_StrEqual("x", nullptr), 0);
    EXPECT_EQ(text_EqualNoCaseAscii("Abc", "aBC"), 1);
    EXPECT_EQ(text_EqualNoCaseAscii("[", "{"), 0);
    EXPECT_EQ(text_EqualNoCaseAscii("@", "`"), 0);
}

TEST(TextStrings, InPlaceEdits) {
    char s[32];
    snprintf(s, sizeof s, "Mixed Case 1");
    text_ToUpper(s);
    EXPECT_STREQ(s, "MIXED CASE 1");
    text_StrLower(s);
    EXPECT_STREQ(s, "mixed case 1");
    text_UpperZ(s);
    EXPECT_STREQ(s, "MIXED CASE 1");

    snprintf(s, sizeof s, "dir.x\\file.pcx");
    text_StripExtension(s);
    EXPECT_STREQ(s, "dir.x\\file");
    text_StripFileName(s);
    EXPECT_STREQ(s, "dir.x");
    text_StripFileName(s);
    EXPECT_STREQ(s, "");

    snprintf(s, sizeof s, "   ab ");
    text_SkipBlanks(s);
    EXPECT_STREQ(s, "ab ");
    text_TrimTrailingBlanks(s);
    EXPECT_STREQ(s, "ab");
    snprintf(s, sizeof s, " ");
    text_TrimTrailingBlanks(s);
    EXPECT_STREQ(s, " "); // fewer than 2 characters: unchanged

    const char* t = "a.b.c";
    EXPECT_EQ(text_FindLast(t, "."), t + 3);
    EXPECT_EQ(text_FindLast(t, "x"), nullptr);
    EXPECT_EQ(text_FindLast(t, "a.b.c"), t);

    EXPECT_EQ(text_HexToInt("1aFg"), 0x1AF);
    EXPECT_EQ(text_HexToInt(""), 0);
    EXPECT_EQ(text_HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(text_StrLen("abc"), 3);
    EXPECT_EQ(text_StrLen(nullptr), 0);
}

TEST(TextStrings, CopiesStayInsideTheirDestination) {
    char d[8];
    memset(d, '#', sizeof d);
    text_CopyBounded(d, "abcdef", 4);
    EXPECT_STREQ(d, "abc");
    EXPECT_EQ(d[4], '#');
    text_CopyBounded(d, nullptr, 4);
    EXPECT_STREQ(d, "");
    text_CopyBounded(d, "x", 0); // nothing
    EXPECT_STREQ(d, "");

    char s[8];
    memset(s, '#', sizeof s);
    text_StrCopy(s, "abcdefghij", 6);
    EXPECT_STREQ(s, "abcde");
    EXPECT_EQ(s[6], '#');
    text_CopyZ(s, "ab", sizeof s);
    text_StrCat(s, "cdefghij", 6);
    EXPECT_STREQ(s, "abcde");
    text_CatZ(s, "x", 6); // already full
    EXPECT_STREQ(s, "abcde");
    EXPECT_EQ(s[6], '#');
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    text_StrCat(unterminated, "xyz", sizeof unterminated);
    EXPECT_STREQ(unterminated, "abc");

    char r[16];
    EXPECT_STREQ(text_ReplaceExtension(r, sizeof r, "model.pak.old", "PCX"), "model.PCX");
    EXPECT_STREQ(text_ReplaceExtension(r, sizeof r, "noext", "PCX"), "noext.PCX");
    EXPECT_STREQ(text_ReplaceExtension(r, 7, "model.pak", "PCX"), "model.");
}

} // namespace
