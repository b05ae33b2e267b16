#include "CurrentValues.h"

namespace current {
QString userName;
std::int16_t monthAge = 0;
} // namespace current
