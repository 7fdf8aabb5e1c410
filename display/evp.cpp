// Viewport records.
#include "display/evp.h"

#include <cstring>

#include "base/mem.h"

_EVP evp_Current;

_EVP* evp_Create(int32_t width, int32_t rows, int32_t bytesPerPixel, int32_t pitch) {
    if (width < 1) width = 1;
    if (rows < 1) rows = 1;
    if (bytesPerPixel < 1) bytesPerPixel = 1;
    int64_t rowBytes = (int64_t)width * bytesPerPixel;
    int64_t blockSize = (int64_t)sizeof(_EVP) + (int64_t)rows * (int64_t)sizeof(uint8_t*);
    if (rowBytes > INT32_MAX || blockSize > INT32_MAX) return nullptr;
    auto* evp = (_EVP*)mem_GlobalAllocNamed("_EVP", (int32_t)blockSize);
    if (!evp) return nullptr;
    evp->width = width;
    evp->rows = rows;
    evp->bytesPerPixel = bytesPerPixel;
    evp->rowBytes = (int32_t)rowBytes;
    evp->pitch = (int32_t)rowBytes;
    evp->extraBytes = pitch > rowBytes ? (int32_t)(pitch - rowBytes) : 0;
    evp->base = nullptr;
    evp->rowTable = (uint8_t**)(evp + 1);
    evp_ClipAll(evp);
    evp_CentreOnClip(evp);
    evp_ScaleToClip(evp);
    return evp;
}

void evp_Free(_EVP* evp) {
    if (!evp) return;
    // A current copy of this record would keep pointing into its freed rows.
    if (evp_Current.base == evp->base || evp_Current.rowTable == evp->rowTable) evp_MakeCurrent(nullptr);
    mem_GlobalFreeNamed(evp);
}

uint8_t* evp_SetBase(_EVP* evp, uint8_t* base) {
    if (!evp || !base) return nullptr;
    evp->base = base;
    for (int32_t i = 0; i < evp->rows; i++) evp->rowTable[i] = base + (size_t)i * (size_t)evp->rowBytes;
    return base;
}

void evp_MakeCurrent(const _EVP* evp) {
    if (evp)
        evp_Current = *evp;
    else
        memset(&evp_Current, 0, sizeof evp_Current);
}

_EVP* evp_SetClip(_EVP* evp, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!evp) return nullptr;
    if (x1 > x2) {
        int32_t t = x1;
        x1 = x2;
        x2 = t;
    }
    if (y1 > y2) {
        int32_t t = y1;
        y1 = y2;
        y2 = t;
    }
    if (x1 < 0) x1 = 0;
    if (y1 < 0) y1 = 0;
    if (x2 > evp->width - 1) x2 = evp->width - 1;
    if (y2 > evp->rows - 1) y2 = evp->rows - 1;
    evp->clipX1 = x1;
    evp->clipY1 = y1;
    evp->clipX2 = x2;
    evp->clipY2 = y2;
    evp->centreX = (int32_t)(((int64_t)x1 + x2) >> 1);
    evp->centreY = (int32_t)(((int64_t)y1 + y2) >> 1);
    evp->clipWidth = (int32_t)((int64_t)x2 - x1 + 1);
    evp->clipHeight = (int32_t)((int64_t)y2 - y1 + 1);
    return evp;
}

void evp_ClipAll(_EVP* evp) {
    if (evp) evp_SetClip(evp, 0, 0, evp->width - 1, evp->rows - 1);
}

void evp_SetCentre(_EVP* evp, float x, float y) {
    if (!evp) return;
    evp->projCentreX = x;
    evp->projCentreY = y;
}

void evp_CentreOnClip(_EVP* evp) {
    if (evp) evp_SetCentre(evp, (float)evp->centreX, (float)evp->centreY);
}

void evp_SetScale(_EVP* evp, float scaleX, float scaleY) {
    if (!evp) return;
    evp->scaleX = scaleX < 1.0f ? 1.0f : scaleX;
    evp->scaleY = scaleY < 1.0f ? 1.0f : scaleY;
}

void evp_ScaleToClip(_EVP* evp) {
    if (evp) evp_SetScale(evp, (float)evp->clipWidth, (float)evp->clipWidth);
}
