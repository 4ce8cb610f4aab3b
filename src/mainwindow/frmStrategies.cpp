#include "mainwindow/frmStrategies.h"

#include "app/Procedure.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

namespace tw {

namespace {
frmStrategies* g_instance = nullptr;
}

frmStrategies* frmStrategies::load()
{
    if (g_instance == nullptr) {
        g_instance = new frmStrategies;
        g_instance->Form_Load();
    }
    return g_instance;
}

frmStrategies* frmStrategies::instance()
{
    return g_instance;
}

frmStrategies::frmStrategies(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmStrategies"));
    setWindowTitle(QStringLiteral("Tarnwell"));
    setAttribute(Qt::WA_DeleteOnClose);
    DelayTimer = new QTimer(this);
    DelayTimer->setObjectName(QStringLiteral("DelayTimer"));
    DelayTimer->setSingleShot(true);
    DelayTimer->setInterval(5000);
    connect(DelayTimer, &QTimer::timeout, this, [this] { DelayTimer_Timer(); });
}

frmStrategies::~frmStrategies()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void frmStrategies::Form_Load()
{
    Procedure proc("frmStrategies", "Form_Load");
    TW_STEP(proc, resize(900, 640));
}

void frmStrategies::DelayTimer_Timer()
{
    shielded("frmStrategies.DelayTimer_Timer", [this] { DelayTimer->stop(); });
}

void frmStrategies::closeEvent(QCloseEvent* event)
{
    event->accept();
    QApplication::quit();
}

} // namespace tw
