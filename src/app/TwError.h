#pragma once
// The one error type of the program: a number, a source and a description,
// the way every component reports a failure to its caller.

#include <QString>
#include <cstdint>
#include <exception>
#include <string>

namespace tw {

class TwError : public std::exception {
public:
    TwError(int32_t number, QString source, QString description);

    int32_t number() const noexcept { return m_number; }
    const QString& source() const noexcept { return m_source; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int32_t m_number;
    QString m_source;
    QString m_description;
    std::string m_what;
};

// Numbers of the run-time errors that our own code raises where the language
// run-time of a classic desktop program would have raised them.
namespace RunTime {
constexpr int32_t Overflow = 6;
constexpr int32_t SubscriptOutOfRange = 9;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t FileNotFound = 53;
constexpr int32_t BadFileMode = 54;
constexpr int32_t InputPastEnd = 62;
constexpr int32_t PermissionDenied = 70;
constexpr int32_t PathFileAccess = 75; // as when a folder is opened as a file
constexpr int32_t PathNotFound = 76;
constexpr int32_t InvalidProcedureCall = 5;
constexpr int32_t InvalidPropertyValue = 380;
constexpr int32_t ObjectRequired = 424;
} // namespace RunTime

// The number with which the model and component classes replace any failure
// inside one of their public operations.
constexpr int32_t ComponentFailureNumber = static_cast<int32_t>(0x80040064u);

// Raise a run-time error of our own code (source "Tarnwell").
[[noreturn]] void raiseRunTime(int32_t number, const QString& description);

// Describe whatever exception is in flight as a TwError (unknown exceptions
// become a run-time error with a generic text).
TwError currentError();

// The source of a service class's errors: the executable's name without its
// extension, a point and the class name (as in "tarnwell.CAppSettings").
QString serviceSource(const QString& className);

// Runs one public operation of a model or component class: any failure inside
// it is replaced by ComponentFailureNumber with the source
// "Tarnwell.<Class>.<Procedure>" and the text "<Class> component failure".
template <class F>
auto componentCall(const char* className, const char* procedure, F&& body) -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        throw TwError(ComponentFailureNumber,
                      QStringLiteral("Tarnwell.%1.%2").arg(QLatin1String(className), QLatin1String(procedure)),
                      QStringLiteral("%1 component failure").arg(QLatin1String(className)));
    }
}

} // namespace tw
