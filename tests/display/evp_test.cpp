// Viewport records.
#include <gtest/gtest.h>

#include "base/mem.h"
#include "display/evp.h"

namespace {

TEST(Evp, CreateRaisesSmallValuesAndIgnoresShortPitch) {
    _EVP* e = evp_Create(0, 0, 0, 0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->width, 1);
    EXPECT_EQ(e->rows, 1);
    EXPECT_EQ(e->bytesPerPixel, 1);
    EXPECT_STREQ(mem_GlobalHeaderOf(e)->name, "_EVP");
    evp_Free(e);

    e = evp_Create(320, 200, 2, 100);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->rowBytes, 640);
    EXPECT_EQ(e->pitch, 640);
    EXPECT_EQ(e->extraBytes, 0);
    EXPECT_EQ(e->base, nullptr);
    EXPECT_EQ(e->clipX2, 319);
    EXPECT_EQ(e->clipY2, 199);
    EXPECT_EQ(e->centreX, 159);
    EXPECT_EQ(e->clipWidth, 320);
    EXPECT_FLOAT_EQ(e->projCentreX, 159.0f);
    EXPECT_FLOAT_EQ(e->scaleX, 320.0f);
    EXPECT_FLOAT_EQ(e->scaleY, 320.0f);
    evp_Free(e);

    e = evp_Create(10, 2, 4, 48);
    EXPECT_EQ(e->extraBytes, 8);
    evp_Free(e);
    EXPECT_EQ(evp_Create(0x40000000, 1, 4, 0), nullptr);  // row bytes beyond 32 bits
}

TEST(Evp, RowsAdvanceByRowBytes) {
    uint8_t buffer[4 * 3 * 2] = {};
    _EVP* e = evp_Create(4, 3, 2, 64);
    EXPECT_EQ(evp_SetBase(e, nullptr), nullptr);
    EXPECT_EQ(evp_SetBase(nullptr, buffer), nullptr);
    EXPECT_EQ(evp_SetBase(e, buffer), buffer);
    for (int i = 0; i < 3; i++) EXPECT_EQ(e->rowTable[i], buffer + 8 * i);
    evp_Free(e);
}

TEST(Evp, ClipIsOrderedAndKeptInside) {
    _EVP* e = evp_Create(320, 200, 1, 320);
    evp_SetClip(e, 300, 200, -5, 10);
    EXPECT_EQ(e->clipX1, 0);
    EXPECT_EQ(e->clipY1, 10);
    EXPECT_EQ(e->clipX2, 300);
    EXPECT_EQ(e->clipY2, 199);
    EXPECT_EQ(e->centreX, 150);
    EXPECT_EQ(e->centreY, 104);
    EXPECT_EQ(e->clipWidth, 301);
    EXPECT_EQ(e->clipHeight, 190);
    evp_CentreOnClip(e);
    EXPECT_FLOAT_EQ(e->projCentreX, 150.0f);
    evp_SetScale(e, 0.5f, 3.0f);
    EXPECT_FLOAT_EQ(e->scaleX, 1.0f);
    EXPECT_FLOAT_EQ(e->scaleY, 3.0f);
    evp_ScaleToClip(e);
    EXPECT_FLOAT_EQ(e->scaleY, 301.0f);
    evp_Free(e);
}

TEST(Evp, FreeingTheCurrentRecordClearsTheCurrentCopy) {
    uint8_t buffer[16];
    _EVP* e = evp_Create(4, 4, 1, 4);
    evp_SetBase(e, buffer);
    evp_MakeCurrent(e);
    EXPECT_EQ(evp_Current.base, buffer);
    EXPECT_EQ(evp_Current.rowTable[3], buffer + 12);
    evp_Free(e);
    EXPECT_EQ(evp_Current.base, nullptr);
    EXPECT_EQ(evp_Current.rowTable, nullptr);
    EXPECT_EQ(evp_Current.width, 0);
}

}  // namespace
