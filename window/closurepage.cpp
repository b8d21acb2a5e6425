#include "closurepage.h"

#include "closureexplanation.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "workarea.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const char* const Instructions =
    "Change the closure by exchanging variables between endogenous and exogenous lists. Select a "
    "variable from each list and click 'Exchange'.";

} // namespace

// TVarListDelegate -------------------------------------------------------------

TVarListDelegate::TVarListDelegate(std::function<int(int)> variableOf, const int& itemHeight,
                                   QObject* parent)
    : QStyledItemDelegate(parent), FVariableOf(std::move(variableOf)), FItemHeight(itemHeight) {}

void TVarListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int v = FVariableOf(index.row());
    if (v < 1 || v > kv::NumVars) {
        return;
    }
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette& palette = option.palette;
    const QRect rect = option.rect;
    // Items span the list's width, so the item's left is the list's left edge.
    const int left = rect.left();
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter->drawText(QRect(left + 3, rect.top(), rect.right() - left - 3 + 1, rect.height()),
                      flags, QString::fromStdString(kv::VarName(v)));
    if (FMeasuredHeight != FItemHeight || FMeasuredFont != option.font) {
        FMeasuredFont = option.font;
        FMeasuredHeight = FItemHeight;
        FDescriptionLeft = DescriptionLeft(option.font, FItemHeight);
    }
    const int descLeft = left + FDescriptionLeft;
    painter->drawText(
        QRect(descLeft, rect.top(), std::max(0, rect.right() - descLeft + 1), rect.height()), flags,
        QString::fromStdString(kv::VarDesc(v)));
    painter->restore();
}

int TVarListDelegate::DescriptionLeft(const QFont& font, int itemHeight) {
    // With a wide screen font the names would run into the descriptions.
    const QFontMetrics metrics(font);
    int widest = 0;
    for (int v = 1; v <= kv::NumVars; ++v) {
        widest =
            std::max(widest, metrics.horizontalAdvance(QString::fromStdString(kv::VarName(v))));
    }
    return std::max(3 * itemHeight, 3 + widest + std::max(2, itemHeight / 3));
}

QSize TVarListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), FItemHeight};
}

// TClosurePage -----------------------------------------------------------------

TClosurePage::TClosurePage(const TPageContext& context, QWidget* parent)
    : TPage(QStringLiteral("tabClosure"), 203, context, parent) {
    // The instructions and the Exchange button across the bottom.
    FInstPanel = new QWidget(this);
    FInstPanel->setObjectName(QStringLiteral("pnlShocksInst"));
    FInstructions = new QLabel(QString::fromLatin1(Instructions), FInstPanel);
    FInstructions->setObjectName(QStringLiteral("ClosureInstructions"));
    FInstructions->setWordWrap(true);
    FSwapButton = new QPushButton(QStringLiteral(" Exchange"), FInstPanel);
    FSwapButton->setObjectName(QStringLiteral("SwapButton"));
    FSwapButton->setStatusTip(
        QStringLiteral(" Exchanges selected variables between endogenous and exogenous lists"));
    SetHelpContext(FSwapButton, 203);
    auto* instLayout = new QHBoxLayout(FInstPanel);
    instLayout->setContentsMargins(0, 0, 0, 0);
    instLayout->setSpacing(0);
    instLayout->addWidget(FInstructions, 1);
    instLayout->addWidget(FSwapButton);
    connect(FSwapButton, &QPushButton::clicked, this, &TClosurePage::ExchangeClick);

    // The two lists, side by side with a splitter between them.
    auto makeSide = [](const char* panelName, const char* labelName, const char* caption,
                       const char* listName, const char* hint, QLabel*& label, QListWidget*& list) {
        auto* panel = new QWidget;
        panel->setObjectName(QString::fromLatin1(panelName));
        label = new QLabel(QString::fromLatin1(caption), panel);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        list = new QListWidget(panel);
        list->setObjectName(QString::fromLatin1(listName));
        list->setStatusTip(QString::fromLatin1(hint));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        SetHelpContext(list, 203);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(label);
        layout->addWidget(list, 1);
        return panel;
    };
    FEndoPanel =
        makeSide("pnlShockEndo", "ClosureEndoLabel", "Endogenous", "EndoListBox",
                 "Click to choose endogenous variable to become exogenous", FEndoLabel, FEndoList);
    FExoPanel =
        makeSide("pnlShocksExo", "ClosureExoLabel", "Exogenous", "ExoListBox",
                 "Click to choose exogenous variable to become endogenous", FExoLabel, FExoList);
    FEndoList->setItemDelegate(new TVarListDelegate([this](int k) { return EndoListVariable(k); },
                                                    FItemHeight, FEndoList));
    FExoList->setItemDelegate(
        new TVarListDelegate([this](int k) { return ExoListVariable(k); }, FItemHeight, FExoList));
    // The lists draw the closure as it is now.
    Doc().OnChange(this, kv::chClosure, [this] {
        FEndoList->viewport()->update();
        FExoList->viewport()->update();
    });

    // Whether the closure can be solved, above the instructions.
    FCheckPanel = new QWidget(this);
    FCheckPanel->setObjectName(QStringLiteral("pnlClosureCheck"));
    FCheckLabel = new QLabel(FCheckPanel);
    FCheckLabel->setObjectName(QStringLiteral("ClosureCheckLabel"));
    FExplainButton = new QPushButton(QStringLiteral("Explain..."), FCheckPanel);
    FExplainButton->setObjectName(QStringLiteral("ExplainButton"));
    FExplainButton->setStatusTip(
        QStringLiteral(" Says what the closure leaves undetermined and which exchanges cure it"));
    SetHelpContext(FExplainButton, 302);
    auto* checkLayout = new QHBoxLayout(FCheckPanel);
    checkLayout->setContentsMargins(3, 0, 0, 0);
    checkLayout->setSpacing(6);
    checkLayout->addWidget(FCheckLabel, 1);
    checkLayout->addWidget(FExplainButton);
    connect(FExplainButton, &QPushButton::clicked, this, &TClosurePage::ExplainClick);
    Doc().OnChange(this, kv::chClosure | kv::chTableau, [this] { checkClosure(); });

    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setObjectName(QStringLiteral("splShocks1"));
    FSplitter->setHandleWidth(5);
    FSplitter->setChildrenCollapsible(false);
    FSplitter->addWidget(FEndoPanel);
    FSplitter->addWidget(FExoPanel);
    FSplitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FSplitter, 1);
    layout->addWidget(FCheckPanel);
    layout->addWidget(FInstPanel);
    checkClosure();
}

void TClosurePage::checkClosure() {
    const kv::TClosureCheck* check = Doc().ClosureCheck();
    if (!check) {
        FCheckLabel->setText(QStringLiteral("The closure could not be checked."));
    } else if (check->Singular) {
        FCheckLabel->setText(
            QStringLiteral("This closure cannot be solved: its matrix is singular."));
    } else if (check->Unreliable) {
        FCheckLabel->setText(
            QStringLiteral("This closure can be solved, but its results are unreliable."));
    } else {
        FCheckLabel->setText(QStringLiteral("This closure can be solved."));
    }
    FExplainButton->setEnabled(check && (check->Singular || check->Unreliable));
}

const kv::TClosureCheck& TClosurePage::ClosureCheck() const {
    static const kv::TClosureCheck unchecked;
    const kv::TClosureCheck* check = Doc().ClosureCheck();
    return check ? *check : unchecked;
}

QString TClosurePage::ExplanationText() const {
    return ClosureExplanationText(ClosureCheck(), Doc().LastExchange());
}

void TClosurePage::ExplainClick() {
    if (ClosureCheck().Explanation.empty()) {
        return;
    }
    ShowMessageDialog(ExplanationText(), mkInformation, mbOK | mbHelp, 302, this);
}

int TClosurePage::EndoListVariable(int k) const {
    return k >= 0 && k < kv::NumEndo ? Doc().Experiment().Closure.EndoVar(k + 1) : 0;
}

int TClosurePage::ExoListVariable(int k) const {
    return k >= 0 && k < kv::NumExo ? Doc().Experiment().Closure.ExoList(k + 1) : 0;
}

void TClosurePage::Prepare() {
    const TLayoutMetrics& m = Context().Metrics;
    // The Shocks page's title panel is sized with its own page.
    FItemHeight = m.BaseHeight;
    for (QListWidget* list : {FEndoList, FExoList}) {
        QFont font = list->font();
        Context().ApplyScreenFont(font, FItemHeight);
        list->setFont(font);
    }
    // Each item's own text is a single space and never shows.
    FEndoList->setUpdatesEnabled(false);
    FExoList->setUpdatesEnabled(false);
    for (int k = 0; k < kv::NumEndo; ++k) {
        FEndoList->addItem(QStringLiteral(" "));
    }
    for (int k = 0; k < kv::NumExo; ++k) {
        FExoList->addItem(QStringLiteral(" "));
    }
    FEndoList->setUpdatesEnabled(true);
    FExoList->setUpdatesEnabled(true);
    for (QListWidget* list : {FEndoList, FExoList}) {
        list->setCurrentRow(0);
        list->scrollToTop();
    }

    tabClosureResize();
    for (QLabel* label : {FEndoLabel, FExoLabel}) {
        label->setFixedHeight(m.PanelHeight);
        QFont font = label->font();
        Context().ApplyScreenFont(font, m.PanelFontHeight);
        label->setFont(font);
    }
    FInstPanel->setFixedHeight(3 * m.BaseHeight);
    QFont buttonFont = FSwapButton->font();
    Context().ApplyScreenFont(buttonFont, m.BaseHeight);
    FSwapButton->setFont(buttonFont);
    FSwapButton->setFixedSize(5 * m.BaseHeight, 3 * m.BaseHeight);
    QFont checkFont = FCheckLabel->font();
    Context().ApplyScreenFont(checkFont, m.BaseHeight);
    FCheckLabel->setFont(checkFont);
    FExplainButton->setFont(checkFont);
    FInstPanel->layout()->activate();
    layout()->activate();
}

void TClosurePage::resizeEvent(QResizeEvent* event) {
    TPage::resizeEvent(event);
    tabClosureResize();
}

void TClosurePage::tabClosureResize() {
    // The endogenous half takes half the page; the splitter and the
    // exogenous half the rest.
    const int half = width() / 2;
    FSplitter->setSizes({half, std::max(0, width() - half - FSplitter->handleWidth())});
}

void TClosurePage::ExchangeClick() {
    const QList<QListWidgetItem*> endo = FEndoList->selectedItems();
    const QList<QListWidgetItem*> exo = FExoList->selectedItems();
    if (endo.isEmpty() || exo.isEmpty()) {
        return;
    }
    const int k = FEndoList->row(endo.first()) + 1;
    const int j = FExoList->row(exo.first()) + 1;
    const int position = Doc().Exchange(k, j);
    // The newly endogenous variable is selected where the recount put it; the
    // exogenous selection stays on place j, now the variable that left.
    FEndoList->setCurrentRow(position - 1);
    FEndoList->scrollToItem(FEndoList->item(position - 1));
    FExoList->setCurrentRow(j - 1);
}
