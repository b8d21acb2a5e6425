#include "launch.h"

#include "workarea.h"

#include <QProcess>
#include <utility>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

LaunchWaitHook& waitHook() {
    static LaunchWaitHook hook;
    return hook;
}

// Waits up to msecs for the process to end; true when it has ended.
bool waitQuarter(QProcess& process, int msecs) {
    if (const auto& hook = waitHook()) {
        return hook(process, msecs);
    }
    // Ends early when the process does; a process that has already ended
    // makes waitForFinished return false at once, hence the state check.
    process.waitForFinished(msecs);
    return process.state() == QProcess::NotRunning;
}

// The system's text for the reason a process could not be started.
QString launchErrorText(const QProcess& process) {
    const QString text = process.errorString().trimmed();
    if (process.error() == QProcess::UnknownError) {
        return QStringLiteral("errcod=0");
    }
    if (text.isEmpty()) {
        return QStringLiteral("format message error");
    }
    return text;
}

void releaseProcess(TProcInf& inf) {
    inf.Process.reset();
    inf.ProcessId = 0;
}

} // namespace

TCmdRec::TCmdRec() = default;
TCmdRec::~TCmdRec() = default;
TCmdRec::TCmdRec(TCmdRec&&) noexcept = default;
TCmdRec& TCmdRec::operator=(TCmdRec&&) noexcept = default;

QString QuoteCommand(const QString& command) {
    const QString cmd = command.trimmed();
    if (cmd.size() > 1 && cmd.startsWith(QLatin1Char('"')) && cmd.endsWith(QLatin1Char('"'))) {
        return cmd;
    }
    static const QString special = QStringLiteral(" &()<>@^");
    for (const QChar ch : cmd) {
        if (special.contains(ch)) {
            return QLatin1Char('"') + cmd + QLatin1Char('"');
        }
    }
    return cmd;
}

QString BuildCommandLine(const QString& command, const QString& parameters) {
    return QuoteCommand(command) + QLatin1Char(' ') + parameters;
}

bool LaunchCmd(TCmdRec& rec) {
    const QString commandLine = BuildCommandLine(rec.Command, rec.Parameters);
    auto process = std::make_unique<QProcess>();
    // Nothing of ours is handed down: the new process reads and writes nowhere.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setWorkingDirectory(rec.WorkDir);

#ifdef Q_OS_WIN
    QString program = QuoteCommand(rec.Command);
    if (program.size() > 1 && program.startsWith(QLatin1Char('"'))) {
        program = program.mid(1, program.size() - 2);
    }
    process->setProgram(program);
    process->setNativeArguments(rec.Parameters);
    const std::wstring title = rec.WinTitle.toStdWString();
    const WORD show = static_cast<WORD>(rec.ShowCmd);
    process->setCreateProcessArgumentsModifier(
        [title, show](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = show;
            if (!title.empty()) {
                args->startupInfo->lpTitle = const_cast<wchar_t*>(title.c_str());
            }
            args->inheritHandles = false;
        });
#else
    // The window show code and the console title have no counterpart here.
    QStringList parts = QProcess::splitCommand(commandLine);
    if (!parts.isEmpty()) {
        process->setProgram(parts.takeFirst());
        process->setArguments(parts);
    }
#endif

    bool started = false;
    if (!process->program().isEmpty()) {
        process->start(QIODevice::NotOpen);
        started = process->waitForStarted(-1);
    }
    if (!started) {
        const QString reason = process->program().isEmpty() ? QStringLiteral("No program to run")
                                                            : launchErrorText(*process);
        ShowMessageDialog(QStringLiteral("LaunchCmd error:\r\n") + reason +
                              QStringLiteral("\r\nSent: ") + commandLine +
                              QStringLiteral("\r\nWorkDir: ") + rec.WorkDir,
                          mkError, mbOK, 0);
        return false;
    }
    rec.ProcInf.ProcessId = process->processId();
    rec.ProcInf.TerminationCode = 0;
    rec.ProcInf.Process = std::move(process);
    return true;
}

bool RunCmdRec(TCmdRec& rec) {
    const qint64 limit = static_cast<qint64>(rec.CmdMaxSec) * 4; // quarter seconds
    qint64 counter = 0;
    if (!LaunchCmd(rec)) {
        return false;
    }
    QProcess& process = *rec.ProcInf.Process;
    for (;;) {
        ++counter;
        if (limit > 0 && counter > limit) {
            rec.TimedOut = true;
            process.kill();
            rec.ProcInf.TerminationCode = TimeLimitExitCode;
            ShowMessageDialog(QStringLiteral("Time limit exceeded for:\r\nCommand: ") +
                                  rec.Command + QStringLiteral("\r\nParameters: ") +
                                  rec.Parameters + QStringLiteral("\r\nWorkDir: ") + rec.WorkDir +
                                  QStringLiteral("\r\nLimit: ") + QString::number(rec.CmdMaxSec) +
                                  QStringLiteral(" seconds"),
                              mkError, mbOK, 0);
            // Reap the ended process so that it leaves nothing behind.
            process.waitForFinished(1000);
            rec.ProcInf.Process.reset();
            return false;
        }
        if (waitQuarter(process, 250)) {
            rec.errcode = static_cast<quint32>(process.exitCode());
            releaseProcess(rec.ProcInf);
            return true;
        }
    }
}

bool RunCommand(const QString& Command, const QString& Parameters, const QString& WorkDir,
                int ShowCmd, int CmdMaxSec, int& ExitCode) {
    TCmdRec rec;
    rec.Command = Command;
    rec.Parameters = Parameters;
    rec.WinTitle = Command;
    rec.WorkDir = WorkDir;
    rec.CmdMaxSec = CmdMaxSec;
    rec.ShowCmd = ShowCmd;
    const bool ok = RunCmdRec(rec);
    ExitCode = static_cast<int>(rec.errcode);
    return ok;
}

void SetLaunchWaitHook(LaunchWaitHook hook) {
    waitHook() = std::move(hook);
}
