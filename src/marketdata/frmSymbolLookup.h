#pragma once
// The ticker symbol lookup: a company name is posted to the lookup server,
// the companies found are listed with ticker, name and exchange, and OK (or
// a double click on a row) gives the selected ticker back. "Begins with"
// narrows the list to the names (or tickers) that begin with the search
// text, and the status says how many of those found are shown; "Contains"
// shows everything the server found. The request is the same either way.
// An answer larger than a page of results fails the search and says so; a
// failed connection is blamed on the connection; a search the user ends
// (the search button's "Cancel", or the window closed) says " Canceled."
// and no more. A page that holds no results is an error for the error
// handler, and leaves the list empty.
//
// The window's Tag carries its result: "1" after OK, "2" after loading,
// Cancel or a close from the title bar. It stays loaded between uses (a
// later lookup shows the last search); closed from its title bar it asks
// to be unloaded (unloadRequested), which its owner does once the modal
// show has returned.

#include "marketdata/QuoteDownload.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tw {

class WinInet;

namespace platform {
class Grid;
}

class frmSymbolLookup : public QDialog {
    Q_OBJECT
public:
    explicit frmSymbolLookup(QWidget* owner = nullptr);
    ~frmSymbolLookup() override;

    const QString& SelectedSymbol() const { return m_SelectedSymbol; }
    const QString& Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }
    bool unloadRequested() const { return m_unloadRequested; }
    bool searching() const;

    QWidget* picForm = nullptr;
    QLabel* lblCompanyName = nullptr;
    QLineEdit* txtSearchString = nullptr;
    QPushButton* cmdSearch = nullptr;
    QRadioButton* optBeginsWith = nullptr;
    QRadioButton* optContains = nullptr;
    platform::Grid* gdResult = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    WinInet* WI = nullptr;

    void Form_Load();
    void cmdSearch_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void gdResult_DblClick();
    void WI_OnProgress(int32_t BytesDownloaded, int32_t BytesTotal);
    void WI_OnStateChanged(int32_t State);
    // Lists the rows of the last search that the option buttons let through.
    void showRows();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QString m_SelectedSymbol;
    bool m_Cancelled = false;
    QString m_tag;
    bool m_unloadRequested = false;
    // The rows and the summary of the last search and what was searched for.
    QList<marketdata::LookupRow> m_rows;
    QString m_summary;
    QString m_searched;
};

} // namespace tw
