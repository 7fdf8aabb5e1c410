// BMP images: the start-up logo and loading pictures read into a plain
// in-memory image (_EIMAGE2) with a table of row pointers, and the writer the
// project uses for frame dumps and for the data builder.
//
// Palettes are not kept by the reader: the caller draws the pixels with its
// own palette.
#pragma once
#include <cstddef>
#include <cstdint>

// Flag bits of _EIMAGE2.
constexpr uint32_t IMG_WIDTH_POW2 = 1;
constexpr uint32_t IMG_HEIGHT_POW2 = 2;

// One named global block "_EIMAGE2": this header, then one row pointer per
// row, then the pixel rows, top row first (rows[i] is row i).
struct _EIMAGE2 {
    uint32_t totalSize;     // bytes of the block's data
    uint32_t flags;         // IMG_*_POW2
    int32_t width;          // pixels
    int32_t height;         // rows
    int32_t bitsPerPixel;   // 8, 16, 24 or 32
    int32_t bytesPerPixel;  // 1, 2, 3 or 4
    int32_t rowSize;        // width x bytes per pixel
    int32_t widthLog2;      // log2 of a power-of-two width, else 0
    int32_t heightLog2;     // likewise for the height
    uint8_t** rows;         // the row-pointer table
    uint8_t* pixels;        // the first pixel row
    uint32_t pixelBytes;    // row size x height
};

// Null for a width or height below 1 or bits other than 8, 16, 24 or 32, or
// when the memory cannot be had.
_EIMAGE2* img_Create(int32_t width, int32_t height, int32_t bitsPerPixel);
void img_Free(_EIMAGE2* image);
// Reads a bottom-up, uncompressed BMP file (8, 16, 24 or 32 bits; 16 and 32
// may carry bit-field masks, which are not interpreted). Null when the file
// is missing, damaged or unsupported, or memory runs out.
_EIMAGE2* img_LoadBmp(const char* path);
// The same for a whole file already in memory.
_EIMAGE2* img_ParseBmp(const void* data, size_t size);
// When value is a positive power of two: stores its log2, sets flagBit in
// *flags and returns 1; otherwise returns 0 and changes nothing.
int32_t img_Log2Exact(int32_t value, int32_t* log2Out, uint32_t* flags, uint32_t flagBit);

// The fields of a BMP file's two headers that its readers look at.
constexpr uint32_t BMP_HEADERS_SIZE = 54;  // file header 14, information header 40
struct BmpHeader {
    uint32_t pixelOffset;  // from the start of the file
    uint32_t infoSize;     // bytes of the information header
    int32_t width;
    int32_t height;        // positive: bottom row first
    int32_t bits;          // per pixel
    uint32_t compression;  // 0 plain, 3 bit-field masks
    uint32_t coloursUsed;  // entries of the colour table; 0 for all the bit count allows
};
// Reads them; false when fewer than BMP_HEADERS_SIZE bytes are given. The
// "BM" signature is the caller's to check, and so is every value.
bool bmp_HeaderRead(const void* data, size_t size, BmpHeader* out);
// Bytes of one stored row: whole bytes, padded to 4.
uint64_t bmp_StoredRowSize(int32_t width, int32_t bits);
// Bytes of one row's pixels alone: whole bytes, no padding.
uint64_t bmp_PackedRowSize(int32_t width, int32_t bits);
// Whether every row's pixels lie within the file's size (the last row's
// padding may be missing). Width and height must be positive.
bool bmp_PixelsFit(const BmpHeader& header, size_t size);
// The rows of a file with fewer than 8 bits per pixel, as packed rows of
// bmp_PackedRowSize bytes, top row first, bits past the width cleared. The
// header must have passed bmp_PixelsFit.
void bmp_PackedRowsRead(const void* data, const BmpHeader& header, uint8_t* out);

// Writers. Rows are given top row first; the file stores them bottom-up,
// each padded to a multiple of 4 bytes. The size of the encoded file, or -1
// for a bad size or when `out` is too small (null `out` only measures).
// 24 bits: `rgb` holds width x 3 bytes a row (red, green, blue).
int64_t bmp_Encode24(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* rgb);
// 8 bits with a 256-entry colour table made from `palette` (768 bytes RGB).
int64_t bmp_Encode8(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* pixels,
                    const uint8_t* palette);
// 1 bit with a 2-entry colour table from `palette` (6 bytes RGB); `rows` are
// packed, (width + 7) / 8 bytes a row, the most significant bit first.
int64_t bmp_Encode1(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* rows,
                    const uint8_t* palette);
// Encoded into a new file at path (replaced if it exists); 0 or -1.
int32_t bmp_Write24(const char* path, int32_t width, int32_t height, const uint8_t* rgb);
int32_t bmp_Write8(const char* path, int32_t width, int32_t height, const uint8_t* pixels, const uint8_t* palette);
int32_t bmp_Write1(const char* path, int32_t width, int32_t height, const uint8_t* rows, const uint8_t* palette);
