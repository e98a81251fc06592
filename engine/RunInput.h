#pragma once
// The inputs of one simulation run, as a run reads them from the design at its
// start: numbers converted from the box texts in the units the user entered
// them (litre, cm², mm, ...), counts truncated, item indices, check states.
// Converting to SI units and applying the mirror factor is the engine's job.

#include <array>

namespace velumo {

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

enum class Driver2Mode { Ohne = 0, WieTreiber1 = 1, WerteLtListe = 2 };

struct CrossoverInput {
    // Positions 1..14 (index 0 unused), SI units, filled by the input check.
    std::array<double, 15> R {};
    std::array<double, 15> L {};
    std::array<double, 15> C {};
    std::array<double, 15> invC {};
    bool ignore = false; // CBohneFW
};

struct RunInput {
    // Tab "Treiber"
    DriverInput driver1;
    DriverInput driver2;          // the driver-2 boxes as entered
    int driver2Mode = 0;          // RGTreiber2 item index (-1..2)
    bool driver2Reversed = false; // CBumdrehen
    double ue = 2.83;             // V

    // Horn
    double ah = 200; // cm²
    double l1 = 0;   // m
    double h = 20;   // cm
    double b = 10;   // cm
    double beta1 = 0;
    double beta2 = 0;
    double xT1 = 0;           // m
    double xT2 = 0;           // m
    int kontur = 0;           // CBKontur item index (-1..6)
    int typ = 0;              // CBTyp item index (1 = Rearloaded)
    bool mouthClosed = false; // CBMundGeschl

    // Front chamber, rear chamber, port
    double vvk = 0; // litre
    double lvk = 0; // m
    double bvk = 0;
    double vrk = 20;  // litre
    double lrk = 0.2; // m
    double brk = 500;
    double abr = 0;            // cm²
    bool abrTextIsZero = true; // the text of EditAbr is exactly "0"
    double fbr = 0;            // Hz
    bool fbrTextIsZero = true; // the text of Editfbr is exactly "0"
    double bbr = 0;

    // Absorber chamber
    bool ak = false; // CBAK
    double vak = 0;  // litre
    double aat = 0;  // cm²
    double fak = 0;  // Hz
    double bak = 0;
    double xAK = 0; // m

    // Driver 2 rear chamber
    double vrk2 = 20; // litre
    bool rk2 = false; // CBRK2

    // Extra tunnel
    bool et = false; // CBET
    double aet = 0;  // cm²
    double let = 0;  // m
    double bet = 0;
    double xET = 0;  // m
    double dLET = 0; // m

    // Placement
    int posi = 2;    // CBPosi item index (-1..4)
    double abst = 1; // m
    double dL = 0;   // m
    double dL2 = 0;  // m

    // Crossover; rdcBoxValue is the number in EditRdc as entered
    CrossoverInput crossover;
    double rdcBoxValue = 8;

    // Run options from the axes tab
    bool freqAuto = true;   // CheckListAuto item 8 (after the min >= max rule)
    double freqMin = 0;     // MinMaxGrid row 8, column 0
    double freqMax = 0;     // MinMaxGrid row 8, column 1
    int freqPoints = 100;   // OptionGrid row 0 (N = value - 1)
    int contourPoints = 51; // OptionGrid row 1 (Nc = value - 1)
};

} // namespace velumo
