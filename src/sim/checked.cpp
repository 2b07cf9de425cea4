#include "sim/checked.h"

namespace skarvel::sim {

void ThrowArithmetic(const char* what) {
    throw ArithmeticError(what);
}

} // namespace skarvel::sim
