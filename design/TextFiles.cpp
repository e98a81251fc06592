#include "TextFiles.h"

#include "Encoding.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velumo {

namespace {

// Names of temporary files: unpredictable where the system offers it,
// distinct per process and call otherwise (O_EXCL keeps them safe either
// way).
uint32_t randomBits()
{
    static thread_local uint32_t counter = 0;
    uint32_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits))
        return bits ^ ++counter;
    const auto t = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<uint32_t>(t) ^ static_cast<uint32_t>(::getpid()) * 2654435761u ^ ++counter;
}

// ".NAME" + suffix beside `path` (NAME its file name).
std::string hiddenBeside(const std::string& path, std::string_view suffix)
{
    const std::filesystem::path target(path);
    std::string name = ".";
    name += target.filename().string();
    name += suffix;
    return (target.parent_path() / name).string();
}

} // namespace

std::string backupPath(const std::string& txtPath)
{
    std::filesystem::path p(txtPath);
    p.replace_extension(".bak");
    return p.string();
}

int createFileBeside(const std::string& path, unsigned mode, std::string* createdPath)
{
    const std::string prefix = hiddenBeside(path, ".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        uint32_t r = randomBits();
        for (int k = 0; k < 8; ++k, r >>= 4)
            name += "0123456789abcdef"[r & 15];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            *createdPath = std::move(name);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1; // errno is EEXIST
}

FolderLock::FolderLock(const std::string& dir)
{
    m_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

TextFileWriter::~TextFileWriter() { discard(); }

void TextFileWriter::fail(int error)
{
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
}

// Only a plain file of this user's that no other name shares is written
// over; anything else planted under the spare's name is left alone.
bool TextFileWriter::openSpare()
{
    const int fd = ::open(m_sparePath.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_tempPath = m_sparePath;
    m_spareSize = st.st_size;
    return true;
}

bool TextFileWriter::begin(const std::string& path)
{
    discard();
    m_error = 0;
    m_written = 0;
    m_path = path;
    m_sparePath = hiddenBeside(path, ".spare");
    if (openSpare())
        return true;
    m_fd = createFileBeside(path, 0644, &m_tempPath);
    if (m_fd < 0)
        fail(errno);
    return m_fd >= 0;
}

void TextFileWriter::write(std::string_view utf8)
{
    if (m_fd < 0 || m_error != 0)
        return;
    // Plain ASCII (every result row) is its own Latin-1: no copy needed.
    bool ascii = true;
    for (char c : utf8)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    std::string converted;
    if (!ascii)
        converted = utf8ToLatin1(utf8);
    writeBytes(ascii ? utf8 : std::string_view(converted));
}

int writeAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<size_t>(n);
    }
    return 0;
}

void TextFileWriter::writeBytes(std::string_view bytes)
{
    if (m_fd < 0 || m_error != 0)
        return;
    if (const int error = writeAll(m_fd, bytes))
        fail(error);
    else
        m_written += static_cast<long long>(bytes.size());
}

bool TextFileWriter::finish()
{
    // A spare may be longer than the new list.
    if (m_fd >= 0 && m_error == 0 && m_tempPath == m_sparePath && m_written != m_spareSize
        && ::ftruncate(m_fd, m_written) != 0)
        fail(errno);
    if (m_fd >= 0 && ::close(m_fd) != 0)
        fail(errno);
    m_fd = -1;
    return m_error == 0 && !m_tempPath.empty();
}

bool TextFileWriter::commit()
{
    if (!finish())
        return false;
    // The exchange is atomic: X.txt always names a complete list. The
    // temporary name then holds the previous list, which the second
    // exchange makes the back-up, leaving the older one as the spare.
    // Without a previous list, or on a file system that cannot exchange
    // names, the list is put in place by rename.
    if (::renameat2(AT_FDCWD, m_tempPath.c_str(), AT_FDCWD, m_path.c_str(), RENAME_EXCHANGE) != 0)
        return commitByLink();
    const std::string bak = backupPath(m_path);
    struct stat st { };
    const bool bakIsFile = ::lstat(bak.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    if (bakIsFile && ::renameat2(AT_FDCWD, m_tempPath.c_str(), AT_FDCWD, bak.c_str(), RENAME_EXCHANGE) == 0) {
        if (m_tempPath != m_sparePath && ::rename(m_tempPath.c_str(), m_sparePath.c_str()) != 0)
            ::unlink(m_tempPath.c_str());
    } else if (::rename(m_tempPath.c_str(), bak.c_str()) != 0) {
        ::unlink(m_tempPath.c_str()); // a folder in the back-up's place keeps it
    }
    m_tempPath.clear();
    return true;
}

bool TextFileWriter::commitByLink()
{
    // The previous list stays under its name until the new one replaces it:
    // a second link becomes the back-up, then the rename swaps atomically.
    const std::string bak = backupPath(m_path);
    ::unlink(bak.c_str());
    if (::link(m_path.c_str(), bak.c_str()) != 0 && errno != ENOENT)
        ::rename(m_path.c_str(), bak.c_str()); // a file system without hard links
    if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        fail(errno);
        discard();
        return false;
    }
    m_tempPath.clear();
    return true;
}

void TextFileWriter::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
}

} // namespace velumo
