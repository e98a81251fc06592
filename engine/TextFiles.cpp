#include "TextFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace velumo {

namespace {

#ifdef _WIN32
int openForWriting(const std::string& path)
{
    return ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long writeBytes(int fd, const char* data, size_t size)
{
    return ::_write(fd, data, static_cast<unsigned>(size));
}
void closeFile(int fd) { ::_close(fd); }
#else
int openForWriting(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}
long writeBytes(int fd, const char* data, size_t size) { return ::write(fd, data, size); }
void closeFile(int fd) { ::close(fd); }
#endif

} // namespace

std::string contourHeader() { return "x [m]\tA [cm²]\tH [cm]\tr [cm]\r\n"; }

std::string dataHeader()
{
    return "f\tSPL\tZel\tx1\tSPLmax\tPmax\tZreal\tZimag\tx2\tPmax2\tPhi_a\r\n"
           "[Hz]\t[dB]\t[Ohm]\t[mm]\t[dB]\t[W]\t\t\t[mm]\t[W]\t[°]\r\n";
}

std::string latin1FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        int len = 0;
        unsigned cp = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
            cp = b & 0x07;
        }
        bool valid = len > 0 && i + static_cast<size_t>(len) <= utf8.size();
        for (int k = 1; valid && k < len; ++k) {
            const unsigned char cb = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            if ((cb & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (cb & 0x3F);
        }
        // Overlong forms are invalid; they would otherwise smuggle in ASCII.
        if (valid && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)))
            valid = false;
        if (!valid) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
        i += static_cast<size_t>(len);
    }
    return out;
}

std::string backupPath(const std::string& txtPath)
{
    std::filesystem::path p(txtPath);
    p.replace_extension(".bak");
    return p.string();
}

TextFileWriter::~TextFileWriter() { close(); }

TextFileWriter::TextFileWriter(TextFileWriter&& other) noexcept
    : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

TextFileWriter& TextFileWriter::operator=(TextFileWriter&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool TextFileWriter::recreateWithBackup(const std::string& path)
{
    close();
    std::error_code ec;
    const std::string bak = backupPath(path);
    std::filesystem::remove(bak, ec);
    std::filesystem::rename(path, bak, ec);
    std::filesystem::remove(path, ec);
    m_fd = openForWriting(path);
    if (m_fd < 0)
        m_fd = openForWriting(path);
    return m_fd >= 0;
}

void TextFileWriter::write(std::string_view utf8)
{
    if (m_fd < 0)
        return;
    // Plain ASCII (every result row) is its own Latin-1: no copy needed.
    bool ascii = true;
    for (char c : utf8)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    std::string converted;
    if (!ascii)
        converted = latin1FromUtf8(utf8);
    const std::string_view bytes = ascii ? utf8 : std::string_view(converted);
    size_t done = 0;
    while (done < bytes.size()) {
        const long n = writeBytes(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // write errors are not reported; the run goes on
        done += static_cast<size_t>(n);
    }
}

void TextFileWriter::close()
{
    if (m_fd >= 0)
        closeFile(m_fd);
    m_fd = -1;
}

} // namespace velumo
