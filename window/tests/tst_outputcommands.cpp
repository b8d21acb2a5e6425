// Print, save and copy of the current page, driven on the model state with
// recorded message dialogs, injected common dialogs and a PDF printer.
#include "outputcommands.h"

#include "../../frame/tests/modalwatch.h"
#include "../../output/tests/pdftext.h"
#include "../../output/tests/savedtext.h"
#include "celltext.h"
#include "decimalsep.h"
#include "model.h"
#include "printertextoutput.h"
#include "workarea.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace kv;
using kvtest::Fields;
using kvtest::Words;

namespace {

struct TShownDialog {
    QString Text;
    MessageKind Kind;
    MessageButtons Buttons;
    int HelpContext;
};

enum TCommand { cmdCopy, cmdSave, cmdPrint };

const QDateTime PrintTime(QDate(2024, 3, 5), QTime(14, 30, 15));

QStringList ReadLines(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// Sets the printer to a page of exactly `lines` lines of the printer font and
// the given width, without margins.
void SetPageOfLines(QPrinter& printer, int lines, qreal widthPt) {
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    const TPrinterMetrics m = MeasurePrinter(printer, PrinterFont());
    const qreal heightPx = lines * m.LineH + m.LineH / 2.0;
    printer.setPageSize(QPageSize(QSizeF(widthPt, heightPx * 72.0 / printer.resolution()),
                                  QPageSize::Point, QString(), QPageSize::ExactMatch));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

} // namespace

class TestOutputCommands : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    TExperiment FExp;
    QList<TShownDialog> FDialogs;
    QList<int> FAnswers; // the answers of the next dialogs; then OK
    QList<bool> FWaiting;
    int FPage = 0;
    int FTableRequests = 0;
    bool FPrinterInstalled = true;
    // What the next common dialog does; returns whether it is confirmed.
    std::function<bool(QDialog&, const QString&)> FRunDialog;
    QStringList FDialogKinds;
    QStringList FDialogFileNames;
    std::unique_ptr<TOutputCommands> FCmds;

    std::optional<TPageTable> TableOfPage(int page) {
        switch (page) {
        case 1:
            return BaseDataPageTable(FExp);
        case 2:
            return TableauPageTable(FExp);
        case 6:
            return ResultsPageTable(FExp);
        case 7:
            return UpdatedDataPageTable(FExp);
        default:
            return std::nullopt;
        }
    }

    TOutputCommands& Commands() {
        if (!FCmds) {
            TOutputEnvironment env;
            env.CurrentTable = [this] {
                ++FTableRequests;
                return TableOfPage(FPage);
            };
            env.RunDialog = [this](QDialog& dialog, const QString& fileName) {
                FDialogKinds << QString::fromLatin1(dialog.metaObject()->className());
                FDialogFileNames << fileName;
                return FRunDialog ? FRunDialog(dialog, fileName) : false;
            };
            env.Waiting = [this](bool on) { FWaiting << on; };
            env.Now = [] { return PrintTime; };
            env.PrinterInstalled = [this] { return FPrinterInstalled; };
            FCmds = std::make_unique<TOutputCommands>(env);
        }
        return *FCmds;
    }

    QString PdfName(const QString& name) const {
        return FDir.filePath(name + QStringLiteral(".pdf"));
    }

    // The save dialog confirms fileName.
    void SaveAs(const QString& fileName) {
        FRunDialog = [fileName](QDialog& dialog, const QString&) {
            static_cast<QFileDialog&>(dialog).selectFile(fileName);
            return true;
        };
    }

    // The print dialog confirms printing to a PDF file.
    void PrintTo(const QString& pdf) {
        FRunDialog = [pdf](QDialog& dialog, const QString&) {
            QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return true;
        };
    }

    // Three solutions, each with its own shock on the first exogenous variable.
    void SolveThree() {
        int exo = 1;
        while (FExp.Closure.Endo(exo)) {
            ++exo;
        }
        for (int k = 1; k <= 3; ++k) {
            FExp.ShockVec = Variable_Real{};
            FExp.ShockVec(exo) = -5.0 * k;
            SolveModel(1, FExp.BaseData, FExp.NewData, FExp.ShockVec, FExp.Closure);
            AddSolution(FExp.Solutions, "Sim " + std::to_string(k), FExp.ShockVec,
                        FExp.Closure.Endo);
        }
    }

    void Run(TCommand command) {
        switch (command) {
        case cmdCopy:
            Commands().Copy1Click();
            break;
        case cmdSave:
            Commands().Save1Click();
            break;
        case cmdPrint:
            Commands().File_PrintClick();
            break;
        }
    }

    // The expected printout of the current page, as the writer lays it out
    // on the printer's measures.
    QStringList ExpectedPrintoutPages() {
        const TPrinterMetrics m = MeasurePrinter(Commands().Printer(), PrinterFont());
        const TPageTable table = *TableOfPage(FPage);
        TSimTab T;
        QString msg;
        if (!MakePageSimTab(T, table, msg)) {
            return {msg};
        }
        TStringTextOutput text;
        if (!WriteSimTabAsText(T, text, m.PageLen(), m.PageWidth(), PrintoutHeader(PrintTime),
                               table.PrintTitle, msg)) {
            return {msg};
        }
        return text.Text().split(QChar(12));
    }

private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        TemFileName = FDir.filePath(QStringLiteral("TEM")).toStdString();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        SetMessageDialogHook(
            [this](const QString& text, MessageKind kind, MessageButtons buttons, int helpContext) {
                FDialogs.append({text, kind, buttons, helpContext});
                return FAnswers.isEmpty() ? 1 : FAnswers.takeFirst();
            });
    }
    void cleanupTestCase() { SetMessageDialogHook({}); }

    void init() {
        FExp.Reset();
        FDialogs.clear();
        FAnswers.clear();
        FWaiting.clear();
        FTableRequests = 0;
        FPrinterInstalled = true;
        FRunDialog = {};
        FDialogKinds.clear();
        FDialogFileNames.clear();
        FCmds.reset();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    void copyDataPagePutsTwelveLinesOnTheClipboard() {
        FPage = 1;
        Commands().Copy1Click();
        QVERIFY(FDialogs.isEmpty());
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        QVERIFY(!text.contains(QChar(0)));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        lines.removeLast();
        QCOMPARE(lines.size(), 12);
        for (int r = 0; r < 12; ++r) {
            QCOMPARE(lines[r].count(QLatin1Char('\t')), 6);
            const QStringList cells = lines[r].split(QLatin1Char('\t'));
            for (int c = 0; c < 7; ++c) {
                QCOMPARE(cells[c], DataCellText(FExp.BaseData, r, c));
            }
        }
    }

    // The table's size is that of the grid at the moment of the command.
    void tableTakesTheGridsSize() {
        FPage = 6;
        SolveThree();
        TOutputEnvironment env;
        env.CurrentTable = [this] {
            TPageTable t = ResultsPageTable(FExp);
            t.Cols = 3; // a grid still showing two solutions
            return std::optional<TPageTable>(t);
        };
        TOutputCommands cmds(env);
        TSimTab T;
        QVERIFY(cmds.MakeSimTab(T));
        QCOMPARE(T.NRow, 52);
        QCOMPARE(T.Ncol, 2);
        QCOMPARE(T.Contents[0][2], QStringLiteral("Sim 2"));
    }

    void saveTableauPageWritesFortyLinesOfFiftyThreeFields() {
        FPage = 2;
        const QString file = FDir.filePath(QStringLiteral("tableau.csv"));
        SaveAs(file);
        Commands().Save1Click();
        QVERIFY(FDialogs.isEmpty());
        const QStringList lines = ReadLines(file);
        QCOMPARE(lines.size(), 40);
        for (int r = 0; r < 40; ++r) {
            QVERIFY2(lines[r].endsWith(CsvSeparator()), qPrintable(lines[r]));
            const QStringList fields = Fields(lines[r], CsvSeparator());
            QCOMPARE(fields.size(), 53);
            for (int c = 0; c < 53; ++c) {
                QCOMPARE(fields[c], TableauCellText(FExp.Tableau, r, c));
            }
        }
    }

    void saveResultsPageWithThreeSolutions() {
        FPage = 6;
        SolveThree();
        const QString file = FDir.filePath(QStringLiteral("results.csv"));
        SaveAs(file);
        Commands().Save1Click();
        QVERIFY(FDialogs.isEmpty());
        const QStringList lines = ReadLines(file);
        QCOMPARE(lines.size(), 53);
        QCOMPARE(Fields(lines[0], CsvSeparator()),
                 (QStringList{"Variable ", "Sim 1", "Sim 2", "Sim 3"}));
        int exogenous = 0;
        for (int r = 1; r <= 52; ++r) {
            const QStringList fields = Fields(lines[r], CsvSeparator());
            QCOMPARE(fields.size(), 4);
            for (int k = 1; k <= 3; ++k) {
                const bool exo = !FExp.Solutions.Items(k).SolEndo(r);
                QCOMPARE(fields[k].startsWith(QLatin1Char('#')), exo);
                QCOMPARE(fields[k], ResultsCellText(FExp.Solutions, r, k));
                exogenous += exo ? 1 : 0;
            }
        }
        QCOMPARE(exogenous, 3 * 13);
    }

    // The dialog's settings, and the file name it starts from: none the first
    // time, the last one chosen afterwards. A name without extension gets ".csv".
    void saveDialogSettingsAndTheRememberedName() {
        FPage = 1;
        QString suffix, filter, folder;
        bool noOverwritePrompt = false;
        bool saveMode = false;
        const QString first = FDir.filePath(QStringLiteral("first"));
        FRunDialog = [&](QDialog& dialog, const QString&) {
            auto& fd = static_cast<QFileDialog&>(dialog);
            suffix = fd.defaultSuffix();
            filter = fd.nameFilters().join(QLatin1Char('|'));
            folder = fd.directory().absolutePath();
            noOverwritePrompt = fd.testOption(QFileDialog::DontConfirmOverwrite);
            saveMode = fd.acceptMode() == QFileDialog::AcceptSave;
            fd.selectFile(first);
            return true;
        };
        Commands().Save1Click();
        QCOMPARE(suffix, QStringLiteral("csv"));
        QCOMPARE(filter, QStringLiteral("CSV Files (*.csv)"));
        QVERIFY(noOverwritePrompt);
        QVERIFY(saveMode);
        QCOMPARE(folder, QDir(Commands().SaveInitialFolder()).absolutePath());
        QCOMPARE(FDialogFileNames, QStringList{QString()});
        QCOMPARE(Commands().LastFileName(), first + QStringLiteral(".csv"));
        QCOMPARE(ReadLines(first + QStringLiteral(".csv")).size(), 12);

        // Saving over the existing file asks first (the dialog itself asks
        // nothing: the name may get its extension only afterwards); Yes
        // replaces it.
        QVERIFY(FDialogs.isEmpty());
        SaveAs(first);
        FPage = 2;
        FAnswers = {6};
        Commands().Save1Click();
        QCOMPARE(FDialogFileNames.last(), first + QStringLiteral(".csv"));
        QCOMPARE(FDialogs.size(), 1);
        QCOMPARE(FDialogs[0].Text, first + QStringLiteral(".csv already exists.\r\nDo you want "
                                                          "to replace it?"));
        QCOMPARE(FDialogs[0].Kind, mkConfirmation);
        QCOMPARE(FDialogs[0].Buttons, MessageButtons(mbYes | mbNo));
        QCOMPARE(ReadLines(first + QStringLiteral(".csv")).size(), 40);
    }

    // No keeps the file and goes back to the dialog for another name (or a
    // cancel); closing the question otherwise saves nothing.
    void saveOverAnExistingFile_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("another"); // the dialog again, with another name
        QTest::newRow("No, another name") << 7 << true;
        QTest::newRow("No, then Cancel") << 7 << false;
        QTest::newRow("neither Yes nor No") << 2 << false;
    }
    void saveOverAnExistingFile() {
        QFETCH(int, answer);
        QFETCH(bool, another);
        FPage = 1;
        const QString old = FDir.filePath(QStringLiteral("old.csv"));
        const QString other = FDir.filePath(QStringLiteral("other.csv"));
        QFile::remove(other);
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kept\r\n");
        }
        int runs = 0;
        FRunDialog = [&](QDialog& dialog, const QString&) {
            ++runs;
            if (runs == 1) {
                static_cast<QFileDialog&>(dialog).selectFile(old);
                return true;
            }
            static_cast<QFileDialog&>(dialog).selectFile(other);
            return another;
        };
        FAnswers = {answer};
        Commands().Save1Click();
        QCOMPARE(FDialogs.size(), 1);
        QCOMPARE(FDialogs[0].Kind, mkConfirmation);
        QCOMPARE(ReadLines(old), QStringList{"kept"});
        QCOMPARE(runs, answer == 7 ? 2 : 1);
        QCOMPARE(QFile::exists(other), another);
        if (another) {
            QCOMPARE(ReadLines(other).size(), 12);
        }
    }

    void saveInitialFolder_data() {
        QTest::addColumn<bool>("tempExists");
        QTest::addColumn<bool>("documentsExist");
        QTest::addColumn<QString>("expected");
        QTest::newRow("c:\\temp") << true << true << "c:\\temp";
        QTest::newRow("documents")
            << false << true << QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QTest::newRow("home") << false << false << QDir::homePath();
    }
    void saveInitialFolder() {
        QFETCH(bool, tempExists);
        QFETCH(bool, documentsExist);
        QFETCH(QString, expected);
        TOutputEnvironment env;
        env.FolderExists = [&](const QString& folder) {
            return folder == QStringLiteral("c:\\temp") ? tempExists : documentsExist;
        };
        QCOMPARE(TOutputCommands(env).SaveInitialFolder(), expected);
    }

    void driveLetterFolderNeverExistsHere() {
#ifdef Q_OS_WIN
        QSKIP("drive letters exist on Windows");
#else
        // Not even a relative folder of that name in the current folder.
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(FDir.path());
        QDir().mkdir(QStringLiteral("c:\\temp"));
        const QString folder = TOutputCommands().SaveInitialFolder();
        QDir::setCurrent(cwd);
        QVERIFY(folder != QStringLiteral("c:\\temp"));
#endif
    }

    void saveThatCannotCreateTheFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "readonly";
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("folder in the way") << "folder";
    }
    void saveThatCannotCreateTheFile() {
        QFETCH(QString, kind);
        FPage = 1;
        QString file;
        if (kind == QLatin1String("readonly")) {
            file = FDir.filePath(QStringLiteral("readonly.csv"));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old\r\n");
            f.close();
            QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
            QFile probe(file);
            if (probe.open(QIODevice::Append)) {
                QSKIP("this user may write read-only files (superuser)");
            }
        } else if (kind == QLatin1String("missing")) {
            // The folder goes away while the dialog is open.
            QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("gone")));
            file = FDir.filePath(QStringLiteral("gone/x.csv"));
        } else {
            file = FDir.filePath(QStringLiteral("inTheWay.csv"));
            QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("inTheWay.csv")));
        }
        SaveAs(file);
        FAnswers = {6}; // replace the read-only file: yes
        if (kind == QLatin1String("missing")) {
            FRunDialog = [this, file](QDialog& dialog, const QString&) {
                static_cast<QFileDialog&>(dialog).selectFile(file);
                QDir(FDir.filePath(QStringLiteral("gone"))).removeRecursively();
                return true;
            };
        }
        Commands().Save1Click();
        QCOMPARE(QFileInfo(Commands().LastFileName()), QFileInfo(file));
        // Over the read-only file the question came first.
        QCOMPARE(FDialogs.size(), kind == QLatin1String("readonly") ? 2 : 1);
        const TShownDialog d = FDialogs.last();
        QCOMPARE(d.Text, QStringLiteral("Error in Save:\r\nCannot create file ") +
                             Commands().LastFileName() +
                             QStringLiteral("[TxtCreate][SaveSimTabAsCSV]"));
        QCOMPARE(d.Kind, mkError);
        QCOMPARE(d.Buttons, MessageButtons(1028));
        QCOMPARE(d.HelpContext, 306);
        if (kind == QLatin1String("readonly")) {
            QCOMPARE(ReadLines(file), QStringList{"old"});
        }
    }

    // A page without a table: first the reason, then the command's own dialog
    // with an empty second line.
    void pageWithoutTableShowsTwoDialogs_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("caption");
        QTest::newRow("copy") << int(cmdCopy) << "Error in Copy:";
        QTest::newRow("save") << int(cmdSave) << "Error in Save:";
        QTest::newRow("print") << int(cmdPrint) << "Error in Printing:";
    }
    void pageWithoutTableShowsTwoDialogs() {
        QFETCH(int, command);
        QFETCH(QString, caption);
        FPage = 3;
        if (command == cmdSave) {
            SaveAs(FDir.filePath(QStringLiteral("closure.csv")));
        } else if (command == cmdPrint) {
            PrintTo(PdfName(QStringLiteral("closure")));
        }
        Run(TCommand(command));
        QCOMPARE(FDialogs.size(), 2);
        QCOMPARE(FDialogs[0].Text, QStringLiteral("Cannot copy this page !"));
        QCOMPARE(FDialogs[0].Kind, mkError);
        QCOMPARE(FDialogs[0].Buttons, MessageButtons(4));
        QCOMPARE(FDialogs[0].HelpContext, 0);
        QCOMPARE(FDialogs[1].Text, caption + QStringLiteral("\r\n"));
        QCOMPARE(FDialogs[1].Kind, mkError);
        QCOMPARE(FDialogs[1].Buttons, MessageButtons(1028));
        QCOMPARE(FDialogs[1].HelpContext, 306);
        QCOMPARE(Commands().OutputMsg, QStringLiteral("Cannot copy this page !"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(!QFile::exists(FDir.filePath(QStringLiteral("closure.csv"))));
        QVERIFY(!QFile::exists(PdfName(QStringLiteral("closure"))));
        if (command == cmdPrint) {
            QCOMPARE(FWaiting, (QList<bool>{true, false}));
        }
    }

    void cancelledDialogsBuildNothing_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("save") << int(cmdSave) << "QFileDialog";
        QTest::newRow("print") << int(cmdPrint) << "QPrintDialog";
    }
    void cancelledDialogsBuildNothing() {
        QFETCH(int, command);
        QFETCH(QString, dialog);
        FPage = 2;
        FRunDialog = [](QDialog&, const QString&) { return false; };
        Commands().Printer().setOutputFormat(QPrinter::PdfFormat);
        Commands().Printer().setOutputFileName(PdfName(QStringLiteral("cancelled")));
        Run(TCommand(command));
        QCOMPARE(FDialogKinds, QStringList{dialog});
        QCOMPARE(FTableRequests, 0);
        QVERIFY(FDialogs.isEmpty());
        QVERIFY(FWaiting.isEmpty());
        QVERIFY(Commands().LastFileName().isEmpty());
        QVERIFY(!QFile::exists(PdfName(QStringLiteral("cancelled"))));
    }

    // The printout in the PDF file holds, page for page, what the writer lays
    // out on the printer's measures: page headers, title, column groups that
    // repeat column 0, blocks that repeat row 0.
    void printoutToPdf_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("bands");
        QTest::addColumn<int>("groups");
        // 52 variables in columns: five column groups across a portrait page,
        // three across a landscape one, where the 39 equations need two bands.
        QTest::newRow("tableau portrait") << 2 << int(QPageLayout::Portrait) << 5 << 1 << 5;
        QTest::newRow("tableau landscape") << 2 << int(QPageLayout::Landscape) << 4 << 2 << 3;
        // 52 variables in rows: one band in portrait, two in landscape.
        QTest::newRow("results portrait") << 6 << int(QPageLayout::Portrait) << 1 << 1 << 1;
        QTest::newRow("results landscape") << 6 << int(QPageLayout::Landscape) << 2 << 2 << 1;
    }
    void printoutToPdf() {
        QFETCH(int, page);
        QFETCH(int, orientation);
        QFETCH(int, pages);
        QFETCH(int, bands);
        QFETCH(int, groups);
        FPage = page;
        SolveThree();
        const QString pdf = PdfName(QStringLiteral("printout"));
        QFile::remove(pdf);
        QPrinter& printer = Commands().Printer();
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        printer.setPageOrientation(QPageLayout::Orientation(orientation));
        PrintTo(pdf);
        Commands().File_PrintClick();
        QVERIFY(FDialogs.isEmpty());
        QCOMPARE(FDialogKinds, QStringList{"QPrintDialog"});
        QCOMPARE(FWaiting, (QList<bool>{true, false}));
        QCOMPARE(printer.docName(), QStringLiteral("WinVelmar Printout"));

        const kvtest::PdfText text = kvtest::ReadPdfText(pdf);
        QVERIFY2(text.Ok, qPrintable(text.Error));
        const QStringList expected = ExpectedPrintoutPages();
        QCOMPARE(text.Pages.size(), expected.size());
        QCOMPARE(text.Pages.size(), pages);

        const TPageTable table = *TableOfPage(page);
        // The user's short date and long time formats.
        const QString header = PrintoutHeader(PrintTime);
        QVERIFY2(header.startsWith(QStringLiteral("WinVELMAR Printout: 05/03/2024 14:30:15")),
                 qPrintable(header));
        // The first word of each row's label in column 0.
        QStringList labels;
        for (int r = 1; r < table.Rows; ++r) {
            labels << table.CellRule(r, 0).simplified().section(QLatin1Char(' '), 0, 0);
        }
        QStringList headings;
        int dataLines = 0;
        for (int p = 0; p < pages; ++p) {
            const QStringList got = Words(text.Pages[p]);
            QCOMPARE(got, Words(expected[p]));
            QCOMPARE(got.value(0), QStringLiteral("Page %1 of ").arg(p + 1) + header);
            QCOMPARE(got.value(1), table.PrintTitle);
            // Below the title: row 0 opening each block, then rows that each
            // start with their label from column 0.
            for (int i = 2; i < got.size(); ++i) {
                if (labels.contains(got[i].section(QLatin1Char(' '), 0, 0))) {
                    ++dataLines;
                    QVERIFY2(i > 2, "a block starts with row 0");
                } else {
                    headings << got[i];
                }
            }
        }
        QCOMPARE(headings.size(), bands * groups);
        QCOMPARE(dataLines, (table.Rows - 1) * groups);
        // Row 0 is cut into the column groups: together they hold every
        // heading once.
        QStringList row0;
        for (int c = 0; c < table.Cols; ++c) {
            if (!table.CellRule(0, c).trimmed().isEmpty()) {
                row0 << table.CellRule(0, c).simplified();
            }
        }
        for (int band = 0; band < bands; ++band) {
            QCOMPARE(headings.mid(band * groups, groups).join(QLatin1Char(' ')),
                     row0.join(QLatin1Char(' ')));
        }

        // The document's name is the print job's name.
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Title:\\s+WinVelmar Printout"))));
    }

    // A page too short for the 9-point font is refused before anything is
    // printed; eleven lines are enough.
    void printoutNeedsElevenLines_data() {
        QTest::addColumn<int>("lines");
        QTest::newRow("10 lines") << 10;
        QTest::newRow("11 lines") << 11;
        QTest::newRow("3 lines") << 3;
    }
    void printoutNeedsElevenLines() {
        QFETCH(int, lines);
        FPage = 1;
        const QString pdf = PdfName(QStringLiteral("short%1").arg(lines));
        QPrinter& printer = Commands().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        SetPageOfLines(printer, lines, 500);
        QCOMPARE(MeasurePrinter(printer, PrinterFont()).Lines(), lines);
        PrintTo(pdf);
        Commands().File_PrintClick();
        QCOMPARE(FWaiting, (QList<bool>{true, false}));
        if (lines >= 11) {
            QVERIFY(FDialogs.isEmpty());
            const kvtest::PdfText text = kvtest::ReadPdfText(pdf);
            QVERIFY2(text.Ok, qPrintable(text.Error));
            QCOMPARE(text.Pages.size(), 11); // one data row per page
            QVERIFY(text.Pages[10].contains(DataCellText(FExp.BaseData, 11, 0).trimmed()));
            return;
        }
        QCOMPARE(FDialogs.size(), 1);
        QCOMPARE(FDialogs[0].Text, QStringLiteral("Error in Printing:\r\n") +
                                       TOutputCommands::PageTooShortMessage(lines));
        QVERIFY(FDialogs[0].Text.contains(QStringLiteral("holds %1 lines").arg(lines)));
        QCOMPARE(FDialogs[0].Buttons, MessageButtons(1028));
        QCOMPARE(FDialogs[0].HelpContext, 306);
        QCOMPARE(FTableRequests, 1); // the title only: no table is built
        QVERIFY(!QFile::exists(pdf));
    }

    // Too narrow a page for the FExp.Tableau: more than 30 column groups. Nothing
    // is printed, and the next printout starts a fresh job.
    void tooManyColumnGroupsThenAFreshJob() {
        FPage = 2;
        const QString pdf = PdfName(QStringLiteral("narrow"));
        QPrinter& printer = Commands().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        SetPageOfLines(printer, 60, 30);
        PrintTo(pdf);
        Commands().File_PrintClick();
        QCOMPARE(FDialogs.size(), 1);
        QCOMPARE(FDialogs[0].Text,
                 QStringLiteral("Error in Printing:\r\n"
                                "MaxHPage parameter too small[WriteSimTabAsText]"));
        QCOMPARE(FDialogs[0].HelpContext, 306);
        QVERIFY(!QFile::exists(pdf));

        FDialogs.clear();
        SetPageOfLines(printer, 60, 2000);
        Commands().File_PrintClick();
        QVERIFY(FDialogs.isEmpty());
        const kvtest::PdfText text = kvtest::ReadPdfText(pdf);
        QVERIFY2(text.Ok, qPrintable(text.Error));
        QCOMPARE(text.Pages.size(), 1);
        QVERIFY(text.Pages[0].simplified().startsWith(QStringLiteral("Page 1 of ")));
    }

    // A printer that fails while printing raises an input/output error for
    // the program's exception handling; the busy state ends all the same.
    void printerFailureRaisesAndEndsTheBusyState() {
        FPage = 1;
        PrintTo(FDir.filePath(QStringLiteral("no/such/folder/x.pdf")));
        QVERIFY_THROWS_EXCEPTION(EInOutError, Commands().File_PrintClick());
        QCOMPARE(FWaiting, (QList<bool>{true, false}));
        QVERIFY(FDialogs.isEmpty());
    }

    // Without a printer the user is told so and the dialog offers PDF output.
    void noPrinterInstalledWarnsAndOffersPdf() {
        FPage = 1;
        FPrinterInstalled = false;
        QPrinter::OutputFormat format = QPrinter::NativeFormat;
        QString fileName;
        FRunDialog = [&](QDialog& dialog, const QString&) {
            QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
            format = printer->outputFormat();
            fileName = printer->outputFileName();
            return false;
        };
        Commands().File_PrintClick();
        QCOMPARE(FDialogs.size(), 1);
        QCOMPARE(FDialogs[0].Kind, mkWarning);
        QCOMPARE(FDialogs[0].Buttons, MessageButtons(4));
        QVERIFY(FDialogs[0].Text.startsWith(QStringLiteral("No printer is installed.")));
        QCOMPARE(format, QPrinter::PdfFormat);
        QVERIFY(fileName.endsWith(QStringLiteral("WinVelmar Printout.pdf")));
        QCOMPARE(FTableRequests, 0);
        // Said once per run, not before every printout.
        Commands().File_PrintClick();
        QCOMPARE(FDialogs.size(), 1);
        QCOMPARE(format, QPrinter::PdfFormat);
    }

    // Print Setup shows the toolkit's page set-up dialog on the one printer:
    // the orientation chosen there shapes the next printout.
    void printSetupAppliesToLaterPrintouts() {
        FPage = 6;
        SolveThree();
        QPrinter& printer = Commands().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        FRunDialog = [](QDialog& dialog, const QString&) {
            static_cast<QPageSetupDialog&>(dialog).printer()->setPageOrientation(
                QPageLayout::Landscape);
            return true;
        };
        Commands().PrintSetupClick();
        QCOMPARE(FDialogKinds, QStringList{"QPageSetupDialog"});
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);

        const QString pdf = PdfName(QStringLiteral("landscape"));
        PrintTo(pdf);
        Commands().File_PrintClick();
        const kvtest::PdfText text = kvtest::ReadPdfText(pdf);
        QVERIFY2(text.Ok, qPrintable(text.Error));
        QCOMPARE(text.Pages.size(), ExpectedPrintoutPages().size());
        QCOMPARE(text.Pages.size(), 2);
    }

    // The toolkit's own dialogs, shown through TCommonDialogHelper and
    // confirmed as a user would.
    void realDialogs() {
        FPage = 1;
        TOutputEnvironment env;
        env.CurrentTable = [this] { return std::optional<TPageTable>(BaseDataPageTable(FExp)); };
        env.PrinterInstalled = [] { return true; };
        TOutputCommands cmds(env);

        // Save, then Save again: the dialog opens in the last file's folder
        // with its bare name filled in.
        const QString file = FDir.filePath(QStringLiteral("real.csv"));
        WhenModalShown([file](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            QVERIFY(fd);
            // Typed into the file name box, as the user does.
            auto* edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit);
            edit->setText(file);
            static_cast<QDialog*>(fd)->accept();
        });
        cmds.Save1Click();
        QCOMPARE(ReadLines(file).size(), 12);
        QString folder, name;
        WhenModalShown([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            QVERIFY(fd);
            folder = fd->directory().absolutePath();
            name = QFileInfo(fd->selectedFiles().value(0)).fileName();
            fd->reject();
        });
        cmds.Save1Click();
        QCOMPARE(QFileInfo(folder), QFileInfo(FDir.path()));
        QCOMPARE(name, QStringLiteral("real.csv"));

        // Print Setup: landscape chosen in the dialog stays with the printer.
        QPrinter& printer = cmds.Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfName(QStringLiteral("real")));
        printer.setPageOrientation(QPageLayout::Portrait);
        WhenModalShown([](QWidget* w) {
            auto* landscape = w->findChild<QRadioButton*>(QStringLiteral("landscape"));
            QVERIFY(landscape);
            landscape->click();
            qobject_cast<QDialog*>(w)->accept();
        });
        cmds.PrintSetupClick();
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);

        // Print to the PDF file the print dialog shows.
        WhenModalShown([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
        cmds.File_PrintClick();
        QVERIFY(FDialogs.isEmpty());
        const kvtest::PdfText text = kvtest::ReadPdfText(PdfName(QStringLiteral("real")));
        QVERIFY2(text.Ok, qPrintable(text.Error));
        QCOMPARE(text.Pages.size(), 1);
        QCOMPARE(Words(text.Pages[0]).value(1), QStringLiteral("Base Data"));
    }
};

QTEST_MAIN(TestOutputCommands)
#include "tst_outputcommands.moc"
