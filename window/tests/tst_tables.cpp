// What a student sees of the tables: the Results page with six solutions
// scrolled sideways, whole texts of cut cells as tooltips, and every table
// scrolling down to the window's minimum size.
#include "pagesfixture.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QToolTip>

namespace {

// A click on the right (or lower) arrow of a scroll bar.
void clickForward(QScrollBar* bar) {
    const QPoint at = bar->orientation() == Qt::Horizontal
                          ? QPoint(bar->width() - 3, bar->height() / 2)
                          : QPoint(bar->width() / 2, bar->height() - 3);
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
}

void solveSix(TPagesFixture& f) {
    for (int k = 1; k <= 6; ++k) {
        f.SolveWith(1, QStringLiteral("Sim %1").arg(k));
    }
    f.Dialogs.clear();
}

// The row of an exogenous variable, whose values begin with "#".
int exogenousRow(const TPagesFixture& f) {
    for (int r = 1; r <= kv::NumVars; ++r) {
        if (f.ResultText(r, 1).startsWith(QLatin1Char('#'))) {
            return r;
        }
    }
    return 0;
}

} // namespace

class TestTables : public QObject {
    Q_OBJECT

private slots:
    // Six solutions: the labels whole, and scrolling sideways by the scroll
    // bar's arrow moves whole columns, so that no value slides under the
    // fixed column; at the end the sixth heading shows whole.
    void resultsWithSixSolutions() {
        TPagesFixture f;
        solveSix(f);
        QCOMPARE(f.CurrentPage(), int(piResults));
        TGrid* grid = f.Results()->ResultsTable();
        const TLayoutMetrics& m = f.Form->Metrics();
        QVERIFY(TFormFixture::ColumnFits(grid, 0, 29 * m.ColUnit));
        for (int k = 1; k <= 6; ++k) {
            QVERIFY(TFormFixture::ColumnFits(grid, k, 9 * m.ColUnit));
        }
        const int exo = exogenousRow(f);
        QVERIFY(exo > 0);
        QScrollBar* bar = grid->horizontalScrollBar();
        QVERIFY2(bar->isVisible(), "six solutions are wider than the window");
        for (int step = 0; step <= bar->maximum(); ++step) {
            // Every column shown starts right of the fixed column, so the "#"
            // of an exogenous value is in view wherever its value is.
            for (int k = 1; k <= 6; ++k) {
                const QRect cell = grid->CellRect(exo, k);
                if (cell.right() >= 0 && cell.left() < grid->viewport()->width()) {
                    QVERIFY2(cell.left() >= 0, qPrintable(QString("column %1").arg(k)));
                }
            }
            clickForward(bar);
        }
        QCOMPARE(bar->value(), bar->maximum());
        const QRect heading = grid->CellRect(0, 6);
        const QRect shown = grid->horizontalHeader()->viewport()->rect();
        QVERIFY(shown.contains(heading));
        QVERIFY(grid->TextFits(0, 6, heading));
        QCOMPARE(f.ResultText(0, 6), QString("Sim 6"));
        const QRect last = grid->CellRect(52, 6);
        QVERIFY(last.left() >= 0 && last.right() < grid->viewport()->width());
    }

    // A text cut at the edge of the view shows whole as a tooltip when the
    // pointer rests on it; a whole text shows none.
    void cutTextsShowAsTooltips() {
        TPagesFixture f;
        solveSix(f);
        TGrid* grid = f.Results()->ResultsTable();
        int cut = 0;
        for (int k = 1; k <= 6 && !cut; ++k) {
            if (grid->CellRect(5, k).right() >= grid->viewport()->width()) {
                cut = k;
            }
        }
        QVERIFY2(cut > 0, "a solution column reaches past the edge of the view");
        const int exo = exogenousRow(f);
        const QRect cell = grid->CellRect(exo, cut).intersected(grid->viewport()->rect());
        QTest::mouseMove(grid->viewport(), cell.center());
        QTRY_COMPARE(QToolTip::text(), f.ResultText(exo, cut));
        // The heading of that column, cut the same way.
        QHeaderView* header = grid->horizontalHeader();
        const QRect heading = grid->CellRect(0, cut).intersected(header->viewport()->rect());
        QTest::mouseMove(header->viewport(), heading.center());
        QTRY_COMPARE(QToolTip::text(), f.ResultText(0, cut));
        // A value shown whole.
        QTest::mouseMove(grid->viewport(), grid->CellRect(exo, 1).center());
        QTRY_VERIFY(QToolTip::text().isEmpty());
    }

    // At the window's minimum size every table still reaches its last cell
    // by the keyboard and the scroll bars, and the Solve page shows whole.
    void everyTableScrollsAtTheMinimumSize_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("Data") << int(piData);
        QTest::newRow("Tableau") << int(piTableau);
        QTest::newRow("Shocks") << int(piShocks);
        QTest::newRow("Results") << int(piResults);
        QTest::newRow("Updated Data") << int(piUpdatedData);
    }
    void everyTableScrollsAtTheMinimumSize() {
        QFETCH(int, page);
        TPagesFixture f;
        solveSix(f);
        // As small as the window goes.
        f.Form->resize(1, 1);
        QCoreApplication::processEvents();
        const QSize minimum = f.Form->size();
        QVERIFY(minimum.width() > 1 && minimum.height() > 1);
        QVERIFY(minimum.width() < f.Form->Metrics().WindowWidth);
        QVERIFY(minimum.height() < f.Form->Metrics().WindowHeight);
        QVERIFY(f.GoTo(page));
        TGrid* grid = f.Form->Page(page)->findChild<TGrid*>();
        QVERIFY(grid);
        QCoreApplication::processEvents();
        const int lastRow = grid->RowCount() - 1;
        const int lastCol = grid->ColCount() - 1;
        const QRect view = grid->viewport()->rect();
        if (!view.contains(grid->CellRect(lastRow, lastCol))) {
            QVERIFY(grid->horizontalScrollBar()->isVisible() ||
                    grid->verticalScrollBar()->isVisible());
        }
        // A click on the first cell after the headings, then Ctrl+End.
        const int r0 = grid->GridModel()->FixedRows();
        const int c0 = grid->GridModel()->FixedCols();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(r0, c0).center());
        if (grid->IsEditing()) {
            grid->EndEdit();
        }
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QVERIFY2(view.contains(grid->CellRect(lastRow, lastCol)),
                 qPrintable(QString("last cell at %1,%2 %3x%4 in a view of %5x%6")
                                .arg(grid->CellRect(lastRow, lastCol).x())
                                .arg(grid->CellRect(lastRow, lastCol).y())
                                .arg(grid->CellRect(lastRow, lastCol).width())
                                .arg(grid->CellRect(lastRow, lastCol).height())
                                .arg(view.width())
                                .arg(view.height())));
        // Back at the start, the first cell after the headings starts at the
        // edge of the view.
        if (grid->IsEditing()) {
            grid->EndEdit();
        }
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(grid->CellRect(r0, c0).topLeft(), QPoint(0, 0));

        // The Solve page's controls show whole at this size (a radio button
        // as far as its caption reaches).
        QVERIFY(f.GoTo(piSolve));
        for (QWidget* child : f.Solve()->findChildren<QWidget*>()) {
            if (child->parentWidget() == f.Solve() && child->isVisible()) {
                QRect used = child->geometry();
                if (qobject_cast<QRadioButton*>(child)) {
                    used.setWidth(std::min(used.width(), child->sizeHint().width()));
                }
                if (child != f.Solve()->SolveTitlePanel()) {
                    QVERIFY2(f.Solve()->rect().contains(used),
                             qPrintable(child->objectName() + QString(" %1,%2 %3x%4 in %5x%6")
                                                                  .arg(used.x())
                                                                  .arg(used.y())
                                                                  .arg(used.width())
                                                                  .arg(used.height())
                                                                  .arg(f.Solve()->width())
                                                                  .arg(f.Solve()->height())));
                }
            }
        }
    }
};

QTEST_MAIN(TestTables)
#include "tst_tables.moc"
