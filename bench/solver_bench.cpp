// Solver timings: the classic layout solved optimally, and the optimal count
// of every layout. The solver numbers all layouts once per process, on its
// first use; main times that first call on its own and prints it before the
// benchmarks run, so the loops measure the searches alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "solver/solver.h"

namespace {

using namespace quorvale;
using namespace quorvale::solver;

const Positions kClassic{1, 21, 0, 3, 20, 23, 31, 32, 40, 43};

void BM_SolveClassic(benchmark::State& state, MoveCounting counting) {
    for (auto _ : state) {
        Solution s = solve(kClassic, counting);
        benchmark::DoNotOptimize(s.moves.data());
        if (!s.solvable) state.SkipWithError("classic layout not solved");
    }
    state.counters["moves"] = static_cast<double>(solve(kClassic, counting).moves.size());
}

void BM_SolveSpace(benchmark::State& state, MoveCounting counting) {
    for (auto _ : state) {
        SpaceTable t = solveSpace(counting);
        benchmark::DoNotOptimize(t.counts().data());
    }
    state.counters["max"] = solveSpace(counting).maxCount();
}

BENCHMARK_CAPTURE(BM_SolveClassic, steps, MoveCounting::Steps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveClassic, any_route, MoveCounting::AnyRoute)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveSpace, steps, MoveCounting::Steps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveSpace, any_route, MoveCounting::AnyRoute)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    const Solution first = solve(kClassic, MoveCounting::Steps);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("First solve in this process (numbering all layouts included): %.2f ms, %zu moves\n", took.count(),
                first.moves.size());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
