#pragma once
// Physical constants of the simulation, SI units. pi is deliberately the
// rounded value: every simulation formula uses it, and results depend on it.

#include <cmath>

namespace velumo {

inline constexpr double kKappaP0 = 141820.0;         // Pa, adiabatic bulk modulus of air (rho·c²)
inline constexpr double kRho = 1.23;                 // kg/m³, density of air
inline constexpr double kPi = 3.1415927;             // the rounded circle constant of every formula
inline const double kC = std::sqrt(kKappaP0 / kRho); // m/s, speed of sound (339.5597)

} // namespace velumo
