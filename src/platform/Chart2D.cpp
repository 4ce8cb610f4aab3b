#include "platform/Chart2D.h"

#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tw::platform {

namespace {

struct Style {
    QColor color;
    int width = 1;
    int shape = 0;
};

// The number of ticks a value axis starts with.
constexpr int kTickCount = 5;

// Colours of series whose style was never set.
QColor defaultColor(int style)
{
    static const QColor colors[] = {QColor(0x20, 0x9f, 0xdf), QColor(0x99, 0xca, 0x53), QColor(0xf6, 0xa6, 0x25),
                                    QColor(0x6d, 0x5f, 0xd5), QColor(0xbf, 0x59, 0x3e)};
    return colors[(style - 1) % 5];
}

// Axis bounds that show every value; a flat line gets room above and below.
void fitRange(double lo, double hi, double& outLo, double& outHi)
{
    if (!(lo <= hi)) {
        outLo = 0;
        outHi = 1;
        return;
    }
    if (lo == hi) {
        const double pad = lo == 0 ? 1.0 : std::fabs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
    outLo = lo;
    outHi = hi;
}

// How an axis writes its labels: printf's conversion ('f' fixed, 'g'
// shortest) and precision, in the chart's locale.
struct LabelForm {
    char conversion = 'g';
    int precision = 6;
    QString format() const { return QStringLiteral("%.%1%2").arg(precision).arg(QLatin1Char(conversion)); }
};

// The values at the ticks of an axis from `lo` to `hi`, as the axis works
// them out.
QList<double> tickValues(double lo, double hi, int ticks)
{
    QList<double> values;
    if (ticks < 2)
        return values;
    for (int i = 0; i < ticks; ++i)
        values.append(lo + (i * (hi - lo) / (ticks - 1)));
    return values;
}

QStringList labelTexts(const QList<double>& values, const LabelForm& form, const QLocale& locale)
{
    QStringList texts;
    for (const double v : values)
        texts.append(locale.toString(v, form.conversion, form.precision));
    return texts;
}

// A form in which every tick reads apart and near its value: as many
// decimals as the tick step needs (none for whole steps), or, for values
// too large or a step too fine for that, as many significant digits as it
// takes. A price of millions moves the value of a position by a few
// hundredths of a percent; six significant digits would write every tick
// of that as "100". The shortest form takes as few significant digits as
// read apart ("1.5e+07" for fifteen million).
LabelForm distinctLabelForm(double lo, double hi, int ticks, const QLocale& locale, bool shortest = false)
{
    const QList<double> values = tickValues(lo, hi, ticks);
    const double step = values.size() > 1 ? (hi - lo) / (ticks - 1) : 0.0;
    if (!(step > 0) || !std::isfinite(step))
        return {};
    const auto fits = [&](const LabelForm& form) {
        const QStringList texts = labelTexts(values, form, locale);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            bool ok = false;
            const double read = locale.toDouble(texts.at(i), &ok);
            if (!ok || std::fabs(read - values.at(i)) > step * 1e-3 || texts.indexOf(texts.at(i)) != i)
                return false;
        }
        return true;
    };
    const double largest = std::max(std::fabs(lo), std::fabs(hi));
    if (largest < 1e15 && !shortest) {
        for (int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step)))); decimals <= 6; ++decimals) {
            if (fits({'f', decimals}))
                return {'f', decimals};
        }
    }
    for (int digits = shortest ? 1 : 6; digits <= 17; ++digits) {
        if (fits({'g', digits}))
            return {'g', digits};
    }
    return {'g', 17};
}

// One way to scale an axis: its bounds, its ticks and the form of their
// labels.
struct AxisScale {
    double min = 0;
    double max = 1;
    int ticks = kTickCount;
    LabelForm form;
};

} // namespace

class Chart2D::Impl {
public:
    class View;

    // What a change leaves to be shown.
    enum Dirty : unsigned { Data = 1, Labels = 2, Styles = 4 };

    Chart2D* q = nullptr;
    View* view = nullptr;
    QChart* chart = nullptr;
    QValueAxis* axisX = nullptr;
    QValueAxis* axisY = nullptr;
    QList<QLineSeries*> lines;
    QValueAxis nice;             // works out round bounds; never shown

    bool batched = false;
    unsigned dirty = 0;
    std::function<void()> deferred;
    bool settling = false;

    int numSeries = 0;
    int numPoints = 0;
    QList<double> x;
    std::vector<double> table; // numPoints x tableSeries, point-major
    int tableSeries = 0;
    QStringList labels;
    QList<Style> styles;
    QRect area;
    double markerX = OutsideValue;
    double markerY = OutsideValue;
    LabelForm formX, formY;
    // The loaded values' least and greatest on each axis (the first greater
    // when there are none).
    std::pair<double, double> spanX{1, 0}, spanY{1, 0};
    QRectF fittedPlot; // the plot area the axes were last fitted to
    bool shortX = false, shortY = false; // squeezed: the shortest labels

    Style& style(int n)
    {
        while (styles.size() < n)
            styles.append(Style{defaultColor(static_cast<int>(styles.size()) + 1), 1, 0});
        return styles[n - 1];
    }

    double valueAt(int s, int p) const
    {
        if (s < 0 || s >= tableSeries || p < 0)
            return 0.0;
        const size_t i = static_cast<size_t>(p) * tableSeries + s;
        return i < table.size() ? table[i] : 0.0;
    }

    // The point at data (x, y) in the chart's coordinates, on the plot area's scale.
    QPointF plotPointOf(double x, double y) const
    {
        const QRectF plot = chart->plotArea();
        return {plot.left() + (x - axisX->min()) / (axisX->max() - axisX->min()) * plot.width(),
                plot.bottom() - (y - axisY->min()) / (axisY->max() - axisY->min()) * plot.height()};
    }

    // Before a read: the owner's outstanding drawing is made, and the chart
    // laid out for what it now shows (the chart itself would do that in the
    // event loop), so that its plot area is where the lines are drawn.
    void settle()
    {
        if (deferred && !settling) {
            settling = true;
            const auto done = qScopeGuard([this] { settling = false; });
            deferred();
        }
        if (QGraphicsLayout* layout = chart->layout())
            layout->activate();
        refitIfResized();
    }

    // A change is shown at once, or when the batch ends.
    void changed(unsigned what)
    {
        dirty |= what;
        if (!batched)
            apply();
    }

    void apply()
    {
        const unsigned what = std::exchange(dirty, 0u);
        if ((what & Data) != 0)
            refreshData();
        if ((what & (Data | Styles)) != 0)
            refreshStyles();
        if ((what & (Data | Labels)) != 0)
            refreshLabels();
        // Laid out now rather than in a later turn of the event loop: the
        // chart is painted once, as it will stay, instead of once more when
        // its legend and axes have taken the new labels' room.
        if (what != 0) {
            if (QGraphicsLayout* layout = chart->layout())
                layout->activate();
            fitToRoom();
        }
    }

    void refreshData();
    QList<AxisScale> axisScales(double from, double to);
    AxisScale scaleFor(const QValueAxis* axis, double room);
    bool fitAxis(QValueAxis* axis, double room);
    bool fitToRoom();
    // Refits when the plot has another place than at the last fit (the
    // control resized, another legend).
    void refitIfResized();
    LabelForm& formOf(const QValueAxis* axis) { return axis == axisX ? formX : formY; }
    std::pair<double, double>& spanOf(const QValueAxis* axis) { return axis == axisX ? spanX : spanY; }
    bool& shortOf(const QValueAxis* axis) { return axis == axisX ? shortX : shortY; }
    bool drawnWhole(const QValueAxis* axis);
    void refreshLabels();
    void refreshStyles();
    void syncSeriesCount();
    QPointF chartPointOf(const QPoint& pixel) const;
};

class Chart2D::Impl::View : public QChartView {
public:
    View(QChart* chart, Chart2D::Impl* impl, QWidget* parent) : QChartView(chart, parent), m_impl(impl)
    {
        setMouseTracking(true);
        viewport()->setMouseTracking(true);
        setFrameShape(QFrame::NoFrame);
        setRenderHint(QPainter::Antialiasing, true);
    }

protected:
    void drawForeground(QPainter* painter, const QRectF& rect) override
    {
        QChartView::drawForeground(painter, rect);
        const QRectF plot = chart()->plotArea();
        if (m_impl->numSeries == 0 || plot.isEmpty())
            return;
        painter->save();
        painter->setPen(QPen(QColor(0x60, 0x60, 0x60), 1, Qt::DashLine));
        const QValueAxis* ax = m_impl->axisX;
        const QValueAxis* ay = m_impl->axisY;
        const double mx = m_impl->markerX, my = m_impl->markerY;
        const QPointF at = m_impl->plotPointOf(mx, my);
        if (mx >= ax->min() && mx <= ax->max() && ax->max() > ax->min()) {
            painter->drawLine(chart()->mapToScene(QPointF(at.x(), plot.top())),
                              chart()->mapToScene(QPointF(at.x(), plot.bottom())));
        }
        if (my >= ay->min() && my <= ay->max() && ay->max() > ay->min()) {
            painter->drawLine(chart()->mapToScene(QPointF(plot.left(), at.y())),
                              chart()->mapToScene(QPointF(plot.right(), at.y())));
        }
        painter->restore();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        QChartView::mouseMoveEvent(event);
        emit m_impl->q->MouseMove(event->buttons(), event->modifiers(),
                                  viewport()->mapTo(m_impl->q, event->position().toPoint()));
    }

private:
    Chart2D::Impl* m_impl;
};

// Lines are added or removed only when their number changes.
void Chart2D::Impl::syncSeriesCount()
{
    while (lines.size() > numSeries) {
        QLineSeries* s = lines.takeLast();
        chart->removeSeries(s);
        delete s;
    }
    while (lines.size() < numSeries) {
        auto* s = new QLineSeries(chart);
        chart->addSeries(s);
        s->attachAxis(axisX);
        s->attachAxis(axisY);
        lines.append(s);
    }
}

// The ways to scale an axis over [from, to], most ticks first: the round
// bounds the axis itself chooses for five ticks down to two, with all their
// ticks or every second, third... of them (the tighter bounds first where the
// ticks are as many).
QList<AxisScale> Chart2D::Impl::axisScales(double from, double to)
{
    QList<AxisScale> scales;
    for (int asked = kTickCount; asked >= 2; --asked) {
        nice.setTickCount(asked);
        nice.setRange(from, to);
        nice.applyNiceNumbers();
        const int steps = nice.tickCount() - 1;
        for (int every = 1; every <= steps; ++every) {
            if (steps % every != 0)
                continue;
            const AxisScale s{nice.min(), nice.max(), steps / every + 1, {}};
            const bool known = std::any_of(scales.begin(), scales.end(), [&s](const AxisScale& o) {
                return o.min == s.min && o.max == s.max && o.ticks == s.ticks;
            });
            if (!known)
                scales.append(s);
        }
    }
    std::stable_sort(scales.begin(), scales.end(), [](const AxisScale& a, const AxisScale& b) {
        return a.ticks != b.ticks ? a.ticks > b.ticks : a.max - a.min < b.max - b.min;
    });
    return scales;
}

// The scale of an axis whose labels each fit their share of the `room`
// (pixels along the axis) that the plot has, measured with the axis's font,
// with a digit's width between two labels side by side and a quarter line
// between two above each other: the most ticks that fit, in the form that
// reads them apart; where none fit, or the axis is squeezed, the ends of the
// tightest bounds in the shortest form. Without room (nothing laid out yet),
// the axis's own choice for five ticks.
AxisScale Chart2D::Impl::scaleFor(const QValueAxis* axis, double room)
{
    const auto [lo, hi] = spanOf(axis);
    double from = 0, to = 1;
    fitRange(lo, hi, from, to);
    const QList<AxisScale> scales = axisScales(from, to);
    const QLocale locale = chart->locale();
    const QFontMetricsF metrics(axis->labelsFont());
    const bool across = axis == axisX;
    const auto fits = [&](const AxisScale& s) {
        const double share = room / s.ticks;
        if (!across)
            return metrics.height() * 1.25 <= share;
        double widest = 0;
        for (const QString& text : labelTexts(tickValues(s.min, s.max, s.ticks), s.form, locale))
            widest = std::max(widest, metrics.horizontalAdvance(text));
        return widest + metrics.horizontalAdvance(QLatin1Char('0')) <= share;
    };
    if (!(room > 0)) {
        AxisScale first = scales.first();
        first.form = distinctLabelForm(first.min, first.max, first.ticks, locale);
        return first;
    }
    if (!shortOf(axis)) {
        for (AxisScale s : scales) {
            s.form = distinctLabelForm(s.min, s.max, s.ticks, locale);
            if (fits(s))
                return s;
        }
    }
    AxisScale ends = *std::find_if(scales.begin(), scales.end(),
                                   [&scales](const AxisScale& s) { return s.ticks == scales.last().ticks; });
    ends.form = distinctLabelForm(ends.min, ends.max, ends.ticks, locale, true);
    return ends;
}

// The scale for the room, set only where it differs; true when the axis
// changed.
bool Chart2D::Impl::fitAxis(QValueAxis* axis, double room)
{
    const AxisScale s = scaleFor(axis, room);
    bool moved = false;
    if (axis->min() != s.min || axis->max() != s.max) {
        axis->setRange(s.min, s.max);
        moved = true;
    }
    if (axis->tickCount() != s.ticks) {
        axis->setTickCount(s.ticks);
        moved = true;
    }
    LabelForm& shown = formOf(axis);
    if (s.form.conversion != shown.conversion || s.form.precision != shown.precision) {
        shown = s.form;
        axis->setLabelFormat(s.form.format());
        moved = true;
    }
    return moved;
}

// The ticks chosen again for the room the laid-out plot has, and the chart
// laid out again while that changes them (the labels of the Y axis take
// their width from the plot's); true when an axis changed.
bool Chart2D::Impl::fitToRoom()
{
    bool changed = false;
    shortX = shortY = false;
    for (int pass = 0; pass < 4; ++pass) {
        const QRectF plot = chart->plotArea();
        bool moved = fitAxis(axisX, plot.width());
        moved = fitAxis(axisY, plot.height()) || moved;
        // An axis that a small chart squeezes (the left one beside a long
        // legend gets less than its labels' width) has them cut all the same:
        // it takes the shortest labels.
        for (QValueAxis* axis : {axisX, axisY}) {
            if (!moved && !shortOf(axis) && !drawnWhole(axis)) {
                shortOf(axis) = true;
                moved = fitAxis(axis, axis == axisX ? plot.width() : plot.height());
            }
        }
        if (!moved)
            break;
        changed = true;
        if (QGraphicsLayout* layout = chart->layout())
            layout->activate();
    }
    if (changed)
        view->viewport()->update();
    fittedPlot = chart->plotArea();
    return changed;
}

// Whether every label of an axis is drawn, and drawn whole.
bool Chart2D::Impl::drawnWhole(const QValueAxis* axis)
{
    QStringList missing =
        labelTexts(tickValues(axis->min(), axis->max(), axis->tickCount()), formOf(axis), chart->locale());
    for (QGraphicsItem* item : view->scene()->items()) {
        if (const auto* t = dynamic_cast<const QGraphicsTextItem*>(item); t != nullptr && t->isVisible())
            missing.removeAll(t->toPlainText());
    }
    return missing.isEmpty();
}

void Chart2D::Impl::refitIfResized()
{
    if (chart->plotArea() != fittedPlot)
        fitToRoom();
}

void Chart2D::Impl::refreshData()
{
    syncSeriesCount();
    double xlo = std::numeric_limits<double>::infinity(), xhi = -xlo;
    double ylo = xlo, yhi = -xlo;
    for (int p = 0; p < numPoints && p < x.size(); ++p) {
        if (std::isfinite(x[p])) {
            xlo = std::min(xlo, x[p]);
            xhi = std::max(xhi, x[p]);
        }
    }
    QList<QList<QPointF>> points(numSeries);
    for (int s = 0; s < numSeries; ++s) {
        points[s].reserve(numPoints);
        for (int p = 0; p < numPoints; ++p) {
            const double px = p < x.size() ? x[p] : 0.0;
            const double py = valueAt(s, p);
            if (!std::isfinite(px) || !std::isfinite(py))
                continue;
            points[s].append(QPointF(px, py));
            ylo = std::min(ylo, py);
            yhi = std::max(yhi, py);
        }
    }
    // The axes first: every change of an axis lays out every line again.
    spanX = {xlo, xhi};
    spanY = {ylo, yhi};
    const QRectF plot = chart->plotArea();
    bool moved = fitAxis(axisX, plot.width());
    moved = fitAxis(axisY, plot.height()) || moved;
    for (int s = 0; s < numSeries; ++s) {
        // A line keeps the list it was given: comparing costs no copy.
        if (lines[s]->points() == points[s])
            continue;
        lines[s]->replace(points[s]);
    }
    // The crosshair is drawn over the plot on the axes' scale.
    if (moved)
        view->viewport()->update();
}

void Chart2D::Impl::refreshLabels()
{
    for (int s = 0; s < static_cast<int>(lines.size()); ++s) {
        const QString label = s < labels.size() ? labels.at(s) : QString();
        if (lines[s]->name() == label)
            continue;
        lines[s]->setName(label);
        for (QLegendMarker* m : chart->legend()->markers(lines[s]))
            m->setVisible(!label.isEmpty());
    }
}

void Chart2D::Impl::refreshStyles()
{
    for (int s = 0; s < static_cast<int>(lines.size()); ++s) {
        const Style& st = style(s + 1);
        QPen pen(st.color);
        pen.setWidth(st.width);
        if (lines[s]->pen() != pen)
            lines[s]->setPen(pen);
        if (lines[s]->pointsVisible() != (st.shape != 0))
            lines[s]->setPointsVisible(st.shape != 0);
    }
}

QPointF Chart2D::Impl::chartPointOf(const QPoint& pixel) const
{
    const QPoint inView = pixel - view->geometry().topLeft();
    return chart->mapFromScene(view->mapToScene(inView));
}

Chart2D::Chart2D(QWidget* parent) : QWidget(parent), d(std::make_unique<Impl>())
{
    d->q = this;
    setMouseTracking(true);
    setAutoFillBackground(true);
    d->chart = new QChart();
    d->chart->setLocalizeNumbers(true);
    d->chart->legend()->setAlignment(Qt::AlignRight);
    d->chart->setBackgroundRoundness(0);
    d->chart->setMargins(QMargins(4, 4, 4, 4));
    // Axis labels carry no group separators: a tick of ten million must fit
    // the room a narrow chart leaves it.
    QLocale labels = d->chart->locale();
    labels.setNumberOptions(labels.numberOptions() | QLocale::OmitGroupSeparator);
    d->chart->setLocale(labels);
    d->axisX = new QValueAxis(d->chart);
    d->axisY = new QValueAxis(d->chart);
    d->axisX->setLabelFormat(d->formX.format());
    d->axisY->setLabelFormat(d->formY.format());
    d->chart->addAxis(d->axisX, Qt::AlignBottom);
    d->chart->addAxis(d->axisY, Qt::AlignLeft);
    // A plot given another size (the control resized, a longer legend)
    // gets the ticks that fit it, once its layout is done.
    connect(d->chart, &QChart::plotAreaChanged, this, [this] { d->refitIfResized(); }, Qt::QueuedConnection);
    d->view = new Impl::View(d->chart, d.get(), this);
    d->view->setObjectName(QStringLiteral("chartArea"));
    d->area = rect();
    d->view->setGeometry(d->area);
}

Chart2D::~Chart2D() = default;

void Chart2D::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    emit MouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

void Chart2D::setBatched(bool on)
{
    const bool was = d->batched;
    d->batched = on;
    if (was && !on)
        d->apply();
}

bool Chart2D::isBatched() const { return d->batched; }

void Chart2D::setDeferredDrawing(std::function<void()> draw) { d->deferred = std::move(draw); }

void Chart2D::setNumSeries(int count)
{
    d->numSeries = std::max(0, count);
    d->changed(Impl::Data);
}

int Chart2D::numSeries() const
{
    d->settle();
    return d->numSeries;
}

void Chart2D::setNumPoints(int count)
{
    d->numPoints = std::max(0, count);
    d->changed(Impl::Data);
}

int Chart2D::numPoints() const
{
    d->settle();
    return d->numPoints;
}

void Chart2D::setXValues(std::span<const double> x)
{
    d->x = QList<double>(x.begin(), x.end());
    d->changed(Impl::Data);
}

QList<double> Chart2D::xValues() const
{
    d->settle();
    return d->x.mid(0, d->numPoints);
}

void Chart2D::setValues(std::span<const double> table, int series)
{
    d->table.assign(table.begin(), table.end());
    d->tableSeries = std::max(0, series);
    d->changed(Impl::Data);
}

double Chart2D::value(int series, int point) const
{
    d->settle();
    if (series < 1 || series > d->numSeries || point < 0 || point >= d->numPoints)
        return 0.0;
    return d->valueAt(series - 1, point);
}

int Chart2D::drawnPointCount(int series) const
{
    d->settle();
    if (series < 1 || series > d->lines.size())
        return 0;
    return static_cast<int>(d->lines.at(series - 1)->count());
}

void Chart2D::removeAllSeriesLabels()
{
    d->labels.clear();
    d->changed(Impl::Labels);
}

void Chart2D::addSeriesLabel(const QString& label)
{
    d->labels.append(label);
    d->changed(Impl::Labels);
}

QStringList Chart2D::seriesLabels() const
{
    d->settle();
    return d->labels;
}

int Chart2D::numStyles() const
{
    d->settle();
    return std::max(static_cast<int>(d->styles.size()), d->numSeries);
}

void Chart2D::setLineColor(int style, const QColor& color)
{
    if (style < 1)
        return;
    d->style(style).color = color;
    d->changed(Impl::Styles);
}

QColor Chart2D::lineColor(int style) const
{
    d->settle();
    return style >= 1 ? d->style(style).color : QColor();
}

void Chart2D::setLineWidth(int style, int width)
{
    if (style < 1)
        return;
    d->style(style).width = std::clamp(width, 0, 100);
    d->changed(Impl::Styles);
}

int Chart2D::lineWidth(int style) const
{
    d->settle();
    return style >= 1 ? d->style(style).width : 0;
}

void Chart2D::setPointShape(int style, int shape)
{
    if (style < 1)
        return;
    d->style(style).shape = shape;
    d->changed(Impl::Styles);
}

int Chart2D::pointShape(int style) const
{
    d->settle();
    return style >= 1 ? d->style(style).shape : 0;
}

void Chart2D::setAxisTitle(char axis, const QString& title)
{
    QValueAxis* a = axis == 'X' || axis == 'x' ? d->axisX : d->axisY;
    if (a->titleText() != title)
        a->setTitleText(title);
}

QString Chart2D::axisTitle(char axis) const
{
    d->settle();
    return (axis == 'X' || axis == 'x' ? d->axisX : d->axisY)->titleText();
}

std::pair<double, double> Chart2D::axisRange(char axis) const
{
    d->settle();
    const QValueAxis* a = axis == 'X' || axis == 'x' ? d->axisX : d->axisY;
    return {a->min(), a->max()};
}

QStringList Chart2D::axisLabels(char axis) const
{
    d->settle();
    const QValueAxis* a = axis == 'X' || axis == 'x' ? d->axisX : d->axisY;
    return labelTexts(tickValues(a->min(), a->max(), a->tickCount()), d->formOf(a), d->chart->locale());
}

void Chart2D::setChartAreaLocation(const QRect& pixels)
{
    d->area = QRect(pixels.topLeft(), pixels.size().expandedTo(QSize(1, 1)));
    if (d->view->geometry() != d->area)
        d->view->setGeometry(d->area);
}

QRect Chart2D::chartAreaLocation() const
{
    d->settle();
    return d->area;
}

void Chart2D::setBackgroundColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    d->chart->setBackgroundBrush(color);
    d->view->setBackgroundBrush(color);
}

bool Chart2D::dataCoordinates(const QPoint& pixel, double& x, double& y) const
{
    d->settle();
    x = OutsideValue;
    y = OutsideValue;
    const QRectF plot = d->chart->plotArea();
    const QPointF at = d->chartPointOf(pixel);
    if (d->numSeries == 0 || plot.isEmpty() || !d->view->geometry().contains(pixel) || !plot.contains(at))
        return false;
    const QValueAxis* ax = d->axisX;
    const QValueAxis* ay = d->axisY;
    x = ax->min() + (at.x() - plot.left()) / plot.width() * (ax->max() - ax->min());
    y = ay->min() + (plot.bottom() - at.y()) / plot.height() * (ay->max() - ay->min());
    return true;
}

QPoint Chart2D::pixelOf(double x, double y) const
{
    d->settle();
    const QPointF scene = d->chart->mapToScene(d->plotPointOf(x, y));
    return d->view->mapFromScene(scene) + d->view->geometry().topLeft();
}

void Chart2D::setMarkerX(double x)
{
    if (d->markerX == x)
        return;
    d->markerX = x;
    d->view->viewport()->update();
}

void Chart2D::setMarkerY(double y)
{
    if (d->markerY == y)
        return;
    d->markerY = y;
    d->view->viewport()->update();
}

double Chart2D::markerX() const
{
    d->settle();
    return d->markerX;
}

double Chart2D::markerY() const
{
    d->settle();
    return d->markerY;
}

} // namespace tw::platform
