#include "app/HelpContents.h"

#include "app/HelpFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <algorithm>

namespace tw {

namespace {

QString readPage(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The plain text of a piece of HTML (entities decoded, tags dropped).
QString plain(const QString& html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// A link of a page, relative to the page, as a URL in the help folder;
// links that leave the folder (other schemes, paths) are not help links.
QUrl resolve(const QString& folder, const QString& page, const QString& href)
{
    QString file = page;
    QString fragment;
    const qsizetype hash = href.indexOf(QLatin1Char('#'));
    const QString target = hash < 0 ? href : href.left(hash);
    if (hash >= 0)
        fragment = href.mid(hash + 1);
    if (!target.isEmpty()) {
        if (target.contains(QLatin1Char(':')) || target.contains(QLatin1Char('/')))
            return {};
        file = target;
    }
    QUrl url = QUrl::fromLocalFile(QDir(folder).filePath(file));
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

HelpEntry book(const QString& folder, const QString& page, const QString& html)
{
    HelpEntry e;
    e.url = QUrl::fromLocalFile(QDir(folder).filePath(page));
    static const QRegularExpression h1(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                       QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::DotMatchesEverythingOption);
    const auto m = h1.match(html);
    e.title = m.hasMatch() ? plain(m.captured(1)) : plain(title.match(html).captured(1));
    if (e.title.isEmpty())
        e.title = page;
    static const QRegularExpression h2(QStringLiteral("<h2([^>]*)>(.*?)</h2>"),
                                       QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression id(QStringLiteral("\\bid\\s*=\\s*\"([^\"]*)\""),
                                       QRegularExpression::CaseInsensitiveOption);
    // The page's own table of contents is no section of it.
    static const QRegularExpression nav(QStringLiteral("<nav[^>]*>.*?</nav>"),
                                        QRegularExpression::CaseInsensitiveOption
                                            | QRegularExpression::DotMatchesEverythingOption);
    QString body = html;
    body.remove(nav);
    for (auto it = h2.globalMatch(body); it.hasNext();) {
        const auto s = it.next();
        HelpEntry section;
        section.title = plain(s.captured(2));
        section.url = e.url;
        const auto anchor = id.match(s.captured(1));
        if (anchor.hasMatch())
            section.url.setFragment(anchor.captured(1));
        if (!section.title.isEmpty())
            e.children.append(section);
    }
    return e;
}

} // namespace

QList<HelpEntry> helpContents(const QString& folder)
{
    QList<HelpEntry> books;
    const QString first = QLatin1String(HelpTopic::Contents);
    const QString html = readPage(QDir(folder).filePath(first));
    if (html.isEmpty())
        return books;
    books.append(book(folder, first, html));
    // The other pages, in the order the contents page links them.
    QStringList pages;
    static const QRegularExpression link(QStringLiteral("href\\s*=\\s*\"([^\"#:/]+\\.html?)[^\"]*\""),
                                         QRegularExpression::CaseInsensitiveOption);
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString page = it.next().captured(1);
        if (page != first && !pages.contains(page))
            pages.append(page);
    }
    for (const QString& page : pages) {
        const QString other = readPage(QDir(folder).filePath(page));
        if (!other.isEmpty())
            books.append(book(folder, page, other));
    }
    return books;
}

QList<HelpEntry> helpIndex(const QString& folder)
{
    QList<HelpEntry> index;
    const QString first = QLatin1String(HelpTopic::Contents);
    const QString html = readPage(QDir(folder).filePath(first));
    static const QRegularExpression list(QStringLiteral("<ul[^>]*class\\s*=\\s*\"index\"[^>]*>(.*?)</ul>"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression item(QStringLiteral("<a[^>]*href\\s*=\\s*\"([^\"]*)\"[^>]*>(.*?)</a>"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    const auto m = list.match(html);
    if (!m.hasMatch())
        return index;
    for (auto it = item.globalMatch(m.captured(1)); it.hasNext();) {
        const auto a = it.next();
        HelpEntry e;
        e.title = plain(a.captured(2));
        e.url = resolve(folder, first, a.captured(1));
        if (!e.title.isEmpty() && e.url.isValid() && !e.url.isEmpty())
            index.append(e);
    }
    std::stable_sort(index.begin(), index.end(), [](const HelpEntry& a, const HelpEntry& b) {
        // ".opt files" sorts under O, not before the letters.
        const auto key = [](const QString& t) { return t.startsWith(QLatin1Char('.')) ? t.mid(1) : t; };
        return QString::compare(key(a.title), key(b.title), Qt::CaseInsensitive) < 0;
    });
    return index;
}

QList<HelpEntry> filteredIndex(const QList<HelpEntry>& index, const QString& filter)
{
    const QString f = filter.trimmed();
    if (f.isEmpty())
        return index;
    QList<HelpEntry> out;
    for (const HelpEntry& e : index) {
        if (e.title.contains(f, Qt::CaseInsensitive))
            out.append(e);
    }
    return out;
}

} // namespace tw
