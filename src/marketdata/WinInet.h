#pragma once
// The program's HTTP client: one complete HTTP/1.0 request at a time,
// optionally with a form-encoded body, whose whole answer is read into
// `Response`. The quote download and the symbol lookup set the properties,
// call Execute and read SuccessDone, ContentType and Response afterwards.
//
// Execute returns when the request has ended; until then the event loop
// keeps running (the caller's windows repaint and take clicks), and the
// progress is reported by two events:
//   OnStateChanged(State) at every change of state,
//   OnProgress(BytesDownloaded, BytesTotal) after every block of the answer
//   (at most 4096 bytes), BytesTotal being the announced length or 0.
// States, in the order they come:
//   1 the client is ready            2 the client cannot be used (end)
//   3 connected to the server        4 the connection failed (end)
//   5 the request cannot be made (end)
//   6 the request is made            7 the request was sent and answered
//   8 the request failed before an answer came (end)
//   9 the answer's headers are read; its body follows
//  10 the answer broke off, went silent or too slow, or grew too large (end)
//  11 the whole answer was read (end, success)
//  12 cancelled (end)
// Cancel stops the transfer at once, whatever it is waiting for; the state
// 12 follows at the next turn of the event loop, or at once when Cancel is
// called from one of the event handlers.
//
// No request waits for the server's good will: a connection must be made
// within ConnectTimeout (name lookup included), the whole request must end
// within TransferTimeout, an answer that sends nothing for LowSpeedTime
// seconds fails, and so does one that sends less than LowSpeedLimit bytes a
// second over any LowSpeedTime seconds, or one larger than MaxResponseBytes.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QEventLoop;

namespace tw {

class TwError;

namespace platform {
class HttpTransfer;
}

class WinInet : public QObject {
    Q_OBJECT
public:
    explicit WinInet(QObject* parent = nullptr);
    ~WinInet() override;

    void Cancel();
    void Execute();
    // True while Execute runs.
    bool Running() const { return m_running; }

    bool SuccessDone() const { return m_successDone; }
    void setSuccessDone(bool v) { m_successDone = v; }
    // The answer as text (one character per byte); "" unless SuccessDone.
    QString Response() const;
    void setResponse(const QString& v);
    // The answer's bytes as received; empty unless SuccessDone.
    QByteArray ResponseBytes() const;
    const QString& ContentType() const { return m_contentType; }
    void setContentType(const QString& v) { m_contentType = v; }
    const QString& PostQuery() const { return m_postQuery; }
    void setPostQuery(const QString& v) { m_postQuery = v; }
    // Kept for the callers; never sent.
    const QString& AcceptTypes() const { return m_acceptTypes; }
    void setAcceptTypes(const QString& v) { m_acceptTypes = v; }
    const QString& Referer() const { return m_referer; }
    void setReferer(const QString& v) { m_referer = v; }
    // Replaced by its escaped form when Execute runs.
    const QString& Resource() const { return m_resource; }
    void setResource(const QString& v) { m_resource = v; }
    // Replaced by the method that was sent once the answer's headers are in.
    const QString& Method() const { return m_method; }
    void setMethod(const QString& v) { m_method = v; }
    const QString& Password() const { return m_password; }
    void setPassword(const QString& v) { m_password = v; }
    const QString& UserName() const { return m_userName; }
    void setUserName(const QString& v) { m_userName = v; }
    uint16_t Port() const { return m_port; }
    void setPort(uint16_t v) { m_port = v; }
    const QString& HostName() const { return m_hostName; }
    void setHostName(const QString& v) { m_hostName = v; }
    const QString& AgentName() const { return m_agentName; }
    void setAgentName(const QString& v) { m_agentName = v; }

    int32_t State() const { return m_state; }
    int32_t BytesTotal() const { return m_bytesTotal; }
    int32_t BytesDownloaded() const { return m_bytesDownloaded; }
    // The answer's HTTP status (0 before one came).
    int StatusCode() const { return m_statusCode; }
    // Why the last request failed, in the library's words (for traces).
    const QString& FailureText() const { return m_failureText; }
    // How the last request failed, for the words its caller shows.
    enum class Failure {
        None,       // it succeeded (or none ran yet)
        Cancelled,  // Cancel ended it (state 12)
        Connection, // no client, no connection, or the request could not be made or sent (2, 4, 5, 8)
        Answer,     // the answer broke off, went silent or came too slowly (10)
        TooLarge,   // the answer grew beyond MaxResponseBytes (10)
    };
    Failure LastFailure() const { return m_failure; }

    // Limits of a request.
    int ConnectTimeout() const { return m_connectTimeoutMs; } // milliseconds
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    int LowSpeedTime() const { return m_lowSpeedTimeSeconds; } // seconds
    void setLowSpeedTime(int seconds) { m_lowSpeedTimeSeconds = seconds; }
    int LowSpeedLimit() const { return m_lowSpeedLimit; } // bytes a second; 0: none
    void setLowSpeedLimit(int bytesPerSecond) { m_lowSpeedLimit = bytesPerSecond; }
    int TransferTimeout() const { return m_transferTimeoutMs; } // milliseconds
    void setTransferTimeout(int ms) { m_transferTimeoutMs = ms; }
    int64_t MaxResponseBytes() const { return m_maxResponseBytes; }
    void setMaxResponseBytes(int64_t bytes) { m_maxResponseBytes = bytes; }

    static constexpr int64_t DefaultMaxResponseBytes = 32 * 1024 * 1024;

signals:
    void OnProgress(int32_t BytesDownloaded, int32_t BytesTotal);
    void OnStateChanged(int32_t State);

private:
    void executeRequest();
    void ChangeStatus(int32_t state);
    void CloseHandles();
    // Ends the request with state 12 when a cancel is pending.
    bool cancelCheck();
    void finish();
    // The transfer's events; a failure inside ends the request and is
    // raised again by Execute.
    template <class F>
    void guarded(F&& body);
    void onConnected();
    void onHeaders();
    void onData(const QByteArray& block);
    void onFinished();

    QString m_agentName;
    QString m_hostName;
    uint16_t m_port = 0;
    QString m_userName;
    QString m_password;
    QString m_method;
    QString m_resource;
    QString m_referer;
    QString m_acceptTypes;
    QString m_postQuery;
    QString m_contentType;
    QByteArray m_response;
    int32_t m_state = 0;
    bool m_successDone = false;
    int32_t m_bytesTotal = 0;
    int32_t m_bytesDownloaded = 0;
    bool m_cancel = false;
    int m_statusCode = 0;
    QString m_failureText;
    Failure m_failure = Failure::None;
    int m_connectTimeoutMs = 15000;
    int m_lowSpeedTimeSeconds = 30;
    int m_lowSpeedLimit = 100;
    int m_transferTimeoutMs = 180000;
    int64_t m_maxResponseBytes = DefaultMaxResponseBytes;

    std::unique_ptr<platform::HttpTransfer> m_transfer;
    bool m_running = false;
    QEventLoop* m_loop = nullptr;
    std::unique_ptr<TwError> m_error;
};

// The resource as it goes on the request line: characters that may not
// stand in a URL (blanks, quotes, angle brackets, controls, anything beyond
// ASCII...) escaped as %XX of their UTF-8 bytes; a resource that does not
// start with "/" gets one.
QByteArray canonicalResource(const QString& resource);

} // namespace tw
