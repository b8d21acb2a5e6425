// The Solve and Results pages in the main window: the solve flow with its
// messages and refusals, errors raised while solving, the results columns and
// the column dialog's moves and deletions, and the t2 = -10 experiment run
// through the window by all five methods.
#include "../../frame/tests/modalwatch.h"
#include "celltext.h"
#include "colmovedlg.h"
#include "pagesfixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QToolTip>
#include <cmath>

namespace {

const QString TooMany =
    QStringLiteral("You must delete one or more solutions before making more.\r\n"
                   "Go to Results page and click at top of column to delete it.");

QString successText(const QString& title) {
    return QStringLiteral("Computation Successful\r\nNew Solution stored as \"") + title +
           QStringLiteral("\"");
}

// Keeps pictures of a widget when WINVELMAR_SHOT_DIR names a folder.
void keepPicture(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("WINVELMAR_SHOT_DIR");
    if (!dir.isEmpty()) {
        widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }
}

} // namespace

class TestSolveResults : public QObject {
    Q_OBJECT

private slots:
    // --- Solve page ---------------------------------------------------------

    void solvePageLayout() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piSolve));
        TSolvePage* page = f.Solve();
        const int W = f.Form->LayoutWidth > 0 ? f.Form->LayoutWidth : f.Form->width();
        const int B = f.Form->Metrics().BaseHeight;
        QCOMPARE(page->SolveTitlePanel()->text(),
                 QString("Choose a solution method and click 'Solve'."));
        QCOMPARE(page->SolveTitlePanel()->height(), f.Form->Metrics().PanelHeight);
        const char* captions[] = {"Johansen (1-step)", "Euler 4-step", "Euler 16-step",
                                  "Euler 2-4-8 extrapolation", "Euler 8-16-32 extrapolation"};
        for (int k = 1; k <= 5; ++k) {
            QRadioButton* radio = page->SolveRadio(k);
            QCOMPARE(radio->objectName(), QString("SolveRadio%1").arg(k));
            QCOMPARE(radio->text(), QString(captions[k - 1]));
            QCOMPARE(radio->property("tag").toInt(), k);
            QCOMPARE(radio->geometry(), QRect(W / 5, B * (2 * k + 1), 3 * W / 5, 3 * B / 2));
            QCOMPARE(radio->isChecked(), k == 1);
        }
        QCOMPARE(f.Form->SolutionMethod, 1);
        QLabel* label = page->SolNameEditBoxLabel();
        QCOMPARE(label->text(), QString("Experiment Title (8 letters max.)"));
        QCOMPARE(label->pos(), QPoint(W / 5, 16 * B));
        QLineEdit* box = page->SolNameEditBox();
        QCOMPARE(box->text(), QString("Sim 1"));
        QCOMPARE(box->maxLength(), 8);
        QCOMPARE(box->pos(), QPoint(W / 5 + label->width() + f.Form->LayoutGap, 16 * B - B / 4));
        QCOMPARE(page->SolveButton()->text(), QString("Solve"));
        QCOMPARE(page->SolveButton()->geometry(), QRect(box->x(), 3 * B, 6 * B, 3 * B));
        QCOMPARE(page->SolveButton()->statusTip(), QString(" Click to start solution process"));
    }

    void radioButtonsSetTheMethod() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piSolve));
        for (int k : {3, 5, 2, 4, 1}) {
            QRadioButton* radio = f.Solve()->SolveRadio(k);
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(4, radio->height() / 2));
            QVERIFY(radio->isChecked());
            QCOMPARE(f.Form->SolutionMethod, k);
        }
    }

    void titleBoxTakesEightCharactersAndEnterMovesOn() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piSolve));
        QLineEdit* box = f.Solve()->SolNameEditBox();
        // A click selects the proposed title, so that typing replaces it.
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QVERIFY(box->hasFocus());
        QCOMPARE(box->selectedText(), QString("Sim 1"));
        QCOMPARE(box->cursorPosition(), 5);
        f.Type("ABCDEFGHI");
        QCOMPARE(box->text(), QString("ABCDEFGH"));
        // The ninth character beeps and the status line says why.
        QCOMPARE(f.Beeps, 1);
        QCOMPARE(f.Form->StatusText(),
                 QString("  The experiment title takes at most 8 characters"));
        // Tab away and back selects it again.
        f.Press(Qt::Key_Tab);
        QVERIFY(!box->hasFocus());
        box->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(box->selectedText(), QString("ABCDEFGH"));
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(f.Solve()->SolveButton()->hasFocus());
        QCOMPARE(f.E().Solutions.Count, 0);
        QVERIFY(f.Dialogs.isEmpty());
        QCOMPARE(box->text(), QString("ABCDEFGH"));
    }

    void firstSolveWithZeroShocks() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piSolve));
        QTest::mouseClick(f.Solve()->SolveButton(), Qt::LeftButton);
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.Dialogs[0].Text, successText("Sim 1"));
        QCOMPARE(f.Dialogs[0].Kind, mkInformation);
        QCOMPARE(f.Dialogs[0].Buttons, MessageButtons(mbOK));
        QCOMPARE(f.Dialogs[0].HelpContext, 0);
        QCOMPARE(f.Dialogs[0].Detail, QString());
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.CurrentPage(), int(piResults));
        QVERIFY(f.Form->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.Solve()->SolNameEditBox()->text(), QString("Sim 2"));

        TGrid* grid = f.Results()->ResultsTable();
        QCOMPARE(grid->RowCount(), 53);
        QCOMPARE(grid->ColCount(), 2);
        QCOMPARE(grid->GridModel()->FixedRows(), 1);
        QCOMPARE(grid->GridModel()->FixedCols(), 1);
        QCOMPARE(f.ResultText(0, 0), QString("Variable "));
        QCOMPARE(f.ResultText(0, 1), QString("Sim 1"));
        int plain = 0;
        int hashed = 0;
        for (int r = 1; r <= kv::NumVars; ++r) {
            const QString text = f.ResultText(r, 1);
            plain += text == "0.000" ? 1 : 0;
            hashed += text == "#0.000" ? 1 : 0;
        }
        QCOMPARE(plain, 39);
        QCOMPARE(hashed, 13);
        const TLayoutMetrics& m = f.Form->Metrics();
        QVERIFY(TFormFixture::ColumnFits(grid, 0, 29 * m.ColUnit));
        QVERIFY(TFormFixture::ColumnFits(grid, 1, 9 * m.ColUnit));
        QCOMPARE(grid->RowHeight(0), m.RowHeight);
        QCOMPARE(grid->RowHeight(52), m.RowHeight);
        TGridModel* model = grid->GridModel();
        QCOMPARE(model->StyleAt(5, 0).Alignment, Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(!model->StyleAt(5, 0).WordWrap);
        for (auto [r, c] : {std::pair{0, 0}, {0, 1}, {5, 1}}) {
            QCOMPARE(model->StyleAt(r, c).Alignment, Qt::AlignRight | Qt::AlignVCenter);
            QVERIFY(model->StyleAt(r, c).WordWrap);
        }
        QCOMPARE(grid->statusTip(), QString("Exogenous values are preceded by the '#' symbol."));
        QCOMPARE(f.Results()->ResultsPanel()->text(),
                 QString("Results - Click Column Headings to Move or Delete "));
    }

    void aClickWhileSolvingIsIgnored() {
        // The busy state lets pending events through once: a second click on
        // Solve (a double click) arrives while the first solve runs.
        TPagesFixture f;
        QVERIFY(f.GoTo(piSolve));
        TSolvePage* page = f.Solve();
        const auto waiting = page->Waiting;
        int nested = 0;
        page->Waiting = [&](bool on) {
            waiting(on);
            if (on && nested++ == 0) {
                page->SolveButtonClick();
            }
        };
        QTest::mouseClick(page->SolveButton(), Qt::LeftButton);
        QCOMPARE(nested, 1);
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.ResultTitles(), QStringList{"Sim 1"});
        QVERIFY(f.Form->isEnabled());
        // The next click solves again.
        f.SolveWith(1, "Again");
        QCOMPARE(f.E().Solutions.Count, 2);
    }

    void seventhSolveRefused() {
        TPagesFixture f;
        for (int i = 1; i <= 6; ++i) {
            f.SolveWith(1, QString("S%1").arg(i));
        }
        QCOMPARE(f.E().Solutions.Count, 6);
        QVERIFY(QFile::remove(f.Dir.filePath("TEM")));
        f.Dialogs.clear();
        f.SolveWith(1, "S7");
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.Dialogs[0].Text, TooMany);
        QCOMPARE(f.Dialogs[0].Kind, mkError);
        QCOMPARE(f.Dialogs[0].Buttons, MessageButtons(mbOK | mbHelp));
        QCOMPARE(f.Dialogs[0].HelpContext, 65595);
        QCOMPARE(f.E().Solutions.Count, 6);
        QVERIFY(!QFile::exists(f.Dir.filePath("TEM"))); // nothing computed
        QCOMPARE(f.CurrentPage(), int(piSolve));
        QCOMPARE(f.Results()->ResultsTable()->ColCount(), 7);
        QCOMPARE(f.Solve()->SolNameEditBox()->text(), QString("S7"));
    }

    void failedSolvesStoreNothing_data() {
        QTest::addColumn<QString>("experiment");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("helpContext");
        QTest::newRow("singular") << "singular"
                                  << "Singular matrix" << 302;
        QTest::newRow("negative flow") << "negative"
                                       << "Negative flow arose during computation" << 303;
    }
    void failedSolvesStoreNothing() {
        QFETCH(QString, experiment);
        QFETCH(QString, message);
        QFETCH(int, helpContext);
        TPagesFixture f;
        f.SolveWith(1, "First");
        if (experiment == "singular") {
            // Equation 32 is left without an endogenous variable.
            QVERIFY(f.Exchange("x(32)1", "phi"));
        } else {
            QVERIFY(f.GoTo(piShocks));
            QVERIFY(f.EnterShock(f.ShockRow("t2"), "500"));
        }
        f.Dialogs.clear();
        f.SolveWith(1, "Second");
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.Dialogs[0].Text, message);
        QCOMPARE(f.Dialogs[0].Kind, mkError);
        QCOMPARE(f.Dialogs[0].Buttons, MessageButtons(mbOK | mbHelp));
        QCOMPARE(f.Dialogs[0].HelpContext, helpContext);
        // Only a singular closure has something to explain.
        QCOMPARE(f.Dialogs[0].Detail.isEmpty(), experiment != "singular");
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.ResultTitles(), QStringList{"First"});
        QCOMPARE(f.Solve()->SolNameEditBox()->text(), QString("Second"));
        QCOMPARE(f.CurrentPage(), int(piSolve));
        QVERIFY(f.Form->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    // The singular-matrix message explains the closure as the Closure page
    // does, the exchange that undoes the student's own first. Undone and made
    // again with Redo, that exchange is no longer the student's last.
    void singularSolveExplainsTheClosure() {
        TPagesFixture f;
        QVERIFY(f.Exchange("x(11)3", "phi"));
        f.Dialogs.clear();
        f.SolveWith(1, "Sim 1");
        QCOMPARE(f.Dialogs.size(), 1);
        const TShownDialog shown = f.Dialogs[0];
        QCOMPARE(shown.Text, QString("Singular matrix"));
        QCOMPARE(shown.Kind, mkError);
        QCOMPARE(shown.Buttons, MessageButtons(mbOK | mbHelp));
        QCOMPARE(shown.HelpContext, 302);
        QVERIFY2(shown.Detail.startsWith("Nothing in this closure fixes the price level"),
                 qPrintable(shown.Detail));
        QVERIFY2(
            shown.Detail.contains("solvable:\r\n- phi and x(11)3 (undoes your last exchange)\r\n"),
            qPrintable(shown.Detail));
        QCOMPARE(shown.Detail, f.Closure()->ExplanationText());

        f.Press(Qt::Key_Z, Qt::ControlModifier);
        f.Press(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(f.E().Closure.Endo(kv::FindVariable("phi")));
        f.Dialogs.clear();
        f.SolveWith(1, "Sim 1");
        QCOMPARE(f.Dialogs.size(), 1);
        QVERIFY(f.Dialogs[0].Detail.startsWith("Nothing in this closure fixes the price level"));
        QVERIFY2(!f.Dialogs[0].Detail.contains("undoes your last exchange"),
                 qPrintable(f.Dialogs[0].Detail));
    }

    // A closure that the solve gets through but that is as good as singular
    // (no export demand elasticity for good 2, and the price of good 1 set
    // free against its exports): the solution is stored, and the message says
    // its results are unreliable and why, with the topic of singular matrices
    // and the Closure page's explanation behind Explain.
    void unreliableSolveSaysSo() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piData));
        QVERIFY(f.EnterValue(3, 3, "500"));
        QVERIFY(f.EnterValue(11, 4, "0"));
        QVERIFY(f.Exchange("p(11)", "x(21)4"));
        QCOMPARE(f.Closure()->ClosureCheckLabel()->text(),
                 QString("This closure can be solved, but its results are unreliable."));
        f.Dialogs.clear();
        f.SolveWith(1, "Shaky");
        QCOMPARE(f.Dialogs.size(), 1);
        const TShownDialog shown = f.Dialogs[0];
        const QString lead = successText("Shaky") +
                             "\r\n\r\nThe results are unreliable: its equations are nearly "
                             "dependent (condition estimate ";
        // One sentence in the message; the rest is the Closure page's explanation.
        QVERIFY2(shown.Text.startsWith(lead) && shown.Text.endsWith(").") &&
                     shown.Text.count("\r\n") == 3,
                 qPrintable(shown.Text));
        QCOMPARE(shown.Kind, mkInformation);
        QCOMPARE(shown.Buttons, MessageButtons(mbOK | mbHelp));
        QCOMPARE(shown.HelpContext, 302);
        QCOMPARE(shown.Detail, f.Closure()->ExplanationText());
        QVERIFY2(
            shown.Detail.startsWith("This closure can be solved, but its results are "
                                    "unreliable: its equations are nearly dependent") &&
                shown.Detail.contains("\r\n\r\nExchanges that make the closure reliable:\r\n- "),
            qPrintable(shown.Detail));
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.ResultTitles(), QStringList{"Shaky"});
        // The heading of the solution says so too, whole text or cut.
        QVERIFY(f.GoTo(piResults));
        QHeaderView* header = f.Results()->ResultsTable()->horizontalHeader();
        const int section = 1 - f.Results()->ResultsTable()->GridModel()->FixedCols();
        QTest::mouseMove(header->viewport(), QPoint(header->sectionViewportPosition(section) + 4,
                                                    header->height() / 2));
        QTRY_VERIFY2(QToolTip::text().startsWith(
                         "The results are unreliable: its equations are nearly dependent"),
                     qPrintable(QToolTip::text()));
    }

    void errorsWhileSolvingEndTheBusyState_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("errorClass");
        // A shock of -100 cannot be typed, but a variable made exogenous after
        // a solve brings its last result, which may be -100 or less.
        QTest::newRow("shock of -100") << "shock"
                                       << "EInvalidOp";
        QTest::newRow("zero divisor") << "divisor"
                                      << "EZeroDivide";
        QTest::newRow("TEM not writable") << "tem"
                                          << "EInOutError";
    }
    void errorsWhileSolvingEndTheBusyState() {
        QFETCH(QString, cause);
        QFETCH(QString, errorClass);
        TPagesFixture f;
        f.SolveWith(1, "First");
        QVERIFY(f.GoTo(piSolve));
        if (cause == "shock") {
            f.E().ShockVec(kv::FindVariable("t2")) = -100;
        } else if (cause == "divisor") {
            f.E().BaseData(2, 1) = -5; // the good-2 inputs of industry 1 cancel out
            kv::DeriveData(f.E().BaseData);
        } else {
            kv::TemFileName = f.Dir.filePath("missing/TEM").toStdString();
        }
        const kv::Variable_Real shocks = f.E().ShockVec;
        f.Dialogs.clear();
        f.SolveWith(2, "Second");
        QCOMPARE(f.Errors.size(), 1);
        QVERIFY2(f.Errors[0].contains(errorClass), qPrintable(f.Errors[0]));
        QVERIFY(f.Dialogs.isEmpty());
        QVERIFY(f.Form->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.Form->StatusText().contains("WORKING"));
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.Results()->ResultsTable()->ColCount(), 2);
        QCOMPARE(f.Solve()->SolNameEditBox()->text(), QString("Second"));
        QVERIFY(f.E().ShockVec == shocks);
        QCOMPARE(f.CurrentPage(), int(piSolve));
    }

    // --- Results page -------------------------------------------------------

    void movesAndDeletesOfColumns() {
        TPagesFixture f;
        for (const char* title : {"A", "B", "C"}) {
            f.SolveWith(1, title);
        }
        QCOMPARE(f.ResultTitles(), (QStringList{"A", "B", "C"}));
        QList<int> answers;
        int opened = 0;
        f.Results()->ColumnDialog = [&] {
            ++opened;
            return answers.takeFirst();
        };
        auto click = [&](int k, int answer) {
            answers = {answer};
            f.Results()->ResultsTableLockedCellClick(0, k);
        };
        click(1, TColMoveDlg::crMoveRight);
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "A", "C"}));
        click(3, TColMoveDlg::crMoveLeft);
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "C", "A"}));
        // No move past either end, and Cancel changes nothing.
        click(1, TColMoveDlg::crMoveLeft);
        click(3, TColMoveDlg::crMoveRight);
        click(2, TColMoveDlg::crCancel);
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "C", "A"}));
        click(2, TColMoveDlg::crDelete);
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "A"}));
        QCOMPARE(f.Results()->ResultsTable()->ColCount(), 3);
        QCOMPARE(f.E().Solutions.Count, 2);
        QCOMPARE(opened, 6);
        QVERIFY(f.PlainBoxes.isEmpty());
        QCOMPARE(f.Solve()->SolNameEditBox()->text(), QString("Sim 4"));
        f.SolveWith(1, f.Solve()->SolNameEditBox()->text());
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "A", "Sim 4"}));
    }

    void theOnlySolutionCannotBeDeleted() {
        TPagesFixture f;
        f.SolveWith(1, "Only");
        f.Results()->ColumnDialog = [] { return int(TColMoveDlg::crDelete); };
        f.Results()->ResultsTableLockedCellClick(0, 1);
        QCOMPARE(f.PlainBoxes.size(), 1);
        QCOMPARE(f.PlainBoxes[0].Text, QString("You cannot delete the only solution."));
        QCOMPARE(f.PlainBoxes[0].Caption, QString("SORRY - NO CAN DO !"));
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.ResultTitles(), QStringList{"Only"});
        QVERIFY(f.Dialogs.size() == 1); // the success message only
    }

    void headingClicksOpenTheRealDialog() {
        TPagesFixture f;
        f.SolveWith(1, "A");
        f.SolveWith(1, "B");
        TGrid* grid = f.Results()->ResultsTable();
        QHeaderView* header = grid->horizontalHeader();
        // A real click on the heading of "A", answered with Move Right.
        WhenModalShown([](QWidget* modal) {
            auto* dialog = qobject_cast<TColMoveDlg*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Column: A"));
            QVERIFY(dialog->width() >= CaptionWidth(dialog->windowTitle()));
            QTest::mouseClick(dialog->RightBtn(), Qt::LeftButton);
        });
        const int x = header->sectionViewportPosition(0) + header->sectionSize(0) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "A"}));
        // Esc leaves things as they are.
        WhenModalShown([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(f.ResultTitles(), (QStringList{"B", "A"}));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void clicksThatOpenNoDialog_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("heading of the variable column") << "corner";
        QTest::newRow("variable name below the headings") << "name";
        QTest::newRow("a result") << "result";
    }
    void clicksThatOpenNoDialog() {
        QFETCH(QString, where);
        TPagesFixture f;
        f.SolveWith(1, "A");
        f.SolveWith(1, "B");
        int opened = 0;
        f.Results()->ColumnDialog = [&opened] {
            ++opened;
            return int(TColMoveDlg::crDelete);
        };
        TGrid* grid = f.Results()->ResultsTable();
        if (where == "corner") {
            auto* corner = grid->findChild<QAbstractButton*>();
            QVERIFY(corner);
            QTest::mouseClick(corner, Qt::LeftButton);
        } else if (where == "name") {
            QHeaderView* names = grid->verticalHeader();
            const int y = names->sectionViewportPosition(4) + names->sectionSize(4) / 2;
            QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, QPoint(5, y));
        } else {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(3, 1).center());
        }
        QCOMPARE(opened, 0);
        QCOMPARE(f.ResultTitles(), (QStringList{"A", "B"}));
        // A click on a solution's heading does open it.
        f.Results()->ResultsTableLockedCellClick(0, 2);
        QCOMPARE(opened, 1);
    }

    void hashOnlyWhereTheVariableWasExogenous() {
        TPagesFixture f;
        f.SolveWith(1, "Default");
        QVERIFY(f.Exchange("cpi", "phi"));
        f.SolveWith(1, "Swapped");
        const int phi = kv::FindVariable("phi");
        const int cpi = kv::FindVariable("cpi");
        QVERIFY(f.ResultText(phi, 1).startsWith("#"));
        QVERIFY(!f.ResultText(phi, 2).startsWith("#"));
        QVERIFY(!f.ResultText(cpi, 1).startsWith("#"));
        QVERIFY(f.ResultText(cpi, 2).startsWith("#"));
        for (int r = 1; r <= kv::NumVars; ++r) {
            if (r != phi && r != cpi) {
                QCOMPARE(f.ResultText(r, 1).startsWith("#"), f.ResultText(r, 2).startsWith("#"));
            }
        }
    }

    // --- The whole experiment through the window ----------------------------

    void t2ExperimentByEveryMethod() {
        TPagesFixture f;
        const int t2 = kv::FindVariable("t2");
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
        keepPicture(f.Form.get(), "shocks");

        // The same experiment solved directly by the model core.
        const kv::Data_Real base = f.E().BaseData;
        const kv::TClosure closure = f.E().Closure;
        kv::Variable_Real shocks{};
        shocks(t2) = -10;
        std::vector<kv::Variable_Real> expected;
        kv::Data_Real lastData{};
        for (int method = 1; method <= 5; ++method) {
            kv::Variable_Real vec = shocks;
            kv::Data_Real newData = base;
            const kv::SolveResult r = kv::SolveModel(method, base, newData, vec, closure);
            QVERIFY(r.success && !r.singular && !r.negativeFlow);
            expected.push_back(vec);
            lastData = newData;
        }

        for (int method = 1; method <= 5; ++method) {
            // Each solve starts from the shocks as typed.
            QVERIFY(f.GoTo(piShocks));
            QCOMPARE(f.Shocks()->ExoTable()->GridModel()->CellText(f.ShockRow("t2"), 1),
                     QString("-10.00"));
            f.SolveWith(method, QString("M%1").arg(method));
            QCOMPARE(f.CurrentPage(), int(piResults));
            if (method == 1) {
                keepPicture(f.Form.get(), "results-1");
            }
        }
        keepPicture(f.Form.get(), "results-5");
        QCOMPARE(f.ResultTitles(), (QStringList{"M1", "M2", "M3", "M4", "M5"}));
        for (int k = 1; k <= 5; ++k) {
            for (int v = 1; v <= kv::NumVars; ++v) {
                const QString text = f.ResultText(v, k);
                const bool exo = !closure.Endo(v);
                QCOMPARE(text,
                         (exo ? QString("#") : QString()) +
                             kv::FormatReal(expected[static_cast<std::size_t>(k - 1)](v), 0, 3));
            }
        }
        // Johansen against the known figures.
        const std::pair<const char*, double> known[] = {
            {"p(22)", -10.0}, {"p(11)", -3.8328}, {"c", -5.1785}, {"x(11)4", 7.6655},
            {"z1", 4.4415},   {"delB", 0.4109},   {"t2", -10.0}};
        for (const auto& [name, value] : known) {
            const QString text = f.ResultText(kv::FindVariable(name), 1).remove('#');
            QVERIFY2(std::abs(text.toDouble() - value) < 0.0006, name);
        }
        // The Updated Data page shows the database of the last solution.
        QVERIFY(f.GoTo(piUpdatedData));
        keepPicture(f.Form.get(), "updated-data");
        TGridModel* updated = f.Form->tabUpdatedData->Grid()->GridModel();
        for (int r = 0; r <= kv::DataRows; ++r) {
            for (int c = 0; c <= kv::DataCols; ++c) {
                QCOMPARE(updated->CellText(r, c), kv::DataCellText(lastData, r, c));
            }
        }
        QVERIFY(f.GoTo(piTableau));
        keepPicture(f.Form.get(), "tableau");
        QVERIFY(f.GoTo(piClosure));
        keepPicture(f.Form.get(), "closure");
        QVERIFY(f.GoTo(piSolve));
        keepPicture(f.Form.get(), "solve");
    }
};

QTEST_MAIN(TestSolveResults)
#include "tst_solveresults.moc"
