#pragma once
// Reads a written workbook back for tests: the first sheet's cells with
// their texts and looks, its merged ranges and column widths. The package is
// unpacked with the `unzip` program.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace tw::test {

struct XlsxStyle {
    bool bold = false;
    QString fontRgb;    // "FFFF0000", empty for the theme's colour
    QString fillRgb;    // the solid fill's colour, empty for none
    QString fillPattern; // "solid", "none", ...
    QString horizontal; // "center", "right", empty for general
};

struct XlsxCell {
    QString text;
    XlsxStyle style;
};

struct XlsxContents {
    QString error;                  // empty when the workbook was read
    QMap<QString, XlsxCell> cells;  // by reference ("A1"); only cells written
    QStringList merges;             // "A4:G4"
    QMap<int, double> widths;       // by column number from 1
};

XlsxContents readXlsx(const QString& path);

// The most room (bytes) writing the workbook at `path` took at once: the
// package up to the end of a part plus that part unpacked (the writer packs
// each part from an unpacked copy it then removes). -1 when unreadable.
qint64 xlsxRoomTaken(const QString& path);

} // namespace tw::test
