// Shared set-up of the input tests: a heap, and every input-side global
// (and the flight-side words the actions touch) back at its start value.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/mem.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "debug/timecomp.h"
#include "input/ejoy.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "net/chat.h"
#include "net/client.h"
#include "platform/keyboard.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/keyqueue.h"
#include "shell/settings.h"
#include "world/gamemode.h"

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mem_MainHeap.base) {
            ASSERT_EQ(mem_HeapInit(), 0);
        }
        inmap_MapActivate(nullptr);
        plat_KeyboardStateReset();
        ekey_ClearAll();
        app_KeyStateClear();
        inmap_SuspendFlag = 0;
        inmap_KeyboardLayout = 0;
        inmap_JoystickLayout = 0;
        inmap_UseThrottle = 1;
        inmap_UseRudder = 1;
        inmap_HatMode = 0;
        inmap_HatUse = INMAP_HAT_FLIGHT;
        inmap_InFlight = 0;
        inmap_NavOverlay = 0;
        inmap_ScreenStateRequest = 0;
        memset(inmap_ThrottlePresets, 0, sizeof inmap_ThrottlePresets);
        memset(&inmap_InputCurrent, 0, sizeof inmap_InputCurrent);
        memset(&inmap_InputPrevious, 0, sizeof inmap_InputPrevious);
        memset(ejoy_AxisValue, 0, sizeof ejoy_AxisValue);
        memset(render_ScreenStateTable, 0, sizeof render_ScreenStateTable);
        render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
        render_OneShotAction = render_WindowedToggleRequest = 0;
        view_ActiveFlag = 1;
        ViewFlags = 0;
        view_LookYaw = view_LookPitch = 0;
        view_CameraDistance = 0x50000;
        view_FollowSubMode = 0;
        level_GameMode = GameModeFlags{};
        level_GameMode.singlePlayer = 1;
        level_GameMode.display = 1;
        Client_PlayerObjectIndex = 0;
        Client_OptionWord = 0;
        HudShownFlag = 1;
        hud_ColourMode = 0;
        hud_ShadeIndex[0] = 3;
        hud_ShadeIndex[1] = 3;
        hud_CommandMenuShown = 0;
        hud_ListMode = 0;
        hud_Paused = 0;
        hud_DebugRequest = hud_HotKeyRequest = 0;
        tacmap_Shown = tacmap_KeysShown = tacmap_GoalsShown = tacmap_RecentShown = 0;
        tacmap_KeysScroll = 0;
        dbg_TimeCompression = 1;
        dbg_FastMode = 0;
        app_Settings.EKEY_INDEX_END_MISSION = 69;
    }
    void TearDown() override {
        inmap_MapActivate(nullptr);
        for (_INMAP* m : maps_) inmap_MapFree(m);
        maps_.clear();
    }
    // A map freed at the end of the test.
    _INMAP* NewMap(const InmapBinding* bindings = nullptr) {
        _INMAP* m = inmap_MapCreate(bindings);
        if (m) maps_.push_back(m);
        return m;
    }
    // The action table's record of a name.
    static const InmapActionDef* Def(const char* name) {
        for (const InmapActionDef* d = inmap_ActionTable; d->name; d++)
            if (strcmp(d->name, name) == 0) return d;
        return nullptr;
    }
    // Creates the action as the report binds it: id, flag and handler.
    static _INMAP_ACTION* BoundAction(_INMAP* map, const char* name) {
        const InmapActionDef* d = Def(name);
        return inmap_ActionCreate(map, name, d ? d->id : -1, d ? d->continuous : 0, d ? d->handler : nullptr);
    }
    std::vector<_INMAP*> maps_;
};
