#include "app/CCommandArgs.h"

#include "app/Tools.h"
#include "app/TwError.h"

namespace tw {

namespace {
QString source() { return serviceSource(QStringLiteral("CCommandArgs")); }

[[noreturn]] void raise(int32_t number, const char* text)
{
    throw TwError(number, source(), QString::fromLatin1(text));
}

QString trimBlanks(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}
} // namespace

void CCommandArgs::Init(const QString& commandLine, int32_t argumentStyle, const QString& delimiterChar,
                        const QString& assignmentChar)
{
    m_parsed = false;
    if (trimBlanks(commandLine).isEmpty()) {
        QString line = trimBlanks(processArgumentString());
        if (line.startsWith(QLatin1Char('"')))
            line.remove(0, 1);
        if (line.endsWith(QLatin1Char('"')))
            line.chop(1);
        m_commandLine = line;
    } else {
        m_commandLine = commandLine;
    }
    if (argumentStyle != Switches && argumentStyle != NameValue)
        raise(ErrInvalidStyle, "Invalid argument style");
    m_argumentStyle = argumentStyle;
    if (delimiterChar.isEmpty() || assignmentChar.isEmpty())
        raise(ErrInvalidCharacter, "Invalid character");
    m_delimiterChar = delimiterChar;
    m_assignmentChar = assignmentChar;
}

void CCommandArgs::setArgumentStyle(int32_t v)
{
    m_parsed = false;
    if (v != Switches && v != NameValue)
        raise(ErrInvalidStyle, "Invalid argument style");
    m_argumentStyle = v;
}

void CCommandArgs::setAssignmentChar(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidCharacter, "Invalid character");
    m_assignmentChar = v;
    m_parsed = false;
}

void CCommandArgs::setCommandLine(const QString& v)
{
    m_commandLine = v;
    m_parsed = false;
}

void CCommandArgs::setDelimiterChar(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidCharacter, "Invalid character");
    m_delimiterChar = v;
    m_parsed = false;
}

void CCommandArgs::ParseArguments()
{
    m_arguments.clear();
    m_keys.clear();
    if (!trimBlanks(m_commandLine).isEmpty()) {
        const QStringList pieces = m_commandLine.split(m_delimiterChar, Qt::KeepEmptyParts, Qt::CaseSensitive);
        for (const QString& piece : pieces) {
            if (trimBlanks(piece).isEmpty())
                continue;
            const qsizetype at = piece.indexOf(m_assignmentChar, 0, Qt::CaseSensitive);
            const QString key = at < 0 ? piece : piece.left(at);
            // An argument without a name cannot be asked for by name; it is
            // still counted and reachable by position.
            bool duplicate = false;
            for (const QString& k : std::as_const(m_keys)) {
                if (k.compare(key, Qt::CaseInsensitive) == 0) {
                    duplicate = true;
                    break;
                }
            }
            if (duplicate)
                continue;
            m_arguments.append(piece);
            m_keys.append(key);
        }
    }
    m_parsed = true;
}

void CCommandArgs::ensureParsed()
{
    if (m_parsed)
        return;
    try {
        ParseArguments();
    } catch (...) {
        raise(ErrComponentFailure, "CCommandArgs component failure");
    }
}

int CCommandArgs::Count()
{
    ensureParsed();
    return static_cast<int>(m_arguments.size());
}

const QString& CCommandArgs::argumentAt(int index)
{
    ensureParsed();
    if (index < 1 || index > m_arguments.size())
        raise(ErrInvalidArgument, "Invalid argument");
    return m_arguments.at(index - 1);
}

QString CCommandArgs::Name(int index)
{
    const QString& arg = argumentAt(index);
    if (m_argumentStyle == Switches)
        return arg;
    const qsizetype at = arg.indexOf(m_assignmentChar, 0, Qt::CaseSensitive);
    return at < 0 ? arg : arg.left(at);
}

QString CCommandArgs::Value(int index)
{
    const QString& arg = argumentAt(index);
    if (m_argumentStyle == Switches)
        return arg;
    const qsizetype at = arg.indexOf(m_assignmentChar, 0, Qt::CaseSensitive);
    if (at < 0)
        return arg;
    const QString value = trimBlanks(arg.mid(at + m_assignmentChar.size()));
    return value.isEmpty() ? arg : value;
}

QString CCommandArgs::Value(const QString& name)
{
    ensureParsed();
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        if (m_keys.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return Value(static_cast<int>(i + 1));
    }
    raise(ErrComponentFailure, "CCommandArgs component failure");
}

} // namespace tw
