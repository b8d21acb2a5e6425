// The Data page (the initial database, edited in place) and the Updated Data
// page (the database implied by the latest solution, read-only): one 12-row
// by 7-column grid each, with the texts of DataCellText.
#pragma once

#include "database.h"
#include "gridpage.h"

class TExperimentDoc;
enum class TDataPageKind { Base, Updated };

// A database of the experiment as a grid (BaseDataPageTable or
// UpdatedDataPageTable). The Base grid edits BaseData and marks its negative
// tested flows (rows 1 to 9, columns 1 to 4) red; the Updated grid shows NewData.
class TDataGridModel : public TPageTableModel {
    Q_OBJECT
public:
    TDataGridModel(TExperimentDoc& doc, TDataPageKind kind, QObject* parent = nullptr);

    double CellValue(int r, int c) const override;
    bool SetCellValue(int r, int c, double value) override;
    QColor CellTextColor(int r, int c, const TCellStyle& style) const override;
    bool Supplying() const override { return !FBuilding; }

    void SetBuilding(bool building) { FBuilding = building; }
    bool Building() const { return FBuilding; }

    static bool InDatabase(int r, int c) {
        return r >= 1 && r <= kv::DataRows && c >= 1 && c <= kv::DataCols;
    }

signals:
    // A value was not stored because the database would leave coefficients of
    // the tableau undefined; problems describes them, one per line.
    void EditRefused(int r, int c, double value, const QString& problems);

private:
    const kv::Data_Real& database() const;

    TDataPageKind FKind;
    bool FBuilding = false;
};

class TDataPage : public TGridPage {
    Q_OBJECT
public:
    TDataPage(TDataPageKind kind, const TPageContext& context, QWidget* parent = nullptr);

    TDataGridModel* Model() const { return FModel; }

    // True only while the Data page is being prepared; the grid shows nothing.
    bool DataPageBuilding() const { return FModel->Building(); }

    // The cell styles.
    const TCellStyle& RightStyle() const { return FRight; }
    const TCellStyle& EditFieldStyle() const { return FEditField; }

    // Widths of columns 0..6 in units of ColUnit.
    static constexpr int ColumnUnits[kv::DataCols + 1] = {9, 7, 7, 11, 8, 7, 10};

    // The message of an edit refused because it would leave coefficients of
    // the tableau undefined, and its help topic.
    static constexpr int UndefinedCoefficientsHelpContext = 304;
    static QString UndefinedCoefficientsMessage(int r, int c, double value,
                                                const QString& problems);

protected:
    void PrepareGrid() override;
    TGridLineStyle GridLines() const override;

private:
    void ShowEditRefused(int r, int c, double value, const QString& problems);

    TDataPageKind FKind;
    TDataGridModel* FModel;
    TCellStyle FRight;     // BaseDataRight or NewDataRight
    TCellStyle FEditField; // BaseDataSimpleEditField
};
