#include "tableaupage.h"

#include "celltext.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "tableau.h"

#include <QLabel>
#include <QLayout>

TTableauGridModel::TTableauGridModel(TExperimentDoc& doc, QObject* parent)
    : TGridModel(parent), FDoc(doc) {
    doc.OnChange(this, kv::chTableau, [this] { Refresh(); });
}

int TTableauGridModel::RowCount() const {
    return kv::NumEqs + 1;
}

int TTableauGridModel::ColCount() const {
    return kv::NumVars + 1;
}

QString TTableauGridModel::CellText(int r, int c) const {
    return kv::TableauCellText(FDoc.Experiment().Tableau, r, c);
}

TTableauPage::TTableauPage(const TPageContext& context, QWidget* parent)
    : TPage(QStringLiteral("tabTableau"), 202, context, parent) {
    FLabel = MakeTitlePanel(QStringLiteral("TableauLabel"), QStringLiteral("Coefficient Matrix"));
    FGrid = new TGrid(this);
    FGrid->setObjectName(QStringLiteral("TableauTable"));
    FGrid->setStatusTip(QStringLiteral("Use the scrollbars to move through the table"));
    SetHelpContext(FGrid, HelpContext());
    FModel = new TTableauGridModel(*context.Doc, this);
    FGrid->SetGridModel(FModel);

    StackTitleAndGrid(FLabel, FGrid);
}

void TTableauPage::Prepare() {
    const TLayoutMetrics& m = Context().Metrics;
    const TGrid* base = Context().BaseDataTable;
    SizeTitlePanel(FLabel);
    FGrid->BeginUpdate();
    FGrid->SetOptions(Context().DataGridOptions(Qt::ScrollBarAsNeeded));
    // Row 0 (variable names) and column 0 (equation numbers) stay in view.
    FGrid->SetFixed(1, 1);
    FGrid->SetDefaultRowHeight(m.RowHeight);

    FRight = TCellStyle{};
    FRight.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    Context().ApplyScreenFont(FRight.Font, m.BaseHeight);
    for (int c = 0; c < FModel->ColCount(); ++c) {
        FModel->SetColumnStyle(c, &FRight);
        FGrid->SetColWidth(c, ColumnUnits * m.ColUnit);
    }

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
