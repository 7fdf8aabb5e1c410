// Fuzz target: input map files. Any text is read without harm; whatever was
// read is written in a form that reads back, and from then on the written
// form stays the same.
#include <cstdint>
#include <string>
#include <vector>

#include "base/mem.h"
#include "fuzz_util.h"
#include "input/inmapfile.h"

namespace {

std::string Format(_INMAP* map) {
    size_t n = inmap_TextFormat(map, nullptr, 0);
    std::vector<char> buffer(n + 1);
    inmap_TextFormat(map, buffer.data(), buffer.size());
    return std::string(buffer.data(), n);
}

// Reads a text the program wrote: failing is a fault.
_INMAP* Reread(const std::string& text) {
    _INMAP* map = inmap_MapCreate(nullptr);
    if (!map) __builtin_trap();
    if (inmap_TextParse(map, text.data(), text.size()) != 0) __builtin_trap();
    return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x2000000, 0x10000, 0x10000, 0);
        ready = true;
    }
    if (size > (size_t)INMAP_FILE_MAX) return 0;
    _INMAP* map = inmap_MapCreate(nullptr);
    if (!map) return 0;
    int32_t result = inmap_TextParse(map, reinterpret_cast<const char*>(data), size);
    if (result == 0) {
        // Mouse inputs and inputs of unknown layouts are not written, so the
        // first rewrite may lose them; the second must change nothing.
        std::string first = Format(map);
        _INMAP* second = Reread(first);
        std::string text2 = Format(second);
        _INMAP* third = Reread(text2);
        if (Format(third) != text2) __builtin_trap();
        inmap_MapFree(third);
        inmap_MapFree(second);
    }
    inmap_MapFree(map);
    return 0;
}
