// Speed of the experiment as a document: saving and opening an experiment
// with six solutions (as the window does: to the file's text and through an
// atomic file, and back into the window's document), and the undo and redo
// of a closure exchange in the main window with its pages updated and
// repainted; and the Results page's chart shown. Runs on the offscreen platform unless another is
// set, from a writable folder (the solves write the check file "TEM").
#include "experimentdoc.h"
#include "experimentfiles.h"
#include "sdiappform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QToolButton>

#include <benchmark/benchmark.h>

namespace {

// Six solutions by every method of the import-tax experiment.
kv::TExperiment SixSolutions() {
    kv::TExperiment E;
    E.SetShock(kv::FindVariable("t2"), -10);
    for (int method : {1, 2, 3, 4, 5, 1}) {
        E.Solve(method);
    }
    return E;
}

QString BenchFile() {
    return QDir::temp().filePath(QStringLiteral("winvelmar_bench.kvx"));
}

void BM_SaveExperiment(benchmark::State& state) {
    const kv::TExperiment E = SixSolutions();
    const kv::TExperimentFile file{E.State(), 6, {}};
    for (auto _ : state) {
        const std::string text = kv::ExperimentToJson(file, "WinVELMAR bench");
        QSaveFile out(BenchFile());
        out.open(QIODevice::WriteOnly);
        out.write(text.data(), static_cast<qint64>(text.size()));
        benchmark::DoNotOptimize(out.commit());
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(BenchFile()).size());
}
BENCHMARK(BM_SaveExperiment)->Unit(benchmark::kMillisecond);

void BM_OpenExperiment(benchmark::State& state) {
    const kv::TExperiment E = SixSolutions();
    const std::string text = kv::ExperimentToJson({E.State(), 6, {}}, "WinVELMAR bench");
    {
        QFile out(BenchFile());
        out.open(QIODevice::WriteOnly);
        out.write(text.data(), static_cast<qint64>(text.size()));
    }
    TExperimentDoc doc;
    for (auto _ : state) {
        QFile in(BenchFile());
        in.open(QIODevice::ReadOnly);
        kv::TExperimentFile file;
        std::string error;
        kv::ExperimentFromJson(in.readAll().toStdString(), file, error);
        doc.Replace(file.State);
        benchmark::DoNotOptimize(doc.Experiment().Solutions.Count);
    }
}
BENCHMARK(BM_OpenExperiment)->Unit(benchmark::kMillisecond);

// Undo and redo of one exchange, each with the window's update and a repaint
// of the page shown (the Closure page, where the change was made).
void BM_UndoRedoExchange(benchmark::State& state) {
    TSDIAppForm form(false);
    form.show();
    for (int page = 1; page < PageCount; ++page) {
        form.SetUpPage(page);
    }
    form.ShowPageDirectly(piClosure);
    form.Doc().Exchange(form.Experiment().Closure.EndoPos(kv::FindVariable("cpi")), 13);
    QApplication::processEvents();
    for (auto _ : state) {
        form.Undo1Click();
        form.repaint();
        form.Redo1Click();
        form.repaint();
    }
    // Two steps per iteration: the time of one is half the time shown.
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_UndoRedoExchange)->Unit(benchmark::kMillisecond);

// Switching the Results page to its chart with six solutions stored: the
// bars built from the store and the page repainted.
void BM_ShowResultsChart(benchmark::State& state) {
    TSDIAppForm form(false);
    form.resize(1400, 900);
    form.show();
    form.MutableExperiment().SetShock(kv::FindVariable("t2"), -10);
    for (int method : {1, 2, 3, 4, 5, 1}) {
        form.Doc().Solve(method);
    }
    form.ShowPageDirectly(piResults);
    QApplication::processEvents();
    QToolButton* button = form.tabResults->findChild<QToolButton*>(QStringLiteral("ChartButton"));
    for (auto _ : state) {
        button->setChecked(true);
        form.repaint();
        state.PauseTiming();
        button->setChecked(false);
        form.repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowResultsChart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(BenchFile());
    return 0;
}
