// The about box: its controls, keys, the two animations with the weekday's
// sound, the diagnostics button and ShowAboutBox with and without a suite.
#include "../../frame/tests/modalwatch.h"
#include "aboutbox.h"
#include "diagfixture.h"
#include "diagform.h"
#include "helpselector.h"
#include "sounds.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include <unistd.h>

namespace {

const QString SuiteLine =
    QStringLiteral("VARNOK folder: /opt/vk\r\nExecutable-Image Version of VARNOK\r\n"
                   "VARNOK Release: 11.12");

// Records the colour of every palette change of a label, and its moves.
class TColourRecorder : public QObject {
public:
    explicit TColourRecorder(QLabel* label) : FLabel(label) { label->installEventFilter(this); }
    QList<QColor> Colours;
    QList<int> Positions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FLabel && event->type() == QEvent::PaletteChange) {
            Colours << FLabel->palette().color(QPalette::WindowText);
        }
        if (watched == FLabel && event->type() == QEvent::Move) {
            Positions << FLabel->x();
        }
        return false;
    }

private:
    QLabel* FLabel;
};

struct TSoundRequest {
    QString Name;
    TSoundAction Action;
    bool operator==(const TSoundRequest& o) const { return Name == o.Name && Action == o.Action; }
};

} // namespace

class TstAboutBox : public QObject {
    Q_OBJECT

    TMessageRecorder FMessages;

    static QIcon icon() {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::darkGreen);
        return QIcon(pixmap);
    }

private slots:
    void init() { FMessages.Shown.clear(); }
    void cleanup() {
        SetSoundHook({});
        TxrAboutBox::SetDateSource({});
        TxrAboutBox::SetDiagnosticsHook({});
        TxrAboutBox::SetUrlOpener({});
        HelpSelector::SetTopicHook({});
    }

    void controls() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        QCOMPARE(box.windowTitle(), QStringLiteral(" About WinVELMAR"));
        QCOMPARE(box.ProgramIcon->pixmap().size(), QSize(32, 32));
        QCOMPARE(box.Label1->text(), QStringLiteral("WinVELMAR"));
        QVERIFY(box.Label1->font().bold());
        QCOMPARE(box.Label1->font().pixelSize(), 31);
        QVERIFY(box.Label1->alignment() & Qt::AlignHCenter);
        QCOMPARE(box.ProductName->text(), QStringLiteral("Version 2.00,  8/Aug/2017"));
        QCOMPARE(box.Label5->text(), QString(SuiteLine).replace("\r\n", "\n"));
        QCOMPARE(box.OKButton->text(), QStringLiteral("&OK"));
        QCOMPARE(box.HelpBtn->text(), QStringLiteral("&Help"));
        QCOMPARE(box.DiagBtn->text(), QStringLiteral("&Diagnostics"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(!box.HelpBtn->isVisible());
        QVERIFY(box.DiagBtn->isVisible());
        // The credit lines: none empty, the middle one a link.
        for (const QLabel* credit : {box.CreditLabel1, box.Label2, box.CreditLabel3}) {
            QVERIFY(!credit->text().trimmed().isEmpty());
            QVERIFY(box.CreditLabel1->y() <= credit->y());
        }
        QVERIFY(box.CreditLabel1->y() < box.Label2->y() && box.Label2->y() < box.CreditLabel3->y());
        // The licence line under the credits, naming the licence by its identifier.
        QVERIFY(box.LicenceLabel->isVisible());
        QVERIFY(box.LicenceLabel->text().contains("GPL-3.0-or-later"));
        QVERIFY(box.CreditLabel3->y() < box.LicenceLabel->y() &&
                box.LicenceLabel->y() < box.Label4->y());
        QVERIFY(box.Label2->font().underline());
        QCOMPARE(box.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
        QCOMPARE(box.Label2->cursor().shape(), Qt::PointingHandCursor);
        const QFont normal = box.font();
        if (normal.pixelSize() > 0) {
            QCOMPARE(box.Label2->font().pixelSize(), int(std::nearbyint(1.1 * normal.pixelSize())));
        }
        // Every control lies inside the box.
        for (QWidget* w : box.findChildren<QWidget*>()) {
            if (w->isVisible() && w != box.Label1) {
                const QRect r(w->mapTo(&box, QPoint(0, 0)), w->size());
                QVERIFY2(box.rect().contains(r), qPrintable(w->objectName()));
            }
        }
    }

    // The file line names the running executable as it is.
    void fileLineNamesTheRunningFile() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        const QString path = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
        QCOMPARE(box.Label4->text(), "File: " + path);
        QVERIFY(QFileInfo(QDir::fromNativeSeparators(box.Label4->text().mid(6))).isFile());
    }

    // Run from a folder and a file name with capitals, the file line still
    // names an existing file: this test program, linked there, runs the test
    // above.
    void fileLineKeepsCapitals() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid() && QDir(dir.path()).mkdir("Mixed Case"));
        const QString copy = dir.filePath("Mixed Case/TstAboutBox");
        const QString self = QCoreApplication::applicationFilePath();
        if (::link(QFile::encodeName(self).constData(), QFile::encodeName(copy).constData()) != 0) {
            QVERIFY(QFile::copy(self, copy));
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(copy, {"fileLineNamesTheRunningFile"});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAll().constData());
    }

    void helpButton() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 77, SuiteLine);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(box.HelpBtn->isVisible());
        QList<int> topics;
        HelpSelector::SetTopicHook([&topics](int context) { topics << context; });
        box.HelpBtn->click();
        QCOMPARE(topics, QList<int>{77});
        QVERIFY(box.isVisible());
    }

    void escapeClosesWithOk() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        WhenModalShown([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(box.exec(), 1);
    }

    void ctrlCCopiesTheTexts() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        const QString expected =
            QStringList{"WinVELMAR",        "Version 2.00,  8/Aug/2017", box.CreditLabel1->text(),
                        box.Label2->text(), box.CreditLabel3->text(),    box.Label4->text(),
                        SuiteLine}
                .join("\r\n");
        QCOMPARE(box.AboutText(), expected);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    }

    void label1StepsThroughColours() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.SetAnimationIntervals(5, 1);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        TColourRecorder recorder(box.Label1);
        const int x0 = box.Label1->x();
        QTest::mouseClick(box.Label1, Qt::LeftButton);
        // The steps run from the event loop: the box answers meanwhile.
        QVERIFY(box.Animating());
        QTRY_VERIFY_WITH_TIMEOUT(box.Label1Offset() >= 9, 2000);
        box.DiagBtn->setFocus();
        QVERIFY(box.DiagBtn->hasFocus());
        QTRY_VERIFY_WITH_TIMEOUT(!box.Animating(), 5000);
        QCOMPARE(recorder.Colours, TxrAboutBox::Label1Colours());
        QCOMPARE(recorder.Colours.size(), 16);
        QCOMPARE(recorder.Colours.back(), QColor(Qt::black));
        // 3 pixels to the right after each colour, then back to its place.
        QList<int> expected;
        for (int step = 1; step <= 16; ++step) {
            expected << x0 + 3 * step;
        }
        expected << x0;
        QCOMPARE(recorder.Positions, expected);
    }

    void iconShakeWithSound_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("bee");
        // 2024-03-03 was a Sunday.
        const char* names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                               "Thursday", "Friday", "Saturday"};
        for (int d = 0; d < 7; ++d) {
            QTest::newRow(names[d]) << QDate(2024, 3, 3).addDays(d) << (d % 2 == 0);
        }
    }
    void iconShakeWithSound() {
        QFETCH(QDate, day);
        QFETCH(bool, bee);
        QList<TSoundRequest> sounds;
        SetSoundHook([&sounds](const QString& name, TSoundAction action) {
            sounds << TSoundRequest{name, action};
        });
        TxrAboutBox::SetDateSource([day] { return day; });
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.SetAnimationIntervals(1, 1);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QPoint home = box.ProgramIcon->pos();
        TColourRecorder recorder(box.ProgramIcon);
        QTest::mouseClick(box.ProgramIcon, Qt::LeftButton);
        QVERIFY(box.Animating());
        QTRY_VERIFY_WITH_TIMEOUT(!box.Animating(), 5000);
        QCOMPARE(box.ProgramIcon->pos(), home);
        // 30 times 2 pixels to the left and back.
        QList<int> expectedMoves;
        for (int shake = 0; shake < 30; ++shake) {
            expectedMoves << home.x() - 2 << home.x();
        }
        QCOMPARE(recorder.Positions, expectedMoves);
        const QList<TSoundRequest> expected =
            bee ? QList<TSoundRequest>{{"BEE", TSoundAction::saLoop}, {"BEE", TSoundAction::saStop}}
                : QList<TSoundRequest>{{"POP", TSoundAction::saPlay}};
        QVERIFY(sounds == expected);
    }

    void soundsSkippedWithoutPlayer() {
        QVERIFY(!SoundsAvailable());
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.SetAnimationIntervals(1, 1);
        box.ProgramIconClick();
        QTRY_VERIFY_WITH_TIMEOUT(!box.Animating(), 3000);
        QVERIFY(FMessages.Shown.isEmpty());
    }

    void link() {
        QList<QUrl> opened;
        TxrAboutBox::SetUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.Label2, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{TxrAboutBox::AuthorWebPage()});
        QVERIFY(TxrAboutBox::AuthorWebPage().isValid());
    }

    void diagnosticsButton() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QString caption;
        bool bold = false;
        QString report;
        TxrAboutBox::SetDiagnosticsHook([&](const QString& text) {
            caption = box.DiagBtn->text();
            bold = box.DiagBtn->font().bold();
            report = text;
        });
        box.DiagBtn->click();
        QCOMPARE(caption, QStringLiteral("Please wait"));
        QVERIFY(bold);
        QCOMPARE(box.DiagBtn->text(), QStringLiteral("&Diagnostics"));
        QVERIFY(!box.DiagBtn->font().bold());
        QVERIFY(report.contains("\r\nSECTION 1: Program and compiler\r\nProgram: WinVELMAR\r\n"
                                "Version 2.00,  8/Aug/2017\r\n"));
        QVERIFY(report.contains("\r\nSECTION 14: "));
    }

    void diagnosticsWindowFromTheBox() {
        TxrAboutBox box(icon(), "WinVELMAR", 2.0, 0, SuiteLine);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QString memo;
        WhenModalShown([&memo](QWidget* modal) {
            if (auto* form = qobject_cast<TxrDiagForm*>(modal)) {
                memo = form->Memo1->toPlainText();
                form->OKButton->click();
            }
        });
        box.DiagBtn->click();
        QVERIFY(memo.contains("SECTION 7: Special Folders:\n"));
        QCOMPARE(box.DiagBtn->text(), QStringLiteral("&Diagnostics"));
    }

    void showAboutBox_data() {
        QTest::addColumn<bool>("withSuite");
        QTest::newRow("no suite") << false;
        QTest::newRow("suite") << true;
    }
    void showAboutBox() {
        QFETCH(bool, withSuite);
        QTemporaryDir suite;
        ScopedEnv vkdir("VKDIR", std::nullopt);
        if (withSuite) {
            QVERIFY(WriteScript(suite.filePath("praxel.exe"),
                                "#!/bin/sh\nrpt=$(sed -n 2p \"$2\" | tr -d '\\r')\n"
                                "printf '[result]\\nrelease=1.13>\\nProgram version=s\\n' > "
                                "\"$rpt\"\n"));
            vkdir.Set(suite.path().toLocal8Bit());
        }
        QString line;
        QString caption;
        WhenModalShown([&](QWidget* modal) {
            if (auto* box = qobject_cast<TxrAboutBox*>(modal)) {
                line = box->Label5->text();
                caption = box->windowTitle();
                box->OKButton->click();
            }
        });
        const int result = ShowAboutBox(icon(), "WinVELMAR", 2.0, 0);
        QCOMPARE(result, 1);
        QCOMPARE(caption, QStringLiteral(" About WinVELMAR"));
        QCOMPARE(line, withSuite ? "VARNOK folder: " + suite.path() +
                                       "\nSource Code Version of VARNOK\nVARNOK Release: 11.13"
                                 : QStringLiteral("Cannot locate VARNOK folder"));
    }
};

QTEST_MAIN(TstAboutBox)
#include "tst_aboutbox.moc"
