// Files compressed in the SZDD format: a 14-byte header ("SZDD", 0x88 0xF0
// 0x27 0x33, method 'A', one byte, the expanded length in 32 bits), then
// LZSS data over a 4096-byte window of blanks written from 4096 - 16.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t SZDD_HEADER_SIZE = 14;

// 1 when the bytes start with the SZDD signature and method 'A'.
int32_t szdd_IsHeader(const uint8_t* data, size_t size);
// Expands a whole SZDD image into out. 0, or -1 when it is not one, or its
// data ends before the length it promises.
int32_t szdd_Expand(const uint8_t* data, size_t size, std::vector<uint8_t>* out);
