#include "ResultSlots.h"

#include <QPainter>

namespace velumo {

QColor SlotColour(int slot)
{
    switch (slot) {
    case 1:
        return QColor(255, 0, 0);
    case 2:
        return QColor(0, 128, 0);
    case 3:
        return QColor(0, 0, 255);
    default:
        return QColor(0, 0, 0);
    }
}

ResultSlots::ResultSlots() { ClearValues(); }

void ResultSlots::setCurveSlot(int s)
{
    if (s >= 0 && s < kSlotCount)
        m_curveSlot = static_cast<std::int16_t>(s);
}

ResultSlot& ResultSlots::beginRun()
{
    m_lastWritten = m_curveSlot;
    return m_slots[static_cast<size_t>(m_curveSlot)];
}

void ResultSlots::advanceCurveSlot()
{
    m_curveSlot = static_cast<std::int16_t>((m_curveSlot + 1) % kSlotCount);
}

void ResultSlots::ClearValues()
{
    for (ResultSlot& s : m_slots)
        clearSlot(s);
}

bool ResultSlots::anyFilled() const
{
    for (const ResultSlot& s : m_slots)
        if (s.isFilled())
            return true;
    return false;
}

QImage evoSquareImage(int slot, int curveSlot, const QColor& background, int size, qreal dpr)
{
    const int device = qMax(1, qRound(size * dpr));
    QImage image(device, device, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    QPainter painter(&image);
    painter.fillRect(QRectF(0, 0, size, size), background);
    const QColor colour = SlotColour(slot);
    if (slot == curveSlot)
        painter.fillRect(QRectF(0, 0, size, size), colour);
    else
        painter.fillRect(QRectF(2, 2, size - 4, size - 4), colour);
    return image;
}

void DrawEvoImages(
    std::array<QImage, kSlotCount>& squares, int curveSlot, const QColor& background, int size, qreal dpr)
{
    for (int s = 0; s < kSlotCount; ++s)
        squares[static_cast<size_t>(s)] = evoSquareImage(s, curveSlot, background, size, dpr);
}

} // namespace velumo
