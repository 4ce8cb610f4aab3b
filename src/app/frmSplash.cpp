#include "app/frmSplash.h"

#include "app/AppIcons.h"
#include "app/AppInfo.h"
#include "app/Procedure.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace tw {

namespace {

frmSplash* g_splash = nullptr;

// The title picture: the program's icon, its name and what it is for.
QPixmap titlePicture()
{
    const QSize size(400, 96);
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.drawPixmap(4, 8, AppIcons::programPixmap(80));
    QFont name = tahomaFont(30, true);
    name.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(name);
    p.setPen(QColor(22, 52, 92));
    p.drawText(QRect(104, 8, 296, 52), Qt::AlignLeft | Qt::AlignBottom, productName());
    p.setFont(tahomaFont(11));
    p.setPen(QColor(70, 88, 112));
    p.drawText(QRect(106, 60, 294, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Option strategy analysis"));
    return pm;
}

} // namespace

frmSplash* frmSplash::instance()
{
    if (g_splash == nullptr) {
        g_splash = new frmSplash;
        g_splash->Form_Load();
    }
    return g_splash;
}

frmSplash* frmSplash::loaded()
{
    return g_splash;
}

void frmSplash::unload()
{
    if (g_splash != nullptr)
        g_splash->unloadWindow();
}

frmSplash::frmSplash() : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setFont(tahomaFont(9));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(246, 248, 251));
    pal.setColor(QPalette::WindowText, QColor(30, 38, 50));
    setPalette(pal);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setFrameShadow(QFrame::Sunken);
    Frame1->installEventFilter(this);

    picTitle = new QLabel(Frame1);
    picTitle->setObjectName(QStringLiteral("picTitle"));
    picTitle->setPixmap(titlePicture());

    auto makeLabel = [this](const char* name, const QFont& font, Qt::Alignment align) {
        auto* l = new QLabel(Frame1);
        l->setObjectName(QLatin1String(name));
        l->setFont(font);
        l->setAlignment(align);
        return l;
    };
    lblVersion = makeLabel("lblVersion", tahomaFont(12, true), Qt::AlignRight | Qt::AlignVCenter);
    lblPlatform = makeLabel("lblPlatform", tahomaFont(10), Qt::AlignRight | Qt::AlignVCenter);
    lblPlatform->setText(platformText());
    lblCompany = makeLabel("lblCompany", tahomaFont(9), Qt::AlignLeft | Qt::AlignVCenter);
    lblCompany->setText(QStringLiteral("Distributed by Myrtova"));
    lblCopyright = makeLabel("lblCopyright", tahomaFont(9), Qt::AlignLeft | Qt::AlignVCenter);
    lblWarning = makeLabel("lblWarning", tahomaFont(8), Qt::AlignLeft | Qt::AlignTop);
    lblWarning->setWordWrap(true);
    QPalette grey = lblWarning->palette();
    grey.setColor(QPalette::WindowText, QColor(96, 104, 116));
    lblWarning->setPalette(grey);

    auto* right = new QVBoxLayout;
    right->addStretch(1);
    right->addWidget(lblVersion);
    right->addWidget(lblPlatform);

    auto* top = new QHBoxLayout;
    top->addWidget(picTitle, 0, Qt::AlignTop);
    top->addStretch(1);
    top->addLayout(right);

    auto* inner = new QVBoxLayout(Frame1);
    inner->setContentsMargins(16, 14, 16, 14);
    inner->setSpacing(6);
    inner->addLayout(top);
    inner->addSpacing(18);
    inner->addWidget(lblCompany);
    inner->addWidget(lblCopyright);
    inner->addSpacing(10);
    inner->addWidget(lblWarning);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addWidget(Frame1);

    setFixedSize(560, 300);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

frmSplash::~frmSplash()
{
    if (g_splash == this)
        g_splash = nullptr;
}

void frmSplash::Form_Load()
{
    lblVersion->setText(versionText());
    lblCopyright->setText(copyrightNotice());
    lblWarning->setText(legalNotice());
}

void frmSplash::Form_Click()
{
    unloadWindow();
}

void frmSplash::Form_KeyPress(int)
{
    unloadWindow();
}

void frmSplash::Frame1_Click()
{
    unloadWindow();
}

void frmSplash::unloadWindow()
{
    // From now on the splash counts as unloaded, even before Qt deletes it.
    if (g_splash == this)
        g_splash = nullptr;
    close();
}

void frmSplash::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        shielded("frmSplash.Form_Click", [this] { Form_Click(); });
    event->accept();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    shielded("frmSplash.Form_KeyPress", [this, event] { Form_KeyPress(event->key()); });
    event->accept();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    if (g_splash == this)
        g_splash = nullptr;
    event->accept();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    // Clicks on the frame, and on the labels and the picture inside it,
    // which pass their clicks on to the frame.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            shielded("frmSplash.Frame1_Click", [this] { Frame1_Click(); });
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace tw
