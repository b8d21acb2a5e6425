// The Tableau, Closure and Shocks pages in the main window: what they show,
// the exchange of variables between the lists and its effect on the Shocks
// grid, and the shocks the editor takes or refuses.
#include "celltext.h"
#include "pagesfixture.h"
#include <functional>

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>

namespace {

const QString EditingComplete = QStringLiteral(" Editing complete? - click again to confirm ");

QStringList listNames(int count, const std::function<int(int)>& variableOf) {
    QStringList names;
    for (int k = 0; k < count; ++k) {
        names << QString::fromStdString(kv::VarName(variableOf(k)));
    }
    return names;
}

// The columns of row y of image that differ from background.
QList<int> inkColumns(const QImage& image, int y0, int y1, QRgb background) {
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = y0; y < y1; ++y) {
            if (image.pixel(x, y) != background) {
                columns << x;
                break;
            }
        }
    }
    return columns;
}

} // namespace

class TestExperimentPages : public QObject {
    Q_OBJECT

private slots:
    // --- Tableau ------------------------------------------------------------

    void tableauShowsTheCoefficients() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piTableau));
        TTableauPage* page = f.Tableau();
        TGrid* grid = page->TableauTable();
        const TLayoutMetrics& m = f.Form->Metrics();
        QCOMPARE(page->TableauLabel()->text(), QString("Coefficient Matrix"));
        QCOMPARE(page->TableauLabel()->height(), m.PanelHeight);
        QCOMPARE(grid->RowCount(), 40);
        QCOMPARE(grid->ColCount(), 53);
        QCOMPARE(grid->GridModel()->FixedRows(), 1);
        QCOMPARE(grid->GridModel()->FixedCols(), 1);
        QCOMPARE(grid->statusTip(), QString("Use the scrollbars to move through the table"));
        TGridModel* model = grid->GridModel();
        QCOMPARE(model->CellText(0, 0), QString(" "));
        QCOMPARE(model->CellText(0, 1), QString("x(11)3"));
        QCOMPARE(model->CellText(39, 0), QString("39"));
        int blanks = 0;
        for (int r = 1; r <= kv::NumEqs; ++r) {
            for (int c = 1; c <= kv::NumVars; ++c) {
                QCOMPARE(model->CellText(r, c), kv::TableauCellText(f.E().Tableau, r, c));
                blanks += f.E().Tableau(r, c) == 0.0 ? 1 : 0;
                if (f.E().Tableau(r, c) == 0.0) {
                    QCOMPARE(model->CellText(r, c), QString(" "));
                }
            }
        }
        QVERIFY(blanks > 0);
        for (int c : {0, 1, 52}) {
            QCOMPARE(grid->ColWidth(c), 7 * m.ColUnit);
        }
        for (int r : {0, 1, 39}) {
            QCOMPARE(grid->RowHeight(r), m.RowHeight);
        }
        QCOMPARE(model->StyleAt(0, 5).Alignment, Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(model->StyleAt(7, 0).Alignment, Qt::AlignRight | Qt::AlignVCenter);
        QVERIFY(!model->IsEditable(5, 5));
        QCOMPARE(grid->LineStyle().Lines, TGridLines::Dotted);
        QCOMPARE(grid->LineStyle().Outline, TActiveOutline::None);
    }

    void tableauHeadingsStayInViewWhileScrolling() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piTableau));
        TGrid* grid = f.Tableau()->TableauTable();
        grid->scrollTo(grid->GridModel()->IndexOf(39, 52));
        QVERIFY(grid->horizontalScrollBar()->value() > 0);
        QVERIFY(grid->verticalScrollBar()->value() > 0);
        // The variable names and the equation numbers are still at the edges.
        QVERIFY(grid->horizontalHeader()->isVisible());
        QVERIFY(grid->verticalHeader()->isVisible());
        QCOMPARE(grid->verticalHeader()->x(), grid->frameWidth());
        QCOMPARE(grid->horizontalHeader()->y(), grid->frameWidth());
        const QRect last = grid->CellRect(0, 52);
        QVERIFY(last.right() <= grid->viewport()->width());
    }

    void tableauShowsNewCoefficientsOnlyAfterLeavingTheDataPage() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piTableau));
        TGridModel* model = f.Tableau()->TableauTable()->GridModel();
        auto texts = [model] {
            QStringList all;
            for (int r = 0; r <= kv::NumEqs; ++r) {
                for (int c = 0; c <= kv::NumVars; ++c) {
                    all << model->CellText(r, c);
                }
            }
            return all;
        };
        const QStringList before = texts();
        QVERIFY(f.GoTo(piData));
        QVERIFY(f.EnterValue(3, 1, "2"));
        QCOMPARE(texts(), before); // not rebuilt while on the Data page
        QVERIFY(f.GoTo(piTableau));
        QVERIFY(texts() != before);
        QCOMPARE(model->CellText(1, 1), kv::TableauCellText(f.E().Tableau, 1, 1));
    }

    // --- Closure ------------------------------------------------------------

    void closureListsAtStart() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piClosure));
        TClosurePage* page = f.Closure();
        QCOMPARE(page->EndoListBox()->count(), 39);
        QCOMPARE(page->ExoListBox()->count(), 13);
        QCOMPARE(page->EndoListBox()->item(0)->text(), QString(" "));
        const QStringList endo =
            listNames(kv::NumEndo, [page](int k) { return page->EndoListVariable(k); });
        QCOMPARE(endo.first(), QString("x(11)3"));
        for (int k = 1; k < kv::NumEndo; ++k) { // increasing variable order
            QVERIFY(page->EndoListVariable(k) > page->EndoListVariable(k - 1));
        }
        QCOMPARE(listNames(kv::NumExo, [page](int k) { return page->ExoListVariable(k); }),
                 (QStringList{"p*(12)", "p*(22)", "t1", "t2", "k1", "k2", "f(31)", "v1", "x(21)4",
                              "cR", "f(11)4", "f(21)4", "phi"}));
        for (QListWidget* list : {page->EndoListBox(), page->ExoListBox()}) {
            QCOMPARE(list->currentRow(), 0);
            QVERIFY(list->item(0)->isSelected());
            QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        }
        QCOMPARE(page->ClosureEndoLabel()->text(), QString("Endogenous"));
        QCOMPARE(page->ClosureExoLabel()->text(), QString("Exogenous"));
        QCOMPARE(page->SwapButton()->text(), QString(" Exchange"));
        QVERIFY(page->ClosureInstructions()->wordWrap());
        QVERIFY(page->ClosureInstructions()->text().startsWith("Change the closure by exchanging"));
    }

    void closureLayoutAndSplitter() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piClosure));
        TClosurePage* page = f.Closure();
        const TLayoutMetrics& m = f.Form->Metrics();
        QCOMPARE(page->ItemHeight(), m.BaseHeight);
        QCOMPARE(page->pnlShocksInst()->height(), 3 * m.BaseHeight);
        QCOMPARE(page->SwapButton()->width(), 5 * m.BaseHeight);
        QCOMPARE(page->SwapButton()->height(), page->pnlShocksInst()->height());
        QCOMPARE(page->SwapButton()->geometry().right(), page->pnlShocksInst()->width() - 1);
        QCOMPARE(page->splShocks1()->handleWidth(), 5);
        QCOMPARE(page->pnlShockEndo()->width(), page->width() / 2);
        QCOMPARE(page->EndoListBox()->visualItemRect(page->EndoListBox()->item(0)).height(),
                 m.BaseHeight);

        // The user may drag the splitter; a new page width halves again.
        page->splShocks1()->setSizes({page->width() / 3, page->width() - page->width() / 3 - 5});
        QCOMPARE(page->pnlShockEndo()->width(), page->width() / 3);
        f.Form->resize(f.Form->width() + 100, f.Form->height());
        QTRY_COMPARE(page->pnlShockEndo()->width(), page->width() / 2);
    }

    void closureItemsDrawnAtTheirOffsets() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piClosure));
        QListWidget* list = f.Closure()->ExoListBox();
        const int itemHeight = f.Closure()->ItemHeight();
        const QImage image = list->viewport()->grab().toImage();
        // Item 1 ("p*(22)"), not selected: name from 3 pixels, description
        // from 3 * ItemHeight (or after the widest name in a wide font),
        // nothing left of 3 pixels.
        const QRect item = list->visualItemRect(list->item(1));
        const QRgb background = image.pixel(item.right() - 1, item.top() + 1);
        QCOMPARE(QColor(background), list->palette().color(QPalette::Base));
        const QList<int> ink = inkColumns(image, item.top(), item.bottom() + 1, background);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.first() >= 3 && ink.first() <= 5, qPrintable(QString::number(ink.first())));
        const int descriptionLeft = TVarListDelegate::DescriptionLeft(list->font(), itemHeight);
        QVERIFY(descriptionLeft >= 3 * itemHeight);
        QFont narrow = list->font();
        narrow.setPixelSize(4);
        QCOMPARE(TVarListDelegate::DescriptionLeft(narrow, itemHeight), 3 * itemHeight);
        int description = -1;
        for (int x : ink) {
            if (x >= descriptionLeft) {
                description = x;
                break;
            }
        }
        QVERIFY(description >= descriptionLeft && description <= descriptionLeft + 2);
        // The name ends before the description starts.
        QVERIFY(!ink.contains(descriptionLeft - 1));
        // The selected item 0 is filled with the selection colour.
        const QRect selected = list->visualItemRect(list->item(0));
        QCOMPARE(QColor(image.pixel(selected.right() - 1, selected.top() + 1)),
                 list->palette().color(QPalette::Highlight));
    }

    void exchangeMovesVariablesAndTheShocksGrid() {
        TPagesFixture f;
        f.E().ShockVec(kv::FindVariable("x(11)3")) = 0.0;
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.GoTo(piClosure));
        TClosurePage* page = f.Closure();
        page->EndoListBox()->setCurrentRow(0); // "x(11)3"
        page->ExoListBox()->setCurrentRow(12); // "phi"
        QTest::mouseClick(page->SwapButton(), Qt::LeftButton);

        QCOMPARE(kv::VarName(page->ExoListVariable(12)), std::string("x(11)3"));
        QCOMPARE(page->EndoListBox()->currentRow(), 32); // item 33 of 39
        QCOMPARE(kv::VarName(page->EndoListVariable(32)), std::string("phi"));
        QVERIFY(page->EndoListBox()->item(32)->isSelected());
        QCOMPARE(page->ExoListBox()->currentRow(), 12);
        QVERIFY(page->ExoListBox()->item(12)->isSelected());
        QCOMPARE(page->EndoListBox()->count(), 39);
        QCOMPARE(page->ExoListBox()->count(), 13);

        QVERIFY(f.GoTo(piShocks));
        TGridModel* shocks = f.Shocks()->ExoTable()->GridModel();
        QVERIFY(shocks->CellText(13, 0).startsWith("x(11)3  "));
        QCOMPARE(shocks->CellText(13, 1), QString("0.00"));
    }

    void closureCheckFollowsExchangesAndUndo() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piClosure));
        TClosurePage* page = f.Closure();
        QCOMPARE(page->ClosureCheckLabel()->text(), QString("This closure can be solved."));
        QVERIFY(!page->ExplainButton()->isEnabled());

        // Nothing fixes the price level once phi is endogenous against x(11)3.
        QVERIFY(f.Exchange("x(11)3", "phi"));
        QCOMPARE(page->ClosureCheckLabel()->text(),
                 QString("This closure cannot be solved: its matrix is singular."));
        QVERIFY(page->ExplainButton()->isEnabled());
        QTest::mouseClick(page->ExplainButton(), Qt::LeftButton);
        QCOMPARE(f.Dialogs.size(), 1);
        const QString text = f.Dialogs[0].Text;
        QCOMPARE(f.Dialogs[0].HelpContext, 302);
        QVERIFY2(text.startsWith("Nothing in this closure fixes the price level"),
                 qPrintable(text));
        // The exchange undoing the student's own comes first, and each listed
        // exchange does make the closure solvable.
        QVERIFY2(text.contains("solvable:\r\n- phi and x(11)3 (undoes your last exchange)\r\n"),
                 qPrintable(text));
        // The exchanges are grouped by the variables made exogenous.
        QVERIFY2(text.contains("\r\n- any of c, p(11)"), qPrintable(text));
        for (const kv::TExchange& x : page->ClosureCheck().FixingExchanges) {
            kv::TClosure cured = f.E().Closure;
            int k = cured.EndoPos(x.Endogenous);
            int j = 0;
            for (int i = 1; i <= kv::NumExo; ++i) {
                j = cured.ExoList(i) == x.Exogenous ? i : j;
            }
            kv::ExchangeVariables(cured, k, j);
            kv::Variable_Real S{};
            QVERIFY(!kv::SolveLinearStep(f.E().Tableau, cured, S));
        }

        // Undo with the keyboard: solvable again, nothing to explain.
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f.Form.get(),
                        Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(f.GoTo(piClosure));
        QCOMPARE(page->ClosureCheckLabel()->text(), QString("This closure can be solved."));
        QVERIFY(!page->ExplainButton()->isEnabled());
    }

    void exchangeWithoutASelectionDoesNothing() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piClosure));
        TClosurePage* page = f.Closure();
        const kv::TClosure before = f.E().Closure;
        page->ExoListBox()->clearSelection();
        QTest::mouseClick(page->SwapButton(), Qt::LeftButton);
        QVERIFY(f.E().Closure.Endo == before.Endo);
        QVERIFY(f.E().Closure.ExoList == before.ExoList);
    }

    void variableMadeExogenousAfterASolveShowsItsResult() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
        f.SolveWith(1, "Sim 1");
        QCOMPARE(f.E().Solutions.Count, 1);
        const double c = f.E().ShockVec(kv::FindVariable("c"));
        QVERIFY(std::abs(c + 5.1785) < 1e-3);
        QVERIFY(f.Exchange("c", "phi"));
        QVERIFY(f.GoTo(piShocks));
        const int row = f.ShockRow("c");
        QCOMPARE(row, 13);
        QCOMPARE(f.Shocks()->ExoTable()->GridModel()->CellText(row, 1), kv::FormatReal(c, 0, 2));
        QCOMPARE(f.Shocks()->ExoTable()->GridModel()->CellText(row, 1), QString("-5.18"));
    }

    // --- Shocks -------------------------------------------------------------

    void shocksGridAtStart() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        TShocksPage* page = f.Shocks();
        TGrid* grid = page->ExoTable();
        TGridModel* model = grid->GridModel();
        const TLayoutMetrics& m = f.Form->Metrics();
        QCOMPARE(page->ExogPanel()->text(), QString("Click on exogenous value to change it."));
        QCOMPARE(page->ExogPanel()->height(), m.PanelHeight);
        QCOMPARE(grid->RowCount(), 14);
        QCOMPARE(grid->ColCount(), 2);
        QCOMPARE(model->FixedRows(), 1);
        QCOMPARE(model->FixedCols(), 1);
        QVERIFY(TFormFixture::ColumnFits(grid, 0, 36 * m.ColUnit));
        QVERIFY(TFormFixture::ColumnFits(grid, 1, 12 * m.ColUnit));
        QCOMPARE(grid->RowHeight(5), m.RowHeight);
        QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(grid->LineStyle().Outline, TActiveOutline::SolidWhenFocused);
        QCOMPARE(model->CellText(0, 0), QString("Exogenous Variable "));
        QCOMPARE(model->CellText(0, 1), QString("Shock"));
        QCOMPARE(model->CellText(1, 0), QString("p*(12)  Price of imported good 1, $US"));
        QCOMPARE(model->CellText(1, 1), QString("0.00"));
        // The two styles: names and headings on aqua, the shocks editable.
        for (auto [r, c] : {std::pair{0, 0}, {0, 1}, {1, 0}, {13, 0}}) {
            QCOMPARE(model->StyleAt(r, c).Background, QColor(0, 255, 255));
            QCOMPARE(model->StyleAt(r, c).Alignment, Qt::AlignLeft | Qt::AlignVCenter);
            QVERIFY(!model->IsEditable(r, c));
        }
        for (int r = 1; r <= 13; ++r) {
            QVERIFY(model->IsEditable(r, 1));
        }
        QCOMPARE(model->StyleAt(1, 1).Range.Min, -99.0);
        QCOMPARE(model->StyleAt(1, 1).Range.Max, 500.0);
    }

    void shockEntries_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("stored");
        QTest::newRow("-10") << "-10" << true << -10.0;
        QTest::newRow("-99 lowest") << "-99" << true << -99.0;
        QTest::newRow("500 highest") << "500" << true << 500.0;
        QTest::newRow("2 decimals") << "12.25" << true << 12.25;
        QTest::newRow("-100 refused") << "-100" << false << 0.0;
        QTest::newRow("500.01 refused") << "500.01" << false << 0.0;
        QTest::newRow("lone minus refused") << "-" << false << 0.0;
    }
    void shockEntries() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(double, stored);
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        const int row = f.ShockRow("t2");
        const int t2 = kv::FindVariable("t2");
        QCOMPARE(f.EnterShock(row, typed), accepted);
        QCOMPARE(f.E().ShockVec(t2), stored);
        TGrid* grid = f.Shocks()->ExoTable();
        if (accepted) {
            QCOMPARE(grid->GridModel()->CellText(row, 1), kv::FormatReal(stored, 0, 2));
            QVERIFY(f.GoTo(piSolve));
            return;
        }
        // Refused: error colours, still editing, and leaving is refused, the
        // status line saying what is allowed and how to get out, until the
        // value is corrected.
        const QString status =
            "  Values from -99 to 500, at most two decimals. Esc restores the stored value";
        QVERIFY(grid->IsEditing());
        QVERIFY(grid->Editor()->InError());
        QCOMPARE(f.Form->StatusText(), status);
        QVERIFY(!f.GoTo(piSolve));
        QCOMPARE(f.Form->StatusText(), status);
        QCOMPARE(f.Beeps, 2);
        QVERIFY(!f.GoTo(piSolve));
        QCOMPARE(f.E().ShockVec(t2), 0.0);
        TNumericEditor* editor = f.TypeIntoGrid(grid, row, 1, "-99");
        QVERIFY(editor);
        QVERIFY(!f.GoTo(piSolve)); // ends the edit, storing -99, and stays once
        QCOMPARE(f.E().ShockVec(t2), -99.0);
        QVERIFY(f.GoTo(piSolve));
    }

    // A click on a shock and typing replace it; a refused keystroke names
    // the Shocks range.
    void clickAShockAndType() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        TGrid* grid = f.Shocks()->ExoTable();
        const int row = f.ShockRow("t2");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(row, 1).center());
        f.Type("-5");
        f.Press(Qt::Key_Return);
        QCOMPARE(f.E().ShockVec(kv::FindVariable("t2")), -5.0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->CellRect(row + 1, 1).center());
        f.Type("x");
        QCOMPARE(grid->Editor()->text(), QString("0.00"));
        QCOMPARE(f.Beeps, 1);
        QCOMPARE(f.Form->StatusText(),
                 QString("  \"x\" cannot be typed here. Values from -99 to 500, at most two "
                         "decimals"));
    }

    // Ctrl+Tab and Ctrl+Shift+Tab change the page from every page, whatever
    // control of the page has the focus (an open editor included).
    void ctrlTabFromEveryPage_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("backwards");
        const char* names[] = {"Welcome", "Data",  "Tableau", "Closure",
                               "Shocks",  "Solve", "Results", "Updated Data"};
        for (int p = 0; p < PageCount; ++p) {
            QTest::newRow(qPrintable(QString("%1, Ctrl+Tab").arg(names[p]))) << p << false;
            QTest::newRow(qPrintable(QString("%1, Ctrl+Shift+Tab").arg(names[p]))) << p << true;
        }
    }
    void ctrlTabFromEveryPage() {
        QFETCH(int, page);
        QFETCH(bool, backwards);
        TPagesFixture f;
        f.SolveWith(1, "Sim 1"); // the Results and Updated Data pages are reachable
        f.Dialogs.clear();
        QVERIFY(f.GoTo(page));
        // The focus where a click puts it on the page.
        QWidget* target = nullptr;
        switch (page) {
        case piWelcome:
            target = f.Form->WelcomeMemo->viewport();
            break;
        case piData:
        case piShocks: {
            TGrid* grid = page == piData ? f.DataGrid() : f.Shocks()->ExoTable();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->CellRect(page == piData ? 1 : 2, 1).center());
            QVERIFY(grid->IsEditing());
            break;
        }
        case piTableau:
            target = f.Tableau()->findChild<TGrid*>()->viewport();
            break;
        case piClosure:
            target = f.Closure()->EndoListBox()->viewport();
            break;
        case piSolve:
            target = f.Solve()->SolNameEditBox();
            break;
        case piResults:
            target = f.Results()->ResultsTable()->viewport();
            break;
        case piUpdatedData:
            target = f.Form->tabUpdatedData->Grid()->viewport();
            break;
        }
        if (target) {
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(10, 10));
        }
        QVERIFY(f.Form->Page(page)->isAncestorOf(QApplication::focusWidget()));
        if (backwards) {
            f.Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        } else {
            f.Press(Qt::Key_Tab, Qt::ControlModifier);
        }
        QCOMPARE(f.CurrentPage(), (page + (backwards ? PageCount - 1 : 1)) % PageCount);
        QCOMPARE(f.Beeps, 0);
        QVERIFY(f.Dialogs.isEmpty());
    }

    // Clicking a value opens its editor; without typing, the next tab click
    // leaves at once and the value stays as it was.
    void anEditorOpenedWithoutTypingHoldsNothing_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("Data") << int(piData);
        QTest::newRow("Shocks") << int(piShocks);
    }
    void anEditorOpenedWithoutTypingHoldsNothing() {
        QFETCH(int, page);
        TPagesFixture f;
        QVERIFY(f.GoTo(page));
        TGrid* grid = page == piData ? f.DataGrid() : f.Shocks()->ExoTable();
        const kv::TExperiment before = f.E();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(3, 1).center());
        QVERIFY(grid->IsEditing());
        QVERIFY(f.GoTo(piSolve));
        QCOMPARE(f.Beeps, 0);
        QVERIFY(!grid->IsEditing());
        QVERIFY(f.GoTo(page));
        QVERIFY(!grid->IsEditing());
        QVERIFY(f.E().BaseData.Cells == before.BaseData.Cells);
        QVERIFY(f.E().ShockVec == before.ShockVec);
        // Typed and then restored with Esc counts as not typed either.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 1).center());
        f.Type("7");
        f.Press(Qt::Key_Escape);
        QVERIFY(f.GoTo(piSolve));
        QCOMPARE(f.Beeps, 0);
    }

    void minusHundredAcceptedOnTheDataPage() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piData));
        QVERIFY(f.EnterValue(5, 1, "-100"));
        QCOMPARE(f.E().BaseData(5, 1), -100.0);
    }

    void shocksFollowAnExchangeMadeBeforeAnySolve() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(1, "7.5"));
        QCOMPARE(f.E().ShockVec(kv::FindVariable("p*(12)")), 7.5);
        QVERIFY(f.Exchange("z1", "p*(12)"));
        QVERIFY(f.GoTo(piShocks));
        TGridModel* model = f.Shocks()->ExoTable()->GridModel();
        QVERIFY(model->CellText(1, 0).startsWith("z1  "));
        QCOMPARE(model->CellText(1, 1), QString("0.00"));
        // The shock stays with its variable, which is now endogenous.
        QCOMPARE(f.E().ShockVec(kv::FindVariable("p*(12)")), 7.5);
    }
};

QTEST_MAIN(TestExperimentPages)
#include "tst_experimentpages.moc"
