// The cursor tests' files: plain cursor images in a work folder of their
// own, with the main heap for the cursor block.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "base/mem.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"

// An 8-bit PCX file of the size, every pixel `value`.
inline void test_WriteFlatPcx(const char* name, int32_t w, int32_t h, uint8_t value) {
    std::vector<uint8_t> px((size_t)(w * h), value);
    pal_Second.width = w;
    pal_Second.height = h;
    for (int32_t i = 0; i < 768; i++) pal_Second.palette[i] = (uint8_t)i;
    ASSERT_EQ(pcx_WriteFile(name, px.data()), 0);
}

// Enters the work folder on the main heap (made once) and writes the three
// images A.PCX, B.PCX and C.PCX of w x h filled with a, b and c.
inline void test_CursorFilesEnter(TestWorkDir& work, const char* prefix, int32_t w, int32_t h, uint8_t a, uint8_t b,
                                  uint8_t c) {
    if (!mem_MainHeap.base) {
        ASSERT_EQ(test_HeapsFresh(1u << 20, 0, 0), 0);
    }
    mem_CurrentHeap = &mem_MainHeap;
    ASSERT_TRUE(work.Enter(prefix));
    test_WriteFlatPcx("A.PCX", w, h, a);
    test_WriteFlatPcx("B.PCX", w, h, b);
    test_WriteFlatPcx("C.PCX", w, h, c);
}
