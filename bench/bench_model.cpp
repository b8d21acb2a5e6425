// Speed of the model core on the import-tax experiment (t2 = -10), the check
// file writes included. Run from any writable folder: the check file "TEM" is
// written in the current folder.
#include "closurecheck.h"
#include "convergence.h"
#include "model.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

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

// The same solves with the shock decomposition computed along; method 5 with
// it should take at most twice method 5 without.
void BM_SolveModelDecomposed(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    kv::TExperiment E = ImportTaxExperiment();
    const kv::Variable_Real shocks = E.ShockVec;
    auto decomposition = std::make_unique<kv::TDecomposition>();
    for (auto _ : state) {
        E.ShockVec = shocks;
        const auto res = kv::SolveModel(method, E.BaseData, E.NewData, E.ShockVec, E.Closure,
                                        decomposition.get());
        benchmark::DoNotOptimize(res);
        benchmark::DoNotOptimize(*decomposition);
    }
}
BENCHMARK(BM_SolveModelDecomposed)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// The seven Euler runs of the convergence view.
void BM_ComputeConvergence(benchmark::State& state) {
    kv::TExperiment E = ImportTaxExperiment();
    for (auto _ : state) {
        const auto conv = kv::ComputeConvergence(E.BaseData, E.ShockVec, E.Closure);
        benchmark::DoNotOptimize(conv);
    }
}
BENCHMARK(BM_ComputeConvergence)->Unit(benchmark::kMicrosecond);

// The closure check the Closure page runs after every exchange: 0 the default
// closure (sound: the pivot test and the decomposition only); 1 "x(11)3"
// exchanged with "phi" and 2 "x(32)1" with "phi" (singular: the analysis and
// all 507 trial exchanges). Well under 16 ms keeps the page from stuttering.
void BM_CheckClosure(benchmark::State& state) {
    kv::TExperiment E = ImportTaxExperiment();
    const char* const exchanges[][2] = {{nullptr, nullptr}, {"x(11)3", "phi"}, {"x(32)1", "phi"}};
    const auto* x = exchanges[state.range(0)];
    std::optional<kv::TExchange> last;
    if (x[0] != nullptr) {
        last = kv::TExchange{kv::FindVariable(x[0]), kv::FindVariable(x[1])};
        int item = 0;
        for (int j = 1; j <= kv::NumExo; ++j) {
            if (E.Closure.ExoList(j) == last->Exogenous) {
                item = j;
            }
        }
        kv::ExchangeVariables(E.Closure, E.Closure.EndoPos(last->Endogenous), item);
    }
    for (auto _ : state) {
        const auto check = kv::CheckClosure(E.Tableau, E.Closure, last);
        benchmark::DoNotOptimize(check);
    }
}
BENCHMARK(BM_CheckClosure)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

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
