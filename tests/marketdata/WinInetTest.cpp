// The HTTP client against the quote server of tools/, started in this
// process on a free port of 127.0.0.1: the states and progress of a good
// download, answers the download refuses, answers that break off, answers
// at and one byte beyond the size limit, servers that stay silent
// (cancelled, or timed out) or send too slowly, a healthy slow line over
// several rate windows and the client's own least rate, a refused
// connection, a cancel from inside a progress event, and what goes out on
// the wire.
#include "QuoteServer.h"
#include "marketdata/QuoteDownload.h"
#include "marketdata/WinInet.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tw;
using tw::tools::QuoteServer;

namespace {

QByteArray shippedChain()
{
    QFile f(QStringLiteral(TW_DATA_DIR "/SAMPLE.opt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Outcome {
    QList<int32_t> states;
    QList<QPair<int32_t, int32_t>> progress;
    qint64 elapsedMs = 0;
    // The client's failure as its handlers saw it at the last state.
    WinInet::Failure failureAtLastState = WinInet::Failure::None;
};

class WinInetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile::copy(QStringLiteral(TW_DATA_DIR "/SAMPLE.opt"), m_dir.filePath(QStringLiteral("ZYX.opt")));
        tools::QuoteServerOptions options;
        options.folder = m_dir.path();
        server = std::make_unique<QuoteServer>(options);
        ASSERT_TRUE(server->listen());
        chain = shippedChain();
        ASSERT_GT(chain.size(), 8192);
    }

    // A client set up as the quote download sets it up.
    void prepare(WinInet& client, const QString& ticker = QStringLiteral("ZYX"))
    {
        marketdata::prepareFormPost(client, QLatin1String(marketdata::kQuoteTableResource),
                                    marketdata::quoteTableFormBody(ticker),
                                    QLatin1String(marketdata::kQuoteTableResource));
        client.setHostName(QStringLiteral("127.0.0.1"));
        client.setPort(server->port());
    }

    Outcome execute(WinInet& client)
    {
        Outcome run;
        QObject::connect(&client, &WinInet::OnStateChanged, [&run, &client](int32_t s) {
            run.states.append(s);
            run.failureAtLastState = client.LastFailure();
        });
        QObject::connect(&client, &WinInet::OnProgress,
                         [&run](int32_t done, int32_t total) { run.progress.append({done, total}); });
        QElapsedTimer clock;
        clock.start();
        client.Execute();
        run.elapsedMs = clock.elapsed();
        client.disconnect();
        return run;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QuoteServer> server;
    QByteArray chain;
};

const QList<int32_t> kSuccess = {1, 3, 6, 7, 9, 11};

// A port on 127.0.0.1 whose listener never accepts and whose queue is
// full: the system drops every further connection attempt unanswered, as a
// dead address does.
class DeadPort {
public:
    DeadPort()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(m_listener, 0) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port = ntohs(a.sin_port);
        for (int& c : m_fillers) {
            c = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(c, F_SETFL, O_NONBLOCK);
            ::connect(c, reinterpret_cast<sockaddr*>(&a), len);
        }
        ::usleep(100000);
    }
    ~DeadPort()
    {
        for (int c : m_fillers)
            ::close(c);
        ::close(m_listener);
    }
    uint16_t port = 0;

private:
    int m_listener = -1;
    int m_fillers[3] = {-1, -1, -1};
};

TEST_F(WinInetTest, GoodDownloadRunsTheStatesInOrderAndReportsEveryBlock)
{
    WinInet client;
    prepare(client);
    client.setAcceptTypes(QStringLiteral("text/never-sent"));
    const Outcome run = execute(client);

    EXPECT_EQ(run.states, kSuccess);
    EXPECT_EQ(client.State(), 11);
    ASSERT_TRUE(client.SuccessDone());
    EXPECT_EQ(client.ContentType(), QStringLiteral("application/x-unknown"));
    EXPECT_EQ(client.BytesTotal(), chain.size());
    EXPECT_EQ(client.ResponseBytes(), chain);
    EXPECT_EQ(client.Response(), QString::fromLatin1(chain));
    EXPECT_EQ(client.Method(), QStringLiteral("POST"));
    EXPECT_EQ(client.StatusCode(), 200);

    // Blocks of at most 4096 bytes, each counted once; the end of the answer
    // repeats the final count.
    ASSERT_GE(run.progress.size(), 3);
    int32_t previous = 0;
    for (qsizetype i = 0; i + 1 < run.progress.size(); ++i) {
        EXPECT_EQ(run.progress[i].second, chain.size());
        EXPECT_GT(run.progress[i].first, previous);
        EXPECT_LE(run.progress[i].first - previous, 4096);
        previous = run.progress[i].first;
    }
    EXPECT_EQ(run.progress.last(), run.progress[run.progress.size() - 2]);
    EXPECT_EQ(run.progress.last().first, chain.size());

    // The download takes it: its lines are the file's lines.
    EXPECT_EQ(marketdata::judgeQuoteAnswer(client.SuccessDone(), client.ContentType(), client.Response().size(),
                                           run.progress.last().second),
              marketdata::QuoteAnswer::Accepted);
    const QStringList lines = marketdata::splitQuoteLines(client.ResponseBytes()).toStringList();
    EXPECT_EQ(lines.size(), QString::fromLatin1(chain).count(QStringLiteral("\r\n")));
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("ZYX (ZYXON SYSTEMS INC),")));

    // What went out: an HTTP/1.0 form post with the client's headers, the
    // body as given, and nothing of AcceptTypes.
    ASSERT_EQ(server->requests().size(), 1);
    const QByteArray request = server->requests().first();
    EXPECT_TRUE(request.startsWith("POST /DelayedQuote/QuoteTableDownload.aspx HTTP/1.0\r\n")) << request.constData();
    EXPECT_TRUE(request.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Mozilla/4.0\r\n"));
    EXPECT_TRUE(request.contains("\r\nReferer: /DelayedQuote/QuoteTableDownload.aspx\r\n"));
    EXPECT_FALSE(request.contains("never-sent"));
    EXPECT_TRUE(request.endsWith("\r\n\r\n" + client.PostQuery().toUtf8()));
}

TEST_F(WinInetTest, AnswersTheDownloadRefuses)
{
    // No announced length: the transfer succeeds, every total reads 0, and
    // the answer is refused.
    {
        server->options().noLength = true;
        WinInet client;
        prepare(client);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, kSuccess);
        EXPECT_EQ(client.BytesTotal(), 0);
        for (const auto& p : run.progress)
            EXPECT_EQ(p.second, 0);
        EXPECT_EQ(client.ResponseBytes(), chain);
        EXPECT_EQ(marketdata::judgeQuoteAnswer(true, client.ContentType(), client.Response().size(), 0),
                  marketdata::QuoteAnswer::Refused);
        server->options().noLength = false;
    }
    // Another content type.
    {
        server->options().quoteContentType = "text/html";
        WinInet client;
        prepare(client);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, kSuccess);
        EXPECT_EQ(marketdata::judgeQuoteAnswer(true, client.ContentType(), client.Response().size(),
                                               client.BytesTotal()),
                  marketdata::QuoteAnswer::Refused);
        server->options().quoteContentType = "application/x-unknown";
    }
    // A ticker the server has no table for: an HTML page.
    {
        WinInet client;
        prepare(client, QStringLiteral("NOPE"));
        execute(client);
        EXPECT_TRUE(client.SuccessDone());
        EXPECT_TRUE(client.ContentType().startsWith(QStringLiteral("text/html")));
    }
}

TEST_F(WinInetTest, AnswersThatBreakOffFailEvenWithAPlausibleLength)
{
    struct Case {
        const char* what;
        int64_t lengthDelta;
        int64_t cutAfter;
    };
    for (const Case c : {Case{"announces more than it sends", 100, -1}, Case{"closes half-way", 0, 5000},
                         Case{"closes after the headers", 0, 0}}) {
        server->options().lengthDelta = c.lengthDelta;
        server->options().cutAfter = c.cutAfter;
        WinInet client;
        prepare(client);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states.last(), 10) << c.what;
        EXPECT_EQ(client.LastFailure(), WinInet::Failure::Answer) << c.what;
        EXPECT_FALSE(client.SuccessDone()) << c.what;
        EXPECT_TRUE(client.Response().isEmpty()) << c.what;
        EXPECT_TRUE(client.ResponseBytes().isEmpty()) << c.what;
        EXPECT_EQ(marketdata::judgeQuoteAnswer(client.SuccessDone(), client.ContentType(), 0, client.BytesTotal()),
                  marketdata::QuoteAnswer::Failed)
            << c.what;
    }
}

TEST_F(WinInetTest, AnswerOfTheLimitIsTakenOneByteMoreIsRefusedAnnouncedOrNot)
{
    for (const bool announced : {true, false}) {
        server->options().noLength = !announced;
        // Exactly as large as the limit: the whole answer.
        {
            WinInet client;
            prepare(client);
            client.setMaxResponseBytes(chain.size());
            EXPECT_EQ(execute(client).states, kSuccess) << announced;
            EXPECT_EQ(client.ResponseBytes(), chain) << announced;
        }
        WinInet client;
        prepare(client);
        client.setMaxResponseBytes(chain.size() - 1);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states.last(), 10) << announced;
        // Announced, it is refused before its headers are reported.
        EXPECT_EQ(run.states, announced ? QList<int32_t>({1, 3, 6, 10}) : QList<int32_t>({1, 3, 6, 7, 9, 10}));
        EXPECT_TRUE(client.FailureText().contains(QString::number(chain.size() - 1)))
            << client.FailureText().toStdString();
        // Known as such by then: the state's own handlers can name it.
        EXPECT_EQ(run.failureAtLastState, WinInet::Failure::TooLarge);
        EXPECT_FALSE(client.SuccessDone());
        for (const auto& p : run.progress)
            EXPECT_LT(p.first, chain.size());
    }
}

TEST_F(WinInetTest, SilentServerIsCancelledAtOnceOrTimesOut)
{
    server->options().stall = true;
    // Cancelled by the user while it waits for the answer.
    {
        WinInet client;
        prepare(client);
        QTimer::singleShot(300, &client, [&client] { client.Cancel(); });
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 3, 6, 12}));
        EXPECT_EQ(client.LastFailure(), WinInet::Failure::Cancelled);
        EXPECT_FALSE(client.SuccessDone());
        // The default limits would wait 30 s; a cancel ends it at once.
        EXPECT_LT(run.elapsedMs, 3000);
    }
    // Given up after the low-speed time, or after the whole time.
    for (const bool whole : {false, true}) {
        WinInet client;
        prepare(client);
        if (whole)
            client.setTransferTimeout(300);
        else
            client.setLowSpeedTime(1);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 3, 6, 8})) << whole;
        EXPECT_EQ(client.LastFailure(), WinInet::Failure::Connection) << whole;
        EXPECT_GE(run.elapsedMs, whole ? 250 : 900);
        EXPECT_LT(run.elapsedMs, 10000);
    }
    // Silent after the headers: the answer went silent.
    server->options().stall = false;
    server->options().blockDelayMs = 60000;
    {
        WinInet client;
        prepare(client);
        client.setLowSpeedTime(1);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 3, 6, 7, 9, 10}));
        EXPECT_LT(run.elapsedMs, 10000);
    }
}

TEST_F(WinInetTest, SlowServerFailsBelowTheLeastRateOrBeyondTheWholeTime)
{
    // A byte at a time, never silent for long: below the least rate once a
    // low-speed time has passed (30 s by default; 1 s here).
    server->options().blockSize = 1;
    server->options().blockDelayMs = 200;
    {
        WinInet client;
        prepare(client);
        EXPECT_EQ(client.LowSpeedLimit(), 100);
        client.setLowSpeedTime(1);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 3, 6, 7, 9, 10}));
        EXPECT_FALSE(client.SuccessDone());
        EXPECT_TRUE(client.FailureText().contains(QStringLiteral("bytes a second"))) << client.FailureText().toStdString();
        EXPECT_GE(run.elapsedMs, 900);
        EXPECT_LT(run.elapsedMs, 5000);
    }
    // Fast enough for the least rate, but longer than the whole time.
    server->options().blockSize = 2048;
    server->options().blockDelayMs = 50;
    {
        WinInet client;
        prepare(client);
        client.setLowSpeedTime(1);
        client.setLowSpeedLimit(1000);
        client.setTransferTimeout(300);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states.last(), 10);
        EXPECT_FALSE(client.SuccessDone());
        EXPECT_TRUE(client.FailureText().contains(QStringLiteral("longer than"))) << client.FailureText().toStdString();
        EXPECT_LT(run.elapsedMs, 5000);
        // With time enough the same line brings the whole answer.
        client.setTransferTimeout(20000);
        EXPECT_EQ(execute(client).states, kSuccess);
        EXPECT_EQ(client.ResponseBytes(), chain);
    }
}

TEST_F(WinInetTest, HealthyLineOverSeveralRateWindowsSucceedsBelowTheClientsLeastRateFails)
{
    // Ten kilobytes a second, never silent, for longer than three rate
    // windows (a low-speed time of 1 s here, 30 s by default): far above
    // the least rate of 100 bytes a second over every window, the headers'
    // and the body's bytes counted alike.
    server->options().blockSize = 2048;
    server->options().blockDelayMs = 200;
    {
        WinInet client;
        prepare(client);
        client.setLowSpeedTime(1);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, kSuccess) << client.FailureText().toStdString();
        EXPECT_EQ(client.ResponseBytes(), chain);
        EXPECT_GT(run.elapsedMs, 3000) << "the line crossed more than three windows";
    }
    // The same line is too slow for a client that asks for more than it
    // brings: the client's own least rate is the one the transfer keeps.
    {
        WinInet client;
        prepare(client);
        client.setLowSpeedTime(1);
        client.setLowSpeedLimit(50000);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 3, 6, 7, 9, 10}));
        EXPECT_TRUE(client.FailureText().contains(QStringLiteral("less than 50000 bytes a second")))
            << client.FailureText().toStdString();
    }
}

TEST_F(WinInetTest, DeadAddressEndsAfterTheConnectTimeoutOrAtCancel)
{
    DeadPort dead;
    ASSERT_NE(dead.port, 0);
    {
        WinInet client;
        prepare(client);
        client.setPort(dead.port);
        client.setConnectTimeout(500);
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 4}));
        EXPECT_GE(run.elapsedMs, 400);
        EXPECT_LT(run.elapsedMs, 5000);
    }
    {
        WinInet client;
        prepare(client);
        client.setPort(dead.port);
        QElapsedTimer sinceCancel;
        QTimer::singleShot(200, &client, [&] {
            sinceCancel.start();
            client.Cancel();
        });
        const Outcome run = execute(client);
        EXPECT_EQ(run.states, (QList<int32_t>{1, 12}));
        // The default connect timeout is 15 s.
        EXPECT_LT(sinceCancel.elapsed(), 2000);
    }
}

TEST_F(WinInetTest, RefusedConnectionAndBadRequestsEndInTheirStates)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    {
        WinInet client;
        prepare(client);
        client.setPort(closedPort);
        EXPECT_EQ(execute(client).states, (QList<int32_t>{1, 4}));
        EXPECT_EQ(client.LastFailure(), WinInet::Failure::Connection);
        EXPECT_FALSE(client.SuccessDone());
        EXPECT_FALSE(client.FailureText().isEmpty());
    }
    {
        WinInet client;
        prepare(client);
        client.setHostName(QStringLiteral("no such host/"));
        EXPECT_EQ(execute(client).states, (QList<int32_t>{1, 4}));
    }
    {
        WinInet client;
        prepare(client);
        client.setMethod(QStringLiteral("PO ST"));
        EXPECT_EQ(execute(client).states, (QList<int32_t>{1, 5}));
        EXPECT_TRUE(server->requests().isEmpty());
    }
}

TEST_F(WinInetTest, CancelFromAProgressEventStopsBeforeTheNextBlockIsCounted)
{
    server->options().blockDelayMs = 5;
    server->options().blockSize = 1000;
    WinInet client;
    prepare(client);
    QObject::connect(&client, &WinInet::OnProgress, &client, [&client] { client.Cancel(); });
    const Outcome run = execute(client);
    EXPECT_EQ(run.states, (QList<int32_t>{1, 3, 6, 7, 9, 12}));
    ASSERT_EQ(run.progress.size(), 1);
    EXPECT_EQ(client.BytesDownloaded(), run.progress.first().first);
    EXPECT_FALSE(client.SuccessDone());
    EXPECT_TRUE(client.Response().isEmpty());

    // A cancel asked for before Execute is forgotten by the next run, and
    // the same client runs again.
    client.Cancel();
    server->options().blockDelayMs = 0;
    EXPECT_EQ(execute(client).states, kSuccess);
    EXPECT_EQ(client.ResponseBytes(), chain);
    EXPECT_EQ(execute(client).states, kSuccess);
}

TEST_F(WinInetTest, RequestWithoutBodySendsNoContentTypeAndEscapesItsResource)
{
    WinInet client;
    prepare(client);
    client.setPostQuery(QString());
    client.setMethod(QStringLiteral("GET"));
    client.setResource(QStringLiteral("/Delayed Quote/caf\u00e9?a=b c"));
    const Outcome run = execute(client);
    EXPECT_EQ(run.states, kSuccess);
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_EQ(client.Resource(), QStringLiteral("/Delayed%20Quote/caf%C3%A9?a=b%20c"));
    EXPECT_EQ(client.Method(), QStringLiteral("GET"));
    ASSERT_EQ(server->requests().size(), 1);
    const QByteArray request = server->requests().first();
    EXPECT_TRUE(request.startsWith("GET /Delayed%20Quote/caf%C3%A9?a=b%20c HTTP/1.0\r\n")) << request.constData();
    EXPECT_FALSE(request.toLower().contains("content-type"));
    EXPECT_FALSE(request.toLower().contains("content-length"));
    EXPECT_TRUE(request.endsWith("\r\n\r\n"));

    EXPECT_EQ(canonicalResource(QStringLiteral("x/<\"%41>")), QByteArray("/x/%3C%22%41%3E"));
}

} // namespace
