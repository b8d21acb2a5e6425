#include "datapage.h"

#include "celltext.h"
#include "divisors.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "workarea.h"

#include <QLabel>

// TDataGridModel ---------------------------------------------------------------

TDataGridModel::TDataGridModel(TExperimentDoc& doc, TDataPageKind kind, QObject* parent)
    : TPageTableModel(
          doc, kind == TDataPageKind::Base ? kv::chBaseData : kv::chNewData,
          kind == TDataPageKind::Base ? kv::BaseDataPageTable : kv::UpdatedDataPageTable, parent),
      FKind(kind) {}

const kv::Data_Real& TDataGridModel::database() const {
    return FKind == TDataPageKind::Base ? Doc().Experiment().BaseData : Doc().Experiment().NewData;
}

double TDataGridModel::CellValue(int r, int c) const {
    return InDatabase(r, c) ? database()(r, c) : 0.0;
}

bool TDataGridModel::SetCellValue(int r, int c, double value) {
    if (FKind != TDataPageKind::Base || !InDatabase(r, c)) {
        return false;
    }
    // A database whose tableau cannot be built is refused at the edit, and the
    // data stay as they were.
    const auto undefined = kv::UndefinedCoefficientsAfterEdit(database(), r, c, value);
    if (!undefined.empty()) {
        emit EditRefused(r, c, value,
                         QString::fromStdString(kv::UndefinedCoefficientsText(undefined, "\r\n")));
        return false;
    }
    Doc().EditDataCell(r, c, value);
    return true;
}

QColor TDataGridModel::CellTextColor(int r, int c, const TCellStyle& style) const {
    // Exactly the flows that the negative-flow test visits turn red.
    if (FKind == TDataPageKind::Base && r >= 1 && r <= 9 && c >= 1 && c <= 4 &&
        database()(r, c) < 0) {
        return QColor(255, 0, 0);
    }
    return style.TextColor;
}

// TDataPage --------------------------------------------------------------------

TDataPage::TDataPage(TDataPageKind kind, const TPageContext& context, QWidget* parent)
    : TGridPage(kind == TDataPageKind::Base
                    ? TGridPageNames{QStringLiteral("tabData"), 201,
                                     QStringLiteral("BaseDataPanel"),
                                     QStringLiteral("Initial Input-Output Database"),
                                     QStringLiteral("BaseDataTable")}
                    : TGridPageNames{QStringLiteral("tabUpdatedData"), 207,
                                     QStringLiteral("NewDataPanel"),
                                     QStringLiteral("Final Input-Output Database implied by "
                                                    "most recent simulation"),
                                     QStringLiteral("NewDataTable")},
                new TDataGridModel(*context.Doc, kind), context, parent),
      FKind(kind), FModel(static_cast<TDataGridModel*>(TGridPage::Model())) {
    if (kind == TDataPageKind::Base) {
        Grid()->setStatusTip(QStringLiteral("Double-click on green numbers to edit them"));
    }
    connect(FModel, &TDataGridModel::EditRefused, this, &TDataPage::ShowEditRefused);
}

QString TDataPage::UndefinedCoefficientsMessage(int r, int c, double value,
                                                const QString& problems) {
    return QStringLiteral("The value ") + kv::FormatReal(value, 0, 2) + QStringLiteral(" for ") +
           QString::fromStdString(kv::DataCellName(r, c)) + QStringLiteral(" was not stored:\r\n") +
           problems +
           QStringLiteral("\r\nClick Help button for further information\r\n"
                          "or OK button to return to Editing");
}

void TDataPage::ShowEditRefused(int r, int c, double value, const QString& problems) {
    ShowMessageDialog(UndefinedCoefficientsMessage(r, c, value, problems), mkError, mbOK | mbHelp,
                      UndefinedCoefficientsHelpContext);
}

TGridLineStyle TDataPage::GridLines() const {
    // The Data grid keeps its own lines, which the other grids take; the
    // Updated Data grid takes them too.
    const TGrid* base = Context().BaseDataTable;
    return base ? base->LineStyle() : Grid()->LineStyle();
}

void TDataPage::PrepareGrid() {
    const TLayoutMetrics& m = Context().Metrics;
    const TGrid* base = FKind == TDataPageKind::Base ? nullptr : Context().BaseDataTable;
    TGrid* grid = Grid();
    FModel->SetBuilding(true);

    // Rows: taller where a label spans two lines; the Updated Data grid takes
    // the Data grid's heights.
    for (int r = 0; r <= kv::DataRows; ++r) {
        grid->SetRowHeight(r, base ? base->RowHeight(r) : m.RowHeight);
    }
    if (!base) {
        for (int r : {1, 3, 5, 7, 8}) {
            grid->SetRowHeight(r, m.RowHeight * 3 / 2);
        }
        grid->SetRowHeight(10, m.RowHeight * 2);
    }

    // BaseDataRight (NewDataRight) everywhere, BaseDataSimpleEditField on the
    // entered cells.
    FRight = TCellStyle{};
    Context().ApplyScreenFont(FRight.Font, m.BaseHeight);
    FModel->SetRoleStyle(kv::TCellRole::Number, &FRight);
    if (FKind == TDataPageKind::Base) {
        FEditField = FRight;
        FEditField.TextColor = QColor(0, 128, 0);
        FEditField.Background = palette().color(QPalette::Button);
        FEditField.Editable = true;
        FEditField.Range = TNumericRange{-100, 500, 2, 7};
        FModel->SetRoleStyle(kv::TCellRole::Entry, &FEditField);
    }

    for (int c = 0; c <= kv::DataCols; ++c) {
        grid->SetColWidth(c, base ? base->ColWidth(c) : ColumnUnits[c] * m.ColUnit);
    }

    // The blank corner cell is active, so that no editor is open at first.
    grid->SetActiveCell(0, 0);
    FModel->SetBuilding(false);
}
