// A delayed-quote server on 127.0.0.1 for trying Download and Lookup:
//
//   tw_quote_server [--port N] [--folder DIR] [switches]
//
// It answers the quote-table form from the ".opt" files of DIR (default: the
// current folder) and the lookup form from a canned page. Its first line on
// the standard output names the port ("Quote server listening on
// 127.0.0.1:N"); with --port 0 (the default) it takes a free one. The
// switches make it misbehave; see --help.

#include "QuoteServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

using tw::tools::Company;
using tw::tools::QuoteServer;
using tw::tools::QuoteServerOptions;

namespace {

bool readCompanies(const QString& path, QList<Company>& companies)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!f.atEnd()) {
        const QStringList parts = QString::fromUtf8(f.readLine()).trimmed().split(QLatin1Char(','));
        if (parts.size() >= 3 && !parts.at(0).startsWith(QLatin1Char('#')))
            companies.append({parts.at(0).trimmed(), parts.at(1).trimmed(), parts.at(2).trimmed()});
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tw_quote_server"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A delayed-quote server on 127.0.0.1 for Tarnwell's Download and Lookup."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port to listen on (0: a free one)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("Folder of the .opt files."),
                                    QStringLiteral("DIR"), QStringLiteral("."));
    const QCommandLineOption companies(QStringLiteral("companies"),
                                       QStringLiteral("More companies for the lookup: lines TICKER,Name,Exchange."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption noLength(QStringLiteral("no-length"), QStringLiteral("Send no Content-Length."));
    const QCommandLineOption contentType(QStringLiteral("content-type"),
                                         QStringLiteral("Content type of the quote tables."), QStringLiteral("TYPE"),
                                         QStringLiteral("application/x-unknown"));
    const QCommandLineOption lengthDelta(QStringLiteral("length-delta"),
                                         QStringLiteral("Announce the length plus N bytes."), QStringLiteral("N"),
                                         QStringLiteral("0"));
    const QCommandLineOption stall(QStringLiteral("stall"), QStringLiteral("Read the request and never answer."));
    const QCommandLineOption cutAfter(QStringLiteral("cut-after"),
                                      QStringLiteral("Close after N bytes of the body."), QStringLiteral("N"),
                                      QStringLiteral("-1"));
    const QCommandLineOption brokenPage(QStringLiteral("broken-page"), QStringLiteral("Answer lookups with a broken page."));
    const QCommandLineOption blockDelay(QStringLiteral("block-delay"),
                                        QStringLiteral("Pause MS milliseconds after every block of the body."),
                                        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption blockSize(QStringLiteral("block-size"), QStringLiteral("Bytes per block of the body."),
                                       QStringLiteral("N"), QStringLiteral("4096"));
    parser.addOptions({port, folder, companies, noLength, contentType, lengthDelta, stall, cutAfter, brokenPage,
                       blockDelay, blockSize});
    parser.process(app);

    QuoteServerOptions options;
    options.folder = parser.value(folder);
    if (parser.isSet(companies) && !readCompanies(parser.value(companies), options.companies)) {
        std::fprintf(stderr, "tw_quote_server: cannot read %s\n", qPrintable(parser.value(companies)));
        return 2;
    }
    options.noLength = parser.isSet(noLength);
    options.quoteContentType = parser.value(contentType).toLatin1();
    options.lengthDelta = parser.value(lengthDelta).toLongLong();
    options.stall = parser.isSet(stall);
    options.cutAfter = parser.value(cutAfter).toLongLong();
    options.brokenPage = parser.isSet(brokenPage);
    options.blockDelayMs = parser.value(blockDelay).toInt();
    options.blockSize = parser.value(blockSize).toInt();

    bool ok = false;
    const uint port16 = parser.value(port).toUInt(&ok);
    if (!ok || port16 > 65535) {
        std::fprintf(stderr, "tw_quote_server: %s is not a port\n", qPrintable(parser.value(port)));
        return 2;
    }
    QuoteServer server(options);
    if (!server.listen(static_cast<uint16_t>(port16))) {
        std::fprintf(stderr, "tw_quote_server: cannot listen on port %u: %s\n", port16, qPrintable(server.errorString()));
        return 1;
    }
    std::printf("Quote server listening on 127.0.0.1:%u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    return app.exec();
}
