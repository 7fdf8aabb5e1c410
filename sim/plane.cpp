// Aircraft descriptors and families, their registries, the player's
// aircraft record and the hook wrappers.
#include "sim/plane.h"

#include <cstddef>
#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"
#include "base/units.h"
#include "cockpit/avion.h"
#include "input/instate.h"
#include "platform/simlog.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "world/loadout.h"

_PLANE* plane_Current = nullptr;
_PLANE_TYPE plane_CurrentDescriptor;
PlaneTypeRegistry plane_Types;
PlaneFamilyRegistry plane_Families;
void (*plane_PendingRoutine)(_PLANE* plane) = nullptr;
int32_t plane_SightRayFlag = 0;

_PLANE_TYPE plane_TypeKrx = {
    "KRX",
    "krx.pak",
    "krx_ai.pak",
    "krxvrtc.pak",
    "krxvrtcn.pak",
    "krxglass.pak",
    "rmount.pak",
    "rail.pak",
    0x0006FF6E,
    0,
    loadout_PlayerSetup,
    0x448,
    {{nullptr, jet_Create, jet_Release, jet_Restart, jet_Frame, jet_Draw3D, jet_DebugReadouts, jet_StoreDisplay,
      jet_Refuel, jet_Repair, jet_CockpitStep, jet_ClientFrame, jet_FrameDraw, jet_SightRay, jet_WeaponChanged}},
    {},
    {0x200, 69, 80},
    0,
    {-16384, -6000, 0x18000, 0, 0x80000},
    12,
    14,
    10,
    nullptr,
    nullptr,
    0,
    -1,
    nullptr,
    {0.0f, 0.35f, 0.6f, 0.7f, 1.0f, 1.5f, 0.1f, 0.2f, 0.25f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.75f, 0.8f, 0.9f},
    {-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f},
    sizeof(_PLANE_JET) - sizeof(_PLANE),
    0x1800,
    {68, 69},
};

namespace {

// The program's own aircraft, then those of sibling programs.
_PLANE_FAMILY g_families[5] = {
    {0, "KRX", "rmount.pak", "rail.pak", 1, {}, nullptr, nullptr, 0, -1},
    {1, "SX1", "smount.pak", "", 2, {}, nullptr, nullptr, 0, -1},
    {2, "GX2", "", "", 0, {}, nullptr, nullptr, 0, -1},
    {3, "RX3", "rmount.pak", "rail.pak", 1, {}, nullptr, nullptr, 0, -1},
    {4, "TX4", "", "", 0, {}, nullptr, nullptr, 0, -1},
};
_PLANE_FAMILY* const g_familyList[] = {&g_families[0], &g_families[1], &g_families[2], &g_families[3],
                                       &g_families[4], nullptr};
_PLANE_TYPE* const g_typeList[] = {&plane_TypeKrx, nullptr};

bool g_initialised = false;

template <typename Registry, typename Record>
void Renumber(Registry& reg) {
    int32_t i = 0;
    for (Record* r = reg.head; r; r = r->next) r->registryIndex = i++;
}

template <typename Registry, typename Record>
void Register(Registry& reg, Record* r) {
    if (!r || (r->registryFlags & PLANE_TYPE_REGISTERED)) return;
    dlist_AddTail(&reg, r);
    r->registryFlags |= PLANE_TYPE_REGISTERED;
    Renumber<Registry, Record>(reg);
}

template <typename Registry, typename Record>
void Unregister(Registry& reg, Record* r) {
    if (!r || !(r->registryFlags & PLANE_TYPE_REGISTERED)) return;
    dlist_Unlink(&reg, r);
    r->registryFlags &= ~PLANE_TYPE_REGISTERED;
    r->registryIndex = -1;
    Renumber<Registry, Record>(reg);
}

template <typename Record>
Record* Find(Record* head, const char* name) {
    if (!name) return nullptr;
    for (Record* r = head; r; r = r->next)
        if (strncmp(r->name, name, sizeof r->name) == 0 && strlen(name) < sizeof r->name) return r;
    return nullptr;
}

template <typename Record>
Record* FindByIndex(Record* head, int32_t index) {
    for (Record* r = head; r; r = r->next)
        if (r->registryIndex == index) return r;
    return nullptr;
}

// A hook of the current descriptor copy, called only while a record exists:
// a failed creation leaves no record for the hooks to work on.
int32_t Call(int32_t slot, intptr_t argument) {
    if (!plane_Current) return 0;
    PlaneHook hook = plane_CurrentDescriptor.hooks.slot[slot];
    return hook ? hook(argument) : 0;
}

// Name text of a descriptor for the log, never longer than its field.
void NameOf(const _PLANE_TYPE* t, char* out, size_t size) {
    size_t n = strnlen(t->name, sizeof t->name);
    if (n >= size) n = size - 1;
    memcpy(out, t->name, n);
    out[n] = '\0';
}

}  // namespace

void plane_FamilyRegister(_PLANE_FAMILY* family) { Register(plane_Families, family); }
void plane_TypeRegister(_PLANE_TYPE* type) { Register(plane_Types, type); }
void plane_FamilyUnregister(_PLANE_FAMILY* family) { Unregister(plane_Families, family); }
void plane_TypeUnregister(_PLANE_TYPE* type) { Unregister(plane_Types, type); }

void plane_FamilyUnregisterAll(void) {
    while (plane_Families.head) plane_FamilyUnregister(plane_Families.head);
}

void plane_TypeUnregisterAll(void) {
    while (plane_Types.head) plane_TypeUnregister(plane_Types.head);
}

_PLANE_FAMILY* plane_FamilyFind(const char* name) { return Find(plane_Families.head, name); }
_PLANE_TYPE* plane_TypeFind(const char* name) { return Find(plane_Types.head, name); }
_PLANE_FAMILY* plane_FamilyFindByIndex(int32_t index) { return FindByIndex(plane_Families.head, index); }
_PLANE_TYPE* plane_TypeFindByIndex(int32_t index) { return FindByIndex(plane_Types.head, index); }
void plane_FamilyRenumber(void) { Renumber<PlaneFamilyRegistry, _PLANE_FAMILY>(plane_Families); }
void plane_TypeRenumber(void) { Renumber<PlaneTypeRegistry, _PLANE_TYPE>(plane_Types); }

int32_t plane_FamilySlotByName(const char* name) {
    const _PLANE_FAMILY* f = plane_FamilyFind(name);
    return f ? (int32_t)f->number : -1;
}

int32_t plane_QueryRecordValue(const char* name) {
    const _PLANE_FAMILY* f = plane_FamilyFind(name);
    return f ? (int32_t)f->mountKind : 0;
}

void plane_Init(void) {
    if (g_initialised) return;
    for (_PLANE_FAMILY* const* f = g_familyList; *f; f++) plane_FamilyRegister(*f);
    for (_PLANE_TYPE* const* t = g_typeList; *t; t++) plane_TypeRegister(*t);
    memcpy(plane_TypeKrx.cockpitHooks, avion_CockpitHookTable, sizeof plane_TypeKrx.cockpitHooks);
    memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor);
    g_initialised = true;
}

void plane_Shutdown(void) {
    if (!g_initialised) return;
    plane_FamilyUnregisterAll();
    plane_Release();
    plane_TypeUnregisterAll();
    memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor);
    g_initialised = false;
}

_PLANE* plane_Create(const _PLANE_TYPE* descriptor) {
    plane_Release();
    if (!descriptor) return nullptr;
    // The header is wider than the type counts it; the flight state follows.
    uint32_t rest = descriptor->recordSize > PLANE_RECORD_HEADER ? descriptor->recordSize - PLANE_RECORD_HEADER : 0;
    // Native flight state may be wider than the type counts it.
    if (descriptor->stateSize > rest) rest = descriptor->stateSize;
    if (rest > 0x1000000) return nullptr;
    const uint32_t size = (uint32_t)sizeof(_PLANE) + rest;
    auto* plane = static_cast<_PLANE*>(mem_AllocEx(size, alignof(_PLANE), "_PLANE"));
    if (!plane) return nullptr;
    memset(plane, 0, size);
    plane->descriptor = descriptor;
    plane->orientation = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    plane_Current = plane;
    plane_CurrentDescriptor = *descriptor;
    // The throttle actions command the flown type's own settings.
    static_assert(sizeof descriptor->throttle == sizeof inmap_ThrottlePresets);
    memcpy(inmap_ThrottlePresets, descriptor->throttle, sizeof inmap_ThrottlePresets);
    char name[sizeof descriptor->name + 1];
    NameOf(descriptor, name, sizeof name);
    plat_SimLog("plane", "create %s", name);
    if (PlaneHook h = plane_CurrentDescriptor.hooks.slot[PLANE_HOOK_CREATE]) h((intptr_t)plane);
    if (PlaneHook h = plane_CurrentDescriptor.cockpitHooks[0]) h(0);
    return plane_Current;
}

void plane_RecordFromObject(_PLANE* plane, const ObjectRecord* object) {
    if (!plane || !object) return;
    FloatStateRecord st = {};
    fix_ObjectToFloatState(object, &st);
    plane->position = st.frame.pos;
    plane->orientation = st.frame.rot;
}

void plane_RecordToObject(const _PLANE* plane, ObjectRecord* object) {
    if (!plane || !object) return;
    FloatStateRecord st = {};
    st.frame.pos = plane->position;
    st.frame.rot = plane->orientation;
    st.velocity = plane->velocity;
    fix_FloatStateToObject(&st, object);
}

void plane_Release(void) {
    _PLANE* plane = plane_Current;
    if (!plane) return;
    const _PLANE_TYPE* d = plane->descriptor;
    if (PlaneHook h = d->hooks.slot[PLANE_HOOK_RELEASE]) h((intptr_t)plane);
    if (PlaneHook h = d->cockpitHooks[1]) h(0);
    plane_Current = nullptr;
    char name[sizeof d->name + 1];
    NameOf(d, name, sizeof name);
    plat_SimLog("plane", "release %s", name);
    mem_Free(plane);
}

int32_t plane_HookSlot0Call(intptr_t argument) { return Call(PLANE_HOOK_SLOT0, argument); }
int32_t plane_HookRestart(intptr_t argument) { return Call(PLANE_HOOK_RESTART, argument); }
int32_t plane_HookDraw3D(intptr_t argument) { return Call(PLANE_HOOK_DRAW3D, argument); }
int32_t plane_HookReadoutsCall(intptr_t argument) { return Call(PLANE_HOOK_READOUTS, argument); }
int32_t plane_HookStoreDisplay(intptr_t argument) { return Call(PLANE_HOOK_STORE_DISPLAY, argument); }
int32_t plane_HookRefuel(intptr_t argument) { return Call(PLANE_HOOK_REFUEL, argument); }
int32_t plane_HookRepair(intptr_t argument) { return Call(PLANE_HOOK_REPAIR, argument); }
int32_t plane_HookSlot10Call(intptr_t argument) { return Call(PLANE_HOOK_SLOT10, argument); }
void plane_HookClientFrame(int32_t flag) { Call(PLANE_HOOK_CLIENT_FRAME, flag); }
int32_t plane_HookFrameDraw(intptr_t argument) { return Call(PLANE_HOOK_FRAME_DRAW, argument); }
int32_t plane_HookWeaponChanged(intptr_t argument) { return Call(PLANE_HOOK_WEAPON_CHANGED, argument); }

int32_t plane_HookSightRay(intptr_t argument) {
    plane_SightRayFlag = 0;
    return Call(PLANE_HOOK_SIGHT_RAY, argument);
}

int32_t plane_HookHud(intptr_t argument) {
    if (!plane_Current) return 0;
    PlaneHook hook = plane_CurrentDescriptor.cockpitHooks[6];
    return hook ? hook(argument) : 0;
}

int32_t plane_HookFrame(ObjectRecord* object) {
    const int32_t result = Call(PLANE_HOOK_FRAME, (intptr_t)object);
    _PLANE* plane = plane_Current;
    void (*routine)(_PLANE*) = plane_PendingRoutine;
    if (!routine || !plane || !object) return result;
    FloatStateRecord state = {};
    fix_ObjectToFloatState(object, &state);
    plane->position = state.frame.pos;
    plane->orientation = state.frame.rot;
    routine(plane);
    plane_PendingRoutine = nullptr;
    // The routine may have released the record.
    if (plane_Current != plane) return result;
    state.frame.pos = plane->position;
    state.frame.rot = plane->orientation;
    state.velocity = plane->velocity;
    fix_FloatStateToObject(&state, object);
    return result;
}
