// A main window over a fresh experiment, with the message dialog,
// the beep and the help layer replaced by recorders, and helpers that act as
// the user does.
#pragma once

#include "beep.h"
#include "datapage.h"
#include "grid.h"
#include "helpselector.h"
#include "model.h"
#include "pagecontrol.h"
#include "sdiappform.h"
#include "workarea.h"

#include <QApplication>
#include <QtTest>
#include <memory>

struct TShownDialog {
    QString Text;
    MessageKind Kind;
    MessageButtons Buttons;
    int HelpContext;
    QString Detail; // what the dialog's Explain button shows; empty: no such button
};

class TFormFixture {
public:
    explicit TFormFixture(bool idlePreparation = false) {
        SetMessageDialogDetailHook([this](const QString& text, MessageKind kind,
                                          MessageButtons buttons, int helpContext,
                                          const QString& detail) {
            Dialogs.append({text, kind, buttons, helpContext, detail});
            return DialogAnswer;
        });
        SetBeepHook([this] { ++Beeps; });
        HelpSelector::SetTopicHook([this](int context) { Topics.append(context); });
        Form = std::make_unique<TSDIAppForm>(idlePreparation);
        Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
    }
    ~TFormFixture() {
        Form.reset();
        SetMessageDialogHook({});
        SetBeepHook({});
        HelpSelector::SetTopicHook({});
    }

    // Types text key by key into whatever has the focus (the window when
    // nothing has), as the keyboard does.
    QWidget* KeyTarget() const {
        if (QWidget* focus = QApplication::focusWidget()) {
            return focus;
        }
        return QApplication::activeWindow() ? QApplication::activeWindow() : Form.get();
    }
    void Type(const QString& text) const {
        for (const QChar ch : text) {
            QTest::keyClick(KeyTarget(), ch.toLatin1());
        }
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(KeyTarget(), key, modifiers);
    }

    // Whether column c of grid is at least minWidth wide and as wide as its
    // widest text (headings included) in the cells' own fonts needs, and no
    // wider than that needs.
    static bool ColumnFits(const TGrid* grid, int c, int minWidth) {
        const TGridModel* model = grid->GridModel();
        int widest = 0;
        for (int r = 0; r < model->RowCount(); ++r) {
            const TCellStyle& style = model->StyleAt(r, c);
            widest =
                std::max(widest, QFontMetrics(style.Font).horizontalAdvance(model->CellText(r, c)) +
                                     2 * style.Margin);
        }
        const int width = grid->ColWidth(c);
        if (width < minWidth || width < widest || width > std::max(minWidth, widest + 4)) {
            qWarning("column %d: width %d, asked for %d, widest text %d", c, width, minWidth,
                     widest);
            return false;
        }
        return true;
    }

    // A left click on tab index, as the user makes it.
    void ClickTab(int index) {
        QTabBar* bar = Form->Notebook1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    int CurrentPage() const { return Form->Notebook1->currentIndex(); }
    // The window's experiment, for setting up and checking states directly.
    kv::TExperiment& E() const { return Form->MutableExperiment(); }

    TGrid* DataGrid() const { return Form->tabData->Grid(); }

    // Makes cell (r, c) of the Data grid active, which opens its editor, and
    // types text in place of its contents.
    TNumericEditor* TypeInto(int r, int c, const QString& text) {
        TGrid* grid = DataGrid();
        grid->SetActiveCell(r, c);
        grid->EditActiveCell(); // the cell was active already: as a double click
        TNumericEditor* editor = grid->Editor();
        if (!editor) {
            return nullptr;
        }
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        return editor;
    }
    // Types text into cell (r, c) and presses Enter.
    bool EnterValue(int r, int c, const QString& text) {
        TNumericEditor* editor = TypeInto(r, c, text);
        if (!editor) {
            return false;
        }
        QTest::keyClick(editor, Qt::Key_Return);
        return !DataGrid()->IsEditing();
    }

    std::unique_ptr<TSDIAppForm> Form;
    QList<TShownDialog> Dialogs;
    // The result code every recorded dialog returns (OK; Yes 6, No 7).
    int DialogAnswer = 1;
    QList<int> Topics;
    int Beeps = 0;
};
