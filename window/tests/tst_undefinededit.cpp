// An edit on the Data page that would leave coefficients of the tableau
// undefined is refused when it ends, however it ends (Enter, a click on
// another cell, a click on a tab): the message names the cells and the
// reason, has its help topic, and the database stays as it was.
#include "formfixture.h"

#include "divisors.h"

namespace {

const char* const Problem = "Domestic 1 and Imported 1 of Ind. 1 would both be 0. Industry 1 "
                            "would use no good 1 at all: its input shares are undefined.";

} // namespace

class TestUndefinedEdit : public QObject {
    Q_OBJECT

    // A click on cell (r, c) of the Data grid, which opens its editor, and
    // the text typed over what it shows.
    static TNumericEditor* ClickAndType(TFormFixture& f, int r, int c, const QString& text) {
        TGrid* grid = f.DataGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(r, c).center());
        if (!grid->IsEditing()) {
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(r, c).center());
        }
        TNumericEditor* editor = grid->Editor();
        if (!editor) {
            return nullptr;
        }
        QTest::keyClick(editor, Qt::Key_End);
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(editor, Qt::Key_Backspace);
        }
        QTest::keyClicks(editor, text);
        return editor;
    }

    static void VerifyRefused(TFormFixture& f, const kv::Data_Real& before) {
        QCOMPARE(f.Dialogs.size(), 1);
        const TShownDialog& d = f.Dialogs.first();
        QCOMPARE(d.Text,
                 QStringLiteral("The value 0.00 for Imported 1, Ind. 1 was not stored:\r\n") +
                     QString::fromLatin1(Problem) +
                     QStringLiteral("\r\nClick Help button for further information\r\n"
                                    "or OK button to return to Editing"));
        QCOMPARE(d.Kind, mkError);
        QCOMPARE(d.Buttons, mbOK | mbHelp);
        QCOMPARE(d.HelpContext, 304);
        QVERIFY(f.E().BaseData == before);
        QCOMPARE(f.DataGrid()->GridModel()->CellText(3, 1), QStringLiteral("1.00"));
        QVERIFY(!f.Form->NegativeDataFlag);
    }

private slots:
    void refusedWhenEnterEndsTheEdit() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = ClickAndType(f, 1, 1, "0");
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(f.E().BaseData(1, 1), 0.0); // industry 1 still buys imported good 1
        QVERIFY(f.Dialogs.isEmpty());
        const kv::Data_Real before = f.E().BaseData;

        editor = ClickAndType(f, 3, 1, "0");
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        VerifyRefused(f, before);
        QVERIFY(!f.DataGrid()->IsEditing());

        // The database is sound: the page is left at the first click, the
        // tableau is built from it and no error reaches the central handler.
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), int(piTableau));
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.E().Tableau(11, 6), 1.0); // a11 = 1 / (1 + 0)
    }

    void refusedWhenAClickOnAnotherCellEndsTheEdit() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = ClickAndType(f, 1, 1, "0");
        QTest::keyClick(editor, Qt::Key_Return);
        const kv::Data_Real before = f.E().BaseData;
        QVERIFY(ClickAndType(f, 3, 1, "0"));
        TGrid* grid = f.DataGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(5, 2).center());
        VerifyRefused(f, before);
        QCOMPARE(grid->ActiveRow(), 5);
        QCOMPARE(grid->ActiveCol(), 2);
    }

    void refusedWhenATabClickEndsTheEdit() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = ClickAndType(f, 1, 1, "0");
        QTest::keyClick(editor, Qt::Key_Return);
        const kv::Data_Real before = f.E().BaseData;
        QVERIFY(ClickAndType(f, 3, 1, "0"));
        f.ClickTab(piShocks);
        VerifyRefused(f, before);
        // Like any edit ended by a tab click, the page stays once; the next
        // click leaves it.
        QCOMPARE(f.CurrentPage(), int(piData));
        f.ClickTab(piShocks);
        QCOMPARE(f.CurrentPage(), int(piShocks));
    }

    void aValueThatKeepsTheSharesDefinedIsStored() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = ClickAndType(f, 1, 1, "0");
        QTest::keyClick(editor, Qt::Key_Return);
        editor = ClickAndType(f, 3, 1, "0.01");
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(f.Dialogs.isEmpty());
        QCOMPARE(f.E().BaseData(3, 1), 0.01);
        QVERIFY(kv::UndefinedCoefficients(f.E().BaseData).empty());
    }
};

QTEST_MAIN(TestUndefinedEdit)
#include "tst_undefinededit.moc"
