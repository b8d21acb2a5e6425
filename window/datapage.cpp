#include "datapage.h"

#include "celltext.h"
#include "divisors.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "workarea.h"

#include <QLabel>

// TDataGridModel ---------------------------------------------------------------

TDataGridModel::TDataGridModel(TExperimentDoc& doc, TDataPageKind kind, QObject* parent)
    : TGridModel(parent), FDoc(doc), FKind(kind) {
    doc.OnChange(this, kind == TDataPageKind::Base ? kv::chBaseData : kv::chNewData,
                 [this] { Refresh(); });
}

const kv::Data_Real& TDataGridModel::database() const {
    return FKind == TDataPageKind::Base ? FDoc.Experiment().BaseData : FDoc.Experiment().NewData;
}

QString TDataGridModel::CellText(int r, int c) const {
    return kv::DataCellText(database(), r, c);
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
    FDoc.EditDataCell(r, c, value);
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
    : TPage(kind == TDataPageKind::Base ? QStringLiteral("tabData")
                                        : QStringLiteral("tabUpdatedData"),
            kind == TDataPageKind::Base ? 201 : 207, context, parent),
      FKind(kind) {
    const bool base = kind == TDataPageKind::Base;
    FPanel = MakeTitlePanel(
        base ? QStringLiteral("BaseDataPanel") : QStringLiteral("NewDataPanel"),
        base ? QStringLiteral("Initial Input-Output Database")
             : QStringLiteral("Final Input-Output Database implied by most recent simulation"));
    FGrid = new TGrid(this);
    FGrid->setObjectName(base ? QStringLiteral("BaseDataTable") : QStringLiteral("NewDataTable"));
    SetHelpContext(FGrid, HelpContext());
    if (base) {
        FGrid->setStatusTip(QStringLiteral("Double-click on green numbers to edit them"));
    }
    FModel = new TDataGridModel(*context.Doc, kind, this);
    FGrid->SetGridModel(FModel);
    connect(FModel, &TDataGridModel::EditRefused, this, &TDataPage::ShowEditRefused);

    StackTitleAndGrid(FPanel, FGrid);
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

bool TDataPage::IsEditing() const {
    return FGrid->HasTypedEdit();
}

bool TDataPage::EndEdit() {
    return FGrid->EndEdit();
}

void TDataPage::Prepare() {
    if (FKind == TDataPageKind::Base) {
        SetUpBaseDataPage();
    } else {
        SetUpNewDataPage();
    }
}

void TDataPage::SetUpBaseDataPage() {
    const TLayoutMetrics& m = Context().Metrics;
    FModel->SetBuilding(true);
    SizeTitlePanel(FPanel);
    FGrid->BeginUpdate();

    // Rows and columns: 12 by 7, taller rows where a label spans two lines.
    FGrid->SetDefaultRowHeight(m.RowHeight);
    for (int r = 0; r <= kv::DataRows; ++r) {
        FGrid->SetRowHeight(r, m.RowHeight);
    }
    for (int r : {1, 3, 5, 7, 8}) {
        FGrid->SetRowHeight(r, m.RowHeight * 3 / 2);
    }
    FGrid->SetRowHeight(10, m.RowHeight * 2);

    // Cell styles: BaseDataRight everywhere, BaseDataSimpleEditField on the
    // entered cells.
    FRight = TCellStyle{};
    Context().ApplyScreenFont(FRight.Font, m.BaseHeight);
    FEditField = FRight;
    FEditField.TextColor = QColor(0, 128, 0);
    FEditField.Background = palette().color(QPalette::Button);
    FEditField.Editable = true;
    FEditField.Range = TNumericRange{-100, 500, 2, 7};
    for (int c = 0; c <= kv::DataCols; ++c) {
        FModel->SetColumnStyle(c, &FRight);
    }
    for (int r = 1; r <= kv::DataRows; ++r) {
        for (int c = 1; c <= kv::DataCols; ++c) {
            if (kv::EditMask(r, c)) {
                FModel->SetCellStyle(r, c, &FEditField);
            }
        }
    }

    for (int c = 0; c <= kv::DataCols; ++c) {
        FGrid->SetColWidth(c, ColumnUnits[c] * m.ColUnit);
    }

    // The blank corner cell is active, so that no editor is open at first.
    FGrid->SetActiveCell(0, 0);
    FGrid->EndUpdate();
    FModel->SetBuilding(false);
    FGrid->Redraw();
}

void TDataPage::SetUpNewDataPage() {
    const TLayoutMetrics& m = Context().Metrics;
    const TGrid* base = Context().BaseDataTable;
    SizeTitlePanel(FPanel);
    FGrid->BeginUpdate();
    if (base) {
        FGrid->SetOptions(base->Options());
    }

    FGrid->SetDefaultRowHeight(m.RowHeight);
    for (int r = 0; r <= kv::DataRows; ++r) {
        FGrid->SetRowHeight(r, base ? base->RowHeight(r) : m.RowHeight);
    }

    FRight = TCellStyle{};
    Context().ApplyScreenFont(FRight.Font, m.BaseHeight);
    for (int c = 0; c <= kv::DataCols; ++c) {
        FModel->SetColumnStyle(c, &FRight);
        FGrid->SetColWidth(c, base ? base->ColWidth(c) : ColumnUnits[c] * m.ColUnit);
    }

    FGrid->SetActiveCell(0, 0);
    if (base) {
        FGrid->SetColours(base->Colours());
        FGrid->SetLineStyle(base->LineStyle());
    }
    FGrid->EndUpdate();
    FGrid->Redraw();
}
