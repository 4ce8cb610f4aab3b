#pragma once
// What the RTF reader and writer share: the code pages of the charsets a
// font can name, the document's default code page and size, and the
// property of a character format that keeps the charset a font came with.
// Inside the RTF stand-in only.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QTextFormat>

namespace tw::platform::rtf {

constexpr int kDefaultCodePage = 1252;
constexpr int kDefaultHalfPoints = 24; // RTF's default size, 12 points
constexpr int kMaxHalfPoints = 3276;

// The Windows code page of a font's \fcharset (0 when the charset names
// none: the document's code page applies).
inline int codePageOfCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

inline QByteArray codecName(int codePage)
{
    if (codePage == 10000)
        return QByteArrayLiteral("macintosh");
    if (codePage == 932)
        return QByteArrayLiteral("Shift_JIS");
    if (codePage == 936)
        return QByteArrayLiteral("GBK");
    if (codePage == 949)
        return QByteArrayLiteral("windows-949");
    if (codePage == 950)
        return QByteArrayLiteral("Big5");
    if (codePage == 437 || codePage == 850 || codePage == 852 || codePage == 866)
        return QByteArrayLiteral("IBM") + QByteArray::number(codePage);
    return QByteArrayLiteral("windows-") + QByteArray::number(codePage);
}

// Bytes of a code page as text; an unknown code page reads as Windows-1252.
inline QString decodeBytes(const QByteArray& bytes, int codePage)
{
    QStringDecoder decoder(codecName(codePage).constData());
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1252");
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder(bytes);
}

// A font's \fcharset as a property of the text's character format, so that
// the writer names the font in the charset it came with.
constexpr int kFontCharsetProperty = QTextFormat::UserProperty + 0x5254;

// The code page a font's charset puts its name and text in.
inline int codePageOf(int charset, int documentCodePage)
{
    const int cp = codePageOfCharset(charset);
    return cp != 0 ? cp : documentCodePage;
}

} // namespace tw::platform::rtf
