// The about box's line on the VARNOK suite, run against a fake suite folder
// whose "praxel.exe" is a small shell script writing the INI report.
#include "diagfixture.h"
#include "suite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// A praxel.exe that checks its command line, reads the report path from the
// second line of its input file and writes the report body there, together
// with its working folder and the input file's first and third lines.
QByteArray praxelScript(const QByteArray& reportBody) {
    return "#!/bin/sh\n"
           "[ \"$1\" = \"-sti\" ] || exit 9\n"
           "[ $# -eq 2 ] || exit 8\n"
           "rpt=$(sed -n 2p \"$2\" | tr -d '\\r')\n"
           "first=$(sed -n 1p \"$2\" | tr -d '\\r')\n"
           "third=$(sed -n 3p \"$2\" | tr -d '\\r')\n"
           "cat > \"$rpt\" <<'END'\n" +
           reportBody +
           "\nEND\n"
           "printf '[run]\\ncwd=%s\\nfirst=%s\\nthird=\"%s\"\\n' \"$(pwd)\" \"$first\" \"$third\" "
           ">> \"$rpt\"\n";
}

} // namespace

class TstSuiteLine : public QObject {
    Q_OBJECT

    TMessageRecorder FMessages;

private slots:
    void init() { FMessages.Shown.clear(); }

    void reportOutcomes_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QString>("expected");
        QTest::newRow("executable image, release 1.1x with closing >")
            << QByteArray("[result]\nrelease=1.12>\nProgram version=e")
            << "Executable-Image Version of VARNOK\r\nVARNOK Release: 11.12";
        QTest::newRow("source code, only one > removed")
            << QByteArray("[Result]\nRELEASE=2.3>>\nprogram VERSION=s")
            << "Source Code Version of VARNOK\r\nVARNOK Release: 2.3>";
        QTest::newRow("unknown program version, release 1.1")
            << QByteArray("[result]\nrelease=1.1\nProgram version=x")
            << "Unknown Version of VARNOK\r\nVARNOK Release: 11.1";
        QTest::newRow("1.1 only at the start counts")
            << QByteArray("[result]\nrelease=2.1.1\nProgram version=e")
            << "Executable-Image Version of VARNOK\r\nVARNOK Release: 2.1.1";
        QTest::newRow("two characters, the > goes")
            << QByteArray("[result]\nrelease=5>\nProgram version=e")
            << "Executable-Image Version of VARNOK\r\nVARNOK Release: 5";
        QTest::newRow("release of one character")
            << QByteArray("[result]\nrelease=7\nProgram version=e") << "Cannot get VARNOK version";
        QTest::newRow("keys missing: ? is one character")
            << QByteArray("[result]\nother=1") << "Cannot get VARNOK version";
        QTest::newRow("keys in another section")
            << QByteArray("[other]\nrelease=1.12\nProgram version=e")
            << "Cannot get VARNOK version";
        QTest::newRow("release with comma and quotes")
            << QByteArray("[result]\nrelease=\"3.0, beta\"\nProgram version=e")
            << "Executable-Image Version of VARNOK\r\nVARNOK Release: 3.0, beta";
    }
    void reportOutcomes() {
        QFETCH(QByteArray, report);
        QFETCH(QString, expected);
        QTemporaryDir suite;
        // A temporary folder with a blank: the input path must reach praxel
        // as one argument.
        QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/kv temp XXXXXX"));
        QVERIFY(suite.isValid() && temp.isValid());
        QVERIFY(WriteScript(suite.filePath(PraxelName), praxelScript(report)));

        const QString line = VarnokSuiteLine(suite.path(), temp.path());
        QCOMPARE(line, QStringLiteral("VARNOK folder: ") + suite.path() + CRLF + expected);
        QVERIFY2(FMessages.Shown.isEmpty(), qPrintable(FMessages.Texts().join('\n')));

        // praxel ran in the temporary folder and got the input file described.
        const QString rpt = temp.filePath(QStringLiteral("praxel.rpt"));
        QCOMPARE(ReadIniString(rpt, "run", "cwd", "?"), temp.path());
        QCOMPARE(ReadIniString(rpt, "run", "first", "?"), QStringLiteral("RPT"));
        QCOMPARE(ReadIniString(rpt, "run", "third", "?"), QStringLiteral("  "));
    }

    void oldFilesAreReplaced() {
        QTemporaryDir suite;
        QTemporaryDir temp;
        QVERIFY(WriteScript(suite.filePath(PraxelName),
                            praxelScript("[result]\nrelease=4.5\nProgram version=e")));
        // A stale report from an earlier run must not be read.
        QVERIFY(WriteFile(temp.filePath("praxel.rpt"), "[result]\nrelease=9.9\n"));
        QVERIFY(WriteFile(temp.filePath("praxrpt.sti"), "stale"));
        QVERIFY(VarnokSuiteLine(suite.path(), temp.path()).endsWith("VARNOK Release: 4.5"));
    }

    void failures() {
        QTemporaryDir suite;
        QTemporaryDir temp;
        const QString head = QStringLiteral("VARNOK folder: ") + suite.path() + CRLF;

        QCOMPARE(VarnokSuiteLine(QString(), temp.path()),
                 QStringLiteral("Cannot locate VARNOK folder"));
        QCOMPARE(VarnokSuiteLine(suite.path(), temp.path()),
                 head + QStringLiteral("Cannot locate PRAXEL.EXE"));
        QVERIFY(FMessages.Shown.isEmpty());

        // A praxel.exe that writes nothing.
        QVERIFY(WriteScript(suite.filePath(PraxelName), "#!/bin/sh\nexit 0\n"));
        QCOMPARE(VarnokSuiteLine(suite.path(), temp.path()),
                 head + QStringLiteral("cannot locate: ") + temp.filePath("praxel.rpt"));

        // A praxel.exe that cannot run: the launch reports why, the line says so.
        QVERIFY(WriteFile(suite.filePath(PraxelName), "not a program"));
        QCOMPARE(VarnokSuiteLine(suite.path(), temp.path()),
                 head + QStringLiteral("Cannot run PRAXEL.EXE"));
        QCOMPARE(FMessages.Shown.size(), 1);
        QVERIFY(FMessages.Shown[0].Text.startsWith("LaunchCmd error:\r\n"));

        // An old report that cannot be deleted (a folder of that name).
        QVERIFY(QDir(temp.path()).mkpath("praxel.rpt/keep"));
        QCOMPARE(VarnokSuiteLine(suite.path(), temp.path()),
                 head + QStringLiteral("Cannot delete: ") + temp.filePath("praxel.rpt"));
    }

    void workFolderFallsBackToSuite() {
        QTemporaryDir suite;
        QVERIFY(WriteScript(suite.filePath(PraxelName),
                            praxelScript("[result]\nrelease=4.5\nProgram version=s")));
        const QString line = VarnokSuiteLine(suite.path(), suite.filePath("no such folder"));
        QVERIFY2(line.endsWith("Source Code Version of VARNOK\r\nVARNOK Release: 4.5"),
                 qPrintable(line));
        QCOMPARE(ReadIniString(suite.filePath("praxel.rpt"), "run", "cwd", "?"), suite.path());
    }

    void suiteFolder() {
        QTemporaryDir suite;
        QTemporaryDir cwd;
        const QString oldCwd = QDir::currentPath();
        // A folder literally named "C:\VK" here must not pass for the suite.
        QVERIFY(QDir(cwd.path()).mkdir(QStringLiteral("C:\\VK")));
        QVERIFY(QDir::setCurrent(cwd.path()));

        ScopedEnv vkdir("VKDIR", (suite.path() + "/").toLocal8Bit());
        const QString withVkdir = FindVarnokFolder();
        vkdir.Set(suite.filePath("missing").toLocal8Bit());
        const QString missing = FindVarnokFolder();
        vkdir.Set("C:\\VK");
        const QString driveLetter = FindVarnokFolder();
        vkdir.Set(std::nullopt);
        const QString unset = FindVarnokFolder();

        QDir::setCurrent(oldCwd);
        QCOMPARE(withVkdir, suite.path());
        QCOMPARE(missing, QString());
        QCOMPARE(driveLetter, QString());
        QCOMPARE(unset, QString());
        QCOMPARE(VarnokSuiteLine(unset, QDir::tempPath()),
                 QStringLiteral("Cannot locate VARNOK folder"));
    }

    void trailingSeparators_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("folder") << " /opt/vk/ "
                                << "/opt/vk";
        QTest::newRow("several") << "/opt/vk//"
                                 << "/opt/vk";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("drive root") << "C:\\"
                                    << "C:\\";
        QTest::newRow("drive folder") << "C:\\VK\\"
                                      << "C:\\VK";
    }
    void trailingSeparators() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(WithoutTrailingSeparator(path), expected);
    }
};

QTEST_GUILESS_MAIN(TstSuiteLine)
#include "tst_suiteline.moc"
