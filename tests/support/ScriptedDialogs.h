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
    FileDialogAnswer getOpenFileName(const FileDialogRequest& request) override;
    FileDialogAnswer getSaveFileName(const FileDialogRequest& request) override;
    void beep() override;
    bool switchableMessage(const QString& text, const QString& id) override;

    // A file question as it was asked.
    struct FileQuestion {
        bool save = false;
        FileDialogRequest request;
    };

    // Scripted answers, used in order.
    std::deque<int> messageAnswers;
    std::deque<QString> errorAnswers; // "ABORT", "RETRY", "IGNORE" or ""
    // Answers of the open and save dialogs, one queue for both; an empty
    // queue cancels the dialog.
    std::deque<FileDialogAnswer> fileAnswers;
    // Whether the desktop takes the links handed to it (false: no program
    // opens them).
    bool openUrlAnswer = true;
    // A chosen file, with the request's filter and read-only state kept.
    static FileDialogAnswer chosen(const QStringList& files, int selectedFilter = -1);

    // Answers of the switchable message window, used in order: false is a
    // user who clears "show this message in the future"; an empty queue
    // keeps it checked.
    std::deque<bool> switchableAnswers;

    struct SwitchableMessage {
        QString text;
        QString id;
    };

    QList<Message> messages;
    QList<SwitchableMessage> switchableMessages;
    int beeps = 0;
    QStringList errorReports;
    QList<QUrl> openedUrls;
    QList<FileQuestion> fileQuestions;

private:
    FileDialogAnswer answerFile(bool save, const FileDialogRequest& request);
    Dialogs* m_previous = nullptr;
};

} // namespace tw::test
