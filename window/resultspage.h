// The Results page: every stored solution as one column beside the variable
// names, and the moving and deleting of a solution through the column dialog
// opened by a click on its heading.
#pragma once

#include "grid.h"
#include "page.h"

#include <functional>

class QLabel;
class QSplitter;
class QToolButton;
class TResultsChartView;
class TExperimentDoc;

// Rows 0..52 (heading and variables), columns 0..Count: the variable column
// and one per stored solution of the experiment; texts of ResultsCellText.
class TResultsGridModel : public TGridModel {
    Q_OBJECT
public:
    explicit TResultsGridModel(TExperimentDoc& doc, QObject* parent = nullptr);
    int RowCount() const override;
    int ColCount() const override { return FColumns; }
    QString CellText(int r, int c) const override;

    // Takes the store's solutions: columns inserted or removed at the right
    // for a new count, every cell redrawn.
    void SolutionsChanged();

private:
    TExperimentDoc& FDoc;
    int FColumns; // the columns the view was told of
};

class TResultsPage : public TPage {
    Q_OBJECT
public:
    explicit TResultsPage(const TPageContext& context, QWidget* parent = nullptr);

    QLabel* ResultsPanel() const { return FPanel; }
    TGrid* ResultsTable() const { return FGrid; }
    const TCellStyle& ResultsTCString() const { return FString; }
    const TCellStyle& ResultsTCStringLeft() const { return FStringLeft; }

    TGrid* OutputGrid() const override { return FGrid; }

    // The chart view beside the grid and the button that shows it.
    TResultsChartView* ResultsChart() const { return FChart; }
    QToolButton* ChartButton() const { return FChartButton; }
    static constexpr int ChartsHelpContext = 231;

    // A click on a fixed cell: the heading of a solution opens the column
    // dialog and acts on its answer.
    void ResultsTableLockedCellClick(int r, int k);

    // Runs the column dialog and returns its result; tests replace it.
    std::function<int()> ColumnDialog;

    static constexpr int VarColumnUnits = 29;
    static constexpr int SolutionColumnUnits = 9;

protected:
    void Prepare() override; // SetUpResultsPage

private:
    int runColumnDialog(int k);
    // Fixed heading row; the variable column fixed once there is a solution.
    void applyLayout();
    // The store changed: the grid's columns follow it.
    void solutionsChanged();

    QLabel* FPanel;
    TGrid* FGrid;
    TResultsGridModel* FModel;
    TCellStyle FString;     // ResultsTCString
    TCellStyle FStringLeft; // ResultsTCStringLeft
    QSplitter* FSplitter;
    TResultsChartView* FChart;
    QToolButton* FChartButton;
};
