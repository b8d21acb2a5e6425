// The Results page's chart: its bars against the grid's numbers as the store
// changes, and the chart saved as SVG and printed to PDF.
#include "../../output/tests/pdftext.h"
#include "chartview.h"
#include "colmovedlg.h"
#include "experimentdoc.h"
#include "outputcommands.h"
#include "pagesfixture.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QToolButton>
#include <QUndoStack>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// Solves t2 = -10 with each method given, titled M1, M2, ...
void SolveT2(TPagesFixture& f, const QList<int>& methods) {
    QVERIFY(f.GoTo(piShocks));
    QVERIFY(f.EnterShock(f.ShockRow("t2"), QStringLiteral("-10")));
    for (int m : methods) {
        f.SolveWith(m, QStringLiteral("M%1").arg(m));
    }
    QVERIFY(f.GoTo(piResults));
}

TResultsChartView* ShowChart(TPagesFixture& f) {
    QTest::mouseClick(f.Results()->ChartButton(), Qt::LeftButton);
    return f.Results()->ResultsChart();
}

// The bars as the chart holds them: per set its label and per bar the text
// of the grid's cell ('#' for a selected, exogenous bar).
QStringList BarTexts(const TResultsChartView* chart) {
    QStringList texts;
    const auto series = chart->Chart()->series();
    if (series.size() != 1) {
        return {QStringLiteral("series: %1").arg(series.size())};
    }
    for (const QBarSet* set : static_cast<QBarSeries*>(series[0])->barSets()) {
        QStringList row{set->label()};
        const QList<int> selected = set->selectedBars();
        for (int i = 0; i < set->count(); ++i) {
            row << (selected.contains(i) ? QStringLiteral("#") : QString()) +
                       kv::ChartNumber(set->at(i));
        }
        texts << row.join(QLatin1Char('|'));
    }
    return texts;
}

// The same from the grid, for the chart's variables.
QStringList GridTexts(const TPagesFixture& f, const std::vector<kv::Variable>& vars) {
    QStringList texts;
    for (const QString& title : f.ResultTitles()) {
        const int k = int(texts.size()) + 1;
        QStringList row{title};
        for (kv::Variable v : vars) {
            row << f.ResultText(v, k);
        }
        texts << row.join(QLatin1Char('|'));
    }
    return texts;
}

} // namespace

class TestCharts : public QObject {
    Q_OBJECT
private slots:
    void chartShowsTheGridsNumbersAndFollowsTheStore() {
        TPagesFixture f;
        SolveT2(f, {1, 2, 5});
        TResultsChartView* chart = ShowChart(f);
        QVERIFY(chart->isVisible());
        const auto vars = chart->ChosenVariables();
        QCOMPARE(int(vars.size()), 10);
        QCOMPARE(chart->Data().Categories.join(QLatin1Char(' ')),
                 QStringLiteral("c z1 z2 phi l m e delB cpi cR"));
        QCOMPARE(BarTexts(chart), GridTexts(f, vars));

        // A variable picked in the list: t2, exogenous in every solution.
        const kv::Variable t2 = kv::FindVariable("t2");
        QListWidget* list = chart->VariableList();
        QListWidgetItem* item = list->item(t2 - 1);
        QCOMPARE(item->text(), QStringLiteral("t2"));
        QCOMPARE(item->toolTip(), QString::fromStdString(kv::VarDesc(t2)));
        const QRect box = list->visualItemRect(item);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).topLeft() + QPoint(8, box.height() / 2));
        QCOMPARE(item->checkState(), Qt::Checked);
        QCOMPARE(int(chart->ChosenVariables().size()), 11);
        QVERIFY(BarTexts(chart).join(' ').contains(QStringLiteral("#-10.000")));
        QCOMPARE(BarTexts(chart), GridTexts(f, chart->ChosenVariables()));

        // Moved, deleted, and the deletion undone.
        f.ClickHeading(1, TColMoveDlg::crMoveRight);
        QCOMPARE(f.ResultTitles(), (QStringList{"M2", "M1", "M5"}));
        QCOMPARE(BarTexts(chart), GridTexts(f, chart->ChosenVariables()));
        // The grid beside the chart scrolled to its last column.
        QScrollBar* scroll = f.Results()->ResultsTable()->horizontalScrollBar();
        scroll->setValue(scroll->maximum());
        f.ClickHeading(3, TColMoveDlg::crDelete);
        QCOMPARE(BarTexts(chart).size(), 2);
        QCOMPARE(BarTexts(chart), GridTexts(f, chart->ChosenVariables()));
        f.Form->Doc().UndoStack()->undo();
        QCOMPARE(BarTexts(chart).size(), 3);
        QCOMPARE(BarTexts(chart), GridTexts(f, chart->ChosenVariables()));
        f.SolveWith(3, QStringLiteral("M3"));
        QVERIFY(f.GoTo(piResults));
        QCOMPARE(BarTexts(chart), GridTexts(f, chart->ChosenVariables()));

        // F1 on the chart view asks for its own topic.
        chart->VariableList()->setFocus();
        QTest::keyClick(chart->VariableList(), Qt::Key_F1);
        QCOMPARE(f.Topics.value(f.Topics.size() - 1), TResultsPage::ChartsHelpContext);

        // Hidden again by the button; the grid stays.
        QTest::mouseClick(f.Results()->ChartButton(), Qt::LeftButton);
        QVERIFY(!chart->isVisible());
        QVERIFY(f.Results()->ResultsTable()->isVisible());
    }

    // The decomposition's stacks add up to the grid's results; the
    // convergence runs meet the stored Euler 4-step and 2-4-8 solutions.
    void decompositionAndConvergenceMeetTheGrid() {
        TPagesFixture f;
        SolveT2(f, {2, 4});
        TResultsChartView* chart = ShowChart(f);
        QComboBox* kind = chart->findChild<QComboBox*>(QStringLiteral("ChartKind"));
        QComboBox* solution = chart->findChild<QComboBox*>(QStringLiteral("ChartSolution"));
        QVERIFY(kind && solution);
        QTest::keyClick(kind, Qt::Key_Down);
        QCOMPARE(chart->Kind(), TResultsChartView::ckDecomposition);
        QCOMPARE(solution->count(), 2);
        const auto vars = chart->ChosenVariables();
        for (int k : {1, 2}) {
            chart->SetSolution(k);
            const kv::TBarChartData& data = chart->Data();
            QVERIFY(!data.Series.empty());
            QVERIFY(data.Series[0].Label.startsWith(QStringLiteral("t2 = ")));
            for (size_t i = 0; i < vars.size(); ++i) {
                double sum = 0;
                for (const kv::TChartSeries& s : data.Series) {
                    sum += s.Values[i];
                }
                const QString result = f.ResultText(vars[i], k).remove(QLatin1Char('#'));
                QCOMPARE(kv::ChartNumber(sum), result);
                QCOMPARE(kv::ChartNumber(data.Totals[i]), result);
            }
        }

        QTest::keyClick(kind, Qt::Key_Down);
        QCOMPARE(chart->Kind(), TResultsChartView::ckConvergence);
        const kv::Variable cpi = kv::FindVariable("cpi");
        chart->VariableList()->setCurrentRow(cpi - 1);
        chart->SetSolution(1);
        const kv::TConvergenceChartData& conv = chart->ConvergenceData();
        QCOMPARE(int(conv.Euler.size()), 7);
        QCOMPARE(conv.Euler[2].InverseSteps, 0.25);
        QCOMPARE(kv::ChartNumber(conv.Euler[2].Value), f.ResultText(cpi, 1));
        QCOMPARE(conv.Solution.InverseSteps, 0.25);
        QCOMPARE(int(conv.Extrapolations.size()), 2);
        QCOMPARE(kv::ChartNumber(conv.Extrapolations[0].Value), f.ResultText(cpi, 2));
        chart->SetSolution(2);
        QCOMPARE(chart->ConvergenceData().Solution.InverseSteps, 0.0);
        QCOMPARE(kv::ChartNumber(chart->ConvergenceData().Solution.Value), f.ResultText(cpi, 2));
    }

    // The names under the bars are never cut: upright where each fits its
    // category, turned on end where the chart is narrow; and every name of
    // the variable list shows whole.
    void namesUnderTheBarsAreNeverCut() {
        TPagesFixture f;
        SolveT2(f, {1});
        TResultsChartView* chart = ShowChart(f);
        auto labelsAngle = [chart](int width) {
            chart->resize(width, 500);
            QCoreApplication::processEvents();
            const auto axes = chart->Chart()->axes(Qt::Horizontal);
            auto* x = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis*>(axes[0]);
            return x && x->truncateLabels() == (x->labelsAngle() == 0) ? x->labelsAngle() : 1;
        };
        QTRY_COMPARE(labelsAngle(320), -90);
        QTRY_COMPARE(labelsAngle(1600), 0);
        QListWidget* list = chart->VariableList();
        const QFontMetrics metrics = list->fontMetrics();
        for (int row = 0; row < list->count(); ++row) {
            QVERIFY(metrics.horizontalAdvance(list->item(row)->text()) <
                    list->viewport()->width() - metrics.height());
        }
    }

    void savedSvgAndPrintedPdfHoldTheLabels() {
        TPagesFixture f;
        SolveT2(f, {1, 4});
        TResultsChartView* chart = ShowChart(f);
        chart->resize(900, 500);

        const QString svg = f.Dir.filePath(QStringLiteral("chart.svg"));
        QVERIFY(chart->SaveSvg(svg));
        QFile file(svg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList texts;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QStringLiteral("text")) {
                texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        for (const char* label : {"M1", "M4", "cpi", "delB", "z2"}) {
            QVERIFY2(texts.contains(QString::fromLatin1(label)), qPrintable(texts.join('|')));
        }

        const QDateTime now(QDate(2026, 3, 4), QTime(10, 20));
        TOutputEnvironment env;
        env.RunDialog = [](QDialog&, const QString&) { return true; };
        env.PrinterInstalled = [] { return true; };
        env.Now = [now] { return now; };
        TOutputCommands commands(env);
        const QString pdf = f.Dir.filePath(QStringLiteral("chart.pdf"));
        commands.Printer().setOutputFormat(QPrinter::PdfFormat);
        commands.Printer().setOutputFileName(pdf);
        commands.PrintPicture(
            [chart](QPrinter& printer, const QString& header) { chart->Print(printer, header); });
        const kvtest::PdfText text = kvtest::ReadPdfText(pdf);
        QVERIFY2(text.Ok, qPrintable(text.Error));
        QCOMPARE(text.Pages.size(), 1);
        QVERIFY(text.Pages[0].contains(kv::PrintoutHeader(now).trimmed()));
        QVERIFY(text.Pages[0].contains(QStringLiteral("M4")));
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
