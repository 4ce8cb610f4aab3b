#pragma once
// Window places kept in the settings.
//
// CFormRestore saves a window's placement (its show state, minimised and
// maximised positions and its normal rectangle) under
// "<KeyName>\<window name>" and puts it back when the window is next loaded;
// a window without a saved placement can be centred on its screen instead.
//
// Its static members are the one road from the settings to a window's
// place, shared by every window of the program whatever keys it keeps its
// place under: a place read from a settings file (which anyone may have
// edited) is made finite, clamped into a sane range in 64-bit arithmetic and
// put on a screen before any window sees it, and a window saves the same
// thing that it restores (its outer rectangle in the normal state).

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

namespace tw {

class CAppSettings;

namespace platform {
struct WindowPlacement;
}

class CFormRestore {
public:
    static constexpr int32_t ErrNotInitialized = static_cast<int32_t>(0x80044499u);
    static constexpr int32_t ErrInvalidAppSettings = static_cast<int32_t>(0x8004449Au);
    static constexpr int32_t ErrInvalidKeyName = static_cast<int32_t>(0x8004449Bu);
    static constexpr int32_t ErrComponentFailure = static_cast<int32_t>(0x8004449Cu);

    void Init(CAppSettings* AppSettings, bool CenteredByDefault);
    CAppSettings* AppSettings() const { return m_settings; }
    void setAppSettings(CAppSettings* v);
    bool CenteredByDefault() const { return m_centeredByDefault; }
    void setCenteredByDefault(bool v) { m_centeredByDefault = v; }
    const QString& KeyName() const { return m_keyName; }
    void setKeyName(const QString& v);
    bool NeverStartMinimized() const { return m_neverStartMinimized; }
    void setNeverStartMinimized(bool v) { m_neverStartMinimized = v; }

    // Restores the placement saved for the window (or centres it, see
    // CenteredByDefault).
    void GetPosition(QWidget* FormObject);
    // Saves the window's placement: nine values, each the decimal text of
    // a 32-bit integer.
    void SavePosition(QWidget* FormObject);

    // The program's own windows that keep a whole placement (help, system
    // information) under "Windows settings" of the program's settings,
    // centred the first time and never brought back minimised. A placement
    // that cannot be read or written leaves the window as it is.
    static void restoreProgramWindow(QWidget* window);
    static void saveProgramWindow(QWidget* window);

    // ---- The shared checks of a place -------------------------------------

    // Coordinates and sizes beyond this many pixels are clamped to it.
    static constexpr int64_t MaxPixels = int64_t(1) << 24;

    // A place (outer rectangle, pixels) as read from the settings, made fit
    // to show: a value that is not finite, or a size that is not positive,
    // takes `fallback`'s; every value is clamped to +-MaxPixels in 64 bits;
    // the size is kept at least `minimum` and at most the work area it lands
    // on; a place that the work areas do not hold whole (one written on a
    // larger screen, or off every screen) comes whole onto the one that holds
    // most of it (the nearest, when none holds any of it). A place that a
    // work area held whole before `minimum` grew it keeps its left edge and
    // stays above that area's bottom.
    static QRect checkedPixels(double left, double top, double width, double height, const QRect& fallback,
                               const QList<QRect>& workAreas, const QSize& minimum = QSize(1, 1));
    // The same in twips, for a screen of `twipsPerPixel`.
    static QRectF checkedTwips(const QRectF& saved, const QRectF& fallback, double twipsPerPixel,
                               const QList<QRect>& workAreas, const QSize& minimum = QSize(1, 1));

    // Reads the four values of a place (twips) from `section`, each with
    // its value in `fallback` as the default.
    static QRectF readPlace(const CAppSettings& settings, const QString& section, const QStringList& keys,
                            const QRectF& fallback);
    // Puts a window at a saved place (outer rectangle, twips) after the
    // checks above, on the screens there are now. True when the window got
    // another place than the one saved (one saved on a larger screen, say).
    static bool restorePlace(QWidget* window, const QRectF& savedTwips);
    // The place to save for a window: its outer rectangle in the normal
    // state, in twips (what restorePlace puts back, to the pixel).
    static QRectF placeToSave(const QWidget* window);
    // Saves placeToSave(window) under the keys that readPlace reads.
    static void savePlace(CAppSettings& settings, const QString& section, const QStringList& keys,
                          const QWidget* window);

    // The normal rectangle `normal` centred on `desktop`, its size kept,
    // halves rounded to even.
    static QRect centredOn(const QRect& normal, const QRect& desktop);

private:
    void CenterPlacement(platform::WindowPlacement& placement, const QWidget* window) const;
    QString sectionOf(const QWidget* window) const;

    CAppSettings* m_settings = nullptr;
    QString m_keyName = QStringLiteral("Windows settings");
    bool m_centeredByDefault = true;
    bool m_neverStartMinimized = false;
};

} // namespace tw
