#pragma once
// An HTML page read into its tables, the way a browser's document object
// model shows them: every table of the page in document order (a table
// inside another comes after it), each with the inner text of its own cells
// (td and th, in order; the cells of tables inside it belong to those).
//
// Any bytes can be read. The text is decoded by the charset that the
// answer's content type or the page itself names, else as UTF-8 when it is
// valid UTF-8, else as Windows-1252; broken markup reads as a browser reads
// it (gumbo, the HTML5 parsing rules). Cell texts are plain: white space
// folded, control characters and undecodable bytes left out. Bounds keep a
// hostile page from costing more than a moment and a few megabytes: only
// the first MaxBytes bytes are read, elements nested deeper than MaxDepth
// are read as if their tags were not there (depth() stays within MaxDepth
// and the html and body elements around the page; markup too tangled to
// follow that closely is read again with fewer of its tags, at worst as
// plain text), the page is read only up
// to the tag or text that would make the parser build more than MaxNodes
// nodes (counted generously: a results page of tens of kilobytes makes a
// few thousand), and a cell keeps at most MaxCellText characters.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tw::platform {

class HtmlDocument {
public:
    static constexpr qsizetype MaxBytes = 2 * 1024 * 1024;
    static constexpr int MaxDepth = 400;
    static constexpr int64_t MaxNodes = 50000;
    static constexpr int MaxCellText = 1024;

    // `contentType`: the answer's Content-Type header, if any.
    static HtmlDocument read(const QByteArray& bytes, const QString& contentType = {});

    const QList<QStringList>& tables() const { return m_tables; }
    // The charset the page was decoded by.
    const QString& charset() const { return m_charset; }
    // The depth of the deepest element of the page as read (the document
    // itself is 0, the html element 1).
    int depth() const { return m_depth; }

private:
    QList<QStringList> m_tables;
    QString m_charset;
    int m_depth = 0;
};

// The charset a page is to be decoded by (see above); its name as the
// decoder knows it.
QString htmlCharset(const QByteArray& bytes, const QString& contentType = {});

} // namespace tw::platform
