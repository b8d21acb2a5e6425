// The three PDF handlers' common path: locating a document beside the
// executable and handing it to the user's viewer.
#include "documents.h"
#include "workarea.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstDocuments : public QObject {
    Q_OBJECT

    struct Shown {
        QString text;
        MessageKind kind;
        MessageButtons buttons;
        int helpContext;
    };
    QList<Shown> FShown;
    QList<QUrl> FOpened;
    bool FOpenResult = true;
    QTemporaryDir FDir;

    void touch(const QString& name) {
        QFile f(QDir(FDir.path()).filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }

private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        SetMessageDialogHook(
            [this](const QString& text, MessageKind kind, MessageButtons buttons, int ctx) {
                FShown.append({text, kind, buttons, ctx});
                return 1;
            });
    }
    void init() {
        SetDocumentLauncher({});
        SetDocumentOpener([this](const QUrl& url) {
            FOpened.append(url);
            return FOpenResult;
        });
        FShown.clear();
        FOpened.clear();
        FOpenResult = true;
        QDir dir(FDir.path());
        QVERIFY(dir.removeRecursively() && dir.mkpath("."));
        SetDocumentFolder(FDir.path());
    }
    void cleanupTestCase() {
        SetMessageDialogHook({});
        SetDocumentOpener({});
        SetDocumentLauncher({});
        SetDocumentFolder({});
    }

    void lookedForBesideTheExecutable() {
        SetDocumentFolder({});
        QCOMPARE(DocumentPath(VariablesFile),
                 QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/VARS.pdf"));
        SetDocumentFolder(FDir.path() + "/");
        QCOMPARE(DocumentPath(EquationsFile),
                 QDir::toNativeSeparators(FDir.path() + "/EQUATION.pdf"));
    }

    // With VARS.pdf missing: one error dialog with OK only, naming the full path.
    void missingDocument() {
        QVERIFY(!OpenDocument(VariablesFile));
        QCOMPARE(FShown.size(), 1);
        QCOMPARE(FShown[0].text,
                 "Could not locate " + QDir::toNativeSeparators(FDir.path() + "/VARS.pdf"));
        QCOMPARE(FShown[0].kind, mkError);
        QCOMPARE(FShown[0].buttons, MessageButtons(4));
        QCOMPARE(FShown[0].helpContext, 0);
        QVERIFY(FOpened.isEmpty());
    }

    void opensInTheUsersViewer() {
        touch(BookChapterFile);
        QVERIFY(OpenDocument(BookChapterFile));
        QVERIFY(FShown.isEmpty());
        QCOMPARE(FOpened, QList<QUrl>{QUrl::fromLocalFile(FDir.path() + "/KRTW-Chapter-2.pdf")});
    }

    void viewerCannotOpenIt() {
        touch(EquationsFile);
        FOpenResult = false;
        QVERIFY(!OpenDocument(EquationsFile));
        QCOMPARE(FShown.size(), 1);
        QCOMPARE(FShown[0].text,
                 "Could not launch " + QDir::toNativeSeparators(FDir.path() + "/EQUATION.pdf"));
        QCOMPARE(FShown[0].kind, mkError);
        QCOMPARE(FShown[0].buttons, MessageButtons(4));
        QCOMPARE(FShown[0].helpContext, 0);
    }

    // Where the desktop's launcher reports only by its exit: a launcher that
    // cannot start, fails or ends with another exit code than 0 brings
    // "Could not launch " and the path, at once or when it ends; the program
    // does not wait for it meanwhile.
    void launcherExit_data() {
        QTest::addColumn<QString>("script"); // empty: no such launcher
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("reported");
        QTest::newRow("viewer shown") << "exit 0" << true << false;
        QTest::newRow("no viewer") << "exit 4" << true << true;
        QTest::newRow("launcher crashes") << "kill -SEGV $$" << true << true;
        QTest::newRow("no launcher") << "" << false << true;
    }
    void launcherExit() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
        QSKIP("the desktop's open action reports at once here");
#else
        QFETCH(QString, script);
        QFETCH(bool, started);
        QFETCH(bool, reported);
        touch(VariablesFile);
        QTemporaryDir bin;
        const QString launcher = bin.filePath("launcher");
        const QString seen = bin.filePath("seen");
        const QString go = bin.filePath("go");
        if (!script.isEmpty()) {
            // It waits for the test before it ends, so that the test sees
            // OpenDocument return while the launcher still runs.
            QFile f(launcher);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n"
                                   "while [ ! -e '%2' ]; do sleep 0.02; done\n%3\n")
                        .arg(seen, go, script)
                        .toLocal8Bit());
            f.close();
            QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        }
        SetDocumentOpener({});
        SetDocumentLauncher(launcher);
        const QString path = QDir::toNativeSeparators(FDir.path() + "/VARS.pdf");
        QCOMPARE(OpenDocument(VariablesFile), started);
        if (started) {
            QTRY_VERIFY(QFile::exists(seen));
            QFile argument(seen);
            QVERIFY(argument.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromLocal8Bit(argument.readAll()), FDir.path() + "/VARS.pdf");
            QVERIFY(FShown.isEmpty());
            QFile(go).open(QIODevice::WriteOnly);
        }
        if (reported) {
            QTRY_COMPARE(FShown.size(), 1);
            QCOMPARE(FShown[0].text, "Could not launch " + path);
            QCOMPARE(FShown[0].kind, mkError);
            QCOMPARE(FShown[0].buttons, MessageButtons(4));
            QCOMPARE(FShown[0].helpContext, 0);
        }
        // Once the launcher has ended nothing more is shown.
        QTest::qWait(300);
        QCOMPARE(FShown.size(), reported ? 1 : 0);
#endif
    }

    // A link counts as the file it points to.
    void links() {
        touch("target.pdf");
        QVERIFY(QFile::link(FDir.path() + "/target.pdf", FDir.path() + "/VARS.pdf"));
        QVERIFY(OpenDocument(VariablesFile));
        QVERIFY(FShown.isEmpty());
        QVERIFY(QFile::remove(FDir.path() + "/target.pdf"));
        QVERIFY(!OpenDocument(VariablesFile));
        QCOMPARE(FShown.size(), 1);
        QVERIFY(FShown[0].text.startsWith("Could not locate "));
    }

    // A folder of that name is no document.
    void folderOfThatName() {
        QVERIFY(QDir(FDir.path()).mkdir("EQUATION.pdf"));
        QVERIFY(!OpenDocument(EquationsFile));
        QCOMPARE(FShown.size(), 1);
        QVERIFY(FShown[0].text.startsWith("Could not locate "));
        QVERIFY(FOpened.isEmpty());
    }
};

QTEST_MAIN(TstDocuments)
#include "tst_documents.moc"
