#pragma once
// Reads the command line as arguments introduced by a delimiter ("/"): either
// single-word switches (style 1) or name/value pairs split at an assignment
// text (style 2). Parsing is lazy and repeated after every change of the line
// or of its style, delimiter or assignment text. Names compare without regard
// to letter case; the first argument of a name wins.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tw {

class CCommandArgs {
public:
    static constexpr int32_t ErrInvalidStyle = static_cast<int32_t>(0x8004472Du);
    static constexpr int32_t ErrInvalidArgument = static_cast<int32_t>(0x8004472Eu);
    static constexpr int32_t ErrInvalidCharacter = static_cast<int32_t>(0x8004472Fu);
    static constexpr int32_t ErrComponentFailure = static_cast<int32_t>(0x80044730u);

    enum Style : int32_t { Switches = 1, NameValue = 2 };

    // An empty (or blank) command line takes the process's own argument
    // string (see processArgumentString), without one pair of outer quotes.
    void Init(const QString& commandLine, int32_t argumentStyle, const QString& delimiterChar,
              const QString& assignmentChar);

    int32_t ArgumentStyle() const { return m_argumentStyle; }
    void setArgumentStyle(int32_t v);
    const QString& AssignmentChar() const { return m_assignmentChar; }
    void setAssignmentChar(const QString& v);
    const QString& CommandLine() const { return m_commandLine; }
    void setCommandLine(const QString& v);
    const QString& DelimiterChar() const { return m_delimiterChar; }
    void setDelimiterChar(const QString& v);

    int Count();
    QString Name(int index);
    QString Value(int index);
    QString Value(const QString& name);

private:
    void ParseArguments();
    void ensureParsed();
    const QString& argumentAt(int index);

    int32_t m_argumentStyle = Switches;
    QString m_commandLine;
    QString m_delimiterChar = QStringLiteral("/");
    QString m_assignmentChar = QStringLiteral("=");
    QStringList m_arguments; // as split, positions from 1
    QStringList m_keys;      // name key of each argument
    bool m_parsed = false;
};

} // namespace tw
