// Context help: the help context of a control or of its nearest enclosing
// control, and F1 anywhere in the application.
#include "helpcontext.h"
#include "helpselector.h"

#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

class TstHelpContext : public QObject {
    Q_OBJECT

    QList<int> FTopics;

private slots:
    void initTestCase() {
        HelpSelector::SetTopicHook([this](int context) { FTopics << context; });
        InstallContextHelp();
        InstallContextHelp(); // a second call changes nothing
    }
    void init() { FTopics.clear(); }
    void cleanupTestCase() { HelpSelector::SetTopicHook({}); }

    void nearestEnclosingContext() {
        QWidget window;
        SetHelpContext(&window, 200);
        auto* page = new QWidget(&window);
        SetHelpContext(page, 204);
        auto* grid = new QWidget(page);
        auto* editor = new QLineEdit(grid);
        auto* bare = new QWidget(&window);

        QCOMPARE(OwnHelpContext(editor), 0);
        QCOMPARE(HelpContextFor(editor), 204);
        QCOMPARE(HelpContextFor(grid), 204);
        QCOMPARE(HelpContextFor(page), 204);
        QCOMPARE(HelpContextFor(bare), 200);
        SetHelpContext(grid, 0);
        QCOMPARE(HelpContextFor(editor), 204);
        SetHelpContext(grid, 205);
        QCOMPARE(HelpContextFor(editor), 205);
        QCOMPARE(HelpContextFor(nullptr), 0);

        QCOMPARE(ShowHelpFor(editor), 205);
        QCOMPARE(FTopics, QList<int>{205});
        QWidget loose;
        QCOMPARE(ShowHelpFor(&loose), 0);
        QCOMPARE(FTopics, QList<int>{205});
    }

    // A dialog is a window of its own: its controls do not borrow the help
    // context of the window that owns it.
    void stopsAtTheWindow() {
        QWidget window;
        SetHelpContext(&window, 200);
        QDialog dialog(&window);
        auto* edit = new QLineEdit(&dialog);
        QCOMPARE(HelpContextFor(edit), 0);
        SetHelpContext(&dialog, 206);
        QCOMPARE(HelpContextFor(edit), 206);
    }

    void f1AsksForTheFocusedControlsTopic() {
        QWidget window;
        SetHelpContext(&window, 200);
        auto* layout = new QVBoxLayout(&window);
        auto* page = new QWidget(&window);
        SetHelpContext(page, 204);
        auto* pageLayout = new QVBoxLayout(page);
        auto* editor = new QLineEdit(page);
        pageLayout->addWidget(editor);
        auto* other = new QLineEdit(&window);
        layout->addWidget(page);
        layout->addWidget(other);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_F1);
        QCOMPARE(FTopics, QList<int>{204});

        other->setFocus();
        QTest::keyClick(other, Qt::Key_F1);
        QCOMPARE(FTopics, (QList<int>{204, 200}));

        // F1 with a modifier is not a help request; other keys pass.
        QTest::keyClick(other, Qt::Key_F1, Qt::ShiftModifier);
        QTest::keyClick(other, Qt::Key_A);
        QCOMPARE(FTopics, (QList<int>{204, 200}));
        QCOMPARE(other->text(), QStringLiteral("a"));
    }

    // While no control of the window has the focus, the stand-in speaks for
    // the window.
    void standInWhileNothingHasTheFocus() {
        QWidget window;
        SetHelpContext(&window, 200);
        auto* layout = new QVBoxLayout(&window);
        auto* pages = new QWidget(&window);
        SetHelpContext(pages, 206);
        SetHelpStandIn(pages);
        auto* edit = new QLineEdit(&window);
        layout->addWidget(pages);
        layout->addWidget(edit);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QCOMPARE(CurrentHelpContext(), 200);
        edit->clearFocus();
        QVERIFY(!QApplication::focusWidget());
        QCOMPARE(CurrentHelpContext(), 206);
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(FTopics, QList<int>{206});
    }

    void f1WithoutAnyContextShowsNothing() {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        QVERIFY(FTopics.isEmpty());
    }
};

QTEST_MAIN(TstHelpContext)
#include "tst_helpcontext.moc"
