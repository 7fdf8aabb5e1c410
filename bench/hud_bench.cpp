// Cost of the whole HUD frame draw (cockpit hook 7) on a 640 x 480 frame at
// 8 and 16 bits, with the aircraft at speed and altitude so that every tape
// scrolls: frames/s is HUD frames a second, to weigh against the software
// frame's budget (a frame at 300 a second leaves 3.3 ms for everything).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "cockpit/hud.h"
#include "cockpit/hud_draw.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/plane.h"

namespace {

void BM_HudFrame(benchmark::State& state) {
    const int32_t bytes = (int32_t)state.range(0) / 8;
    std::vector<uint8_t> pixels((size_t)640 * 480 * bytes, 0);
    _DRAW_SURFACE s;
    draw_InitSurfaceDesc(&s, pixels.data(), 640, 480, bytes);
    s.xScale = 512;
    s.centreXF = 320 * 128;
    s.centreYF = 240 * 128;
    draw_SelectSurface(&s);
    auto jet = std::make_unique<_PLANE_JET>();
    jet->state.knots = 455.0f;
    jet->state.mach = 0.71f;
    jet->state.g = 1.3f;
    jet->state.aboveGround = 1234.0f;
    plane_Current = &jet->head;
    ObjectRecord player{};
    player.position = {0x40000000u, 12345u * 4096u, 0x40000000u};
    player.angles = {0x123456, 0, 0};
    Client_PlayerObject = &player;
    view_State.position = player.position;
    view_State.angles = player.angles;
    fix_SinCosAngles(0u - 0x123456, 0, 0, &view_State.viewMatrix);
    ViewFlags = 4;
    HudShownFlag = 1;
    otw_State.locked = 1;
    for (auto _ : state) {
        hud_FrameDraw();
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    plane_Current = nullptr;
    Client_PlayerObject = nullptr;
    otw_State.locked = 0;
}

}  // namespace

BENCHMARK(BM_HudFrame)->ArgName("bits")->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
