// The results-column dialog: its layout, result codes, focus and tab order,
// Help, and the pictures of its buttons.
#include "../../frame/tests/modalwatch.h"
#include "colmovedlg.h"
#include "helpselector.h"
#include "workarea.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

class TestColMoveDlg : public QObject {
    Q_OBJECT

private:
    // Runs the dialog modally, applies action once it shows and returns its result.
    static int runWith(const std::function<void(TColMoveDlg*)>& action) {
        TColMoveDlg dialog;
        WhenModalShown([action](QWidget* modal) { action(qobject_cast<TColMoveDlg*>(modal)); });
        return dialog.exec();
    }

    static bool isStandardColour(QRgb p) {
        static const QList<QRgb> vga = {
            qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
        return vga.contains(p | 0xFF000000U);
    }

private slots:
    void init() { HelpSelector::SetTopicHook({}); }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("top");
        QTest::newRow("left") << "LeftBtn"
                              << "Move Left" << 8;
        QTest::newRow("right") << "RightBtn"
                               << "Move Right" << 42;
        QTest::newRow("delete") << "DeletetBtn"
                                << "Delete" << 76;
        QTest::newRow("cancel") << "CancelBtn"
                                << "Cancel" << 110;
        QTest::newRow("help") << "HelpBtn"
                              << "Help" << 144;
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, top);
        TColMoveDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Column..."));
        // 132 by 179, wider where the caption needs it, the buttons in the
        // middle.
        const int width = std::max(132, CaptionWidth(dialog.windowTitle()));
        const int left = 7 + (width - 132) / 2;
        QCOMPARE(dialog.size(), QSize(width, 179));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QVERIFY(dialog.font().bold());
        QCOMPARE(dialog.font().pixelSize(), 11);
        auto* button = dialog.findChild<QPushButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->geometry(), QRect(left, top, 104, 27));
        QCOMPARE(button->property("helpContext").toInt(), 206);
    }

    // The caption names the column and shows whole.
    void captionNamesTheColumn_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Sim 2") << "Sim 2"
                               << "Column: Sim 2";
        QTest::newRow("eight letters") << "WWWWWWWW"
                                       << "Column: WWWWWWWW";
        QTest::newRow("no title") << " "
                                  << "Column...";
    }
    void captionNamesTheColumn() {
        QFETCH(QString, title);
        QFETCH(QString, caption);
        TColMoveDlg dialog(title);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), caption);
        QVERIFY(dialog.width() >= CaptionWidth(caption));
        QVERIFY(dialog.width() >= 132);
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            QCOMPARE(button->x() + button->width() / 2, 7 + 52 + (dialog.width() - 132) / 2);
        }
    }

    void resultCodes_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("Move Left") << "LeftBtn" << 3;
        QTest::newRow("Move Right") << "RightBtn" << 4;
        QTest::newRow("Delete") << "DeletetBtn" << 5;
        QTest::newRow("Cancel") << "CancelBtn" << 2;
        QTest::newRow("Esc") << "Esc" << 2;
        QTest::newRow("close box") << "close" << 2;
        QTest::newRow("Enter on the focused Cancel") << "Enter" << 2;
    }
    void resultCodes() {
        QFETCH(QString, how);
        QFETCH(int, result);
        const int got = runWith([how](TColMoveDlg* dialog) {
            if (how == "Esc") {
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else if (how == "close") {
                dialog->close();
            } else if (how == "Enter") {
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
            } else {
                QTest::mouseClick(dialog->findChild<QPushButton*>(how), Qt::LeftButton);
            }
        });
        QCOMPARE(got, result);
    }

    void helpOpensTopicAndStaysOpen() {
        QList<int> topics;
        HelpSelector::SetTopicHook([&topics](int context) { topics << context; });
        bool stillOpen = false;
        const int got = runWith([&stillOpen](TColMoveDlg* dialog) {
            QTest::mouseClick(dialog->HelpBtn(), Qt::LeftButton);
            QTest::keyClick(dialog, Qt::Key_F1);
            stillOpen = dialog->isVisible();
            dialog->CancelBtn()->click();
        });
        QVERIFY(stillOpen);
        QCOMPARE(topics, (QList<int>{206, 206}));
        QCOMPARE(got, 2);
    }

    void cancelFocusedAndTabOrder() {
        QStringList order;
        QString focused;
        runWith([&](TColMoveDlg* dialog) {
            focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            QWidget* w = dialog->LeftBtn();
            for (int i = 0; i < 5; ++i) {
                order << w->objectName();
                do {
                    w = w->nextInFocusChain();
                } while (!qobject_cast<QPushButton*>(w));
            }
            dialog->reject();
        });
        QCOMPARE(focused, QStringLiteral("CancelBtn"));
        QCOMPARE(order, (QStringList{"LeftBtn", "CancelBtn", "HelpBtn", "RightBtn", "DeletetBtn"}));
    }

    void pictures() {
        const QImage left = TColMoveDlg::LeftArrowGlyph();
        const QImage right = TColMoveDlg::RightArrowGlyph();
        const QImage bin = TColMoveDlg::WasteBinGlyph();
        for (const QImage& glyph : {left, right, bin}) {
            QCOMPARE(glyph.size(), QSize(16, 16));
            QVERIFY(glyph.hasAlphaChannel());
            int opaque = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const QRgb p = glyph.pixel(x, y);
                    if (qAlpha(p) != 0) {
                        ++opaque;
                        QVERIFY2(isStandardColour(p), "only the 16 standard colours");
                    }
                }
            }
            QVERIFY(opaque > 30);
            // The greyed image: shadow grey and white only, and not the same picture.
            const QImage greyed = TColMoveDlg::GreyedGlyph(glyph);
            QCOMPARE(greyed.size(), glyph.size());
            QVERIFY(greyed != glyph.convertToFormat(greyed.format()));
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const QRgb p = greyed.pixel(x, y);
                    QVERIFY(qAlpha(p) == 0 || p == qRgb(128, 128, 128) || p == qRgb(255, 255, 255));
                }
            }
        }
        // The arrows are red and point away from each other.
        QCOMPARE(left.mirrored(true, false), right);
        QCOMPARE(left.pixel(8, 7), qRgb(255, 0, 0));
        QCOMPARE(qAlpha(left.pixel(1, 7)), 0); // the tip of the left arrow at the left
        QVERIFY(qAlpha(left.pixel(2, 7)) != 0);
        QCOMPARE(qAlpha(left.pixel(15, 7)), 0); // the tail stops short of the right edge
    }

    void disabledButtonShowsGreyedPicture() {
        TColMoveDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* button = static_cast<TGlyphButton*>(dialog.LeftBtn());
        // WINVELMAR_SHOT_DIR set: keep pictures of the dialog for a person to look at.
        const QString shots = qEnvironmentVariable("WINVELMAR_SHOT_DIR");
        if (!shots.isEmpty()) {
            dialog.grab().save(shots + "/colmovedlg.png");
        }
        // Pixel (8, 7) of the picture is red when enabled and shadow grey when greyed.
        const QPoint at(TGlyphButton::GlyphMargin + 8, (button->height() - 16) / 2 + 7);
        QCOMPARE(button->grab().toImage().pixel(at), qRgb(255, 0, 0));
        button->setEnabled(false);
        QCOMPARE(button->grab().toImage().pixel(at), qRgb(128, 128, 128));
        if (!shots.isEmpty()) {
            dialog.grab().save(shots + "/colmovedlg-disabled.png");
        }
    }
};

QTEST_MAIN(TestColMoveDlg)
#include "tst_colmovedlg.moc"
