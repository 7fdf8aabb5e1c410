// The listener's side of the sound geometry: how far a world position lies
// from the current view position.
#include "render/view.h"

int32_t view_ListenerDistance(const FixWorldPos* position) {
    if (!position) return 0;
    // World coordinates wrap: the offset is the shorter way round.
    FixVec3 offset = {(int32_t)(position->x - view_State.position.x), (int32_t)(position->y - view_State.position.y),
                      (int32_t)(position->z - view_State.position.z)};
    return fix_LengthExact(&offset);
}
