// Float vector and matrix library.
#include "base/math.h"

#include <cmath>
#include <cstring>
#include <ctime>

#include "display/evp.h"

namespace {

// The row and column turns use this single-precision factor; the pair turn
// uses pi / 180 in double precision.
constexpr float DEG_TO_RAD = 0.017453f;
constexpr double RAD_TO_DEG = 57.29577951308232;
constexpr double PI = 3.14159265358979323846;
constexpr uint32_t RANDOM_SEED_START = 0x2B0749C1;

// Module record: the random state and the angles left for the caller by the
// relative heading/pitch routines.
struct MathModule {
    uint32_t randomSeed16;   // the 16-bit stream
    int32_t randomFixed;     // range draws return their lower bound
    uint32_t randomSeed;     // math_Random
    uint32_t randomSeed2;    // math_Random2
    float relHeading;
    float relPitch;
};
MathModule math_Module = {0, 0, RANDOM_SEED_START, RANDOM_SEED_START, 0.0f, 0.0f};

float& at(MathVec3& v, int i) {
    return i == 0 ? v.x : i == 1 ? v.y : v.z;
}

MathVec3 row(const MathMat33* m, int i) {
    return {m->m[i][0], m->m[i][1], m->m[i][2]};
}

void setRow(MathMat33* m, int i, const MathVec3& v) {
    m->m[i][0] = v.x;
    m->m[i][1] = v.y;
    m->m[i][2] = v.z;
}

double dot(const MathVec3& a, const MathVec3& b) {
    return (double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z;
}

// Rows weighted by v: local to world.
MathVec3 weighRows(const MathMat33* m, const MathVec3& v) {
    MathVec3 r;
    for (int j = 0; j < 3; j++)
        at(r, j) = (float)((double)m->m[0][j] * v.x + (double)m->m[1][j] * v.y +
                           (double)m->m[2][j] * v.z);
    return r;
}

// M v: world to local.
MathVec3 applyRows(const MathMat33* m, const MathVec3& v) {
    MathVec3 r;
    for (int i = 0; i < 3; i++) at(r, i) = (float)dot(row(m, i), v);
    return r;
}

void normalize3(MathVec3& v) {
    double len = std::sqrt((double)v.x * v.x + (double)v.y * v.y + (double)v.z * v.z);
    if (len == 0.0) return;
    double k = 1.0 / len;
    v.x = (float)(v.x * k);
    v.y = (float)(v.y * k);
    v.z = (float)(v.z * k);
}

void rotateRows(MathMat33* m, int i, int j, float angle) {
    float t = angle * DEG_TO_RAD;
    double c = std::cos((double)t), s = std::sin((double)t);
    for (int k = 0; k < 3; k++) {
        double a = m->m[i][k], b = m->m[j][k];
        m->m[i][k] = (float)(c * a + s * b);
        m->m[j][k] = (float)(c * b - s * a);
    }
}

void rotateCols(MathMat33* m, int u, int v, float angle) {
    float t = angle * DEG_TO_RAD;
    double c = std::cos((double)t), s = std::sin((double)t);
    for (int k = 0; k < 3; k++) {
        double a = m->m[k][u], b = m->m[k][v];
        m->m[k][u] = (float)(c * a + s * b);
        m->m[k][v] = (float)(c * b - s * a);
    }
}

void rotateAboutRow(MathVec3* v, const MathMat33* m, int axis, float angle) {
    double a[3];
    for (int i = 0; i < 3; i++) a[i] = dot(row(m, i), *v);
    int j = axis == 0 ? 1 : 0;
    int k = axis == 2 ? 1 : 2;
    float t = angle * DEG_TO_RAD;
    double c = std::cos((double)t), s = std::sin((double)t);
    double aj = a[j] * c + a[k] * s;
    double ak = a[k] * c - a[j] * s;
    a[j] = aj;
    a[k] = ak;
    for (int n = 0; n < 3; n++)
        at(*v, n) = (float)(a[0] * m->m[0][n] + a[1] * m->m[1][n] + a[2] * m->m[2][n]);
}

void mat33RotateAboutRow(MathMat33* target, const MathMat33* basis, int axis, float angle) {
    MathMat33 b = *basis;  // the target may be the basis itself
    for (int i = 0; i < 3; i++) {
        MathVec3 r = row(target, i);
        rotateAboutRow(&r, &b, axis, angle);
        setRow(target, i, r);
    }
}

float angleToRow(const MathVec3* v, const MathMat33* m, int i, bool negate) {
    MathVec3 r = row(m, i);
    if (negate) math_Vec3Negate(&r);
    return math_AngleBetween(v, &r);
}

float length2(double x, double y) {
    double s = x * x + y * y;
    return s > 0.0 ? (float)std::sqrt(s) : 0.0f;
}

float length3(double x, double y, double z) {
    double s = x * x + y * y + z * z;
    return s > 0.0 ? (float)std::sqrt(s) : 0.0f;
}

uint32_t rol(uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}

void frameMoveLevel(MathFrame* f, int r, float distance) {
    MathMat33 level = f->rot;
    math_Mat33LevelUp(&level);
    f->pos.x += distance * level.m[r][0];
    f->pos.y += distance * level.m[r][1];
    f->pos.z += distance * level.m[r][2];
}

// Square-root mantissas: the lowest exponent bit and the top 7 mantissa bits
// pick the entry.
struct SqrtTable {
    uint32_t v[256];
    SqrtTable() {
        for (int i = 0; i < 256; i++) {
            double x = i < 128 ? 2.0 * (1.0 + i / 128.0) : 1.0 + (i - 128) / 128.0;
            float r = (float)std::sqrt(x);
            uint32_t bits;
            std::memcpy(&bits, &r, 4);
            v[i] = bits & 0x7FFFFF;
        }
    }
};

}  // namespace

// ---- Frames ----

void math_FrameIdentity(MathFrame* f) {
    f->pos = {0.0f, 0.0f, 0.0f};
    math_Mat33Identity(&f->rot);
}

void math_Mat34Copy(MathFrame* dst, const MathFrame* src) {
    *dst = *src;
}

void math_FramePointToWorld(const MathFrame* f, const MathVec3* p, MathVec3* out) {
    MathVec3 r = weighRows(&f->rot, *p);
    out->x = r.x + f->pos.x;
    out->y = r.y + f->pos.y;
    out->z = r.z + f->pos.z;
}

void math_FrameDirToWorld(const MathFrame* f, const MathVec3* d, MathVec3* out) {
    *out = weighRows(&f->rot, *d);
}

void math_FrameTranslate(const MathFrame* f, const MathVec3* p, MathVec3* out) {
    out->x = p->x + f->pos.x;
    out->y = p->y + f->pos.y;
    out->z = p->z + f->pos.z;
}

void math_FramePointToLocal(const MathFrame* f, const MathVec3* p, MathVec3* out) {
    MathVec3 d = {p->x - f->pos.x, p->y - f->pos.y, p->z - f->pos.z};
    *out = applyRows(&f->rot, d);
}

void math_FrameDirToLocal(const MathFrame* f, const MathVec3* d, MathVec3* out) {
    *out = applyRows(&f->rot, *d);
}

void math_FrameUntranslate(const MathFrame* f, const MathVec3* p, MathVec3* out) {
    out->x = p->x - f->pos.x;
    out->y = p->y - f->pos.y;
    out->z = p->z - f->pos.z;
}

void math_FrameMoveRow1(MathFrame* f, float distance) {
    math_Vec3AddRow0Scaled(&f->pos, &f->rot, distance);
}
void math_FrameMoveRow2(MathFrame* f, float distance) {
    math_Vec3AddRow1Scaled(&f->pos, &f->rot, distance);
}
void math_FrameMoveRow3(MathFrame* f, float distance) {
    math_Vec3AddRow2Scaled(&f->pos, &f->rot, distance);
}
void math_FrameMoveRow1Back(MathFrame* f, float distance) {
    math_Vec3SubRow0Scaled(&f->pos, &f->rot, distance);
}
void math_FrameMoveRow2Back(MathFrame* f, float distance) {
    math_Vec3SubRow1Scaled(&f->pos, &f->rot, distance);
}
void math_FrameMoveRow3Back(MathFrame* f, float distance) {
    math_Vec3SubRow2Scaled(&f->pos, &f->rot, distance);
}

// ---- Matrices ----

void math_Mat33Identity(MathMat33* m) {
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) m->m[i][j] = i == j ? 1.0f : 0.0f;
}

void math_Mat33Copy(MathMat33* dst, const MathMat33* src) {
    *dst = *src;
}

void math_Mat33Transpose(MathMat33* m) {
    for (int i = 0; i < 3; i++)
        for (int j = i + 1; j < 3; j++) {
            float t = m->m[i][j];
            m->m[i][j] = m->m[j][i];
            m->m[j][i] = t;
        }
}

void math_Mat33FromAngles(MathMat33* m, float a, float b, float c) {
    math_Mat33Identity(m);
    for (int i = 0; i < 3; i++) {
        math_RotatePairDegrees(&m->m[i][0], &m->m[i][1], a);
        math_RotatePairDegrees(&m->m[i][1], &m->m[i][2], -b);
        math_RotatePairDegrees(&m->m[i][0], &m->m[i][2], -c);
    }
}

void math_Mat33ToAngles(const MathMat33* m, MathVec3* out) {
    MathMat33 w = *m;
    float first = math_WrapAngle(math_Atan2Degrees(w.m[2][0], w.m[2][2]));
    math_RotatePairDegrees(&w.m[1][0], &w.m[1][2], first);
    math_RotatePairDegrees(&w.m[2][0], &w.m[2][2], first);
    float second = math_WrapAngle(math_Atan2Degrees(w.m[2][1], w.m[2][2]));
    math_RotatePairDegrees(&w.m[1][1], &w.m[1][2], second);
    float third = math_WrapAngle(-math_Atan2Degrees(w.m[1][0], w.m[1][1]));
    out->x = first;
    out->y = second;
    out->z = third;
}

void math_RotateRows01(MathMat33* m, float angle) { rotateRows(m, 0, 1, angle); }
void math_RotateRows02(MathMat33* m, float angle) { rotateRows(m, 0, 2, angle); }
void math_RotateRows12(MathMat33* m, float angle) { rotateRows(m, 1, 2, angle); }
void math_RotateRows01Neg(MathMat33* m, float angle) { rotateRows(m, 0, 1, -angle); }
void math_RotateRows02Neg(MathMat33* m, float angle) { rotateRows(m, 0, 2, -angle); }
void math_RotateRows12Neg(MathMat33* m, float angle) { rotateRows(m, 1, 2, -angle); }

void math_RotateCols01(MathMat33* m, float angle) { rotateCols(m, 0, 1, angle); }
void math_RotateCols02(MathMat33* m, float angle) { rotateCols(m, 0, 2, angle); }
void math_RotateCols12(MathMat33* m, float angle) { rotateCols(m, 1, 2, angle); }
void math_RotateCols01Neg(MathMat33* m, float angle) { rotateCols(m, 0, 1, -angle); }
void math_RotateCols02Neg(MathMat33* m, float angle) { rotateCols(m, 0, 2, -angle); }
void math_RotateCols12Neg(MathMat33* m, float angle) { rotateCols(m, 1, 2, -angle); }

void math_RotateAboutRow0(MathVec3* v, const MathMat33* m, float angle) { rotateAboutRow(v, m, 0, angle); }
void math_RotateAboutRow1(MathVec3* v, const MathMat33* m, float angle) { rotateAboutRow(v, m, 1, angle); }
void math_RotateAboutRow2(MathVec3* v, const MathMat33* m, float angle) { rotateAboutRow(v, m, 2, angle); }
void math_RotateAboutRow0Neg(MathVec3* v, const MathMat33* m, float angle) { rotateAboutRow(v, m, 0, -angle); }
void math_RotateAboutRow1Neg(MathVec3* v, const MathMat33* m, float angle) { rotateAboutRow(v, m, 1, -angle); }
void math_RotateAboutRow2Neg(MathVec3* v, const MathMat33* m, float angle) { rotateAboutRow(v, m, 2, -angle); }

void math_Mat33RotateAboutRow0(MathMat33* t, const MathMat33* b, float angle) { mat33RotateAboutRow(t, b, 0, angle); }
void math_Mat33RotateAboutRow1(MathMat33* t, const MathMat33* b, float angle) { mat33RotateAboutRow(t, b, 1, angle); }
void math_Mat33RotateAboutRow2(MathMat33* t, const MathMat33* b, float angle) { mat33RotateAboutRow(t, b, 2, angle); }
void math_Mat33RotateAboutRow0Neg(MathMat33* t, const MathMat33* b, float angle) { mat33RotateAboutRow(t, b, 0, -angle); }
void math_Mat33RotateAboutRow1Neg(MathMat33* t, const MathMat33* b, float angle) { mat33RotateAboutRow(t, b, 1, -angle); }
void math_Mat33RotateAboutRow2Neg(MathMat33* t, const MathMat33* b, float angle) { mat33RotateAboutRow(t, b, 2, -angle); }

void math_Mat33Mul(const MathMat33* a, const MathMat33* b, MathMat33* out) {
    MathMat33 r;
    for (int i = 0; i < 3; i++) setRow(&r, i, weighRows(b, row(a, i)));
    *out = r;
}

void math_Mat33MulT(const MathMat33* a, const MathMat33* b, MathMat33* out) {
    MathMat33 r;
    for (int i = 0; i < 3; i++) setRow(&r, i, applyRows(b, row(a, i)));
    *out = r;
}

void math_Mat33MulInPlace(MathMat33* m, const MathMat33* n) {
    MathMat33 c = *m;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            double s = 0.0;
            for (int k = 0; k < 3; k++) {
                float p = n->m[i][k], q = c.m[k][j];
                if (p != 0.0f && q != 0.0f) s += (double)p * q;
            }
            m->m[i][j] = (float)s;
        }
}

void math_Mat33MulInPlace2(MathMat33* m, const MathMat33* n) {
    MathMat33 c = *m;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            double s = 0.0;
            for (int k = 0; k < 3; k++) {
                float p = n->m[k][i], q = c.m[k][j];
                if (p != 0.0f && q != 0.0f) s += (double)p * q;
            }
            m->m[i][j] = (float)s;
        }
}

int32_t math_FrameCheck(const MathMat33* m) {
    for (int i = 0; i < 9; i++)
        if (std::isnan(m->m[i / 3][i % 3])) return -1 - i;
    for (int i = 0; i < 3; i++) {
        MathVec3 r = row(m, i);
        double len = std::sqrt(dot(r, r));
        if (!(len > 0.9999 && len < 1.0001)) return -10 - i;
    }
    for (int i = 0; i < 3; i++) {
        double d = dot(row(m, i), row(m, (i + 1) % 3));
        if (!(d > -0.0001 && d < 0.0001)) return -13 - i;
    }
    return 0;
}

void math_FrameFromTriangle(const MathVec3* a, const MathVec3* b, const MathVec3* c, MathFrame* out) {
    const MathVec3* corner[3] = {a, b, c};
    // Length of the edge opposite each corner.
    float opp[3] = {math_Distance3D(b, c), math_Distance3D(c, a), math_Distance3D(a, b)};
    int pi = 0;
    for (int i = 1; i < 3; i++)
        if (opp[i] > opp[pi]) pi = i;
    int o1 = (pi + 1) % 3, o2 = (pi + 2) % 3;
    if (o1 > o2) {
        int t = o1;
        o1 = o2;
        o2 = t;
    }
    const MathVec3* P = corner[pi];
    float d1 = math_Distance3D(P, corner[o1]), d2 = math_Distance3D(P, corner[o2]);
    const MathVec3* Q = d2 > d1 ? corner[o2] : corner[o1];
    const MathVec3* R = d2 > d1 ? corner[o1] : corner[o2];
    MathVec3 u = {Q->x - P->x, Q->y - P->y, Q->z - P->z};
    MathVec3 w = {R->x - P->x, R->y - P->y, R->z - P->z};
    MathVec3 r0, r1;
    math_CrossProduct(&w, &u, &r0);
    math_CrossProduct(&u, &r0, &r1);
    MathVec3 r2 = u;
    normalize3(r0);
    normalize3(r1);
    normalize3(r2);
    out->pos = *P;
    setRow(&out->rot, 0, r0);
    setRow(&out->rot, 1, r1);
    setRow(&out->rot, 2, r2);
}

void math_FrameMarkerPoints(const MathFrame* f, float d, MathVec3 out[3]) {
    MathVec3 fwd = {0.0f, 0.0f, d};
    MathVec3 up = {0.0f, d * 0.5f, 0.0f};
    out[0] = f->pos;
    math_FramePointToWorld(f, &fwd, &out[1]);
    math_FramePointToWorld(f, &up, &out[2]);
}

float math_AngleToRow0(const MathVec3* v, const MathMat33* m) { return angleToRow(v, m, 0, false); }
float math_AngleToRow1(const MathVec3* v, const MathMat33* m) { return angleToRow(v, m, 1, false); }
float math_AngleToRow2(const MathVec3* v, const MathMat33* m) { return angleToRow(v, m, 2, false); }
float math_AngleToRow0Neg(const MathVec3* v, const MathMat33* m) { return angleToRow(v, m, 0, true); }
float math_AngleToRow1Neg(const MathVec3* v, const MathMat33* m) { return angleToRow(v, m, 1, true); }
float math_AngleToRow2Neg(const MathVec3* v, const MathMat33* m) { return angleToRow(v, m, 2, true); }

void math_RelativeHeadingPitch(const MathVec3* v, const MathMat33* m, float* heading, float* pitch) {
    MathVec3 l = applyRows(m, *v);
    float h = math_WrapAngle(math_Atan2Degrees(-l.x, l.z));
    // Turn the direction back by the heading so that its x vanishes and z
    // holds the horizontal length the pitch is measured against.
    math_RotatePairDegreesNeg(&l.x, &l.z, h);
    float p = math_WrapAngle(math_Atan2Degrees(-l.y, l.z));
    math_Module.relHeading = h;
    math_Module.relPitch = p;
    if (heading) *heading = h;
    if (pitch) *pitch = p;
}

void math_RelativePitchHeading(const MathVec3* v, const MathMat33* m, float* heading, float* pitch) {
    MathVec3 l = applyRows(m, *v);
    float p = math_WrapAngle(math_Atan2Degrees(-l.y, l.z));
    math_RotatePairDegreesNeg(&l.y, &l.z, p);
    float h = math_WrapAngle(math_Atan2Degrees(-l.x, l.z));
    math_Module.relHeading = h;
    math_Module.relPitch = p;
    if (heading) *heading = h;
    if (pitch) *pitch = p;
}

void math_RelativeAngles(float* heading, float* pitch) {
    if (heading) *heading = math_Module.relHeading;
    if (pitch) *pitch = math_Module.relPitch;
}

void math_FrameTurnToward(const MathVec3* target, MathFrame* f) {
    MathVec3 t = {target->x - f->pos.x, target->y - f->pos.y, target->z - f->pos.z};
    math_Mat33Identity(&f->rot);
    float h = math_Atan2Degrees(t.x, t.z);
    math_RotateRows02Neg(&f->rot, h);
    math_RotatePairDegrees(&t.x, &t.z, h);
    float p = math_Atan2Degrees(t.y, t.z);
    math_RotateRows12Neg(&f->rot, p);
}

void math_FrameTurnUpToward(const MathVec3* target, MathFrame* f) {
    MathVec3 t;
    math_FramePointToLocal(f, target, &t);
    float a = math_Atan2Degrees(t.y, t.z) - 90.0f;
    math_RotateRows12Neg(&f->rot, a);
    math_RotatePairDegrees(&t.y, &t.z, a);
    float b = math_Atan2Degrees(t.x, t.y);
    math_RotateRows01Neg(&f->rot, b);
}

void math_FrameLevel(MathFrame* f) {
    float h = math_WrapAngle(math_Atan2Degrees(f->rot.m[2][0], f->rot.m[2][2]));
    math_RotateCols02Neg(&f->rot, h);
}

void math_Mat33TurnAbout(const MathVec3* v, MathMat33* m, float angle) {
    MathVec3 r1 = row(m, 1);
    if (math_NotParallel(&r1, v) == 0) return;
    MathMat33 basis;
    MathVec3 p, q;
    math_CrossProduct(v, &r1, &p);
    math_CrossProduct(&p, &r1, &q);
    normalize3(p);
    normalize3(r1);
    normalize3(q);
    setRow(&basis, 0, p);
    setRow(&basis, 1, r1);
    setRow(&basis, 2, q);
    math_Mat33RotateAboutRow0(m, &basis, angle);
}

void math_Mat33LevelUp(MathMat33* m) {
    math_Mat33LevelUpPartial(m, 1.0f);
}

void math_Mat33LevelUpPartial(MathMat33* m, float fraction) {
    MathVec3 up = {0.0f, 1.0f, 0.0f};
    MathVec3 r1 = row(m, 1);
    float angle = math_AngleBetween(&r1, &up);
    math_Mat33TurnAbout(&up, m, angle * fraction);
}

void math_FrameMoveLevelRow3(MathFrame* f, float distance) { frameMoveLevel(f, 2, distance); }
void math_FrameMoveLevelRow3Back(MathFrame* f, float distance) { frameMoveLevel(f, 2, -distance); }
void math_FrameMoveLevelRow1Back(MathFrame* f, float distance) { frameMoveLevel(f, 0, -distance); }
void math_FrameMoveLevelRow1(MathFrame* f, float distance) { frameMoveLevel(f, 0, distance); }

void math_FrameCompose(const MathFrame* child, const MathFrame* parent, MathFrame* out) {
    MathVec3 pos;
    math_FramePointToWorld(parent, &child->pos, &pos);
    MathMat33 rot;
    math_Mat33Mul(&child->rot, &parent->rot, &rot);
    out->pos = pos;
    out->rot = rot;
}

void math_FrameRelative(const MathFrame* f, const MathFrame* reference, MathFrame* out) {
    MathVec3 pos;
    math_FramePointToLocal(reference, &f->pos, &pos);
    MathMat33 rot;
    math_Mat33MulT(&f->rot, &reference->rot, &rot);
    out->pos = pos;
    out->rot = rot;
}

void math_Mat33MulVec(const MathMat33* m, MathVec3* v) {
    *v = applyRows(m, *v);
}

void math_Mat33MulVec2(const MathMat33* m, MathVec3* v) {
    *v = weighRows(m, *v);
}

// ---- Vectors ----

void math_Vec3Zero(MathVec3* v) { *v = {0.0f, 0.0f, 0.0f}; }
void math_Vec3Set(MathVec3* v, float x, float y, float z) { *v = {x, y, z}; }
void math_Vec3Copy(MathVec3* dst, const MathVec3* src) { *dst = *src; }
void math_Vec3Negate(MathVec3* v) { *v = {-v->x, -v->y, -v->z}; }

void math_Vec3Add(MathVec3* dst, const MathVec3* src) {
    dst->x += src->x;
    dst->y += src->y;
    dst->z += src->z;
}

void math_Vec3Sub(MathVec3* dst, const MathVec3* src) {
    dst->x -= src->x;
    dst->y -= src->y;
    dst->z -= src->z;
}

void math_Vec3SubReverse(MathVec3* dst, const MathVec3* src) {
    *dst = {src->x - dst->x, src->y - dst->y, src->z - dst->z};
}

void math_Vec3Average(MathVec3* dst, const MathVec3* src) {
    *dst = {(dst->x + src->x) * 0.5f, (dst->y + src->y) * 0.5f, (dst->z + src->z) * 0.5f};
}

void math_Vec3Scale(MathVec3* v, float s) { *v = {v->x * s, v->y * s, v->z * s}; }

void math_Vec3ScaleXZ(MathVec3* v, float s) {
    v->x *= s;
    v->z *= s;
}

void math_Vec3Lerp(MathVec3* dst, const MathVec3* a, const MathVec3* b, float t) {
    double u = 1.0 - (double)t;
    *dst = {(float)(a->x * u + (double)b->x * t), (float)(a->y * u + (double)b->y * t),
            (float)(a->z * u + (double)b->z * t)};
}

void math_Vec3Normalize(MathVec3* v) {
    normalize3(*v);
}

void math_Vec3SetLength(MathVec3* v, float length) {
    float len = math_Vec3Length(v);
    if (len == 0.0f || length == 0.0f) {
        math_Vec3Zero(v);
        return;
    }
    math_Vec3Scale(v, length / len);
}

void math_Vec3ClampLength(MathVec3* v, float limit) {
    if (limit == 0.0f) {
        math_Vec3Zero(v);
        return;
    }
    float len = math_Vec3Length(v);
    if (len > limit) math_Vec3Scale(v, limit / len);
}

void math_Vec3AddX(MathVec3* v, float s) { v->x += s; }
void math_Vec3AddY(MathVec3* v, float s) { v->y += s; }
void math_Vec3AddZ(MathVec3* v, float s) { v->z += s; }
void math_Vec3SubX(MathVec3* v, float s) { v->x -= s; }
void math_Vec3SubY(MathVec3* v, float s) { v->y -= s; }
void math_Vec3SubZ(MathVec3* v, float s) { v->z -= s; }

static void addRowScaled(MathVec3* v, const MathMat33* m, int r, float s) {
    v->x += s * m->m[r][0];
    v->y += s * m->m[r][1];
    v->z += s * m->m[r][2];
}

void math_Vec3AddRow0Scaled(MathVec3* v, const MathMat33* m, float s) { addRowScaled(v, m, 0, s); }
void math_Vec3AddRow1Scaled(MathVec3* v, const MathMat33* m, float s) { addRowScaled(v, m, 1, s); }
void math_Vec3AddRow2Scaled(MathVec3* v, const MathMat33* m, float s) { addRowScaled(v, m, 2, s); }
void math_Vec3SubRow0Scaled(MathVec3* v, const MathMat33* m, float s) { addRowScaled(v, m, 0, -s); }
void math_Vec3SubRow1Scaled(MathVec3* v, const MathMat33* m, float s) { addRowScaled(v, m, 1, -s); }
void math_Vec3SubRow2Scaled(MathVec3* v, const MathMat33* m, float s) { addRowScaled(v, m, 2, -s); }

void math_Vec2Zero(MathVec2* v) { *v = {0.0f, 0.0f}; }
void math_Vec2Set(MathVec2* v, float x, float y) { *v = {x, y}; }
void math_Vec2Copy(MathVec2* dst, const MathVec2* src) { *dst = *src; }
void math_Vec2Negate(MathVec2* v) { *v = {-v->x, -v->y}; }

void math_Vec2Add(MathVec2* dst, const MathVec2* src) {
    dst->x += src->x;
    dst->y += src->y;
}

void math_Vec2Sub(MathVec2* dst, const MathVec2* src) {
    dst->x -= src->x;
    dst->y -= src->y;
}

void math_Vec2SubReverse(MathVec2* dst, const MathVec2* src) {
    *dst = {src->x - dst->x, src->y - dst->y};
}

void math_Vec2Average(MathVec2* dst, const MathVec2* src) {
    *dst = {(dst->x + src->x) * 0.5f, (dst->y + src->y) * 0.5f};
}

void math_Vec2Scale(MathVec2* v, float s) { *v = {v->x * s, v->y * s}; }

void math_Vec2Lerp(MathVec2* dst, const MathVec2* a, const MathVec2* b, float t) {
    double u = 1.0 - (double)t;
    *dst = {(float)(a->x * u + (double)b->x * t), (float)(a->y * u + (double)b->y * t)};
}

void math_Vec2Normalize(MathVec2* v) {
    double len = std::sqrt((double)v->x * v->x + (double)v->y * v->y);
    if (len == 0.0) return;
    double k = 1.0 / len;
    *v = {(float)(v->x * k), (float)(v->y * k)};
}

void math_Vec2SetLength(MathVec2* v, float length) {
    float len = math_Vec2Length(v);
    if (len == 0.0f || length == 0.0f) {
        math_Vec2Zero(v);
        return;
    }
    math_Vec2Scale(v, length / len);
}

void math_Vec2ClampLength(MathVec2* v, float limit) {
    if (limit == 0.0f) {
        math_Vec2Zero(v);
        return;
    }
    float len = math_Vec2Length(v);
    if (len > limit) math_Vec2Scale(v, limit / len);
}

void math_Vec2AddX(MathVec2* v, float s) { v->x += s; }
void math_Vec2AddY(MathVec2* v, float s) { v->y += s; }
void math_Vec2SubX(MathVec2* v, float s) { v->x -= s; }
void math_Vec2SubY(MathVec2* v, float s) { v->y -= s; }

float math_Vec3Length(const MathVec3* v) { return length3(v->x, v->y, v->z); }
float math_Vec2Length(const MathVec2* v) { return length2(v->x, v->y); }
float math_Length3(float x, float y, float z) { return length3(x, y, z); }
float math_Length2D(float x, float y) { return length2(x, y); }

float math_Distance2D(const MathVec2* a, const MathVec2* b) {
    return length2((double)b->x - a->x, (double)b->y - a->y);
}

float math_Distance3D(const MathVec3* a, const MathVec3* b) {
    return length3((double)b->x - a->x, (double)b->y - a->y, (double)b->z - a->z);
}

float math_Dot3(const MathVec3* a, const MathVec3* b) {
    return (float)dot(*a, *b);
}

void math_CrossProduct(const MathVec3* a, const MathVec3* b, MathVec3* out) {
    MathVec3 r = {(float)((double)a->y * b->z - (double)a->z * b->y),
                  (float)((double)a->z * b->x - (double)a->x * b->z),
                  (float)((double)a->x * b->y - (double)a->y * b->x)};
    *out = r;
}

// ---- Scalars and angles ----

float math_Min(float a, float b) { return a < b ? a : b; }
float math_Max(float a, float b) { return a > b ? a : b; }

float math_Clamp(float value, float low, float high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

float math_AddUpTo(float value, float step, float high) {
    float v = value + step;
    return v > high ? high : v;
}

float math_SubDownTo(float value, float step, float low) {
    float v = value - step;
    return v < low ? low : v;
}

float math_AddClamp(float value, float step, float low, float high) {
    return math_Clamp(value + step, low, high);
}

float math_Lerp(float x0, float x1, float y0, float y1, float x) {
    // Equal breakpoints would divide by zero: the segment has no slope.
    if (x1 == x0) return y0;
    return (float)(y0 + ((double)x - x0) * ((double)y1 - y0) / ((double)x1 - x0));
}

float math_WrapAngle(float degrees) {
    if (std::isnan(degrees)) return 0.0f;
    float a = degrees;
    for (int steps = 0; steps < 20000; steps++) {
        if (a < 0.0f)
            a += 360.0f;
        else if (a >= 360.0f)
            a -= 360.0f;
        else
            return a;
    }
    return (a >= 0.0f && a < 360.0f) ? a : 0.0f;
}

float math_AcosDegrees(float v) {
    double c = v;
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    return (float)(std::acos(c) * RAD_TO_DEG);
}

float math_Atan2Degrees(float y, float x) {
    return (float)(std::atan2((double)y, (double)x) * RAD_TO_DEG);
}

float math_SinDegrees(float degrees) {
    return (float)std::sin((double)(degrees * DEG_TO_RAD));
}

float math_CosDegrees(float degrees) {
    return (float)std::cos((double)(degrees * DEG_TO_RAD));
}

void math_RotatePairDegrees(float* u, float* v, float angle) {
    double t = angle * PI / 180.0;
    double c = std::cos(t), s = std::sin(t);
    double a = *u, b = *v;
    *u = (float)(a * c - b * s);
    *v = (float)(a * s + b * c);
}

void math_RotatePairDegreesNeg(float* u, float* v, float angle) {
    math_RotatePairDegrees(u, v, -angle);
}

int32_t math_IsNan(float v) {
    return std::isnan(v) ? 1 : 0;
}

float math_HalfRelativeDiff(float a, float b) {
    return (float)((double)b * ((double)b - a) / (2.0 * a));
}

float math_FastSqrt(float v) {
    static const SqrtTable table;
    // The bit trick only holds for positive numbers; zero and below have no
    // exponent to halve.
    if (!(v > 0.0f)) return 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    uint32_t e = ((bits >> 1) + 0x1FC00000) & 0x7F800000;
    uint32_t r = e | table.v[(bits >> 16) & 0xFF];
    float out;
    std::memcpy(&out, &r, 4);
    return out;
}

float math_VectorHeading(const MathVec3* v) {
    return math_WrapAngle(math_Atan2Degrees(v->x, v->z));
}

void math_VectorHeadingPitch(const MathVec3* v, float* heading, float* pitch) {
    if (heading) *heading = math_VectorHeading(v);
    if (pitch) *pitch = math_WrapAngle(math_Atan2Degrees(v->y, math_Length2D(v->x, v->z)));
}

// ---- Random numbers ----

void math_RandomSeedFromClock(void) {
    math_Module.randomSeed16 = (uint32_t)std::time(nullptr);
}

int32_t math_RandomNext(void) {
    math_Module.randomSeed16 = (math_Module.randomSeed16 * 0x04B05731u + 1u) & 0xFFFF;
    return (int32_t)math_Module.randomSeed16;
}

int32_t math_RandomRange(int32_t low, int32_t high) {
    if (high <= low || math_Module.randomFixed) return low;
    math_RandomNext();
    int64_t span = (int64_t)high - low + 1;
    return (int32_t)(low + (int64_t)math_Module.randomSeed16 % span);
}

void math_RandomSetFixed(int32_t fixed) {
    math_Module.randomFixed = fixed;
}

uint32_t math_Random(void) {
    uint32_t s = math_Module.randomSeed;
    s = rol(rol(s, 11) + s, 3);
    math_Module.randomSeed = s;
    return s;
}

uint32_t math_Random2(void) {
    uint32_t s = math_Module.randomSeed2;
    s = rol(rol(s, 11) + s, 3);
    math_Module.randomSeed2 = s;
    return s;
}

void math_RandomReset(void) {
    math_Module.randomSeed = RANDOM_SEED_START;
    math_Module.randomSeed2 = RANDOM_SEED_START;
    math_Module.randomSeed16 = 0;
    math_Module.randomFixed = 0;
}

// ---- Projection, lines and rays ----

int32_t math_ProjectPoint(const MathVec3* view, int32_t out[2]) {
    if (!(view->z > 0.0f)) return -1;
    const _EVP& v = evp_Current;
    double sx = v.projCentreX + (double)v.scaleX * view->x / view->z;
    double sy = v.projCentreY - (double)v.scaleY * view->y / view->z;
    // Keep far-off points inside the integer range.
    if (sx > 2147483647.0) sx = 2147483647.0;
    if (sx < -2147483648.0) sx = -2147483648.0;
    if (sy > 2147483647.0) sy = 2147483647.0;
    if (sy < -2147483648.0) sy = -2147483648.0;
    out[0] = (int32_t)std::nearbyint(sx);
    out[1] = (int32_t)std::nearbyint(sy);
    return 0;
}

void math_DotOfDifference(const MathVec3* n, const MathVec3* m, const MathVec3* a,
                          const MathVec3* b, float* nd, float* md) {
    MathVec3 d = {b->x - a->x, b->y - a->y, b->z - a->z};
    *nd = (float)dot(*n, d);
    *md = (float)dot(*m, d);
}

void math_ProjectDifference(const MathVec3* n, const MathVec3* m, const MathVec3* a,
                            const MathVec3* b, float* pn, float* pm) {
    double nn = dot(*n, *n), mm = dot(*m, *m);
    if (!(nn > 0.0001) || !(mm > 0.0001)) {
        *pn = 0.0f;
        *pm = 0.0f;
        return;
    }
    MathVec3 d = {b->x - a->x, b->y - a->y, b->z - a->z};
    *pn = (float)(dot(*n, d) / nn);
    *pm = (float)(dot(*m, d) / mm);
}

// The line parameter t of the plane crossing; false when the line runs along
// the plane.
static bool lineParameter(const MathVec3* n, const MathVec3* p, const MathVec3* s,
                          const MathVec3* e, MathVec3* d, double* t) {
    *d = {e->x - s->x, e->y - s->y, e->z - s->z};
    double nd = dot(*n, *d);
    if (nd >= -0.00001 && nd < 0.00001) return false;
    MathVec3 ps = {p->x - s->x, p->y - s->y, p->z - s->z};
    *t = dot(*n, ps) / nd;
    return true;
}

int32_t math_LinePoint(const MathVec3* n, const MathVec3* p, const MathVec3* s,
                       const MathVec3* e, MathVec3* out) {
    MathVec3 d;
    double t;
    if (!lineParameter(n, p, s, e, &d, &t)) {
        *out = {0.0f, 0.0f, 0.0f};
        return -1;
    }
    *out = {(float)(s->x + t * d.x), (float)(s->y + t * d.y), (float)(s->z + t * d.z)};
    return 0;
}

int32_t math_RayIntersectPoint(const MathVec3* n, const MathVec3* p, const MathVec3* s,
                               const MathVec3* e, MathVec3* out) {
    MathVec3 d;
    double t;
    if (!lineParameter(n, p, s, e, &d, &t)) {
        *out = {0.0f, 0.0f, 0.0f};
        return -1;
    }
    MathVec3 r = {(float)(s->x + t * d.x), (float)(s->y + t * d.y), (float)(s->z + t * d.z)};
    *out = r;
    return t > 0.0001 ? 0 : -1;
}

void math_SteerToward(float stepLimit, float speedLimit, float dt, MathVec3* velocity,
                      const MathVec3* targetVelocity, const MathVec3* targetPosition,
                      MathVec3* position) {
    MathVec3 desired = {(targetVelocity->x * dt + targetPosition->x - position->x) / dt,
                        (targetVelocity->y * dt + targetPosition->y - position->y) / dt,
                        (targetVelocity->z * dt + targetPosition->z - position->z) / dt};
    math_Vec3ClampLength(&desired, stepLimit);
    MathVec3 v = {0.5f * velocity->x + desired.x, 0.5f * velocity->y + desired.y,
                  0.5f * velocity->z + desired.z};
    math_Vec3ClampLength(&v, speedLimit);
    *velocity = v;
    math_Vec3Add(position, velocity);
}

float math_AngleBetween(const MathVec3* a, const MathVec3* b) {
    double d = dot(*a, *b);
    if (d >= -1.0 && d <= 1.0) return math_AcosDegrees((float)d);
    MathVec3 na = *a, nb = *b;
    normalize3(na);
    normalize3(nb);
    return math_AcosDegrees((float)dot(na, nb));
}

int32_t math_NotParallel(const MathVec3* a, const MathVec3* b) {
    MathVec3 na = *a, nb = *b;
    normalize3(na);
    normalize3(nb);
    float d = (float)dot(na, nb);
    return (d == 1.0f || d == -1.0f) ? 0 : 1;
}
