// The keyed scrambler: seeds, the letter rotation, the keyed compare and the
// byte transform with its inverse.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "debug/cheat.h"

namespace {

uint16_t Next(uint16_t x) { return static_cast<uint16_t>(x * uint32_t{cheat_KeyMultiplier} + 1u); }

TEST(CheatKey, SeedsFromTheKey) {
  EXPECT_EQ(cheat_KeySeed(nullptr), 3252);
  EXPECT_EQ(cheat_KeySeed(""), 50);
  EXPECT_EQ(cheat_KeySeed("ab"), (0 + 97 * 97) + (1 + 98 * 98) + 2 + 50);
  // Characters above 0x7F count as signed: their square is the same.
  EXPECT_EQ(cheat_KeySeed("\xFF"), 0 + 1 + 1 + 50);
}

TEST(CheatKey, LettersRotateBackAndOthersPassWithoutSteppingTheGenerator) {
  // One letter with key "": the generator steps once from 50.
  const int k = Next(50) % 26;
  char one[] = "z";
  cheat_KeyedTransformText(one, "");
  EXPECT_EQ(one[0], 'a' + ((25 - k) % 26 + 26) % 26);

  char plain[] = "abcXYZ";
  char mixed[] = "a1b-c XY.Z!";
  cheat_KeyedTransformText(plain, "key");
  cheat_KeyedTransformText(mixed, "key");
  std::string letters;
  for (char ch : std::string(mixed)) {
    if (std::isalpha(static_cast<unsigned char>(ch))) letters += ch;
  }
  EXPECT_EQ(letters, plain);
  EXPECT_EQ(mixed[1], '1');
  EXPECT_EQ(mixed[3], '-');
  EXPECT_TRUE(std::islower(static_cast<unsigned char>(mixed[0])));
  EXPECT_TRUE(std::isupper(static_cast<unsigned char>(mixed[6])));
}

TEST(CheatKey, TextRoundTripsAndCountedFormStopsAtItsCount) {
  for (const char* key : {static_cast<const char*>(nullptr), "", "k", "hidden words"}) {
    char text[] = "The Quick brown FOX, 42 jumps!";
    cheat_KeyedScrambleText(text, key);
    EXPECT_STRNE(text, "The Quick brown FOX, 42 jumps!");
    cheat_KeyedTransformText(text, key);
    EXPECT_STREQ(text, "The Quick brown FOX, 42 jumps!");
  }
  char counted[] = "abcdef";
  char whole[] = "abc";
  cheat_KeyedTransformCount(counted, 3, "x");
  cheat_KeyedTransformText(whole, "x");
  EXPECT_EQ(std::string(counted, 3), whole);
  EXPECT_STREQ(counted + 3, "def");
}

TEST(CheatKey, KeyedCompare) {
  char stored[] = "Iddqd";
  cheat_KeyedScrambleText(stored, "cheat key");
  const std::string kept = stored;
  struct Case {
    const char* typed;
    int32_t equal;
  } cases[] = {{"iddqd", 1}, {"IDDQD", 1}, {"iddq", 0}, {"iddqdx", 0}, {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(cheat_KeyedCompare(c.typed, stored, "cheat key"), c.equal) << c.typed;
  EXPECT_EQ(kept, stored);
  EXPECT_EQ(cheat_KeyedCompare("", "", "any"), 1);
  EXPECT_EQ(cheat_KeyedCompare("iddqd", stored, "other key"), 0);
  // A stored name longer than the work buffer is cut, not overrun.
  const std::string longName(2000, '.');
  EXPECT_EQ(cheat_KeyedCompare(std::string(511, '.').c_str(), longName.c_str(), "k"), 1);
}

TEST(CheatKey, BytesRoundTripForEveryKeyAndLength) {
  for (const char* key : {static_cast<const char*>(nullptr), "", "a", "ab", "contest pictures"}) {
    for (int32_t n : {1, 2, 7, 300}) {
      std::vector<uint8_t> data(static_cast<size_t>(n));
      for (int32_t i = 0; i < n; ++i) data[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 37 + 5);
      std::vector<uint8_t> work = data;
      cheat_KeyedScrambleBytes(work.data(), n, key);
      if (n > 1) {
        EXPECT_NE(work, data);
      }
      cheat_KeyedTransformBytes(work.data(), n, key);
      EXPECT_EQ(work, data) << (key ? key : "(none)") << " " << n;
    }
  }
}

TEST(CheatKey, OneByteWithAnEmptyKey) {
  // a = 50, c and d follow, the stream steps once more; one byte is never
  // reversed and an empty key adds nothing.
  const uint16_t c = Next(50);
  const uint16_t d = Next(c);
  const uint16_t x = Next(Next(d));
  uint8_t b = 0x40;
  cheat_KeyedTransformBytes(&b, 1, "");
  EXPECT_EQ(b, static_cast<uint8_t>(0x40 - (x & 0xFF) - (c & 0xFF)));
  uint8_t untouched = 9;
  cheat_KeyedTransformBytes(&untouched, 0, "k");
  cheat_KeyedTransformBytes(&untouched, -4, "k");
  cheat_KeyedTransformBytes(nullptr, 4, "k");
  EXPECT_EQ(untouched, 9);
}

}  // namespace
