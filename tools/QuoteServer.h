#pragma once
// A small delayed-quote server for trying the program's Download and Lookup
// without the exchange, and for the tests: a real HTTP/1.0 server on
// 127.0.0.1 that answers
//   POST /DelayedQuote/QuoteTableDownload.aspx  with the ".opt" file of the
//     ticker from its folder (content type "application/x-unknown"), or a
//     small HTML page when it has none;
//   POST /DelayedQuote/Symbol.aspx  with a canned lookup page listing the
//     companies whose name contains the searched text;
// and anything else with "404 Not Found". Switches make it misbehave the
// ways a real server can: no Content-Length, another content type, a wrong
// length, silence, an answer cut short, a broken lookup page, a slow line.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace tw::tools {

struct Company {
    QString ticker;
    QString name;
    QString exchange;
};

struct QuoteServerOptions {
    // Folder of the ".opt" files: a ticker's file is the one named after it
    // (any case, as "ZYX.opt"), or the one whose stock line names it.
    QString folder;
    // Companies the lookup knows besides those of the folder's chains.
    QList<Company> companies;

    // Ways to misbehave (each for every answer that follows).
    bool noLength = false;              // no Content-Length header
    QByteArray quoteContentType = "application/x-unknown";
    int64_t lengthDelta = 0;            // announces the length plus this
    bool stall = false;                 // reads the request, never answers
    int64_t cutAfter = -1;              // sends this many body bytes, then closes
    bool brokenPage = false;            // the lookup page is cut and garbled
    int blockDelayMs = 0;               // a pause after every block of the body
    int blockSize = 4096;
};

class QuoteServer : public QObject {
    Q_OBJECT
public:
    explicit QuoteServer(QuoteServerOptions options = {}, QObject* parent = nullptr);
    ~QuoteServer() override;

    // Listens on 127.0.0.1 (port 0: a free port).
    bool listen(uint16_t port = 0);
    uint16_t port() const;
    QString errorString() const;

    // The switches may change between requests.
    QuoteServerOptions& options() { return m_options; }

    // The requests received so far, as they came (request line, headers,
    // body).
    const QList<QByteArray>& requests() const { return m_requests; }
    // The companies the lookup knows.
    QList<Company> companies() const;

    // The canned lookup page for these results.
    static QByteArray lookupPage(const QString& searched, const QList<Company>& found);
    static QByteArray brokenLookupPage();
    // The made-up companies every server knows.
    static QList<Company> builtInCompanies();

private:
    void accept();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QByteArray& request);
    void send(QTcpSocket* socket, const QByteArray& status, const QByteArray& contentType, const QByteArray& body);
    QByteArray quoteTable(const QString& ticker) const;

    QuoteServerOptions m_options;
    QTcpServer* m_server = nullptr;
    QList<QByteArray> m_requests;
};

// The fields of a form-encoded body, names and values decoded.
QList<QPair<QString, QString>> formFields(const QByteArray& body);

} // namespace tw::tools
