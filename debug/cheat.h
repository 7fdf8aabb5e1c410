// Cheat codes typed after ':', and the keyed scrambler that hides the
// program's secret words and data.
#pragma once
#include <cstdint>

// 1 when the text advanced the unlock or ran a cheat, 0 otherwise.
int32_t cheat_Command(const char* text);

// Multiplier of the scrambler's 16-bit generator.
inline constexpr uint16_t cheat_KeyMultiplier = 0x6C8D;

// Seed of the generator from a key text: 3252 without a key, else
// the sum of (i + c*c) over the key's characters, plus its length, plus 50.
uint16_t cheat_KeySeed(const char* key);

// Unscrambles a zero-terminated text in place (letters only move).
void cheat_KeyedTransformText(char* text, const char* key);
// Unscrambles count characters in place.
void cheat_KeyedTransformCount(char* text, int32_t count, const char* key);
// 1 when the typed text equals the stored scrambled name once unscrambled,
// ignoring case; the stored name is left as it is.
int32_t cheat_KeyedCompare(const char* typed, const char* stored, const char* key);
// Unscrambles a binary buffer in place; nothing for a null buffer or a
// length of 0 or less.
void cheat_KeyedTransformBytes(uint8_t* buffer, int32_t length, const char* key);

// The inverses, for whoever writes scrambled words and data.
void cheat_KeyedScrambleText(char* text, const char* key);
void cheat_KeyedScrambleBytes(uint8_t* buffer, int32_t length, const char* key);
