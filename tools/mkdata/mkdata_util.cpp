// File helpers shared by the builder's writers.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "mkdata.h"

int mkdata_WriteFile(const std::string& dir, const std::string& name, const void* data, size_t size) {
    mkdir(dir.c_str(), 0755);
    std::string path = dir + "/" + name;
    std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "mkdata: cannot write %s: %s\n", path.c_str(), strerror(errno));
        return -1;
    }
    bool ok = size == 0 || fwrite(data, 1, size, f) == size;
    ok = fclose(f) == 0 && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
        fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
        remove(tmp.c_str());
        return -1;
    }
    return 0;
}

int mkdata_WriteFile(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    return mkdata_WriteFile(dir, name, bytes.data(), bytes.size());
}

int mkdata_WriteText(const std::string& dir, const std::string& name, const std::string& text) {
    return mkdata_WriteFile(dir, name, text.data(), text.size());
}
