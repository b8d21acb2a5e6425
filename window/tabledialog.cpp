#include "tabledialog.h"

#include "gridpage.h"
#include "helpcontext.h"
#include "helpselector.h"
#include "outputcommands.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

TTableDialog::TTableDialog(const kv::TPageTable& table, int helpContext, TOutputCommands& output,
                           const TPageContext& context, QWidget* parent)
    : QDialog(parent), FOutput(output) {
    setObjectName(QStringLiteral("TableDialog"));
    setWindowTitle(table.PrintTitle);
    SetHelpContext(this, helpContext);

    FModel = new TPageTableModel(table, this);
    FGrid = new TGrid(this);
    FGrid->setObjectName(QStringLiteral("TableGrid"));
    SetHelpContext(FGrid, helpContext);
    FGrid->SetGridModel(FModel);

    const TLayoutMetrics& m = context.Metrics;
    TGridLineStyle lines = FGrid->LineStyle();
    lines.Lines = TGridLines::Dotted;
    lines.Outline = TActiveOutline::SolidWhenFocused;
    PrepareTableGrid(*FGrid, *FModel, context, lines, [&] {
        FNumber = TCellStyle{};
        context.ApplyScreenFont(FNumber.Font, m.BaseHeight);
        FName = FNumber;
        FName.Alignment = Qt::AlignLeft | Qt::AlignVCenter;
        FModel->SetRoleStyle(kv::TCellRole::Number, &FNumber);
        FModel->SetRoleStyle(kv::TCellRole::Title, &FNumber);
        FModel->SetRoleStyle(kv::TCellRole::Name, &FName);
        FGrid->SetColWidth(0, NameColumnUnits * m.ColUnit);
        for (int c = 1; c < table.Cols; ++c) {
            FGrid->SetColWidth(c, NumberColumnUnits * m.ColUnit);
        }
    });

    auto* buttons = new QDialogButtonBox(this);
    auto* print = addButton(QStringLiteral("&Print..."), "PrintButton");
    auto* save = addButton(QStringLiteral("&Save..."), "SaveButton");
    auto* copy = addButton(QStringLiteral("&Copy"), "CopyButton");
    auto* close = addButton(QStringLiteral("Close"), "CloseButton");
    auto* help = addButton(QStringLiteral("Help"), "HelpButton");
    buttons->addButton(print, QDialogButtonBox::ActionRole);
    buttons->addButton(save, QDialogButtonBox::ActionRole);
    buttons->addButton(copy, QDialogButtonBox::ActionRole);
    buttons->addButton(help, QDialogButtonBox::HelpRole);
    buttons->addButton(close, QDialogButtonBox::RejectRole);
    const auto run = [this](void (TOutputCommands::*command)()) {
        FOutput.WithTable(Table(), [this, command] { (FOutput.*command)(); });
    };
    connect(print, &QPushButton::clicked, this, [run] { run(&TOutputCommands::File_PrintClick); });
    connect(save, &QPushButton::clicked, this, [run] { run(&TOutputCommands::Save1Click); });
    connect(copy, &QPushButton::clicked, this, [run] { run(&TOutputCommands::Copy1Click); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [helpContext] { HelpSelector::ShowTopic(helpContext); });
    // Ctrl+C copies the table, as on the pages; F1 opens the topic through the
    // program's help contexts, like every window.
    auto* copyKey = new QShortcut(QKeySequence::Copy, this);
    connect(copyKey, &QShortcut::activated, copy, &QPushButton::click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FGrid, 1);
    layout->addWidget(buttons);

    // As wide as the table where the screen allows, and about as high as the
    // main window's pages.
    // Beside the columns: the grid's frame and vertical scroll bar and the
    // window's margins.
    const QMargins margins = layout->contentsMargins();
    int width = margins.left() + margins.right() + 2 * FGrid->frameWidth() +
                style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FGrid) + 4;
    for (int c = 0; c < table.Cols; ++c) {
        width += FGrid->ColWidth(c);
    }
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(width, area.width() * 9 / 10),
           std::min(m.RowHeight * (table.Rows + 4), area.height() * 8 / 10));
    close->setDefault(true);
    FGrid->setFocus();
}

QPushButton* TTableDialog::addButton(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}
