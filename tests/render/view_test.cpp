// View modes, eye routines and camera objects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>
#include <vector>

#include "base/mem.h"
#include "cockpit/vcp.h"
#include "display/otw.h"
#include "input/instate.h"
#include "menu/loadout.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "render/view.h"
#include "shell/wndproc.h"
#include "sim/obj.h"
#include "world/pak.h"
#include "world/pak_fixture.h"
#include "world/terrain.h"

namespace {

class ViewEnv : public ::testing::Test {
protected:
    ObjectRecord plane{}, other{}, target{};
    std::vector<uint8_t> heights = std::vector<uint8_t>(512 * 512, 0);

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x100000, 0x1000, 0x1000);
        ASSERT_EQ(mem_HeapInit(), 0);
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
        plane.position = {0x40000000u, 0x1000000u, 0x40000000u};
        other.position = {0x40100000u, 0x1000000u, 0x40000000u};
        Client_PlayerObject = &plane;
        vcp_Available = 0;
        view_Words = ViewStateWords{};
        ViewFlags = 0;
        view_LookYaw = view_LookPitch = 0;
        view_CameraDistance = 0x50000;
        view_StateReset();
        view_CamerasReset();
        Client_BindPlayerObject();
        for (ViewModeRecord& m : view_ModeTable) m.subView = 0;
    }
    void TearDown() override {
        view_CamerasFree();
        Client_PlayerObject = nullptr;
        for (ViewModeRecord& m : view_ModeTable) m.viewedObject = nullptr;
        depth_Level = DepthLevel{};
        app_FocusObjectSet(nullptr);
    }
    // The follow camera set up on a target frame at (100, 50, -30).
    static _CAM* FollowCamera(MathFrame* goal) {
        _CAM* cam = view_CameraCreate(&view_CameraSettingsFirst);
        math_FrameIdentity(goal);
        goal->pos = {100.0f, 50.0f, -30.0f};
        view_CameraEyeSet(cam, goal);
        view_CameraModeSetup(cam);
        return cam;
    }
    static void Select(int32_t mode) {
        view_ModeRequest(mode);
        view_ModeSelect();
    }
    void Heights(uint8_t value) {
        std::fill(heights.begin(), heights.end(), value);
        depth_Level.heightMap = heights.data();
    }
};

TEST_F(ViewEnv, SelectingTheAppliedModeStepsItsSubViews) {
    struct Case {
        int32_t mode;
        int16_t expected[4];  // sub-view after each of four selections
    };
    const Case cases[] = {
        {VIEW_MODE_COCKPIT, {0, 1, 0, 1}},
        {VIEW_MODE_WINGMAN, {0, 1, 0, 1}},
        {VIEW_MODE_FOLLOW, {0, 0, 0, 0}},
        {VIEW_MODE_FLY_BY, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Select(VIEW_MODE_HUD);
        for (int i = 0; i < 4; i++) {
            Select(c.mode);
            EXPECT_EQ(view_ModeTable[c.mode].subView, c.expected[i]) << c.mode << " selection " << i;
            EXPECT_EQ(ViewFlags, view_ModeTable[c.mode].subViews[c.expected[i]].options) << c.mode;
            EXPECT_EQ(view_NearPlane, view_ModeTable[c.mode].subViews[c.expected[i]].nearPlane);
        }
    }
    // A sub-view with 0x400 keeps its number when its mode comes back.
    Select(VIEW_MODE_MISSILE);
    view_ModeTable[VIEW_MODE_MISSILE].viewedObject = &other;
    Select(VIEW_MODE_HUD);
    Select(VIEW_MODE_MISSILE);
    EXPECT_EQ(view_ModeTable[VIEW_MODE_MISSILE].subView, 0);  // fly-by has 0x400
}

TEST_F(ViewEnv, TemporaryModeSelectedTwiceReturns) {
    struct Case {
        int32_t before;
        bool keepsObject;
        int32_t expected;
    };
    const Case cases[] = {
        {VIEW_MODE_FOLLOW, true, VIEW_MODE_FOLLOW},
        {VIEW_MODE_HUD, true, VIEW_MODE_HUD},
        {VIEW_MODE_FOLLOW, false, VIEW_MODE_DEFAULT},
    };
    for (const Case& c : cases) {
        Client_BindPlayerObject();
        Select(c.before);
        Select(VIEW_MODE_TARGET_LOCK);
        EXPECT_EQ(view_ModeCurrentGet(), VIEW_MODE_TARGET_LOCK);
        if (!c.keepsObject) view_ModeTable[c.before].viewedObject = nullptr;
        Select(VIEW_MODE_TARGET_LOCK);
        EXPECT_EQ(view_ModeCurrentGet(), c.expected) << c.before;
        EXPECT_EQ(view_Words.noReAim, 0);
    }
}

TEST_F(ViewEnv, LosingTheViewedObjectSwitchesToTheCockpitInTheSameFrame) {
    view_ModeTable[VIEW_MODE_TARGET].viewedObject = &other;
    Select(VIEW_MODE_TARGET);
    view_TrackUpdate();
    EXPECT_EQ(ViewedObject, &other);
    // Through view_TargetSet (a target change) ...
    view_TargetSet(&view_ModeTable[VIEW_MODE_TARGET], nullptr);
    EXPECT_EQ(view_ModeCurrentGet(), VIEW_MODE_COCKPIT);
    // ... and through the frame's tracking: the cockpit eye places the camera
    // at the aircraft at once.
    view_ModeTable[VIEW_MODE_TARGET].viewedObject = &other;
    Select(VIEW_MODE_TARGET);
    view_ModeTable[VIEW_MODE_TARGET].viewedObject = nullptr;
    view_TrackUpdate();
    EXPECT_EQ(view_ModeCurrentGet(), VIEW_MODE_COCKPIT);
    EXPECT_EQ(ViewedObject, &plane);
    EXPECT_EQ(view_State.position.x, plane.position.x);
    EXPECT_EQ(view_State.position.z, plane.position.z);
}

TEST_F(ViewEnv, TrackingWithNothingToViewLeavesTheCamera) {
    for (ViewModeRecord& m : view_ModeTable) m.viewedObject = nullptr;
    Select(VIEW_MODE_FOLLOW);
    view_State.position = {1, 2, 3};
    view_TrackUpdate();
    EXPECT_EQ(view_ModeCurrentGet(), VIEW_MODE_COCKPIT);
    EXPECT_EQ(ViewedObject, nullptr);
    EXPECT_EQ(view_State.position.x, 1u);
    EXPECT_EQ(view_State.position.z, 3u);
}

TEST_F(ViewEnv, LookPitchIsClampedExceptInTheDefaultMode) {
    struct Case {
        int32_t mode;
        int32_t yaw, pitch;
        int32_t expectYaw, expectPitch;
    };
    const Case cases[] = {
        {VIEW_MODE_FOLLOW, 0x100000, 0x900000, 0x100000, 0x780000},
        {VIEW_MODE_FOLLOW, 0, -0x500000, 0, -0x400000},
        {VIEW_MODE_FOLLOW, 0, 0x1F00000, 0, -0x100000},   // a 25-bit angle just below a turn
        {VIEW_MODE_HUD, 0, 0x780000, 0, 0x780000},
        {VIEW_MODE_HUD, 0, -0x400000, 0, -0x400000},
        {VIEW_MODE_DEFAULT, 0x100000, 0x900000, 0, 0},
        {VIEW_MODE_DEFAULT, 0x100000, -0x500000, 0, 0},
    };
    for (const Case& c : cases) {
        Select(VIEW_MODE_WINGMAN);  // the default mode is temporary: selected twice it returns
        Select(c.mode);
        view_LookYaw = c.yaw;
        view_LookPitch = c.pitch;
        view_TrackUpdate();
        EXPECT_EQ(view_LookYaw, c.expectYaw) << c.mode << " " << c.pitch;
        EXPECT_EQ(view_LookPitch, c.expectPitch) << c.mode << " " << c.pitch;
    }
}

TEST_F(ViewEnv, EachModeKeepsItsOwnLookAnglesAndDistance) {
    Select(VIEW_MODE_FOLLOW);
    EXPECT_EQ(view_LookYaw, -0x280000);
    EXPECT_EQ(view_LookPitch, 0x140000);
    view_LookYaw = 0x300000;
    view_LookPitch = 0x100000;
    view_CameraDistance = 0x90000;
    view_TrackUpdate();
    Select(VIEW_MODE_WINGMAN);
    view_LookYaw = 0x11;
    view_CameraDistance = 0x60000;
    view_TrackUpdate();
    Select(VIEW_MODE_FOLLOW);
    EXPECT_EQ(view_LookYaw, 0x300000);
    EXPECT_EQ(view_LookPitch, 0x100000);
    EXPECT_EQ(view_CameraDistance, 0x90000);
    // With 0x200 the look angles are cleared, the distance stays.
    Select(VIEW_MODE_HUD);
    EXPECT_EQ(view_LookYaw, 0);
    EXPECT_EQ(view_LookPitch, 0);
    EXPECT_EQ(view_CameraDistance, 0x90000);
    // The level-start reset gives every mode the start values.
    view_CamerasReset();
    Select(VIEW_MODE_WINGMAN);
    EXPECT_EQ(view_LookYaw, -0x280000);
    EXPECT_EQ(view_CameraDistance, 0x50000);
}

TEST_F(ViewEnv, LookAnglesEase) {
    struct Case {
        uint32_t options;
        uint32_t input;        // input word flags held
        int32_t yaw, pitch;    // look angles before
        int32_t targetYaw;     // target look yaw
        int32_t blend;         // padlock blend before
        int32_t expectYaw, expectPitch, expectBlend;
    };
    const Case cases[] = {
        // Back towards 0 by 1/8 without look input.
        {0x2000, 0, 0x800000, -0x800000, 0, 0, 0x700000, -0x700000, 0},
        {0x2000, 0, 0x1F00000, 0, 0, 0, 0x1F20000, 0, 0},   // -0x100000 as a 25-bit angle
        // Held look input (camera keys or Ctrl) keeps them.
        {0x2000, 0x200, 0x800000, 0, 0, 0, 0x800000, 0, 0},
        {0x2000, 0x2, 0x800000, 0, 0, 0, 0x800000, 0, 0},
        // Towards the target look angles by 1/8 of the signed difference.
        {0x20, 0, 0, 0, 0x800000, 0, 0x100000, 0, 0},
        {0x2020, 0, 0, 0, -0x800000, 0, -0x100000, 0, 0},
        // The padlock blend: towards full with 0x2, else down.
        {0x2, 0, 0, 0, 0, 0, 0, 0, 0x100000},
        {0x2, 0, 0, 0, 0, 0x800000, 0, 0, 0x800000},
        {0, 0, 0, 0, 0, 0x800000, 0, 0, 0x700000},
    };
    for (const Case& c : cases) {
        ViewFlags = c.options;
        inmap_InputCurrent.flags = c.input;
        view_LookYaw = c.yaw;
        view_LookPitch = c.pitch;
        view_CameraBlock.targetYaw = c.targetYaw;
        view_CameraBlock.targetPitch = 0;
        view_CameraBlock.padlockBlend = c.blend;
        view_LookAnglesEase();
        EXPECT_EQ(view_LookYaw, c.expectYaw) << std::hex << c.options << " " << c.yaw;
        EXPECT_EQ(view_LookPitch, c.expectPitch) << std::hex << c.options << " " << c.pitch;
        EXPECT_EQ(view_CameraBlock.padlockBlend, c.expectBlend) << std::hex << c.options;
    }
    inmap_InputCurrent.flags = 0;
    ViewFlags = 0;
}

TEST_F(ViewEnv, ChaseCameraStaysAboveTheTerrainAndEasesItsHeight) {
    Heights(40);
    Select(VIEW_MODE_FOLLOW);
    view_LookYaw = view_LookPitch = 0;
    FixWorldPos probe = plane.position;
    int32_t ground = terrain_HeightBilinear(&probe);
    plane.position.y = (uint32_t)ground + 0x400000;
    // First placement: the eye height is taken directly.
    view_TrackUpdate();
    EXPECT_EQ(view_Words.cameraPlaced, 1);
    int32_t h0 = (int32_t)view_State.position.y;
    EXPECT_EQ(h0, (int32_t)plane.position.y);
    // Later frames move 1/8 of the way.
    plane.position.y += 0x80000;
    view_TrackUpdate();
    EXPECT_EQ((int32_t)view_State.position.y - h0, 0x80000 >> 3);
    // A dive into the ground: the camera never goes below terrain + 4.0.
    for (int i = 0; i < 60; i++) {
        plane.position.y -= 0x20000;
        if ((int32_t)plane.position.y < ground) plane.position.y = (uint32_t)ground;
        view_TrackUpdate();
        int32_t g = terrain_HeightBilinear(&view_State.position);
        EXPECT_GE((int32_t)view_State.position.y, g + 0x40000) << "frame " << i;
    }
    // A new mode snaps again.
    Select(VIEW_MODE_WINGMAN);
    EXPECT_EQ(view_Words.cameraPlaced, 0);
}

TEST_F(ViewEnv, ChaseCameraLooksAtTheObject) {
    // Behind the object along its heading, the look pitch raising the camera
    // so that it looks down at the object.
    struct Case {
        int32_t heading, lookYaw, lookPitch;
        int32_t cameraHeading, cameraPitch;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},
        {0x400000, 0, 0, 0x400000, 0},
        {0x1800000, 0, 0x140000, 0x1800000, -0x140000},
        {0, 0x800000, 0, -0x800000, 0},
    };
    Select(VIEW_MODE_FOLLOW);
    for (const Case& c : cases) {
        plane.angles = {c.heading, 0, 0};
        view_LookYaw = c.lookYaw;
        view_LookPitch = c.lookPitch;
        view_Words.cameraPlaced = 0;
        view_TrackUpdate();
        int32_t dh = (int32_t)((uint32_t)(view_State.angles.heading - c.cameraHeading) << 7) >> 7;
        int32_t dp = (int32_t)((uint32_t)(view_State.angles.pitch - c.cameraPitch) << 7) >> 7;
        EXPECT_LE(abs(dh), 0x2000) << c.heading << " " << c.lookYaw << " " << c.lookPitch;
        EXPECT_LE(abs(dp), 0x2000) << c.heading << " " << c.lookYaw << " " << c.lookPitch;
        EXPECT_EQ(view_State.angles.roll, 0);
    }
}

TEST_F(ViewEnv, CockpitEyesTakeTheAircraftsAnglesAndTheirPanel) {
    struct Case {
        int32_t mode;
        FixAngles aircraft;
        FixAngles camera;
        int32_t panel, centreFactor;
    };
    const Case cases[] = {
        {VIEW_MODE_HUD, {0x300000, 0x100000, 0x50000}, {0x300000, 0x100000, 0x50000}, 7, 32},
        {VIEW_MODE_HUD, {0x1C00000, -0x200000, 0}, {0x1C00000, -0x200000, 0}, 7, 32},
        {VIEW_MODE_DEFAULT, {0x300000, 0, -0x80000}, {0x300000, 0, -0x80000}, 8, 64},
        {VIEW_MODE_STICK, {0x300000, 0x100000, 0}, {0, -0x240000, 0}, 9, 64},
        {VIEW_MODE_DEFENSE, {0x300000, 0x100000, 0}, {0, 0, 0}, 3, 64},
    };
    otw_State.screen.height = 480;
    for (const Case& c : cases) {
        Select(VIEW_MODE_FOLLOW);
        Select(c.mode);
        plane.angles = c.aircraft;
        view_TrackUpdate();
        EXPECT_EQ(vcp_CockpitPanel, c.panel) << c.mode;
        EXPECT_EQ(view_ProjectionCentreY, otw_State.screen.height * c.centreFactor);
        const int32_t* got = &view_State.angles.heading;
        const int32_t* want = &c.camera.heading;
        for (int i = 0; i < 3; i++) {
            int32_t d = (int32_t)((uint32_t)(got[i] - want[i]) << 7) >> 7;
            EXPECT_LE(abs(d), 0x4000) << c.mode << " angle " << i << " " << got[i];
        }
        EXPECT_EQ(view_State.position.x, plane.position.x);
    }
    otw_State.screen.height = 0;
}

TEST_F(ViewEnv, PreviewOrbitDrawsIntoThePreviewSurface) {
    Heights(200);
    _PAK_HEADER model{};
    model.radius = 0x200000;
    plane.model = &model;
    plane.position.y = 0;  // below the terrain: the preview has no terrain step
    mnu_PreviewSurface.width = 123;
    view_ProjectionCentreY = 77;
    view_CameraDistance = 0x50000;  // below the radius: no radius step either
    view_LookYaw = view_LookPitch = 0;
    view_Words.cameraPlaced = 0;
    view_OrbitCameraSetC(&plane);
    EXPECT_EQ(draw_CurrentSurface.width, 123);
    EXPECT_EQ(view_ProjectionCentreY, 77);
    EXPECT_EQ(view_CameraDistance, 0x50000);
    EXPECT_NEAR((int32_t)(plane.position.z - view_State.position.z), 0x50000, 32);
    EXPECT_LT((int32_t)view_State.position.y, terrain_HeightBilinear(&view_State.position));
    mnu_PreviewSurface = {};
    plane.model = nullptr;
}

TEST_F(ViewEnv, ChaseDistanceBetweenRadiusAndLimit) {
    _PAK_HEADER model{};
    plane.model = &model;
    struct Case {
        int32_t distance, radius, expected;
    };
    const Case cases[] = {
        {0x50000, 0x80000, 0x80000},
        {0x50000, 0x10000, 0x50000},
        {0x900000, 0x10000, 0x680000},
        {0x50000, 0x700000, 0x680000},
    };
    Select(VIEW_MODE_FOLLOW);
    for (const Case& c : cases) {
        view_CameraDistance = c.distance;
        model.radius = c.radius;
        view_TrackUpdate();
        EXPECT_EQ(view_CameraDistance, c.expected) << c.distance << " " << c.radius;
    }
    plane.model = nullptr;
}

TEST_F(ViewEnv, FlyByCameraJumpsAheadWhenFarBehind) {
    Select(VIEW_MODE_FLY_BY);
    view_TrackUpdate();
    FixWorldPos first = view_State.position;
    // Close passes leave the camera in place.
    plane.position.z += 0x400000;
    view_TrackUpdate();
    EXPECT_EQ(view_State.position.x, first.x);
    EXPECT_EQ(view_State.position.z, first.z);
    // Far away: the next frame places it anew near the object.
    plane.position.z += 0x2000000;
    view_TrackUpdate();
    EXPECT_EQ(view_Words.cameraPlaced, 0);
    view_TrackUpdate();
    FixVec3 d = {(int32_t)(plane.position.x - view_State.position.x), 0,
                 (int32_t)(plane.position.z - view_State.position.z)};
    EXPECT_LE(fix_ApproxLength(&d), 0xBB8000);
    EXPECT_NE(view_State.position.z, first.z);
}

TEST_F(ViewEnv, DistanceGainAndBearing) {
    struct Case {
        int32_t distance, gain;
    };
    const Case cases[] = {{0, 256}, {-5, 256}, {0x7FFF, 256}, {0x8000, 255}, {0x800000, 128}, {0xFF0000, 1}, {0xFFFFFF, 0},
                          {0x1000000, 0}, {0x7FFFFFFF, 0}};
    for (const Case& c : cases) EXPECT_EQ(view_DistanceGain(c.distance), c.gain) << c.distance;

    view_State.angles = {0, 0, 0};
    fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
    EXPECT_EQ(view_TransformToCamera(0x100000, 0, 0, 0xFFFF), 0);
    int32_t ahead = view_TransformToCamera(0, 0, 0x100000, 0x100000);
    int32_t behind = view_TransformToCamera(0, 0, -0x100000, 0x100000);
    int32_t side = view_TransformToCamera(0x100000, 0, 0, 0x100000);
    EXPECT_EQ((ahead - behind) & 0xFF, 128);
    EXPECT_EQ(((side - ahead) & 0xFF) % 128, 64);
    // Turning the camera half a turn swaps ahead and behind.
    fix_SinCosAngles(-0x1000000, 0, 0, &view_State.viewMatrix);
    EXPECT_EQ(view_TransformToCamera(0, 0, 0x100000, 0x100000), behind);
}

TEST_F(ViewEnv, CameraApproachesAFarTargetWithinItsLimits) {
    _CAM* cam = view_CameraCreate(&view_CameraSettingsSecond);
    ASSERT_NE(cam, nullptr);
    MathFrame goal;
    math_FrameIdentity(&goal);
    goal.pos = {1000.0f, 0.0f, 0.0f};
    view_CameraEyeSet(cam, &goal);
    float previous = 0.0f, speedBefore = 0.0f;
    for (int i = 0; i < 400; i++) {
        view_CameraModeFrame(cam);
        float moved = cam->current.pos.x - previous;
        previous = cam->current.pos.x;
        EXPECT_LE(moved, 32.0f + 1e-3f) << i;
        EXPECT_LE(moved, speedBefore + 0.2f + 1e-3f) << i;
        speedBefore = cam->speed;
    }
    EXPECT_NEAR(cam->current.pos.x, 1000.0f, 1.0f);
    view_CameraDestroy(cam);
}

TEST_F(ViewEnv, FollowCameraOrbitsAndTurnsTowardsItsTarget) {
    MathFrame goal;
    _CAM* cam = FollowCamera(&goal);
    ASSERT_NE(cam, nullptr);
    MathVec3 toTarget = goal.pos;
    math_Vec3Sub(&toTarget, &cam->current.pos);
    MathVec3 forward = {cam->current.rot.m[2][0], cam->current.rot.m[2][1], cam->current.rot.m[2][2]};
    EXPECT_NEAR(math_Vec3Length(&toTarget), 22.0f, 0.01f);
    EXPECT_LT(math_AngleBetween(&forward, &toTarget), 0.5f);
    // The target moves away; the camera follows it, looking at it.
    for (int i = 0; i < 600; i++) {
        goal.pos.x += 0.5f;
        view_CameraEyeSet(cam, &goal);
        view_CameraModeFrame(cam);
    }
    toTarget = goal.pos;
    math_Vec3Sub(&toTarget, &cam->current.pos);
    EXPECT_NEAR(math_Vec3Length(&toTarget), 22.0f, 2.0f);
    forward = {cam->current.rot.m[2][0], cam->current.rot.m[2][1], cam->current.rot.m[2][2]};
    EXPECT_LT(math_AngleBetween(&forward, &toTarget), 5.0f);
    view_CameraDestroy(cam);
}

TEST_F(ViewEnv, CameraWithoutSettingsIsInert) {
    _CAM* cam = view_CameraCreate(nullptr);
    ASSERT_NE(cam, nullptr);
    EXPECT_EQ(cam->settings.mode, 0);
    EXPECT_FLOAT_EQ(cam->saved[2], 20.0f);
    EXPECT_FLOAT_EQ(cam->settings.maximumSpeed, 2.0f);
    MathFrame goal;
    math_FrameIdentity(&goal);
    goal.pos = {50.0f, 5.0f, 5.0f};
    view_CameraEyeSet(cam, &goal);
    MathFrame before = cam->current;
    view_CameraModeSetup(cam);
    view_CameraModeFrame(cam);
    EXPECT_EQ(memcmp(&before, &cam->current, sizeof before), 0);
    // Modes outside the table do nothing either.
    cam->settings.mode = 7;
    view_CameraModeFrame(cam);
    view_CameraModeSetup(cam);
    EXPECT_EQ(memcmp(&before, &cam->current, sizeof before), 0);
    // Destroying the focus camera clears the focus.
    app_FocusObjectSet(cam);
    EXPECT_EQ(view_CameraCurrentGet(), cam);
    view_CameraDestroy(cam);
    EXPECT_EQ(app_FocusObject, nullptr);
    EXPECT_EQ(view_CameraCurrentGet(), nullptr);
}

TEST_F(ViewEnv, CamerasAreListedAndTheFollowCameraZooms) {
    view_CamerasCreate();
    ASSERT_NE(view_CameraFirst, nullptr);
    ASSERT_NE(view_CameraSecond, nullptr);
    EXPECT_EQ(view_Cameras.count, 2);
    EXPECT_EQ(view_CameraFirst->listPosition, 0);
    EXPECT_EQ(view_CameraSecond->listPosition, 1);
    EXPECT_TRUE(view_CameraIsExternal(view_CameraFirst));
    EXPECT_FALSE(view_CameraIsExternal(view_CameraSecond));
    EXPECT_FLOAT_EQ(view_CameraDistanceGet(view_CameraFirst), 22.0f);
    view_MissionStartReset();
    EXPECT_FLOAT_EQ(view_CameraFirst->settings.gains[1], 0.15f);
    EXPECT_FLOAT_EQ(view_CameraFirst->settings.gains[3], 0.05f);
    view_CamerasFree();
    EXPECT_EQ(view_Cameras.count, 0);
    EXPECT_EQ(view_CameraFirst, nullptr);
}

// Park puts the follow camera back on its resting orbit after zoom and
// spin; the pause hold stops it dead and keeps what it stopped.
TEST_F(ViewEnv, ParkAndPauseHoldOfTheFollowCamera) {
    MathFrame goal;
    _CAM* cam = FollowCamera(&goal);
    ASSERT_NE(cam, nullptr);
    view_CameraDistanceSet(cam, 300.0f);
    cam->saved[1] = 90.0f;
    goal.pos.x += 400.0f;
    view_CameraEyeSet(cam, &goal);
    for (int i = 0; i < 5; i++) view_CameraModeFrame(cam);
    ASSERT_GT(cam->speed, 0.0f);
    cam->smoothedStep[1] = 0.5f;  // as the cockpit camera's steps move

    const float speed = cam->speed, spinStep = cam->smoothedStep[1];
    view_CameraMotionHold(cam);
    EXPECT_EQ(cam->speed, 0.0f);
    for (float s : cam->smoothedStep) EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(view_CameraHeldMotion[0], speed);
    EXPECT_EQ(view_CameraHeldMotion[2], spinStep);

    view_CameraPark(cam);
    for (int i = 0; i < 3; i++) EXPECT_EQ(cam->saved[i], view_CameraSettingsFirst.base[i]) << i;
    MathVec3 toTarget = goal.pos;
    math_Vec3Sub(&toTarget, &cam->current.pos);
    EXPECT_NEAR(math_Vec3Length(&toTarget), 22.0f, 0.01f);

    // A camera that is not (or no longer) listed is left alone.
    view_CameraDestroy(cam);
    view_CameraPark(nullptr);
    view_CameraMotionHold(nullptr);
}

TEST_F(ViewEnv, CameraLogShowsTheCockpitEyeThenTheChase) {
    const std::string path = testing::TempDir() + "krx_view_simlog.txt";
    setenv("KRX_SIMLOG", path.c_str(), 1);
    plat_SimLogReset();
    view_Reset();
    Select(VIEW_MODE_COCKPIT);
    view_TrackUpdate();
    view_TrackUpdate();  // one line per mode change
    Select(VIEW_MODE_FOLLOW);
    view_LookYaw = view_LookPitch = 0;
    view_TrackUpdate();
    plat_SimLogReset();
    unsetenv("KRX_SIMLOG");
    FILE* f = fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char line[2][256] = {};
    ASSERT_NE(fgets(line[0], sizeof line[0], f), nullptr);
    ASSERT_NE(fgets(line[1], sizeof line[1], f), nullptr);
    char extra[256];
    EXPECT_EQ(fgets(extra, sizeof extra, f), nullptr);
    fclose(f);
    remove(path.c_str());
    int mode, sub, dx, dy, dz, distance;
    unsigned x, y, z;
    ASSERT_EQ(sscanf(line[0], "%*d camera mode=%d sub=%d x=%u y=%u z=%u dx=%d dy=%d dz=%d distance=%d", &mode, &sub,
                     &x, &y, &z, &dx, &dy, &dz, &distance), 9) << line[0];
    // Without a cockpit model the eye is at the aircraft.
    EXPECT_EQ(mode, VIEW_MODE_COCKPIT);
    EXPECT_EQ(x, plane.position.x);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dz, 0);
    ASSERT_EQ(sscanf(line[1], "%*d camera mode=%d sub=%d x=%u y=%u z=%u dx=%d dy=%d dz=%d distance=%d", &mode, &sub,
                     &x, &y, &z, &dx, &dy, &dz, &distance), 9) << line[1];
    EXPECT_EQ(mode, VIEW_MODE_FOLLOW);
    EXPECT_EQ(distance, 0x50000);
    double d = sqrt((double)dx * dx + (double)dy * dy + (double)dz * dz);
    EXPECT_NEAR(d, 0x50000, 32);  // the table sine peaks just below 1.0
}

TEST_F(ViewEnv, CockpitEyeOffsetRefusals) {
    _PAK_HEADER model{};
    FixVec3 out = {7, 7, 7};
    const struct {
        const _PAK_HEADER* model;
        int32_t panel;
    } cases[] = {{nullptr, 0}, {&model, -1}, {&model, 11}, {&model, 3}};
    for (const auto& c : cases) {
        out = {7, 7, 7};
        EXPECT_EQ(view_CockpitEyeOffset(c.model, c.panel, &out), -1) << c.panel;
        EXPECT_EQ(out.x, 0);
        EXPECT_EQ(out.z, 0);
    }
    EXPECT_EQ(view_CockpitEyeOffset(&model, 0, nullptr), -1);
}

}  // namespace

namespace {

// The data set's cockpit models carry an eye node for every panel.
TEST_F(PakTest, CockpitModelsHaveAnEyeForEveryPanel) {
    WriteDataSetModels();
    for (const char* name : {"krxvrtc.pak", "krxvrtcn.pak"}) {
        _PAK_HEADER* model = pak_Load(name);
        ASSERT_NE(model, nullptr) << name;
        for (int32_t panel = 0; panel <= 10; panel++) {
            FixVec3 out = {1, 1, 1};
            ASSERT_EQ(view_CockpitEyeOffset(model, panel, &out), 0) << name << " " << panel;
            MkPakXyz want = mkdata_CockpitEye(panel);
            EXPECT_EQ(out.x, want.x) << panel;
            EXPECT_EQ(out.y, want.y) << panel;
            EXPECT_EQ(out.z, want.z) << panel;
        }
        FixVec3 out;
        EXPECT_EQ(view_CockpitEyeOffset(model, 11, &out), -1);
    }
    // A model whose part information lacks the eye nodes.
    _PAK_HEADER* crate = pak_Load("crate.pak");
    ASSERT_NE(crate, nullptr);
    FixVec3 out = {1, 1, 1};
    EXPECT_EQ(view_CockpitEyeOffset(crate, 7, &out), -1);
    EXPECT_EQ(out.x, 0);
}

}  // namespace

namespace {

// A change between cockpit views moves the eye smoothly from the old panel's
// eye to the new one through the second camera object.
TEST_F(PakTest, CockpitToCockpitChangeMovesTheEyeSmoothly) {
    WriteDataSetModels();
    _PAK_HEADER* model = pak_Load("krxvrtc.pak");
    ASSERT_NE(model, nullptr);
    ObjectRecord plane{};
    plane.position = {0x40000000u, 0x1000000u, 0x40000000u};
    Client_PlayerObject = &plane;
    view_Words = ViewStateWords{};
    ViewFlags = 0;
    Client_BindPlayerObject();
    view_CockpitModel = model;
    vcp_Available = 1;
    view_CamerasCreate();
    ASSERT_NE(view_CameraSecond, nullptr);

    view_ModeSelectC(&view_ModeTable[VIEW_MODE_HUD]);
    EXPECT_EQ(view_Words.cockpitToCockpit, 0);  // from outside the cockpit family
    view_TrackUpdate();
    MkPakXyz hud = mkdata_CockpitEye(7), defence = mkdata_CockpitEye(3);
    EXPECT_EQ((int32_t)(view_State.position.y - plane.position.y), hud.y);
    EXPECT_EQ(vcp_CockpitScale, 96);

    view_ModeSelectC(&view_ModeTable[VIEW_MODE_DEFENSE]);
    EXPECT_EQ(view_Words.cockpitToCockpit, 1);
    EXPECT_EQ(view_NearPlane, 0x670);
    view_TrackUpdate();
    // The first frame still shows the old eye; then it moves without jumps.
    int32_t y = (int32_t)(view_State.position.y - plane.position.y);
    EXPECT_EQ(y, hud.y);
    int frames = 0;
    while (view_Words.cockpitToCockpit && frames < 1000) {
        view_CameraModeFrame(view_CameraSecond);
        view_TrackUpdate();
        int32_t ny = (int32_t)(view_State.position.y - plane.position.y);
        EXPECT_LE(abs(ny - y), 0x100) << frames;
        y = ny;
        frames++;
    }
    EXPECT_EQ(view_Words.cockpitToCockpit, 0);
    EXPECT_GT(frames, 5);
    EXPECT_EQ((int32_t)(view_State.position.x - plane.position.x), defence.x);
    EXPECT_EQ((int32_t)(view_State.position.y - plane.position.y), defence.y);
    EXPECT_EQ((int32_t)(view_State.position.z - plane.position.z), defence.z);
    view_TrackUpdate();  // at rest: the panel view's scale
    EXPECT_EQ(vcp_CockpitScale, 120);
    EXPECT_EQ((int32_t)(view_State.position.y - plane.position.y), defence.y);

    view_CamerasFree();
    view_CockpitModel = nullptr;
    vcp_Available = 0;
    Client_PlayerObject = nullptr;
    for (ViewModeRecord& m : view_ModeTable) m.viewedObject = nullptr;
}

}  // namespace
