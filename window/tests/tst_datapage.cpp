// The Data and Updated Data pages: texts, styles and layout of the grids,
// the in-place editor of the entered cells and what follows an edit.
#include "cellcolours.h"
#include "celltext.h"
#include "formfixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyleHints>

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

QColor foreground(const TGridModel* model, int r, int c) {
    return model->data(model->IndexOf(r, c), Qt::ForegroundRole).value<QColor>();
}
} // namespace

class TestDataPage : public QObject {
    Q_OBJECT

private slots:
    void defaultDataGridTexts_data() {
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("c");
        QTest::addColumn<QString>("text");
        QTest::newRow("corner") << 0 << 0 << " ";
        QTest::newRow("column label") << 0 << 1 << "Ind. 1";
        QTest::newRow("row label") << 1 << 0 << "Domestic 1";
        QTest::newRow("entered flow") << 1 << 1 << "10.00";
        QTest::newRow("derived capital") << 6 << 1 << "10.00";
        QTest::newRow("duty") << 4 << 5 << "-5.00";
        QTest::newRow("blank") << 5 << 3 << " ";
        QTest::newRow("export subsidy") << 10 << 1 << "0.00";
        QTest::newRow("Export") << 10 << 3 << "Export";
        QTest::newRow("elasticities") << 11 << 3 << "elasticities";
        QTest::newRow("elasticity 1") << 10 << 4 << "2.00";
        QTest::newRow("elasticity 2") << 11 << 4 << "20.00";
    }
    void defaultDataGridTexts() {
        QFETCH(int, r);
        QFETCH(int, c);
        QFETCH(QString, text);
        TFormFixture f;
        f.ClickTab(piData);
        const TGridModel* model = f.DataGrid()->GridModel();
        QCOMPARE(model->data(model->IndexOf(r, c), Qt::DisplayRole).toString(), text);
    }

    void everyCellShowsTheCellTextRule() {
        TFormFixture f;
        f.ClickTab(piData);
        const TGridModel* model = f.DataGrid()->GridModel();
        QCOMPARE(f.DataGrid()->RowCount(), 12);
        QCOMPARE(f.DataGrid()->ColCount(), 7);
        QCOMPARE(model->rowCount(), 12); // no fixed rows or columns
        QCOMPARE(model->columnCount(), 7);
        for (int r = 0; r <= 11; ++r) {
            for (int c = 0; c <= 6; ++c) {
                QCOMPARE(model->data(model->IndexOf(r, c), Qt::DisplayRole).toString(),
                         kv::DataCellText(f.E().BaseData, r, c));
            }
        }
    }

    void twentyFourGreenEditableCells() {
        TFormFixture f;
        f.ClickTab(piData);
        const TGridModel* model = f.DataGrid()->GridModel();
        int editable = 0;
        for (int r = 0; r <= 11; ++r) {
            for (int c = 0; c <= 6; ++c) {
                const bool entered = r >= 1 && c >= 1 && kv::EditMask(r, c);
                const QModelIndex index = model->IndexOf(r, c);
                QCOMPARE(model->IsEditable(r, c), entered);
                QCOMPARE(bool(model->flags(index) & Qt::ItemIsEditable), entered);
                if (entered) {
                    ++editable;
                    QCOMPARE(foreground(model, r, c), Green);
                    QCOMPARE(model->StyleAt(r, c).Background,
                             f.Form->palette().color(QPalette::Button));
                } else {
                    // Window-text colour: the style names none.
                    QVERIFY(!foreground(model, r, c).isValid());
                }
            }
        }
        QCOMPARE(editable, 24);
        for (auto [r, c] : {std::pair{10, 1}, {11, 1}, {10, 4}, {11, 4}}) {
            QVERIFY(model->IsEditable(r, c));
        }
        // Duty entries are negative by default and never red.
        QVERIFY(f.E().BaseData(3, 5) < 0);
        QCOMPARE(foreground(model, 3, 5), Green);
    }

    void layoutOfBothGrids() {
        TFormFixture f;
        kv::AddSolution(f.E().Solutions, "Sim 1", f.E().ShockVec, f.E().Closure.Endo);
        f.ClickTab(piUpdatedData);
        const TLayoutMetrics& m = f.Form->Metrics();
        const int units[] = {9, 7, 7, 11, 8, 7, 10};
        for (TDataPage* page : {f.Form->tabData, f.Form->tabUpdatedData}) {
            TGrid* grid = page->Grid();
            // The widths asked for, wider where a text of the column needs it.
            for (int c = 0; c <= 6; ++c) {
                QVERIFY(TFormFixture::ColumnFits(grid, c, units[c] * m.ColUnit));
            }
            for (int r = 0; r <= 11; ++r) {
                int expected = m.RowHeight;
                if (r == 1 || r == 3 || r == 5 || r == 7 || r == 8) {
                    expected = m.RowHeight * 3 / 2;
                } else if (r == 10) {
                    expected = m.RowHeight * 2;
                }
                QCOMPARE(grid->RowHeight(r), expected);
            }
            QCOMPARE(page->Panel()->height(), m.PanelHeight);
            const QFontMetrics panelFont(page->Panel()->font());
            QVERIFY(panelFont.ascent() + panelFont.descent() <= m.PanelFontHeight);
            QCOMPARE(grid->frameShape(), QFrame::NoFrame);
            // Scroll bars where the window is smaller than the table.
            QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
            QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
            QVERIFY(!grid->horizontalHeader()->isVisible());
            QVERIFY(!grid->verticalHeader()->isVisible());
            QVERIFY(!grid->showGrid());
            QCOMPARE(grid->LineStyle().Lines, TGridLines::None);
            QCOMPARE(grid->ActiveRow(), 0);
            QCOMPARE(grid->ActiveCol(), 0);
            const QFontMetrics cellFont(grid->GridModel()->StyleAt(1, 1).Font);
            QVERIFY(cellFont.ascent() + cellFont.descent() <= m.BaseHeight);
        }
        QCOMPARE(f.Form->tabData->Panel()->text(), QString("Initial Input-Output Database"));
        QCOMPARE(f.Form->tabUpdatedData->Panel()->text(),
                 QString("Final Input-Output Database implied by most recent simulation"));
        QCOMPARE(f.DataGrid()->statusTip(), QString("Double-click on green numbers to edit them"));
        QVERIFY(f.Form->tabUpdatedData->Grid()->statusTip().isEmpty());
        const TGridColours& colours = f.Form->tabUpdatedData->Grid()->Colours();
        QCOMPARE(colours.Background, f.DataGrid()->Colours().Background);
        QCOMPARE(colours.EditBackground, QColor(0, 255, 255));
    }

    void editorOpensWithTheValueSelectedAndTheCaretAtTheEnd() {
        TFormFixture f;
        f.ClickTab(piData);
        f.DataGrid()->SetActiveCell(2, 1); // always-editing: the editor opens at once
        TNumericEditor* editor = f.DataGrid()->Editor();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("15.00"));
        QCOMPARE(editor->selectedText(), QString("15.00"));
        QCOMPARE(editor->cursorPosition(), 5);
        // Aqua with green text, the green as dark as it needs to read on aqua.
        const QColor base = editor->palette().color(QPalette::Base);
        const QColor text = editor->palette().color(QPalette::Text);
        QCOMPARE(base, QColor(0, 255, 255));
        QCOMPARE(text.hslHue(), Green.hslHue());
        QVERIFY(text.lightness() <= Green.lightness());
        QVERIFY(ContrastRatio(text, base) >= 4.5);
        // A derived cell opens no editor.
        f.DataGrid()->EndEdit();
        f.DataGrid()->SetActiveCell(6, 1);
        QVERIFY(!f.DataGrid()->IsEditing());
    }

    // However the editor opens, typing replaces the value: a click on the
    // cell, a double click (its second click lands on the open editor), or a
    // key typed on the active cell once an edit has ended.
    void typingReplacesTheValue_data() {
        QTest::addColumn<QString>("opening");
        QTest::newRow("click") << "click";
        QTest::newRow("double click") << "double click";
        QTest::newRow("key on the active cell") << "key";
    }
    void typingReplacesTheValue() {
        QFETCH(QString, opening);
        TFormFixture f;
        f.ClickTab(piData);
        TGrid* grid = f.DataGrid();
        const QPoint cell = grid->CellRect(1, 1).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(grid->IsEditing());
        if (opening == QLatin1String("double click")) {
            TNumericEditor* editor = grid->Editor();
            QTest::mouseDClick(editor, Qt::LeftButton, {}, editor->rect().center());
        } else if (opening == QLatin1String("key")) {
            f.Press(Qt::Key_Return);
            QVERIFY(!grid->IsEditing());
            QCOMPARE(grid->ActiveRow(), 1);
        }
        f.Type("12");
        QVERIFY(grid->IsEditing());
        QCOMPARE(grid->Editor()->text(), QString("12"));
        f.Press(Qt::Key_Return);
        QVERIFY(!grid->IsEditing());
        QCOMPARE(f.E().BaseData(1, 1), 12.0);
        QCOMPARE(grid->GridModel()->CellText(1, 1), QString("12.00"));
        QCOMPARE(f.Beeps, 0);
    }

    // A click well after the opening one places the caret as usual.
    void aLaterClickPlacesTheCaret() {
        TFormFixture f;
        f.ClickTab(piData);
        TGrid* grid = f.DataGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 1).center());
        TNumericEditor* editor = grid->Editor();
        QVERIFY(editor);
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(2, editor->height() / 2));
        QVERIFY(!editor->hasSelectedText());
        QCOMPARE(editor->cursorPosition(), 0);
        f.Type("1");
        QCOMPARE(editor->text(), QString("115.00"));
    }

    // A refused keystroke beeps and the status line says why and what the
    // editor takes; the text stays as it was.
    void refusedKeystrokesAreExplained_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("status");
        const QString allowed = "Values from -100 to 500, at most two decimals";
        QTest::newRow("letter") << "a"
                                << "15.00" << 1 << "\"a\" cannot be typed here. " + allowed;
        QTest::newRow("blank") << "1 "
                               << "1" << 1 << "\" \" cannot be typed here. " + allowed;
        QTest::newRow("eighth character") << "12345678"
                                          << "1234567" << 1 << "At most 7 characters. " + allowed;
        QTest::newRow("minus inside") << "1-"
                                      << "1" << 1 << "The minus sign goes first. " + allowed;
        QTest::newRow("second point") << "1.2."
                                      << "1.2" << 1 << "Only one decimal point. " + allowed;
        QTest::newRow("third decimal") << "1.234"
                                       << "1.23" << 1 << "Too many decimals. " + allowed;
        QTest::newRow("accepted") << "-1.5"
                                  << "-1.5" << 0 << "";
    }
    void refusedKeystrokesAreExplained() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        QFETCH(QString, status);
        TFormFixture f;
        f.ClickTab(piData);
        f.Form->SetStatusText(QString());
        TGrid* grid = f.DataGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 1).center());
        f.Type(typed);
        QCOMPARE(grid->Editor()->text(), shown);
        QCOMPARE(f.Beeps, beeps);
        QCOMPARE(f.Form->StatusText(), status.isEmpty() ? QString() : "  " + status);
        QVERIFY(!grid->Editor()->InError());
    }

    // A value the editor cannot store: the error colours, and the status line
    // says what is allowed and how to get out; Esc restores the stored value,
    // and the next Enter or tab click leaves.
    void refusedValuesSayHowToGetOut_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("too large") << "600";
        QTest::newRow("too small") << "-100.5";
        QTest::newRow("minus alone") << "-";
        QTest::newRow("point alone") << ".";
        QTest::newRow("nothing") << "";
    }
    void refusedValuesSayHowToGetOut() {
        QFETCH(QString, typed);
        const QString status =
            "  Values from -100 to 500, at most two decimals. Esc restores the stored value";
        TFormFixture f;
        f.ClickTab(piData);
        TGrid* grid = f.DataGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 1).center());
        f.Press(Qt::Key_Backspace);
        f.Type(typed);
        f.Press(Qt::Key_Return);
        QVERIFY(grid->IsEditing());
        QVERIFY(grid->Editor()->InError());
        QCOMPARE(f.Form->StatusText(), status);
        // Leaving the page says the same instead of asking to click again.
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), piData);
        QCOMPARE(f.Form->StatusText(), status);
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), piData);
        // Esc: the stored value back and the message gone; then out.
        f.Press(Qt::Key_Escape);
        QCOMPARE(grid->Editor()->text(), QString("15.00"));
        QVERIFY(!grid->Editor()->InError());
        QCOMPARE(f.Form->StatusText(), QString("  "));
        f.Press(Qt::Key_Return);
        QVERIFY(!grid->IsEditing());
        QCOMPARE(f.E().BaseData(2, 1), 15.0);
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), piTableau);
    }

    void editorTakesAtMostSevenCharactersOfASignedNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "12345678"
                                << "1234567";
        QTest::newRow("letters dropped") << "1a2b"
                                         << "12";
        QTest::newRow("minus first only") << "-1-2"
                                          << "-12";
        QTest::newRow("one point") << "1.2.3"
                                   << "1.23";
        QTest::newRow("two decimals") << "1.234"
                                      << "1.23";
        QTest::newRow("comma as point") << "2,5"
                                        << "2.5";
    }
    void editorTakesAtMostSevenCharactersOfASignedNumber() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = f.TypeInto(1, 2, typed);
        QVERIFY(editor);
        QCOMPARE(editor->text(), shown);
    }

    void rangeOfTheDataEditor_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("600") << "600" << false;
        QTest::newRow("500.01") << "500.01" << false;
        QTest::newRow("-100.01") << "-100.01" << false;
        QTest::newRow("not a number") << "-" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("-100") << "-100" << true;
        QTest::newRow("500") << "500" << true;
        QTest::newRow("0") << "0" << true;
        QTest::newRow("decimals") << "12.5" << true;
    }
    void rangeOfTheDataEditor() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = f.TypeInto(2, 2, typed);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        if (accepted) {
            QVERIFY(!f.DataGrid()->IsEditing());
            QCOMPARE(f.E().BaseData(2, 2), QLocale::c().toDouble(typed));
            QCOMPARE(f.DataGrid()->GridModel()->CellText(2, 2),
                     kv::FormatReal(f.E().BaseData(2, 2), 0, 2));
        } else {
            QVERIFY(f.DataGrid()->IsEditing());
            QCOMPARE(f.DataGrid()->Editor(), editor);
            QVERIFY(editor->InError());
            QCOMPARE(editor->palette().color(QPalette::Base), Red);
            QCOMPARE(editor->palette().color(QPalette::Text), QColor(0, 0, 0));
            QCOMPARE(f.E().BaseData(2, 2), 1.0);
            // Typing clears the error colours; a good value is then stored.
            editor->selectAll();
            QTest::keyClicks(editor, "3");
            QVERIFY(!editor->InError());
            QTest::keyClick(editor, Qt::Key_Return);
            QCOMPARE(f.E().BaseData(2, 2), 3.0);
        }
    }

    void movingToAnotherCellStoresOrIsRefused() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = f.TypeInto(1, 1, "11");
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(f.E().BaseData(1, 1), 11.0);
        QCOMPARE(f.DataGrid()->ActiveRow(), 2);
        editor = f.TypeInto(2, 1, "700");
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(f.DataGrid()->ActiveRow(), 2);
        QVERIFY(editor->InError());
        QCOMPARE(f.E().BaseData(2, 1), 15.0);
        // A click on another cell is refused as well.
        const QRect other = f.DataGrid()->CellRect(4, 2);
        QTest::mouseClick(f.DataGrid()->viewport(), Qt::LeftButton, {}, other.center());
        QCOMPARE(f.DataGrid()->ActiveRow(), 2);
        QVERIFY(f.DataGrid()->IsEditing());
    }

    void escapePutsTheStoredValueBack() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = f.TypeInto(1, 1, "700");
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(editor->InError());
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(editor->text(), QString("10.00"));
        QVERIFY(!editor->InError());
        QCOMPARE(f.E().BaseData(1, 1), 10.0);
    }

    void capitalTurnsRedAndBack() {
        TFormFixture f;
        f.ClickTab(piData);
        const TGridModel* model = f.DataGrid()->GridModel();
        QVERIFY(!foreground(model, 6, 1).isValid());
        QVERIFY(f.EnterValue(5, 1, "40"));
        QCOMPARE(f.E().BaseData(6, 1), -10.0);
        QCOMPARE(model->CellText(6, 1), QString("-10.00"));
        QCOMPARE(foreground(model, 6, 1), Red);
        QVERIFY(f.Form->NegativeDataFlag);
        // Derived totals follow at once.
        QCOMPARE(model->CellText(7, 1), kv::FormatReal(f.E().BaseData(7, 1), 0, 2));
        QVERIFY(f.EnterValue(5, 1, "20"));
        QVERIFY(!foreground(model, 6, 1).isValid());
        QVERIFY(!f.Form->NegativeDataFlag);
    }

    void negativeEnteredFlowIsRedInsteadOfGreen() {
        TFormFixture f;
        f.ClickTab(piData);
        QVERIFY(f.EnterValue(2, 2, "-3"));
        QCOMPARE(foreground(f.DataGrid()->GridModel(), 2, 2), Red);
        QVERIFY(f.Form->NegativeDataFlag);
        // Rows 10 and 11 are never red.
        QVERIFY(f.EnterValue(10, 1, "-5"));
        QCOMPARE(foreground(f.DataGrid()->GridModel(), 10, 1), Green);
    }

    void updatedDataShowsNewDataReadOnly() {
        TFormFixture f;
        f.E().NewData(1, 1) = 99;
        kv::AddSolution(f.E().Solutions, "Sim 1", f.E().ShockVec, f.E().Closure.Endo);
        f.ClickTab(piUpdatedData);
        TGrid* grid = f.Form->tabUpdatedData->Grid();
        const TGridModel* model = grid->GridModel();
        for (int r = 0; r <= 11; ++r) {
            for (int c = 0; c <= 6; ++c) {
                QCOMPARE(model->CellText(r, c), kv::DataCellText(f.E().NewData, r, c));
                QVERIFY(!model->IsEditable(r, c));
                QVERIFY(!foreground(model, r, c).isValid());
            }
        }
        QCOMPARE(model->CellText(1, 1), QString("99.00"));
        grid->SetActiveCell(1, 1);
        QVERIFY(!grid->IsEditing());
        // Editing the Data page leaves the Updated Data page as it was.
        f.ClickTab(piData);
        QVERIFY(f.EnterValue(1, 2, "9"));
        QCOMPARE(f.E().NewData(1, 2), 8.0);
        QCOMPARE(model->CellText(1, 2), QString("8.00"));
    }
};

QTEST_MAIN(TestDataPage)
#include "tst_datapage.moc"
