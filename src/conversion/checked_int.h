// Integer arithmetic of the documents' 16- and 32-bit types: a result outside the target's range
// raises OverflowError and never wraps.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "base/errors.h"

namespace quorbel {

// Returns value as T; throws OverflowError when it does not fit.
template <typename T, typename From>
T CheckedNarrow(From value, const char* what) {
    static_assert(std::is_integral_v<T> && std::is_integral_v<From>);
    if (!std::in_range<T>(value)) {
        throw OverflowError(std::string("overflow: ") + what + " = " + std::to_string(value) +
                            " does not fit a " + std::to_string(8 * sizeof(T)) + "-bit integer");
    }
    return static_cast<T>(value);
}

// Rounds value to the nearest integer, halves to the even neighbour, and returns it as T; throws
// OverflowError when the result does not fit (NaN and infinities included).
template <typename T>
T RoundToInteger(double value, const char* what) {
    const double rounded = std::nearbyint(value);  // default rounding mode: nearest, ties to even
    if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<T>::max()))) {
        throw OverflowError(std::string("overflow: ") + what + " does not fit a " +
                            std::to_string(8 * sizeof(T)) + "-bit integer");
    }
    return static_cast<T>(rounded);
}

// a + b as T; throws OverflowError on overflow.
template <typename T>
T CheckedAdd(T a, T b, const char* what) {
    return CheckedNarrow<T>(static_cast<std::int64_t>(a) + b, what);
}

// a * b as T; throws OverflowError on overflow.
template <typename T>
T CheckedMultiply(T a, T b, const char* what) {
    return CheckedNarrow<T>(static_cast<std::int64_t>(a) * b, what);
}

}  // namespace quorbel
