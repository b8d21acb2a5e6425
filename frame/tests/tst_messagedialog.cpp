// The message dialog shown for real: buttons, results, default and cancel
// buttons, the Help button, Ctrl+C and its placement; and the file dialog's
// starting folder.
#include "beep.h"
#include "helpselector.h"
#include "modalwatch.h"
#include "workarea.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestMessageDialog : public QObject {
    Q_OBJECT

private:
    static QStringList buttonCaptions(QDialog* dialog) {
        QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        std::sort(buttons.begin(), buttons.end(),
                  [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        QStringList captions;
        for (QPushButton* b : buttons) {
            captions << b->text();
        }
        return captions;
    }

private slots:
    void init() {
        SetMessageDialogHook({});
        HelpSelector::SetTopicHook({});
        SetBeepHook([] {});
    }

    void buttonsInBitOrderAndEquallyWide_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("OK") << 4 << "" << QStringList{"OK"};
        QTest::newRow("OK and Help") << 1028 << "" << QStringList{"OK", "&Help"};
        QTest::newRow("all") << 0xFFF << ""
                             << QStringList{"&Yes",       "&No",         "OK",      "Cancel",
                                            "&Abort",     "&Retry",      "&Ignore", "&All",
                                            "N&o to All", "Yes to &All", "&Help",   "&Close"};
        // A detail adds Explain, before Help when there is one.
        QTest::newRow("OK, Help and a detail")
            << 1028 << "Why" << QStringList{"OK", "&Explain", "&Help"};
        QTest::newRow("OK and a detail") << 4 << "Why" << QStringList{"OK", "&Explain"};
    }
    void buttonsInBitOrderAndEquallyWide() {
        QFETCH(int, buttons);
        QFETCH(QString, detail);
        QFETCH(QStringList, captions);
        std::unique_ptr<QDialog> dialog(CreateMessageDialog(
            "Text", mkInformation, static_cast<MessageButtons>(buttons), 0, nullptr, detail));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(buttonCaptions(dialog.get()), captions);
        const QList<QPushButton*> all = dialog->findChildren<QPushButton*>();
        for (QPushButton* b : all) {
            QCOMPARE(b->width(), all.first()->width());
            QVERIFY(b->width() >= b->sizeHint().width());
        }
    }

    void captionsAndIcons_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("icon");
        QTest::newRow("warning") << 0 << "Warning" << true;
        QTest::newRow("error") << 1 << "Error" << true;
        QTest::newRow("information") << 2 << "Information" << true;
        QTest::newRow("confirmation") << 3 << "Confirm" << true;
        QTest::newRow("custom") << 4 << "WinVELMAR" << false;
    }
    void captionsAndIcons() {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(bool, icon);
        // The caption comes from the kind, whatever the text says.
        std::unique_ptr<QDialog> dialog(CreateMessageDialog(
            "Warning: Editing caused negative values", static_cast<MessageKind>(kind), mbOK, 0));
        QCOMPARE(dialog->windowTitle(), caption);
        auto* image = dialog->findChild<QLabel*>("Image");
        QCOMPARE(image != nullptr, icon);
        if (image) {
            QCOMPARE(image->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
        }
        auto* message = dialog->findChild<QLabel*>("Message");
        QVERIFY(message);
        QCOMPARE(message->text(), QString("Warning: Editing caused negative values"));
    }

    // However short the text, the dialog is as wide as its caption needs;
    // its text is in the font of the window it belongs to.
    void captionWholeAndTheWindowsFont_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("error") << int(mkError) << "WinVELMAR";
        QTest::newRow("custom, a long title")
            << int(mkCustom) << "WinVELMAR with a rather long title of its own";
    }
    void captionWholeAndTheWindowsFont() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        const QString saved = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(title);
        QMainWindow main;
        QFont screen(QStringLiteral("DejaVu Serif"));
        screen.setPointSize(17);
        main.setFont(screen);
        std::unique_ptr<QDialog> dialog(
            CreateMessageDialog("x", static_cast<MessageKind>(kind), mbOK, 0, &main));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QVERIFY(dialog->width() >= CaptionWidth(dialog->windowTitle()));
        auto* message = dialog->findChild<QLabel*>("Message");
        QCOMPARE(message->font().family(), main.font().family());
        QCOMPARE(message->font().pointSize(), 17);
        QCoreApplication::setApplicationName(saved);
    }

    void longTextWrapsAtHalfTheScreen() {
        const QString longLine(400, QLatin1Char('x'));
        std::unique_ptr<QDialog> dialog(
            CreateMessageDialog(longLine + " " + longLine + "\r\nshort", mkError, mbOK, 0));
        auto* message = dialog->findChild<QLabel*>("Message");
        QVERIFY(message->width() <= QGuiApplication::primaryScreen()->geometry().width() / 2);
        QVERIFY(message->wordWrap());
        QVERIFY(message->text().contains('\n'));
        QVERIFY(!message->text().contains('\r'));
    }

    void keysAndClicksGiveResults_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press"); // a key name or a button name
        QTest::addColumn<int>("result");
        QTest::newRow("1028 Enter") << 1028 << "Enter" << 1;
        QTest::newRow("1028 Esc") << 1028 << "Esc" << 1;
        QTest::newRow("4 Enter") << 4 << "Enter" << 1;
        QTest::newRow("4 close box") << 4 << "Close box" << 1;
        QTest::newRow("Yes No Enter") << 3 << "Enter" << 6;
        QTest::newRow("Yes No Esc") << 3 << "Esc" << 7;
        QTest::newRow("Yes No Cancel Esc") << 11 << "Esc" << 2;
        QTest::newRow("OK Cancel Enter") << 12 << "Enter" << 1;
        QTest::newRow("Abort Retry Ignore Enter") << 112 << "Enter" << 4;
        QTest::newRow("click Abort") << 112 << "Abort" << 3;
        QTest::newRow("click Ignore") << 112 << "Ignore" << 5;
        QTest::newRow("click No") << 3 << "No" << 7;
        QTest::newRow("click All") << 128 << "All" << 12;
        QTest::newRow("click NoToAll") << 256 << "NoToAll" << 13;
        QTest::newRow("click YesToAll") << 512 << "YesToAll" << 14;
        QTest::newRow("click Close") << 2048 << "Close" << 8;
    }
    void keysAndClicksGiveResults() {
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(int, result);
        WhenModalShown([press](QWidget* modal) {
            QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal;
            if (press == "Enter") {
                QTest::keyClick(target, Qt::Key_Return);
            } else if (press == "Esc") {
                QTest::keyClick(target, Qt::Key_Escape);
            } else if (press == "Close box") {
                modal->close();
            } else {
                QTest::mouseClick(modal->findChild<QPushButton*>(press), Qt::LeftButton);
            }
        });
        QCOMPARE(
            ShowMessageDialog("Question", mkConfirmation, static_cast<MessageButtons>(buttons), 0),
            result);
    }

    void escWithoutCancelButtonKeepsTheDialogOpen() {
        bool stillOpen = false;
        WhenModalShown([&stillOpen](QWidget* modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
            stillOpen = modal->isVisible();
            QTest::mouseClick(modal->findChild<QPushButton*>("Retry"), Qt::LeftButton);
        });
        QCOMPARE(ShowMessageDialog("Failed", mkError, mbAbort | mbRetry | mbIgnore, 0), 4);
        QVERIFY(stillOpen);
    }

    void defaultButtonHasFocus() {
        std::unique_ptr<QDialog> dialog(
            CreateMessageDialog("T", mkConfirmation, mbYes | mbNo | mbOK | mbHelp, 0));
        auto* ok = dialog->findChild<QPushButton*>("OK");
        QVERIFY(ok->isDefault());
        QVERIFY(!dialog->findChild<QPushButton*>("Yes")->isDefault());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->focusWidget(), ok);
    }

    void helpAsksForTheTopicAndStaysOpen() {
        QList<int> topics;
        HelpSelector::SetTopicHook([&topics](int context) { topics << context; });
        bool stillOpen = false;
        WhenModalShown([&stillOpen](QWidget* modal) {
            QTest::mouseClick(modal->findChild<QPushButton*>("Help"), Qt::LeftButton);
            QTest::keyClick(modal, Qt::Key_F1);
            stillOpen = modal->isVisible();
            QTest::mouseClick(modal->findChild<QPushButton*>("OK"), Qt::LeftButton);
        });
        QCOMPARE(ShowMessageDialog("Singular matrix", mkError, mbOK | mbHelp, 302), 1);
        QVERIFY(stillOpen);
        QCOMPARE(topics, (QList<int>{302, 302}));
    }

    void ctrlCBeepsAndCopiesTheDialogAsText() {
        int beeps = 0;
        SetBeepHook([&beeps] { ++beeps; });
        QGuiApplication::clipboard()->setText("old");
        WhenModalShown([](QWidget* modal) {
            QTest::keyClick(modal->focusWidget(), Qt::Key_C, Qt::ControlModifier);
            QTest::keyClick(modal->focusWidget(), Qt::Key_Escape);
        });
        ShowMessageDialog("Warning: Editing caused negative values in Data Base\r\nPlease rectify",
                          mkError, mbOK | mbHelp, 301);
        const QString dash = QString(27, '-') + "\r\n";
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 dash + "Error\r\n" + dash +
                     "Warning: Editing caused negative values in Data Base\r\nPlease rectify\r\n" +
                     dash + "OK   Help   \r\n" + dash);
        QCOMPARE(beeps, 1);
    }

    // Explain shows the detail below the message without closing the dialog,
    // a second click hides it again, and Ctrl+C copies it while it shows.
    void explainShowsTheDetail() {
        SetBeepHook([] {});
        const QString detail = "Nothing in this closure fixes the price level.\r\n\r\n"
                               "Exchanges that make the closure solvable:\r\n- phi and x(11)3";
        const QString dash = QString(27, '-') + "\r\n";
        const QString head = dash + "Error\r\n" + dash + "Singular matrix\r\n";
        const QString tail = dash + "OK   Explain   Help   \r\n" + dash;
        bool hiddenAtFirst = false;
        bool shownAfterClick = false;
        bool stillOpen = false;
        bool hiddenAgain = false;
        bool grew = false;
        QString shownText;
        QString copiedShown;
        QString copiedHidden;
        WhenModalShown([&](QWidget* modal) {
            auto* area = modal->findChild<QPlainTextEdit*>("Detail");
            auto* explain = modal->findChild<QPushButton*>("Explain");
            QVERIFY(area && explain);
            hiddenAtFirst = !area->isVisible();
            const int before = modal->height();
            QTest::mouseClick(explain, Qt::LeftButton);
            stillOpen = modal->isVisible();
            shownAfterClick = area->isVisible() && area->isReadOnly();
            shownText = area->toPlainText();
            QTRY_VERIFY(modal->height() > before);
            grew = true;
            QTest::keyClick(modal->focusWidget(), Qt::Key_C, Qt::ControlModifier);
            copiedShown = QGuiApplication::clipboard()->text();
            QTest::mouseClick(explain, Qt::LeftButton);
            hiddenAgain = !area->isVisible();
            QTest::keyClick(modal->focusWidget(), Qt::Key_C, Qt::ControlModifier);
            copiedHidden = QGuiApplication::clipboard()->text();
            QTest::mouseClick(modal->findChild<QPushButton*>("OK"), Qt::LeftButton);
        });
        QCOMPARE(ShowMessageDialog("Singular matrix", mkError, mbOK | mbHelp, 302, nullptr, detail),
                 1);
        QVERIFY(hiddenAtFirst);
        QVERIFY(stillOpen);
        QVERIFY(shownAfterClick);
        QCOMPARE(shownText, QString(detail).replace("\r\n", "\n"));
        QVERIFY(grew);
        QCOMPARE(copiedShown, head + dash + detail + "\r\n" + tail);
        QVERIFY(hiddenAgain);
        QCOMPARE(copiedHidden, head + tail);
    }

    void hookReplacesTheDialog() {
        QString seen;
        SetMessageDialogHook(
            [&seen](const QString& text, MessageKind kind, MessageButtons b, int h) {
                seen = QString("%1|%2|%3|%4").arg(text).arg(kind).arg(b).arg(h);
                return 7;
            });
        QCOMPARE(ShowMessageDialog("Sure?", mkConfirmation, mbYes | mbNo, 0), 7);
        QCOMPARE(seen, QString("Sure?|3|3|0"));
        // The hook with the detail sees it; either hook replaces the other.
        SetMessageDialogDetailHook(
            [&seen](const QString& text, MessageKind, MessageButtons, int, const QString& detail) {
                seen = text + "|" + detail;
                return 1;
            });
        QCOMPARE(ShowMessageDialog("Singular matrix", mkError, mbOK | mbHelp, 302, nullptr, "Why"),
                 1);
        QCOMPARE(seen, QString("Singular matrix|Why"));
    }

    void centredOnTheMainWindow() {
        QMainWindow main;
        main.setGeometry(100, 120, 800, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPoint centre;
        WhenModalShown([&centre](QWidget* modal) {
            centre = modal->frameGeometry().center();
            modal->close();
        });
        ShowMessageDialog("Placed", mkInformation, mbOK, 0);
        // The window system adds the dialog's frame only once it is shown, so the
        // centre may move by the frame's width.
        const QPoint mainCentre = main.frameGeometry().center();
        QVERIFY2(qAbs(centre.x() - mainCentre.x()) <= 4 && qAbs(centre.y() - mainCentre.y()) <= 4,
                 qPrintable(QString("%1,%2 vs %3,%4")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(mainCentre.x())
                                .arg(mainCentre.y())));
    }

    void centerOnOwnerClampsIntoTheWorkArea() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget owner;
        owner.setGeometry(area.right() - 100, area.top() + 50, 200, 200);
        QWidget form;
        form.resize(400, 300);
        CenterOnOwner(&form, &owner);
        // Centred the form would reach past the right edge; its top is the owner's
        // centre (top + 100) less half its height (150).
        QCOMPARE(form.pos(), QPoint(area.x() + area.width() - 400, area.top()));
        QVERIFY(form.testAttribute(Qt::WA_Moved));
    }

    void saveDialogStartsInThePreviousFolderWithTheBareName() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QDir(dir.path()).mkdir("out");
        QFileDialog dialog(nullptr, "Save", QDir::tempPath(), "CSV Files (*.csv)");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        TCommonDialogHelper helper(dialog);
        helper.SetFileName(dir.path() + "/out/table.csv");
        QString folder, name;
        WhenModalShown([&](QWidget* modal) {
            auto* shown = qobject_cast<QFileDialog*>(modal);
            folder = shown->directory().absolutePath();
            name = shown->findChild<QLineEdit*>("fileNameEdit")->text();
            shown->reject();
        });
        QVERIFY(!helper.Execute());
        QCOMPARE(folder, QDir(dir.path() + "/out").absolutePath());
        QCOMPARE(name, QString("table.csv"));
    }

    void executeOwnsTheDialogOnlyWhileShown() {
        QMainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QDialog dialog;
        TCommonDialogHelper helper(dialog);
        QWidget* parentWhileShown = nullptr;
        WhenModalShown([&](QWidget* modal) {
            parentWhileShown = modal->parentWidget();
            static_cast<QDialog*>(modal)->accept();
        });
        QVERIFY(helper.Execute(&main));
        QCOMPARE(parentWhileShown, &main);
        QCOMPARE(dialog.parentWidget(), nullptr);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("WinVELMAR");
    TestMessageDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagedialog.moc"
