// Writing a document as RTF: the font and colour tables, then the runs of
// every block with the formatting that differs from the run before.
#include "platform/Rtf.h"
#include "platform/RtfCodePages.h"

#include <QBrush>
#include <QColor>
#include <QList>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <cmath>

namespace tw::platform {

namespace {

using namespace rtf;

// The formatting of a run as the writer puts it down.
struct RunFormat {
    QString family;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QColor color; // invalid: the default colour

    bool operator==(const RunFormat&) const = default;
};

RunFormat runFormat(const QTextCharFormat& f, const QFont& defaultFont)
{
    RunFormat r;
    const QVariant families = f.property(QTextFormat::FontFamilies);
    if (families.isValid() && !families.toStringList().isEmpty())
        r.family = families.toStringList().first();
    else if (!f.stringProperty(QTextFormat::FontFamily).isEmpty())
        r.family = f.stringProperty(QTextFormat::FontFamily);
    else
        r.family = defaultFont.family();
    double points = f.fontPointSize();
    if (points <= 0 && f.hasProperty(QTextFormat::FontPixelSize))
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (points <= 0)
        points = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : defaultFont.pixelSize() * 0.75;
    if (points <= 0)
        points = kDefaultHalfPoints / 2.0;
    r.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, kMaxHalfPoints);
    r.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : defaultFont.bold();
    r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaultFont.italic();
    r.underline = f.hasProperty(QTextFormat::FontUnderline) || f.hasProperty(QTextFormat::TextUnderlineStyle)
                      ? f.fontUnderline()
                      : defaultFont.underline();
    r.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : defaultFont.strikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        r.color = f.foreground().color();
    return r;
}

// The charset a font came with (kFontCharsetProperty); -1 for none.
int charsetOf(const QTextCharFormat& f)
{
    return f.hasProperty(kFontCharsetProperty) ? f.intProperty(kFontCharsetProperty) : -1;
}

// A font of the writer's table: its name and the charset its name is
// written in.
struct FontOut {
    QString family;
    int charset = 0;
    QByteArray bytes; // the name in the charset's code page; empty: as \uN
};

// The charsets tried for a font's name, Windows-1252 first.
constexpr int kNameCharsets[] = {0, 128, 134, 136, 129, 204, 161, 162, 177, 178, 186, 238, 222};

// The name in the first charset whose code page holds it exactly (the one
// it came with first); a name no code page holds is written as \uN.
FontOut fontOut(const QString& family, int preferred)
{
    const auto tryCharset = [&family](int charset, FontOut& out) {
        const int cp = codePageOf(charset, kDefaultCodePage);
        QStringEncoder encoder(codecName(cp).constData());
        if (!encoder.isValid())
            return false;
        const QByteArray bytes = encoder(family);
        if (encoder.hasError() || decodeBytes(bytes, cp) != family)
            return false;
        out = FontOut{family, charset, bytes};
        return true;
    };
    FontOut out{family, 0, {}};
    if (preferred >= 0 && tryCharset(preferred, out))
        return out;
    for (const int charset : kNameCharsets) {
        if (tryCharset(charset, out))
            return out;
    }
    return FontOut{family, 0, {}};
}

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& doc) : m_doc(doc) {}

    QString run()
    {
        // Formats first, so the tables can be written ahead of the text.
        struct Block {
            QList<std::pair<QString, RunFormat>> runs;
            RunFormat mark;
            int markCharset = -1;
            Qt::Alignment alignment;
        };
        QList<Block> blocks;
        const QFont def = m_doc.defaultFont();
        for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
            Block out;
            out.mark = runFormat(b.charFormat(), def);
            out.markCharset = charsetOf(b.charFormat());
            out.alignment = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                if (!frag.isValid())
                    continue;
                const RunFormat rf = formatIndexed(runFormat(frag.charFormat(), def), charsetOf(frag.charFormat()));
                if (!out.runs.isEmpty() && out.runs.last().second == rf)
                    out.runs.last().first += frag.text();
                else
                    out.runs.append({frag.text(), rf});
            }
            blocks.append(out);
        }
        for (qsizetype k = 0; k + 1 < blocks.size(); ++k) {
            if (blocks.at(k).runs.isEmpty())
                formatIndexed(blocks.at(k).mark, blocks.at(k).markCharset);
            else if (k + 2 == blocks.size() && blocks.at(k + 1).runs.isEmpty())
                formatIndexed(blocks.at(k + 1).mark, blocks.at(k + 1).markCharset);
        }

        QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl");
        for (int i = 0; i < m_fonts.size(); ++i) {
            const FontOut& f = m_fonts.at(i);
            rtf += QStringLiteral("{\\f%1\\fnil\\fcharset%2 %3;}").arg(i).arg(f.charset).arg(nameRtf(f));
        }
        rtf += QStringLiteral("}\r\n{\\colortbl ;");
        for (const QColor& c : std::as_const(m_colors))
            rtf += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(c.red()).arg(c.green()).arg(c.blue());
        rtf += QStringLiteral("}\r\n");

        for (qsizetype k = 0; k < blocks.size(); ++k) {
            const Block& b = blocks.at(k);
            const bool last = k + 1 == blocks.size();
            rtf += QStringLiteral("\\pard");
            if (b.alignment & Qt::AlignHCenter)
                rtf += QStringLiteral("\\qc");
            else if (b.alignment & Qt::AlignRight)
                rtf += QStringLiteral("\\qr");
            else if (b.alignment & Qt::AlignJustify)
                rtf += QStringLiteral("\\qj");
            for (const auto& [text, format] : b.runs)
                rtf += QLatin1Char('{') + props(format) + QLatin1Char(' ') + escaped(text, bytesOfLatin1(format))
                       + QLatin1Char('}');
            if (last)
                break;
            // The mark of an empty paragraph keeps its formatting; so does the
            // empty paragraph that ends the document, which the mark before
            // it starts.
            const Block& next = blocks.at(k + 1);
            const bool nextIsEmptyLast = k + 2 == blocks.size() && next.runs.isEmpty();
            if (b.runs.isEmpty())
                rtf += QLatin1Char('{') + props(b.mark) + QStringLiteral("\\par}\r\n");
            else if (nextIsEmptyLast)
                rtf += QLatin1Char('{') + props(next.mark) + QStringLiteral("\\par}\r\n");
            else
                rtf += QStringLiteral("\\par\r\n");
        }
        rtf += QStringLiteral("}");
        return rtf;
    }

private:
    qsizetype fontIndex(const QString& family) const
    {
        for (qsizetype i = 0; i < m_fonts.size(); ++i) {
            if (m_fonts.at(i).family == family)
                return i;
        }
        return -1;
    }

    RunFormat formatIndexed(const RunFormat& f, int charset)
    {
        if (fontIndex(f.family) < 0)
            m_fonts.append(fontOut(f.family, charset));
        if (f.color.isValid() && !m_colors.contains(f.color))
            m_colors.append(f.color);
        return f;
    }

    QString props(const RunFormat& f) const
    {
        QString p = QStringLiteral("\\f%1\\fs%2").arg(fontIndex(f.family)).arg(f.halfPoints);
        if (f.bold)
            p += QStringLiteral("\\b");
        if (f.italic)
            p += QStringLiteral("\\i");
        if (f.underline)
            p += QStringLiteral("\\ul");
        if (f.strike)
            p += QStringLiteral("\\strike");
        if (f.color.isValid())
            p += QStringLiteral("\\cf%1").arg(m_colors.indexOf(f.color) + 1);
        return p;
    }

    // Whether the run's font reads \'hh as Windows-1252 (a font of another
    // charset reads them in its own code page).
    bool bytesOfLatin1(const RunFormat& f) const
    {
        const qsizetype i = fontIndex(f.family);
        return i < 0 || codePageOf(m_fonts.at(i).charset, kDefaultCodePage) == kDefaultCodePage;
    }

    static QString unicodeEscape(char16_t u)
    {
        return QStringLiteral("\\u%1?").arg(u > 32767 ? int(u) - 65536 : int(u));
    }

    // A font's name in its charset's bytes (the name's end, RTF's own
    // characters and bytes beyond 7 bits as \'hh), or as \uN.
    static QString nameRtf(const FontOut& f)
    {
        QString out;
        if (f.bytes.isEmpty() && !f.family.isEmpty()) {
            for (const QChar c : f.family) {
                const char16_t u = c.unicode();
                if (u >= 0x20 && u < 0x7F && u != '\\' && u != '{' && u != '}' && u != ';')
                    out += c;
                else
                    out += unicodeEscape(u);
            }
            return out;
        }
        for (const char b : f.bytes) {
            const auto u = static_cast<unsigned char>(b);
            if (u >= 0x20 && u < 0x7F && u != '\\' && u != '{' && u != '}' && u != ';')
                out += QLatin1Char(b);
            else
                out += QStringLiteral("\\'%1").arg(int(u), 2, 16, QLatin1Char('0'));
        }
        return out;
    }

    static QString escaped(const QString& text, bool latin1Bytes)
    {
        QString out;
        out.reserve(text.size());
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u == '\\' || u == '{' || u == '}') {
                out += QLatin1Char('\\');
                out += c;
            } else if (u == '\t') {
                out += QStringLiteral("\\tab ");
            } else if (u == QChar::LineSeparator || u == '\n' || u == '\r') {
                out += QStringLiteral("\\line ");
            } else if (u >= 0x20 && u < 0x7F) {
                out += c;
            } else if (latin1Bytes && u >= 0xA0 && u <= 0xFF) {
                out += QStringLiteral("\\'%1").arg(int(u), 2, 16, QLatin1Char('0'));
            } else {
                // Control characters and the object mark U+FFFC too: the
                // text keeps them as it was given.
                out += unicodeEscape(u);
            }
        }
        return out;
    }

    const QTextDocument& m_doc;
    QList<FontOut> m_fonts;
    QList<QColor> m_colors;
};

} // namespace

QString writeRtf(const QTextDocument& doc)
{
    return RtfWriter(doc).run();
}

} // namespace tw::platform
