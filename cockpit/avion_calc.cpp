// Bearing and closure rate for the HUD and the MFD pages; the radar sweep
// step of the situation page.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "cockpit/avion.h"
#include "cockpit/avionkrx.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "shell/runner.h"
#include "sim/flight.h"
#include "sim/obj.h"

void avion_BearingC(const FixWorldPos* from, const FixWorldPos* to, int32_t* out) {
    if (!from || !to || !out) return;
    *out = obj_BearingHalfScale(from, to);
}

namespace {

int32_t Separation(const ObjectRecord* a, const ObjectRecord* b, bool advanced) {
    FixVec3 d;
    d.x = (int32_t)(b->position.x - a->position.x);
    d.y = (int32_t)(b->position.y - a->position.y);
    d.z = (int32_t)(b->position.z - a->position.z);
    if (advanced) {
        d.x += b->velocity.x - a->velocity.x;
        d.y += b->velocity.y - a->velocity.y;
        d.z += b->velocity.z - a->velocity.z;
    }
    return fix_ApproxLength(&d);
}

uint32_t g_lastSweepTick = 0;

};  // namespace

int32_t avion_ClosureRate(const ObjectRecord* own, const ObjectRecord* other) {
    if (!own || !other) return 0;
    const int64_t diff = (int64_t)Separation(own, other, false) - Separation(own, other, true);
    const int64_t magnitude = ((std::llabs(diff) * 16) * 1552168) >> 32;
    const int32_t rate = math_AirTableLookupInt((int32_t)(magnitude / 665), (int32_t)own->position.y);
    const int64_t size = std::min<int64_t>(std::llabs((int64_t)rate), INT32_MAX);
    return (int32_t)(diff < 0 ? -size : size);
}

void mfd_RadarSweepStep(void) {
    avion_RadarRange = mfd_MapZoom;
    const uint32_t now = app_TickCount.load(std::memory_order_acquire);
    uint32_t n = now - g_lastSweepTick;
    if (n > 96) n = 96;
    for (uint32_t i = 0; i < 2 * n; i++) avion_RadarSweep();
    g_lastSweepTick = now;
    vcp_PanelDirty = 1;
}
