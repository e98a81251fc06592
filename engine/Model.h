#pragma once
// Run-wide model values: everything a run derives from its inputs before the
// frequency loop. SI units; areas, volumes and driver counts include the
// mirror factor n, driver resistances are divided by Stk·n.

#include <array>

#include "RunInput.h"

namespace velumo {

constexpr int kMaxRunPoints = 169; // a run computes at most this many points
constexpr int kHornNodes = 101;    // horn nodes 0..100

struct DriverGroup {
    int stk = 1;    // number of drivers of the group (16-bit)
    double rdc = 0; // Ohm, Rdc / (Stk·n)
    double fs = 0;  // Hz
    double qes = 0;
    double qms = 0;
    double vas = 0;  // m³, Vas·Stk·n·0.001
    double pmax = 0; // W, rated power of one driver
    double sd = 0;   // m², Sd·Stk·n·0.0001
    double z1k = 0;  // Ohm, / (Stk·n)
    double z10k = 0; // Ohm, / (Stk·n)
    double xmax = 0; // m
    double cms = 0;  // m/N
    double mms = 0;  // kg
    double rms = 0;  // kg/s
    double bl = 0;   // N/A
    double k = 0;    // lossy voice-coil model: a(f) = K·f^nL
    double nL = 1;
};

struct HornModel {
    FlareLaw law = FlareLaw::Parabolic;
    double ah = 0;     // m², throat area incl. n
    double am = 0;     // m², mouth area incl. n
    double l1 = 0;     // m (0 replaced by sqrt(Am)·1e-6)
    double dx = 0;     // m, l1·0.01
    double rMouth = 0; // m, sqrt(Am / pi) from the entered mouth area
    double vHorn = 0;  // m³ incl. n
    double aTr = 0;    // m, tractrix constant (tractrix only)
    std::array<double, kHornNodes> x {};
    std::array<double, kHornNodes> a {};    // m² incl. n
    std::array<double, kHornNodes> aOne {}; // cm², one real horn
    double beta1 = 0;
    double beta2 = 0;
    int n1 = 0;     // node of driver 1 (0..99)
    int n2 = 1;     // node of driver 2 (1..99)
    int nAK = 1;    // node of the absorber chamber (1..99)
    int nET = 1;    // node of the extra tunnel (1..99)
    double xT1 = 0; // m
    double xT2 = 0; // m
    bool mouthClosed = false;
    // Frequency-free parts of the per-point horn values, formed with the
    // operations those values start with: (beta1 + (beta2 − beta1)·x / l1)
    // ·dx / A, (+0 / A) / dx and (dx·(+0)) / A.
    std::array<double, kHornNodes> dampingBase {};
    std::array<double, kHornNodes> complianceRe {};
    std::array<double, kHornNodes> massRe {};
};

struct EnclosureModel {
    bool rearLoaded = false; // HornType::RearLoaded
    // Front chamber
    double vvk = 0, lvk = 0, bvk = 0;
    // Rear chamber and port
    double vrk = 0, lrk = 0, brk = 0;
    double abr = 0, lbr = 0, rBR = 0, bbr = 0;
    bool hasPort = false; // front-loaded and the port area not entered as "0"
    // Driver-2 rear chamber
    double vrk2 = 0;
    bool rk2Used = false;    // chamber switched on and driver 2 used
    bool rk2Checked = false; // chamber switched on (Zrad_m2 = 0, no driver-2 term)
    // Absorber chamber and tunnel
    bool akChecked = false; // switched on: the loop is stamped
    bool akActive = false;  // switched on and fAK != 0 and VAK != 0
    double aat = 0, lat = 0, vak = 0, bak = 0, fak = 0, xAK = 0;
    // Extra tunnel
    bool etChecked = false; // switched on
    bool etActive = false;  // switched on and AET entry != 0
    double aet = 0, let = 0, dLET = 0, rET = 0, bet = 0, xET = 0;
    // Listening point
    double abst = 0, dL = 0, dL2 = 0;
    double vGesamt = 0; // litre, one real enclosure
};

struct Model {
    int n = 1; // mirror factor 1, 2 or 4
    RoomPosition position = RoomPosition::HalfSpace;
    double ue = 0; // V
    DriverGroup d1;
    DriverGroup d2;
    Driver2Mode driver2Mode = Driver2Mode::None; // None, LikeDriver1 or OwnValues
    bool driver2Reversed = false;
    double r2 = 0; // m, sqrt(Sd2 / pi)
    HornModel horn;
    EnclosureModel encl;
    double rdcBoxValue = 0; // driver-1 Rdc as entered (crossover open value)

    // Frequency grid of the run
    double fmin = 10, fmax = 20000;
    int nPoints = 99;    // N: grid points 0..N
    double fLim = 20000; // upper frequency limit of the run
};

} // namespace velumo
