#include "platform/Grid.h"
#include "platform/GridModel.h"
#include "support/QtTestMain.h"

#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>
#include <stdexcept>

using tw::platform::Grid;
using tw::platform::GridValue;

namespace {

struct EditRequest {
    int row;
    int col;
    int key;
};

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A drag on the header: press, several moves, release.
void dragHeader(QHeaderView* header, const QPoint& from, const QPoint& to, int steps = 8)
{
    QWidget* vp = header->viewport();
    sendMouse(vp, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        sendMouse(vp, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(vp, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void addChainColumns(Grid& g)
{
    const char* keys[] = {"ticker", "strike", "expiration", "lastsale", "change",
                          "bid",    "ask",    "volume",     "openint",  "exchange"};
    for (const char* k : keys)
        g.AddColumn(QString::fromLatin1(k), QString::fromLatin1(k).toUpper(), 2, -1, 60);
}

void addLegColumns(Grid& g)
{
    g.AddColumn(QStringLiteral("color"), {}, 0, -1, 10);
    g.AddColumn(QStringLiteral("position"), QStringLiteral("Position"), 2, -1, 70);
    g.AddColumn(QStringLiteral("ticker"), QStringLiteral("Ticker"), 2, -1, 100);
    g.AddColumn(QStringLiteral("strike"), QStringLiteral("Strike"), 2, -1, 70);
    g.AddColumn(QStringLiteral("group"), {}, 0, -1, 500, false, false, {}, true, {}, true);
}

void fillRows(Grid& g, int rows)
{
    for (int r = 1; r <= rows; ++r) {
        g.AddRow();
        for (int c = 1; c <= g.Columns(); ++c)
            g.CellDetails(r, c, GridValue(QStringLiteral("r%1c%2").arg(r).arg(c)));
    }
}

// Rows kept by their owner: a text, a money figure, a date and a text per
// row, the first column in bold, the rows' colours alternating.
class TableRows : public tw::platform::GridRowSource {
public:
    explicit TableRows(int rows) : m_rows(rows) { m_bold.setBold(true); }
    int rowCount() const override { return m_rows; }
    GridValue value(int row, int col) const override
    {
        switch (col) {
        case 1:
            return GridValue::text(QStringLiteral("ABC %1").arg(QString(row % 7 + 1, QLatin1Char('W'))));
        case 2:
            return GridValue::money(int64_t(row) * 12345);
        case 3:
            return GridValue::date(38000 + row % 30);
        default:
            return GridValue::text(QStringLiteral("r%1c%2").arg(row % 11).arg(col));
        }
    }
    tw::platform::GridCellLook look(int row, int col) const override
    {
        tw::platform::GridCellLook l;
        l.align = col == 1 ? Grid::DtLeft : Grid::DtRight;
        l.back = row % 2 == 1 ? QColor(0xE0, 0xF0, 0xF0) : QColor(0xE9, 0xF9, 0xE9);
        l.fore = Qt::black;
        l.font = col == 1 ? &m_bold : nullptr;
        return l;
    }

private:
    int m_rows;
    QFont m_bold;
};

} // namespace

class GridTest : public QObject {
    Q_OBJECT

private:
    // A shown, active window holding a grid, so that focus and mouse work.
    struct Window {
        QWidget top;
        Grid* grid;
        QLineEdit* editor;
        QPushButton* other;
        Window()
        {
            auto* layout = new QVBoxLayout(&top);
            grid = new Grid(&top);
            grid->setObjectName(QStringLiteral("gdTest"));
            editor = new QLineEdit(&top);
            other = new QPushButton(QStringLiteral("other"), &top);
            layout->addWidget(grid);
            layout->addWidget(editor);
            layout->addWidget(other);
            editor->hide();
            top.resize(700, 400);
        }
        bool show()
        {
            top.show();
            QApplication::setActiveWindow(&top);
            return QTest::qWaitForWindowActive(&top);
        }
        QPoint cellCentre(int row, int col) const
        {
            const QRect r = grid->view()->visualRect(grid->view()->model()->index(row - 1, col - 1));
            return r.center();
        }
    };

private slots:
    void columnsAreNumberedInAddingOrderAndFoundByKey()
    {
        Grid g;
        QCOMPARE(g.AddColumn(QStringLiteral("a"), QStringLiteral("A")), 1);
        QCOMPARE(g.AddColumn(QStringLiteral("b"), QStringLiteral("B"), 2, -1, 40), 2);
        QCOMPARE(g.AddColumn(QStringLiteral("c"), QStringLiteral("C")), 3);
        g.AddRow();
        g.CellDetails(1, 2, GridValue(QStringLiteral("in b")));

        // Inserted before "b": takes its number, "b" and "c" move up.
        QCOMPARE(g.AddColumn(QStringLiteral("x"), QStringLiteral("X"), 0, -1, 30, true, false, QStringLiteral("b")), 2);
        QCOMPARE(g.Columns(), 4);
        QCOMPARE(g.ColumnIndex(QStringLiteral("b")), 3);
        QCOMPARE(g.ColumnIndex(QStringLiteral("missing")), 0);
        QCOMPARE(g.ColumnKey(2), QStringLiteral("x"));
        QCOMPARE(g.ColumnOrder(2), 2);
        QCOMPARE(g.ColumnOrder(3), 3);
        QCOMPARE(g.CellText(1, 3), QStringLiteral("in b"));
        QCOMPARE(g.CellText(1, 2), QString());
        QCOMPARE(g.ColumnWidth(2), 30);
        QCOMPARE(g.ColumnWidth(1), Grid::DefaultColumnWidth);

        // Header by key, as the evaluation rewrites the price column.
        g.setColumnHeader(QStringLiteral("x"), QStringLiteral("Theoretical"));
        QCOMPARE(g.ColumnHeader(QStringLiteral("x")), QStringLiteral("Theoretical"));
        QCOMPARE(g.view()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Theoretical"));
        QCOMPARE(g.ColumnAlign(3), 2);
        QCOMPARE(g.view()->model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                 int(Qt::AlignRight));

        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, g.AddColumn(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 g.AddColumn(QStringLiteral("y"), {}, 0, -1, -1, true, false, QStringLiteral("none")));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, g.ColumnWidth(5));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, g.CellText(2, 1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, g.ColumnHeader(QStringLiteral("none")));
    }

    void insertBeforeAMovedColumnShowsItBesideIt()
    {
        Grid g;
        g.AddColumn(QStringLiteral("a"));
        g.AddColumn(QStringLiteral("b"));
        g.AddColumn(QStringLiteral("c"));
        g.setColumnOrder(3, 1); // c a b
        const int x = g.AddColumn(QStringLiteral("x"), {}, 0, -1, -1, true, false, QStringLiteral("c"));
        QCOMPARE(x, 3);
        QCOMPARE(g.ColumnOrder(x), 1); // x c a b
        QCOMPARE(g.ColumnOrder(g.ColumnIndex(QStringLiteral("c"))), 2);
        QCOMPARE(g.ColumnOrder(g.ColumnIndex(QStringLiteral("a"))), 3);
    }

    void columnLayoutIsReadAndWrittenByIndex()
    {
        Window w;
        addChainColumns(*w.grid);
        Grid& g = *w.grid;
        QSignalSpy moved(&g, &Grid::ColumnMoved);
        int resized = 0;
        connect(&g, &Grid::ColumnWidthChanged, this, [&](int, int, bool&) { ++resized; });

        g.setColumnWidth(3, 90);
        QCOMPARE(g.header()->sectionSize(2), 90);
        g.setColumnVisible(3, false);
        QVERIFY(g.header()->isSectionHidden(2));
        QCOMPARE(g.ColumnWidth(3), 90); // kept while hidden
        g.setColumnWidth(3, 120);
        g.setColumnVisible(3, true);
        QCOMPARE(g.header()->sectionSize(2), 120);

        g.setColumnOrder(1, 4);
        QCOMPARE(g.ColumnOrder(1), 4);
        QCOMPARE(g.ColumnOrder(2), 1);
        QCOMPARE(g.header()->visualIndex(0), 3);
        g.setColumnAlign(5, 0);
        QCOMPARE(g.ColumnAlign(5), 0);
        g.setColumnFixedWidth(2, true);
        QCOMPARE(g.header()->sectionResizeMode(1), QHeaderView::Fixed);

        // Changes made by code are not user actions.
        QCOMPARE(moved.count(), 0);
        QCOMPARE(resized, 0);
    }

    void typedValuesShowThroughTheColumnFormat()
    {
        Grid g;
        g.AddColumn(QStringLiteral("strike"));
        g.AddColumn(QStringLiteral("expiration"), {}, 2, -1, 60, true, false, {}, true, QStringLiteral("mmm yy"));
        g.AddColumn(QStringLiteral("volume"));
        g.AddColumn(QStringLiteral("price"), {}, 2, -1, 60, true, false, {}, true, QStringLiteral("#.00"));
        g.AddRow();
        const double jan2024 = static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(2024, 1, 19)));
        QFont bold(QStringLiteral("Tahoma"), 8);
        bold.setBold(true);
        g.CellDetails(1, 1, GridValue::money(455000), Grid::DtRight, -1, QColor(0xE0, 0xF0, 0xF0), Qt::black, &bold);
        g.CellDetails(1, 2, GridValue::date(jan2024), Grid::DtRight);
        g.CellDetails(1, 3, GridValue(1250));
        g.CellDetails(1, 4, GridValue(0.5), Grid::DtRight, -1, {}, QColor(255, 0, 0));

        QCOMPARE(g.CellText(1, 1), QLocale().toString(45.5).remove(QLocale().groupSeparator()));
        QCOMPARE(g.CellText(1, 2), QLocale().monthName(1, QLocale::ShortFormat) + QStringLiteral(" 24"));
        QCOMPARE(g.CellText(1, 3), QStringLiteral("1250"));
        QCOMPARE(g.CellText(1, 4), QLocale().decimalPoint() + QStringLiteral("50"));
        QCOMPARE(g.CellValue(1, 1), GridValue::money(455000));
        QCOMPARE(g.CellAlign(1, 1), Grid::DtRight);
        QCOMPARE(g.CellAlign(1, 3), Grid::DefaultCellAlign);
        QCOMPARE(g.CellBackColor(1, 1), QColor(0xE0, 0xF0, 0xF0));
        QVERIFY(!g.CellBackColor(1, 2).isValid());
        QCOMPARE(g.CellForeColor(1, 4), QColor(255, 0, 0));
        QVERIFY(g.CellFont(1, 1).bold());
        QVERIFY(!g.CellFont(1, 2).bold());
        QCOMPARE(g.CellIcon(1, 1), -1);

        // A format set later applies to the values already there.
        g.setColumnFormatString(3, QStringLiteral("#,##0"));
        QCOMPARE(g.CellText(1, 3), QStringLiteral("1") + QLocale().groupSeparator() + QStringLiteral("250"));

        // The model hands the same to the view.
        const QModelIndex i = g.view()->model()->index(0, 0);
        QCOMPARE(i.data().toString(), g.CellText(1, 1));
        QCOMPARE(i.data(Qt::BackgroundRole).value<QColor>(), QColor(0xE0, 0xF0, 0xF0));
        QVERIFY(i.data(Qt::FontRole).value<QFont>().bold());
    }

    void groupRowDrawsTheRowTextAcrossTheRow()
    {
        Window w;
        Grid& g = *w.grid;
        addLegColumns(g);
        QCOMPARE(g.RowTextColumn(), 5);
        QVERIFY(!g.ColumnVisible(5));
        g.AddRow();
        const int group = g.AddRow(16, true);
        QCOMPARE(group, 2);
        QVERIFY(g.RowIsGroup(2));
        QVERIFY(!g.RowIsGroup(1));
        QCOMPARE(g.RowHeight(2), 16);
        QCOMPARE(g.view()->rowHeight(1), 16);
        QFont bold = g.font();
        bold.setBold(true);
        bold.setPointSize(12);
        g.CellDetails(2, 5, GridValue(QStringLiteral("Initial position price: 250.00 debit")), Grid::DtRight, -1,
                      QColor(225, 188, 120), QColor(255, 0, 0), &bold);
        QVERIFY(w.show());
        QApplication::processEvents();

        // The row-text column is hidden, yet its text shows across the row.
        const QImage img = g.view()->viewport()->grab().toImage();
        const QRect rowRect = g.view()->visualRect(g.view()->model()->index(1, 1)).united(
            g.view()->visualRect(g.view()->model()->index(1, 3)));
        int redPixels = 0;
        int backPixels = 0;
        for (int y = rowRect.top(); y <= rowRect.bottom(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QColor px = img.pixelColor(x, y);
                if (px.red() > 200 && px.green() < 80 && px.blue() < 80)
                    ++redPixels;
                if (px == QColor(225, 188, 120))
                    ++backPixels;
            }
        }
        QVERIFY2(redPixels > 20, "the group row's text is drawn");
        QVERIFY2(backPixels > rowRect.width(), "the row-text cell's colour fills the row");

        // A plain row does not show the hidden column.
        g.CellDetails(1, 5, GridValue(QStringLiteral("note")), Grid::DtLeft, -1, {}, QColor(255, 0, 0));
        g.setRowIsGroup(1, true);
        QVERIFY(g.RowIsGroup(1));
    }

    // A cell too narrow for its text shows the text's beginning and an
    // ellipsis, right-aligned or not; a clipped "21 Apr 2007" would read
    // "1 Apr 2007".
    void narrowCellsCutTheirTextWithAnEllipsis()
    {
        const QFontMetrics fm(QApplication::font());
        const QString date = QStringLiteral("21 Apr 2007");
        const int full = fm.horizontalAdvance(date);
        for (const int align : {int(Grid::DtRight), int(Grid::DtLeft), 1 /* centre */}) {
            QCOMPARE(tw::platform::detail::fittedCellText(fm, date, align, full + 2), date);
            const QString cut = tw::platform::detail::fittedCellText(fm, date, align, full * 2 / 3);
            QVERIFY2(cut.startsWith(QStringLiteral("21")) && cut.endsWith(QChar(0x2026)), qPrintable(cut));
            QVERIFY(fm.horizontalAdvance(cut) <= full * 2 / 3);
        }
        // A path keeps its beginning and its end.
        const QString path = QStringLiteral("/home/user/options/ZYX 2007.03.19.OPT");
        const QString cut = tw::platform::detail::fittedCellText(fm, path, 0x4000, fm.horizontalAdvance(path) / 2);
        QVERIFY2(cut.startsWith(QLatin1Char('/')) && cut.endsWith(QStringLiteral("OPT")), qPrintable(cut));
    }

    void clearKeepsTheColumnsOrRemovesThem()
    {
        Grid g;
        addChainColumns(g);
        fillRows(g, 5);
        g.setSelectedRow(3);
        g.Clear(false);
        QCOMPARE(g.Rows(), 0);
        QCOMPARE(g.Columns(), 10);
        QCOMPARE(g.SelectedRow(), 0);
        QCOMPARE(g.view()->model()->rowCount(), 0);
        fillRows(g, 2);
        QCOMPARE(g.CellText(2, 10), QStringLiteral("r2c10"));
        g.Clear(true);
        QCOMPARE(g.Rows(), 0);
        QCOMPARE(g.Columns(), 0);
        QCOMPARE(g.view()->model()->columnCount(), 0);
        addLegColumns(g); // a default column set is built again on a cleared grid
        QCOMPARE(g.ColumnIndex(QStringLiteral("group")), 5);
        QVERIFY(g.header()->isSectionHidden(4));
    }

    void rowsFromASourceShowAndFitAsTheGridsOwnRows()
    {
        // The same table twice: copied cell by cell into one grid, read from
        // its owner by the other. What the user sees and what the grid
        // answers must not differ.
        const int rows = 400;
        const auto source = std::make_shared<TableRows>(rows);
        Grid own;
        Grid sourced;
        for (Grid* g : {&own, &sourced}) {
            addChainColumns(*g);
            g->setFitColumnsToText(true);
            g->resize(900, 300);
        }
        for (int r = 1; r <= rows; ++r) {
            own.AddRow();
            for (int c = 1; c <= own.Columns(); ++c) {
                const auto l = source->look(r, c);
                own.CellDetails(r, c, source->value(r, c), l.align, -1, l.back, l.fore, l.font);
            }
        }
        QAbstractItemModel* model = sourced.view()->model();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        sourced.setRedraw(false);
        sourced.setRowSource(source);
        QCOMPARE(sourced.Rows(), rows); // the caller sees the rows at once
        QCOMPARE(inserted.count(), 0);
        sourced.setRedraw(true);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model->rowCount(), rows);

        for (int c = 1; c <= own.Columns(); ++c) {
            QCOMPARE(sourced.ColumnWidth(c), own.ColumnWidth(c));
            for (const int r : {1, 2, 7, rows}) {
                QCOMPARE(sourced.CellText(r, c), own.CellText(r, c));
                QCOMPARE(sourced.CellAlign(r, c), own.CellAlign(r, c));
                QCOMPARE(sourced.CellBackColor(r, c), own.CellBackColor(r, c));
                QCOMPARE(sourced.CellFont(r, c), own.CellFont(r, c));
            }
        }
        QVERIFY(sourced.ColumnWidth(1) > Grid::DefaultColumnWidth); // the widest code made room
        own.EnsureVisible(rows - 3, 1);
        sourced.EnsureVisible(rows - 3, 1);
        QCOMPARE(sourced.grab().toImage(), own.grab().toImage());

        // The rows are the owner's: the grid changes none of them, and a
        // Clear lets them go.
        QVERIFY_THROWS_EXCEPTION(std::logic_error, sourced.AddRow());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, sourced.setCellText(1, 1, GridValue(QStringLiteral("x"))));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, sourced.setCellBackColor(2, 2, Qt::red));
        QCOMPARE(sourced.CellText(1, 1), own.CellText(1, 1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, sourced.CellText(rows + 1, 1));
        sourced.Clear(false);
        QCOMPARE(sourced.Rows(), 0);
        QCOMPARE(model->rowCount(), 0);
        QVERIFY(sourced.rowSource() == nullptr);
        QCOMPARE(source.use_count(), 1L);
        fillRows(sourced, 2); // its own rows again
        QCOMPARE(sourced.CellText(2, 10), QStringLiteral("r2c10"));
    }

    void columnFitMeasuresEveryRowToTheLast()
    {
        // The widest text of each column stands in the last row only: filled
        // with redraw off, and read from a row source.
        class LastRowWidest : public tw::platform::GridRowSource {
        public:
            int rowCount() const override { return 40; }
            GridValue value(int row, int col) const override
            {
                return GridValue(row == rowCount() ? QStringLiteral("WWWWWWWWWWWWWWWWWWWW %1").arg(col)
                                                   : QStringLiteral("i%1").arg(col));
            }
            tw::platform::GridCellLook look(int, int) const override { return {}; }
        };
        const auto source = std::make_shared<LastRowWidest>();
        Grid own;
        Grid sourced;
        for (Grid* g : {&own, &sourced}) {
            addChainColumns(*g);
            g->setFitColumnsToText(true);
            g->setRedraw(false);
        }
        for (int r = 1; r <= source->rowCount(); ++r) {
            own.AddRow();
            for (int c = 1; c <= own.Columns(); ++c)
                own.CellDetails(r, c, source->value(r, c));
        }
        sourced.setRowSource(source);
        for (Grid* g : {&own, &sourced}) {
            g->setRedraw(true);
            const QFontMetrics fm(g->view()->font());
            for (int c = 1; c <= g->Columns(); ++c) {
                const int widest = fm.horizontalAdvance(source->value(source->rowCount(), c).textValue()) + 8;
                QCOMPARE(g->ColumnTextWidth(c), widest);
                QCOMPARE(g->ColumnWidth(c), widest);
            }
        }
    }

    void redrawOffAnnouncesTheFillOnce()
    {
        Grid g;
        addChainColumns(g);
        QAbstractItemModel* model = g.view()->model();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);

        g.setRedraw(false);
        QVERIFY(!g.Redraw());
        fillRows(g, 300);
        g.AddRow(16, true);
        QCOMPARE(g.Rows(), 301); // the caller sees its rows at once
        QCOMPARE(g.CellText(300, 10), QStringLiteral("r300c10"));
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(changed.count(), 0);
        g.setRedraw(true);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model->rowCount(), 301);
        QCOMPARE(g.view()->rowHeight(300), 16);

        // Cells changed with redraw off: one announcement at the end.
        g.setRedraw(false);
        for (int r = 1; r <= 301; ++r)
            g.setCellBackColor(r, 1, Qt::yellow);
        QCOMPARE(changed.count(), 0);
        g.setRedraw(true);
        QCOMPARE(changed.count(), 1);

        // With redraw on every change is announced.
        g.setCellText(1, 1, GridValue(QStringLiteral("x")));
        QCOMPARE(changed.count(), 2);
        g.AddRow();
        QCOMPARE(inserted.count(), 2);
    }

    void currentCellIsReadAndSet()
    {
        Window w;
        Grid& g = *w.grid;
        addChainColumns(g);
        fillRows(g, 200);
        QVERIFY(w.show());
        QCOMPARE(g.SelectedRow(), 0);
        QCOMPARE(g.SelectedCol(), 0);

        g.setColumnVisible(1, false);
        g.setSelectedRow(5);
        QCOMPARE(g.SelectedRow(), 5);
        QCOMPARE(g.SelectedCol(), 2); // the first column shown
        g.setSelectedCol(4);
        QCOMPARE(g.SelectedCol(), 4);
        QCOMPARE(g.SelectedRow(), 5);
        g.setCellSelected(3, 7);
        QCOMPARE(g.SelectedRow(), 3);
        QCOMPARE(g.SelectedCol(), 7);
        QVERIFY(g.CellSelected(3, 7));
        QVERIFY(!g.CellSelected(3, 6));

        g.setRowMode(true);
        g.setSelectedRow(8);
        QVERIFY(g.CellSelected(8, 2));
        QVERIFY(g.CellSelected(8, 10));

        // Positions that do not exist change nothing.
        g.setSelectedRow(999);
        g.setCellSelected(1, 99);
        QCOMPARE(g.SelectedRow(), 8);
        g.setSelectedRow(0);
        QCOMPARE(g.SelectedRow(), 0);

        // Bring a far cell into view; its rectangle lies inside the viewport.
        g.EnsureVisible(190, 10);
        const QRect cell = g.CellBoundary(190, 10);
        QVERIFY(!cell.isEmpty());
        const QRect viewport(g.view()->viewport()->mapTo(&g, QPoint(0, 0)), g.view()->viewport()->size());
        QVERIFY(viewport.contains(cell.center()));
        const QRect vr = g.view()->visualRect(g.view()->model()->index(189, 9));
        QCOMPARE(cell.size(), vr.size());
        QCOMPARE(g.childAt(cell.center()), g.view()->viewport());
        QVERIFY(g.CellBoundary(190, 1).isEmpty()); // hidden column
    }

    void requestEditNeverEditsByItself()
    {
        Window w;
        Grid& g = *w.grid;
        addLegColumns(g);
        fillRows(g, 3);
        g.setEditable(true);
        QVERIFY(w.show());
        QList<EditRequest> requests;
        connect(&g, &Grid::RequestEdit, this, [&](int r, int c, int k, bool&) { requests << EditRequest{r, c, k}; });
        QSignalSpy dbl(&g, &Grid::DblClick);

        QTest::mouseDClick(g.view()->viewport(), Qt::LeftButton, {}, w.cellCentre(2, 3));
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].row, 2);
        QCOMPARE(requests[0].col, 3);
        QCOMPARE(requests[0].key, 0);
        QCOMPARE(dbl.count(), 1);

        // Not refused, and still nothing edits: no editor, no changed cell.
        const QModelIndex idx = g.view()->model()->index(1, 2);
        QVERIFY(!(idx.flags() & Qt::ItemIsEditable));
        QVERIFY(g.view()->indexWidget(idx) == nullptr);
        QVERIFY(g.findChildren<QLineEdit*>().isEmpty());
        QCOMPARE(g.CellText(2, 3), QStringLiteral("r2c3"));

        g.setCellSelected(1, 2);
        g.view()->setFocus();
        QTest::keyClick(g.view(), Qt::Key_F2);
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[1].row, 1);
        QCOMPARE(requests[1].col, 2);
        QTest::keyClick(g.view(), Qt::Key_X);
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests[2].key, int('x'));
        QCOMPARE(g.SelectedRow(), 1); // typing does not jump to a matching row
        QCOMPARE(g.CellText(1, 2), QStringLiteral("r1c2"));
        QVERIFY(g.findChildren<QLineEdit*>().isEmpty());

        // Without in-cell editing only the double click is reported.
        g.setEditable(false);
        QTest::mouseDClick(g.view()->viewport(), Qt::LeftButton, {}, w.cellCentre(3, 2));
        QCOMPARE(requests.size(), 3);
        QCOMPARE(dbl.count(), 2);
    }

    void cancelEditComesOnceWhileTheOwnersEditorIsOpen()
    {
        Window w;
        Grid& g = *w.grid;
        addChainColumns(g);
        fillRows(g, 300);
        g.setEditable(true);
        QVERIFY(w.show());
        connect(&g, &Grid::RequestEdit, this, [&](int r, int c, int, bool& cancel) {
            cancel = true;
            w.editor->setGeometry(g.CellBoundary(r, c));
            w.editor->show();
            w.editor->setFocus();
        });
        QSignalSpy cancelled(&g, &Grid::CancelEdit);
        QScrollBar* bar = g.view()->verticalScrollBar();

        // No edit open: a scroll cancels nothing.
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(cancelled.count(), 0);

        // Editor open: the first scroll cancels, once.
        QTest::mouseDClick(g.view()->viewport(), Qt::LeftButton, {}, w.cellCentre(2, 2));
        QVERIFY(w.editor->hasFocus());
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(cancelled.count(), 1);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(cancelled.count(), 1);

        // The editor left by the user (committed): a later scroll cancels nothing.
        g.setCellSelected(5, 2);
        QTest::keyClick(g.view(), Qt::Key_F2);
        QVERIFY(w.editor->hasFocus());
        w.other->setFocus();
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(cancelled.count(), 1);

        // Enter gives the focus back to the grid: the edit is over.
        g.view()->setFocus();
        QTest::keyClick(g.view(), Qt::Key_F2);
        QVERIFY(w.editor->hasFocus());
        g.view()->setFocus();
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(cancelled.count(), 1);

        // Pressing the header while the editor is open cancels.
        QTest::keyClick(g.view(), Qt::Key_F2);
        QVERIFY(w.editor->hasFocus());
        sendMouse(g.header()->viewport(), QEvent::MouseButtonPress, QPoint(20, 5), Qt::LeftButton, Qt::LeftButton);
        sendMouse(g.header()->viewport(), QEvent::MouseButtonRelease, QPoint(20, 5), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(cancelled.count(), 2);

        // An editor laid inside the grid's own viewport counts the same.
        auto* inner = new QLineEdit(g.view()->viewport());
        disconnect(&g, &Grid::RequestEdit, this, nullptr);
        connect(&g, &Grid::RequestEdit, this, [&](int r, int c, int, bool& cancel) {
            cancel = true;
            inner->setGeometry(g.view()->visualRect(g.view()->model()->index(r - 1, c - 1)));
            inner->show();
            inner->setFocus();
        });
        g.view()->setFocus();
        QTest::keyClick(g.view(), Qt::Key_F2);
        QVERIFY(inner->hasFocus());
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(cancelled.count(), 3);

        // A request the owner leaves alone opens no edit.
        disconnect(&g, &Grid::RequestEdit, this, nullptr);
        connect(&g, &Grid::RequestEdit, this, [&](int, int, int, bool&) {});
        g.view()->setFocus();
        QTest::keyClick(g.view(), Qt::Key_F2);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(cancelled.count(), 3);
    }

    void keyDownAndMouseUpCarryClassicCodes()
    {
        Window w;
        Grid& g = *w.grid;
        addChainColumns(g);
        fillRows(g, 3);
        QVERIFY(w.show());
        QSignalSpy keys(&g, &Grid::KeyDown);
        QSignalSpy ups(&g, &Grid::MouseUp);

        g.view()->setFocus();
        QTest::keyClick(g.view(), Qt::Key_Delete);
        QTest::keyClick(g.view(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(keys.count(), 3); // Delete, Shift, Shift+Delete
        QCOMPARE(keys[0][0].toInt(), 46);
        QCOMPARE(keys[0][1].toInt(), 0);
        QCOMPARE(keys[1][0].toInt(), 16);
        QCOMPARE(keys[2][0].toInt(), 46);
        QCOMPARE(keys[2][1].toInt(), 1);

        const QPoint at = w.cellCentre(2, 3);
        QTest::mouseClick(g.view()->viewport(), Qt::RightButton, Qt::ControlModifier, at);
        QCOMPARE(ups.count(), 1);
        QCOMPARE(ups[0][0].toInt(), 2);
        QCOMPARE(ups[0][1].toInt(), 2);
        const QPoint inGrid = g.view()->viewport()->mapTo(&g, at);
        QCOMPARE(ups[0][2].toDouble(), inGrid.x() * 1440.0 / g.logicalDpiX());
        QCOMPARE(ups[0][3].toDouble(), inGrid.y() * 1440.0 / g.logicalDpiY());
        QCOMPARE(g.SelectedRow(), 2); // the right button picks the row under it
    }

    void columnResizeIsReportedOncePerDrag()
    {
        Window w;
        Grid& g = *w.grid;
        addChainColumns(g);
        fillRows(g, 3);
        QVERIFY(w.show());
        struct Resize {
            int col;
            int width;
        };
        QList<Resize> seen;
        bool cancelIt = false;
        int widthDuringEvent = -1;
        connect(&g, &Grid::ColumnWidthChanged, this, [&](int col, int width, bool& cancel) {
            seen << Resize{col, width};
            widthDuringEvent = g.ColumnWidth(col + 1);
            cancel = cancelIt;
        });
        QSignalSpy moved(&g, &Grid::ColumnMoved);

        QHeaderView* h = g.header();
        const int edge = h->sectionViewportPosition(1) + h->sectionSize(1) - 1;
        const int y = h->height() / 2;
        dragHeader(h, QPoint(edge, y), QPoint(edge + 30, y), 10);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].col, 1); // column 2, numbered from 0 in this event
        QCOMPARE(seen[0].width, 90);
        QCOMPARE(widthDuringEvent, 60); // the grid reports the new width after the event
        QCOMPARE(g.ColumnWidth(2), 90);
        QCOMPARE(moved.count(), 0);

        // Refused: the old width comes back.
        cancelIt = true;
        const int edge3 = h->sectionViewportPosition(2) + h->sectionSize(2) - 1;
        dragHeader(h, QPoint(edge3, y), QPoint(edge3 - 20, y), 5);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].col, 2);
        QCOMPARE(seen[1].width, 40);
        QCOMPARE(g.ColumnWidth(3), 60);
        QCOMPARE(h->sectionSize(2), 60);

        // A click on the header without a drag reports nothing.
        dragHeader(h, QPoint(10, y), QPoint(10, y), 1);
        QCOMPARE(seen.size(), 2);
    }

    void columnMoveIsReportedOncePerDrag()
    {
        Window w;
        Grid& g = *w.grid;
        addChainColumns(g);
        fillRows(g, 3);
        QVERIFY(w.show());
        QSignalSpy moved(&g, &Grid::ColumnMoved);
        int resized = 0;
        connect(&g, &Grid::ColumnWidthChanged, this, [&](int, int, bool&) { ++resized; });

        QHeaderView* h = g.header();
        const int y = h->height() / 2;
        const QPoint from(h->sectionViewportPosition(0) + 30, y);
        const QPoint to(h->sectionViewportPosition(3) + 40, y);
        dragHeader(h, from, to, 12);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(resized, 0);
        QVERIFY(g.ColumnOrder(1) != 1);
        QCOMPARE(g.ColumnKey(1), QStringLiteral("ticker")); // numbers stay with the columns

        g.setColumnOrder(1, 1);
        QCOMPARE(moved.count(), 1);
    }
};

TW_QTEST_MAIN(GridTest)
#include "GridTest.moc"
