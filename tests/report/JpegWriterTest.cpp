#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <filesystem>

#include "JpegWriter.h"
#include "TestUtil.h"

namespace velumo {
namespace {

// Red left half, blue right half: flat areas survive JPEG almost unchanged.
QImage twoColourImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x < width / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    return image;
}

// First value of the first quantisation table (marker FF DB).
int firstQuantValue(const QByteArray& jpeg)
{
    const qsizetype at = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    if (at < 0 || at + 5 >= jpeg.size())
        return -1;
    return static_cast<unsigned char>(jpeg.at(at + 5));
}

TEST(JpegWriter, encodedPictureAtDefaultQualityDecodesToSameSizeAndColours)
{
    QByteArray jpeg;
    QString error;
    ASSERT_TRUE(encodeJpeg(twoColourImage(64, 32), &jpeg, &error)) << error.toStdString();
    EXPECT_TRUE(jpeg.startsWith(QByteArray("\xFF\xD8\xFF", 3)));
    EXPECT_TRUE(jpeg.endsWith(QByteArray("\xFF\xD9", 2)));
    // The codec's default quality 75 scales the standard luminance table by 50 %: 16 becomes 8.
    EXPECT_EQ(firstQuantValue(jpeg), 8);
    QImage back;
    ASSERT_TRUE(back.loadFromData(jpeg, "JPG"));
    EXPECT_EQ(back.size(), QSize(64, 32));
    // Away from the colour edge the 8×8 blocks are flat; chroma subsampling
    // and quantisation move a channel by a few steps at most.
    const QColor red = back.pixelColor(8, 16);
    const QColor blue = back.pixelColor(56, 16);
    EXPECT_NEAR(red.red(), 255, 8);
    EXPECT_NEAR(red.blue(), 0, 8);
    EXPECT_NEAR(blue.blue(), 255, 8);
    EXPECT_NEAR(blue.red(), 0, 8);
}

TEST(JpegWriter, transparentPartsBecomeWhite)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QByteArray jpeg;
    ASSERT_TRUE(encodeJpeg(image, &jpeg));
    QImage back;
    ASSERT_TRUE(back.loadFromData(jpeg, "JPG"));
    EXPECT_GE(back.pixelColor(8, 8).lightness(), 250);
}

TEST(JpegWriter, emptyImageIsRefusedWithReason)
{
    QByteArray jpeg("old");
    QString error;
    EXPECT_FALSE(encodeJpeg(QImage(), &jpeg, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(jpeg.isEmpty());
}

TEST(JpegWriter, codecErrorReturnsInsteadOfAborting)
{
    // libjpeg refuses more than 65500 pixels per side through error_exit.
    QImage wide(70000, 1, QImage::Format_RGB32);
    wide.fill(Qt::gray);
    QString error;
    QByteArray jpeg;
    EXPECT_FALSE(encodeJpeg(wide, &jpeg, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("65500"))) << error.toStdString();
    // The encoder is still usable afterwards.
    EXPECT_TRUE(encodeJpeg(twoColourImage(8, 8), &jpeg));
}

TEST(JpegWriter, writesFileThatDecodes)
{
    test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("a.jpg"));
    QString error;
    ASSERT_TRUE(writeJpeg(twoColourImage(40, 20), path, &error)) << error.toStdString();
    QImage back(path);
    EXPECT_EQ(back.size(), QSize(40, 20));
}

TEST(JpegWriter, writeIntoMissingFolderFailsWithReasonAndNoFile)
{
    test::TempDir dir;
    test::writeBytes(dir.file("plain"), "x");
    const std::string path = dir.file("plain") + "/a.jpg";
    QString error;
    EXPECT_FALSE(writeJpeg(twoColourImage(8, 8), QString::fromStdString(path), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace velumo
