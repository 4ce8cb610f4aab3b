#pragma once
// The open and save dialogs of the main window's panes: one file asked for,
// the first filter entry selected, owned by the main window.

#include <QString>
#include <cstdint>

namespace tw {

struct FileQuestion {
    QString title;
    QString filter; // "|"-separated description and pattern pairs
    QString defaultExt;
    QString initialDir;
    QString initialFile;
    bool mustExist = false;
    bool hideReadOnly = false;
    bool save = false;
};

// The chosen path, or an empty text when the dialog was cancelled.
QString askForFile(const FileQuestion& q, int64_t owner);

} // namespace tw
