#pragma once
// Shared pieces of the plot tests: one QApplication for the whole test
// program (offscreen unless a platform is chosen) and synthetic results that
// look like a real run without needing the simulation.

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <cmath>
#include <complex>

#include "ResultSlot.h"

namespace velumo::test {

inline QApplication& guiApp()
{
    static int argc = 1;
    static char name[] = "velumo_plots_tests";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's input-device list may be torn down before a
    // function-local static application at exit, which then crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Resizes a shown window so that its outer size (frame included) is the
// given one, as dragging its border does; platforms differ in frame size.
inline void setOuterSize(QWidget& window, QSize outer)
{
    window.resize(outer - (window.frameGeometry().size() - window.size()));
    settle();
}

// Frequencies of a run: n points logarithmically from fLow to fHigh, written
// like a run does it, with one more point above the upper limit that ends it.
inline void fillFrequencies(ResultSlot& slot, int n, double fLow, double fHigh)
{
    const double step = std::pow(fHigh / fLow, 1.0 / (n - 1));
    for (int i = 0; i <= n && i < kSlotPoints; ++i)
        slot.frequency[static_cast<size_t>(i)] = fLow * std::pow(step, i);
    slot.upperLimit = fHigh * 1.0001;
}

// A flat level everywhere: easy to find in the picture.
inline void fillFlat(ResultSlot& slot, double spl, double zel)
{
    fillFrequencies(slot, 100, 10.0, 20000.0);
    for (int i = 0; i <= 100; ++i) {
        const auto k = static_cast<size_t>(i);
        slot.spl[k] = spl;
        slot.splMax[k] = spl + 20.0;
        slot.zel[k] = zel;
        slot.x1[k] = 2.0;
        slot.x2[k] = 1.0;
        slot.pmax1[k] = 50.0;
        slot.pmax2[k] = 25.0;
        slot.zReal[k] = 0.5;
        slot.zImag[k] = -0.5;
        slot.phase[k] = 45.0;
    }
}

// A horn-like run: band-pass level (2nd-order high-pass at fc, first-order
// roll-off above fTop), driver impedance with its resonance peak, excursion
// of a 2nd-order system and the radiation load of a piston.
inline void fillBandPass(ResultSlot& slot, double level, double fc, double fTop)
{
    fillFrequencies(slot, 100, 10.0, 20000.0);
    using C = std::complex<double>;
    for (int i = 0; i <= 100; ++i) {
        const auto k = static_cast<size_t>(i);
        const double f = slot.frequency[k];
        const C s(0.0, f / fc);
        const C h = s * s / (s * s + s / 0.7 + 1.0) / C(1.0, f / fTop);
        slot.spl[k] = level + 20.0 * std::log10(std::abs(h));
        slot.splMax[k] = slot.spl[k] + 25.0 - 10.0 * std::log10(1.0 + fc / f);
        slot.zel[k] = 6.0 + 30.0 / std::abs(C(1.0, 4.0 * (f / fc - fc / f))) + 0.002 * f;
        const double x = 4.0 / std::abs(C(1.0 - (f / fc) * (f / fc), f / (0.7 * fc)));
        slot.x1[k] = x;
        slot.x2[k] = 0.5 * x;
        slot.pmax1[k] = std::min(200.0, 20.0 * (1.0 + (f / fc) * (f / fc)));
        slot.pmax2[k] = 0.5 * slot.pmax1[k];
        const double ka = f / (8.0 * fc);
        slot.zReal[k] = ka * ka / (1.0 + ka * ka);
        slot.zImag[k] = ka / (1.0 + ka * ka);
        slot.phase[k] = std::arg(h) * 180.0 / 3.141592653589793;
    }
}

} // namespace velumo::test
