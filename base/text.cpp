// The program's own text formatter and the shared string routines.
#include "base/text.h"

#include <cmath>
#include <cstring>

namespace {

// Operands of the formatter, reset before every conversion. Kept in one
// module record like the other hand-written modules; main thread only.
struct TextFormatRecord {
    int width;
    int precision;
    char pad;
    char plusChar;
    char minusChar;
    int precisionSeen;
    int negative;
    int isLong;
    uint32_t radix;
    char scratch[40]; // up to 32 digits, a sign and the terminator
};

TextFormatRecord text_Fmt = {0, 0, ' ', ' ', '-', 0, 0, 0, 10, {}};

const char text_DigitChars[] = "0123456789ABCDEF";

// The minimum digit count has to stay below the 32-character scratch area.
const int kMaxDigits = 31;
// Width and precision are one or two digits; anything longer is capped so
// that a stray run of digits cannot overflow the counters.
const int kMaxField = 255;

void fmt_Reset() {
    text_Fmt.width = 0;
    text_Fmt.precision = 0;
    text_Fmt.pad = ' ';
    text_Fmt.plusChar = ' ';
    text_Fmt.minusChar = '-';
    text_Fmt.precisionSeen = 0;
    text_Fmt.negative = 0;
    text_Fmt.isLong = 0;
    text_Fmt.radix = 10;
}

// Bounded output: everything past size - 1 bytes is dropped.
struct FmtOut {
    char* p;
    size_t size;
    size_t len;
    void put(char c) {
        if (len + 1 < size) p[len] = c;
        len++;
    }
    void puts(const char* s) {
        while (*s) put(*s++);
    }
};

void fmt_FloatLike(FmtOut& out, int negative, uint32_t intPart) {
    text_Fmt.negative = negative;
    out.puts(text_NumberToDigits(intPart, text_Fmt.width ? text_Fmt.width : 1));
    out.put('.');
}

void fmt_Fixed(FmtOut& out, int32_t value) {
    int negative = value < 0;
    uint32_t a = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    fmt_FloatLike(out, negative, a >> 16);
    int prec = text_Fmt.precisionSeen ? text_Fmt.precision : 2;
    if (prec > 4) prec = 4;
    if (prec <= 0) return;
    uint32_t f = a & 0xFFFFu;
    for (int i = 0; i < prec; i++) f *= 10;
    f >>= 16;
    text_Fmt.negative = 0;
    text_Fmt.plusChar = ' ';
    text_Fmt.pad = '0';
    text_Fmt.radix = 10;
    out.puts(text_NumberToDigits(f, prec));
}

void fmt_Float(FmtOut& out, double value) {
    int negative = value < 0;
    double a = negative ? -value : value;
    if (!(a == a)) a = 0; // NaN
    uint32_t ip;
    double frac;
    if (a >= 4294967295.0) {
        ip = 0xFFFFFFFFu;
        frac = 0;
    } else {
        ip = static_cast<uint32_t>(a);
        frac = a - static_cast<double>(ip);
    }
    fmt_FloatLike(out, negative, ip);
    int prec = text_Fmt.precisionSeen ? text_Fmt.precision : 2;
    if (prec > kMaxDigits) prec = kMaxDigits;
    for (int i = 0; i < prec; i++) {
        frac *= 10;
        int d = static_cast<int>(frac);
        if (d > 9) d = 9;
        if (d < 0) d = 0;
        frac -= d;
        out.put(static_cast<char>('0' + d));
    }
}

} // namespace

const char* text_NumberToDigits(uint32_t value, int minDigits) {
    if (minDigits > kMaxDigits) minDigits = kMaxDigits;
    uint32_t radix = text_Fmt.radix == 16 ? 16 : 10;
    char* p = text_Fmt.scratch + sizeof(text_Fmt.scratch) - 1;
    *p = 0;
    int n = 0;
    do {
        *--p = text_DigitChars[value % radix];
        value /= radix;
        n++;
    } while (value && n < 32);
    while (n < minDigits) {
        *--p = text_Fmt.pad;
        n++;
    }
    char sign = text_Fmt.negative ? text_Fmt.minusChar : text_Fmt.plusChar;
    if (sign != ' ') *--p = sign;
    return p;
}

const char* text_NumberToDigitsSigned(int32_t value, int minDigits) {
    uint32_t u = static_cast<uint32_t>(value);
    if (value < 0) {
        u = 0u - u;
        text_Fmt.negative = 1;
    }
    const char* digits = text_NumberToDigits(u, minDigits);
    // The sign belongs to this number only.
    text_Fmt.negative = 0;
    return digits;
}

int text_FormatFixedPoint(int32_t value, int width, int precision, char* output, size_t size) {
    if (!output || size == 0) return 0;
    fmt_Reset();
    text_Fmt.width = width < 0 ? 0 : (width > kMaxField ? kMaxField : width);
    text_Fmt.precision = precision < 0 ? 0 : precision;
    text_Fmt.precisionSeen = 1;
    FmtOut out{output, size, 0};
    fmt_Fixed(out, value);
    size_t end = out.len < size ? out.len : size - 1;
    output[end] = 0;
    return static_cast<int>(end);
}

int text_FormatV(const char* format, char* output, size_t size, va_list args) {
    if (!output || size == 0) return 0;
    FmtOut out{output, size, 0};
    const char* f = format ? format : "";
    while (*f) {
        char c = *f++;
        if (c == '\\') {
            char e = *f;
            if (!e) break; // a lone backslash at the end writes nothing
            f++;
            switch (e) {
            case 'n': out.put(13); out.put(10); break;
            case 't': out.put(8); break;
            case 'r': out.put(13); break;
            case '\\': out.put('\\'); break;
            default: break; // dropped with its backslash
            }
            continue;
        }
        if (c != '%') {
            out.put(c);
            continue;
        }
        if (*f == '%') {
            out.put('%');
            f++;
            continue;
        }
        fmt_Reset();
        int widthDigits = 0;
        char conv = 0;
        while (*f) {
            char k = *f++;
            if (k >= '0' && k <= '9') {
                if (text_Fmt.precisionSeen) {
                    text_Fmt.precision = text_Fmt.precision * 10 + (k - '0');
                    if (text_Fmt.precision > kMaxField) text_Fmt.precision = kMaxField;
                } else {
                    if (widthDigits == 0 && k == '0') text_Fmt.pad = '0';
                    widthDigits++;
                    text_Fmt.width = text_Fmt.width * 10 + (k - '0');
                    if (text_Fmt.width > kMaxField) text_Fmt.width = kMaxField;
                }
            } else if (k == '.') {
                text_Fmt.precisionSeen = 1;
            } else if (k == '+') {
                text_Fmt.plusChar = '+';
            } else if (k == 'l') {
                text_Fmt.isLong = 1;
            } else {
                conv = k;
                break;
            }
        }
        if (!conv) break; // the format ended inside a conversion
        switch (conv) {
        case 'd': {
            int32_t v = va_arg(args, int32_t);
            out.puts(text_NumberToDigitsSigned(v, text_Fmt.width));
            break;
        }
        case 'x':
        case 'X': {
            uint32_t v = va_arg(args, uint32_t);
            text_Fmt.radix = 16;
            out.puts(text_NumberToDigits(v, text_Fmt.width));
            break;
        }
        case 'p': {
            int32_t v = va_arg(args, int32_t);
            text_Fmt.radix = 16;
            text_Fmt.pad = '0';
            text_Fmt.plusChar = '0';
            text_Fmt.minusChar = '0';
            out.puts(text_NumberToDigitsSigned(v, text_Fmt.width ? text_Fmt.width : 8));
            break;
        }
        case 'c': {
            int v = va_arg(args, int);
            out.put(static_cast<char>(v & 0xFF));
            break;
        }
        case 's': {
            const char* s = va_arg(args, const char*);
            if (!s) s = "";
            if (text_Fmt.width > 0) {
                int i = 0;
                for (; i < text_Fmt.width && s[i]; i++) out.put(s[i]);
                for (; i < text_Fmt.width; i++) out.put(' ');
            } else {
                out.puts(s);
            }
            break;
        }
        case 'f':
            if (*f == 'p') {
                f++;
                int32_t v = va_arg(args, int32_t);
                fmt_Fixed(out, v);
            } else {
                double v = va_arg(args, double);
                fmt_Float(out, v);
            }
            break;
        default:
            // Unknown letters take no argument and are written as text.
            out.put(conv);
            break;
        }
    }
    size_t end = out.len < size ? out.len : size - 1;
    output[end] = 0;
    return static_cast<int>(end);
}

int text_Format(const char* format, char* output, size_t size, ...) {
    va_list args;
    va_start(args, size);
    int n = text_FormatV(format, output, size, args);
    va_end(args);
    return n;
}

// ---------------------------------------------------------------------------
// String routines of the compiled modules.

namespace {
inline char up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char low(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
} // namespace

int text_LineNext(const char* text, const char** next, char* destination, int size) {
    if (!text || !next || !destination || size <= 0) return -1;
    if (!*text) {
        *next = text;
        return -1;
    }
    int copied = 0;
    const char* p = text;
    while (*p && *p != '\n' && *p != '\r') {
        // A line too long for the destination is cut; the rest of it is
        // skipped so that it does not come back as a line of its own.
        if (copied < size - 1) destination[copied++] = *p;
        p++;
    }
    destination[copied] = 0;
    int result = copied;
    if (*p == '\r') {
        p++;
        if (*p == '\n') {
            p++;
            result++;
        }
    } else if (*p == '\n') {
        p++;
    }
    *next = p;
    return result;
}

int text_TokenNext(const char* text, const char** rest, char* destination, int size) {
    if (!text || !rest || !destination || size <= 0) return -1;
    const char* p = text;
    while (*p == ' ') p++;
    if (!*p) {
        *rest = p;
        destination[0] = 0;
        return -1;
    }
    int copied = 0;
    for (; *p && *p != ' '; p++)
        if (copied < size - 1) destination[copied++] = *p;
    destination[copied] = 0;
    *rest = p;
    return copied;
}

int text_SplitWords(const char* line, char* wordBuffer, size_t bufferSize, char** words, int maxWords) {
    if (!line || !wordBuffer || !words || bufferSize == 0 || maxWords <= 0) return 0;
    size_t used = 0;
    int count = 0;
    const char* p = line;
    while (*p) {
        while (*p && isWhite(*p)) p++;
        if (!*p) break;
        // A word needs at least its terminator in the buffer.
        if (count >= maxWords || used >= bufferSize) break;
        char* w = wordBuffer + used;
        bool quoted = false;
        while (*p && (quoted || !isWhite(*p))) {
            if (*p == '"') {
                quoted = !quoted;
            } else if (used + 1 < bufferSize) {
                wordBuffer[used++] = *p;
            }
            p++;
        }
        wordBuffer[used++] = 0;
        words[count++] = w;
    }
    return count;
}

int text_EqualExact(const char* a, const char* b) {
    if (!a || !b) return 0;
    return std::strcmp(a, b) == 0 ? 1 : 0;
}

int text_EqualNoCase(const char* a, const char* b) {
    if (!a || !b) return 0;
    while (*a && *b) {
        if (up(*a) != up(*b)) return 0;
        a++;
        b++;
    }
    return *a == *b ? 1 : 0;
}

int text_StartsWithNoCase(const char* text, const char* prefix) {
    if (!text || !prefix) return 0;
    while (*prefix) {
        if (!*text || up(*text) != up(*prefix)) return 0;
        text++;
        prefix++;
    }
    return 1;
}

void text_ToUpper(char* s) {
    if (!s) return;
    for (; *s; s++) *s = up(*s);
}

void text_ToLower(char* s) {
    if (!s) return;
    for (; *s; s++) *s = low(*s);
}

const char* text_FindLast(const char* text, const char* pattern) {
    if (!text || !pattern || !*pattern) return nullptr;
    const char* last = nullptr;
    const char* p = text;
    while ((p = std::strstr(p, pattern)) != nullptr) {
        last = p;
        p++;
    }
    return last;
}

char* text_FindLast(char* text, const char* pattern) {
    return const_cast<char*>(text_FindLast(static_cast<const char*>(text), pattern));
}

void text_StripExtension(char* path) {
    if (!path) return;
    char* dot = std::strrchr(path, '.');
    if (dot) *dot = 0;
}

void text_StripFileName(char* path) {
    if (!path) return;
    char* bs = std::strrchr(path, '\\');
    if (bs)
        *bs = 0;
    else
        *path = 0;
}

void text_SkipBlanks(char* s) {
    if (!s) return;
    size_t n = 0;
    while (s[n] == ' ') n++;
    if (n) std::memmove(s, s + n, std::strlen(s + n) + 1);
}

void text_TrimTrailingBlanks(char* s) {
    if (!s) return;
    size_t len = std::strlen(s);
    if (len < 2) return;
    while (len > 0 && s[len - 1] == ' ') s[--len] = 0;
}

int32_t text_HexToInt(const char* text) {
    if (!text) return 0;
    uint32_t v = 0;
    for (; *text; text++) {
        char c = *text;
        uint32_t d;
        if (c >= '0' && c <= '9')
            d = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            d = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            d = static_cast<uint32_t>(c - 'a' + 10);
        else
            break;
        v = (v << 4) | d;
    }
    return static_cast<int32_t>(v);
}

int32_t text_ToInt32(const char* text, size_t length) {
    if (!text) return 0;
    const char* p = text;
    const char* end = text + length;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) p++;
    bool neg = false;
    if (p < end && (*p == '-' || *p == '+')) neg = *p++ == '-';
    // Kept one past the 32-bit range at most, so that more digits cannot
    // overflow the accumulator.
    const int64_t limit = neg ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t v = 0;
    for (; p < end && *p >= '0' && *p <= '9'; p++) {
        v = v * 10 + (*p - '0');
        if (v > limit) v = limit;
    }
    return static_cast<int32_t>(neg ? -v : v);
}

int32_t text_ToInt32(const char* text) { return text ? text_ToInt32(text, strlen(text)) : 0; }

void text_CopyBounded(char* destination, const char* source, int size) {
    if (!destination || size <= 0) return;
    if (!source) source = "";
    int i = 0;
    for (; i < size - 1 && source[i]; i++) destination[i] = source[i];
    destination[i] = 0;
}

// ---------------------------------------------------------------------------
// String routines of the hand-written modules.

int text_StrEqual(const char* a, const char* b) { return text_EqualExact(a, b); }

int text_EqualNoCaseAscii(const char* a, const char* b) { return text_EqualNoCase(a, b); }

void text_StrUpper(char* s) { text_ToUpper(s); }
void text_UpperZ(char* s) { text_ToUpper(s); }
void text_StrLower(char* s) { text_ToLower(s); }

char* text_StrCopy(char* destination, const char* source, size_t size) {
    if (!destination || size == 0) return destination;
    if (!source) source = "";
    size_t i = 0;
    for (; i + 1 < size && source[i]; i++) destination[i] = source[i];
    destination[i] = 0;
    return destination;
}

char* text_CopyZ(char* destination, const char* source, size_t size) {
    return text_StrCopy(destination, source, size);
}

char* text_StrCat(char* destination, const char* source, size_t size) {
    if (!destination || size == 0) return destination;
    size_t len = 0;
    while (len < size && destination[len]) len++;
    if (len >= size) {
        // Not terminated within its buffer: terminate it, append nothing.
        destination[size - 1] = 0;
        return destination;
    }
    text_StrCopy(destination + len, source, size - len);
    return destination;
}

char* text_CatZ(char* destination, const char* source, size_t size) {
    return text_StrCat(destination, source, size);
}

int text_StrLen(const char* s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

char* text_ReplaceExtension(char* destination, size_t size, const char* name, const char* extension) {
    if (!destination || size == 0) return destination;
    text_StrCopy(destination, name, size);
    char* dot = std::strchr(destination, '.');
    if (dot) {
        dot[1] = 0;
    } else {
        text_StrCat(destination, ".", size);
    }
    text_StrCat(destination, extension ? extension : "", size);
    return destination;
}
