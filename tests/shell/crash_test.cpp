// Crash handling and dumps: the context dump written from a made-up fault,
// the symbol map and its look-ups, the packet dump, screenshot names and
// the crash handler's steps.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/mem.h"
#include "display/otw.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "net/msgtrace.h"
#include "platform/crash.h"
#include "platform/files.h"
#include "platform/window.h"
#include "shell/dump.h"
#include "shell/mainloop.h"
#include "shell/symmap.h"

namespace {

std::string Fmt(const char* f, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* f, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, f);
    vsnprintf(buf, sizeof buf, f, ap);
    va_end(ap);
    return buf;
}

const char* const kSampleMap =
    " sample\n"
    "\n"
    " 0001:00000500       Early          0000000000000500 f   early.o\n"  // before the symbols start: ignored
    "  Address         Publics by Value              Rva+Base       Lib:Object\n"
    "\n"
    " 0001:00001000       Alpha          0000000000001000 f   alpha.o\n"
    " 0001:00002000       Beta           0000000000002000     beta.o\n"
    " 0001:00002000       BetaAlias      0000000000002000 f   beta.o\n"
    " 0001:00003000       Six words here 0000000000003000 f   six.o\n"  // six words: skipped
    " 00013000            NoColon        0000000000003000 f   nocolon.o\n"
    " 0001:00004000       BadHex         zz00 f   bad.o\n"
    "\r\n"
    " 0001:00005000\tGamma\t0000000000005000\tf\tgamma.o\r\n";

class Crash : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        ASSERT_TRUE(work.Enter("krx_crash"));
        ASSERT_EQ(test_HeapsFresh(0x10000, 0x10000, 0x10000), 0);
        app_DumpSettings = AppDumpSettings{1, nullptr, 8, 0, ""};
        app_StatusString[0] = app_PakInfoString[0] = 0;
        app_LevelObjectNumber = app_LevelObjectTotal = 0;
    }
    void TearDown() override {
        app_SymbolsFree();
        app_DumpSettings = AppDumpSettings{1, nullptr, 64, 0, ""};
        work.Leave();
    }
    static std::string Read(const std::string& path) { return test_ReadText(path); }
    static void Write(const std::string& path, const std::string& text) { test_WriteText(path, text); }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

// ---- The context dump ------------------------------------------------------------

alignas(16) uint8_t g_code[64];

struct FakeFault {
    PlatCrashContext ctx{};
    uintptr_t stack[8]{};
    FakeFault() {
        for (int i = 0; i < 64; i++) g_code[i] = (uint8_t)i;
        ctx.signal = 11;
        ctx.pc = (uintptr_t)&g_code[16];
        ctx.sp = (uintptr_t)stack;
        const char* names[] = {"RAX", "RSP", "RIP", "EFL"};
        const uint64_t values[] = {1, (uint64_t)ctx.sp, (uint64_t)ctx.pc, 0x246};
        for (int i = 0; i < 4; i++) {
            ctx.regNames[i] = names[i];
            ctx.regs[i] = values[i];
        }
        ctx.regCount = 4;
        ctx.segNames[0] = "SegCs";
        ctx.segs[0] = 0x33;
        ctx.segCount = 1;
    }
};

TEST_F(Crash, ContextDumpSectionsInOrder) {
    // The sample map placed so that Alpha starts at the code bytes.
    const uintptr_t base = (uintptr_t)&g_code[0] - 0x1000;
    Write("SAMPLE.MAP", kSampleMap);
    ASSERT_EQ(app_SymbolsPrepareFrom("SAMPLE.MAP", base), 0);
    FakeFault f;
    f.stack[0] = base + 0x1010;           // Alpha + 16
    f.stack[1] = base + 0x5000 + 0x3FFF;  // last byte still named
    f.stack[2] = base + 0x5000 + 0x4000;  // too far past Gamma: value only
    f.stack[3] = base - 1;                // below every symbol
    snprintf(app_StatusString, sizeof app_StatusString, "front end");
    snprintf(app_PakInfoString, sizeof app_PakInfoString, "pak_LoadPakEx : attempting \"A.PAK\"");
    app_LevelObjectNumber = 3;
    app_LevelObjectTotal = 9;
    void* block = mem_GlobalAllocNamed("crash test block", 2000);
    const MemGlobalState* g = mem_GlobalStateGet();

    ASSERT_EQ(app_DumpExceptionToFile(&f.ctx, "dump.txt"), 0);
    const std::string d = Read("dump.txt");
    const uint32_t serial = mem_GlobalHeaderOf(block)->serial;
    mem_GlobalFreeNamed(block);

    EXPECT_EQ(d.rfind("Context dump of\nExecutable  : ", 0), 0u) << d;
    EXPECT_TRUE(Has(d, "\nTimestamp   : ")) << d;
    EXPECT_TRUE(Has(d, "AppString = \"front end\"\n\n"
                       "PakInfoString = \"pak_LoadPakEx : attempting \"A.PAK\"\"\n\n"
                       "LevelObjectNumber = 3 / 9\n\n"))
        << d;
    EXPECT_TRUE(Has(d, Fmt("Dump Information = \"$%8.8lx Alpha (alpha.o), 16 bytes [$10]\"\n\n",
                           (unsigned long)(uintptr_t)&g_code[0])))
        << d;
    EXPECT_TRUE(Has(d, Fmt("RAX: 0x00000001 (1)\nRSP: 0x%8.8lx (%ld)\nRIP: 0x%8.8lx (%ld)\n"
                           "EFlags: 0x00000246 (582)\n\nSegCs: 0x00000033 (51)\n",
                           (unsigned long)f.ctx.sp, (long)f.ctx.sp, (unsigned long)f.ctx.pc, (long)f.ctx.pc)))
        << d;
    EXPECT_TRUE(Has(d, "Code bytes before EIP: 0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f \n"
                       "Code bytes at EIP:    10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f \n\n"))
        << d;
    std::string words = "Stack:\n";
    for (uintptr_t w : f.stack) words += Fmt("%08lx ", (unsigned long)w);
    EXPECT_TRUE(Has(d, words + "\n\n")) << d;
    const unsigned long alpha = base + 0x1000, gamma = base + 0x5000;
    EXPECT_TRUE(Has(d, Fmt("Stack:\n$%8.8lx : $%8.8lx Alpha (alpha.o) (16 bytes [$10])\n"
                           "$%8.8lx : $%8.8lx Gamma (gamma.o) (16383 bytes [$3fff])\n"
                           "$%8.8lx :\n$%8.8lx :\n",
                           alpha + 0x10, alpha, gamma + 0x3FFF, gamma, gamma + 0x4000, (unsigned long)(base - 1))))
        << d;
    EXPECT_FALSE(Has(d, "STACK ERROR")) << d;
    // Server, players and heaps, in that order, after the stack.
    const size_t server = d.find("\n\nServerPlayerPtr = $00000000\n\n\n"
                                 "Server.send_buffer_ptr = $00000000\nServer.send_buffer_size = 0 bytes.\n\n\n"
                                 "Player Information (SERVER) : Server.player = NULL\nPlayer Information (CLIENT)\n"
                                 "000: EMPTY!\n");
    ASSERT_NE(server, std::string::npos) << d;
    EXPECT_TRUE(Has(d, "015: EMPTY!\n\n\n=====================================\n[MEMMGR]\nptr ")) << d;
    const size_t sysmem = d.find("=====================================\n[SYSMEM]\n");
    const size_t tempmem = d.find("=====================================\n[TEMPMEM]\n");
    EXPECT_TRUE(server < sysmem && sysmem < tempmem && tempmem != std::string::npos) << d;
    EXPECT_TRUE(Has(d, Fmt("Number of memory blocks currently allocated : %ld\n", (long)g->count + 1))) << d;
    EXPECT_TRUE(Has(d, Fmt("#%4ld:     2000 bytes [  2K], id=0, %5.5ld \"crash test block\"\n", (long)serial,
                           (long)serial)))
        << d;
    EXPECT_FALSE(Has(d, "MEM DUMP ERROR")) << d;
}

TEST_F(Crash, DumpWithoutMapAndWithUnreadableAddresses) {
    app_SymbolsPrepareFrom("NOWHERE.MAP", 0);
    FakeFault f;
    f.ctx.pc = 8;    // no code there, nor 16 bytes before it
    f.ctx.sp = 16;   // nor a stack
    ASSERT_EQ(app_DumpExceptionToFile(&f.ctx, "dump.txt"), 0);
    const std::string d = Read("dump.txt");
    EXPECT_TRUE(Has(d, "Dump Information = \"Can't load \"NOWHERE.MAP\"\"\n\n")) << d;
    EXPECT_TRUE(Has(d, "Code bytes before EIP:<IP ERROR>\nCode bytes at EIP:    <IP ERROR>\n\n")) << d;
    EXPECT_TRUE(Has(d, "Stack:\n\nStack: Unable to load \"NOWHERE.MAP\".\n")) << d;

    // With a map, a stack that cannot be read ends its section.
    Write("SAMPLE.MAP", kSampleMap);
    ASSERT_EQ(app_SymbolsPrepareFrom("SAMPLE.MAP", 0), 0);
    ASSERT_EQ(app_DumpExceptionToFile(&f.ctx, "dump2.txt"), 0);
    const std::string d2 = Read("dump2.txt");
    EXPECT_TRUE(Has(d2, "Dump Information = \"$00000008 : Function not found\"")) << d2;
    EXPECT_TRUE(Has(d2, "Stack:\n\nStack:\n\nSTACK ERROR\n\n\nServerPlayerPtr")) << d2;
}

TEST_F(Crash, StackRunningIntoUnreadableMemory) {
    // Two words at the end of a readable page, then a page that cannot be read.
    const size_t page = (size_t)sysconf(_SC_PAGESIZE);
    auto* area = (uint8_t*)mmap(nullptr, page * 2, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(area, MAP_FAILED);
    ASSERT_EQ(mprotect(area + page, page, PROT_NONE), 0);
    auto* words = (uintptr_t*)(area + page - 16);
    words[0] = 0x1004;
    words[1] = 0x2000;
    Write("SAMPLE.MAP", kSampleMap);
    ASSERT_EQ(app_SymbolsPrepareFrom("SAMPLE.MAP", 0), 0);
    FakeFault f;
    f.ctx.sp = (uintptr_t)words;
    ASSERT_EQ(app_DumpExceptionToFile(&f.ctx, "dump.txt"), 0);
    munmap(area, page * 2);
    const std::string d = Read("dump.txt");
    EXPECT_TRUE(Has(d, "Stack:\n00001004 00002000 \n\n"
                       "Stack:\n$00001004 : $00001000 Alpha (alpha.o) (4 bytes [$4])\n"
                       "$00002000 : $00002000 BetaAlias (beta.o) (0 bytes [$0])\n\nSTACK ERROR\n"))
        << d;
}

TEST_F(Crash, AFaultWhileListingTheHeapsEndsOnlyThatSection) {
    void* data = mem_AllocEx(64, 4, "fine");
    ASSERT_NE(data, nullptr);
    mem_TagSet(data, reinterpret_cast<const char*>(uintptr_t{16}));  // a tag that cannot be read
    FakeFault f;
    ASSERT_EQ(app_DumpExceptionToFile(&f.ctx, "dump.txt"), 0);
    mem_TagSet(data, "fine");
    const std::string d = Read("dump.txt");
    EXPECT_TRUE(Has(d, "\nMEM DUMP ERROR\nNumber of memory blocks currently allocated : ")) << d;
    EXPECT_EQ(mem_CurrentHeap, &mem_MainHeap);
}

TEST_F(Crash, DumpFileThatCannotBeCreated) {
    FakeFault f;
    EXPECT_EQ(app_DumpExceptionToFile(&f.ctx, "no/such/dir/dump.txt"), -1);
    EXPECT_EQ(app_DumpExceptionToFile(nullptr, "dump.txt"), -1);
}

TEST_F(Crash, DumpInfoNamesTheFunctionAtAnAddress) {
    Write("SAMPLE.MAP", kSampleMap);
    ASSERT_EQ(app_SymbolsPrepareFrom("SAMPLE.MAP", 0x400000), 0);
    app_DumpInfoSet(0x405123);
    EXPECT_STREQ(app_DumpSettings.info, "$00405000 Gamma (gamma.o), 291 bytes [$123]");
    app_DumpInfoSet(0x400FFF);
    EXPECT_STREQ(app_DumpSettings.info, "$00400fff : Function not found");
    app_DumpInfoSet(0x1000);  // below the load base
    EXPECT_STREQ(app_DumpSettings.info, "$00001000 : Function not found");
}

// ---- The crash handler ---------------------------------------------------------------

int g_callbacks = 0;
void CountCallback(void) { g_callbacks++; }

TEST_F(Crash, HandlerRunsOnceAndEndsWithTheCrashCallback) {
    g_callbacks = 0;
    void (*saved)(void) = app_CrashCallback;
    app_CrashCallbackSet(CountCallback);
    app_DumpSettings.fileName = "first.txt";
    FakeFault f;
    EXPECT_EQ(app_CrashHandle(&f.ctx), 0);
    EXPECT_EQ(app_DumpSettings.entered, 1);
    app_DumpSettings.fileName = "second.txt";
    EXPECT_EQ(app_CrashHandle(&f.ctx), 0);
    EXPECT_EQ(g_callbacks, 1);
    EXPECT_TRUE(std::filesystem::exists("first.txt"));
    EXPECT_FALSE(std::filesystem::exists("second.txt"));

    // Dumping off: the handler still restores and saves.
    app_DumpSettings = AppDumpSettings{0, "third.txt", 8, 0, ""};
    EXPECT_EQ(app_CrashHandle(&f.ctx), 0);
    EXPECT_EQ(g_callbacks, 2);
    EXPECT_FALSE(std::filesystem::exists("third.txt"));
    app_CrashCallbackSet(saved);
}

TEST_F(Crash, GuardRunsTheBodyAndSetsTheDumpWords) {
    app_DumpSettings = AppDumpSettings{0, "x.txt", 256, 0, ""};
    EXPECT_EQ(app_CrashGuardRun([]() -> int32_t { return app_DumpSettings.stackWords + 1000; }), 1064);
    EXPECT_EQ(app_DumpSettings.enabled, 1);
    EXPECT_EQ(app_DumpSettings.fileName, nullptr);
}

// ---- The symbol map ---------------------------------------------------------------------

TEST_F(Crash, MapFileLoadReadsTheSymbolLines) {
    Write("SAMPLE.MAP", kSampleMap);
    const uint32_t before = mem_GlobalStateGet()->count;
    _MAPFILE* map = app_MapFileLoad("SAMPLE.MAP");
    ASSERT_NE(map, nullptr);
    EXPECT_STREQ(map->filename, "SAMPLE.MAP");
    EXPECT_STREQ(map->module_name, "sample");
    ASSERT_EQ(map->count, 4);
    // Newest first: the file's last symbol heads the list.
    std::vector<std::string> names;
    for (_MAPFILE_ENTRY* e = map->head; e; e = e->next) {
        EXPECT_EQ(e->owner, map);
        names.push_back(std::string(e->function_name) + "/" + e->object_name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Gamma/gamma.o", "BetaAlias/beta.o", "Beta/beta.o", "Alpha/alpha.o"}));
    EXPECT_STREQ(map->tail->function_name, "Alpha");

    struct Case {
        uint64_t address;
        const char* name;  // null: none
    } cases[] = {
        {0x0FFF, nullptr}, {0x1000, "Alpha"},     {0x1FFF, "Alpha"},
        {0x2000, "BetaAlias"}, {0x4FFF, "BetaAlias"}, {0x5000, "Gamma"}, {~0ull, "Gamma"},
    };
    for (const Case& c : cases) {
        _MAPFILE_ENTRY* e = app_MapFind(map, c.address);
        if (!c.name) {
            EXPECT_EQ(e, nullptr) << std::hex << c.address;
            continue;
        }
        ASSERT_NE(e, nullptr) << std::hex << c.address;
        EXPECT_STREQ(e->function_name, c.name) << std::hex << c.address;
        // The dump's sorted copy answers the same.
        ASSERT_EQ(app_SymbolsPrepareFrom("SAMPLE.MAP", 0), 0);
        const char* name = nullptr;
        uintptr_t start = 0;
        ASSERT_EQ(app_SymbolFind((uintptr_t)c.address, &start, &name, nullptr), 0);
        EXPECT_STREQ(name, c.name);
        EXPECT_EQ(start, e->address);
    }
    app_MapFileFree(map);
    EXPECT_EQ(mem_GlobalStateGet()->count, before);
    EXPECT_EQ(app_MapFind(nullptr, 0x1000), nullptr);
}

TEST_F(Crash, MapFileEdgeCases) {
    EXPECT_EQ(app_MapFileLoad("MISSING.MAP"), nullptr);
    EXPECT_EQ(app_MapFileLoad(nullptr), nullptr);
    EXPECT_EQ(app_SymbolsPrepareFrom("MISSING.MAP", 0), -1);
    EXPECT_EQ(app_SymbolsLoaded(), 0);
    EXPECT_STREQ(app_SymbolsPath(), "MISSING.MAP");
    EXPECT_EQ(app_SymbolFind(0x1000, nullptr, nullptr, nullptr), -1);

    // No "Address" line: no symbols; a later one-word line renames the module.
    Write("PLAIN.MAP", " first\n 0001:00001000  Alpha  1000  alpha.o\n second\n");
    _MAPFILE* map = app_MapFileLoad("PLAIN.MAP");
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->count, 0);
    EXPECT_STREQ(map->module_name, "second");
    app_MapFileFree(map);

    // An empty file is a map without symbols.
    Write("EMPTY.MAP", "");
    map = app_MapFileLoad("EMPTY.MAP");
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->count, 0);
    EXPECT_EQ(map->module_name, nullptr);
    app_MapFileFree(map);
}

TEST_F(Crash, MapFilePathIsBesideTheProgram) {
    char path[1024], dirPath[1024];
    ASSERT_EQ(app_MapFilePath(path, sizeof path), 0);
    ASSERT_EQ(plat_ProgramDir(dirPath, sizeof dirPath), 0);
    EXPECT_EQ(std::string(path), std::string(dirPath) + "TEST_SHELL.MAP");
    char tiny[8] = "x";
    EXPECT_EQ(app_MapFilePath(tiny, sizeof tiny), -1);
    EXPECT_STREQ(tiny, "");
}

TEST_F(Crash, TheBuildWritesAMapOfThisProgram) {
    ASSERT_EQ(app_SymbolsPrepare(), 0) << app_SymbolsPath();
    const char* name = nullptr;
    uintptr_t start = 0;
    const uintptr_t here = reinterpret_cast<uintptr_t>(&app_MapFilePath) + 4;
    ASSERT_EQ(app_SymbolFind(here, &start, &name, nullptr), 0);
    EXPECT_EQ(start, reinterpret_cast<uintptr_t>(&app_MapFilePath));
    EXPECT_EQ(std::string(name).rfind("app_MapFilePath(", 0), 0u) << name;
}

// ---- The packet dump ----------------------------------------------------------------------

struct Packet {
    std::vector<uint8_t> b;
    void U16(size_t at, uint16_t v) {
        b[at] = (uint8_t)v;
        b[at + 1] = (uint8_t)(v >> 8);
    }
    void U32(size_t at, uint32_t v) {
        U16(at, (uint16_t)v);
        U16(at + 2, (uint16_t)(v >> 16));
    }
    size_t Record(uint16_t type, uint16_t length) {
        size_t at = b.size();
        b.resize(at + length);
        U16(at, type);
        U16(at + 2, length);
        return at;
    }
};

std::string TypeName(int32_t type) {
    char name[300] = "";
    net_MsgTypeName(type, name, sizeof name);
    return name;
}

TEST_F(Crash, PacketDumpListsRecordsAndEvents) {
    Packet p;
    p.Record(7, 16);  // MSG_PLAYERINFO
    const size_t ev = p.Record(6, 6 + 12 + 12 + 52 + 32);
    p.U16(ev + 4, 4);
    size_t e = ev + 6;
    p.U16(e, 0x0B);  // EVENT_SCORES
    p.U16(e + 2, 12);
    p.U32(e + 8, 3);
    e += 12;
    p.U16(e, 0x09);  // EVENT_TEXT
    p.U16(e + 2, 12);
    memcpy(&p.b[e + 10], "h", 2);
    e += 12;
    p.U16(e, 0x0C);  // EVENT_NAME
    p.U16(e + 2, 52);
    p.U16(e + 8, 5);
    memcpy(&p.b[e + 10], "Ace", 4);
    memcpy(&p.b[e + 32], "KRX", 4);
    p.U16(e + 48, 1);
    p.U16(e + 50, 2);
    e += 52;
    p.U16(e, 0x23);  // unnamed
    p.U16(e + 2, 32);
    p.Record(0xFFFF, 4);
    p.U16(p.b.size() - 2, 0);  // the server writes MSG_END with length 0

    ASSERT_EQ(dump_PacketWrite("packet.txt", p.b.data(), (int32_t)p.b.size(), (int32_t)p.b.size()), 0);
    const std::string d = Read("packet.txt");
    EXPECT_EQ(d.rfind("Packet dump of\nExecutable  : ", 0), 0u) << d;
    const std::string body =
        Fmt("\n\n\nServer.send_buffer_ptr = $%8.8lx\nServer.send_buffer_size = %ld bytes.\n",
            (unsigned long)(uintptr_t)p.b.data(), (long)p.b.size()) +
        Fmt("001:       16 bytes, \"%s\"\n", TypeName(7).c_str()) +
        Fmt("002:      114 bytes, \"%s\"\n", TypeName(6).c_str()) +
        "\tNumber of events = 4\n"
        "\t001:       12 bytes, \"EVENT_SCORES\"\n\t\tnum_scores = 3\n"
        "\t002:       12 bytes, \"EVENT_TEXT\"\n\t\ttext = \"h\"\n"
        "\t003:       52 bytes, \"EVENT_NAME\"\n"
        "\t\tplayer number = 5, name = \"Ace\", plane = \"KRX\", squad=2, player type=1\n"
        "\t004:       32 bytes, \"<35>\"\n"
        "MSG_END!\n\n\n";
    EXPECT_TRUE(d.size() >= body.size() && d.compare(d.size() - body.size(), body.size(), body) == 0) << d;
}

TEST_F(Crash, PacketDumpStopsAtBadLengths) {
    const std::string t1 = TypeName(1), t6 = TypeName(6);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t size;  // recorded size (may pass the buffer)
        std::string tail;
    } cases[] = {
        {"first record of length 0", {1, 0, 0, 0, 2, 0, 8, 0}, 8,
         Fmt("001:        0 bytes, \"%s\"\nSIZE IS 0!!!\n\n\n", t1.c_str())},
        {"event of length 0", {6, 0, 14, 0, 2, 0, 1, 0, 0, 0, 0xFF, 0xFF, 4, 0}, 14,
         Fmt("001:       14 bytes, \"%s\"\n", t6.c_str()) +
             "\tNumber of events = 2\n\t001:        0 bytes, \"EVENT_DEBRIS\"\nSIZE IS 0!!!\n\n\n"},
        {"record header cut by the end", {1, 0, 6, 0, 0, 0, 2, 0}, 8,
         Fmt("001:        6 bytes, \"%s\"\n\n\n", t1.c_str())},
        {"events past their record", {6, 0, 10, 0, 9, 0, 0x0B, 0, 12, 0}, 10,
         Fmt("001:       10 bytes, \"%s\"\n\tNumber of events = 9\n\t001:       12 bytes, \"EVENT_SCORES\"\n\n\n",
             t6.c_str())},
        {"size larger than the buffer", {1, 0, 4, 0, 1, 0, 4, 0}, 0x7FFF0000,
         Fmt("002:        4 bytes, \"%s\"\n\n\n", t1.c_str())},
    };
    for (const Case& c : cases) {
        // An exact-size copy, so that reading past it would be caught.
        std::vector<uint8_t> exact(c.bytes);
        ASSERT_EQ(dump_PacketWrite("packet.txt", exact.data(), c.size, (int32_t)exact.size()), 0) << c.what;
        const std::string d = Read("packet.txt");
        EXPECT_TRUE(d.size() >= c.tail.size() && d.compare(d.size() - c.tail.size(), c.tail.size(), c.tail) == 0)
            << c.what << "\n"
            << d;
    }
    ASSERT_EQ(dump_PacketWrite("packet.txt", nullptr, 0, 0), 0);
    EXPECT_TRUE(Has(Read("packet.txt"), "Server.send_buffer_ptr = $00000000\nServer.send_buffer_size = 0 bytes.\n\n\n"));
    EXPECT_EQ(dump_PacketWrite("no/such/dir/packet.txt", nullptr, 0, 0), -1);
}

// ---- Screenshot names --------------------------------------------------------------------------

TEST_F(Crash, SnapshotNameIsTheFirstFreeNumber) {
    char name[16] = "untouched";
    EXPECT_EQ(app_SnapshotNameGet(nullptr, 16), 0);
    EXPECT_EQ(app_SnapshotNameGet(name, 12), 0);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(app_SnapshotNameGet(name, sizeof name), 0);
    EXPECT_STREQ(name, "SNAP0000.RAW");
    for (const char* f : {"SNAP0000.RAW", "snap0001.raw", "SNAP0003.RAW", "SNAPabcd.RAW"}) Write(f, "");
    EXPECT_EQ(app_SnapshotNameGet(name, sizeof name), 0);
    EXPECT_STREQ(name, "SNAP0002.RAW");
    for (int i = 0; i < 10000; i++) Write(Fmt("SNAP%4.4d.RAW", i), "");
    EXPECT_EQ(app_SnapshotNameGet(name, sizeof name), 0);
    EXPECT_STREQ(name, "SNAPXXXX.RAW");
}

// ---- The message overlay ------------------------------------------------------------------------

TEST_F(Crash, OverlayListsTheTraceOldestFirst) {
    ASSERT_EQ(plat_Init(), 0);
    ASSERT_EQ(otw_OpenDisplay(640, 480, 1, 0, 0), 0);
    auto clear = [] {
        uint8_t* px = otw_LockSurface();
        ASSERT_NE(px, nullptr);
        memset(px, 7, (size_t)otw_ScreenSurface.bytesPerRow * 480);
        otw_UnlockSurface();
    };
    clear();
    // 30 traced packets, newest at the head; names of differing lengths.
    static _NETSTUFF_MESSAGE nodes[30];
    for (int i = 0; i < 30; i++) {
        nodes[i] = _NETSTUFF_MESSAGE{};
        nodes[i].sequence = (uint32_t)(29 - i);
        nodes[i].type = 6;
        nodes[i].length = (uint16_t)(10 + i);
        snprintf(nodes[i].name, sizeof nodes[i].name, "%.*s", i % 7 + 1, "MSG_XYZW");
        nodes[i].next = i < 29 ? &nodes[i + 1] : nullptr;
        nodes[i].prev = i > 0 ? &nodes[i - 1] : nullptr;
    }
    net_MessageTrace = NetMessageTrace{&nodes[0], &nodes[29], 30, 30};
    app_MessageQueueOverlay();

    const uint8_t* px = otw_LockSurface();
    ASSERT_NE(px, nullptr);
    const int32_t pitch = otw_ScreenSurface.bytesPerRow;
    auto boxWidth = [&](int32_t y) {
        int32_t x = 9;
        while (x < 640 && px[y * pitch + x] == 0) x++;
        return x - 9;
    };
    // Lines from the 26th node from the head (the oldest shown) to the head.
    for (int line = 0; line < 26; line++) {
        const _NETSTUFF_MESSAGE& n = nodes[25 - line];
        const std::string text = Fmt("%ld : msg_type = %ld, msg_size = %ld, \"%s\"", (long)n.sequence, (long)n.type,
                                     (long)n.length, n.name);
        const int32_t y = 10 + 10 * line;
        EXPECT_EQ(boxWidth(y), (int32_t)text.size() * 8 + 2) << "line " << line;
        EXPECT_EQ(px[y * pitch + 8], 7) << "line " << line;
        bool ink = false;
        for (int32_t r = y + 1; r < y + 9; r++)
            for (int32_t x = 10; x < 18; x++) ink |= px[r * pitch + x] == 255;
        EXPECT_TRUE(ink) << "line " << line;
    }
    EXPECT_EQ(px[270 * pitch + 9], 7);
    otw_UnlockSurface();

    // An empty trace draws nothing.
    clear();
    net_MessageTrace = NetMessageTrace{};
    app_MessageQueueOverlay();
    px = otw_LockSurface();
    EXPECT_EQ(px[10 * pitch + 9], 7);
    otw_UnlockSurface();
    otw_CloseDisplay();
}

// ---- The platform's guard and reader ---------------------------------------------------------------

TEST(CrashPlatform, GuardAndMemoryRead) {
    static volatile int ran;
    ran = 0;
    EXPECT_EQ(plat_CrashGuardCall([](void*) { ran = 1; }, nullptr), 0);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(plat_CrashGuardCall(
                  [](void* p) {
                      ran = 2;
                      *static_cast<volatile int*>(p) = 1;
                      ran = 3;
                  },
                  reinterpret_cast<void*>(uintptr_t{16})),
              -1);
    EXPECT_EQ(ran, 2);
    // The program goes on normally after a caught fault.
    EXPECT_EQ(plat_CrashGuardCall([](void*) { ran = 4; }, nullptr), 0);
    EXPECT_EQ(ran, 4);

    const char text[] = "readable";
    char out[sizeof text] = {};
    EXPECT_EQ(plat_MemoryRead((uintptr_t)text, out, sizeof text), 0);
    EXPECT_STREQ(out, "readable");
    EXPECT_EQ(plat_MemoryRead(16, out, 4), -1);
    EXPECT_EQ(plat_MemoryRead((uintptr_t)-2, out, 4), -1);
    // A failed read leaves nothing behind for the next one.
    EXPECT_EQ(plat_MemoryRead((uintptr_t)text, out, sizeof text), 0);
    EXPECT_STREQ(out, "readable");
}

}  // namespace
