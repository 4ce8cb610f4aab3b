#pragma once
// The settings store: named values under
//   <root>\Software\<company>\<application>\<section>
// of the per-user settings tree (platform::RegistryStore). Texts, dates and
// Booleans are stored as text, every other value as a 32-bit integer; every
// read names a default, so a missing setting is never an error.
//
// Settings that cannot be written (a folder that cannot be made, a full disk)
// are no error either: the first failing write tells the user once, in plain
// words, that this run's settings will not be kept, and every later write of
// the object is dropped without a word. A damaged settings file is moved
// aside by the first read or write that meets it, and the user is told where
// it was kept.
//
// A SettingsBatch holds the writes back and writes them in one go: the values
// an exit writes reach the file in one replacement instead of one each.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

namespace tw {

namespace platform {
class RegistryStore;
}

class CAppSettings {
public:
    static constexpr int32_t ErrInvalidAppName = static_cast<int32_t>(0x8004427Du);
    static constexpr int32_t ErrInvalidCompanyName = static_cast<int32_t>(0x8004427Eu);
    static constexpr int32_t ErrInvalidMainBranch = static_cast<int32_t>(0x8004427Fu);
    static constexpr int32_t ErrInvalidRootKey = static_cast<int32_t>(0x80044280u);
    // Kept for its number only: SaveSetting tells the user instead of raising it.
    static constexpr int32_t ErrSaveFailed = static_cast<int32_t>(0x80044281u);
    static constexpr int32_t ErrDeleteFailed = static_cast<int32_t>(0x80044282u);
    static constexpr int32_t ErrGetAllKeysFailed = static_cast<int32_t>(0x80044283u);
    static constexpr int32_t ErrComponentFailure = static_cast<int32_t>(0x80044284u);

    static constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;
    static constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;

    void Init(const QString& companyName, const QString& appName);

    const QString& appName() const { return m_appName; }
    void setAppName(const QString& v);
    const QString& CompanyName() const { return m_companyName; }
    void setCompanyName(const QString& v);
    const QString& MainBranch() const { return m_mainBranch; }
    void setMainBranch(const QString& v);
    uint32_t RootKey() const { return m_rootKey; }
    void setRootKey(uint32_t v);

    // Deletes the value `key` of the section, or the whole section when `key`
    // is empty; raises "Failed deleting the application setting" when there is
    // nothing to delete.
    void DeleteSetting(const QString& section, const QString& key);
    // The value names of a section.
    QStringList GetAllKeys(const QString& section) const;
    // A stored text comes back as a QString, a stored integer as an int;
    // anything missing or of another type gives `defaultValue`.
    QVariant GetSetting(const QString& section, const QString& key, const QVariant& defaultValue) const;
    // Raises only for a number that does not fit in 32 bits
    // (ErrComponentFailure); a store that cannot be written is told to the
    // user once (see above), never raised.
    void SaveSetting(const QString& section, const QString& key, const QVariant& setting);

    // The full key path of a section.
    QString sectionPath(const QString& section) const;

private:
    friend class SettingsBatch;

    // After a write to `store`: tells the user of a damaged file the write
    // kept aside, and of a failed write (once; later writes are dropped).
    bool written(const platform::RegistryStore& store, bool ok) const;

    uint32_t m_rootKey = HKEY_CURRENT_USER;
    QString m_mainBranch = QStringLiteral("Software");
    QString m_companyName = QStringLiteral("MyCompany");
    QString m_appName = QStringLiteral("MyApplication");
    // A write has failed: the rest of the run's settings are not written.
    mutable bool m_notKept = false;
};

// While a SettingsBatch lives, every SaveSetting (of any CAppSettings of the
// same root) changes a copy in memory, which every read sees, and the file is
// not touched; the end of the outermost batch writes the file once, with the
// same safety as a single write. A failure is told as a failing SaveSetting's
// (once) and leaves the file as it was. Batches nest: an inner one writes
// nothing at its end.
class SettingsBatch {
public:
    explicit SettingsBatch(CAppSettings& settings);
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

    // Writes every value held so far now, those of the batches around this
    // one too, and goes on holding the later ones.
    void write();

private:
    CAppSettings& m_settings;
    uint32_t m_root;
};

// Typed reads for the callers that need a number, a flag or a text: a missing
// setting, or one that cannot be read as the type, gives the default. Every
// number the program stores fits in 32 bits, so a number that does not (after
// rounding to a whole number) gives the default too.
int32_t settingInt(const CAppSettings& s, const QString& section, const QString& key, int32_t def);
double settingDouble(const CAppSettings& s, const QString& section, const QString& key, double def);
bool settingBool(const CAppSettings& s, const QString& section, const QString& key, bool def);
QString settingText(const CAppSettings& s, const QString& section, const QString& key, const QString& def);

} // namespace tw
