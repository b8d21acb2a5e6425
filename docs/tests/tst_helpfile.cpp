// The built help file and the help window: every context number the program
// asks for has its topic, and the window shows topics, the contents, the
// index and full-text search.
#include "helpcontext.h"
#include "helpselector.h"
#include "helpwindow.h"
#include "workarea.h"

#include "../../frame/tests/modalwatch.h"

#include <QDir>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpSearchEngine>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TstHelpFile : public QObject {
    Q_OBJECT

    const QString FBuilt = QStringLiteral(WINVELMAR_HELP_FILE);
    QString chmBesideBuilt() const { return QFileInfo(FBuilt).absolutePath() + "/WinVELMAR.chm"; }

    QTextBrowser* browser() const {
        return HelpSelector::HelpWindow()->findChild<QTextBrowser*>("HelpBrowser");
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).removeRecursively();
        QVERIFY2(QFile::exists(FBuilt), qPrintable(FBuilt));
        HelpSelector::SetHelpFile(chmBesideBuilt());
    }
    void cleanup() {
        HelpSelector::CloseAll();
        HelpSelector::SetHelpFile(chmBesideBuilt());
    }

    // "WinVELMAR.chm" stands for the Qt help file of the same base name, beside
    // the executable when the name has no folder.
    void helpFileName() {
        QCOMPARE(HelpSelector::QtHelpFilePath(), QFileInfo(FBuilt).absoluteFilePath());
        HelpSelector::SetHelpFile("WinVELMAR.chm");
        QCOMPARE(HelpSelector::HelpFile(), QStringLiteral("WinVELMAR.chm"));
        QCOMPARE(HelpSelector::QtHelpFilePath(),
                 QCoreApplication::applicationDirPath() + "/WinVELMAR.qch");
    }

    void everyContextNumberHasItsTopic_data() {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("title");
        QTest::newRow("contents") << 10 << "WinVELMAR Help: Contents";
        QTest::newRow("Welcome") << 200 << "Welcome page";
        QTest::newRow("Data") << 201 << "Data page";
        QTest::newRow("Tableau") << 202 << "Tableau page";
        QTest::newRow("Closure") << 203 << "Closure page";
        QTest::newRow("Shocks") << 204 << "Shocks page";
        QTest::newRow("Solve") << 205 << "Solve page";
        QTest::newRow("Results") << 206 << "Results page";
        QTest::newRow("Updated Data") << 207 << "Updated Data page";
        QTest::newRow("negative flow while editing")
            << 301 << "Negative values in the edited database";
        QTest::newRow("singular matrix") << 302 << "Singular matrix";
        QTest::newRow("negative flow in a solution")
            << 303 << "Negative flow arose during computation";
        QTest::newRow("undefined coefficients while editing")
            << 304 << "Edit refused: coefficients would be undefined";
        QTest::newRow("output errors") << 306 << "Errors in Copy, Print and Save";
        QTest::newRow("six solutions") << 65595 << "Six solutions are stored already";
        QTest::newRow("experiment files") << 210 << "Experiment files, undo and redo";
        QTest::newRow("exercises") << 211 << "Handing out and handing in an exercise";
        QTest::newRow("experiment file errors")
            << 307 << "An experiment file cannot be opened or saved";
        QTest::newRow("charts") << 231 << "Reading the charts";
        QTest::newRow("decomposition") << 208 << "Where a result comes from";
        QTest::newRow("accuracy") << 209 << "How exact is a solution";
    }
    void everyContextNumberHasItsTopic() {
        QFETCH(int, context);
        QFETCH(QString, title);
        const QUrl url = HelpSelector::TopicUrl(context);
        QVERIFY2(url.isValid() && !url.isEmpty(), qPrintable(QString::number(context)));

        // The page itself is in the help file, with its title.
        QHelpEngineCore engine(HelpSelector::CollectionFileFor(FBuilt));
        QString error;
        QVERIFY2(HelpSelector::SetUpHelpEngine(engine, FBuilt, error), qPrintable(error));
        const QString page = QString::fromUtf8(engine.fileData(url));
        QVERIFY2(page.contains("<title>" + title + "</title>"), qPrintable(url.toString()));

        // And the help window shows it.
        HelpSelector::ShowTopic(context);
        QVERIFY(HelpSelector::HelpWindow());
        QVERIFY(HelpSelector::HelpWindow()->isVisible());
        QCOMPARE(HelpSelector::CurrentTopicUrl(), url);
        QCOMPARE(browser()->documentTitle(), title);
    }

    void contentsShowsTheContentsThenTopic10() {
        HelpSelector::ShowContents();
        QWidget* w = HelpSelector::HelpWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->findChild<QTabWidget*>("HelpTabs")->currentIndex(), 0);
        QCOMPARE(HelpSelector::CurrentTopicUrl(), HelpSelector::TopicUrl(10));
        // The contents tree lists the topics.
        auto* contents = w->findChild<QHelpContentWidget*>("HelpContents");
        QTRY_VERIFY(contents->model()->rowCount() > 0);
    }

    void linksBetweenTopicsAreFollowed() {
        HelpSelector::ShowTopic(302);
        QTextBrowser* b = browser();
        emit b->anchorClicked(QUrl("closure.html"));
        QCOMPARE(b->documentTitle(), QStringLiteral("Closure page"));
        b->backward();
        QCOMPARE(b->documentTitle(), QStringLiteral("Singular matrix"));
    }

    void unknownTopicIsTheViewersAffair() {
        HelpSelector::ShowTopic(999);
        QVERIFY(HelpSelector::HelpWindow()->isVisible());
        QVERIFY(browser()->toPlainText().contains("no topic for context number 999"));
        // Context 0 asks for nothing.
        HelpSelector::CloseAll();
        HelpSelector::ShowTopic(0);
        QVERIFY(!HelpSelector::HelpWindow());
    }

    void closeAll() {
        HelpSelector::CloseAll(); // nothing open: nothing happens
        HelpSelector::ShowTopic(200);
        QPointer<QWidget> w = HelpSelector::HelpWindow();
        QVERIFY(w);
        HelpSelector::CloseAll();
        QVERIFY(!w);
        QVERIFY(!HelpSelector::HelpWindow());
        HelpSelector::ShowTopic(201);
        QCOMPARE(browser()->documentTitle(), QStringLiteral("Data page"));
    }

    void missingHelpFileIsReportedInTheWindow() {
        HelpSelector::SetHelpFile("/nonexistent/folder/WinVELMAR.chm");
        QVERIFY(HelpSelector::TopicUrl(200).isEmpty());
        HelpSelector::ShowTopic(200);
        QVERIFY(HelpSelector::HelpWindow()->isVisible());
        QVERIFY(browser()->toPlainText().contains(
            QDir::toNativeSeparators("/nonexistent/folder/WinVELMAR.qch")));
    }

    // The same help file in another place (a new installation) is found there.
    void movedHelpFileIsRegisteredAgain() {
        QTemporaryDir a;
        QTemporaryDir b;
        QVERIFY(QFile::copy(FBuilt, a.filePath("WinVELMAR.qch")));
        QVERIFY(QFile::copy(FBuilt, b.filePath("WinVELMAR.qch")));
        HelpSelector::SetHelpFile(a.filePath("WinVELMAR.chm"));
        QVERIFY(!HelpSelector::TopicUrl(205).isEmpty());
        QVERIFY(QFile::remove(a.filePath("WinVELMAR.qch")));
        HelpSelector::SetHelpFile(b.filePath("WinVELMAR.chm"));
        HelpSelector::ShowTopic(205);
        QCOMPARE(browser()->documentTitle(), QStringLiteral("Solve page"));
    }

    // The Help button of a message dialog shows the topic in a window that
    // takes input while the dialog is open, and stays when the dialog goes.
    void helpFromAModalDialog() {
        QPointer<QWidget> helpWhileOpen;
        QWidget* parentWhileOpen = nullptr;
        WhenModalShown([&](QWidget* modal) {
            QTest::mouseClick(modal->findChild<QPushButton*>("Help"), Qt::LeftButton);
            helpWhileOpen = HelpSelector::HelpWindow();
            parentWhileOpen = helpWhileOpen ? helpWhileOpen->parentWidget() : nullptr;
            QVERIFY(parentWhileOpen == modal);
            QVERIFY(helpWhileOpen->isVisible());
            QTest::mouseClick(modal->findChild<QPushButton*>("OK"), Qt::LeftButton);
        });
        QCOMPARE(ShowMessageDialog("Singular matrix", mkError, mbOK | mbHelp, 302), 1);
        QVERIFY(parentWhileOpen);
        QVERIFY(helpWhileOpen);
        QVERIFY(helpWhileOpen->isVisible());
        QCOMPARE(helpWhileOpen->parentWidget(), nullptr);
        QCOMPARE(browser()->documentTitle(), QStringLiteral("Singular matrix"));
    }

    void indexAndSearch() {
        HelpSelector::ShowTopic(200);
        auto* window = qobject_cast<HelpSelector::THelpWindow*>(HelpSelector::HelpWindow());
        QVERIFY(window);
        QHelpEngine* engine = window->engine();

        auto* index = window->findChild<QHelpIndexWidget*>("HelpIndex");
        QTRY_VERIFY(index->model()->rowCount() > 10);
        index->filterIndices("numeraire");
        QVERIFY(index->currentIndex().isValid());
        index->activateCurrentItem();
        QCOMPARE(browser()->documentTitle(), QStringLiteral("Closure page"));

        // The full-text index is built in the background when the help file
        // is registered; a search finds the word once it is there.
        QHelpSearchEngine* search = engine->searchEngine();
        const auto found = [search] {
            QSignalSpy searched(search, &QHelpSearchEngine::searchingFinished);
            search->search("homogeneous");
            return (searched.count() > 0 || searched.wait(5000)) && search->searchResultCount() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(found(), 30000);
        const QUrl first = search->searchResults(0, 1).first().url();
        QVERIFY2(first.toString().endsWith("shocks.html"), qPrintable(first.toString()));
    }
};

QTEST_MAIN(TstHelpFile)
#include "tst_helpfile.moc"
