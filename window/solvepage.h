// The Solve page: the choice of one of the five solution methods, the
// experiment's title and the Solve button, which solves the model and stores
// the solution.
#pragma once

#include "page.h"

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TSolvePage : public TPage {
    Q_OBJECT
public:
    // solutionMethod: the window's SolutionMethod, which the radio buttons set;
    // layoutWidth and layoutGap: the window's LayoutWidth and LayoutGap.
    TSolvePage(const TPageContext& context, unsigned short& solutionMethod, const int& layoutWidth,
               const int& layoutGap, QWidget* parent = nullptr);

    QLabel* SolveTitlePanel() const { return FPanel; }
    // SolveRadio1..SolveRadio5 for k = 1..5.
    QRadioButton* SolveRadio(int k) const;
    QPushButton* SolveButton() const { return FSolveButton; }
    QLabel* SolNameEditBoxLabel() const { return FNameLabel; }
    QLineEdit* SolNameEditBox() const { return FNameBox; }

    // What the solve flow asks of the window: the busy state, and the
    // arrival of a new solution (a new results column, the Results page).
    std::function<void(bool on)> Waiting;
    std::function<void()> SolutionStored;

    // The shared click handler of the radio buttons: SolutionMethod = tag.
    void SolveRadio5Click(int tag);
    // The solve flow. A click that arrives while a solve runs (the busy
    // state lets pending events through once) is ignored.
    void SolveButtonClick();

    static constexpr int MaxTitleLength = 8;

protected:
    void Prepare() override; // SetUpSolvePage
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void placeTitlePanel();
    void showTitle();
    void commitTitle();

    unsigned short& FSolutionMethod;
    const int& FLayoutWidth;
    const int& FLayoutGap;
    QLabel* FPanel;
    std::array<QRadioButton*, 5> FRadios{};
    QPushButton* FSolveButton;
    QLabel* FNameLabel;
    QLineEdit* FNameBox;
    bool FSolving = false;
};
