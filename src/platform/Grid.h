#pragma once
// The grid control of the main window's panes: a table of typed, formatted
// and coloured cells on a model-based Qt view (one model row per grid row,
// no widget per cell), addressed the classic way: rows and columns numbered
// from 1, columns also found by key.
//
// - Columns: added at the end or before the column of a key, each with a
//   header caption, header alignment (0 left, 1 centre, 2 right), header icon,
//   width in pixels, visibility, fixed width, format string, and whether it
//   is the row-text column (its text spans a group row). Columns keep their
//   number when the user drags them elsewhere; `ColumnOrder` is where a
//   column is shown.
// - Rows: added at the end, plain or as group rows of a given height.
// - Cells: a typed value (text, whole number, number, money, date) shown
//   through the column's format string, an alignment in Windows text-drawing
//   flags (DtLeft/DtCenter/DtRight, DtSingleLine, DtWordBreak, ellipses), an
//   icon from the grid's image list, back and fore colour, font.
// - The grid never edits a cell itself. A double click, F2 or a typed
//   character raises RequestEdit; the owner lays its own editor over the cell
//   (CellBoundary) and sets `cancel`. While such an editor holds the focus,
//   scrolling the grid or pressing its header raises CancelEdit once.
// - With the redraw switch off, added rows and changed cells are gathered and
//   shown together when it is switched on again.
// - Rows can also come from their owner (setRowSource): the grid then asks
//   for a cell's value and look when it shows or measures the cell and keeps
//   nothing of its own, so a table of a hundred thousand rows is shown at
//   once and costs the grid no memory.
//
// Events are plain Qt signals; those with a `bool&` argument must be
// connected directly (the default within one thread).

#include "platform/GridValue.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>

class QTableView;
class QHeaderView;
class QKeyEvent;
class QMouseEvent;

namespace tw::platform {

namespace detail {
struct GridCell;
class GridModel;
class GridView;
class GridHeader;
class GridDelegate;
} // namespace detail

class GridRowSource;

class Grid : public QWidget {
    Q_OBJECT
public:
    // Cell alignment: the Windows text-drawing flags.
    static constexpr int DtLeft = 0x0;
    static constexpr int DtCenter = 0x1;
    static constexpr int DtRight = 0x2;
    static constexpr int DtVCenter = 0x4;
    static constexpr int DtBottom = 0x8;
    static constexpr int DtWordBreak = 0x10;
    static constexpr int DtSingleLine = 0x20;
    static constexpr int DtPathEllipsis = 0x4000;
    static constexpr int DtEndEllipsis = 0x8000;
    static constexpr int DtWordEllipsis = 0x40000;
    // Left, single line, ellipsis at a word end.
    static constexpr int DefaultCellAlign = DtLeft | DtSingleLine | DtWordEllipsis;
    static constexpr int DefaultColumnWidth = 70;

    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    // ---- Columns -------------------------------------------------------
    // Adds a column and returns its number. `keyBefore` names the column
    // before which the new one goes (its number and those after it move up
    // by one); empty appends. A width below 0 takes DefaultColumnWidth.
    // Keys must be unique; an empty key is allowed.
    int AddColumn(const QString& key, const QString& header = {}, int headerAlign = 0, int iconIndex = -1,
                  int width = -1, bool visible = true, bool fixedWidth = false, const QString& keyBefore = {},
                  bool includeInSelect = true, const QString& formatString = {}, bool rowTextColumn = false);
    int Columns() const;
    // The number of the column with that key; 0 when there is none.
    int ColumnIndex(const QString& key) const;
    QString ColumnKey(int col) const;

    // Width in pixels (kept also while the column is hidden).
    int ColumnWidth(int col) const;
    void setColumnWidth(int col, int width);
    QString ColumnHeader(int col) const;
    void setColumnHeader(int col, const QString& text);
    QString ColumnHeader(const QString& key) const;
    void setColumnHeader(const QString& key, const QString& text);
    // Header alignment: 0 left, 1 centre, 2 right.
    int ColumnAlign(int col) const;
    void setColumnAlign(int col, int align);
    bool ColumnVisible(int col) const;
    void setColumnVisible(int col, bool visible);
    // Display position from 1 (hidden columns count).
    int ColumnOrder(int col) const;
    void setColumnOrder(int col, int position);
    int ColumnIcon(int col) const;
    void setColumnIcon(int col, int iconIndex);
    QString ColumnFormatString(int col) const;
    void setColumnFormatString(int col, const QString& format);
    bool ColumnFixedWidth(int col) const;
    void setColumnFixedWidth(int col, bool fixed);
    bool ColumnIncludeInSelect(int col) const;
    bool ColumnIsRowText(int col) const;
    // The number of the row-text column; 0 when there is none.
    int RowTextColumn() const;

    // ---- Rows ----------------------------------------------------------
    // Appends a plain row of the default height; returns its number.
    int AddRow();
    // Appends a row of the given height (below 1: the default), a group row
    // when `groupRow` (the row-text column's cell is drawn across the row).
    int AddRow(int height, bool groupRow);
    int Rows() const;
    // Removes every row; with `removeColumns` the columns too.
    void Clear(bool removeColumns = false);
    // Shows the rows of `source` (plain rows of the default height) in place
    // of every row the grid had, until the next Clear or source; null shows
    // none. Those rows' cells are read, never set, through the grid: adding
    // rows or setting cells while a source is shown raises std::logic_error.
    void setRowSource(std::shared_ptr<const GridRowSource> source);
    const std::shared_ptr<const GridRowSource>& rowSource() const;
    bool RowIsGroup(int row) const;
    void setRowIsGroup(int row, bool group);
    int RowHeight(int row) const;
    void setRowHeight(int row, int height);

    // ---- Cells ---------------------------------------------------------
    // Sets a cell's value and look at once. Invalid colours and a null font
    // mean the grid's own.
    void CellDetails(int row, int col, const GridValue& value, int align = DefaultCellAlign, int iconIndex = -1,
                     const QColor& backColor = QColor(), const QColor& foreColor = QColor(),
                     const QFont* font = nullptr);
    // The text the cell shows (its value through the column's format).
    QString CellText(int row, int col) const;
    void setCellText(int row, int col, const GridValue& value);
    GridValue CellValue(int row, int col) const;
    int CellAlign(int row, int col) const;
    void setCellAlign(int row, int col, int align);
    int CellIcon(int row, int col) const;
    void setCellIcon(int row, int col, int iconIndex);
    // Invalid when the cell uses the grid's colour.
    QColor CellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& color);
    QColor CellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, const QColor& color);
    // The cell's own font, or the grid's font.
    QFont CellFont(int row, int col) const;
    void setCellFont(int row, int col, const QFont* font);
    // The cell's rectangle in pixels relative to this widget (for laying an
    // editor over it); empty when the cell is hidden or scrolled away
    // horizontally beyond the view.
    QRect CellBoundary(int row, int col);

    // ---- Current cell --------------------------------------------------
    // 0 when there is no current cell.
    int SelectedRow() const;
    int SelectedCol() const;
    // Makes a row current (keeping the current column); 0 clears; a row that
    // does not exist is ignored.
    void setSelectedRow(int row);
    void setSelectedCol(int col);
    // Makes a cell current and selected; a cell that does not exist is ignored.
    void setCellSelected(int row, int col);
    bool CellSelected(int row, int col) const;
    void EnsureVisible(int row, int col);
    // Ends the edit in progress, if any, without a CancelEdit.
    void EndEdit();
    // Asks for an edit of a cell as a double click on it does (for the
    // owner's own Edit command); nothing for a cell that does not exist or
    // while editing is off.
    void RequestEditAt(int row, int col);

    // ---- Display -------------------------------------------------------
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool redraw);
    bool RowMode() const { return m_rowMode; }
    void setRowMode(bool rowMode);
    bool GridLines() const;
    void setGridLines(bool on);
    bool HeaderIcons() const;
    void setHeaderIcons(bool on);
    bool Editable() const { return m_editable; }
    void setEditable(bool on);
    int DefaultRowHeight() const;
    void setDefaultRowHeight(int height);
    int HeaderHeight() const;
    void setHeaderHeight(int height);
    QColor BackColor() const;
    void setBackColor(const QColor& color);
    const QList<QIcon>& ImageList() const;
    void setImageList(const QList<QIcon>& icons);

    // ---- Widths that fit the texts ----------------------------------------
    // While on, columns widen (never narrow) to show their header and their
    // cells' texts whole, at the fonts they are drawn in, as rows are shown;
    // the user's own resize of a column switches it off. Hidden columns,
    // the row-text column and group rows do not count.
    void setFitColumnsToText(bool on);
    bool FitColumnsToText() const { return m_fitToText; }
    // The width a column needs to show its header and every cell whole.
    int ColumnTextWidth(int col) const;
    // The last column shown takes the width the others leave in the view
    // (its own width stays its width, the least it is shown at).
    void setLastColumnFillsView(bool on);
    bool LastColumnFillsView() const { return m_fillLast; }

    // The inner view (its viewport receives the mouse, its header the
    // column drags).
    QTableView* view() const;
    QHeaderView* header() const;

signals:
    // A cell asks to be edited (key: the typed character, 0 for a double
    // click or F2). The grid edits nothing either way.
    void RequestEdit(int row, int col, int key, bool& cancel);
    // The edit the owner opened is to be dropped.
    void CancelEdit();
    // Windows key code and shift bits (1 Shift, 2 Ctrl, 4 Alt).
    void KeyDown(int keyCode, int shift);
    // Button code (1 left, 2 right, 4 middle), shift bits, and the position
    // in twips relative to this widget.
    void MouseUp(int button, int shift, double x, double y);
    void DblClick();
    // The user resized a column: `col` is the column's number minus one,
    // `newWidth` in pixels. Setting `cancel` puts the old width back.
    void ColumnWidthChanged(int col, int newWidth, bool& cancel);
    // The user dragged a column to another place.
    void ColumnMoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class detail::GridView;
    friend class detail::GridHeader;

    void checkColumn(int col) const;
    void checkRow(int row) const;
    void checkCell(int row, int col) const;
    // A cell of the grid's own rows, to be changed.
    detail::GridCell& ownCell(int row, int col);
    void publishRows();
    void applyRowHeights(int firstRow0);
    void updateDefaultRowHeight();
    void selectCell(int row0, int col0);
    void cellChanged(int row0, int col0);
    void applyColumnLayout(int col0);
    // Fitting and filling (GridFit.cpp). `measured` keeps the text widths
    // of the values met during one pass over a column.
    using MeasuredWidths = QHash<std::pair<quintptr, GridValue>, int>;
    int cellTextWidth(int row0, int col0, MeasuredWidths* measured = nullptr) const;
    // The widest text of each column of `cols0` (from 0), header included.
    QList<int> textWidths(const QList<int>& cols0) const;
    int headerTextWidth(int col0) const;
    void fitAllColumns();
    void fitCell(int row0, int col0);
    void widenTo(int col0, int width);
    int fillColumn0() const;
    int fillWidth(int col0) const;
    void fillLastColumn();

    // From the inner view and header.
    bool viewKeyPress(QKeyEvent* event);
    void viewDoubleClick(QMouseEvent* event);
    void viewMouseRelease(QMouseEvent* event);
    void viewFocusIn();
    void headerMousePress();
    void headerMouseRelease();

    void raiseRequestEdit(int row, int col, int key);
    void cancelPendingEdit();
    void endPendingEdit();
    void onFocusChanged(QWidget* old, QWidget* now);
    bool isGridItself(const QWidget* w) const;

    detail::GridModel* m_model = nullptr;
    detail::GridView* m_view = nullptr;
    detail::GridHeader* m_header = nullptr;
    detail::GridDelegate* m_delegate = nullptr;

    bool m_redraw = true;
    bool m_rowMode = false;
    bool m_editable = false;
    int m_defaultRowHeight = 0; // 0: from the font
    int m_headerHeight = 0;     // 0: from the style

    // The edit the owner opened over a cell: the widget that took the focus
    // while RequestEdit ran.
    bool m_requestRunning = false;
    QPointer<QWidget> m_editor;

    bool m_fitToText = false;
    bool m_fitPending = false;
    bool m_fillLast = false;
    bool m_inFill = false;
    int m_filledCol0 = -1;

    // Column layout when the user pressed the header.
    bool m_headerMouse = false;
    QList<int> m_pressWidths;
    QList<int> m_pressOrder;
};

// The look of a cell that a row source gives: alignment in Windows
// text-drawing flags, icon index (-1 none), colours (invalid: the grid's
// own) and font (null: the grid's own; kept by the source while the grid
// shows its rows).
struct GridCellLook {
    int align = Grid::DefaultCellAlign;
    int icon = -1;
    QColor back;
    QColor fore;
    const QFont* font = nullptr;
};

// Rows that their owner keeps. Rows and columns are numbered from 1, columns
// by their number in the grid. The rows must not change while a grid shows
// them: a source is replaced, not changed.
class GridRowSource {
public:
    virtual ~GridRowSource() = default;
    virtual int rowCount() const = 0;
    virtual GridValue value(int row, int col) const = 0;
    virtual GridCellLook look(int row, int col) const = 0;
};

} // namespace tw::platform
