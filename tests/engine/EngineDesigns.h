#pragma once
// Designs and sinks shared by the engine tests of the network and the run.

#include <vector>

#include "Messages.h"
#include "RunInput.h"

namespace velumo::test {

// Keeps the messages of a run in words and its progress.
class RecordingSink {
public:
    void message(const Message& m) { messages.push_back(m); }
    void progress(int percent) { progressValues.push_back(percent); }
    std::vector<Message> messages;
    std::vector<int> progressValues;
};

// Frontloaded exponential horn with front and rear chamber and a tuned port;
// driver 2, absorber chamber and extra tunnel off, empty crossover.
inline RunInput baseDesign()
{
    RunInput in;
    in.driver1 = DriverInput { 1, 6.0, 40.0, 0.4, 4.0, 100.0, 100.0, 500.0, 7.0, 15.0, 4.0 };
    in.driver2 = DriverInput { 1, 8.0, 50.0, 0.5, 3.0, 60.0, 80.0, 300.0, 9.0, 20.0, 3.0 };
    in.driver2Mode = Driver2Mode::None;
    in.ue = 2.83;
    in.ah = 300;
    in.l1 = 2.0;
    in.h = 60;
    in.b = 50;
    in.beta1 = 1;
    in.beta2 = 2;
    in.xT1 = 0;
    in.xT2 = 0.5;
    in.flareLaw = FlareLaw::Exponential;
    in.hornType = HornType::FrontLoaded;
    in.vvk = 2;
    in.lvk = 0.1;
    in.bvk = 10;
    in.vrk = 30;
    in.lrk = 0.3;
    in.brk = 300;
    in.abr = 50;
    in.abrTextIsZero = false;
    in.fbr = 35;
    in.fbrTextIsZero = false;
    in.bbr = 5;
    in.vak = 5;
    in.aat = 20;
    in.fak = 120;
    in.bak = 10;
    in.xAK = 1.0;
    in.vrk2 = 10;
    in.aet = 30;
    in.let = 0.2;
    in.bet = 5;
    in.xET = 1.0;
    in.dLET = 0.3;
    in.position = RoomPosition::HalfSpace;
    in.abst = 2;
    in.dL = 0.5;
    in.dL2 = 0.2;
    in.rdcBoxValue = in.driver1.rdc;
    for (int p : { 2, 4, 6, 10, 12, 14 })
        in.crossover.R[p] = 1e9 * in.rdcBoxValue;
    in.freqAuto = true;
    in.freqPoints = 100;
    in.contourPoints = 51;
    return in;
}

// Every element switched on: driver 1 off the throat, driver 2 with own values
// and chamber, absorber chamber, extra tunnel, a filled crossover.
inline RunInput everythingOnDesign()
{
    RunInput in = baseDesign();
    in.xT1 = 0.3;
    in.driver2Mode = Driver2Mode::OwnValues;
    in.rk2 = true;
    in.ak = true;
    in.et = true;
    in.crossover.L[1] = 1.5e-3;
    in.crossover.C[2] = 68e-6;
    in.crossover.invC[2] = 1.0 / 68e-6;
    in.crossover.R[2] = 0;
    in.crossover.R[3] = 0.2;
    in.crossover.R[5] = 5;
    in.crossover.L[8] = 0.2e-3;
    in.crossover.L[11] = 2.2e-3;
    in.crossover.C[12] = 33e-6;
    in.crossover.invC[12] = 1.0 / 33e-6;
    in.crossover.R[12] = 0;
    return in;
}

} // namespace velumo::test
