#pragma once
// The all-elements design of the benchmarks: driver 1 off the throat, driver 2
// with its own chamber, absorber chamber, extra tunnel, tuned port and a
// filled crossover.

#include "Simulation.h"

namespace velumo::bench {

class NullSink : public RunSink {
public:
    void message(const Message&) override {}
    void progress(int) override {}
};

inline RunInput everythingOn()
{
    RunInput in;
    in.driver1 = DriverInput{1, 6.0, 40.0, 0.4, 4.0, 100.0, 100.0, 500.0, 7.0, 15.0, 4.0};
    in.driver2 = DriverInput{1, 8.0, 50.0, 0.5, 3.0, 60.0, 80.0, 300.0, 9.0, 20.0, 3.0};
    in.driver2Mode = 2;
    in.ah = 300;
    in.l1 = 2.0;
    in.h = 60;
    in.b = 50;
    in.beta1 = 1;
    in.beta2 = 2;
    in.xT1 = 0.3;
    in.xT2 = 0.5;
    in.kontur = 2;
    in.vvk = 2;
    in.lvk = 0.1;
    in.vrk = 30;
    in.lrk = 0.3;
    in.abr = 50;
    in.abrTextIsZero = false;
    in.fbr = 35;
    in.fbrTextIsZero = false;
    in.ak = true;
    in.vak = 5;
    in.aat = 20;
    in.fak = 120;
    in.xAK = 1.0;
    in.rk2 = true;
    in.vrk2 = 10;
    in.et = true;
    in.aet = 30;
    in.let = 0.05; // lumped up to c·0.2/LET = 1358 Hz
    in.xET = 1.0;
    in.abst = 2;
    in.rdcBoxValue = 6.0;
    for (int p : {4, 6, 10, 14})
        in.crossover.R[p] = 6e9;
    in.crossover.L[1] = 1.5e-3;
    in.crossover.invC[2] = 1.0 / 68e-6;
    in.crossover.R[5] = 5;
    in.crossover.L[11] = 2.2e-3;
    in.crossover.invC[12] = 1.0 / 33e-6;
    // 170 grid points up to 1 kHz, below every element limit: 169 are computed.
    in.freqAuto = false;
    in.freqMin = 10;
    in.freqMax = 1000;
    in.freqPoints = 170;
    return in;
}

} // namespace velumo::bench
