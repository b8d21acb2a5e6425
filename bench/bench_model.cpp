// Speed of the model core on the import-tax experiment (t2 = -10), the check
// file writes included. Run from any writable folder: the check file "TEM" is
// written in the current folder.
#include "model.h"

#include <benchmark/benchmark.h>

namespace {

kv::TExperiment ImportTaxExperiment() {
    kv::TExperiment E;
    E.ShockVec(kv::FindVariable("t2")) = -10;
    return E;
}

void BM_SolveModel(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    kv::TExperiment E = ImportTaxExperiment();
    const kv::Variable_Real shocks = E.ShockVec;
    for (auto _ : state) {
        E.ShockVec = shocks;
        const auto res = kv::SolveModel(method, E.BaseData, E.NewData, E.ShockVec, E.Closure);
        benchmark::DoNotOptimize(res);
        benchmark::DoNotOptimize(E.ShockVec);
    }
}
BENCHMARK(BM_SolveModel)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

void BM_BuildTableau(benchmark::State& state) {
    kv::TExperiment E = ImportTaxExperiment();
    kv::Tableau_Real M;
    for (auto _ : state) {
        kv::BuildTableau(E.BaseData, M);
        benchmark::DoNotOptimize(M);
    }
}
BENCHMARK(BM_BuildTableau)->Unit(benchmark::kMicrosecond);

void BM_GaussJordanSolve(benchmark::State& state) {
    kv::TExperiment E = ImportTaxExperiment();
    // The system of the first Johansen step.
    kv::SquareMatrix A0;
    kv::EndoVector b0;
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        for (int r = 1; r <= kv::NumEqs; ++r) {
            if (E.Closure.Endo(v)) {
                A0(r)(E.Closure.EndoPos(v)) = E.Tableau(r, v);
            } else {
                b0(r) -= E.Tableau(r, v) * E.ShockVec(v);
            }
        }
    }
    kv::EndoVector x;
    for (auto _ : state) {
        kv::SquareMatrix A = A0;
        kv::EndoVector b = b0;
        benchmark::DoNotOptimize(kv::GaussJordanSolve(A, b, x));
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_GaussJordanSolve)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
