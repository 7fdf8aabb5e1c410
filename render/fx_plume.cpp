// The particle plume of the 3D card: rings of particles blown back from the
// emitter with a brighter core, their colour read from a ramp by their
// falling intensity, handed to the card as one array of records a frame.
#include <algorithm>
#include <cstring>

#include "base/fix.h"
#include "base/math.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "render/fx.h"
#include "render/view.h"
#include "sim/obj.h"

FxPlumeEmitter fx_Plume = {};
int32_t fx_PlumePass = 0;

namespace {

constexpr int32_t kRings = 4;
constexpr int32_t kRingParticles = 10;
constexpr int32_t kRingStep = 51;        // sine-table steps between directions
constexpr int32_t kRingSpacing = 1280;   // axial offset between rings
constexpr int32_t kRampStep = 128;
constexpr int32_t kQuarterTurn = 128;    // sine-table steps from sine to cosine

_HW3D_PARTICLE g_records[FX_PLUME_CAPACITY];

int32_t Random(void) { return math_RandomNext() & 0x7FFFFFFF; }

// Blown straight back, a little faster or slower each.
FixVec3 Velocity(void) { return {0, 0, -(Random() & 0x3F) - 5120}; }

void Emit(FxPlumeEmitter& e, const FixVec3& at, int32_t size, int32_t life, int32_t alpha, int32_t intensity,
          int32_t step, uint8_t core) {
    if (e.count >= e.capacity) return;
    FxPlumeEmitter::Particle& p = e.particles[e.count];
    e.position[e.count] = at;
    p.velocity = Velocity();
    p.size = size;
    p.life = life;
    p.alpha = (uint8_t)std::clamp(alpha, 0, 255);
    p.intensity = intensity;
    p.step = step;
    p.core = core;
    p.active = 1;
    p.colour = e.colours[std::clamp(intensity >> 8, 0, FX_PLUME_RAMP - 1)];
    e.count++;
}

void Emission(FxPlumeEmitter& e) {
    const int32_t* sine = fix_SinTable();
    for (int32_t ring = 0; ring < kRings && e.count < e.capacity; ring++) {
        const int32_t offset = ring * kRingSpacing;
        for (int32_t k = 0; k < kRingParticles && e.count < e.capacity; k++) {
            const int32_t a = Random();
            const int64_t radius = (a & 0x7F) | 0x80;
            const int64_t sn = sine[k * kRingStep], cs = sine[k * kRingStep + kQuarterTurn];
            const FixVec3 at = {e.origin.x + (int32_t)((radius * sn * 24) >> 16),
                                e.origin.y + (int32_t)((radius * cs * 24) >> 16),
                                e.origin.z - offset - (Random() & 0x3FF)};
            const int32_t alpha = (e.ramp >> 9) - ((a >> 5) & 3) + 11;
            Emit(e, at, 10240, 1000, alpha, e.ramp + ((Random() & 0xFFFF) >> 4), -80, 0);
        }
        Emit(e, e.origin, 0x4000, 500, (e.ramp >> 9) + 8, e.ramp + 7168, -48, 1);
    }
}

void Update(FxPlumeEmitter& e) {
    for (int32_t i = 0; i < e.count;) {
        FxPlumeEmitter::Particle& p = e.particles[i];
        p.life--;
        if (p.life <= 0 || p.alpha == 0 || p.intensity <= 0) {
            // The last particle takes the slot; it is looked at next.
            e.count--;
            e.particles[i] = e.particles[e.count];
            e.position[i] = e.position[e.count];
            continue;
        }
        FixVec3& at = e.position[i];
        at.x = (int32_t)((uint32_t)at.x + (uint32_t)p.velocity.x);
        at.y = (int32_t)((uint32_t)at.y + (uint32_t)p.velocity.y);
        at.z = (int32_t)((uint32_t)at.z + (uint32_t)p.velocity.z);
        p.intensity += p.step;
        p.colour = e.colours[std::clamp(p.intensity >> 8, 0, FX_PLUME_RAMP - 1)];
        int32_t alpha = p.alpha - 1;
        if (p.core && p.intensity < 4096) alpha--;
        p.alpha = (uint8_t)std::max(alpha, 0);
        i++;
    }
}

// Model space to view space: the aircraft's rotation, then the view's,
// then the aircraft's place before the camera.
void Submit(FxPlumeEmitter& e, ObjectRecord* aircraft) {
    if (e.count <= 0 || !hw3d_Active || !hw3d_Descriptor.recordList) return;
    static FixVec3 view[FX_PLUME_CAPACITY];
    FixSinCosBlock block;
    fix_SinCosAngles(aircraft->angles.heading, aircraft->angles.pitch, aircraft->angles.roll, &block);
    fix_TrigToDouble(&block);
    for (int32_t i = 0; i < e.count; i++) fix_RotateAllInverse(&view[i], &e.position[i]);
    fix_TrigToDouble(&view_State.viewMatrix);
    for (int32_t i = 0; i < e.count; i++) {
        FixVec3& v = view[i];
        fix_RotateAll(&v, &v);
        v.x = (int32_t)((uint32_t)v.x + (uint32_t)aircraft->viewPosition.x);
        v.y = (int32_t)((uint32_t)v.y + (uint32_t)aircraft->viewPosition.y);
        v.z = (int32_t)((uint32_t)v.z + (uint32_t)aircraft->viewPosition.z);
        const FxPlumeEmitter::Particle& p = e.particles[i];
        _HW3D_PARTICLE& r = g_records[i];
        r = _HW3D_PARTICLE{};
        r.colour = p.colour;
        r.active = p.active;
        r.alpha = p.alpha;
        r.core = p.core;
        r.x = v.x, r.y = v.y, r.z = v.z;
        r.vx = p.velocity.x, r.vy = p.velocity.y, r.vz = p.velocity.z;
        r.life = p.life;
        r.intensity = p.intensity;
        r.intensityStep = p.step;
        r.size = p.size;
        if (v.z > 0x1000) {
            FixScreenPoint s;
            fix_ProjectToScreen(&v, &s);
            r.screenX = s.x, r.screenY = s.y;
            const FixVec3 edge = {v.x + p.size, v.y, v.z};
            FixScreenPoint t;
            fix_ProjectToScreen(&edge, &t);
            r.radius = std::max((t.x - s.x) / 128, 1);
        }
    }
    hw3d_Descriptor.recordList(g_records, e.count, (int32_t)sizeof(_HW3D_PARTICLE));
}

}  // namespace

void fx_PlumeReset(void) {
    FxPlumeEmitter& e = fx_Plume;
    e.enabled = e.fading = 0;
    e.ramp = 0;
    e.count = 0;
    e.capacity = FX_PLUME_CAPACITY;
    e.origin = {0, 0, -0x20000};  // behind the aircraft's centre, at the nozzle
    // Dark smoke, through red and orange, to a white-hot core.
    for (int32_t i = 0; i < FX_PLUME_RAMP; i++) {
        const int32_t t = i * 255 / (FX_PLUME_RAMP - 1);
        const int32_t r = std::min(48 + t * 2, 255), g = std::clamp(t * 2 - 120, 24, 255),
                      b = std::clamp(t * 3 - 480, 24, 255);
        e.colours[i] = (uint32_t)b << 16 | (uint32_t)g << 8 | (uint32_t)r;
    }
}

void fx_PlumeFrame(ObjectRecord* aircraft) {
    FxPlumeEmitter& e = fx_Plume;
    if (!aircraft) return;
    if (e.capacity <= 0 || e.capacity > FX_PLUME_CAPACITY) fx_PlumeReset();
    if (e.enabled) {
        if (e.fading)
            e.ramp = std::max(e.ramp - kRampStep, 0);
        else
            e.ramp = std::min(e.ramp + kRampStep, FX_PLUME_RAMP_MAX);
    }
    Emission(e);
    Update(e);
    Submit(e, aircraft);
}
