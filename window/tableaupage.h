// The Tableau page: the 39 by 52 coefficient matrix, read-only, with the
// variable names across the top and the equation numbers down the left.
#pragma once

#include "grid.h"
#include "page.h"

class QLabel;
class TExperimentDoc;

// Rows 0..39 (equations), columns 0..52 (variables), texts of TableauCellText
// on the experiment's tableau.
class TTableauGridModel : public TGridModel {
    Q_OBJECT
public:
    explicit TTableauGridModel(TExperimentDoc& doc, QObject* parent = nullptr);
    int RowCount() const override;
    int ColCount() const override;
    QString CellText(int r, int c) const override;

private:
    TExperimentDoc& FDoc;
};

class TTableauPage : public TPage {
    Q_OBJECT
public:
    explicit TTableauPage(const TPageContext& context, QWidget* parent = nullptr);

    QLabel* TableauLabel() const { return FLabel; }
    TGrid* TableauTable() const { return FGrid; }
    const TCellStyle& TableauTableRight() const { return FRight; }

    TGrid* OutputGrid() const override { return FGrid; }

    static constexpr int ColumnUnits = 7; // every column, in ColUnit

protected:
    void Prepare() override; // SetUpTableauPage

private:
    QLabel* FLabel;
    TGrid* FGrid;
    TTableauGridModel* FModel;
    TCellStyle FRight;
};
