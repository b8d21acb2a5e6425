// Termination signals end the program the orderly way: the main window gets
// the close that Exit gives it, knowing that a signal asked for it, and the
// event loop ends with exit code 0, a modal dialog's loop included.
#include "endsignals.h"
#include "modalwatch.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <csignal>

namespace {

class TRecordingWindow : public QMainWindow {
public:
    int Closes = 0;
    bool BySignal = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++Closes;
        BySignal = EndingBySignal();
        event->accept();
    }
};

// The application's event loop, as main() runs it; a watchdog ends it with 99
// should nothing else end it.
int RunEventLoop() {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(5000);
    return QCoreApplication::exec();
}

} // namespace

class TestEndSignals : public QObject {
    Q_OBJECT

private slots:
    void init() {
        InstallEndSignals();
        WatchEndSignals();
    }

    void signalClosesTheWindowAndEndsTheLoopWithZero_data() {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalClosesTheWindowAndEndsTheLoopWithZero() {
        QFETCH(int, sig);
        TRecordingWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!EndingBySignal());
        QTimer::singleShot(0, [sig] { std::raise(sig); });
        const int code = RunEventLoop();
        QCOMPARE(code, 0);
        QCOMPARE(window.Closes, 1);
        QVERIFY(window.BySignal);
        QVERIFY(!window.isVisible());
        QCOMPARE(EndSignalNumber(), sig);
    }

    void signalEndsAModalDialogToo() {
        TRecordingWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool dialogReturned = false;
        QTimer::singleShot(0, [&] {
            QMessageBox box(QMessageBox::Question, "WinVELMAR", "Nobody answers this", {}, &window);
            box.setWindowModality(Qt::ApplicationModal);
            WhenModalShown([](QWidget*) { std::raise(SIGTERM); });
            box.exec();
            dialogReturned = true;
        });
        QCOMPARE(RunEventLoop(), 0);
        QVERIFY(dialogReturned);
        QCOMPARE(window.Closes, 1);
        QVERIFY(window.BySignal);
    }

    void signalBeforeTheLoopRunsIsHandledWhenItDoes() {
        TRecordingWindow window;
        window.show();
        std::raise(SIGTERM); // start-up is still going on
        QVERIFY(window.isVisible());
        QCOMPARE(RunEventLoop(), 0);
        QCOMPARE(window.Closes, 1);
    }

    void ignoredSignalStaysIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction old {};
        ::sigaction(SIGHUP, &ignore, &old);
        InstallEndSignals(); // as when started under nohup
        WatchEndSignals();
        std::raise(SIGHUP);
        QTest::qWait(50);
        QVERIFY(!EndingBySignal());
        ::sigaction(SIGHUP, &old, nullptr);
    }

    void endRunsOnceForSeveralSignals() {
        int ends = 0;
        WatchEndSignals([&ends] {
            ++ends;
            QCoreApplication::exit(0);
        });
        QTimer::singleShot(0, [] {
            std::raise(SIGINT);
            std::raise(SIGHUP);
        });
        QCOMPARE(RunEventLoop(), 0);
        QTest::qWait(20);
        QCOMPARE(ends, 1);
        QCOMPARE(EndSignalNumber(), SIGINT);
    }
};

QTEST_MAIN(TestEndSignals)
#include "tst_endsignals.moc"
