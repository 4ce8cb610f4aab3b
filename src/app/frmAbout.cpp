#include "app/frmAbout.h"

#include "app/AppIcons.h"
#include "app/AppInfo.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "app/frmSysInfo.h"
#include "platform/RegistryStore.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tw {

const char* const frmAbout::SysInfoPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const frmAbout::SysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const frmAbout::SysInfoProgram = "MSINFO32.EXE";
const char* const frmAbout::UnavailableMessage = "System Information Is Unavailable At This Time";

namespace {

frmAbout* g_about = nullptr;

// The body of GetKeyValue.
bool readKeyValue(uint32_t root, const QString& keyName, const QString& valueName, QString& keyVal)
{
    if (root != platform::RegistryStore::CurrentUser && root != platform::RegistryStore::LocalMachine) {
        keyVal.clear();
        return false;
    }
    // The value is only read, so read access to the store is all it takes.
    const platform::RegistryStore store(root);
    if (!store.keyExists(keyName)) {
        keyVal.clear();
        return false;
    }
    const std::optional<platform::RegValue> value = store.queryValue(keyName, valueName);
    if (!value) {
        keyVal.clear();
        return false;
    }
    switch (value->type) {
    case platform::RegType::String: {
        // A text written together with its terminating NUL keeps it in the
        // store; the NUL is not part of the value.
        QString text = value->text;
        if (text.endsWith(QChar(u'\0')))
            text.chop(1);
        keyVal = text;
        break;
    }
    case platform::RegType::DWord:
        keyVal = QString::number(value->dword);
        break;
    default:
        // Other kinds of value leave the caller's text as it was.
        break;
    }
    return true;
}

} // namespace

frmAbout* frmAbout::instance(QWidget* owner)
{
    if (g_about == nullptr) {
        g_about = new frmAbout(owner);
        g_about->Form_Load();
    }
    return g_about;
}

frmAbout* frmAbout::loaded()
{
    return g_about;
}

frmAbout* frmAbout::display(QWidget* owner)
{
    frmAbout* w = instance(owner);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

frmAbout::frmAbout(QWidget* owner) : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setFont(tahomaFont(9));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(AppIcons::programPixmap(48));
    picIcon->setFixedSize(52, 52);
    picIcon->setAlignment(Qt::AlignCenter);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(tahomaFont(11, true));

    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setWordWrap(true);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    lblDisclaimer = new QLabel(legalNotice(), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setFont(tahomaFont(8));
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblDeveloperInfo = new QLabel(QStringLiteral("Developer info:"), this);
    lblDeveloperInfo->setObjectName(QStringLiteral("lblDeveloperInfo"));

    lblHLink = new QLabel(makerWebAddress(), this);
    lblHLink->setObjectName(QStringLiteral("lblHLink"));
    QFont link = lblHLink->font();
    link.setUnderline(true);
    lblHLink->setFont(link);
    QPalette linkPal = lblHLink->palette();
    linkPal.setColor(QPalette::WindowText, linkPal.color(QPalette::Link));
    lblHLink->setPalette(linkPal);
    lblHLink->setCursor(Qt::PointingHandCursor);
    lblHLink->setToolTip(QStringLiteral("http://") + makerWebAddress());
    lblHLink->installEventFilter(this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    for (QPushButton* b : {cmdOK, cmdSysInfo})
        b->setMinimumWidth(110);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(4);
    heading->addWidget(lblVersion);
    heading->addWidget(lblCopyright);
    heading->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(heading, 1);

    auto* linkRow = new QHBoxLayout;
    linkRow->setSpacing(6);
    linkRow->addWidget(lblDeveloperInfo);
    linkRow->addWidget(lblHLink);
    linkRow->addStretch(1);

    auto* text = new QVBoxLayout;
    text->addWidget(lblDisclaimer, 1);
    text->addLayout(linkRow);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(14);
    bottom->addLayout(text, 1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(bottom, 1);

    setFixedSize(480, 215);
    const QRect area = owner != nullptr ? owner->window()->frameGeometry()
                       : QGuiApplication::primaryScreen() != nullptr
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect();
    if (area.isValid())
        move(area.center() - rect().center());

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

frmAbout::~frmAbout()
{
    if (g_about == this)
        g_about = nullptr;
}

void frmAbout::Form_Load()
{
    Procedure proc("frmAbout", "Form_Load");
    TW_STEP(proc, setWindowTitle(QStringLiteral("About ") + productName()));
    TW_STEP(proc, lblVersion->setText(versionText()));
    TW_STEP(proc, lblCopyright->setText(copyrightNotice()));
}

void frmAbout::cmdOK_Click()
{
    Procedure proc("frmAbout", "cmdOK_Click");
    TW_STEP(proc, unloadWindow());
}

void frmAbout::cmdSysInfo_Click()
{
    Procedure proc("frmAbout", "cmdSysInfo_Click");
    TW_STEP(proc, StartSysInfo());
}

void frmAbout::lblHLink_Click()
{
    Procedure proc("frmAbout", "lblHLink_Click");
    TW_STEP(proc, OpenURL(QStringLiteral("http://") + lblHLink->text()));
}

void frmAbout::StartSysInfo()
{
    Procedure proc("frmAbout", "StartSysInfo");
    // Any failure on the way counts as "not available": no error report.
    bool started = false;
    try {
        const uint32_t root = platform::RegistryStore::LocalMachine;
        QString path;
        if (GetKeyValue(root, QLatin1String(SysInfoPathKey), QStringLiteral("PATH"), path)) {
            // The configured tool is started as it stands, without a check
            // that the file exists: starting it is the check.
            started = QProcess::startDetached(path, {});
        } else {
            QString folder;
            if (GetKeyValue(root, QLatin1String(SysInfoFolderKey), QStringLiteral("MSINFO"), folder)
                && !folder.isEmpty()) {
                const QString program = QDir(folder).filePath(QLatin1String(SysInfoProgram));
                if (QFileInfo(program).isFile())
                    started = QProcess::startDetached(program, {});
            }
        }
    } catch (...) {
        started = false;
    }
    // Without a tool of its own the program shows what it knows itself.
    if (!started) {
        try {
            started = frmSysInfo::display() != nullptr;
        } catch (...) {
            started = false;
        }
    }
    if (!started)
        dialogs().messageBox(QLatin1String(UnavailableMessage), Msg::OkOnly, appTitle());
}

bool frmAbout::GetKeyValue(uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    Procedure proc("frmAbout", "GetKeyValue");
    bool result = false;
    TW_STEP_OR(proc, false, result = readKeyValue(KeyRoot, KeyName, SubKeyRef, KeyVal));
    return result;
}

void frmAbout::unloadWindow()
{
    if (g_about == this)
        g_about = nullptr;
    close();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // Escape works like OK, as in any message window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK_Click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    if (g_about == this)
        g_about = nullptr;
    event->accept();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblHLink && event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && lblHLink->rect().contains(me->position().toPoint())) {
            lblHLink_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tw
