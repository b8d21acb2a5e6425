// Print, save and copy of the current page. The main window owns one
// TOutputCommands and forwards its menu items to it; the commands see the
// window only through TOutputEnvironment, so that tests can drive them with
// the model state, injected dialogs and a PDF printer.
#pragma once

#include "clipboard.h"
#include "pagetables.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPrinter;

// What the output commands need from the window.
struct TOutputEnvironment {
    // The current page's table, its size that of the page's grid at this
    // moment; nothing when the current page has no table.
    std::function<std::optional<kv::TPageTable>()> CurrentTable;
    // Shows a common dialog modally and returns whether the user confirmed.
    // fileName is the name a file dialog starts from (empty for the others).
    // Default: through TCommonDialogHelper.
    std::function<bool(QDialog& dialog, const QString& fileName)> RunDialog;
    // The window's busy state around the printout. Default: nothing.
    std::function<void(bool on)> Waiting;
    // The date and time of the printout's header. Default: now.
    std::function<QDateTime()> Now;
    // Whether a printer is installed. Default: the system's printer list.
    std::function<bool()> PrinterInstalled;
    // Whether a folder exists. Default: QDir, and no path with a drive letter
    // exists where there are no drive letters.
    std::function<bool(const QString& folder)> FolderExists;
    // The clipboard Copy writes to. Default: the application clipboard.
    std::shared_ptr<kv::ClipboardPort> Clipboard;
};

// The help topic of the three error dialogs.
inline constexpr int OutputHelpContext = 306;

class TOutputCommands {
public:
    explicit TOutputCommands(TOutputEnvironment environment = {});
    ~TOutputCommands();
    TOutputCommands(const TOutputCommands&) = delete;
    TOutputCommands& operator=(const TOutputCommands&) = delete;

    // Receives the failure messages of MakeSimTab, Save and Copy.
    QString OutputMsg;

    // Builds T from the current page's table; on failure shows OutputMsg in
    // an error dialog and returns false (the caller releases T).
    bool MakeSimTab(kv::TSimTab& T);

    void Copy1Click();
    // Asks before it replaces an existing file; No goes back to the dialog.
    void Save1Click();
    void File_PrintClick();
    void PrintSetupClick();
    // Runs command (Copy1Click, Save1Click or File_PrintClick) on table
    // instead of the current page's, with the same printer and file names.
    void WithTable(const kv::TPageTable& table, const std::function<void()>& command);
    // Prints a picture on one page through the same printer and dialog;
    // draw paints it below the printout header it is given.
    void PrintPicture(const std::function<void(QPrinter& printer, const QString& header)>& draw);

    // The printer every printout and Print Setup use; it keeps the printer,
    // paper and orientation chosen until the window goes away.
    QPrinter& Printer();
    // The file name chosen at the last Save; the next Save starts from it.
    const QString& LastFileName() const { return FLastFileName; }
    // The folder the first Save starts in: "c:\temp" where it exists, else
    // the user's documents folder.
    QString SaveInitialFolder() const;

    // The detail of "Error in Printing:" for a page with fewer than
    // MinPageLen + 6 lines of the printer font.
    static QString PageTooShortMessage(int lines);

private:
    void ShowCommandError(const QString& caption, const QString& detail);
    void PreparePrinterWithoutPrinters();
    // Names the job and runs the print dialog; false when the user cancels it.
    bool RunPrintDialog();

    TOutputEnvironment FEnv;
    std::unique_ptr<QPrinter> FPrinter;
    QString FLastFileName;
    bool FWarnedNoPrinter = false;
};
