#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tw::test {

// Points the XDG folders (config, data, state, cache) and the temporary
// folder ($TMPDIR) at a fresh temporary folder for the whole run, so tests
// never read or write the user's own settings. Call before anything touches
// the settings.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    QString root() const { return m_dir->path(); }
    // Removes every stored setting (the settings files of the run).
    void clearSettings() const;
    // Puts a plain file where the settings folder belongs, so that no
    // setting can be written, not even by root; clearSettings() removes it.
    // False when the file could not be made.
    bool blockSettings() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The whole content of the file at `path`; empty when it cannot be read.
QByteArray bytesOf(const QString& path);

// The environment of the running test program (created by the test mains).
TestEnvironment& environment();
void installEnvironment();

} // namespace tw::test
