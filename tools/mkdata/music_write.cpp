// The streamed music file (SBF), the music-logic script assembler (SCR0)
// and the data set's "KRXMUSIC.SBF" and "KRXMUSIC.BIN" (layouts and the
// source syntax in docs/formats.md).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

#include "krxmusic_mus.h"
#include "mkdata.h"

namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = (uint8_t)x;
    v[at + 1] = (uint8_t)(x >> 8);
    v[at + 2] = (uint8_t)(x >> 16);
    v[at + 3] = (uint8_t)(x >> 24);
}
void Add32(std::vector<uint8_t>& v, uint32_t x) {
    v.resize(v.size() + 4);
    Put32(v, v.size() - 4, x);
}

// ---- Assembler ---------------------------------------------------------------------

enum Operands { kNone, kByte, kWord, kTwoBytes, kLocalAddr, kCodeLabel, kProgLabel };
struct Mnemonic {
    const char* name;
    uint8_t op;
    Operands operands;
};
const Mnemonic kMnemonics[] = {
    {"nop", 0, kNone},       {"pushb", 1, kByte},     {"pushw", 2, kWord},     {"ldg", 3, kByte},
    {"ldl", 4, kByte},       {"adrg", 5, kByte},      {"adrl", 6, kLocalAddr}, {"adrc", 7, kByte},
    {"stg", 8, kByte},       {"stl", 9, kByte},       {"cpyg", 10, kTwoBytes}, {"cpyl", 11, kTwoBytes},
    {"self", 12, kNone},     {"clear", 15, kNone},    {"add", 16, kNone},      {"sub", 17, kNone},
    {"mul", 18, kNone},      {"div", 19, kNone},      {"mod", 20, kNone},      {"land", 21, kNone},
    {"lor", 22, kNone},      {"and", 23, kNone},      {"or", 24, kNone},       {"xor", 25, kNone},
    {"neg", 26, kNone},      {"not", 27, kNone},      {"shl", 28, kNone},      {"shr", 29, kNone},
    {"lnot", 30, kNone},     {"eq", 32, kNone},       {"ne", 33, kNone},       {"ge", 34, kNone},
    {"le", 35, kNone},       {"gt", 36, kNone},       {"lt", 37, kNone},       {"incg", 40, kByte},
    {"decg", 41, kByte},     {"incl", 42, kByte},     {"decl", 43, kByte},     {"jmp", 48, kCodeLabel},
    {"jz", 49, kCodeLabel},  {"jnz", 50, kCodeLabel}, {"out", 51, kByte},      {"gosub", 52, kProgLabel},
    {"args", 56, kByte},     {"ret", 57, kNone},      {"yield", 58, kNone},    {"goentry", 59, kByte},
    {"play", 62, kByte},     {"restart", 63, kNone},
};

constexpr uint32_t kProgramHeader = 72;

struct Fixup {
    size_t at;          // in the program's bytes
    std::string label;
    bool fromCode;      // else from the program's start
    int line;
};

struct Program {
    std::string name;
    uint32_t globals = 0, locals = 0, params = 0, start = 0;
    std::vector<uint8_t> code;  // from the code start
    std::map<std::string, uint32_t> labels;
    std::vector<Fixup> fixups;
    std::vector<std::pair<std::string, int>> entries, consts;
};

bool Number(const std::string& s, int64_t* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    long long v = strtoll(s.c_str(), &end, 0);
    if (*end) return false;
    *out = v;
    return true;
}

std::string Fail(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

// Lays a program out: header, code, entry table, constant table.
bool Finish(Program& p, std::vector<uint8_t>* out, std::string* error) {
    auto where = [&](const std::string& label, int line, uint32_t* at) {
        auto it = p.labels.find(label);
        if (it == p.labels.end()) {
            *error = Fail(line, "unknown label \"" + label + "\"");
            return false;
        }
        *at = it->second;
        return true;
    };
    for (const Fixup& f : p.fixups) {
        uint32_t at;
        if (!where(f.label, f.line, &at)) return false;
        Put32(p.code, f.at, f.fromCode ? at : at + kProgramHeader);
    }
    std::vector<uint8_t> b(kProgramHeader, 0);
    memcpy(&b[8], p.name.c_str(), p.name.size());
    b.insert(b.end(), p.code.begin(), p.code.end());
    while (b.size() % 4) b.push_back(0);
    uint32_t entryTable = (uint32_t)b.size();
    for (auto& e : p.entries) {
        uint32_t at;
        if (!where(e.first, e.second, &at)) return false;
        Add32(b, at + kProgramHeader);
    }
    uint32_t constTable = (uint32_t)b.size();
    for (auto& c : p.consts) {
        uint32_t at;
        if (!where(c.first, c.second, &at)) return false;
        Add32(b, at + kProgramHeader);
    }
    if (p.entries.empty()) {
        *error = "program " + p.name + " has no entry point";
        return false;
    }
    if (p.start >= p.entries.size()) {
        *error = "program " + p.name + ": the start entry point does not exist";
        return false;
    }
    Put32(b, 24, p.globals);
    Put32(b, 28, p.locals);
    Put32(b, 32, kProgramHeader);
    Put32(b, 36, entryTable);
    Put32(b, 40, (uint32_t)p.entries.size());
    Put32(b, 44, p.start);
    Put32(b, 48, constTable);
    Put32(b, 52, (uint32_t)p.consts.size());
    Put32(b, 60, p.params);
    *out = std::move(b);
    return true;
}

}  // namespace

int mkdata_MusicAssemble(const std::string& source, std::vector<uint8_t>* image, std::string* error) {
    std::string dummy;
    if (!error) error = &dummy;
    std::vector<Program> programs;
    std::istringstream in(source);
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        line++;
        size_t semi = text.find(';');
        if (semi != std::string::npos) text.resize(semi);
        std::istringstream words(text);
        std::vector<std::string> w;
        for (std::string x; words >> x;) w.push_back(x);
        if (w.empty()) continue;
        // Labels: "name:" alone or before an instruction.
        if (w[0].back() == ':') {
            if (programs.empty()) {
                *error = Fail(line, "label outside a program");
                return -1;
            }
            std::string label = w[0].substr(0, w[0].size() - 1);
            if (label.empty() || programs.back().labels.count(label)) {
                *error = Fail(line, "bad or repeated label \"" + label + "\"");
                return -1;
            }
            programs.back().labels[label] = (uint32_t)programs.back().code.size();
            w.erase(w.begin());
            if (w.empty()) continue;
        }
        const std::string& k = w[0];
        if (k == "program") {
            if (w.size() != 2 || w[1].size() > 15) {
                *error = Fail(line, "program takes one name of at most 15 characters");
                return -1;
            }
            programs.emplace_back();
            programs.back().name = w[1];
            continue;
        }
        if (programs.empty()) {
            *error = Fail(line, "\"" + k + "\" outside a program");
            return -1;
        }
        Program& p = programs.back();
        std::vector<int64_t> n;
        bool numeric = true;
        for (size_t i = 1; i < w.size(); i++) {
            int64_t v;
            if (!Number(w[i], &v)) numeric = false;
            n.push_back(v);
        }
        auto want = [&](size_t count, int64_t lo, int64_t hi) {
            if (w.size() != count + 1 || !numeric) {
                *error = Fail(line, "\"" + k + "\" takes " + std::to_string(count) + " number(s)");
                return false;
            }
            for (int64_t v : n)
                if (v < lo || v > hi) {
                    *error = Fail(line, "\"" + k + "\": a number out of range");
                    return false;
                }
            return true;
        };
        if (k == "globals" || k == "locals" || k == "params" || k == "start") {
            if (!want(1, 0, 0xFFFF)) return -1;
            (k == "globals" ? p.globals : k == "locals" ? p.locals : k == "params" ? p.params : p.start) =
                (uint32_t)n[0];
        } else if (k == "entry" || k == "const") {
            if (w.size() != 2) {
                *error = Fail(line, "\"" + k + "\" takes one label");
                return -1;
            }
            (k == "entry" ? p.entries : p.consts).push_back({w[1], line});
        } else if (k == "byte" || k == "word") {
            if (w.size() < 2 || !numeric) {
                *error = Fail(line, "\"" + k + "\" takes numbers");
                return -1;
            }
            for (int64_t v : n) {
                if (k == "byte") {
                    if (v < -128 || v > 255) {
                        *error = Fail(line, "byte out of range");
                        return -1;
                    }
                    p.code.push_back((uint8_t)v);
                } else {
                    if (v < INT32_MIN || v > UINT32_MAX) {
                        *error = Fail(line, "word out of range");
                        return -1;
                    }
                    Add32(p.code, (uint32_t)v);
                }
            }
        } else if (k == "push") {
            if (!want(1, INT32_MIN, UINT32_MAX)) return -1;
            if (n[0] >= 0 && n[0] <= 255) {
                p.code.push_back(1);
                p.code.push_back((uint8_t)n[0]);
            } else {
                p.code.push_back(2);
                Add32(p.code, (uint32_t)n[0]);
            }
        } else {
            const Mnemonic* m = nullptr;
            for (const Mnemonic& x : kMnemonics)
                if (k == x.name) m = &x;
            if (!m) {
                *error = Fail(line, "unknown instruction \"" + k + "\"");
                return -1;
            }
            switch (m->operands) {
            case kNone:
                if (!want(0, 0, 0)) return -1;
                p.code.push_back(m->op);
                break;
            case kByte:
            case kLocalAddr:
                if (!want(1, 0, 255)) return -1;
                p.code.push_back(m->op);
                p.code.push_back((uint8_t)n[0]);
                if (m->operands == kLocalAddr) p.code.push_back(0);
                break;
            case kTwoBytes:
                if (!want(2, 0, 255)) return -1;
                p.code.push_back(m->op);
                p.code.push_back((uint8_t)n[0]);
                p.code.push_back((uint8_t)n[1]);
                break;
            case kWord:
                if (!want(1, INT32_MIN, UINT32_MAX)) return -1;
                p.code.push_back(m->op);
                Add32(p.code, (uint32_t)n[0]);
                break;
            case kCodeLabel:
            case kProgLabel:
                if (w.size() != 2) {
                    *error = Fail(line, "\"" + k + "\" takes one label");
                    return -1;
                }
                p.code.push_back(m->op);
                p.fixups.push_back({p.code.size(), w[1], m->operands == kCodeLabel, line});
                Add32(p.code, 0);
                break;
            }
        }
    }
    if (programs.empty()) {
        *error = "no program";
        return -1;
    }
    if (programs.size() > 256) {
        *error = "more than 256 programs";
        return -1;
    }
    std::vector<uint8_t> out(16, 0);
    memcpy(out.data(), "SCR0", 4);
    Put32(out, 8, (uint32_t)programs.size());
    Put32(out, 12, 16);
    out.resize(16 + 4 * programs.size());
    for (size_t i = 0; i < programs.size(); i++) {
        std::vector<uint8_t> b;
        if (!Finish(programs[i], &b, error)) return -1;
        while (out.size() % 4) out.push_back(0);
        Put32(out, 16 + 4 * i, (uint32_t)out.size());
        out.insert(out.end(), b.begin(), b.end());
    }
    *image = std::move(out);
    return 0;
}

std::vector<uint8_t> mkdata_SbfBuild(const std::vector<MkSbfEntry>& entries) {
    std::vector<uint8_t> out(24, 0);
    memcpy(out.data(), "KSBF", 4);
    Put32(out, 4, 1);
    Put32(out, 16, 24);
    Put32(out, 20, (uint32_t)entries.size());
    out.resize(24 + 32 * entries.size());
    for (size_t i = 0; i < entries.size(); i++) {
        const MkSbfEntry& e = entries[i];
        size_t at = 24 + 32 * i;
        memcpy(&out[at], e.name.c_str(), e.name.size() < 15 ? e.name.size() : 15);
        uint32_t per = e.blockSize > 8 ? (e.blockSize - 8) & ~1u : 0;
        size_t start = out.size();
        for (size_t done = 0; per && done < e.frames.size(); done += per) {
            uint32_t n = (uint32_t)std::min<size_t>(per, e.frames.size() - done);
            size_t b = out.size();
            out.resize(b + e.blockSize, 0);
            Put32(out, b, n);
            Put32(out, b + 4, e.format);
            memcpy(&out[b + 8], &e.frames[done], n);
        }
        Put32(out, at + 16, (uint32_t)start);
        Put32(out, at + 20, (uint32_t)(out.size() - start));
        Put32(out, at + 24, e.blockSize);
        Put32(out, at + 28, (uint32_t)(e.frames.size() / 2));
    }
    return out;
}

std::vector<uint8_t> mkdata_MusicScriptBuild(void) {
    std::vector<uint8_t> image;
    std::string error;
    if (mkdata_MusicAssemble(kMkKrxMusicSource, &image, &error) != 0) {
        fprintf(stderr, "mkdata: KRXMUSIC: %s\n", error.c_str());
        return {};
    }
    return image;
}

std::vector<MkSbfEntry> mkdata_MusicEntries(void) {
    // One short phrase per mood: a rising arpeggio over a held low note,
    // the two voices a little apart in the stereo picture.
    static const double kRoots[5] = {220.0, 196.0, 261.63, 174.61, 246.94};
    static const double kSteps[4] = {1.0, 1.25, 1.5, 2.0};
    std::vector<MkSbfEntry> out;
    for (int mood = 0; mood < 5; mood++) {
        MkSbfEntry e;
        char name[16];
        snprintf(name, sizeof name, "MOOD%d", mood);
        e.name = name;
        e.blockSize = 4096;
        const uint32_t frames = 22050 * 3 / 2;
        e.frames.resize((size_t)frames * 2);
        for (uint32_t i = 0; i < frames; i++) {
            double t = (double)i / 22050.0;
            int note = (int)(t * 4) % 4;
            double within = fmod(t * 4, 1.0);
            double env = within < 0.05 ? within / 0.05 : exp(-3.0 * (within - 0.05));
            double edge = std::min(1.0, std::min(t, 1.5 - t) / 0.02);
            double hi = sin(2 * M_PI * kRoots[mood] * kSteps[note] * t) * env;
            double lo = sin(2 * M_PI * kRoots[mood] / 2 * t);
            double l = (0.55 * hi + 0.35 * lo) * edge, r = (0.35 * hi + 0.55 * lo) * edge;
            e.frames[2 * i] = (uint8_t)lround(128 + 100 * l);
            e.frames[2 * i + 1] = (uint8_t)lround(128 + 100 * r);
        }
        out.push_back(std::move(e));
    }
    return out;
}

int mkdata_WriteMusic(const std::string& dir) {
    std::vector<uint8_t> script = mkdata_MusicScriptBuild();
    if (script.empty()) return -1;
    if (mkdata_WriteFile(dir, "KRXMUSIC.BIN", script) != 0) return -1;
    return mkdata_WriteFile(dir, "KRXMUSIC.SBF", mkdata_SbfBuild(mkdata_MusicEntries()));
}
