#pragma once
// The real dialogs of the running program (message boxes, the error dialog,
// the desktop's link handler, the file dialogs).

#include "app/Dialogs.h"

namespace tw {

class QtDialogs : public Dialogs {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    QString errorForm(const QString& report, const QString& supportMail) override;
    // Through the desktop's opener, whose exit status says whether it
    // opened the link (app/DesktopOpen.h).
    bool openUrl(const QUrl& url) override;
    // The program's own help window (frmHelp), not the desktop's browser.
    bool showHelp(const QUrl& page) override;
    FileDialogAnswer getOpenFileName(const FileDialogRequest& request) override;
    FileDialogAnswer getSaveFileName(const FileDialogRequest& request) override;
    void beep() override;
    bool switchableMessage(const QString& text, const QString& id) override;

    // The file dialog shows Qt's own widgets on every desktop: its name
    // filters match without regard to letter case, which the desktops' own
    // dialogs do not promise.
    static FileDialogAnswer runFileDialog(bool save, const FileDialogRequest& request);
};

} // namespace tw
