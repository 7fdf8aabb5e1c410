// The program's own text formatter and the shared string routines.
//
// Every routine that writes a string takes the size of its destination and
// never writes past it: the result is cut and always terminated.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Formatter. Codes: %d, %x/%X, %p, %c, %s, %f (float; %lf double), %fp
// (signed 16.16), %% and the escapes \n (13 10), \t (8), \r (13), \\.
// Width and precision as in "%05d" and "%2.2ld" (a 0 first pads with zeros).
// Integer arguments are 32-bit (int32_t/uint32_t), also with the letter l;
// %f and %lf take a double (a float argument is promoted to one).
// Returns the number of bytes written, without the terminator.
int text_Format(const char* format, char* output, size_t size, ...);
int text_FormatV(const char* format, char* output, size_t size, va_list args);

// Number conversion of the formatter, in its current radix, pad and sign
// characters (decimal, blank pad, no plus sign unless a conversion set them).
// Returns the digits, valid until the next conversion.
const char* text_NumberToDigitsSigned(int32_t value, int minDigits);
const char* text_NumberToDigits(uint32_t value, int minDigits);
// The 16.16 fixed-point step ("%W.Pfp") with the given width and precision.
int text_FormatFixedPoint(int32_t value, int width, int precision, char* output, size_t size);

// String routines of the compiled modules.
int text_LineNext(const char* text, const char** next, char* destination, int size);
// Copies the next blank-separated token of the text (at most size - 1
// characters; the rest of a longer token is skipped) and sets rest to the
// character behind it. Returns the token's length, or -1 for a null
// argument, size <= 0, or when only blanks remain (rest is then the end).
int text_TokenNext(const char* text, const char** rest, char* destination, int size);
int text_SplitWords(const char* line, char* wordBuffer, size_t bufferSize, char** words, int maxWords);
int text_EqualExact(const char* a, const char* b);
int text_EqualNoCase(const char* a, const char* b);
int text_StartsWithNoCase(const char* text, const char* prefix);
void text_ToUpper(char* s);
void text_ToLower(char* s);
const char* text_FindLast(const char* text, const char* pattern);
char* text_FindLast(char* text, const char* pattern);
void text_StripExtension(char* path);
void text_StripFileName(char* path);
void text_SkipBlanks(char* s);
void text_TrimTrailingBlanks(char* s);
int32_t text_HexToInt(const char* text);
// The decimal number at the start of text[0..length) as the standard atol
// reads it (leading blanks, a sign, digits up to the first other character,
// 0 when there are none), saturated at the 32-bit range instead of wrapping.
int32_t text_ToInt32(const char* text, size_t length);
int32_t text_ToInt32(const char* text);
void text_CopyBounded(char* destination, const char* source, int size);

// String routines of the hand-written modules.
int text_StrEqual(const char* a, const char* b);
int text_EqualNoCaseAscii(const char* a, const char* b);
void text_StrUpper(char* s);
void text_UpperZ(char* s);
void text_StrLower(char* s);
char* text_StrCopy(char* destination, const char* source, size_t size);
char* text_CopyZ(char* destination, const char* source, size_t size);
char* text_StrCat(char* destination, const char* source, size_t size);
char* text_CatZ(char* destination, const char* source, size_t size);
int text_StrLen(const char* s);
// mem_CopyBytes lives with the byte routines in base/mem.h.
// Copies `name` cut behind its first point and appends `extension` (without
// a point). A name without a point gets one.
char* text_ReplaceExtension(char* destination, size_t size, const char* name, const char* extension);
