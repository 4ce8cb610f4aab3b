// The symbol lookup window as a user drives it, against the quote server of
// tools/ on 127.0.0.1: the name typed, Search clicked, the option buttons
// clicked (the status counts what the rows show, and the request is the same
// whichever is on); a page that holds no results goes to the error handler;
// an answer larger than a page of results (a byte beyond the limit already)
// fails the search and says so, a server that sends too slowly is blamed on
// the connection, and a search the user ends blames nothing.
#include "QuoteServer.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "marketdata/WinInet.h"
#include "marketdata/frmSymbolLookup.h"
#include "platform/Grid.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::tools::QuoteServer;

namespace {

const QString kFailed = QStringLiteral(" Search failed. Check the Internet connection please.");

// The request bodies the server received, in order.
QList<QByteArray> bodies(const QuoteServer& server)
{
    QList<QByteArray> list;
    for (const QByteArray& r : server.requests())
        list.append(r.mid(r.indexOf("\r\n\r\n") + 4));
    return list;
}

// Scripted dialogs that also note the lookup's status line when a
// switchable message comes up (the status the user sees behind it).
class StatusAtMessage : public ScriptedDialogs {
public:
    explicit StatusAtMessage(const QLabel* status) : m_status(status) {}
    bool switchableMessage(const QString& text, const QString& id) override
    {
        statusAtMessage.append(m_status->text());
        return ScriptedDialogs::switchableMessage(text, id);
    }
    QStringList statusAtMessage;

private:
    const QLabel* m_status;
};

// The companies the server finds for "zyx".
QList<tools::Company> zyxFound(const QuoteServer& server)
{
    QList<tools::Company> found;
    for (const tools::Company& c : server.companies()) {
        if (c.name.contains(QStringLiteral("zyx"), Qt::CaseInsensitive))
            found.append(c);
    }
    return found;
}

qsizetype zyxPageSize(const QuoteServer& server)
{
    return QuoteServer::lookupPage(QStringLiteral("zyx"), zyxFound(server)).size();
}

// Gives the server companies enough for a page of results for "zyx" of
// exactly `size` bytes: rows of one length, the last one made longer by
// what is still missing.
void fillPageTo(QuoteServer& server, qsizetype size)
{
    QList<tools::Company>& many = server.options().companies;
    const auto add = [&many] {
        many.append({QStringLiteral("B%1").arg(many.size(), 4, 10, QLatin1Char('0')),
                     QStringLiteral("ZYX TRADING ") + QString(200, QLatin1Char('X')), QStringLiteral("NYSE")});
    };
    many.clear();
    const qsizetype base = zyxPageSize(server);
    add();
    const qsizetype row = zyxPageSize(server) - base;
    while (base + (many.size() + 1) * row <= size)
        add();
    many.last().name += QString(size - zyxPageSize(server), QLatin1Char('X'));
}

} // namespace

class SymbolLookupTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_server = std::make_unique<QuoteServer>();
        QVERIFY(m_server->listen());
        CAppSettings& s = appSettings();
        s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerHost"), QStringLiteral("127.0.0.1"));
        s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerPort"), static_cast<int>(m_server->port()));
        s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("ShowErrorMesssageSRCHFAIL"), 1);
        m_lookup = std::make_unique<frmSymbolLookup>();
        m_lookup->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_lookup.get()));
    }

    void cleanup()
    {
        m_lookup.reset();
        m_server.reset();
        m_dialogs.reset();
    }

    void optionButtonsFilterTheRowsAndTheStatusCountsThem()
    {
        frmSymbolLookup* w = m_lookup.get();
        QTest::keyClicks(w->txtSearchString, QStringLiteral("zyx"));
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 2);
        const QString found = QStringLiteral(" Symbol lookup for \"zyx\". 2 companies found");
        QCOMPARE(w->lblStatus->text(), found);

        QTest::mouseClick(w->optBeginsWith, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 1);
        QCOMPARE(w->gdResult->CellText(1, 1), QStringLiteral("ZYXA"));
        QCOMPARE(w->lblStatus->text(), found + QStringLiteral("; 1 of them begin with \"zyx\""));
        QTest::mouseClick(w->optContains, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 2);
        QCOMPARE(w->lblStatus->text(), found);

        // A search made with "Begins with" on asks the same as with
        // "Contains", and its status counts the rows shown at once.
        QTest::mouseClick(w->optBeginsWith, Qt::LeftButton);
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 1);
        QCOMPARE(w->lblStatus->text(), found + QStringLiteral("; 1 of them begin with \"zyx\""));
        w->txtSearchString->clear();
        QTest::keyClicks(w->txtSearchString, QStringLiteral("holdings"));
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 0);
        QCOMPARE(w->lblStatus->text(), QStringLiteral(" Symbol lookup for \"holdings\". 1 companies found; 0 of them "
                                                      "begin with \"holdings\""));
        QVERIFY(w->cmdOK->isEnabled());
        QTest::mouseClick(w->optContains, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 1);
        QCOMPARE(w->gdResult->CellText(1, 1), QStringLiteral("BZYX"));
        const QList<QByteArray> sent = bodies(*m_server);
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent.at(0), QByteArray("company=zyx&btnSubmit=Get+Symbol"));
        QCOMPARE(sent.at(1), sent.at(0));
        QCOMPARE(sent.at(2), QByteArray("company=holdings&btnSubmit=Get+Symbol"));
    }

    void pageWithoutResultsGoesToTheErrorHandler()
    {
        frmSymbolLookup* w = m_lookup.get();
        QTest::keyClicks(w->txtSearchString, QStringLiteral("zyx"));
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 2);

        // Abort (the scripted answer of a user who closes the dialog): the
        // error dialog reports the page under the search's own name, and
        // the rows of the search before are gone, the option buttons
        // bringing none back.
        m_server->options().brokenPage = true;
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(m_dialogs->errorReports.size(), 1);
        const QString report = m_dialogs->errorReports.first();
        QVERIFY2(report.contains(QStringLiteral("not a page of search results")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Tarnwell.frmSymbolLookup.cmdSearch_Click")), qPrintable(report));
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QCOMPARE(w->gdResult->Rows(), 0);
        QVERIFY(!w->cmdOK->isEnabled());
        QCOMPARE(w->cmdSearch->text(), QStringLiteral("Search"));
        QCOMPARE(w->lblStatus->text(), QStringLiteral(" The answer holds no search results."));
        QTest::mouseClick(w->optBeginsWith, Qt::LeftButton);
        QTest::mouseClick(w->optContains, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 0);
        QCOMPARE(w->lblStatus->text(), QStringLiteral(" The answer holds no search results."));

        // Retry reads the same page again; Ignore leaves it at that.
        m_dialogs->errorAnswers = {QStringLiteral("RETRY"), QStringLiteral("IGNORE")};
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(m_dialogs->errorReports.size(), 3);
        QCOMPARE(w->gdResult->Rows(), 0);
        QCOMPARE(w->lblStatus->text(), QStringLiteral(" The answer holds no search results."));

        // A page of results lists again.
        m_server->options().brokenPage = false;
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 2);
        QVERIFY(w->cmdOK->isEnabled());
    }

    void answerLargerThanAPageOfResultsSaysSo()
    {
        frmSymbolLookup* w = m_lookup.get();
        QTest::keyClicks(w->txtSearchString, QStringLiteral("zyx"));
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->gdResult->Rows(), 2);
        QList<tools::Company> many;
        for (int i = 0; i < 4000; ++i)
            many.append({QStringLiteral("B%1").arg(i), QStringLiteral("ZYX TRADING COMPANY NUMBER %1").arg(i),
                         QStringLiteral("NYSE")});
        m_server->options().companies = many;
        QVERIFY(QuoteServer::lookupPage(QStringLiteral("zyx"), many).size() > marketdata::kMaxLookupPageBytes);
        // Every status the search shows, and the one behind its message.
        QStringList shown;
        connect(w->WI, &WinInet::OnStateChanged, w, [&] { shown.append(w->lblStatus->text()); });
        StatusAtMessage dialogs(w->lblStatus);
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);

        const QString tooLarge = QStringLiteral(" Search failed: the answer is larger than 256 KB, more than a page of "
                                                "search results.");
        QCOMPARE(w->lblStatus->text(), tooLarge);
        QCOMPARE(shown.last(), tooLarge);
        for (const QString& text : std::as_const(shown)) {
            QVERIFY2(!text.contains(QLatin1String("Query information error")), qPrintable(text));
            QVERIFY2(!text.contains(QLatin1String("Internet connection")), qPrintable(text));
        }
        QCOMPARE(dialogs.switchableMessages.size(), 1);
        QCOMPARE(dialogs.switchableMessages.first().id, QStringLiteral("SRCHFAIL"));
        QVERIFY2(dialogs.switchableMessages.first().text.contains(QLatin1String("larger than 256 KB")),
                 qPrintable(dialogs.switchableMessages.first().text));
        QCOMPARE(dialogs.statusAtMessage, QStringList{tooLarge});
        QVERIFY(dialogs.errorReports.isEmpty());
        QCOMPARE(w->gdResult->Rows(), 2);
        QVERIFY(!w->cmdOK->isEnabled());
    }

    void pageOfExactlyTheLimitIsListedOneByteMoreFailsTheSearch()
    {
        frmSymbolLookup* w = m_lookup.get();
        QTest::keyClicks(w->txtSearchString, QStringLiteral("zyx"));
        fillPageTo(*m_server, marketdata::kMaxLookupPageBytes);
        QCOMPARE(zyxPageSize(*m_server), marketdata::kMaxLookupPageBytes);
        const int found = static_cast<int>(zyxFound(*m_server).size());
        QVERIFY(found > 500);
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->WI->State(), 11);
        QCOMPARE(w->gdResult->Rows(), found);
        QVERIFY(w->cmdOK->isEnabled());
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QVERIFY(m_dialogs->errorReports.isEmpty());

        // A byte more: the search fails, and the rows found before stay.
        fillPageTo(*m_server, marketdata::kMaxLookupPageBytes + 1);
        QCOMPARE(zyxPageSize(*m_server), marketdata::kMaxLookupPageBytes + 1);
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->WI->State(), 10);
        QVERIFY(m_dialogs->errorReports.isEmpty());
        QCOMPARE(w->gdResult->Rows(), found);
        QVERIFY(!w->cmdOK->isEnabled());
        QCOMPARE(m_server->requests().size(), 2);
    }

    // A server that never answers, and the user who stops waiting: with the
    // search button (now "Cancel") the status says " Canceled.", nothing
    // blames the connection; by closing the window (its Cancel, Escape, the
    // title bar) nothing at all is said.
    void searchTheUserEndsBlamesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("search button") << QStringLiteral("search button");
        QTest::newRow("Cancel") << QStringLiteral("Cancel");
        QTest::newRow("Escape") << QStringLiteral("Escape");
        QTest::newRow("title bar") << QStringLiteral("title bar");
    }

    void searchTheUserEndsBlamesNothing()
    {
        QFETCH(QString, how);
        frmSymbolLookup* w = m_lookup.get();
        m_server->options().stall = true;
        QTest::keyClicks(w->txtSearchString, QStringLiteral("zyx"));
        // Once the request is out, the user acts (after the client's handler
        // has returned).
        connect(w->WI, &WinInet::OnStateChanged, w, [&](int32_t state) {
            if (state != 6)
                return;
            QTimer::singleShot(0, w, [&, w] {
                if (!w->searching())
                    return;
                if (how == QLatin1String("search button"))
                    QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
                else if (how == QLatin1String("Cancel"))
                    QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
                else if (how == QLatin1String("Escape"))
                    QTest::keyClick(w->txtSearchString, Qt::Key_Escape);
                else
                    w->close();
            });
        });
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QVERIFY(!w->searching());
        QCOMPARE(w->WI->State(), 12);
        QCOMPARE(w->cmdSearch->text(), QStringLiteral("Search"));
        QCOMPARE(w->lblStatus->text(), QStringLiteral(" Canceled."));
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(m_dialogs->beeps, 0);
        QVERIFY(m_dialogs->errorReports.isEmpty());
        QCOMPARE(w->isVisible(), how == QLatin1String("search button"));
        QVERIFY(!w->cmdOK->isEnabled());
    }

    void slowServerFailsTheSearch()
    {
        frmSymbolLookup* w = m_lookup.get();
        QTest::keyClicks(w->txtSearchString, QStringLiteral("zyx"));
        // A byte at a time: below the least rate within the low-speed time.
        m_server->options().blockSize = 1;
        m_server->options().blockDelayMs = 200;
        w->WI->setLowSpeedTime(1);
        QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
        QCOMPARE(w->WI->State(), 10);
        QCOMPARE(m_dialogs->switchableMessages.size(), 1);
        QCOMPARE(w->lblStatus->text(), kFailed);
        QCOMPARE(w->cmdSearch->text(), QStringLiteral("Search"));
        QCOMPARE(w->gdResult->Rows(), 0);
    }

private:
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QuoteServer> m_server;
    std::unique_ptr<frmSymbolLookup> m_lookup;
};

TW_QTEST_MAIN(SymbolLookupTest)
#include "SymbolLookupTest.moc"
