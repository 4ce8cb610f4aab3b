#include "platform/GridModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTableView>

namespace tw::platform::detail {

namespace {
constexpr int DtCenter = 0x1;
constexpr int DtRight = 0x2;
constexpr int DtBottom = 0x8;
constexpr int DtWordBreak = 0x10;
constexpr int DtSingleLine = 0x20;
constexpr int DtPathEllipsis = 0x4000;

Qt::Alignment headerAlignment(int code)
{
    switch (code) {
    case 1:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case 2:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}
} // namespace

int qtTextFlags(int f)
{
    int flags = 0;
    if (f & DtRight)
        flags |= Qt::AlignRight;
    else if (f & DtCenter)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    flags |= (f & DtBottom) ? Qt::AlignBottom : Qt::AlignVCenter;
    if ((f & DtWordBreak) && !(f & DtSingleLine))
        flags |= Qt::TextWordWrap;
    else
        flags |= Qt::TextSingleLine;
    return flags;
}

// ---------------------------------------------------------------------------

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_published; }

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= totalRows() || index.column() >= static_cast<int>(columns.size()))
        return {};
    const CellRead cell = read(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(cell, index.column());
    case Qt::TextAlignmentRole:
        return qtTextFlags(cell.align) & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask);
    case Qt::BackgroundRole:
        return cell.hasBack ? QVariant(QColor(cell.back)) : QVariant();
    case Qt::ForegroundRole:
        return cell.hasFore ? QVariant(QColor(cell.fore)) : QVariant();
    case Qt::FontRole:
        return cell.font != nullptr ? QVariant(*cell.font) : QVariant();
    case Qt::DecorationRole:
        return (cell.icon >= 0 && cell.icon < icons.size()) ? QVariant(icons.at(cell.icon)) : QVariant();
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns.size()))
        return {};
    const GridColumn& c = columns[static_cast<std::size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return c.header;
    case Qt::TextAlignmentRole:
        return static_cast<int>(headerAlignment(c.headerAlign));
    case Qt::DecorationRole:
        if (headerIcons && c.icon >= 0 && c.icon < icons.size())
            return icons.at(c.icon);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void GridModel::insertColumnAt(int pos, const GridColumn& column)
{
    beginInsertColumns(QModelIndex(), pos, pos);
    columns.insert(columns.begin() + pos, column);
    for (GridRow& r : rows)
        r.cells.insert(r.cells.begin() + pos, GridCell());
    endInsertColumns();
}

void GridModel::columnHeaderChanged(int pos) { emit headerDataChanged(Qt::Horizontal, pos, pos); }

int GridModel::appendRow(int height, bool group)
{
    GridRow row;
    row.cells.resize(columns.size());
    row.height = height;
    row.group = group;
    if (batch || m_published < static_cast<int>(rows.size())) {
        rows.push_back(std::move(row));
        if (!batch)
            publish();
    } else {
        const int at = static_cast<int>(rows.size());
        beginInsertRows(QModelIndex(), at, at);
        rows.push_back(std::move(row));
        m_published = static_cast<int>(rows.size());
        endInsertRows();
    }
    return static_cast<int>(rows.size());
}

void GridModel::removeAllRows()
{
    if (m_published > 0) {
        beginRemoveRows(QModelIndex(), 0, m_published - 1);
        dropRows();
        m_published = 0;
        endRemoveRows();
    } else {
        dropRows();
    }
    m_dirty = false;
}

void GridModel::setSource(std::shared_ptr<const GridRowSource> rowSource)
{
    removeAllRows();
    source = std::move(rowSource);
    m_sourceRows = source ? qMax(0, source->rowCount()) : 0;
    if (!batch)
        publish();
}

CellRead GridModel::read(int row, int col) const
{
    CellRead r;
    if (source) {
        r.value = source->value(row + 1, col + 1);
        const GridCellLook look = source->look(row + 1, col + 1);
        r.align = look.align;
        r.icon = look.icon;
        r.hasBack = look.back.isValid();
        r.back = r.hasBack ? look.back.rgb() : 0;
        r.hasFore = look.fore.isValid();
        r.fore = r.hasFore ? look.fore.rgb() : 0;
        r.font = look.font;
        return r;
    }
    const GridCell& c = rows[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(col)];
    r.value = c.value;
    r.back = c.back;
    r.fore = c.fore;
    r.align = c.align;
    r.icon = c.icon;
    r.font = fontAt(c.font);
    r.hasBack = c.hasBack;
    r.hasFore = c.hasFore;
    return r;
}

void GridModel::dropRows()
{
    rows.clear();
    source.reset();
    m_sourceRows = 0;
}

void GridModel::removeEverything()
{
    beginResetModel();
    dropRows();
    columns.clear();
    m_published = 0;
    m_dirty = false;
    endResetModel();
}

int GridModel::publish()
{
    int first = -1;
    if (m_published < totalRows()) {
        first = m_published;
        beginInsertRows(QModelIndex(), m_published, totalRows() - 1);
        m_published = totalRows();
        endInsertRows();
    }
    if (m_dirty && m_published > 0 && !columns.empty())
        emit dataChanged(index(0, 0), index(m_published - 1, static_cast<int>(columns.size()) - 1));
    m_dirty = false;
    return first;
}

void GridModel::cellChanged(int row, int col)
{
    if (row >= m_published)
        return; // announced with its row
    if (batch) {
        m_dirty = true;
        return;
    }
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
}

void GridModel::rowChanged(int row)
{
    if (row >= m_published || columns.empty())
        return;
    if (batch) {
        m_dirty = true;
        return;
    }
    emit dataChanged(index(row, 0), index(row, static_cast<int>(columns.size()) - 1));
}

QString GridModel::displayText(int row, int col) const
{
    if (col < 0)
        return {};
    return cellText(read(row, col), col);
}

QString GridModel::cellText(const CellRead& cell, int col) const
{
    return formatGridValue(cell.value, columns[static_cast<std::size_t>(col)].format, locale);
}

int GridModel::rowTextColumn() const
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].rowText)
            return static_cast<int>(i);
    return -1;
}

int16_t GridModel::internFont(const QFont& font)
{
    // Fills make a few fonts and hand the same one to thousands of cells.
    if (m_lastFont >= 0 && m_fonts[static_cast<std::size_t>(m_lastFont)] == font)
        return m_lastFont;
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i] == font) {
            m_lastFont = static_cast<int16_t>(i);
            return m_lastFont;
        }
    }
    if (m_fonts.size() >= 32000) // a pathological caller: reuse the last slot
        m_fonts.pop_back();
    m_fonts.push_back(font);
    m_lastFont = static_cast<int16_t>(m_fonts.size() - 1);
    return m_lastFont;
}

const QFont* GridModel::fontAt(int16_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_fonts.size())
        return nullptr;
    return &m_fonts[static_cast<std::size_t>(index)];
}

// ---------------------------------------------------------------------------

GridDelegate::GridDelegate(GridModel* model, QTableView* view)
    : QAbstractItemDelegate(view), m_model(model), m_view(view)
{
}

QSize GridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int col = index.column();
    const int width = (col >= 0 && col < static_cast<int>(m_model->columns.size()))
                          ? m_model->columns[static_cast<std::size_t>(col)].width
                          : 70;
    return QSize(width, option.fontMetrics.height() + 4);
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int r = index.row();
    const int c = index.column();
    if (r < 0 || r >= m_model->totalRows() || c < 0 || c >= static_cast<int>(m_model->columns.size()))
        return;
    const QRect rect = option.rect;
    QPen linePen(m_model->gridLineColor);
    linePen.setWidth(0);

    if (m_model->rowIsGroup(r)) {
        // One text across the row: every visible cell paints the whole row
        // clipped to itself, so the pieces join without seams.
        const QHeaderView* h = m_view->horizontalHeader();
        const QRect full(-h->offset(), rect.top(), h->length(), rect.height());
        const int tc = m_model->rowTextColumn();
        const CellRead text = tc >= 0 ? m_model->read(r, tc) : CellRead();
        const CellRead* cell = tc >= 0 ? &text : nullptr;
        const bool selected = m_view->selectionModel() != nullptr &&
                              m_view->selectionModel()->rowIntersectsSelection(r, QModelIndex());
        painter->save();
        painter->setClipRect(rect);
        paintCell(painter, full, cell, tc >= 0 ? m_model->cellText(text, tc) : QString(), selected, option);
        if (m_model->gridLines) {
            painter->setPen(linePen);
            painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
            painter->drawLine(full.right(), full.top(), full.right(), full.bottom());
        }
        painter->restore();
        return;
    }

    const CellRead cell = m_model->read(r, c);
    bool selected = (option.state & QStyle::State_Selected) != 0;
    if (selected && m_model->rowMode && !m_model->columns[static_cast<std::size_t>(c)].includeInSelect)
        selected = false;
    painter->save();
    painter->setClipRect(rect);
    paintCell(painter, rect, &cell, m_model->cellText(cell, c), selected, option);
    if (m_model->gridLines) {
        painter->setPen(linePen);
        painter->drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    }
    painter->restore();
}

void GridDelegate::paintCell(QPainter* painter, const QRect& rect, const CellRead* cell, const QString& text,
                             bool selected, const QStyleOptionViewItem& option) const
{
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    QColor back;
    QColor fore;
    if (selected) {
        back = option.palette.color(group, QPalette::Highlight);
        fore = option.palette.color(group, QPalette::HighlightedText);
    } else {
        back = (cell != nullptr && cell->hasBack) ? QColor(cell->back)
               : m_model->backColor.isValid()     ? m_model->backColor
                                                  : option.palette.color(group, QPalette::Base);
        fore = (cell != nullptr && cell->hasFore) ? QColor(cell->fore) : option.palette.color(group, QPalette::Text);
    }
    painter->fillRect(rect, back);

    QRect textRect = rect.adjusted(3, 0, -3, 0);
    if (cell != nullptr && cell->icon >= 0 && cell->icon < m_model->icons.size()) {
        const int side = qMin(16, rect.height() - 2);
        if (side > 0) {
            const QRect iconRect(rect.left() + 2, rect.top() + (rect.height() - side) / 2, side, side);
            m_model->icons.at(cell->icon).paint(painter, iconRect);
            textRect.setLeft(iconRect.right() + 4);
        }
    }
    if (text.isEmpty() || textRect.width() <= 0)
        return;

    const QFont* own = cell != nullptr ? cell->font : nullptr;
    const QFont& font = own != nullptr ? *own : option.font;
    painter->setFont(font);
    painter->setPen(fore);
    const int align = cell != nullptr ? cell->align : 0x40020;
    const int flags = qtTextFlags(align);
    if (flags & Qt::TextWordWrap) {
        painter->drawText(textRect, flags, text);
        return;
    }
    const QString shown = fittedCellText(QFontMetrics(font), text, align, textRect.width());
    painter->drawText(textRect, flags, shown);
}

QString fittedCellText(const QFontMetrics& fm, const QString& text, int drawTextFlags, int width)
{
    // Cut with an ellipsis, never clipped: a right-aligned "21 Apr 2007" or
    // "12,345.00" clipped at its left edge would read as another date or
    // number.
    const Qt::TextElideMode mode = (drawTextFlags & DtPathEllipsis) ? Qt::ElideMiddle : Qt::ElideRight;
    return fm.elidedText(text, mode, width);
}

} // namespace tw::platform::detail
