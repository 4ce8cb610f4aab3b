#include "platform/Grid.h"

#include "platform/GridModel.h"
#include "platform/InputCodes.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <stdexcept>

namespace tw::platform {

namespace detail {

// The table view inside the grid: hands the user's input to the grid and
// never opens an editor of its own.
class GridView : public QTableView {
public:
    GridView(Grid* grid) : QTableView(grid), m_grid(grid) {}

    void keyboardSearch(const QString&) override {} // typing asks for an edit instead
    void relayout() { updateGeometries(); }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!m_grid->viewKeyPress(event))
            QTableView::keyPressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QTableView::mouseDoubleClickEvent(event);
        m_grid->viewDoubleClick(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QTableView::mouseReleaseEvent(event);
        m_grid->viewMouseRelease(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        // Taking the focus selects nothing: no current cell until the user
        // or the program picks one.
        const bool hadCurrent = currentIndex().isValid();
        QTableView::focusInEvent(event);
        if (!hadCurrent && selectionModel() != nullptr && !selectionModel()->hasSelection())
            selectionModel()->clearCurrentIndex();
        m_grid->viewFocusIn();
    }

private:
    Grid* m_grid;
};

// The column header: reports a resize or a move once, when the user lets go.
class GridHeader : public QHeaderView {
public:
    GridHeader(Grid* grid, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), m_grid(grid) {}

    int fixedHeight = 0;

    QSize sizeHint() const override
    {
        QSize s = QHeaderView::sizeHint();
        if (fixedHeight > 0)
            s.setHeight(fixedHeight);
        return s;
    }
    // The width the header of a section needs for its caption.
    int contentsWidth(int logical) const { return sectionSizeFromContents(logical).width(); }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_grid->headerMousePress();
        QHeaderView::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        m_grid->headerMousePress();
        QHeaderView::mouseDoubleClickEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QHeaderView::mouseReleaseEvent(event);
        m_grid->headerMouseRelease();
    }

private:
    Grid* m_grid;
};

} // namespace detail

using detail::CellRead;
using detail::GridCell;
using detail::GridColumn;

namespace {

[[noreturn]] void raiseRange(const QString& text) { throw std::out_of_range(text.toStdString()); }

[[noreturn]] void raiseSourced(const QString& grid)
{
    throw std::logic_error(
        QStringLiteral("Grid %1: its rows come from a row source and cannot be changed").arg(grid).toStdString());
}

} // namespace

Grid::Grid(QWidget* parent) : QWidget(parent)
{
    m_model = new detail::GridModel(this);
    m_view = new detail::GridView(this);
    m_header = new detail::GridHeader(this, m_view);
    m_view->setHorizontalHeader(m_header);
    m_view->setModel(m_model);
    m_delegate = new detail::GridDelegate(m_model, m_view);
    m_view->setItemDelegate(m_delegate);

    m_view->setShowGrid(false); // the delegate draws the lines
    m_view->setWordWrap(false);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setTabKeyNavigation(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setCornerButtonEnabled(false);

    m_header->setSectionsMovable(true);
    m_header->setFirstSectionMovable(true);
    m_header->setSectionsClickable(false);
    m_header->setHighlightSections(false);
    m_header->setStretchLastSection(false);
    m_header->setMinimumSectionSize(1);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    QHeaderView* vh = m_view->verticalHeader();
    vh->hide();
    vh->setSectionResizeMode(QHeaderView::Fixed);
    vh->setMinimumSectionSize(1);
    updateDefaultRowHeight();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    // A scroll by the user moves the cell from under an editor laid over it.
    connect(m_view->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { cancelPendingEdit(); });
    connect(m_view->horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { cancelPendingEdit(); });
    connect(qApp, &QApplication::focusChanged, this, &Grid::onFocusChanged);
    // The last column follows the view's width and the other columns.
    m_view->viewport()->installEventFilter(this);
    connect(m_header, &QHeaderView::sectionResized, this, [this] { fillLastColumn(); });
    connect(m_header, &QHeaderView::sectionMoved, this, [this] { fillLastColumn(); });
}

int Grid::headerTextWidth(int col0) const
{
    const GridColumn& c = m_model->columns[static_cast<std::size_t>(col0)];
    return c.header.isEmpty() ? 0 : m_header->contentsWidth(col0);
}

Grid::~Grid()
{
    // A grid destroyed while its view has the focus hands the focus on from
    // QWidget's destructor, when nothing of the grid may answer any more.
    disconnect(qApp, &QApplication::focusChanged, this, &Grid::onFocusChanged);
    if (m_editor)
        m_editor->removeEventFilter(this);
}

QTableView* Grid::view() const { return m_view; }
QHeaderView* Grid::header() const { return m_header; }

// ---------------------------------------------------------------------------
// Checks

void Grid::checkColumn(int col) const
{
    if (col < 1 || col > Columns())
        raiseRange(QStringLiteral("Grid %1: column %2 does not exist").arg(objectName()).arg(col));
}

void Grid::checkCell(int row, int col) const
{
    if (row < 1 || row > Rows())
        raiseRange(QStringLiteral("Grid %1: row %2 does not exist").arg(objectName()).arg(row));
    checkColumn(col);
}

GridCell& Grid::ownCell(int row, int col)
{
    checkCell(row, col);
    if (m_model->source)
        raiseSourced(objectName());
    return m_model->rows[static_cast<std::size_t>(row - 1)].cells[static_cast<std::size_t>(col - 1)];
}

void Grid::checkRow(int row) const
{
    if (row < 1 || row > Rows())
        raiseRange(QStringLiteral("Grid %1: row %2 does not exist").arg(objectName()).arg(row));
}

// ---------------------------------------------------------------------------
// Columns

int Grid::AddColumn(const QString& key, const QString& header, int headerAlign, int iconIndex, int width,
                    bool visible, bool fixedWidth, const QString& keyBefore, bool includeInSelect,
                    const QString& formatString, bool rowTextColumn)
{
    if (!key.isEmpty() && ColumnIndex(key) != 0)
        throw std::invalid_argument(QStringLiteral("Grid %1: a column with the key \"%2\" exists already")
                                        .arg(objectName(), key)
                                        .toStdString());
    int pos = Columns();
    if (!keyBefore.isEmpty()) {
        const int before = ColumnIndex(keyBefore);
        if (before == 0)
            throw std::invalid_argument(
                QStringLiteral("Grid %1: no column with the key \"%2\"").arg(objectName(), keyBefore).toStdString());
        pos = before - 1;
    }
    GridColumn c;
    c.key = key;
    c.header = header;
    c.headerAlign = headerAlign;
    c.icon = iconIndex;
    c.width = width < 0 ? DefaultColumnWidth : width;
    c.visible = visible;
    c.fixedWidth = fixedWidth;
    c.includeInSelect = includeInSelect;
    c.format = formatString;
    c.rowText = rowTextColumn;
    m_model->insertColumnAt(pos, c);
    applyColumnLayout(pos);

    if (!keyBefore.isEmpty()) {
        // Shown just before the column it was inserted before.
        const int target = m_header->visualIndex(pos + 1);
        const int current = m_header->visualIndex(pos);
        if (current != target - 1)
            m_header->moveSection(current, current < target ? target - 1 : target);
    }
    return pos + 1;
}

void Grid::applyColumnLayout(int col0)
{
    const GridColumn& c = m_model->columns[static_cast<std::size_t>(col0)];
    m_header->setSectionResizeMode(col0, c.fixedWidth ? QHeaderView::Fixed : QHeaderView::Interactive);
    m_header->resizeSection(col0, c.width);
    m_header->setSectionHidden(col0, !c.visible);
    if (m_fitToText && c.visible && !c.rowText)
        widenTo(col0, headerTextWidth(col0));
    fillLastColumn();
}

int Grid::Columns() const { return static_cast<int>(m_model->columns.size()); }

int Grid::ColumnIndex(const QString& key) const
{
    for (std::size_t i = 0; i < m_model->columns.size(); ++i)
        if (m_model->columns[i].key == key)
            return static_cast<int>(i) + 1;
    return 0;
}

QString Grid::ColumnKey(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].key;
}

int Grid::ColumnWidth(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].width;
}

void Grid::setColumnWidth(int col, int width)
{
    checkColumn(col);
    GridColumn& c = m_model->columns[static_cast<std::size_t>(col - 1)];
    c.width = qMax(0, width);
    if (c.visible)
        m_header->resizeSection(col - 1, c.width);
    fillLastColumn();
}

QString Grid::ColumnHeader(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].header;
}

void Grid::setColumnHeader(int col, const QString& text)
{
    checkColumn(col);
    m_model->columns[static_cast<std::size_t>(col - 1)].header = text;
    m_model->columnHeaderChanged(col - 1);
    if (m_fitToText)
        widenTo(col - 1, headerTextWidth(col - 1));
}

QString Grid::ColumnHeader(const QString& key) const
{
    const int col = ColumnIndex(key);
    if (col == 0)
        raiseRange(QStringLiteral("Grid %1: no column with the key \"%2\"").arg(objectName(), key));
    return ColumnHeader(col);
}

void Grid::setColumnHeader(const QString& key, const QString& text)
{
    const int col = ColumnIndex(key);
    if (col == 0)
        raiseRange(QStringLiteral("Grid %1: no column with the key \"%2\"").arg(objectName(), key));
    setColumnHeader(col, text);
}

int Grid::ColumnAlign(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].headerAlign;
}

void Grid::setColumnAlign(int col, int align)
{
    checkColumn(col);
    m_model->columns[static_cast<std::size_t>(col - 1)].headerAlign = align;
    m_model->columnHeaderChanged(col - 1);
}

bool Grid::ColumnVisible(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].visible;
}

void Grid::setColumnVisible(int col, bool visible)
{
    checkColumn(col);
    GridColumn& c = m_model->columns[static_cast<std::size_t>(col - 1)];
    c.visible = visible;
    m_header->setSectionHidden(col - 1, !visible);
    if (visible)
        m_header->resizeSection(col - 1, c.width);
    fillLastColumn();
}

int Grid::ColumnOrder(int col) const
{
    checkColumn(col);
    return m_header->visualIndex(col - 1) + 1;
}

void Grid::setColumnOrder(int col, int position)
{
    checkColumn(col);
    const int to = qBound(0, position - 1, Columns() - 1);
    const int from = m_header->visualIndex(col - 1);
    if (from != to)
        m_header->moveSection(from, to);
}

int Grid::ColumnIcon(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].icon;
}

void Grid::setColumnIcon(int col, int iconIndex)
{
    checkColumn(col);
    m_model->columns[static_cast<std::size_t>(col - 1)].icon = iconIndex;
    m_model->columnHeaderChanged(col - 1);
}

QString Grid::ColumnFormatString(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].format;
}

void Grid::setColumnFormatString(int col, const QString& format)
{
    checkColumn(col);
    m_model->columns[static_cast<std::size_t>(col - 1)].format = format;
    if (!m_model->batch)
        m_view->viewport()->update();
}

bool Grid::ColumnFixedWidth(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].fixedWidth;
}

void Grid::setColumnFixedWidth(int col, bool fixed)
{
    checkColumn(col);
    m_model->columns[static_cast<std::size_t>(col - 1)].fixedWidth = fixed;
    m_header->setSectionResizeMode(col - 1, fixed ? QHeaderView::Fixed : QHeaderView::Interactive);
}

bool Grid::ColumnIncludeInSelect(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].includeInSelect;
}

bool Grid::ColumnIsRowText(int col) const
{
    checkColumn(col);
    return m_model->columns[static_cast<std::size_t>(col - 1)].rowText;
}

int Grid::RowTextColumn() const { return m_model->rowTextColumn() + 1; }

// ---------------------------------------------------------------------------
// Rows

int Grid::AddRow() { return AddRow(-1, false); }

int Grid::AddRow(int height, bool groupRow)
{
    if (m_model->source)
        raiseSourced(objectName());
    const int row = m_model->appendRow(height > 0 ? height : -1, groupRow);
    if (!m_model->batch && height > 0)
        m_view->verticalHeader()->resizeSection(row - 1, height);
    return row;
}

int Grid::Rows() const { return m_model->totalRows(); }

void Grid::Clear(bool removeColumns)
{
    endPendingEdit();
    if (removeColumns)
        m_filledCol0 = -1;
    if (removeColumns)
        m_model->removeEverything();
    else
        m_model->removeAllRows();
}

void Grid::setRowSource(std::shared_ptr<const GridRowSource> source)
{
    endPendingEdit();
    m_model->setSource(std::move(source));
    if (!m_fitToText)
        return;
    if (m_model->batch)
        m_fitPending = true;
    else
        fitAllColumns();
}

const std::shared_ptr<const GridRowSource>& Grid::rowSource() const { return m_model->source; }

bool Grid::RowIsGroup(int row) const
{
    checkRow(row);
    return m_model->rowIsGroup(row - 1);
}

void Grid::setRowIsGroup(int row, bool group)
{
    checkRow(row);
    if (m_model->source)
        raiseSourced(objectName());
    m_model->rows[static_cast<std::size_t>(row - 1)].group = group;
    m_model->rowChanged(row - 1);
}

int Grid::RowHeight(int row) const
{
    checkRow(row);
    const int h = m_model->rowHeight(row - 1);
    return h > 0 ? h : DefaultRowHeight();
}

void Grid::setRowHeight(int row, int height)
{
    checkRow(row);
    if (m_model->source)
        raiseSourced(objectName());
    m_model->rows[static_cast<std::size_t>(row - 1)].height = height > 0 ? height : -1;
    if (row <= m_model->rowCount())
        m_view->verticalHeader()->resizeSection(row - 1, height > 0 ? height : DefaultRowHeight());
}

void Grid::publishRows()
{
    const int first = m_model->publish();
    if (first >= 0)
        applyRowHeights(first);
    if (m_fitPending && !m_model->batch)
        fitAllColumns();
}

void Grid::applyRowHeights(int firstRow0)
{
    QHeaderView* vh = m_view->verticalHeader();
    for (std::size_t i = static_cast<std::size_t>(firstRow0); i < m_model->rows.size(); ++i)
        if (m_model->rows[i].height > 0)
            vh->resizeSection(static_cast<int>(i), m_model->rows[i].height);
}

// ---------------------------------------------------------------------------
// Cells

void Grid::cellChanged(int row0, int col0)
{
    m_model->cellChanged(row0, col0);
    if (!m_fitToText)
        return;
    if (m_model->batch)
        m_fitPending = true;
    else
        fitCell(row0, col0);
}

void Grid::CellDetails(int row, int col, const GridValue& value, int align, int iconIndex, const QColor& backColor,
                       const QColor& foreColor, const QFont* font)
{
    GridCell& c = ownCell(row, col);
    c.value = value;
    c.align = align;
    c.icon = static_cast<int16_t>(qBound(-1, iconIndex, 32767));
    c.hasBack = backColor.isValid();
    c.back = c.hasBack ? backColor.rgb() : 0;
    c.hasFore = foreColor.isValid();
    c.fore = c.hasFore ? foreColor.rgb() : 0;
    c.font = font != nullptr ? m_model->internFont(*font) : int16_t(-1);
    cellChanged(row - 1, col - 1);
}

QString Grid::CellText(int row, int col) const
{
    checkCell(row, col);
    return m_model->displayText(row - 1, col - 1);
}

void Grid::setCellText(int row, int col, const GridValue& value)
{
    ownCell(row, col).value = value;
    cellChanged(row - 1, col - 1);
}

GridValue Grid::CellValue(int row, int col) const
{
    checkCell(row, col);
    return m_model->read(row - 1, col - 1).value;
}

int Grid::CellAlign(int row, int col) const
{
    checkCell(row, col);
    return m_model->read(row - 1, col - 1).align;
}

void Grid::setCellAlign(int row, int col, int align)
{
    ownCell(row, col).align = align;
    cellChanged(row - 1, col - 1);
}

int Grid::CellIcon(int row, int col) const
{
    checkCell(row, col);
    return m_model->read(row - 1, col - 1).icon;
}

void Grid::setCellIcon(int row, int col, int iconIndex)
{
    ownCell(row, col).icon = static_cast<int16_t>(qBound(-1, iconIndex, 32767));
    cellChanged(row - 1, col - 1);
}

QColor Grid::CellBackColor(int row, int col) const
{
    checkCell(row, col);
    const CellRead c = m_model->read(row - 1, col - 1);
    return c.hasBack ? QColor(c.back) : QColor();
}

void Grid::setCellBackColor(int row, int col, const QColor& color)
{
    GridCell& c = ownCell(row, col);
    c.hasBack = color.isValid();
    c.back = c.hasBack ? color.rgb() : 0;
    cellChanged(row - 1, col - 1);
}

QColor Grid::CellForeColor(int row, int col) const
{
    checkCell(row, col);
    const CellRead c = m_model->read(row - 1, col - 1);
    return c.hasFore ? QColor(c.fore) : QColor();
}

void Grid::setCellForeColor(int row, int col, const QColor& color)
{
    GridCell& c = ownCell(row, col);
    c.hasFore = color.isValid();
    c.fore = c.hasFore ? color.rgb() : 0;
    cellChanged(row - 1, col - 1);
}

QFont Grid::CellFont(int row, int col) const
{
    checkCell(row, col);
    const QFont* f = m_model->read(row - 1, col - 1).font;
    return f != nullptr ? *f : font();
}

void Grid::setCellFont(int row, int col, const QFont* font)
{
    ownCell(row, col).font = font != nullptr ? m_model->internFont(*font) : int16_t(-1);
    cellChanged(row - 1, col - 1);
}

QRect Grid::CellBoundary(int row, int col)
{
    checkCell(row, col);
    publishRows();
    const QRect r = m_view->visualRect(m_model->index(row - 1, col - 1));
    if (r.isEmpty())
        return {};
    return QRect(m_view->viewport()->mapTo(this, r.topLeft()), r.size());
}

// ---------------------------------------------------------------------------
// Current cell

int Grid::SelectedRow() const
{
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int Grid::SelectedCol() const
{
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void Grid::selectCell(int row0, int col0)
{
    publishRows();
    const QModelIndex idx = m_model->index(row0, col0);
    if (!idx.isValid())
        return;
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (m_rowMode)
        flags |= QItemSelectionModel::Rows;
    m_view->selectionModel()->setCurrentIndex(idx, flags);
}

void Grid::setSelectedRow(int row)
{
    if (row == 0) {
        m_view->selectionModel()->clearCurrentIndex();
        m_view->selectionModel()->clearSelection();
        return;
    }
    if (row < 1 || row > Rows() || Columns() == 0)
        return;
    int col0 = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : -1;
    if (col0 < 0) {
        // The first column shown.
        for (int v = 0; v < Columns() && col0 < 0; ++v) {
            const int logical = m_header->logicalIndex(v);
            if (!m_header->isSectionHidden(logical))
                col0 = logical;
        }
        if (col0 < 0)
            col0 = 0;
    }
    selectCell(row - 1, col0);
}

void Grid::setSelectedCol(int col)
{
    if (col < 1 || col > Columns())
        return;
    const int row = SelectedRow();
    if (row == 0)
        return;
    selectCell(row - 1, col - 1);
}

void Grid::setCellSelected(int row, int col)
{
    if (row < 1 || row > Rows() || col < 1 || col > Columns())
        return;
    selectCell(row - 1, col - 1);
}

bool Grid::CellSelected(int row, int col) const
{
    checkCell(row, col);
    if (row > m_model->rowCount())
        return false;
    return m_view->selectionModel()->isSelected(m_model->index(row - 1, col - 1));
}

void Grid::EnsureVisible(int row, int col)
{
    if (row < 1 || row > Rows() || col < 1 || col > Columns())
        return;
    publishRows();
    m_view->scrollTo(m_model->index(row - 1, col - 1), QAbstractItemView::EnsureVisible);
}

void Grid::EndEdit() { endPendingEdit(); }

void Grid::RequestEditAt(int row, int col)
{
    if (!m_editable || row < 1 || row > Rows() || col < 1 || col > Columns())
        return;
    raiseRequestEdit(row, col, 0);
}

// ---------------------------------------------------------------------------
// Display

void Grid::setRedraw(bool redraw)
{
    if (redraw == m_redraw)
        return;
    m_redraw = redraw;
    if (!redraw) {
        m_model->batch = true;
        m_view->setUpdatesEnabled(false);
        return;
    }
    m_model->batch = false;
    publishRows();
    m_view->setUpdatesEnabled(true);
    m_view->viewport()->update();
}

void Grid::setRowMode(bool rowMode)
{
    m_rowMode = rowMode;
    m_model->rowMode = rowMode;
    m_view->setSelectionBehavior(rowMode ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    const QModelIndex cur = m_view->currentIndex();
    if (cur.isValid())
        selectCell(cur.row(), cur.column());
}

bool Grid::GridLines() const { return m_model->gridLines; }

void Grid::setGridLines(bool on)
{
    m_model->gridLines = on;
    m_view->viewport()->update();
}

bool Grid::HeaderIcons() const { return m_model->headerIcons; }

void Grid::setHeaderIcons(bool on)
{
    m_model->headerIcons = on;
    if (Columns() > 0)
        emit m_model->headerDataChanged(Qt::Horizontal, 0, Columns() - 1);
}

void Grid::setEditable(bool on) { m_editable = on; }

int Grid::DefaultRowHeight() const { return m_view->verticalHeader()->defaultSectionSize(); }

void Grid::setDefaultRowHeight(int height)
{
    m_defaultRowHeight = qMax(0, height);
    updateDefaultRowHeight();
}

void Grid::updateDefaultRowHeight()
{
    const int h = m_defaultRowHeight > 0 ? m_defaultRowHeight : qMax(16, fontMetrics().height() + 4);
    m_view->verticalHeader()->setDefaultSectionSize(h);
}

int Grid::HeaderHeight() const { return m_header->sizeHint().height(); }

void Grid::setHeaderHeight(int height)
{
    m_header->fixedHeight = qMax(0, height);
    m_header->updateGeometry();
    m_view->relayout();
}

QColor Grid::BackColor() const { return m_model->backColor; }

void Grid::setBackColor(const QColor& color)
{
    m_model->backColor = color;
    QPalette pal = m_view->viewport()->palette();
    if (color.isValid())
        pal.setColor(QPalette::Base, color);
    else
        pal = m_view->palette();
    m_view->viewport()->setPalette(pal);
    m_view->viewport()->update();
}

const QList<QIcon>& Grid::ImageList() const { return m_model->icons; }

void Grid::setImageList(const QList<QIcon>& icons)
{
    m_model->icons = icons;
    if (Columns() > 0)
        emit m_model->headerDataChanged(Qt::Horizontal, 0, Columns() - 1);
    m_view->viewport()->update();
}

void Grid::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateDefaultRowHeight();
}

// ---------------------------------------------------------------------------
// User input

bool Grid::viewKeyPress(QKeyEvent* event)
{
    const int code = windowsKeyCode(event->key(), event->modifiers());
    if (code != 0)
        emit KeyDown(code, shiftState(event->modifiers()));

    if (!m_editable)
        return false;
    const QModelIndex cur = m_view->currentIndex();
    if (!cur.isValid())
        return false;
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        raiseRequestEdit(cur.row() + 1, cur.column() + 1, 0);
        return true;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        raiseRequestEdit(cur.row() + 1, cur.column() + 1, text.at(0).unicode());
        return true;
    }
    return false;
}

void Grid::viewDoubleClick(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex idx = m_view->indexAt(event->position().toPoint());
    if (!idx.isValid())
        return;
    emit DblClick();
    if (m_editable)
        raiseRequestEdit(idx.row() + 1, idx.column() + 1, 0);
}

void Grid::viewMouseRelease(QMouseEvent* event)
{
    const QPoint p = m_view->viewport()->mapTo(this, event->position().toPoint());
    const double dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    const double dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    emit MouseUp(mouseButtonCode(event->button()), shiftState(event->modifiers()), p.x() * 1440.0 / dpiX,
                 p.y() * 1440.0 / dpiY);
}

void Grid::viewFocusIn()
{
    // Focus back on the grid: the owner's editor has been left.
    endPendingEdit();
}

void Grid::headerMousePress()
{
    cancelPendingEdit();
    m_headerMouse = true;
    m_pressWidths.clear();
    m_pressOrder.clear();
    for (int i = 0; i < Columns(); ++i) {
        m_pressWidths << m_model->columns[static_cast<std::size_t>(i)].width;
        m_pressOrder << m_header->logicalIndex(i);
    }
}

void Grid::headerMouseRelease()
{
    if (!m_headerMouse)
        return;
    m_headerMouse = false;
    if (m_pressWidths.size() != Columns())
        return; // the columns changed under the mouse

    for (int i = 0; i < Columns(); ++i) {
        GridColumn& c = m_model->columns[static_cast<std::size_t>(i)];
        if (!c.visible || m_header->isSectionHidden(i))
            continue;
        const int now = m_header->sectionSize(i);
        if (now == m_pressWidths.at(i))
            continue;
        // The last column filling the view is not a width the user set.
        if (m_fillLast && i == fillColumn0() && now == fillWidth(i))
            continue;
        bool cancel = false;
        emit ColumnWidthChanged(i, now, cancel);
        if (i >= Columns())
            return; // the handler rebuilt the grid
        GridColumn& after = m_model->columns[static_cast<std::size_t>(i)];
        if (cancel) {
            after.width = m_pressWidths.at(i);
            m_header->resizeSection(i, after.width);
        } else {
            after.width = now;
            m_fitToText = false; // the user's width stays theirs
        }
    }

    QList<int> order;
    for (int v = 0; v < Columns(); ++v)
        order << m_header->logicalIndex(v);
    if (order != m_pressOrder)
        emit ColumnMoved();
}

// ---------------------------------------------------------------------------
// Edits laid over the grid by the owner

void Grid::raiseRequestEdit(int row, int col, int key)
{
    endPendingEdit();
    bool cancel = false;
    m_requestRunning = true;
    emit RequestEdit(row, col, key, cancel);
    m_requestRunning = false;
    if (!cancel)
        endPendingEdit(); // refused nothing, opened nothing: the grid has no editor of its own
}

bool Grid::isGridItself(const QWidget* w) const
{
    // Not its other children: an editor may be laid inside the grid.
    return w == this || w == m_view || w == m_view->viewport() || w == m_header;
}

void Grid::onFocusChanged(QWidget* /*old*/, QWidget* now)
{
    if (now == nullptr)
        return;
    if (m_requestRunning && !m_editor && !isGridItself(now)) {
        m_editor = now;
        now->installEventFilter(this);
        return;
    }
    if (m_editor && isGridItself(now))
        endPendingEdit();
}

bool Grid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        fillLastColumn();
    if (m_editor && watched == m_editor) {
        if (event->type() == QEvent::FocusOut) {
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                endPendingEdit();
        } else if (event->type() == QEvent::Hide) {
            endPendingEdit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Grid::endPendingEdit()
{
    if (m_editor)
        m_editor->removeEventFilter(this);
    m_editor = nullptr;
}

void Grid::cancelPendingEdit()
{
    if (!m_editor)
        return;
    endPendingEdit();
    emit CancelEdit();
}

} // namespace tw::platform
