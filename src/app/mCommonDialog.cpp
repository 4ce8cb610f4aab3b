#include "app/mCommonDialog.h"

#include "app/Procedure.h"

#include <QFileInfo>

namespace tw {

namespace {

constexpr QChar Nul(u'\0');

int g_lastResult = 0;
uint32_t g_lastExtendedError = 0;

} // namespace

namespace filedialog {

int lastDialogResult()
{
    return g_lastResult;
}

uint32_t lastExtendedError()
{
    return g_lastExtendedError;
}

int32_t requestFlags(bool fileMustExist, bool multiSelect, bool readOnly, bool hideReadOnly, int32_t flags)
{
    int32_t result = flags & ~(Ofn::EnableHook | Ofn::EnableTemplate);
    if (fileMustExist)
        result |= Ofn::FileMustExist;
    if (multiSelect)
        result |= Ofn::AllowMultiSelect;
    if (readOnly)
        result |= Ofn::ReadOnly;
    if (hideReadOnly)
        result |= Ofn::HideReadOnly;
    return result;
}

QString convertFilter(const QString& filter)
{
    QString converted;
    converted.reserve(filter.size() + 2);
    for (const QChar c : filter)
        converted.append(c == u'|' || c == u':' ? Nul : c);
    converted.append(Nul);
    converted.append(Nul);
    return converted;
}

QList<FilterEntry> filterEntries(const QString& converted)
{
    QList<FilterEntry> entries;
    qsizetype pos = 0;
    while (pos < converted.size() && converted.at(pos) != Nul) {
        const qsizetype descEnd = converted.indexOf(Nul, pos);
        if (descEnd < 0)
            break; // a description without its pattern
        qsizetype patternEnd = converted.indexOf(Nul, descEnd + 1);
        if (patternEnd < 0)
            patternEnd = converted.size();
        entries.append({converted.mid(pos, descEnd - pos), converted.mid(descEnd + 1, patternEnd - descEnd - 1)});
        pos = patternEnd + 1;
    }
    return entries;
}

QString qtPatterns(const QString& pattern)
{
    QStringList out;
    for (const QString& part : pattern.split(u';')) {
        const QString p = part.trimmed();
        if (p.isEmpty())
            continue;
        // Every file matches "*.*", also one without a point in its name.
        const QString q = (p == QLatin1String("*.*")) ? QStringLiteral("*") : p;
        // Qt separates patterns by blanks; a blank inside one cannot be kept.
        for (const QString& word : q.split(u' ', Qt::SkipEmptyParts)) {
            if (!out.contains(word))
                out.append(word);
        }
    }
    if (out.isEmpty())
        out.append(QStringLiteral("*"));
    return out.join(u' ');
}

QStringList qtNameFilters(const QString& converted)
{
    QStringList filters;
    for (const FilterEntry& e : filterEntries(converted)) {
        QString description = e.description.simplified();
        if (description.isEmpty())
            description = e.pattern.trimmed();
        filters.append(QStringLiteral("%1 (%2)").arg(description, qtPatterns(e.pattern)));
    }
    return filters;
}

QString defaultSuffix(const QString& defaultExt)
{
    QString s = defaultExt.trimmed();
    while (s.startsWith(u'*') || s.startsWith(u'.'))
        s.remove(0, 1);
    // A suffix that still holds wildcards or folders names no extension.
    if (s.contains(u'*') || s.contains(u'?') || s.contains(u'/'))
        return QString();
    return s;
}

FileDialogRequest makeRequest(const QString& fileName, int32_t flags, const QString& convertedFilter,
                              int32_t filterIndex, const QString& initDir, const QString& title,
                              const QString& defaultExt, int64_t owner)
{
    FileDialogRequest r;
    r.title = title;
    r.initialDir = initDir;
    r.initialFile = StrZToStr(fileName);
    r.nameFilters = qtNameFilters(convertedFilter);
    // An index outside the list selects the first entry, as the dialog does.
    r.selectedFilter = (filterIndex >= 1 && filterIndex <= r.nameFilters.size()) ? filterIndex - 1 : 0;
    r.defaultSuffix = defaultSuffix(defaultExt);
    r.fileMustExist = (flags & Ofn::FileMustExist) != 0;
    r.multiSelect = (flags & Ofn::AllowMultiSelect) != 0;
    r.readOnly = (flags & Ofn::ReadOnly) != 0;
    r.hideReadOnly = (flags & Ofn::HideReadOnly) != 0;
    r.owner = owner;
    return r;
}

} // namespace filedialog

QString StrZToStr(const QString& Text)
{
    Procedure proc("mCommonDialog", "StrZToStr");
    QString result;
    TW_STEP_OR(proc, QString(), {
        const qsizetype end = Text.indexOf(Nul);
        result = end < 0 ? Text : Text.left(end);
    });
    return result;
}

QString FilterLookup(const QString& Filters, int32_t Index)
{
    Procedure proc("mCommonDialog", "FilterLookup");
    QString result;
    TW_STEP_OR(proc, QString(), {
        if (Filters.isEmpty())
            return;
        qsizetype pos = 0;
        for (;;) {
            const qsizetype descEnd = Filters.indexOf(Nul, pos);
            if (descEnd < 0)
                return;
            qsizetype patternEnd = Filters.indexOf(Nul, descEnd + 1);
            if (patternEnd < 0)
                patternEnd = Filters.size();
            if (Index == 1) {
                result = Filters.mid(pos, patternEnd - pos);
                return;
            }
            --Index;
            pos = patternEnd + 1;
        }
    });
    return result;
}

bool VBGetOpenFileName(QString& FileName, QString& FileTitle, bool FileMustExist, bool MultiSelect, bool& ReadOnly,
                       bool HideReadOnly, QString& Filter, int32_t& FilterIndex, const QString& InitDir,
                       const QString& DlgTitle, const QString& DefaultExt, int64_t Owner, int32_t& Flags,
                       bool SaveDialog)
{
    using namespace filedialog;
    Procedure proc("mCommonDialog", "VBGetOpenFileName");
    int32_t flags = 0;
    QString converted;
    FileDialogRequest request;
    FileDialogAnswer answer;

    TW_STEP_OR(proc, false, g_lastResult = 0; g_lastExtendedError = 0);
    TW_STEP_OR(proc, false, flags = requestFlags(FileMustExist, MultiSelect, ReadOnly, HideReadOnly, Flags));
    TW_STEP_OR(proc, false, converted = convertFilter(Filter));
    TW_STEP_OR(proc, false,
               request = makeRequest(FileName, flags, converted, FilterIndex, InitDir, DlgTitle, DefaultExt, Owner));
    TW_STEP_OR(proc, false,
               answer = SaveDialog ? dialogs().getSaveFileName(request) : dialogs().getOpenFileName(request));
    TW_STEP_OR(proc, false, g_lastResult = answer.result);

    if (answer.result == FileDialogAnswer::Chosen && !answer.files.isEmpty()) {
        const int32_t returned = answer.readOnly ? (flags | Ofn::ReadOnly) : (flags & ~Ofn::ReadOnly);
        TW_STEP_OR(proc, false, {
            if ((returned & Ofn::AllowMultiSelect) == 0) {
                FileName = answer.files.first();
                FileTitle = QFileInfo(FileName).fileName();
            } else {
                FileTitle.clear();
                if (answer.files.size() == 1) {
                    FileName = answer.files.first();
                } else {
                    // The folder, then the chosen names, separated by NULs.
                    QStringList parts{QFileInfo(answer.files.first()).absolutePath()};
                    for (const QString& f : std::as_const(answer.files))
                        parts.append(QFileInfo(f).fileName());
                    FileName = parts.join(Nul);
                }
            }
        });
        TW_STEP_OR(proc, false, Flags = returned);
        TW_STEP_OR(proc, false, FilterIndex = answer.selectedFilter + 1);
        TW_STEP_OR(proc, false, Filter = FilterLookup(converted, FilterIndex));
        TW_STEP_OR(proc, false, if (returned & Ofn::ReadOnly) ReadOnly = true);
        return true;
    }

    if (answer.result != FileDialogAnswer::Cancelled && answer.result != FileDialogAnswer::Chosen)
        TW_STEP_OR(proc, false, g_lastExtendedError = answer.extendedError);
    TW_STEP_OR(proc, false, FileName.clear(); FileTitle.clear(); Flags = 0; FilterIndex = -1; Filter.clear());
    return false;
}

} // namespace tw
