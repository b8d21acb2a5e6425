#include "page.h"

#include "helpcontext.h"
#include "screenfont.h"

#include <QLabel>
#include <QVBoxLayout>

void TPageContext::ApplyScreenFont(QFont& font, int cellHeight) const {
    ::ApplyScreenFont(font, static_cast<quint16>(cellHeight), ScreenFontName);
}

TGridOptions TPageContext::DataGridOptions(Qt::ScrollBarPolicy scrollBars) const {
    TGridOptions options = BaseDataTable ? BaseDataTable->Options() : TGridOptions{};
    options.HorizontalScrollBar = scrollBars;
    options.VerticalScrollBar = scrollBars;
    return options;
}

TPage::TPage(const QString& objectName, int helpContext, const TPageContext& context,
             QWidget* parent)
    : QWidget(parent), FHelpContext(helpContext), FContext(context) {
    setObjectName(objectName);
    SetHelpContext(this, helpContext);
}

void TPage::SetUp() {
    if (FPrepared) {
        return;
    }
    Prepare();
    FPrepared = true;
}

QLabel* TPage::MakeTitlePanel(const QString& objectName, const QString& caption) {
    auto* panel = new QLabel(caption, this);
    panel->setObjectName(objectName);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

void TPage::SizeTitlePanel(QLabel* panel) const {
    panel->setFixedHeight(FContext.Metrics.PanelHeight);
    QFont font = panel->font();
    FContext.ApplyScreenFont(font, FContext.Metrics.PanelFontHeight);
    panel->setFont(font);
}

void TPage::StackTitleAndGrid(QWidget* panel, QWidget* grid) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(grid, 1);
}
