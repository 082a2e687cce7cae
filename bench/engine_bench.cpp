// The cost of the two things the program does on every mouse move of a
// drag, natively and without the platform: building and handing over a
// ramp (ApplyBrightness), and the whole move handler (OnKnobMoved), which
// reads the geometry, places the knob, rewrites the readout and then
// writes a ramp.
#include <benchmark/benchmark.h>

#include "bench/fakes.h"
#include "engine/engine.h"
#include "toolkit/toolkit.h"
#include "ui/layout.h"
#include "ui/slider.h"

namespace {

void Capture() {
  CreateSavedRamp();
  CaptureRamp();
}

void BM_ApplyBrightness(benchmark::State& state) {
  Capture();
  const auto offset = static_cast<std::int32_t>(state.range(0));
  const long before = bench::ramps_written;
  for (auto _ : state) {
    ApplyBrightness(offset);
    benchmark::DoNotOptimize(bench::last_word);
  }
  state.counters["ramps"] = static_cast<double>(bench::ramps_written - before);
  ReleaseSavedRamp();
}
// The slider's two ends, the start-up dimming, the restore, and a brightening.
BENCHMARK(BM_ApplyBrightness)->Arg(-50)->Arg(-25)->Arg(-12)->Arg(0)->Arg(30);

void BM_OnKnobMoved(benchmark::State& state) {
  Capture();
  tk::LoadStartWindow(MainWindowLayout());
  OnKnobPressed(6, 14, 0);
  int x = 0;
  for (auto _ : state) {
    // Across the track and past both of its ends.
    bench::cursor_x = x;
    x = (x + 7) % 420;
    OnKnobMoved(0, 0, 0);
    benchmark::DoNotOptimize(bench::last_word);
  }
  OnKnobReleased(0, 0, 0);
  ReleaseSavedRamp();
}
BENCHMARK(BM_OnKnobMoved);

}  // namespace

BENCHMARK_MAIN();
