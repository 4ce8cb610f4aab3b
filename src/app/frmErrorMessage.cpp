#include "app/frmErrorMessage.h"

#include "app/Dialogs.h"
#include "app/SupportMail.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

frmErrorMessage::frmErrorMessage(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmErrorMessage"));
    setWindowTitle(QStringLiteral("Error"));
    setModal(true);

    elaTitle = new QLabel(QStringLiteral("An error"), this);
    elaTitle->setObjectName(QStringLiteral("elaTitle"));
    QFont titleFont = elaTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    elaTitle->setFont(titleFont);
    elaTitle->setContentsMargins(8, 8, 8, 8);
    elaTitle->setAutoFillBackground(true);
    QPalette pal = elaTitle->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::HighlightedText));
    elaTitle->setPalette(pal);

    txtErrorMessage = new QPlainTextEdit(this);
    txtErrorMessage->setObjectName(QStringLiteral("txtErrorMessage"));
    txtErrorMessage->setReadOnly(true);
    txtErrorMessage->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtErrorMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdRetry = new QPushButton(QStringLiteral("Retry"), this);
    cmdIgnore = new QPushButton(QStringLiteral("Ignore"), this);
    cmdSend = new QPushButton(QStringLiteral("Send to support"), this);
    cmdAbort->setObjectName(QStringLiteral("cmdAbort"));
    cmdRetry->setObjectName(QStringLiteral("cmdRetry"));
    cmdIgnore->setObjectName(QStringLiteral("cmdIgnore"));
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdIgnore->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAbort);
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdIgnore);
    buttons->addStretch(1);
    buttons->addWidget(cmdSend);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(elaTitle);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->addWidget(txtErrorMessage, 1);
    body->addLayout(buttons);
    layout->addLayout(body, 1);
    resize(620, 360);

    connect(cmdAbort, &QPushButton::clicked, this, [this] { answer(QStringLiteral("ABORT")); });
    connect(cmdRetry, &QPushButton::clicked, this, [this] { answer(QStringLiteral("RETRY")); });
    connect(cmdIgnore, &QPushButton::clicked, this, [this] { answer(QStringLiteral("IGNORE")); });
    connect(cmdSend, &QPushButton::clicked, this, [this] { SendToSupport(); });
}

void frmErrorMessage::setErrorMessage(const QString& report)
{
    QString text = report;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtErrorMessage->setPlainText(text);
}

void frmErrorMessage::showEvent(QShowEvent* event)
{
    elaTitle->setText(QStringLiteral("An error occurred in Tarnwell"));
    QApplication::beep();
    QDialog::showEvent(event);
}

void frmErrorMessage::answer(const QString& tag)
{
    m_tag = tag;
    accept();
}

void frmErrorMessage::SendToSupport()
{
    QString text = txtErrorMessage->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    dialogs().openUrl(supportMailLink(m_supportMail, elaTitle->text(), text));
}

} // namespace tw
