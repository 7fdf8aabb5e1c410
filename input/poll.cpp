// The per-frame input poll: one consistent snapshot of the input state for
// every reader of the client frame.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/math.h"
#include "cockpit/hud.h"
#include "cockpit/vcursor.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "net/client.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/keyqueue.h"
#include "shell/mouse.h"
#include "shell/settings.h"
#include "sim/plane.h"

InputKeyEvent inmap_KeyEvent;

namespace {

// At most one queue's worth of key words per frame, so that a key routine
// that queues keys itself cannot keep the poll going.
constexpr int32_t kKeyWordsPerFrame = APP_KEY_QUEUE_SIZE;

void KeyEventStore(uint32_t word) {
    uint16_t mods = (uint16_t)(word >> 16);
    inmap_KeyEvent.key = (uint8_t)(word & 0xFF);
    inmap_KeyEvent.character = (uint8_t)((word >> 8) & 0xFF);
    inmap_KeyEvent.keyValue = (uint16_t)(inmap_KeyEvent.key + mods);
    inmap_KeyEvent.charValue = (uint16_t)(inmap_KeyEvent.character + mods);
}

void CallKeys(void) {
    const ScreenStateEntry* st = render_ScreenStateCurrent;
    if (st && st->keys) st->keys();
}

// To the nearest integer; the camera words are -1..+1, anything else
// (written by hand into the record) is held to the 32-bit range.
int32_t Nearest(float v) {
    if (!std::isfinite(v)) return 0;
    if (v >= 2147483520.0f) return INT32_MAX;
    if (v <= -2147483648.0f) return INT32_MIN;
    return (int32_t)std::lround(v);
}

// Camera axes turn the pilot's head in free look, else the view.
void CameraAxes(void) {
    const _INPUT_STATE& s = inmap_InputCurrent;
    if ((s.cameraX == 0.0f && s.cameraY == 0.0f) || !(ViewFlags & 0x10)) return;
    float yaw, pitch;
    if (view_ViewedIsPlayer() && hud_FreeLook && plane_PlayerHeadGet(&yaw, &pitch) == 0) {
        plane_PlayerHeadSet(math_WrapAngle(yaw + s.cameraX * 2.0f), math_WrapAngle(pitch - s.cameraY));
        return;
    }
    // Angles wrap, so the sums are taken modulo 2^32.
    uint32_t dYaw = (uint32_t)Nearest(s.cameraX * 1023.0f) << 7;
    uint32_t dPitch = (uint32_t)Nearest(s.cameraY * 1023.0f) << 6;
    if (ViewFlags & 0x4000) dPitch = 0u - dPitch;
    view_LookYaw = (int32_t)((uint32_t)view_LookYaw + dYaw);
    view_LookPitch = (int32_t)((uint32_t)view_LookPitch + dPitch);
}

}  // namespace

void inmap_PollClear(void) {
    memset(&inmap_InputCurrent, 0, INPUT_STATE_COPIED);
    inmap_InputCurrent.cursorItem = -1;
    inmap_InputCurrent.flags = INPUT_CLEARED;
}

void inmap_PollFrame(void) {
    _INPUT_STATE& cur = inmap_InputCurrent;
    memcpy(&inmap_InputPrevious, &cur, INPUT_STATE_COPIED);
    inmap_ScreenStateRequest = 0;
    inmap_PollClear();

    inmap_Resolve();

    const ScreenStateEntry* st = render_ScreenStateCurrent;
    if (!st) {
        int32_t key = app_Settings.EKEY_INDEX_END_MISSION;
        if (key >= 0 && key < EKEY_TABLE_SIZE && ekey_PressedTable[key] && cur.command == 0)
            cur.command = INPUT_CMD_END_MISSION;
    } else if (st->flags & 0x04) {
        inmap_KeyEvent.key = 0;
        inmap_KeyEvent.keyValue = 0;
        CallKeys();
    }

    for (int32_t i = 0; i < kKeyWordsPerFrame; i++) {
        uint32_t word = app_KeyQueuePop();
        if (!word) break;
        KeyEventStore(word);
        CallKeys();
    }

    if (vcursor_Enabled) {
        cur.cursorItem = vcursor_Item;
        uint32_t bits = 0;
        if (app_MouseTrack.held.left) bits |= 1;
        if (app_MouseTrack.pressed.left) bits |= 2;
        if (app_MouseTrack.released.left) bits |= 4;
        cur.mouseButtons = bits;
    }

    if (hud_DebugRequest) cur.command = INPUT_CMD_DEBUG;

    if (inmap_ScreenStateRequest) {
        memset(hud_ScreenKeyState, 0, sizeof hud_ScreenKeyState);
        render_ScreenStateSet(inmap_ScreenStateRequest);
    }

    CameraAxes();

    if (Client_PlayerObjectIndex == -1) inmap_PollClear();
}

void inmap_PollHotKey(void) {
    if ((Client_OptionWord & 0x02) && inmap_InputCurrent.command == INPUT_CMD_DEBUG) hud_HotKeyRequest = 1;
}

void inmap_ScreenKeyClose(void) {
    uint16_t v = inmap_KeyEvent.keyValue;
    if (v == 13 || v == 27 || v == 89) render_ScreenStateCurrent = render_ScreenStatePrevious;
}

bool inmap_StickDeflected(void) {
    const _INPUT_STATE& s = inmap_InputCurrent;
    bool centred = s.stickX > -0.2f && s.stickX < 0.2f && s.stickY > -0.3f && s.stickY < 0.3f && s.rudder > -0.2f &&
                   s.rudder < 0.2f;
    return !centred;
}
