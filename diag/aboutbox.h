// The about box: the program's name, version and date, the executable's
// path and a line on the VARNOK suite installed on this computer, with a
// button that opens the diagnostics report.
#pragma once

#include <QColor>
#include <QDate>
#include <QDialog>
#include <QIcon>
#include <QList>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;
class TOffsetBox;

class TxrAboutBox : public QDialog {
    Q_OBJECT
public:
    // suiteLine: the line on the suite (parts separated by "\r\n").
    TxrAboutBox(const QIcon& icon, const QString& appName, double version, int helpContext,
                const QString& suiteLine, QWidget* parent = nullptr);
    ~TxrAboutBox() override;

    // Controls.
    QLabel* ProgramIcon;
    QLabel* Label1;
    QLabel* ProductName;
    QLabel* CreditLabel1;
    QLabel* Label2;
    QLabel* CreditLabel3;
    QLabel* LicenceLabel; // the program's licence, one line
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* OKButton;
    QPushButton* HelpBtn;
    QPushButton* DiagBtn;

    // The texts that Ctrl+C copies, one per line.
    QString AboutText() const;

    // Handlers.
    void OKButtonClick();
    void HelpBtnClick();
    void DiagBtnClick();
    void Label1Click();
    void Label2Click();
    void ProgramIconClick();
    void CopyToClipboard();

    // The colours Label1 steps through when clicked.
    static QList<QColor> Label1Colours();
    // Whether the icon's shake loops "BEE" (Sunday, Tuesday, Thursday,
    // Saturday) rather than playing "POP" after it.
    static bool ShakeLoopsBee(const QDate& day);

    // The waits of the two animations (300 ms and 30 ms); tests shorten them.
    void SetAnimationIntervals(int colourStepMs, int shakeStepMs);
    bool Animating() const;
    // The current horizontal displacement of Label1 and of ProgramIcon.
    int Label1Offset() const;
    int ProgramIconOffset() const;

    // The author's web page that Label2 opens.
    static QUrl AuthorWebPage();

    // The diagnostics report shown by DiagBtn; tests replace the window.
    using DiagnosticsHook = std::function<void(const QString& report)>;
    static void SetDiagnosticsHook(DiagnosticsHook hook);
    // The opening of a web address; tests observe it.
    using UrlOpener = std::function<bool(const QUrl& url)>;
    static void SetUrlOpener(UrlOpener opener);
    // Today's date for the shake's sound; tests fix it.
    using DateSource = std::function<QDate()>;
    static void SetDateSource(DateSource source);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void colourStep();
    void shakeStep();

    QString FAppName;
    double FVersion;
    int FHelpContext;
    QString FSuiteLine;
    TOffsetBox* FLabel1Box;
    TOffsetBox* FIconBox;
    QTimer* FColourTimer;
    QTimer* FShakeTimer;
    int FColourMs = 300;
    int FShakeMs = 30;
    int FColourStep = -1; // -1: not running
    int FShakeStep = -1;
    bool FBeeLooping = false;
    bool FCentred = false;
};

// Builds the about box for the application icon, name, version and help
// context, with the suite line computed now, and shows it modally. Returns
// the box's result (1 for OK).
int ShowAboutBox(const QIcon& icon, const QString& appName, double version, int helpContext);
