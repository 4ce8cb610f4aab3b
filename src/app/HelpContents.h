#pragma once
// The contents and the index of the shipped help pages, read from the pages
// themselves: each page is a book of the contents (its heading) with its
// sections (the headings of level 2), and the index is the keyword list of
// the contents page.

#include <QList>
#include <QString>
#include <QUrl>

namespace tw {

struct HelpEntry {
    QString title;
    QUrl url; // the page, with the section's anchor as its fragment
    QList<HelpEntry> children;
};

// The books of the help folder: the contents page first, then every page it
// names, in the order it names them; a page that cannot be read is left out.
QList<HelpEntry> helpContents(const QString& folder);

// The keywords of the contents page's index, sorted without regard to case;
// each points at its page and section.
QList<HelpEntry> helpIndex(const QString& folder);

// The keywords whose text contains `filter` (any case); all for an empty one.
QList<HelpEntry> filteredIndex(const QList<HelpEntry>& index, const QString& filter);

} // namespace tw
