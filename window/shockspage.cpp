#include "shockspage.h"

#include "celltext.h"
#include "experimentdoc.h"
#include "helpcontext.h"

#include <QLabel>
#include <QLayout>

// TShocksGridModel -------------------------------------------------------------

TShocksGridModel::TShocksGridModel(TExperimentDoc& doc, QObject* parent)
    : TGridModel(parent), FDoc(doc) {
    doc.OnChange(this, kv::chClosure | kv::chShocks, [this] { Refresh(); });
}

int TShocksGridModel::RowCount() const {
    return kv::NumExo + 1;
}

int TShocksGridModel::ColCount() const {
    return 2;
}

int TShocksGridModel::VariableOfRow(int r) const {
    return r >= 1 && r <= kv::NumExo ? FDoc.Experiment().Closure.ExoList(r) : 0;
}

QString TShocksGridModel::CellText(int r, int c) const {
    if (r == 0) {
        return c == 0 ? QStringLiteral("Exogenous Variable ") : QStringLiteral("Shock");
    }
    const int v = VariableOfRow(r);
    if (v == 0) {
        return QStringLiteral(" ");
    }
    if (c == 0) {
        return QString::fromStdString(kv::VarName(v)) + QStringLiteral("  ") +
               QString::fromStdString(kv::VarDesc(v));
    }
    return kv::FormatReal(FDoc.Experiment().ShockVec(v), 0, 2);
}

double TShocksGridModel::CellValue(int r, int c) const {
    const int v = VariableOfRow(r);
    return c == 1 && v != 0 ? FDoc.Experiment().ShockVec(v) : 0.0;
}

bool TShocksGridModel::SetCellValue(int r, int c, double value) {
    const int v = VariableOfRow(r);
    if (c != 1 || v == 0) {
        return false;
    }
    FDoc.SetShock(v, value);
    return true;
}

// TShocksPage ------------------------------------------------------------------

TShocksPage::TShocksPage(const TPageContext& context, QWidget* parent)
    : TPage(QStringLiteral("tabShocks"), 204, context, parent) {
    FPanel = MakeTitlePanel(QStringLiteral("ExogPanel"),
                            QStringLiteral("Click on exogenous value to change it."));
    FGrid = new TGrid(this);
    FGrid->setObjectName(QStringLiteral("ExoTable"));
    SetHelpContext(FGrid, HelpContext());
    FModel = new TShocksGridModel(*context.Doc, this);
    FGrid->SetGridModel(FModel);

    StackTitleAndGrid(FPanel, FGrid);
}

bool TShocksPage::IsEditing() const {
    return FGrid->HasTypedEdit();
}

bool TShocksPage::EndEdit() {
    return FGrid->EndEdit();
}

void TShocksPage::Prepare() {
    const TLayoutMetrics& m = Context().Metrics;
    const TGrid* base = Context().BaseDataTable;
    SizeTitlePanel(FPanel);
    FGrid->BeginUpdate();
    FGrid->SetOptions(Context().DataGridOptions(Qt::ScrollBarAsNeeded));
    FGrid->SetFixed(1, 1);
    FGrid->SetDefaultRowHeight(m.RowHeight);

    // ExogVarTCString: the variables and the headings, on aqua.
    FVarString = TCellStyle{};
    FVarString.Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    FVarString.Background = QColor(0, 255, 255);
    Context().ApplyScreenFont(FVarString.Font, m.BaseHeight);
    // ShockField: the shock, edited in place with 2 decimals from -99 to 500.
    FShockField = TCellStyle{};
    FShockField.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    FShockField.Background = palette().color(QPalette::Button);
    FShockField.Editable = true;
    FShockField.Range = TNumericRange{MinShock, MaxShock, 2, 7};
    Context().ApplyScreenFont(FShockField.Font, m.BaseHeight);
    FModel->SetColumnStyle(0, &FVarString);
    FModel->SetColumnStyle(1, &FShockField);
    FModel->SetCellStyle(0, 1, &FVarString);
    FGrid->SetColWidth(0, VarColumnUnits * m.ColUnit);
    FGrid->SetColWidth(1, ShockColumnUnits * m.ColUnit);

    if (base) {
        FGrid->SetColours(base->Colours());
    }
    TGridLineStyle lines = FGrid->LineStyle();
    lines.Lines = TGridLines::Dotted;
    lines.Outline = TActiveOutline::SolidWhenFocused;
    FGrid->SetLineStyle(lines);
    FGrid->EndUpdate();
    FGrid->Redraw();
    // The title panel's new height takes effect now, not at the next event.
    layout()->activate();
}
