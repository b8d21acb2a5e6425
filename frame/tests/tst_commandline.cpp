// WinVELMAR's command line: --help, --version and one optional file.
#include "commandline.h"

#include <QtTest>

class TstCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("version");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error"); // part of the message; empty: none
        QTest::newRow("nothing") << QStringList{} << false << false << ""
                                 << "";
        QTest::newRow("file") << QStringList{"lab 3.kvx"} << false << false << "lab 3.kvx"
                              << "";
        QTest::newRow("file after --")
            << QStringList{"--", "-odd.kvx"} << false << false << "-odd.kvx"
            << "";
        QTest::newRow("--version") << QStringList{"--version"} << false << true << ""
                                   << "";
        QTest::newRow("-v") << QStringList{"-v"} << false << true << ""
                            << "";
        QTest::newRow("--help") << QStringList{"--help"} << true << false << ""
                                << "";
        QTest::newRow("-h") << QStringList{"-h"} << true << false << ""
                            << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << false << false << ""
                                        << "bogus";
        QTest::newRow("a toolkit option is unknown here")
            << QStringList{"-platform", "offscreen", "--version"} << false << true << ""
            << "platform";
        QTest::newRow("two files") << QStringList{"a.kvx", "b.kvx"} << false << false << ""
                                   << "Only one file";
        QTest::newRow("empty file name") << QStringList{""} << false << false << ""
                                         << "file name is empty";
    }
    void parse() {
        QFETCH(QStringList, args);
        QFETCH(bool, help);
        QFETCH(bool, version);
        QFETCH(QString, file);
        QFETCH(QString, error);
        const TCommandLine c = ParseCommandLine(QStringList{"WinVELMAR"} + args);
        QCOMPARE(c.Help, help);
        QCOMPARE(c.Version, version);
        QCOMPARE(c.FileName, file);
        if (error.isEmpty()) {
            QCOMPARE(c.Error, QString());
        } else {
            QVERIFY2(c.Error.contains(error), qPrintable(c.Error));
        }
    }

    void texts() {
        const QString help = CommandLineHelpText();
        QVERIFY2(help.startsWith("Usage: WinVELMAR [options] [FILE]\n"), qPrintable(help));
        QVERIFY(help.contains("--version") && help.contains("--help"));
        QVERIFY(!help.contains("--help-all"));
        const QStringList version = ProgramVersionText().split('\n');
        QCOMPARE(version[0], QString("WinVELMAR " WINVELMAR_VERSION));
        QVERIFY(version[1].contains("GPL-3.0-or-later"));
    }

    // The running program's arguments, the toolkit's options already removed.
    void programCommandLine() {
        QCOMPARE(ReadProgramCommandLine(), std::optional<int>());
        QCOMPARE(ProgramCommandLine().FileName, QString());
        QVERIFY(ProgramCommandLine().Error.isEmpty());
    }
};

QTEST_MAIN(TstCommandLine)
#include "tst_commandline.moc"
