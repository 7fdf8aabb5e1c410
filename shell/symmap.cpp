// The program's symbol map: the map record of named blocks, and the sorted
// copy the crash dump looks addresses up in.
#include "shell/symmap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/dlist.h"
#include "base/efile.h"
#include "base/mem.h"
#include "base/text.h"
#include "platform/crash.h"
#include "platform/files.h"

namespace {

// Leading hexadecimal digits of a word; false when there are none or too
// many for 64 bits.
bool ParseHex(const char* word, uint64_t* value) {
    uint64_t v = 0;
    int digits = 0;
    for (const char* p = word; *p; p++) {
        int d;
        if (*p >= '0' && *p <= '9')
            d = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            d = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            d = *p - 'A' + 10;
        else
            break;
        if (++digits > 16) return false;
        v = v << 4 | (uint64_t)d;
    }
    if (digits == 0) return false;
    *value = v;
    return true;
}

// What the reader does with each line it takes; false stops it (out of
// memory).
struct MapSink {
    void* context;
    bool (*module)(void* context, const char* name);
    bool (*symbol)(void* context, const char* name, uint64_t address, const char* object);
};

// Reads the map text line by line, word by word.
bool MapParse(const char* text, const MapSink& sink) {
    char line[1024];
    char wordBuffer[1100];
    char* words[6];
    bool symbols = false;
    const char* p = text;
    for (;;) {
        const char* next = p;
        if (text_LineNext(p, &next, line, (int)sizeof line) < 0) break;
        p = next;
        int n = text_SplitWords(line, wordBuffer, sizeof wordBuffer, words, 6);
        if (n == 1) {
            if (!sink.module(sink.context, words[0])) return false;
        } else if (n >= 1 && strcmp(words[0], "Address") == 0) {
            symbols = true;
        } else if (symbols && (n == 4 || n == 5) && strchr(words[0], ':')) {
            uint64_t address;
            if (!ParseHex(words[2], &address)) continue;
            if (!sink.symbol(sink.context, words[1], address, words[n - 1])) return false;
        }
    }
    return true;
}

// A text field of the map record: its own named block, kept when the new
// text has the same length.
bool TextSet(char** field, const char* tag, const char* text) {
    size_t len = strlen(text);
    if (*field && strlen(*field) == len) {
        memcpy(*field, text, len + 1);
        return true;
    }
    if (*field) mem_GlobalFreeNamed(*field);
    *field = static_cast<char*>(mem_GlobalAllocNamed(tag, (int32_t)len + 1));
    if (!*field) return false;
    memcpy(*field, text, len + 1);
    return true;
}

bool RecordModule(void* context, const char* name) {
    auto* map = static_cast<_MAPFILE*>(context);
    return TextSet(&map->module_name, "_MAPFILE module_name", name);
}

bool RecordSymbol(void* context, const char* name, uint64_t address, const char* object) {
    auto* map = static_cast<_MAPFILE*>(context);
    auto* e = static_cast<_MAPFILE_ENTRY*>(mem_GlobalAllocNamed("_MAPFILE_ENTRY", sizeof(_MAPFILE_ENTRY)));
    if (!e) return false;
    e->owner = map;
    e->address = address;
    // Linked first, so that freeing the map frees it whatever fails next.
    dlist_AddHead(map, e);
    return TextSet(&e->function_name, "_MAPFILE_ENTRY function_name", name) &&
           TextSet(&e->object_name, "_MAPFILE_ENTRY object_name", object);
}

}  // namespace

_MAPFILE* app_MapFileLoad(const char* path) {
    if (!path) return nullptr;
    char* text = efile_LoadText(path, nullptr);
    if (!text) return nullptr;
    auto* map = static_cast<_MAPFILE*>(mem_GlobalAllocNamed("_MAPFILE", sizeof(_MAPFILE)));
    bool ok = map && TextSet(&map->filename, "_MAPFILE filename", path);
    if (ok) ok = MapParse(text, MapSink{map, RecordModule, RecordSymbol});
    mem_GlobalFreeNamed(text);
    if (!ok) {
        app_MapFileFree(map);
        return nullptr;
    }
    return map;
}

void app_MapFileFree(_MAPFILE* map) {
    if (!map) return;
    for (_MAPFILE_ENTRY* e = map->head; e;) {
        _MAPFILE_ENTRY* next = e->next;
        mem_GlobalFreeNamed(e->function_name);
        mem_GlobalFreeNamed(e->object_name);
        mem_GlobalFreeNamed(e);
        e = next;
    }
    mem_GlobalFreeNamed(map->filename);
    mem_GlobalFreeNamed(map->module_name);
    mem_GlobalFreeNamed(map);
}

_MAPFILE_ENTRY* app_MapFind(_MAPFILE* map, uint64_t address) {
    if (!map) return nullptr;
    _MAPFILE_ENTRY* best = nullptr;
    for (_MAPFILE_ENTRY* e = map->head; e; e = e->next)
        if (e->address <= address && (!best || e->address > best->address)) best = e;
    return best;
}

int32_t app_MapFilePath(char* buffer, size_t size) {
    if (!buffer || size == 0) return -1;
    buffer[0] = 0;
    char path[1024];
    if (plat_ProgramPath(path, sizeof path) != 0) return -1;
    // Only the file's own name is cut and folded: a '.' in a directory name
    // must not end the path.
    char* name = strrchr(path, '/');
    name = name ? name + 1 : path;
    if (char* dot = strchr(name, '.')) *dot = 0;
    text_ToUpper(name);
    size_t len = strlen(path);
    if (len + sizeof ".MAP" > size) return -1;
    memcpy(buffer, path, len);
    memcpy(buffer + len, ".MAP", sizeof ".MAP");
    return 0;
}

// ---- The crash dump's copy ---------------------------------------------------

namespace {

struct SymbolEntry {
    uint64_t address;
    uint32_t name;    // offsets into the text pool
    uint32_t object;
    uint32_t order;   // line order, so that the last of equal addresses wins as in app_MapFind
};

struct SymbolTable {
    std::vector<SymbolEntry> symbols;
    std::string pool;
    uintptr_t loadBase = 0;
    int32_t loaded = 0;
    char path[1024] = "";
};
SymbolTable g_table;

struct TableBuild {
    std::vector<SymbolEntry> symbols;
    std::string pool;
};

bool TableModule(void*, const char*) { return true; }

bool TableSymbol(void* context, const char* name, uint64_t address, const char* object) {
    auto* t = static_cast<TableBuild*>(context);
    SymbolEntry s;
    s.address = address;
    s.order = (uint32_t)t->symbols.size();
    s.name = (uint32_t)t->pool.size();
    t->pool.append(name).push_back('\0');
    s.object = (uint32_t)t->pool.size();
    t->pool.append(object).push_back('\0');
    t->symbols.push_back(s);
    return true;
}

}  // namespace

int32_t app_SymbolsPrepareFrom(const char* path, uintptr_t loadBase) {
    app_SymbolsFree();
    if (!path) return -1;
    text_CopyBounded(g_table.path, path, (int)sizeof g_table.path);
    char* text = efile_LoadText(path, nullptr);
    if (!text) return -1;
    TableBuild build;
    MapParse(text, MapSink{&build, TableModule, TableSymbol});
    mem_GlobalFreeNamed(text);
    std::vector<SymbolEntry>& symbols = build.symbols;
    std::sort(symbols.begin(), symbols.end(), [](const SymbolEntry& a, const SymbolEntry& b) {
        return a.address != b.address ? a.address < b.address : a.order < b.order;
    });
    g_table.symbols = std::move(symbols);
    g_table.pool = std::move(build.pool);
    g_table.loadBase = loadBase;
    g_table.loaded = 1;
    return 0;
}

int32_t app_SymbolsPrepare(void) {
    char path[1024];
    if (app_MapFilePath(path, sizeof path) != 0) {
        app_SymbolsFree();
        text_CopyBounded(g_table.path, "KRX.MAP", (int)sizeof g_table.path);
        return -1;
    }
    return app_SymbolsPrepareFrom(path, plat_ProgramLoadBase());
}

void app_SymbolsFree(void) {
    g_table.symbols.clear();
    g_table.symbols.shrink_to_fit();
    g_table.pool.clear();
    g_table.pool.shrink_to_fit();
    g_table.loaded = 0;
}

int32_t app_SymbolsLoaded(void) { return g_table.loaded; }

const char* app_SymbolsPath(void) { return g_table.path; }

int32_t app_SymbolFind(uintptr_t address, uintptr_t* start, const char** name, const char** object) {
    if (!g_table.loaded || address < g_table.loadBase) return -1;
    const uint64_t linked = address - g_table.loadBase;
    const std::vector<SymbolEntry>& s = g_table.symbols;
    // First symbol above the address; the one before it is the answer.
    size_t lo = 0, hi = s.size();
    while (lo < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (s[mid].address <= linked)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0) return -1;
    const SymbolEntry& found = s[lo - 1];
    if (start) *start = (uintptr_t)found.address + g_table.loadBase;
    if (name) *name = g_table.pool.data() + found.name;
    if (object) *object = g_table.pool.data() + found.object;
    return 0;
}
