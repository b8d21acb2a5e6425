// The main window: its construction, the lazy preparation of pages, the
// checks when the user changes page (every way of changing), the status line,
// the busy state and closing.
#include "formfixture.h"
#include "helpcontext.h"
#include "screenfont.h"
#include "vkdebuginfo.h"

#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QTextBlock>

namespace {
const QString PressF1 = QStringLiteral("   Press F1 key for help"); // "  " + " Press F1..."
const QString EditingComplete = QStringLiteral(" Editing complete? - click again to confirm ");
const QString MustSolve = QStringLiteral(" You must solve the model before seeing that page");

bool outputMenusEnabled(const TSDIAppForm& form) {
    const bool print = form.Print1->isEnabled();
    if (form.Save1->isEnabled() != print || form.Copy1->isEnabled() != print) {
        qWarning("Print, Save and Copy disagree");
    }
    return print;
}
} // namespace

class TestSDIAppForm : public QObject {
    Q_OBJECT

private slots:
    void createdOnTheWelcomePage() {
        TFormFixture f;
        TSDIAppForm& form = *f.Form;
        QCOMPARE(form.objectName(), QString("SDIAppForm"));
        QCOMPARE(f.CurrentPage(), 0);
        QCOMPARE(form.windowTitle(), TSDIAppForm::CreditCaption());
        QVERIFY(form.windowTitle().startsWith("WinVELMAR"));
        QVERIFY(form.windowTitle().contains("the WinVELMAR project"));
        QCOMPARE(form.StatusText(), QString());
        QCOMPARE(form.Notebook1->tabPosition(), QTabWidget::South);
        QCOMPARE(OwnHelpContext(&form), 200);
        for (int p = 0; p < PageCount; ++p) {
            QVERIFY(!form.PagePrepared(p));
        }

        const char* expected[][2] = {{"Welcome", "tabWelcome"}, {"Data", "tabData"},
                                     {"Tableau", "tabTableau"}, {"Closure", "tabClosure"},
                                     {"Shocks", "tabShocks"},   {"Solve", "tabSolve"},
                                     {"Results", "tabResults"}, {"Updated Data", "tabUpdatedData"}};
        QCOMPARE(form.Notebook1->count(), PageCount);
        for (int p = 0; p < PageCount; ++p) {
            QCOMPARE(form.Notebook1->tabText(p), QString(expected[p][0]));
            QCOMPARE(form.Notebook1->widget(p)->objectName(), QString(expected[p][1]));
            QCOMPARE(form.Page(p)->HelpContext(), 200 + p);
            QCOMPARE(HelpContextFor(form.Notebook1->widget(p)), 200 + p);
        }
    }

    void welcomeMemoHoldsTheNineteenLines() {
        TFormFixture f;
        QPlainTextEdit* memo = f.Form->WelcomeMemo;
        QCOMPARE(memo->objectName(), QString("WelcomeMemo"));
        QVERIFY(memo->isReadOnly());
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(memo->frameShape(), QFrame::NoFrame);
        const QTextDocument* doc = memo->document();
        QCOMPARE(doc->blockCount(), 19);
        QStringList lines;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            lines << b.text();
        }
        QCOMPARE(lines, TWelcomePage::WelcomeLines());
        for (int i = 1; i <= 15; i += 2) {
            QCOMPARE(lines[i], QString("  "));
        }
        QCOMPARE(lines[17], QString(" "));
        const QString first = lines[0];
        QVERIFY(first.contains("KV"));
        QVERIFY(first.contains("Chapter 2"));
        QVERIFY(first.contains("the WinVELMAR project, 2026"));
        QVERIFY(first.endsWith("[PDF available from Help menu]"));
        QCOMPARE(lines[2], QString("You are on the first of eight \"pages\". Use the tab index "
                                   "below to switch pages. The pages are arranged in the order "
                                   "in which they are typically used:"));
        QCOMPARE(lines[6], QString("The TABLEAU page shows coefficients for the percentage-change "
                                   "equations of the model. The coefficients are calculated from "
                                   "the flows shown on the DATA page."));
        QCOMPARE(lines[18], QString("Use the Help menu item for further information, or press "
                                    "the F1 function key at any time."));
    }

    void mainMenuCaptionsHintsAndStates() {
        TFormFixture f;
        TSDIAppForm& form = *f.Form;
        struct Item {
            QAction* action;
            const char* name;
            const char* caption;
            const char* hint;
            bool enabled;
        } items[] = {
            {form.Print1, "Print1", "&Print", "Print Current Screen", false},
            {form.Save1, "Save1", "&Save", "Save current screen to file", false},
            {form.Copy1, "Copy1", "&Copy", "Copy current screen to clipboard", false},
            {form.Help1, "Help1", "&Help", "See help file", true},
            {form.ExitItem, "ExitItem", "E&xit", "Exit application", true},
        };
        // The five items, then the experiment's menus.
        const QList<QAction*> bar = form.menuBar()->actions();
        QCOMPARE(bar.size(), 7);
        QCOMPARE(bar[5], form.ExperimentMenu->menuAction());
        QCOMPARE(bar[5]->text(), QString("&Experiment"));
        QCOMPARE(bar[6], form.EditMenu->menuAction());
        QCOMPARE(bar[6]->text(), QString("E&dit"));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(bar[i], items[i].action);
            QCOMPARE(items[i].action->objectName(), QString(items[i].name));
            QCOMPARE(items[i].action->text(), QString(items[i].caption));
            QCOMPARE(items[i].action->statusTip(), QString(items[i].hint));
            QVERIFY(items[i].action->toolTip().isEmpty() ||
                    items[i].action->toolTip() == QString(items[i].caption).remove('&'));
            QCOMPARE(items[i].action->isEnabled(), items[i].enabled);
        }
        const QList<QAction*> print = form.PrintMenu->actions();
        QCOMPARE(print.size(), 3);
        QVERIFY(print[0]->isSeparator());
        QCOMPARE(print[1]->text(), QString("&Print Current Screen"));
        QCOMPARE(print[2]->text(), QString("Print &Setup"));
        QStringList help;
        for (QAction* a : form.HelpMenu->actions()) {
            help << a->text();
        }
        QCOMPARE(help, (QStringList{"&Contents", "Current &Screen", "PDF Book Chapter",
                                    "PDF Equations", "PDF Variables", "&About", "About &Qt"}));
    }

    void hintsGoToTheStatusLine() {
        TFormFixture f;
        f.Form->Save1->showStatusText(f.Form->menuBar());
        QCOMPARE(f.Form->StatusText(), QString("  Save current screen to file"));
        // The pointer over a menu-bar item.
        QMenuBar* bar = f.Form->menuBar();
        const QPointF at = bar->actionGeometry(f.Form->ExitItem).center();
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
        QTRY_COMPARE(f.Form->StatusText(), QString("  Exit application"));
        QStatusTipEvent tip(QStringLiteral("Double-click on green numbers to edit them"));
        QCoreApplication::sendEvent(f.Form->tabData->Grid(), &tip);
        QCOMPARE(f.Form->StatusText(), QString("  Double-click on green numbers to edit them"));
        // A hint longer than the status line is cut; the window keeps its width.
        const int width = f.Form->width();
        f.Form->ShowHint(QString(400, QLatin1Char('W')));
        QCoreApplication::processEvents();
        QVERIFY(f.Form->minimumSizeHint().width() <= width);
        // Hints never show as pop-ups.
        QVERIFY(f.Form->Notebook1->toolTip().isEmpty());
        QVERIFY(f.Form->tabData->Grid()->toolTip().isEmpty());
    }

    void firstTabClickSetsCaptionAndStatus() {
        TFormFixture f;
        f.ClickTab(piData);
        QCOMPARE(f.CurrentPage(), int(piData));
        QCOMPARE(f.Form->windowTitle(), QString("WinVELMAR"));
        QCOMPARE(f.Form->StatusText(), PressF1);
        QVERIFY(f.Form->PagePrepared(piData));
        QVERIFY(outputMenusEnabled(*f.Form));
        QCOMPARE(f.Form->PreviousPageIndex(), int(piData));
        QCOMPARE(f.Beeps, 0);
    }

    // Every way the user changes page goes through the same checks: allowed
    // from Welcome, refused from Data with negative flows.
    static void changePage(TFormFixture& f, const QString& how, int mouseTarget) {
        QTabBar* bar = f.Form->Notebook1->tabBar();
        if (how == "mouse") {
            f.ClickTab(mouseTarget);
        } else if (how == "right") {
            QTest::keyClick(bar, Qt::Key_Right);
        } else if (how == "ctrl+tab") {
            QTest::keyClick(f.Form->Notebook1, Qt::Key_Tab, Qt::ControlModifier);
        } else if (how == "ctrl+backtab") {
            QTest::keyClick(f.Form->Notebook1, Qt::Key_Backtab,
                            Qt::ControlModifier | Qt::ShiftModifier);
        } else if (how == "wheel") {
            const QPoint at = bar->tabRect(bar->currentIndex()).center();
            QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(bar, &wheel);
        }
    }

    void everyWayOfChangingPage_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("mouse") << "mouse" << 0 << 2;
        QTest::newRow("arrow key on the tabs") << "right" << 0 << 1;
        QTest::newRow("Ctrl+Tab") << "ctrl+tab" << 0 << 1;
        QTest::newRow("Ctrl+Shift+Tab") << "ctrl+backtab" << 2 << 1;
        QTest::newRow("wheel on the tabs") << "wheel" << 0 << 1;
    }
    void everyWayOfChangingPage() {
        QFETCH(QString, how);
        QFETCH(int, from);
        QFETCH(int, to);
        {
            TFormFixture f;
            if (from != 0) {
                f.ClickTab(from);
                QCOMPARE(f.CurrentPage(), from);
            }
            changePage(f, how, to);
            QCOMPARE(f.CurrentPage(), to);
            QVERIFY(f.Form->PagePrepared(to));
            QCOMPARE(f.Form->StatusText(), PressF1);
            QCOMPARE(f.Form->windowTitle(), QString("WinVELMAR"));
            QCOMPARE(f.Form->PreviousPageIndex(), to);
        }
        {
            TFormFixture f;
            f.ClickTab(piData);
            f.Form->NegativeDataFlag = true;
            changePage(f, how, piClosure);
            QCOMPARE(f.CurrentPage(), int(piData));
            QCOMPARE(f.Form->Notebook1->tabBar()->currentIndex(), int(piData));
            QCOMPARE(f.Form->Notebook1->currentWidget(), f.Form->Page(piData));
            QCOMPARE(f.Dialogs.size(), 1);
            QCOMPARE(f.Form->StatusText(), QString(" Fix negative flow before proceeding"));
            QVERIFY(outputMenusEnabled(*f.Form));
        }
    }

    void resultsBeforeAnySolveIsRefused_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("Data to Results") << int(piData) << int(piResults);
        QTest::newRow("Welcome to Updated Data") << int(piWelcome) << int(piUpdatedData);
        QTest::newRow("Solve to Results") << int(piSolve) << int(piResults);
    }
    void resultsBeforeAnySolveIsRefused() {
        QFETCH(int, from);
        QFETCH(int, to);
        TFormFixture f;
        if (from != 0) {
            f.ClickTab(from);
        }
        const bool menus = outputMenusEnabled(*f.Form);
        f.Beeps = 0;
        f.ClickTab(to);
        QCOMPARE(f.Beeps, 2);
        QCOMPARE(f.Form->StatusText(), MustSolve);
        QCOMPARE(f.CurrentPage(), from);
        QCOMPARE(f.Form->Notebook1->currentWidget(), f.Form->Page(from));
        QCOMPARE(outputMenusEnabled(*f.Form), menus);
        QVERIFY(!f.Form->PagePrepared(to));
        QCOMPARE(f.Form->windowTitle(), QString("WinVELMAR"));
    }

    void resultsReachableOnceASolutionIsStored() {
        TFormFixture f;
        kv::AddSolution(f.E().Solutions, "Sim 1", f.E().ShockVec, f.E().Closure.Endo);
        f.ClickTab(piResults);
        QCOMPARE(f.CurrentPage(), int(piResults));
        QVERIFY(outputMenusEnabled(*f.Form));
        f.ClickTab(piUpdatedData);
        QCOMPARE(f.CurrentPage(), int(piUpdatedData));
        f.ClickTab(piClosure);
        QVERIFY(!outputMenusEnabled(*f.Form));
    }

    void menusFollowThePage_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Data") << 1 << true;
        QTest::newRow("Tableau") << 2 << true;
        QTest::newRow("Closure") << 3 << false;
        QTest::newRow("Shocks") << 4 << false;
        QTest::newRow("Solve") << 5 << false;
        QTest::newRow("Results") << 6 << true;
        QTest::newRow("Updated Data") << 7 << true;
    }
    void menusFollowThePage() {
        QFETCH(int, page);
        QFETCH(bool, enabled);
        TFormFixture f;
        kv::AddSolution(f.E().Solutions, "Sim 1", f.E().ShockVec, f.E().Closure.Endo);
        f.ClickTab(page);
        QCOMPARE(outputMenusEnabled(*f.Form), enabled);
        f.ClickTab(piWelcome);
        QVERIFY(!outputMenusEnabled(*f.Form));
    }

    // A page the idle preparation has not reached yet is prepared on arrival,
    // the Data page first where the page needs it.
    void pagePreparedOnArrival_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("dataFirst");
        QTest::newRow("Data") << 1 << true;
        QTest::newRow("Tableau") << 2 << true;
        QTest::newRow("Closure") << 3 << false;
        QTest::newRow("Shocks") << 4 << true;
        QTest::newRow("Solve") << 5 << true;
        QTest::newRow("Results") << 6 << true;
        QTest::newRow("Updated Data") << 7 << true;
    }
    void pagePreparedOnArrival() {
        QFETCH(int, page);
        QFETCH(bool, dataFirst);
        TFormFixture f;
        kv::AddSolution(f.E().Solutions, "Sim 1", f.E().ShockVec, f.E().Closure.Endo);
        f.ClickTab(page);
        QCOMPARE(f.CurrentPage(), page);
        for (int p = 1; p < PageCount; ++p) {
            const bool expected = p == page || (p == piData && dataFirst);
            QCOMPARE(f.Form->PagePrepared(p), expected);
        }
    }

    void idlePreparesOnePagePerIdleMomentInOrder() {
        TFormFixture f;
        f.ClickTab(piClosure);
        for (int step = 1; step <= 6; ++step) {
            bool done = false;
            f.Form->AppIdle(done);
            QVERIFY(done);
            int prepared = 0;
            for (int p = 1; p < PageCount; ++p) {
                prepared += f.Form->PagePrepared(p) ? 1 : 0;
            }
            QCOMPARE(prepared, step + 1); // Closure was prepared on arrival
        }
        QVERIFY(!f.Form->PagePrepared(0));
    }

    void idlePreparationRunsByItself() {
        TFormFixture f(true);
        QTRY_VERIFY(f.Form->PagePrepared(piUpdatedData));
        for (int p = 1; p < PageCount; ++p) {
            QVERIFY(f.Form->PagePrepared(p));
        }
        QCOMPARE(f.CurrentPage(), 0);
        QCOMPARE(f.Form->StatusText(), QString());
    }

    void leavingDataWhileEditingThenAgain() {
        TFormFixture f;
        f.ClickTab(piData);
        const kv::Tableau_Real before = f.E().Tableau;
        QVERIFY(f.TypeInto(1, 1, "12"));
        f.Beeps = 0;
        f.ClickTab(piTableau);
        // Refused: the typed value is stored, the page stays.
        QCOMPARE(f.CurrentPage(), int(piData));
        QCOMPARE(f.Form->StatusText(), EditingComplete);
        QCOMPARE(f.Beeps, 2);
        QCOMPARE(f.E().BaseData(1, 1), 12.0);
        QVERIFY(!f.DataGrid()->IsEditing());
        QCOMPARE(f.DataGrid()->GridModel()->CellText(1, 1), QString("12.00"));
        QVERIFY(f.E().Tableau.Cells == before.Cells);
        // The second click leaves and rebuilds the tableau.
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), int(piTableau));
        kv::Tableau_Real expected;
        kv::BuildTableau(f.E().BaseData, expected);
        QVERIFY(f.E().Tableau.Cells == expected.Cells);
        QVERIFY(!(f.E().Tableau.Cells == before.Cells));
    }

    void refusedValueKeepsEveryLeaveAttemptRefused() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = f.TypeInto(2, 1, "600");
        QVERIFY(editor);
        for (int attempt = 0; attempt < 2; ++attempt) {
            f.ClickTab(piTableau);
            QCOMPARE(f.CurrentPage(), int(piData));
            // Not "click again": the status line says what is allowed and
            // how to get out.
            QCOMPARE(f.Form->StatusText(), QString("  Values from -100 to 500, at most two "
                                                   "decimals. Esc restores the stored value"));
            QVERIFY(f.DataGrid()->IsEditing());
            QVERIFY(editor->InError());
        }
        QCOMPARE(f.E().BaseData(2, 1), 15.0);
        // Corrected, the value is stored at the next attempt and the one after leaves.
        editor->selectAll();
        QTest::keyClicks(editor, "16");
        f.ClickTab(piTableau);
        QCOMPARE(f.E().BaseData(2, 1), 16.0);
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), int(piTableau));
    }

    void negativeFlowRefusesLeavingData() {
        TFormFixture f;
        f.ClickTab(piData);
        QVERIFY(f.EnterValue(5, 1, "40"));
        QVERIFY(f.Form->NegativeDataFlag);
        const kv::Tableau_Real before = f.E().Tableau;
        f.ClickTab(piShocks);
        QCOMPARE(f.CurrentPage(), int(piData));
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.Dialogs[0].Text,
                 QString("Warning: Editing caused negative values in Data Base\r\n"
                         "Please rectify immediately\r\n"
                         "Click Help button for further information\r\n"
                         "or OK button to return to Editing"));
        QCOMPARE(f.Dialogs[0].Kind, mkError);
        QCOMPARE(f.Dialogs[0].Buttons, MessageButtons(mbOK | mbHelp));
        QCOMPARE(f.Dialogs[0].HelpContext, 301);
        QCOMPARE(f.Form->StatusText(), QString(" Fix negative flow before proceeding"));
        QVERIFY(outputMenusEnabled(*f.Form));
        QVERIFY(f.E().Tableau.Cells == before.Cells);
        // Back to 20: no red, and the page can be left.
        QVERIFY(f.EnterValue(5, 1, "20"));
        QVERIFY(!f.Form->NegativeDataFlag);
        f.ClickTab(piShocks);
        QCOMPARE(f.CurrentPage(), int(piShocks));
        QCOMPARE(f.Dialogs.size(), 1);
    }

    void tableauErrorReachesTheHandlerAndTheProgramGoesOn() {
        TFormFixture f;
        QStringList reports;
        SetErrorBoxHook([&reports](QWidget*, const QString&, const QString& text) {
            reports << text;
            return true; // continue
        });
        f.ClickTab(piData);
        // Domestic and imported good 1 in industry 1 both 0: a share 0/0. The
        // Data page refuses such an edit, so the database is set behind its
        // back, as only a fault could set it.
        f.E().BaseData(1, 1) = 0;
        f.E().BaseData(3, 1) = 0;
        QVERIFY(!kv::DeriveData(f.E().BaseData));
        f.ClickTab(piTableau);
        SetErrorBoxHook({});
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].contains("EInvalidOp") || reports[0].contains("EZeroDivide"),
                 qPrintable(reports[0]));
        QCOMPARE(f.CurrentPage(), int(piData));
        QVERIFY(f.Form->isVisible());
        // Fixed, the page can be left.
        QVERIFY(f.EnterValue(1, 1, "10"));
        f.ClickTab(piTableau);
        QCOMPARE(f.CurrentPage(), int(piTableau));
    }

    void closingFromDataWithNegativeFlows() {
        TFormFixture f;
        f.ClickTab(piData);
        QVERIFY(f.EnterValue(5, 1, "40"));
        QVERIFY(f.Form->NegativeDataFlag);
        // The one question is the one about the unsaved edit: discarded.
        f.DialogAnswer = 7;
        QVERIFY(f.Form->close());
        QCOMPARE(f.CurrentPage(), int(piWelcome));
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.Dialogs[0].Kind, mkConfirmation);
        QVERIFY(!f.Form->isVisible());
    }

    void exitItemCloses() {
        TFormFixture f;
        f.ClickTab(piData);
        f.Form->ExitItem->trigger();
        QVERIFY(!f.Form->isVisible());
        QCOMPARE(f.CurrentPage(), int(piWelcome));
    }

    void altXCloses() {
        TFormFixture f;
        f.Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.Form.get()));
        QTest::keyClick(f.Form.get(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!f.Form->isVisible());
    }

    void waitingShowsTheBusyState() {
        TFormFixture f;
        f.Form->Waiting(true);
        QCOMPARE(f.Form->StatusText(), QString("  WORKING - PLEASE WAIT A MOMENT.... "));
        QVERIFY(!f.Form->isEnabled());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        f.Form->Waiting(false);
        QCOMPARE(f.Form->StatusText(), QString(" "));
        QVERIFY(f.Form->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        // Re-enabling the window must not re-enable the output menus of a page
        // without a table (Qt re-enables a submenu with its window).
        QVERIFY(!outputMenusEnabled(*f.Form));
        QVERIFY(!f.Form->PrintMenu->isEnabled());
    }

    void f1AsksForTheFocusedControlsTopic() {
        TFormFixture f;
        f.Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.Form.get()));
        f.ClickTab(piData);
        f.DataGrid()->setFocus();
        QTRY_VERIFY(f.DataGrid()->hasFocus());
        QTest::keyClick(f.DataGrid(), Qt::Key_F1);
        QCOMPARE(f.Topics, QList<int>{201});
    }

    void layoutFollowsTheScreenFont() {
        TFormFixture f;
        const TLayoutMetrics& m = f.Form->Metrics();
        QCOMPARE(f.Form->size(), QSize(m.BaseHeight * 45, m.BaseHeight * 35));
        QCOMPARE(f.Form->StatusBar->height(), m.StatusBarHeight);
        QCOMPARE(f.Form->StatusBar->objectName(), QString("StatusBar"));
        QCOMPARE(f.Form->font().pointSize(), DefaultFontSize() + 2);
        QCOMPARE(f.Form->font().family(), DefaultFontName());
        const QFontMetrics memo(f.Form->WelcomeMemo->font());
        QVERIFY(memo.ascent() + memo.descent() <= m.BaseHeight);
        const QFontMetrics status(f.Form->StatusBar->font());
        QVERIFY(status.ascent() + status.descent() <= m.StatusFontHeight);
    }
};

QTEST_MAIN(TestSDIAppForm)
#include "tst_sdiappform.moc"
