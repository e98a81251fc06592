#include "JpegWriter.h"

#include <QPainter>
#include <QSaveFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace velumo {

namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return:
// jump back to the encoder with the formatted message.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Collects the compressed bytes in a buffer owned by the caller, so that an
// aborted encoding leaks nothing.
struct ByteDestination {
    jpeg_destination_mgr pub;
    QByteArray* out;
    JOCTET chunk[16384];
};

void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<ByteDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->chunk;
    dest->pub.free_in_buffer = sizeof dest->chunk;
}

boolean emptyDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<ByteDestination*>(cinfo->dest);
    dest->out->append(reinterpret_cast<const char*>(dest->chunk), sizeof dest->chunk);
    dest->pub.next_output_byte = dest->chunk;
    dest->pub.free_in_buffer = sizeof dest->chunk;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<ByteDestination*>(cinfo->dest);
    const auto used = static_cast<qsizetype>(sizeof dest->chunk - dest->pub.free_in_buffer);
    dest->out->append(reinterpret_cast<const char*>(dest->chunk), used);
}

// The libjpeg part, kept free of objects with destructors because an error
// leaves it through longjmp. `rgb` holds `height` rows of 3·width bytes,
// `stride` bytes apart.
bool compressRgb(
    const unsigned char* rgb, int width, int height, qsizetype stride, QByteArray* out, char* message)
{
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    ByteDestination dest;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onJpegError;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = initDestination;
    dest.pub.empty_output_buffer = emptyDestination;
    dest.pub.term_destination = termDestination;
    dest.out = out;
    cinfo.dest = &dest.pub;

    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * static_cast<qsizetype>(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

QImage opaqueRgb(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(QPoint(0, 0), image);
    painter.end();
    return flat;
}

} // namespace

bool encodeJpeg(const QImage& image, QByteArray* jpeg, QString* error)
{
    jpeg->clear();
    // An empty image still goes through libjpeg so that it gives its reason.
    static const unsigned char noPixels[3] = { 0, 0, 0 };
    QImage rgb = image.isNull() ? QImage() : opaqueRgb(image);
    // The same ratio-free pixels the picture has on the page.
    rgb.setDevicePixelRatio(1.0);
    const unsigned char* bits = rgb.isNull() ? noPixels : rgb.constBits();
    char message[JMSG_LENGTH_MAX] = {};
    if (!compressRgb(bits, rgb.width(), rgb.height(), rgb.isNull() ? 0 : rgb.bytesPerLine(), jpeg, message)) {
        jpeg->clear();
        if (error)
            *error = QString::fromLocal8Bit(message);
        return false;
    }
    return true;
}

bool writeJpeg(const QImage& image, const QString& path, QString* error)
{
    QByteArray bytes;
    if (!encodeJpeg(image, &bytes, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace velumo
