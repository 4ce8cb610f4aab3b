#pragma once
// Dialogs for tests: every question is recorded, and answered from a queue of
// scripted answers. A question with no scripted answer gets the answer of a
// user who closes the box (as the fallback dialogs answer).

#include "app/Dialogs.h"

#include <QList>
#include <QStringList>
#include <deque>

namespace tw::test {

class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        int style = 0;
        QString title;
    };

    ScriptedDialogs();  // installs itself
    ~ScriptedDialogs() override; // restores the previous dialogs

    int messageBox(const QString& text, int style, const QString& title) override;
    QString errorForm(const QString& report, const QString& supportMail) override;
    bool openUrl(const QUrl& url) override;

    // Scripted answers, used in order.
    std::deque<int> messageAnswers;
    std::deque<QString> errorAnswers; // "ABORT", "RETRY", "IGNORE" or ""

    QList<Message> messages;
    QStringList errorReports;
    QList<QUrl> openedUrls;

private:
    Dialogs* m_previous = nullptr;
};

} // namespace tw::test
