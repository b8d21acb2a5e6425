// The Closure page: the endogenous and the exogenous variables in two lists
// side by side, and the exchange of one variable of each list.
#pragma once

#include "closurecheck.h"
#include "page.h"

#include <QListWidget>
#include <QStyledItemDelegate>
#include <functional>

class QLabel;
class QPushButton;
class QSplitter;

// Draws item k of a variable list: the variable's name 3 pixels from the
// list's left edge, its description 3 * ItemHeight pixels from it (further
// right only when the widest name would reach it in the list's font).
class TVarListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // variableOf(k): the variable item k shows; itemHeight: ItemHeight, read
    // when drawing.
    TVarListDelegate(std::function<int(int)> variableOf, const int& itemHeight,
                     QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the descriptions start, from the list's left edge: 3 * itemHeight,
    // or a small gap after the widest variable name when that is wider.
    static int DescriptionLeft(const QFont& font, int itemHeight);

private:
    std::function<int(int)> FVariableOf;
    const int& FItemHeight;
    mutable QFont FMeasuredFont;
    mutable int FMeasuredHeight = -1;
    mutable int FDescriptionLeft = 0;
};

class TClosurePage : public TPage {
    Q_OBJECT
public:
    explicit TClosurePage(const TPageContext& context, QWidget* parent = nullptr);

    QWidget* pnlShocksInst() const { return FInstPanel; }
    QPushButton* SwapButton() const { return FSwapButton; }
    QLabel* ClosureInstructions() const { return FInstructions; }
    QSplitter* splShocks1() const { return FSplitter; }
    QWidget* pnlShockEndo() const { return FEndoPanel; }
    QWidget* pnlShocksExo() const { return FExoPanel; }
    QLabel* ClosureEndoLabel() const { return FEndoLabel; }
    QLabel* ClosureExoLabel() const { return FExoLabel; }
    QListWidget* EndoListBox() const { return FEndoList; }
    QListWidget* ExoListBox() const { return FExoList; }
    int ItemHeight() const { return FItemHeight; }

    // The variable that item k (from 0) of each list shows; 0 outside the list.
    int EndoListVariable(int k) const;
    int ExoListVariable(int k) const;

    // Exchanges the selected variables of the two lists.
    void ExchangeClick();

    // Whether the closure can be solved on the current database, checked
    // after every change of the closure or the data; Explain shows why not.
    QLabel* ClosureCheckLabel() const { return FCheckLabel; }
    QPushButton* ExplainButton() const { return FExplainButton; }
    // The experiment's check; an empty one when the check failed.
    const kv::TClosureCheck& ClosureCheck() const;
    // The explanation with the exchanges that cure the closure, as Explain shows it.
    QString ExplanationText() const;
    void ExplainClick();

protected:
    void Prepare() override; // SetUpClosurePage
    void resizeEvent(QResizeEvent* event) override;

private:
    void tabClosureResize();
    void checkClosure();

    QWidget* FInstPanel;
    QWidget* FCheckPanel;
    QLabel* FCheckLabel;
    QPushButton* FExplainButton;
    QPushButton* FSwapButton;
    QLabel* FInstructions;
    QSplitter* FSplitter;
    QWidget* FEndoPanel;
    QWidget* FExoPanel;
    QLabel* FEndoLabel;
    QLabel* FExoLabel;
    QListWidget* FEndoList;
    QListWidget* FExoList;
    int FItemHeight = 0;
};
