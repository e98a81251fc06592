#pragma once
// Real special functions of the simulation. Each follows one fixed
// approximation (series lengths, switch-over points, caps), because the
// results of a run depend on these exact values; pi is kPi throughout.

namespace velumo {

// a! in double, recursively; 1 for a <= 1.
double factorial(int a);

// Gamma(x) for x > 0: reduced to x <= 3, then the 100-factor Gauss product
// (so Gamma(2) = 100/101, not 1).
double gammaFunction(double x);

// J_nu(x) for nu >= 0, x >= 0: large-argument cosine form above 5·(nu + 1),
// otherwise the 51-term power series.
double besselJ(int nu, double x);

// 2·J1(x)/x of the piston radiation resistance, x >= 0; the series (x <= 10)
// is capped at 1, the large-argument form is not.
double pistonR(double x);

// Stand-in for the Struve function H1(x) of the piston radiation reactance.
double pistonX(double x);

// pistonR(x) and pistonX(x) at once, bit for bit the same values, faster:
// the factorials and Gamma values are computed once per program, the three
// series share their powers of x/2, and each ends where no further term can
// change its sum. The functions above stay literal as the reference.
struct PistonParts {
    double r = 0; // pistonR(x)
    double x = 0; // pistonX(x)
};
PistonParts pistonParts(double x);

// Integral of cosh(k·x)^p for x from a to b, 1 <= p <= 16, k != 0, every
// intermediate value in single precision.
float coshPowerIntegral(float a, float b, int p, float k);

// Axial distance from the point where a tractrix of constant a has radius y
// to the point where its radius is a; 0 when y >= a.
double tractrixX(double a, double y);

// Tractrix constant a (m) for a radius growing from rH to rM over the axial
// length L, by 51 bisection steps. A result below rM means no tractrix of
// that length reaches rM.
double tractrixConstant(double L, double rH, double rM);

// Tractrix radius (m) at the axial distance x from the throat, by 51
// bisection steps; the constant is computed afresh at every call.
double tractrixRadius(double L, double rH, double rM, double x);

} // namespace velumo
