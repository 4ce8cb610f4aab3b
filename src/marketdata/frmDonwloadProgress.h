#pragma once
// The progress window of the quote download: the client's state or the
// bytes received so far, a bar filling to the received share, and Cancel.
// It is kept above the other windows while the download runs. Its Cancel,
// and its close box, ask the main window to cancel the download; the window
// goes when the download has ended.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tw {

class frmDonwloadProgress : public QWidget {
    Q_OBJECT
public:
    explicit frmDonwloadProgress(QWidget* owner = nullptr);

    QWidget* elaControls = nullptr;
    QProgressBar* elaProgress = nullptr;
    QLabel* elaStatus = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Keeps the window above every other window.
    void SetTomost();
    void cmdCancel_Click();

signals:
    void CancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace tw
