// Undo and redo in the main window: each kind of change a student makes,
// taken back with Ctrl+Z and made again with Ctrl+Y, restores the texts of
// every page exactly and shows the page of the change; a long random
// sequence of changes undone to the start gives the defaults again.
#include "colmovedlg.h"
#include "experimentdoc.h"
#include "pagesfixture.h"

#include <QUndoStack>
#include <random>

namespace {

enum TKind { kData, kExchange, kShock, kSolve, kMove, kDelete, kTitle };

// Presses a key on whatever has the focus, as the student does.
void Press(TPagesFixture& f, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : f.Form.get();
    QTest::keyClick(target, key, modifiers);
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // The shortcuts work on the active window.
        QApplication::setActiveWindow(nullptr);
    }

    void eachKindOfChange_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("page");
        QTest::newRow("data cell")
            << int(kData) << "&Undo edit data cell 1,1 to 12.00" << int(piData);
        QTest::newRow("exchange") << int(kExchange) << "&Undo exchange x(11)3 and phi"
                                  << int(piClosure);
        QTest::newRow("shock") << int(kShock) << "&Undo shock t2 = -10.00" << int(piShocks);
        QTest::newRow("solution stored") << int(kSolve) << "&Undo solution Sim 3" << int(piResults);
        QTest::newRow("solution moved") << int(kMove) << "&Undo move A right" << int(piResults);
        QTest::newRow("solution deleted") << int(kDelete) << "&Undo delete A" << int(piResults);
        QTest::newRow("title") << int(kTitle) << "&Undo title Mine" << int(piSolve);
    }
    void eachKindOfChange() {
        QFETCH(int, kind);
        QFETCH(QString, item);
        QFETCH(int, page);
        TPagesFixture f;
        QApplication::setActiveWindow(f.Form.get());
        // Two solutions to move and delete, made the way the student makes them.
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(f.ShockRow("t1"), "5"));
        f.SolveWith(1, "A");
        f.SolveWith(3, "B");
        QCOMPARE(f.E().Solutions.Count, 2);
        QVERIFY(f.GoTo(piWelcome));
        const QStringList before = f.PageTexts();

        switch (kind) {
        case kData:
            QVERIFY(f.GoTo(piData));
            QVERIFY(f.EnterValue(1, 1, "12"));
            break;
        case kExchange:
            QVERIFY(f.Exchange("x(11)3", "phi"));
            break;
        case kShock:
            QVERIFY(f.GoTo(piShocks));
            QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
            break;
        case kSolve:
            f.SolveWith(5, "Sim 3"); // the proposed title: no step of its own
            break;
        case kMove:
            QVERIFY(f.GoTo(piResults));
            f.ClickHeading(1, TColMoveDlg::crMoveRight);
            break;
        case kDelete:
            QVERIFY(f.GoTo(piResults));
            f.ClickHeading(1, TColMoveDlg::crDelete);
            break;
        case kTitle: {
            QVERIFY(f.GoTo(piSolve));
            QLineEdit* box = f.Solve()->SolNameEditBox();
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, "Mine");
            QTest::keyClick(box, Qt::Key_Return); // on to Solve, the title kept
            break;
        }
        }
        // The tableau follows the database when the Data page is left.
        QVERIFY(f.GoTo(piWelcome));
        const QStringList after = f.PageTexts();
        QVERIFY(after != before);
        QCOMPARE(f.Form->Undo1->text(), item);
        QVERIFY(f.Form->windowTitle().contains("[*]"));
        QVERIFY(f.Form->isWindowModified());

        Press(f, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.PageTexts(), before);
        QCOMPARE(f.CurrentPage(), page == piResults && f.E().Solutions.Count == 0 ? piSolve : page);
        QCOMPARE(f.Form->Redo1->text(), QString(item).replace("&Undo", "&Redo"));

        Press(f, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f.PageTexts(), after);
        Press(f, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.PageTexts(), before);
        Press(f, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.PageTexts(), after);
    }

    void aValueTypedButNotEnteredIsAStepOfItsOwn() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
        const kv::Variable t1 = kv::FindVariable("t1");
        QVERIFY(TPagesFixture::TypeIntoGrid(f.Shocks()->ExoTable(), f.ShockRow("t1"), 1, "5"));
        // Undo from the menu first stores what was typed, and takes nothing back.
        f.Form->Undo1Click();
        QCOMPARE(f.E().ShockVec(t1), 5.0);
        QCOMPARE(f.Form->Undo1->text(), QString("&Undo shock t1 = 5.00"));
        f.Form->Undo1Click();
        QCOMPARE(f.E().ShockVec(t1), 0.0);
        f.Form->Undo1Click();
        QVERIFY(f.E().State() == kv::TExperiment().State());
        QVERIFY(!f.Form->Undo1->isEnabled());
    }

    void longRandomSequenceUndoneGivesTheDefaults() {
        TPagesFixture f;
        const QStringList defaults = f.PageTexts();
        TExperimentDoc& doc = f.Form->Doc();
        std::mt19937 rng(20261210);
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(1, n)(rng); };
        int steps = 0;
        for (int i = 0; i < 150; ++i) {
            const kv::TExperiment& E = doc.Experiment();
            switch (pick(7)) {
            case 1: { // a database cell near its value: no negative flow
                const int r = pick(2);
                const int c = pick(3);
                doc.EditDataCell(r, c, E.BaseData(r, c) + pick(5) * 0.01);
                break;
            }
            case 2:
                doc.Exchange(pick(kv::NumEndo), pick(kv::NumExo));
                break;
            case 3:
                doc.SetShock(E.Closure.ExoList(pick(kv::NumExo)), pick(20) - 10);
                break;
            case 4:
                doc.SetTitle(QStringLiteral("T%1").arg(i));
                break;
            case 5:
                // Singular closures and negative flows fail, changing the
                // updated database without a step of their own.
                if (E.Solutions.Count < kv::MaxSolutions) {
                    doc.Solve(pick(5));
                }
                break;
            case 6:
                doc.MoveSolutionLeft(pick(std::max(1, E.Solutions.Count)));
                break;
            default:
                if (E.Solutions.Count > 1) {
                    doc.DeleteSolution(pick(E.Solutions.Count));
                }
                break;
            }
            ++steps;
        }
        QVERIFY(doc.UndoStack()->count() > 80);
        QVERIFY(f.PageTexts() != defaults);
        // Every step undone, each on its own page.
        while (doc.UndoStack()->canUndo()) {
            const int index = doc.UndoStack()->index();
            f.Form->Undo1Click();
            QCOMPARE(doc.UndoStack()->index(), index - 1);
        }
        QCOMPARE(f.PageTexts(), defaults);
        QVERIFY(doc.Experiment().State() == kv::TExperiment().State());
        QVERIFY(doc.Experiment().Tableau == kv::TExperiment().Tableau);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
