// Indexed data file (table file) writer.
#include "base/le.h"
#include "mkdata.h"

std::vector<uint8_t> mkdata_TableBuild(const std::vector<MkTableGroup>& groups, uint32_t word0, uint32_t word8) {
    uint32_t count = 0;
    for (const MkTableGroup& g : groups) count += static_cast<uint32_t>(g.items.size());

    LeWriter w;
    w.u32(word0);
    w.u32(0); // name directory offset, known later
    w.u32(word8);
    w.u32(count);
    size_t entries = w.size();
    w.zeros(16ull * count);

    // Data area: the item texts, offsets counted from its start.
    size_t dataBase = w.size();
    size_t n = 0;
    for (const MkTableGroup& g : groups) {
        for (const MkTableItem& item : g.items) {
            size_t at = entries + 16 * n;
            w.put32At(at, static_cast<uint32_t>(w.size() - dataBase));
            w.put32At(at + 4, item.word1);
            w.put32At(at + 8, item.word2);
            w.put32At(at + 12, item.word3);
            w.cString(item.text.c_str());
            n++;
        }
    }

    // Name directory: group count, group records, group names, item names.
    w.align(4);
    w.put32At(4, static_cast<uint32_t>(w.size()));
    w.u32(static_cast<uint32_t>(groups.size()));
    size_t firstRecord = w.size();
    w.zeros(8 * groups.size());
    for (const MkTableGroup& g : groups) w.cString(g.name.c_str());
    for (size_t i = 0; i < groups.size(); i++) {
        w.put32At(firstRecord + 8 * i, static_cast<uint32_t>(w.size() - firstRecord));
        w.put32At(firstRecord + 8 * i + 4, static_cast<uint32_t>(groups[i].items.size()));
        for (const MkTableItem& item : groups[i].items) w.cString(item.name.c_str());
    }
    return w.buf;
}

int mkdata_TableWrite(const std::string& dir, const std::string& name, const std::vector<MkTableGroup>& groups) {
    return mkdata_WriteFile(dir, name, mkdata_TableBuild(groups));
}
