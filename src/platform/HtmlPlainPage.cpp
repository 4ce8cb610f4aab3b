#include "platform/HtmlPlainPage.h"
#include "platform/HtmlDocument.h"

#include <QHash>
#include <algorithm>
#include <cstdint>
#include <vector>

// The page as gumbo gets it.
//
// gumbo reads any markup, but a page nested a hundred thousand levels deep
// costs it minutes and its stack, and one that makes it reopen formatting
// elements in every paragraph costs it a node for each, hundreds of bytes
// apiece. Before gumbo sees the page, it is written again in a plain form:
// text with every "<" that opens no tag escaped, start tags without their
// attributes, end tags of the elements the page opens, and nothing else
// (comments, doctypes and processing instructions go). gumbo's tokenizer
// reads that form exactly as it is written, so the tags it sees are the tags
// counted here. A simple model of the tree builder follows the open elements,
// the table rows and bodies gumbo adds to a cell or row without them, and the
// formatting elements a browser reopens; it never counts fewer than gumbo
// keeps open, up to the html and body elements around everything. A start
// tag that would open an element beyond MaxDepth is left out. The model also
// counts, generously, the nodes each tag and each run of text can make
// (reopened elements and those the misnesting rules copy included); where
// they would go beyond MaxNodes the rest of the page is left out.

namespace tw::platform::html {

namespace {

// What the model knows of an element, by its name.
enum Kind : uint16_t {
    Void = 1 << 0,        // never open (br, img...)
    Formatting = 1 << 1,  // reopened by a browser when left unclosed (b, i, a...)
    Marker = 1 << 2,      // bounds the reopening (td, th, caption...)
    Boundary = 1 << 3,    // bounds a scope (table, td, html...; foreign ones taken everywhere)
    Special = 1 << 4,     // the HTML "special" elements
    ClosesP = 1 << 5,     // its start tag closes an open p
    RawText = 1 << 6,     // its content is text up to its end tag
    Heading = 1 << 7,     // h1..h6
    TableScope = 1 << 8,  // bounds the table scope (html, table, template)
    Passable = 1 << 9,    // a list item's start looks past it (address, div, p)
    ButtonScope = 1 << 10, // bounds the button scope besides the Boundary ones
    Breakout = 1 << 11,     // leaves svg or math content (b, div, p, table...)
    ForeignScope = 1 << 12, // a bound of scopes also as an svg or math element
    ListScope = 1 << 13,    // bounds the list item scope besides the Boundary ones
    ClosedInScope = 1 << 14 // its end tag closes it through any element but a Boundary
};

// The element names the model knows, built once; a page's other names get
// numbers of their own, above these, with no kind.
class ElementNames {
public:
    enum Known : int { P, Li, Dd, Dt, Td, Th, Tr, Tbody, Thead, Tfoot, Option, Optgroup, Form, Body, Html, Head,
                       Br, Plaintext, Button, Colgroup, Col, Isindex, A, Nobr, Table, Caption, Template,
                       KnownCount };

    // The id of a name the model has seen; -1 for any other.
    int find(const QString& name) const
    {
        const NameTable& t = table();
        const auto it = t.ids.constFind(name);
        if (it != t.ids.constEnd())
            return it.value();
        return m_others.value(name, -1);
    }

    int id(const QString& name)
    {
        const NameTable& t = table();
        const auto it = t.ids.constFind(name);
        if (it != t.ids.constEnd())
            return it.value();
        const auto other = m_others.constFind(name);
        if (other != m_others.constEnd())
            return other.value();
        const int n = static_cast<int>(t.kinds.size() + static_cast<size_t>(m_others.size()));
        m_others.insert(name, n);
        return n;
    }

    // Elements of svg or math content carry this bit (and those of svg the
    // next one too): they match no HTML element of their name, and only the
    // few that bound scopes there have a kind.
    static constexpr int ForeignBit = 1 << 24;
    static constexpr int SvgBit = 1 << 25;

    bool is(int id, uint16_t kind) const
    {
        const NameTable& t = table();
        if ((id & ForeignBit) != 0) {
            id &= ~(ForeignBit | SvgBit);
            kind &= Boundary | Special;
            if (static_cast<size_t>(id) >= t.kinds.size() || (t.kinds[static_cast<size_t>(id)] & ForeignScope) == 0)
                return false;
        }
        return id >= 0 && static_cast<size_t>(id) < t.kinds.size() && (t.kinds[static_cast<size_t>(id)] & kind) != 0;
    }

private:
    struct NameTable {
        QHash<QString, int> ids;
        std::vector<uint16_t> kinds;

        int add(const char* name)
        {
            const QString n = QLatin1String(name);
            const auto it = ids.constFind(n);
            if (it != ids.constEnd())
                return it.value();
            const int id = static_cast<int>(kinds.size());
            ids.insert(n, id);
            kinds.push_back(0);
            return id;
        }

        void mark(uint16_t kind, std::initializer_list<const char*> names)
        {
            for (const char* n : names)
                kinds[static_cast<size_t>(add(n))] |= kind;
        }
    };

    static const NameTable& table()
    {
        static const NameTable t = [] {
            NameTable t;
            for (const char* n : {"p", "li", "dd", "dt", "td", "th", "tr", "tbody", "thead", "tfoot", "option",
                                  "optgroup", "form", "body", "html", "head", "br", "plaintext", "button", "colgroup",
                                  "col", "isindex", "a", "nobr", "table", "caption", "template"})
                t.add(n);
            t.mark(Void, {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "image", "img",
                          "input", "keygen", "link", "meta", "param", "source", "track", "wbr"});
            t.mark(Formatting, {"a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong",
                                "tt", "u"});
            t.mark(Marker, {"applet", "marquee", "object", "td", "th", "caption", "template"});
            t.mark(Boundary, {"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template", "mi",
                              "mo", "mn", "ms", "mtext", "annotation-xml", "foreignobject", "desc", "title"});
            t.mark(Special,
                   {"address", "applet", "area", "article", "aside", "base", "basefont", "bgsound", "blockquote",
                    "body", "br", "button", "caption", "center", "col", "colgroup", "dd", "details", "dir", "div",
                    "dl", "dt", "embed", "fieldset", "figcaption", "figure", "footer", "form", "frame", "frameset",
                    "h1", "h2", "h3", "h4", "h5", "h6", "head", "header", "hgroup", "hr", "html", "iframe", "img",
                    "input", "keygen", "li", "link", "listing", "main", "marquee", "menu", "meta", "nav", "noembed",
                    "noframes", "noscript", "object", "ol", "p", "param", "plaintext", "pre", "script", "search",
                    "section", "select", "source", "style", "summary", "table", "tbody", "td", "template",
                    "textarea", "tfoot", "th", "thead", "title", "tr", "track", "ul", "wbr", "xmp", "mi", "mo", "mn",
                    "ms", "mtext", "annotation-xml", "foreignobject", "desc"});
            t.mark(ClosesP, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir",
                             "div", "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "main",
                             "menu", "nav", "ol", "p", "section", "summary", "ul", "h1", "h2", "h3", "h4", "h5", "h6",
                             "pre", "listing", "form", "hr", "xmp", "li", "dd", "dt", "search"});
            t.mark(RawText, {"script", "style", "xmp", "iframe", "noembed", "noframes", "title", "textarea"});
            t.mark(Heading, {"h1", "h2", "h3", "h4", "h5", "h6"});
            t.mark(TableScope, {"html", "table", "template"});
            t.mark(Passable, {"address", "div", "p"});
            t.mark(ButtonScope, {"button"});
            t.mark(Breakout, {"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt", "em",
                              "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li", "listing",
                              "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span", "strong",
                              "strike", "sub", "sup", "table", "tt", "u", "ul", "var"});
            t.mark(ForeignScope, {"mi", "mo", "mn", "ms", "mtext", "annotation-xml", "foreignobject", "desc", "title"});
            t.mark(ListScope, {"ol", "ul"});
            t.mark(ClosedInScope,
                   {"address", "article", "aside", "blockquote", "button", "center", "details", "dialog", "dir", "div",
                    "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "listing", "main", "menu",
                    "nav", "ol", "pre", "search", "section", "summary", "ul", "applet", "marquee", "object", "li",
                    "dd", "dt", "h1", "h2", "h3", "h4", "h5", "h6", "p"});
            return t;
        }();
        return t;
    }

    QHash<QString, int> m_others;
};

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isTagSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

class PlainPage {
public:
    PlainPage(const QString& src, Reading reading)
        : s(src), strict(reading != Reading::Faithful), limit(reading == Reading::TextOnly ? 0 : HtmlDocument::MaxDepth)
    {
    }

    QByteArray write()
    {
        out.reserve(s.size() + s.size() / 8);
        while (i < s.size()) {
            const QChar c = s.at(i);
            if (c == QLatin1Char('<')) {
                tag();
            } else if (c.unicode() == 0) {
                ++i;
            } else if (text()) {
                out.append(c);
                ++i;
            }
        }
        return out.toUtf8();
    }

private:
    using E = ElementNames;

    bool at(qsizetype k, char c) const { return k < s.size() && s.at(k) == QLatin1Char(c); }

    // From a "<".
    void tag()
    {
        const qsizetype n = s.size();
        if (at(i + 1, '!')) {
            if (at(i + 2, '-') && at(i + 3, '-'))
                skipComment();
            else
                skipTo('>'); // doctype, CDATA outside foreign content, bogus comments
            return;
        }
        if (at(i + 1, '?')) {
            skipTo('>');
            return;
        }
        if (at(i + 1, '/')) {
            if (i + 2 < n && isAsciiLetter(s.at(i + 2))) {
                i += 2;
                const QString name = tagName();
                bool selfClosing = false;
                if (!attributes(selfClosing))
                    return; // the page ends inside the tag: the tag is dropped
                endTag(name);
            } else if (at(i + 2, '>')) {
                i += 3;
            } else {
                skipTo('>');
            }
            return;
        }
        if (i + 1 < n && isAsciiLetter(s.at(i + 1))) {
            ++i;
            const QString name = tagName();
            bool selfClosing = false;
            if (!attributes(selfClosing))
                return;
            startTag(name, selfClosing);
            return;
        }
        if (text())
            out.append(QStringLiteral("&lt;"));
        ++i;
    }

    void skipTo(char c)
    {
        const qsizetype end = s.indexOf(QLatin1Char(c), i);
        i = end < 0 ? s.size() : end + 1;
    }

    // "<!--" ... "-->" (also "--!>"; "<!-->" and "<!--->" end at once).
    void skipComment()
    {
        qsizetype k = i + 4;
        if (at(k, '>')) {
            i = k + 1;
            return;
        }
        if (at(k, '-') && at(k + 1, '>')) {
            i = k + 2;
            return;
        }
        for (;;) {
            const qsizetype dash = s.indexOf(QStringLiteral("--"), k);
            if (dash < 0) {
                i = s.size();
                return;
            }
            qsizetype e = dash + 2;
            while (at(e, '-'))
                ++e;
            if (at(e, '>')) {
                i = e + 1;
                return;
            }
            if (at(e, '!') && at(e + 1, '>')) {
                i = e + 2;
                return;
            }
            k = e;
        }
    }

    QString tagName()
    {
        QString name;
        const qsizetype n = s.size();
        while (i < n) {
            const QChar c = s.at(i);
            if (isTagSpace(c) || c == QLatin1Char('/') || c == QLatin1Char('>'))
                break;
            const char16_t u = c.unicode();
            if (u == 0)
                name.append(QChar(0xFFFD));
            else if (u >= 'A' && u <= 'Z')
                name.append(QChar(u + 32));
            else
                name.append(c);
            ++i;
        }
        return name;
    }

    // Reads past the attributes to the end of the tag; false when the page
    // ends first.
    bool attributes(bool& selfClosing)
    {
        const qsizetype n = s.size();
        selfClosing = false;
        for (;;) {
            while (i < n && isTagSpace(s.at(i)))
                ++i;
            if (i >= n)
                return false;
            QChar c = s.at(i);
            if (c == QLatin1Char('>')) {
                ++i;
                return true;
            }
            if (c == QLatin1Char('/')) {
                ++i;
                if (at(i, '>')) {
                    selfClosing = true;
                    ++i;
                    return true;
                }
                continue;
            }
            // The name (a leading "=" belongs to it).
            ++i;
            while (i < n) {
                c = s.at(i);
                if (isTagSpace(c) || c == QLatin1Char('/') || c == QLatin1Char('>') || c == QLatin1Char('='))
                    break;
                ++i;
            }
            while (i < n && isTagSpace(s.at(i)))
                ++i;
            if (!at(i, '='))
                continue;
            ++i;
            while (i < n && isTagSpace(s.at(i)))
                ++i;
            if (i >= n)
                return false;
            c = s.at(i);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                const qsizetype close = s.indexOf(c, i + 1);
                if (close < 0)
                    return false;
                i = close + 1;
            } else {
                while (i < n && !isTagSpace(s.at(i)) && s.at(i) != QLatin1Char('>'))
                    ++i;
            }
        }
    }

    // ---- the nodes gumbo makes ------------------------------------------

    // The most nodes gumbo's misnesting rules (the adoption agency) make
    // for one tag: eight rounds of a copy of the formatting element and of
    // at most three elements inside it.
    static constexpr int64_t kMisnestedNodes = 8 * 4;

    // Counts nodes about to be made; false (and the rest of the page left
    // out) when they would go beyond the limit.
    bool spend(int64_t count)
    {
        nodes += count;
        if (nodes <= HtmlDocument::MaxNodes)
            return true;
        i = s.size();
        return false;
    }

    // Before text is written: the first character of a run makes a text
    // node and reopens the formatting elements.
    bool text()
    {
        if (inText)
            return true;
        inText = true;
        return spend(1 + formattingCount);
    }

    // ---- the shadow count ------------------------------------------------
    //
    // A second count of the open elements that relies on nothing the model
    // knows of the tree builder: an element stays open until its end tag
    // (or that of the table around it) comes while it is on top, and every
    // formatting element may be reopened. gumbo never keeps more open, so a
    // page is never handed to it nested deeper than kShadowDepth, even
    // where the model errs (each level costs gumbo time on every later tag).
    static constexpr int kShadowDepth = 1000;

    struct Shadow {
        std::vector<int> open;
        int formatting = 0;

        int depth() const { return static_cast<int>(open.size()) + formatting; }

        // A cell, row or body starting where the last one is on top closes
        // it (a cell is always closed by the next one).
        void start(int e)
        {
            const auto closes = [e](int x) {
                return x == E::Td || x == E::Th || ((e == E::Tr || isSection(e)) && x == E::Tr)
                    || (isSection(e) && isSection(x));
            };
            if (e == E::Td || e == E::Th || e == E::Tr || isSection(e)) {
                while (!open.empty() && closes(open.back()))
                    open.pop_back();
            }
        }

        void end(int e, bool formattingElement)
        {
            if (e == E::Table || e == E::Tr || isSection(e)) {
                // The cells, rows and bodies inside close with it.
                const auto inside = [e](int x) {
                    return x == E::Td || x == E::Th || (e != E::Tr && (x == E::Tr || (e == E::Table && isTablePart(x))));
                };
                size_t k = open.size();
                while (k > 0 && open[k - 1] != e && inside(open[k - 1]))
                    --k;
                if (k > 0 && open[k - 1] == e)
                    open.resize(k - 1);
                return;
            }
            if (!open.empty() && open.back() == e) {
                open.pop_back();
                if (formattingElement && formatting > 0)
                    --formatting;
            }
        }
    };

    // The table elements gumbo adds before `e` when `top` is open: a body
    // and a row before a cell, a body before a row, a column group before a
    // column.
    static void pushImplied(std::vector<int>& stack, int e)
    {
        const int top = stack.empty() ? -1 : stack.back();
        if ((e == E::Td || e == E::Th) && top != E::Tr) {
            if (!isSection(top))
                stack.push_back(E::Tbody);
            stack.push_back(E::Tr);
        } else if (e == E::Tr && !isSection(top)) {
            stack.push_back(E::Tbody);
        } else if (e == E::Col && top != E::Colgroup) {
            stack.push_back(E::Colgroup);
        }
    }

    // ---- the model of the open elements --------------------------------

    int depth() const { return static_cast<int>(open.size()) + formattingCount; }
    int top() const { return open.empty() ? -1 : open.back(); }
    int last() const { return static_cast<int>(open.size()) - 1; }

    // The index of the topmost open element matching `match` when it
    // stands above the first element of the kinds `bounds` (0: none bounds
    // the search); -1 otherwise.
    template <class Match>
    int scopeIndex(Match match, uint16_t bounds) const
    {
        for (int k = last(); k >= 0; --k) {
            if (match(open[static_cast<size_t>(k)]))
                return k;
            if (names.is(open[static_cast<size_t>(k)], bounds))
                return -1;
        }
        return -1;
    }

    // Closes the topmost element matching `match`, and every element above
    // it, when it stands above the first element of the kinds `bounds`.
    template <class Match>
    void closeInScope(Match match, uint16_t bounds)
    {
        if (const int k = scopeIndex(match, bounds); k >= 0)
            popTo(k);
    }

    void popTo(int index)
    {
        while (static_cast<int>(open.size()) > index) {
            const int e = open.back();
            open.pop_back();
            if (names.is(e, Marker) && !strict)
                clearToMarker();
        }
    }

    void removeActive(size_t k)
    {
        if (active[k] >= 0)
            --formattingCount;
        active.erase(active.begin() + static_cast<std::ptrdiff_t>(k));
    }

    void clearToMarker()
    {
        while (!active.empty()) {
            const bool marker = active.back() < 0;
            removeActive(active.size() - 1);
            if (marker)
                break;
        }
    }

    void closeParagraph() { closeInScope([](int e) { return e == E::P; }, Boundary | ButtonScope); }

    template <class Match>
    void closeListItem(Match match)
    {
        for (int k = last(); k >= 0; --k) {
            const int e = open[static_cast<size_t>(k)];
            if (match(e)) {
                popTo(k);
                return;
            }
            if (names.is(e, Special) && !names.is(e, Passable))
                return;
        }
    }

    static bool isSection(int e) { return e == E::Tbody || e == E::Thead || e == E::Tfoot; }

    static bool isTablePart(int e)
    {
        return e == E::Td || e == E::Th || e == E::Tr || isSection(e) || e == E::Caption || e == E::Col
            || e == E::Colgroup;
    }

    bool inTable() const
    {
        return std::any_of(open.begin(), open.end(), [](int x) { return x == E::Table || x == E::Template; });
    }

    // The table elements gumbo may add before `e`: a body and a row before a
    // cell, a body before a row, a column group before a column.
    static int impliedAtMost(int e)
    {
        if (e == E::Td || e == E::Th)
            return 2;
        return e == E::Tr || e == E::Col ? 1 : 0;
    }

    static bool isForeign(int e) { return e >= 0 && (e & ElementNames::ForeignBit) != 0; }

    // The id of a new svg or math element: svg and math start their own
    // content, any other element is of its parent's.
    static int foreignId(int e, const QString& name, int parent)
    {
        if (name == QLatin1String("svg"))
            return e | ElementNames::ForeignBit | ElementNames::SvgBit;
        if (name == QLatin1String("math"))
            return e | ElementNames::ForeignBit;
        return e | ElementNames::ForeignBit | (parent & ElementNames::SvgBit);
    }

    // Inside svg or math every element nests (none is void, none closes
    // another); the integration points (svg's desc, title and foreignObject,
    // MathML's text elements) hold HTML again.
    void foreignStartTag(int e, const QString& name, bool selfClosing)
    {
        if (depth() >= limit || shadow.depth() >= kShadowDepth || !spend(1))
            return;
        out.append(QLatin1Char('<')).append(name).append(selfClosing ? QStringLiteral("/>") : QStringLiteral(">"));
        if (selfClosing)
            return;
        const int id = foreignId(e, name, top());
        shadow.open.push_back(id);
        static const QStringList svgPoints = {QStringLiteral("foreignobject"), QStringLiteral("desc"),
                                              QStringLiteral("title")};
        static const QStringList mathPoints = {QStringLiteral("mi"), QStringLiteral("mo"), QStringLiteral("mn"),
                                               QStringLiteral("ms"), QStringLiteral("mtext")};
        const bool integration = (id & ElementNames::SvgBit) != 0 ? svgPoints.contains(name) : mathPoints.contains(name);
        open.push_back(integration ? e : id);
    }

    void startTag(const QString& name, bool selfClosing)
    {
        inText = false;
        const int e = names.id(name);
        // The text of a plaintext element is read as ordinary text; an
        // isindex (a form gumbo builds of several elements) is left out.
        if (e == E::Plaintext || e == E::Isindex)
            return;
        if (isForeign(top()) && !names.is(e, Breakout)) {
            foreignStartTag(e, name, selfClosing);
            return;
        }
        if (depth() + impliedAtMost(e) >= limit || shadow.depth() + impliedAtMost(e) >= kShadowDepth)
            return;
        // Table parts outside any table are ignored by gumbo: not written.
        if (isTablePart(e) && !inTable())
            return;
        // The element, those reopened before it, those gumbo adds, and the
        // copies a second link or nobr inside the first makes.
        const bool again = (e == E::A || e == E::Nobr) && activeEntry(e) >= 0;
        if (!spend(1 + formattingCount + impliedAtMost(e) + (again ? kMisnestedNodes : 0)))
            return;

        if (strict) {
            // Nothing closes.
        } else if (e == E::Table) {
            // A table started where a table's rows go ends that table.
            const int table = enclosingTable();
            if (table >= 0)
                popTo(table);
        } else if (e == E::Li) {
            closeListItem([](int x) { return x == E::Li; });
        } else if (e == E::Dd || e == E::Dt) {
            closeListItem([](int x) { return x == E::Dd || x == E::Dt; });
        } else if (e == E::Td || e == E::Th) {
            closeInScope([](int x) { return x == E::Td || x == E::Th; }, TableScope);
        } else if (e == E::Tr) {
            closeInScope([](int x) { return x == E::Tr; }, TableScope);
        } else if (e == E::Tbody || e == E::Thead || e == E::Tfoot) {
            closeInScope([](int x) { return x == E::Tbody || x == E::Thead || x == E::Tfoot; }, TableScope);
        } else if (e == E::Option) {
            if (top() == E::Option)
                popTo(last());
        } else if (e == E::Optgroup) {
            // Outside a select an open optgroup stays open.
            if (top() == E::Option)
                popTo(last());
        }
        if (names.is(e, ClosesP) && !strict)
            closeParagraph();
        if (names.is(e, Heading) && top() >= 0 && names.is(top(), Heading) && !strict)
            popTo(last());
        // The rows, bodies and column groups gumbo adds stay open.
        pushImplied(open, e);
        shadow.start(e);
        pushImplied(shadow.open, e);

        out.append(QLatin1Char('<')).append(name).append(selfClosing ? QStringLiteral("/>") : QStringLiteral(">"));

        if (name == QLatin1String("svg") || name == QLatin1String("math")) {
            if (!selfClosing) {
                open.push_back(foreignId(e, name, 0));
                shadow.open.push_back(open.back());
            }
            return;
        }
        if (!names.is(e, Void)) {
            open.push_back(e);
            shadow.open.push_back(e);
            if (names.is(e, Marker))
                active.push_back(-1);
        }
        if (names.is(e, Formatting)) {
            pushFormatting(e);
            ++shadow.formatting;
        }
        // A "/>" does not end an HTML script or title: its text follows.
        if (names.is(e, RawText))
            rawText(name);
    }

    // The index of the last formatting entry of `e` after the last marker;
    // -1 for none.
    int activeEntry(int e) const
    {
        for (size_t k = active.size(); k-- > 0 && active[k] >= 0;) {
            if (active[k] == e)
                return static_cast<int>(k);
        }
        return -1;
    }

    // At most three entries of one name after the last marker, as a
    // browser keeps them (the tags carry no attributes any more).
    void pushFormatting(int e)
    {
        int same = 0;
        size_t earliest = 0;
        for (size_t k = active.size(); k-- > 0 && active[k] >= 0;) {
            if (active[k] == e) {
                ++same;
                earliest = k;
            }
        }
        if (same >= 3 && !strict)
            removeActive(earliest);
        active.push_back(e);
        ++formattingCount;
    }

    // The text of elements whose content is no markup, up to their end tag,
    // written with every "<" escaped.
    void rawText(const QString& name)
    {
        const QString closing = QStringLiteral("</") + name;
        qsizetype k = i;
        qsizetype end = -1;
        for (;;) {
            k = s.indexOf(closing, k, Qt::CaseInsensitive);
            if (k < 0)
                break;
            const qsizetype after = k + closing.size();
            if (after >= s.size() || isTagSpace(s.at(after)) || s.at(after) == QLatin1Char('/')
                || s.at(after) == QLatin1Char('>')) {
                end = k;
                break;
            }
            k = after;
        }
        const qsizetype stop = end < 0 ? s.size() : end;
        if (stop > i && !spend(1))
            return;
        for (qsizetype j = i; j < stop; ++j) {
            const QChar c = s.at(j);
            if (c == QLatin1Char('<'))
                out.append(QStringLiteral("&lt;"));
            else if (c.unicode() != 0)
                out.append(c);
        }
        i = stop; // the end tag is read as an ordinary end tag
    }

    // The svg and math elements on top of the nearest HTML element.
    int foreignRun() const
    {
        int n = 0;
        for (int k = last(); k >= 0 && isForeign(open[static_cast<size_t>(k)]); --k)
            ++n;
        return n;
    }

    // The index of the table whose rows the page is in (not in one of its
    // cells); -1 when there is none.
    int enclosingTable() const
    {
        for (int k = last(); k >= 0; --k) {
            const int x = open[static_cast<size_t>(k)];
            if (x == E::Td || x == E::Th || x == E::Template || x == E::Html)
                return -1;
            if (x == E::Table)
                return k;
        }
        return -1;
    }

    bool inButtonScope(int e) const
    {
        return scopeIndex([e](int x) { return x == e; }, Boundary | ButtonScope) >= 0;
    }

    void endTag(const QString& name)
    {
        inText = false;
        // An end tag of an element the page never opened closes nothing.
        const int e = names.find(name);
        if (e < 0 || e == E::Body || e == E::Html || e == E::Head || e == E::Br)
            return; // a browser closes nothing for these either
        // A "</p>" without an open p makes an empty one: not beyond the
        // depth limit.
        if (e == E::P && (depth() >= limit || shadow.depth() >= kShadowDepth) && !inButtonScope(E::P))
            return;
        // In svg or math content gumbo compares the end tag's name with
        // every element up to the nearest HTML one: a deep run of them costs
        // as much as nodes do.
        if (!spend(foreignRun() / 8))
            return;
        if (names.is(e, Formatting)) {
            formattingEnd(e, name);
            return;
        }
        if (!spend(1))
            return;
        out.append(QStringLiteral("</")).append(name).append(QLatin1Char('>'));
        shadow.end(e, false);

        if (strict) {
            if (top() == e)
                popTo(last());
            return;
        }
        if (isTablePart(e) || e == E::Table) {
            // Closes the cells and rows inside it, if it is in the table.
            closeInScope([e](int x) { return x == e; }, TableScope);
            return;
        }
        if (names.is(e, ClosedInScope)) {
            const bool heading = names.is(e, Heading);
            const uint16_t bounds = e == E::Li ? Boundary | ListScope : e == E::P ? Boundary | ButtonScope : Boundary;
            closeInScope([this, e, heading](int x) { return x == e || (heading && names.is(x, Heading)); }, bounds);
            return;
        }
        if (e == E::Form) {
            // A form leaves the stack alone, whatever is open inside it.
            if (const int k = scopeIndex([e](int x) { return x == e; }, 0); k >= 0)
                open.erase(open.begin() + k);
            return;
        }
        closeInScope([e](int x) { return x == e; }, Special | Boundary);
    }

    void formattingEnd(int e, const QString& name)
    {
        if (strict) {
            // The element on top closes; anything else may make copies.
            const bool onTop = top() == e;
            if (!spend(onTop ? 1 : kMisnestedNodes))
                return;
            out.append(QStringLiteral("</")).append(name).append(QLatin1Char('>'));
            shadow.end(e, true);
            if (onTop)
                popTo(last());
            return;
        }
        const int entry = activeEntry(e);
        const int element = scopeIndex([e](int x) { return x == e; }, 0);
        bool blockInside = false;
        for (int k = element + 1; element >= 0 && k <= last(); ++k)
            blockInside = blockInside || names.is(open[static_cast<size_t>(k)], Special | Boundary);
        // With a block opened inside it (or inside the element as gumbo
        // reopened it), the misnesting rules copy elements.
        const bool copies = blockInside || (element < 0 && entry >= 0);
        if (!spend(copies ? kMisnestedNodes : 1))
            return;
        out.append(QStringLiteral("</")).append(name).append(QLatin1Char('>'));
        shadow.end(e, true);
        if (element < 0) {
            if (entry >= 0)
                removeActive(static_cast<size_t>(entry));
            return;
        }
        // With a block inside it, a browser moves the element rather than
        // closing anything: as many stay open as before.
        if (blockInside)
            return;
        popTo(element);
        if (entry >= 0 && static_cast<size_t>(entry) < active.size())
            removeActive(static_cast<size_t>(entry));
    }

    const QString& s;
    const bool strict;
    const int limit;
    qsizetype i = 0;
    QString out;
    ElementNames names;
    std::vector<int> open;
    std::vector<int> active; // formatting elements; -1 is a marker
    int formattingCount = 0;
    Shadow shadow;
    int64_t nodes = 0;
    bool inText = false;
};

} // namespace

QByteArray plainPage(const QString& text, Reading reading)
{
    return PlainPage(text, reading).write();
}

} // namespace tw::platform::html
