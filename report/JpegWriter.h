#pragma once
// JPEG pictures of the report, encoded by libjpeg with its default settings
// (quality 75, 4:2:0 sampling, baseline Huffman tables).

#include <QByteArray>
#include <QImage>
#include <QString>

namespace velumo {

// Encodes the image; transparent parts come out white, as on paper. False
// with libjpeg's reason (for example an empty or too large image); the
// program never aborts on a codec error.
bool encodeJpeg(const QImage& image, QByteArray* jpeg, QString* error = nullptr);

// Encodes and writes the picture to `path` (replacing it). False with a
// reason when encoding or writing fails; a failed write leaves no partial
// file behind.
bool writeJpeg(const QImage& image, const QString& path, QString* error = nullptr);

} // namespace velumo
