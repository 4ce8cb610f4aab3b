#include "marketdata/WinInet.h"

#include "app/TwError.h"
#include "platform/HttpTransfer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <limits>

namespace tw {

namespace {

int32_t clampToInt32(int64_t v)
{
    if (v < 0)
        return 0;
    return v > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(v);
}

} // namespace

QByteArray canonicalResource(const QString& resource)
{
    static const QByteArray kept = QByteArrayLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                                     "-._~:/?#[]@!$&'()*+,;=%");
    const QByteArray utf8 = resource.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 1);
    if (!utf8.startsWith('/'))
        out.append('/');
    for (char c : utf8) {
        if (kept.contains(c)) {
            out.append(c);
        } else {
            out.append('%');
            out.append(QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0').toUpper());
        }
    }
    return out;
}

WinInet::WinInet(QObject* parent) : QObject(parent) {}

WinInet::~WinInet()
{
    // Dropped while a request runs (its owner went away): stop the transfer
    // and let Execute return without touching this object any more.
    if (m_loop != nullptr)
        m_loop->quit();
    if (m_transfer)
        m_transfer->abort();
}

QString WinInet::Response() const
{
    return componentCall("WinInet", "Response", [&] {
        return m_successDone ? QString::fromLatin1(m_response) : QString();
    });
}

void WinInet::setResponse(const QString& v)
{
    componentCall("WinInet", "Response", [&] { m_response = v.toLatin1(); });
}

QByteArray WinInet::ResponseBytes() const
{
    return m_successDone ? m_response : QByteArray();
}

void WinInet::Cancel()
{
    m_cancel = true;
    if (!m_running)
        return;
    // The connection goes now; state 12 follows as soon as the event loop
    // turns (at once when a handler of ours called us, see cancelCheck).
    if (m_transfer)
        m_transfer->abort();
    QTimer::singleShot(0, this, [this] {
        if (m_running)
            cancelCheck();
    });
}

void WinInet::Execute()
{
    componentCall("WinInet", "Execute", [&] { executeRequest(); });
}

void WinInet::executeRequest()
{
    if (m_running)
        raiseRunTime(RunTime::InvalidProcedureCall, QStringLiteral("A request is already running"));
    m_successDone = false;
    m_bytesTotal = 0;
    m_bytesDownloaded = 0;
    m_cancel = false;
    m_statusCode = 0;
    m_failureText.clear();
    m_failure = Failure::None;
    m_error.reset();

    m_transfer = std::make_unique<platform::HttpTransfer>();
    if (!m_transfer->open()) {
        m_transfer.reset();
        m_failure = Failure::Connection;
        ChangeStatus(2);
        return;
    }
    ChangeStatus(1);
    if (cancelCheck())
        return;

    const QByteArray target = canonicalResource(m_resource);
    m_resource = QString::fromUtf8(target);
    platform::HttpRequest request;
    request.host = m_hostName;
    request.port = m_port;
    request.method = m_method;
    request.target = target;
    request.referer = m_referer;
    request.userAgent = m_agentName;
    request.userName = m_userName;
    request.password = m_password;
    request.formBody = !m_postQuery.isEmpty();
    request.body = m_postQuery.toUtf8();
    request.connectTimeoutMs = m_connectTimeoutMs;
    request.lowSpeedTimeSeconds = m_lowSpeedTimeSeconds;
    request.lowSpeedLimit = m_lowSpeedLimit;
    request.timeoutMs = m_transferTimeoutMs;
    request.maxBytes = m_maxResponseBytes;

    platform::HttpTransfer* t = m_transfer.get();
    connect(t, &platform::HttpTransfer::connected, this, [this] { guarded([this] { onConnected(); }); });
    connect(t, &platform::HttpTransfer::headersReceived, this, [this] { guarded([this] { onHeaders(); }); });
    connect(t, &platform::HttpTransfer::dataReceived, this,
            [this](const QByteArray& block) { guarded([&] { onData(block); }); });
    connect(t, &platform::HttpTransfer::finished, this, [this] { guarded([this] { onFinished(); }); });

    m_running = true;
    t->start(request);
    QEventLoop loop;
    QPointer<WinInet> alive(this);
    m_loop = &loop;
    if (m_running)
        loop.exec();
    if (alive == nullptr)
        return;
    m_loop = nullptr;
    m_running = false;
    if (m_error) {
        const TwError e = *m_error;
        m_error.reset();
        throw e;
    }
}

template <class F>
void WinInet::guarded(F&& body)
{
    if (!m_running)
        return;
    try {
        body();
    } catch (...) {
        m_error = std::make_unique<TwError>(currentError());
        CloseHandles();
        finish();
    }
}

void WinInet::ChangeStatus(int32_t state)
{
    m_state = state;
    emit OnStateChanged(state);
    // Outside the transfer's events (those return to the event loop anyway)
    // the windows get their turn here.
    if (!m_running)
        QCoreApplication::processEvents();
}

void WinInet::CloseHandles()
{
    if (!m_transfer)
        return;
    m_transfer->abort();
    m_transfer->disconnect(this);
    // It may be the sender of the event being handled.
    m_transfer.release()->deleteLater();
}

bool WinInet::cancelCheck()
{
    if (!m_cancel)
        return false;
    CloseHandles();
    m_failure = Failure::Cancelled;
    ChangeStatus(12);
    finish();
    return true;
}

void WinInet::finish()
{
    m_running = false;
    if (m_loop != nullptr)
        m_loop->quit();
}

// Inside the transfer's events a cancel can only come from the handlers of
// our own signals: it is checked after each signal and nowhere else (a
// cancel from outside is caught by Cancel's own timer).
void WinInet::onConnected()
{
    ChangeStatus(3);
    if (cancelCheck())
        return;
    ChangeStatus(6);
    cancelCheck();
}

void WinInet::onHeaders()
{
    ChangeStatus(7);
    if (cancelCheck())
        return;
    m_statusCode = m_transfer->statusCode();
    m_contentType = m_transfer->contentType();
    m_bytesTotal = clampToInt32(m_transfer->contentLength());
    const QString method = m_transfer->effectiveMethod();
    if (!method.isEmpty())
        m_method = method;
    ChangeStatus(9);
    m_response.clear();
}

void WinInet::onData(const QByteArray& block)
{
    m_response.append(block);
    m_bytesDownloaded = clampToInt32(int64_t(m_bytesDownloaded) + block.size());
    emit OnProgress(m_bytesDownloaded, m_bytesTotal);
    cancelCheck();
}

void WinInet::onFinished()
{
    const platform::HttpTransfer::Failure failure = m_transfer->failure();
    m_failureText = m_transfer->errorText();
    if (failure == platform::HttpTransfer::Failure::None) {
        // The end of the answer is one more report of the final count.
        emit OnProgress(m_bytesDownloaded, m_bytesTotal);
        if (cancelCheck())
            return;
        CloseHandles();
        m_successDone = true;
        ChangeStatus(11);
        finish();
        return;
    }
    CloseHandles();
    m_response.clear();
    // The kind is known before the state is told, so a handler of the state
    // can already name it.
    switch (failure) {
    case platform::HttpTransfer::Failure::Setup:
        m_failure = Failure::Connection;
        ChangeStatus(5);
        break;
    case platform::HttpTransfer::Failure::Connect:
        m_failure = Failure::Connection;
        ChangeStatus(4);
        break;
    case platform::HttpTransfer::Failure::Send:
        m_failure = Failure::Connection;
        ChangeStatus(8);
        break;
    case platform::HttpTransfer::Failure::TooLarge:
        m_failure = Failure::TooLarge;
        ChangeStatus(10);
        break;
    default:
        m_failure = Failure::Answer;
        ChangeStatus(10);
        break;
    }
    finish();
}

} // namespace tw
