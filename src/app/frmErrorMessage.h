#pragma once
// The error dialog: the report, and the buttons Abort, Retry, Ignore and
// "Send to support". The chosen button's tag ("ABORT", "RETRY", "IGNORE") is
// the answer; closing the window otherwise leaves the tag empty.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tw {

class frmErrorMessage : public QDialog {
    Q_OBJECT
public:
    explicit frmErrorMessage(QWidget* parent = nullptr);

    void setSupportMail(const QString& address) { m_supportMail = address; }
    void setErrorMessage(const QString& report);
    void SendToSupport();

    const QString& Tag() const { return m_tag; }

    QLabel* elaTitle = nullptr;
    QPlainTextEdit* txtErrorMessage = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPushButton* cmdRetry = nullptr;
    QPushButton* cmdIgnore = nullptr;
    QPushButton* cmdSend = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void answer(const QString& tag);

    QString m_supportMail;
    QString m_tag;
};

} // namespace tw
