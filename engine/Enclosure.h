#pragma once
// The enclosure elements around the horn, sized once per run: front chamber,
// rear chamber and port, driver-2 rear chamber, absorber chamber with its
// tunnel, extra tunnel. Switched-off elements get harmless substitutes so
// that the network keeps its shape.

#include <vector>

#include "Model.h"
#include "RunInput.h"
#include "RunResult.h"

namespace velumo {

// Fills m.encl (needs m.n, the driver groups and m.horn): element sizes in SI
// units incl. n, port and tunnel lengths from their tunings, the listening
// point and Vgesamt. A port or absorber tunnel that would need a negative
// length is reported in `messages` and gets a harmless length.
void setUpEnclosure(const RunInput& in, Model& m, std::vector<RunMessage>& messages);

// The derived values of the enclosure: the tunnel length of an active
// absorber chamber, VHorn, the port length when a tuned port is entered,
// Vgesamt.
void addEnclosureValues(const RunInput& in, const Model& m, DerivedValues& d);

// Damping resistances of the chambers, port and tunnels at omega (rad/s),
// each growing in proportion to frequency.
struct DampingResistances {
    double Rvk = 0; // front chamber
    double Rrk = 0; // rear chamber
    double Rbr = 0; // bass-reflex port
    double RAK = 0; // absorber tunnel
    double RET = 0; // extra tunnel
};
DampingResistances dampingResistances(const EnclosureModel& e, double omega);

} // namespace velumo
