#include "charts/ChartHost.h"

namespace tw {

ChartHost::~ChartHost() = default;

QString ChartHost::CalculationModeCaption = QStringLiteral("Profit/Loss");

namespace {
ChartHost* g_host = nullptr;
}

ChartHost* chartHost()
{
    return g_host;
}

void setChartHost(ChartHost* host)
{
    g_host = host;
}

} // namespace tw
