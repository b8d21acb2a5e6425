#include "outputcommands.h"

#include "errors.h"
#include "printertextoutput.h"
#include "qtclipboardport.h"
#include "workarea.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QStandardPaths>

#include <utility>

using namespace kv;

namespace {

// The results of Yes and No in a message dialog.
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// The save dialog's settings.
const QString SaveInitialFolderPreferred = QStringLiteral("c:\\temp");
const QString CsvSuffix = QStringLiteral("csv");
// "CSV Files (*.csv)|*.csv" in the toolkit's filter notation.
const QString CsvFilter = QStringLiteral("CSV Files (*.csv)");

const QString PrintDocName = QStringLiteral("WinVelmar Printout");

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[0].isLetter() && path[1] == QLatin1Char(':');
}

bool DefaultFolderExists(const QString& folder) {
#ifndef Q_OS_WIN
    // A drive letter names nothing here; "c:\temp" must not be taken for a
    // relative folder of that name.
    if (HasDriveLetter(folder)) {
        return false;
    }
#endif
    return QDir(folder).exists();
}

bool DefaultRunDialog(QDialog& dialog, const QString& fileName) {
    TCommonDialogHelper helper(dialog);
    helper.SetFileName(fileName);
    return helper.Execute();
}

QString PrinterDescription(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                         : printer.printerName();
}

} // namespace

TOutputCommands::TOutputCommands(TOutputEnvironment environment) : FEnv(std::move(environment)) {
    if (!FEnv.CurrentTable) {
        FEnv.CurrentTable = [] { return std::optional<TPageTable>(); };
    }
    if (!FEnv.RunDialog) {
        FEnv.RunDialog = DefaultRunDialog;
    }
    if (!FEnv.Waiting) {
        FEnv.Waiting = [](bool) {};
    }
    if (!FEnv.Now) {
        FEnv.Now = [] { return QDateTime::currentDateTime(); };
    }
    if (!FEnv.PrinterInstalled) {
        FEnv.PrinterInstalled = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
    }
    if (!FEnv.FolderExists) {
        FEnv.FolderExists = DefaultFolderExists;
    }
    if (!FEnv.Clipboard) {
        FEnv.Clipboard = std::make_shared<QtClipboardPort>();
    }
}

TOutputCommands::~TOutputCommands() = default;

QPrinter& TOutputCommands::Printer() {
    if (!FPrinter) {
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *FPrinter;
}

QString TOutputCommands::SaveInitialFolder() const {
    if (FEnv.FolderExists(SaveInitialFolderPreferred)) {
        return SaveInitialFolderPreferred;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && FEnv.FolderExists(documents)) {
        return documents;
    }
    return QDir::homePath();
}

QString TOutputCommands::PageTooShortMessage(int lines) {
    return QStringLiteral("Page too short: the printable area holds %1 lines of the printer font, "
                          "a printout needs at least %2[File_PrintClick]")
        .arg(lines)
        .arg(MinPageLen + 6);
}

void TOutputCommands::ShowCommandError(const QString& caption, const QString& detail) {
    ShowMessageDialog(caption + QStringLiteral("\r\n") + detail, mkError, mbOK | mbHelp,
                      OutputHelpContext, nullptr);
}

bool TOutputCommands::MakeSimTab(TSimTab& T) {
    const std::optional<TPageTable> table = FEnv.CurrentTable();
    bool built = false;
    if (!table) {
        OutputMsg = QStringLiteral("Cannot copy this page !");
    } else {
        built = MakePageSimTab(T, *table, OutputMsg);
    }
    if (!built) {
        ShowMessageDialog(OutputMsg, mkError, mbOK, 0, nullptr);
    }
    return built;
}

void TOutputCommands::Copy1Click() {
    TSimTab T;
    QString detail;
    bool ok = MakeSimTab(T);
    if (ok) {
        ok = CopySimTabToClipboard(T, OutputMsg, *FEnv.Clipboard);
        if (!ok) {
            detail = OutputMsg;
        }
    }
    if (!ok) {
        ShowCommandError(QStringLiteral("Error in Copy:"), detail);
    }
}

void TOutputCommands::Save1Click() {
    QFileDialog saveDialog(nullptr, QString(), SaveInitialFolder());
    saveDialog.setAcceptMode(QFileDialog::AcceptSave);
    saveDialog.setFileMode(QFileDialog::AnyFile);
    saveDialog.setNameFilter(CsvFilter);
    saveDialog.setDefaultSuffix(CsvSuffix);
    // The command asks before it replaces a file, once the name has its
    // extension (the dialog may leave that to its caller).
    saveDialog.setOption(QFileDialog::DontConfirmOverwrite);
    QString fileName;
    for (;;) {
        if (!FEnv.RunDialog(saveDialog, FLastFileName)) {
            return;
        }
        fileName = saveDialog.selectedFiles().value(0);
        if (fileName.isEmpty()) {
            return;
        }
        // The default extension, also where the dialog leaves it to its caller.
        if (QFileInfo(fileName).suffix().isEmpty() && !fileName.endsWith(QLatin1Char('.'))) {
            fileName += QLatin1Char('.') + CsvSuffix;
        }
        FLastFileName = fileName;
        if (!QFileInfo(fileName).isFile()) {
            break;
        }
        const int answer = ShowMessageDialog(
            fileName + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
            mkConfirmation, mbYes | mbNo, 0, nullptr);
        if (answer == mrYes) {
            break;
        }
        if (answer != mrNo) {
            return;
        }
        // No: another name, in the dialog again.
    }

    TSimTab T;
    QString detail;
    bool ok = MakeSimTab(T);
    if (ok) {
        ok = SaveSimTabAsCSV(T, fileName, OutputMsg);
        if (!ok) {
            detail = OutputMsg;
        }
    }
    if (!ok) {
        ShowCommandError(QStringLiteral("Error in Save:"), detail);
    }
}

void TOutputCommands::PreparePrinterWithoutPrinters() {
    // Said once; the PDF file stays the printer from then on.
    if (!FWarnedNoPrinter) {
        FWarnedNoPrinter = true;
        ShowMessageDialog(QStringLiteral("No printer is installed.\r\n"
                                         "You can still print to a PDF file."),
                          mkWarning, mbOK, 0, nullptr);
    }
    QPrinter& printer = Printer();
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(SaveInitialFolder()).filePath(PrintDocName + ".pdf"));
    }
}

bool TOutputCommands::RunPrintDialog() {
    QPrinter& printer = Printer();
    printer.setDocName(PrintDocName);
    if (!FEnv.PrinterInstalled()) {
        PreparePrinterWithoutPrinters();
    }
    QPrintDialog printDialog(&printer);
    // A printout is always the whole table or picture: no page range or selection.
    printDialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    printDialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    printDialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    printDialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return FEnv.RunDialog(printDialog, QString());
}

void TOutputCommands::File_PrintClick() {
    if (!RunPrintDialog()) {
        return;
    }
    QPrinter& printer = Printer();

    FEnv.Waiting(true);
    // An error raised while writing still ends the busy state on its way to
    // the program's exception handling; the stream ends its job when it goes.
    auto busy = qScopeGuard([this] { FEnv.Waiting(false); });
    TPrinterTextOutput out(printer);
    out.Open(); // the job starts with the first line written
    const QFont font = PrinterFont();
    out.SetFont(font);
    const TPrinterMetrics metrics = MeasurePrinter(printer, font);
    const int pageLen = metrics.PageLen();
    const std::optional<TPageTable> table = FEnv.CurrentTable();
    const QString title = table ? table->PrintTitle : QString();

    TSimTab T;
    QString detail;
    bool ok = false;
    if (pageLen < MinPageLen) {
        detail = PageTooShortMessage(metrics.Lines());
    } else if (MakeSimTab(T)) {
        const QString header = PrintoutHeader(FEnv.Now());
        ok = WriteSimTabAsText(T, out, pageLen, metrics.PageWidth(), header, title, detail);
    }

    if (ok) {
        const bool closed = out.Close();
        busy.dismiss();
        FEnv.Waiting(false);
        if (!closed) {
            throw EInOutError("Cannot finish printing on " +
                              PrinterDescription(printer).toStdString());
        }
        return;
    }
    out.Close();
    busy.dismiss();
    FEnv.Waiting(false);
    ShowCommandError(QStringLiteral("Error in Printing:"), detail);
}

void TOutputCommands::PrintPicture(
    const std::function<void(QPrinter& printer, const QString& header)>& draw) {
    if (!RunPrintDialog()) {
        return;
    }
    QPrinter& printer = Printer();
    FEnv.Waiting(true);
    auto busy = qScopeGuard([this] { FEnv.Waiting(false); });
    draw(printer, PrintoutHeader(FEnv.Now()));
}

void TOutputCommands::WithTable(const TPageTable& table, const std::function<void()>& command) {
    auto current = std::exchange(FEnv.CurrentTable, [table] { return std::optional(table); });
    const auto restore = qScopeGuard([&] { FEnv.CurrentTable = std::move(current); });
    command();
}

void TOutputCommands::PrintSetupClick() {
    QPageSetupDialog setupDialog(&Printer());
    FEnv.RunDialog(setupDialog, QString());
}
