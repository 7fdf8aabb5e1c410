// Viewport records: a pixel buffer described as rows, with a clip rectangle
// and the projection centre and scale of the 3D view drawn into it.
#pragma once
#include <cstdint>

// A named global block tagged "_EVP": this header, then `rows` row pointers.
struct _EVP {
    int32_t width;          // at least 1
    int32_t rows;           // at least 1
    int32_t bytesPerPixel;  // at least 1
    int32_t rowBytes;       // width x bytes per pixel
    int32_t pitch;          // equal to rowBytes
    int32_t extraBytes;     // given pitch - rowBytes, never negative
    uint8_t* base;          // first pixel; null while the buffer is not locked
    uint8_t** rowTable;     // the row pointers behind the header
    int32_t clipX1, clipY1, clipX2, clipY2;  // inclusive
    int32_t centreX, centreY;                // (x1 + x2) >> 1, (y1 + y2) >> 1
    int32_t clipWidth, clipHeight;           // x2 - x1 + 1, y2 - y1 + 1
    float projCentreX, projCentreY;
    float scaleX, scaleY;                    // at least 1.0
};

// The current viewport: a copy of one record's header (all zero when none
// is current). Its rowTable still points into the record it came from.
extern _EVP evp_Current;

// Null when the memory cannot be had. Values below 1 become 1.
_EVP* evp_Create(int32_t width, int32_t rows, int32_t bytesPerPixel, int32_t pitch);
void evp_Free(_EVP* evp);
// Stores the base and points every row at base + i x rowBytes. Returns the
// pointer, or null (nothing done) for a null record or pointer.
uint8_t* evp_SetBase(_EVP* evp, uint8_t* base);
void evp_MakeCurrent(const _EVP* evp);
_EVP* evp_SetClip(_EVP* evp, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void evp_ClipAll(_EVP* evp);
void evp_SetCentre(_EVP* evp, float x, float y);
void evp_CentreOnClip(_EVP* evp);
void evp_SetScale(_EVP* evp, float scaleX, float scaleY);
void evp_ScaleToClip(_EVP* evp);
