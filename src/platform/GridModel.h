#pragma once
// Inside of the grid control: the cell store, the item model the view reads
// and the delegate that paints the cells. Not for use outside the grid.

#include "platform/Grid.h"
#include "platform/GridValue.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QList>
#include <QLocale>
#include <cstdint>
#include <memory>
#include <vector>

class QTableView;

namespace tw::platform::detail {

struct GridColumn {
    QString key;
    QString header;
    QString format;
    int headerAlign = 0;
    int icon = -1;
    int width = 70;
    bool visible = true;
    bool fixedWidth = false;
    bool includeInSelect = true;
    bool rowText = false;
};

struct GridCell {
    GridValue value;
    QRgb back = 0;
    QRgb fore = 0;
    int32_t align = 0x40020;
    int16_t icon = -1;
    int16_t font = -1; // index into the model's fonts
    bool hasBack = false;
    bool hasFore = false;
};

struct GridRow {
    std::vector<GridCell> cells;
    int height = -1; // -1: the default
    bool group = false;
};

// A cell as read, from the grid's own rows or from its row source.
struct CellRead {
    GridValue value;
    QRgb back = 0;
    QRgb fore = 0;
    int align = 0x40020;
    int icon = -1;
    const QFont* font = nullptr; // null: the grid's own
    bool hasBack = false;
    bool hasFore = false;
};

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Columns (0-based positions).
    void insertColumnAt(int pos, const GridColumn& column);
    void columnHeaderChanged(int pos);
    // Rows. While `batch` is on, appended rows and changed cells are not
    // announced to the view until publish().
    int appendRow(int height, bool group);
    void removeAllRows();
    void removeEverything();
    // Every row, announced or not: the grid's own, or the source's.
    int totalRows() const { return source ? m_sourceRows : static_cast<int>(rows.size()); }
    // Drops every row and shows the source's instead (announced now unless
    // `batch`).
    void setSource(std::shared_ptr<const GridRowSource> rowSource);
    CellRead read(int row, int col) const;
    bool rowIsGroup(int row) const { return !source && rows[static_cast<std::size_t>(row)].group; }
    int rowHeight(int row) const { return source ? -1 : rows[static_cast<std::size_t>(row)].height; }
    // Announces the rows appended since the last announcement; returns the
    // first of them (or -1 when there were none).
    int publish();
    void cellChanged(int row, int col);
    void rowChanged(int row);

    QString displayText(int row, int col) const;
    // The text in which a cell read from column `col` shows.
    QString cellText(const CellRead& cell, int col) const;
    int rowTextColumn() const; // 0-based, -1 when none
    int16_t internFont(const QFont& font);
    const QFont* fontAt(int16_t index) const;

    std::vector<GridColumn> columns;
    std::vector<GridRow> rows; // the grid's own rows; none while a source is shown
    std::shared_ptr<const GridRowSource> source;
    bool batch = false;
    QList<QIcon> icons;
    bool headerIcons = true;
    bool gridLines = true;
    bool rowMode = false;
    QColor backColor;
    QColor gridLineColor = QColor(0xD0, 0xD0, 0xD0);
    QLocale locale;

private:
    // The grid's own rows and the source's, without announcing it.
    void dropRows();

    int m_published = 0;
    int m_sourceRows = 0;
    bool m_dirty = false;
    std::vector<QFont> m_fonts;
    int16_t m_lastFont = -1;
};

// Paints one cell: back colour, icon, text by its alignment flags, and the
// grid lines; a group row shows the row-text cell across the whole row.
class GridDelegate : public QAbstractItemDelegate {
public:
    GridDelegate(GridModel* model, QTableView* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintCell(QPainter* painter, const QRect& rect, const CellRead* cell, const QString& text, bool selected,
                   const QStyleOptionViewItem& option) const;

    GridModel* m_model;
    QTableView* m_view;
};

// Qt alignment and text flags of a Windows text-drawing alignment.
int qtTextFlags(int drawTextFlags);

// The text a cell shows in `width` pixels: the whole text when it fits,
// else its beginning with an ellipsis (its middle for a path ellipsis), so
// that a cut number or date never reads as another one.
QString fittedCellText(const QFontMetrics& fm, const QString& text, int drawTextFlags, int width);

} // namespace tw::platform::detail
