#pragma once
// The readable lists the data generators work from: one "key: value" entry
// a line; empty lines and lines starting with "#" are ignored.

#include "app/TwError.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <cstdio>

namespace tw::tools {

// A fault in a list, at a line (0: the list as a whole).
struct ListError {
    int line;
    QString text;
};

// Calls `entry(line, key, value)` for every entry of the list at `path`, in
// order. `expected` names the entries in the error for a line that is none.
template <typename Entry>
void readListFile(const QString& path, const QString& expected, Entry&& entry)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ListError{0, QStringLiteral("cannot read the list: %1").arg(file.errorString())};
    static const QRegularExpression pattern(QStringLiteral("^([a-z]+):\\s*(.*)$"));
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto m = pattern.match(line);
        if (!m.hasMatch())
            throw ListError{number, QStringLiteral("expected %1").arg(expected)};
        entry(number, m.captured(1), m.captured(2).trimmed());
    }
}

// The body of a generator's main: runs `work` and reports a fault of the
// list at `path` (as "path:line: text") or of the program's own code on
// stderr. The exit code: 0 when done, 1 on a fault.
template <typename Work>
int runListTool(const QString& path, Work&& work)
{
    try {
        work();
    } catch (const ListError& e) {
        std::fprintf(stderr, "%s:%d: %s\n", qPrintable(path), e.line, qPrintable(e.text));
        return 1;
    } catch (const TwError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}

} // namespace tw::tools
