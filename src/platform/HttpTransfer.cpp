#include "platform/HttpTransfer.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <curl/curl.h>
#include <deque>
#include <map>
#include <utility>

namespace tw::platform {

namespace {

// curl_global_init once for the process, before the first handle.
bool libraryReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

bool isToken(const QString& method)
{
    if (method.isEmpty())
        return false;
    for (QChar c : method) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')
            || QStringLiteral("!#$%&'*+-.^_`|~").contains(c);
        if (!ok)
            return false;
    }
    return true;
}

bool isHostName(const QString& host)
{
    if (host.isEmpty() || host.size() > 253)
        return false;
    for (QChar c : host) {
        const char16_t u = c.unicode();
        if (u <= ' ' || u >= 0x7F || QStringLiteral("/?#@[]\\\"<>%").contains(c))
            return false;
    }
    return true;
}

// Loopback addresses never go through a proxy configured in the environment.
QByteArray noProxyList()
{
    QByteArray list = qgetenv("no_proxy");
    if (list.isEmpty())
        list = qgetenv("NO_PROXY");
    if (!list.isEmpty())
        list += ',';
    return list + "localhost,127.0.0.1,::1";
}

QByteArray headerValue(const QByteArray& line, const char* name)
{
    const int colon = line.indexOf(':');
    if (colon <= 0 || line.left(colon).trimmed().toLower() != name)
        return {};
    return line.mid(colon + 1).trimmed();
}

} // namespace

struct HttpTransfer::Private {
    enum class Kind { Connected, Headers, Data, Done };
    struct Event {
        Kind kind;
        QByteArray data;
    };
    struct Notifiers {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    HttpTransfer* q = nullptr;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    QTimer curlTimer;
    QTimer deliverTimer;
    QTimer silenceTimer;
    QTimer wholeTimer;
    // The least rate: bytes heard (headers and body) sampled a few times a
    // window since the connection was made.
    QTimer rateTimer;
    QElapsedTimer rateClock;
    std::deque<std::pair<qint64, int64_t>> rateSamples;
    int64_t heardBytes = 0;
    int lowSpeedLimit = 0;
    std::map<curl_socket_t, Notifiers> sockets;
    std::deque<Event> queue;
    bool running = false;
    bool delivering = false;
    bool connectedSeen = false;
    bool headersSeen = false;
    bool tooLarge = false;
    int64_t maxBytes = 0;
    int64_t received = 0;
    int status = 0;
    QString contentType;
    int64_t contentLength = -1;
    QString method;
    Failure failure = Failure::None;
    QString errorText;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    explicit Private(HttpTransfer* owner) : q(owner)
    {
        curlTimer.setSingleShot(true);
        silenceTimer.setSingleShot(true);
        wholeTimer.setSingleShot(true);
        deliverTimer.setSingleShot(true);
        deliverTimer.setInterval(0);
        QObject::connect(&curlTimer, &QTimer::timeout, q, [this] { socketAction(CURL_SOCKET_TIMEOUT, 0); });
        QObject::connect(&deliverTimer, &QTimer::timeout, q, [this] { deliverOne(); });
        QObject::connect(&silenceTimer, &QTimer::timeout, q, [this] { silence(); });
        QObject::connect(&wholeTimer, &QTimer::timeout, q, [this] { overtime(); });
        QObject::connect(&rateTimer, &QTimer::timeout, q, [this] { checkRate(); });
    }

    ~Private() { release(); }

    // Closes the connection: the handle, its sockets and its timers go.
    void dropConnection()
    {
        silenceTimer.stop();
        wholeTimer.stop();
        rateTimer.stop();
        rateSamples.clear();
        curlTimer.stop();
        if (easy != nullptr) {
            curl_multi_remove_handle(multi, easy);
            curl_easy_cleanup(easy);
            easy = nullptr;
        }
        for (auto& [socket, n] : sockets)
            dropNotifiers(n);
        sockets.clear();
    }

    // Everything goes, the events not yet delivered too.
    void release()
    {
        dropConnection();
        deliverTimer.stop();
        queue.clear();
        if (multi != nullptr)
            curl_multi_cleanup(multi);
        multi = nullptr;
        if (headers != nullptr)
            curl_slist_free_all(headers);
        headers = nullptr;
        running = false;
    }

    static void dropNotifier(QSocketNotifier*& n)
    {
        if (n == nullptr)
            return;
        // It may be the one whose signal is being handled right now.
        n->setEnabled(false);
        n->deleteLater();
        n = nullptr;
    }

    static void dropNotifiers(Notifiers& n)
    {
        dropNotifier(n.read);
        dropNotifier(n.write);
    }

    void push(Kind kind, QByteArray data = {})
    {
        queue.push_back({kind, std::move(data)});
        if (!delivering)
            deliverTimer.start();
    }

    // One event per pass of the event loop: the caller's windows get their
    // turn between any two blocks, and an abort() in between drops the rest.
    void deliverOne()
    {
        if (delivering || queue.empty())
            return;
        delivering = true;
        Event e = std::move(queue.front());
        queue.pop_front();
        QPointer<HttpTransfer> alive(q);
        switch (e.kind) {
        case Kind::Connected:
            emit q->connected();
            break;
        case Kind::Headers:
            emit q->headersReceived();
            break;
        case Kind::Data:
            emit q->dataReceived(e.data);
            break;
        case Kind::Done:
            running = false;
            emit q->finished();
            break;
        }
        if (alive == nullptr)
            return;
        delivering = false;
        if (!queue.empty())
            deliverTimer.start();
    }

    void socketAction(curl_socket_t socket, int events)
    {
        if (multi == nullptr)
            return;
        int stillRunning = 0;
        curl_multi_socket_action(multi, socket, events, &stillRunning);
        checkDone();
    }

    void checkDone()
    {
        if (multi == nullptr)
            return;
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg != CURLMSG_DONE)
                continue;
            finish(msg->data.result);
            return;
        }
    }

    Failure failureOfStage() const
    {
        if (headersSeen)
            return Failure::Receive;
        return connectedSeen ? Failure::Send : Failure::Connect;
    }

    void finish(CURLcode result)
    {
        if (result == CURLE_OK) {
            end(Failure::None, QString());
            return;
        }
        if (tooLarge) {
            end(Failure::TooLarge, QStringLiteral("The answer is larger than %1 bytes").arg(maxBytes));
            return;
        }
        const QString why = errorBuffer[0] != 0 ? QString::fromLocal8Bit(errorBuffer)
                                                : QString::fromLatin1(curl_easy_strerror(result));
        end(failureOfStage(), why);
    }

    // The size limit, for the announced length and for the bytes received:
    // beyond it the callback refuses the data and the transfer fails as too
    // large.
    bool beyondLimit(int64_t bytes)
    {
        if (bytes > maxBytes)
            tooLarge = true;
        return tooLarge;
    }

    // Nothing came from the server for the low-speed time.
    void silence()
    {
        if (easy == nullptr)
            return;
        end(failureOfStage(), QStringLiteral("The server sent nothing for %1 s").arg(silenceTimer.interval() / 1000));
    }

    void heard(size_t bytes = 0)
    {
        heardBytes += static_cast<int64_t>(bytes);
        if (silenceTimer.interval() > 0)
            silenceTimer.start();
    }

    // The whole transfer took too long.
    void overtime()
    {
        if (easy == nullptr)
            return;
        end(failureOfStage(), QStringLiteral("The transfer took longer than %1 s").arg(wholeTimer.interval() / 1000.0));
    }

    // The stretch the rate is measured over: the low-speed time, which is
    // also the longest silence allowed.
    int rateWindowMs() const { return silenceTimer.interval(); }

    // From the connection on, every stretch of the low-speed time must bring
    // lowSpeedLimit bytes a second; checked a few times a stretch.
    void startRateCheck()
    {
        if (lowSpeedLimit <= 0 || rateTimer.isActive())
            return;
        rateClock.start();
        rateSamples.assign(1, {0, heardBytes});
        rateTimer.start(std::max(50, rateWindowMs() / 4));
    }

    void checkRate()
    {
        if (easy == nullptr)
            return;
        const qint64 now = rateClock.elapsed();
        rateSamples.emplace_back(now, heardBytes);
        // Keep the last sample at least a window old, and those after it.
        while (rateSamples.size() > 2 && rateSamples[1].first <= now - rateWindowMs())
            rateSamples.pop_front();
        const auto& [since, bytesThen] = rateSamples.front();
        if (now - since < rateWindowMs())
            return;
        const int64_t bytes = heardBytes - bytesThen;
        if (bytes * 1000 >= int64_t(lowSpeedLimit) * (now - since))
            return;
        end(failureOfStage(), QStringLiteral("The server sent %1 bytes in %2 s, less than %3 bytes a second")
                                  .arg(bytes)
                                  .arg((now - since) / 1000.0)
                                  .arg(lowSpeedLimit));
    }

    void end(Failure f, const QString& why)
    {
        failure = f;
        errorText = why;
        // The connection goes now; what is queued is still delivered.
        dropConnection();
        push(Kind::Done);
    }

    void failAtOnce(Failure f, const QString& why)
    {
        failure = f;
        errorText = why;
        running = true;
        push(Kind::Done);
    }

    // ---- curl callbacks: they only record, never signal ------------------

    static int onSocket(CURL*, curl_socket_t socket, int what, void* userp, void*)
    {
        auto* d = static_cast<Private*>(userp);
        if (what == CURL_POLL_REMOVE) {
            auto it = d->sockets.find(socket);
            if (it != d->sockets.end()) {
                dropNotifiers(it->second);
                d->sockets.erase(it);
            }
            return 0;
        }
        Notifiers& n = d->sockets[socket];
        const bool wantRead = what == CURL_POLL_IN || what == CURL_POLL_INOUT;
        const bool wantWrite = what == CURL_POLL_OUT || what == CURL_POLL_INOUT;
        const auto update = [d, socket](QSocketNotifier*& notifier, QSocketNotifier::Type type, bool want, int ev) {
            if (!want) {
                if (notifier != nullptr)
                    notifier->setEnabled(false);
                return;
            }
            if (notifier == nullptr) {
                notifier = new QSocketNotifier(static_cast<qintptr>(socket), type, d->q);
                QObject::connect(notifier, &QSocketNotifier::activated, d->q,
                                 [d, socket, ev] { d->socketAction(socket, ev); });
            }
            notifier->setEnabled(true);
        };
        update(n.read, QSocketNotifier::Read, wantRead, CURL_CSELECT_IN);
        update(n.write, QSocketNotifier::Write, wantWrite, CURL_CSELECT_OUT);
        return 0;
    }

    static int onTimer(CURLM*, long timeoutMs, void* userp)
    {
        auto* d = static_cast<Private*>(userp);
        d->curlTimer.stop();
        if (timeoutMs >= 0)
            d->curlTimer.start(static_cast<int>(timeoutMs));
        return 0;
    }

    static int onConnected(void* userp, char*, char*, int, int)
    {
        auto* d = static_cast<Private*>(userp);
        d->heard();
        d->startRateCheck();
        if (!d->connectedSeen) {
            d->connectedSeen = true;
            d->push(Kind::Connected);
        }
        return CURL_PREREQFUNC_OK;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* userp)
    {
        auto* d = static_cast<Private*>(userp);
        const size_t n = size * count;
        d->heard(n);
        const QByteArray line(data, static_cast<qsizetype>(n));
        if (line.startsWith("HTTP/")) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            d->status = parts.size() > 1 ? parts.at(1).toInt() : 0;
            d->contentType.clear();
            d->contentLength = -1;
            return n;
        }
        if (!line.trimmed().isEmpty()) {
            const QByteArray type = headerValue(line, "content-type");
            if (!type.isEmpty())
                d->contentType = QString::fromLatin1(type);
            const QByteArray length = headerValue(line, "content-length");
            if (!length.isEmpty()) {
                bool ok = false;
                const qlonglong v = length.toLongLong(&ok);
                d->contentLength = ok && v >= 0 ? v : -1;
            }
            return n;
        }
        // The blank line after the headers; an interim answer (1xx) is
        // followed by the real one.
        if (d->status >= 100 && d->status < 200)
            return n;
        d->headersSeen = true;
        char* method = nullptr;
        if (curl_easy_getinfo(d->easy, CURLINFO_EFFECTIVE_METHOD, &method) == CURLE_OK && method != nullptr)
            d->method = QString::fromLatin1(method);
        if (d->beyondLimit(d->contentLength))
            return 0;
        d->push(Kind::Headers);
        return n;
    }

    static size_t onWrite(char* data, size_t size, size_t count, void* userp)
    {
        auto* d = static_cast<Private*>(userp);
        const size_t n = size * count;
        d->heard(n);
        if (d->beyondLimit(d->received + static_cast<int64_t>(n)))
            return 0;
        d->received += static_cast<int64_t>(n);
        for (size_t at = 0; at < n; at += BlockSize) {
            const size_t len = std::min<size_t>(BlockSize, n - at);
            d->push(Kind::Data, QByteArray(data + at, static_cast<qsizetype>(len)));
        }
        return n;
    }
};

HttpTransfer::HttpTransfer(QObject* parent) : QObject(parent), d(std::make_unique<Private>(this)) {}

HttpTransfer::~HttpTransfer()
{
    d->release();
}

bool HttpTransfer::open()
{
    if (d->easy != nullptr)
        return true;
    if (!libraryReady())
        return false;
    d->multi = curl_multi_init();
    d->easy = curl_easy_init();
    if (d->multi == nullptr || d->easy == nullptr) {
        d->release();
        return false;
    }
    return true;
}

bool HttpTransfer::start(const HttpRequest& request)
{
    if (d->easy == nullptr || d->running)
        return false;
    d->connectedSeen = d->headersSeen = d->tooLarge = false;
    d->received = 0;
    d->heardBytes = 0;
    d->status = 0;
    d->contentType.clear();
    d->contentLength = -1;
    d->method.clear();
    d->failure = Failure::None;
    d->errorText.clear();
    d->errorBuffer[0] = 0;
    d->maxBytes = request.maxBytes;

    if (!isToken(request.method)) {
        d->failAtOnce(Failure::Setup, QStringLiteral("The request method \"%1\" is not valid").arg(request.method));
        return true;
    }
    if (!isHostName(request.host) || request.port == 0) {
        d->failAtOnce(Failure::Connect, QStringLiteral("\"%1\" is not a server name").arg(request.host));
        return true;
    }
    const QString host = request.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + request.host + QLatin1Char(']')
                                                                  : request.host;
    QByteArray target = request.target.isEmpty() ? QByteArray("/") : request.target;
    if (!target.startsWith('/'))
        target.prepend('/');
    const QByteArray url = "http://" + host.toUtf8() + ':' + QByteArray::number(request.port) + target;

    CURL* e = d->easy;
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, d->errorBuffer);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075700
    // Dropping a transfer never waits for a name lookup still running.
    curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
#endif
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION,
                     static_cast<long>(request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_NOPROXY, noProxyList().constData());
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, request.connectTimeoutMs)));
    // Silence once connected is timed here, from the last byte heard (the
    // library's own low-speed check averages over several seconds).
    d->silenceTimer.setInterval(std::max(1, request.lowSpeedTimeSeconds) * 1000);
    d->lowSpeedLimit = std::max(0, request.lowSpeedLimit);
    if (!request.userAgent.isEmpty())
        curl_easy_setopt(e, CURLOPT_USERAGENT, request.userAgent.toUtf8().constData());
    if (!request.referer.isEmpty())
        curl_easy_setopt(e, CURLOPT_REFERER, request.referer.toUtf8().constData());
    if (!request.userName.isEmpty())
        curl_easy_setopt(e, CURLOPT_USERNAME, request.userName.toUtf8().constData());
    if (!request.password.isEmpty())
        curl_easy_setopt(e, CURLOPT_PASSWORD, request.password.toUtf8().constData());

    const QByteArray method = request.method.toLatin1();
    const bool sendBody = request.formBody;
    if (sendBody) {
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(e, CURLOPT_COPYPOSTFIELDS, request.body.constData());
        d->headers = curl_slist_append(d->headers, "Content-Type: application/x-www-form-urlencoded");
        if (method != "POST")
            curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.constData());
    } else if (method == "GET") {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else {
        // Any other method without a body: no body and no content type.
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.constData());
    }
    // Never an answer from a cache on the way; no "Expect" handshake.
    d->headers = curl_slist_append(d->headers, "Expect:");
    d->headers = curl_slist_append(d->headers, "Pragma: no-cache");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, d->headers);

    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &Private::onConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, d.get());
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Private::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, d.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Private::onWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, d.get());

    curl_multi_setopt(d->multi, CURLMOPT_SOCKETFUNCTION, &Private::onSocket);
    curl_multi_setopt(d->multi, CURLMOPT_SOCKETDATA, d.get());
    curl_multi_setopt(d->multi, CURLMOPT_TIMERFUNCTION, &Private::onTimer);
    curl_multi_setopt(d->multi, CURLMOPT_TIMERDATA, d.get());

    d->running = true;
    d->wholeTimer.start(std::max(1, request.timeoutMs));
    if (curl_multi_add_handle(d->multi, e) != CURLM_OK)
        d->finish(CURLE_FAILED_INIT);
    return true;
}

void HttpTransfer::abort()
{
    d->release();
}

bool HttpTransfer::running() const
{
    return d->running;
}

int HttpTransfer::statusCode() const
{
    return d->status;
}

QString HttpTransfer::contentType() const
{
    return d->contentType;
}

int64_t HttpTransfer::contentLength() const
{
    return d->contentLength;
}

QString HttpTransfer::effectiveMethod() const
{
    return d->method;
}

HttpTransfer::Failure HttpTransfer::failure() const
{
    return d->failure;
}

QString HttpTransfer::errorText() const
{
    return d->errorText;
}

} // namespace tw::platform
