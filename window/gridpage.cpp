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

void ApplyFixedHeadings(TGrid& grid, const TPageTableModel& model) {
    const kv::TPageTable& table = model.Table();
    if (model.FixedRows() != table.FixedRows || model.FixedCols() != table.FixedCols) {
        grid.SetFixed(table.FixedRows, table.FixedCols);
    }
}

void PrepareTableGrid(TGrid& grid, TPageTableModel& model, const TPageContext& context,
                      const TGridLineStyle& lines, const std::function<void()>& prepare) {
    grid.BeginUpdate();
    grid.SetOptions(context.DataGridOptions(Qt::ScrollBarAsNeeded));
    ApplyFixedHeadings(grid, model);
    grid.SetDefaultRowHeight(context.Metrics.RowHeight);
    prepare();
    if (const TGrid* base = context.BaseDataTable) {
        grid.SetColours(base->Colours());
    }
    grid.SetLineStyle(lines);
    grid.EndUpdate();
    grid.Redraw();
}

void TGridPage::Prepare() {
    SizeTitlePanel(FPanel);
    PrepareTableGrid(*FGrid, *FModel, Context(), GridLines(), [this] { PrepareGrid(); });
    // The title panel's new height takes effect now, not at the next event.
    layout()->activate();
}

void TGridPage::reshaped() {
    if (!Prepared()) {
        return; // Prepare lays the grid out as the table is then
    }
    FGrid->BeginUpdate();
    ApplyFixedHeadings(*FGrid, *FModel);
    FGrid->SetDefaultRowHeight(Context().Metrics.RowHeight);
    LayOutColumns();
    FGrid->EndUpdate();
    FGrid->Redraw();
}
