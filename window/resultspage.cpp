#include "resultspage.h"

#include "celltext.h"
#include "chartview.h"
#include "colmovedlg.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "plainmessagebox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QSplitter>
#include <QToolButton>

// TResultsGridModel ------------------------------------------------------------

TResultsGridModel::TResultsGridModel(TExperimentDoc& doc, QObject* parent)
    : TGridModel(parent), FDoc(doc), FColumns(doc.Experiment().Solutions.Count + 1) {}

int TResultsGridModel::RowCount() const {
    return kv::NumVars + 1;
}

QString TResultsGridModel::CellText(int r, int c) const {
    return kv::ResultsCellText(FDoc.Experiment().Solutions, r, c);
}

void TResultsGridModel::SolutionsChanged() {
    const int columns = FDoc.Experiment().Solutions.Count + 1;
    if (columns > FColumns) {
        InsertGridColumns(FColumns, columns - FColumns, [&] { FColumns = columns; });
    } else if (columns < FColumns) {
        RemoveGridColumns(columns, FColumns - columns, [&] { FColumns = columns; });
    }
    Refresh();
}

// TResultsPage -----------------------------------------------------------------

TResultsPage::TResultsPage(const TPageContext& context, QWidget* parent)
    : TPage(QStringLiteral("tabResults"), 206, context, parent) {
    FPanel = MakeTitlePanel(QStringLiteral("ResultsPanel"),
                            QStringLiteral("Results - Click Column Headings to Move or Delete "));
    FGrid = new TGrid(this);
    FGrid->setObjectName(QStringLiteral("ResultsTable"));
    FGrid->setStatusTip(QStringLiteral("Exogenous values are preceded by the '#' symbol."));
    SetHelpContext(FGrid, HelpContext());
    FModel = new TResultsGridModel(*context.Doc, this);
    FGrid->SetGridModel(FModel);
    Doc().OnChange(this, kv::chSolutions, [this] { solutionsChanged(); });
    connect(FGrid, &TGrid::LockedCellClick, this, &TResultsPage::ResultsTableLockedCellClick);

    // The chart beside the grid, shown by the Chart button on the title panel.
    FChart = new TResultsChartView(*context.Doc, this);
    FChart->hide();
    SetHelpContext(FChart, ChartsHelpContext);
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setChildrenCollapsible(false);
    FSplitter->addWidget(FGrid);
    FSplitter->addWidget(FChart);
    FChartButton = new QToolButton(FPanel);
    FChartButton->setObjectName(QStringLiteral("ChartButton"));
    FChartButton->setText(QStringLiteral("Chart"));
    FChartButton->setCheckable(true);
    FChartButton->setStatusTip(QStringLiteral("Shows the results as a bar chart beside the grid."));
    auto* panelLayout = new QHBoxLayout(FPanel);
    panelLayout->setContentsMargins(0, 0, 4, 0);
    panelLayout->addStretch();
    panelLayout->addWidget(FChartButton);
    connect(FChartButton, &QToolButton::toggled, this, [this](bool on) {
        FChart->setVisible(on);
        if (on) {
            // The grid keeps its variable column and a solution or two.
            const int width = FSplitter->width();
            FSplitter->setSizes({width / 3, width - width / 3});
        }
    });

    StackTitleAndGrid(FPanel, FSplitter);
}

void TResultsPage::Prepare() {
    const TLayoutMetrics& m = Context().Metrics;
    const TGrid* base = Context().BaseDataTable;
    SizeTitlePanel(FPanel);
    FGrid->BeginUpdate();
    FGrid->SetOptions(Context().DataGridOptions(Qt::ScrollBarAsNeeded));

    // ResultsTCString: headings and solutions, right-aligned, long titles
    // wrapped; ResultsTCStringLeft: the variable names.
    FString = TCellStyle{};
    FString.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    FString.WordWrap = true;
    Context().ApplyScreenFont(FString.Font, m.BaseHeight);
    FStringLeft = FString;
    FStringLeft.Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    FStringLeft.WordWrap = false;
    FModel->SetColumnStyle(0, &FStringLeft);
    FModel->SetCellStyle(0, 0, &FString);
    for (int k = 1; k <= kv::MaxSolutions; ++k) {
        FModel->SetColumnStyle(k, &FString);
    }

    applyLayout();

    if (base) {
        FGrid->SetColours(base->Colours());
    }
    TGridLineStyle lines = FGrid->LineStyle();
    lines.Lines = TGridLines::Dotted;
    lines.Outline = TActiveOutline::None;
    FGrid->SetLineStyle(lines);
    FGrid->EndUpdate();
    FGrid->Redraw();
    // The title panel's new height takes effect now, not at the next event.
    layout()->activate();
}

void TResultsPage::applyLayout() {
    const TLayoutMetrics& m = Context().Metrics;
    const int fixedCols = FModel->ColCount() > 1 ? 1 : 0;
    if (FModel->FixedRows() != 1 || FModel->FixedCols() != fixedCols) {
        FGrid->SetFixed(1, fixedCols);
    }
    FGrid->SetDefaultRowHeight(m.RowHeight);
    FGrid->SetColWidth(0, VarColumnUnits * m.ColUnit);
    for (int k = 1; k < FModel->ColCount(); ++k) {
        FGrid->SetColWidth(k, SolutionColumnUnits * m.ColUnit);
    }
}

void TResultsPage::solutionsChanged() {
    FGrid->BeginUpdate();
    FModel->SolutionsChanged();
    if (Prepared()) {
        applyLayout();
    }
    FGrid->EndUpdate();
    FGrid->Redraw();
}

int TResultsPage::runColumnDialog(int k) {
    if (ColumnDialog) {
        return ColumnDialog();
    }
    // Its caption names the column by its heading.
    TColMoveDlg dialog(FModel->CellText(0, k), this);
    return dialog.exec();
}

void TResultsPage::ResultsTableLockedCellClick(int r, int k) {
    const int count = Doc().Experiment().Solutions.Count;
    if (r != 0 || k < 1 || k > count) {
        return;
    }
    switch (runColumnDialog(k)) {
    case TColMoveDlg::crMoveLeft:
        if (k > 1) {
            Doc().MoveSolutionLeft(k);
        }
        break;
    case TColMoveDlg::crMoveRight:
        if (k < count) {
            Doc().MoveSolutionRight(k);
        }
        break;
    case TColMoveDlg::crDelete:
        if (count == 1) {
            ShowPlainMessageBox(this, QStringLiteral("You cannot delete the only solution."),
                                QStringLiteral("SORRY - NO CAN DO !"));
            break;
        }
        Doc().DeleteSolution(k);
        break;
    default:
        break;
    }
}
