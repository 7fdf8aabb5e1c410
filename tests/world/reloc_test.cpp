// Relocatable list files: lists made from the file, binding by name, and
// damaged or looping files.
#include "world/reloc.h"

#include "pak_fixture.h"

namespace {

using Reloc = PakTest;

std::vector<uint8_t> Sample() {
    return mkdata_RelocBuild({{"Alpha", 1}, {"", 2}, {"beta", 3}},
                             {{"first", {9}, {{"a", {}}, {"b", {}}}}, {"", {}, {}}, {"third", {}, {{"", {}}}}});
}

TEST_F(Reloc, LoadedFileBecomesLinkedLists) {
    Write("s.lst", Sample());
    RelocBlock* b = level_RelocFileLoad("s.lst");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->flags & RELOC_FLAG_RELOCATED, RELOC_FLAG_RELOCATED);
    ASSERT_EQ(b->valueCount, 3);
    EXPECT_STREQ(b->valueFirst->name, "Alpha");
    EXPECT_EQ(b->valueFirst->next->name, nullptr);
    EXPECT_EQ(b->valueLast->prev, b->valueFirst->next);
    EXPECT_EQ(b->valueLast->value, 3);
    EXPECT_EQ(b->valueFirst->owner, b);
    ASSERT_EQ(b->groupCount, 3);
    RelocGroup* g = b->groupFirst;
    EXPECT_EQ(g->owner, b);
    EXPECT_STREQ(g->first->name, "a");
    EXPECT_STREQ(g->first->next->name, "b");
    EXPECT_EQ(g->first->next->prev, g->first);
    EXPECT_EQ(g->first->next->next, nullptr);
    EXPECT_EQ(level_RelocWord(b, g->offset + 20, nullptr), 9u);
    bool ok = true;
    level_RelocWord(b, b->imageSize - 2, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(g->next->first, nullptr);
    EXPECT_EQ(b->groupLast->first->name, nullptr);
    EXPECT_EQ(level_RelocFileLoad(nullptr), nullptr);
    EXPECT_EQ(level_RelocFileLoad("none.lst"), nullptr);
}

TEST_F(Reloc, BindingByNameAndRelocatingAgain) {
    Write("s.lst", Sample());
    RelocBlock* b = level_RelocFileLoad("s.lst");
    ASSERT_NE(b, nullptr);
    const RelocNamePair pairs[] = {{"ALPHA", 10}, {"Beta", 30}, {"gamma", 40}, {nullptr, 0}};
    for (int round = 0; round < 2; round++) {
        ASSERT_EQ(level_RelocNamesBind(b, pairs), 0);
        EXPECT_EQ(b->valueFirst->value, 10);
        EXPECT_EQ(b->valueFirst->next->value, -1);  // unnamed
        EXPECT_EQ(b->valueLast->value, 30);
    }
    EXPECT_EQ(level_RelocValueFind(b, "beta"), b->valueLast);
    EXPECT_EQ(level_RelocValueFind(b, "gamma"), nullptr);
    // Already relocated: nothing changes.
    RelocValue* first = b->valueFirst;
    EXPECT_EQ(level_RelocBlockRelocate(b), 0);
    EXPECT_EQ(b->valueFirst, first);
    EXPECT_EQ(first->value, 10);
    EXPECT_EQ(level_RelocNamesBind(nullptr, pairs), -1);
}

void Put(std::vector<uint8_t>& d, uint32_t at, uint32_t v) {
    for (int k = 0; k < 4; k++) d[at + k] = (uint8_t)(v >> (8 * k));
}

TEST_F(Reloc, DamagedAndLoopingFiles) {
    std::vector<uint8_t> good = Sample();
    constexpr uint32_t v0 = 40, v2 = 88, g0 = 112;
    uint32_t sub0 = g0 + 24 + 20 + 20, sub1 = sub0 + 16;
    struct Case {
        const char* what;
        uint32_t at, value;
        int32_t values;  // -1: refused
        int32_t subsOfFirst;
    } cases[] = {
        {"value next outside", v0 + 4, 0xFFFF, -1, 0},
        {"value next into the header", v0 + 4, 8, -1, 0},
        {"value name outside", v0 + 16, (uint32_t)good.size(), -1, 0},
        {"name without an end", v0 + 16, (uint32_t)good.size() - 1, -1, 0},
        {"group prev outside", g0, 0x7FFFFFFF, -1, 0},
        {"sub data outside", sub0 + 12, 0x10000, -1, 0},
        {"value list loops", v2 + 4, v0, 3, 2},
        {"value points at itself", v0 + 4, v0, 1, 2},
        {"sub-entries loop", sub1 + 4, sub0, 3, 2},
        {"saved as built in memory", 12, RELOC_FLAG_BUILT, 0, 0},
        {"saved as relocated", 12, RELOC_FLAG_RELOCATED, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> d = good;
        Put(d, c.at, c.value);
        if (c.value == good.size() - 1) d.back() = 'x';  // the file's last name loses its end
        Write("d.lst", d);
        RelocBlock* b = level_RelocFileLoad("d.lst");
        if (c.values < 0) {
            EXPECT_EQ(b, nullptr) << c.what;
            continue;
        }
        ASSERT_NE(b, nullptr) << c.what;
        int32_t n = 0;
        for (RelocValue* v = b->valueFirst; v; v = v->next) n++;
        EXPECT_EQ(n, c.values) << c.what;
        int32_t subs = 0;
        if (b->groupFirst)
            for (RelocSub* s = b->groupFirst->first; s; s = s->next) subs++;
        EXPECT_EQ(subs, c.subsOfFirst) << c.what;
    }
}

}  // namespace
