#pragma once
// What the About window's "System Info..." shows when no system information
// tool is configured: the program, Qt, the system, the screens, and where
// the settings, the trace file, the error log and the help pages are kept.

#include <QString>

namespace tw {

// The report as plain text, one heading a section.
QString systemInformationText();

} // namespace tw
