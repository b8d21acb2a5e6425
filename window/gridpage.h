// A page that shows one page table: a title panel across the top and a grid
// below it over a TPageTableModel. The page builds its grid the same way for
// every table (options, fixed headings, row height, colours and lines of the
// Data grid); a page adds its cell styles, widths and row heights.
//
// Adding a grid page: describe its table in output/pagetables, derive from
// TGridPage with a TPageTableModel over that description, and in PrepareGrid()
// give each cell role a style and each column its width.
#pragma once

#include "page.h"
#include "pagetablemodel.h"

#include <functional>

class QLabel;

// Builds grid over model as every grid of a page table is built: the Data
// grid's options and colours, the table's fixed headings, the default row
// height and the given lines; prepare adds the cell styles and widths, inside
// the grid's update.
void PrepareTableGrid(TGrid& grid, TPageTableModel& model, const TPageContext& context,
                      const TGridLineStyle& lines, const std::function<void()>& prepare);
// The table's fixed headings on the grid, where they differ from its own.
void ApplyFixedHeadings(TGrid& grid, const TPageTableModel& model);

// The names of a grid page's parts.
struct TGridPageNames {
    QString Page;    // "tabTableau"
    int HelpContext; // 202
    QString Panel;   // "TableauLabel"
    QString Caption; // "Coefficient Matrix"
    QString Grid;    // "TableauTable"
};

class TGridPage : public TPage {
    Q_OBJECT
public:
    QLabel* Panel() const { return FPanel; }
    TGrid* Grid() const { return FGrid; }
    TPageTableModel* Model() const { return FModel; }

    bool IsEditing() const override;
    bool EndEdit() override;
    std::optional<kv::TPageTable> OutputTable() const override;

protected:
    // The page owns model.
    TGridPage(const TGridPageNames& names, TPageTableModel* model, const TPageContext& context,
              QWidget* parent);

    // Cell styles, column widths and row heights; called once, inside the
    // grid's update, after the options, fixed headings and default row height.
    virtual void PrepareGrid() = 0;
    // Widths of columns that came with a new table size; called after every
    // change of shape once the page is prepared. Default: nothing.
    virtual void LayOutColumns() {}
    // The grid's lines: dotted, without an outline of the active cell, unless
    // a page says otherwise.
    virtual TGridLineStyle GridLines() const;

private:
    void Prepare() final;
    void reshaped();

    QLabel* FPanel;
    TGrid* FGrid;
    TPageTableModel* FModel;
};
