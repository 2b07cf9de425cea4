#pragma once
// Checked arithmetic. A computation that meets a division by zero, an overflow
// or a value outside a function's domain throws ArithmeticError at that point;
// each computation that must end quietly catches it at its own boundary.

#include <cmath>
#include <stdexcept>

namespace skarvel::sim {

class ArithmeticError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowArithmetic(const char* what);

inline double requireFinite(double x) {
    if (!std::isfinite(x)) {
        ThrowArithmetic("floating-point overflow");
    }
    return x;
}

// The divisor itself is checked: a quotient by zero must fail even where a
// later operation would hide it (exp(-(r/0)^2) would quietly become 0).
inline double checkedDiv(double a, double b) {
    if (b == 0.0) {
        ThrowArithmetic("division by zero");
    }
    return requireFinite(a / b);
}

inline double checkedSqrt(double x) {
    if (!(x >= 0.0)) {
        ThrowArithmetic("square root of a negative number");
    }
    return std::sqrt(x);
}

inline double checkedLog10(double x) {
    if (!(x > 0.0)) {
        ThrowArithmetic("logarithm of a number that is not positive");
    }
    return std::log10(x);
}

inline double checkedAsin(double x) {
    if (!(x >= -1.0 && x <= 1.0)) {
        ThrowArithmetic("arcsine outside -1 to 1");
    }
    return std::asin(x);
}

} // namespace skarvel::sim
