#include "tableaupage.h"

#include "experimentdoc.h"

TTableauPage::TTableauPage(const TPageContext& context, QWidget* parent)
    : TGridPage({QStringLiteral("tabTableau"), 202, QStringLiteral("TableauLabel"),
                 QStringLiteral("Coefficient Matrix"), QStringLiteral("TableauTable")},
                new TPageTableModel(*context.Doc, kv::chTableau, kv::TableauPageTable), context,
                parent) {
    Grid()->setStatusTip(QStringLiteral("Use the scrollbars to move through the table"));
}

void TTableauPage::PrepareGrid() {
    const TLayoutMetrics& m = Context().Metrics;
    FRight = TCellStyle{};
    FRight.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    Context().ApplyScreenFont(FRight.Font, m.BaseHeight);
    Model()->SetRoleStyle(kv::TCellRole::Number, &FRight);
    for (int c = 0; c < Model()->ColCount(); ++c) {
        Grid()->SetColWidth(c, ColumnUnits * m.ColUnit);
    }
}
