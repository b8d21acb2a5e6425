// The main window: the page control with its eight pages, the main menu and
// the status line, the lazy preparation of pages and the checks that run when
// the user changes page.
#pragma once

#include "closurepage.h"
#include "layoutmetrics.h"
#include "outputcommands.h"
#include "page.h"
#include "resultspage.h"
#include "shockspage.h"
#include "solvepage.h"
#include "tableaupage.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;
class TDataPage;
class TExperimentDoc;
class TExperimentFiles;
class TPageControl;
class TRecovery;

// The welcome page: a read-only text with the program's introduction.
class TWelcomePage : public TPage {
    Q_OBJECT
public:
    TWelcomePage(const TPageContext& context, QWidget* parent = nullptr);
    QPlainTextEdit* WelcomeMemo;
    // The 19 lines of the introduction.
    static QStringList WelcomeLines();
};

class TSDIAppForm : public QMainWindow {
    Q_OBJECT
public:
    // idlePreparation: prepare the pages one per idle moment (tests switch it
    // off to see pages prepared on arrival).
    explicit TSDIAppForm(bool idlePreparation = true, QWidget* parent = nullptr);
    ~TSDIAppForm() override;

    // The caption from creation until the user first tries to change page.
    static QString CreditCaption();

    // Controls.
    TPageControl* Notebook1;
    QLabel* StatusBar;
    TWelcomePage* tabWelcome;
    TDataPage* tabData;
    TTableauPage* tabTableau;
    TClosurePage* tabClosure;
    TShocksPage* tabShocks;
    TSolvePage* tabSolve;
    TResultsPage* tabResults;
    TDataPage* tabUpdatedData;
    QPlainTextEdit* WelcomeMemo;

    // Main menu.
    QMenu* PrintMenu;
    QMenu* HelpMenu;
    QAction* Print1;
    QAction* PrintCurrentScreen1;
    QAction* PrintSetup;
    QAction* Save1;
    QAction* Copy1;
    QAction* Help1;
    QAction* Contents1;
    QAction* CurrentScreen1;
    QAction* PDFBookChapter1;
    QAction* PDFEquations1;
    QAction* PDFVariables1;
    QAction* About1;
    QAction* AboutQt1;
    QAction* ExitItem;
    // The experiment as a document, after the items above.
    QMenu* ExperimentMenu;
    QAction* NewExperiment1;
    QAction* OpenExperiment1;
    QAction* SaveExperiment1;
    QAction* SaveExperimentAs1;
    QMenu* RecentMenu;
    QMenu* EditMenu;
    QAction* Undo1;
    QAction* Redo1;

    // The experiment the window shows, and its file.
    TExperimentDoc& Doc() const { return *FDoc; }
    TExperimentFiles& Files() const { return *FFiles; }
    const kv::TExperiment& Experiment() const;
    // For tests that set up a state directly.
    kv::TExperiment& MutableExperiment();

    // Window state.
    bool NegativeDataFlag = false;
    unsigned short SolutionMethod = 1;
    int LayoutWidth = 0;
    int LayoutGap = 0;
    const TLayoutMetrics& Metrics() const { return FContext.Metrics; }
    const QString& ScreenFontName() const { return FContext.ScreenFontName; }
    const TPageContext& PageContext() const { return FContext; }
    bool PagePrepared(int page) const;
    TPage* Page(int index) const;
    TPage* CurrentPage() const;
    int PreviousPageIndex() const;

    // The status line's text.
    QString StatusText() const;
    void SetStatusText(const QString& text);

    // Operations.
    void SetUpPage(int page);
    void AppIdle(bool& done);
    void ShowHint(const QString& hint);
    void Notebook1Changing(bool& allow);
    void Notebook1Change();
    void Waiting(bool on);
    void ExitItemClick();
    // Help menu (About aside): the contents, the topic of the current page and
    // the three PDF documents beside the executable.
    void HelpContentsClick();
    void CurrentScreen1Click();
    void PDFBookChapter1Click();
    void PDFEquations1Click();
    void PDFVariables1Click();
    // The about box, with the program's icon, name and version.
    void About1Click();
    // The toolkit's own box: its version and licence.
    void AboutQt1Click();
    void BaseDataTableDoneEdit(int r, int c);
    // Print, save and copy of the current page; the commands themselves live
    // in TOutputCommands.
    bool MakeSimTab(kv::TSimTab& T);
    void Copy1Click();
    void Save1Click();
    void File_PrintClick();
    void PrintSetupClick();
    // The failure messages of MakeSimTab, Save and Copy.
    QString& OutputMsg() { return FOutput->OutputMsg; }
    TOutputCommands& OutputCommands() { return *FOutput; }
    // The current page's table for print, save and copy, as its grid shows
    // it; nothing on a page without a table.
    std::optional<kv::TPageTable> CurrentPageTable() const;
    // Undo and Redo: the step is replayed on the page where its change was
    // made, which is shown, as long as the current page may be left.
    void Undo1Click();
    void Redo1Click();
    // Shows page as the program does (the page-change checks do not run).
    void ShowPageDirectly(int page);

    // Keeps a recovery copy of unsaved changes in folder from now on.
    void EnableRecovery(const QString& folder);
    // Offers the newest copy of a session that did not end normally; true
    // when the student restored it.
    bool OfferRecovery();

    // A font with a full character cell of h pixels in the screen font.
    void ApplyScreenFont(QFont& font, int h) const { FContext.ApplyScreenFont(font, h); }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void FormClose();
    void buildMenu();
    void buildExperimentMenus();
    void fillRecentMenu();
    void replayStep(unsigned parts, bool undo);
    void updateCaption();
    void updateOutputMenus(int page);
    // A solution was stored on the Solve page.
    void SolutionStored();

    TExperimentDoc* FDoc = nullptr;
    TExperimentFiles* FFiles = nullptr;
    std::unique_ptr<TRecovery> FRecovery;
    bool FCreditCaption = true;
    TPageContext FContext;
    std::array<TPage*, PageCount> FPages{};
    QTimer* FIdleTimer = nullptr;
    bool FBusyCursor = false;
    std::unique_ptr<TOutputCommands> FOutput;
};
