#include "resultspage.h"

#include "chartdata.h"
#include "chartview.h"
#include "closurecheck.h"
#include "colmovedlg.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "plainmessagebox.h"
#include "vkdebuginfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <exception>

// TResultsGridModel ------------------------------------------------------------

TResultsGridModel::TResultsGridModel(TExperimentDoc& doc, QObject* parent)
    : TPageTableModel(doc, kv::chSolutions, kv::ResultsPageTable, parent) {}

QString TResultsGridModel::CellNote(int r, int k) const {
    const kv::TSolutionStore& S = Doc().Experiment().Solutions;
    if (r != 0 || k < 1 || k > S.Count) {
        return {};
    }
    // The closure is checked on the database the solution was solved from.
    try {
        const kv::TSolution& sol = S.Items(k);
        const kv::TExperiment e = kv::ExperimentOf(sol.Inputs);
        const kv::TClosureCheck check = kv::CheckClosure(e.Tableau, e.Closure);
        if (check.Unreliable) {
            // As the message of the solve said it.
            return QStringLiteral("The results are unreliable: ") +
                   QString::fromStdString(kv::UnreliableReason(check)) + QLatin1Char('.');
        }
    } catch (const std::exception&) {
        // A note is no place for an error; the solution was solved, so its
        // database builds.
    }
    return {};
}

// TResultsPage -----------------------------------------------------------------

TResultsPage::TResultsPage(const TPageContext& context, QWidget* parent)
    : TGridPage({QStringLiteral("tabResults"), 206, QStringLiteral("ResultsPanel"),
                 QStringLiteral("Results - Click Column Headings to Move or Delete "),
                 QStringLiteral("ResultsTable")},
                new TResultsGridModel(*context.Doc), context, parent) {
    Grid()->setStatusTip(QStringLiteral("Exogenous values are preceded by the '#' symbol."));
    connect(Grid(), &TGrid::LockedCellClick, this, &TResultsPage::ResultsTableLockedCellClick);
    connect(Grid(), &TGrid::CellContextMenu, this, &TResultsPage::ResultsTableCellContextMenu);

    // The chart beside the grid, shown by the Chart button on the title panel.
    FChart = new TResultsChartView(*context.Doc, this);
    FChart->hide();
    SetHelpContext(FChart, ChartsHelpContext);
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setChildrenCollapsible(false);
    layout()->replaceWidget(Grid(), FSplitter);
    FSplitter->addWidget(Grid());
    FSplitter->addWidget(FChart);
    FChartButton = new QToolButton(Panel());
    FChartButton->setObjectName(QStringLiteral("ChartButton"));
    FChartButton->setText(QStringLiteral("Chart"));
    FChartButton->setCheckable(true);
    FChartButton->setStatusTip(QStringLiteral("Shows the results as a bar chart beside the grid."));
    auto* panelLayout = new QHBoxLayout(Panel());
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
}

void TResultsPage::PrepareGrid() {
    const TLayoutMetrics& m = Context().Metrics;
    // ResultsTCString: headings and solutions, right-aligned, long titles
    // wrapped; ResultsTCStringLeft: the variable names.
    FString = TCellStyle{};
    FString.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    FString.WordWrap = true;
    Context().ApplyScreenFont(FString.Font, m.BaseHeight);
    FStringLeft = FString;
    FStringLeft.Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    FStringLeft.WordWrap = false;
    Model()->SetRoleStyle(kv::TCellRole::Title, &FString);
    Model()->SetRoleStyle(kv::TCellRole::Name, &FStringLeft);
    LayOutColumns();
}

void TResultsPage::LayOutColumns() {
    const TLayoutMetrics& m = Context().Metrics;
    Grid()->SetColWidth(0, VarColumnUnits * m.ColUnit);
    for (int k = 1; k < Model()->ColCount(); ++k) {
        Grid()->SetColWidth(k, SolutionColumnUnits * m.ColUnit);
    }
}

const kv::TSolution* TResultsPage::solutionOf(int k) const {
    const kv::TSolutionStore& S = Doc().Experiment().Solutions;
    return k >= 1 && k <= S.Count ? &S.Items(k) : nullptr;
}

void TResultsPage::ResultsTableCellContextMenu(int, int k, const QPoint& globalPos) {
    const kv::TSolution* sol = solutionOf(k);
    if (!sol) {
        return;
    }
    const QString title = QString::fromStdString(sol->Soltitle).trimmed();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("SolutionMenu"));
    QAction* contributions = menu.addAction(QStringLiteral("&Contributions to %1...").arg(title));
    contributions->setObjectName(QStringLiteral("ContributionsAction"));
    contributions->setEnabled(sol->Decomposition != nullptr);
    QAction* convergence = menu.addAction(QStringLiteral("C&onvergence of %1...").arg(title));
    convergence->setObjectName(QStringLiteral("ConvergenceAction"));
    QAction* chosen = menu.exec(globalPos);
    if (chosen == contributions) {
        ShowContributions(k);
    } else if (chosen == convergence) {
        ShowConvergence(k);
    }
}

void TResultsPage::ShowContributions(int k) {
    const kv::TSolution* sol = solutionOf(k);
    if (!sol || !sol->Decomposition || !ShowTable) {
        return;
    }
    ShowTable(kv::DecompositionTable(*sol), DecompositionHelpContext);
}

void TResultsPage::ShowConvergence(int k) {
    const kv::TSolution* sol = solutionOf(k);
    if (!sol || !ShowTable) {
        return;
    }
    // The seven Euler runs take a few milliseconds: no busy state.
    kv::TPageTable table;
    try {
        table = kv::ConvergenceTable(*sol, kv::SolutionConvergence(*sol));
    } catch (...) {
        HandleAppException(this, std::current_exception());
        return;
    }
    ShowTable(table, AccuracyHelpContext);
}

int TResultsPage::runColumnDialog(int k) {
    if (ColumnDialog) {
        return ColumnDialog();
    }
    // Its caption names the column by its heading.
    TColMoveDlg dialog(Model()->CellText(0, k), this);
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
