#include "platform/Rtf.h"
#include "platform/RtfCodePages.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QList>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace tw::platform {

namespace {

using namespace rtf;

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
