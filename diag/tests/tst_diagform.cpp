// The diagnostics report gathered from this computer, and the diagnostics
// window that shows, copies and saves it.
#include "../../frame/tests/modalwatch.h"
#include "diagfacts.h"
#include "diagfixture.h"
#include "diagform.h"
#include "diagreport.h"
#include "errors.h"
#include "suite.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

class TstDiagForm : public QObject {
    Q_OBJECT

    TMessageRecorder FMessages;

private slots:
    void init() { FMessages.Shown.clear(); }

    void reportOfThisComputerWithSuite() {
        QTemporaryDir suite;
        QTemporaryDir temp;
        QVERIFY(suite.isValid() && temp.isValid());
        QVERIFY(WriteScript(
            suite.filePath(PraxelName),
            "#!/bin/sh\n"
            "rpt=$(sed -n 2p \"$2\" | tr -d '\\r')\n"
            "printf '[result]\\nrelease=1.12>\\nProgram version=e\\n\\n[end]\\n' > \"$rpt\"\n"));
        QVERIFY(WriteFile(suite.filePath("compnote.txt"), "1\n2\n3\n4\n5\n6\n7\n8\n9\n"));

        ScopedEnv vkdir("VKDIR", suite.path().toLocal8Bit());
        ScopedEnv tmp("TEMP", temp.path().toLocal8Bit());
        ScopedEnv token("WINVELMAR_TEST_TOKEN", "s3cr3t-value");
        const QStringList report = BuildDiagReport(GatherDiagFacts("WinVELMAR", 2.0));
        QVERIFY2(FMessages.Shown.isEmpty(), qPrintable(FMessages.Texts().join('\n')));

        int sections = 0;
        for (const QString& line : report) {
            sections += line.startsWith(QLatin1String("SECTION ")) ? 1 : 0;
        }
        QCOMPARE(sections, 14);

        const QStringList program = SectionLines(report, 1);
        QCOMPARE(program.value(1), QStringLiteral("Version 2.00,  8/Aug/2017"));
        QVERIFY(
            program.value(2).startsWith("File: " + QCoreApplication::applicationFilePath() + " ("));

        const QStringList system = SectionLines(report, 2);
        const TProcessorCounts& counts = ProcessorCounts();
        QVERIFY(system.contains(
            ProcessorCountLine("Linux", counts.Sockets, counts.Cores, counts.LogicalCpus)));
        QVERIFY(system.contains("Running batch file from temp dir: OK"));
        QVERIFY(system.filter(" megabytes physical RAM [TotalPhys]").size() == 1);
        QVERIFY(!system.filter(QRegularExpression("^[1-9]\\d* megabytes physical RAM")).isEmpty());

        const QStringList installation = SectionLines(report, 5);
        QCOMPARE(installation.value(0), "VARNOK folder: " + suite.path());
        QVERIFY(installation.contains("praxel.exe: script"));
        QVERIFY(installation.contains("vkrun.exe: not found"));
        QVERIFY(installation.contains("    7"));
        QVERIFY(!installation.contains("    8"));

        QCOMPARE(SectionLines(report, 7).size(), SpecialFolderCount);
        QVERIFY(SectionLines(report, 7).contains(
            SpecialFolderLine({3, "TEMP Folder", temp.path(), true, true, true})));
        QVERIFY(SectionLines(report, 9).filter(QRegularExpression("^PATH=")).size() == 1);
        QVERIFY(SectionLines(report, 9).contains("WINVELMAR_TEST_TOKEN=(hidden)"));
        QVERIFY(!report.join('\n').contains("s3cr3t-value"));
        QVERIFY(SectionLines(report, 11).contains("tst_diagform"));
        QVERIFY(!SectionLines(report, 12).filter(QRegularExpression("^tst_diagform ")).isEmpty());
        QVERIFY(SectionLines(report, 12).contains("Files in VARNOK folder  " + suite.path()));

        QCOMPARE(SectionLines(report, 14),
                 QStringList({"[result]", "release=1.12>", "Program version=e"}));
        QVERIFY(report.contains("SECTION 14: Contents of RPT file from PRAXEL: " +
                                temp.filePath("praxel.rpt")));
        // The run leaves nothing behind in the temporary folder.
        QVERIFY2(
            QDir(temp.path()).isEmpty(),
            qPrintable(
                QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' ')));
    }

    void reportWithoutSuite() {
        ScopedEnv vkdir("VKDIR", std::nullopt);
        const QStringList report = BuildDiagReport(GatherDiagFacts("WinVELMAR", 2.0));
        QCOMPARE(SectionLines(report, 5).value(0), QStringLiteral("Cannot locate VARNOK folder"));
        QVERIFY(SectionLines(report, 12).contains("Cannot locate any VARNOK folder"));
        QCOMPARE(SectionLines(report, 14),
                 QStringList({"Error making PRAXEL RPT file:", "Cannot locate VARNOK folder"}));
        QVERIFY(FMessages.Shown.isEmpty());
    }

    void windowShowsTheReport() {
        const QString report =
            QStringLiteral("Monday, May 6, 2024, 9:15 AM\r\n\r\n"
                           "SECTION 1: Program and compiler\r\nProgram: WinVELMAR");
        TxrDiagForm form(report);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral(" Diagnostics"));
        QCOMPARE(form.Label1->text(),
                 QStringLiteral("If you would like to report a problem, please copy the contents "
                                "of the memo below into your email describing the problem, or "
                                "save the contents as a file and attach it."));
        QVERIFY(form.Memo1->isReadOnly());
        QCOMPARE(form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form.Memo1->toPlainText(), QString(report).replace("\r\n", "\n"));
        QCOMPARE(form.Memo1->textCursor().position(), 0);
        QCOMPARE(form.OKButton->text(), QStringLiteral("&OK"));
        QCOMPARE(form.CopyBtn->text(), QStringLiteral("&Copy"));
        QCOMPARE(form.SaveBtn->text(), QStringLiteral("&Save"));
        // Centred on the screen.
        const QRect area = form.screen()->availableGeometry();
        QVERIFY(qAbs(form.frameGeometry().center().x() - area.center().x()) <= 2);
        QVERIFY(qAbs(form.frameGeometry().center().y() - area.center().y()) <= 2);

        QGuiApplication::clipboard()->clear();
        form.CopyBtn->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), report);
    }

    void saveReport() {
        QTemporaryDir dir;
        const QString report = QStringLiteral("line one\r\n\tTab\r\n\r\nlast");
        TxrDiagForm form(report);
        const QString path = dir.filePath("Diag.txt");
        form.SaveReport(path);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("line one\r\n\tTab\r\n\r\nlast\r\n"));

        bool raised = false;
        try {
            form.SaveReport(dir.filePath("no such folder/Diag.txt"));
        } catch (const kv::EInOutError& e) {
            raised = QString::fromStdString(e.message()).startsWith("Cannot write file ");
        }
        QVERIFY(raised);
    }

    void saveButtonWithOverwriteConfirmation() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Diag.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old report");
        old.close();

        TxrDiagForm form(QStringLiteral("new report"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString title;
        QString offered;
        QString question;
        WhenModalShown([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
                offered = name->text();
            }
            // The file exists: saving over it asks first.
            WhenModalShown([&](QWidget* confirm) {
                if (auto* box = qobject_cast<QMessageBox*>(confirm)) {
                    question = box->text();
                    box->button(QMessageBox::Yes)->click();
                }
            });
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        form.SaveBtn->click();
        QCOMPARE(title, QStringLiteral(" Save Diagnostic File"));
        QCOMPARE(offered, QStringLiteral("Diag.txt"));
        QVERIFY2(question.contains("already exists"), qPrintable(question));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("new report\r\n"));
    }
};

QTEST_MAIN(TstDiagForm)
#include "tst_diagform.moc"
