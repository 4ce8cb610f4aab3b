// Builds the shipped strategy library (DEFAULT.STG) from its readable list
// (tools/strategies.txt) with the program's own strategy classes, so the
// file is exactly what the program itself would save.
//
//   tw_make_strategies <list> <output .stg>
//   tw_make_strategies --strategies <count> <list> <output .stg>
//
// With --strategies the list's groups are repeated ("Spreads 2", "Spreads 3"
// ...) with all their strategies, descriptions and legs until the library
// holds exactly <count> strategies: a large library for measuring the
// program with.

#include "ListFile.h"
#include "app/TwError.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"

#include <QHash>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

using namespace tw;
using tw::tools::ListError;

namespace {

// The list is plain ASCII, so the strategies file needs no code page.
QString asciiText(const QString& text, int line)
{
    for (const QChar c : text) {
        if (c.unicode() < 32 || c.unicode() > 126)
            throw ListError{line, QStringLiteral("only plain ASCII text is allowed: \"%1\"").arg(text)};
    }
    return text;
}

QString rtfEscaped(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}'))
            out.append(QLatin1Char('\\'));
        out.append(c);
    }
    return out;
}

// The description of a group or strategy as simple Rich Text: the caption
// in bold, then each paragraph.
QString rtfDescription(const QString& caption, const QStringList& paragraphs)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs18 {\\b ");
    rtf += rtfEscaped(caption) + QStringLiteral("}\\par");
    for (const QString& p : paragraphs)
        rtf += QStringLiteral("\r\n\\par ") + rtfEscaped(p);
    rtf += QStringLiteral("\r\n\\par }");
    return rtf;
}

int16_t expirationClass(const QString& name, int line)
{
    static const QStringList classes = {QStringLiteral("near1"), QStringLiteral("near2"), QStringLiteral("long1"),
                                        QStringLiteral("long2"), QStringLiteral("long3"), QStringLiteral("leaps1"),
                                        QStringLiteral("leaps2")};
    const qsizetype i = classes.indexOf(name);
    if (i < 0)
        throw ListError{line, QStringLiteral("unknown expiration class \"%1\"").arg(name)};
    return static_cast<int16_t>(i + 1);
}

int16_t wholeNumber(const QString& text, int low, int high, const char* what, int line)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        throw ListError{line, QStringLiteral("%1 \"%2\" is not a whole number from %3 to %4")
                                  .arg(QLatin1String(what), text)
                                  .arg(low)
                                  .arg(high)};
    return static_cast<int16_t>(v);
}

void addLeg(ParamsCollection& legs, const QString& entry, int line)
{
    const QStringList w = entry.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.size() < 3)
        throw ListError{line, QStringLiteral("a leg needs a position, a quantity and a kind")};
    int32_t position = 0;
    if (w[0] == QLatin1String("long"))
        position = LegPosition::Long;
    else if (w[0] == QLatin1String("short"))
        position = LegPosition::Short;
    else
        throw ListError{line, QStringLiteral("position \"%1\" is neither long nor short").arg(w[0])};
    const int16_t quantity = wholeNumber(w[1], 1, 32767, "quantity", line);
    if (w[2] == QLatin1String("stock")) {
        if (w.size() != 3)
            throw ListError{line, QStringLiteral("a stock leg has no strike and no expiration")};
        legs.Add(LegKind::Stock, position, 0, 1, quantity);
        return;
    }
    int32_t kind = 0;
    if (w[2] == QLatin1String("call"))
        kind = LegKind::Call;
    else if (w[2] == QLatin1String("put"))
        kind = LegKind::Put;
    else
        throw ListError{line, QStringLiteral("kind \"%1\" is not call, put or stock").arg(w[2])};
    if (w.size() != 5)
        throw ListError{line, QStringLiteral("an option leg needs a strike offset and an expiration class")};
    QString offset = w[3];
    if (offset.startsWith(QLatin1Char('+')))
        offset.remove(0, 1);
    legs.Add(kind, position, wholeNumber(offset, -10, 10, "strike offset", line), expirationClass(w[4], line),
             quantity);
}

StrategyTypeCollection readList(const QString& path)
{
    StrategyTypeCollection types;
    StrategyTypeCollection::ItemPtr group;
    StrategyCollection::ItemPtr strategy;
    QStringList paragraphs;
    const auto finishDescription = [&] {
        if (strategy)
            strategy->setDescription(rtfDescription(strategy->Caption(), paragraphs));
        else if (group)
            group->setDescription(rtfDescription(group->Caption(), paragraphs));
        paragraphs.clear();
    };
    tools::readListFile(path, QStringLiteral("\"group:\", \"strategy:\", \"text:\" or \"leg:\""),
                        [&](int number, const QString& key, const QString& value) {
        if (key == QLatin1String("group")) {
            finishDescription();
            group = types.Add(asciiText(value, number), QString());
            strategy.reset();
        } else if (key == QLatin1String("strategy")) {
            if (!group)
                throw ListError{number, QStringLiteral("a strategy before the first group")};
            finishDescription();
            strategy = group->Strategies()->Add(asciiText(value, number), QString());
        } else if (key == QLatin1String("text")) {
            if (!group)
                throw ListError{number, QStringLiteral("a text before the first group")};
            paragraphs.append(asciiText(value, number));
        } else if (key == QLatin1String("leg")) {
            if (!strategy)
                throw ListError{number, QStringLiteral("a leg outside a strategy")};
            addLeg(*strategy->Params(), value, number);
        } else {
            throw ListError{number, QStringLiteral("unknown entry \"%1:\"").arg(key)};
        }
    });
    finishDescription();
    for (const auto& g : types) {
        for (const auto& s : *g->Strategies()) {
            if (s->Params()->Count() == 0)
                throw ListError{0, QStringLiteral("the strategy \"%1\" has no legs").arg(s->Caption())};
        }
    }
    return types;
}

// The groups of `list` again and again, numbered from the second round on,
// until `count` strategies are held (the last group cut short).
StrategyTypeCollection repeated(const StrategyTypeCollection& list, int count)
{
    StrategyTypeCollection types;
    int held = 0;
    for (int round = 1; held < count; ++round) {
        for (const auto& g : list) {
            if (held == count)
                break;
            const QString caption =
                round == 1 ? g->Caption() : QStringLiteral("%1 %2").arg(g->Caption()).arg(round);
            auto group = types.Add(caption, g->Description());
            for (const auto& s : *g->Strategies()) {
                if (held == count)
                    break;
                auto copy = group->Strategies()->Add(s->Caption(), s->Description());
                copyLegs(*s->Params(), *copy->Params());
                ++held;
            }
        }
    }
    return types;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    if (argc == 5 && std::strcmp(argv[1], "--strategies") == 0) {
        count = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc != 3 || count < 0) {
        std::fprintf(stderr, "usage: tw_make_strategies [--strategies <count>] <strategy list> <output .stg>\n");
        return 2;
    }
    const QString list = QString::fromLocal8Bit(argv[1]);
    return tools::runListTool(list, [&] {
        StrategyTypeCollection types = readList(list);
        if (count > 0) {
            int strategies = 0;
            for (const auto& g : types)
                strategies += g->Strategies()->Count();
            if (strategies == 0)
                throw ListError{0, QStringLiteral("the list has no strategies to repeat")};
            types = repeated(types, count);
        }
        writeStrategiesFile(types, QString::fromLocal8Bit(argv[2]));
    });
}
