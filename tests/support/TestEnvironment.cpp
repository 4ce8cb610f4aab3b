#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cstdlib>

namespace tw::test {

namespace {
std::unique_ptr<TestEnvironment> g_env;
}

TestEnvironment::TestEnvironment() : m_dir(std::make_unique<QTemporaryDir>())
{
    const QString base = m_dir->path();
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        const QString path = base + QLatin1Char('/') + QString::fromLatin1(var).toLower();
        QDir().mkpath(path);
        qputenv(var, path.toLocal8Bit());
    }
    // The temporary folder too: a recovery file may go there, and the next
    // start looks for them there.
    QDir().mkpath(base + QStringLiteral("/tmp"));
    qputenv("TMPDIR", QString(base + QStringLiteral("/tmp")).toLocal8Bit());
}

TestEnvironment::~TestEnvironment() = default;

namespace {
QString settingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tarnwell");
}
} // namespace

void TestEnvironment::clearSettings() const
{
    QFile::remove(settingsFolder()); // a blocking file
    QDir(settingsFolder()).removeRecursively();
}

bool TestEnvironment::blockSettings() const
{
    clearSettings();
    QFile block(settingsFolder());
    return block.open(QIODevice::WriteOnly);
}

TestEnvironment& environment()
{
    installEnvironment();
    return *g_env;
}

void installEnvironment()
{
    if (!g_env)
        g_env = std::make_unique<TestEnvironment>(); // removed when the process ends
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace tw::test
