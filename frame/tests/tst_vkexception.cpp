// Errors thrown from event handlers: the application's notify() hands them to
// the central handler, which logs them with their stack and shows the box;
// after OK the event loop carries on.
#include "errors.h"
#include "modalwatch.h"
#include "vkapplication.h"
#include "vkdebuginfo.h"

#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <stdexcept>

namespace {

enum class Raise { ZeroDivide, OutOfRange, Abort };

// Not a tail call, so that the routine keeps its own frame in the trace.
[[gnu::noinline]] double ComputeShare(double flow, double total) {
    volatile double share = kv::CheckedDiv(flow, total);
    return share;
}

} // namespace

class TThrowingForm : public QWidget {
    Q_OBJECT
public:
    Raise FRaise = Raise::ZeroDivide;
    int FHandled = 0;
    volatile int FReturned = 0;

signals:
    void Recalculated();

public slots:
    // Each routine does something after the call that raises, so that it
    // keeps its own frame in the trace of the optimised build.
    [[gnu::noinline]] void RecalculateClick() {
        raise();
        emit Recalculated();
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        raise();
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        raise();
        event->accept();
    }

private:
    [[gnu::noinline]] void raise() {
        ++FHandled;
        switch (FRaise) {
        case Raise::ZeroDivide:
            ComputeShare(1.0, 0.0);
            break;
        case Raise::OutOfRange:
            throw std::out_of_range("column 7");
        case Raise::Abort:
            throw kv::EAbort();
        }
        FReturned = FReturned + 1;
    }
};

class TestVkException : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FTemp;
    struct Box {
        QWidget* owner;
        QString caption;
        QString text;
    };
    QList<Box> FBoxes;

    static QStringList errorEntries() {
        QFile file(DebugInfoCofig().DebugFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList entries = QString::fromLocal8Bit(file.readAll())
                                  .split(QStringLiteral("\r\n\r\n"), Qt::SkipEmptyParts);
        QStringList errors;
        for (const QString& entry : entries) {
            if (entry.section(QStringLiteral("\r\n"), 1, 1) == QLatin1String("DEBUG_MSG_ERROR")) {
                errors << entry;
            }
        }
        return errors;
    }

private slots:
    void initTestCase() {
        QVERIFY(FTemp.isValid());
        qputenv("TEMP", FTemp.path().toLocal8Bit());
        qunsetenv("VKDEBUGINFOLEVEL");
        TVkApplication::SetTitle(QStringLiteral("WinVELMAR"));
        VkDebugInfoStartup();
        QVERIFY(DebugInfoCofig().UseDebugInfo);
    }

    // The title is the name the captions show, and no display name of its
    // own: the display name follows the name, so the desktop adds nothing to
    // the window captions.
    void titleWithoutADisplayName() {
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("WinVELMAR"));
        QCoreApplication::setApplicationName(QStringLiteral("Another"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Another"));
        TVkApplication::SetTitle(QStringLiteral("WinVELMAR"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("WinVELMAR"));
    }

    void init() {
        QFile::remove(DebugInfoCofig().DebugFile);
        FBoxes.clear();
        SetErrorBoxHook([this](QWidget* owner, const QString& caption, const QString& text) {
            FBoxes.append({owner, caption, text});
            return true;
        });
    }

    void cleanupTestCase() {
        SetErrorBoxHook({});
        VkDebugInfoShutdown();
    }

    void errorFromEventHandler_data() {
        QTest::addColumn<int>("event");
        QTest::addColumn<int>("raise");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("thrower");
        const QString zeroDivide =
            QStringLiteral("Unexpected exception from object \"SDIAppForm(TThrowingForm)\":"
                           "(EZeroDivide)Floating point division by zero");
        QTest::newRow("mouse press") << 0 << int(Raise::ZeroDivide) << zeroDivide
                                     << QStringLiteral("TThrowingForm::mousePressEvent");
        QTest::newRow("queued slot") << 1 << int(Raise::ZeroDivide) << zeroDivide
                                     << QStringLiteral("TThrowingForm::RecalculateClick");
        QTest::newRow("key press, standard error")
            << 2 << int(Raise::OutOfRange)
            << QStringLiteral("Unexpected exception from object \"SDIAppForm(TThrowingForm)\":"
                              "(std::out_of_range)column 7")
            << QString();
        QTest::newRow("silent abort") << 0 << int(Raise::Abort) << QString() << QString();
    }

    void errorFromEventHandler() {
        QFETCH(int, event);
        QFETCH(int, raise);
        QFETCH(QString, report);
        QFETCH(QString, thrower);

        TThrowingForm form;
        form.setObjectName(QStringLiteral("SDIAppForm"));
        form.FRaise = Raise(raise);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        // Through the event loop, as a user's action arrives.
        switch (event) {
        case 0:
            QCoreApplication::postEvent(
                &form, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                       form.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                                       Qt::LeftButton, Qt::NoModifier));
            break;
        case 1:
            QMetaObject::invokeMethod(&form, "RecalculateClick", Qt::QueuedConnection);
            break;
        default:
            QCoreApplication::postEvent(
                &form, new QKeyEvent(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier));
            break;
        }
        QTRY_COMPARE(form.FHandled, 1);
        bool loopRan = false;
        QTimer::singleShot(0, &form, [&loopRan] { loopRan = true; });
        QTRY_VERIFY(loopRan);

        const QStringList entries = errorEntries();
        if (report.isEmpty()) {
            QVERIFY(FBoxes.isEmpty());
            QVERIFY(entries.isEmpty());
            return;
        }
        QCOMPARE(FBoxes.size(), 1);
        QCOMPARE(FBoxes[0].caption, QStringLiteral("WinVELMAR"));
        QVERIFY(FBoxes[0].text.startsWith(report + QStringLiteral("\r\n\r\nSelect: OK")));
        QCOMPARE(entries.size(), 1);
        const QStringList lines = entries[0].split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(2), report);
        if (!thrower.isEmpty()) {
            const int traceAt = lines.indexOf(QStringLiteral("DEBUG_TRACE"));
            QVERIFY(traceAt > 0);
            const QStringList trace = lines.mid(traceAt + 1);
            QVERIFY2(trace.value(0).contains(QStringLiteral("kv::CheckedDiv")),
                     qPrintable(trace.join('\n')));
            QVERIFY2(trace.filter(QStringLiteral("ComputeShare(double, double)")).size() == 1,
                     qPrintable(trace.join('\n')));
            QVERIFY2(!trace.filter(thrower).isEmpty(), qPrintable(trace.join('\n')));
            QVERIFY2(!trace.filter(QStringLiteral("tst_vkexception.cpp:")).isEmpty(),
                     qPrintable(trace.join('\n')));
        }
    }

    void okContinuesTheEventLoop() {
        TThrowingForm form;
        form.setObjectName(QStringLiteral("SDIAppForm"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(&form, Qt::LeftButton);
        QTest::mouseClick(&form, Qt::LeftButton);
        QCOMPARE(form.FHandled, 2);
        QCOMPARE(FBoxes.size(), 2);
        QCOMPARE(errorEntries().size(), 2);
        QTest::keyClick(&form, Qt::Key_A);
        QCOMPARE(form.FHandled, 3);
    }

    // The real box, driven by a watchdog: the system's plain message box with
    // the error icon, OK and Cancel, modal for the application.
    void systemErrorBox() {
        SetErrorBoxHook({});
        TThrowingForm form;
        form.setObjectName(QStringLiteral("SDIAppForm"));
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        Qt::WindowModality modality = Qt::NonModal;
        QWidget* owner = nullptr;
        bool seen = false;
        WhenModalShown([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                return;
            }
            seen = true;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            modality = box->windowModality();
            owner = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        QCoreApplication::postEvent(&form,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier));
        QTRY_VERIFY(seen);
        QTRY_COMPARE(form.FHandled, 1);

        QCOMPARE(title, QStringLiteral("WinVELMAR"));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(modality, Qt::ApplicationModal);
        QCOMPARE(owner, &form);
        QCOMPARE(text, QStringLiteral("Unexpected exception from object "
                                      "\"SDIAppForm(TThrowingForm)\":(EZeroDivide)Floating point "
                                      "division by zero\r\n\r\nSelect: OK to continue or CANCEL "
                                      "to terminate application\r\n(if terminating application, "
                                      "any unsaved data will be lost)"));
        // Still running after OK.
        bool loopRan = false;
        QTimer::singleShot(0, &form, [&loopRan] { loopRan = true; });
        QTRY_VERIFY(loopRan);
    }
};

int main(int argc, char** argv) {
    TVkApplication app(argc, argv);
    TestVkException test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vkexception.moc"
