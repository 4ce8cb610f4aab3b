#pragma once
// The 2-D chart control: a line chart of several series over one shared set
// of X values, with a legend of series labels, two axis titles, a crosshair of
// two markers and the conversion of a pixel point to data coordinates. It
// draws on Qt Charts; no Qt Charts type appears outside this control.
//
// Series and chart styles are numbered from 1: style i gives series i its
// line colour, width and point symbol. The values of all series are loaded
// as one table, point index first. Between setBatched(true) and
// setBatched(false) every change (data, labels, styles) is only kept; leaving
// the batch shows them at once (axes scaled to the data, the chart laid out,
// so that it is painted once for them). Showing touches
// only what differs from what is shown: a series is added or removed only
// when their number changes, a line's points are replaced only when they
// changed, an axis range, a title, a label or a pen only when it changed.
//
// An owner that draws later than the changes it is told of (once per turn of
// the event loop) registers that drawing with setDeferredDrawing: every
// reader of what the control shows runs it first, so a caller that reads
// right after a change sees the change drawn.

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>
#include <utility>

namespace tw::platform {

class Chart2D : public QWidget {
    Q_OBJECT
public:
    // What dataCoordinates gives for a point outside the data area.
    static constexpr double OutsideValue = 1e308;

    explicit Chart2D(QWidget* parent = nullptr);
    ~Chart2D() override;

    // Batched updates.
    void setBatched(bool on);
    bool isBatched() const;

    // The owner's drawing that has been asked for but not made yet: a
    // function that makes it if it is still outstanding (and does nothing
    // otherwise). The readers below run it before they answer.
    void setDeferredDrawing(std::function<void()> draw);

    void setNumSeries(int count);
    int numSeries() const;
    void setNumPoints(int count);
    int numPoints() const;
    // The X values every series is drawn over (numPoints of them are used).
    void setXValues(std::span<const double> x);
    QList<double> xValues() const;
    // All values, point-major: table[p * series + s] for s of `series`
    // columns. Columns beyond numSeries are ignored, missing ones read 0.
    void setValues(std::span<const double> table, int series);
    // One value as loaded (series from 1, point from 0); 0 when absent.
    double value(int series, int point) const;
    // The number of points the drawn line of a series has (series from 1).
    int drawnPointCount(int series) const;

    // The legend's texts: label i belongs to series i.
    void removeAllSeriesLabels();
    void addSeriesLabel(const QString& label);
    QStringList seriesLabels() const;

    // Chart styles (from 1): line colour and width, point symbol (0: none).
    int numStyles() const;
    void setLineColor(int style, const QColor& color);
    QColor lineColor(int style) const;
    void setLineWidth(int style, int width);
    int lineWidth(int style) const;
    void setPointShape(int style, int shape);
    int pointShape(int style) const;

    // Axis titles; axis 'X' or 'Y'.
    void setAxisTitle(char axis, const QString& title);
    QString axisTitle(char axis) const;
    // The bounds an axis shows now: round bounds around the loaded values,
    // 0 to 1 when there are none.
    std::pair<double, double> axisRange(char axis) const;
    // The labels an axis shows now, from its lowest tick to its highest:
    // they read apart (as many decimals or digits as the range needs).
    QStringList axisLabels(char axis) const;

    // Where the chart area (axes, plot and legend) lies inside the control,
    // in pixels.
    void setChartAreaLocation(const QRect& pixels);
    QRect chartAreaLocation() const;

    void setBackgroundColor(const QColor& color);

    // The data coordinates under a pixel point of the control; both are
    // OutsideValue, and the result false, outside the data area or before
    // anything is drawn.
    bool dataCoordinates(const QPoint& pixel, double& x, double& y) const;
    // The inverse: the pixel point of the control at data (x, y).
    QPoint pixelOf(double x, double y) const;

    // The crosshair: a vertical line at data X, a horizontal one at data Y;
    // a marker outside the visible range is not drawn.
    void setMarkerX(double x);
    void setMarkerY(double y);
    double markerX() const;
    double markerY() const;

signals:
    // The pointer moved over the control (pixels of the control).
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pixel);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace tw::platform
