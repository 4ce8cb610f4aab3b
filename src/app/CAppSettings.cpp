#include "app/CAppSettings.h"

#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/TwError.h"
#include "platform/RegistryStore.h"

#include <QDate>
#include <QDateTime>
#include <QDir>

namespace tw {

namespace {
QString source() { return serviceSource(QStringLiteral("CAppSettings")); }

[[noreturn]] void raise(int32_t number, const char* text)
{
    throw TwError(number, source(), QString::fromLatin1(text));
}

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

void tellNotKept(const QString& reason)
{
    QString why = reason.isEmpty() ? QStringLiteral("unknown") : reason;
    why[0] = why[0].toUpper();
    dialogs().messageBox(QStringLiteral("Tarnwell cannot save its settings in the folder\r\n%1\r\nReason: %2.\r\n\r\n"
                                        "You can go on working, but the settings of this run will not be kept.")
                             .arg(native(platform::RegistryStore::folder()), why),
                         Msg::OkOnly | Msg::Exclamation, appTitle());
}

void tellKeptAside(const QString& file, const QString& kept)
{
    dialogs().messageBox(QStringLiteral("The settings file\r\n%1\r\nwas damaged and could not be read, so Tarnwell "
                                        "goes on with its default settings.\r\n\r\nThe damaged file was kept as\r\n%2")
                             .arg(native(file), native(kept)),
                         Msg::OkOnly | Msg::Exclamation, appTitle());
}

// A stored value as a number the program could have stored: one whose whole
// number fits in 32 bits. Anything else gives nothing.
std::optional<double> storedNumber(const QVariant& value)
{
    const auto n = variantToNumber(value);
    if (!n)
        return std::nullopt;
    const double whole = roundHalfEven(*n);
    if (whole < -2147483648.0 || whole > 2147483647.0)
        return std::nullopt;
    return n;
}
} // namespace

bool CAppSettings::written(const platform::RegistryStore& store, bool ok) const
{
    const bool tellNow = !ok && !m_notKept;
    if (!ok)
        m_notKept = true; // before the message: it may run events that save
    try {
        if (!store.keptAside().isEmpty())
            tellKeptAside(store.filePath(), store.keptAside());
        if (tellNow)
            tellNotKept(store.lastError());
    } catch (...) {
        // A message that cannot be shown changes nothing about the settings.
    }
    return ok;
}

void CAppSettings::Init(const QString& companyName, const QString& appName)
{
    setCompanyName(companyName);
    setAppName(appName);
}

void CAppSettings::setAppName(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidAppName, "Invalid AppName value");
    m_appName = v;
}

void CAppSettings::setCompanyName(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidCompanyName, "Invalid CompanyName value");
    m_companyName = v;
}

void CAppSettings::setMainBranch(const QString& v)
{
    if (v.isEmpty())
        raise(ErrInvalidMainBranch, "Invalid MainBranch value");
    m_mainBranch = v;
}

void CAppSettings::setRootKey(uint32_t v)
{
    if (v != HKEY_CURRENT_USER && v != HKEY_LOCAL_MACHINE)
        raise(ErrInvalidRootKey, "Invalid root key value");
    m_rootKey = v;
}

QString CAppSettings::sectionPath(const QString& section) const
{
    return m_mainBranch + QLatin1Char('\\') + m_companyName + QLatin1Char('\\') + m_appName + QLatin1Char('\\')
        + section;
}

QVariant CAppSettings::GetSetting(const QString& section, const QString& key, const QVariant& defaultValue) const
{
    try {
        platform::RegistryStore store(m_rootKey);
        const auto value = store.queryValue(sectionPath(section), key);
        if (store.foundDamage() && !m_notKept) {
            // Put aside now, so the user hears of it when the defaults
            // first show, not at the next save.
            written(store, store.repair());
        }
        if (!value)
            return defaultValue;
        switch (value->type) {
        case platform::RegType::String:
            return value->text;
        case platform::RegType::DWord:
            return QVariant::fromValue<int>(value->dword);
        default:
            return defaultValue;
        }
    } catch (...) {
        return defaultValue;
    }
}

void CAppSettings::SaveSetting(const QString& section, const QString& key, const QVariant& setting)
{
    platform::RegistryStore store(m_rootKey);
    const QString path = sectionPath(section);
    platform::RegValue value;
    switch (setting.typeId()) {
    case QMetaType::QString:
        value = platform::RegValue::fromText(setting.toString());
        break;
    case QMetaType::QDate:
        value = platform::RegValue::fromText(setting.toDate().toString(Qt::ISODate));
        break;
    case QMetaType::QDateTime:
        value = platform::RegValue::fromText(setting.toDateTime().toString(Qt::ISODate));
        break;
    case QMetaType::Bool:
        value = platform::RegValue::fromText(setting.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
        break;
    default: {
        // Everything else is stored as a 32-bit integer; the key exists
        // before a value that does not fit is refused.
        if (!m_notKept && !written(store, store.createKey(path)))
            return;
        std::optional<double> number;
        if (!setting.isValid())
            number = 0.0; // an empty value
        else
            number = variantToNumber(setting);
        try {
            if (!number)
                throw TwError(RunTime::TypeMismatch, QStringLiteral("Tarnwell"), QStringLiteral("Type mismatch"));
            value = platform::RegValue::fromDWord(toInt32(*number));
        } catch (...) {
            raise(ErrComponentFailure, "CAppSettings component failure");
        }
        break;
    }
    }
    if (!m_notKept)
        written(store, store.setValue(path, key, value));
}

void CAppSettings::DeleteSetting(const QString& section, const QString& key)
{
    platform::RegistryStore store(m_rootKey);
    const QString path = sectionPath(section);
    const bool ok = key.isEmpty() ? store.deleteKey(path) : store.deleteValue(path, key);
    if (!ok)
        raise(ErrDeleteFailed, "Failed deleting the application setting");
}

QStringList CAppSettings::GetAllKeys(const QString& section) const
{
    const auto names = platform::RegistryStore(m_rootKey).valueNames(sectionPath(section));
    if (!names)
        raise(ErrGetAllKeysFailed, "Failed getting all the application keys");
    return *names;
}

SettingsBatch::SettingsBatch(CAppSettings& settings) : m_settings(settings), m_root(settings.RootKey())
{
    platform::RegistryStore(m_root).beginBatch();
}

SettingsBatch::~SettingsBatch()
{
    try {
        platform::RegistryStore store(m_root);
        const bool ok = store.endBatch();
        m_settings.written(store, ok);
    } catch (...) {
        // Nothing leaves a destructor; what could not be written is lost as
        // with a single write.
    }
}

void SettingsBatch::write()
{
    platform::RegistryStore store(m_root);
    const bool ok = store.writeBatch();
    m_settings.written(store, ok);
}

int32_t settingInt(const CAppSettings& s, const QString& section, const QString& key, int32_t def)
{
    const auto n = storedNumber(s.GetSetting(section, key, def));
    return n ? toInt32(*n) : def;
}

double settingDouble(const CAppSettings& s, const QString& section, const QString& key, double def)
{
    const auto n = storedNumber(s.GetSetting(section, key, def));
    return n ? *n : def;
}

bool settingBool(const CAppSettings& s, const QString& section, const QString& key, bool def)
{
    const QVariant v = s.GetSetting(section, key, def);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (variantToNumber(v)) {
        const auto n = storedNumber(v);
        return n ? *n != 0.0 : def;
    }
    const auto b = parseBool(v.toString());
    return b ? *b : def;
}

QString settingText(const CAppSettings& s, const QString& section, const QString& key, const QString& def)
{
    const QVariant v = s.GetSetting(section, key, def);
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() == QMetaType::Int)
        return QString::number(v.toInt());
    return def;
}

} // namespace tw
