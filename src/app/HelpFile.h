#pragma once
// The program's help: HTML pages shipped in the "help" folder beside the
// executable, shown in the program's own help window (frmHelp) with their
// contents and index.

#include <QString>
#include <QUrl>

namespace tw {

// What to show of a help page (the classic help viewer's command numbers).
namespace HelpCommand {
constexpr int DisplayTopic = 0; // the page itself
constexpr int Contents = 1;     // the page, at its table of contents
constexpr int Index = 2;        // the page's index (the anchor "index")
} // namespace HelpCommand

// The help pages of the program.
namespace HelpTopic {
inline const char* const Contents = "t01.htm";           // contents and index
inline const char* const FormattedText = "t020207.htm";  // formatted strategy descriptions
inline const char* const ChartWindow = "t06.htm";        // the 2-D chart window
} // namespace HelpTopic

// The folder of the help pages: "help" in the program folder.
QString helpFolder();

// The file URL of a help page for a command (Index adds the fragment
// "index"); an empty URL when the page does not exist.
QUrl helpTopicUrl(const QString& topic, int command);

// Shows a help page in the help window. A missing page, or one that cannot
// be shown, is told to the user in a message box; the result is true when
// the page is shown.
bool ShowHelpTopic(const QString& topic, int command = HelpCommand::Contents);

} // namespace tw
