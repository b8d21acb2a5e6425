// The central exception handler and the debug log.
//
// Every error that escapes the program's own handling ends in
// HandleAppException: silent aborts (kv::EAbort) are ignored, everything else
// is written to the day's debug log with the call stack recorded where it was
// raised, and the user is shown a box that lets them continue or end the
// program. The unit also writes "Program Start." and "Program End." entries
// and copies the log to a shared folder on a network drive when there is one.
//
// main() calls VkDebugInfoStartup() before the main window exists and
// VkDebugInfoShutdown() after it is gone, and runs its event loop in a
// TVkApplication (vkapplication.h), whose notify() hands every error escaping
// an event handler to HandleAppException.
#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <exception>
#include <functional>

class QObject;
class QWidget;

// The debug log's settings, one instance for the whole run, filled at
// start-up.
struct TDebugInfoCofig {
    bool EnableExceptionMessage = true; // show the error box
    bool UseDebugInfo = false;          // write the debug log
    QDateTime ProgStartedAt;            // local time
    qint32 DebugInfoLevel = 1;          // "VKDEBUGINFOLEVEL"; 1 when unset or not an integer
    QString FullExeName;
    QString ExeName;
    QString CommandLine;
    QString ComputerName;
    QString UserName;
    QString DebugDir;  // the temporary folder followed by "VKDebugInfo"
    QString DebugFile; // DebugDir/DEBUG_<exe>_<computer>_<yyyymmdd>.log
    QString RemoteDir; // shared folder that receives copies of the log
};

TDebugInfoCofig& DebugInfoCofig();

// The temporary folder: "TEMP", else "TMPDIR", else the platform's own.
QString TemporaryFolder();

// Entry labels, indexed by the last argument of WriteDebugEntry.
enum TDebugEntryLabel : int {
    delMsg = 0,      // "DEBUG_MSG": start and end entries
    delMsgError = 1, // "DEBUG_MSG_ERROR": error entries
};

// Start-up: fills DebugInfoCofig(), installs the error hooks, switches the
// stack traces on when logging is on, writes "Program Start." and copies the
// log to the shared folder. Runs before the main window is created; needs no
// QApplication.
void VkDebugInfoStartup();
// Program end: writes "Program End.", copies the log and switches the stack
// traces off. Runs after the main window is gone.
void VkDebugInfoShutdown();

// The central handler. sender is the object on whose behalf the error is
// reported (nullptr when unknown); error the error (empty when there is no
// error object). Never throws.
void HandleAppException(const QObject* sender, std::exception_ptr error) noexcept;

// "Unexpected exception from object \"<sender>\":<error>", for example
// Unexpected exception from object "SDIAppForm(TSDIAppForm)":(EZeroDivide)Floating point division
// by zero
QString AppExceptionReportText(const QObject* sender, std::exception_ptr error);

// Appends one entry to DebugFile (nothing when UseDebugInfo is false).
// labelIndex is a TDebugEntryLabel. An entry that cannot be written is
// dropped; the first time in a run, standard error says so with the file and
// the reason.
void WriteDebugEntry(const QString& message, const QString& envBlock, const QString& stackTrace,
                     int labelIndex);

// The environment block of a log entry: all eleven keys when full, else the
// first four ("EXEVER:", "EXDATE:", "STDATE:", "PID:"), joined by "\r\n".
QString DebugEnvironmentBlock(bool full);

// Starts a background copy of the log to RemoteDir when logging is on,
// RemoteDir differs from DebugDir and lies on a connected network drive.
void CopyLogToRemote();
// Waits up to timeoutMs for a running background copy; true when none runs.
bool WaitForLogCopy(int timeoutMs);

// The handler routines that the error hooks lead to. No instance is made.
class TAppExceptionHandler {
public:
    TAppExceptionHandler() = delete;
    // Library code reports the error being handled (call inside a catch
    // block) on behalf of sender.
    static void HandleException(const QObject* sender) noexcept;
    // Library code asks for an error to be shown; no sender.
    static void ShowException(std::exception_ptr error) noexcept;
    // The last chance for an error that nothing handled (std::terminate):
    // logs it, shows the box when possible and ends the program with exit
    // code 1.
    [[noreturn]] static void LastChance() noexcept;
};

// --- Seams for tests and for other platforms -------------------------------

// The error box: returns true for OK (continue), false for Cancel (end the
// program). The default shows the system's plain message box with OK, Cancel
// and the error icon, modal for the application. An empty hook restores it.
using ErrorBoxHook =
    std::function<bool(QWidget* owner, const QString& caption, const QString& text)>;
void SetErrorBoxHook(ErrorBoxHook hook);

// Whether the drive of path is a connected network drive with status OK. The
// default says no: this platform has no drive letters.
using NetworkDriveQuery = std::function<bool(const QString& path)>;
void SetNetworkDriveQuery(NetworkDriveQuery query);

// The shared folder that receives copies of the log when its drive is
// connected; "R:\HOLM\VKDebugInfo" by default.
void SetRemoteDebugFolder(const QString& folder);

// The waits between the attempts to open the log (and before a new remote
// copy); the default sleeps.
using DebugSleep = std::function<void(int milliseconds)>;
void SetDebugSleep(DebugSleep sleep);

// Whether a failed open of the log file is a lock that another program holds
// on it, the one failure worth further attempts (up to six, with the waits
// above). The default asks the system right after the failure; on this
// platform no program can hold a file so, and a log that cannot be opened is
// said once on standard error and dropped at once. An empty hook restores it.
using LogLockedQuery = std::function<bool(const QString& file)>;
void SetLogLockedQuery(LogLockedQuery query);

// The background copy: the cancel flag it shares with the user-interface
// thread (0 stop, 1 go), the temporary name it copies through, and the copy
// itself, which gives up as soon as the flag is stop.
std::atomic<int>& LogCopyCancelFlag();
QString LogCopyTempName(const QString& debugFile, qint64 pid, quint64 tickCount);
bool CopyFileWithCancel(const QString& source, const QString& destination,
                        const std::atomic<int>& cancelFlag);
