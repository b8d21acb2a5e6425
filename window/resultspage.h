// The Results page: every stored solution as one column beside the variable
// names, and the moving and deleting of a solution through the column dialog
// opened by a click on its heading.
#pragma once

#include "gridpage.h"

#include <functional>

class QLabel;
class QSplitter;
class QToolButton;
class TResultsChartView;
class TExperimentDoc;

// The Results page's table, and a note on the heading of a solution whose
// closure makes its results unreliable.
class TResultsGridModel : public TPageTableModel {
    Q_OBJECT
public:
    explicit TResultsGridModel(TExperimentDoc& doc, QObject* parent = nullptr);
    QString CellNote(int r, int c) const override;
};

class TResultsPage : public TGridPage {
    Q_OBJECT
public:
    explicit TResultsPage(const TPageContext& context, QWidget* parent = nullptr);

    QLabel* ResultsPanel() const { return Panel(); }
    TGrid* ResultsTable() const { return Grid(); }
    const TCellStyle& ResultsTCString() const { return FString; }
    const TCellStyle& ResultsTCStringLeft() const { return FStringLeft; }

    // The chart view beside the grid and the button that shows it.
    TResultsChartView* ResultsChart() const { return FChart; }
    QToolButton* ChartButton() const { return FChartButton; }
    static constexpr int ChartsHelpContext = 231;

    // A click on a fixed cell: the heading of a solution opens the column
    // dialog and acts on its answer.
    void ResultsTableLockedCellClick(int r, int k);

    // Runs the column dialog and returns its result; tests replace it.
    std::function<int()> ColumnDialog;

    // The context menu of solution k's column: its contributions and its
    // convergence, each a table in a window of its own.
    void ResultsTableCellContextMenu(int r, int k, const QPoint& globalPos);
    // The menu's two commands for solution k (1..Count).
    void ShowContributions(int k);
    void ShowConvergence(int k);
    // Shows an explanation table with its help topic; the main window opens
    // it with its output commands, tests replace it.
    std::function<void(const kv::TPageTable& table, int helpContext)> ShowTable;

    static constexpr int VarColumnUnits = 29;
    static constexpr int SolutionColumnUnits = 9;

protected:
    void PrepareGrid() override; // SetUpResultsPage
    void LayOutColumns() override;

private:
    int runColumnDialog(int k);
    // The solution of column k, null for any other column.
    const kv::TSolution* solutionOf(int k) const;

    TCellStyle FString;     // ResultsTCString
    TCellStyle FStringLeft; // ResultsTCStringLeft
    QSplitter* FSplitter;
    TResultsChartView* FChart;
    QToolButton* FChartButton;
};
