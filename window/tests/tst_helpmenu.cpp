// The Help menu of the main window (Contents, Current Screen and the three PDF
// documents) and F1 on the controls of the pages.
#include "documents.h"
#include "formfixture.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

class TestHelpMenu : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        SetDocumentFolder({});
        SetDocumentOpener({});
    }

    void currentScreenAsksForThePagesTopic_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("topic");
        const char* names[] = {"Welcome", "Data",  "Tableau", "Closure",
                               "Shocks",  "Solve", "Results", "Updated Data"};
        for (int p = 0; p < PageCount; ++p) {
            QTest::newRow(names[p]) << p << 200 + p;
        }
    }
    void currentScreenAsksForThePagesTopic() {
        QFETCH(int, page);
        QFETCH(int, topic);
        TFormFixture f;
        f.Form->Notebook1->SetActivePage(page);
        f.Form->CurrentScreen1->trigger();
        QCOMPARE(f.Topics, QList<int>{topic});
    }

    void contentsShowsTheContents() {
        TFormFixture f;
        f.Form->Contents1->trigger();
        QCOMPARE(f.Topics, QList<int>{0}); // the help layer's contents request
        QVERIFY(f.Dialogs.isEmpty());
    }

    void pdfItems_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("file");
        QTest::newRow("PDF Book Chapter") << "PDFBookChapter1"
                                          << "KRTW-Chapter-2.pdf";
        QTest::newRow("PDF Equations") << "PDFEquations1"
                                       << "EQUATION.pdf";
        QTest::newRow("PDF Variables") << "PDFVariables1"
                                       << "VARS.pdf";
    }
    // Beside an executable without the documents, each item names the file it
    // could not find; with the documents there, the user's viewer gets it.
    void pdfItems() {
        QFETCH(QString, item);
        QFETCH(QString, file);
        TFormFixture f;
        auto* action = f.Form->findChild<QAction*>(item);
        QVERIFY(action);
        QList<QUrl> opened;
        SetDocumentOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });

        action->trigger();
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(f.Dialogs[0].Text,
                 "Could not locate " +
                     QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/" + file));
        QCOMPARE(f.Dialogs[0].Kind, mkError);
        QCOMPARE(f.Dialogs[0].Buttons, MessageButtons(mbOK));
        QCOMPARE(f.Dialogs[0].HelpContext, 0);
        QVERIFY(opened.isEmpty());

        QTemporaryDir dir;
        QFile pdf(dir.filePath(file));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.close();
        SetDocumentFolder(dir.path());
        action->trigger();
        QCOMPARE(f.Dialogs.size(), 1);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(file))});
    }

    // With the focus on the tab bar, or on nothing inside the page, F1 and
    // Current Screen ask for the current page's topic.
    void f1WithoutAControlOfThePage_data() { currentScreenAsksForThePagesTopic_data(); }
    void f1WithoutAControlOfThePage() {
        QFETCH(int, page);
        QFETCH(int, topic);
        TFormFixture f;
        kv::AddSolution(f.E().Solutions, "Sim 1", f.E().ShockVec, f.E().Closure.Endo);
        if (page != piWelcome) {
            f.ClickTab(page);
        }
        QCOMPARE(f.CurrentPage(), page);
        QTabBar* bar = f.Form->Notebook1->tabBar();
        bar->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), bar);
        f.Press(Qt::Key_F1);
        QCOMPARE(f.Topics, QList<int>{topic});
        bar->clearFocus();
        QVERIFY(!QApplication::focusWidget());
        QTest::keyClick(f.Form.get(), Qt::Key_F1);
        QCOMPARE(f.Topics, (QList<int>{topic, topic}));
        f.Form->CurrentScreen1->trigger();
        QCOMPARE(f.Topics, (QList<int>{topic, topic, topic}));
    }

    // About Qt opens the toolkit's own box over the window.
    void aboutQt() {
        TFormFixture f;
        QString title;
        QTimer::singleShot(0, [&title] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                title = box->windowTitle();
                box->accept();
            }
        });
        f.Form->AboutQt1->trigger();
        QCOMPARE(title, QString("About Qt"));
        QVERIFY(f.Dialogs.isEmpty());
    }

    void f1OnTheWelcomePage() {
        TFormFixture f;
        f.Form->WelcomeMemo->setFocus();
        QTest::keyClick(f.Form->WelcomeMemo, Qt::Key_F1);
        QCOMPARE(f.Topics, QList<int>{200});
    }

    void f1InAnEditorOfTheDataPage() {
        TFormFixture f;
        f.ClickTab(piData);
        TNumericEditor* editor = f.TypeInto(1, 1, "12");
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_F1);
        QCOMPARE(f.Topics, QList<int>{201});
        QVERIFY(f.DataGrid()->IsEditing()); // help leaves the edit as it is
    }

    // F1 in an edit field of the Shocks page asks for topic 204.
    void f1InAShockEditor() {
        TFormFixture f;
        f.ClickTab(piShocks);
        TGrid* grid = f.Form->tabShocks->findChild<TGrid*>();
        if (!grid) {
            QSKIP("the Shocks page has no grid yet");
        }
        grid->SetActiveCell(1, 1);
        grid->EditActiveCell();
        TNumericEditor* editor = grid->Editor();
        QVERIFY(editor);
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_F1);
        QCOMPARE(f.Topics, QList<int>{204});
    }
};

QTEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
