#pragma once
// The rules of the leg grids' in-cell editors, apart from the widgets: which
// field an editor's tag stands for, the entries each list offers, the entry
// an editor opens on, and what a choice writes into the leg template. Also
// the quantity the text editor accepts and the one-step strike shift.

#include "model/Currency.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tw {

class StrategyItem;

// The field an editor was opened for. The editor's tag holds the number:
// 1..5 edit the template-leg grid, 11, 12, 13 and 6 the evaluated-leg grid.
enum class EditField {
    None = 0,
    Position = 1,        // "Short" / "Long"
    Kind = 2,            // "Put" / "Call" / "Stock"
    StrikeOffset = 3,    // "OTM (+10)" .. "ITM (-10)"
    ExpirationClass = 4, // "Near term 1" .. "LEAPS 2y"
    Quantity = 5,        // text
    SelectedQuantity = 6,
    ChainExpiration = 11, // an expiration of the chain
    ChainStrike = 12,     // a strike of the leg's chain expiration
    LegKind = 13,         // "Long call" .. "Short stock"
};

QString editorTag(EditField field);
// EditField::None for a tag that names no field.
EditField editFieldOfTag(const QString& tag);

// The leg grid whose cell an editor of that field was opened on.
enum class LegGrid { None, Params, Selected };
LegGrid legGridOfField(EditField field);

// The lists, in the order the editors show them.
QStringList positionEntries();
QStringList kindEntries();
// 21 entries for the offsets +10 down to -10, worded for the kind's side
// ("OTM (+10)" for a call is "ITM (+10)" for a put).
QStringList strikeOffsetEntries(int32_t kind);
QStringList expirationClassEntries();
QStringList legKindEntries();

// The entry an editor opens on; -1 for none.
// A leg just appended opens on "Long" whatever it holds.
int positionEntryIndex(int32_t position, bool newLeg);
int kindEntryIndex(int32_t kind);
// Entry i stands for the offset 10 - i; an offset beyond the list opens on
// its nearer end.
int strikeEntryIndex(int32_t offset);
int expirationEntryIndex(int32_t expirationClass);
int legKindEntryIndex(int32_t kind, int32_t position);

// The expiration class that chain expiration entry `entry` (0-based) stands
// for in a chain of `count` expirations: with six, the 5th and 6th are the
// two LEAPS classes.
int32_t classOfChainExpirationEntry(int entry, int count);

// A strike as the strike list shows it: two decimals, no grouping, no 0
// before the separator of a strike below 1 ("45.00", "7.50", ".50").
QString strikeEntryText(Currency strike, const QLocale& locale);

// What the combo editor holds when it is left.
struct ComboChoice {
    int index = -1; // the selected entry, -1 for none
    int count = 0;  // the number of entries
    QString text;   // the selected entry's text
    std::optional<int32_t> itemData; // the selected entry's item data
};

// Writes the choice into the leg by the field; returns true when a field was
// written. Picking "Stock" for a leg just appended (`newLeg`) gives it
// quantity 100 and clears `newLeg`. No selected entry writes nothing.
bool applyComboChoice(EditField field, const ComboChoice& choice, StrategyItem& leg, bool& newLeg);

// The quantity typed into the text editor, read in the locale's number
// format (a fraction rounds to the nearest whole number, a half to the even
// one); nothing for a text that is not a number or a quantity outside
// 1..32767.
std::optional<int16_t> quantityFromText(const QString& text, const QLocale& locale);

// An option leg's strike offset moved one step up (step > 0) or down; an
// offset at the end of the range (+10 up, -10 down) stays where it is.
int16_t shiftedOffset(int16_t offset, int step);

} // namespace tw
