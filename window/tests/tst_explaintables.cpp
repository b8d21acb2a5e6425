// The explanations of a solution on the Results page: the menu of a
// solution's column opens its contributions and its convergence, each a
// table in a window of its own that copies like a page.
#include "../../frame/tests/modalwatch.h"
#include "pagesfixture.h"
#include "tabledialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QWindow>

namespace {

double number(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().remove(QLatin1Char('#')).toDouble(&ok);
    return ok ? value : std::nan("");
}

struct TShownTable {
    kv::TPageTable Table;
    int HelpContext = 0;
};

} // namespace

class TestExplainTables : public QObject {
    Q_OBJECT

    // Right-clicks the heading of results column k as the user does (through
    // the window, so that the click becomes a context-menu request) and
    // chooses the menu's action; returns the table the action showed.
    static std::optional<TShownTable> chooseFromMenu(TPagesFixture& f, int k,
                                                     const QString& action) {
        std::optional<TShownTable> shown;
        f.Results()->ShowTable = [&shown](const kv::TPageTable& table, int help) {
            shown = TShownTable{table, help};
        };
        f.GoTo(piResults);
        TGrid* grid = f.Results()->ResultsTable();
        QHeaderView* header = grid->horizontalHeader();
        const int section = k - grid->GridModel()->FixedCols();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        bool chosen = false;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                return;
            }
            for (QAction* item : menu->actions()) {
                if (item->objectName() == action && item->isEnabled()) {
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(item).center());
                    chosen = true;
                    return;
                }
            }
            menu->close();
        });
        QWindow* window = f.Form->windowHandle();
        const QPoint inWindow = header->viewport()->mapTo(f.Form.get(), at);
        QTest::mouseClick(window, Qt::RightButton, {}, inWindow);
        if (!QTest::qWaitFor([&] { return chosen || !QApplication::activePopupWidget(); })) {
            return std::nullopt;
        }
        return chosen ? shown : std::nullopt;
    }

    // t2 = -10 and a second shock.
    static kv::Variable shockTwo(TPagesFixture& f) {
        const kv::Variable t2 = kv::FindVariable("t2");
        kv::Variable other = 0;
        for (int r = 1; r <= kv::NumExo && !other; ++r) {
            if (f.E().Closure.ExoList(r) != t2) {
                other = f.E().Closure.ExoList(r);
            }
        }
        f.GoTo(piShocks);
        if (!f.EnterShock(f.ShockRow("t2"), "-10") ||
            !f.EnterShock(f.ShockRow(kv::VarName(other).c_str()), "5")) {
            return 0;
        }
        return other;
    }

private slots:
    // The contributions of the two shocks add up to each variable's result,
    // which is the Results page's, and each shocked variable's own row is
    // its shock alone.
    void contributionsAddUpToTheResults() {
        TPagesFixture f;
        const kv::Variable other = shockTwo(f);
        QVERIFY(other);
        f.SolveWith(5, QStringLiteral("Sim A"));
        QCOMPARE(f.E().Solutions.Count, 1);
        const auto shown = chooseFromMenu(f, 1, QStringLiteral("ContributionsAction"));
        QVERIFY(shown);
        QCOMPARE(shown->HelpContext, 208);
        const kv::TPageTable& t = shown->Table;
        QCOMPARE(t.PrintTitle, QStringLiteral("contributions to Sim A"));
        QCOMPARE(t.Rows, kv::NumVars + 1);
        QCOMPARE(t.Cols, 4);
        const QStringList headings{t.CellRule(0, 1), t.CellRule(0, 2), t.CellRule(0, 3)};
        QVERIFY(headings.contains(QStringLiteral("t2")));
        QVERIFY(headings.contains(QString::fromStdString(kv::VarName(other))));
        QCOMPARE(headings[2], QStringLiteral("Total"));
        const kv::TSolution& sol = f.E().Solutions.Items(1);
        for (int r = 1; r <= kv::NumVars; ++r) {
            const double total = number(t.CellRule(r, 3));
            // Each part rounded to four decimals.
            QVERIFY2(std::abs(number(t.CellRule(r, 1)) + number(t.CellRule(r, 2)) - total) <=
                         1.5e-4,
                     qPrintable(t.CellRule(r, 0)));
            QVERIFY(std::abs(total - sol.SolValue(r)) <= 0.5e-4);
            QVERIFY(std::abs(number(f.ResultText(r, 1)) - total) <= 0.5e-3 + 0.5e-4);
        }
        const int t2Column = headings.indexOf(QStringLiteral("t2")) + 1;
        QCOMPARE(t.CellRule(kv::FindVariable("t2"), t2Column), QStringLiteral("-10.0000"));
        QCOMPARE(t.CellRule(kv::FindVariable("t2"), 3 - t2Column), QStringLiteral("0.0000"));
    }

    // Euler 1, 4 and 16 steps are the first three methods' results, and the
    // figures of the solution's own method are whole numbers of digits.
    void convergenceAgreesWithTheMethods() {
        TPagesFixture f;
        QVERIFY(shockTwo(f));
        f.SolveWith(1, QStringLiteral("J"));
        f.SolveWith(2, QStringLiteral("E4"));
        f.SolveWith(3, QStringLiteral("E16"));
        f.SolveWith(5, QStringLiteral("X"));
        QCOMPARE(f.E().Solutions.Count, 4);
        const auto shown = chooseFromMenu(f, 4, QStringLiteral("ConvergenceAction"));
        QVERIFY(shown);
        QCOMPARE(shown->HelpContext, 209);
        const kv::TPageTable& t = shown->Table;
        QCOMPARE(t.PrintTitle, QStringLiteral("convergence of X (Euler 8-16-32 extrapolation)"));
        QCOMPARE(t.Cols, 11);
        QCOMPARE(t.CellRule(0, 1), QStringLiteral("Euler 1"));
        QCOMPARE(t.CellRule(0, 7), QStringLiteral("Euler 64"));
        QCOMPARE(t.CellRule(0, 10), QStringLiteral("Figures"));
        const kv::TSolutionStore& S = f.E().Solutions;
        for (int r = 1; r <= kv::NumVars; ++r) {
            // Columns 1, 3 and 5: 1, 4 and 16 steps.
            for (auto [column, k] : {std::pair{1, 1}, {3, 2}, {5, 3}}) {
                QVERIFY(std::abs(number(t.CellRule(r, column)) - S.Items(k).SolValue(r)) <= 0.6e-6);
            }
            QVERIFY(std::abs(number(t.CellRule(r, 9)) - S.Items(4).SolValue(r)) <= 0.6e-6);
            bool whole = false;
            const int figures = t.CellRule(r, 10).toInt(&whole);
            QVERIFY(whole && figures >= 0 && figures <= 15);
        }
    }

    // The table's window copies the table it shows, and the window's own
    // Copy afterwards copies the current page again.
    void tableWindowCopiesItsTable() {
        TPagesFixture f;
        QVERIFY(shockTwo(f));
        f.SolveWith(4, QStringLiteral("Sim C"));
        const kv::TPageTable table = kv::DecompositionTable(f.E().Solutions.Items(1));
        QString expected;
        {
            kv::TSimTab T;
            QString msg;
            QVERIFY(kv::MakePageSimTab(T, table, msg));
            QVERIFY(kv::CopySimTabToString(T, expected, msg));
            expected.chop(1); // the closing NUL
        }
        TTableDialog dialog(table, 208, f.Form->OutputCommands(), f.Form->PageContext(),
                            f.Form.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("contributions to Sim C"));
        QCOMPARE(dialog.Grid()->ColCount(), table.Cols);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CopyButton")),
                          Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        // F1 opens the table's topic, once.
        f.Topics.clear();
        QTest::keyClick(dialog.Grid(), Qt::Key_F1);
        QCOMPARE(f.Topics, QList<int>{208});
        dialog.close();
        f.GoTo(piData);
        f.Form->Copy1->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")),
                 kv::DataRows + 1);
    }
};

QTEST_MAIN(TestExplainTables)
#include "tst_explaintables.moc"
