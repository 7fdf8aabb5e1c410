// PCX images (and uncompressed BMP files through the same entry): read into
// plain pixel blocks at 8 bits per pixel, or converted on the fly to 16 or 32
// bits; PCX writing for screenshots; halving; colour-and-alpha images.
//
// Every call shares one image work record, pal_Second (display/pal.h):
// after a load its width, height and palette describe the last image read,
// and pcx_WriteFile takes width, height and palette from it. Conversion to
// 16 bits uses its first mask set (pal_SetRgbMasks), to 32 bits its second
// (pal_SetRgbMasksSecond). Pixel value 0 of an 8-bit image always becomes 0.
#pragma once
#include <cstdint>

// 0x0801050A: manufacturer 10, version 5, encoding 1, 8 bits per pixel.
constexpr uint32_t PCX_SIGNATURE = 0x0801050A;
constexpr int32_t PCX_HEADER_SIZE = 128;
constexpr int32_t PCX_PALETTE_SIZE = 768;
// The byte before the palette.
constexpr uint8_t PCX_PALETTE_MARKER = 12;

// Blocks are the pixels alone, row after row, width x height x (mode / 8)
// bytes, tagged "PCX Image" ("PCX IMAGE" from memory); the caller frees them
// with mem_Free. A BMP file of fewer than 8 bits a pixel is read as packed
// rows ((width x bits + 7) / 8 bytes each, top row first) whatever the mode
// asked for, and pal_Second.mode becomes its bit count. Null for a missing, unrecognised or damaged file, a mode
// other than 8, 16 or 32, or no memory (with the "No Mem" box).
uint8_t* pcx_Load(const char* fileName);  // mode 8
void* pcx_LoadImageEx(const char* fileName, int32_t mode);
// A whole PCX file already in memory.
void* pcx_LoadIntoBuffer(const void* data, int32_t length, int32_t mode);
// Writes pal_Second.width x pal_Second.height 8-bit pixels and
// pal_Second.palette; 0, or -1 when the file cannot be made or written.
int32_t pcx_WriteFile(const char* fileName, const uint8_t* pixels);
// In place: every second pixel of every second row; halves pal_Second's
// width and height. Nothing for a packed image (mode below 8).
void pcx_HalveImage(uint8_t* pixels);
// 2 x count bytes tagged "alpha image": colour, alpha of each pixel.
uint8_t* pcx_MakeAlphaImage(const uint8_t* colour, const uint8_t* alpha, int32_t count);
// Decodes run-length data (length bytes) into pixelCount pixels at most;
// runs may cross rows. Returns the pixels written (less than pixelCount when
// the data ends early).
int32_t pcx_DecodeRle(const uint8_t* data, int32_t length, uint8_t* destination, int32_t pixelCount);
