// The built program, run as a user's session runs it: a termination signal
// ends it the orderly way, with "Program End." in its log and exit code 0,
// within two seconds.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/types.h>

namespace {

// The day's log in the program's log folder; empty while there is none.
QString LogText(const QString& folder) {
    const QStringList logs = QDir(folder).entryList({QStringLiteral("DEBUG_*.log")}, QDir::Files);
    if (logs.size() != 1) {
        return {};
    }
    QFile file(QDir(folder).filePath(logs.first()));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace

class TestProgramEnd : public QObject {
    Q_OBJECT

private slots:
    void signalEndsTheWindowInOrder_data() {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalEndsTheWindowInOrder() {
        QFETCH(int, sig);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TEMP"), temp.path());
        env.insert(QStringLiteral("COMPUTERNAME"), QStringLiteral("ENDTEST"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), temp.path() + QStringLiteral("/config"));
        env.remove(QStringLiteral("VKDEBUGINFOLEVEL"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(temp.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(WINVELMAR_PROGRAM), {});
        QVERIFY(program.waitForStarted());

        // "Program Start." is written once the signals are caught; the window
        // follows at once.
        const QString logFolder = temp.path() + QStringLiteral("/VKDebugInfo");
        QTRY_VERIFY_WITH_TIMEOUT(LogText(logFolder).contains(QStringLiteral("Program Start.")),
                                 20000);
        QTest::qWait(500);
        QCOMPARE(program.state(), QProcess::Running);

        ::kill(static_cast<pid_t>(program.processId()), sig);
        QVERIFY2(program.waitForFinished(2000), "still running 2 s after the signal");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QString log = LogText(logFolder);
        const qsizetype start = log.indexOf(QStringLiteral("Program Start."));
        QVERIFY(start >= 0);
        QVERIFY2(log.indexOf(QStringLiteral("Program End."), start) > start, qPrintable(log));
        QVERIFY(!log.contains(QStringLiteral("DEBUG_MSG_ERROR")));
    }
};

QTEST_GUILESS_MAIN(TestProgramEnd)
#include "tst_programend.moc"
