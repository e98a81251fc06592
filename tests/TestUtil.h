#pragma once
// Shared helpers of the unit tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace velumo::test {

// |actual - expected| <= rel·|expected| (absolute rel when expected is 0).
inline void expectNearRel(double actual, double expected, double rel)
{
    double tol = expected == 0.0 ? rel : std::fabs(expected) * rel;
    EXPECT_NEAR(actual, expected, tol) << "relative tolerance " << rel;
}

// A fresh folder under the system temp folder, removed with the object.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path()
            / ("velumo-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(
            m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// While it lives, writes that would make a file of this process larger than
// `bytes` fail (EFBIG): a full disk, also for root, whom permissions do not
// stop. With `kill` the process dies of SIGXFSZ instead, as a run
// interrupted in the middle of a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes, bool kill = false)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, kill ? SIG_DFL : SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = SIG_DFL;
};

#ifdef VELUMO_GOLDEN_DIR
// Every folder under tests/golden is a design with independently computed
// results; a new one needs no edit in the tests.
inline std::vector<std::string> goldenDesigns()
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(VELUMO_GOLDEN_DIR))
        if (e.is_directory())
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
#endif

} // namespace velumo::test
