#include "QuoteServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace tw::tools {

namespace {

constexpr qsizetype kMaxRequest = 1024 * 1024;

QString decodeFormPart(QByteArray part)
{
    part.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
}

QString htmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// The ticker of an ".opt" file's stock line: its code up to the first blank.
QString chainTicker(const QByteArray& firstLine)
{
    const QString code = QString::fromLatin1(firstLine.left(firstLine.indexOf(',')));
    return code.section(QLatin1Char(' '), 0, 0).trimmed();
}

QByteArray firstLineOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readLine(4096).trimmed();
}

} // namespace

QList<QPair<QString, QString>> formFields(const QByteArray& body)
{
    QList<QPair<QString, QString>> fields;
    for (const QByteArray& pair : body.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        fields.append({decodeFormPart(eq < 0 ? pair : pair.left(eq)), eq < 0 ? QString() : decodeFormPart(pair.mid(eq + 1))});
    }
    return fields;
}

QuoteServer::QuoteServer(QuoteServerOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, [this] { accept(); });
}

QuoteServer::~QuoteServer() = default;

bool QuoteServer::listen(uint16_t port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

uint16_t QuoteServer::port() const
{
    return m_server->serverPort();
}

QString QuoteServer::errorString() const
{
    return m_server->errorString();
}

QList<Company> QuoteServer::builtInCompanies()
{
    return {
        {QStringLiteral("ZYXA"), QStringLiteral("ZYXON AUTOMOTIVE GROUP"), QStringLiteral("NYSE")},
        {QStringLiteral("BZYX"), QStringLiteral("BRAND ZYXON HOLDINGS"), QStringLiteral("AMEX")},
        {QStringLiteral("MRTV"), QStringLiteral("MYRTOVA INSTRUMENTS CORP"), QStringLiteral("NASDAQ")},
        {QStringLiteral("TRNW"), QStringLiteral("TARN WELLFIELD MINING LTD"), QStringLiteral("NYSE")},
        {QStringLiteral("QLPS"), QStringLiteral("QUILLPOINT SOFTWARE INC"), QStringLiteral("NASDAQ")},
        {QStringLiteral("ATNT"), QStringLiteral("AT&T FIBRE WORKS"), QStringLiteral("NYSE")},
    };
}

QList<Company> QuoteServer::companies() const
{
    QList<Company> all = m_options.companies;
    // The stocks of the folder's chains: "ZYX (ZYXON SYSTEMS INC),...".
    if (!m_options.folder.isEmpty()) {
        const QDir dir(m_options.folder);
        for (const QString& file : dir.entryList({QStringLiteral("*.opt"), QStringLiteral("*.OPT")}, QDir::Files,
                                                 QDir::Name)) {
            const QByteArray first = firstLineOf(dir.filePath(file));
            const QString code = QString::fromLatin1(first.left(first.indexOf(',')));
            const qsizetype open = code.indexOf(QLatin1Char('('));
            const qsizetype close = code.lastIndexOf(QLatin1Char(')'));
            const QString ticker = chainTicker(first);
            if (ticker.isEmpty() || open < 0 || close <= open)
                continue;
            bool known = false;
            for (const Company& c : all)
                known = known || c.ticker.compare(ticker, Qt::CaseInsensitive) == 0;
            if (!known)
                all.append({ticker, code.mid(open + 1, close - open - 1).trimmed(), QStringLiteral("NASDAQ")});
        }
    }
    for (const Company& c : builtInCompanies()) {
        bool known = false;
        for (const Company& k : all)
            known = known || k.ticker == c.ticker;
        if (!known)
            all.append(c);
    }
    return all;
}

void QuoteServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void QuoteServer::readRequest(QTcpSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    if (buffer.size() > kMaxRequest) {
        socket->setProperty("answered", true);
        send(socket, "413 Request Entity Too Large", "text/html", "<html><body>Too large</body></html>");
        return;
    }
    socket->setProperty("buffer", buffer);
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    int64_t length = 0;
    for (const QByteArray& line : buffer.left(headerEnd).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            length = line.mid(colon + 1).trimmed().toLongLong();
    }
    if (buffer.size() - (headerEnd + 4) < length)
        return;
    socket->setProperty("answered", true);
    const QByteArray request = buffer.left(headerEnd + 4 + length);
    m_requests.append(request);
    answer(socket, request);
}

void QuoteServer::answer(QTcpSocket* socket, const QByteArray& request)
{
    if (m_options.stall)
        return; // the connection stays open and silent
    const QByteArray requestLine = request.left(request.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    const QByteArray method = parts.value(0);
    const QByteArray target = parts.value(1);
    const QByteArray body = request.mid(request.indexOf("\r\n\r\n") + 4);
    const auto field = [&](const QString& name) {
        for (const auto& [key, value] : formFields(body)) {
            if (key == name)
                return value;
        }
        return QString();
    };

    if (method == "POST" && target == "/DelayedQuote/QuoteTableDownload.aspx") {
        const QString ticker = field(QStringLiteral("ucQuoteTableDownloadCtl:txtTicker")).trimmed();
        const QByteArray table = quoteTable(ticker);
        if (table.isNull()) {
            send(socket, "200 OK", "text/html",
                 "<html><body><p>No quote table for \"" + htmlEscaped(ticker).toUtf8() + "\".</p></body></html>");
            return;
        }
        send(socket, "200 OK", m_options.quoteContentType, table);
        return;
    }
    if (method == "POST" && target == "/DelayedQuote/Symbol.aspx") {
        if (m_options.brokenPage) {
            send(socket, "200 OK", "text/html", brokenLookupPage());
            return;
        }
        const QString searched = field(QStringLiteral("company")).simplified();
        QList<Company> found;
        if (!searched.isEmpty()) {
            for (const Company& c : companies()) {
                if (c.name.contains(searched, Qt::CaseInsensitive))
                    found.append(c);
            }
        }
        send(socket, "200 OK", "text/html; charset=utf-8", lookupPage(searched, found));
        return;
    }
    send(socket, "404 Not Found", "text/html", "<html><body>Not found</body></html>");
}

QByteArray QuoteServer::quoteTable(const QString& ticker) const
{
    if (ticker.isEmpty() || m_options.folder.isEmpty())
        return {};
    const QDir dir(m_options.folder);
    const QStringList files =
        dir.entryList({QStringLiteral("*.opt"), QStringLiteral("*.OPT")}, QDir::Files, QDir::Name);
    QString chosen;
    for (const QString& file : files) {
        if (QFileInfo(file).completeBaseName().compare(ticker, Qt::CaseInsensitive) == 0)
            chosen = file;
    }
    for (qsizetype i = 0; chosen.isEmpty() && i < files.size(); ++i) {
        if (chainTicker(firstLineOf(dir.filePath(files.at(i)))).compare(ticker, Qt::CaseInsensitive) == 0)
            chosen = files.at(i);
    }
    if (chosen.isEmpty())
        return {};
    QFile f(dir.filePath(chosen));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (bytes.isNull())
        bytes = QByteArray("");
    return bytes;
}

void QuoteServer::send(QTcpSocket* socket, const QByteArray& status, const QByteArray& contentType,
                       const QByteArray& body)
{
    QByteArray head = "HTTP/1.0 " + status + "\r\nServer: tw_quote_server\r\nContent-Type: " + contentType + "\r\n";
    if (!m_options.noLength)
        head += "Content-Length: " + QByteArray::number(body.size() + m_options.lengthDelta) + "\r\n";
    head += "Connection: close\r\n\r\n";
    QByteArray sent = body;
    const bool cut = m_options.cutAfter >= 0 && m_options.cutAfter < body.size();
    if (cut)
        sent = body.left(m_options.cutAfter);
    socket->write(head);

    QPointer<QTcpSocket> s(socket);
    const int delay = m_options.blockDelayMs;
    const int block = std::max(1, m_options.blockSize);
    if (delay <= 0) {
        socket->write(sent);
        socket->disconnectFromHost();
        return;
    }
    // A slow line: one block, a pause, the next block...
    auto* timer = new QTimer(socket);
    auto offset = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [s, timer, offset, sent, block] {
        if (s == nullptr)
            return;
        if (*offset >= sent.size()) {
            timer->stop();
            s->disconnectFromHost();
            return;
        }
        s->write(sent.mid(*offset, block));
        *offset += block;
    });
    timer->start(delay);
}

QByteArray QuoteServer::lookupPage(const QString& searched, const QList<Company>& found)
{
    QByteArray page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Symbol lookup</title></head>\n<body>\n";
    // The page's frame: header, menus and side bars, thirteen tables in all.
    const char* frame[] = {"Delayed quotes", "Home", "Quotes", "Symbol lookup", "Options", "Education",
                           "Tools",          "News", "Markets", "Help",         "Contact", "Site map", "Search"};
    for (const char* title : frame)
        page += "<table class=\"frame\"><tr><td>" + QByteArray(title) + "</td><td>&nbsp;</td></tr></table>\n";
    // The summary.
    page += "<table id=\"summary\"><tr><td>Symbol lookup for \"" + htmlEscaped(searched).toUtf8()
        + "\"</td><td>" + QByteArray::number(found.size()) + " companies found</td></tr></table>\n";
    // The results: a heading row of three cells, then four cells a company.
    page += "<table id=\"results\">\n<tr><th>Ticker</th><th>Company Name</th><th>Exchange</th></tr>\n";
    for (const Company& c : found) {
        page += "<tr><td><a href=\"Quote.aspx?ticker=" + QUrl::toPercentEncoding(c.ticker) + "\">"
            + htmlEscaped(c.ticker).toUtf8() + "</a></td><td>" + htmlEscaped(c.name).toUtf8() + "</td><td>"
            + htmlEscaped(c.exchange).toUtf8() + "</td><td><a href=\"Quote.aspx\">Quote</a></td></tr>\n";
    }
    page += "</table>\n</body></html>\n";
    return page;
}

QByteArray QuoteServer::brokenLookupPage()
{
    QByteArray page = "<html><head><title>Symbol lookup</ti";
    page += "<table><tr><td>Delayed quotes<td><b><i>Home</table\n";
    page += "<table <tr><td>\xff\xfe\x80 Quotes</td></tr><!-- a comment that never ends <table>";
    // Control bytes (a NUL first), stray brackets, a lone surrogate, an
    // unknown entity and a tag cut short: the whole array but its closing NUL.
    static constexpr char kGarbage[] = "\x00\x01\x02<<>>&#xD800;&bogus;<tab";
    page += QByteArray(kGarbage, sizeof kGarbage - 1);
    return page;
}

} // namespace tw::tools
