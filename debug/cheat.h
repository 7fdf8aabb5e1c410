// Cheat codes typed after ':', and the keyed scrambler that hides the
// program's secret words and data.
#pragma once
#include <cstdint>

// 1 when the text advanced the unlock or ran a cheat, 0 otherwise.
int32_t cheat_Command(const char* text);

// Unlock stage 0..3 (3: the cheats answer).
extern int32_t cheat_Stage;
// The cheat state byte: 1 unlimited stores, 2 the second cheat flag.
extern uint8_t cheat_StateByte;
enum : uint8_t { CHEAT_STATE_UNLIMITED = 1, CHEAT_STATE_FLAG2 = 2 };
// Back to the locked state, the engine message freed (tests and start-up).
void cheat_Reset(void);

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

// The key of the cheat words and of the engine message file (the data
// builder scrambles the file with it).
extern const char cheat_Key[];
