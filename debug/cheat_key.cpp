// The keyed scrambler: a letter rotation for names and texts and a byte
// transform for binary buffers, both driven by one 16-bit generator
// seeded from a key text.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "debug/cheat.h"

namespace {

uint16_t g_x;  // the generator's state, shared by the module's routines

uint16_t Step(uint16_t x) { return static_cast<uint16_t>(x * uint32_t{cheat_KeyMultiplier} + 1u); }

void NextX() { g_x = Step(g_x); }

// Moves one letter k places back (dir -1) or forward (dir +1) in its
// alphabet; other characters pass and don't step the generator.
char RotateLetter(char ch, int dir) {
  char base;
  if (ch >= 'a' && ch <= 'z') {
    base = 'a';
  } else if (ch >= 'A' && ch <= 'Z') {
    base = 'A';
  } else {
    return ch;
  }
  NextX();
  const int k = g_x % 26;
  int pos = (ch - base) + dir * k;
  if (pos < 0) pos += 26;
  if (pos >= 26) pos -= 26;
  return static_cast<char>(base + pos);
}

void RotateText(char* text, int32_t count, const char* key, int dir) {
  if (text == nullptr) return;
  g_x = cheat_KeySeed(key);
  for (int32_t i = 0; count < 0 ? text[i] != '\0' : i < count; ++i) text[i] = RotateLetter(text[i], dir);
}

struct ByteKeys {
  uint16_t a, c, d;
};

ByteKeys BytesStart(const char* key) {
  ByteKeys k{};
  k.a = cheat_KeySeed(key);
  k.c = Step(k.a);
  k.d = Step(k.c);
  g_x = Step(k.d);
  return k;
}

bool Reversed(const ByteKeys& k) { return !((k.a & 1u) != 0 && (cheat_KeyMultiplier & 1u) != 0); }

// Applies the stream and the running sum with the sign given.
void StreamAndSum(uint8_t* b, int32_t n, ByteKeys k, int sign) {
  for (int32_t i = 0; i < n; ++i) {
    NextX();
    b[i] = static_cast<uint8_t>(b[i] + sign * static_cast<int>(g_x & 0xFFu));
  }
  uint32_t c = k.c;
  for (int32_t i = 0; i < n; ++i) {
    b[i] = static_cast<uint8_t>(b[i] + sign * static_cast<int>((c + static_cast<uint32_t>(i)) & 0xFFu));
    c += k.d;
  }
}

void KeyBytes(uint8_t* b, int32_t n, const char* key, int sign) {
  if (key == nullptr) return;
  const size_t len = std::strlen(key);
  if (len == 0) return;
  for (int32_t i = 0; i < n; ++i) {
    b[i] = static_cast<uint8_t>(b[i] + sign * static_cast<int>(static_cast<uint8_t>(key[static_cast<size_t>(i) % len])));
  }
}

}  // namespace

uint16_t cheat_KeySeed(const char* key) {
  if (key == nullptr) return 3252;
  uint32_t sum = 0;
  uint32_t i = 0;
  for (; key[i] != '\0'; ++i) {
    const int32_t c = static_cast<signed char>(key[i]);
    sum += i + static_cast<uint32_t>(c * c);
  }
  return static_cast<uint16_t>(sum + i + 50u);
}

void cheat_KeyedTransformText(char* text, const char* key) { RotateText(text, -1, key, -1); }

void cheat_KeyedTransformCount(char* text, int32_t count, const char* key) {
  if (count <= 0) return;
  RotateText(text, count, key, -1);
}

int32_t cheat_KeyedCompare(const char* typed, const char* stored, const char* key) {
  if (typed == nullptr || stored == nullptr) return 0;
  char work[512];
  const size_t n = std::min(std::strlen(stored), sizeof work - 1);
  std::memcpy(work, stored, n);
  work[n] = '\0';
  cheat_KeyedTransformText(work, key);
  size_t i = 0;
  for (; typed[i] != '\0' && work[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(typed[i])) != std::tolower(static_cast<unsigned char>(work[i]))) return 0;
  }
  return typed[i] == '\0' && work[i] == '\0' ? 1 : 0;
}

void cheat_KeyedTransformBytes(uint8_t* buffer, int32_t length, const char* key) {
  if (buffer == nullptr || length <= 0) return;
  const ByteKeys k = BytesStart(key);
  StreamAndSum(buffer, length, k, -1);
  if (Reversed(k)) std::reverse(buffer, buffer + length);
  KeyBytes(buffer, length, key, -1);
}

void cheat_KeyedScrambleText(char* text, const char* key) { RotateText(text, -1, key, +1); }

void cheat_KeyedScrambleBytes(uint8_t* buffer, int32_t length, const char* key) {
  if (buffer == nullptr || length <= 0) return;
  const ByteKeys k = BytesStart(key);
  KeyBytes(buffer, length, key, +1);
  if (Reversed(k)) std::reverse(buffer, buffer + length);
  StreamAndSum(buffer, length, k, +1);
}
