#pragma once
#include "app/TwError.h"

#include <functional>

namespace tw::test {

// The number of the TwError that `f` raises, or 0 when it raises none.
inline int32_t errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const TwError& e) {
        return e.number();
    }
    return 0;
}

} // namespace tw::test
