#include "marketdata/QuoteTable.h"

#include "app/Convert.h"
#include "app/TwError.h"
#include "model/Currency.h"
#include "model/OptionsCollection.h"
#include "model/StgStream.h"
#include "model/stock.h"
#include "platform/FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <QTextStream>
#include <array>
#include <cstring>
#include <optional>

namespace tw::marketdata {

namespace {

const std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int monthNumber(const QString& abbreviation)
{
    for (int m = 0; m < 12; ++m) {
        if (abbreviation == QLatin1String(kMonths[m]))
            return m + 1;
    }
    return 0;
}

[[noreturn]] void refuse(const QString& text)
{
    throw TwError(RunTime::InvalidProcedureCall, QStringLiteral("Tarnwell.QuoteTable"), text);
}

bool isControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// A text of the table as a message quotes it: control characters as "?",
// and no more than a line's worth.
QString quoted(const QString& text)
{
    constexpr qsizetype kLongest = 40;
    QString t = text.size() > kLongest ? text.left(kLongest - 3) + QStringLiteral("...") : text;
    for (QChar& c : t) {
        if (isControl(c.unicode()))
            c = QLatin1Char('?');
    }
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// Text files hold no control characters but tabs, line ends and an old
// end-of-file mark.
bool isBinary(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && u != '\t' && u != '\r' && u != '\n' && u != 0x1A) || u == 0x7F;
    });
}

// Numbers in the table always use "." whatever the user's locale.
std::optional<Currency> moneyField(QStringView text)
{
    return Currency::parse(text);
}

std::optional<int32_t> wholeField(QStringView text)
{
    // Plain digits, as volumes and open interest always are, without the
    // general number reader.
    const QStringView t = text.trimmed();
    if (!t.isEmpty() && t.size() <= 9
        && std::all_of(t.begin(), t.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); })) {
        int32_t v = 0;
        for (const QChar c : t)
            v = v * 10 + (c.unicode() - '0');
        return v;
    }
    const auto v = parseNumber(t.toString());
    if (!v || *v < -2147483648.0 || *v > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(roundHalfEven(*v));
}

// The fields of a line, split at every "," (an empty field stays a field).
// Only the fields an option line has are kept, as views into a text made of
// that part of the line alone; size() counts them all, so that a line of
// millions of commas costs no more than its own bytes.
class Fields {
public:
    static constexpr qsizetype Kept = 14;

    explicit Fields(QLatin1String line)
    {
        const char* data = line.data();
        const qsizetype size = line.size();
        // The kept part ends at the comma after the last kept field.
        qsizetype keptEnd = size;
        qsizetype from = 0;
        for (qsizetype k = 0; k < Kept; ++k) {
            const auto* comma = static_cast<const char*>(std::memchr(data + from, ',', static_cast<std::size_t>(size - from)));
            if (comma == nullptr)
                break;
            from = comma - data + 1;
            if (k == Kept - 1)
                keptEnd = from - 1;
        }
        m_text = QString::fromLatin1(data, keptEnd);
        const QStringView kept(m_text);
        qsizetype start = 0;
        for (;;) {
            const qsizetype comma = kept.indexOf(QLatin1Char(','), start);
            const qsizetype end = comma < 0 ? kept.size() : comma;
            m_fields[static_cast<std::size_t>(m_count++)] = kept.sliced(start, end - start);
            if (comma < 0)
                break;
            start = comma + 1;
        }
        if (keptEnd < size)
            m_count += 1 + std::count(data + keptEnd + 1, data + size, ',');
    }
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;

    qsizetype size() const { return m_count; }
    // Field i (below Kept and size()).
    QStringView at(qsizetype i) const { return m_fields[static_cast<std::size_t>(i)]; }

private:
    QString m_text;
    std::array<QStringView, Kept> m_fields{};
    qsizetype m_count = 0;
};

// What the lines of a table repeat, kept from one line to the next: the
// expiration of the last description read, and the last net change of each
// half (shared, so that a big chain keeps one copy of each repeated text).
struct LineMemory {
    QString year;  // of the expiration, "04"
    QString month; // "Feb"
    double expiration = 0;
    QString net[2];
};

// One half of an option line: fields [offset, offset + 7).
struct Half {
    QString code;
    Currency strike;
    double expiration = 0;
    QString net;
    Currency lastSale;
    Currency bid;
    Currency ask;
    int32_t volume = 0;
    int32_t openInt = 0;
    QString exchange;
};

// The first three words of a description's text before its code.
bool leadingWords(QStringView text, std::array<QStringView, 3>& words)
{
    std::size_t n = 0;
    qsizetype i = 0;
    while (n < words.size()) {
        while (i < text.size() && text[i] == QLatin1Char(' '))
            ++i;
        if (i == text.size())
            return false;
        const qsizetype start = i;
        while (i < text.size() && text[i] != QLatin1Char(' '))
            ++i;
        words[n++] = text.sliced(start, i - start);
    }
    return true;
}

// Reads one half; a text that explains what is wrong when it cannot be read.
std::optional<Half> readHalf(const Fields& f, int offset, bool callHalf, LineMemory& memory, QString& problem)
{
    if (f.size() < offset + 7) {
        problem = QStringLiteral("the line has too few fields");
        return std::nullopt;
    }
    Half h;
    const QStringView description = f.at(offset).trimmed();
    const qsizetype open = description.indexOf(QLatin1Char('('));
    const qsizetype close = description.indexOf(QLatin1Char(')'));
    if (open < 0 || close < open) {
        problem = QStringLiteral("the description %1 has no option code").arg(quoted(description.toString()));
        return std::nullopt;
    }
    h.code = description.sliced(open + 1, close - open - 1).toString();
    std::array<QStringView, 3> words;
    if (!leadingWords(description.first(open), words)) {
        problem = QStringLiteral("the description %1 has no expiration and strike").arg(quoted(description.toString()));
        return std::nullopt;
    }
    // Lines of one expiration follow each other: its date is worked out once.
    if (memory.year.isEmpty() || memory.year != words[0] || memory.month != words[1]) {
        const QString text = words[0].toString() + QLatin1Char(' ') + words[1].toString();
        const auto month = ParseExpiryMonth(text);
        if (!month) {
            problem = QStringLiteral("the expiration %1 is not a month").arg(quoted(text));
            return std::nullopt;
        }
        memory.year = words[0].toString();
        memory.month = words[1].toString();
        memory.expiration = serialFromDate(ExpirationSaturday(*month));
    }
    h.expiration = memory.expiration;
    const auto strike = moneyField(words[2]);
    if (!strike) {
        problem = QStringLiteral("the strike %1 is not a number").arg(quoted(words[2].toString()));
        return std::nullopt;
    }
    h.strike = *strike;
    const QStringView code(h.code);
    const qsizetype dash = code.indexOf(QLatin1Char('-'));
    const QChar letter = dash >= 0 ? (dash + 1 < code.size() ? code.at(dash + 1) : QChar()) : (code.isEmpty() ? QChar() : code.at(0));
    h.exchange = exchangeName(letter, callHalf);
    QString& net = memory.net[callHalf ? 0 : 1];
    if (net != f.at(offset + 2))
        net = f.at(offset + 2).toString();
    h.net = net;
    const struct {
        int field;
        Currency* target;
        const char* name;
    } money[] = {{1, &h.lastSale, "last sale"}, {3, &h.bid, "bid"}, {4, &h.ask, "ask"}};
    for (const auto& m : money) {
        const QStringView t = f.at(offset + m.field).trimmed();
        const auto v = t.isEmpty() ? std::optional<Currency>(Currency()) : moneyField(t);
        if (!v) {
            problem = QStringLiteral("the %1 %2 is not a number").arg(QLatin1String(m.name), quoted(t.toString()));
            return std::nullopt;
        }
        *m.target = *v;
    }
    const struct {
        int field;
        int32_t* target;
        const char* name;
    } whole[] = {{5, &h.volume, "volume"}, {6, &h.openInt, "open interest"}};
    for (const auto& w : whole) {
        const QStringView t = f.at(offset + w.field).trimmed();
        const auto v = t.isEmpty() ? std::optional<int32_t>(0) : wholeField(t);
        if (!v) {
            problem = QStringLiteral("the %1 %2 is not a whole number").arg(QLatin1String(w.name), quoted(t.toString()));
            return std::nullopt;
        }
        *w.target = *v;
    }
    return h;
}

void addHalf(OptionsCollection& side, const Half& h)
{
    side.Add(h.code, h.strike, h.expiration, h.net, h.bid, h.ask, h.volume, h.openInt, h.exchange, h.lastSale);
}

QString folderGiven(const QString& path)
{
    return QStringLiteral("\"%1\" is a folder, not an option chain file.").arg(path);
}

QString unreadable(const QString& path, const QFile& file)
{
    return QStringLiteral("The option data file \"%1\" cannot be read: %2").arg(path, file.errorString());
}


QString englishDate(const QDate& date)
{
    return QLocale(QLocale::English).toString(date, QStringLiteral("d MMMM yyyy"));
}

} // namespace

QuoteLines::QuoteLines(const QStringList& lines)
{
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(size);
    for (const QString& line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    // Counted as an answer's lines: a CR LF within a text ends a line too.
    *this = fromAnswerBytes(bytes);
}

QuoteLines::QuoteLines(std::initializer_list<QString> lines) : QuoteLines(QStringList(lines)) {}

QuoteLines QuoteLines::fromFileBytes(const QByteArray& bytes)
{
    QuoteLines l;
    l.m_bytes = bytes;
    l.m_end = bytes.size();
    l.m_ends = Ends::Lf;
    l.m_count = std::count(bytes.begin(), bytes.end(), '\n');
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        ++l.m_count;
    return l;
}

QuoteLines QuoteLines::fromAnswerBytes(const QByteArray& bytes)
{
    QuoteLines l;
    l.m_bytes = bytes;
    l.m_ends = Ends::CrLf;
    const char* data = bytes.constData();
    for (qsizetype from = 0;;) {
        const auto* lf = static_cast<const char*>(std::memchr(data + from, '\n', static_cast<std::size_t>(bytes.size() - from)));
        if (lf == nullptr)
            break;
        from = lf - data + 1;
        if (lf > data && lf[-1] == '\r') {
            ++l.m_count;
            l.m_end = from;
        }
    }
    return l;
}

bool QuoteLines::Reader::next(QLatin1String& line)
{
    const char* data = m_lines.m_bytes.constData();
    const qsizetype end = m_lines.m_end;
    if (m_pos >= end)
        return false;
    qsizetype from = m_pos;
    for (;;) {
        const auto* lf = static_cast<const char*>(std::memchr(data + from, '\n', static_cast<std::size_t>(end - from)));
        if (lf == nullptr) {
            // Only a file's last line comes without an end.
            line = QLatin1String(data + m_pos, end - m_pos);
            m_pos = end;
            return true;
        }
        const qsizetype at = lf - data;
        const bool cr = at > m_pos && data[at - 1] == '\r';
        if (cr || m_lines.m_ends == Ends::Lf) {
            line = QLatin1String(data + m_pos, at - m_pos - (cr ? 1 : 0));
            m_pos = at + 1;
            return true;
        }
        from = at + 1; // a lone LF within a line of an answer
    }
}

QByteArray QuoteLines::fileBytes() const
{
    if (m_ends == Ends::CrLf)
        return m_bytes.first(m_end);
    QByteArray bytes;
    bytes.reserve(m_bytes.size() + m_count + 2);
    Reader reader(*this);
    QLatin1String line;
    while (reader.next(line)) {
        bytes.append(line.data(), line.size());
        bytes.append("\r\n", 2);
    }
    return bytes;
}

QStringList QuoteLines::toStringList() const
{
    QStringList lines;
    lines.reserve(m_count);
    Reader reader(*this);
    QLatin1String line;
    while (reader.next(line))
        lines.append(line.toString());
    return lines;
}

bool operator==(const QuoteLines& a, const QuoteLines& b)
{
    if (a.m_count != b.m_count)
        return false;
    QuoteLines::Reader ra(a);
    QuoteLines::Reader rb(b);
    QLatin1String la;
    QLatin1String lb;
    while (ra.next(la) && rb.next(lb)) {
        if (la != lb)
            return false;
    }
    return true;
}

QDate latestQuoteDate()
{
    return QDate::currentDate().addYears(kQuoteDateYearsAhead);
}

bool isRealQuoteDate(const QDate& date)
{
    return date.isValid() && date >= kEarliestQuoteDate && date <= latestQuoteDate();
}

std::optional<QDate> ParseQuoteDate(const QString& text)
{
    if (text.size() < 11)
        return std::nullopt;
    const int month = monthNumber(text.left(3));
    bool dayOk = false;
    bool yearOk = false;
    const int day = text.mid(4, 2).trimmed().toInt(&dayOk);
    const int year = text.mid(7, 4).toInt(&yearOk);
    if (month == 0 || !dayOk || !yearOk)
        return std::nullopt;
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

std::optional<QDate> ParseExpiryMonth(const QString& text)
{
    if (text.size() < 6)
        return std::nullopt;
    const int month = monthNumber(text.mid(3));
    bool ok = false;
    const int yy = text.left(2).toInt(&ok);
    if (month == 0 || !ok || yy < 0)
        return std::nullopt;
    return QDate(yy >= 32 ? 1900 + yy : 2000 + yy, month, 1);
}

QDate ExpirationSaturday(const QDate& date)
{
    const QDate fifteenth(date.year(), date.month(), 15);
    const int w = fifteenth.dayOfWeek(); // Monday 1 .. Sunday 7
    return fifteenth.addDays(w <= 5 ? 1 + (5 - w) : 1 + (12 - w));
}

QString exchangeName(QChar letter, bool callHalf)
{
    switch (letter.unicode()) {
    case 'E':
        return QStringLiteral("CBOE (Chicago Board Options Exchange)");
    case 'A':
        return QStringLiteral("AMEX (American Stock Exchange)");
    case 'X':
        return QStringLiteral("PHLX (Philadelphia Stock Exchange)");
    case 'P':
        return QStringLiteral("PCX or PSE (Pacific Stock Exchange)");
    case '8':
        return QStringLiteral("ISE (International Securities Exchange)");
    default:
        // A code that ends in "-" names no letter: nothing follows the text.
        if (callHalf)
            return QStringLiteral("Other");
        return letter.isNull() ? QStringLiteral("Unknown code ") : QStringLiteral("Unknown code ") + letter;
    }
}

ParseResult ParseQuoteTable(const QuoteLines& lines, const ParseProgress& progress)
{
    if (lines.size() < 2)
        refuse(QStringLiteral("The data is not an option quote table: it has %1 line(s), a quote table starts "
                              "with a stock line and a quote line.")
                   .arg(lines.size()));
    ParseResult result;
    auto s = std::make_shared<stock>();
    QuoteLines::Reader reader(lines);
    QLatin1String line;

    // Line 1: the stock.
    reader.next(line);
    const Fields stockFields(line);
    if (stockFields.at(0).trimmed().isEmpty())
        refuse(QStringLiteral("The data is not an option quote table: its first line names no stock."));
    s->setCode(stockFields.at(0).toString());
    if (stockFields.size() > 2)
        s->setNet(stockFields.at(2).toString());

    // Line 2: the quote.
    reader.next(line);
    const Fields quote(line);
    const auto date = ParseQuoteDate(quote.at(0).toString());
    if (!date)
        refuse(QStringLiteral("The data is not an option quote table: %1 is not a quote date.")
                   .arg(quoted(quote.at(0).toString())));

    // A quote table, but every chart is drawn around the stock price: a
    // table without a price the charts can show is no chain to work with.
    const QString priceText = stockFields.size() > 1 ? stockFields.at(1).toString() : QString();
    const auto price = moneyField(priceText);
    if (!price || *price <= Currency() || *price >= kStockPriceLimit) {
        const QString must = QStringLiteral("a stock price must be more than 0 and less than %1.")
                                 .arg(QLocale(QLocale::English).toString(kStockPriceLimit.raw() / Currency::Scale));
        throw TwError(RunTime::InvalidPropertyValue, QStringLiteral("Tarnwell.QuoteTable"),
                      priceText.trimmed().isEmpty()
                          ? QStringLiteral("The quote table gives no stock price for %1: %2")
                                .arg(quoted(stockFields.at(0).trimmed().toString()), must)
                          : QStringLiteral("The quote table gives %1 as the stock price of %2: %3")
                                .arg(quoted(priceText.trimmed()), quoted(stockFields.at(0).trimmed().toString()), must));
    }
    s->setPrice(*price);

    // A date no quote was ever made on (a year such as -999 or 9999 reads
    // as a date all the same) would stretch every time axis over millennia.
    if (!isRealQuoteDate(*date))
        throw TwError(RunTime::InvalidPropertyValue, QStringLiteral("Tarnwell.QuoteTable"),
                      QStringLiteral("The quote table gives %1 as the quote date of %2: a quote date must lie between "
                                     "%3 and %4.")
                          .arg(quoted(quote.at(0).trimmed().toString()), quoted(stockFields.at(0).trimmed().toString()),
                               englishDate(kEarliestQuoteDate), englishDate(latestQuoteDate())));
    s->setStockDate(serialFromDate(*date));
    s->setSize(QStringLiteral("N/A"));
    if (quote.size() > 2) {
        s->setBid(moneyField(quote.at(2)).value_or(Currency()));
        if (quote.size() > 4)
            s->setAsk(moneyField(quote.at(4)).value_or(Currency()));
        if (quote.size() > 6) {
            s->setSize(quote.at(6).toString());
            if (quote.size() > 8)
                s->setVolume(wholeField(quote.at(8)).value_or(0));
        }
    }

    // Line 3 is the heading; then the option lines.
    const int count = static_cast<int>(lines.size());
    LineMemory memory;
    if (count >= 3)
        reader.next(line);
    for (int i = 4; i <= count; ++i) {
        reader.next(line);
        if (!line.trimmed().isEmpty()) {
            const Fields f(line);
            for (const bool callHalf : {true, false}) {
                const int offset = callHalf ? 0 : 7;
                if (f.size() <= offset || f.at(offset).trimmed().isEmpty())
                    continue;
                QString problem;
                if (const auto half = readHalf(f, offset, callHalf, memory, problem))
                    addHalf(callHalf ? *s->Calls() : *s->Puts(), *half);
                else if (++result.warningCount <= ParseResult::kKeptWarnings)
                    result.warnings.append(QStringLiteral("Line %1, %2: %3")
                                               .arg(i)
                                               .arg(callHalf ? QStringLiteral("call") : QStringLiteral("put"), problem));
            }
        }
        if (progress)
            progress(i, count);
    }
    result.objStock = s;
    return result;
}

QString warningSummary(const ParseResult& result)
{
    if (result.warnings.isEmpty())
        return {};
    QStringList shown = result.warnings;
    if (result.warningCount > shown.size())
        shown.append(QStringLiteral("... and %1 more.").arg(result.warningCount - shown.size()));
    return QStringLiteral("%1 option(s) of the quote table could not be read and were left out:\r\n\r\n%2")
        .arg(result.warningCount)
        .arg(shown.join(QStringLiteral("\r\n")));
}

QString chainFileOpenProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return folderGiven(path);
    if (!info.exists())
        return QStringLiteral("The \"%1\" file is not found.").arg(path);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString() : unreadable(path, file);
}

QuoteLines readOptionChainFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        throw TwError(RunTime::PathFileAccess, QStringLiteral("Tarnwell.QuoteTable"), folderGiven(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TwError(RunTime::FileNotFound, QStringLiteral("Tarnwell.QuoteTable"), unreadable(path, file));
    // Told before a byte is read: such a file would only fill the memory.
    if (file.size() > kLargestChainBytes)
        throw TwError(InvalidFileFormat, QStringLiteral("Tarnwell.QuoteTable"),
                      QStringLiteral("The file \"%1\" (%2 MB) is too large to be an option chain.")
                          .arg(path)
                          .arg(file.size() / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    if (isBinary(bytes))
        throw TwError(InvalidFileFormat, QStringLiteral("Tarnwell.QuoteTable"),
                      QStringLiteral("The file \"%1\" is not an option chain file.").arg(path));
    return QuoteLines::fromFileBytes(bytes);
}

void writeOptionChainFile(const QString& path, const QuoteLines& lines)
{
    QString why;
    if (!platform::replaceFile(path, lines.fileBytes(), &why))
        throw TwError(RunTime::PathNotFound, QStringLiteral("Tarnwell.QuoteTable"),
                      QStringLiteral("The option data cannot be saved to \"%1\": %2.").arg(path, why));
}

QString defaultChainFileName(const QString& code, double stockDate)
{
    return code + QLatin1Char(' ') + dateFromSerial(stockDate).toString(QStringLiteral("yyyy.MM.dd"))
        + QStringLiteral(".OPT");
}

} // namespace tw::marketdata
