#pragma once
// Complex pair of the simulation. Products and quotients use the plain
// textbook formulas without scaling, so every result bit is reproducible;
// std::complex may scale its division and is therefore not used.

#include <cmath>

namespace velumo {

struct Cx {
    double re = 0.0;
    double im = 0.0;

    constexpr Cx() = default;
    constexpr Cx(double r, double i = 0.0)
        : re(r)
        , im(i)
    {
    }
};

// The imaginary unit; "X / j" is a full quotient by it.
inline constexpr Cx j { 0.0, 1.0 };

inline Cx operator+(Cx a, Cx b) { return { a.re + b.re, a.im + b.im }; }
inline Cx operator-(Cx a, Cx b) { return { a.re - b.re, a.im - b.im }; }
inline Cx operator-(Cx a) { return { -a.re, -a.im }; }

// A real operand touches only the real part.
inline Cx operator+(Cx a, double r) { return { a.re + r, a.im }; }
inline Cx operator+(double r, Cx a) { return { r + a.re, a.im }; }
inline Cx operator-(Cx a, double r) { return { a.re - r, a.im }; }

// (ac − bd) + j(bc + ad)
inline Cx operator*(Cx a, Cx b) { return { a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im }; }
inline Cx operator*(Cx a, double r) { return { a.re * r, a.im * r }; }
inline Cx operator*(double r, Cx a) { return { r * a.re, r * a.im }; }

// ((ac + bd) + j(bc − ad)) / (c² + d²), no scaling.
inline Cx operator/(Cx a, Cx b)
{
    const double den = b.re * b.re + b.im * b.im;
    return { (a.re * b.re + a.im * b.im) / den, (a.im * b.re - a.re * b.im) / den };
}
// Component-wise by a real divisor.
inline Cx operator/(Cx a, double r) { return { a.re / r, a.im / r }; }

inline bool operator==(Cx a, Cx b) { return a.re == b.re && a.im == b.im; }
inline bool operator!=(Cx a, Cx b) { return !(a == b); }

inline double abs(Cx a) { return std::sqrt(a.re * a.re + a.im * a.im); }
inline bool isZero(Cx a) { return a.re * a.re + a.im * a.im == 0.0; }
inline bool isFinite(Cx a) { return std::isfinite(a.re) && std::isfinite(a.im); }

} // namespace velumo
