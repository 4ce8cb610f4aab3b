#include "workspace/ParameterRules.h"

#include "app/Convert.h"

#include <cmath>

namespace tw {

std::optional<double> boxNumber(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double v = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool volatilityAccepted(double percent)
{
    return percent > 0 && percent < 200;
}

bool rateAccepted(double percent)
{
    return std::isfinite(percent) && percent > -100 && percent < 1000;
}

QString escapeText(double value, const QLocale& locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(value, 'g', 15);
}

StepsDecision decideSteps(const QString& text, const QLocale& locale)
{
    StepsDecision d;
    const auto v = boxNumber(text, locale);
    if (!v || std::fabs(*v) > 2147483647.0)
        return d;
    d.steps = static_cast<int>(roundHalfEven(*v));
    if (d.steps < 1 || d.steps > 200)
        d.kind = StepsDecision::Refuse;
    else if (d.steps > 50)
        d.kind = StepsDecision::Confirm;
    else
        d.kind = StepsDecision::Accept;
    return d;
}

QString tickerOfCode(const QString& code)
{
    const qsizetype blank = code.indexOf(QLatin1Char(' '));
    return blank < 0 ? code : code.left(blank);
}

} // namespace tw
