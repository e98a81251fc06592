#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "TestUtil.h"

using velumo::test::readBytes;
using velumo::test::TempDir;

namespace {

// Width and height from the frame header of a baseline or progressive JPEG;
// (0, 0) when the bytes are not a JPEG.
std::pair<int, int> jpegSize(const std::string& bytes)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return { 0, 0 };
    size_t i = 2;
    while (i + 9 < bytes.size()) {
        if (byte(i) != 0xFF)
            return { 0, 0 };
        unsigned char marker = byte(i + 1);
        size_t length = (byte(i + 2) << 8) | byte(i + 3);
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)
            return { (byte(i + 7) << 8) | byte(i + 8), (byte(i + 5) << 8) | byte(i + 6) };
        i += 2 + length;
    }
    return { 0, 0 };
}

} // namespace

TEST(VelumoSimReport, writesTheHtmlAndThirteenPicturesWithoutADisplay)
{
    if (!std::filesystem::exists(VELUMO_SIM_EXE))
        GTEST_SKIP() << "velumo-sim not built";
    TempDir dir;
    // The program's settings folder and home point into the temporary folder.
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY HOME='" + dir.path().string()
        + "' XDG_CONFIG_HOME='" + dir.file("cfg") + "' '" + VELUMO_SIM_EXE + "' '" + VELUMO_SOURCE_DIR
        + "/examples/bass-horn.vlm' --report '" + dir.file("bass.html") + "' > '" + dir.file("log")
        + "' 2>&1";
    int status = std::system(command.c_str());
    if (status != 0 && readBytes(dir.file("log")).find("ohne HTML-Bericht") != std::string::npos)
        GTEST_SKIP() << "velumo-sim built without the report";
    ASSERT_EQ(status, 0) << readBytes(dir.file("log"));

    std::string html = readBytes(dir.file("bass.html"));
    EXPECT_EQ(html.rfind("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n", 0), 0u);
    EXPECT_NE(html.find("src=\"./bass-Files/SPL.jpg\""), std::string::npos);
    EXPECT_NE(html.find("Basshorn, exponentiell, 2,4 m"), std::string::npos);

    const std::string folder = dir.file("bass-Files") + "/";
    for (const char* name : { "Skizze", "SPL", "Zel", "Ausl", "Pmax", "SPLmax", "Phia", "Znorm" }) {
        EXPECT_EQ(jpegSize(readBytes(folder + name + ".jpg")), std::make_pair(420, 260)) << name;
    }
    EXPECT_NE(jpegSize(readBytes(folder + "Param.jpg")).first, 0);
    // A tab picture grows beyond its stated width where its page does.
    for (auto [name, width] :
        { std::pair { "TreiberTab", 500 }, { "HornTab", 530 }, { "FWTab", 530 }, { "AchsenTab", 530 } }) {
        EXPECT_GE(jpegSize(readBytes(folder + name + ".jpg")).first, width) << name;
        EXPECT_EQ(jpegSize(readBytes(folder + name + ".jpg")).second, 340) << name;
    }
}
