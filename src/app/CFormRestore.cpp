#include "app/CFormRestore.h"

#include "app/CAppSettings.h"
#include "app/Convert.h"
#include "app/Tools.h"
#include "app/TwError.h"
#include "platform/WindowGeometry.h"

#include <QMetaObject>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

QString source() { return serviceSource(QStringLiteral("CFormRestore")); }

[[noreturn]] void raise(int32_t number, const char* text)
{
    throw TwError(number, source(), QString::fromLatin1(text));
}

// Runs one operation: the class's own errors pass, anything else becomes
// its component failure.
template <class F>
void guarded(F&& body)
{
    try {
        body();
    } catch (const TwError& e) {
        if (e.number() == CFormRestore::ErrNotInitialized || e.number() == CFormRestore::ErrInvalidAppSettings
            || e.number() == CFormRestore::ErrInvalidKeyName)
            throw;
        raise(CFormRestore::ErrComponentFailure, "CFormRestore component failure");
    } catch (...) {
        raise(CFormRestore::ErrComponentFailure, "CFormRestore component failure");
    }
}

// A stored value as a number: its numeric value, or 0 for a text that is
// not a number.
double storedNumber(const CAppSettings& s, const QString& section, const char* key, const QString& def)
{
    const auto n = parseNumber(settingText(s, section, QLatin1String(key), def));
    return n ? roundHalfEven(*n) : 0.0;
}

int64_t toPixels(double v)
{
    const double limit = static_cast<double>(CFormRestore::MaxPixels);
    return static_cast<int64_t>(std::floor(std::clamp(v, -limit, limit) + 0.5));
}

double safeTwipsPerPixel(double tpp)
{
    return std::isfinite(tpp) && tpp > 0 ? tpp : 15.0;
}

// The least outer size of a window: its minimum size, which is of its
// inside, grown by its frame.
QSize minimumOuterSize(const QWidget* window)
{
    return window->minimumSize().grownBy(platform::frameMargins(window));
}

} // namespace

void CFormRestore::Init(CAppSettings* AppSettings, bool CenteredByDefault)
{
    if (AppSettings == nullptr)
        raise(ErrInvalidAppSettings, "Invalid AppSettings object");
    m_settings = AppSettings;
    m_centeredByDefault = CenteredByDefault;
}

void CFormRestore::setAppSettings(CAppSettings* v)
{
    if (v == nullptr)
        raise(ErrInvalidAppSettings, "Invalid AppSettings object");
    m_settings = v;
}

void CFormRestore::setKeyName(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidKeyName, "Invalid KeyName value");
    m_keyName = v;
}

QString CFormRestore::sectionOf(const QWidget* window) const
{
    QString name = window->objectName();
    if (name.isEmpty()) {
        name = QString::fromLatin1(window->metaObject()->className());
        name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
    }
    return m_keyName + QLatin1Char('\\') + name;
}

void CFormRestore::SavePosition(QWidget* FormObject)
{
    guarded([&] {
        if (m_settings == nullptr)
            raise(ErrNotInitialized, "Object not properly initialized");
        if (FormObject == nullptr)
            raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
        platform::WindowPlacement p;
        if (!platform::getWindowPlacement(FormObject, p))
            return;
        const QString section = sectionOf(FormObject);
        const std::pair<const char*, int> values[] = {
            {"WindowState", p.showCmd},        {"MinPosX", p.minPosition.x()}, {"MinPosY", p.minPosition.y()},
            {"MaxPosX", p.maxPosition.x()},    {"MaxPosY", p.maxPosition.y()}, {"NormalPosLeft", p.left},
            {"NormalPosTop", p.top},           {"NormalPosRight", p.right},    {"NormalPosBottom", p.bottom}};
        for (const auto& [key, value] : values)
            m_settings->SaveSetting(section, QLatin1String(key), QString::number(value));
    });
}

void CFormRestore::GetPosition(QWidget* FormObject)
{
    guarded([&] {
        if (m_settings == nullptr)
            raise(ErrNotInitialized, "Object not properly initialized");
        if (FormObject == nullptr)
            raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
        const CAppSettings& s = *m_settings;
        const QString section = sectionOf(FormObject);
        const double stored = storedNumber(s, section, "WindowState", QStringLiteral("-1"));
        if (stored <= -1) {
            if (!m_centeredByDefault)
                return;
            platform::WindowPlacement p;
            if (!platform::getWindowPlacement(FormObject, p))
                return;
            CenterPlacement(p, FormObject);
            p.showCmd = FormObject->isVisible() ? platform::SW_SHOW : platform::SW_HIDE;
            platform::setWindowPlacement(FormObject, p);
            return;
        }
        int state = stored > 1000 ? 1000 : static_cast<int>(stored);
        const bool minimisedState = state == 2 || state == 6 || state == 7;
        if (FormObject->isVisible()) {
            if (minimisedState && m_neverStartMinimized)
                state = platform::SW_SHOWNORMAL;
        } else if (minimisedState) {
            platform::setWindowStateCode(FormObject,
                                         m_neverStartMinimized ? platform::StateNormal : platform::StateMinimized);
        } else if (state == 3) {
            platform::setWindowStateCode(FormObject, platform::StateMaximized);
        } else if (state != 8 && state != 10) {
            platform::setWindowStateCode(FormObject, platform::StateNormal);
        }
        const QString none;
        platform::WindowPlacement p;
        p.showCmd = state;
        p.minPosition = QPoint(static_cast<int>(toPixels(storedNumber(s, section, "MinPosX", none))),
                               static_cast<int>(toPixels(storedNumber(s, section, "MinPosY", none))));
        p.maxPosition = QPoint(static_cast<int>(toPixels(storedNumber(s, section, "MaxPosX", none))),
                               static_cast<int>(toPixels(storedNumber(s, section, "MaxPosY", none))));
        const double left = storedNumber(s, section, "NormalPosLeft", none);
        const double top = storedNumber(s, section, "NormalPosTop", none);
        const QRect current = platform::normalOuterPixels(FormObject);
        double width = current.width(), height = current.height();
        // A window of fixed size keeps its own size.
        if (FormObject->minimumSize() != FormObject->maximumSize()) {
            width = storedNumber(s, section, "NormalPosRight", none) - left;
            height = storedNumber(s, section, "NormalPosBottom", none) - top;
        }
        const QRect r =
            checkedPixels(left, top, width, height, current, platform::workAreas(), minimumOuterSize(FormObject));
        p.left = r.left();
        p.top = r.top();
        p.right = r.left() + r.width();
        p.bottom = r.top() + r.height();
        platform::setWindowPlacement(FormObject, p);
    });
}

namespace {
CFormRestore programPlaces()
{
    CFormRestore r;
    r.Init(&appSettings(), true);
    r.setNeverStartMinimized(true);
    return r;
}
} // namespace

void CFormRestore::restoreProgramWindow(QWidget* window)
{
    try {
        programPlaces().GetPosition(window);
    } catch (...) {
    }
}

void CFormRestore::saveProgramWindow(QWidget* window)
{
    try {
        programPlaces().SavePosition(window);
    } catch (...) {
    }
}

void CFormRestore::CenterPlacement(platform::WindowPlacement& placement, const QWidget* window) const
{
    if (placement.showCmd != platform::SW_SHOWNORMAL)
        return;
    const QRect normal(placement.left, placement.top, placement.right - placement.left,
                       placement.bottom - placement.top);
    const QRect c = centredOn(normal, platform::desktopArea(window));
    placement.left = c.left();
    placement.top = c.top();
    placement.right = c.left() + c.width();
    placement.bottom = c.top() + c.height();
}

QRect CFormRestore::centredOn(const QRect& normal, const QRect& desktop)
{
    const int64_t w = normal.width(), h = normal.height();
    const auto left = static_cast<int64_t>(roundHalfEven((double(desktop.width()) - double(w)) / 2.0));
    const auto top = static_cast<int64_t>(roundHalfEven((double(desktop.height()) - double(h)) / 2.0));
    return QRect(static_cast<int>(desktop.left() + left), static_cast<int>(desktop.top() + top), int(w), int(h));
}

QRect CFormRestore::checkedPixels(double left, double top, double width, double height, const QRect& fallback,
                                  const QList<QRect>& workAreas, const QSize& minimum)
{
    const auto finiteOr = [](double v, double other) { return std::isfinite(v) ? v : other; };
    const auto positiveOr = [](double v, double other, double last) { return v >= 1 ? v : other >= 1 ? other : last; };
    const double minW = std::max(1, minimum.width()), minH = std::max(1, minimum.height());
    const int64_t x = toPixels(finiteOr(left, fallback.x()));
    const int64_t y = toPixels(finiteOr(top, fallback.y()));
    // A NaN fails every comparison, so it takes the fallback here too.
    int64_t w = toPixels(positiveOr(width, fallback.width(), minW));
    int64_t h = toPixels(positiveOr(height, fallback.height(), minH));
    // Every value lies within +-2^24, so the rectangle's edges fit in 32 bits.
    const QRect asked(static_cast<int>(x), static_cast<int>(y), static_cast<int>(std::clamp<int64_t>(w, 1, MaxPixels)),
                      static_cast<int>(std::clamp<int64_t>(h, 1, MaxPixels)));
    w = std::clamp<int64_t>(std::max<int64_t>(w, static_cast<int64_t>(minW)), 1, MaxPixels);
    h = std::clamp<int64_t>(std::max<int64_t>(h, static_cast<int64_t>(minH)), 1, MaxPixels);
    QRect r(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
    r = platform::keepOnScreen(r, workAreas);
    // No larger than the work area that holds most of it.
    const QRect* area = nullptr;
    int64_t best = -1;
    for (const QRect& a : workAreas) {
        const QRect o = a.intersected(r);
        const int64_t size = o.isEmpty() ? 0 : int64_t(o.width()) * o.height();
        if (!a.isEmpty() && size > best) {
            best = size;
            area = &a;
        }
    }
    if (area != nullptr) {
        if (r.width() > area->width()) {
            r.setLeft(area->left());
            r.setWidth(area->width());
        }
        if (r.height() > area->height()) {
            r.setTop(area->top());
            r.setHeight(area->height());
        }
    }
    // A place a screen held whole before the window's minimum size made it
    // taller stays above that screen's bottom edge (its status line in
    // sight). Sideways it keeps its left edge: the 3-D window tiled beside
    // the main window must not slide over it on a narrow screen.
    const auto home = std::find_if(workAreas.begin(), workAreas.end(),
                                   [&asked](const QRect& a) { return a.contains(asked); });
    if (home != workAreas.end()) {
        if (r.height() <= home->height() && r.bottom() > home->bottom())
            r.moveBottom(home->bottom());
        return r;
    }
    // Any other place that the screens do not hold whole (one saved on a
    // larger screen) comes whole onto the one that holds most of it, as the
    // places of a first start lie; it is no larger than that screen already.
    QRegion off(r);
    for (const QRect& a : workAreas)
        off -= a;
    if (area != nullptr && !off.isEmpty()) {
        r.moveLeft(std::clamp(r.left(), area->left(), area->left() + area->width() - r.width()));
        r.moveTop(std::clamp(r.top(), area->top(), area->top() + area->height() - r.height()));
    }
    return r;
}

QRectF CFormRestore::checkedTwips(const QRectF& saved, const QRectF& fallback, double twipsPerPixel,
                                  const QList<QRect>& workAreas, const QSize& minimum)
{
    const double tpp = safeTwipsPerPixel(twipsPerPixel);
    const auto px = [tpp](double twips, double other) {
        return std::isfinite(twips) ? twips / tpp : other;
    };
    const QRect fb(static_cast<int>(toPixels(px(fallback.left(), 0))), static_cast<int>(toPixels(px(fallback.top(), 0))),
                   static_cast<int>(toPixels(px(fallback.width(), 1))),
                   static_cast<int>(toPixels(px(fallback.height(), 1))));
    const double nan = std::nan("");
    const QRect r = checkedPixels(px(saved.left(), nan), px(saved.top(), nan), px(saved.width(), nan),
                                  px(saved.height(), nan), fb, workAreas, minimum);
    return QRectF(r.x() * tpp, r.y() * tpp, r.width() * tpp, r.height() * tpp);
}

QRectF CFormRestore::readPlace(const CAppSettings& settings, const QString& section, const QStringList& keys,
                               const QRectF& fallback)
{
    const double defaults[4] = {fallback.left(), fallback.top(), fallback.width(), fallback.height()};
    double v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = i < keys.size() ? settingDouble(settings, section, keys.at(i), defaults[i]) : defaults[i];
    return QRectF(v[0], v[1], v[2], v[3]);
}

bool CFormRestore::restorePlace(QWidget* window, const QRectF& savedTwips)
{
    const double tpp = safeTwipsPerPixel(twipsPerPixel(window->logicalDpiX()));
    const QRect current = platform::normalOuterPixels(window);
    const QRectF fallback(current.x() * tpp, current.y() * tpp, current.width() * tpp, current.height() * tpp);
    const QRectF checked = checkedTwips(savedTwips, fallback, tpp, platform::workAreas(), minimumOuterSize(window));
    const auto pixels = [tpp](const QRectF& r) {
        return QRect(static_cast<int>(toPixels(r.left() / tpp)), static_cast<int>(toPixels(r.top() / tpp)),
                     static_cast<int>(toPixels(r.width() / tpp)), static_cast<int>(toPixels(r.height() / tpp)));
    };
    const QRect place = pixels(checked);
    platform::setOuterPixels(window, place);
    const bool finite = std::isfinite(savedTwips.left()) && std::isfinite(savedTwips.top())
        && std::isfinite(savedTwips.width()) && std::isfinite(savedTwips.height());
    return !finite || place != pixels(savedTwips);
}

QRectF CFormRestore::placeToSave(const QWidget* window)
{
    const double tpp = safeTwipsPerPixel(twipsPerPixel(window->logicalDpiX()));
    const QRect r = platform::normalOuterPixels(window);
    return QRectF(r.x() * tpp, r.y() * tpp, r.width() * tpp, r.height() * tpp);
}

void CFormRestore::savePlace(CAppSettings& settings, const QString& section, const QStringList& keys,
                             const QWidget* window)
{
    const QRectF place = placeToSave(window);
    const double values[4] = {place.left(), place.top(), place.width(), place.height()};
    for (int i = 0; i < 4 && i < keys.size(); ++i)
        settings.SaveSetting(section, keys.at(i), values[i]);
}

} // namespace tw
