#include "grid.h"

#include "cellcolours.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <qdrawutil.h>

// TGridModel -------------------------------------------------------------------

double TGridModel::CellValue(int, int) const {
    return 0.0;
}

bool TGridModel::SetCellValue(int, int, double) {
    return false;
}

QColor TGridModel::CellTextColor(int, int, const TCellStyle& style) const {
    return style.TextColor;
}

void TGridModel::SetFixed(int rows, int cols) {
    beginResetModel();
    FFixedRows = rows > 0 ? 1 : 0;
    FFixedCols = cols > 0 ? 1 : 0;
    endResetModel();
}

void TGridModel::SetColumnStyle(int c, const TCellStyle* style) {
    if (c < 0) {
        return;
    }
    if (static_cast<int>(FColumnStyles.size()) <= c) {
        FColumnStyles.resize(static_cast<std::size_t>(c) + 1, nullptr);
    }
    FColumnStyles[static_cast<std::size_t>(c)] = style;
}

void TGridModel::SetCellStyle(int r, int c, const TCellStyle* style) {
    if (style) {
        FCellStyles[{r, c}] = style;
    } else {
        FCellStyles.erase({r, c});
    }
}

const TCellStyle& TGridModel::StyleAt(int r, int c) const {
    if (auto it = FCellStyles.find({r, c}); it != FCellStyles.end()) {
        return *it->second;
    }
    if (c >= 0 && c < static_cast<int>(FColumnStyles.size()) &&
        FColumnStyles[static_cast<std::size_t>(c)]) {
        return *FColumnStyles[static_cast<std::size_t>(c)];
    }
    return FPlain;
}

void TGridModel::Refresh() {
    const int rows = rowCount();
    const int cols = columnCount();
    if (rows > 0 && cols > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, cols - 1));
    }
    if (cols > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, cols - 1);
    }
    if (rows > 0) {
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
}

void TGridModel::InsertGridColumns(int first, int count, const std::function<void()>& change) {
    const int at = first - FFixedCols;
    beginInsertColumns(QModelIndex(), at, at + count - 1);
    change();
    endInsertColumns();
}

void TGridModel::RemoveGridColumns(int first, int count, const std::function<void()>& change) {
    const int at = first - FFixedCols;
    beginRemoveColumns(QModelIndex(), at, at + count - 1);
    change();
    endRemoveColumns();
}

QModelIndex TGridModel::IndexOf(int r, int c) const {
    return index(r - FFixedRows, c - FFixedCols);
}

int TGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, RowCount() - FFixedRows);
}

int TGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, ColCount() - FFixedCols);
}

QVariant TGridModel::cellData(int r, int c, int role) const {
    const TCellStyle& style = StyleAt(r, c);
    switch (role) {
    case Qt::DisplayRole:
        return Supplying() ? QVariant(CellText(r, c)) : QVariant();
    case Qt::EditRole:
        return style.Editable && Supplying() ? QVariant(CellValue(r, c)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant(static_cast<int>(style.Alignment));
    case Qt::FontRole:
        return style.Font;
    case Qt::ForegroundRole: {
        const QColor color = CellTextColor(r, c, style);
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::BackgroundRole:
        return style.Background.isValid() ? QVariant(style.Background) : QVariant();
    default:
        return {};
    }
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    return cellData(GridRow(index), GridCol(index), role);
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && FFixedRows > 0) {
        return cellData(0, section + FFixedCols, role);
    }
    if (orientation == Qt::Vertical && FFixedCols > 0) {
        return cellData(section + FFixedRows, 0, role);
    }
    return {};
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (IsEditable(GridRow(index), GridCol(index))) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const int r = GridRow(index);
    const int c = GridCol(index);
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !IsEditable(r, c) || !SetCellValue(r, c, v)) {
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

// TGridDelegate ----------------------------------------------------------------

TGridDelegate::TGridDelegate(TGrid* grid) : QStyledItemDelegate(grid), FGrid(grid) {}

void TGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const TGridModel* model = FGrid->GridModel();
    if (!model) {
        return;
    }
    const int r = model->GridRow(index);
    const int c = model->GridCol(index);
    const QRect rect = option.rect;
    painter->save();
    FGrid->PaintCell(painter, rect, r, c, false);
    const TGridLineStyle& lines = FGrid->LineStyle();
    if (lines.Lines == TGridLines::Dotted) {
        painter->setPen(QPen(lines.LineColor, 1, Qt::DotLine));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    }
    if (index == FGrid->currentIndex() && lines.Outline == TActiveOutline::SolidWhenFocused) {
        const bool focused = FGrid->hasFocus() || (FGrid->Editor() && FGrid->Editor()->hasFocus());
        // Black in a light palette; the palette's text colour in any other.
        painter->setPen(QPen(FGrid->palette().color(QPalette::WindowText), 1,
                             focused ? Qt::SolidLine : Qt::DashLine));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QWidget* TGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex& index) const {
    const TGridModel* model = FGrid->GridModel();
    const TCellStyle& style = model->StyleAt(model->GridRow(index), model->GridCol(index));
    if (!style.Editable) {
        return nullptr;
    }
    auto* editor = new TNumericEditor(style.Range, parent);
    editor->setFont(style.Font);
    editor->setAlignment(style.Alignment);
    const TCellColours plain = FGrid->EditColours(false);
    const TCellColours error = FGrid->EditColours(true);
    editor->SetColours(plain.Background, plain.Text, error.Background, error.Text);
    FGrid->editorCreated(editor);
    return editor;
}

void TGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const TGridModel* model = FGrid->GridModel();
    if (auto* numeric = qobject_cast<TNumericEditor*>(editor)) {
        numeric->SetValue(model->CellValue(model->GridRow(index), model->GridCol(index)));
    }
}

void TGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    auto* numeric = qobject_cast<TNumericEditor*>(editor);
    double value = 0;
    if (numeric && numeric->Value(value) && model->setData(index, value, Qt::EditRole)) {
        FGrid->valueStored(index);
    }
}

void TGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

bool TGridDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<TNumericEditor*>(object);
    if (!editor) {
        return QStyledItemDelegate::eventFilter(object, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Enter and Esc belong to the editor, not to the window's shortcuts.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        // A focus change alone neither stores nor closes the edit.
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter stores the value and ends the edit; a refused value keeps it open.
        FGrid->EndEdit();
        return true;
    case Qt::Key_Escape: {
        const TGridModel* model = FGrid->GridModel();
        const QModelIndex index = FGrid->currentIndex();
        editor->RestoreValue(model->CellValue(model->GridRow(index), model->GridCol(index)));
        return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        double value = 0;
        if (!editor->AcceptValue(value)) {
            return true;
        }
        emit commitData(editor);
        emit closeEditor(editor, key->key() == Qt::Key_Tab ? EditNextItem : EditPreviousItem);
        return true;
    }
    default:
        return false;
    }
}

namespace {

// A help event over cell (r, c), shown in the part shown of widget over: the
// whole text as a tooltip when it is cut there, and the cell's note below it;
// no tooltip when the text fits and the cell has no note.
void showCutText(const TGrid* grid, QWidget* over, QEvent* event, int r, int c,
                 const QRect& shown) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString note = grid->GridModel()->CellNote(r, c);
    QString tip = grid->TextFits(r, c, shown) ? QString() : grid->GridModel()->CellText(r, c);
    if (!note.isEmpty()) {
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + note;
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return;
    }
    QToolTip::showText(help->globalPos(), tip, over, shown);
}

} // namespace

// TGridHeader ------------------------------------------------------------------

TGridHeader::TGridHeader(Qt::Orientation orientation, TGrid* grid)
    : QHeaderView(orientation, grid), FGrid(grid) {}

int TGridHeader::cellRow(int logicalIndex) const {
    const TGridModel* model = FGrid->GridModel();
    return orientation() == Qt::Horizontal ? 0 : logicalIndex + (model ? model->FixedRows() : 0);
}

int TGridHeader::cellCol(int logicalIndex) const {
    const TGridModel* model = FGrid->GridModel();
    return orientation() == Qt::Vertical ? 0 : logicalIndex + (model ? model->FixedCols() : 0);
}

void TGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) {
        return;
    }
    painter->save();
    FGrid->PaintCell(painter, rect, cellRow(logicalIndex), cellCol(logicalIndex), true);
    painter->restore();
}

bool TGridHeader::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ContextMenu && FGrid->GridModel()) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        const int logical = logicalIndexAt(menu->pos());
        if (logical >= 0) {
            emit FGrid->CellContextMenu(cellRow(logical), cellCol(logical), menu->globalPos());
        }
        return true;
    }
    if (event->type() == QEvent::ToolTip && FGrid->GridModel()) {
        const QPoint at = static_cast<QHelpEvent*>(event)->pos();
        const int logical = logicalIndexAt(at);
        if (logical < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const int position = sectionViewportPosition(logical);
        const QRect section = orientation() == Qt::Horizontal
                                  ? QRect(position, 0, sectionSize(logical), height())
                                  : QRect(0, position, width(), sectionSize(logical));
        showCutText(FGrid, viewport(), event, cellRow(logical), cellCol(logical),
                    section.intersected(viewport()->rect()));
        return true;
    }
    return QHeaderView::viewportEvent(event);
}

// TGrid ------------------------------------------------------------------------

TGrid::TGrid(QWidget* parent) : QTableView(parent), FDelegate(new TGridDelegate(this)) {
    setItemDelegate(FDelegate);
    setFrameShape(QFrame::NoFrame);
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    // Scrolling moves by whole columns and rows: a column never slides half
    // under the fixed column, nor a row under the fixed row.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalHeader(new TGridHeader(Qt::Horizontal, this));
    setVerticalHeader(new TGridHeader(Qt::Vertical, this));
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setHighlightSections(false);
        header->setSectionsClickable(true);
        header->hide();
    }
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (FModel) {
            emit LockedCellClick(0, section + FModel->FixedCols());
        }
    });
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (FModel) {
            emit LockedCellClick(section + FModel->FixedRows(), 0);
        }
    });
    if (auto* corner = findChild<QAbstractButton*>()) {
        corner->installEventFilter(this);
    }
    FColours.Background = palette().color(QPalette::Button);
    FColours.ActiveBackground = FColours.Background;
    FColours.EditBackground = QColor(0, 255, 255);
    FColours.EditText = QColor(0, 128, 0);
    FColours.ErrorBackground = QColor(255, 0, 0);
    FColours.ErrorText = QColor(0, 0, 0);
    FLines.LineColor = palette().color(QPalette::Dark);
    SetOptions(FOptions);
    applyPalette();
}

void TGrid::SetGridModel(TGridModel* model) {
    if (FModel) {
        disconnect(FModel, nullptr, this, nullptr);
    }
    FModel = model;
    setModel(model);
    if (model) {
        // New texts may need wider columns.
        const auto fit = [this] { fitColumns(); };
        connect(model, &QAbstractItemModel::dataChanged, this, fit);
        connect(model, &QAbstractItemModel::headerDataChanged, this, fit);
        connect(model, &QAbstractItemModel::modelReset, this, fit);
        connect(model, &QAbstractItemModel::columnsInserted, this, fit);
        connect(model, &QAbstractItemModel::columnsRemoved, this, fit);
    }
}

void TGrid::SetFixed(int rows, int cols) {
    if (FModel) {
        FModel->SetFixed(rows, cols);
    }
    horizontalHeader()->setVisible(rows > 0);
    verticalHeader()->setVisible(cols > 0);
}

int TGrid::RowCount() const {
    return FModel ? FModel->RowCount() : 0;
}
int TGrid::ColCount() const {
    return FModel ? FModel->ColCount() : 0;
}

void TGrid::SetDefaultRowHeight(int h) {
    verticalHeader()->setDefaultSectionSize(h);
    if (FModel && FModel->FixedRows() > 0) {
        horizontalHeader()->setFixedHeight(h);
    }
}

void TGrid::SetRowHeight(int r, int h) {
    if (FModel && FModel->FixedRows() > 0 && r == 0) {
        horizontalHeader()->setFixedHeight(h);
        return;
    }
    verticalHeader()->resizeSection(r - (FModel ? FModel->FixedRows() : 0), h);
}

int TGrid::RowHeight(int r) const {
    if (FModel && FModel->FixedRows() > 0 && r == 0) {
        return horizontalHeader()->height();
    }
    return verticalHeader()->sectionSize(r - (FModel ? FModel->FixedRows() : 0));
}

void TGrid::SetColWidth(int c, int w) {
    if (c < 0) {
        return;
    }
    if (static_cast<int>(FColWidths.size()) <= c) {
        FColWidths.resize(static_cast<std::size_t>(c) + 1, 0);
    }
    FColWidths[static_cast<std::size_t>(c)] = w;
    int needed = w;
    if (FModel && FUpdateDepth == 0) {
        for (int r = 0; r < FModel->RowCount(); ++r) {
            needed = std::max(needed, TextWidth(r, c));
        }
    }
    applyColWidth(c, needed);
}

void TGrid::applyColWidth(int c, int w) {
    if (FModel && FModel->FixedCols() > 0 && c == 0) {
        if (verticalHeader()->width() != w) {
            verticalHeader()->setFixedWidth(w);
        }
        return;
    }
    const int section = c - (FModel ? FModel->FixedCols() : 0);
    if (horizontalHeader()->sectionSize(section) != w) {
        horizontalHeader()->resizeSection(section, w);
    }
}

void TGrid::fitColumns() {
    if (!FModel || FUpdateDepth > 0) {
        return;
    }
    const int cols = std::min(static_cast<int>(FColWidths.size()), FModel->ColCount());
    for (int c = 0; c < cols; ++c) {
        if (const int w = FColWidths[static_cast<std::size_t>(c)]; w > 0) {
            int needed = w;
            for (int r = 0; r < FModel->RowCount(); ++r) {
                needed = std::max(needed, TextWidth(r, c));
            }
            applyColWidth(c, needed);
        }
    }
}

int TGrid::TextWidth(int r, int c) const {
    if (!FModel || !FModel->Supplying()) {
        return 0;
    }
    const TCellStyle& style = FModel->StyleAt(r, c);
    const QFontMetrics metrics(style.Font);
    // The margins on both sides and a pixel each for the lines around it.
    return metrics.horizontalAdvance(FModel->CellText(r, c)) + 2 * style.Margin + 2;
}

bool TGrid::TextFits(int r, int c, const QRect& shown) const {
    if (!FModel || !FModel->Supplying()) {
        return true;
    }
    const TCellStyle& style = FModel->StyleAt(r, c);
    const QRect textRect = shown.adjusted(style.Margin, style.Margin, -style.Margin, -style.Margin);
    const QString text = FModel->CellText(r, c);
    const QFontMetrics metrics(style.Font);
    if (!style.WordWrap) {
        return metrics.horizontalAdvance(text) <= textRect.width();
    }
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, textRect.width(), 1 << 20), Qt::TextWordWrap, text);
    return needed.width() <= textRect.width() && needed.height() <= textRect.height();
}

int TGrid::ColWidth(int c) const {
    if (FModel && FModel->FixedCols() > 0 && c == 0) {
        return verticalHeader()->width();
    }
    return horizontalHeader()->sectionSize(c - (FModel ? FModel->FixedCols() : 0));
}

void TGrid::SetActiveCell(int r, int c) {
    if (!FModel) {
        return;
    }
    const QModelIndex index = FModel->IndexOf(r, c);
    if (!index.isValid() || index == currentIndex()) {
        return;
    }
    if (IsEditing() && !EndEdit()) {
        return;
    }
    setCurrentIndex(index);
}

int TGrid::ActiveRow() const {
    return FModel && currentIndex().isValid() ? FModel->GridRow(currentIndex()) : -1;
}

int TGrid::ActiveCol() const {
    return FModel && currentIndex().isValid() ? FModel->GridCol(currentIndex()) : -1;
}

void TGrid::BeginUpdate() {
    if (FUpdateDepth++ == 0) {
        setUpdatesEnabled(false);
    }
}

void TGrid::EndUpdate() {
    if (FUpdateDepth > 0 && --FUpdateDepth == 0) {
        setUpdatesEnabled(true);
        fitColumns();
        viewport()->update();
    }
}

void TGrid::Redraw() {
    if (FModel) {
        FModel->Refresh();
    }
    viewport()->update();
}

void TGrid::SetOptions(const TGridOptions& options) {
    FOptions = options;
    EditTriggers triggers = DoubleClicked | EditKeyPressed | AnyKeyPressed;
    if (options.AlwaysEditing) {
        triggers |= CurrentChanged;
    }
    setEditTriggers(triggers);
    setHorizontalScrollBarPolicy(options.HorizontalScrollBar);
    setVerticalScrollBarPolicy(options.VerticalScrollBar);
}

void TGrid::SetColours(const TGridColours& colours) {
    FColours = colours;
    applyPalette();
}

void TGrid::SetLineStyle(const TGridLineStyle& lines) {
    FLines = lines;
    viewport()->update();
}

QColor TGrid::gridBackground() const {
    return FColours.Background.isValid() ? FColours.Background : palette().color(QPalette::Button);
}

bool TGrid::isActive(int r, int c) const {
    return FModel && currentIndex().isValid() && FModel->IndexOf(r, c) == currentIndex();
}

TCellColours TGrid::CellColours(int r, int c) const {
    TCellColours colours;
    const QColor paletteText = palette().color(QPalette::WindowText);
    if (!FModel) {
        return {paletteText, gridBackground()};
    }
    const TCellStyle& style = FModel->StyleAt(r, c);
    QColor background = style.Background.isValid() ? style.Background : gridBackground();
    if (isActive(r, c) && FColours.ActiveBackground.isValid()) {
        background = FColours.ActiveBackground;
    }
    colours.Background = BackgroundFor(background, paletteText);
    QColor text = FModel->CellTextColor(r, c, style);
    colours.Text = ReadableOn(text.isValid() ? text : paletteText, colours.Background);
    return colours;
}

TCellColours TGrid::EditColours(bool error) const {
    const QColor paletteText = palette().color(QPalette::WindowText);
    TCellColours colours;
    colours.Background =
        BackgroundFor(error ? FColours.ErrorBackground : FColours.EditBackground, paletteText);
    colours.Text = ReadableOn(error ? FColours.ErrorText : FColours.EditText, colours.Background);
    return colours;
}

void TGrid::PaintCell(QPainter* painter, const QRect& rect, int r, int c, bool heading) const {
    if (!FModel) {
        return;
    }
    const TCellColours colours = CellColours(r, c);
    painter->fillRect(rect, colours.Background);
    if (heading) {
        // Solid lines with a raised look around a heading.
        qDrawShadePanel(painter, rect, palette(), false, 1);
    }
    if (!FModel->Supplying()) {
        return;
    }
    const TCellStyle& style = FModel->StyleAt(r, c);
    painter->setPen(colours.Text);
    painter->setFont(style.Font);
    const QRect textRect = rect.adjusted(style.Margin, style.Margin, -style.Margin, -style.Margin);
    const int flags = static_cast<int>(style.Alignment) | (style.WordWrap ? Qt::TextWordWrap : 0);
    painter->drawText(textRect, flags, FModel->CellText(r, c));
}

void TGrid::applyPalette() {
    QPalette p = palette();
    p.setColor(QPalette::Base, FColours.Background);
    p.setColor(QPalette::Window, FColours.Background);
    setPalette(p);
    viewport()->setAutoFillBackground(true);
    viewport()->update();
}

bool TGrid::IsEditing() const {
    return !FEditor.isNull();
}

bool TGrid::HasTypedEdit() const {
    return FEditor && FEditor->isModified();
}

bool TGrid::EndEdit() {
    if (!FEditor) {
        return true;
    }
    double value = 0;
    if (!FEditor->AcceptValue(value)) {
        return false;
    }
    TNumericEditor* editor = FEditor;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void TGrid::EditActiveCell() {
    if (currentIndex().isValid() && !IsEditing()) {
        edit(currentIndex());
    }
}

QRect TGrid::CellRect(int r, int c) const {
    if (!FModel) {
        return {};
    }
    if (FModel->FixedRows() > 0 && r == 0) {
        const int section = c - FModel->FixedCols();
        const QHeaderView* h = horizontalHeader();
        return {h->sectionViewportPosition(section), 0, h->sectionSize(section), h->height()};
    }
    if (FModel->FixedCols() > 0 && c == 0) {
        const int section = r - FModel->FixedRows();
        const QHeaderView* v = verticalHeader();
        return {0, v->sectionViewportPosition(section), v->width(), v->sectionSize(section)};
    }
    return visualRect(FModel->IndexOf(r, c));
}

void TGrid::editorCreated(TNumericEditor* editor) {
    FEditor = editor;
}

void TGrid::valueStored(const QModelIndex& index) {
    if (FModel) {
        emit DoneEdit(FModel->GridRow(index), FModel->GridCol(index));
    }
}

void TGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == FEditor) {
        FEditor = nullptr;
    }
    QTableView::closeEditor(editor, hint);
}

void TGrid::keyPressEvent(QKeyEvent* event) {
    // A modifier pressed in the editor on its way to a shortcut (Ctrl of
    // Ctrl+C) leaves the edit alone.
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        event->ignore();
        return;
    default:
        break;
    }
    // Moving to another cell first ends the edit; a refused value keeps the
    // cell (and the key) where they are.
    if (IsEditing() && !EndEdit()) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TGrid::mousePressEvent(QMouseEvent* event) {
    if (IsEditing() && !EndEdit()) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (IsEditing() && !EndEdit()) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TGrid::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard: the active cell's menu, over the cell.
    if (!FModel) {
        return;
    }
    const int r = ActiveRow();
    const int c = ActiveCol();
    const QModelIndex index = FModel->IndexOf(r, c);
    const QPoint at =
        index.isValid() ? viewport()->mapToGlobal(visualRect(index).center()) : event->globalPos();
    emit CellContextMenu(r, c, at);
}

bool TGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ContextMenu && FModel) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() != QContextMenuEvent::Keyboard) {
            const QModelIndex index = indexAt(menu->pos());
            if (index.isValid()) {
                emit CellContextMenu(FModel->GridRow(index), FModel->GridCol(index),
                                     menu->globalPos());
            }
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip && FModel) {
        const QModelIndex index = indexAt(static_cast<QHelpEvent*>(event)->pos());
        if (index.isValid()) {
            showCutText(this, viewport(), event, FModel->GridRow(index), FModel->GridCol(index),
                        visualRect(index).intersected(viewport()->rect()));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QTableView::viewportEvent(event);
}

void TGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    // At the end of its range the table view lines the last column (row) up
    // with the far edge, which slides the first one shown half under the
    // fixed column (row). Here the first one shown starts at the edge, and
    // the last ones still fit: the range ends where they do.
    bool moved = false;
    for (auto [bar, header] : {std::pair{horizontalScrollBar(), horizontalHeader()},
                               std::pair{verticalScrollBar(), verticalHeader()}}) {
        if (bar->maximum() > 0 && bar->value() == bar->maximum()) {
            const int offset = header->sectionPosition(header->logicalIndex(bar->value()));
            if (header->offset() != offset) {
                header->setOffset(offset);
                moved = true;
            }
        }
    }
    if (moved) {
        updateEditorGeometries();
        viewport()->update();
    }
}

void TGrid::hideEvent(QHideEvent* event) {
    // Leaving the page closes an editor that was opened and not typed into;
    // there is nothing to store.
    if (!event->spontaneous() && FEditor && !FEditor->isModified()) {
        closeEditor(FEditor, QAbstractItemDelegate::NoHint);
    }
    QTableView::hideEvent(event);
}

bool TGrid::eventFilter(QObject* object, QEvent* event) {
    auto* corner = qobject_cast<QAbstractButton*>(object);
    if (corner && corner->parent() == this && FModel) {
        if (event->type() == QEvent::Paint) {
            // The corner is cell (0, 0) when both headings are fixed.
            QPainter painter(corner);
            PaintCell(&painter, corner->rect(), 0, 0, true);
            return true;
        }
        if (event->type() == QEvent::ToolTip) {
            showCutText(this, corner, event, 0, 0, corner->rect());
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            emit LockedCellClick(0, 0);
            return true;
        }
    }
    return QTableView::eventFilter(object, event);
}
