#pragma once
// What a run gives back: its status, the inputs it refused or stopped on,
// its messages as codes with their numbers, the derived values, the contour
// list points and the results of every computed frequency point. Wording,
// lists and pictures are made from it outside the engine.

#include <optional>
#include <vector>

#include "Model.h"
#include "Results.h"

namespace velumo {

// The inputs of a run, by meaning. The eleven driver values of driver 2
// follow those of driver 1 in the same order (see driver2Twin).
enum class RunInputId {
    Rdc,
    Fs,
    Qes,
    Qms,
    Vas,
    Pmax,
    Sd,
    Xmax,
    Stk,
    Z1k,
    Z10k,
    Rdc2,
    Fs2,
    Qes2,
    Qms2,
    Vas2,
    Pmax2,
    Sd2,
    Xmax2,
    Stk2,
    Z1k2,
    Z10k2,
    Ue,
    Ah,
    H,
    B,
    L1,
    Beta1,
    Beta2,
    XT1,
    XT2,
    FlareLaw,
    Vvk,
    Lvk,
    Bvk,
    Vrk,
    Lrk,
    Brk,
    Abr,
    Fbr,
    Bbr,
    Vak,
    Aat,
    Fak,
    Bak,
    XAK,
    Vrk2,
    Aet,
    Let,
    Bet,
    XET,
    Abst,
    Crossover,      // a crossover element value
    FrequencyRange, // the simulation range of the axes tab
    Resolution,     // frequency or contour points
};

inline constexpr int kDriverValueCount = 11;

// The driver-2 input of a driver-1 value; any other input unchanged.
constexpr RunInputId driver2Twin(RunInputId id)
{
    return static_cast<int>(id) < kDriverValueCount
        ? static_cast<RunInputId>(static_cast<int>(id) + kDriverValueCount)
        : id;
}

enum class RunStatus {
    Ok,      // at least two points computed
    Refused, // an input the run cannot take (a zero divisor, a negative size)
    Failed,  // the model or a point gave no finite value, or fewer than two points
};

// Why a run stopped before its frequency loop.
enum class RunStop {
    None,
    ContourNotFinite, // the horn contour holds a value that is not finite
    DerivedNotFinite, // a derived value is not finite
};

enum class RunMessageCode {
    TractrixShortened,    // value: the mouth height the tractrix reaches, cm
    PortLengthNegative,   // the tuned port would need a negative length
    TunnelLengthNegative, // the absorber tunnel would need a negative length
    PointNotFinite,       // value: the frequency (Hz); the run ends there
    TooFewPoints,         // fewer than two points were computed
};

struct RunMessage {
    RunMessageCode code;
    double value = 0;
};

// Figures of one driver group as the user reads them: one driver, one real
// enclosure.
struct DriverFigures {
    double cms = 0; // mm/N
    double mms = 0; // g
    double rms = 0; // kg/s
    double bl = 0;  // N/A
    double pe = 0;  // W at the entered voltage
    double qts = 0;
};

struct DerivedValues {
    DriverFigures driver1;
    std::optional<DriverFigures> driver2; // driver 2 with values of its own
    std::optional<double> tractrixRadius; // m, tractrix law only
    std::optional<double> tunnelLength;   // cm, active absorber chamber only
    double hornVolume = 0;                // litre, one real horn
    std::optional<double> portLength;     // cm, a tuned port only
    double totalVolume = 0;               // litre, one real enclosure
};

// One row of the contour list: one real horn at distance x from the throat.
struct ContourPoint {
    double x = 0;      // m
    double area = 0;   // cm²
    double height = 0; // cm, at the entered mouth width
    double radius = 0; // cm, of a round horn of that area
};

struct RunResult {
    RunStatus status = RunStatus::Ok;
    std::optional<RunInputId> refused; // when Refused
    RunStop stop = RunStop::None;
    std::vector<RunInputId> stopInputs; // the inputs concerned by `stop`, each once
    std::vector<RunMessage> messages;   // in the order they arose
    Model model;                        // the run-wide model (not when Refused)
    DerivedValues derived;              // not when Refused
    std::vector<ContourPoint> contour;  // empty when Refused or stopped
    std::vector<PointResults> points;   // computed and finite, up to the first failure
};

} // namespace velumo
