// The grids of the main window's pages: a table view over one model per kind
// of grid. Cells are addressed (row, column) from 0, row 0 and column 0
// holding the headings; the texts come from the page's cell-text rule. A grid
// may keep row 0 and column 0 fixed (in view while the rest scrolls), draws
// its cells in named cell styles, never highlights its active cell, and edits
// numeric cells in place with TNumericEditor. It scrolls by whole rows and
// columns, keeps every column as wide as its widest text, shows a text that
// is cut in the view as a tooltip, and draws every text readable on its
// background in the palette of the desktop.
#pragma once

#include "numericeditor.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <map>
#include <utility>
#include <vector>

// How a cell is drawn, and whether it opens the numeric editor.
struct TCellStyle {
    Qt::Alignment Alignment = Qt::AlignRight | Qt::AlignVCenter;
    int Margin = 1;    // pixels between the text and the cell's edges
    QFont Font;        // set with ApplyScreenFont by the page
    QColor TextColor;  // invalid: the window-text colour
    QColor Background; // invalid: the grid's background
    bool WordWrap = false;
    bool Editable = false;
    TNumericRange Range; // the editor's range, for editable cells
};

// The grid's data: a page derives one model per kind of grid and supplies the
// cell texts and, for editable cells, the values.
class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Grid coordinates, headings included.
    virtual int RowCount() const = 0;
    virtual int ColCount() const = 0;
    virtual QString CellText(int r, int c) const = 0;
    // The value an editable cell edits.
    virtual double CellValue(int r, int c) const;
    // Stores an accepted value; false when the cell takes no value.
    virtual bool SetCellValue(int r, int c, double value);
    // The text colour of a cell: the style's, unless the page overrides it.
    virtual QColor CellTextColor(int r, int c, const TCellStyle& style) const;
    // A note shown in the cell's tooltip (below its text where that is cut);
    // empty for none.
    virtual QString CellNote(int, int) const { return {}; }
    // While false the grid shows nothing (the page is being built).
    virtual bool Supplying() const { return true; }

    // Row 0 and column 0 as fixed headings (0 or 1 each).
    void SetFixed(int rows, int cols);
    int FixedRows() const { return FFixedRows; }
    int FixedCols() const { return FFixedCols; }

    // Cell styles: a column's default, and overrides of single cells. The
    // styles belong to the page and must outlive the model.
    void SetColumnStyle(int c, const TCellStyle* style);
    void SetCellStyle(int r, int c, const TCellStyle* style);
    virtual const TCellStyle& StyleAt(int r, int c) const;
    bool IsEditable(int r, int c) const { return StyleAt(r, c).Editable; }

    // Every cell may have changed: redraw all of them.
    void Refresh();
    // The column count changes: change() alters what ColCount() returns.
    void InsertGridColumns(int first, int count, const std::function<void()>& change);
    void RemoveGridColumns(int first, int count, const std::function<void()>& change);

    // Between model indexes and grid coordinates.
    QModelIndex IndexOf(int r, int c) const;
    int GridRow(const QModelIndex& index) const { return index.row() + FFixedRows; }
    int GridCol(const QModelIndex& index) const { return index.column() + FFixedCols; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    QVariant cellData(int r, int c, int role) const;

    int FFixedRows = 0;
    int FFixedCols = 0;
    std::vector<const TCellStyle*> FColumnStyles;
    std::map<std::pair<int, int>, const TCellStyle*> FCellStyles;
    TCellStyle FPlain;
};

// The grid's colours and lines.
enum class TGridLines { None, Dotted };
enum class TActiveOutline { None, SolidWhenFocused };

struct TGridColours {
    QColor Background;       // cells and the empty area beyond them
    QColor ActiveBackground; // the active cell (not highlighted)
    QColor EditBackground;   // a cell being edited
    QColor EditText;
    QColor ErrorBackground; // the editor showing a refused value
    QColor ErrorText;
};

struct TGridLineStyle {
    TGridLines Lines = TGridLines::None;
    QColor LineColor;
    TActiveOutline Outline = TActiveOutline::None;
};

struct TGridOptions {
    bool AlwaysEditing = true; // an editable cell opens its editor when it becomes active
    Qt::ScrollBarPolicy HorizontalScrollBar = Qt::ScrollBarAsNeeded;
    Qt::ScrollBarPolicy VerticalScrollBar = Qt::ScrollBarAsNeeded;
};

// The colours a cell's text and background are drawn in.
struct TCellColours {
    QColor Text;
    QColor Background;
};

class TGrid;

// A fixed heading row or column: its cells drawn as the grid draws them, on
// a raised panel.
class TGridHeader : public QHeaderView {
    Q_OBJECT
public:
    TGridHeader(Qt::Orientation orientation, TGrid* grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    bool viewportEvent(QEvent* event) override;

private:
    // The grid cell of a section.
    int cellRow(int logicalIndex) const;
    int cellCol(int logicalIndex) const;

    TGrid* FGrid;
};

class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TGridDelegate(TGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    TGrid* FGrid;
};

class TGrid : public QTableView {
    Q_OBJECT
public:
    explicit TGrid(QWidget* parent = nullptr);

    void SetGridModel(TGridModel* model);
    TGridModel* GridModel() const { return FModel; }

    // Fixed heading row and column (0 or 1 each), shown as raised headings
    // that stay in view.
    void SetFixed(int rows, int cols);

    int RowCount() const;
    int ColCount() const;
    void SetDefaultRowHeight(int h);
    void SetRowHeight(int r, int h);
    int RowHeight(int r) const;
    // Column c at least w pixels wide, and wider where a text of the column
    // needs it; kept so while the texts change.
    void SetColWidth(int c, int w);
    int ColWidth(int c) const;
    // The width cell (r, c) needs to show its whole text on one line.
    int TextWidth(int r, int c) const;
    // Whether the text of cell (r, c) shows whole in the part shown of it.
    bool TextFits(int r, int c, const QRect& shown) const;

    // The active cell. An open edit ends first; while its value is refused
    // the active cell stays.
    void SetActiveCell(int r, int c);
    int ActiveRow() const;
    int ActiveCol() const;

    // Suspends and resumes drawing while the grid is configured.
    void BeginUpdate();
    void EndUpdate();
    // Redraws every cell from the model.
    void Redraw();

    void SetOptions(const TGridOptions& options);
    const TGridOptions& Options() const { return FOptions; }
    void SetColours(const TGridColours& colours);
    const TGridColours& Colours() const { return FColours; }
    void SetLineStyle(const TGridLineStyle& lines);
    const TGridLineStyle& LineStyle() const { return FLines; }

    // The colours cell (r, c) is drawn in now (the active cell included), and
    // those of the editor, plain or showing a refused value: the styles'
    // colours, a fixed background given way where the palette's text would
    // not read on it, and every text at least MinTextContrast against its
    // background.
    TCellColours CellColours(int r, int c) const;
    TCellColours EditColours(bool error) const;

    // Draws cell (r, c) into rect: its background and its text; a heading
    // on a raised panel.
    void PaintCell(QPainter* painter, const QRect& rect, int r, int c, bool heading) const;

    // Editing.
    bool IsEditing() const;
    // An editor is open and the user has typed into it since it opened (or
    // since Esc restored the stored value).
    bool HasTypedEdit() const;
    TNumericEditor* Editor() const { return FEditor; }
    // Ends the edit keeping the typed value: an accepted value is stored (and
    // DoneEdit follows); a refused one shows the error colours and the cell
    // stays in editing. True when no edit is left open.
    bool EndEdit();
    // Opens the editor of the active cell when it is editable.
    void EditActiveCell();

    // The rectangle of cell (r, c) in the viewport's coordinates (fixed cells
    // in their heading's coordinates).
    QRect CellRect(int r, int c) const;

signals:
    // An edit ended with its value stored in the model.
    void DoneEdit(int r, int c);
    // A click on a fixed cell.
    void LockedCellClick(int r, int c);
    // The context menu asked for over cell (r, c) (the active cell when asked
    // from the keyboard), to be shown at globalPos.
    void CellContextMenu(int r, int c, const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* object, QEvent* event) override;

protected slots:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class TGridDelegate;
    void editorCreated(TNumericEditor* editor);
    void valueStored(const QModelIndex& index);
    void applyPalette();
    void applyColWidth(int c, int w);
    // Every column at the width it asks for and its texts need.
    void fitColumns();
    QColor gridBackground() const;
    bool isActive(int r, int c) const;

    TGridModel* FModel = nullptr;
    TGridDelegate* FDelegate;
    QPointer<TNumericEditor> FEditor;
    TGridOptions FOptions;
    TGridColours FColours;
    TGridLineStyle FLines;
    int FUpdateDepth = 0;
    std::vector<int> FColWidths; // the widths asked for; 0: none
};
