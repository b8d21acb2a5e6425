// A table in a window of its own, for the explanations of a solution: the
// grid of the table with Print, Save and Copy through the main window's
// output commands, as on the pages, and Close and Help.
#pragma once

#include "page.h"
#include "pagetablemodel.h"

#include <QDialog>

class QPushButton;
class TOutputCommands;

class TTableDialog : public QDialog {
    Q_OBJECT
public:
    // The window's caption is the table's print title.
    TTableDialog(const kv::TPageTable& table, int helpContext, TOutputCommands& output,
                 const TPageContext& context, QWidget* parent = nullptr);

    TGrid* Grid() const { return FGrid; }
    const kv::TPageTable& Table() const { return FModel->Table(); }

    static constexpr int NameColumnUnits = 29;  // as the Results page's variable column
    static constexpr int NumberColumnUnits = 9; // at least; wider where a text needs it

private:
    QPushButton* addButton(const QString& caption, const char* name);

    TOutputCommands& FOutput;
    TPageTableModel* FModel;
    TGrid* FGrid;
    TCellStyle FNumber;
    TCellStyle FName;
};
