// Crash handling and the diagnostic dumps.
//
// The context dump is written from inside a fatal-signal handler: it formats
// with its own small formatter into a static buffer, writes with the crash
// file calls of the platform, reads foreign memory only through
// plat_MemoryRead, and looks symbols up in the copy of the map made before
// the dispatch loop started. Only the box that reports the dump, and the
// steps that put the display back and save the settings afterwards, use the
// ordinary services.
#include "shell/dump.h"

#include <cstdarg>
#include <cstring>

#include "base/le.h"
#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/dtext.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/vid.h"
#include "net/msgtrace.h"
#include "net/server.h"
#include "platform/crash.h"
#include "platform/files.h"
#include "platform/window.h"
#include "shell/appstr.h"
#include "shell/cursor.h"
#include "shell/fatal.h"
#include "shell/mainloop.h"
#include "shell/runner.h"
#include "shell/startup.h"
#include "shell/symmap.h"
#include "shell/wndproc.h"

AppDumpSettings app_DumpSettings = {1, nullptr, 64, 0, ""};
char app_StatusString[APP_STATUS_TEXT_SIZE];
char app_PakInfoString[APP_STATUS_TEXT_SIZE];
int32_t app_LevelObjectNumber = 0;
int32_t app_LevelObjectTotal = 0;

namespace {

// ---- Output -------------------------------------------------------------------

// Formatted output into a buffer: a bounded string, or a file handle the
// buffer is written to whenever it fills.
struct Sink {
    char* buf;
    size_t cap;
    size_t len;
    int fd;  // -1: a string of cap - 1 characters at most
};

void Flush(Sink& s) {
    if (s.fd >= 0 && s.len) plat_CrashFileWrite(s.fd, s.buf, s.len);
    if (s.fd >= 0) s.len = 0;
}

void Put(Sink& s, char c) {
    if (s.len + 1 >= s.cap) {
        if (s.fd < 0) return;
        Flush(s);
    }
    s.buf[s.len++] = c;
}

void PutN(Sink& s, const char* text, size_t n) {
    for (size_t i = 0; i < n; i++) Put(s, text[i]);
}

void Terminate(Sink& s) {
    if (s.fd < 0 && s.cap) s.buf[s.len < s.cap ? s.len : s.cap - 1] = 0;
}

void Pad(Sink& s, char c, long n) {
    for (; n > 0; n--) Put(s, c);
}

// printf's flags '-' and '0', width, precision, the l and z lengths and the
// conversions d, i, u, x, X, c, s and %; no locale, no allocation.
void VFormat(Sink& s, const char* f, va_list ap) {
    while (*f) {
        if (*f != '%') {
            Put(s, *f++);
            continue;
        }
        f++;
        bool left = false, zero = false;
        for (;; f++) {
            if (*f == '-')
                left = true;
            else if (*f == '0')
                zero = true;
            else if (*f != ' ' && *f != '+' && *f != '#')
                break;
        }
        long width = 0;
        while (*f >= '0' && *f <= '9') width = width * 10 + (*f++ - '0');
        long prec = -1;
        if (*f == '.') {
            f++;
            prec = 0;
            while (*f >= '0' && *f <= '9') prec = prec * 10 + (*f++ - '0');
        }
        int lng = 0;
        while (*f == 'l') {
            lng++;
            f++;
        }
        if (*f == 'z') {
            lng = 2;
            f++;
        }
        const char conv = *f;
        if (!conv) break;
        f++;
        if (conv == '%') {
            Put(s, '%');
            continue;
        }
        if (conv == 's' || conv == 'c') {
            char one = 0;
            const char* text;
            size_t n;
            if (conv == 'c') {
                one = (char)va_arg(ap, int);
                text = &one;
                n = 1;
            } else {
                text = va_arg(ap, const char*);
                if (!text) text = "(null)";
                n = 0;
                while (text[n] && (prec < 0 || (long)n < prec)) n++;
            }
            if (!left) Pad(s, ' ', width - (long)n);
            PutN(s, text, n);
            if (left) Pad(s, ' ', width - (long)n);
            continue;
        }
        unsigned long long u;
        bool neg = false;
        if (conv == 'd' || conv == 'i') {
            long long v = lng == 0 ? va_arg(ap, int) : lng == 1 ? va_arg(ap, long) : va_arg(ap, long long);
            neg = v < 0;
            u = neg ? 0ull - (unsigned long long)v : (unsigned long long)v;
        } else if (conv == 'u' || conv == 'x' || conv == 'X') {
            u = lng == 0 ? va_arg(ap, unsigned) : lng == 1 ? va_arg(ap, unsigned long) : va_arg(ap, unsigned long long);
        } else {
            // Unknown conversion: shown as it stands.
            Put(s, '%');
            Put(s, conv);
            continue;
        }
        const unsigned base = (conv == 'x' || conv == 'X') ? 16 : 10;
        const char* digitSet = conv == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
        char digits[24];
        int nd = 0;
        while (u) {
            digits[nd++] = digitSet[u % base];
            u /= base;
        }
        if (nd == 0 && prec != 0) digits[nd++] = '0';
        const long body = (prec > nd ? prec : nd) + (neg ? 1 : 0);
        if (!left && !(zero && prec < 0)) Pad(s, ' ', width - body);
        if (neg) Put(s, '-');
        if (!left && zero && prec < 0) Pad(s, '0', width - body);
        Pad(s, '0', prec - nd);
        while (nd) Put(s, digits[--nd]);
        if (left) Pad(s, ' ', width - body);
    }
}

__attribute__((format(printf, 2, 3))) void Format(Sink& s, const char* f, ...) {
    va_list ap;
    va_start(ap, f);
    VFormat(s, f, ap);
    va_end(ap);
}

__attribute__((format(printf, 3, 4))) void FormatTo(char* out, size_t size, const char* f, ...) {
    if (!out || !size) return;
    Sink s{out, size, 0, -1};
    va_list ap;
    va_start(ap, f);
    VFormat(s, f, ap);
    va_end(ap);
    Terminate(s);
}

// The file buffer of the dumps (one dump is written at a time).
char g_fileBuffer[8192];

// ---- Header -------------------------------------------------------------------

// Calendar date of a day count since 1970-01-01.
void CivilFromDays(int64_t z, int64_t* year, unsigned* month, unsigned* day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = (unsigned)(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *day = doy - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = (int64_t)yoe + era * 400 + (*month <= 2 ? 1 : 0);
}

void WriteHeaderLines(Sink& s) {
    Format(s, "Executable  : %s\n", app_Record.exeName);
    Format(s, "Version     : %s\n", app_Record.versionString);
    Format(s, "Title       : %s\n", app_Title);
    const int64_t now = plat_CrashClock();
    int64_t days = now / 86400, secs = now % 86400;
    if (secs < 0) {
        secs += 86400;
        days--;
    }
    int64_t year;
    unsigned month, day;
    CivilFromDays(days, &year, &month, &day);
    Format(s, "Timestamp   : %u/%u/%u %2.2ld:%2.2ld:%2.2ld\n\n", month, day, (unsigned)year, (long)(secs / 3600),
           (long)(secs / 60 % 60), (long)(secs % 60));
}

// ---- Registers and code ---------------------------------------------------------

void WriteRegisters(Sink& s, const PlatCrashContext* ctx) {
    int flags = -1;
    for (int i = 0; i < ctx->regCount && i < 24; i++) {
        const char* name = ctx->regNames[i] ? ctx->regNames[i] : "?";
        if (strcmp(name, "EFL") == 0) {
            flags = i;
            continue;
        }
        Format(s, "%s: 0x%8.8lx (%ld)\n", name, (unsigned long)ctx->regs[i], (long)ctx->regs[i]);
    }
    if (flags >= 0)
        Format(s, "EFlags: 0x%8.8lx (%ld)\n\n", (unsigned long)ctx->regs[flags], (long)ctx->regs[flags]);
    else
        Format(s, "\n");
    for (int i = 0; i < ctx->segCount && i < 6; i++)
        Format(s, "%s: 0x%8.8lx (%ld)\n", ctx->segNames[i] ? ctx->segNames[i] : "?", (unsigned long)ctx->segs[i],
               (long)ctx->segs[i]);
}

void WriteCodeLine(Sink& s, const char* label, uintptr_t from) {
    Format(s, "%s", label);
    uint8_t bytes[16];
    if (plat_MemoryRead(from, bytes, sizeof bytes) != 0) {
        Format(s, "<IP ERROR>");
        return;
    }
    for (uint8_t b : bytes) Format(s, "%2x ", b);
}

void WriteCode(Sink& s, uintptr_t pc) {
    WriteCodeLine(s, "Code bytes before EIP:", pc - 16);
    Format(s, "\n");
    WriteCodeLine(s, "Code bytes at EIP:    ", pc);
    Format(s, "\n\n");
}

// ---- Stack ------------------------------------------------------------------------

uintptr_t g_stack[APP_DUMP_STACK_WORDS_MAX];

// Reads up to count words from sp; returns how many could be read.
int ReadStack(uintptr_t sp, int count) {
    if (count > APP_DUMP_STACK_WORDS_MAX) count = APP_DUMP_STACK_WORDS_MAX;
    if (count <= 0) return 0;
    if (plat_MemoryRead(sp, g_stack, (size_t)count * sizeof(uintptr_t)) == 0) return count;
    // The stack ends within the range: take the words up to its end.
    int n = 0;
    while (n < count && plat_MemoryRead(sp + (uintptr_t)n * sizeof(uintptr_t), &g_stack[n], sizeof(uintptr_t)) == 0)
        n++;
    return n;
}

void WriteStack(Sink& s, uintptr_t sp, int wanted) {
    const int n = ReadStack(sp, wanted);
    Format(s, "Stack:");
    for (int i = 0; i < n; i++) {
        if (i % 8 == 0) Format(s, "\n");
        Format(s, "%08lx ", (unsigned long)g_stack[i]);
    }
    Format(s, "\n\n");

    if (!app_SymbolsLoaded()) {
        Format(s, "Stack: Unable to load \"%s\".\n", app_SymbolsPath());
        return;
    }
    Format(s, "Stack:\n");
    for (int i = 0; i < n; i++) {
        const uintptr_t word = g_stack[i];
        uintptr_t start;
        const char* name;
        const char* object;
        if (app_SymbolFind(word, &start, &name, &object) == 0 && word - start < 0x4000) {
            const uintptr_t d = word - start;
            Format(s, "$%8.8lx : $%8.8lx %s (%s) (%ld bytes [$%lx])\n", (unsigned long)word, (unsigned long)start, name,
                   object, (long)d, (unsigned long)d);
        } else {
            Format(s, "$%8.8lx :\n", (unsigned long)word);
        }
    }
    if (n < wanted && n < APP_DUMP_STACK_WORDS_MAX) Format(s, "\nSTACK ERROR\n");
}

// ---- Server -------------------------------------------------------------------------

const char* const kEventNames[] = {
    "EVENT_NULL",         "EVENT_DEBRIS",       "EVENT_AIREXPLODE",  "EVENT_GRNDEXPLODE",    "EVENT_DIALOG",
    "EVENT_CRASH",        "EVENT_BEENHIT",      "EVENT_BEENKILLED",  "EVENT_SMALLEXPLODE",   "EVENT_TEXT",
    "EVENT_BULLET",       "EVENT_SCORES",       "EVENT_NAME",        "EVENT_ECMDROP",        "EVENT_GRNDEXPLODE_SM",
    "EVENT_STATICMODIFY", "EVENT_BOMBEXPLODE",  "EVENT_FLAK",        "EVENT_RADARDIE",       "EVENT_RADARCHANGE",
    "EVENT_CTF_STATS",    "EVENT_LEVEL_RESET",  "EVENT_CTF_OVER",    "EVENT_DM_OVER",        "EVENT_SQUADRON",
    "EVENT_SQUAD_SCORE",  "EVENT_PLAYER_SCORE", "EVENT_SQUADJOIN",   "EVENT_SQUADCLEAR",     "EVENT_PLAYERRESET",
};
constexpr uint16_t kEventScores = 0x0B, kEventText = 0x09, kEventName = 0x0C, kEventDynamicModel = 0x20;
constexpr uint16_t kMsgEventData = 6, kMsgEnd = 0xFFFF;

void EventName(uint16_t id, char* out, size_t size) {
    if (id < sizeof kEventNames / sizeof kEventNames[0])
        FormatTo(out, size, "%s", kEventNames[id]);
    else if (id == kEventDynamicModel)
        FormatTo(out, size, "EVENT_DYMANIC_MODEL");
    else
        FormatTo(out, size, "<%ld>", (long)id);
}

// A zero-terminated text field of at most max bytes at pos of the reader.
void TextField(const LeReader& r, size_t pos, size_t max, char* out, size_t size) {
    size_t n = 0;
    while (n + 1 < size && n < max && pos + n < r.size && r.data[pos + n]) {
        out[n] = (char)r.data[pos + n];
        n++;
    }
    out[n] = 0;
}

// The events of one MSG_EVENTDATA record in [pos, end); false when a
// zero length ended the listing.
bool WriteEvents(Sink& s, const LeReader& packet, size_t pos, size_t end) {
    LeReader r(packet.data, end);
    r.seek(pos + 4);
    const uint16_t count = r.u16();
    if (!r.ok()) return true;
    Format(s, "\tNumber of events = %ld\n", (long)count);
    size_t e = pos + 6;
    char name[64], text[160];
    for (long i = 1; i <= count; i++) {
        r.seek(e);
        const uint16_t id = r.u16();
        const uint16_t length = r.u16();
        if (!r.ok()) break;
        EventName(id, name, sizeof name);
        Format(s, "\t%3.3ld: %8ld bytes, \"%s\"\n", i, (long)length, name);
        if (length == 0) {
            Format(s, "SIZE IS 0!!!\n");
            return false;
        }
        LeReader ev(packet.data, e + length < end ? e + length : end);
        if (id == kEventScores) {
            ev.seek(e + 8);
            const uint32_t n = ev.u32();
            if (ev.ok()) Format(s, "\t\tnum_scores = %ld\n", (long)n);
        } else if (id == kEventText) {
            TextField(ev, e + 10, 128, text, sizeof text);
            Format(s, "\t\ttext = \"%s\"\n", text);
        } else if (id == kEventName) {
            char plane[20];
            ev.seek(e + 8);
            const uint16_t number = ev.u16();
            TextField(ev, e + 10, 22, text, sizeof text);
            TextField(ev, e + 32, 16, plane, sizeof plane);
            ev.seek(e + 48);
            const uint16_t side = ev.u16();
            const uint16_t squad = ev.u16();
            if (ev.ok())
                Format(s, "\t\tplayer number = %ld, name = \"%s\", plane = \"%s\", squad=%ld, player type=%ld\n",
                       (long)number, text, plane, (long)squad, (long)side);
        }
        e += length;
    }
    return true;
}

uint8_t g_packetCopy[SERVER_SEND_BUFFER_SIZE];

// The records of a send buffer. At most capacity bytes are read, also when
// the recorded size is larger (the oversized packet being dumped).
void WriteSendBuffer(Sink& s, const uint8_t* buffer, int32_t size, int32_t capacity) {
    Format(s, "Server.send_buffer_ptr = $%8.8lx\n", (unsigned long)(uintptr_t)buffer);
    Format(s, "Server.send_buffer_size = %ld bytes.\n", (long)size);
    if (!buffer || size <= 0 || capacity <= 0) return;
    size_t have = size < capacity ? (size_t)size : (size_t)capacity;
    if (have > sizeof g_packetCopy) have = sizeof g_packetCopy;
    if (plat_MemoryRead((uintptr_t)buffer, g_packetCopy, have) != 0) return;
    LeReader r(g_packetCopy, have);
    char name[300];
    size_t pos = 0;
    for (long number = 1; pos < (size_t)size; number++) {
        r.seek(pos);
        const uint16_t type = r.u16();
        const uint16_t length = r.u16();
        if (!r.ok()) break;
        if (type == kMsgEnd) {
            Format(s, "MSG_END!\n");
            break;
        }
        name[0] = 0;
        net_MsgTypeName(type, name, sizeof name);
        Format(s, "%3.3ld: %8ld bytes, \"%s\"\n", number, (long)length, name);
        if (length == 0) {
            Format(s, "SIZE IS 0!!!\n");
            break;
        }
        if (type == kMsgEventData && !WriteEvents(s, r, pos, pos + length < have ? pos + length : have)) break;
        pos += length;
    }
}

void WriteServerEvents(Sink& s) {
    // The event list of a slot is walked once the server keeps slots.
    Format(s, "ServerPlayerPtr = $%8.8lx\n", (unsigned long)(uintptr_t)ServerPlayerPtr);
}

void WritePlayers(Sink& s) {
    if (!Server.player) Format(s, "Player Information (SERVER) : Server.player = NULL\n");
    Format(s, "Player Information (CLIENT)\n");
    for (long i = 0; i < 16; i++) Format(s, "%3.3ld: EMPTY!\n", i);
}

// ---- Heaps ----------------------------------------------------------------------------

const char* const kSeparator = "=====================================\n";

struct HeapListing {
    FILE* stream;
};

void ListHeaps(void* arg) {
    auto* h = static_cast<HeapListing*>(arg);
    MemHeap* const heaps[3] = {&mem_MainHeap, &mem_AltHeap1, &mem_AltHeap2};
    const char* const names[3] = {"[MEMMGR]\n", "[SYSMEM]\n", "[TEMPMEM]\n"};
    for (int i = 0; i < 3; i++) {
        fputs(names[i], h->stream);
        mem_CurrentHeap = heaps[i];
        module_CheckMem(h->stream);
        mem_CurrentHeap = &mem_MainHeap;
        fputs(kSeparator, h->stream);
    }
    fflush(h->stream);
}

struct BlockListing {
    Sink* sink;
};

void ListBlocks(void* arg) {
    Sink& s = *static_cast<BlockListing*>(arg)->sink;
    const MemGlobalState* g = mem_GlobalStateGet();
    Format(s, "Number of memory blocks currently allocated : %ld\n", (long)g->count);
    Format(s, "Number of memory blocks allocated in total  : %ld\n", (long)g->serial);
    Format(s, "Number of bytes currently allocated         : %ld bytes\n", (long)g->total);
    Format(s, "Next free id number                         : %ld\n", (long)g->ownerKey + 1);
    if (!g->first) return;
    Format(s, "\n");
    uint32_t shown = 0;
    for (const MemGlobalHeader* b = g->first; b && shown < g->count; b = b->next, shown++)
        Format(s, "#%4ld: %8ld bytes [%3ldK], id=%ld, %5.5ld \"%s\"\n", (long)b->serial, (long)b->size,
               (long)((b->size + 1023) / 1024), (long)b->ownerKey, (long)b->serial, b->name ? b->name : "");
}

void WriteHeaps(Sink& s) {
    Format(s, "%s", kSeparator);
    Flush(s);
    HeapListing heaps{plat_CrashStream(s.fd)};
    MemHeap* const current = mem_CurrentHeap;
    const bool listed = heaps.stream && plat_CrashGuardCall(ListHeaps, &heaps) == 0;
    mem_CurrentHeap = current;
    plat_CrashStream(-1);  // writes what a cut-short listing left in the stream
    if (!listed) Format(s, "\nMEM DUMP ERROR\n");
    BlockListing blocks{&s};
    if (plat_CrashGuardCall(ListBlocks, &blocks) != 0) Format(s, "\nMEM DUMP ERROR\n");
}

// ---- The context dump -------------------------------------------------------------------

void WriteContext(Sink& s, const PlatCrashContext* ctx) {
    Format(s, "Context dump of\n");
    WriteHeaderLines(s);
    Format(s, "AppString = \"%s\"\n\n", app_StatusString);
    Format(s, "PakInfoString = \"%s\"\n\n", app_PakInfoString);
    Format(s, "LevelObjectNumber = %ld / %ld\n\n", (long)app_LevelObjectNumber, (long)app_LevelObjectTotal);
    Format(s, "Dump Information = \"%s\"\n\n", app_DumpSettings.info);
    WriteRegisters(s, ctx);
    WriteCode(s, ctx->pc);
    WriteStack(s, ctx->sp, app_DumpSettings.stackWords);
    Format(s, "\n\n");
    WriteServerEvents(s);
    Format(s, "\n\n");
    WriteSendBuffer(s, Server.send_buffer_ptr, Server.send_buffer_size, SERVER_SEND_BUFFER_SIZE);
    Format(s, "\n\n");
    WritePlayers(s);
    Format(s, "\n\n");
    WriteHeaps(s);
}

void CrashSignal(const PlatCrashContext* ctx) { app_CrashHandle(ctx); }

}  // namespace

// ---- Entry points ---------------------------------------------------------------------------

void app_DumpInfoSet(uintptr_t address) {
    char* info = app_DumpSettings.info;
    if (!app_SymbolsLoaded()) {
        FormatTo(info, sizeof app_DumpSettings.info, "Can't load \"%s\"", app_SymbolsPath());
        return;
    }
    uintptr_t start;
    const char* name;
    const char* object;
    if (app_SymbolFind(address, &start, &name, &object) != 0) {
        FormatTo(info, sizeof app_DumpSettings.info, "$%8.8lx : Function not found", (unsigned long)address);
        return;
    }
    const uintptr_t d = address - start;
    FormatTo(info, sizeof app_DumpSettings.info, "$%8.8lx %s (%s), %ld bytes [$%lx]", (unsigned long)start, name,
             object, (long)d, (unsigned long)d);
}

int32_t app_DumpExceptionToFile(const PlatCrashContext* ctx, const char* fileName) {
    if (!ctx) return -1;
    app_DumpInfoSet(ctx->pc);
    const char* name = fileName ? fileName : app_DumpSettings.fileName ? app_DumpSettings.fileName : "_SYSDUMP.TXT";
    const int fd = plat_CrashFileCreate(name);
    if (fd < 0) {
        plat_MessageBox(app_MainHwnd, app_StringGet(3), "app_DumpExceptionToFile", MB_OK);
        return -1;
    }
    Sink s{g_fileBuffer, sizeof g_fileBuffer, 0, fd};
    WriteContext(s, ctx);
    Flush(s);
    plat_CrashFileClose(fd);
    static char text[600];
    FormatTo(text, sizeof text, "System context dumped to file: \"%s\"", name);
    plat_MessageBox(app_MainHwnd, text, app_Title, MB_ICONERROR);
    return 0;
}

int32_t app_CrashHandle(const PlatCrashContext* ctx) {
    if (app_DumpSettings.entered) return 0;
    app_DumpSettings.entered = 1;
    if (app_DumpSettings.enabled && ctx) app_DumpExceptionToFile(ctx, nullptr);
    // What follows is not made for a faulted program: should it hang, the
    // watchdog ends the process.
    plat_CrashWatchdog(30);
    hw3d_Disable();
    vid_SetWindowedAndMode(640, 480, 1);
    app_CursorShowOnce();
    app_TimerStop();
    if (app_CrashCallback) app_CrashCallback();
    plat_CrashWatchdog(0);
    return 0;
}

int32_t app_CrashGuardRun(int32_t (*body)(void)) {
    app_DumpSettings.fileName = nullptr;
    app_DumpSettings.stackWords = 64;
    app_DumpSettings.enabled = 1;
    app_SymbolsPrepare();
    const bool hooked = plat_CrashHookInstall(CrashSignal) == 0;
    const int32_t result = body ? body() : 0;
    if (hooked) plat_CrashHookRemove();
    app_SymbolsFree();
    return result;
}

int32_t dump_PacketWrite(const char* fileName, const uint8_t* buffer, int32_t size, int32_t capacity) {
    const int fd = plat_CrashFileCreate(fileName);
    if (fd < 0) return -1;
    Sink s{g_fileBuffer, sizeof g_fileBuffer, 0, fd};
    Format(s, "Packet dump of\n");
    WriteHeaderLines(s);
    Format(s, "\n\n");
    WriteSendBuffer(s, buffer, size, capacity);
    Format(s, "\n\n");
    Flush(s);
    plat_CrashFileClose(fd);
    return 0;
}

void dump_PacketAndAbort(int32_t reason) {
    dump_PacketWrite("_PACKET.TXT", Server.send_buffer_ptr, Server.send_buffer_size, SERVER_SEND_BUFFER_SIZE);
    char text[512];
    const AppFormatArg arg((long)reason);
    app_StringFormat(text, sizeof text, app_StringGet(35), &arg, 1);
    plat_MessageBox(app_MainHwnd, text, "Server_SendToPLayer", MB_OK);
    app_FatalExit();
}

int32_t app_SnapshotNameGet(char* buffer, size_t size) {
    if (!buffer || size < sizeof "SNAP0000.RAW") return 0;
    // One look at the directory instead of up to 10000 file checks.
    static uint8_t used[10000];
    memset(used, 0, sizeof used);
    PlatFindData d;
    if (PlatFind* find = plat_FindFirst("SNAP????.RAW", &d)) {
        do {
            int n = 0;
            bool digits = true;
            for (int i = 4; i < 8; i++) {
                if (d.name[i] < '0' || d.name[i] > '9') digits = false;
                n = n * 10 + (d.name[i] - '0');
            }
            if (digits) used[n] = 1;
        } while (plat_FindNext(find, &d));
        plat_FindClose(find);
    }
    for (int n = 0; n < 10000; n++)
        if (!used[n]) {
            FormatTo(buffer, size, "SNAP%4.4ld.RAW", (long)n);
            return 0;
        }
    FormatTo(buffer, size, "SNAPXXXX.RAW");
    return 0;
}

void app_MessageQueueOverlay(void) {
    _NETSTUFF_MESSAGE* n = net_MessageTrace.head;
    if (!n) return;
    // The 26th node from the head, or the last: the oldest shown.
    for (int i = 0; i < 25 && n->next; i++) n = n->next;
    uint8_t* pixels = otw_LockSurface();
    if (!pixels) return;
    // The fills draw into the context's destination: the screen for now.
    const uint32_t savedColour = dtext_Colour;
    uint8_t* const savedDest = draw_Context.blitDest;
    const int32_t savedRow = draw_Context.destRowWidth;
    const _DRAW_SURFACE& screen = otw_ScreenSurface;
    draw_SetBlitDest(pixels, screen.bytesPerPixel > 0 ? screen.bytesPerRow / screen.bytesPerPixel : 0);
    dtext_SetColour(screen.bytesPerPixel == 2 ? 0xFFFFu : 255u);
    char line[384];
    for (int32_t y = 10; n; n = n->prev, y += 10) {
        FormatTo(line, sizeof line, "%ld : msg_type = %ld, msg_size = %ld, \"%.255s\"", (long)n->sequence, (long)n->type,
                 (long)n->length, n->name);
        draw_FillRectC(9, y, (int32_t)strlen(line) * 8 + 2, 10, 0);
        dtext_DrawString(10, y + 1, line);
    }
    dtext_SetColour(savedColour);
    draw_SetBlitDest(savedDest, savedRow);
    otw_UnlockSurface();
}
