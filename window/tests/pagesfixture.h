// The main window with the experiment pages, over a fresh model, solving in a
// temporary folder, with the message dialog, beep, help, error box and plain
// box replaced by recorders; and helpers that act on the pages as the user
// does.
#pragma once

#include "closurepage.h"
#include "formfixture.h"
#include "plainmessagebox.h"
#include "resultspage.h"
#include "shockspage.h"
#include "solvepage.h"
#include "tableaupage.h"
#include "vkdebuginfo.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

struct TPlainBox {
    QString Text;
    QString Caption;
};

class TPagesFixture : public TFormFixture {
public:
    TPagesFixture() {
        kv::TemFileName = Dir.filePath(QStringLiteral("TEM")).toStdString();
        SetPlainMessageBoxHook([this](const QString& text, const QString& caption) {
            PlainBoxes.append({text, caption});
        });
        SetErrorBoxHook([this](QWidget*, const QString&, const QString& text) {
            Errors.append(text);
            return true;
        });
    }
    ~TPagesFixture() {
        SetPlainMessageBoxHook({});
        SetErrorBoxHook({});
        kv::TemFileName = "TEM";
    }

    TTableauPage* Tableau() const { return static_cast<TTableauPage*>(Form->tabTableau); }
    TClosurePage* Closure() const { return static_cast<TClosurePage*>(Form->tabClosure); }
    TShocksPage* Shocks() const { return static_cast<TShocksPage*>(Form->tabShocks); }
    TSolvePage* Solve() const { return static_cast<TSolvePage*>(Form->tabSolve); }
    TResultsPage* Results() const { return static_cast<TResultsPage*>(Form->tabResults); }

    // Goes to page index as the user does; true when it became current.
    bool GoTo(int index) {
        ClickTab(index);
        return CurrentPage() == index;
    }

    // Types text into cell (r, c) of grid in place of its contents.
    static TNumericEditor* TypeIntoGrid(TGrid* grid, int r, int c, const QString& text) {
        grid->SetActiveCell(r, c);
        grid->EditActiveCell();
        TNumericEditor* editor = grid->Editor();
        if (!editor) {
            return nullptr;
        }
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        return editor;
    }
    // Types a shock for row r of the Shocks grid and presses Enter; true when
    // the edit ended (the value was accepted).
    bool EnterShock(int r, const QString& text) {
        TNumericEditor* editor = TypeIntoGrid(Shocks()->ExoTable(), r, 1, text);
        if (!editor) {
            return false;
        }
        QTest::keyClick(editor, Qt::Key_Return);
        return !Shocks()->ExoTable()->IsEditing();
    }
    // The Shocks grid row of variable name; 0 when it is not exogenous.
    int ShockRow(const char* name) {
        const int v = kv::FindVariable(name);
        for (int r = 1; r <= kv::NumExo; ++r) {
            if (E().Closure.ExoList(r) == v) {
                return r;
            }
        }
        return 0;
    }

    // Exchanges the endogenous variable endo with the exogenous one exo on
    // the Closure page, selecting them in the lists as the user does.
    bool Exchange(const char* endo, const char* exo) {
        if (!GoTo(piClosure)) {
            return false;
        }
        const int vOut = kv::FindVariable(endo);
        const int vIn = kv::FindVariable(exo);
        int k = -1;
        int j = -1;
        for (int i = 0; i < kv::NumEndo; ++i) {
            if (Closure()->EndoListVariable(i) == vOut) {
                k = i;
            }
        }
        for (int i = 0; i < kv::NumExo; ++i) {
            if (Closure()->ExoListVariable(i) == vIn) {
                j = i;
            }
        }
        if (k < 0 || j < 0) {
            return false;
        }
        Closure()->EndoListBox()->setCurrentRow(k);
        Closure()->ExoListBox()->setCurrentRow(j);
        QTest::mouseClick(Closure()->SwapButton(), Qt::LeftButton);
        return true;
    }

    // Solves from the Solve page with method and title, as the user does.
    void SolveWith(int method, const QString& title) {
        if (CurrentPage() != piSolve) {
            GoTo(piSolve);
        }
        TSolvePage* solve = Solve();
        QTest::mouseClick(solve->SolveRadio(method), Qt::LeftButton, {},
                          QPoint(4, solve->SolveRadio(method)->height() / 2));
        solve->SolNameEditBox()->setText(title);
        QTest::mouseClick(solve->SolveButton(), Qt::LeftButton);
    }

    // The text the Results grid shows in cell (r, k).
    QString ResultText(int r, int k) const {
        return Results()->ResultsTable()->GridModel()->CellText(r, k);
    }
    QStringList ResultTitles() const {
        QStringList titles;
        for (int k = 1; k < Results()->ResultsTable()->ColCount(); ++k) {
            titles << ResultText(0, k);
        }
        return titles;
    }

    // Clicks the heading of results column k, the column dialog answering answer.
    void ClickHeading(int k, int answer) {
        Results()->ColumnDialog = [answer] { return answer; };
        TGrid* grid = Results()->ResultsTable();
        QHeaderView* header = grid->horizontalHeader();
        const int section = k - grid->GridModel()->FixedCols();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                   header->height() / 2));
    }

    // Everything the pages show: every cell of every grid, both closure
    // lists and the title box, one line per grid row.
    QStringList PageTexts() const {
        for (int page = 1; page < PageCount; ++page) {
            Form->SetUpPage(page); // the title box is filled when its page is prepared
        }
        QStringList texts;
        auto grid = [&texts](const char* name, const TGridModel* model) {
            for (int r = 0; r < model->RowCount(); ++r) {
                QStringList row;
                for (int c = 0; c < model->ColCount(); ++c) {
                    row << model->CellText(r, c);
                }
                texts << QString::fromLatin1(name) + QLatin1Char(':') + row.join(QLatin1Char('|'));
            }
        };
        grid("data", DataGrid()->GridModel());
        grid("tableau", Tableau()->TableauTable()->GridModel());
        grid("shocks", Shocks()->ExoTable()->GridModel());
        grid("results", Results()->ResultsTable()->GridModel());
        grid("updated", Form->tabUpdatedData->Grid()->GridModel());
        QStringList endo;
        for (int k = 0; k < kv::NumEndo; ++k) {
            endo << QString::fromStdString(kv::VarName(Closure()->EndoListVariable(k)));
        }
        QStringList exo;
        for (int k = 0; k < kv::NumExo; ++k) {
            exo << QString::fromStdString(kv::VarName(Closure()->ExoListVariable(k)));
        }
        texts << QStringLiteral("endogenous:") + endo.join(QLatin1Char(' '))
              << QStringLiteral("exogenous:") + exo.join(QLatin1Char(' '))
              << QStringLiteral("title:") + Solve()->SolNameEditBox()->text();
        return texts;
    }

    QTemporaryDir Dir;
    QList<TPlainBox> PlainBoxes;
    QStringList Errors;
};
