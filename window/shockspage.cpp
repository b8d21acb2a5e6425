#include "shockspage.h"

#include "experimentdoc.h"

// TShocksGridModel -------------------------------------------------------------

TShocksGridModel::TShocksGridModel(TExperimentDoc& doc, QObject* parent)
    : TPageTableModel(doc, kv::chClosure | kv::chShocks, kv::ShocksPageTable, parent) {}

int TShocksGridModel::VariableOfRow(int r) const {
    return r >= 1 && r <= kv::NumExo ? Doc().Experiment().Closure.ExoList(r) : 0;
}

double TShocksGridModel::CellValue(int r, int c) const {
    const int v = VariableOfRow(r);
    return c == 1 && v != 0 ? Doc().Experiment().ShockVec(v) : 0.0;
}

bool TShocksGridModel::SetCellValue(int r, int c, double value) {
    const int v = VariableOfRow(r);
    if (c != 1 || v == 0) {
        return false;
    }
    Doc().SetShock(v, value);
    return true;
}

// TShocksPage ------------------------------------------------------------------

TShocksPage::TShocksPage(const TPageContext& context, QWidget* parent)
    : TGridPage({QStringLiteral("tabShocks"), 204, QStringLiteral("ExogPanel"),
                 QStringLiteral("Click on exogenous value to change it."),
                 QStringLiteral("ExoTable")},
                new TShocksGridModel(*context.Doc), context, parent) {}

TGridLineStyle TShocksPage::GridLines() const {
    TGridLineStyle lines = TGridPage::GridLines();
    lines.Outline = TActiveOutline::SolidWhenFocused;
    return lines;
}

void TShocksPage::PrepareGrid() {
    const TLayoutMetrics& m = Context().Metrics;
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
    Model()->SetRoleStyle(kv::TCellRole::Name, &FVarString);
    Model()->SetRoleStyle(kv::TCellRole::Entry, &FShockField);
    Grid()->SetColWidth(0, VarColumnUnits * m.ColUnit);
    Grid()->SetColWidth(1, ShockColumnUnits * m.ColUnit);
}
