#include "solvepage.h"

#include "closureexplanation.h"
#include "experimentdoc.h"
#include "helpcontext.h"
#include "numericeditor.h"
#include "vkdebuginfo.h"
#include "workarea.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <exception>

namespace {

constexpr const char* RadioCaptions[5] = {"Johansen (1-step)", "Euler 4-step", "Euler 16-step",
                                          "Euler 2-4-8 extrapolation",
                                          "Euler 8-16-32 extrapolation"};

const char* const TooManySolutions = "You must delete one or more solutions before making more.\r\n"
                                     "Go to Results page and click at top of column to delete it.";

} // namespace

TSolvePage::TSolvePage(const TPageContext& context, unsigned short& solutionMethod,
                       const int& layoutWidth, const int& layoutGap, QWidget* parent)
    : TPage(QStringLiteral("tabSolve"), 205, context, parent), FSolutionMethod(solutionMethod),
      FLayoutWidth(layoutWidth), FLayoutGap(layoutGap) {
    FPanel = MakeTitlePanel(QStringLiteral("SolveTitlePanel"),
                            QStringLiteral("Choose a solution method and click 'Solve'."));

    auto* group = new QButtonGroup(this);
    for (int k = 1; k <= 5; ++k) {
        auto* radio = new QRadioButton(QString::fromLatin1(RadioCaptions[k - 1]), this);
        radio->setObjectName(QStringLiteral("SolveRadio%1").arg(k));
        radio->setProperty("tag", k);
        SetHelpContext(radio, 205);
        group->addButton(radio, k);
        FRadios[static_cast<std::size_t>(k - 1)] = radio;
    }
    FRadios[0]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, &TSolvePage::SolveRadio5Click);

    FSolveButton = new QPushButton(QStringLiteral("Solve"), this);
    FSolveButton->setObjectName(QStringLiteral("SolveButton"));
    FSolveButton->setStatusTip(QStringLiteral(" Click to start solution process"));
    SetHelpContext(FSolveButton, 205);
    connect(FSolveButton, &QPushButton::clicked, this, &TSolvePage::SolveButtonClick);

    FNameLabel = new QLabel(QStringLiteral("Experiment Title (8 letters max.)"), this);
    FNameLabel->setObjectName(QStringLiteral("SolNameEditBoxLabel"));
    FNameBox = new QLineEdit(this);
    FNameBox->setObjectName(QStringLiteral("SolNameEditBox"));
    FNameBox->setMaxLength(MaxTitleLength);
    FNameBox->setStatusTip(QStringLiteral(" Enter experiment title here"));
    SetHelpContext(FNameBox, 205);
    new TWholeTextSelection(FNameBox);
    FNameBox->installEventFilter(this);
    // The box shows the experiment's title; what the student types becomes
    // the experiment's title when the box is left or a solve starts.
    connect(FNameBox, &QLineEdit::editingFinished, this, &TSolvePage::commitTitle);
    Doc().OnChange(this, kv::chTitle, [this] { showTitle(); });
}

void TSolvePage::showTitle() {
    const QString title = QString::fromStdString(Doc().Experiment().Title);
    if (FNameBox->text() != title) {
        FNameBox->setText(title);
    }
}

void TSolvePage::commitTitle() {
    Doc().SetTitle(FNameBox->text());
}

QRadioButton* TSolvePage::SolveRadio(int k) const {
    return k >= 1 && k <= 5 ? FRadios[static_cast<std::size_t>(k - 1)] : nullptr;
}

void TSolvePage::Prepare() {
    const TLayoutMetrics& m = Context().Metrics;
    // The window records its width when it is activated; before that, its
    // current width stands in.
    const int W = FLayoutWidth > 0 ? FLayoutWidth : window()->width();
    const int B = m.BaseHeight;

    FSolutionMethod = 1;
    FRadios[0]->setChecked(true);
    showTitle();
    SizeTitlePanel(FPanel);
    placeTitlePanel();

    for (int k = 1; k <= 5; ++k) {
        FRadios[static_cast<std::size_t>(k - 1)]->setGeometry(W / 5, B * (2 * k + 1), 3 * W / 5,
                                                              3 * B / 2);
    }
    FNameLabel->adjustSize();
    FNameLabel->move(W / 5, 16 * B);
    FNameBox->move(W / 5 + FNameLabel->width() + FLayoutGap, FNameLabel->y() - B / 4);
    FNameBox->resize(std::max(FNameBox->sizeHint().width(), 8 * B), FNameBox->sizeHint().height());

    const int h = 3 * B;
    QFont font = FSolveButton->font();
    Context().ApplyScreenFont(font, h / 2);
    FSolveButton->setFont(font);
    FSolveButton->setGeometry(FNameBox->x(), FRadios[0]->y(), 2 * h, h);

    // The window shrinks no further than these controls show whole (a radio
    // button as far as its caption reaches), with a margin of B.
    QRect used =
        FNameLabel->geometry().united(FNameBox->geometry()).united(FSolveButton->geometry());
    for (const QRadioButton* radio : FRadios) {
        used = used.united(QRect(radio->pos(), radio->sizeHint()));
    }
    setMinimumSize(used.right() + 1 + B, used.bottom() + 1 + B);
}

void TSolvePage::resizeEvent(QResizeEvent* event) {
    TPage::resizeEvent(event);
    placeTitlePanel();
}

void TSolvePage::placeTitlePanel() {
    FPanel->setGeometry(0, 0, width(), FPanel->height());
}

bool TSolvePage::eventFilter(QObject* object, QEvent* event) {
    // SolNameEditBoxKeyPress: Enter moves on to Solve without solving.
    if (object == FNameBox && event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FSolveButton->setFocus(Qt::OtherFocusReason);
            return true;
        }
        // A character beyond the title's length is refused, and the status
        // line says why.
        const QString typed = keyEvent->text();
        const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                               !(keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable && FNameBox->text().size() - FNameBox->selectedText().size() + typed.size() >
                             FNameBox->maxLength()) {
            RefuseInput(FNameBox, QStringLiteral("The experiment title takes at most %1 characters")
                                      .arg(FNameBox->maxLength()));
            return true;
        }
    }
    return TPage::eventFilter(object, event);
}

void TSolvePage::SolveRadio5Click(int tag) {
    if (tag >= 1 && tag <= 5) {
        FSolutionMethod = static_cast<unsigned short>(tag);
    }
}

void TSolvePage::SolveButtonClick() {
    if (FSolving) {
        return;
    }
    const QScopedValueRollback<bool> solving(FSolving, true);
    commitTitle();
    const QString title = FNameBox->text();
    if (Doc().Experiment().Solutions.Count >= kv::MaxSolutions) {
        ShowMessageDialog(QString::fromLatin1(TooManySolutions), mkError, mbOK | mbHelp, 65595);
        return;
    }
    if (Waiting) {
        Waiting(true);
    }
    kv::SolveResult result;
    try {
        result = Doc().Solve(FSolutionMethod);
    } catch (...) {
        // The window leaves its busy state before the error is reported;
        // nothing is stored and the title stays.
        const std::exception_ptr error = std::current_exception();
        if (Waiting) {
            Waiting(false);
        }
        HandleAppException(this, error);
        return;
    }
    // Why a closure is singular, or whether a solved one is nearly so: the
    // check the Closure page shows, made while the window is still busy.
    const kv::TClosureCheck* check =
        result.singular || !result.negativeFlow ? Doc().ClosureCheck() : nullptr;
    if (Waiting) {
        Waiting(false);
    }
    if (result.singular) {
        // A closure that is sound on the initial database can still turn
        // singular in a later step of a multi-step method: then there is
        // nothing to explain.
        const QString detail = check && check->Singular
                                   ? ClosureExplanationText(*check, Doc().LastExchange())
                                   : QString();
        ShowMessageDialog(QStringLiteral("Singular matrix"), mkError, mbOK | mbHelp, 302, nullptr,
                          detail);
        return;
    }
    if (result.negativeFlow) {
        ShowMessageDialog(QStringLiteral("Negative flow arose during computation"), mkError,
                          mbOK | mbHelp, 303);
        return;
    }
    const QString stored = QStringLiteral("Computation Successful\r\nNew Solution stored as \"") +
                           title + QStringLiteral("\"");
    if (check && check->Unreliable) {
        // Why in a sentence; what the closure leaves nearly undetermined and
        // the exchanges that cure it on Explain, as the Closure page says it.
        ShowMessageDialog(stored + QStringLiteral("\r\n\r\nThe results are unreliable: ") +
                              QString::fromStdString(kv::UnreliableReason(*check)) +
                              QStringLiteral("."),
                          mkInformation, mbOK | mbHelp, 302, nullptr,
                          ClosureExplanationText(*check, Doc().LastExchange()));
    } else {
        ShowMessageDialog(stored, mkInformation, mbOK, 0);
    }
    if (SolutionStored) {
        SolutionStored();
    }
}
