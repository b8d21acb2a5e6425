// A page of the main window's page control. The main window assembles the
// pages and runs the page workflow (lazy preparation, the checks when the
// user changes page); each page builds its own contents.
//
// Adding a page: derive from TPage, give it its object name ("tabTableau")
// and help context (202), build its controls in Prepare() from Context(),
// and, when the page edits in place or offers a table, override IsEditing()
// and EndEdit() (the change guard uses them) and OutputTable() (print, save
// and copy read it). A page that shows a page table derives from TGridPage,
// which does most of this. The main window creates the page in its
// constructor.
#pragma once

#include "grid.h"
#include "layoutmetrics.h"
#include "pagetables.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <optional>

class QLabel;
class TExperimentDoc;

// Page indices of Notebook1.
enum TPageIndex : int {
    piWelcome = 0,
    piData = 1,
    piTableau = 2,
    piClosure = 3,
    piShocks = 4,
    piSolve = 5,
    piResults = 6,
    piUpdatedData = 7,
};
inline constexpr int PageCount = 8;

// What every page needs from the main window to build itself.
struct TPageContext {
    TLayoutMetrics Metrics;
    QString ScreenFontName;
    // The Data page's grid, whose options, colours and lines other grids take.
    const TGrid* BaseDataTable = nullptr;
    // The experiment the pages show and change.
    TExperimentDoc* Doc = nullptr;

    // A font whose full character cell is cellHeight pixels, in the screen font.
    void ApplyScreenFont(QFont& font, int cellHeight) const;
    // The Data grid's options, which the other grids take, with the given
    // scroll-bar policy in both directions.
    TGridOptions DataGridOptions(Qt::ScrollBarPolicy scrollBars) const;
};

class TPage : public QWidget {
    Q_OBJECT
public:
    TPage(const QString& objectName, int helpContext, const TPageContext& context,
          QWidget* parent = nullptr);

    int HelpContext() const { return FHelpContext; }

    // Prepares the page once; returns at once when it is prepared already.
    void SetUp();
    bool Prepared() const { return FPrepared; }

    // A cell or field of the page holds a value typed and not stored yet; an
    // editor opened without typing does not count.
    virtual bool IsEditing() const { return false; }
    // Ends the edit keeping the typed value; false when the value is refused
    // and the edit stays open.
    virtual bool EndEdit() { return true; }

    // The table that print, save and copy write, as the page shows it;
    // nothing when the page has none.
    virtual std::optional<kv::TPageTable> OutputTable() const { return std::nullopt; }

protected:
    // Builds the page's contents; called once by SetUp.
    virtual void Prepare() {}
    const TPageContext& Context() const { return FContext; }
    TExperimentDoc& Doc() const { return *FContext.Doc; }
    // A title panel across the top of a page: raised, caption centred,
    // PanelHeight high, its font's cell PanelFontHeight high.
    QLabel* MakeTitlePanel(const QString& objectName, const QString& caption);
    void SizeTitlePanel(QLabel* panel) const;
    // Stacks the title panel above the grid, which fills the rest of the page.
    void StackTitleAndGrid(QWidget* panel, QWidget* grid);

private:
    int FHelpContext;
    const TPageContext& FContext;
    bool FPrepared = false;
};
