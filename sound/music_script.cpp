// The music-logic script machine: a small stack machine in a compiled
// script file ("SCR0") that picks and fades the entries of the streamed
// music. The file image is kept as loaded; every offset in it is checked
// where it is used. Values on the stack are 32-bit, so what the address
// opcodes push is a tagged reference (area and offset), not a pointer.
#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "sound/music.h"

MusicScriptMachine music_Script = {MUSIC_SCRIPT_IDLE, 0, nullptr, 0, 0, 0, 0, MUSIC_SCRIPT_SEED, 0};

namespace {

// The loaded file.
uint8_t* g_image = nullptr;
uint32_t g_size = 0;
int32_t g_programs = 0;  // 0 without the magic

// Scripts and their areas stay far below this; it keeps every tagged
// offset inside 24 bits.
constexpr uint32_t kMaxImage = 0x800000;
constexpr uint32_t kMaxArea = 0x10000;

// Tagged references: area in the top byte, byte offset below.
enum { kAreaGlobal = 1, kAreaLocal = 2, kAreaImage = 3, kAreaMachine = 4 };
constexpr uint32_t Ref(uint32_t area, uint32_t offset) { return (area << 24) | (offset & 0xFFFFFF); }

uint32_t Rd32(uint32_t at) {
    const uint8_t* p = g_image + at;
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}
bool Fits(uint64_t at, uint64_t n) { return at <= g_size && n <= g_size - at; }

struct Program {
    uint32_t start;       // file offset
    uint32_t code;        // file offset of the code
    uint32_t entries;     // file offset of the entry-point table
    uint32_t entryCount;
    uint32_t startIndex;
    uint32_t consts;
    uint32_t constCount;
    uint32_t globalSize, localSize;
    uint32_t paramOffset;
};

// Reads and checks program i's header; false when it does not fit.
bool ProgramGet(int32_t i, Program* p) {
    if (i < 0 || i >= g_programs) return false;
    uint32_t table = Rd32(12);
    p->start = Rd32(table + 4 * (uint32_t)i);
    if (!Fits(p->start, MUSIC_SCRIPT_PROGRAM_HEADER)) return false;
    uint32_t s = p->start;
    p->globalSize = Rd32(s + 24);
    p->localSize = Rd32(s + 28);
    uint32_t code = Rd32(s + 32), entries = Rd32(s + 36), consts = Rd32(s + 48);
    p->entryCount = Rd32(s + 40);
    p->startIndex = Rd32(s + 44);
    p->constCount = Rd32(s + 52);
    p->paramOffset = Rd32(s + 60);
    p->code = s + code;
    p->entries = s + entries;
    p->consts = s + consts;
    if ((uint64_t)s + code >= g_size) return false;
    if (!Fits((uint64_t)s + entries, (uint64_t)p->entryCount * 4)) return false;
    if (!Fits((uint64_t)s + consts, (uint64_t)p->constCount * 4)) return false;
    if (p->globalSize > kMaxArea || p->localSize > kMaxArea) return false;
    return true;
}

// Entry point e as a file offset inside the code, or 0.
uint32_t EntryPoint(const Program& p, uint32_t e) {
    if (e >= p.entryCount) return 0;
    uint64_t at = (uint64_t)p.start + Rd32(p.entries + 4 * e);
    if (at < p.code || at >= g_size) return 0;
    return (uint32_t)at;
}

// ---- One step -----------------------------------------------------------------

struct Step {
    Program prog;
    uint32_t pc;
    int32_t stack[MUSIC_SCRIPT_STACK];
    int32_t sp;
    uint32_t returns[MUSIC_SCRIPT_STACK];
    int32_t rp;
    bool yield;
    int32_t fault;
};

void Fault(Step& s, int32_t why) {
    if (!s.fault) s.fault = why;
}

bool Push(Step& s, int32_t v) {
    if (s.sp >= MUSIC_SCRIPT_STACK) {
        Fault(s, MUSIC_FAULT_STACK);
        return false;
    }
    s.stack[s.sp++] = v;
    return true;
}
int32_t Pop(Step& s) {
    if (s.sp <= 0) {
        Fault(s, MUSIC_FAULT_STACK);
        return 0;
    }
    return s.stack[--s.sp];
}

uint8_t Byte(Step& s) {
    if (s.pc >= g_size) {
        Fault(s, MUSIC_FAULT_JUMP);
        return 0;
    }
    return g_image[s.pc++];
}
uint32_t Word(Step& s) {
    if (!Fits(s.pc, 4)) {
        Fault(s, MUSIC_FAULT_JUMP);
        return 0;
    }
    uint32_t v = Rd32(s.pc);
    s.pc += 4;
    return v;
}

// A position inside the code, else a fault.
void Goto(Step& s, uint64_t at) {
    if (at < s.prog.code || at >= g_size) {
        Fault(s, MUSIC_FAULT_JUMP);
        return;
    }
    s.pc = (uint32_t)at;
}

// The variable word at byte offset o of an area; null (and a fault) when it
// lies outside the area.
uint8_t* Var(Step& s, int32_t area, uint32_t o) {
    uint32_t size = area == kAreaGlobal ? music_Script.globalSize : music_Script.localSize;
    uint8_t* base = area == kAreaGlobal ? music_Script.vars : music_Script.vars + music_Script.globalSize;
    if (!music_Script.vars || (uint64_t)o + 4 > size) {
        Fault(s, MUSIC_FAULT_ADDRESS);
        return nullptr;
    }
    return base + o;
}
int32_t Get(const uint8_t* p) {
    return (int32_t)((uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24));
}
void Put(uint8_t* p, int32_t v) {
    uint32_t u = (uint32_t)v;
    p[0] = (uint8_t)u;
    p[1] = (uint8_t)(u >> 8);
    p[2] = (uint8_t)(u >> 16);
    p[3] = (uint8_t)(u >> 24);
}

// The word a tagged reference names; null (and a fault) when there is none.
const uint8_t* Deref(Step& s, uint32_t ref) {
    uint32_t area = ref >> 24, o = ref & 0xFFFFFF;
    if (area == kAreaGlobal || area == kAreaLocal) return Var(s, (int32_t)area, o);
    if (area == kAreaImage && Fits(o, 4)) return g_image + o;
    Fault(s, MUSIC_FAULT_ADDRESS);
    return nullptr;
}

void Copy(Step& s, int32_t area) {
    uint32_t o = Byte(s), n = Byte(s);
    uint32_t from = (uint32_t)Pop(s);
    if (s.fault) return;
    if (n == 0 || (n & 3)) {
        Fault(s, MUSIC_FAULT_COPY);
        return;
    }
    for (uint32_t w = n / 4; w-- > 0 && !s.fault;) {
        const uint8_t* src = Deref(s, from + 4 * w);
        uint8_t* dst = Var(s, area, o + 4 * w);
        if (src && dst) {
            int32_t v = Get(src);
            Put(dst, v);
        }
    }
}

int32_t Bool(bool b) { return b ? -1 : 0; }
uint32_t Rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

int32_t CallOut(Step& s, uint32_t k) {
    switch (k) {
    case 0: return Pop(s);
    case 1: {
        int32_t hi = Pop(s), lo = Pop(s);
        uint32_t& seed = music_Script.seed;
        seed = Rotl(Rotl(seed, 11) + seed, 2);
        int32_t r = (int32_t)(seed & 0xFFFF);
        int32_t range = (int32_t)((uint32_t)hi - (uint32_t)lo + 1u);
        if (range == 0) return lo;
        int32_t m = range == -1 ? 0 : r % range;
        return (int32_t)((uint32_t)lo + (uint32_t)m);
    }
    case 2: case 3: case 4: case 5: case 6: case 7: return (int32_t)k;
    case 8: {
        int32_t v = Pop(s);
        if (!s.fault) music_FadeSet(v);
        return v;
    }
    case 9: {
        int32_t v = Pop(s);
        if (!s.fault) music_FadeTo(v);
        return v;
    }
    default: Fault(s, MUSIC_FAULT_CALLOUT); return 0;
    }
}

typedef void (*OpFn)(Step& s, uint8_t op);

void OpNothing(Step&, uint8_t) {}
void OpPushByte(Step& s, uint8_t) { Push(s, Byte(s)); }
void OpPushWord(Step& s, uint8_t) { Push(s, (int32_t)Word(s)); }
void OpLoad(Step& s, uint8_t op) {
    const uint8_t* p = Var(s, op == 3 ? kAreaGlobal : kAreaLocal, Byte(s));
    if (p) Push(s, Get(p));
}
void OpAddrGlobal(Step& s, uint8_t) { Push(s, (int32_t)Ref(kAreaGlobal, Byte(s))); }
void OpAddrLocal(Step& s, uint8_t) {
    uint32_t o = Byte(s);
    Byte(s);  // a second operand byte, unused
    Push(s, (int32_t)Ref(kAreaLocal, o));
}
void OpAddrConst(Step& s, uint8_t) {
    uint32_t k = Byte(s);
    if (s.fault) return;
    if (k >= s.prog.constCount) {
        Fault(s, MUSIC_FAULT_ADDRESS);
        return;
    }
    uint64_t at = (uint64_t)s.prog.start + Rd32(s.prog.consts + 4 * k);
    if (at >= g_size) {
        Fault(s, MUSIC_FAULT_ADDRESS);
        return;
    }
    Push(s, (int32_t)Ref(kAreaImage, (uint32_t)at));
}
void OpStore(Step& s, uint8_t op) {
    uint8_t o = Byte(s);
    int32_t v = Pop(s);
    if (s.fault) return;
    uint8_t* p = Var(s, op == 8 ? kAreaGlobal : kAreaLocal, o);
    if (p) Put(p, v);
}
void OpCopy(Step& s, uint8_t op) { Copy(s, op == 10 ? kAreaGlobal : kAreaLocal); }
void OpMachine(Step& s, uint8_t) { Push(s, (int32_t)Ref(kAreaMachine, 0)); }
void OpClear(Step& s, uint8_t) { s.sp = 0; }

void OpBinary(Step& s, uint8_t op) {
    int32_t b = Pop(s), a = Pop(s);
    if (s.fault) return;
    uint32_t ua = (uint32_t)a, ub = (uint32_t)b;
    int32_t r = 0;
    switch (op) {
    case 16: r = (int32_t)(ua + ub); break;
    case 17: r = (int32_t)(ua - ub); break;
    case 18: r = (int32_t)(ua * ub); break;
    case 19:
    case 20:
        if (b == 0) {
            Fault(s, MUSIC_FAULT_DIVIDE);
            return;
        }
        if (b == -1) r = op == 19 ? (int32_t)(0u - ua) : 0;  // INT_MIN / -1 wraps
        else r = op == 19 ? a / b : a % b;
        break;
    case 21: r = Bool(a != 0 && b != 0); break;
    case 22: r = Bool(a != 0 || b != 0); break;
    case 23: r = (int32_t)(ua & ub); break;
    case 24: r = (int32_t)(ua | ub); break;
    case 25: r = (int32_t)(ua ^ ub); break;
    case 28: r = (int32_t)(ua << (ub & 31)); break;
    case 29: r = a >> (ub & 31); break;
    case 32: r = Bool(a == b); break;
    case 33: r = Bool(a != b); break;
    case 34: r = Bool(a >= b); break;
    case 35: r = Bool(a <= b); break;
    case 36: r = Bool(a > b); break;
    case 37: r = Bool(a < b); break;
    }
    Push(s, r);
}
void OpUnary(Step& s, uint8_t op) {
    int32_t v = Pop(s);
    if (s.fault) return;
    uint32_t u = (uint32_t)v;
    Push(s, op == 26 ? (int32_t)(0u - u) : op == 27 ? (int32_t)~u : Bool(v == 0));
}
void OpIncDec(Step& s, uint8_t op) {
    uint8_t* p = Var(s, op < 42 ? kAreaGlobal : kAreaLocal, Byte(s));
    if (p) Put(p, (int32_t)((uint32_t)Get(p) + ((op & 1) ? 0xFFFFFFFFu : 1u)));
}
void OpJump(Step& s, uint8_t op) {
    uint32_t t = Word(s);
    if (s.fault) return;
    bool go = true;
    if (op != 48) {
        int32_t v = Pop(s);
        if (s.fault) return;
        go = op == 49 ? v == 0 : v != 0;
    }
    if (go) Goto(s, (uint64_t)s.prog.code + t);
}
void OpCallOut(Step& s, uint8_t) {
    uint8_t k = Byte(s);
    if (s.fault) return;
    int32_t r = CallOut(s, k);
    if (!s.fault) Push(s, r);
}
void OpCall(Step& s, uint8_t) {
    uint32_t t = Word(s);
    if (s.fault) return;
    if (s.rp >= MUSIC_SCRIPT_STACK) {
        Fault(s, MUSIC_FAULT_STACK);
        return;
    }
    s.returns[s.rp++] = s.pc;
    Goto(s, (uint64_t)s.prog.start + t);
}
void OpParams(Step& s, uint8_t) {
    uint32_t n = Byte(s);
    if (s.fault) return;
    if (n == 0) {
        Fault(s, MUSIC_FAULT_COPY);
        return;
    }
    if ((int32_t)n > s.sp) {
        Fault(s, MUSIC_FAULT_STACK);
        return;
    }
    int32_t first = s.sp - (int32_t)n;
    for (uint32_t i = 0; i < n && !s.fault; i++) {
        uint8_t* p = Var(s, kAreaLocal, s.prog.paramOffset + 4 * i);
        if (p) Put(p, s.stack[first + (int32_t)i]);
    }
    s.sp = first;
}
void OpReturn(Step& s, uint8_t) {
    if (s.rp == 0) {
        music_ScriptStop();  // the script has ended
        s.yield = true;
        return;
    }
    s.pc = s.returns[--s.rp];
}
void OpYield(Step& s, uint8_t) { s.yield = true; }
void OpEntry(Step& s, uint8_t op) {
    uint32_t e = op == 63 ? s.prog.startIndex : Byte(s);
    if (s.fault) return;
    uint32_t at = EntryPoint(s.prog, e);
    if (!at) {
        Fault(s, MUSIC_FAULT_JUMP);
        return;
    }
    music_Script.entryIndex = (int32_t)e;
    s.pc = at;
    s.yield = true;
}
void OpPlay(Step& s, uint8_t) {
    uint8_t n = Byte(s);
    if (s.fault) return;
    s.yield = true;
    music_StreamSelectEntry(n);
}

const OpFn kOps[64] = {
    OpNothing,  OpPushByte, OpPushWord, OpLoad,     OpLoad,     OpAddrGlobal, OpAddrLocal, OpAddrConst,  // 0
    OpStore,    OpStore,    OpCopy,     OpCopy,     OpMachine,  OpNothing,    OpNothing,   OpClear,      // 8
    OpBinary,   OpBinary,   OpBinary,   OpBinary,   OpBinary,   OpBinary,     OpBinary,    OpBinary,     // 16
    OpBinary,   OpBinary,   OpUnary,    OpUnary,    OpBinary,   OpBinary,     OpUnary,     OpNothing,    // 24
    OpBinary,   OpBinary,   OpBinary,   OpBinary,   OpBinary,   OpBinary,     OpNothing,   OpNothing,    // 32
    OpIncDec,   OpIncDec,   OpIncDec,   OpIncDec,   OpNothing,  OpNothing,    OpNothing,   OpNothing,    // 40
    OpJump,     OpJump,     OpJump,     OpCallOut,  OpCall,     OpNothing,    OpNothing,   OpNothing,    // 48
    OpParams,   OpReturn,   OpYield,    OpEntry,    OpNothing,  OpNothing,    OpPlay,      OpEntry,      // 56
};

void Forget(void) {
    if (g_image) mem_Free(g_image);
    g_image = nullptr;
    g_size = 0;
    g_programs = 0;
}

// Checks the header and the program table of the image just taken.
bool Resolve(void) {
    g_programs = 0;
    if (g_size < 4 || memcmp(g_image, "SCR0", 4) != 0) return true;  // loads, starts nothing
    if (g_size < 16) return false;
    uint32_t count = Rd32(8), table = Rd32(12);
    if (count > (uint32_t)MUSIC_SCRIPT_MAX_PROGRAMS || !Fits(table, (uint64_t)count * 4)) return false;
    g_programs = (int32_t)count;
    Program p;
    for (int32_t i = 0; i < g_programs; i++)
        if (!ProgramGet(i, &p)) {
            g_programs = 0;
            return false;
        }
    return true;
}

}  // namespace

int32_t music_ScriptLoadImage(const uint8_t* image, uint32_t size) {
    Forget();
    if (!image || size > kMaxImage) return 0;
    g_image = static_cast<uint8_t*>(mem_AllocEx(size ? size : 1, 4, "MU Script"));
    if (!g_image) return 0;
    if (size) memcpy(g_image, image, size);
    g_size = size;
    if (!Resolve()) {
        Forget();
        return 0;
    }
    return 1;
}

int32_t music_ScriptOpen(const char* fileName) {
    Forget();
    if (!fileName || !file_Exists(fileName)) return 0;
    uint8_t* block = static_cast<uint8_t*>(file_LoadFileEx(fileName));
    if (!block) return 0;
    int32_t size = file_State.lastSize;
    if (size < 0 || (uint32_t)size > kMaxImage) {
        mem_Free(block);
        return 0;
    }
    g_image = block;
    g_size = (uint32_t)size;
    if (!Resolve()) {
        Forget();
        return 0;
    }
    return 1;
}

void music_ScriptFree(void) { Forget(); }

int32_t music_ScriptProgramCount(void) { return g_programs; }

void music_ScriptStop(void) {
    if (music_Script.vars) mem_Free(music_Script.vars);
    music_Script.vars = nullptr;
    music_Script.state = MUSIC_SCRIPT_IDLE;
}

void music_ScriptStartAt(const char* name) {
    music_ScriptStop();
    music_Script.fault = 0;
    if (g_programs <= 0) return;
    int32_t chosen = 0;
    for (int32_t i = 0; i < g_programs && name; i++) {
        uint32_t at = Rd32(Rd32(12) + 4 * (uint32_t)i) + 8;
        char own[17];
        memcpy(own, g_image + at, 16);
        own[16] = 0;
        if (strcmp(own, name) == 0) {
            chosen = i;
            break;
        }
    }
    Program p;
    if (!ProgramGet(chosen, &p)) return;
    uint32_t at = EntryPoint(p, p.startIndex);
    if (!at) return;
    uint32_t size = (p.globalSize + p.localSize + 3) & ~3u;
    music_Script.vars = static_cast<uint8_t*>(mem_AllocEx(size ? size : 4, 4, "MU Block"));
    if (!music_Script.vars) return;
    memset(music_Script.vars, 0, size ? size : 4);
    music_Script.program = chosen;
    music_Script.globalSize = p.globalSize;
    music_Script.localSize = p.localSize;
    music_Script.resume = at;
    music_Script.entryIndex = (int32_t)p.startIndex;
    music_Script.state = MUSIC_SCRIPT_RUNNING;
}

void music_ScriptStep(void) {
    if (music_Script.state != MUSIC_SCRIPT_RUNNING || !g_image) return;
    static Step s;
    s.sp = s.rp = 0;
    s.yield = false;
    s.fault = 0;
    if (!ProgramGet(music_Script.program, &s.prog)) {
        music_Script.fault = MUSIC_FAULT_JUMP;
        music_ScriptStop();
        return;
    }
    s.pc = music_Script.resume;
    for (int32_t count = 0;;) {
        if (count >= MUSIC_SCRIPT_STEP_LIMIT) Fault(s, MUSIC_FAULT_LIMIT);
        if (s.fault) break;
        uint8_t op = Byte(s);
        if (s.fault) break;
        if (op >= 64) {
            Fault(s, MUSIC_FAULT_OPCODE);
            break;
        }
        kOps[op](s, op);
        count++;
        if (s.fault || s.yield) break;
        if (count >= MUSIC_SCRIPT_BURST && s.sp == 0) break;
    }
    if (s.fault) {
        music_Script.fault = s.fault;
        music_ScriptStop();
        return;
    }
    if (music_Script.state == MUSIC_SCRIPT_RUNNING) music_Script.resume = s.pc;
}

void music_ScriptVarSet(int32_t index, int32_t value) {
    if (!music_Script.vars || index < 0 || (uint64_t)index * 4 + 4 > music_Script.globalSize) return;
    Put(music_Script.vars + 4 * index, value);
}

uint32_t music_ScriptChecksum(void) {
    if (!g_image) return 0;
    uint32_t sum = 0;
    for (uint32_t i = 0; i < g_size; i++) sum = Rotl(sum + g_image[i], 1);
    return sum;
}
