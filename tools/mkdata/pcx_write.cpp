// PCX and BMP writers of the builder. PCX files go through the program's own
// writer (pcx_WriteFile), so the data set is what the game itself writes.
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "base/bmp.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "mkdata.h"

int mkdata_PcxWrite(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                    const uint8_t* pixels, const uint8_t* palette) {
    mkdir(dir.c_str(), 0755);
    std::string path = dir + "/" + name;
    pal_Second.width = width;
    pal_Second.height = height;
    memcpy(pal_Second.palette, palette, PAL_BYTES);
    if (pcx_WriteFile(path.c_str(), pixels) != 0) {
        fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
        return -1;
    }
    return 0;
}

std::vector<uint8_t> mkdata_PcxBuild(const std::string& scratchDir, int32_t width, int32_t height,
                                     const uint8_t* pixels, const uint8_t* palette) {
    const std::string name = "pcxbuild.tmp";
    std::vector<uint8_t> bytes;
    if (mkdata_PcxWrite(scratchDir, name, width, height, pixels, palette) != 0) return bytes;
    std::string path = scratchDir + "/" + name;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        uint8_t buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        fclose(f);
    }
    remove(path.c_str());
    return bytes;
}

int mkdata_BmpWrite24(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                      const uint8_t* rgb) {
    int64_t size = bmp_Encode24(nullptr, 0, width, height, rgb);
    if (size < 0) {
        fprintf(stderr, "mkdata: %s: bad image size\n", name.c_str());
        return -1;
    }
    std::vector<uint8_t> bytes((size_t)size);
    if (bmp_Encode24(bytes.data(), bytes.size(), width, height, rgb) != size) return -1;
    return mkdata_WriteFile(dir, name, bytes);
}

int mkdata_BmpWrite8(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                     const uint8_t* pixels, const uint8_t* palette) {
    int64_t size = bmp_Encode8(nullptr, 0, width, height, pixels, palette);
    if (size < 0) {
        fprintf(stderr, "mkdata: %s: bad image size\n", name.c_str());
        return -1;
    }
    std::vector<uint8_t> bytes((size_t)size);
    if (bmp_Encode8(bytes.data(), bytes.size(), width, height, pixels, palette) != size) return -1;
    return mkdata_WriteFile(dir, name, bytes);
}
