#include "platform/RegistryStore.h"

#include "platform/FileWrite.h"
#include "platform/UserFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tw::platform {

// File layout: {"root": "HKEY_CURRENT_USER", "tree": KEY} where a KEY is
// {"values": [[name, type, data], ...], "keys": [[name, KEY], ...]}. Arrays
// keep the order of creation and the names' own letter case.

namespace {

QString rootName(uint32_t root)
{
    return root == RegistryStore::LocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                               : QStringLiteral("HKEY_CURRENT_USER");
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QJsonObject emptyKey()
{
    QJsonObject k;
    k.insert(QStringLiteral("values"), QJsonArray());
    k.insert(QStringLiteral("keys"), QJsonArray());
    return k;
}

// Index of a named entry ([name, ...]) in an array, or -1.
qsizetype findEntry(const QJsonArray& entries, const QString& name)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonArray e = entries.at(i).toArray();
        if (!e.isEmpty() && sameName(e.at(0).toString(), name))
            return i;
    }
    return -1;
}

bool validKey(const QJsonValue& v)
{
    if (!v.isObject())
        return false;
    const QJsonObject o = v.toObject();
    return o.value(QStringLiteral("values")).isArray() && o.value(QStringLiteral("keys")).isArray();
}

struct Loaded {
    QJsonObject tree = emptyKey();
    bool corrupt = false;
};

Loaded load(const QString& path)
{
    Loaded result;
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.corrupt = false; // unreadable, not corrupt: reads give defaults
        return result;
    }
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()
        || !validKey(doc.object().value(QStringLiteral("tree")))) {
        result.corrupt = true;
        return result;
    }
    result.tree = doc.object().value(QStringLiteral("tree")).toObject();
    return result;
}

// Walks to a key; returns false when a part is missing or malformed.
bool findKey(const QJsonObject& tree, const QStringList& parts, QJsonObject& out)
{
    QJsonObject current = tree;
    for (const QString& part : parts) {
        const QJsonArray keys = current.value(QStringLiteral("keys")).toArray();
        const qsizetype i = findEntry(keys, part);
        if (i < 0)
            return false;
        const QJsonValue next = keys.at(i).toArray().at(1);
        if (!validKey(next))
            return false;
        current = next.toObject();
    }
    out = current;
    return true;
}

// Applies `change` to the key at parts[depth..] below `key`, creating missing
// keys when `create` is set. Returns false when the key is missing.
template <class F>
bool editKey(QJsonObject& key, const QStringList& parts, qsizetype depth, bool create, F&& change)
{
    if (depth == parts.size())
        return change(key);
    QJsonArray keys = key.value(QStringLiteral("keys")).toArray();
    qsizetype i = findEntry(keys, parts.at(depth));
    QJsonObject child;
    if (i < 0 || !validKey(keys.at(i).toArray().at(1))) {
        if (!create)
            return false;
        child = emptyKey();
        if (i < 0) {
            keys.append(QJsonArray{parts.at(depth), child});
            i = keys.size() - 1;
        }
    } else {
        child = keys.at(i).toArray().at(1).toObject();
    }
    if (!editKey(child, parts, depth + 1, create, change))
        return false;
    const QString storedName = keys.at(i).toArray().at(0).toString();
    keys.replace(i, QJsonArray{storedName, child});
    key.insert(QStringLiteral("keys"), keys);
    return true;
}

QJsonArray encodeValue(const QString& name, const RegValue& v)
{
    switch (v.type) {
    case RegType::DWord:
        return QJsonArray{name, QStringLiteral("REG_DWORD"), static_cast<qint64>(v.dword)};
    case RegType::Binary:
        return QJsonArray{name, QStringLiteral("REG_BINARY"), QString::fromLatin1(v.binary.toHex())};
    case RegType::ExpandString:
        return QJsonArray{name, QStringLiteral("REG_EXPAND_SZ"), v.text};
    case RegType::String:
    default:
        return QJsonArray{name, QStringLiteral("REG_SZ"), v.text};
    }
}

std::optional<RegValue> decodeValue(const QJsonArray& e)
{
    if (e.size() < 3)
        return std::nullopt;
    const QString type = e.at(1).toString();
    const QJsonValue data = e.at(2);
    RegValue v;
    if (type == QLatin1String("REG_SZ") && data.isString()) {
        v.type = RegType::String;
        v.text = data.toString();
    } else if (type == QLatin1String("REG_EXPAND_SZ") && data.isString()) {
        v.type = RegType::ExpandString;
        v.text = data.toString();
    } else if (type == QLatin1String("REG_DWORD") && data.isDouble()) {
        const double d = data.toDouble();
        if (d < -2147483648.0 || d > 4294967295.0)
            return std::nullopt;
        v.type = RegType::DWord;
        v.dword = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(d)));
    } else if (type == QLatin1String("REG_BINARY") && data.isString()) {
        v.type = RegType::Binary;
        v.binary = QByteArray::fromHex(data.toString().toLatin1());
    } else {
        return std::nullopt;
    }
    return v;
}

} // namespace

RegistryStore::RegistryStore(uint32_t root) : m_root(root) {}

QString RegistryStore::folder()
{
    return userConfigHome() + QStringLiteral("/tarnwell/registry");
}

QString RegistryStore::filePath() const
{
    return folder() + QLatin1Char('/') + rootName(m_root) + QStringLiteral(".json");
}

QStringList RegistryStore::splitPath(const QString& keyPath)
{
    return keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool RegistryStore::keyExists(const QString& keyPath) const
{
    QJsonObject key;
    return findKey(readTree(), splitPath(keyPath), key);
}

std::optional<RegValue> RegistryStore::queryValue(const QString& keyPath, const QString& name) const
{
    QJsonObject key;
    if (!findKey(readTree(), splitPath(keyPath), key))
        return std::nullopt;
    const QJsonArray values = key.value(QStringLiteral("values")).toArray();
    const qsizetype i = findEntry(values, name);
    if (i < 0)
        return std::nullopt;
    return decodeValue(values.at(i).toArray());
}

std::optional<QStringList> RegistryStore::valueNames(const QString& keyPath) const
{
    QJsonObject key;
    if (!findKey(readTree(), splitPath(keyPath), key))
        return std::nullopt;
    QStringList names;
    for (const QJsonValue& e : key.value(QStringLiteral("values")).toArray())
        names.append(e.toArray().at(0).toString());
    return names;
}

QStringList RegistryStore::subKeyNames(const QString& keyPath) const
{
    QJsonObject key;
    QStringList names;
    if (findKey(readTree(), splitPath(keyPath), key)) {
        for (const QJsonValue& e : key.value(QStringLiteral("keys")).toArray())
            names.append(e.toArray().at(0).toString());
    }
    return names;
}

namespace {

// The writes held back for one store file while a batch is open.
struct HeldWrites {
    int depth = 0;
    // The file as first read in the batch, with the held changes made to it;
    // read again after every write of the batch.
    bool loaded = false;
    QJsonObject tree;
    std::vector<std::function<bool(QJsonObject&)>> changes;
};

// By file path.
std::map<QString, HeldWrites>& heldWrites()
{
    static std::map<QString, HeldWrites> held;
    return held;
}

HeldWrites* heldFor(const QString& path)
{
    auto& held = heldWrites();
    const auto it = held.find(path);
    return it == held.end() ? nullptr : &it->second;
}

} // namespace

QJsonObject RegistryStore::readTree() const
{
    if (HeldWrites* held = heldFor(filePath())) {
        if (!held->loaded) {
            held->tree = load(filePath()).tree;
            held->loaded = true;
        }
        // A damaged file reads as empty here too; the batch's write keeps it
        // aside and says so.
        m_foundDamage = false;
        return held->tree;
    }
    Loaded state = load(filePath());
    m_foundDamage = state.corrupt;
    return state.tree;
}

namespace {

// The lock of a store file: an exclusive flock on a lock file beside it,
// which the system releases when its holder ends, however it ends (a kill
// between making the lock file and anything else included). The lock file
// stays; one left by an earlier version (which removed its lock files, and
// held them so too) is taken over as it is.
class StoreLock {
public:
    explicit StoreLock(const QString& storePath) : m_path(QFile::encodeName(storePath + QStringLiteral(".lock"))) {}
    ~StoreLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Takes the lock, waiting up to `wait` for another program writing the
    // store: 0 when it is held, EWOULDBLOCK when another program held it
    // all that time, else why the lock file could not be made.
    int take(std::chrono::milliseconds wait)
    {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + wait;
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (m_fd < 0)
                return errno;
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                // An earlier version's holder removes its lock file when it
                // lets go: the lock is held only on the file named so.
                if (isStillNamed(m_fd, m_path))
                    return 0;
            } else if (errno != EWOULDBLOCK && errno != EINTR) {
                const int error = errno;
                close();
                return error;
            }
            close();
            if (Clock::now() >= end)
                return EWOULDBLOCK;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
    }

private:
    void close()
    {
        ::close(m_fd);
        m_fd = -1;
    }

    QByteArray m_path;
    int m_fd = -1;
};

// A name beside `path` that no file has yet, for keeping a damaged file.
QString asideName(const QString& path)
{
    const QString base = path + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFile::exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

} // namespace

bool RegistryStore::modify(const Change& change)
{
    HeldWrites* held = heldFor(filePath());
    if (held == nullptr)
        return writeNow(change);
    m_lastError.clear();
    m_keptAside.clear();
    QJsonObject tree = readTree();
    if (!change(tree)) {
        m_lastError = QStringLiteral("no such key or value");
        return false;
    }
    held->tree = tree;
    held->changes.push_back(change);
    return true;
}

void RegistryStore::beginBatch()
{
    ++heldWrites()[filePath()].depth;
}

bool RegistryStore::writeBatch()
{
    m_lastError.clear();
    m_keptAside.clear();
    HeldWrites* held = heldFor(filePath());
    if (held == nullptr || held->changes.empty())
        return true;
    const std::vector<Change> changes = std::move(held->changes);
    held->changes.clear();
    // Read afresh from now on: what was written, or on a failure what was
    // kept.
    held->loaded = false;
    held->tree = QJsonObject();
    // Made to the file as it is now, as each would have been alone; one that
    // no longer applies (a value another program deleted) is left out.
    return writeNow([&changes](QJsonObject& tree) {
        for (const Change& change : changes)
            change(tree);
        return true;
    });
}

bool RegistryStore::endBatch()
{
    HeldWrites* held = heldFor(filePath());
    if (held == nullptr)
        return true;
    if (held->depth > 1) {
        --held->depth;
        return true;
    }
    const bool ok = writeBatch();
    heldWrites().erase(filePath());
    return ok;
}

bool RegistryStore::writeNow(const Change& change)
{
    m_lastError.clear();
    m_keptAside.clear();
    const QString path = filePath();
    if (!QDir().mkpath(folder())) {
        m_lastError = QStringLiteral("the folder cannot be created");
        return false;
    }
    StoreLock lock(path);
    if (const int error = lock.take(std::chrono::seconds(5)); error != 0) {
        if (error == EWOULDBLOCK) {
            m_lastError = QStringLiteral("another program keeps the settings file locked");
        } else {
            // The lock file could not be made: find out why.
            m_lastError = folderWriteProblem(folder());
            if (m_lastError.isEmpty())
                m_lastError = writeFailureText(error);
        }
        return false;
    }
    Loaded state = load(path);
    if (!change(state.tree)) {
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("no such key or value");
        return false;
    }
    QJsonObject doc;
    doc.insert(QStringLiteral("root"), rootName(m_root));
    doc.insert(QStringLiteral("tree"), state.tree);
    // The new file is written whole before anything changes: a write cut
    // short (a full disk) leaves the file, damaged or not, as it was.
    FileReplacement out(path);
    if (!out.write(QJsonDocument(doc).toJson(QJsonDocument::Indented))) {
        m_lastError = out.errorText();
        return false;
    }
    QString aside;
    if (state.corrupt) {
        // What could not be read is kept, never overwritten.
        QFile damaged(path);
        aside = asideName(path);
        if (!damaged.rename(aside)) {
            m_lastError = QStringLiteral("the damaged settings file cannot be moved aside (%1)").arg(damaged.errorString());
            return false;
        }
        m_keptAside = aside;
    }
    if (!out.commit()) {
        m_lastError = out.errorText();
        // The damaged file goes back to its place: nothing was written.
        if (!aside.isEmpty() && QFile::rename(aside, path))
            m_keptAside.clear();
        return false;
    }
    return true;
}

bool RegistryStore::repair()
{
    return modify([](QJsonObject&) { return true; });
}

bool RegistryStore::setValue(const QString& keyPath, const QString& name, const RegValue& value)
{
    const QStringList parts = splitPath(keyPath);
    return modify([parts, name, value](QJsonObject& tree) {
        return editKey(tree, parts, 0, true, [&](QJsonObject& key) {
            QJsonArray values = key.value(QStringLiteral("values")).toArray();
            const qsizetype i = findEntry(values, name);
            if (i < 0)
                values.append(encodeValue(name, value));
            else
                values.replace(i, encodeValue(values.at(i).toArray().at(0).toString(), value));
            key.insert(QStringLiteral("values"), values);
            return true;
        });
    });
}

bool RegistryStore::createKey(const QString& keyPath)
{
    const QStringList parts = splitPath(keyPath);
    if (keyExists(keyPath))
        return true;
    return modify([parts](QJsonObject& tree) { return editKey(tree, parts, 0, true, [](QJsonObject&) { return true; }); });
}

bool RegistryStore::deleteKey(const QString& keyPath)
{
    QStringList parts = splitPath(keyPath);
    if (parts.isEmpty())
        return false;
    const QString last = parts.takeLast();
    return modify([parts, last](QJsonObject& tree) {
        return editKey(tree, parts, 0, false, [&](QJsonObject& parent) {
            QJsonArray keys = parent.value(QStringLiteral("keys")).toArray();
            const qsizetype i = findEntry(keys, last);
            if (i < 0)
                return false;
            keys.removeAt(i);
            parent.insert(QStringLiteral("keys"), keys);
            return true;
        });
    });
}

bool RegistryStore::deleteValue(const QString& keyPath, const QString& name)
{
    const QStringList parts = splitPath(keyPath);
    return modify([parts, name](QJsonObject& tree) {
        return editKey(tree, parts, 0, false, [&](QJsonObject& key) {
            QJsonArray values = key.value(QStringLiteral("values")).toArray();
            const qsizetype i = findEntry(values, name);
            if (i < 0)
                return false;
            values.removeAt(i);
            key.insert(QStringLiteral("values"), values);
            return true;
        });
    });
}

} // namespace tw::platform
