#pragma once
// A band container across the top of a window (the rebar): each band holds
// one child window (the menu bar, a toolbar) and carries a data text. Bands
// sit side by side in one row while they fit and wrap onto further rows when
// the window is too narrow; the bar's height follows, and every change of it
// is announced with HeightChanged.

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace tw::platform {

class ReBar : public QWidget {
    Q_OBJECT
public:
    explicit ReBar(QWidget* parent = nullptr);

    // Adds a band holding `child` at the end; returns its number (from 1).
    int AddBandByHwnd(QWidget* child, const QString& text = {}, bool breakLine = false, bool fixedSize = false,
                      const QString& data = {});
    int BandCount() const { return static_cast<int>(m_bands.size()); }
    QString BandData(int band) const;
    QWidget* BandChild(int band) const;

    // Lays the bands out for the current width.
    void RebarSize();
    // The height the bands need, in pixels.
    int RebarHeight() const { return m_height; }

    // Clean-up before the window goes: the bands give their children back
    // and the bar forgets them.
    void RemoveAllRebarBands();
    void DestroyRebar();

    QSize sizeHint() const override;
    // The narrowest the bar may be with every band whole (the widest band),
    // and the height of its rows at that width.
    QSize minimumSizeHint() const override;

signals:
    void HeightChanged(int heightPixels);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Band {
        QPointer<QWidget> child;
        QString text;
        bool breakLine = false;
        bool fixedSize = false;
        QString data;
    };
    int layoutBands(int width, bool apply) const;

    QList<Band> m_bands;
    int m_height = 0;
};

} // namespace tw::platform
