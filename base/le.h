// Bounded little-endian readers and writers for every file and packet codec.
// A reader never reads past its end: a read that does not fit sets the
// failed flag, returns zero and leaves the position where it was, so a
// codec can read a whole record and test `ok` once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct LeReader {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool failed = false;

    LeReader() = default;
    LeReader(const void* d, size_t n) : data((const uint8_t*)d), size(n) {}

    bool ok() const { return !failed; }
    size_t remaining() const { return pos <= size ? size - pos : 0; }
    bool has(size_t n) const { return n <= remaining(); }

    bool seek(size_t p) {
        if (p > size) {
            failed = true;
            return false;
        }
        pos = p;
        return true;
    }
    bool skip(size_t n) {
        if (!has(n)) {
            failed = true;
            return false;
        }
        pos += n;
        return true;
    }
    uint8_t u8() {
        if (!has(1)) return fail8();
        return data[pos++];
    }
    uint16_t u16() {
        if (!has(2)) return (uint16_t)fail8();
        uint16_t v = (uint16_t)(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return v;
    }
    uint32_t u32() {
        if (!has(4)) return fail8();
        uint32_t v = (uint32_t)data[pos] | ((uint32_t)data[pos + 1] << 8) | ((uint32_t)data[pos + 2] << 16) |
                     ((uint32_t)data[pos + 3] << 24);
        pos += 4;
        return v;
    }
    uint64_t u64() {
        uint64_t lo = u32();
        uint64_t hi = u32();
        return failed ? 0 : lo | (hi << 32);
    }
    int8_t i8() { return (int8_t)u8(); }
    int16_t i16() { return (int16_t)u16(); }
    int32_t i32() { return (int32_t)u32(); }
    float f32() {
        uint32_t b = u32();
        float f;
        memcpy(&f, &b, 4);
        return f;
    }
    double f64() {
        uint64_t b = u64();
        double d;
        memcpy(&d, &b, 8);
        return d;
    }
    // Copies n bytes; on failure the destination is zeroed.
    bool bytes(void* out, size_t n) {
        if (!has(n)) {
            failed = true;
            if (out && n) memset(out, 0, n);
            return false;
        }
        if (n) memcpy(out, data + pos, n);
        pos += n;
        return true;
    }
    // A pointer to n bytes inside the buffer, or null.
    const uint8_t* view(size_t n) {
        if (!has(n)) {
            failed = true;
            return nullptr;
        }
        const uint8_t* p = data + pos;
        pos += n;
        return p;
    }
    // A fixed-size text field of n bytes, copied to out (size outSize) and
    // always terminated.
    bool fixedString(char* out, size_t outSize, size_t n) {
        const uint8_t* p = view(n);
        if (outSize == 0) return p != nullptr;
        if (!p) {
            out[0] = 0;
            return false;
        }
        size_t len = 0;
        while (len < n && p[len]) len++;
        if (len > outSize - 1) len = outSize - 1;
        memcpy(out, p, len);
        out[len] = 0;
        return true;
    }
    // A zero-terminated string starting here; fails when no terminator
    // lies inside the buffer.
    bool cString(std::string* out) {
        for (size_t i = pos; i < size; i++)
            if (data[i] == 0) {
                if (out) out->assign((const char*)data + pos, i - pos);
                pos = i + 1;
                return true;
            }
        failed = true;
        return false;
    }

private:
    uint8_t fail8() {
        failed = true;
        return 0;
    }
};

// Reads a value at an absolute offset of a buffer, checked.
inline bool le_Read32At(const void* data, size_t size, size_t offset, uint32_t* out) {
    if (offset > size || size - offset < 4) return false;
    const uint8_t* p = (const uint8_t*)data + offset;
    *out = (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
    return true;
}
inline bool le_Read16At(const void* data, size_t size, size_t offset, uint16_t* out) {
    if (offset > size || size - offset < 2) return false;
    const uint8_t* p = (const uint8_t*)data + offset;
    *out = (uint16_t)(p[0] | (p[1] << 8));
    return true;
}

// A growing little-endian writer.
struct LeWriter {
    std::vector<uint8_t> buf;

    size_t size() const { return buf.size(); }
    void u8(uint8_t v) { buf.push_back(v); }
    void u16(uint16_t v) {
        buf.push_back((uint8_t)v);
        buf.push_back((uint8_t)(v >> 8));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; i++) buf.push_back((uint8_t)(v >> (8 * i)));
    }
    void u64(uint64_t v) {
        u32((uint32_t)v);
        u32((uint32_t)(v >> 32));
    }
    void i8(int8_t v) { u8((uint8_t)v); }
    void i16(int16_t v) { u16((uint16_t)v); }
    void i32(int32_t v) { u32((uint32_t)v); }
    void f32(float f) {
        uint32_t b;
        memcpy(&b, &f, 4);
        u32(b);
    }
    void f64(double d) {
        uint64_t b;
        memcpy(&b, &d, 8);
        u64(b);
    }
    void bytes(const void* p, size_t n) {
        const uint8_t* b = (const uint8_t*)p;
        buf.insert(buf.end(), b, b + n);
    }
    void zeros(size_t n) { buf.insert(buf.end(), n, 0); }
    // A text field of exactly n bytes, zero-padded (and cut if longer).
    void fixedString(const char* s, size_t n) {
        size_t len = s ? strnlen(s, n) : 0;
        bytes(s, len);
        zeros(n - len);
    }
    void cString(const char* s) {
        bytes(s, strlen(s));
        u8(0);
    }
    // Overwrites a 32-bit value already written (for offsets known later).
    void put32At(size_t offset, uint32_t v) {
        if (offset + 4 > buf.size()) return;
        for (int i = 0; i < 4; i++) buf[offset + i] = (uint8_t)(v >> (8 * i));
    }
    void put16At(size_t offset, uint16_t v) {
        if (offset + 2 > buf.size()) return;
        buf[offset] = (uint8_t)v;
        buf[offset + 1] = (uint8_t)(v >> 8);
    }
    void align(size_t a) {
        while (buf.size() % a) buf.push_back(0);
    }
};

// A writer into a fixed caller-owned buffer (packets); fails instead of
// growing.
struct LeSpanWriter {
    uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool failed = false;

    LeSpanWriter(void* d, size_t n) : data((uint8_t*)d), size(n) {}
    bool ok() const { return !failed; }
    size_t remaining() const { return size - pos; }
    bool bytes(const void* p, size_t n) {
        if (n > remaining()) {
            failed = true;
            return false;
        }
        if (n) memcpy(data + pos, p, n);
        pos += n;
        return true;
    }
    bool u8(uint8_t v) { return bytes(&v, 1); }
    bool u16(uint16_t v) {
        uint8_t b[2] = {(uint8_t)v, (uint8_t)(v >> 8)};
        return bytes(b, 2);
    }
    bool u32(uint32_t v) {
        uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
        return bytes(b, 4);
    }
    bool i16(int16_t v) { return u16((uint16_t)v); }
    bool i32(int32_t v) { return u32((uint32_t)v); }
    bool f32(float f) {
        uint32_t b;
        memcpy(&b, &f, 4);
        return u32(b);
    }
};
