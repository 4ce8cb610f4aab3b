#include "workspace/GridLayouts.h"

#include "app/CAppSettings.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "platform/Grid.h"

#include <QColor>
#include <QList>
#include <algorithm>

namespace tw {

namespace {

QString key(int col, const char* what)
{
    return QStringLiteral("Col%1%2").arg(col).arg(QLatin1String(what));
}

struct ColumnDef {
    const char* key;
    const char* header;
    int align;
    int width;
};

void addColumns(platform::Grid& grid, std::initializer_list<ColumnDef> defs)
{
    for (const ColumnDef& d : defs)
        grid.AddColumn(QLatin1String(d.key), QString::fromUtf8(d.header), d.align, -1, d.width);
}

void addRowTextColumn(platform::Grid& grid, int width)
{
    grid.AddColumn(QStringLiteral("group"), QString(), 0, -1, width, false, false, QString(), true, QString(), true);
}

void legGridSettings(platform::Grid& grid)
{
    grid.setDefaultRowHeight(20);
    grid.setHeaderHeight(18);
    grid.setEditable(true);
    grid.setGridLines(true);
    grid.setBackColor(QColor(255, 255, 255));
}

void chainGridSettings(platform::Grid& grid)
{
    grid.setDefaultRowHeight(16);
    grid.setHeaderHeight(16);
    grid.setRowMode(true);
    grid.setGridLines(true);
    grid.setHeaderIcons(false);
    grid.setLastColumnFillsView(true);
}

void chainColumns(platform::Grid& grid)
{
    addColumns(grid, {{"ticker", "Ticker", 2, 70},
                      {"strike", "Strike", 2, 40},
                      {"expiration", "Expiration", 2, 60},
                      {"lastsale", "Last sale", 2, 60},
                      {"change", "Change", 2, 50},
                      {"bid", "Bid", 2, 40},
                      {"ask", "Ask", 2, 40},
                      {"volume", "Volume", 2, 40},
                      {"openint", "Open Int", 2, 70},
                      {"exchange", "Exchange", 2, 200}});
}

} // namespace

void CreateDefaultColumns(platform::Grid& grid, const QString& priceHeader)
{
    const QString name = grid.objectName();
    if (name == QLatin1String("gdParams")) {
        grid.Clear(true);
        legGridSettings(grid);
        addColumns(grid, {{"color", "", 0, 10},
                          {"position", "Position", 2, 70},
                          {"type", "Type", 2, 70},
                          {"strike", "Strike", 2, 70},
                          {"expiration", "Expiration", 2, 70},
                          {"quantity", "Quantity", 2, 70}});
        addRowTextColumn(grid, 360);
    } else if (name == QLatin1String("gdSelected")) {
        grid.Clear(true);
        legGridSettings(grid);
        addColumns(grid, {{"color", "", 0, 10},
                          {"position", "Position", 2, 70},
                          {"ticker", "Ticker", 2, 100},
                          {"strike", "Strike", 2, 70},
                          {"expiration", "Expiration", 2, 70},
                          {"quantity", "Quantity", 2, 70}});
        grid.AddColumn(QStringLiteral("price"), priceHeader, 2, -1, 70);
        grid.AddColumn(QStringLiteral("total"), QStringLiteral("Total"), 2, -1, 90);
        addRowTextColumn(grid, 500);
    } else if (name == QLatin1String("gdCalls") || name == QLatin1String("gdPuts")) {
        grid.Clear(true);
        chainGridSettings(grid);
        chainColumns(grid);
    }
}

void SaveGridHeader(CAppSettings& settings, const platform::Grid& grid, int col, int width)
{
    const QString section = grid.objectName();
    const int n = grid.Columns();
    // The layout goes to the file in one write, not one per value.
    SettingsBatch layout(settings);
    settings.SaveSetting(section, QStringLiteral("Columns"), n);
    for (int i = 1; i <= n; ++i) {
        settings.SaveSetting(section, key(i, "Width"), i == col ? width : grid.ColumnWidth(i));
        settings.SaveSetting(section, key(i, "Header"), grid.ColumnHeader(i));
        settings.SaveSetting(section, key(i, "Align"), grid.ColumnAlign(i));
        settings.SaveSetting(section, key(i, "Visible"), grid.ColumnVisible(i));
        settings.SaveSetting(section, key(i, "Order"), grid.ColumnOrder(i));
    }
}

void RestoreGridHeader(const CAppSettings& settings, platform::Grid& grid, bool& restoring,
                       const QString& priceHeader)
{
    const QString section = grid.objectName();
    const int n = settingInt(settings, section, QStringLiteral("Columns"), 0);
    if (n != grid.Columns() || n == 0)
        CreateDefaultColumns(grid, priceHeader);
    // The default widths widen to show the texts at the font in use; a
    // saved layout keeps the user's widths.
    grid.setFitColumnsToText(n == 0);
    if (n == 0)
        return;
    restoring = true;
    const int count = grid.Columns();
    for (int i = 1; i <= count; ++i) {
        const int width = settingInt(settings, section, key(i, "Width"), platform::Grid::DefaultColumnWidth);
        grid.setColumnWidth(i, qBound(0, width, 4000));
        grid.setColumnHeader(i, settingText(settings, section, key(i, "Header"), QString()));
        const int align = settingInt(settings, section, key(i, "Align"), 2);
        grid.setColumnAlign(i, (align >= 0 && align <= 2) ? align : 2);
        grid.setColumnVisible(i, settingBool(settings, section, key(i, "Visible"), true));
    }
    // Display positions last, once every column exists, from the first
    // position to the last, so that each move leaves the places already
    // set alone. A position outside the grid leaves the column where it is.
    QList<std::pair<int, int>> orders; // (position, column)
    for (int i = 1; i <= count; ++i) {
        const int order = settingInt(settings, section, key(i, "Order"), i);
        if (order >= 1 && order <= count)
            orders.append({order, i});
    }
    std::sort(orders.begin(), orders.end());
    for (const auto& [order, col] : orders)
        grid.setColumnOrder(col, order);
    restoring = false;
}

CellFonts cellFonts(const platform::Grid& grid)
{
    CellFonts f;
    f.bold = grid.font();
    f.bold.setPointSizeF(8);
    f.bold.setBold(true);
    f.plain = f.bold;
    f.plain.setBold(false);
    return f;
}

void saveGridLayoutOnChange(QObject* context, platform::Grid* grid, const bool& restoring)
{
    const auto save = [grid](int col, int width) {
        Procedure proc("frmStrategies", "SaveGridHeader");
        TW_STEP(proc, SaveGridHeader(appSettings(), *grid, col, width));
    };
    QObject::connect(grid, &platform::Grid::ColumnMoved, context, [save, &restoring] {
        if (!restoring)
            save(0, 0);
    });
    QObject::connect(
        grid, &platform::Grid::ColumnWidthChanged, context,
        [save, &restoring](int col, int width, bool& cancel) {
            if (!restoring)
                save(col + 1, width);
            cancel = false;
        },
        Qt::DirectConnection);
}

} // namespace tw
