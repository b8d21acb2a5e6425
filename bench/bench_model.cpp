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

void SetUpExperiment() {
    kv::InitModel();
    kv::ShockVec(kv::FindVariable("t2")) = -10;
}

void BM_SolveModel(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    SetUpExperiment();
    const kv::Variable_Real shocks = kv::ShockVec;
    for (auto _ : state) {
        kv::ShockVec = shocks;
        const auto res =
            kv::SolveModel(method, kv::BaseData, kv::NewData, kv::ShockVec, kv::Closure);
        benchmark::DoNotOptimize(res);
        benchmark::DoNotOptimize(kv::ShockVec);
    }
}
BENCHMARK(BM_SolveModel)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// The same solves with the shock decomposition computed along; method 5 with
// it should take at most twice method 5 without.
void BM_SolveModelDecomposed(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    SetUpExperiment();
    const kv::Variable_Real shocks = kv::ShockVec;
    auto decomposition = std::make_unique<kv::TDecomposition>();
    for (auto _ : state) {
        kv::ShockVec = shocks;
        const auto res = kv::SolveModel(method, kv::BaseData, kv::NewData, kv::ShockVec,
                                        kv::Closure, decomposition.get());
        benchmark::DoNotOptimize(res);
        benchmark::DoNotOptimize(*decomposition);
    }
}
BENCHMARK(BM_SolveModelDecomposed)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// The seven Euler runs of the convergence view.
void BM_ComputeConvergence(benchmark::State& state) {
    SetUpExperiment();
    for (auto _ : state) {
        const auto conv = kv::ComputeConvergence(kv::BaseData, kv::ShockVec, kv::Closure);
        benchmark::DoNotOptimize(conv);
    }
}
BENCHMARK(BM_ComputeConvergence)->Unit(benchmark::kMicrosecond);

// The closure check the Closure page runs after every exchange: 0 the default
// closure (sound: the pivot test and the decomposition only); 1 "x(11)3"
// exchanged with "phi" and 2 "x(32)1" with "phi" (singular: the analysis and
// all 507 trial exchanges). Well under 16 ms keeps the page from stuttering.
void BM_CheckClosure(benchmark::State& state) {
    SetUpExperiment();
    const char* const exchanges[][2] = {{nullptr, nullptr}, {"x(11)3", "phi"}, {"x(32)1", "phi"}};
    const auto* x = exchanges[state.range(0)];
    std::optional<kv::TExchange> last;
    if (x[0] != nullptr) {
        last = kv::TExchange{kv::FindVariable(x[0]), kv::FindVariable(x[1])};
        int item = 0;
        for (int j = 1; j <= kv::NumExo; ++j) {
            if (kv::Closure.ExoList(j) == last->Exogenous) {
                item = j;
            }
        }
        kv::ExchangeVariables(kv::Closure, kv::Closure.EndoPos(last->Endogenous), item);
    }
    for (auto _ : state) {
        const auto check = kv::CheckClosure(kv::Tableau, kv::Closure, last);
        benchmark::DoNotOptimize(check);
    }
}
BENCHMARK(BM_CheckClosure)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_BuildTableau(benchmark::State& state) {
    SetUpExperiment();
    kv::Tableau_Real M;
    for (auto _ : state) {
        kv::BuildTableau(kv::BaseData, M);
        benchmark::DoNotOptimize(M);
    }
}
BENCHMARK(BM_BuildTableau)->Unit(benchmark::kMicrosecond);

void BM_GaussJordanSolve(benchmark::State& state) {
    SetUpExperiment();
    // The system of the first Johansen step.
    kv::SquareMatrix A0;
    kv::EndoVector b0;
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        for (int r = 1; r <= kv::NumEqs; ++r) {
            if (kv::Closure.Endo(v)) {
                A0(r)(kv::Closure.EndoPos(v)) = kv::Tableau(r, v);
            } else {
                b0(r) -= kv::Tableau(r, v) * kv::ShockVec(v);
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
