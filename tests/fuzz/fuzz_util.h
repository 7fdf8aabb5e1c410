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
#include "display/pal.h"

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

// Once per process, for the targets that read files from a folder of their
// own: the heaps and the files' state, and the scratch folder `stem` (made
// on the first call and returned on every one).
inline const std::string& fuzz_FileTargetInit(const char* stem) {
    static const std::string dir = [stem] {
        fuzz_MemInit(0x10000, 0x10000, 0x100000, FUZZ_ALL);
        return fuzz_ScratchDir(stem);
    }();
    return dir;
}

// Once per process, for the image readers that take a file: their heaps, the
// 5:5:5 screen and 8:8:8 second pixel formats, and the path of the scratch
// file "<stem>.bmp" the input is written to.
inline const std::string& fuzz_ImageFileInit(const char* stem) {
    static const std::string path = [stem] {
        fuzz_MemInit(0x2000000, 0x10000, 0x10000, 0);
        pal_SetRgbMasks(0x7C00, 0x03E0, 0x001F);
        pal_SetRgbMasksSecond(0xFF0000, 0x00FF00, 0x0000FF);
        return fuzz_ScratchPath(stem, ".bmp");
    }();
    return path;
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

// The input written as the file `name` in the scratch folder `dir`, then
// `read` run with that folder current.
template <class Read>
inline void fuzz_ReadInDir(const std::string& dir, const char* name, const uint8_t* data, size_t size, Read read) {
    char home[1024];
    fuzz_DirEnter(dir, home, sizeof home);
    fuzz_WriteFile(name, data, size);
    read();
    fuzz_DirLeave(home);
}

// Whether a PCX header declares more than 0x40000 pixels: big pictures only
// cost time (a 900-byte file may declare 4 GB of pixels), the readers' logic
// shows on small ones.
inline bool fuzz_PcxTooBig(const uint8_t* data, size_t size) {
    if (size < 128) return false;
    const uint32_t width = data[66] | data[67] << 8;
    const uint32_t height = (uint32_t)(data[10] | data[11] << 8) - (uint32_t)(data[6] | data[7] << 8) + 1;
    return (uint64_t)width * height > 0x40000;
}
