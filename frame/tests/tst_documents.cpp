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
        SetDocumentOpener([this](const QUrl& url) {
            FOpened.append(url);
            return FOpenResult;
        });
    }
    void init() {
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
