#pragma once
// The system information window of the About box: what the program runs
// on and where it keeps its files (systemInformationText), with a button
// that copies it for a support request. Modeless and single.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace tw {

class frmSysInfo : public QWidget {
    Q_OBJECT
public:
    // The one window, created and filled on first use, shown in front.
    static frmSysInfo* display(QWidget* owner = nullptr);
    static frmSysInfo* loaded();
    ~frmSysInfo() override;

    void cmdCopy_Click();

    QPlainTextEdit* txtInfo = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmSysInfo(QWidget* owner);
};

} // namespace tw
