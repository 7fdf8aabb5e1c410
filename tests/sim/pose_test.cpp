// Model part poses: gear by the airborne state, counter-rotating
// propellers, rotors, the jet's exhaust and heat, parts a model lacks, the
// binding by the model's pose kind, and the data set's vehicles.
#include "world/pak_fixture.h"

#include "render/object.h"
#include "sim/obj.h"
#include "sim/pose.h"

namespace {

class PoseTest : public PakTest {
protected:
    void SetUp() override {
        PakTest::SetUp();
        render_Object.hookLevel = 0;
    }
    // A body with gear legs 15 to 18 and propellers and their discs 63 to
    // 66 as sub-objects 1 to 8, named by its part information.
    _PAK_HEADER* Vehicle(uint16_t poseKind) {
        MkPak p;
        p.name = "vehicle";
        p.poseKind = poseKind;
        std::vector<MkPakXyz> pivots(8, MkPakXyz{0, 0, 0x1000});
        p.geometries.push_back(mkdata_PakCube(0x1000, {Flat(90, 90, 90)}, pivots));
        MkPakModel m;
        m.size = 0x1000000;
        for (int32_t i = 0; i <= 8; i++) m.subObjects.push_back({0, 0, {0, 0, 0}});
        p.models.push_back(m);
        Write("vehicle.pak", mkdata_PakBuild(p));
        MkPibNode node;
        node.parts.push_back({"Body", 0});
        const int32_t named[8] = {15, 16, 17, 18, 63, 64, 65, 66};
        for (int32_t k = 0; k < 8; k++) node.parts.push_back({pak_OrientPartNames[named[k]], k + 1});
        Write("vehicle.PIB", mkdata_PibBuild({node}));
        return pak_LoadPakEx("vehicle.pak", nullptr, nullptr);
    }
};

TEST_F(PoseTest, GearFollowsTheAirborneStateAndPropellersCounterRotate) {
    _PAK_HEADER* model = Vehicle(1);
    ASSERT_NE(model, nullptr);
    ObjectRecord o{};
    o.model = model;
    o.rotorAngle = 0x100000;
    for (bool airborne : {true, false}) {
        o.stateFlags = airborne ? OBJ_STATE_AIRBORNE : 0;
        model_PoseGear(&o);
        for (int32_t n = 15; n <= 18; n++) {
            ASSERT_NE(model_PartFind(&o, n), nullptr) << n;
            EXPECT_EQ(model_PartFind(&o, n)->flags, airborne ? 0x80 : 0) << n;
        }
    }
    EXPECT_EQ(model_PartFind(&o, 63)->angles[2], 0x800000);
    EXPECT_EQ(model_PartFind(&o, 65)->angles[2], 0x800000);
    EXPECT_EQ(model_PartFind(&o, 64)->angles[2], 0xf800000);
    EXPECT_EQ(model_PartFind(&o, 66)->angles[2], 0xf800000);
    // The body itself is never touched.
    EXPECT_EQ(model_PartFind(&o, 0)->flags, 0);
}

TEST_F(PoseTest, PartsTheModelLacksAreSkipped) {
    _PAK_HEADER* model = Vehicle(0);
    ASSERT_NE(model, nullptr);
    ObjectRecord o{};
    o.model = model;
    o.stateFlags = OBJ_STATE_AIRBORNE;
    o.rotorAngle = 0x40000;
    EXPECT_EQ(model_PartFind(&o, 57), nullptr);
    EXPECT_EQ(model_PartFind(&o, 30), nullptr);
    model_PoseRotor(&o);
    model_PoseRadar(&o);  // the gear goes up; no radar to turn
    EXPECT_EQ(model_PartFind(&o, 15)->flags, 0x80);
    // Another detail level has no part information: nothing is found.
    render_Object.hookLevel = 1;
    EXPECT_EQ(model_PartFind(&o, 15), nullptr);
    model_PoseGear(&o);
    render_Object.hookLevel = 0;
    // Jet: gear 15, 17, 18 by the airborne state, with their angles cleared;
    // the frame byte follows the AI program.
    o.stateFlags = 0;
    model_PartFind(&o, 17)->angles[1] = 0x1234;
    o.aiFlags = OBJ_AI_RUNNING;
    model_PoseJet(&o);
    EXPECT_EQ(model_PartFind(&o, 15)->flags, 0);
    EXPECT_EQ(model_PartFind(&o, 16)->flags, 0x80);  // not the jet's
    EXPECT_EQ(model_PartFind(&o, 17)->angles[1], 0);
    EXPECT_EQ(o.frame, 1);
    o.aiFlags = 0;
    model_PoseJet(&o);
    EXPECT_EQ(o.frame, 0);
    model_AnimStep(&o);
    EXPECT_EQ(o.frame, 1);
}

TEST_F(PoseTest, BindingByThePoseKind) {
    const struct {
        uint16_t kind;
        ObjectRoutine routine;
    } cases[] = {{0, model_AnimStep}, {1, model_PoseGear}, {2, model_PoseRadar},
                 {3, model_PoseJet},  {4, model_PoseRotor}, {5, model_PoseRotor}, {9, model_AnimStep}};
    for (const auto& c : cases) {
        _PAK_HEADER* model = Vehicle(c.kind);
        ASSERT_NE(model, nullptr);
        ObjectRecord o{};
        o.model = model;
        model_PoseBind(&o);
        EXPECT_EQ(o.partHook, c.routine) << c.kind;
        pak_UnloadAll();
    }
    ObjectRecord none{};
    model_PoseBind(&none);
    EXPECT_EQ(none.partHook, model_AnimStep);
}

TEST_F(PoseTest, DataSetVehiclesCarryTheirPoseParts) {
    PffRecord* pff = pff_Open(KRX_DATA_DIR "/KRX.PFF");
    ASSERT_NE(pff, nullptr);
    ASSERT_GE(file_PffSlotAdd(pff), 0);
    _PAK_HEADER* krx = pak_Load("krx.pak");
    ASSERT_NE(krx, nullptr);
    EXPECT_EQ(krx->modelCount, 2);
    EXPECT_EQ(model_PoseKind(krx), 3);
    ObjectRecord jet{};
    jet.model = krx;
    for (int32_t n : {0, 15, 16, 17, 18, 44, 47, 68, 90}) EXPECT_NE(model_PartFind(&jet, n), nullptr) << n;
    _PAK_HEADER* sam = pak_Load("SAMSITE.PAK");
    ASSERT_NE(sam, nullptr);
    EXPECT_EQ(model_PoseKind(sam), 2);
    ObjectRecord site{};
    site.model = sam;
    site.rotorAngle = 0x345678;
    model_PoseRadar(&site);
    ASSERT_NE(model_PartFind(&site, 30), nullptr);
    EXPECT_EQ(model_PartFind(&site, 30)->angles[0], 0x345678);
}

}  // namespace
