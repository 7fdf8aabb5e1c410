// PCX images: reading (and uncompressed BMP through the same entry),
// conversion to 16 and 32 bits, writing, halving, colour-and-alpha images.
#include "display/pcx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/bmp.h"
#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "display/pal.h"
#include "platform/window.h"

namespace {

constexpr int32_t kWriteBuffer = 8000;

void Complain(const char* who, const char* name, const char* why) {
    fprintf(stderr, "%s: %s: %s\n", who, name ? name : "(memory)", why);
}

uint32_t ChannelTo16(uint32_t v, int32_t width, int32_t shift) {
    uint32_t x = width >= 8 ? v << (width - 8) : v >> (8 - width);
    return x << shift;
}

uint16_t Pack16(uint32_t r, uint32_t g, uint32_t b) {
    const PalMaskSet& m = pal_Second.masks[0];
    return (uint16_t)(ChannelTo16(r, m.redWidth, m.redShift) | ChannelTo16(g, m.greenWidth, m.greenShift) |
                      ChannelTo16(b, m.blueWidth, m.blueShift));
}

uint32_t Pack32(uint32_t r, uint32_t g, uint32_t b) {
    const PalMaskSet& m = pal_Second.masks[1];
    return (r << m.redShift) | (g << m.greenShift) | (b << m.blueShift);
}

// The colour tables of the image palette; entry 0 stays 0 (transparent).
void BuildColourTables(int32_t mode) {
    const uint8_t* p = pal_Second.palette;
    pal_Second.table16[0] = 0;
    pal_Second.table32[0] = 0;
    for (int32_t n = 1; n < 256; n++) {
        if (mode == 16) pal_Second.table16[n] = Pack16(p[n * 3], p[n * 3 + 1], p[n * 3 + 2]);
        if (mode == 32) pal_Second.table32[n] = Pack32(p[n * 3], p[n * 3 + 1], p[n * 3 + 2]);
    }
}

// Run-length decoding into `count` pixels at most, handing each pixel value
// and its position to put. Returns the pixels written.
template <class Put>
int64_t DecodeRuns(const uint8_t* data, int32_t length, int64_t count, Put put) {
    int64_t out = 0;
    int32_t i = 0;
    while (out < count && i < length) {
        uint8_t b = data[i++];
        int64_t run = 1;
        if (b >= 192) {
            if (i >= length) break;  // a count without its pixel
            run = b & 63;
            if (run == 0) run = 1;
            b = data[i++];
        }
        run = std::min(run, count - out);
        for (int64_t k = 0; k < run; k++) put((int32_t)out++, b);
    }
    return out;
}

// Header fields the decoder needs.
struct PcxInfo {
    int32_t width, height;
    int32_t stride;  // bytes per line: the width plus any pad bytes
};

// What the header says; false (with the reason told) when it is unusable.
bool ReadPcxHeader(const uint8_t* data, size_t size, const char* who, const char* name, PcxInfo* info) {
    // Header, marker and palette at the least.
    if (size < (size_t)(PCX_HEADER_SIZE + 1 + PCX_PALETTE_SIZE)) {
        Complain(who, name, "too short for a PCX file");
        return false;
    }
    LeReader r(data, size);
    uint32_t signature = r.u32();
    uint16_t xMin = r.u16();
    uint16_t yMin = r.u16();
    uint16_t xMax = r.u16();
    uint16_t yMax = r.u16();
    r.seek(65);
    uint8_t planes = r.u8();
    uint16_t bytesPerLine = r.u16();
    if (!r.ok() || signature != PCX_SIGNATURE) {
        Complain(who, name, "not an 8-bit run-length PCX file");
        return false;
    }
    // 24-bit files keep three colour planes and no palette: only
    // single-plane images with their palette are ours to read.
    if (planes != 1) {
        Complain(who, name, "not a single-plane 256-colour PCX file");
        return false;
    }
    if (data[size - PCX_PALETTE_SIZE - 1] != PCX_PALETTE_MARKER) {
        Complain(who, name, "no 256-colour palette");
        return false;
    }
    if (yMax < yMin) {
        Complain(who, name, "y max below y min");
        return false;
    }
    if (bytesPerLine == 0) {
        Complain(who, name, "zero bytes per line");
        return false;
    }
    // Lines may be padded (to an even length, say): the x range is then the
    // width and the pad bytes are dropped.
    int32_t xRange = (int32_t)xMax - (int32_t)xMin + 1;
    info->stride = bytesPerLine;
    info->width = xRange >= 1 && xRange < bytesPerLine ? xRange : bytesPerLine;
    info->height = yMax - yMin + 1;
    return true;
}

// Decodes the stream of stride x height bytes, handing the pixels that lie
// inside the image (not the pad bytes) to put with their image index.
// Returns the image pixels written.
template <class Put>
int32_t DecodeImage(const uint8_t* rle, int32_t length, const PcxInfo& info, Put put) {
    int32_t count = info.width * info.height;
    if (info.stride == info.width) return (int32_t)DecodeRuns(rle, length, count, put);
    int32_t width = info.width, pad = info.stride - info.width;
    int32_t column = 0, pixel = 0;
    // The stream may be longer than any int32 count; its pixel index is unused.
    DecodeRuns(rle, length, (int64_t)info.stride * info.height, [&](int32_t, uint8_t b) {
        if (column < width) put(pixel++, b);
        if (++column == width + pad) column = 0;
    });
    return pixel;
}

void DecodePcx(const uint8_t* data, size_t size, const PcxInfo& info, int32_t mode, void* block) {
    memcpy(pal_Second.palette, data + size - PCX_PALETTE_SIZE, PCX_PALETTE_SIZE);
    const uint8_t* rle = data + PCX_HEADER_SIZE;
    int32_t length = (int32_t)(size - PCX_HEADER_SIZE - PCX_PALETTE_SIZE);
    int32_t count = info.width * info.height;
    int32_t done;
    if (mode == 8) {
        auto* px = static_cast<uint8_t*>(block);
        done = DecodeImage(rle, length, info, [&](int32_t i, uint8_t b) { px[i] = b; });
    } else {
        BuildColourTables(mode);
        if (mode == 16) {
            auto* px = static_cast<uint16_t*>(block);
            const uint16_t* t = pal_Second.table16;
            done = DecodeImage(rle, length, info, [&](int32_t i, uint8_t b) { px[i] = t[b]; });
        } else {
            auto* px = static_cast<uint32_t*>(block);
            const uint32_t* t = pal_Second.table32;
            done = DecodeImage(rle, length, info, [&](int32_t i, uint8_t b) { px[i] = t[b]; });
        }
    }
    // Data that ends early leaves transparent black, not stale memory.
    if (done < count) {
        size_t bpp = (size_t)mode / 8;
        memset(static_cast<uint8_t*>(block) + (size_t)done * bpp, 0, (size_t)(count - done) * bpp);
    }
}

struct BmpInfo {
    int32_t width, height, bits, colours;
    uint32_t tableOffset, pixelOffset;
    uint64_t stride;
    BmpHeader header;
};

bool ReadBmpHeader(const uint8_t* data, size_t size, int32_t mode, const char* who, const char* name, BmpInfo* bi) {
    BmpHeader h;
    if (!bmp_HeaderRead(data, size, &h)) {
        Complain(who, name, "too short for a BMP file");
        return false;
    }
    uint32_t pixelOffset = h.pixelOffset, infoSize = h.infoSize, compression = h.compression, used = h.coloursUsed;
    int32_t width = h.width, height = h.height, bits = h.bits;
    if (infoSize < 40 || infoSize > size - 14) {
        Complain(who, name, "unknown BMP information header");
        return false;
    }
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 24) {
        Complain(who, name, "unsupported bit count");
        return false;
    }
    if (compression != 0) {
        Complain(who, name, "unknown compression");
        return false;
    }
    if (width <= 0 || height <= 0) {
        Complain(who, name, "unsupported size (only bottom-up images are read)");
        return false;
    }
    if (bits == 24 && mode == 8) {
        Complain(who, name, "a 24-bit image loads at 16 or 32 bits only");
        return false;
    }
    uint32_t colours = bits <= 8 ? (used ? used : 1u << bits) : 0;
    uint64_t tableOffset = 14 + (uint64_t)infoSize;
    if ((bits <= 8 && colours > 1u << bits) || tableOffset + colours * 4ull > size) {
        Complain(who, name, "bad colour table");
        return false;
    }
    if (pixelOffset < tableOffset + colours * 4ull || pixelOffset > size) {
        Complain(who, name, "bad pixel-data offset");
        return false;
    }
    if (!bmp_PixelsFit(h, size)) {
        Complain(who, name, "pixel data ends early");
        return false;
    }
    uint64_t stride = bmp_StoredRowSize(width, bits);
    *bi = BmpInfo{width, height, bits, (int32_t)colours, (uint32_t)tableOffset, pixelOffset, stride, h};
    return true;
}

void DecodeBmp(const uint8_t* data, const BmpInfo& bi, int32_t mode, void* block) {
    memset(pal_Second.palette, 0, sizeof pal_Second.palette);
    for (int32_t n = 0; n < bi.colours; n++) {
        const uint8_t* e = data + bi.tableOffset + n * 4;  // blue, green, red, reserved
        pal_Second.palette[n * 3 + 0] = e[2];
        pal_Second.palette[n * 3 + 1] = e[1];
        pal_Second.palette[n * 3 + 2] = e[0];
    }
    if (bi.bits < 8) {
        bmp_PackedRowsRead(data, bi.header, static_cast<uint8_t*>(block));
        return;
    }
    if (bi.bits == 8 && mode != 8) BuildColourTables(mode);
    size_t bpp = (size_t)mode / 8;
    for (int32_t fileRow = 0; fileRow < bi.height; fileRow++) {
        const uint8_t* src = data + bi.pixelOffset + (size_t)fileRow * bi.stride;
        uint8_t* dst = static_cast<uint8_t*>(block) + (size_t)(bi.height - 1 - fileRow) * bi.width * bpp;
        for (int32_t x = 0; x < bi.width; x++) {
            if (mode == 8) {
                dst[x] = src[x];
            } else if (bi.bits == 8) {
                if (mode == 16) reinterpret_cast<uint16_t*>(dst)[x] = pal_Second.table16[src[x]];
                else reinterpret_cast<uint32_t*>(dst)[x] = pal_Second.table32[src[x]];
            } else {
                const uint8_t* p = src + x * 3;  // blue, green, red
                if (mode == 16) reinterpret_cast<uint16_t*>(dst)[x] = Pack16(p[2], p[1], p[0]);
                else reinterpret_cast<uint32_t*>(dst)[x] = Pack32(p[2], p[1], p[0]);
            }
        }
    }
}

// The shared reader: classifies the file, fills the work record, makes the
// block and decodes into it.
void* LoadImage(const uint8_t* data, size_t size, int32_t mode, bool allowBmp, const char* name, const char* tag,
                const char* boxTitle) {
    const char* who = allowBmp ? "pcx_LoadImageEx" : "pcx_LoadIntoBuffer";
    if (mode != 8 && mode != 16 && mode != 32) {
        Complain(who, name, "output mode is not 8, 16 or 32");
        return nullptr;
    }
    uint32_t signature = 0;
    bool isPcx = le_Read32At(data, size, 0, &signature) && signature == PCX_SIGNATURE;
    bool isBmp = !isPcx && allowBmp && size >= 2 && data[0] == 'B' && data[1] == 'M';
    if (!isPcx && !isBmp) {
        Complain(who, name, allowBmp ? "neither a PCX nor a BMP file" : "not a PCX file");
        return nullptr;
    }
    int32_t width, height;
    BmpInfo bi{};
    PcxInfo pi{};
    if (isPcx) {
        if (!ReadPcxHeader(data, size, who, name, &pi)) return nullptr;
        width = pi.width;
        height = pi.height;
        pal_Second.fileBits = 8;
        pal_Second.colourCount = 0;
    } else {
        if (!ReadBmpHeader(data, size, mode, who, name, &bi)) return nullptr;
        width = bi.width;
        height = bi.height;
        pal_Second.fileBits = bi.bits;
        pal_Second.colourCount = bi.colours;
    }
    // Fewer than 8 bits a pixel: packed rows, and the output mode is the
    // file's bit count.
    if (isBmp && bi.bits < 8) mode = bi.bits;
    pal_Second.mode = mode;
    uint64_t bytes = mode < 8 ? bmp_PackedRowSize(width, mode) * (uint64_t)height
                              : (uint64_t)width * (uint64_t)height * (uint64_t)(mode / 8);
    if (bytes == 0 || bytes > INT32_MAX) {
        Complain(who, name, "image too large");
        return nullptr;
    }
    pal_Second.width = width;
    pal_Second.height = height;
    pal_Second.pixelBytes = (int32_t)bytes;

    void* block = mem_AllocEx((uint32_t)bytes, 4, tag);
    if (!block) {
        plat_MessageBox(0, "No Mem", boxTitle, MB_OK);
        return nullptr;
    }
    if (isPcx) DecodePcx(data, size, pi, mode, block);
    else DecodeBmp(data, bi, mode, block);
    return block;
}

}  // namespace

int32_t pcx_DecodeRle(const uint8_t* data, int32_t length, uint8_t* destination, int32_t pixelCount) {
    if (!data || !destination || length <= 0 || pixelCount <= 0) return 0;
    return (int32_t)DecodeRuns(data, length, pixelCount, [&](int32_t i, uint8_t b) { destination[i] = b; });
}

void* pcx_LoadImageEx(const char* fileName, int32_t mode) {
    pal_Second.mode = mode;
    if (!fileName) return nullptr;
    auto* data = static_cast<uint8_t*>(file_LoadFileEx(fileName));
    if (!data) return nullptr;
    int32_t size = file_State.lastSize;
    mem_TagSet(data, "PcxWork");
    void* block = size > 0 ? LoadImage(data, (size_t)size, mode, true, fileName, "PCX Image", "Pcx loadimage")
                           : nullptr;
    mem_Free(data);
    return block;
}

uint8_t* pcx_Load(const char* fileName) { return static_cast<uint8_t*>(pcx_LoadImageEx(fileName, 8)); }

void* pcx_LoadIntoBuffer(const void* data, int32_t length, int32_t mode) {
    pal_Second.mode = mode;
    if (!data || length <= 0) return nullptr;
    return LoadImage(static_cast<const uint8_t*>(data), (size_t)length, mode, false, nullptr, "PCX IMAGE",
                     "PCXReadImageBuffer");
}

namespace {

// Output buffer of the writer; written out when full and at each row end.
struct PcxOut {
    uint8_t buf[kWriteBuffer];
    int32_t used = 0;
    bool failed = false;

    void Flush() {
        if (used > 0 && file_WriteRaw(buf, used) != used) failed = true;
        used = 0;
    }
    void Put(uint8_t b) {
        if (used == kWriteBuffer) Flush();
        buf[used++] = b;
    }
    void Run(uint8_t byte, int32_t count, bool pairAlways) {
        if (count == 1 && byte < 192 && !pairAlways) {
            Put(byte);
        } else {
            Put((uint8_t)(0xC0 | count));
            Put(byte);
        }
    }
};

}  // namespace

int32_t pcx_WriteFile(const char* fileName, const uint8_t* pixels) {
    int32_t width = pal_Second.width, height = pal_Second.height;
    if (!fileName || !pixels || width < 1 || width > 0xFFFF || height < 1 || height > 0x10000) return -1;
    if (file_Create(fileName) < 0) return -1;

    uint8_t header[PCX_HEADER_SIZE];
    LeSpanWriter h(header, sizeof header);
    h.u8(10);  // manufacturer
    h.u8(5);   // version
    h.u8(1);   // encoding
    h.u8(8);   // bits per pixel
    h.u16(0);  // x min
    h.u16(0);  // y min
    h.u16((uint16_t)(width - 1));
    h.u16((uint16_t)(height - 1));
    h.u16(0);  // dpi
    h.u16(0);
    for (int i = 0; i < 48; i++) h.u8(0);  // 16-colour palette
    h.u8(0);   // reserved
    h.u8(1);   // planes
    h.u16((uint16_t)width);  // bytes per line
    h.u16(1);  // palette info
    h.u16(12); // screen size
    h.u16(10);
    while (h.pos < sizeof header) h.u8(0);
    bool ok = file_WriteRaw(header, PCX_HEADER_SIZE) == PCX_HEADER_SIZE;

    static PcxOut out;  // 8000 bytes: kept off the stack
    out.used = 0;
    out.failed = false;
    for (int32_t y = 0; y < height && ok; y++) {
        const uint8_t* row = pixels + (size_t)y * (size_t)width;
        uint8_t run = row[0];
        int32_t count = 1;
        for (int32_t x = 1; x < width; x++) {
            if (row[x] == run) {
                if (count == 63) {
                    out.Run(run, 63, true);
                    count = 0;
                }
                count++;
            } else {
                out.Run(run, count, false);
                run = row[x];
                count = 1;
            }
        }
        out.Run(run, count, true);  // the last run of a row is always a pair
        out.Flush();
        ok = !out.failed;
    }
    uint8_t marker = 12;
    ok = ok && file_WriteRaw(&marker, 1) == 1;
    ok = ok && file_WriteRaw(pal_Second.palette, PCX_PALETTE_SIZE) == PCX_PALETTE_SIZE;
    ok = file_CloseRaw() == 0 && ok;
    return ok ? 0 : -1;
}

void pcx_HalveImage(uint8_t* pixels) {
    // Packed images of fewer than 8 bits a pixel are not halved: their
    // block is smaller than a pixel a byte.
    if (!pixels || pal_Second.mode < 8) return;
    int32_t width = pal_Second.width, height = pal_Second.height;
    int32_t bpp = pal_Second.mode == 16 ? 2 : pal_Second.mode == 32 ? 4 : 1;
    int32_t w2 = width / 2, h2 = height / 2;
    for (int32_t y = 0; y < h2; y++)
        for (int32_t x = 0; x < w2; x++)
            memmove(pixels + ((size_t)y * w2 + x) * bpp, pixels + ((size_t)(2 * y) * width + 2 * x) * bpp, bpp);
    pal_Second.width = w2;
    pal_Second.height = h2;
    pal_Second.pixelBytes = w2 * h2 * bpp;
}

uint8_t* pcx_MakeAlphaImage(const uint8_t* colour, const uint8_t* alpha, int32_t count) {
    if (!colour || !alpha || count <= 0 || count > INT32_MAX / 2) return nullptr;
    auto* block = static_cast<uint8_t*>(mem_AllocEx((uint32_t)count * 2, 4, "alpha image"));
    if (!block) return nullptr;
    for (int32_t i = 0; i < count; i++) {
        block[i * 2] = colour[i];
        block[i * 2 + 1] = alpha[i];
    }
    return block;
}
