// Column widths that fit the texts, and the last column taking the width
// the others leave in the view.

#include "platform/Grid.h"
#include "platform/GridModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

namespace tw::platform {

using detail::GridColumn;

void Grid::setFitColumnsToText(bool on)
{
    m_fitToText = on;
    if (on)
        fitAllColumns();
}

int Grid::ColumnTextWidth(int col) const
{
    checkColumn(col);
    return textWidths({col - 1}).at(0);
}

QList<int> Grid::textWidths(const QList<int>& cols0) const
{
    QList<int> widths;
    for (const int c : cols0)
        widths.append(headerTextWidth(c));
    // Tables repeat their values (the same strikes, dates and exchanges on
    // many rows): each is measured once per column. Row by row, so that a
    // row source's row is read while it is at hand.
    std::vector<MeasuredWidths> measured(static_cast<std::size_t>(cols0.size()));
    const int rows = Rows();
    for (int r = 0; r < rows; ++r) {
        for (qsizetype i = 0; i < cols0.size(); ++i)
            widths[i] = qMax(widths[i], cellTextWidth(r, cols0[i], &measured[static_cast<std::size_t>(i)]));
    }
    return widths;
}

int Grid::cellTextWidth(int row0, int col0, MeasuredWidths* measured) const
{
    if (m_model->rowIsGroup(row0))
        return 0; // its text spans the row
    const detail::CellRead cell = m_model->read(row0, col0);
    const auto textWidth = [&] {
        const QString text = m_model->cellText(cell, col0);
        if (text.isEmpty())
            return 0;
        const QFontMetrics fm(cell.font != nullptr ? *cell.font : view()->font());
        // The text's own width, the cell's margins of 3 pixels on each side,
        // its grid line and a pixel to spare.
        return fm.horizontalAdvance(text) + 8;
    };
    int width = 0;
    if (measured == nullptr) {
        width = textWidth();
    } else {
        const std::pair<quintptr, GridValue> key(reinterpret_cast<quintptr>(cell.font), cell.value);
        const auto it = measured->constFind(key);
        width = it != measured->constEnd() ? *it : *measured->insert(key, textWidth());
    }
    if (cell.icon >= 0 && cell.icon < m_model->icons.size())
        width += 22;
    return width;
}

void Grid::fitAllColumns()
{
    m_fitPending = false;
    if (!m_fitToText)
        return;
    QList<int> fitted;
    for (int c = 0; c < Columns(); ++c) {
        const GridColumn& col = m_model->columns[static_cast<std::size_t>(c)];
        if (col.visible && !col.rowText)
            fitted.append(c);
    }
    const QList<int> widths = textWidths(fitted);
    for (qsizetype i = 0; i < fitted.size(); ++i)
        widenTo(fitted[i], widths[i]);
}

void Grid::fitCell(int row0, int col0)
{
    const GridColumn& col = m_model->columns[static_cast<std::size_t>(col0)];
    if (col.visible && !col.rowText)
        widenTo(col0, cellTextWidth(row0, col0));
}

void Grid::widenTo(int col0, int width)
{
    GridColumn& c = m_model->columns[static_cast<std::size_t>(col0)];
    if (width <= c.width)
        return;
    c.width = width;
    if (c.visible)
        header()->resizeSection(col0, width);
    fillLastColumn();
}

void Grid::setLastColumnFillsView(bool on)
{
    m_fillLast = on;
    if (!on && m_filledCol0 >= 0 && m_filledCol0 < Columns())
        header()->resizeSection(m_filledCol0, m_model->columns[static_cast<std::size_t>(m_filledCol0)].width);
    m_filledCol0 = -1;
    fillLastColumn();
}

int Grid::fillColumn0() const
{
    for (int v = header()->count() - 1; v >= 0; --v) {
        const int logical = header()->logicalIndex(v);
        if (!header()->isSectionHidden(logical))
            return logical;
    }
    return -1;
}

int Grid::fillWidth(int col0) const
{
    int others = 0;
    for (int i = 0; i < header()->count(); ++i) {
        if (i != col0 && !header()->isSectionHidden(i))
            others += header()->sectionSize(i);
    }
    const int own = m_model->columns[static_cast<std::size_t>(col0)].width;
    return qMax(own, view()->viewport()->width() - others);
}

void Grid::fillLastColumn()
{
    if (!m_fillLast || m_inFill || Columns() == 0)
        return;
    m_inFill = true;
    const int col0 = fillColumn0();
    // The column that filled before (the user moved another one last) is
    // back at its own width.
    if (m_filledCol0 >= 0 && m_filledCol0 != col0 && m_filledCol0 < Columns()
        && !header()->isSectionHidden(m_filledCol0))
        header()->resizeSection(m_filledCol0, m_model->columns[static_cast<std::size_t>(m_filledCol0)].width);
    m_filledCol0 = col0;
    if (col0 >= 0) {
        const int width = fillWidth(col0);
        if (header()->sectionSize(col0) != width)
            header()->resizeSection(col0, width);
    }
    m_inFill = false;
}

} // namespace tw::platform
