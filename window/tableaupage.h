// The Tableau page: the 39 by 52 coefficient matrix (TableauPageTable),
// read-only, with the variable names across the top and the equation numbers
// down the left.
#pragma once

#include "gridpage.h"

class TTableauPage : public TGridPage {
    Q_OBJECT
public:
    explicit TTableauPage(const TPageContext& context, QWidget* parent = nullptr);

    QLabel* TableauLabel() const { return Panel(); }
    TGrid* TableauTable() const { return Grid(); }
    const TCellStyle& TableauTableRight() const { return FRight; }

    static constexpr int ColumnUnits = 7; // every column, in ColUnit

protected:
    void PrepareGrid() override; // SetUpTableauPage

private:
    TCellStyle FRight;
};
