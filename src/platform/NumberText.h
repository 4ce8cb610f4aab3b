#pragma once
// Numbers as the user reads them.

#include <QChar>
#include <QString>

#include <algorithm>

namespace tw::platform {

// The text of a number that reads as zero carries no sign: "-0.00" (a value a
// little under zero, written with the decimals shown) reads "0.00".
inline QString withoutSignedZero(QString text)
{
    const bool signedText = !text.isEmpty() && (text.front() == u'-' || text.front() == QChar(0x2212));
    const bool digits = std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
    const bool zero = std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit() && c.digitValue() != 0; });
    if (signedText && digits && zero)
        text.remove(0, 1);
    return text;
}

} // namespace tw::platform
