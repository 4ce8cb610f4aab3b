#include "platform/HtmlDocument.h"
#include "platform/HtmlPlainPage.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <gumbo.h>
#include <vector>

namespace tw::platform {

namespace {

// ---------------------------------------------------------------------------
// Charset

QString charsetLabel(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:\\-]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}

// The label as the decoder knows it; empty when it knows none.
QString decoderName(QString label)
{
    label = label.trimmed().toLower();
    if (label.isEmpty())
        return {};
    // Pages that say Latin-1 or ASCII are written in its Windows superset.
    if (label == QLatin1String("iso-8859-1") || label == QLatin1String("latin1") || label == QLatin1String("l1")
        || label == QLatin1String("us-ascii") || label == QLatin1String("ascii")
        || label == QLatin1String("iso8859-1"))
        return QStringLiteral("windows-1252");
    QStringDecoder probe(label.toLatin1().constData());
    return probe.isValid() ? probe.name() : QString();
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder d(QStringDecoder::Utf8);
    const QString text = d.decode(bytes);
    return !d.hasError();
}

QString decode(const QByteArray& bytes, const QString& charset)
{
    QStringDecoder d(charset.toLatin1().constData());
    if (!d.isValid())
        return QString::fromLatin1(bytes);
    QString text = d.decode(bytes);
    if (!text.isEmpty() && text.front() == QChar(0xFEFF))
        text.remove(0, 1);
    return text;
}

// ---------------------------------------------------------------------------
// Reading gumbo's tree.

bool isInline(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_A:
    case GUMBO_TAG_ABBR:
    case GUMBO_TAG_B:
    case GUMBO_TAG_BIG:
    case GUMBO_TAG_CODE:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_FONT:
    case GUMBO_TAG_I:
    case GUMBO_TAG_NOBR:
    case GUMBO_TAG_S:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_SPAN:
    case GUMBO_TAG_STRIKE:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP:
    case GUMBO_TAG_TT:
    case GUMBO_TAG_U:
    case GUMBO_TAG_LABEL:
        return true;
    default:
        return false;
    }
}

QString cleanCellText(const QString& raw)
{
    QString t;
    t.reserve(raw.size());
    for (const QChar c : raw) {
        const char16_t u = c.unicode();
        if (u == 0xFFFD || u == 0xFEFF || c.category() == QChar::Other_Format)
            continue;
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || c.isSurrogate())
            t.append(QLatin1Char(' '));
        else
            t.append(c);
    }
    return t.simplified();
}

struct Collector {
    QList<QStringList> tables;
    int maxDepth = 0;

    struct Cell {
        int table;
        int index;
        QString text;
    };

    void read(const GumboNode* root)
    {
        struct Frame {
            const GumboNode* node;
            unsigned next;
            bool table;
            bool cell;
            bool spaced;
        };
        std::vector<Frame> stack;
        std::vector<int> openTables;
        std::vector<Cell> openCells;
        stack.push_back({root, 0, false, false, false});
        while (!stack.empty()) {
            Frame& f = stack.back();
            const GumboVector* children = f.node->type == GUMBO_NODE_DOCUMENT ? &f.node->v.document.children
                : (f.node->type == GUMBO_NODE_ELEMENT || f.node->type == GUMBO_NODE_TEMPLATE)
                ? &f.node->v.element.children
                : nullptr;
            if (children == nullptr || f.next >= children->length) {
                // Leaving the node.
                if (f.spaced)
                    appendText(openCells, QStringLiteral(" "));
                if (f.cell) {
                    Cell c = std::move(openCells.back());
                    openCells.pop_back();
                    tables[c.table][c.index] = cleanCellText(c.text);
                }
                if (f.table)
                    openTables.pop_back();
                stack.pop_back();
                continue;
            }
            const auto* child = static_cast<const GumboNode*>(children->data[f.next++]);
            switch (child->type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA:
                appendText(openCells, QString::fromUtf8(child->v.text.text));
                break;
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE: {
                const GumboTag tag = child->v.element.tag;
                Frame next{child, 0, false, false, false};
                if (tag == GUMBO_TAG_TABLE) {
                    openTables.push_back(static_cast<int>(tables.size()));
                    tables.append(QStringList());
                    next.table = true;
                } else if ((tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH) && !openTables.empty()) {
                    QStringList& cells = tables[openTables.back()];
                    openCells.push_back({openTables.back(), static_cast<int>(cells.size()), QString()});
                    cells.append(QString());
                    next.cell = true;
                }
                if (tag == GUMBO_TAG_BR) {
                    appendText(openCells, QStringLiteral(" "));
                } else if (!isInline(tag)) {
                    appendText(openCells, QStringLiteral(" "));
                    next.spaced = true;
                }
                stack.push_back(next);
                maxDepth = std::max(maxDepth, static_cast<int>(stack.size()) - 1);
                break;
            }
            default:
                break;
            }
        }
    }

    static void appendText(std::vector<Cell>& cells, const QString& text)
    {
        for (Cell& c : cells) {
            if (c.text.size() < HtmlDocument::MaxCellText)
                c.text.append(text.left(HtmlDocument::MaxCellText - c.text.size()));
        }
    }
};

} // namespace

QString htmlCharset(const QByteArray& bytes, const QString& contentType)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("UTF-8");
    if (bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("UTF-16BE");
    if (bytes.startsWith("\xFF\xFE"))
        return QStringLiteral("UTF-16LE");
    QString name = decoderName(charsetLabel(contentType));
    if (name.isEmpty()) {
        static const QRegularExpression meta(QStringLiteral("<meta[^>]*>"), QRegularExpression::CaseInsensitiveOption);
        const QString head = QString::fromLatin1(bytes.left(4096));
        auto it = meta.globalMatch(head);
        while (name.isEmpty() && it.hasNext())
            name = decoderName(charsetLabel(it.next().captured(0)));
        // A page that reached us as bytes cannot be in a 16-bit form it
        // names in its own text.
        if (name.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive))
            name = QStringLiteral("UTF-8");
    }
    if (!name.isEmpty())
        return name;
    return isUtf8(bytes) ? QStringLiteral("UTF-8") : QStringLiteral("windows-1252");
}

HtmlDocument HtmlDocument::read(const QByteArray& bytes, const QString& contentType)
{
    HtmlDocument doc;
    const QByteArray page = bytes.left(MaxBytes);
    doc.m_charset = htmlCharset(page, contentType);
    const QString text = decode(page, doc.m_charset);
    // The html and body elements come on top of what the model counts.
    constexpr int kDepthBound = MaxDepth + 2;
    using html::Reading;
    for (const Reading reading : {Reading::Faithful, Reading::Strict, Reading::TextOnly}) {
        const QByteArray plain = html::plainPage(text, reading);
        GumboOptions options = kGumboDefaultOptions;
        options.max_errors = 0;
        GumboOutput* output = gumbo_parse_with_options(&options, plain.constData(), static_cast<size_t>(plain.size()));
        if (output == nullptr)
            return doc;
        Collector collector;
        collector.read(output->document);
        gumbo_destroy_output(&options, output);
        if (collector.maxDepth <= kDepthBound || reading == Reading::TextOnly) {
            doc.m_tables = std::move(collector.tables);
            doc.m_depth = collector.maxDepth;
            break;
        }
    }
    return doc;
}

} // namespace tw::platform
