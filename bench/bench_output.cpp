// Speed of the output path on the largest page, the 40 x 53 Tableau page:
// building its table, and writing it as separated text, copy text and printout.
#include "model.h"
#include "pagetables.h"
#include "simtab.h"
#include "txtfile.h"

#include <QDir>

#include <benchmark/benchmark.h>

namespace {

kv::TSimTab TableauTable() {
    const kv::TExperiment E;
    kv::TSimTab T;
    QString msg;
    kv::MakePageSimTab(T, kv::TableauPageTable(E), msg);
    return T;
}

void BM_MakeTableauSimTab(benchmark::State& state) {
    const kv::TExperiment E;
    const kv::TPageTable page = kv::TableauPageTable(E);
    QString msg;
    for (auto _ : state) {
        kv::TSimTab T;
        benchmark::DoNotOptimize(kv::MakePageSimTab(T, page, msg));
    }
}
BENCHMARK(BM_MakeTableauSimTab);

void BM_WriteTableauCsv(benchmark::State& state) {
    const kv::TSimTab T = TableauTable();
    QString msg;
    for (auto _ : state) {
        kv::TStringTextOutput out;
        kv::WriteSimTabAsCSV(T, out, msg);
        benchmark::DoNotOptimize(out.Text().size());
    }
}
BENCHMARK(BM_WriteTableauCsv);

void BM_SaveTableauCsv(benchmark::State& state) {
    const kv::TSimTab T = TableauTable();
    const QString path = QDir::temp().filePath(QStringLiteral("winvelmar_bench_tableau.csv"));
    QString msg;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::SaveSimTabAsCSV(T, path, msg));
    }
    QFile::remove(path);
}
BENCHMARK(BM_SaveTableauCsv);

void BM_CopyTableauToString(benchmark::State& state) {
    const kv::TSimTab T = TableauTable();
    QString S, msg;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::CopySimTabToString(T, S, msg));
    }
}
BENCHMARK(BM_CopyTableauToString);

void BM_PrintTableauAsText(benchmark::State& state) {
    const kv::TSimTab T = TableauTable();
    QString msg;
    for (auto _ : state) {
        kv::TStringTextOutput out;
        kv::WriteSimTabAsText(T, out, 60, 80, QStringLiteral("Header"),
                              QStringLiteral("Coefficient Matrix"), msg);
        benchmark::DoNotOptimize(out.Text().size());
    }
}
BENCHMARK(BM_PrintTableauAsText);

} // namespace

BENCHMARK_MAIN();
