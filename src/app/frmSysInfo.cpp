#include "app/frmSysInfo.h"

#include "app/CFormRestore.h"
#include "app/SystemInfo.h"
#include "app/Tools.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

namespace {
frmSysInfo* g_sysInfo = nullptr;
} // namespace

frmSysInfo* frmSysInfo::loaded()
{
    return g_sysInfo;
}

frmSysInfo* frmSysInfo::display(QWidget* owner)
{
    if (g_sysInfo == nullptr) {
        g_sysInfo = new frmSysInfo(owner);
        CFormRestore::restoreProgramWindow(g_sysInfo);
    }
    g_sysInfo->show();
    g_sysInfo->raise();
    g_sysInfo->activateWindow();
    return g_sysInfo;
}

frmSysInfo::frmSysInfo(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmSysInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window: this window goes with it and
    // keeps its place.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);
    setWindowTitle(QStringLiteral("System Information"));
    txtInfo = new QPlainTextEdit(this);
    txtInfo->setObjectName(QStringLiteral("txtInfo"));
    txtInfo->setReadOnly(true);
    txtInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtInfo->setPlainText(systemInformationText());
    cmdCopy = new QPushButton(QStringLiteral("&Copy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtInfo, 1);
    layout->addLayout(buttons);
    connect(cmdCopy, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    // Wide enough for the longest line, as tall as the report.
    const QFontMetrics fm(txtInfo->font());
    int width = 0;
    for (const QString& line : txtInfo->toPlainText().split(QLatin1Char('\n')))
        width = qMax(width, fm.horizontalAdvance(line));
    resize(qBound(420, width + 60, 1000), qBound(300, fm.lineSpacing() * (txtInfo->blockCount() + 2) + 60, 700));
}

frmSysInfo::~frmSysInfo()
{
    if (g_sysInfo == this)
        g_sysInfo = nullptr;
}

void frmSysInfo::cmdCopy_Click()
{
    QApplication::clipboard()->setText(txtInfo->toPlainText());
}

void frmSysInfo::closeEvent(QCloseEvent* event)
{
    CFormRestore::saveProgramWindow(this);
    event->accept();
}

} // namespace tw
