// A 2-D chart window's two boxes over the plot's lower edge: the read-out of
// the values under the pointer with its crosshair, and the summary of the
// fixed values the chart was drawn with.

#include "charts/frmChart.h"

#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartTexts.h"
#include "platform/Chart2D.h"

#include <QCursor>
#include <QLineEdit>
#include <cmath>

namespace tw {

QString frmChart::XLabel() const
{
    return QLatin1String(xLabelOf(m_sweep.AxisX));
}

QString frmChart::FormatXValue(double& x) const
{
    return formatXValue(m_sweep.AxisX, x, QLocale());
}

void frmChart::Chart_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers, const QPoint& pixel)
{
    shielded("frmChart.Chart_MouseMove", [&] {
        if (Button != Qt::NoButton)
            return;
        pShowReadout(pixel);
    });
}

// The X and Y values at a pixel of the chart, with the crosshair on them;
// outside the data area an empty read-out and the crosshair off the plot.
void frmChart::pShowReadout(const QPoint& pixel)
{
    double x = 0;
    double y = 0;
    Chart->dataCoordinates(pixel, x, y);
    if (x == platform::Chart2D::OutsideValue) {
        txtValue->clear();
    } else {
        const QString xText = FormatXValue(x);
        txtValue->setText(readoutText(XLabel(), xText, Chart->axisTitle('Y'), y, QLocale()));
        txtValue->setCursorPosition(0);
    }
    Chart->setMarkerX(x);
    Chart->setMarkerY(y);
}

// A read-out belongs to the drawing it reads: after a redraw it is made anew
// where the pointer stands on the chart, and with the pointer elsewhere (over
// another control or another window) the text and the crosshair go.
void frmChart::pRefreshReadout()
{
    if (Chart->underMouse()) {
        pShowReadout(Chart->mapFromGlobal(QCursor::pos()));
        return;
    }
    txtValue->clear();
    Chart->setMarkerX(platform::Chart2D::OutsideValue);
    Chart->setMarkerY(platform::Chart2D::OutsideValue);
}

void frmChart::pPrintParams()
{
    Procedure proc("frmChart", "pPrintParams");
    const double date = m_stockDateGiven ? m_sweep.StockDate : std::nan("");
    TW_STEP(proc, txtParams->setText(paramsSummary(m_sweep.ranges, date, QLocale())));
    TW_STEP(proc, txtParams->setCursorPosition(0));
}

} // namespace tw
