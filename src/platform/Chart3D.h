#pragma once
// Our 3-D chart control: one surface over a grid of rows by columns, with
// labelled row and column axes, a titled value axis, a view that turns with
// the mouse, two colourings (plain, or by height: "zones"), and a question
// for what lies under a pixel. Drawn with Qt Data Visualization on OpenGL;
// where the display offers no OpenGL the control says so in its own area and
// keeps everything it is given, so the window around it works the same.
//
// Axes by the control's names: X runs along the grid rows, Y along the grid
// columns, Z is the value.
//
// Drawing is kept cheap for software OpenGL: a new surface changes the values
// of the one surface in place, only what changed is handed on, and the frame
// is drawn at once when the batch ends (or at each change outside a batch).
// Under a software renderer the surface is drawn without multisampling.
// A renderer's first surface costs it far more than any later one (Mesa's
// llvmpipe compiles its shaders then); Mesa keeps them in its disk cache for
// the program's later runs, so nothing is drawn ahead of the first surface
// asked for.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class QWindow;

namespace tw::platform {

// What lies under a pixel: either nothing of the surface, or the grid point
// nearest to it (row and column counted from 1) with its value.
struct Chart3DPoint {
    bool onSurface = false;
    int row = 0;
    int column = 0;
    double value = 0;
};

// The four view values: the perspective (kept, not drawn), the elevation of
// the viewpoint in degrees (90 looks straight down, as a map without
// perspective), and two turns about the vertical axis in degrees that add up
// (an azimuth and a rotation). Every view set from code shows the whole
// surface with its labels inside the control, whatever its size.
struct Chart3DView {
    double perspective = 2.5;
    double elevation = 20;
    double azimuth = 0;
    double rotation = 45;
};

// A scale of the whole view (1: the surface and its labels fill the control)
// and two offsets of its centre (0: centred).
struct Chart3DPlacement {
    double scale = 1.0;
    double offsetX = 0;
    double offsetY = 0;
};

class Chart3D : public QWidget {
    Q_OBJECT
public:
    enum Axis { AxisX, AxisY, AxisZ };

    explicit Chart3D(QWidget* parent = nullptr);
    ~Chart3D() override;

    // Whether this display can draw the surface (asked once: the "offscreen"
    // and "minimal" platforms never can; others must give an OpenGL context).
    static bool openGLAvailable();
    // Whether that OpenGL is drawn by the processor (Mesa's llvmpipe...).
    static bool softwareOpenGL();
    // Whether this control draws (false: it shows the OpenGL message).
    bool drawing() const;
    // The message shown in place of the surface without OpenGL.
    static QString noOpenGLText();

    // Batch (hold redraw): while on, changes are kept and drawn together when
    // it is switched off.
    void setIsBatched(bool on);
    bool isBatched() const { return m_batched; }

    // The grid; a new size starts as zeros. 0 x 0 empties the chart.
    void setGridSize(int rows, int columns);
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    // All values, row by row (rows x columns of them; missing ones are 0).
    void setValues(const std::vector<double>& rowMajor);
    double value(int row, int column) const; // 0-based
    // The values the drawn surface holds, row by row as setValues takes
    // them, read back from the graph at each point's grid place (NaN where
    // it holds none; empty without OpenGL).
    std::vector<double> drawnValues() const;
    // The number of points the drawn surface holds (0 without OpenGL).
    int drawnPointCount() const;

    // Labels of the X (rows) and Y (columns) axes, one a grid line in order;
    // empty ones are not drawn.
    void clearLabels(Axis axis);
    void addLabel(Axis axis, const QString& text);
    QStringList labels(Axis axis) const;
    // The labels the value axis shows now, from its lowest value up (empty
    // without OpenGL).
    QStringList valueLabels() const;
    void setAxisTitle(Axis axis, const QString& title);
    QString axisTitle(Axis axis) const;

    void setView(const Chart3DView& view);
    // The view last set.
    Chart3DView view() const { return m_view; }
    // Where the viewpoint is now, after the user turned it: its elevation and
    // its whole turn (as the azimuth, rotation 0).
    Chart3DView currentView() const;
    void setPlacement(const Chart3DPlacement& placement);
    Chart3DPlacement placement() const { return m_placement; }
    // Colours the surface by height (zones) or in one colour with its mesh.
    void setZoneColouring(bool on);
    bool zoneColouring() const { return m_zones; }

    // Asks what lies under the pixel (in this control's coordinates); the
    // answer comes with pointAnswered once the surface has been drawn for it
    // (at once, off the surface, when the control does not draw).
    void queryPoint(const QPoint& pixel);

    // The window the surface is drawn in (null without OpenGL): mouse input
    // goes there.
    QWindow* drawingWindow() const;
    // Keeps a strip of this many pixels at the bottom free of the drawing
    // (controls laid over the chart go there).
    void setReservedBottom(int pixels);
    // The picture the drawing window shows now, drawn once more off screen
    // (null without OpenGL).
    QImage renderedImage() const;

signals:
    // Every mouse move over the chart, with the buttons held.
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pixel);
    void pointAnswered(const tw::platform::Chart3DPoint& point);

private:
    // What changed since the surface last got it.
    enum Change { TitlesChanged = 1, LabelsChanged = 2, ValuesChanged = 4, AllChanged = 7 };
    void changed(int what);
    void push();
    void applyCamera();

    struct Surface;
    std::unique_ptr<Surface> m_surface; // null without OpenGL
    int m_changes = AllChanged;
    bool m_batched = false;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<double> m_values;
    QStringList m_labels[2];
    QString m_titles[3];
    Chart3DView m_view;
    Chart3DPlacement m_placement;
    bool m_zones = false;
};

} // namespace tw::platform
