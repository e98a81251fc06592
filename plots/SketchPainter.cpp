#include "SketchPainter.h"

#include <QPen>
#include <QPolygon>

namespace velumo {

void paintSketchStrokes(QPainter& painter, const SketchGeometry& geometry)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const SketchStroke& stroke : geometry.strokes) {
        if (stroke.points.empty())
            continue;
        QPen pen(stroke.white ? Qt::white : Qt::black);
        pen.setWidth(stroke.width);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        QPolygon polygon;
        polygon.reserve(static_cast<int>(stroke.points.size()));
        for (const SketchPoint& p : stroke.points)
            polygon << QPoint(p.x, p.y);
        if (polygon.size() == 1)
            painter.drawPoint(polygon.first());
        else
            painter.drawPolyline(polygon);
    }
    painter.restore();
}

void drawSketch(QImage& image, const SketchInput& input, MessageSink& sink)
{
    const QSize logical = image.deviceIndependentSize().toSize();
    const SketchGeometry geometry = computeSketch(input, logical.width(), logical.height());
    for (const Message& m : geometry.messages)
        sink.message(m);
    image.fill(Qt::white);
    if (image.isNull())
        return;
    QPainter painter(&image);
    paintSketchStrokes(painter, geometry);
}

QSize sketchPictureSize(QSize clientSize)
{
    return { std::max(1, clientSize.width() - 10), std::max(1, clientSize.height() - 10) };
}

QImage renderSketch(QSize clientSize, const SketchInput& input, MessageSink& sink)
{
    QImage image(sketchPictureSize(clientSize), QImage::Format_RGB32);
    drawSketch(image, input, sink);
    return image;
}

} // namespace velumo
