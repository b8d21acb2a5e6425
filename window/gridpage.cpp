#include "gridpage.h"

#include "helpcontext.h"

#include <QLabel>
#include <QLayout>

TGridPage::TGridPage(const TGridPageNames& names, TPageTableModel* model,
                     const TPageContext& context, QWidget* parent)
    : TPage(names.Page, names.HelpContext, context, parent), FModel(model) {
    FModel->setParent(this);
    FPanel = MakeTitlePanel(names.Panel, names.Caption);
    FGrid = new TGrid(this);
    FGrid->setObjectName(names.Grid);
    SetHelpContext(FGrid, HelpContext());
    FGrid->SetGridModel(FModel);
    connect(FModel, &TPageTableModel::Reshaped, this, &TGridPage::reshaped);
    StackTitleAndGrid(FPanel, FGrid);
}

bool TGridPage::IsEditing() const {
    return FGrid->HasTypedEdit();
}

bool TGridPage::EndEdit() {
    return FGrid->EndEdit();
}

std::optional<kv::TPageTable> TGridPage::OutputTable() const {
    if (FModel->Table().PrintTitle.isEmpty()) {
        return std::nullopt;
    }
    return FModel->Table();
}

TGridLineStyle TGridPage::GridLines() const {
    TGridLineStyle lines = FGrid->LineStyle();
    lines.Lines = TGridLines::Dotted;
    lines.Outline = TActiveOutline::None;
    return lines;
}

void TGridPage::applyFixed() {
    const kv::TPageTable& table = FModel->Table();
    if (FModel->FixedRows() != table.FixedRows || FModel->FixedCols() != table.FixedCols) {
        FGrid->SetFixed(table.FixedRows, table.FixedCols);
    }
}

void TGridPage::Prepare() {
    const TLayoutMetrics& m = Context().Metrics;
    SizeTitlePanel(FPanel);
    FGrid->BeginUpdate();
    FGrid->SetOptions(Context().DataGridOptions(Qt::ScrollBarAsNeeded));
    applyFixed();
    FGrid->SetDefaultRowHeight(m.RowHeight);
    PrepareGrid();
    if (const TGrid* base = Context().BaseDataTable) {
        FGrid->SetColours(base->Colours());
    }
    FGrid->SetLineStyle(GridLines());
    FGrid->EndUpdate();
    FGrid->Redraw();
    // The title panel's new height takes effect now, not at the next event.
    layout()->activate();
}

void TGridPage::reshaped() {
    if (!Prepared()) {
        return; // Prepare lays the grid out as the table is then
    }
    FGrid->BeginUpdate();
    applyFixed();
    FGrid->SetDefaultRowHeight(Context().Metrics.RowHeight);
    LayOutColumns();
    FGrid->EndUpdate();
    FGrid->Redraw();
}
