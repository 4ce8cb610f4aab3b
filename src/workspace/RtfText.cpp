#include "workspace/RtfText.h"

#include <QByteArray>
#include <QVector>

namespace tw {

namespace {

// Windows-1252 bytes 0x80..0x9F (0 where the code page has no character).
const char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar fromCp1252(int byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t c = kCp1252High[byte - 0x80];
        return c != 0 ? QChar(c) : QChar(u'?');
    }
    return QChar(static_cast<char16_t>(byte));
}

// Destinations whose content is not part of the text.
bool skippedDestination(const QString& word)
{
    static const char* const names[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "object",
                                        "header", "footer", "listtable", "listoverridetable", "rsidtbl",
                                        "generator", "xmlnstbl", "themedata", "datastore", "latentstyles"};
    for (const char* n : names) {
        if (word == QLatin1String(n))
            return true;
    }
    return false;
}

} // namespace

QString plainTextFromRtf(const QString& rtf)
{
    if (!rtf.startsWith(QLatin1String("{\\rtf")))
        return rtf;
    struct State {
        bool skip = false;
        int ucSkip = 1;
    };
    QVector<State> stack{State{}};
    QString out;
    int pendingSkip = 0; // characters to drop after a \uN escape
    const qsizetype n = rtf.size();
    qsizetype i = 0;
    const auto put = [&](QChar c) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!stack.last().skip)
            out.append(c);
    };
    while (i < n) {
        const QChar c = rtf.at(i);
        if (c == QLatin1Char('{')) {
            stack.append(stack.last());
            ++i;
        } else if (c == QLatin1Char('}')) {
            if (stack.size() > 1)
                stack.removeLast();
            ++i;
        } else if (c == QLatin1Char('\\')) {
            ++i;
            if (i >= n)
                break;
            const QChar d = rtf.at(i);
            if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}')) {
                put(d);
                ++i;
            } else if (d == QLatin1Char('\'')) {
                bool ok = false;
                const int byte = rtf.mid(i + 1, 2).toInt(&ok, 16);
                if (ok)
                    put(fromCp1252(byte));
                i += 3;
            } else if (d == QLatin1Char('*')) {
                stack.last().skip = true;
                ++i;
            } else if (d == QLatin1Char('~')) {
                put(QChar(0x00A0));
                ++i;
            } else if (d == QLatin1Char('-') || d == QLatin1Char('_')) {
                ++i;
            } else if (d == QLatin1Char('\r') || d == QLatin1Char('\n')) {
                put(QLatin1Char('\n'));
                ++i;
            } else if (d.isLetter()) {
                qsizetype j = i;
                while (j < n && rtf.at(j).isLetter() && rtf.at(j).unicode() < 128)
                    ++j;
                const QString word = rtf.mid(i, j - i);
                qsizetype k = j;
                if (k < n && (rtf.at(k) == QLatin1Char('-') || rtf.at(k).isDigit())) {
                    ++k;
                    while (k < n && rtf.at(k).isDigit())
                        ++k;
                }
                bool hasParam = k > j;
                const int param = hasParam ? rtf.mid(j, k - j).toInt() : 0;
                if (k < n && rtf.at(k) == QLatin1Char(' '))
                    ++k; // the delimiter belongs to the control word
                i = k;
                if (skippedDestination(word)) {
                    stack.last().skip = true;
                } else if (word == QLatin1String("par") || word == QLatin1String("line")) {
                    put(QLatin1Char('\n'));
                } else if (word == QLatin1String("tab")) {
                    put(QLatin1Char('\t'));
                } else if (word == QLatin1String("uc") && hasParam) {
                    stack.last().ucSkip = param;
                } else if (word == QLatin1String("u") && hasParam) {
                    put(QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param)));
                    pendingSkip = stack.last().ucSkip;
                } else if (word == QLatin1String("emdash")) {
                    put(QChar(0x2014));
                } else if (word == QLatin1String("endash")) {
                    put(QChar(0x2013));
                } else if (word == QLatin1String("bullet")) {
                    put(QChar(0x2022));
                } else if (word == QLatin1String("lquote")) {
                    put(QChar(0x2018));
                } else if (word == QLatin1String("rquote")) {
                    put(QChar(0x2019));
                } else if (word == QLatin1String("ldblquote")) {
                    put(QChar(0x201C));
                } else if (word == QLatin1String("rdblquote")) {
                    put(QChar(0x201D));
                }
            } else {
                ++i; // an unknown control symbol
            }
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            ++i; // raw line ends in RTF carry no text
        } else {
            put(c);
            ++i;
        }
    }
    // A trailing paragraph mark adds nothing visible.
    while (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace tw
