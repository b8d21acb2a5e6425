#include "vkdebuginfo.h"

#include "errors.h"
#include "vkstacktrace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>
#include <QThreadPool>
#include <QWidget>
#include <boost/core/demangle.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <typeinfo>
#include <utility>
#include <vector>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#define VK_HAVE_CXXABI 1
#endif

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

constexpr int OpenAttempts = 6;
constexpr int CopyGo = 1;
constexpr int CopyStop = 0;
constexpr int CopyCancelWaitMs = 500;
constexpr int ShutdownCopyWaitMs = 10000;

const char* const EntryLabels[] = {"DEBUG_MSG", "DEBUG_MSG_ERROR"};

struct State {
    TDebugInfoCofig config;
    ErrorBoxHook errorBox;
    NetworkDriveQuery networkDrive;
    DebugSleep sleep;
    LogLockedQuery logLocked;
    QString remoteFolder = QStringLiteral("R:\\HOLM\\VKDebugInfo");
    // Set once the run has said on standard error that the log cannot be
    // written, so that it says so only once.
    bool failureSaid = false;
};

State& state() {
    static State s;
    return s;
}

TDebugInfoCofig& config() {
    return state().config;
}

// Background copies still running, so that the program's end can wait for
// its last copy.
struct CopyTasks {
    std::mutex mutex;
    std::condition_variable done;
    int running = 0;
};

CopyTasks& copyTasks() {
    static CopyTasks tasks;
    return tasks;
}

std::atomic<int> cancelFlag{CopyStop};

void debugSleep(int milliseconds) {
    if (const auto& hook = state().sleep) {
        hook(milliseconds);
    } else {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
}

bool isNetworkDriveOk(const NetworkDriveQuery& query, const QString& path) {
    return query && query(path);
}

// Whether the log could not be opened because another program holds it, a
// failure that passes and is worth another attempt. Called right after the
// failed open. Every other failure (no permission, a read-only or full disk,
// a folder in the way) stays, and waiting for it would only slow the program.
bool logHeldByAnotherProgram(const QString& file) {
    if (const auto& query = state().logLocked) {
        return query(file);
    }
#ifdef Q_OS_WIN
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
#else
    // No program can hold a file exclusively here.
    return false;
#endif
}

// Says once per run, on standard error in the log's stead, that the log
// cannot be written, and why; the program goes on without it.
void sayLogCannotBeWritten(const QString& what, const QString& path, const QString& reason) {
    State& s = state();
    if (s.failureSaid) {
        return;
    }
    s.failureSaid = true;
    QString program = QFileInfo(s.config.ExeName).completeBaseName();
    if (program.isEmpty()) {
        program = QStringLiteral("WinVELMAR");
    }
    const QString line = program + QStringLiteral(": ") + what + QLatin1Char(' ') +
                         QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason +
                         QStringLiteral(" (the program goes on without its debug log)\n");
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// --- The configuration -------------------------------------------------------

QString environment(const char* name) {
    return qEnvironmentVariable(name);
}

qint32 debugInfoLevel() {
    bool ok = false;
    const qint32 level = environment("VKDEBUGINFOLEVEL").trimmed().toInt(&ok, 10);
    return ok ? level : 1;
}

QString temporaryFolder() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const QString folder = environment(name);
        if (!folder.isEmpty()) {
            return QDir::fromNativeSeparators(folder);
        }
    }
    return QDir::tempPath();
}

QString loginName() {
#if defined(Q_OS_UNIX)
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return QString::fromLocal8Bit(found->pw_name);
    }
#endif
    for (const char* name : {"USER", "LOGNAME"}) {
        const QString user = environment(name);
        if (!user.isEmpty()) {
            return user;
        }
    }
    return {};
}

QString executablePath() {
#if defined(Q_OS_WIN)
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
    if (length > 0 && length < std::size(buffer)) {
        return QDir::fromNativeSeparators(QString::fromWCharArray(buffer, int(length)));
    }
#elif defined(Q_OS_LINUX)
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!target.isEmpty()) {
        return target;
    }
#endif
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationFilePath();
    }
    return {};
}

QString quotedArgument(const QString& argument) {
    if (!argument.isEmpty() && !argument.contains(QLatin1Char(' ')) &&
        !argument.contains(QLatin1Char('\t')) && !argument.contains(QLatin1Char('"'))) {
        return argument;
    }
    QString quoted = argument;
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString commandLine() {
#if defined(Q_OS_WIN)
    return QString::fromWCharArray(GetCommandLineW());
#else
    QStringList arguments;
#if defined(Q_OS_LINUX)
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray data = file.readAll();
        if (data.endsWith('\0')) {
            data.chop(1);
        }
        for (const QByteArray& argument : data.split('\0')) {
            arguments << QString::fromLocal8Bit(argument);
        }
    }
#endif
    if (arguments.isEmpty() && QCoreApplication::instance() != nullptr) {
        arguments = QCoreApplication::arguments();
    }
    QStringList quoted;
    for (const QString& argument : arguments) {
        quoted << quotedArgument(argument);
    }
    return quoted.join(QLatin1Char(' '));
#endif
}

// A computer name comes from the environment and becomes part of a file
// name; it must not lead the log into another folder.
QString fileNamePart(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')) {
            c = QLatin1Char('_');
        }
    }
    return text;
}

void fillConfig(TDebugInfoCofig& c) {
    c = TDebugInfoCofig{};
    c.ProgStartedAt = QDateTime::currentDateTime();
    c.EnableExceptionMessage = true;
    c.DebugInfoLevel = debugInfoLevel();
    c.FullExeName = executablePath();
    c.ExeName = QFileInfo(c.FullExeName).fileName();
    c.CommandLine = commandLine();
    c.ComputerName = environment("COMPUTERNAME");
    if (c.ComputerName.isEmpty()) {
        c.ComputerName = QSysInfo::machineHostName();
    }
    c.UserName = environment("USERNAME");
    if (c.UserName.isEmpty()) {
        c.UserName = loginName();
    }
    c.DebugDir =
        QDir::cleanPath(QDir(temporaryFolder()).absoluteFilePath(QStringLiteral("VKDebugInfo")));
    c.DebugFile = c.DebugDir + QStringLiteral("/DEBUG_") + QFileInfo(c.ExeName).completeBaseName() +
                  QLatin1Char('_') + fileNamePart(c.ComputerName) + QLatin1Char('_') +
                  c.ProgStartedAt.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
    c.RemoteDir.clear();
}

// --- The environment block ---------------------------------------------------

QString executableVersion() {
#ifdef WINVELMAR_VERSION
    const QStringList parts = QStringLiteral(WINVELMAR_VERSION).split(QLatin1Char('.'));
    int numbers[3] = {0, 0, 0};
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok) {
            return {};
        }
    }
    return QString::asprintf("%d.%d.%d", numbers[0], numbers[1], numbers[2]);
#else
    return {};
#endif
}

QString executableDate(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    const QDateTime written = QFileInfo(path).lastModified();
    return written.isValid() ? written.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString();
}

// "Debian GNU/Linux 12 (bookworm) (Version 6.1, Build 0, 64-bit Edition)"
QString operatingSystem() {
    QString name = QSysInfo::prettyProductName();
    const QStringList kernel = QSysInfo::kernelVersion().split(QLatin1Char('.'));
    auto number = [&kernel](int i) {
        if (i >= kernel.size()) {
            return 0;
        }
        // "0-18-amd64": the leading digits count.
        const QString& part = kernel[i];
        int end = 0;
        while (end < part.size() && part[end].isDigit()) {
            ++end;
        }
        return part.left(end).toInt();
    };
    const QString architecture = QSysInfo::currentCpuArchitecture();
    const bool is64 = architecture.contains(QLatin1String("64"));
    return name +
           QStringLiteral(" (Version %1.%2, Build %3, %4)")
               .arg(number(0))
               .arg(number(1))
               .arg(number(2))
               .arg(is64 ? QStringLiteral("64-bit Edition") : QStringLiteral("32-bit Edition"));
}

// --- Writing -----------------------------------------------------------------

QString timestamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("[yyyy-MM-dd hh:mm:ss.zzz]"));
}

// The text without trailing line breaks, every line break as "\r\n".
QString crlfLines(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

// --- The handler ---------------------------------------------------------------

QString describeSender(const QObject* sender) {
    if (sender == nullptr) {
        return QStringLiteral("Unknown");
    }
    return sender->objectName() + QLatin1Char('(') +
           QString::fromLatin1(sender->metaObject()->className()) + QLatin1Char(')');
}

QString typeName(const std::type_info& type) {
    return QString::fromStdString(boost::core::demangle(type.name()));
}

QString describeError(const std::exception_ptr& error) {
    const QString notSpecified = QStringLiteral("Error message not specified");
    if (!error) {
        return notSpecified;
    }
    try {
        std::rethrow_exception(error);
    } catch (const kv::Exception& e) {
        return QLatin1Char('(') + QString::fromUtf8(e.className()) + QLatin1Char(')') +
               QString::fromStdString(e.message());
    } catch (const std::exception& e) {
        return QLatin1Char('(') + typeName(typeid(e)) + QLatin1Char(')') +
               QString::fromUtf8(e.what());
    } catch (...) {
#ifdef VK_HAVE_CXXABI
        if (const std::type_info* type = abi::__cxa_current_exception_type()) {
            return QLatin1Char('(') + typeName(*type) + QLatin1Char(')') + notSpecified;
        }
#endif
        return notSpecified;
    }
}

bool isSilentAbort(const std::exception_ptr& error) {
    if (!error) {
        return false;
    }
    try {
        std::rethrow_exception(error);
    } catch (const kv::EAbort&) {
        return true;
    } catch (...) {
        return false;
    }
}

QString recordedStackTrace(const std::exception_ptr& error) {
    if (!error) {
        return {};
    }
    try {
        std::rethrow_exception(error);
    } catch (const kv::Exception& e) {
        return QString::fromStdString(e.stackTrace());
    } catch (...) {
        return {};
    }
}

bool onGuiThread() {
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app != nullptr && QThread::currentThread() == app->thread();
}

QWidget* errorBoxOwner() {
    if (!onGuiThread()) {
        return nullptr;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) != nullptr && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

bool systemErrorBox(QWidget* owner, const QString& caption, const QString& text) {
    if (!onGuiThread()) {
        // No window can be shown here: the report goes to the standard error
        // stream and the program carries on.
        std::fprintf(stderr, "%s\n", qPrintable(caption + QLatin1String(": ") + text));
        return true;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() != QMessageBox::Cancel;
}

// True for OK, false for Cancel.
bool showErrorBox(const QString& report) {
    QString caption = QGuiApplication::applicationDisplayName();
    if (caption.isEmpty()) {
        caption = config().ExeName;
    }
    const QString text =
        report + QStringLiteral("\r\n\r\n") +
        QStringLiteral("Select: OK to continue or CANCEL to terminate application") +
        QStringLiteral("\r\n") +
        QStringLiteral("(if terminating application, any unsaved data will be lost)");
    QWidget* owner = errorBoxOwner();
    if (const auto& hook = state().errorBox) {
        return hook(owner, caption, text);
    }
    return systemErrorBox(owner, caption, text);
}

void writeProgramEnd() {
    WriteDebugEntry(QStringLiteral("Program End."), DebugEnvironmentBlock(false), QString(),
                    delMsg);
    CopyLogToRemote();
}

[[noreturn]] void endProcess() {
    std::_Exit(1);
}

// Set while the error box of this thread shows: an error raised meanwhile
// (by a timer, say) is logged but does not open a second box over it.
thread_local bool boxShowing = false;

enum class ErrorMode { ContinueOrEnd, Fatal };

void reportError(const QObject* sender, const std::exception_ptr& error, ErrorMode mode) {
    if (isSilentAbort(error)) {
        return;
    }
    const QString report = AppExceptionReportText(sender, error);
    QString trace = recordedStackTrace(error);
    if (trace.isEmpty() && mode == ErrorMode::Fatal) {
        // Nothing caught the error, so the stack has not been unwound: the
        // current stack shows where it was raised.
        trace = QString::fromStdString(VkStackTrace::Capture(1));
    }
    WriteDebugEntry(report, DebugEnvironmentBlock(true), trace, delMsgError);
    if (!config().EnableExceptionMessage || boxShowing) {
        return;
    }
    boxShowing = true;
    bool carryOn = true;
    try {
        carryOn = showErrorBox(report);
    } catch (...) {
    }
    boxShowing = false;
    if (!carryOn) {
        writeProgramEnd();
        endProcess();
    }
}

void lastChanceHandler() {
    TAppExceptionHandler::LastChance();
}

} // namespace

// --- Public routines ---------------------------------------------------------

TDebugInfoCofig& DebugInfoCofig() {
    return config();
}

QString TemporaryFolder() {
    return temporaryFolder();
}

void VkDebugInfoStartup() {
    TDebugInfoCofig& c = config();
    fillConfig(c);
    state().failureSaid = false;

    std::set_terminate(lastChanceHandler);

    if (c.DebugInfoLevel <= 0) {
        c.UseDebugInfo = false;
    } else {
        VkStackTrace::Enable(true);
        std::error_code ec;
        std::filesystem::create_directories(QFile::encodeName(c.DebugDir).toStdString(), ec);
        c.UseDebugInfo = QFileInfo(c.DebugDir).isDir();
        if (!c.UseDebugInfo) {
            sayLogCannotBeWritten(QStringLiteral("cannot create the debug log folder"), c.DebugDir,
                                  QString::fromLocal8Bit(ec ? ec.message() : "not a folder"));
        }
        if (c.UseDebugInfo) {
            const QString& remote = state().remoteFolder;
            c.RemoteDir =
                isNetworkDriveOk(state().networkDrive, remote) && QFileInfo(remote).isDir()
                    ? remote
                    : c.DebugDir;
        }
    }
    WriteDebugEntry(QStringLiteral("Program Start."), DebugEnvironmentBlock(true), QString(),
                    delMsg);
    CopyLogToRemote();
}

void VkDebugInfoShutdown() {
    writeProgramEnd();
    // The last copy of the log should arrive whole, and no temporary copy
    // should be left behind.
    WaitForLogCopy(ShutdownCopyWaitMs);
    VkStackTrace::Enable(false);
}

QString AppExceptionReportText(const QObject* sender, std::exception_ptr error) {
    return QStringLiteral("Unexpected exception from object \"") + describeSender(sender) +
           QStringLiteral("\":") + describeError(error);
}

void HandleAppException(const QObject* sender, std::exception_ptr error) noexcept {
    try {
        reportError(sender, error, ErrorMode::ContinueOrEnd);
    } catch (...) {
        // The handler never reports its own failures.
    }
}

void TAppExceptionHandler::HandleException(const QObject* sender) noexcept {
    HandleAppException(sender, std::current_exception());
}

void TAppExceptionHandler::ShowException(std::exception_ptr error) noexcept {
    HandleAppException(nullptr, std::move(error));
}

void TAppExceptionHandler::LastChance() noexcept {
    static std::atomic<bool> entered{false};
    if (!entered.exchange(true)) {
        try {
            reportError(nullptr, std::current_exception(), ErrorMode::Fatal);
            writeProgramEnd();
        } catch (...) {
        }
    }
    endProcess();
}

QString DebugEnvironmentBlock(bool full) {
    const TDebugInfoCofig& c = config();
    QStringList lines;
    lines << QStringLiteral("EXEVER:") + executableVersion()
          << QStringLiteral("EXDATE:") + executableDate(c.FullExeName)
          << QStringLiteral("STDATE:") +
                 c.ProgStartedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
          << QStringLiteral("PID:") + QString::number(QCoreApplication::applicationPid());
    if (full) {
        lines << QStringLiteral("CMDLINE:") + c.CommandLine << QStringLiteral("USER:") + c.UserName
              << QStringLiteral("COMPUTER:") + c.ComputerName
              << QStringLiteral("DEBUGDIR:") + QDir::toNativeSeparators(c.DebugDir)
              << QStringLiteral("REMOTEDIR:") + QDir::toNativeSeparators(c.RemoteDir)
              << QStringLiteral("CPUCNT:") + QString::number(QThread::idealThreadCount())
              << QStringLiteral("OSVERSION:") + operatingSystem();
    }
    return lines.join(QStringLiteral("\r\n"));
}

void WriteDebugEntry(const QString& message, const QString& envBlock, const QString& stackTrace,
                     int labelIndex) {
    const TDebugInfoCofig& c = config();
    if (!c.UseDebugInfo) {
        return;
    }
    QFile file(c.DebugFile);
    for (int attempt = 1;; ++attempt) {
        // Unbuffered: the entry goes out in one write, so that entries of
        // several runs appending to the same file do not interleave.
        if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            break;
        }
        if (attempt == OpenAttempts || !logHeldByAnotherProgram(c.DebugFile)) {
            sayLogCannotBeWritten(QStringLiteral("cannot write the debug log"), c.DebugFile,
                                  file.errorString());
            return;
        }
        debugSleep((QRandomGenerator::global()->bounded(5) + 1) * 100);
    }
    const QString crlf = QStringLiteral("\r\n");
    const char* label = EntryLabels[labelIndex == delMsgError ? delMsgError : delMsg];
    QString entry = QStringLiteral("DEBUG_START ") + timestamp() + crlf;
    entry += QLatin1String(label) + crlf;
    entry += crlfLines(message) + crlf;
    const QString env = crlfLines(envBlock);
    if (!env.isEmpty()) {
        entry += QStringLiteral("DEBUG_INFO") + crlf + env + crlf;
    }
    const QString trace = crlfLines(stackTrace);
    if (!trace.isEmpty()) {
        entry += QStringLiteral("DEBUG_TRACE") + crlf + trace + crlf;
    }
    entry += QStringLiteral("DEBUG_END ") + timestamp() + crlf + crlf;
    const QByteArray bytes = entry.toLocal8Bit();
    if (file.write(bytes) != bytes.size()) {
        sayLogCannotBeWritten(QStringLiteral("cannot write the debug log"), c.DebugFile,
                              file.errorString());
    }
    file.close();
}

void CopyLogToRemote() {
    if (cancelFlag.load() == CopyGo) {
        cancelFlag.store(CopyStop);
        debugSleep(CopyCancelWaitMs);
    }
    const TDebugInfoCofig& c = config();
    const NetworkDriveQuery query = state().networkDrive;
    if (!c.UseDebugInfo || c.RemoteDir.isEmpty() ||
        c.RemoteDir.compare(c.DebugDir, Qt::CaseInsensitive) == 0 ||
        !QFileInfo::exists(c.DebugFile) || !isNetworkDriveOk(query, c.RemoteDir)) {
        return;
    }
    if (!QDir().mkpath(c.RemoteDir) || !QFileInfo(c.RemoteDir).isDir()) {
        return;
    }
    const QString source = c.DebugFile;
    const QString destination = QDir(c.RemoteDir).filePath(QFileInfo(source).fileName());
    const QString remoteDir = c.RemoteDir;
    {
        std::lock_guard lock(copyTasks().mutex);
        ++copyTasks().running;
    }
    QThreadPool::globalInstance()->start([source, destination, remoteDir, query] {
        try {
            if (isNetworkDriveOk(query, remoteDir)) {
                QElapsedTimer ticks;
                ticks.start();
                const QString temp = LogCopyTempName(source, QCoreApplication::applicationPid(),
                                                     quint64(ticks.msecsSinceReference()));
                QFile::remove(temp);
                cancelFlag.store(CopyGo);
                if (CopyFileWithCancel(source, temp, cancelFlag)) {
                    cancelFlag.store(CopyGo);
                    CopyFileWithCancel(temp, destination, cancelFlag);
                    cancelFlag.store(CopyStop);
                }
                QFile::remove(temp);
            }
        } catch (...) {
        }
        std::lock_guard lock(copyTasks().mutex);
        --copyTasks().running;
        copyTasks().done.notify_all();
    });
}

bool WaitForLogCopy(int timeoutMs) {
    std::unique_lock lock(copyTasks().mutex);
    return copyTasks().done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [] { return copyTasks().running == 0; });
}

std::atomic<int>& LogCopyCancelFlag() {
    return cancelFlag;
}

QString LogCopyTempName(const QString& debugFile, qint64 pid, quint64 tickCount) {
    return debugFile + QStringLiteral(".COPY_") + QString::number(pid) + QLatin1Char('_') +
           QString::number(tickCount);
}

bool CopyFileWithCancel(const QString& source, const QString& destination,
                        const std::atomic<int>& flag) {
    QFile in(source);
    if (flag.load() != CopyGo || !in.open(QIODevice::ReadOnly)) {
        return false;
    }
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    constexpr qint64 ChunkSize = 64 * 1024;
    bool ok = true;
    while (ok && !in.atEnd()) {
        if (flag.load() != CopyGo) {
            ok = false;
            break;
        }
        const QByteArray chunk = in.read(ChunkSize);
        ok = !chunk.isEmpty() || in.atEnd();
        ok = ok && out.write(chunk) == chunk.size();
    }
    ok = ok && out.flush();
    out.close();
    if (!ok) {
        out.remove();
    }
    return ok;
}

void SetErrorBoxHook(ErrorBoxHook hook) {
    state().errorBox = std::move(hook);
}
void SetNetworkDriveQuery(NetworkDriveQuery query) {
    state().networkDrive = std::move(query);
}
void SetRemoteDebugFolder(const QString& folder) {
    state().remoteFolder = folder;
}
void SetDebugSleep(DebugSleep sleep) {
    state().sleep = std::move(sleep);
}
void SetLogLockedQuery(LogLockedQuery query) {
    state().logLocked = std::move(query);
}
