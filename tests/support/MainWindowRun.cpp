#include "support/MainWindowRun.h"

#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

namespace tw::test {

MainWindowRun::MainWindowRun(const QStringList& arguments)
{
    setProcessArguments(arguments);
    m_window = frmStrategies::load();
}

MainWindowRun::~MainWindowRun()
{
    if (m_window != nullptr) {
        // Nothing counts as unsaved any more, so closing asks no question
        // even when the test ended half-way.
        m_window->blnDataNotSaved = false;
        m_window->m_StrategiesChanged = false;
        m_window->close();
        if (m_window != nullptr)
            delete m_window.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setProcessArguments({});
}

bool MainWindowRun::close()
{
    if (m_window == nullptr)
        return true;
    const bool closed = m_window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return closed;
}

QString shippedFile(const QString& name)
{
    return QDir(programFolder()).filePath(name);
}

} // namespace tw::test
