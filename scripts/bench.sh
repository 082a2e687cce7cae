#!/usr/bin/env bash
# Prints the benchmark figures: the size of screendim.exe, and a native
# Google Benchmark of building and writing a ramp (ApplyBrightness) and of
# the slider's move handler (OnKnobMoved) against the fakes in bench/.
# Built in Release in build/bench, apart from the Debug build of the tests.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$ROOT"

need_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev
build_windows
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || die "configuring build/bench failed"
cmake --build build/bench --target engine_bench >/dev/null || die "building engine_bench failed"

echo "== footprint"
echo "screendim.exe: $(stat -c %s build/windows/screendim.exe) bytes"
echo "== engine, native"
build/bench/bench/engine_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
