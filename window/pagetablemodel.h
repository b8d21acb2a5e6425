// A grid model over a page table's description (output/pagetables.h): its
// size, cell texts and fixed headings are the description's, and each cell's
// role picks the drawing style the page gave for it. Print, save and copy read
// the same description, so what they write is what the grid shows.
#pragma once

#include "grid.h"
#include "pagetables.h"

#include <array>
#include <functional>

class TExperimentDoc;

class TPageTableModel : public TGridModel {
    Q_OBJECT
public:
    using TDescribe = std::function<kv::TPageTable(const kv::TExperiment&)>;

    // Describes the table of doc's experiment now and again whenever one of
    // parts (kv::TChange bits) changes.
    TPageTableModel(TExperimentDoc& doc, unsigned parts, TDescribe describe,
                    QObject* parent = nullptr);
    // A table that keeps what it shows.
    explicit TPageTableModel(kv::TPageTable table, QObject* parent = nullptr);

    // The table as the grid shows it.
    const kv::TPageTable& Table() const { return FTable; }

    int RowCount() const override { return FTable.Rows; }
    int ColCount() const override { return FTable.Cols; }
    QString CellText(int r, int c) const override { return FTable.CellRule(r, c); }

    // The style of the cells of a role; the styles belong to the page and
    // must outlive the model. A role without a style is drawn plain.
    void SetRoleStyle(kv::TCellRole role, const TCellStyle* style);
    const TCellStyle& StyleAt(int r, int c) const override;

signals:
    // The description was taken anew and its size or fixed headings differ
    // from the last one: the page lays the grid out again.
    void Reshaped();

protected:
    // The experiment of a model that follows one.
    TExperimentDoc& Doc() const { return *FDoc; }

private:
    // Takes the description anew: columns inserted or removed at the right,
    // rows likewise, every cell redrawn.
    void describe();

    TExperimentDoc* FDoc = nullptr;
    TDescribe FDescribe;
    kv::TPageTable FTable;
    std::array<const TCellStyle*, 4> FRoleStyles{};
};
