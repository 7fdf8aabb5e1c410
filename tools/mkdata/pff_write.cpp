// PFF archive writer and the data set's archives.
#include <cstdio>
#include <map>

#include "base/file.h"
#include "base/le.h"
#include "mkdata.h"

std::vector<uint8_t> mkdata_PffBuild(const std::vector<MkPffMember>& members) {
    for (const MkPffMember& m : members) {
        if (m.name.empty() || m.name.size() >= PFF_NAME_SIZE) {
            fprintf(stderr, "mkdata: PFF member name \"%s\" must have 1 to 15 characters\n", m.name.c_str());
            return {};
        }
    }
    LeWriter w;
    w.u32(PFF_HEADER_SIZE);
    w.u32(PFF_ENTRY_SIZE); // word 4: the directory entry size
    w.u32(static_cast<uint32_t>(members.size()));
    w.u32(0); // word 12: reserved
    w.u32(0); // directory offset, known at the end
    std::vector<uint32_t> offsets;
    for (const MkPffMember& m : members) {
        w.align(4);
        offsets.push_back(static_cast<uint32_t>(w.size()));
        std::vector<uint8_t> data = m.data;
        if (m.scrambled) pff_Scramble(data.data(), static_cast<uint32_t>(data.size()), 0);
        w.bytes(data.data(), data.size());
    }
    w.align(4);
    w.put32At(16, static_cast<uint32_t>(w.size()));
    for (size_t i = 0; i < members.size(); i++) {
        const MkPffMember& m = members[i];
        w.u16(0);
        w.u8(m.scrambled ? PFF_FLAG_SCRAMBLED : 0);
        w.u8(0);
        w.u32(offsets[i]);
        w.u32(static_cast<uint32_t>(m.data.size()));
        w.u32(0);
        w.fixedString(m.name.c_str(), PFF_NAME_SIZE);
    }
    return w.buf;
}

int mkdata_PffWrite(const std::string& dir, const std::string& name, const std::vector<MkPffMember>& members) {
    std::vector<uint8_t> image = mkdata_PffBuild(members);
    if (image.empty()) return -1;
    return mkdata_WriteFile(dir, name, image);
}

namespace {

// The archives of the data set, in the order the program mounts them.
const char* const kArchives[] = {"UPDATED.PFF", "KRX.PFF", "COMMON.PFF"};

std::map<std::string, std::vector<MkPffMember>>& mkdata_Archives() {
    static std::map<std::string, std::vector<MkPffMember>> archives;
    return archives;
}

}  // namespace

void mkdata_PffAdd(const std::string& archive, const std::string& name, std::vector<uint8_t> data, bool scrambled) {
    std::vector<MkPffMember>& list = mkdata_Archives()[archive];
    for (MkPffMember& m : list) {
        if (m.name == name) {
            m.data = std::move(data);
            m.scrambled = scrambled;
            return;
        }
    }
    list.push_back(MkPffMember{name, std::move(data), scrambled});
}

int mkdata_WriteArchives(const std::string& dir) {
    for (const char* name : kArchives)
        if (mkdata_PffWrite(dir, name, mkdata_Archives()[name]) != 0) return -1;
    for (auto& [name, members] : mkdata_Archives()) {
        bool known = false;
        for (const char* k : kArchives) known = known || name == k;
        if (!known && mkdata_PffWrite(dir, name, members) != 0) return -1;
    }
    return 0;
}
