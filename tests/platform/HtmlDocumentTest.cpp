// Reading HTML pages into their tables: cells by table in document order,
// the charsets a page can come in, markup as broken as servers send it, and
// hostile pages (deep nesting of every kind, tag soup, huge pages, pages
// that make the parser build node after node) read in bounded depth and up
// to bounded size without a crash.
#include "platform/HtmlDocument.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using tw::platform::HtmlDocument;
using tw::platform::htmlCharset;

namespace {

TEST(HtmlDocument, TablesInDocumentOrderEachWithItsOwnCells)
{
    const HtmlDocument doc = HtmlDocument::read(
        "<html><body><table><tr><td>a <b>bold</b>\n text</td><th>h</th>"
        "<td><table><tr><td>inner 1<td>inner&nbsp;2</table>tail</td></tr></table>"
        "<p>between</p><table><tr><td>x<br>y</td><td><p>p1</p><p>p2</p></td></tr></table></body></html>");
    ASSERT_EQ(doc.tables().size(), 3);
    // The outer cell holds the text of the table inside it; that table's
    // cells are its own.
    EXPECT_EQ(doc.tables().at(0), (QStringList{"a bold text", "h", "inner 1 inner 2 tail"}));
    EXPECT_EQ(doc.tables().at(1), (QStringList{"inner 1", "inner 2"}));
    EXPECT_EQ(doc.tables().at(2), (QStringList{"x y", "p1 p2"}));
}

TEST(HtmlDocument, CharsetFromHeaderPageOrBytes)
{
    // Named by the answer's header, by the page, by a byte-order mark.
    EXPECT_EQ(HtmlDocument::read("<table><td>\xc4\xe5\xed\xfc</table>", "text/html; charset=windows-1251")
                  .tables()
                  .at(0)
                  .at(0),
              QStringLiteral("\u0414\u0435\u043d\u044c"));
    const HtmlDocument koi8 =
        HtmlDocument::read("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=KOI8-R\">"
                           "<table><td>\xe4\xc5\xce\xd8</table>");
    EXPECT_EQ(koi8.tables().at(0).at(0), QStringLiteral("\u0414\u0435\u043d\u044c"));
    EXPECT_EQ(HtmlDocument::read("\xef\xbb\xbf<table><td>\xc3\xa9t\xc3\xa9</table>").tables().at(0).at(0),
              QStringLiteral("\u00e9t\u00e9"));
    // Nothing named: UTF-8 when the bytes are UTF-8, else Windows-1252.
    EXPECT_EQ(HtmlDocument::read("<table><td>caf\xc3\xa9</table>").tables().at(0).at(0), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(HtmlDocument::read("<table><td>caf\xe9 \x80</table>").tables().at(0).at(0),
              QStringLiteral("caf\u00e9 \u20ac"));
    // A page that says Latin-1 is read as its Windows superset; an unknown
    // name falls back to the bytes.
    EXPECT_EQ(htmlCharset("x", "text/html; charset=ISO-8859-1"), QStringLiteral("windows-1252"));
    EXPECT_EQ(htmlCharset("caf\xc3\xa9", "text/html; charset=no-such-thing"), QStringLiteral("UTF-8"));
    EXPECT_EQ(htmlCharset("<meta charset=utf-16>x"), QStringLiteral("UTF-8"));
}

TEST(HtmlDocument, BrokenMarkupReadsAsABrowserReadsIt)
{
    const QByteArray page = QByteArrayLiteral("<html><head><title>t</title><script>var s = '<table><td>no</table>';</script>"
                          "<!-- <table><td>not a table</td></table> -->"
                          "<body><table><tr><td>1 < 2 && 3 > 2<td>&lt;b&gt; &amp; &#x41;&bogus;"
                          "<td>ctrl\x01\x02\x1f\x7f\x81 done<td>\x00nul<td>bad\xff\xfe bytes"
                          "<td attr=\"a > b\" other='x'>quoted<td><unknown-tag>u</unknown-tag>"
                          "<tr><td>never closed");
    const HtmlDocument doc = HtmlDocument::read(page);
    ASSERT_EQ(doc.tables().size(), 1);
    const QStringList cells = doc.tables().at(0);
    ASSERT_EQ(cells.size(), 8);
    EXPECT_EQ(cells.at(0), QStringLiteral("1 < 2 && 3 > 2"));
    EXPECT_EQ(cells.at(1), QStringLiteral("<b> & A&bogus;"));
    EXPECT_EQ(cells.at(2), QStringLiteral("ctrl done"));
    EXPECT_EQ(cells.at(3), QStringLiteral("nul"));
    EXPECT_EQ(cells.at(5), QStringLiteral("quoted"));
    EXPECT_EQ(cells.at(6), QStringLiteral("u"));
    EXPECT_EQ(cells.at(7), QStringLiteral("never closed"));
    // No control character or undecodable byte reaches a cell.
    for (const QString& c : cells) {
        for (const QChar ch : c)
            EXPECT_TRUE(ch.unicode() >= 0x20 && ch.unicode() != 0xFFFD && !(ch.unicode() >= 0x7F && ch.unicode() <= 0x9F))
                << c.toStdString();
    }
    EXPECT_TRUE(HtmlDocument::read(QByteArray()).tables().isEmpty());
    EXPECT_TRUE(HtmlDocument::read("<").tables().isEmpty());
    EXPECT_TRUE(HtmlDocument::read("<table").tables().isEmpty());
}

QByteArray repeated(const QByteArray& piece, int n, const QByteArray& tail = {})
{
    QByteArray s;
    s.reserve(piece.size() * n + tail.size());
    for (int i = 0; i < n; ++i)
        s += piece;
    return s + tail;
}

// The html and body elements gumbo puts around the page come on top of
// the elements the page opens.
constexpr int kDepthBound = HtmlDocument::MaxDepth + 2;

TEST(HtmlDocument, HostileNestingIsReadInBoundedDepth)
{
    const struct {
        const char* what;
        QByteArray page;
    } cases[] = {
        {"divs", repeated("<div>", 200000, "<table><td>deep</table>")},
        {"tables", repeated("<table><tr><td>", 60000)},
        // gumbo adds a body and a row to each cell.
        {"bare cells", repeated("<table><td>", 60000)},
        {"cols", repeated("<table><col><caption><th>", 40000)},
        // Inside svg and math every tag nests, table parts and inputs too.
        {"math rows", repeated("<math><tr>", 60000)},
        {"svg inputs", repeated("<svg><input>", 60000)},
        {"annotations", repeated("<math><annotation-xml><tr>", 30000)},
        {"marquee rows", repeated("<marquee><tbody>x<tr><math>", 30000)},
        {"math titles", repeated("<math><form><title><track>", 30000)},
        // Table parts outside any table are ignored.
        {"stray rows", repeated("<tr><div><dialog><details>", 30000)},
        {"option groups", repeated("<optgroup></ul>", 60000)},
        {"reopened in ruby", repeated("<address></big><tt></address><rp>x", 30000)},
        {"cells", repeated("<td>", 200000)},
        {"svg", repeated("<svg><desc><div>", 50000)},
        {"formatting", repeated("<b><i><u><s><font><p>", 40000)},
        {"reopened bold", repeated("<b><p>", 100000)},
        {"reopened formatting", repeated("<p><b><i><em><strong></p>", 40000)},
        {"adoption", repeated("<b><div></b>", 60000)},
        {"forms", repeated("<form>" + repeated("<span>", 100) + "</form>", 2000)},
        {"scripts", repeated(repeated("<div>", 100) + "<script>" + repeated("</div>", 100) + "</script>", 2000)},
        {"comments", repeated(repeated("<div>", 100) + "<!-->" + repeated("</div>", 100) + "-->", 2000)},
        {"lists", repeated("<ul><li><ol><li><dl><dd>", 40000)},
        {"selects", repeated("<select><option><optgroup>", 40000)},
        {"attributes", "<table><td " + repeated("a=1 ", 200000) + ">x</table>"},
    };
    for (const auto& c : cases) {
        const HtmlDocument doc = HtmlDocument::read("<table><td>first</table>" + c.page);
        EXPECT_LE(doc.depth(), kDepthBound) << c.what;
        // Read with its markup, not as mere text.
        ASSERT_FALSE(doc.tables().isEmpty()) << c.what;
        EXPECT_EQ(doc.tables().at(0).value(0), QStringLiteral("first")) << c.what;
    }
    // A page nested only as deep as real pages keeps every tag.
    const HtmlDocument fine = HtmlDocument::read(repeated("<div>", 300, "<table><td>found</table>"));
    ASSERT_EQ(fine.tables().size(), 1);
    EXPECT_EQ(fine.tables().at(0).at(0), QStringLiteral("found"));
}

TEST(HtmlDocument, RandomTagSoupIsReadInBoundedDepth)
{
    static const char* const names[] = {
        "a",       "b",        "i",      "font",   "nobr",   "div",    "p",     "span",  "table",    "tbody",
        "tr",      "td",       "th",     "caption", "colgroup", "col", "li",    "ul",    "ol",       "dd",
        "dt",      "dl",       "select", "option", "optgroup", "form", "button", "svg",  "math",     "desc",
        "title",   "foreignObject", "mi", "template", "textarea", "script", "style", "noscript", "plaintext",
        "frameset", "frame",   "body",   "html",   "head",   "h1",     "h2",    "marquee", "object", "applet",
        "iframe",  "xmp",      "br",     "hr",     "img",    "input",  "pre",   "listing", "menu",  "ruby",
        "rt",      "rp",       "image",  "isindex", "annotation-xml", "mtext", "center", "em",  "strong", "s"};
    constexpr int nameCount = sizeof(names) / sizeof(names[0]);
    QRandomGenerator rng(20240607);
    for (int round = 0; round < 60; ++round) {
        QByteArray page;
        // Every other round a short random run of tags, repeated.
        if (round % 2 == 1) {
            QByteArray unit;
            for (quint32 k = 0, n = 1 + rng.bounded(6); k < n; ++k) {
                const QByteArray name = names[rng.bounded(nameCount)];
                unit += rng.bounded(100) < 70 ? "<" + name + ">" : "</" + name + ">";
            }
            page = repeated(unit, 200000 / unit.size());
        }
        for (int k = 0; round % 2 == 0 && k < 20000; ++k) {
            const quint32 r = rng.bounded(100);
            const QByteArray name = names[rng.bounded(nameCount)];
            if (r < 55)
                page += "<" + name + ">";
            else if (r < 85)
                page += "</" + name + ">";
            else if (r < 90)
                page += "<" + name + "/>";
            else if (r < 95)
                page += "x";
            else
                page += "<!--";
        }
        const HtmlDocument doc = HtmlDocument::read(page);
        EXPECT_LE(doc.depth(), kDepthBound) << "round " << round;
    }
}

TEST(HtmlDocument, PageIsReadUpToTheTagThatWouldMakeTooManyNodes)
{
    // Every paragraph reopens the bold elements left open: four nodes for
    // six bytes, far beyond the limit long before the page ends.
    const HtmlDocument doc = HtmlDocument::read("<table><td>first</table>" + repeated("<b><p>", 300000)
                                                + "<table><td>beyond the limit</table>");
    ASSERT_EQ(doc.tables().size(), 1);
    EXPECT_EQ(doc.tables().at(0).at(0), QStringLiteral("first"));
    // A long page of results is read whole.
    QByteArray rows;
    for (int i = 0; i < 2000; ++i)
        rows += "<tr><td><a href=\"q?t=" + QByteArray::number(i) + "\">T" + QByteArray::number(i) + "</a><td><b>Name</b> "
            + QByteArray::number(i) + "<td>NYSE</tr>\n";
    const HtmlDocument results = HtmlDocument::read("<table>" + rows + "</table><table><td>after</table>");
    ASSERT_EQ(results.tables().size(), 2);
    EXPECT_EQ(results.tables().at(0).size(), 6000);
    EXPECT_EQ(results.tables().at(0).last(), QStringLiteral("NYSE"));
    EXPECT_EQ(results.tables().at(1).at(0), QStringLiteral("after"));
}

TEST(HtmlDocument, HugePageIsReadUpToItsLimit)
{
    QByteArray page = "<table><td>first</table>";
    page += QByteArray(HtmlDocument::MaxBytes, 'x');
    page += "<table><td>beyond the limit</table>";
    const HtmlDocument doc = HtmlDocument::read(page);
    ASSERT_EQ(doc.tables().size(), 1);
    EXPECT_EQ(doc.tables().at(0).at(0), QStringLiteral("first"));
    // A cell keeps a bounded text.
    const HtmlDocument big = HtmlDocument::read("<table><td>" + QByteArray(1000000, 'y') + "</table>");
    EXPECT_LE(big.tables().at(0).at(0).size(), HtmlDocument::MaxCellText);
    EXPECT_GE(big.tables().at(0).at(0).size(), HtmlDocument::MaxCellText - 2);
}

} // namespace
