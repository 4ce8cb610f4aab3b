#include "marketdata/frmDonwloadProgress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

frmDonwloadProgress::frmDonwloadProgress(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmDonwloadProgress"));
    setWindowTitle(QStringLiteral("Downloading quotes"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    elaStatus = new QLabel(this);
    elaStatus->setObjectName(QStringLiteral("elaStatus"));
    elaStatus->setFrameShape(QFrame::StyledPanel);
    elaStatus->setFrameShadow(QFrame::Sunken);
    elaStatus->setMinimumWidth(300);
    elaProgress = new QProgressBar(this);
    elaProgress->setObjectName(QStringLiteral("elaProgress"));
    elaProgress->setRange(0, 100);
    elaProgress->setValue(0);
    elaControls = new QWidget(this);
    elaControls->setObjectName(QStringLiteral("elaControls"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), elaControls);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout(elaControls);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(elaStatus);
    layout->addWidget(elaProgress);
    layout->addWidget(elaControls);
    setFixedSize(sizeHint());

    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmDonwloadProgress::SetTomost()
{
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Changing the flags takes the window down; it comes back on top.
    if (shown)
        show();
    raise();
}

void frmDonwloadProgress::cmdCancel_Click()
{
    emit CancelRequested();
}

void frmDonwloadProgress::closeEvent(QCloseEvent* event)
{
    // The window belongs to the running download: closing it cancels that.
    event->ignore();
    emit CancelRequested();
}

} // namespace tw
