#pragma once
// A file-backed stand-in for the per-user registry of a Windows desktop: a
// tree of keys, each holding named, typed values. Key and value names are
// compared without regard to letter case and keep the case they were created
// with. Every root lives in one JSON file in the user's XDG config folder
// ($XDG_CONFIG_HOME/tarnwell/registry/<ROOT>.json). Reads parse the file
// afresh each time, so they always see the current state; writes take the
// lock beside the file (an flock on "<ROOT>.json.lock", which the system
// releases when its holder ends, however it ends; a second writer waits its
// turn for up to five seconds), re-read, change and replace the file
// atomically (temporary file + rename). A damaged file (one that is not a
// store) reads as empty; the next write, or repair(), moves it aside (beside
// it, with ".corrupt-" and the date and time added to its name) and writes
// the store anew. A write that cannot keep the damaged file aside writes
// nothing, and so does one that cannot write the whole new file (a full
// disk): the file stays as it was.
//
// Writes can be held back and written in one go (beginBatch/endBatch): the
// values an exit writes then cost one replacement of the file, not one each.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace tw::platform {

enum class RegType : int { String = 1, ExpandString = 2, Binary = 3, DWord = 4 };

struct RegValue {
    RegType type = RegType::String;
    QString text;       // String, ExpandString
    int32_t dword = 0;  // DWord
    QByteArray binary;  // Binary

    static RegValue fromText(const QString& t) { return {RegType::String, t, 0, {}}; }
    static RegValue fromDWord(int32_t v) { return {RegType::DWord, {}, v, {}}; }
};

class RegistryStore {
public:
    static constexpr uint32_t CurrentUser = 0x80000001u;
    static constexpr uint32_t LocalMachine = 0x80000002u;

    // The store of one root; roots other than the two above are refused by
    // the callers, which check them first.
    explicit RegistryStore(uint32_t root = CurrentUser);

    // The folder of the store files.
    static QString folder();
    QString filePath() const;

    bool keyExists(const QString& keyPath) const;
    std::optional<RegValue> queryValue(const QString& keyPath, const QString& name) const;
    // Value names of a key in the order they were first written; no value
    // when the key does not exist.
    std::optional<QStringList> valueNames(const QString& keyPath) const;
    QStringList subKeyNames(const QString& keyPath) const;

    // Writes a value, creating every missing key of the path.
    bool setValue(const QString& keyPath, const QString& name, const RegValue& value);
    bool createKey(const QString& keyPath);
    // Deletes a key with everything below it; false when it does not exist.
    bool deleteKey(const QString& keyPath);
    // Deletes one value; false when it does not exist.
    bool deleteValue(const QString& keyPath, const QString& name);

    // Writes the file anew from what can be read of it: a damaged file is
    // moved aside first, so the store then reads as empty.
    bool repair();

    // Holding writes back. From beginBatch() to the matching endBatch()
    // (they nest, and hold for every RegistryStore of the same file), a write
    // changes a copy in memory, which every read sees, and leaves the file
    // alone. writeBatch() writes every change held so far in one replacement
    // of the file (under its lock, the file read afresh and the changes made
    // to it in their order) and goes on holding; the outermost endBatch()
    // writes what is held then. A write that fails leaves the file as it was
    // and drops the held changes (lastError(), keptAside() tell why). The
    // store is used by one thread, the user interface's.
    void beginBatch();
    bool writeBatch();
    bool endBatch();

    // What went wrong in the last failing write, in words for the user.
    QString lastError() const { return m_lastError; }
    // Where the last write kept the damaged file it found (empty: it found
    // none).
    QString keptAside() const { return m_keptAside; }
    // Whether the last read found the file damaged (and so read it as empty).
    bool foundDamage() const { return m_foundDamage; }

    // Splits a key path at its backslashes, dropping empty parts.
    static QStringList splitPath(const QString& keyPath);

private:
    using Change = std::function<bool(QJsonObject&)>;
    // Makes a change, or holds it while a batch is open.
    bool modify(const Change& change);
    // Makes a change to the file now.
    bool writeNow(const Change& change);
    // The tree of the file, noting whether it was damaged.
    QJsonObject readTree() const;

    uint32_t m_root;
    QString m_lastError;
    QString m_keptAside;
    mutable bool m_foundDamage = false;
};

} // namespace tw::platform
