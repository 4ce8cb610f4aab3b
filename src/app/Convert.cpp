#include "app/Convert.h"

#include "app/TwError.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <limits>

namespace tw {

namespace {
const QDate kSerialEpoch(1899, 12, 30);
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff > 0.5)
        return floorValue + 1.0;
    if (diff < 0.5)
        return floorValue;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

template <class T>
static T toWhole(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<T>::min())
        || r > static_cast<double>(std::numeric_limits<T>::max()))
        raiseRunTime(RunTime::Overflow, QStringLiteral("Overflow"));
    return static_cast<T>(r);
}

int16_t toInt16(double value) { return toWhole<int16_t>(value); }
int32_t toInt32(double value) { return toWhole<int32_t>(value); }

std::optional<bool> parseBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (auto n = parseNumber(t))
        return *n != 0.0;
    return std::nullopt;
}

std::optional<double> parseNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> variantToNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: {
        const double v = value.toDouble();
        if (!std::isfinite(v))
            return std::nullopt;
        return v;
    }
    case QMetaType::Bool:
        return value.toBool() ? -1.0 : 0.0;
    case QMetaType::QString:
        return parseNumber(value.toString());
    default:
        return std::nullopt;
    }
}

double twipsPerPixel(double logicalDpi)
{
    return TwipsPerInch / (logicalDpi > 0 ? logicalDpi : 96.0);
}

int pixelsFromTwips(double twips, double logicalDpi)
{
    return static_cast<int>(roundHalfEven(twips / twipsPerPixel(logicalDpi)));
}

double twipsFromPixels(double pixels, double logicalDpi)
{
    return pixels * twipsPerPixel(logicalDpi);
}

double screenLogicalDpi()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInch();
    }
    return 96.0;
}

int pixelsFromTwips(double twips) { return pixelsFromTwips(twips, screenLogicalDpi()); }
double twipsFromPixels(double pixels) { return twipsFromPixels(pixels, screenLogicalDpi()); }

QColor colorFromBgr(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t bgrFromColor(const QColor& color)
{
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8)
        | (static_cast<uint32_t>(color.blue()) << 16);
}

double serialFromDate(const QDate& date)
{
    return static_cast<double>(kSerialEpoch.daysTo(date));
}

double serialFromDateTime(const QDateTime& dateTime)
{
    const QTime t = dateTime.time();
    return serialFromDate(dateTime.date()) + t.msecsSinceStartOfDay() / 86400000.0;
}

QDate dateFromSerial(double serial)
{
    return kSerialEpoch.addDays(static_cast<qint64>(std::floor(serial)));
}

QDateTime dateTimeFromSerial(double serial)
{
    const double whole = std::floor(serial);
    const int msecs = static_cast<int>(std::llround((serial - whole) * 86400000.0));
    QDateTime dt(kSerialEpoch.addDays(static_cast<qint64>(whole)), QTime(0, 0));
    return dt.addMSecs(msecs);
}

} // namespace tw
