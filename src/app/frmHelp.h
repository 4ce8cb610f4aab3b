#pragma once
// The help window: the shipped help pages in a browser of the program's own,
// with the contents (each page and its sections) and the keyword index
// beside them, and Back, Forward and Contents. Modeless and single; its
// place is kept in the settings like any window's.

#include "app/HelpContents.h"

#include <QList>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace tw {

class frmHelp : public QWidget {
    Q_OBJECT
public:
    // Shows `page` (a help page's file URL; the fragment "index" also opens
    // the index tab) in the one help window, created on first use; nullptr
    // when the page is no help page.
    static frmHelp* display(const QUrl& page);
    // The help window while it is open, else nullptr.
    static frmHelp* loaded();

    ~frmHelp() override;

    // Shows a page in the browser; a page of the index (fragment "index")
    // brings the index tab forward, any other the contents tab.
    void showPage(const QUrl& page);

    QTabWidget* tabNavigation = nullptr;
    QTreeWidget* tvContents = nullptr;
    QLineEdit* txtIndex = nullptr;
    QListWidget* lstIndex = nullptr;
    QTextBrowser* txtPage = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdForward = nullptr;
    QPushButton* cmdContents = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmHelp();
    void Form_Load();
    void fillIndex(const QString& filter);
    void lstIndex_Click();

    // The keywords of the help folder, read once when the window loads.
    QList<HelpEntry> m_index;
};

} // namespace tw
