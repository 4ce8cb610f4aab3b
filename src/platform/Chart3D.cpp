#include "platform/Chart3D.h"

#include "platform/NumberText.h"

#include <QGuiApplication>
#include <QScopeGuard>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DInputHandler>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <QtDataVisualization/QValue3DAxisFormatter>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace tw::platform {

namespace {

// Labels of a grid axis: one text a grid line (index 0, 1, ...), grid lines
// drawn where a label is.
class IndexLabels : public QValue3DAxisFormatter {
public:
    explicit IndexLabels(QObject* parent = nullptr) : QValue3DAxisFormatter(parent) {}

    void setTexts(const QStringList& texts)
    {
        if (texts == m_texts)
            return;
        m_texts = texts;
        markDirty(true);
    }

protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new IndexLabels; }

    void populateCopy(QValue3DAxisFormatter& copy) const override
    {
        QValue3DAxisFormatter::populateCopy(copy);
        static_cast<IndexLabels&>(copy).m_texts = m_texts;
    }

    void recalculate() override
    {
        gridPositions().clear();
        subGridPositions().clear();
        labelPositions().clear();
        labelStrings().clear();
        const float low = axis()->min();
        const float span = axis()->max() - low;
        if (span <= 0)
            return;
        for (int i = 0; i < m_texts.size(); ++i) {
            if (m_texts[i].isEmpty())
                continue;
            const float at = (float(i) - low) / span;
            if (at < 0 || at > 1)
                continue;
            gridPositions().append(at);
            labelPositions().append(at);
            labelStrings().append(m_texts[i]);
        }
    }

private:
    QStringList m_texts;
};

// Labels of the value axis as the library writes them, except that one that
// reads as zero carries no sign.
class ValueLabels : public QValue3DAxisFormatter {
public:
    explicit ValueLabels(QObject* parent = nullptr) : QValue3DAxisFormatter(parent) {}

protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new ValueLabels; }

    QString stringForValue(qreal value, const QString& format) const override
    {
        return withoutSignedZero(QValue3DAxisFormatter::stringForValue(value, format));
    }
};

// The mouse over the surface: every move is reported (the window reads out
// what lies under it); the left or the right button held turns the view, the
// wheel zooms. A click selects nothing by itself: the read-out asks.
class SurfaceInput : public Q3DInputHandler {
public:
    explicit SurfaceInput(Chart3D* chart) : Q3DInputHandler(chart), m_chart(chart)
    {
        setSelectionEnabled(false);
        setZoomAtTargetEnabled(false);
    }

    void mousePressEvent(QMouseEvent* event, const QPoint& mousePos) override
    {
        if (event->button() != Qt::LeftButton) {
            Q3DInputHandler::mousePressEvent(event, mousePos);
            return;
        }
        // The left button turns the view as the right one does.
        QMouseEvent turn(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                         Qt::RightButton, Qt::RightButton, event->modifiers());
        Q3DInputHandler::mousePressEvent(&turn, mousePos);
    }

    void mouseMoveEvent(QMouseEvent* event, const QPoint& mousePos) override
    {
        Q3DInputHandler::mouseMoveEvent(event, mousePos);
        emit m_chart->mouseMoved(event->buttons(), event->modifiers(), mousePos);
    }

private:
    Chart3D* m_chart;
};

QColor rgb(unsigned v)
{
    return QColor::fromRgb(v);
}

// Mesa's software rasteriser splits every frame among a thread a core and
// waits for the slowest; on a busy machine a small frame then waits far
// longer than it takes to draw on the drawing thread itself. The rasteriser
// reads its setting when the first OpenGL context of the display is made:
// it is set for that moment only (programs started later get the
// environment as it was), and a choice of the user's stands.
auto rasteriseOnTheDrawingThread()
{
    static const char* const kThreads = "LP_NUM_THREADS";
    const bool chosen = qEnvironmentVariableIsSet(kThreads);
    if (!chosen)
        qputenv(kThreads, "0");
    return qScopeGuard([chosen] {
        if (!chosen)
            qunsetenv(kThreads);
    });
}

bool isSoftwareRenderer(const char* renderer)
{
    const QByteArray name = QByteArray(renderer).toLower();
    for (const char* software : {"llvmpipe", "softpipe", "software", "swrast", "swr"}) {
        if (name.contains(software))
            return true;
    }
    return false;
}

// The library's own format (multisampled) on a graphics processor; without
// multisampling, which multiplies the work of every pixel, where the
// processor draws them.
Q3DSurface* newGraph()
{
    if (!Chart3D::softwareOpenGL())
        return new Q3DSurface;
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSamples(0);
    return new Q3DSurface(&format);
}

// Where the camera stands so that the whole surface with its labels lies
// inside the drawing, for a view's elevation: the zoom (percent) and the
// point looked at (graph coordinates, -1..1). The library scales the scene
// to the drawing's height down to a width of 1.6 heights and to its width
// below, so what fits at that shape fits at every size; the values leave a
// margin for value labels of up to ten characters. Elevations between the
// rows take values in between.
struct CameraFit {
    double elevation;
    double zoom;
    double targetY; // up the value axis: lower shows the picture higher
    double targetZ; // along the date axis: what straight down is up and down
};
constexpr CameraFit kCameraFits[] = {
    {0, 85, -0.9, 0},
    {20, 85, -0.9, 0},
    {45, 70, -0.8, 0},
    {90, 72.5, 0, -0.25},
};

CameraFit cameraFit(double elevation)
{
    const CameraFit* lower = std::begin(kCameraFits);
    for (const CameraFit& fit : kCameraFits) {
        if (fit.elevation <= elevation)
            lower = &fit;
    }
    const CameraFit* upper = lower + 1 == std::end(kCameraFits) ? lower : lower + 1;
    if (upper == lower)
        return *lower;
    const double t = (elevation - lower->elevation) / (upper->elevation - lower->elevation);
    const auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return {elevation, mix(lower->zoom, upper->zoom), mix(lower->targetY, upper->targetY),
            mix(lower->targetZ, upper->targetZ)};
}

} // namespace

struct Chart3D::Surface {
    Q3DSurface* graph = nullptr; // owned by the container
    QWidget* container = nullptr;
    QSurface3DSeries* series = nullptr;
    QValue3DAxis* axisX = nullptr; // the control's X: grid rows
    QValue3DAxis* axisY = nullptr; // the control's Y: grid columns
    QValue3DAxis* axisZ = nullptr; // the control's Z: values
    IndexLabels* labelsX = nullptr;
    IndexLabels* labelsY = nullptr;
    // The proxy's array, whose values change in place while the grid keeps
    // its size.
    QSurfaceDataArray* data = nullptr;
    double zonesZero = -1; // where the zones' gradient has its break-even
};

Chart3D::Chart3D(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!openGLAvailable()) {
        auto* message = new QLabel(noOpenGLText(), this);
        message->setObjectName(QStringLiteral("noOpenGL"));
        message->setAlignment(Qt::AlignCenter);
        message->setWordWrap(true);
        message->setMargin(20);
        layout->addWidget(message);
        return;
    }
    // The strip kept free at the bottom shows the chart's background.
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, rgb(0xFFFFFF));
    setPalette(white);
    m_surface = std::make_unique<Surface>();
    Surface& s = *m_surface;
    s.graph = newGraph();
    s.graph->activeTheme()->setType(Q3DTheme::ThemeQt);
    s.graph->activeTheme()->setBackgroundEnabled(false);
    s.graph->activeTheme()->setWindowColor(rgb(0xFFFFFF));
    s.graph->activeTheme()->setLabelBackgroundEnabled(false);
    s.graph->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    s.graph->setSelectionMode(QAbstract3DGraph::SelectionItem);
    // Q3DSurface lays the data rows along its depth axis and the points of a
    // row along its width: the grid's columns (dates) become data rows and
    // the grid's rows (prices) run across the view.
    s.axisX = new QValue3DAxis;
    s.axisY = new QValue3DAxis;
    s.axisZ = new QValue3DAxis;
    s.labelsX = new IndexLabels;
    s.labelsY = new IndexLabels;
    s.axisX->setFormatter(s.labelsX);
    s.axisY->setFormatter(s.labelsY);
    s.axisZ->setLabelFormat(QStringLiteral("%.2f"));
    s.axisZ->setFormatter(new ValueLabels);
    for (QValue3DAxis* axis : {s.axisX, s.axisY, s.axisZ})
        axis->setTitleVisible(true);
    s.graph->setAxisX(s.axisX);
    s.graph->setAxisZ(s.axisY);
    s.graph->setAxisY(s.axisZ);
    s.series = new QSurface3DSeries;
    s.series->setItemLabelVisible(false);
    s.series->setMeshSmooth(true);
    s.graph->addSeries(s.series);
    s.graph->setActiveInputHandler(new SurfaceInput(this));
    connect(s.series, &QSurface3DSeries::selectedPointChanged, this, [this](const QPoint& p) {
        Chart3DPoint answer;
        if (p != QSurface3DSeries::invalidSelectionPosition()) {
            answer.onSurface = true;
            answer.row = p.y() + 1;    // the point's place in its data row: the grid row
            answer.column = p.x() + 1; // its data row: the grid column
            answer.value = value(answer.row - 1, answer.column - 1);
        }
        emit pointAnswered(answer);
    });
    s.container = QWidget::createWindowContainer(s.graph, this);
    s.container->setObjectName(QStringLiteral("surface"));
    s.container->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(s.container);
    setZoneColouring(false);
    setView(m_view);
    push();
}

int Chart3D::drawnPointCount() const
{
    if (m_surface == nullptr)
        return 0;
    const QSurfaceDataArray* rows = m_surface->series->dataProxy()->array();
    int n = 0;
    if (rows != nullptr) {
        for (const QSurfaceDataRow* row : *rows)
            n += static_cast<int>(row->size());
    }
    return n;
}

Chart3D::~Chart3D() = default;

namespace {
bool g_softwareOpenGL = false;
}

bool Chart3D::softwareOpenGL()
{
    return openGLAvailable() && g_softwareOpenGL;
}

bool Chart3D::openGLAvailable()
{
    static const bool available = [] {
        const QString platform = QGuiApplication::platformName();
        if (platform.isEmpty() || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
            return false;
        const auto threads = rasteriseOnTheDrawingThread();
        QOpenGLContext context;
        QSurfaceFormat format = QSurfaceFormat::defaultFormat();
        format.setDepthBufferSize(24);
        context.setFormat(format);
        if (!context.create())
            return false;
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        if (!surface.isValid() || !context.makeCurrent(&surface))
            return false;
        // The surface is drawn with OpenGL 2.1 or OpenGL ES 2.
        QOpenGLFunctions* gl = context.functions();
        const bool ok = gl->glGetString(GL_VERSION) != nullptr && context.format().majorVersion() >= 2;
        if (ok)
            g_softwareOpenGL = isSoftwareRenderer(reinterpret_cast<const char*>(gl->glGetString(GL_RENDERER)));
        context.doneCurrent();
        return ok;
    }();
    return available;
}

bool Chart3D::drawing() const
{
    return m_surface != nullptr;
}

QString Chart3D::noOpenGLText()
{
    return QStringLiteral("The 3-D view needs OpenGL, which this display does not offer.\n"
                          "The other windows work as usual.");
}

void Chart3D::setIsBatched(bool on)
{
    const bool was = m_batched;
    m_batched = on;
    if (was && !on)
        push();
}

void Chart3D::changed(int what)
{
    m_changes |= what;
    if (!m_batched)
        push();
}

void Chart3D::setGridSize(int rows, int columns)
{
    m_rows = std::max(0, rows);
    m_columns = std::max(0, columns);
    m_values.assign(static_cast<size_t>(m_rows) * m_columns, 0.0);
    changed(ValuesChanged);
}

void Chart3D::setValues(const std::vector<double>& rowMajor)
{
    const size_t n = std::min(m_values.size(), rowMajor.size());
    std::copy_n(rowMajor.begin(), n, m_values.begin());
    std::fill(m_values.begin() + static_cast<std::ptrdiff_t>(n), m_values.end(), 0.0);
    changed(ValuesChanged);
}

double Chart3D::value(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return 0;
    return m_values[static_cast<size_t>(row) * m_columns + column];
}

std::vector<double> Chart3D::drawnValues() const
{
    if (m_surface == nullptr)
        return {};
    std::vector<double> drawn(m_values.size(), std::nan(""));
    const QSurfaceDataArray* rows = m_surface->series->dataProxy()->array();
    if (rows == nullptr)
        return drawn;
    for (const QSurfaceDataRow* row : *rows) {
        for (const QSurfaceDataItem& item : *row) {
            const long i = std::lround(item.x());
            const long j = std::lround(item.z());
            if (i >= 0 && i < m_rows && j >= 0 && j < m_columns)
                drawn[static_cast<size_t>(i) * m_columns + j] = item.y();
        }
    }
    return drawn;
}

void Chart3D::clearLabels(Axis axis)
{
    if (axis == AxisZ)
        return;
    m_labels[axis].clear();
    changed(LabelsChanged);
}

void Chart3D::addLabel(Axis axis, const QString& text)
{
    if (axis == AxisZ)
        return;
    m_labels[axis].append(text);
    changed(LabelsChanged);
}

QStringList Chart3D::labels(Axis axis) const
{
    return axis == AxisZ ? QStringList() : m_labels[axis];
}

QStringList Chart3D::valueLabels() const
{
    return m_surface == nullptr ? QStringList() : m_surface->axisZ->labels();
}

void Chart3D::setAxisTitle(Axis axis, const QString& title)
{
    if (m_titles[axis] == title)
        return;
    m_titles[axis] = title;
    changed(TitlesChanged);
}

QString Chart3D::axisTitle(Axis axis) const
{
    return m_titles[axis];
}

void Chart3D::setView(const Chart3DView& view)
{
    m_view = view;
    applyCamera();
}

void Chart3D::applyCamera()
{
    if (m_surface == nullptr)
        return;
    const double turn = std::fmod(m_view.azimuth + m_view.rotation, 360.0);
    const double elevation = std::clamp(m_view.elevation, 0.0, 90.0);
    const CameraFit fit = cameraFit(elevation);
    Q3DCamera* camera = m_surface->graph->scene()->activeCamera();
    camera->setCameraPosition(float(turn), float(elevation), float(fit.zoom * m_placement.scale));
    camera->setTarget(QVector3D(float(m_placement.offsetX), float(fit.targetY + m_placement.offsetY),
                                float(fit.targetZ)));
    // Straight down the surface reads as a map: no perspective.
    m_surface->graph->setOrthoProjection(elevation >= 90.0);
}

Chart3DView Chart3D::currentView() const
{
    if (m_surface == nullptr)
        return m_view;
    const Q3DCamera* camera = m_surface->graph->scene()->activeCamera();
    return {m_view.perspective, camera->yRotation(), camera->xRotation(), 0};
}

QWindow* Chart3D::drawingWindow() const
{
    return m_surface == nullptr ? nullptr : m_surface->graph;
}

void Chart3D::setPlacement(const Chart3DPlacement& placement)
{
    m_placement = placement;
    applyCamera();
}

void Chart3D::setReservedBottom(int pixels)
{
    layout()->setContentsMargins(0, 0, 0, std::max(0, pixels));
}

QImage Chart3D::renderedImage() const
{
    if (m_surface == nullptr)
        return {};
    const QWindow* window = m_surface->graph;
    return m_surface->graph->renderToImage(0, window->size() * window->devicePixelRatio());
}

void Chart3D::setZoneColouring(bool on)
{
    m_zones = on;
    if (m_surface == nullptr)
        return;
    // Only the look changes: the zones' gradient goes with every push of the
    // values, so the series already holds the one of the values shown.
    QSurface3DSeries* series = m_surface->series;
    if (on) {
        series->setDrawMode(QSurface3DSeries::DrawSurface);
        series->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
    } else {
        series->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
        series->setColorStyle(Q3DTheme::ColorStyleUniform);
        series->setBaseColor(rgb(0x4F8FC0));
        series->setWireframeColor(rgb(0x1F4F7A));
    }
}

void Chart3D::queryPoint(const QPoint& pixel)
{
    if (m_surface == nullptr || m_rows == 0 || m_columns == 0) {
        emit pointAnswered(Chart3DPoint());
        return;
    }
    m_surface->graph->scene()->setSelectionQueryPosition(pixel);
}

void Chart3D::push()
{
    const int changes = std::exchange(m_changes, 0);
    if (m_surface == nullptr || changes == 0)
        return;
    Surface& s = *m_surface;
    if (changes & TitlesChanged) {
        s.axisX->setTitle(m_titles[AxisX]);
        s.axisY->setTitle(m_titles[AxisY]);
        s.axisZ->setTitle(m_titles[AxisZ]);
    }
    if (changes & LabelsChanged) {
        s.labelsX->setTexts(m_labels[AxisX]);
        s.labelsY->setTexts(m_labels[AxisY]);
    }
    if (changes & ValuesChanged) {
        s.axisX->setRange(0, float(std::max(1, m_rows - 1)));
        s.axisY->setRange(0, float(std::max(1, m_columns - 1)));
        double low = 0;
        double high = 0;
        if (!m_values.empty()) {
            const auto [mn, mx] = std::minmax_element(m_values.begin(), m_values.end());
            low = *mn;
            high = *mx;
        }
        if (!(high > low)) {
            low -= 1;
            high += 1;
        }
        s.axisZ->setRange(float(low), float(high));
        // Zones: losses red, the break-even yellow, profits green.
        const double zero = std::clamp(-low / (high - low), 0.0, 1.0);
        if (zero != s.zonesZero) {
            s.zonesZero = zero;
            QLinearGradient zones(0, 0, 1, 100);
            zones.setColorAt(0.0, rgb(zero > 0 ? 0xB03A2E : 0xF4D03F));
            zones.setColorAt(zero, rgb(0xF4D03F));
            zones.setColorAt(1.0, rgb(zero < 1 ? 0x1E8449 : 0xF4D03F));
            s.series->setBaseGradient(zones);
        }
        // Data rows are grid columns; each holds one point per grid row.
        QSurfaceDataProxy* proxy = s.series->dataProxy();
        const bool sameShape = s.data != nullptr && proxy->array() == s.data && s.data->size() == m_columns
            && (m_columns == 0 || s.data->constFirst()->size() == m_rows);
        if (sameShape) {
            for (int j = 0; j < m_columns; ++j) {
                QSurfaceDataRow& row = *(*s.data)[j];
                for (int i = 0; i < m_rows; ++i)
                    row[i].setY(float(value(i, j)));
            }
        } else {
            s.data = new QSurfaceDataArray;
            s.data->reserve(m_columns);
            for (int j = 0; j < m_columns; ++j) {
                auto* row = new QSurfaceDataRow(m_rows);
                for (int i = 0; i < m_rows; ++i)
                    (*row)[i].setPosition(QVector3D(float(i), float(value(i, j)), float(j)));
                s.data->append(row);
            }
        }
        // The same array again only tells the series that its values changed.
        proxy->resetArray(s.data);
    }
    // The frame now, not after whatever else the event loop holds.
    QWindow* window = s.graph;
    if (window->isExposed()) {
        QCoreApplication::removePostedEvents(window, QEvent::UpdateRequest);
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window, &request);
    }
}

} // namespace tw::platform
