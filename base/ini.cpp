// Section/key text parser.
#include "base/ini.h"

#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "base/text.h"

IniParserState ini_State = {nullptr, 0, nullptr, nullptr, 0, 0};

namespace {

inline char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The start of the line after `line`: behind its "\n" and zero byte. Lines
// are found by that pair, so a zero byte inside a line cannot split it.
char* ini_After(char* line) {
    char* end = ini_State.buffer + ini_State.size;
    for (char* p = line; p + 1 < end; p++)
        if (p[0] == '\n' && p[1] == 0) return p + 2;
    return end;
}

// The current line, moving the cursor on; null at the end.
char* ini_Advance() {
    if (!ini_State.buffer || ini_State.lineIndex >= ini_State.lineCount) return nullptr;
    char* line = ini_State.cursor;
    ini_State.previous = line;
    ini_State.cursor = ini_After(line);
    ini_State.lineIndex++;
    return line;
}

bool ini_IsSectionEnd(const char* line) {
    if (line[0] != '[') return false;
    const char* p = line + 1;
    while (*p && isSpace(*p)) p++;
    return *p != 0;
}

bool ini_IsNameChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

// A value beyond the 32-bit range reads as the nearest end of it.
int32_t ini_Number(const char* p, const char* end) { return text_ToInt32(p, static_cast<size_t>(end - p)); }

int32_t ini_LoadEx(const char* path, bool upperCase) {
    if (ini_State.buffer) ini_Unload(); // one file at a time, without leaking the last one
    if (!path || !file_Exists(path)) return 0;
    int32_t size = file_RawLoaderEx(path, nullptr, 0);
    if (size < 0 || size == INT32_MAX) return 0;
    auto* buf = static_cast<char*>(mem_AllocInHeap1(static_cast<uint32_t>(size) + 1, "config file buffer"));
    if (!buf) return 0;
    if (file_RawLoaderEx(path, buf, static_cast<size_t>(size)) != size) {
        mem_FreeInHeap1(buf);
        return 0;
    }
    buf[size] = 0;
    uint32_t lines = 0;
    for (int32_t i = 0; i < size; i++) {
        char c = buf[i];
        if (c == '\r' && i + 1 < size && buf[i + 1] == '\n') {
            buf[i] = '\n';
            buf[i + 1] = 0;
            lines++;
            i++;
            continue;
        }
        if (c == '\t') c = ' ';
        else if (upperCase) c = upper(c);
        buf[i] = c;
    }
    ini_State.buffer = buf;
    ini_State.size = static_cast<uint32_t>(size);
    ini_State.cursor = buf;
    ini_State.previous = buf;
    ini_State.lineCount = lines;
    ini_State.lineIndex = 0;
    return 1;
}

} // namespace

int32_t ini_Load(const char* path) { return ini_LoadEx(path, true); }
int32_t ini_LoadKeepCase(const char* path) { return ini_LoadEx(path, false); }

int32_t ini_Unload(void) {
    if (ini_State.buffer) mem_FreeInHeap1(ini_State.buffer);
    ini_State.buffer = nullptr;
    ini_State.size = 0;
    ini_State.cursor = nullptr;
    ini_State.previous = nullptr;
    ini_State.lineCount = 0;
    ini_State.lineIndex = 0;
    return 1;
}

char* ini_LineNext(char* buffer, size_t size) {
    if (!buffer || size == 0) return nullptr;
    char* line = ini_Advance();
    if (!line) return nullptr;
    size_t n = 0;
    while (n + 1 < size && line[n]) {
        buffer[n] = line[n];
        n++;
    }
    buffer[n] = 0;
    return buffer;
}

int32_t ini_SectionFind(const char* name) {
    if (!ini_State.buffer || !name || ini_State.lineCount == 0) return 0;
    ini_State.cursor = ini_State.buffer;
    ini_State.previous = ini_State.buffer;
    ini_State.lineIndex = 0;
    size_t want = strlen(name);
    while (char* line = ini_Advance()) {
        if (line[0] != '[') continue;
        size_t run = 0;
        while (ini_IsNameChar(line[1 + run])) run++;
        if (run == 0 || run != want) continue;
        bool same = true;
        for (size_t i = 0; i < run && same; i++) same = upper(line[1 + i]) == upper(name[i]);
        if (same) return 1;
    }
    return 0;
}

int32_t ini_KeyGet(const char* key, char* value, size_t valueSize, int32_t* number) {
    if (number) *number = 0;
    if (!ini_State.buffer || !key) return 0;
    char* saveCursor = ini_State.cursor;
    char* savePrevious = ini_State.previous;
    uint32_t saveIndex = ini_State.lineIndex;
    size_t want = strlen(key);
    while (char* line = ini_Advance()) {
        if (ini_IsSectionEnd(line)) break;
        size_t k = 0;
        while (line[k] && line[k] != '\n' && line[k] != '\r' && line[k] != '=') k++;
        if (k == 0 || line[k] != '=') continue;
        size_t keyLen = k;
        while (keyLen > 0 && line[keyLen - 1] == ' ') keyLen--;
        if (keyLen != want) continue;
        bool same = true;
        for (size_t i = 0; i < keyLen && same; i++) same = upper(line[i]) == upper(key[i]);
        if (!same) continue;
        const char* v = line + k + 1;
        const char* end = v;
        while (*end && *end != '\n' && *end != '\r' && *end != ';') end++;
        while (v < end && *v == ' ') v++;
        while (end > v && end[-1] == ' ') end--;
        if (value && valueSize > 0) {
            size_t n = static_cast<size_t>(end - v);
            if (n > valueSize - 1) n = valueSize - 1;
            memcpy(value, v, n);
            value[n] = 0;
            // A value cut at an inner blank loses that blank too.
            while (n > 0 && value[n - 1] == ' ') value[--n] = 0;
        }
        if (number) *number = ini_Number(v, end);
        return 1;
    }
    // Not found: the cursor stays where the search began.
    ini_State.cursor = saveCursor;
    ini_State.previous = savePrevious;
    ini_State.lineIndex = saveIndex;
    return 0;
}

int32_t ini_SectionKeyGet(const char* section, const char* key, char* value, size_t valueSize, int32_t* number) {
    if (number) *number = 0;
    if (!ini_SectionFind(section)) return 0;
    return ini_KeyGet(key, value, valueSize, number);
}
