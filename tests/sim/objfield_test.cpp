// The object fields the AI programs address by byte offset.
#include <gtest/gtest.h>

#include <cstring>

#include "sim_fixture.h"

namespace {

class ObjFieldTest : public SimEnv {
protected:
    DcbPool ai = {};
    void SetUp() override {
        SimEnv::SetUp();
        MakePool(&ai, sizeof(_AI_DCB), 4);
    }
};

TEST_F(ObjFieldTest, TableIsOrderedAndEachFieldHasItsOwnBytes) {
    uint32_t lastOffset = 0;
    std::vector<uint8_t> headerUse(sizeof(ObjectRecord)), aiUse(sizeof(_AI_DCB));
    for (int32_t i = 0; i < obj_FieldCount; i++) {
        const ObjFieldEntry& e = obj_FieldTable[i];
        SCOPED_TRACE(e.field);
        if (i) {
            EXPECT_GT(e.offset, lastOffset);
        }
        lastOffset = e.offset;
        // Offsets of the 32-bit layout do not overlap either.
        if (i + 1 < obj_FieldCount) {
            EXPECT_LE(e.offset + e.width, obj_FieldTable[i + 1].offset);
        }
        const bool pointer = e.kind == OBJ_FIELD_OBJECT || e.kind == OBJ_FIELD_ROUTINE || e.kind == OBJ_FIELD_LINK;
        const uint32_t nativeWidth = pointer ? sizeof(void*) : e.width;
        std::vector<uint8_t>& use = e.aiOnly ? aiUse : headerUse;
        ASSERT_LE(e.native + nativeWidth, use.size());
        for (uint32_t b = 0; b < nativeWidth; b++) EXPECT_EQ(use[e.native + b]++, 0) << "byte " << e.native + b;
        EXPECT_EQ(obj_FieldFind(e.offset), &e);
    }
}

TEST_F(ObjFieldTest, IntegerFieldsRoundTripAtTheirWidth) {
    ObjectRecord* unit = net_DcbPoolTake(&ai);
    ASSERT_NE(unit, nullptr);
    for (int32_t i = 0; i < obj_FieldCount; i++) {
        const ObjFieldEntry& e = obj_FieldTable[i];
        if (e.kind != OBJ_FIELD_SIGNED && e.kind != OBJ_FIELD_UNSIGNED) continue;
        SCOPED_TRACE(e.field);
        const int32_t pattern = (int32_t)(0x8A5A0000u | (e.offset * 0x0101u));
        ASSERT_EQ(obj_FieldWrite(unit, e.offset, pattern), 0);
        int32_t back = 0;
        ASSERT_EQ(obj_FieldRead(unit, e.offset, &back), 0);
        int32_t expected = pattern;
        if (e.width == 1) expected = e.kind == OBJ_FIELD_SIGNED ? (int8_t)pattern : (uint8_t)pattern;
        if (e.width == 2) expected = e.kind == OBJ_FIELD_SIGNED ? (int16_t)pattern : (uint16_t)pattern;
        EXPECT_EQ(back, expected);
    }
    // The native fields behind a few offsets.
    const _AI_DCB* u = (const _AI_DCB*)unit;
    ASSERT_EQ(obj_FieldWrite(unit, 0x60, -3), 0);
    EXPECT_EQ(unit->hitPoints, -3);
    ASSERT_EQ(obj_FieldWrite(unit, 0x34, 0x123456), 0);
    EXPECT_EQ(unit->position.y, 0x123456u);
    ASSERT_EQ(obj_FieldWrite(unit, 0xf4, 99), 0);
    EXPECT_EQ(u->registers[2], 99);
    ASSERT_EQ(obj_FieldWrite(unit, 0x13d, 0x1FF), 0);
    EXPECT_EQ(u->sideMasks[1], 0xFF);
    EXPECT_EQ(u->sideMasks[2], (uint8_t)(0x8A5A0000u | (0x13e * 0x0101u)));  // its neighbour untouched
}

TEST_F(ObjFieldTest, OtherOffsetsAndKindsAreRefused) {
    ObjectRecord* unit = net_DcbPoolTake(&ai);
    ObjectRecord* building = obj_StaticCreate(0, 0, nullptr, 0);
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(building, nullptr);
    building->think = nullptr;
    unit->think = [](ObjectRecord*) {};
    int32_t v = 0;
    ObjHandle h = {};
    struct Case {
        const char* name;
        ObjectRecord* object;
        uint32_t offset;
        int32_t read, write;   // results of obj_FieldRead and obj_FieldWrite
        int32_t value;         // read value when read is 0
    } cases[] = {
        {"unknown +0x01", unit, 0x01, -1, -1, 0},
        {"unknown +0x04", unit, 0x04, -1, -1, 0},
        {"unknown +0x50", unit, 0x50, -1, -1, 0},
        {"inside a field +0x19", unit, 0x19, -1, -1, 0},
        {"unknown +0x8c", unit, 0x8c, -1, -1, 0},
        {"unknown +0x114", unit, 0x114, -1, -1, 0},
        {"unknown +0x12c", unit, 0x12c, -1, -1, 0},
        {"past the record", unit, 0x148, -1, -1, 0},
        {"far past", unit, 0xFFFFFFFF, -1, -1, 0},
        {"AI field of a static", building, 0x134, -1, -1, 0},
        {"header field of a static", building, 0x5d, 0, 0, OBJ_TARGET_STRUCTURE},
        {"think set: read-only", unit, 0x94, 0, -1, 1},
        {"think null", building, 0x94, 0, -1, 0},
        {"link", unit, 0x3c, 0, -1, 1},
        {"serial", unit, 0x48, 0, -1, (int32_t)unit->serial},
        {"object field as an integer", unit, 0xa4, -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        v = -12345;
        EXPECT_EQ(obj_FieldRead(c.object, c.offset, &v), c.read);
        if (c.read == 0) {
            EXPECT_EQ(v, c.value);
        }
        if (c.write == -1) {
            ObjectRecord before = *c.object;
            EXPECT_EQ(obj_FieldWrite(c.object, c.offset, 77), -1);
            EXPECT_EQ(memcmp(&before, c.object, sizeof before), 0);
        } else {
            EXPECT_EQ(obj_FieldWrite(c.object, c.offset, c.value), 0);
        }
        if (c.offset != 0xa4) {
            EXPECT_EQ(obj_FieldReadObject(c.object, c.offset, &h), -1);
        }
    }
}

TEST_F(ObjFieldTest, ObjectFieldsTravelAsCheckedHandles) {
    ObjectRecord* unit = net_DcbPoolTake(&ai);
    ObjectRecord* leader = net_DcbPoolTake(&ai);
    ObjectRecord* building = obj_StaticCreate(0, 0, nullptr, 0);
    ASSERT_TRUE(unit && leader && building);

    ObjHandle h = obj_HandleMake(building);
    EXPECT_EQ(h.pool, &level_ServerArrays.statics);
    EXPECT_EQ(obj_HandleResolve(&h), building);
    ASSERT_EQ(obj_FieldWriteObject(unit, 0xa4, &h), 0);
    EXPECT_EQ(unit->target, building);
    ObjHandle back = {};
    ASSERT_EQ(obj_FieldReadObject(unit, 0xa4, &back), 0);
    EXPECT_EQ(obj_HandleResolve(&back), building);

    ObjHandle lead = obj_HandleMake(leader);
    ASSERT_EQ(obj_FieldWriteObject(unit, 0x10c, &lead), 0);
    EXPECT_EQ(((_AI_DCB*)unit)->leader, leader);
    EXPECT_EQ(obj_FieldWriteObject(building, 0x10c, &lead), -1);  // statics have no leader

    // Null travels as the empty handle.
    const ObjHandle none = {};
    ASSERT_EQ(obj_FieldWriteObject(unit, 0x98, &none), 0);
    EXPECT_EQ(unit->owner, nullptr);
    ASSERT_EQ(obj_FieldReadObject(unit, 0x98, &back), 0);
    EXPECT_EQ(back.pool, nullptr);

    // Released, returned and taken again: the old handle is stale.
    obj_Free(building);
    EXPECT_EQ(obj_HandleResolve(&h), nullptr);
    EXPECT_EQ(obj_FieldWriteObject(unit, 0x98, &h), -1);
    EXPECT_EQ(unit->owner, nullptr);
    net_DcbPoolFlushRemovals(&level_ServerArrays.statics, nullptr);
    EXPECT_EQ(obj_HandleResolve(&h), nullptr);
    ObjectRecord* again = obj_StaticCreate(0, 0, nullptr, 0);
    ASSERT_EQ(again, building);
    EXPECT_EQ(obj_HandleResolve(&h), nullptr);
    EXPECT_NE(obj_HandleResolve(&h), again);

    // A handle whose index runs past its pool.
    ObjHandle wild = lead;
    wild.index = 1000;
    EXPECT_EQ(obj_HandleResolve(&wild), nullptr);
}

}  // namespace
