#include "workspace/LegEditRules.h"

#include "app/Convert.h"
#include "model/StrategyTemplates.h"
#include "workspace/LegTexts.h"
#include "workspace/ParameterRules.h"

namespace tw {

namespace {

constexpr int32_t kMaxOffset = 10;
constexpr int kStrikeEntries = 2 * kMaxOffset + 1;

// The kind and position of each entry of the leg-kind list, in its order.
struct KindPosition {
    int32_t kind;
    int32_t position;
};
constexpr KindPosition kLegKinds[] = {
    {LegKind::Call, LegPosition::Long},  {LegKind::Call, LegPosition::Short}, {LegKind::Put, LegPosition::Long},
    {LegKind::Put, LegPosition::Short},  {LegKind::Stock, LegPosition::Long}, {LegKind::Stock, LegPosition::Short},
};

} // namespace

QString editorTag(EditField field)
{
    return field == EditField::None ? QString() : QString::number(static_cast<int>(field));
}

EditField editFieldOfTag(const QString& tag)
{
    bool ok = false;
    const int n = tag.toInt(&ok);
    if (!ok || tag != QString::number(n))
        return EditField::None;
    switch (n) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 11:
    case 12:
    case 13:
        return static_cast<EditField>(n);
    default:
        return EditField::None;
    }
}

LegGrid legGridOfField(EditField field)
{
    switch (field) {
    case EditField::Position:
    case EditField::Kind:
    case EditField::StrikeOffset:
    case EditField::ExpirationClass:
    case EditField::Quantity:
        return LegGrid::Params;
    case EditField::SelectedQuantity:
    case EditField::ChainExpiration:
    case EditField::ChainStrike:
    case EditField::LegKind:
        return LegGrid::Selected;
    case EditField::None:
        break;
    }
    return LegGrid::None;
}

QStringList positionEntries()
{
    return {positionText(LegPosition::Short), positionText(LegPosition::Long)};
}

QStringList kindEntries()
{
    return {kindText(LegKind::Put), kindText(LegKind::Call), kindText(LegKind::Stock)};
}

QStringList strikeOffsetEntries(int32_t kind)
{
    QStringList entries;
    for (int i = 0; i < kStrikeEntries; ++i)
        entries.append(strikeOffsetText(kind, kMaxOffset - i));
    return entries;
}

QStringList expirationClassEntries()
{
    QStringList entries;
    for (int32_t c = 1; c <= 7; ++c)
        entries.append(expirationClassText(c));
    return entries;
}

QStringList legKindEntries()
{
    QStringList entries;
    for (const KindPosition& e : kLegKinds)
        entries.append(positionText(e.position) + QLatin1Char(' ') + kindText(e.kind).toLower());
    return entries;
}

int positionEntryIndex(int32_t position, bool newLeg)
{
    if (newLeg)
        return 1;
    return position >= 1 && position <= 2 ? position - 1 : -1;
}

int kindEntryIndex(int32_t kind)
{
    return kind >= 1 && kind <= 3 ? kind - 1 : -1;
}

int strikeEntryIndex(int32_t offset)
{
    if (offset > kMaxOffset)
        return 0;
    if (offset < -kMaxOffset)
        return kStrikeEntries - 1;
    return kMaxOffset - offset;
}

int expirationEntryIndex(int32_t expirationClass)
{
    return expirationClass >= 1 && expirationClass <= 7 ? expirationClass - 1 : -1;
}

int legKindEntryIndex(int32_t kind, int32_t position)
{
    for (int i = 0; i < static_cast<int>(std::size(kLegKinds)); ++i) {
        if (kLegKinds[i].kind == kind && kLegKinds[i].position == position)
            return i;
    }
    return -1;
}

int32_t classOfChainExpirationEntry(int entry, int count)
{
    return count == 6 && entry > 3 ? entry + 2 : entry + 1;
}

QString strikeEntryText(Currency strike, const QLocale& locale)
{
    QString text = QString::number(strike.toDouble(), 'f', 2);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}

bool applyComboChoice(EditField field, const ComboChoice& choice, StrategyItem& leg, bool& newLeg)
{
    const bool selected = choice.index >= 0 && choice.index < choice.count;
    switch (field) {
    case EditField::Position:
        if (choice.text == positionText(LegPosition::Short))
            leg.setPosition(LegPosition::Short);
        else if (choice.text == positionText(LegPosition::Long))
            leg.setPosition(LegPosition::Long);
        else
            return false;
        return true;
    case EditField::Kind:
        if (choice.text == kindText(LegKind::Put)) {
            leg.setItemType(LegKind::Put);
        } else if (choice.text == kindText(LegKind::Call)) {
            leg.setItemType(LegKind::Call);
        } else if (choice.text == kindText(LegKind::Stock)) {
            leg.setItemType(LegKind::Stock);
            if (newLeg) {
                leg.setQuantity(100);
                newLeg = false;
            }
        } else {
            return false;
        }
        return true;
    case EditField::StrikeOffset:
        if (!selected)
            return false;
        leg.setStrikePrice(static_cast<int16_t>(kMaxOffset - choice.index));
        return true;
    case EditField::ExpirationClass:
        if (!selected)
            return false;
        leg.setExpireDate(static_cast<int16_t>(choice.index + 1));
        return true;
    case EditField::ChainExpiration:
        if (!selected)
            return false;
        leg.setExpireDate(static_cast<int16_t>(classOfChainExpirationEntry(choice.index, choice.count)));
        return true;
    case EditField::ChainStrike:
        if (!selected || !choice.itemData)
            return false;
        leg.setStrikePrice(static_cast<int16_t>(*choice.itemData));
        return true;
    case EditField::LegKind: {
        if (!selected || choice.index >= static_cast<int>(std::size(kLegKinds)))
            return false;
        const KindPosition& e = kLegKinds[choice.index];
        leg.setPosition(e.position);
        leg.setItemType(e.kind);
        if (leg.ExpireDate() < 1 || leg.ExpireDate() > 7)
            leg.setExpireDate(3);
        return true;
    }
    case EditField::Quantity:
    case EditField::SelectedQuantity:
    case EditField::None:
        return false;
    }
    return false;
}

std::optional<int16_t> quantityFromText(const QString& text, const QLocale& locale)
{
    const auto value = boxNumber(text, locale);
    if (!value)
        return std::nullopt;
    const double q = roundHalfEven(*value);
    if (q < 1 || q > 32767)
        return std::nullopt;
    return static_cast<int16_t>(q);
}

int16_t shiftedOffset(int16_t offset, int step)
{
    if (step > 0)
        return offset < kMaxOffset ? static_cast<int16_t>(offset + 1) : offset;
    if (step < 0)
        return offset > -kMaxOffset ? static_cast<int16_t>(offset - 1) : offset;
    return offset;
}

} // namespace tw
