#include "mainwindow/StartupSettings.h"

#include "app/Convert.h"
#include "app/Tools.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace tw {


int validTab(int tab)
{
    return (tab >= 1 && tab <= 3) ? tab : 1;
}

int validChartCount(int count)
{
    return qBound(0, count, MaxReopenedCharts);
}

QStringList mainWindowPlaceKeys()
{
    return {QStringLiteral("StgLeft"), QStringLiteral("StgTop"), QStringLiteral("StgWidth"), QStringLiteral("StgHeight")};
}

TiledPlaces tiledPlaces(float left, float top, float right, float bottom)
{
    TiledPlaces p;
    const float mainWidth = (right - left) / 2.0f;
    p.main = QRectF(left, top, mainWidth, bottom - top);
    const float left3d = left + mainWidth;
    const float top3d = top + (bottom - top) / 2.0f;
    p.chart3d = QRectF(left3d, top3d, right - left3d, bottom - top3d);
    return p;
}

} // namespace tw
