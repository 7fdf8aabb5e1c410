// The wizard's line reader and entry list.
#include "update/wiz_ini.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/files.h"

WizEntry* wiz_EntryList = nullptr;

namespace {

// The loaded text: every line as "text\n\0", one after another.
struct IniState {
    std::vector<char> text;
    std::vector<size_t> lines;  // offsets of the lines
    size_t current = 0;         // index of the current line
};
IniState g_ini;

void CopyCut(char* dst, size_t size, const char* src, size_t n) {
    if (size == 0) return;
    if (n > size - 1) n = size - 1;
    memcpy(dst, src, n);
    dst[n] = 0;
}

// A section line's name: the run of upper-case letters, digits and
// underscores after "[".
bool SectionName(const char* line, char* out, size_t outSize) {
    if (line[0] != '[') return false;
    size_t n = 0;
    const char* p = line + 1;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '_') p++, n++;
    if (n == 0) return false;
    CopyCut(out, outSize, line + 1, n);
    return true;
}

// A key line: key before the first '=' (trailing blanks off), value after it
// to the line end or ';' (leading blanks off). Both must have at least one
// character before trimming, as the scan pattern needs.
bool KeyLine(const char* line, char* key, size_t keySize, const char** value, size_t* valueLen) {
    size_t k = strcspn(line, "\n\r=");
    if (k == 0 || line[k] != '=') return false;
    const char* v = line + k + 1;
    size_t vn = strcspn(v, "\n\r;");
    if (vn == 0) return false;
    size_t kn = k;
    while (kn > 0 && (line[kn - 1] == ' ' || line[kn - 1] == '\t')) kn--;
    CopyCut(key, keySize, line, kn);
    while (vn > 0 && (*v == ' ' || *v == '\t')) v++, vn--;
    *value = v;
    *valueLen = vn;
    return true;
}

}  // namespace

int32_t wiz_IniLoadFile(const char* fileName) {
    wiz_IniFree();
    if (!fileName || !*fileName) return 0;
    int h = plat_FileOpen(fileName, PLAT_OPEN_READ);
    if (h < 0) return 0;
    int64_t size = plat_FileSizeOf(h);
    // Configuration files are small; a huge one is not one of them.
    if (size < 0 || size > (int64_t)16 * 1024 * 1024) {
        plat_FileClose(h);
        return 0;
    }
    std::vector<char> raw((size_t)size);
    int32_t got = size ? plat_FileRead(h, raw.data(), (uint32_t)size) : 0;
    plat_FileClose(h);
    if (got != (int32_t)size) return 0;

    IniState st;
    st.text.reserve(raw.size() + raw.size() / 8 + 1);
    size_t start = 0;
    for (size_t i = 0; i < raw.size(); i++) {
        char c = raw[i];
        if (c == 0) return 0;
        if (c == '\n') return 0;  // an LF without its CR
        if (c != '\r') continue;
        if (i + 1 >= raw.size()) break;  // a CR at the very end: no line end
        if (raw[i + 1] != '\n') return 0;
        size_t len = i - start;
        if (len >= (size_t)WIZ_LINE_MAX) return 0;
        st.lines.push_back(st.text.size());
        st.text.insert(st.text.end(), raw.begin() + (ptrdiff_t)start, raw.begin() + (ptrdiff_t)i);
        st.text.push_back('\n');
        st.text.push_back(0);
        i++;
        start = i + 1;
    }
    // What follows the last CR LF is not a line; it still must be text.
    for (size_t i = start; i < raw.size(); i++)
        if (raw[i] == '\n') return 0;
    g_ini = std::move(st);
    return 1;
}

void wiz_IniFree(void) { g_ini = IniState{}; }

int32_t wiz_IniLineCount(void) { return (int32_t)g_ini.lines.size(); }

static const char* Line(size_t index) { return g_ini.text.data() + g_ini.lines[index]; }

char* wiz_IniNextLine(char* buffer, int32_t length) {
    if (!buffer || length <= 0 || g_ini.current >= g_ini.lines.size()) return nullptr;
    const char* line = Line(g_ini.current++);
    CopyCut(buffer, (size_t)length, line, strlen(line));
    return buffer;
}

const char* wiz_IniFindSection(const char* name) {
    g_ini.current = 0;
    if (!name) return nullptr;
    char found[WIZ_LINE_MAX];
    while (g_ini.current < g_ini.lines.size()) {
        const char* line = Line(g_ini.current++);
        if (SectionName(line, found, sizeof found) && strcmp(found, name) == 0) return line;
    }
    return nullptr;
}

int32_t wiz_IniNextKey(const char* key, char* value, int32_t length, int32_t* number) {
    if (!key) return 0;
    char found[WIZ_LINE_MAX];
    while (g_ini.current < g_ini.lines.size()) {
        const char* line = Line(g_ini.current);
        if (line[0] == '[') return 0;
        g_ini.current++;
        const char* v = nullptr;
        size_t vn = 0;
        if (!KeyLine(line, found, sizeof found, &v, &vn) || strcmp(found, key) != 0) continue;
        char copy[WIZ_LINE_MAX];
        CopyCut(copy, sizeof copy, v, vn);
        if (value && length > 0) CopyCut(value, (size_t)length, copy, strlen(copy));
        if (number) *number = (int32_t)strtol(copy, nullptr, 10);
        return 1;
    }
    return 0;
}

int32_t wiz_IniGetKey(const char* section, const char* key, char* value, int32_t length, int32_t* number) {
    if (!wiz_IniFindSection(section)) return 0;
    return wiz_IniNextKey(key, value, length, number);
}

void wiz_FirstItem(const char* value, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    out[0] = 0;
    if (!value) return;
    const char* p = value;
    while (*p == ',') p++;
    CopyCut(out, outSize, p, strcspn(p, ","));
}

WizEntry* wiz_EntryCreate(const char* value) {
    WizEntry* e = new (std::nothrow) WizEntry{};
    if (!e) return nullptr;
    // Items: name, time, number; empty items are skipped.
    const char* items[3] = {};
    size_t lens[3] = {};
    int n = 0;
    const char* p = value ? value : "";
    while (*p && n < 3) {
        size_t len = strcspn(p, ",");
        if (len > 0) {
            items[n] = p;
            lens[n] = len;
            n++;
        }
        p += len;
        if (*p == ',') p++;
    }
    if (n > 0) CopyCut(e->name, sizeof e->name, items[0], lens[0]);
    char num[WIZ_LINE_MAX];
    if (n > 1) {
        CopyCut(num, sizeof num, items[1], lens[1]);
        e->time = (int32_t)strtol(num, nullptr, 10);
    }
    if (n > 2) {
        CopyCut(num, sizeof num, items[2], lens[2]);
        e->number = (int32_t)strtol(num, nullptr, 10);
    }
    e->next = wiz_EntryList;
    wiz_EntryList = e;
    return e;
}

int32_t wiz_EntryCount(uint32_t mask) {
    int32_t n = 0;
    for (WizEntry* e = wiz_EntryList; e; e = e->next)
        if (e->flags & mask) n++;
    return n;
}

void wiz_EntryFreeAll(void) {
    while (wiz_EntryList) {
        WizEntry* next = wiz_EntryList->next;
        delete wiz_EntryList;
        wiz_EntryList = next;
    }
}
