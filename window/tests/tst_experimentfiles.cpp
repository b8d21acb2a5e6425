// Experiment files in the main window: an experiment saved and opened again
// shows the same texts on every page; a refused file and a failed save say
// why and change nothing; unsaved changes are asked about; the title shows
// the file; and the recovery copy of a session killed in the middle of work
// is offered and restored at the next start.
#include "experimentdoc.h"
#include "experimentfiles.h"
#include "pagesfixture.h"
#include "recovery.h"

#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <csignal>
#include <sys/resource.h>

namespace {

// Settings (the recent files) in a folder of the test's own.
void PrivateSettings(const QTemporaryDir& dir) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The changes of a lesson, made the way the student makes them: a database
// cell, two exchanges, shocks and six solutions by every method.
void Lesson(TPagesFixture& f) {
    QVERIFY(f.GoTo(piData));
    QVERIFY(f.EnterValue(1, 1, "11.5"));
    QVERIFY(f.Exchange("cpi", "phi"));
    QVERIFY(f.Exchange("l", "f(31)"));
    QVERIFY(f.GoTo(piShocks));
    QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
    QVERIFY(f.EnterShock(f.ShockRow("k1"), "2.5"));
    for (int method : {1, 2, 3, 4, 5, 1}) {
        f.SolveWith(method, QStringLiteral("M%1").arg(method));
    }
    QCOMPARE(f.E().Solutions.Count, 6);
}

} // namespace

class TestExperimentFiles : public QObject {
    Q_OBJECT

    QTemporaryDir FSettings;

private slots:
    void initTestCase() { PrivateSettings(FSettings); }

    void savedAndOpenedAgainShowsTheSameTexts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("lesson.kvx");
        QStringList texts;
        {
            TPagesFixture f;
            Lesson(f);
            QVERIFY(f.GoTo(piResults));
            texts = f.PageTexts();
            f.Form->Files().ChooseFile = [&dir](bool save, const QString&) {
                return save ? dir.filePath("lesson") : QString();
            };
            f.Form->SaveExperimentAs1->trigger();
            QVERIFY(QFile::exists(path)); // the suffix added
            QVERIFY(!f.Form->Doc().IsModified());
            QCOMPARE(f.Form->windowTitle(), QString("lesson.kvx[*] - WinVELMAR"));
            QVERIFY(!f.Form->isWindowModified());
            QCOMPARE(f.Form->Files().RecentFiles().value(0), path);
            // Closing asks nothing: everything is saved.
            f.Dialogs.clear();
            QVERIFY(f.Form->close());
            QVERIFY(f.Dialogs.isEmpty());
        }
        TPagesFixture g;
        g.Form->Files().ChooseFile = [&path](bool save, const QString&) {
            return save ? QString() : path;
        };
        g.Form->OpenExperiment1->trigger();
        QCOMPARE(g.CurrentPage(), int(piResults));
        QCOMPARE(g.PageTexts(), texts);
        QCOMPARE(g.Form->windowTitle(), "lesson.kvx[*] - " + TSDIAppForm::CreditCaption());
        QVERIFY(!g.Form->Undo1->isEnabled());
        // The recent-files list opens it too.
        QCOMPARE(g.Form->RecentMenu->actions().value(0)->text(), "&1 " + path);
    }

    void refusedFileSaysWhyAndChangesNothing() {
        QTemporaryDir dir;
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
        const kv::TExperimentState before = f.E().State();
        const QString title = f.Form->windowTitle();
        const QString path = dir.filePath("bad.kvx");
        WriteAll(path,
                 R"({"format": "WinVELMAR experiment", "version": 1, "shocks": {"t2": 900}})");
        f.DialogAnswer = 7; // discard the unsaved shock when asked
        f.Form->Files().ChooseFile = [&path](bool, const QString&) { return path; };
        f.Dialogs.clear();
        f.Form->OpenExperiment1->trigger();
        QCOMPARE(f.Dialogs.size(), 2);
        QCOMPARE(f.Dialogs[0].Kind, mkConfirmation);
        QCOMPARE(f.Dialogs[1].Kind, mkError);
        QCOMPARE(f.Dialogs[1].HelpContext, 307);
        QCOMPARE(f.Dialogs[1].Text, "The file \"" + path +
                                        "\" cannot be opened:\r\nshocks.t2: 900 is outside -99 "
                                        "to 500\r\nThe open experiment is unchanged.");
        QVERIFY(f.E().State() == before);
        QCOMPARE(f.Form->windowTitle(), title);
    }

    void failedSaveSaysWhyAndKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.kvx");
        WriteAll(path, "old contents\n");
        TPagesFixture f;
        Lesson(f);
        // A file-size limit makes the write fail part-way, as a full disk would.
        struct rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        f.Dialogs.clear();
        const bool saved1 = f.Form->Files().SaveTo(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!saved1);
        QCOMPARE(f.Dialogs.size(), 1);
        QVERIFY2(f.Dialogs[0].Text.startsWith("The experiment could not be saved to \"" + path +
                                              "\":\r\n"),
                 qPrintable(f.Dialogs[0].Text));
        QCOMPARE(ReadAll(path), QByteArray("old contents\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.kvx"});
        QVERIFY(f.Form->Doc().IsModified());
        QVERIFY(f.Form->Files().FileName().isEmpty());
    }

    void unsavedChangesAreAskedAbout_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes saves") << 6 << true << true;
        QTest::newRow("no discards") << 7 << true << false;
        QTest::newRow("cancel stays") << 2 << false << false;
    }
    void unsavedChangesAreAskedAbout() {
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.kvx");
        for (const char* command : {"New", "Open", "Exit"}) {
            TPagesFixture f;
            f.Form->Files().ChooseFile = [&path](bool save, const QString&) {
                return save ? path : QString(); // Open is cancelled in its dialog
            };
            QVERIFY(f.GoTo(piShocks));
            QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
            QVERIFY(f.Form->windowTitle().startsWith("Untitled[*] - "));
            f.DialogAnswer = answer;
            f.Dialogs.clear();
            QFile::remove(path);
            if (QByteArray(command) == "New") {
                f.Form->NewExperiment1->trigger();
                QCOMPARE(f.E().ShockVec(kv::FindVariable("t2")), goesOn ? 0.0 : -10.0);
            } else if (QByteArray(command) == "Open") {
                f.Form->OpenExperiment1->trigger();
            } else {
                QCOMPARE(f.Form->close(), goesOn);
            }
            QCOMPARE(f.Dialogs.size(), 1);
            QCOMPARE(f.Dialogs[0].Kind, mkConfirmation);
            QCOMPARE(f.Dialogs[0].Buttons, MessageButtons(mbYes | mbNo | mbCancel));
            QCOMPARE(QFile::exists(path), saved);
        }
    }

    void recoveryAfterTheProcessIsKilled() {
        if (qEnvironmentVariableIsSet("WINVELMAR_RECOVERY_CHILD")) {
            QSKIP("the child's part");
        }
        QTemporaryDir dir;
        // The child makes a change and is killed in the middle of its work.
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINVELMAR_RECOVERY_CHILD", dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"killedInTheMiddleOfWork"});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QVERIFY2(QDir(dir.path()).entryList({"recovery-*.kvx"}).size() == 1,
                 child.readAllStandardError().constData());

        TPagesFixture f;
        f.Form->EnableRecovery(dir.path());
        f.DialogAnswer = 6; // restore it
        QVERIFY(f.Form->OfferRecovery());
        QCOMPARE(f.Dialogs.size(), 1);
        QVERIFY(f.Dialogs[0].Text.startsWith("WinVELMAR did not end normally"));
        QCOMPARE(f.E().ShockVec(kv::FindVariable("t2")), -10.0);
        QCOMPARE(f.E().Solutions.Count, 1);
        QCOMPARE(f.CurrentPage(), int(piResults));
        QVERIFY(f.Form->Doc().IsModified());
        // Offered once: the copy is gone, and a normal end leaves none.
        QVERIFY(!f.Form->OfferRecovery());
        QVERIFY(f.Form->Doc().IsModified());
        f.DialogAnswer = 7;
        QVERIFY(f.Form->close());
        QCOMPARE(QDir(dir.path()).entryList({"recovery-*.kvx"}), QStringList{});
    }

    // Run only as the child of the test above.
    void killedInTheMiddleOfWork() {
        const QString folder = qEnvironmentVariable("WINVELMAR_RECOVERY_CHILD");
        if (folder.isEmpty()) {
            QSKIP("run by recoveryAfterTheProcessIsKilled");
        }
        TPagesFixture f;
        f.Form->EnableRecovery(folder);
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(f.ShockRow("t2"), "-10"));
        f.SolveWith(1, "Sim 1");
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(folder).entryList({"recovery-*.kvx"}).isEmpty() &&
                ReadAll(QDir(folder).filePath(QDir(folder).entryList({"recovery-*.kvx"})[0]))
                    .contains("\"Sim 1\""),
            10000);
        std::raise(SIGKILL);
    }
};

QTEST_MAIN(TestExperimentFiles)
#include "tst_experimentfiles.moc"
