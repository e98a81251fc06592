#pragma once
// The four stored runs that the graphs overlay, the slot the next run writes
// (CurveSlot) and the colour squares that show and choose it.

#include <QColor>
#include <QImage>

#include <array>
#include <cstdint>

#include "AxisScale.h"

namespace velumo {

// Pen colour per slot: black, red, green, blue.
QColor SlotColour(int slot);

class ResultSlots {
public:
    // Starts empty (ClearValues) with CurveSlot 0.
    ResultSlots();

    SlotArray& all() { return m_slots; }
    const SlotArray& all() const { return m_slots; }
    ResultSlot& slot(int s) { return m_slots.at(static_cast<size_t>(s)); }
    const ResultSlot& slot(int s) const { return m_slots.at(static_cast<size_t>(s)); }

    // CurveSlot: the slot the next run writes, 0..3 (other values are ignored).
    int curveSlot() const { return m_curveSlot; }
    void setCurveSlot(int s);

    // The slot a run is about to write; remembered as the last written one,
    // whose contour the sketch shows.
    ResultSlot& beginRun();
    int lastWrittenSlot() const { return m_lastWritten; }
    // End of a run with the colour option on: CurveSlot moves on cyclically.
    void advanceCurveSlot();

    // Empties every slot: only grids remain to be drawn.
    void ClearValues();
    bool anyFilled() const;

private:
    SlotArray m_slots;
    std::int16_t m_curveSlot = 0;
    int m_lastWritten = 0;
};

// One colour square of DrawEvoImages, size × size logical pixels: the
// background with an inner square of the slot colour from (2, 2) to
// (size − 2, size − 2); the square of the selected slot is filled entirely,
// so it looks larger. dpr > 1 gives a sharp square on high-density screens.
QImage evoSquareImage(int slot, int curveSlot, const QColor& background, int size = 15, qreal dpr = 1.0);

// DrawEvoImages: repaints all four squares.
void DrawEvoImages(std::array<QImage, kSlotCount>& squares, int curveSlot, const QColor& background,
    int size = 15, qreal dpr = 1.0);

} // namespace velumo
