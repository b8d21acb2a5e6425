// The Shocks page: the 13 exogenous variables in the order of ExoList, each
// with its shock, typed in place and stored straight into ShockVec.
#pragma once

#include "grid.h"
#include "page.h"

class QLabel;
class TExperimentDoc;

// Rows 0..13 (heading and the exogenous variables of the experiment's
// closure), columns 0..1 (variable and shock).
class TShocksGridModel : public TGridModel {
    Q_OBJECT
public:
    explicit TShocksGridModel(TExperimentDoc& doc, QObject* parent = nullptr);
    int RowCount() const override;
    int ColCount() const override;
    QString CellText(int r, int c) const override; // ExoTableGetCellData
    double CellValue(int r, int c) const override;
    bool SetCellValue(int r, int c, double value) override;

    // The variable of row r (1..13), 0 for the heading row.
    int VariableOfRow(int r) const;

private:
    TExperimentDoc& FDoc;
};

class TShocksPage : public TPage {
    Q_OBJECT
public:
    explicit TShocksPage(const TPageContext& context, QWidget* parent = nullptr);

    QLabel* ExogPanel() const { return FPanel; }
    TGrid* ExoTable() const { return FGrid; }
    const TCellStyle& ExogVarTCString() const { return FVarString; }
    const TCellStyle& ShockField() const { return FShockField; }

    bool IsEditing() const override;
    bool EndEdit() override;

    // The shocks the editor accepts.
    static constexpr double MinShock = -99;
    static constexpr double MaxShock = 500;
    static constexpr int VarColumnUnits = 36;
    static constexpr int ShockColumnUnits = 12;

protected:
    void Prepare() override; // SetUpShocksPage

private:
    QLabel* FPanel;
    TGrid* FGrid;
    TShocksGridModel* FModel;
    TCellStyle FVarString;  // ExogVarTCString
    TCellStyle FShockField; // ShockField
};
