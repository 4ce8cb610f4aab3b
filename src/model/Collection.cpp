#include "model/Collection.h"

namespace tw::collection_detail {

void badPosition()
{
    raiseRunTime(RunTime::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
}

void badKey()
{
    raiseRunTime(RunTime::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
}

void duplicateKey()
{
    raiseRunTime(DuplicateKey, QStringLiteral("This key is already associated with an element of this collection"));
}

void missingObject()
{
    raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
}

} // namespace tw::collection_detail
