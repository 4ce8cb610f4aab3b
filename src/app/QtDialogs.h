#pragma once
// The real dialogs of the running program (message boxes, the error dialog,
// the desktop's link handler).

#include "app/Dialogs.h"

namespace tw {

class QtDialogs : public Dialogs {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    QString errorForm(const QString& report, const QString& supportMail) override;
    bool openUrl(const QUrl& url) override;
};

} // namespace tw
