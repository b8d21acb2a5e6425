// Speed of a printout on the printer text stream: the Tableau page (five
// column groups on A4 portrait) printed into a PDF file, from the start of
// the job to its end. Runs on the offscreen platform unless another is set.
#include "model.h"
#include "pagetables.h"
#include "printertextoutput.h"
#include "simtab.h"

#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>

#include <benchmark/benchmark.h>

namespace {

void BM_PrintTableauToPdf(benchmark::State& state) {
    const kv::TExperiment E;
    kv::TSimTab T;
    QString msg;
    kv::MakePageSimTab(T, kv::TableauPageTable(E), msg);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::temp().filePath(QStringLiteral("winvelmar_bench_print.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QString header = kv::PrintoutHeader(QDateTime::currentDateTime());
    for (auto _ : state) {
        kv::TPrinterTextOutput out(printer);
        out.Open();
        const QFont font = kv::PrinterFont();
        out.SetFont(font);
        const kv::TPrinterMetrics m = kv::MeasurePrinter(printer, font);
        benchmark::DoNotOptimize(kv::WriteSimTabAsText(T, out, m.PageLen(), m.PageWidth(), header,
                                                       QStringLiteral("Coefficient Matrix"), msg));
        benchmark::DoNotOptimize(out.Close());
    }
    QFile::remove(printer.outputFileName());
}
BENCHMARK(BM_PrintTableauToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
