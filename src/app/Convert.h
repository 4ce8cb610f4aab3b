#pragma once
// Conversions shared by every subsystem: whole-number rounding the way the
// program's stored values expect it (halves to even), screen units (twips),
// Windows colour values and date serials.

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace tw {

// Rounds to the nearest whole number, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Whole-number conversions that round halves to even and raise the run-time
// error "Overflow" (6) when the value does not fit, or is not a number.
int16_t toInt16(double value);
int32_t toInt32(double value);

// Reads a text or number as a Boolean the way stored settings and command
// lines write them: "True"/"False" in any letter case, or a number where any
// value but zero is true. Anything else gives no value.
std::optional<bool> parseBool(const QString& text);

// Reads a number written with "." as the decimal separator (surrounding blanks
// allowed). Never depends on the user's locale.
std::optional<double> parseNumber(const QString& text);

// Reads a setting or cell value as a number: numbers pass, texts are parsed
// locale-independently, anything else gives no value.
std::optional<double> variantToNumber(const QVariant& value);

// Screen units. A twip is 1/1440 inch; at 96 dots per inch 15 twips make a pixel.
constexpr double TwipsPerInch = 1440.0;
double twipsPerPixel(double logicalDpi);
int pixelsFromTwips(double twips, double logicalDpi);
double twipsFromPixels(double pixels, double logicalDpi);
// The logical DPI of the primary screen (96 where there is no screen).
double screenLogicalDpi();
int pixelsFromTwips(double twips);
double twipsFromPixels(double pixels);

// A Windows colour value 0x00BBGGRR.
QColor colorFromBgr(uint32_t bgr);
uint32_t bgrFromColor(const QColor& color);

// Date serials: the whole part counts days since 30 December 1899, the
// fraction is the time of day.
double serialFromDate(const QDate& date);
double serialFromDateTime(const QDateTime& dateTime);
QDate dateFromSerial(double serial);
QDateTime dateTimeFromSerial(double serial);

} // namespace tw
