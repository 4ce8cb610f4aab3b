#pragma once
// The switchable information window of ShowMessageOnce: the message in bold
// beside an icon, a fixed hint below it, and the check box "show this
// message in the future". Every click of the box stores its state for the
// window's message identifier at once, so the choice holds even when the
// window is closed from its title bar.

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace tw {

class frmMessageBox : public QDialog {
    Q_OBJECT
public:
    explicit frmMessageBox(QWidget* parent = nullptr);

    const QString& ID() const { return m_id; }
    // Keeps the identifier and sets the check box from its setting.
    void setID(const QString& id);

    QFrame* Frame1 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* lblMessage = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* chkDontShow = nullptr;
    QPushButton* cmdOK = nullptr;

    void chkDontShow_Click();
    void cmdOK_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString m_id;
};

} // namespace tw
