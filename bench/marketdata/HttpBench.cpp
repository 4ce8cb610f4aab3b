// Speed of the market-data road: a whole quote-table download (the shipped
// sample chain, 33 KB) from a server on 127.0.0.1; how long a Cancel takes to
// end a request that waits for a silent server (the time from Cancel to
// Execute returning); and reading a lookup answer, a result page of 40
// companies and hostile pages of the largest size a lookup takes.
#include "QuoteServer.h"
#include "marketdata/QuoteDownload.h"
#include "marketdata/WinInet.h"
#include "platform/HtmlDocument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace tw;
using tw::tools::QuoteServer;

namespace {

// The largest lookup answer read.
constexpr qsizetype kLargestLookupPage = marketdata::kMaxLookupPageBytes;

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "tw_marketdata_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct Served {
    QTemporaryDir dir;
    std::unique_ptr<QuoteServer> server;

    Served()
    {
        application();
        QFile::copy(QStringLiteral(TW_DATA_DIR "/SAMPLE.opt"), dir.filePath(QStringLiteral("ZYX.opt")));
        tools::QuoteServerOptions options;
        options.folder = dir.path();
        server = std::make_unique<QuoteServer>(options);
        server->listen();
    }

    void prepare(WinInet& client) const
    {
        client.setHostName(QStringLiteral("127.0.0.1"));
        client.setPort(server->port());
        client.setResource(QLatin1String(marketdata::kQuoteTableResource));
        client.setMethod(QStringLiteral("POST"));
        client.setPostQuery(marketdata::quoteTableFormBody(QStringLiteral("ZYX")));
    }
};

void BM_DownloadSampleChain(benchmark::State& state)
{
    Served s;
    int64_t bytes = 0;
    for (auto _ : state) {
        WinInet client;
        s.prepare(client);
        client.Execute();
        if (!client.SuccessDone()) {
            state.SkipWithError("the download failed");
            return;
        }
        bytes += client.ResponseBytes().size();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_DownloadSampleChain)->Unit(benchmark::kMillisecond);

void BM_CancelWhileTheServerIsSilent(benchmark::State& state)
{
    Served s;
    s.server->options().stall = true;
    for (auto _ : state) {
        WinInet client;
        s.prepare(client);
        QElapsedTimer sinceCancel;
        QObject::connect(&client, &WinInet::OnStateChanged, &client, [&](int32_t st) {
            if (st == 6)
                QTimer::singleShot(5, &client, [&] {
                    sinceCancel.start();
                    client.Cancel();
                });
        });
        client.Execute();
        if (client.State() != 12) {
            state.SkipWithError("not cancelled");
            return;
        }
        state.SetIterationTime(static_cast<double>(sinceCancel.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_CancelWhileTheServerIsSilent)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ReadLookupPage(benchmark::State& state)
{
    QList<tools::Company> found;
    for (int i = 0; i < 40; ++i)
        found.append({QStringLiteral("T%1").arg(i), QStringLiteral("Company %1 of the lookup").arg(i),
                      QStringLiteral("NYSE")});
    const QByteArray page = QuoteServer::lookupPage(QStringLiteral("company"), found);
    for (auto _ : state)
        benchmark::DoNotOptimize(marketdata::readLookupPage(page, QStringLiteral("text/html; charset=utf-8")));
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_ReadLookupPage)->Unit(benchmark::kMicrosecond);

// Hostile pages of the largest size a lookup takes, each a piece repeated:
// formatting elements a browser reopens in every paragraph, nesting that
// goes as deep as it can, tables whose rows and bodies the parser adds.
QByteArray hostilePage(const QByteArray& piece)
{
    QByteArray page;
    while (page.size() + piece.size() <= kLargestLookupPage)
        page += piece;
    return page;
}

void BM_ReadHostilePage(benchmark::State& state, const char* piece)
{
    const QByteArray page = hostilePage(piece);
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::HtmlDocument::read(page).depth());
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK_CAPTURE(BM_ReadHostilePage, reopened_bold, "<b><p>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadHostilePage, reopened_link, "<a><p>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadHostilePage, reopened_many,
                  "<p><b><i><u><s><font><em><strong><tt><big><small><code><nobr><strike>x")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadHostilePage, misnested, "<b><div></b>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadHostilePage, tables, "<table><td>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadHostilePage, scripts,
                  "<div><div><div><div><div><script></div></div></div></div></div></script>")
    ->Unit(benchmark::kMillisecond);

} // namespace
