#include "diagform.h"

#include "clipboard.h"
#include "errors.h"
#include "fontnames.h"
#include "qtclipboardport.h"
#include "screenfont.h"
#include "workarea.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TxrDiagForm::TxrDiagForm(const QString& report, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("xrDiagForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral(" Diagnostics"));
    QFont font;
    SetDefaultFont(font);
    setFont(font);

    Label1 = new QLabel(
        QStringLiteral("If you would like to report a problem, please copy the contents of the "
                       "memo below into your email describing the problem, or save the contents "
                       "as a file and attach it."),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The report lines up its columns with blanks and tabs: a fixed-pitch font
    // keeps them in line.
    QFont fixed = font;
    fixed.setFamily(FixedFontName());
    if (!QFontInfo(fixed).fixedPitch()) {
        // No fixed-pitch font of the program's choice here: the system's own.
        fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (font.pixelSize() > 0) {
            fixed.setPixelSize(font.pixelSize());
        }
    }
    Memo1->setFont(fixed);
    const QFontMetrics fm(fixed);
    Memo1->setTabStopDistance(8 * fm.horizontalAdvance(QLatin1Char(' ')));
    QString shown = report;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Memo1->setPlainText(shown);
    Memo1->moveCursor(QTextCursor::Start);

    OKButton = button(QStringLiteral("OKButton"), QStringLiteral("&OK"), this);
    OKButton->setDefault(true);
    CopyBtn = button(QStringLiteral("CopyBtn"), QStringLiteral("&Copy"), this);
    SaveBtn = button(QStringLiteral("SaveBtn"), QStringLiteral("&Save"), this);
    connect(OKButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(CopyBtn, &QPushButton::clicked, this, &TxrDiagForm::CopyBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &TxrDiagForm::SaveBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CopyBtn);
    buttons->addWidget(SaveBtn);
    buttons->addStretch(1);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Label1);
    main->addWidget(Memo1, 1);
    main->addLayout(buttons);

    // About 90 characters by 30 lines of the report, within the screen.
    QSize size(fm.horizontalAdvance(QLatin1Char('x')) * 90, fm.lineSpacing() * 30);
    size += QSize(40, QFontMetrics(font).lineSpacing() * 3 + 80);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    setFixedSize(size);
}

void TxrDiagForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FPlaced) {
        return;
    }
    FPlaced = true;
    const QScreen* screen =
        parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

void TxrDiagForm::CopyBtnClick() {
    QString text = Memo1->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    kv::QtClipboardPort clipboard;
    kv::SafeSetClipboardText(clipboard, text);
}

void TxrDiagForm::SaveBtnClick() {
    QFileDialog dialog(this, QStringLiteral(" Save Diagnostic File"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    TCommonDialogHelper helper(dialog);
    helper.SetFileName(DefaultFileName());
    if (!helper.Execute(this) || dialog.selectedFiles().isEmpty()) {
        return;
    }
    SaveReport(dialog.selectedFiles().constFirst());
}

void TxrDiagForm::SaveReport(const QString& fileName) const {
    QByteArray bytes;
    for (const QString& line : Memo1->toPlainText().split(QLatin1Char('\n'))) {
        bytes += line.toLocal8Bit();
        bytes += "\r\n";
    }
    // The file is replaced only once the whole report is written.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw kv::EInOutError(QStringLiteral("Cannot write file %1: %2")
                                  .arg(QDir::toNativeSeparators(fileName), file.errorString())
                                  .toStdString());
    }
}
