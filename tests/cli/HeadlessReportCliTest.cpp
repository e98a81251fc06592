#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "IniFile.h"
#include "TestUtil.h"

extern char** environ;

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

struct SimCall {
    int status = -1;
    std::string log;
    bool withoutReport() const { return log.find("ohne HTML-Bericht") != std::string::npos; }
};

// velumo-sim without a display, with its home, settings folder (cfg),
// temporary folder (tmp) and runtime folder (run) inside `dir`; `beforeStart` gets its process id
// before it starts.
SimCall runSim(const TempDir& dir, const std::vector<std::string>& args,
    const std::function<void(pid_t)>& beforeStart = {})
{
    for (const char* sub : { "cfg", "tmp", "run" })
        std::filesystem::create_directories(dir.path() / sub);
    std::filesystem::permissions(dir.path() / "run", std::filesystem::perms::owner_all);
    std::vector<std::string> env = { "HOME=" + dir.path().string(), "XDG_CONFIG_HOME=" + dir.file("cfg"),
        "TMPDIR=" + dir.file("tmp"), "XDG_RUNTIME_DIR=" + dir.file("run") };
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        const bool replaced = v.rfind("DISPLAY=", 0) == 0 || v.rfind("WAYLAND_DISPLAY=", 0) == 0
            || v.rfind("HOME=", 0) == 0 || v.rfind("XDG_CONFIG_HOME=", 0) == 0 || v.rfind("TMPDIR=", 0) == 0
            || v.rfind("XDG_RUNTIME_DIR=", 0) == 0;
        if (!replaced)
            env.push_back(v);
    }
    std::vector<std::string> argStrings = { VELUMO_SIM_EXE };
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string log = dir.file("log");
    int gate[2];
    if (::pipe(gate) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        char go;
        ::close(gate[1]);
        if (::read(gate[0], &go, 1) != 1)
            ::_exit(126);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(gate[0]);
    if (beforeStart)
        beforeStart(pid);
    if (::write(gate[1], "g", 1) != 1)
        return {};
    ::close(gate[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(log) };
}

const std::string kBassHorn = std::string(VELUMO_SOURCE_DIR) + "/examples/bass-horn.vlm";

// The file a picture reference of the page names, beside the page.
std::filesystem::path referencedFile(const std::filesystem::path& folder, const std::string& src)
{
    std::string decoded;
    for (size_t i = 0; i < src.size(); ++i) {
        if (src[i] == '%' && i + 2 < src.size()) {
            decoded += static_cast<char>(std::stoi(src.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += src[i];
        }
    }
    return folder / decoded;
}

} // namespace

TEST(VelumoSimReport, aFailedRunWritesNoReportAndGivesExit3)
{
    TempDir dir;
    // A crossover capacitance of 1e-305 µF passes the check; its inverse
    // overflows, so the first point fails.
    velumo::IniFile fail
        = velumo::IniFile::load(std::string(VELUMO_SOURCE_DIR) + "/examples/rear-loaded-crossover.vlm");
    fail.writeString("Frequenzweiche", "C5", "1e-305");
    ASSERT_TRUE(fail.save(dir.file("fail.vlm")));
    velumo::test::writeBytes(dir.file("r.html"), "good old report");
    const SimCall run = runSim(dir, { dir.file("fail.vlm"), "--report", dir.file("r.html") });
    if (run.withoutReport())
        GTEST_SKIP() << "velumo-sim built without the report";
    EXPECT_EQ(run.status, 3) << run.log;
    EXPECT_EQ(readBytes(dir.file("r.html")), "good old report");
    EXPECT_FALSE(std::filesystem::exists(dir.file("r-Files")));
}

TEST(VelumoSimReport, theListsGoWhereOutSays)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "lists");
    const SimCall run
        = runSim(dir, { kBassHorn, "--out", dir.file("lists"), "--report", dir.file("r.html") });
    if (run.withoutReport())
        GTEST_SKIP() << "velumo-sim built without the report";
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(readBytes(dir.file("lists/data.txt")).rfind("f	SPL	", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("cfg/Velumo/data.txt")));
}

TEST(VelumoSimReport, aLinkPlantedAtTheOldTemporaryNameLeavesItsTargetAlone)
{
    TempDir dir;
    velumo::test::writeBytes(dir.file("target"), "precious");
    const SimCall run = runSim(dir, { kBassHorn, "--report", dir.file("r.html") }, [&](pid_t pid) {
        const std::string link = dir.file("tmp") + "/velumo-offscreen-" + std::to_string(pid) + ".json";
        std::filesystem::create_symlink(dir.file("target"), link);
    });
    if (run.withoutReport())
        GTEST_SKIP() << "velumo-sim built without the report";
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(readBytes(dir.file("target")), "precious");
    // Nothing else is left in the temporary folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "tmp"), {}), 1);
}

TEST(VelumoSimReport, everyPictureOfAReportNamedWithEuroAndColonLoads)
{
    TempDir dir;
    const SimCall run = runSim(dir, { kBassHorn, "--report", dir.file("€ x:y.html") });
    if (run.withoutReport())
        GTEST_SKIP() << "velumo-sim built without the report";
    ASSERT_EQ(run.status, 0) << run.log;
    const std::string html = readBytes(dir.file("€ x:y.html"));
    const std::regex src("src=\"([^\"]*)\"");
    int pictures = 0;
    for (auto m = std::sregex_iterator(html.begin(), html.end(), src); m != std::sregex_iterator(); ++m) {
        ++pictures;
        EXPECT_TRUE(std::filesystem::is_regular_file(referencedFile(dir.path(), (*m)[1]))) << (*m)[1];
    }
    EXPECT_EQ(pictures, 13);
}

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
