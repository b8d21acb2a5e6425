// Launching a program: the command-line quoting rule, waiting with and
// without a time limit, and the messages of a failed start and of a time-out.
#include "diagfixture.h"
#include "launch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

class TstLaunch : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/kv launch XXXXXX")};
    TMessageRecorder FMessages;

    // Writes an executable shell script into the temporary folder (whose name
    // holds a blank) and returns its path.
    QString script(const QString& name, const QByteArray& body) {
        const QString path = FDir.filePath(name);
        return WriteScript(path, "#!/bin/sh\n" + body + "\n") ? path : QString();
    }

private slots:
    void initTestCase() { QVERIFY(FDir.isValid()); }
    void init() { FMessages.Shown.clear(); }
    void cleanup() { SetLaunchWaitHook({}); }

    void quoting_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain name") << "kvsolve"
                                    << "kvsolve";
        QTest::newRow("blanks trimmed") << "  /usr/bin/prog  "
                                        << "/usr/bin/prog";
        QTest::newRow("blank in path") << "/opt/my tools/prog"
                                       << "\"/opt/my tools/prog\"";
        QTest::newRow("trimmed, then quoted") << " C:\\Program Files\\x.exe "
                                              << "\"C:\\Program Files\\x.exe\"";
        QTest::newRow("already enclosed") << "\"/opt/my tools/prog\""
                                          << "\"/opt/my tools/prog\"";
        QTest::newRow("enclosed after trimming") << "  \"a b\" "
                                                 << "\"a b\"";
        QTest::newRow("ampersand") << "a&b"
                                   << "\"a&b\"";
        QTest::newRow("open parenthesis") << "a(b"
                                          << "\"a(b\"";
        QTest::newRow("close parenthesis") << "a)b"
                                           << "\"a)b\"";
        QTest::newRow("less than") << "a<b"
                                   << "\"a<b\"";
        QTest::newRow("greater than") << "a>b"
                                      << "\"a>b\"";
        QTest::newRow("at sign") << "a@b"
                                 << "\"a@b\"";
        QTest::newRow("caret") << "a^b"
                               << "\"a^b\"";
        QTest::newRow("other punctuation stays") << "a-b_c.d/e\\f"
                                                 << "a-b_c.d/e\\f";
        QTest::newRow("opening quote only, blank") << "\"a b"
                                                   << "\"\"a b\"";
        QTest::newRow("single quote character") << "\""
                                                << "\"";
        QTest::newRow("empty") << ""
                               << "";
    }
    void quoting() {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        QCOMPARE(QuoteCommand(command), expected);
        QCOMPARE(BuildCommandLine(command, QStringLiteral("-sti x")),
                 expected + QStringLiteral(" -sti x"));
    }

    // A command in a folder with a blank runs, gets its parameters, runs in
    // the working folder and hands back its exit code.
    void runsAndReturnsExitCode() {
        const QString prog =
            script(QStringLiteral("exit code.sh"), "touch \"ran in here\"\nexit \"$1\"");
        QTemporaryDir work;
        int exitCode = -1;
        QVERIFY(RunCommand(prog, QStringLiteral("7"), work.path(), 2, 5, exitCode));
        QCOMPARE(exitCode, 7);
        QVERIFY(QFile::exists(QDir(work.path()).filePath(QStringLiteral("ran in here"))));
        QVERIFY(FMessages.Shown.isEmpty());
    }

    // Without a limit the program is waited for as long as it runs.
    void noLimitWaitsForTheEnd() {
        const QString prog = script(QStringLiteral("slow.sh"), "sleep 0.7\nexit 4");
        int exitCode = -1;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(RunCommand(prog, QString(), FDir.path(), 0, 0, exitCode));
        QVERIFY(timer.elapsed() >= 600);
        QCOMPARE(exitCode, 4);
        QVERIFY(FMessages.Shown.isEmpty());
    }

    // A limit of N seconds ends the process after 4N quarter-second waits.
    void limitCountsQuarterSeconds() {
        const QString prog = script(QStringLiteral("forever.sh"), "exec sleep 60");
        int waits = 0;
        SetLaunchWaitHook([&waits](QProcess& process, int msecs) {
            ++waits;
            [&] { QCOMPARE(msecs, 250); }();
            return process.state() == QProcess::NotRunning;
        });
        TCmdRec rec;
        rec.Command = prog;
        rec.Parameters = QStringLiteral("-a b");
        rec.WorkDir = FDir.path();
        rec.CmdMaxSec = 2;
        QVERIFY(!RunCmdRec(rec));
        QCOMPARE(waits, 8);
        QVERIFY(rec.TimedOut);
        QCOMPARE(rec.errcode, 0u);
        QCOMPARE(rec.ProcInf.TerminationCode, TimeLimitExitCode);
        QVERIFY(!rec.ProcInf.Process);
        // The process is gone.
        QVERIFY(rec.ProcInf.ProcessId > 0);
        QCOMPARE(::kill(static_cast<pid_t>(rec.ProcInf.ProcessId), 0), -1);

        QCOMPARE(FMessages.Shown.size(), 1);
        QCOMPARE(FMessages.Shown[0].Text, QStringLiteral("Time limit exceeded for:\r\nCommand: ") +
                                              prog +
                                              QStringLiteral("\r\nParameters: -a b\r\nWorkDir: ") +
                                              FDir.path() + QStringLiteral("\r\nLimit: 2 seconds"));
        QCOMPARE(FMessages.Shown[0].Kind, mkError);
        QCOMPARE(FMessages.Shown[0].Buttons, MessageButtons(4));
        QCOMPARE(FMessages.Shown[0].HelpContext, 0);
    }

    // The same in real time: a one-second limit ends a long sleep.
    void limitEndsALongRun() {
        const QString prog = script(QStringLiteral("long.sh"), "exec sleep 60");
        int exitCode = -1;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!RunCommand(prog, QString(), FDir.path(), 0, 1, exitCode));
        QVERIFY(timer.elapsed() >= 900);
        QCOMPARE(exitCode, 0);
        QCOMPARE(FMessages.Shown.size(), 1);
        QVERIFY(FMessages.Shown[0].Text.endsWith(QStringLiteral("\r\nLimit: 1 seconds")));
    }

    // A program that ends within its limit is not reported.
    void endsWithinLimit() {
        const QString prog = script(QStringLiteral("quick.sh"), "exit 0");
        int exitCode = -1;
        QVERIFY(RunCommand(prog, QString(), FDir.path(), 0, 5, exitCode));
        QCOMPARE(exitCode, 0);
        QVERIFY(FMessages.Shown.isEmpty());
    }

    void cannotStart_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("workDir");
        QTest::addColumn<QString>("sent");
        const QString notExecutable = FDir.filePath(QStringLiteral("plain.txt"));
        QFile f(notExecutable);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a program\n");
        f.close();
        QTest::newRow("no such program")
            << "/nonexistent folder/prog" << FDir.path() << "\"/nonexistent folder/prog\" -x";
        QTest::newRow("not executable")
            << notExecutable << FDir.path() << "\"" + notExecutable + "\" -x";
        QTest::newRow("no such working folder") << "/bin/true"
                                                << "/nonexistent/work"
                                                << "/bin/true -x";
        QTest::newRow("no command") << "   " << FDir.path() << " -x";
    }
    void cannotStart() {
        QFETCH(QString, command);
        QFETCH(QString, workDir);
        QFETCH(QString, sent);
        int exitCode = -1;
        QVERIFY(!RunCommand(command, QStringLiteral("-x"), workDir, 0, 0, exitCode));
        QCOMPARE(exitCode, 0);
        QCOMPARE(FMessages.Shown.size(), 1);
        const QString text = FMessages.Shown[0].Text;
        QVERIFY2(text.startsWith(QStringLiteral("LaunchCmd error:\r\n")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r\nSent: ") + sent +
                               QStringLiteral("\r\nWorkDir: ") + workDir),
                 qPrintable(text));
        // The reason is the system's text, one line, never empty.
        const QString reason = FMessages.Shown[0].Text.section(QStringLiteral("\r\n"), 1, 1);
        QVERIFY2(!reason.isEmpty() && !reason.startsWith(QStringLiteral("Sent: ")),
                 qPrintable(text));
        QCOMPARE(FMessages.Shown[0].Kind, mkError);
        QCOMPARE(FMessages.Shown[0].Buttons, MessageButtons(4));
        QCOMPARE(FMessages.Shown[0].HelpContext, 0);
    }
};

QTEST_GUILESS_MAIN(TstLaunch)
#include "tst_launch.moc"
