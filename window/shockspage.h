// The Shocks page: the 13 exogenous variables in the order of ExoList, each
// with its shock (ShocksPageTable), typed in place and stored straight into
// ShockVec.
#pragma once

#include "gridpage.h"

class TExperimentDoc;

// The shocks of ShocksPageTable, edited in column 1.
class TShocksGridModel : public TPageTableModel {
    Q_OBJECT
public:
    explicit TShocksGridModel(TExperimentDoc& doc, QObject* parent = nullptr);
    double CellValue(int r, int c) const override;
    bool SetCellValue(int r, int c, double value) override;

    // The variable of row r (1..13), 0 for the heading row.
    int VariableOfRow(int r) const;
};

class TShocksPage : public TGridPage {
    Q_OBJECT
public:
    explicit TShocksPage(const TPageContext& context, QWidget* parent = nullptr);

    QLabel* ExogPanel() const { return Panel(); }
    TGrid* ExoTable() const { return Grid(); }
    const TCellStyle& ExogVarTCString() const { return FVarString; }
    const TCellStyle& ShockField() const { return FShockField; }

    // The shocks the editor accepts.
    static constexpr double MinShock = -99;
    static constexpr double MaxShock = 500;
    static constexpr int VarColumnUnits = 36;
    static constexpr int ShockColumnUnits = 12;

protected:
    void PrepareGrid() override; // SetUpShocksPage
    TGridLineStyle GridLines() const override;

private:
    TCellStyle FVarString;  // ExogVarTCString
    TCellStyle FShockField; // ShockField
};
