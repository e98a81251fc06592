#pragma once
// Geometry of the horn sketch: a scaled side view of the enclosure, computed
// without any widget so that it can be drawn into a window, an offscreen
// image or checked by a test. Every duct and chamber is drawn with the side
// of a square of its cross-section per box, symmetric about the horn axis.

#include <array>
#include <string>
#include <vector>

#include "Messages.h"
#include "ResultSlot.h"

namespace velumo {

class Design;
struct Model;

// What the sketch reads. Lengths in m, areas in m² and volumes in m³, all
// including the mirror factor n as the run prepared them.
struct SketchInput {
    int n = 1;
    std::array<double, kHornNodes> a {}; // contour of the latest run's slot
    double l = 1.0;                      // horn length
    double dx = 0.01;                    // contour step, l · 0.01
    double ah = 0.0;                     // throat area
    double am = 0.0;                     // mouth area
    bool mouthClosed = false;
    bool rearLoaded = false; // horn type "Rearloaded"

    // Driver 1 with front chamber, rear chamber and port
    double sd = 0.0;
    double xT1 = 0.0;
    int iT1 = 0;
    double vvk = 0.0, lvk = 0.0;
    double lvkText = 0.0; // the front-chamber length box read as a number now
    double vrk = 0.0, lrk = 0.0;
    double abr = 0.0, lbr = 0.0;

    // Absorber chamber and its tunnel
    bool akShown = false;
    bool akTop = false;
    double xAK = 0.0;
    int iAK = 1;
    double aat = 0.0, lat = 0.0, vak = 0.0;

    // Extra tunnel
    bool etShown = false;
    bool etTop = false;
    double xET = 0.0;
    int iET = 1;
    double aet = 0.0, let = 0.0;

    // Driver 2 and its rear chamber
    bool driver2 = false;  // driver-2 mode other than "Ohne"
    bool reversed = false; // "Umdrehen"
    bool t2Top = false;
    bool rk2 = false; // second rear chamber box checked
    double sd2 = 0.0;
    double xT2 = 0.0;
    int iT2 = 1;
    double vrk2 = 0.0;
};

// Collects the sketch input from the latest run's model and contour and the
// present state of the design's boxes (sides, switches, horn type).
SketchInput sketchInputFrom(
    const Model& model, const std::array<double, kHornNodes>& contourA, const Design& design);

struct SketchPoint {
    int x = 0;
    int y = 0;
    bool operator==(const SketchPoint& o) const { return x == o.x && y == o.y; }
};

// A polyline in image pixels; white strokes erase what lies beneath.
struct SketchStroke {
    std::vector<SketchPoint> points;
    bool white = false;
    int width = 1;
};

struct SketchGeometry {
    double L0 = 0.0;                   // left margin, m
    double R0 = 0.0;                   // right margin, m
    double Y0 = 0.1;                   // axis height from the top, m
    double S = 0.0;                    // pixels per metre
    std::vector<SketchStroke> strokes; // in drawing order
    std::vector<Message> messages;     // to be shown before the sketch
};

// The sketch for an image of width × height pixels. A degenerate input (no
// horn length, no room) gives no strokes, never a crash.
SketchGeometry computeSketch(const SketchInput& in, int width, int height);

// Half the side of a square of area a / n.
double sketchHalfWidth(double a, int n);

} // namespace velumo
