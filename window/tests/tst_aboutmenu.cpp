// Help > About opens the about box for WinVELMAR over the main window.
#include "aboutbox.h"
#include "formfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

class TestAboutMenu : public QObject {
    Q_OBJECT

private slots:
    void aboutOpensTheBox() {
        const QByteArray oldVkdir = qgetenv("VKDIR");
        qunsetenv("VKDIR");
        TFormFixture f;
        QString caption;
        QString product;
        QString suite;
        bool helpVisible = true;
        // The box is modal: read it and close it once it is up; a watchdog
        // closes whatever is still open.
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<TxrAboutBox*>(QApplication::activeModalWidget())) {
                poll.stop();
                caption = box->windowTitle();
                product = box->ProductName->text();
                suite = box->Label5->text();
                helpVisible = box->HelpBtn->isVisible();
                box->OKButton->click();
            }
        });
        poll.start();
        QTimer::singleShot(10000, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->done(-1);
            }
        });
        f.Form->About1->trigger();
        if (!oldVkdir.isNull()) {
            qputenv("VKDIR", oldVkdir);
        }
        QCOMPARE(caption, QStringLiteral(" About WinVELMAR"));
        QCOMPARE(product, QStringLiteral("Version 2.00,  8/Aug/2017"));
        QCOMPARE(suite, QStringLiteral("Cannot locate VARNOK folder"));
        QVERIFY(!helpVisible);
        QVERIFY(f.Dialogs.isEmpty());
    }
};

QTEST_MAIN(TestAboutMenu)
#include "tst_aboutmenu.moc"
