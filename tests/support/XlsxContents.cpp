#include "support/XlsxContents.h"

#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>
#include <vector>

namespace tw::test {

namespace {

QByteArray unzipped(const QString& path, const QString& entry, QString& error)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, entry});
    if (!unzip.waitForFinished(10000) || unzip.exitCode() != 0) {
        error = QStringLiteral("unzip %1 %2 failed: %3").arg(path, entry, QString::fromLocal8Bit(unzip.readAllStandardError()));
        return {};
    }
    return unzip.readAllStandardOutput();
}

QString attr(const QXmlStreamReader& x, const char* name)
{
    return x.attributes().value(QLatin1String(name)).toString();
}

// A part that is no well-formed XML makes the whole workbook unreadable to a
// spreadsheet program.
void checkXml(const QByteArray& xml, const char* part, QString& error)
{
    QXmlStreamReader x(xml);
    while (!x.atEnd())
        x.readNext();
    if (x.hasError() && error.isEmpty())
        error = QStringLiteral("%1 is no well-formed XML: %2").arg(QLatin1String(part), x.errorString());
}

} // namespace

XlsxContents readXlsx(const QString& path)
{
    XlsxContents out;
    const QByteArray sheet = unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml"), out.error);
    const QByteArray strings = unzipped(path, QStringLiteral("xl/sharedStrings.xml"), out.error);
    const QByteArray styles = unzipped(path, QStringLiteral("xl/styles.xml"), out.error);
    checkXml(sheet, "the sheet", out.error);
    checkXml(strings, "the shared strings", out.error);
    checkXml(styles, "the styles", out.error);
    if (!out.error.isEmpty())
        return out;

    QStringList shared;
    for (QXmlStreamReader x(strings); !x.atEnd();) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("si"))
            shared.append(QString());
        else if (x.isStartElement() && x.name() == QLatin1String("t") && !shared.isEmpty())
            shared.last() += x.readElementText();
    }

    struct Font {
        bool bold = false;
        QString rgb;
    };
    struct Fill {
        QString pattern, rgb;
    };
    QList<Font> fonts;
    QList<Fill> fills;
    QList<XlsxStyle> xfs;
    QString section;
    for (QXmlStreamReader x(styles); !x.atEnd();) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        const auto n = x.name();
        if (n == QLatin1String("fonts") || n == QLatin1String("fills") || n == QLatin1String("cellXfs")
            || n == QLatin1String("cellStyleXfs") || n == QLatin1String("borders"))
            section = n.toString();
        else if (section == QLatin1String("fonts") && n == QLatin1String("font"))
            fonts.append(Font{});
        else if (section == QLatin1String("fonts") && n == QLatin1String("b"))
            fonts.last().bold = true;
        else if (section == QLatin1String("fonts") && n == QLatin1String("color"))
            fonts.last().rgb = attr(x, "rgb");
        else if (section == QLatin1String("fills") && n == QLatin1String("patternFill"))
            fills.append(Fill{attr(x, "patternType"), QString()});
        else if (section == QLatin1String("fills") && n == QLatin1String("fgColor"))
            fills.last().rgb = attr(x, "rgb");
        else if (section == QLatin1String("cellXfs") && n == QLatin1String("xf")) {
            XlsxStyle s;
            const Font f = fonts.value(attr(x, "fontId").toInt());
            const Fill fill = fills.value(attr(x, "fillId").toInt());
            s.bold = f.bold;
            s.fontRgb = f.rgb;
            s.fillPattern = fill.pattern;
            s.fillRgb = fill.rgb;
            xfs.append(s);
        } else if (section == QLatin1String("cellXfs") && n == QLatin1String("alignment"))
            xfs.last().horizontal = attr(x, "horizontal");
    }

    for (QXmlStreamReader x(sheet); !x.atEnd();) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("col")) {
            for (int c = attr(x, "min").toInt(); c <= attr(x, "max").toInt(); ++c)
                out.widths[c] = attr(x, "width").toDouble();
        } else if (x.name() == QLatin1String("mergeCell")) {
            out.merges.append(attr(x, "ref"));
        } else if (x.name() == QLatin1String("c")) {
            const QString ref = attr(x, "r");
            const bool sharedString = attr(x, "t") == QLatin1String("s");
            XlsxCell cell;
            cell.style = xfs.value(attr(x, "s").toInt());
            while (!(x.isEndElement() && x.name() == QLatin1String("c")) && !x.atEnd()) {
                x.readNext();
                if (x.isStartElement() && (x.name() == QLatin1String("v") || x.name() == QLatin1String("t"))) {
                    const QString v = x.readElementText();
                    cell.text = sharedString ? shared.value(v.toInt()) : v;
                }
            }
            out.cells.insert(ref, cell);
        }
    }
    return out;
}

qint64 xlsxRoomTaken(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray zip = file.readAll();
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    // The end record (no comment), then the central directory: per part its
    // unpacked size and where its record in the package begins.
    const qsizetype end = zip.size() - 22;
    if (end < 0 || u32(end) != 0x06054b50)
        return -1;
    const int count = u16(end + 10);
    const qint64 directory = u32(end + 16);
    std::vector<std::pair<qint64, qint64>> parts; // start, unpacked size
    for (qsizetype at = directory; parts.size() < static_cast<size_t>(count); ) {
        if (at + 46 > end || u32(at) != 0x02014b50)
            return -1;
        parts.emplace_back(u32(at + 42), u32(at + 24));
        at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32);
    }
    std::sort(parts.begin(), parts.end());
    qint64 most = zip.size();
    for (size_t i = 0; i < parts.size(); ++i) {
        const qint64 packedTo = i + 1 < parts.size() ? parts[i + 1].first : directory;
        most = std::max(most, packedTo + parts[i].second);
    }
    return most;
}

} // namespace tw::test
