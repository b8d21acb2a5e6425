// The per-user VKRegKey settings and the start-up settings.
#include "settings.h"

#include "decimalsep.h"

#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TstSettings : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;

    QString keyFile() const { return VKRegKeyLocation(); }
    void store(const QString& name, const QVariant& value) {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNOK"));
        s.setValue(name, value);
        s.sync();
    }
    // Writes the configuration file as a user would edit it.
    void writeKeyFile(const QByteArray& contents) {
        QFile f(keyFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contents);
    }

private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir.path());
        QVERIFY(keyFile().startsWith(FDir.path()));
    }
    void init() { QFile::remove(keyFile()); }
    void cleanup() {
        QLocale::setDefault(QLocale::c());
        kv::SetForceDecimalPoint(false);
    }

    // With no key both settings are false and absent; reading creates the key.
    void noKeyMeansFalseAndCreatesIt() {
        QVERIFY(!QFile::exists(keyFile()));
        bool exists = true;
        QCOMPARE(ReadVKRegKeyBool(QStringLiteral("ForceDecimalPoint"), false, exists), false);
        QVERIFY(!exists);
        QVERIFY(QFile::exists(keyFile()));
        QCOMPARE(QFile(keyFile()).size(), 0);
        exists = true;
        QCOMPARE(ReadVKRegKeyBool(QStringLiteral("FlashTaskBar"), false, exists), false);
        QVERIFY(!exists);
        // An absent value gives the default, whatever it is.
        QCOMPARE(ReadVKRegKeyBool(QStringLiteral("FlashTaskBar"), true, exists), true);
        QVERIFY(!exists);

        const TStartupSettings s = ApplyStartupSettings(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(!s.ForceDecimalPoint);
        QVERIFY(!s.FlashTaskBar);
        QVERIFY(s.Error.isEmpty());
    }

    void storedValues_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("value");
        QTest::newRow("one") << QByteArray("UseSparse=1") << true << true;
        QTest::newRow("zero") << QByteArray("UseSparse=0") << true << false;
        QTest::newRow("any non-zero") << QByteArray("UseSparse=17") << true << true;
        QTest::newRow("negative") << QByteArray("UseSparse=-1") << true << true;
        QTest::newRow("largest 32-bit") << QByteArray("UseSparse=4294967295") << true << true;
        QTest::newRow("beyond 32 bits") << QByteArray("UseSparse=4294967296") << false << false;
        QTest::newRow("word") << QByteArray("UseSparse=yes") << false << false;
        QTest::newRow("true as text") << QByteArray("UseSparse=true") << false << false;
        QTest::newRow("decimal fraction") << QByteArray("UseSparse=1.5") << false << false;
        QTest::newRow("empty") << QByteArray("UseSparse=") << false << false;
    }
    void storedValues() {
        QFETCH(QByteArray, line);
        QFETCH(bool, readable);
        QFETCH(bool, value);
        writeKeyFile("[General]\n" + line + "\n");
        bool exists = false;
        if (readable) {
            QCOMPARE(ReadVKRegKeyBool(QStringLiteral("UseSparse"), !value, exists), value);
            QVERIFY(exists);
            QCOMPARE(DescribeVKRegKey(QStringLiteral("UseSparse")),
                     value ? QStringLiteral("VKRegKey setting for \"UseSparse\" is true.")
                           : QStringLiteral("VKRegKey setting for \"UseSparse\" is false."));
        } else {
            QVERIFY_THROWS_EXCEPTION(ERegistryException,
                                     ReadVKRegKeyBool(QStringLiteral("UseSparse"), false, exists));
            try {
                ReadVKRegKeyBool(QStringLiteral("UseSparse"), false, exists);
            } catch (const ERegistryException& e) {
                QCOMPARE(QString::fromLatin1(e.className()), QStringLiteral("ERegistryException"));
                QCOMPARE(QString::fromStdString(e.message()),
                         QStringLiteral("Invalid data type for 'UseSparse'"));
            }
        }
    }

    // Integers stored by a program (not typed by hand) read the same way.
    void integersStoredByAProgram() {
        store(QStringLiteral("FlashTaskBar"), 1);
        store(QStringLiteral("ForceDecimalPoint"), 0);
        bool exists = false;
        QCOMPARE(ReadVKRegKeyBool(QStringLiteral("FlashTaskBar"), false, exists), true);
        QVERIFY(exists);
        QCOMPARE(ReadVKRegKeyBool(QStringLiteral("ForceDecimalPoint"), true, exists), false);
        QVERIFY(exists);
    }

    void describeMissing() {
        QCOMPARE(DescribeVKRegKey(QStringLiteral("UseSparse")),
                 QStringLiteral("There is no VKRegKey setting for \"UseSparse\"."));
    }

    // A locale with a decimal comma: without the setting numbers use the
    // comma, with "ForceDecimalPoint" set to 1 they use '.' both ways.
    void forceDecimalPointUnderACommaLocale() {
        const QLocale german(QLocale::German, QLocale::Germany);
        QCOMPARE(german.decimalPoint(), QStringLiteral(","));

        TStartupSettings s = ApplyStartupSettings(german);
        QVERIFY(!s.ForceDecimalPoint);
        QCOMPARE(kv::ProgramDecimalSeparator(), QLatin1Char(','));
        QCOMPARE(kv::CsvSeparator(), QLatin1Char(';'));
        QCOMPARE(QLocale().toString(2.5, 'f', 2), QStringLiteral("2,50"));
        bool ok = false;
        QCOMPARE(QLocale().toDouble(QStringLiteral("2,5"), &ok), 2.5);
        QVERIFY(ok);

        writeKeyFile("[General]\nForceDecimalPoint=1\n");
        s = ApplyStartupSettings(german);
        QVERIFY(s.ForceDecimalPoint);
        QVERIFY(s.Error.isEmpty());
        QVERIFY(kv::ForceDecimalPoint());
        QCOMPARE(kv::ProgramDecimalSeparator(), QLatin1Char('.'));
        QCOMPARE(kv::CsvSeparator(), QLatin1Char(','));
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
        QCOMPARE(QLocale().toString(-1234.5, 'f', 2), QStringLiteral("-1234.50"));
        QCOMPARE(QLocale().toDouble(QStringLiteral("2.25"), &ok), 2.25);
        QVERIFY(ok);
        QLocale().toDouble(QStringLiteral("2,25"), &ok);
        QVERIFY(!ok);
    }

    // A locale that already has a decimal point stays as it is.
    void forceDecimalPointKeepsAPointLocale() {
        writeKeyFile("[General]\nForceDecimalPoint=1\n");
        const QLocale british(QLocale::English, QLocale::UnitedKingdom);
        ApplyStartupSettings(british);
        QCOMPARE(QLocale(), british);
    }

    // A setting stored as text does not stop the program: it counts as false
    // and the reason is handed back for the report.
    void unreadableSettingAtStartUp() {
        writeKeyFile("[General]\nForceDecimalPoint=on\nFlashTaskBar=1\n");
        const QLocale german(QLocale::German, QLocale::Germany);
        const TStartupSettings s = ApplyStartupSettings(german);
        QVERIFY(!s.ForceDecimalPoint);
        QVERIFY(s.FlashTaskBar);
        QCOMPARE(s.Error, QStringLiteral("Invalid data type for 'ForceDecimalPoint'"));
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        QCOMPARE(kv::ProgramDecimalSeparator(), QLatin1Char(','));
    }
};

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
