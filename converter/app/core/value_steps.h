// How a value lands on its step: the settings reader and the parameter dialogs round alike,
// so that what a dialog stores reads back from the settings file unchanged.
#pragma once

#include <cmath>

namespace ondrel {

// The nearest multiple of 1 / perUnit, halves to even (perUnit 1, 4, 8 or 10).
inline double OnStepOf(double v, double perUnit) { return std::nearbyint(perUnit * v) / perUnit; }

// The nearest multiple of 10, halves to even.
inline double OnTens(double v) { return 10 * std::nearbyint(v / 10); }

} // namespace ondrel
