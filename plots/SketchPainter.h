#pragma once
// Draws the horn sketch computed by SketchGeometry with a QPainter, so the
// sketch window, the report and the tests share one drawing.

#include <QImage>
#include <QPainter>

#include "Messages.h"
#include "SketchGeometry.h"

namespace velumo {

// Draws the strokes, each in black or white at its width, without
// antialiasing so that a white stroke erases exactly what a black one drew.
void paintSketchStrokes(QPainter& painter, const SketchGeometry& geometry);

// DrawSketch: fills the image white and draws the sketch of the input into
// it; the notes about zero chamber lengths go to the sink first. The sketch
// is laid out in the image's logical pixels, so a high-density image shows
// the same drawing, only sharper.
void drawSketch(QImage& image, const SketchInput& input, MessageSink& sink);

// Logical size of the sketch a window of the given client size shows: 10
// pixels smaller than the client in each direction (at least 1 × 1).
QSize sketchPictureSize(QSize clientSize);

// The sketch picture of a window of the given client size.
QImage renderSketch(QSize clientSize, const SketchInput& input, MessageSink& sink);

} // namespace velumo
