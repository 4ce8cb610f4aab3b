#pragma once
// One HTTP request over libcurl, driven from the Qt event loop of the calling
// thread (curl's multi interface with socket notifiers and a timer), so that
// the caller's windows keep working while it runs and it can be stopped at
// any moment.
//
// The transfer reports what happened through signals, one per pass of the
// event loop, in this order: connected (the connection to the server is
// made), headersReceived (the answer's status line and headers are in),
// dataReceived (the body in blocks of at most 4096 bytes), and finished
// (always last; failure() says how it ended). abort() stops it at once:
// the connection is closed and no further signal comes.
//
// A transfer that gets nothing for `lowSpeedTimeSeconds`, that gets less
// than `lowSpeedLimit` bytes a second over any stretch of that length once
// connected, that takes longer than `timeoutMs` in all, that cannot connect
// within `connectTimeoutMs` (name lookup included), whose answer breaks off
// before its announced length, or whose answer grows beyond `maxBytes`
// fails; none of these waits for the server's good will.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

namespace tw::platform {

struct HttpRequest {
    QString host;
    uint16_t port = 80;
    QString method = QStringLiteral("GET");
    // Path and query exactly as they go on the request line (already escaped).
    QByteArray target = "/";
    QString referer;
    QString userAgent;
    QString userName;
    QString password;
    // The request body. With `formBody` it goes out with the header
    // "Content-Type: application/x-www-form-urlencoded"; without, neither a
    // body nor that header is sent.
    QByteArray body;
    bool formBody = false;
    bool http10 = true;
    int connectTimeoutMs = 15000;
    int lowSpeedTimeSeconds = 30;
    int lowSpeedLimit = 100; // bytes a second; 0: only silence fails
    int timeoutMs = 180000;  // the whole transfer
    int64_t maxBytes = 32 * 1024 * 1024;
};

class HttpTransfer : public QObject {
    Q_OBJECT
public:
    enum class Failure {
        None,     // the whole answer was read
        Setup,    // the request could not be made (a bad method, a library failure)
        Connect,  // no connection: name lookup, refused, unreachable, connect timeout
        Send,     // connected, but no answer came back (error or silence)
        Receive,  // the answer broke off, or went silent, after its headers
        TooLarge, // the answer is larger than maxBytes
    };

    explicit HttpTransfer(QObject* parent = nullptr);
    ~HttpTransfer() override;

    // Prepares the library for one transfer; false when it cannot be used.
    bool open();
    // Starts the request (after open()). Whatever goes wrong is reported
    // through finished(); false only when open() was not successful.
    bool start(const HttpRequest& request);
    // Stops the transfer at once and closes its connection; nothing is
    // signalled afterwards. Harmless when nothing runs.
    void abort();
    bool running() const;

    // Known once headersReceived was signalled.
    int statusCode() const;
    QString contentType() const;
    // The announced Content-Length; -1 when the server announced none.
    int64_t contentLength() const;
    // The method the library sent.
    QString effectiveMethod() const;

    // Known once finished was signalled.
    Failure failure() const;
    // The library's reason for a failure, for traces.
    QString errorText() const;

    // The largest block dataReceived carries.
    static constexpr int BlockSize = 4096;

signals:
    void connected();
    void headersReceived();
    void dataReceived(const QByteArray& block);
    void finished();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tw::platform
