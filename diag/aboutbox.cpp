#include "aboutbox.h"

#include "clipboard.h"
#include "diagfacts.h"
#include "diagform.h"
#include "diagreport.h"
#include "helpselector.h"
#include "qtclipboardport.h"
#include "screenfont.h"
#include "sounds.h"
#include "suite.h"
#include "workarea.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

// A fixed-size frame that shows one child displaced to the right by an
// offset, so that an animation can move the child without a layout putting
// it back.
class TOffsetBox : public QWidget {
public:
    TOffsetBox(QWidget* child, int slack, QWidget* parent)
        : QWidget(parent), FChild(child), FSlack(slack) {
        child->setParent(this);
    }
    int Offset() const { return FOffset; }
    void SetOffset(int offset) {
        FOffset = offset;
        place();
    }
    QSize sizeHint() const override {
        const QSize hint = FChild->sizeHint();
        return {hint.width() + 2 * FSlack, hint.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent*) override { place(); }

private:
    void place() {
        const QSize hint = FChild->sizeHint();
        // The child spans the frame except the slack on either side; a label
        // with centred text stays centred in the frame.
        const int width = std::max(hint.width(), this->width() - 2 * FSlack);
        FChild->setGeometry(FSlack + FOffset, 0, width, height());
    }

    QWidget* FChild;
    int FSlack;
    int FOffset = 0;
};

namespace {

constexpr int ColourSteps = 16;
constexpr int ColourMove = 3; // pixels to the right per step
constexpr int Shakes = 30;
constexpr int ShakeMove = 2;

TxrAboutBox::DiagnosticsHook& diagnosticsHook() {
    static TxrAboutBox::DiagnosticsHook hook;
    return hook;
}

TxrAboutBox::UrlOpener& urlOpener() {
    static TxrAboutBox::UrlOpener opener;
    return opener;
}

TxrAboutBox::DateSource& dateSource() {
    static TxrAboutBox::DateSource source;
    return source;
}

QDate today() {
    if (const auto& source = dateSource()) {
        return source();
    }
    return QDate::currentDate();
}

// The suite line as a label shows it: one line per part.
QString labelText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent,
              Qt::Alignment alignment = Qt::AlignHCenter) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(alignment | Qt::AlignVCenter);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Restores the normal cursor when a wait ends, also by an error.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

TxrAboutBox::TxrAboutBox(const QIcon& icon, const QString& appName, double version, int helpContext,
                         const QString& suiteLine, QWidget* parent)
    : QDialog(parent), FAppName(appName), FVersion(version), FHelpContext(helpContext),
      FSuiteLine(suiteLine) {
    setObjectName(QStringLiteral("xrAboutBox"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral(" About ") + appName);
    QFont font;
    SetDefaultFont(font);
    setFont(font);

    ProgramIcon = new QLabel;
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(32, 32);
    ProgramIcon->setPixmap(icon.pixmap(32, 32));
    ProgramIcon->installEventFilter(this);
    FIconBox = new TOffsetBox(ProgramIcon, ShakeMove, this);

    Label1 = label(QStringLiteral("Label1"), appName, nullptr);
    QFont big = font;
    big.setBold(true);
    big.setPixelSize(31);
    Label1->setFont(big);
    Label1->installEventFilter(this);
    // Room for the label's walk to the right when it is clicked.
    FLabel1Box = new TOffsetBox(Label1, ColourSteps * ColourMove, this);

    ProductName = label(QStringLiteral("ProductName"), ProductVersionText(version), this);
    CreditLabel1 =
        label(QStringLiteral("CreditLabel1"), QStringLiteral("Written and maintained by"), this);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("The WinVELMAR project"), this);
    CreditLabel3 = label(QStringLiteral("CreditLabel3"),
                         QStringLiteral("Teaching software for applied economic modelling"), this);
    LicenceLabel = label(QStringLiteral("LicenceLabel"), QStringLiteral(WINVELMAR_LICENCE), this);
    // The author's line is drawn as a link.
    QFont link = font;
    link.setUnderline(true);
    if (link.pixelSize() > 0) {
        link.setPixelSize(int(std::nearbyint(1.1 * font.pixelSize())));
    } else {
        link.setPointSizeF(std::nearbyint(1.1 * font.pointSizeF()));
    }
    Label2->setFont(link);
    QPalette navy = Label2->palette();
    navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    Label2->setPalette(navy);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setToolTip(AuthorWebPage().toString());
    Label2->installEventFilter(this);

    // The path as it is: in lower case it could name a file that does not
    // exist where file names tell capitals from small letters.
    Label4 = label(QStringLiteral("Label4"),
                   QStringLiteral("File: ") +
                       QDir::toNativeSeparators(QCoreApplication::applicationFilePath()),
                   this, Qt::AlignLeft);
    Label5 = label(QStringLiteral("Label5"), labelText(FSuiteLine), this, Qt::AlignLeft);

    OKButton = button(QStringLiteral("OKButton"), QStringLiteral("&OK"), this);
    OKButton->setDefault(true);
    HelpBtn = button(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), this);
    HelpBtn->setVisible(helpContext > 0);
    DiagBtn = button(QStringLiteral("DiagBtn"), QStringLiteral("&Diagnostics"), this);
    connect(OKButton, &QPushButton::clicked, this, &TxrAboutBox::OKButtonClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TxrAboutBox::HelpBtnClick);
    connect(DiagBtn, &QPushButton::clicked, this, &TxrAboutBox::DiagBtnClick);

    auto* top = new QHBoxLayout;
    top->addWidget(FIconBox, 0, Qt::AlignTop);
    auto* titles = new QVBoxLayout;
    titles->addWidget(FLabel1Box);
    titles->addWidget(ProductName);
    titles->addSpacing(font.pixelSize() > 0 ? font.pixelSize() : 12);
    titles->addWidget(CreditLabel1);
    titles->addWidget(Label2);
    titles->addWidget(CreditLabel3);
    titles->addWidget(LicenceLabel);
    top->addLayout(titles, 1);
    // Balances the icon so that the titles are centred in the box.
    top->addSpacing(32 + 2 * ShakeMove);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(HelpBtn);
    buttons->addWidget(DiagBtn);
    buttons->addStretch(1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(8);
    main->addWidget(Label4);
    main->addWidget(Label5);
    main->addSpacing(8);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    FColourTimer = new QTimer(this);
    FColourTimer->setSingleShot(true);
    FColourTimer->setInterval(FColourMs);
    connect(FColourTimer, &QTimer::timeout, this, &TxrAboutBox::colourStep);
    FShakeTimer = new QTimer(this);
    FShakeTimer->setSingleShot(true);
    FShakeTimer->setInterval(FShakeMs);
    connect(FShakeTimer, &QTimer::timeout, this, &TxrAboutBox::shakeStep);

    auto* copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this, &TxrAboutBox::CopyToClipboard);
}

TxrAboutBox::~TxrAboutBox() {
    if (FBeeLooping) {
        PlaySoundResource(QStringLiteral("BEE"), TSoundAction::saStop);
    }
}

QString TxrAboutBox::AboutText() const {
    return QStringList{Label1->text(), ProductName->text(),  CreditLabel1->text(),
                       Label2->text(), CreditLabel3->text(), Label4->text(),
                       FSuiteLine}
        .join(QStringLiteral("\r\n"));
}

void TxrAboutBox::OKButtonClick() {
    done(1);
}

void TxrAboutBox::HelpBtnClick() {
    HelpSelector::ShowTopic(FHelpContext);
}

void TxrAboutBox::DiagBtnClick() {
    QFont bold = DiagBtn->font();
    bold.setBold(true);
    DiagBtn->setText(QStringLiteral("Please wait"));
    DiagBtn->setFont(bold);
    DiagBtn->repaint();
    struct Restore {
        QPushButton* Btn;
        ~Restore() {
            QFont normal = Btn->font();
            normal.setBold(false);
            Btn->setFont(normal);
            Btn->setText(QStringLiteral("&Diagnostics"));
        }
    } restore{DiagBtn};
    QString report;
    {
        TWaitCursor wait;
        report = DiagReportText(FAppName, FVersion);
    }
    if (const auto& hook = diagnosticsHook()) {
        hook(report);
        return;
    }
    TxrDiagForm form(report, this);
    form.exec();
}

void TxrAboutBox::Label1Click() {
    if (FColourStep >= 0) {
        return; // the steps already run
    }
    FColourStep = 0;
    colourStep();
}

void TxrAboutBox::colourStep() {
    // Each step shows the next colour, waits and moves the label a little to
    // the right; after the last one the label returns to its place.
    const QList<QColor> colours = Label1Colours();
    if (FColourStep > 0) {
        FLabel1Box->SetOffset(FLabel1Box->Offset() + ColourMove);
    }
    if (FColourStep >= colours.size()) {
        FColourStep = -1;
        FLabel1Box->SetOffset(0);
        return;
    }
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, colours[FColourStep]);
    Label1->setPalette(p);
    Label1->repaint();
    ++FColourStep;
    FColourTimer->start();
}

void TxrAboutBox::Label2Click() {
    const QUrl url = AuthorWebPage();
    if (const auto& opener = urlOpener()) {
        opener(url);
        return;
    }
    if (!QDesktopServices::openUrl(url)) {
        ShowMessageDialog(QStringLiteral("Could not launch ") + url.toString(), mkError, mbOK, 0,
                          this);
    }
}

void TxrAboutBox::ProgramIconClick() {
    if (FShakeStep >= 0) {
        return;
    }
    FShakeStep = 0;
    if (ShakeLoopsBee(today())) {
        FBeeLooping = true;
        PlaySoundResource(QStringLiteral("BEE"), TSoundAction::saLoop);
    }
    shakeStep();
}

void TxrAboutBox::shakeStep() {
    // Even steps move the icon 2 pixels left, odd steps back; each waits.
    if (FShakeStep >= 2 * Shakes) {
        FShakeStep = -1;
        FIconBox->SetOffset(0);
        if (FBeeLooping) {
            FBeeLooping = false;
            PlaySoundResource(QStringLiteral("BEE"), TSoundAction::saStop);
        } else {
            PlaySoundResource(QStringLiteral("POP"), TSoundAction::saPlay);
        }
        return;
    }
    FIconBox->SetOffset(FShakeStep % 2 == 0 ? -ShakeMove : 0);
    ProgramIcon->repaint();
    ++FShakeStep;
    FShakeTimer->start();
}

void TxrAboutBox::CopyToClipboard() {
    kv::QtClipboardPort clipboard;
    kv::SafeSetClipboardText(clipboard, AboutText());
}

QList<QColor> TxrAboutBox::Label1Colours() {
    return {QColor(0x80, 0x00, 0x00), QColor(0x00, 0x80, 0x00), QColor(0x80, 0x80, 0x00),
            QColor(0xFF, 0xFF, 0xFF), QColor(0xFF, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00),
            QColor(0xFF, 0xFF, 0x00), QColor(0x00, 0x00, 0x80), QColor(0x00, 0xFF, 0xFF),
            QColor(0x80, 0x00, 0x80), QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x00, 0xFF),
            QColor(0x00, 0x80, 0x80), QColor(0x80, 0x80, 0x80), QColor(0xC0, 0xC0, 0xC0),
            QColor(0x00, 0x00, 0x00)};
}

bool TxrAboutBox::ShakeLoopsBee(const QDate& day) {
    switch (day.dayOfWeek()) {
    case Qt::Sunday:
    case Qt::Tuesday:
    case Qt::Thursday:
    case Qt::Saturday:
        return true;
    default:
        return false;
    }
}

void TxrAboutBox::SetAnimationIntervals(int colourStepMs, int shakeStepMs) {
    FColourMs = colourStepMs;
    FShakeMs = shakeStepMs;
    FColourTimer->setInterval(FColourMs);
    FShakeTimer->setInterval(FShakeMs);
}

bool TxrAboutBox::Animating() const {
    return FColourStep >= 0 || FShakeStep >= 0;
}

int TxrAboutBox::Label1Offset() const {
    return FLabel1Box->Offset();
}

int TxrAboutBox::ProgramIconOffset() const {
    return FIconBox->Offset();
}

QUrl TxrAboutBox::AuthorWebPage() {
    return QUrl(QStringLiteral("https://winvelmar.example.org/"));
}

void TxrAboutBox::SetDiagnosticsHook(DiagnosticsHook hook) {
    diagnosticsHook() = std::move(hook);
}

void TxrAboutBox::SetUrlOpener(UrlOpener opener) {
    urlOpener() = std::move(opener);
}

void TxrAboutBox::SetDateSource(DateSource source) {
    dateSource() = std::move(source);
}

void TxrAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FCentred) {
        FCentred = true;
        CenterOnOwner(this, nullptr);
    }
}

void TxrAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OKButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TxrAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Label1) {
            Label1Click();
            return true;
        }
        if (watched == Label2) {
            Label2Click();
            return true;
        }
        if (watched == ProgramIcon) {
            ProgramIconClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int ShowAboutBox(const QIcon& icon, const QString& appName, double version, int helpContext) {
    QString suiteLine;
    {
        TWaitCursor wait;
        suiteLine = VarnokSuiteLine();
    }
    TxrAboutBox box(icon, appName, version, helpContext, suiteLine);
    return box.exec();
}
