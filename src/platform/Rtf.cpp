#include "platform/Rtf.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QList>
#include <QMimeData>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <cmath>

namespace tw::platform {

namespace {

constexpr int kDefaultCodePage = 1252;
constexpr int kDefaultHalfPoints = 24; // RTF's default size, 12 points
constexpr int kMaxHalfPoints = 3276;

// The Windows code page of a font's \fcharset (0 when the charset names
// none: the document's code page applies).
int codePageOfCharset(int charset)
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

QByteArray codecName(int codePage)
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
QString decodeBytes(const QByteArray& bytes, int codePage)
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
int codePageOf(int charset, int documentCodePage)
{
    const int cp = codePageOfCharset(charset);
    return cp != 0 ? cp : documentCodePage;
}

struct FontEntry {
    QString name;
    int charset = 0;
    bool hasCharset = false; // the table gave a \fcharset
};

// The character formatting in force inside one group.
struct CharState {
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;

    bool operator==(const CharState&) const = default;
};

// Groups nested deeper than this are read as if they were not groups.
constexpr qsizetype kMaxDepth = 500;

enum class Destination { Text, FontTable, ColorTable, Skip };

struct GroupState {
    CharState chr;
    Destination dest = Destination::Text;
    int ucSkip = 1;
    bool ignorable = false; // the group began with \*
};

// Destinations whose content is not shown.
bool skippedDestination(const QString& word)
{
    static const char* const names[] = {
        "stylesheet", "info",   "pict",     "object",  "header",     "footer",     "headerl", "headerr",
        "headerf",    "footerl", "footerr", "footerf", "listtable",  "listoverridetable", "rsidtbl",
        "generator",  "xmlnstbl", "themedata", "colorschememapping", "datastore", "latentstyles",
        "fldinst",    "filetbl", "revtbl",  "footnote", "annotation", "bkmkstart", "bkmkend", "nonshppict",
        "shp",        "pgdsctbl", "mmathPr", "pn",      "template",
        "userprops",  "docvar",  "xe",      "tc",      "atnid",      "atnauthor"};
    for (const char* n : names) {
        if (word == QLatin1String(n))
            return true;
    }
    return false;
}

// The characters RTF names by a control word of their own; 0 for others.
char16_t typographic(const QString& word)
{
    static const std::pair<const char*, char16_t> names[] = {
        {"emdash", 0x2014}, {"endash", 0x2013},    {"bullet", 0x2022},   {"lquote", 0x2018},
        {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
    };
    for (const auto& [name, c] : names) {
        if (word == QLatin1String(name))
            return c;
    }
    return 0;
}

class RtfReader {
public:
    RtfReader(const QString& rtf, QTextDocument& doc) : m_in(rtf), m_cursor(&doc) {}

    void run()
    {
        m_stack.append(GroupState{});
        const qsizetype n = m_in.size();
        while (m_pos < n) {
            const QChar c = m_in.at(m_pos);
            if (c == QLatin1Char('{')) {
                flushBytes();
                if (m_stack.size() < kMaxDepth) {
                    m_stack.append(state());
                    state().ignorable = false;
                } else {
                    ++m_flattened;
                }
                ++m_pos;
            } else if (c == QLatin1Char('}')) {
                endGroup();
                ++m_pos;
            } else if (c == QLatin1Char('\\')) {
                ++m_pos;
                controlWord();
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                ++m_pos; // line ends of the RTF text itself carry nothing
            } else {
                rawCharacter(c);
                ++m_pos;
            }
        }
        flushBytes();
        flushText();
        finishBlock(false);
    }

private:
    GroupState& state() { return m_stack.last(); }

    void endGroup()
    {
        flushBytes();
        if (m_flattened > 0) {
            --m_flattened;
            return;
        }
        if (state().dest == Destination::FontTable)
            commitFont();
        if (m_stack.size() > 1)
            m_stack.removeLast();
        m_pendingSkip = 0;
    }

    // ---- text --------------------------------------------------------

    int codePage() const
    {
        const CharState& chr = m_stack.last().chr;
        const auto it = m_fonts.constFind(chr.font);
        if (it != m_fonts.constEnd()) {
            const int cp = codePageOfCharset(it->charset);
            if (cp != 0)
                return cp;
        }
        return m_codePage;
    }

    bool skipping() const { return m_stack.last().dest == Destination::Skip; }

    void rawCharacter(QChar c)
    {
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        const Destination d = state().dest;
        if (d == Destination::FontTable) {
            fontTableCharacter(c);
            return;
        }
        if (d == Destination::ColorTable) {
            if (c == QLatin1Char(';'))
                commitColor();
            return;
        }
        if (d == Destination::Skip)
            return;
        if (c.unicode() < 0x80 && !m_bytes.isEmpty()) {
            // A byte of a double-byte character written as it is (as
            // "\'83S"); in every code page a 7-bit byte is that character
            // when it stands alone.
            m_bytes.append(static_cast<char>(c.unicode()));
            return;
        }
        if (c.unicode() >= 0x80 && codePage() != kDefaultCodePage) {
            // A byte of the file that was read as Windows-1252; in another
            // code page it stands for another character.
            QStringEncoder toBytes("windows-1252");
            const QByteArray b = toBytes(QString(c));
            if (!toBytes.hasError() && b.size() == 1) {
                m_bytes.append(b);
                return;
            }
        }
        flushBytes();
        appendText(c);
    }

    void hexByte()
    {
        // \'hh: one byte of the current code page.
        bool ok = false;
        const int byte = m_in.mid(m_pos, 2).toInt(&ok, 16);
        m_pos += std::min<qsizetype>(2, m_in.size() - m_pos);
        if (!ok)
            return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        const Destination d = state().dest;
        if (d == Destination::Skip || d == Destination::ColorTable)
            return;
        if (d == Destination::FontTable) {
            // A byte of the name in the font's own charset (";" included).
            m_fontBytes.append(static_cast<char>(byte));
            return;
        }
        m_bytes.append(static_cast<char>(byte));
    }

    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        const QString text = decodeBytes(m_bytes, codePage());
        m_bytes.clear();
        for (const QChar c : text)
            appendText(c);
    }

    void appendText(QChar c)
    {
        if (state().dest != Destination::Text)
            return;
        const CharState& chr = state().chr;
        if (!m_run.isEmpty() && !(chr == m_runState))
            flushText();
        if (m_run.isEmpty())
            m_runState = chr;
        m_run.append(c);
    }

    void flushText()
    {
        if (m_run.isEmpty())
            return;
        m_cursor.insertText(m_run, charFormat(m_runState));
        m_run.clear();
        m_blockHasText = true;
    }

    QTextCharFormat charFormat(const CharState& chr) const
    {
        QTextCharFormat f;
        const auto font = m_fonts.constFind(chr.font);
        if (font != m_fonts.constEnd() && !font->name.isEmpty())
            f.setFontFamilies({font->name});
        f.setFontPointSize(chr.halfPoints / 2.0);
        f.setFontWeight(chr.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(chr.italic);
        f.setFontUnderline(chr.underline);
        f.setFontStrikeOut(chr.strike);
        if (chr.color >= 0 && chr.color < m_colors.size() && m_colors.at(chr.color).isValid())
            f.setForeground(QBrush(m_colors.at(chr.color)));
        if (font != m_fonts.constEnd() && font->hasCharset)
            f.setProperty(kFontCharsetProperty, font->charset);
        return f;
    }

    // Ends the paragraph being read; `next` starts another one after it. The
    // paragraph mark carries the formatting of an empty paragraph and of the
    // one it starts (until text comes).
    void finishBlock(bool next)
    {
        QTextBlockFormat bf = m_cursor.blockFormat();
        bf.setAlignment(m_alignment);
        m_cursor.setBlockFormat(bf);
        if (!next)
            return;
        const QTextCharFormat mark = charFormat(state().chr);
        if (!m_blockHasText)
            m_cursor.setBlockCharFormat(mark);
        m_cursor.insertBlock(bf, mark);
        m_blockHasText = false;
    }

    // ---- tables ------------------------------------------------------

    // A character of the RTF text in a font's name: the bytes of the file
    // (read as Windows-1252) are gathered and read in the font's charset when
    // the name ends.
    void fontTableCharacter(QChar c)
    {
        if (c == QLatin1Char(';')) {
            commitFont();
            return;
        }
        if (c.unicode() < 0x80) {
            m_fontBytes.append(static_cast<char>(c.unicode()));
            return;
        }
        QStringEncoder toBytes("windows-1252");
        const QByteArray b = toBytes(QString(c));
        if (!toBytes.hasError() && b.size() == 1) {
            m_fontBytes.append(b);
            return;
        }
        fontNameCharacter(c);
    }

    // A character of a font's name given as itself (\uN).
    void fontNameCharacter(QChar c)
    {
        flushFontBytes();
        m_fontName.append(c);
    }

    void flushFontBytes()
    {
        if (m_fontBytes.isEmpty())
            return;
        m_fontName += decodeBytes(m_fontBytes, codePageOf(m_fontCharset, m_codePage));
        m_fontBytes.clear();
    }

    void commitFont()
    {
        flushFontBytes();
        if (m_fontNumber >= 0) {
            FontEntry& e = m_fonts[m_fontNumber];
            e.name = m_fontName.trimmed();
            e.charset = m_fontCharset;
            e.hasCharset = m_fontHasCharset;
        }
        m_fontName.clear();
        m_fontNumber = -1;
        m_fontCharset = 0;
        m_fontHasCharset = false;
    }

    void commitColor()
    {
        m_colors.append(m_colorSeen ? QColor(m_red, m_green, m_blue) : QColor());
        m_red = m_green = m_blue = 0;
        m_colorSeen = false;
    }

    // ---- control words -------------------------------------------------

    void controlWord()
    {
        const qsizetype n = m_in.size();
        if (m_pos >= n)
            return;
        const QChar d = m_in.at(m_pos);
        if (d == QLatin1Char('\'')) {
            ++m_pos;
            hexByte();
            return;
        }
        if (!(d.unicode() < 128 && d.isLetter())) {
            ++m_pos;
            controlSymbol(d);
            return;
        }
        flushBytes();
        qsizetype j = m_pos;
        while (j < n && j - m_pos < 32 && m_in.at(j).unicode() < 128 && m_in.at(j).isLetter())
            ++j;
        const QString word = m_in.mid(m_pos, j - m_pos);
        bool hasParam = false;
        long long value = 0;
        bool negative = false;
        if (j < n && m_in.at(j) == QLatin1Char('-') && j + 1 < n && m_in.at(j + 1).isDigit()) {
            negative = true;
            ++j;
        }
        int digits = 0;
        while (j < n && m_in.at(j).unicode() < 128 && m_in.at(j).isDigit()) {
            if (digits < 10)
                value = value * 10 + (m_in.at(j).unicode() - '0');
            ++digits;
            hasParam = true;
            ++j;
        }
        if (j < n && m_in.at(j) == QLatin1Char(' '))
            ++j; // the blank that ends a control word belongs to it
        m_pos = j;
        const int param = static_cast<int>(std::clamp<long long>(negative ? -value : value, -2147483647LL, 2147483647LL));
        apply(word, hasParam, param);
    }

    void controlSymbol(QChar d)
    {
        if (d == QLatin1Char('*')) {
            state().ignorable = true;
            return;
        }
        if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}')) {
            rawCharacter(d);
            return;
        }
        if (d == QLatin1Char('~')) {
            special(QChar(0x00A0));
        } else if (d == QLatin1Char('_')) {
            special(QChar(0x2011));
        } else if (d == QLatin1Char('\r') || d == QLatin1Char('\n')) {
            paragraph();
        } else if (d == QLatin1Char('\t')) {
            special(QLatin1Char('\t'));
        }
        // \- (optional hyphen), \| and \: carry nothing shown.
    }

    void special(QChar c)
    {
        if (skipping())
            return;
        flushBytes();
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        appendText(c);
    }

    void paragraph()
    {
        if (state().dest != Destination::Text)
            return;
        flushBytes();
        flushText();
        finishBlock(true);
    }

    void apply(const QString& w, bool hasParam, int param)
    {
        GroupState& s = state();
        const auto is = [&w](const char* name) { return w == QLatin1String(name); };
        const bool on = !hasParam || param != 0;

        // Destinations first: the group's content goes elsewhere or nowhere.
        if (is("fonttbl")) {
            s.dest = Destination::FontTable;
            return;
        }
        if (is("colortbl")) {
            s.dest = Destination::ColorTable;
            return;
        }
        if (is("bin") && hasParam) {
            // Binary data follows: its bytes are no RTF at all.
            m_pos += std::clamp<qsizetype>(param, 0, m_in.size() - m_pos);
            return;
        }
        if (skippedDestination(w) || s.ignorable) {
            s.dest = Destination::Skip;
            return;
        }
        if (s.dest == Destination::Skip)
            return;
        if (s.dest == Destination::FontTable) {
            if (is("f") && hasParam) {
                commitFontIfNamed();
                m_fontNumber = param;
            } else if (is("fcharset") && hasParam) {
                m_fontCharset = param;
                m_fontHasCharset = true;
            } else if (is("u") && hasParam) {
                fontNameCharacter(QChar(static_cast<char16_t>((param < 0 ? param + 65536 : param) & 0xFFFF)));
                m_pendingSkip = s.ucSkip;
            } else if (is("uc") && hasParam) {
                s.ucSkip = std::clamp(param, 0, 16);
            }
            return;
        }
        if (s.dest == Destination::ColorTable) {
            const int v = std::clamp(param, 0, 255);
            if (is("red")) {
                m_red = v;
                m_colorSeen = true;
            } else if (is("green")) {
                m_green = v;
                m_colorSeen = true;
            } else if (is("blue")) {
                m_blue = v;
                m_colorSeen = true;
            }
            return;
        }

        if (is("par") || is("sect") || is("page")) {
            paragraph();
        } else if (is("line")) {
            special(QChar::LineSeparator);
        } else if (is("tab")) {
            special(QLatin1Char('\t'));
        } else if (is("cell") || is("row")) {
            special(QLatin1Char('\t'));
        } else if (const char16_t c = typographic(w); c != 0) {
            special(QChar(c));
        } else if (is("u") && hasParam) {
            const int unit = param < 0 ? param + 65536 : param;
            special(QChar(static_cast<char16_t>(unit & 0xFFFF)));
            m_pendingSkip = s.ucSkip;
        } else if (is("uc") && hasParam) {
            s.ucSkip = std::clamp(param, 0, 16);
        } else if (is("ansicpg") && hasParam) {
            m_codePage = param > 0 ? param : kDefaultCodePage;
        } else if (is("deff") && hasParam) {
            m_defaultFont = param;
            s.chr.font = param;
        } else if (is("plain")) {
            s.chr = CharState{};
            s.chr.font = m_defaultFont;
        } else if (is("pard")) {
            m_alignment = Qt::AlignLeft;
        } else if (is("ql")) {
            m_alignment = Qt::AlignLeft;
        } else if (is("qc")) {
            m_alignment = Qt::AlignHCenter;
        } else if (is("qr")) {
            m_alignment = Qt::AlignRight;
        } else if (is("qj")) {
            m_alignment = Qt::AlignJustify;
        } else if (is("f") && hasParam) {
            s.chr.font = param;
        } else if (is("fs") && hasParam) {
            s.chr.halfPoints = std::clamp(param, 1, kMaxHalfPoints);
        } else if (is("b")) {
            s.chr.bold = on;
        } else if (is("i")) {
            s.chr.italic = on;
        } else if (is("ul")) {
            s.chr.underline = on;
        } else if (is("ulnone")) {
            s.chr.underline = false;
        } else if (is("strike")) {
            s.chr.strike = on;
        } else if (is("cf") && hasParam) {
            s.chr.color = param;
        }
    }

    // A font table without a group per font ("\f0 Arial;\f1 Times;") names
    // its fonts one after another.
    void commitFontIfNamed()
    {
        if (m_fontNumber >= 0 && !(m_fontName + QString::fromLatin1(m_fontBytes)).trimmed().isEmpty())
            commitFont();
    }

    const QString& m_in;
    QTextCursor m_cursor;
    qsizetype m_pos = 0;
    QList<GroupState> m_stack;
    QByteArray m_bytes;
    QString m_run;
    CharState m_runState;
    qsizetype m_flattened = 0;
    bool m_blockHasText = false;
    int m_pendingSkip = 0;
    int m_codePage = kDefaultCodePage;
    int m_defaultFont = -1;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    QHash<int, FontEntry> m_fonts;
    QList<QColor> m_colors;
    QString m_fontName;
    QByteArray m_fontBytes;
    int m_fontNumber = -1;
    int m_fontCharset = 0;
    bool m_fontHasCharset = false;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colorSeen = false;
};

// ---- writing ----------------------------------------------------------

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

bool isRtf(const QString& text)
{
    return text.startsWith(QLatin1String("{\\rtf"));
}

void readRtf(const QString& rtf, QTextDocument& doc)
{
    doc.clear();
    if (!isRtf(rtf)) {
        doc.setPlainText(rtf);
        return;
    }
    RtfReader(rtf, doc).run();
}

QString writeRtf(const QTextDocument& doc)
{
    return RtfWriter(doc).run();
}

QString plainTextFromRtf(const QString& rtf)
{
    if (!isRtf(rtf))
        return rtf;
    QTextDocument doc;
    readRtf(rtf, doc);
    QString text = doc.toPlainText();
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

const QStringList& rtfMimeTypes()
{
    static const QStringList types{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext")};
    return types;
}

bool mimeHoldsRtf(const QMimeData* data)
{
    if (data == nullptr)
        return false;
    for (const QString& t : rtfMimeTypes()) {
        if (data->hasFormat(t))
            return true;
    }
    return false;
}

QString rtfFromMime(const QMimeData* data)
{
    if (data == nullptr)
        return {};
    for (const QString& t : rtfMimeTypes()) {
        if (data->hasFormat(t)) {
            const QString rtf = decodeBytes(data->data(t), kDefaultCodePage);
            if (isRtf(rtf))
                return rtf;
        }
    }
    return {};
}

} // namespace tw::platform
