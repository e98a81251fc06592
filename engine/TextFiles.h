#pragma once
// The two text lists of a run (contour list, result list): back-up and
// re-creation at the start of a run, and a writer that puts each text on disk
// at once as Latin-1 bytes, without any buffering of its own.

#include <string>
#include <string_view>

namespace velumo {

inline constexpr const char* kContourFileName = "contour.txt";
inline constexpr const char* kDataFileName = "data.txt";

// Header line of the contour list, UTF-8, ended by CR LF.
std::string contourHeader();
// The two title lines of the result list (names, units), UTF-8, CR LF each.
std::string dataHeader();

// Latin-1 bytes of UTF-8 text; "?" for a character beyond U+00FF and for
// every invalid byte sequence.
std::string latin1FromUtf8(std::string_view utf8);

// Writes text files with direct operating-system writes, so every text
// written is complete in the file when write() returns. A writer whose file
// could not be created accepts writes without effect.
class TextFileWriter {
public:
    TextFileWriter() = default;
    ~TextFileWriter();
    TextFileWriter(TextFileWriter&& other) noexcept;
    TextFileWriter& operator=(TextFileWriter&& other) noexcept;
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Keeps the previous list as the back-up and starts an empty one:
    // delete X.bak, rename X.txt to X.bak, delete X.txt, create X.txt (a
    // second attempt when creation fails). path names X.txt. Returns whether
    // the file is open.
    bool recreateWithBackup(const std::string& path);

    // UTF-8 text, written as Latin-1.
    void write(std::string_view utf8);
    void close();
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Path of X.bak beside X.txt.
std::string backupPath(const std::string& txtPath);

} // namespace velumo
