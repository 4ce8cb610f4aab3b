#include "app/frmMessageBox.h"

#include "app/Tools.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tw {

frmMessageBox::frmMessageBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmMessageBox"));
    setWindowTitle(QStringLiteral("Information"));
    setModal(true);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Picture1 = new QLabel(Frame1);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblMessage = new QLabel(Frame1);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setTextFormat(Qt::PlainText);
    QFont bold = lblMessage->font();
    bold.setBold(true);
    lblMessage->setFont(bold);
    Label1 = new QLabel(QStringLiteral("Please check our website for software updates if the problem persists"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    chkDontShow = new QCheckBox(QStringLiteral("show this message in the future"), Frame1);
    chkDontShow->setObjectName(QStringLiteral("chkDontShow"));
    chkDontShow->setChecked(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* inner = new QGridLayout(Frame1);
    inner->addWidget(Picture1, 0, 0, Qt::AlignTop);
    inner->addWidget(lblMessage, 0, 1);
    inner->addWidget(Label1, 1, 0, 1, 2);
    inner->addWidget(chkDontShow, 2, 0, 1, 2);
    inner->setColumnStretch(1, 1);
    inner->setRowStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(chkDontShow, &QCheckBox::clicked, this, [this] { chkDontShow_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void frmMessageBox::setID(const QString& id)
{
    m_id = id;
    chkDontShow->setChecked(messageShownInFuture(id));
}

void frmMessageBox::chkDontShow_Click()
{
    setMessageShownInFuture(m_id, chkDontShow->isChecked());
}

void frmMessageBox::cmdOK_Click()
{
    accept();
}

void frmMessageBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    cmdOK->setFocus();
}

} // namespace tw
