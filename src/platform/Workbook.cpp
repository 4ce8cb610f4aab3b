#include "platform/Workbook.h"

#include "platform/FileWrite.h"
#include "platform/WorkbookTemporary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace tw::platform {

namespace {

// The spreadsheet's standard palette, indexes 1..56.
constexpr uint32_t kPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

uint8_t alignmentOf(int code)
{
    switch (code) {
    case XlAlign::Left:
        return LXW_ALIGN_LEFT;
    case XlAlign::Center:
        return LXW_ALIGN_CENTER;
    case XlAlign::Right:
        return LXW_ALIGN_RIGHT;
    default:
        return LXW_ALIGN_NONE;
    }
}

// The width, in digit widths of the default font, that shows a text whole:
// capitals are wider than a digit, bold wider than regular, and the cell
// keeps a margin.
double fittingWidth(const QString& text, bool bold)
{
    double chars = 0;
    for (const QChar ch : text)
        chars += ch.isUpper() ? 1.3 : 1.0;
    return std::ceil((chars * (bold ? 1.1 : 1.0) + 1.5) * 100.0) / 100.0;
}

bool isDefault(const CellFormat& f)
{
    return f == CellFormat{};
}

// The text as the sheet's XML can hold it: characters XML forbids are left
// out (a workbook holding one opens in no spreadsheet program).
QByteArray sheetText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        const char16_t u = c.unicode();
        const bool control = u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r';
        if (control || c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        out += c;
    }
    return out.toUtf8();
}

// Whether the writer's error comes from a file it made, wrote or read (the
// system's error number then tells why).
bool writerFileError(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return true;
    default:
        return false;
    }
}

} // namespace

int64_t paletteColor(int index)
{
    if (index < 1 || index > 56)
        return -1;
    return kPalette[index - 1];
}

int fileNameLimit(const QString& folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < 4096 ? static_cast<int>(limit) : 255;
}

void Workbook::setValue(int row, int col, const QString& text)
{
    Cell& c = m_cells[{row, col}];
    c.text = text;
    c.hasValue = true;
}

QString Workbook::value(int row, int col) const
{
    const auto it = m_cells.find({row, col});
    return it == m_cells.end() ? QString() : it->second.text;
}

CellFormat Workbook::format(int row, int col) const
{
    const auto it = m_cells.find({row, col});
    return it == m_cells.end() ? CellFormat{} : it->second.format;
}

template <typename F>
void Workbook::forEach(const CellRange& range, F change)
{
    for (int r = range.row; r < range.row + range.rows; ++r)
        for (int c = range.col; c < range.col + range.cols; ++c)
            change(m_cells[{r, c}].format);
}

void Workbook::setBold(const CellRange& range, bool bold)
{
    forEach(range, [bold](CellFormat& f) { f.bold = bold; });
}

void Workbook::setFontColorIndex(const CellRange& range, int index)
{
    forEach(range, [index](CellFormat& f) { f.fontColorIndex = index; });
}

void Workbook::setInteriorColorIndex(const CellRange& range, int index)
{
    forEach(range, [index](CellFormat& f) { f.fillColorIndex = index; });
}

void Workbook::setInteriorPattern(const CellRange& range, int pattern)
{
    forEach(range, [pattern](CellFormat& f) { f.pattern = pattern; });
}

void Workbook::setHorizontalAlignment(const CellRange& range, int alignment)
{
    forEach(range, [alignment](CellFormat& f) { f.horizontalAlignment = alignment; });
}

void Workbook::merge(const CellRange& range)
{
    if (range.rows * range.cols <= 1)
        return;
    m_merges.push_back(range);
}

bool Workbook::inMerge(int row, int col) const
{
    return std::any_of(m_merges.begin(), m_merges.end(), [row, col](const CellRange& m) {
        return row >= m.row && row < m.row + m.rows && col >= m.col && col < m.col + m.cols;
    });
}

void Workbook::autoFitColumns(const CellRange& range)
{
    for (int c = range.col; c < range.col + range.cols; ++c) {
        double width = 0;
        for (int r = range.row; r < range.row + range.rows; ++r) {
            const auto it = m_cells.find({r, c});
            if (it == m_cells.end() || it->second.text.isEmpty() || inMerge(r, c))
                continue;
            width = std::max(width, fittingWidth(it->second.text, it->second.format.bold));
        }
        if (width > 0)
            m_widths[c] = width;
    }
}

namespace {

int digits(qint64 n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// The length of a cell's name ("A1", "XFD1048576").
int cellNameLength(int row, int col)
{
    int letters = 1;
    for (int c = col; c > 26; c = (c - 1) / 26)
        ++letters;
    return letters + digits(row);
}

// The most bytes a text takes in the shared strings: a character the writer
// writes as an entity or a code ("&amp;", "_x000D_") counts as it is
// written, an underscore as though it began a code.
qint64 escapedLength(const QByteArray& utf8)
{
    qint64 n = utf8.size();
    for (const char c : utf8) {
        if (c == '&')
            n += 4;
        else if (c == '<' || c == '>')
            n += 3;
        else if (c == '\r' || c == '_')
            n += 6;
    }
    return n;
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

qint64 Workbook::roomNeeded() const
{
    // The writer writes each part of the workbook unpacked into a file of
    // its own in the folder, packs it into the workbook and removes it
    // before it writes the next: at its fullest the folder holds the parts
    // packed so far and the one being packed. Packing makes no part more
    // than a little larger, so the parts' unpacked sizes and the package's
    // own records bound the room; the parts' sizes follow from what the
    // sheet holds, every element counted at its longest.
    //
    // The parts every workbook has (theme, relations, properties, the
    // frames of the sheet, the styles and the shared strings: 12.6 KiB with
    // one cell), with room for their counts to grow, and the package's
    // records of its ten parts (1.1 KiB).
    constexpr qint64 kFixedParts = 12928;
    constexpr qint64 kPackage = 1280;
    // A cell: `<c r="" s="" t="s"><v></v></c>` and its name, look number and
    // string number; a row: `<row r="" spans=":"></row>` and its number and
    // columns; a merge: `<mergeCell ref=":"/>` and its corners (and once the
    // list around them); a column width: `<col min="" max="" width=""
    // customWidth="1"/>` and its numbers; a look other than the default: its
    // font, its fill and its cell format; a text: `<si><t></t></si>` (and
    // ` xml:space="preserve"` when it begins or ends in a space).
    constexpr qint64 kCell = 30;
    constexpr qint64 kRow = 25 + 2 * 5;
    constexpr qint64 kMerge = 20;
    constexpr qint64 kMerges = 48;
    constexpr qint64 kColumn = 80;
    constexpr qint64 kLook = 416;
    constexpr qint64 kText = 16;
    constexpr qint64 kKeepSpaces = 21;

    std::set<QByteArray> texts;
    std::set<CellFormat> looks;
    std::set<int> rows;
    qint64 cellsAndTexts = 0;
    qint64 cellCount = 0;
    const auto countCell = [&](int row, int col) {
        cellsAndTexts += kCell + cellNameLength(row, col);
        ++cellCount;
        rows.insert(row);
    };
    for (const auto& [key, cell] : m_cells) {
        countCell(key.first, key.second);
        if (!isDefault(cell.format))
            looks.insert(cell.format);
        if (cell.hasValue && !cell.text.isEmpty())
            texts.insert(sheetText(cell.text));
    }
    // A merged range is written as its first cell and a blank cell of its
    // look for each other.
    qint64 merges = m_merges.empty() ? 0 : kMerges;
    for (const CellRange& m : m_merges) {
        merges += kMerge + cellNameLength(m.row, m.col) + cellNameLength(m.row + m.rows - 1, m.col + m.cols - 1);
        for (int r = m.row; r < m.row + m.rows; ++r)
            for (int c = m.col; c < m.col + m.cols; ++c)
                countCell(r, c);
    }
    // Every cell is counted with the longest look and string numbers.
    cellsAndTexts += cellCount * (digits(static_cast<qint64>(looks.size())) + digits(static_cast<qint64>(texts.size())));
    for (const QByteArray& t : texts)
        cellsAndTexts += kText + escapedLength(t) + (isXmlSpace(t.front()) || isXmlSpace(t.back()) ? kKeepSpaces : 0);
    qint64 rowsAndColumns = 0;
    for (const int r : rows)
        rowsAndColumns += kRow + digits(r);
    for (const auto& [col, width] : m_widths)
        rowsAndColumns += kColumn + 2 * digits(col);
    const qint64 parts = kFixedParts + cellsAndTexts + merges + rowsAndColumns
        + kLook * static_cast<qint64>(looks.size());
    // Packing adds at most 5 bytes for every 16 KiB it cannot make smaller.
    return parts + parts / 2048 + kPackage;
}

double Workbook::columnWidth(int col) const
{
    const auto it = m_widths.find(col);
    return it == m_widths.end() ? 0.0 : it->second;
}

bool Workbook::save(const QString& path, QString* error) const
{
    const auto fail = [error](const QString& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QString where = QDir::toNativeSeparators(folder.path());
    if (!folder.exists())
        return fail(QStringLiteral("The folder %1 does not exist.").arg(where));
    const qsizetype nameBytes = QFile::encodeName(target.fileName()).size();
    if (const int limit = fileNameLimit(folder.path()); nameBytes > limit)
        return fail(QStringLiteral("The file name %1 is too long: it takes %2 bytes, the folder %3 takes names of "
                                   "at most %4 bytes.")
                        .arg(target.fileName())
                        .arg(nameBytes)
                        .arg(where)
                        .arg(limit));

    // The temporary file is made (and so the folder proved writable) here;
    // the workbook writer then writes over it. Its name is short whatever
    // the workbook's.
    QString tempWhy;
    const std::unique_ptr<QTemporaryFile> temp = newHeldWorkbookTemporary(folder.path(), &tempWhy);
    if (temp == nullptr)
        return fail(QStringLiteral("No file can be made in the folder %1: %2").arg(where, tempWhy));
    const QString tempPath = temp->fileName();
    const auto cannotWrite = [&](int systemError) {
        QFile::remove(tempPath);
        return fail(QStringLiteral("%1 could not be written: %2.")
                        .arg(QDir::toNativeSeparators(path), writeFailureText(systemError)));
    };
    // The workbook writer packs each part of the workbook from a temporary
    // file of its own in this folder, and packs a part that did not fit there
    // cut short without a word: so the room for all of it is made sure of
    // first.
    if (const int error = reserveRoom(tempPath, roomNeeded()); error != 0)
        return cannotWrite(error);

    QByteArray tmpdir = QFile::encodeName(folder.absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = tmpdir.data();
    options.use_zip64 = LXW_FALSE;
    const QByteArray tempName = QFile::encodeName(tempPath);
    lxw_workbook* book = workbook_new_opt(tempName.constData(), &options);
    if (book == nullptr)
        return fail(QStringLiteral("The workbook could not be started (out of memory)."));
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);

    std::map<CellFormat, lxw_format*> formats;
    const auto formatOf = [&](const CellFormat& f) -> lxw_format* {
        if (isDefault(f))
            return nullptr;
        auto it = formats.find(f);
        if (it != formats.end())
            return it->second;
        lxw_format* x = workbook_add_format(book);
        if (f.bold)
            format_set_bold(x);
        if (const int64_t rgb = paletteColor(f.fontColorIndex); rgb >= 0)
            format_set_font_color(x, static_cast<lxw_color_t>(rgb));
        // A fill colour without a pattern fills solid too, as the
        // spreadsheet does when only the colour is set.
        const int64_t fill = paletteColor(f.fillColorIndex);
        if (f.pattern == XlPattern::Solid || fill >= 0) {
            format_set_pattern(x, LXW_PATTERN_SOLID);
            if (fill >= 0)
                format_set_bg_color(x, static_cast<lxw_color_t>(fill));
        }
        if (const uint8_t a = alignmentOf(f.horizontalAlignment); a != LXW_ALIGN_NONE)
            format_set_align(x, a);
        formats.emplace(f, x);
        return x;
    };

    lxw_error status = LXW_NO_ERROR;
    const auto keep = [&status](lxw_error e) {
        if (status == LXW_NO_ERROR && e != LXW_NO_ERROR)
            status = e;
    };
    for (const auto& [col, width] : m_widths)
        keep(worksheet_set_column(sheet, static_cast<lxw_col_t>(col - 1), static_cast<lxw_col_t>(col - 1), width,
                                  nullptr));
    for (const auto& [key, cell] : m_cells) {
        const auto [row, col] = key;
        if (inMerge(row, col))
            continue;
        lxw_format* f = formatOf(cell.format);
        const auto r = static_cast<lxw_row_t>(row - 1);
        const auto c = static_cast<lxw_col_t>(col - 1);
        if (cell.hasValue && !cell.text.isEmpty())
            keep(worksheet_write_string(sheet, r, c, sheetText(cell.text).constData(), f));
        else if (f != nullptr)
            keep(worksheet_write_blank(sheet, r, c, f));
    }
    for (const CellRange& m : m_merges) {
        const QByteArray text = sheetText(value(m.row, m.col));
        keep(worksheet_merge_range(sheet, static_cast<lxw_row_t>(m.row - 1), static_cast<lxw_col_t>(m.col - 1),
                                   static_cast<lxw_row_t>(m.row + m.rows - 2),
                                   static_cast<lxw_col_t>(m.col + m.cols - 2), text.constData(),
                                   formatOf(format(m.row, m.col))));
    }
    errno = 0;
    const lxw_error closed = workbook_close(book);
    const int closeErrno = errno;
    keep(closed);
    if (status != LXW_NO_ERROR) {
        // The writer's own text for a file it could not make or write names
        // a code ("Zip generic error ZIP_ERRNO"); the system's reason says
        // what happened.
        if (closed != LXW_NO_ERROR && closeErrno != 0 && writerFileError(closed))
            return cannotWrite(closeErrno);
        QFile::remove(tempPath);
        return fail(QStringLiteral("%1 could not be written: %2")
                        .arg(QDir::toNativeSeparators(path), QString::fromUtf8(lxw_strerror(status))));
    }
    // The temporary file was made private; the workbook gets the permissions
    // of any new file of the user's.
    ::chmod(tempName.constData(), newFileMode());
    if (const int error = syncFile(tempPath); error != 0)
        return cannotWrite(error);
    if (std::rename(tempName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return cannotWrite(errno);
    return true;
}

} // namespace tw::platform
