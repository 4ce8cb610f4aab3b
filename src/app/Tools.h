#pragma once
// Program-wide services and the helpers of the start-up module.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace tw {

class CErrorHandler;
class CAppSettings;
class CCommandArgs;

// The three program-wide service objects, created by Main in this order and
// alive until the process ends.
extern std::unique_ptr<CErrorHandler> gErrorHandler;
extern std::unique_ptr<CCommandArgs> gCommandArgs;
extern std::unique_ptr<CAppSettings> gAppSettings;

// Access to the services. Code that runs without Main (tests, tools) gets
// default objects created on first use: an error handler that reports to the
// installed dialogs, settings for company "Myrtova" and application "Tarnwell".
CErrorHandler& errorHandler();
CAppSettings& appSettings();
CCommandArgs& commandArgs();

// The process's argument string: the arguments after the program's own path
// as one text, each argument holding a blank, a tab or a quote written in
// double quotes. main() records the arguments before anything reads them.
void setProcessArguments(const QStringList& argumentsAfterProgram);
QString processArgumentString();

// Splits the process's argument string at blanks and tabs outside double
// quotes, removing the quotes. Element 0 is always empty and the arguments are
// elements 1..n; at most `maxArguments` are taken. No arguments give an empty
// list.
QStringList SplitCommandLine(int maxArguments = 10);
// The same over a given text.
QStringList SplitCommandLine(const QString& argumentString, int maxArguments);

// Registers the extended combo-box class with the platform's common controls;
// Qt needs no registration, so this only reports success.
bool InitCommonControlsVB();

// The folder of the executable (its data files lie beside it).
QString programFolder();
// A shipped data file by its bare name: next to the program, or in the
// installed data folder; the program folder's path when it is in neither.
QString locateShippedFile(const QString& bareName);
// The program's folder in the user's state folder: $XDG_STATE_HOME/tarnwell
// ($XDG_STATE_HOME when it is an absolute path, else ~/.local/state); not made.
QString userStateFolder();
// Where the trace file and the error log go: the program folder when it can be
// written, else userStateFolder() (made when missing).
QString logFolder();
// The names of the error log and the trace file in that folder.
inline constexpr const char* ErrorLogFileName = "Error Log.txt";
inline constexpr const char* TraceFileName = "Tarnwell.trace.txt";

// The support address of the error reports.
QString supportMailAddress();

// Opens a web address in the desktop's browser. Failures (an address that is
// not a valid URL, no browser) are silent: nothing is reported.
void OpenURL(const QString& URL);

// Shows a message that the user can switch off for good: a beep (always),
// then, unless the message `id` was switched off, the switchable message
// window. The choice is kept in section "Settings", key "ShowErrorMesssage"
// followed by the identifier (1 show, 0 silenced). Never fails.
void ShowMessageOnce(const QString& message, const QString& id);
// Whether the message `id` is still shown (a missing or unreadable setting
// counts as shown), and storing that choice.
bool messageShownInFuture(const QString& id);
void setMessageShownInFuture(const QString& id, bool show);

// Form encoding of a text: letters and digits stay, a blank or "+" becomes
// "+", every other character "%" and two upper-case hexadecimal digits per
// byte of its UTF-8 form (the system's code set).
QString URLEncode(const QString& text);
// The upper-case hexadecimal digits of a non-negative value, without
// leading zeros ("0" for 0).
QString HexString(int32_t value);

// The entry point of the program: creates the services, shows the main window
// and returns to the caller's event loop.
void Main();

} // namespace tw
