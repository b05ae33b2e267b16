#pragma once

#include <QString>

#include <cstdint>

// The two values the windows pass on to each other.
namespace current {

// The name of the current child: set by the main window at start-up and by
// the child selection; read by the profile, measurement and report windows.
extern QString userName;

// The month age under test: set by the measurements window just before it
// loads the questionnaire.
extern std::int16_t monthAge;

} // namespace current
