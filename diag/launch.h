// Launching another program: one run described by a TCmdRec, started from a
// command line, waited for in quarter seconds with an optional time limit.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

class QProcess;

// The process held by a TCmdRec between its start and its end.
struct TProcInf {
    std::unique_ptr<QProcess> Process; // null when no process is held
    qint64 ProcessId = 0;
    // The exit code given to a process that the time limit ended.
    quint32 TerminationCode = 0;
};

// One program run.
struct TCmdRec {
    QString WinTitle;    // title of a console window of the new process; empty: default
    QString Command;     // the program to run (path or name)
    QString Parameters;  // the rest of the command line
    QString WorkDir;     // working folder of the new process
    qint32 ShowCmd = 0;  // how the new process's main window is first shown (0 hidden, 2 minimised)
    TProcInf ProcInf;    // the started process; empty when none is held
    quint32 errcode = 0; // exit code of the process once it has ended by itself
    qint32 CmdMaxSec = 0;  // time limit in seconds; 0 or less: no limit
    bool TimedOut = false; // set when the time limit ended the process

    TCmdRec();
    ~TCmdRec();
    TCmdRec(TCmdRec&&) noexcept;
    TCmdRec& operator=(TCmdRec&&) noexcept;
};

// The exit code that a process ended by the time limit is given.
inline constexpr quint32 TimeLimitExitCode = 3;

// The command part of a command line: trimmed, and enclosed in double quotes
// when it holds a blank or one of & ( ) < > @ ^ and is not enclosed already.
QString QuoteCommand(const QString& command);
// The command line of a launch: the quoted command, a blank and the parameters.
QString BuildCommandLine(const QString& command, const QString& parameters);

// Starts the process of rec and fills rec.ProcInf. On failure shows the
// "LaunchCmd error:" message and returns false.
bool LaunchCmd(TCmdRec& rec);
// Starts the process of rec and waits for its end or for the time limit. True
// when the process ended by itself; its exit code is then in rec.errcode. A
// process that exceeds the limit is ended with exit code 3, reported with the
// "Time limit exceeded for:" message, and the result is false.
bool RunCmdRec(TCmdRec& rec);
// Runs one command and waits for it (CmdMaxSec <= 0: as long as it runs).
// ExitCode is the process's exit code, 0 when it did not end by itself.
bool RunCommand(const QString& Command, const QString& Parameters, const QString& WorkDir,
                int ShowCmd, int CmdMaxSec, int& ExitCode);

// Tests replace the quarter-second wait of RunCmdRec: the hook is called with
// the running process and the wait in milliseconds, and returns true when the
// process has ended. Without a hook the process is waited for in real time.
using LaunchWaitHook = std::function<bool(QProcess& process, int msecs)>;
void SetLaunchWaitHook(LaunchWaitHook hook);
