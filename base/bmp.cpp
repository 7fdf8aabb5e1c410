// BMP images: reader into _EIMAGE2 and the project's writer.
#include "base/bmp.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/efile.h"
#include "base/le.h"
#include "base/mem.h"
#include "platform/files.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;  // 54
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

void BmpError(const char* what, const char* why) { fprintf(stderr, "img_LoadBmp: %s: %s\n", what, why); }

}  // namespace

uint64_t bmp_StoredRowSize(int32_t width, int32_t bits) {
    return ((uint64_t)width * (uint64_t)bits + 31) / 32 * 4;
}

bool bmp_HeaderRead(const void* data, size_t size, BmpHeader* out) {
    if (!data || size < kHeadersSize) return false;
    LeReader r(data, size);
    r.seek(10);  // past the signature, the stored file size and the reserved word
    out->pixelOffset = r.u32();
    out->infoSize = r.u32();
    out->width = r.i32();
    out->height = r.i32();
    r.u16();  // planes
    out->bits = r.u16();
    out->compression = r.u32();
    r.seek(46);  // past the image size and the resolutions
    out->coloursUsed = r.u32();
    return r.ok();
}

uint64_t bmp_PackedRowSize(int32_t width, int32_t bits) { return ((uint64_t)width * (uint64_t)bits + 7) / 8; }

bool bmp_PixelsFit(const BmpHeader& h, size_t size) {
    if (h.width <= 0 || h.height <= 0 || h.bits <= 0 || h.pixelOffset > size) return false;
    uint64_t stored = bmp_StoredRowSize(h.width, h.bits);
    uint64_t rowBytes = bmp_PackedRowSize(h.width, h.bits);
    // Every row but the last takes its padded size; the last one's padding
    // may be missing, its pixels may not. Divided, so nothing can overflow.
    uint64_t room = size - h.pixelOffset;
    if (rowBytes > room) return false;
    return (uint64_t)(h.height - 1) <= (room - rowBytes) / stored;
}

void bmp_PackedRowsRead(const void* data, const BmpHeader& h, uint8_t* out) {
    uint64_t stored = bmp_StoredRowSize(h.width, h.bits);
    size_t rowBytes = (size_t)bmp_PackedRowSize(h.width, h.bits);
    // Bits past the width in a row's last byte are not pixels.
    uint32_t used = (uint32_t)(((uint64_t)h.width * (uint64_t)h.bits) % 8);
    uint8_t lastMask = used ? (uint8_t)(0xFF << (8 - used)) : 0xFF;
    const uint8_t* src = static_cast<const uint8_t*>(data) + h.pixelOffset;
    for (int32_t fileRow = 0; fileRow < h.height; fileRow++) {
        uint8_t* dst = out + (size_t)(h.height - 1 - fileRow) * rowBytes;
        memcpy(dst, src + (size_t)fileRow * stored, rowBytes);
        dst[rowBytes - 1] &= lastMask;
    }
}

int32_t img_Log2Exact(int32_t value, int32_t* log2Out, uint32_t* flags, uint32_t flagBit) {
    if (value <= 0 || (value & (value - 1)) != 0) return 0;
    int32_t n = 0;
    while ((1 << n) != value) n++;
    if (log2Out) *log2Out = n;
    if (flags) *flags |= flagBit;
    return 1;
}

_EIMAGE2* img_Create(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (width < 1 || height < 1) return nullptr;
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
    int32_t bytes = bitsPerPixel / 8;
    uint64_t rowSize = (uint64_t)width * (uint64_t)bytes;
    uint64_t pixelBytes = rowSize * (uint64_t)height;
    uint64_t total = sizeof(_EIMAGE2) + (uint64_t)height * sizeof(uint8_t*) + pixelBytes;
    if (rowSize > INT32_MAX || total > INT32_MAX) return nullptr;

    auto* block = static_cast<uint8_t*>(mem_GlobalAllocNamed("_EIMAGE2", (int32_t)total));
    if (!block) return nullptr;
    auto* img = reinterpret_cast<_EIMAGE2*>(block);
    img->totalSize = (uint32_t)total;
    img->flags = 0;
    img->width = width;
    img->height = height;
    img->bitsPerPixel = bitsPerPixel;
    img->bytesPerPixel = bytes;
    img->rowSize = (int32_t)rowSize;
    img->widthLog2 = 0;
    img->heightLog2 = 0;
    img_Log2Exact(width, &img->widthLog2, &img->flags, IMG_WIDTH_POW2);
    img_Log2Exact(height, &img->heightLog2, &img->flags, IMG_HEIGHT_POW2);
    img->rows = reinterpret_cast<uint8_t**>(block + sizeof(_EIMAGE2));
    img->pixels = block + sizeof(_EIMAGE2) + (size_t)height * sizeof(uint8_t*);
    img->pixelBytes = (uint32_t)pixelBytes;
    for (int32_t i = 0; i < height; i++) img->rows[i] = img->pixels + (size_t)i * (size_t)rowSize;
    return img;
}

void img_Free(_EIMAGE2* image) {
    if (image) mem_GlobalFreeNamed(image);
}

namespace {

_EIMAGE2* ParseBmp(const void* data, size_t size, const char* name) {
    BmpHeader h;
    if (!bmp_HeaderRead(data, size, &h)) {
        BmpError(name, "shorter than the BMP headers");
        return nullptr;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        BmpError(name, "not a BMP file");
        return nullptr;
    }
    int32_t width = h.width, height = h.height, bits = h.bits;
    if (h.infoSize < kInfoHeaderSize) {
        BmpError(name, "unknown information header");
        return nullptr;
    }
    if (width <= 0 || height <= 0) {
        BmpError(name, "unsupported size (only bottom-up images are read)");
        return nullptr;
    }
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        BmpError(name, "unsupported bit count");
        return nullptr;
    }
    if (h.compression != kBiRgb && !(h.compression == kBiBitfields && (bits == 16 || bits == 32))) {
        BmpError(name, "unknown compression");
        return nullptr;
    }
    if (h.pixelOffset < kHeadersSize || h.pixelOffset > size) {
        BmpError(name, "bad pixel-data offset");
        return nullptr;
    }
    if (!bmp_PixelsFit(h, size)) {
        BmpError(name, "pixel data ends early");
        return nullptr;
    }
    uint64_t stored = bmp_StoredRowSize(width, bits);
    uint64_t rowBytes = (uint64_t)width * (uint64_t)(bits / 8);

    _EIMAGE2* img = img_Create(width, height, bits);
    if (!img) {
        BmpError(name, "no memory for the image");
        return nullptr;
    }
    const uint8_t* src = static_cast<const uint8_t*>(data) + h.pixelOffset;
    // The file holds the bottom row first.
    for (int32_t fileRow = 0; fileRow < height; fileRow++)
        memcpy(img->rows[height - 1 - fileRow], src + (size_t)fileRow * stored, (size_t)rowBytes);
    return img;
}

}  // namespace

_EIMAGE2* img_ParseBmp(const void* data, size_t size) { return data ? ParseBmp(data, size, "(memory)") : nullptr; }

_EIMAGE2* img_LoadBmp(const char* path) {
    if (!path) return nullptr;
    _EFILE* f = efile_Open(path, EFILE_READ | EFILE_SHARED);
    if (!f) return nullptr;
    _EIMAGE2* img = nullptr;
    int32_t size = efile_Size(f);
    if (size >= 0) {
        // A damaged or huge file must not end the program when its buffer
        // cannot be had.
        std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[size > 0 ? size : 1]);
        if (!buf)
            BmpError(path, "no memory for the file");
        else if (efile_Read(f, buf.get(), size) == size)
            img = ParseBmp(buf.get(), (size_t)size, path);
        else
            BmpError(path, "read failed");
    }
    efile_Close(f);
    return img;
}

namespace {

int64_t Encode(uint8_t* out, size_t outSize, int32_t width, int32_t height, int32_t bits, const uint8_t* pixels,
               const uint8_t* palette) {
    if (width < 1 || height < 1 || !pixels || (bits <= 8 && !palette)) return -1;
    uint64_t stored = bmp_StoredRowSize(width, bits);
    uint32_t colours = bits <= 8 ? 1u << bits : 0;
    uint64_t offset = kHeadersSize + (uint64_t)colours * 4;
    uint64_t total = offset + stored * (uint64_t)height;
    if (total > INT32_MAX) return -1;
    if (!out) return (int64_t)total;
    if (outSize < total) return -1;

    LeSpanWriter w(out, outSize);
    w.u8('B');
    w.u8('M');
    w.u32((uint32_t)total);
    w.u32(0);
    w.u32((uint32_t)offset);
    w.u32(kInfoHeaderSize);
    w.i32(width);
    w.i32(height);  // positive: bottom row first
    w.u16(1);
    w.u16((uint16_t)bits);
    w.u32(kBiRgb);
    w.u32((uint32_t)(stored * (uint64_t)height));
    w.i32(2835);  // 72 dpi
    w.i32(2835);
    w.u32(colours);
    w.u32(0);
    for (uint32_t i = 0; i < colours; i++) {
        w.u8(palette[i * 3 + 2]);
        w.u8(palette[i * 3 + 1]);
        w.u8(palette[i * 3 + 0]);
        w.u8(0);
    }
    size_t rowBytes = (size_t)bmp_PackedRowSize(width, bits);
    for (int32_t fileRow = 0; fileRow < height; fileRow++) {
        const uint8_t* row = pixels + (size_t)(height - 1 - fileRow) * rowBytes;
        uint8_t* dst = out + w.pos;
        if (bits == 24) {
            // Stored blue, green, red.
            for (int32_t x = 0; x < width; x++) {
                dst[x * 3 + 0] = row[x * 3 + 2];
                dst[x * 3 + 1] = row[x * 3 + 1];
                dst[x * 3 + 2] = row[x * 3 + 0];
            }
        } else {
            memcpy(dst, row, rowBytes);
        }
        memset(dst + rowBytes, 0, (size_t)stored - rowBytes);
        w.pos += (size_t)stored;
    }
    return w.ok() ? (int64_t)total : -1;
}

int32_t WriteFile(const char* path, int32_t width, int32_t height, int32_t bits, const uint8_t* pixels,
                  const uint8_t* palette) {
    if (!path) return -1;
    int64_t n = Encode(nullptr, 0, width, height, bits, pixels, palette);
    if (n < 0) return -1;
    std::vector<uint8_t> buf((size_t)n);
    if (Encode(buf.data(), buf.size(), width, height, bits, pixels, palette) != n) return -1;
    int h = plat_FileOpen(path, PLAT_OPEN_CREATE);
    if (h < 0) return -1;
    int32_t written = plat_FileWrite(h, buf.data(), (uint32_t)buf.size());
    int closed = plat_FileClose(h);
    return (written == (int32_t)buf.size() && closed == 0) ? 0 : -1;
}

}  // namespace

int64_t bmp_Encode24(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* rgb) {
    return Encode(out, outSize, width, height, 24, rgb, nullptr);
}

int64_t bmp_Encode8(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* pixels,
                    const uint8_t* palette) {
    return Encode(out, outSize, width, height, 8, pixels, palette);
}

int64_t bmp_Encode1(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* rows,
                    const uint8_t* palette) {
    return Encode(out, outSize, width, height, 1, rows, palette);
}

int32_t bmp_Write1(const char* path, int32_t width, int32_t height, const uint8_t* rows, const uint8_t* palette) {
    return WriteFile(path, width, height, 1, rows, palette);
}

int32_t bmp_Write24(const char* path, int32_t width, int32_t height, const uint8_t* rgb) {
    return WriteFile(path, width, height, 24, rgb, nullptr);
}

int32_t bmp_Write8(const char* path, int32_t width, int32_t height, const uint8_t* pixels, const uint8_t* palette) {
    return WriteFile(path, width, height, 8, pixels, palette);
}
