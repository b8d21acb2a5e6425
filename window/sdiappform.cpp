#include "sdiappform.h"

#include "aboutbox.h"
#include "beep.h"
#include "chartview.h"
#include "closurepage.h"
#include "datapage.h"
#include "documents.h"
#include "endsignals.h"
#include "experimentdoc.h"
#include "experimentfiles.h"
#include "grid.h"
#include "helpcontext.h"
#include "helpselector.h"
#include "model.h"
#include "pagecontrol.h"
#include "recovery.h"
#include "resultspage.h"
#include "screenfont.h"
#include "shockspage.h"
#include "solvepage.h"
#include "tableaupage.h"
#include "tabledialog.h"
#include "vkdebuginfo.h"
#include "workarea.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

namespace {

const char* const NegativeFlowWarning = "Warning: Editing caused negative values in Data Base\r\n"
                                        "Please rectify immediately\r\n"
                                        "Click Help button for further information\r\n"
                                        "or OK button to return to Editing";

const char* const EditingComplete = " Editing complete? - click again to confirm ";

struct PageEntry {
    const char* caption;
    const char* name;
    int helpContext;
};

constexpr PageEntry Pages[PageCount] = {
    {"Welcome", "tabWelcome", 200}, {"Data", "tabData", 201},
    {"Tableau", "tabTableau", 202}, {"Closure", "tabClosure", 203},
    {"Shocks", "tabShocks", 204},   {"Solve", "tabSolve", 205},
    {"Results", "tabResults", 206}, {"Updated Data", "tabUpdatedData", 207},
};

} // namespace

// TWelcomePage -----------------------------------------------------------------

TWelcomePage::TWelcomePage(const TPageContext& context, QWidget* parent)
    : TPage(QStringLiteral("tabWelcome"), 200, context, parent) {
    WelcomeMemo = new QPlainTextEdit(this);
    WelcomeMemo->setObjectName(QStringLiteral("WelcomeMemo"));
    WelcomeMemo->setReadOnly(true);
    WelcomeMemo->setFrameShape(QFrame::NoFrame);
    WelcomeMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    WelcomeMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    WelcomeMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetHelpContext(WelcomeMemo, 200);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(WelcomeMemo);
}

QStringList TWelcomePage::WelcomeLines() {
    return {
        QStringLiteral(
            "WinVELMAR solves KV, a miniature computable general equilibrium model with two "
            "commodities, each available from domestic production and from imports, two "
            "industries, two primary factors (labour and capital), households and exports. The "
            "KV model is described in Chapter 2 of the WinVELMAR book (the WinVELMAR project, "
            "2026). [PDF available from Help menu]"),
        QStringLiteral("  "),
        QStringLiteral("You are on the first of eight \"pages\". Use the tab index below to switch "
                       "pages. The pages are arranged in the order in which they are typically "
                       "used:"),
        QStringLiteral("  "),
        QStringLiteral("The DATA page displays the input-output table which defines the initial "
                       "equilibrium for the model. Although not usually necessary, you can modify "
                       "this initial data."),
        QStringLiteral("  "),
        QStringLiteral("The TABLEAU page shows coefficients for the percentage-change equations of "
                       "the model. The coefficients are calculated from the flows shown on the "
                       "DATA page."),
        QStringLiteral("  "),
        QStringLiteral("The CLOSURE page shows lists of exogenous and endogenous variables. Modify "
                       "the default closure by exchanging variables between these lists."),
        QStringLiteral("  "),
        QStringLiteral("The SHOCKS page allows you to set percentage-change values for exogenous "
                       "variables."),
        QStringLiteral("  "),
        QStringLiteral("The SOLVE page allows you to solve the model using one of several solution "
                       "methods."),
        QStringLiteral("  "),
        QStringLiteral("The RESULTS page shows results of simulations. You can store up to 6 sets "
                       "of results. They may be printed, saved to file, or copied to the "
                       "Clipboard."),
        QStringLiteral("  "),
        QStringLiteral("The UPDATED DATA page shows how the original input-output table would "
                       "appear if updated using the results from the most recently computed "
                       "solution."),
        QStringLiteral(" "),
        QStringLiteral("Use the Help menu item for further information, or press the F1 function "
                       "key at any time."),
    };
}

// TSDIAppForm ------------------------------------------------------------------

QString TSDIAppForm::CreditCaption() {
    return QStringLiteral("WinVELMAR - written by the WinVELMAR project");
}

TSDIAppForm::TSDIAppForm(bool idlePreparation, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("SDIAppForm"));
    SetHelpContext(this, 200);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Notebook1 = new TPageControl(central);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setStatusTip(QStringLiteral(" Press F1 key for help"));
    StatusBar = new QLabel(central);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StatusBar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // A long text is cut at the window's edge; it never widens the window.
    StatusBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(Notebook1, 1);
    layout->addWidget(StatusBar);
    setCentralWidget(central);

    FDoc = new TExperimentDoc(this);
    FContext.Doc = FDoc;
    connect(FDoc, &TExperimentDoc::Changed, this, [this](unsigned parts) {
        if (parts & kv::chBaseData) {
            NegativeDataFlag = FDoc->Experiment().NegativeData();
        }
    });
    FFiles = new TExperimentFiles(
        *FDoc, this, [this] { return Notebook1->currentIndex(); },
        [this](int page) { ShowPageDirectly(page); });
    connect(FFiles, &TExperimentFiles::FileNameChanged, this, &TSDIAppForm::updateCaption);
    connect(FDoc, &TExperimentDoc::ModifiedChanged, this, &TSDIAppForm::updateCaption);

    tabWelcome = new TWelcomePage(FContext);
    WelcomeMemo = tabWelcome->WelcomeMemo;
    tabData = new TDataPage(TDataPageKind::Base, FContext);
    FContext.BaseDataTable = tabData->Grid();
    tabTableau = new TTableauPage(FContext);
    tabClosure = new TClosurePage(FContext);
    tabShocks = new TShocksPage(FContext);
    tabSolve = new TSolvePage(FContext, SolutionMethod, LayoutWidth, LayoutGap);
    tabResults = new TResultsPage(FContext);
    tabSolve->Waiting = [this](bool on) { Waiting(on); };
    tabSolve->SolutionStored = [this] { SolutionStored(); };
    tabUpdatedData = new TDataPage(TDataPageKind::Updated, FContext);
    FPages = {tabWelcome, tabData,  tabTableau, tabClosure,
              tabShocks,  tabSolve, tabResults, tabUpdatedData};
    for (int i = 0; i < PageCount; ++i) {
        Notebook1->addTab(FPages[static_cast<std::size_t>(i)],
                          QString::fromLatin1(Pages[i].caption));
    }
    Notebook1->OnChanging = [this] {
        bool allow = false;
        Notebook1Changing(allow);
        return allow;
    };
    Notebook1->OnChange = [this] { Notebook1Change(); };
    connect(tabData->Grid(), &TGrid::DoneEdit, this, &TSDIAppForm::BaseDataTableDoneEdit);

    TOutputEnvironment output;
    output.CurrentTable = [this] { return CurrentPageTable(); };
    output.Waiting = [this](bool on) { Waiting(on); };
    FOutput = std::make_unique<TOutputCommands>(std::move(output));
    tabResults->ShowTable = [this](const kv::TPageTable& table, int helpContext) {
        TTableDialog dialog(table, helpContext, *FOutput, FContext, this);
        dialog.exec();
    };
    tabResults->ResultsChart()->PrintRequested = [this] {
        TResultsChartView* chart = tabResults->ResultsChart();
        FOutput->PrintPicture(
            [chart](QPrinter& printer, const QString& header) { chart->Print(printer, header); });
    };

    buildMenu();
    FormCreate();

    // F1 asks for the topic of the focused control.
    InstallContextHelp();

    if (idlePreparation) {
        FIdleTimer = new QTimer(this);
        FIdleTimer->setInterval(0);
        connect(FIdleTimer, &QTimer::timeout, this, [this] {
            bool done = false;
            AppIdle(done);
        });
        FIdleTimer->start();
    }
}

TSDIAppForm::~TSDIAppForm() {
    if (FBusyCursor) {
        QApplication::restoreOverrideCursor();
    }
}

void TSDIAppForm::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    PrintMenu = bar->addMenu(QStringLiteral("&Print"));
    Print1 = PrintMenu->menuAction();
    Print1->setObjectName(QStringLiteral("Print1"));
    Print1->setStatusTip(QStringLiteral("Print Current Screen"));
    PrintMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    PrintCurrentScreen1 = PrintMenu->addAction(QStringLiteral("&Print Current Screen"));
    PrintCurrentScreen1->setObjectName(QStringLiteral("PrintCurrentScreen1"));
    PrintSetup = PrintMenu->addAction(QStringLiteral("Print &Setup"));
    PrintSetup->setObjectName(QStringLiteral("PrintSetup"));

    Save1 = bar->addAction(QStringLiteral("&Save"));
    Save1->setObjectName(QStringLiteral("Save1"));
    Save1->setStatusTip(QStringLiteral("Save current screen to file"));

    Copy1 = bar->addAction(QStringLiteral("&Copy"));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    Copy1->setStatusTip(QStringLiteral("Copy current screen to clipboard"));

    HelpMenu = bar->addMenu(QStringLiteral("&Help"));
    Help1 = HelpMenu->menuAction();
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->setStatusTip(QStringLiteral("See help file"));
    auto add = [this](const char* caption, const char* name) {
        QAction* action = HelpMenu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    Contents1 = add("&Contents", "Contents1");
    CurrentScreen1 = add("Current &Screen", "CurrentScreen1");
    PDFBookChapter1 = add("PDF Book Chapter", "PDFBookChapter1");
    PDFEquations1 = add("PDF Equations", "PDFEquations1");
    PDFVariables1 = add("PDF Variables", "PDFVariables1");
    About1 = add("&About", "About1");
    AboutQt1 = add("About &Qt", "AboutQt1");
    connect(Contents1, &QAction::triggered, this, &TSDIAppForm::HelpContentsClick);
    connect(CurrentScreen1, &QAction::triggered, this, &TSDIAppForm::CurrentScreen1Click);
    connect(PDFBookChapter1, &QAction::triggered, this, &TSDIAppForm::PDFBookChapter1Click);
    connect(PDFEquations1, &QAction::triggered, this, &TSDIAppForm::PDFEquations1Click);
    connect(PDFVariables1, &QAction::triggered, this, &TSDIAppForm::PDFVariables1Click);
    connect(About1, &QAction::triggered, this, &TSDIAppForm::About1Click);
    connect(AboutQt1, &QAction::triggered, this, &TSDIAppForm::AboutQt1Click);

    // "E&xit" on the menu bar is reached with Alt+X, its access key.
    ExitItem = bar->addAction(QStringLiteral("E&xit"));
    ExitItem->setObjectName(QStringLiteral("ExitItem"));
    ExitItem->setStatusTip(QStringLiteral("Exit application"));
    connect(ExitItem, &QAction::triggered, this, &TSDIAppForm::ExitItemClick);

    connect(PrintCurrentScreen1, &QAction::triggered, this, &TSDIAppForm::File_PrintClick);
    connect(PrintSetup, &QAction::triggered, this, &TSDIAppForm::PrintSetupClick);
    connect(Save1, &QAction::triggered, this, &TSDIAppForm::Save1Click);
    connect(Copy1, &QAction::triggered, this, &TSDIAppForm::Copy1Click);
    // Standard shortcuts beside the access keys. Ctrl+C copies the page's
    // table only where no text box takes it for its own text; Ctrl+P works
    // while its menu is enabled, on the pages with a table.
    PrintCurrentScreen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ExitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    updateOutputMenus(piWelcome);
    buildExperimentMenus();
}

void TSDIAppForm::buildExperimentMenus() {
    QMenuBar* bar = menuBar();
    ExperimentMenu = bar->addMenu(QStringLiteral("&Experiment"));
    ExperimentMenu->setObjectName(QStringLiteral("ExperimentMenu"));
    ExperimentMenu->menuAction()->setStatusTip(QStringLiteral("Open, save and start experiments"));
    auto add = [](QMenu* menu, const char* caption, const char* name, const char* tip) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setStatusTip(QString::fromLatin1(tip));
        return action;
    };
    NewExperiment1 = add(ExperimentMenu, "&New", "NewExperiment1",
                         "Start again from the default database, closure and shocks");
    OpenExperiment1 = add(ExperimentMenu, "&Open...", "OpenExperiment1", "Open an experiment file");
    OpenExperiment1->setShortcut(QKeySequence::Open);
    SaveExperiment1 = add(ExperimentMenu, "&Save", "SaveExperiment1",
                          "Save the experiment with its solutions to its file");
    SaveExperiment1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveExperimentAs1 = add(ExperimentMenu, "Save &As...", "SaveExperimentAs1",
                            "Save the experiment to a new file");
    ExperimentMenu->addSeparator();
    RecentMenu = ExperimentMenu->addMenu(QStringLiteral("&Recent Files"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    connect(NewExperiment1, &QAction::triggered, FFiles, &TExperimentFiles::New);
    connect(OpenExperiment1, &QAction::triggered, FFiles, &TExperimentFiles::Open);
    connect(SaveExperiment1, &QAction::triggered, FFiles, &TExperimentFiles::Save);
    connect(SaveExperimentAs1, &QAction::triggered, FFiles, &TExperimentFiles::SaveAs);
    connect(FFiles, &TExperimentFiles::RecentFilesChanged, this, &TSDIAppForm::fillRecentMenu);
    fillRecentMenu();

    EditMenu = bar->addMenu(QStringLiteral("E&dit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    Undo1 = add(EditMenu, "&Undo", "Undo1", "Take back the last change");
    Undo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    Redo1 = add(EditMenu, "&Redo", "Redo1", "Make the change taken back again");
    Redo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(Undo1, &QAction::triggered, this, &TSDIAppForm::Undo1Click);
    connect(Redo1, &QAction::triggered, this, &TSDIAppForm::Redo1Click);
    // The items name the step they replay.
    const QUndoStack* stack = FDoc->UndoStack();
    auto updateItems = [this, stack] {
        Undo1->setEnabled(stack->canUndo());
        Undo1->setText(stack->canUndo() ? QStringLiteral("&Undo ") + stack->undoText()
                                        : QStringLiteral("&Undo"));
        Redo1->setEnabled(stack->canRedo());
        Redo1->setText(stack->canRedo() ? QStringLiteral("&Redo ") + stack->redoText()
                                        : QStringLiteral("&Redo"));
    };
    connect(stack, &QUndoStack::indexChanged, this, updateItems);
    connect(stack, &QUndoStack::cleanChanged, this, updateItems);
    updateItems();
}

void TSDIAppForm::fillRecentMenu() {
    RecentMenu->clear();
    const QStringList files = FFiles->RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = RecentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        action->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, path] { FFiles->OpenFile(path); });
    }
    RecentMenu->setEnabled(!files.isEmpty());
}

void TSDIAppForm::Undo1Click() {
    replayStep(FDoc->NextUndoParts(), true);
}

void TSDIAppForm::Redo1Click() {
    replayStep(FDoc->NextRedoParts(), false);
}

void TSDIAppForm::replayStep(unsigned parts, bool undo) {
    if (parts == 0) {
        return;
    }
    // An open edit ends first; a value typed there is a step of its own,
    // which the next Undo takes back.
    if (TPage* page = CurrentPage(); page && page->IsEditing()) {
        const int index = FDoc->UndoStack()->index();
        if (!page->EndEdit() || FDoc->UndoStack()->index() != index) {
            return;
        }
    }
    int target = TExperimentDoc::PageOfChange(parts);
    const int current = Notebook1->currentIndex();
    if (target != current) {
        // Leaving the page is checked as a page change is (an open edit ends,
        // a negative flow keeps the Data page).
        bool allow = false;
        Notebook1Changing(allow);
        if (!allow) {
            return;
        }
    }
    if (undo) {
        FDoc->UndoStack()->undo();
    } else {
        FDoc->UndoStack()->redo();
    }
    if (target == piResults && Experiment().Solutions.Count < 1) {
        target = piSolve;
    }
    if (target != Notebook1->currentIndex()) {
        ShowPageDirectly(target);
    }
}

void TSDIAppForm::ShowPageDirectly(int page) {
    if (page < 0 || page >= PageCount) {
        page = piWelcome;
    }
    if (Experiment().Solutions.Count < 1 && (page == piResults || page == piUpdatedData)) {
        page = piSolve;
    }
    SetUpPage(page);
    Notebook1->SetActivePage(page);
    Notebook1->Tag = page;
    updateOutputMenus(page);
}

void TSDIAppForm::updateCaption() {
    const QString base = FCreditCaption ? CreditCaption() : QStringLiteral("WinVELMAR");
    const bool modified = FDoc->IsModified();
    if (FFiles->FileName().isEmpty() && !modified) {
        setWindowTitle(base);
    } else {
        setWindowTitle(FFiles->DisplayName() + QStringLiteral("[*] - ") + base);
    }
    setWindowModified(modified);
}

void TSDIAppForm::EnableRecovery(const QString& folder) {
    FRecovery = std::make_unique<TRecovery>(*FDoc, folder, [this] {
        kv::TExperimentFile file = FFiles->Snapshot();
        file.SavedAs = FFiles->FileName().toStdString();
        return file;
    });
}

bool TSDIAppForm::OfferRecovery() {
    if (!FRecovery) {
        return false;
    }
    const QString folder = QFileInfo(FRecovery->CopyPath()).absolutePath();
    const auto orphans = TRecovery::Orphans(folder);
    if (orphans.empty()) {
        return false;
    }
    const auto& newest = orphans.front();
    bool restored = false;
    const int answer = ShowMessageDialog(
        QStringLiteral("WinVELMAR did not end normally when it last ran.\r\n"
                       "Restore the experiment with the changes you made then (last kept %1)?")
            .arg(QLocale().toString(newest.Written, QLocale::ShortFormat)),
        mkConfirmation, mbYes | mbNo, 0, this);
    if (answer == 6) {
        kv::TExperimentFile file;
        std::string error;
        QFile in(newest.Path);
        if (in.open(QIODevice::ReadOnly) &&
            kv::ExperimentFromJson(in.readAll().toStdString(), file, error)) {
            FDoc->Replace(file.State);
            FDoc->MarkModified();
            FFiles->SetFileName(QString::fromStdString(file.SavedAs));
            ShowPageDirectly(file.Page);
            restored = true;
        } else {
            ShowMessageDialog(
                QStringLiteral("The recovery copy cannot be read:\r\n%1")
                    .arg(error.empty() ? in.errorString() : QString::fromStdString(error)),
                mkError, mbOK, 0, this);
        }
    }
    for (const auto& orphan : orphans) {
        TRecovery::Discard(orphan.Path);
    }
    return restored;
}

std::optional<kv::TPageTable> TSDIAppForm::CurrentPageTable() const {
    return CurrentPage()->OutputTable();
}

bool TSDIAppForm::MakeSimTab(kv::TSimTab& T) {
    return FOutput->MakeSimTab(T);
}

void TSDIAppForm::Copy1Click() {
    FOutput->Copy1Click();
}

void TSDIAppForm::Save1Click() {
    FOutput->Save1Click();
}

void TSDIAppForm::File_PrintClick() {
    FOutput->File_PrintClick();
}

void TSDIAppForm::PrintSetupClick() {
    FOutput->PrintSetupClick();
}

void TSDIAppForm::FormCreate() {
    // 1. The Welcome page first.
    Notebook1->SetActivePage(piWelcome);
    Notebook1->Tag = piWelcome;
    // 2. The window font is two points above the default screen font.
    const int size = DefaultFontSize() + 2;
    // 3. The introduction.
    WelcomeMemo->clear();
    for (const QString& line : TWelcomePage::WelcomeLines()) {
        WelcomeMemo->appendPlainText(line);
    }
    WelcomeMemo->moveCursor(QTextCursor::Start);
    // 4. Caption with the credit.
    updateCaption();
    // 5.-6. The screen font for the whole window; the menus keep the system's.
    FContext.ScreenFontName = DefaultFontName();
    QFont font(FContext.ScreenFontName);
    font.setPointSize(size);
    setFont(font);
    menuBar()->setFont(QApplication::font("QMenuBar"));
    // 7.-8. Layout metrics.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    FContext.Metrics = ComputeLayoutMetrics(size, dpi);
    const TLayoutMetrics& m = FContext.Metrics;
    // 9. Status line.
    StatusBar->setFixedHeight(m.StatusBarHeight);
    QFont statusFont = StatusBar->font();
    ApplyScreenFont(statusFont, m.StatusFontHeight);
    StatusBar->setFont(statusFont);
    // 10. Size and centre.
    resize(m.WindowWidth, m.WindowHeight);
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - m.WindowWidth) / 2,
             area.y() + (area.height() - m.WindowHeight) / 2);
    }
    // 11. The introduction's font.
    QFont memoFont = WelcomeMemo->font();
    ApplyScreenFont(memoFont, m.BaseHeight);
    WelcomeMemo->setFont(memoFont);
}

void TSDIAppForm::FormActivate() {
    LayoutWidth = width();
    LayoutGap = 20;
}

bool TSDIAppForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::StatusTip:
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    case QEvent::WindowActivate:
        FormActivate();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

const kv::TExperiment& TSDIAppForm::Experiment() const {
    return FDoc->Experiment();
}

kv::TExperiment& TSDIAppForm::MutableExperiment() {
    return FDoc->MutableExperiment();
}

TPage* TSDIAppForm::Page(int index) const {
    return index >= 0 && index < PageCount ? FPages[static_cast<std::size_t>(index)] : nullptr;
}

TPage* TSDIAppForm::CurrentPage() const {
    return Page(Notebook1->currentIndex());
}

int TSDIAppForm::PreviousPageIndex() const {
    return Notebook1->Tag;
}

bool TSDIAppForm::PagePrepared(int page) const {
    return page >= 1 && page < PageCount && Page(page)->Prepared();
}

QString TSDIAppForm::StatusText() const {
    return StatusBar->text();
}

void TSDIAppForm::SetStatusText(const QString& text) {
    StatusBar->setText(text);
}

void TSDIAppForm::SetUpPage(int page) {
    if (page < 1 || page >= PageCount) {
        return;
    }
    // The grids of these pages take their settings from the Data grid.
    if (page == piTableau || page == piShocks || page == piSolve || page == piResults ||
        page == piUpdatedData) {
        tabData->SetUp();
    }
    Page(page)->SetUp();
}

void TSDIAppForm::AppIdle(bool& done) {
    for (int p = 1; p < PageCount; ++p) {
        if (!PagePrepared(p)) {
            SetUpPage(p);
            break;
        }
    }
    done = true;
    bool all = true;
    for (int p = 1; p < PageCount; ++p) {
        all = all && PagePrepared(p);
    }
    if (all && FIdleTimer) {
        FIdleTimer->stop();
    }
}

void TSDIAppForm::ShowHint(const QString& hint) {
    SetStatusText(QStringLiteral("  ") + hint);
}

void TSDIAppForm::Notebook1Changing(bool& allow) {
    Notebook1->Tag = Notebook1->currentIndex();
    FCreditCaption = false;
    updateCaption();
    allow = false;
    const int current = Notebook1->currentIndex();
    if (current == piData && NegativeDataFlag) {
        ShowMessageDialog(QString::fromLatin1(NegativeFlowWarning), mkError, mbOK | mbHelp, 301);
        SetStatusText(QStringLiteral(" Fix negative flow before proceeding"));
        return;
    }
    if (TPage* page = CurrentPage(); page && page->IsEditing()) {
        // The first attempt ends the edit and stays; the next one leaves.
        Beep();
        SetStatusText(QString::fromLatin1(EditingComplete));
        Beep();
        page->EndEdit();
        return;
    }
    if (current == piData) {
        try {
            FDoc->RebuildTableau();
        } catch (...) {
            // A database the tableau cannot be built from (a zero divisor) is
            // reported, and the Data page stays.
            HandleAppException(this, std::current_exception());
            return;
        }
    }
    allow = true;
    SetStatusText(QStringLiteral("  ") + Notebook1->statusTip());
}

void TSDIAppForm::Notebook1Change() {
    const int page = Notebook1->currentIndex();
    if (Experiment().Solutions.Count < 1 && (page == piResults || page == piUpdatedData)) {
        Beep();
        SetStatusText(QStringLiteral(" You must solve the model before seeing that page"));
        Beep();
        Notebook1->SetActivePage(Notebook1->Tag);
        return;
    }
    if (!PagePrepared(page)) {
        SetUpPage(page);
    }
    updateOutputMenus(page);
    Notebook1->Tag = page;
}

void TSDIAppForm::SolutionStored() {
    // The Results page, with the new solution's column, shown by the program
    // (the page-change steps do not run); the menus follow the page, whose
    // table may be printed, saved and copied.
    ShowPageDirectly(piResults);
}

void TSDIAppForm::updateOutputMenus(int page) {
    const bool table =
        page == piData || page == piTableau || page == piResults || page == piUpdatedData;
    // The Print submenu is enabled through its widget: a QMenu re-enables its
    // menu action whenever the widget is re-enabled (as it is when the window
    // leaves the busy state), unless the widget itself was disabled.
    PrintMenu->setEnabled(table);
    for (QAction* action : {Print1, Copy1, Save1}) {
        action->setEnabled(table);
    }
}

void TSDIAppForm::Waiting(bool on) {
    if (on) {
        SetStatusText(QStringLiteral("  WORKING - PLEASE WAIT A MOMENT.... "));
        if (!FBusyCursor) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            FBusyCursor = true;
        }
        StatusBar->repaint();
        QCoreApplication::processEvents();
        setEnabled(false);
    } else {
        setEnabled(true);
        if (FBusyCursor) {
            QApplication::restoreOverrideCursor();
            FBusyCursor = false;
        }
        SetStatusText(QStringLiteral(" "));
    }
}

void TSDIAppForm::ExitItemClick() {
    close();
}

void TSDIAppForm::closeEvent(QCloseEvent* event) {
    // FormCloseQuery: unsaved changes are the one question (none when the
    // program is asked to end from outside: the recovery copy keeps them);
    // then the Welcome page shows and the window closes.
    const bool bySignal = EndingBySignal();
    if (!bySignal && !FFiles->MaybeSave()) {
        event->ignore();
        return;
    }
    Notebook1->SetActivePage(piWelcome);
    event->accept();
    if (FRecovery) {
        if (bySignal) {
            FRecovery->WriteNow();
        } else {
            FRecovery->Finish();
        }
    }
    FormClose();
}

void TSDIAppForm::FormClose() {
    HelpSelector::CloseAll();
}

void TSDIAppForm::BaseDataTableDoneEdit(int, int) {
    NegativeDataFlag = Experiment().NegativeData();
    tabData->Grid()->Redraw();
}

void TSDIAppForm::HelpContentsClick() {
    HelpSelector::ShowContents();
}

void TSDIAppForm::CurrentScreen1Click() {
    HelpSelector::ShowTopic(200 + Notebook1->currentIndex());
}

void TSDIAppForm::PDFBookChapter1Click() {
    OpenDocument(BookChapterFile, this);
}

void TSDIAppForm::PDFEquations1Click() {
    OpenDocument(EquationsFile, this);
}

void TSDIAppForm::PDFVariables1Click() {
    OpenDocument(VariablesFile, this);
}

void TSDIAppForm::AboutQt1Click() {
    QMessageBox::aboutQt(this);
}

void TSDIAppForm::About1Click() {
    ShowAboutBox(QApplication::windowIcon(), QStringLiteral("WinVELMAR"), 2.0, 0);
}
