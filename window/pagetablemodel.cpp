#include "pagetablemodel.h"

#include "experimentdoc.h"

TPageTableModel::TPageTableModel(TExperimentDoc& doc, unsigned parts, TDescribe describe,
                                 QObject* parent)
    : TGridModel(parent), FDoc(&doc), FDescribe(std::move(describe)),
      FTable(FDescribe(doc.Experiment())) {
    doc.OnChange(this, parts, [this] { this->describe(); });
}

TPageTableModel::TPageTableModel(kv::TPageTable table, QObject* parent)
    : TGridModel(parent), FTable(std::move(table)) {}

void TPageTableModel::SetRoleStyle(kv::TCellRole role, const TCellStyle* style) {
    FRoleStyles[static_cast<std::size_t>(role)] = style;
}

const TCellStyle& TPageTableModel::StyleAt(int r, int c) const {
    if (const TCellStyle* style = FRoleStyles[static_cast<std::size_t>(FTable.RoleAt(r, c))]) {
        return *style;
    }
    return TGridModel::StyleAt(r, c);
}

void TPageTableModel::describe() {
    kv::TPageTable table = FDescribe(FDoc->Experiment());
    const bool reshaped = table.Rows != FTable.Rows || table.Cols != FTable.Cols ||
                          table.FixedRows != FTable.FixedRows ||
                          table.FixedCols != FTable.FixedCols;
    // The view is told of a new size while the model changes to it: the
    // size first, then the rest of the description.
    if (table.Cols > FTable.Cols) {
        InsertGridColumns(FTable.Cols, table.Cols - FTable.Cols, [&] { FTable.Cols = table.Cols; });
    } else if (table.Cols < FTable.Cols) {
        RemoveGridColumns(table.Cols, FTable.Cols - table.Cols, [&] { FTable.Cols = table.Cols; });
    }
    if (table.Rows != FTable.Rows) {
        beginResetModel();
        FTable = std::move(table);
        endResetModel();
    } else {
        FTable = std::move(table);
    }
    Refresh();
    if (reshaped) {
        emit Reshaped();
    }
}
