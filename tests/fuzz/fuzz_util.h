// Set-up shared by the fuzz targets: the heaps, scratch files and folders of
// this process, and the input written out as the file the program reads.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file.h"
#include "base/mem.h"

// Which parts fuzz_MemInit starts besides the main heap.
enum : uint32_t { FUZZ_HEAP2 = 1, FUZZ_HEAP1 = 2, FUZZ_FILES = 4, FUZZ_ALL = 7 };

inline void fuzz_MemInit(uint32_t mainSize, uint32_t heap2Size, uint32_t heap1Size, uint32_t parts) {
    mem_HeapSizesSet(mainSize, heap2Size, heap1Size);
    mem_HeapInit();
    if (parts & FUZZ_HEAP2) mem_Heap2Init();
    if (parts & FUZZ_HEAP1) mem_Heap1Init();
    if (parts & FUZZ_FILES) file_StateInit();
}

// "<tmp>/krx_fuzz_<stem>_<pid><ext>". Scratch files live in memory
// (/dev/shm) where it can be had: some targets flush what they write, which
// on a disk costs milliseconds a run.
inline std::string fuzz_ScratchPath(const char* stem, const char* ext = "") {
    static const char* root = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(root) + "/krx_fuzz_" + stem + "_" + std::to_string(getpid()) + ext;
}

// A scratch folder of this process, made when missing.
inline std::string fuzz_ScratchDir(const char* stem) {
    std::string dir = fuzz_ScratchPath(stem);
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) abort();
    return dir;
}

// 0 when the whole input went to the file, -1 when it could not be opened.
inline int32_t fuzz_WriteFile(const char* path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path, "wb");
    if (!f) return -1;
    if (size) fwrite(data, 1, size, f);
    fclose(f);
    return 0;
}

// For targets that read from the current folder: the fuzzer's own files are
// relative to the one it was started in, so each run goes back there.
inline void fuzz_DirEnter(const std::string& dir, char* home, size_t homeSize) {
    if (!getcwd(home, homeSize) || chdir(dir.c_str()) != 0) abort();
}
inline void fuzz_DirLeave(const char* home) {
    if (chdir(home) != 0) abort();
}
