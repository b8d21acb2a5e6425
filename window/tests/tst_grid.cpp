// The grid infrastructure with fixed headings, as the Tableau, Shocks and
// Results pages use it: headings that stay in view, clicks on them, cell
// styles, lines and the numeric editor with another range.
#include "grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

namespace {

// 40 rows by 30 columns; row 0 and column 0 are headings; column 2 edits
// values from -99 to 500.
class TTestModel : public TGridModel {
public:
    TTestModel() {
        FEdit.Editable = true;
        FEdit.Range = TNumericRange{-99, 500, 2, 7};
        FLeft.Alignment = Qt::AlignLeft | Qt::AlignVCenter;
        FLeft.Background = QColor(0, 255, 255);
        SetColumnStyle(0, &FLeft);
        SetColumnStyle(2, &FEdit);
        SetCellStyle(0, 2, &FPlain);
        Values.fill(0.0);
    }
    int RowCount() const override { return 40; }
    int ColCount() const override { return Cols; }
    QString CellText(int r, int c) const override {
        if (r == 0 && c == 0) {
            return QStringLiteral("Corner");
        }
        if (r == 0) {
            return QStringLiteral("C%1").arg(c);
        }
        if (c == 0) {
            return QStringLiteral("R%1").arg(r);
        }
        if (c == 2) {
            return QString::number(Values[static_cast<std::size_t>(r)], 'f', 2);
        }
        return QStringLiteral("%1,%2").arg(r).arg(c);
    }
    double CellValue(int r, int) const override { return Values[static_cast<std::size_t>(r)]; }
    bool SetCellValue(int r, int, double v) override {
        Values[static_cast<std::size_t>(r)] = v;
        return true;
    }
    std::array<double, 40> Values{};
    int Cols = 30;

private:
    TCellStyle FEdit, FLeft, FPlain;
};

} // namespace

class TestGrid : public QObject {
    Q_OBJECT

    std::unique_ptr<TGrid> grid;
    std::unique_ptr<TTestModel> model;

private slots:
    void init() {
        model = std::make_unique<TTestModel>();
        grid = std::make_unique<TGrid>();
        grid->SetGridModel(model.get());
        grid->SetFixed(1, 1);
        TGridOptions options;
        options.HorizontalScrollBar = Qt::ScrollBarAsNeeded;
        options.VerticalScrollBar = Qt::ScrollBarAsNeeded;
        grid->SetOptions(options);
        grid->SetLineStyle({TGridLines::Dotted, QColor(128, 128, 128), TActiveOutline::None});
        grid->SetDefaultRowHeight(20);
        for (int c = 0; c < model->ColCount(); ++c) {
            grid->SetColWidth(c, c == 0 ? 120 : 60);
        }
        grid->resize(400, 300);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    }
    void cleanup() {
        grid.reset();
        model.reset();
    }

    void fixedHeadingsHoldRowZeroAndColumnZero() {
        QVERIFY(grid->horizontalHeader()->isVisible());
        QVERIFY(grid->verticalHeader()->isVisible());
        QCOMPARE(model->rowCount(), 39);
        QCOMPARE(model->columnCount(), 29);
        QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("C1"));
        QCOMPARE(model->headerData(4, Qt::Vertical, Qt::DisplayRole).toString(), QString("R5"));
        QCOMPARE(model->data(model->IndexOf(3, 4), Qt::DisplayRole).toString(), QString("3,4"));
        QCOMPARE(grid->ColWidth(0), 120);
        QCOMPARE(grid->ColWidth(5), 60);
        QCOMPARE(grid->RowHeight(0), 20);
        QCOMPARE(grid->RowHeight(7), 20);
        // Column 0 keeps its own style in the heading.
        QCOMPARE(model->headerData(4, Qt::Vertical, Qt::BackgroundRole).value<QColor>(),
                 QColor(0, 255, 255));
    }

    void headingsStayInViewWhileScrolling() {
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QVERIFY(grid->horizontalScrollBar()->value() > 0);
        QCOMPARE(grid->horizontalHeader()->geometry().top(), 0);
        QCOMPARE(grid->verticalHeader()->geometry().left(), 0);
        // The first data column has scrolled out of view; the headings have not.
        QVERIFY(grid->CellRect(1, 1).right() < 0);
        QCOMPARE(grid->CellRect(0, 5).top(), 0);
        QCOMPARE(grid->CellRect(5, 0).left(), 0);
    }

    void clicksOnFixedCellsAreReported() {
        QSignalSpy spy(grid.get(), &TGrid::LockedCellClick);
        QHeaderView* top = grid->horizontalHeader();
        QTest::mouseClick(top->viewport(), Qt::LeftButton, {},
                          QPoint(top->sectionViewportPosition(2) + 5, 5));
        QHeaderView* left = grid->verticalHeader();
        QTest::mouseClick(left->viewport(), Qt::LeftButton, {},
                          QPoint(5, left->sectionViewportPosition(3) + 5));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[0], (QList<QVariant>{0, 3}));
        QCOMPARE(spy[1], (QList<QVariant>{4, 0}));
    }

    void editorRangeComesFromTheCellStyle() {
        QSignalSpy done(grid.get(), &TGrid::DoneEdit);
        grid->SetActiveCell(3, 2);
        TNumericEditor* editor = grid->Editor();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("0.00"));
        editor->selectAll();
        QTest::keyClicks(editor, "-100");
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(editor->InError());
        QCOMPARE(model->Values[3], 0.0);
        QCOMPARE(done.size(), 0);
        editor->selectAll();
        QTest::keyClicks(editor, "-99");
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(model->Values[3], -99.0);
        QCOMPARE(done.size(), 1);
        QCOMPARE(done[0], (QList<QVariant>{3, 2}));
        QVERIFY(!grid->IsEditing());
        // A read-only cell, and the heading of the editable column, open nothing.
        grid->SetActiveCell(3, 3);
        QVERIFY(!grid->IsEditing());
        QVERIFY(!model->IsEditable(0, 2));
    }

    void programmaticMoveEndsTheEditFirst() {
        grid->SetActiveCell(4, 2);
        TNumericEditor* editor = grid->Editor();
        editor->selectAll();
        QTest::keyClicks(editor, "501");
        grid->SetActiveCell(6, 2);
        QCOMPARE(grid->ActiveRow(), 4);
        QVERIFY(editor->InError());
        editor->selectAll();
        QTest::keyClicks(editor, "7");
        grid->SetActiveCell(6, 2);
        QCOMPARE(grid->ActiveRow(), 6);
        QCOMPARE(model->Values[4], 7.0);
    }

    void columnsComeAndGo() {
        model->InsertGridColumns(30, 1, [this] { model->Cols = 31; });
        QCOMPARE(model->columnCount(), 30);
        grid->SetColWidth(30, 77);
        QCOMPARE(grid->ColWidth(30), 77);
        QCOMPARE(grid->ColWidth(29), 60);
        model->RemoveGridColumns(30, 1, [this] { model->Cols = 30; });
        QCOMPARE(model->columnCount(), 29);
    }

    void paintsWithoutHighlight() {
        // The active cell is drawn in the grid's colours, not the highlight.
        grid->SetActiveCell(5, 4);
        const QImage image = grid->viewport()->grab().toImage();
        const QRect cell = grid->CellRect(5, 4);
        const QColor inside = image.pixelColor(cell.left() + 2, cell.top() + 2);
        QCOMPARE(inside, grid->Colours().Background);
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
