// The Qt clipboard behind the clipboard port, on the offscreen platform.
#include "qtclipboardport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

class TestQtClipboardPort : public QObject {
    Q_OBJECT
private slots:
    void setTextReachesTheApplicationClipboard() {
        kv::QtClipboardPort port;
        QVERIFY(port.setText(QStringLiteral("a\tb\r\n")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\tb\r\n"));
        QVERIFY(port.clear());
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    }

    void copyPutsTheTableOnTheClipboard() {
        kv::TSimTab T;
        QString msg;
        QVERIFY(kv::MakeSimTabFromRule(
            T, 2, 2, [](int r, int c) { return QStringLiteral("%1%2").arg(r).arg(c); }, msg));
        kv::QtClipboardPort port;
        QVERIFY(kv::CopySimTabToClipboard(T, msg, port));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("00\t01\r\n10\t11\r\n"));
    }
};

QTEST_MAIN(TestQtClipboardPort)
#include "tst_qtclipboardport.moc"
