// What an error costs when the debug log records its call stack at the point
// where it is raised, against the same error without the recording.
#include "errors.h"
#include "vkstacktrace.h"

#include <benchmark/benchmark.h>

namespace {

[[gnu::noinline]] double Raise(double x) {
    volatile double q = kv::CheckedDiv(x, 0.0);
    return q;
}

void RaiseAndCatch(benchmark::State& state, bool record) {
    VkStackTrace::Enable(record);
    for (auto _ : state) {
        try {
            Raise(1.0);
        } catch (const kv::Exception& e) {
            benchmark::DoNotOptimize(e.stackTrace().size());
        }
    }
    VkStackTrace::Enable(false);
}

void BM_ErrorWithoutStack(benchmark::State& state) {
    RaiseAndCatch(state, false);
}
void BM_ErrorWithStack(benchmark::State& state) {
    RaiseAndCatch(state, true);
}

} // namespace

BENCHMARK(BM_ErrorWithoutStack);
BENCHMARK(BM_ErrorWithStack);
BENCHMARK_MAIN();
