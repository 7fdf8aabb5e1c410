// Scripts for the music tests, assembled by the data builder's assembler.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/mem.h"
#include "mkdata.h"
#include "sound/music.h"

// Assembles a script source; fails the test on an assembler error.
inline std::vector<uint8_t> test_Assemble(const std::string& source) {
    std::vector<uint8_t> image;
    std::string error;
    EXPECT_EQ(mkdata_MusicAssemble(source, &image, &error), 0) << error;
    return image;
}

// One program "T" with 64 bytes of globals and locals (parameters from
// local byte 16) and its code starting at "main".
inline std::string test_Program(const std::string& code, const char* name = "T") {
    return std::string("program ") + name + "\nglobals 64\nlocals 64\nparams 16\nentry main\nmain:\n" + code + "\n";
}

inline int32_t test_Global(int32_t word) {
    const uint8_t* p = music_Script.vars + 4 * word;
    return (int32_t)((uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24));
}
inline int32_t test_Local(int32_t word) { return test_Global(16 + word); }

// A heap for the script's blocks, and no script or stream left over.
inline void test_MusicReset(void) {
    music_StreamClose();
    music_ScriptStop();
    music_ScriptFree();
    mem_HeapSizesSet(0x400000, 0x10000, 0x100000);
    ASSERT_EQ(mem_HeapInit(), 0);
    music_Script.fault = 0;
}
