// The resource utility the update wizard drives (docs/formats.md, "The
// resource utility"):
//   krxres DST SRC /WORK    writes update.lst: the [ADD] FILE entries of SRC
//   krxres DST SRC /DUMP    writes update.dmp: the [DUMP] ENTRY names of SRC
//   krxres DST FILE /ENCODE puts FILE into the PFF archive DST
// Exit code 0, or 1 with the reason on standard error.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "base/file.h"
#include "base/le.h"
#include "mkdata.h"
#include "platform/files.h"
#include "update/wiz_ini.h"

namespace {

bool ReadWhole(const char* path, std::vector<uint8_t>* out) {
    int h = plat_FileOpen(path, PLAT_OPEN_READ);
    if (h < 0) return false;
    int64_t size = plat_FileSizeOf(h);
    bool ok = size >= 0 && size < ((int64_t)1 << 30);
    if (ok) {
        out->resize((size_t)size);
        ok = size == 0 || plat_FileRead(h, out->data(), (uint32_t)size) == (int32_t)size;
    }
    plat_FileClose(h);
    return ok;
}

// Writes a file whole: a new file beside it, then renamed over it.
bool WriteWhole(const char* path, const std::vector<uint8_t>& bytes) {
    char temp[1024];
    int h = plat_FileCreateUnique(path, temp, sizeof temp);
    if (h < 0) return false;
    bool ok = bytes.empty() || plat_FileWrite(h, bytes.data(), (uint32_t)bytes.size()) == (int32_t)bytes.size();
    ok = ok && plat_FileSync(h) == 0;
    plat_FileClose(h);
    if (ok && plat_FileExists(path)) plat_FileModeCopy(path, temp);
    if (!ok || plat_FileRename(temp, path) != 0) {
        plat_FileDelete(temp);
        return false;
    }
    return true;
}

// The members of a PFF archive, unscrambled.
bool PffRead(const std::vector<uint8_t>& image, std::vector<MkPffMember>* members) {
    LeReader r(image.data(), image.size());
    uint32_t headerSize = r.u32();
    r.u32();
    uint32_t count = r.u32();
    r.u32();
    uint32_t dirOffset = r.u32();
    if (!r.ok() || headerSize < PFF_HEADER_SIZE || dirOffset > image.size() ||
        count > (image.size() - dirOffset) / PFF_ENTRY_SIZE)
        return false;
    for (uint32_t i = 0; i < count; i++) {
        LeReader e(image.data() + dirOffset + (size_t)i * PFF_ENTRY_SIZE, PFF_ENTRY_SIZE);
        e.u16();
        uint8_t flags = e.u8();
        e.u8();
        uint32_t offset = e.u32(), size = e.u32();
        e.u32();
        char name[PFF_NAME_SIZE + 1] = {};
        memcpy(name, image.data() + dirOffset + (size_t)i * PFF_ENTRY_SIZE + 16, PFF_NAME_SIZE);
        if (offset > image.size() || size > image.size() - offset || !name[0]) return false;
        MkPffMember m;
        m.name = name;
        m.data.assign(image.begin() + offset, image.begin() + offset + size);
        m.scrambled = (flags & PFF_FLAG_SCRAMBLED) != 0;
        if (m.scrambled) pff_Scramble(m.data.data(), size, 0);
        members->push_back(std::move(m));
    }
    return true;
}

int Fail(const char* what, const char* name) {
    fprintf(stderr, "krxres: %s (%s)\n", what, name);
    return 1;
}

// Copies the repeated key of a section of SRC into a list file.
int WriteList(const char* src, const char* section, const char* key, const char* listName, const char* listSection,
              const char* listKey) {
    std::string text = std::string("[") + listSection + "]\r\n";
    if (!wiz_IniLoadFile(src)) return Fail("cannot read the source list", src);
    char value[WIZ_LINE_MAX];
    if (wiz_IniFindSection(section))
        while (wiz_IniNextKey(key, value, sizeof value, nullptr)) text += std::string(listKey) + "=" + value + "\r\n";
    wiz_IniFree();
    if (!WriteWhole(listName, std::vector<uint8_t>(text.begin(), text.end())))
        return Fail("cannot write the list", listName);
    return 0;
}

int Encode(const char* dst, const char* file) {
    std::vector<uint8_t> image, data;
    std::vector<MkPffMember> members;
    if (!ReadWhole(dst, &image) || !PffRead(image, &members)) return Fail("cannot read the archive", dst);
    if (!ReadWhole(file, &data)) return Fail("cannot read the file", file);
    const char* slash = strrchr(file, '/');
    const char* back = strrchr(file, '\\');
    const char* base = slash > back ? slash + 1 : back ? back + 1 : file;
    std::string name;
    for (const char* p = base; *p; p++) name.push_back((char)toupper((unsigned char)*p));
    if (name.empty() || name.size() >= PFF_NAME_SIZE) return Fail("member name must have 1 to 15 characters", base);
    bool replaced = false;
    for (MkPffMember& m : members)
        if (strcasecmp(m.name.c_str(), name.c_str()) == 0) {
            m.data = data;
            m.scrambled = false;
            replaced = true;
        }
    if (!replaced) members.push_back(MkPffMember{name, data, false});
    std::vector<uint8_t> out = mkdata_PffBuild(members);
    if (out.empty() || !WriteWhole(dst, out)) return Fail("cannot write the archive", dst);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: krxres DST SRC /WORK | DST SRC /DUMP | DST FILE /ENCODE\n");
        return 1;
    }
    const char* mode = argv[3];
    if (strcasecmp(mode, "/WORK") == 0) return WriteList(argv[2], "ADD", "FILE", "update.lst", "ADD", "FILE");
    if (strcasecmp(mode, "/DUMP") == 0) return WriteList(argv[2], "DUMP", "ENTRY", "update.dmp", "PFF", "ENTRY");
    if (strcasecmp(mode, "/ENCODE") == 0) return Encode(argv[1], argv[2]);
    return Fail("unknown mode", mode);
}
