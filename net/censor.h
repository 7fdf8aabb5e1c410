// Chat censor: a word list loaded at start-up from "censor.txt" (beside the
// program before the archives) that the server's chat handler checks every
// line against. Texts are compared in a normalised form: letters only, a
// letter equal to the one kept before it dropped, upper case. So spacing,
// punctuation, digits, letter case and doubled letters hide no word.
// Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

// The buffer the words are kept in, back to back, each ended by a zero.
constexpr size_t CHAT_CENSOR_BUFFER_SIZE = 4096;
// Most words the list holds.
constexpr int32_t CHAT_CENSOR_WORDS = 512;
// A chat line is normalised into a buffer of this size.
constexpr size_t CHAT_CENSOR_LINE_SIZE = 256;

// Start-up entry: loads the censor word list.
void chat_CensorInit(void);
// Loads the list anew. Without the file the list is empty. Lines without a
// letter add no word; loading stops when the buffer or the list is full.
void chat_CensorLoad(void);
// Writes the normalised form of the text into the output, which the caller
// zero-fills: the routine writes no terminator, and at most outputSize - 1
// letters so the output stays terminated.
void chat_CensorNormalize(const char* text, char* output, size_t outputSize);
// 1 when a listed word occurs anywhere in the normalised text, else 0.
int32_t chat_CensorMatch(const char* normalised);
// Normalises the text and matches it: nonzero when the line is refused.
int32_t chat_CensorCheck(const char* text);
// The current word list, ended by a null pointer.
extern const char* chat_CensorWords[CHAT_CENSOR_WORDS + 1];
