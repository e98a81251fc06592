#pragma once
// The inputs of one simulation run, as a run reads them from the design at its
// start: numbers converted from the box texts in the units the user entered
// them (litre, cm², mm, ...), counts truncated, item indices, check states.
// Converting to SI units and applying the mirror factor is the engine's job.

#include <array>

namespace velumo {

// The choices of a design, numbered as their items are listed. A value
// outside the list (no item chosen) is read as each use says.
enum class FlareLaw { Parabolic = 0, Conical, Exponential, Hyperbolic, OctalHyperbolic, Geometric, Tractrix };
enum class HornType { FrontLoaded = 0, RearLoaded };
enum class RoomPosition { Free = 0, Floor, HalfSpace, FloorAndWall, Corner };
enum class Driver2Mode { None = 0, LikeDriver1, OwnValues };

// Driver 2 in the network, with the values of driver 1 or its own.
constexpr bool driver2Used(Driver2Mode mode)
{
    return mode == Driver2Mode::LikeDriver1 || mode == Driver2Mode::OwnValues;
}

// The hyperbolic and tractrix laws need a mouth larger than the throat.
constexpr bool needsWiderMouth(FlareLaw law)
{
    return law == FlareLaw::Hyperbolic || law == FlareLaw::OctalHyperbolic || law == FlareLaw::Tractrix;
}

struct DriverInput {
    int stk = 1;    // number of drivers, truncated toward zero (16-bit)
    double rdc = 8; // Ohm
    double fs = 50; // Hz
    double qes = 0.71;
    double qms = 0.71;
    double vas = 60;   // litre
    double pmax = 100; // W, rated power of one driver
    double sd = 200;   // cm²
    double z1k = 8;    // Ohm
    double z10k = 8;   // Ohm
    double xmax = 2;   // mm
};

// Numeric form of the crossover, positions 1..14 (index 0 unused), SI units.
struct CrossoverValues {
    std::array<double, 15> R {};
    std::array<double, 15> L {};
    std::array<double, 15> C {};
    std::array<double, 15> invC {};
};

// The crossover of a run: its values, or none at all.
struct CrossoverInput : CrossoverValues {
    bool ignore = false; // run without the crossover
};

struct RunInput {
    // Drivers
    DriverInput driver1;
    DriverInput driver2;                         // the driver-2 boxes as entered
    Driver2Mode driver2Mode = Driver2Mode::None; // no choice: None
    bool driver2Reversed = false;                // CBumdrehen
    double ue = 2.83;                            // V

    // Horn
    double ah = 200; // cm²
    double l1 = 0;   // m
    double h = 20;   // cm
    double b = 10;   // cm
    double beta1 = 0;
    double beta2 = 0;
    double xT1 = 0;                            // m
    double xT2 = 0;                            // m
    FlareLaw flareLaw = FlareLaw::Parabolic;   // no choice: parabolic
    HornType hornType = HornType::FrontLoaded; // no choice: front-loaded, the port sets no frequency limit
    bool mouthClosed = false;                  // the mouth is closed

    // Front chamber, rear chamber, port
    double vvk = 0; // litre
    double lvk = 0; // m
    double bvk = 0;
    double vrk = 20;  // litre
    double lrk = 0.2; // m
    double brk = 500;
    double abr = 0;            // cm²
    bool abrTextIsZero = true; // the port area was entered as exactly "0"
    double fbr = 0;            // Hz
    bool fbrTextIsZero = true; // the text of Editfbr is exactly "0"
    double bbr = 0;

    // Absorber chamber
    bool ak = false; // absorber chamber switched on
    double vak = 0;  // litre
    double aat = 0;  // cm²
    double fak = 0;  // Hz
    double bak = 0;
    double xAK = 0; // m

    // Driver 2 rear chamber
    double vrk2 = 20; // litre
    bool rk2 = false; // driver-2 rear chamber switched on

    // Extra tunnel
    bool et = false; // extra tunnel switched on
    double aet = 0;  // cm²
    double let = 0;  // m
    double bet = 0;
    double xET = 0;  // m
    double dLET = 0; // m

    // Placement
    RoomPosition position = RoomPosition::HalfSpace; // no choice: as HalfSpace
    double abst = 1;                                 // m
    double dL = 0;                                   // m
    double dL2 = 0;                                  // m

    // Crossover; rdcBoxValue is the driver-1 Rdc as entered
    CrossoverInput crossover;
    double rdcBoxValue = 8;

    // Run options
    bool freqAuto = true;   // automatic simulation range (also when min >= max)
    double freqMin = 0;     // Hz, the simulation range as entered
    double freqMax = 0;     // Hz
    int freqPoints = 100;   // frequency points (N = value - 1)
    int contourPoints = 51; // contour points (Nc = value - 1)
};

} // namespace velumo
