#pragma once
// The two text lists of a run (contour list, result list). Each list is
// written to a temporary file beside it and moved into place when it is
// complete, so a run that is interrupted or cannot write leaves the previous
// lists as they were; the previous list becomes the back-up at that moment.
//
// The back-up it replaces is not deleted but kept as the spare
// ".X.txt.spare", into which the next list is written: on some file systems
// (ext4 mounted with discard) freeing a file's blocks takes longer than a
// whole run, while writing over blocks a file already has is cheap.

#include <string>
#include <string_view>

namespace velumo {

// Creates a new file beside `path`, named "." + its file name + "." + eight
// random hexadecimal digits, with O_EXCL: whatever is already there (a file,
// a planted symbolic link) is never opened. `mode` is reduced by the umask.
// Returns the open descriptor and the name in *createdPath, or -1 with errno
// set.
int createFileBeside(const std::string& path, unsigned mode, std::string* createdPath);

// Writes all bytes to fd (again after an interruption); 0, or the errno of
// the first failure.
int writeAll(int fd, std::string_view bytes);

// An advisory lock (flock) on a folder for the life of the object: runs that
// write their lists into the same folder take turns, so no list of one run is
// paired with the other list of another. A folder that cannot be locked is
// used without the lock.
class FolderLock {
public:
    explicit FolderLock(const std::string& dir);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

// One list: begin() opens the spare or creates a temporary file, write() appends with direct
// operating-system writes (a list is best given in one piece), finish()
// closes it, commit() puts it in place.
// The first failure is kept (error(), an errno value) and makes the later
// steps do nothing; a list that is not committed is removed by the
// destructor.
class TextFileWriter {
public:
    TextFileWriter() = default;
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Starts the list that is to replace `path` (X.txt).
    bool begin(const std::string& path);
    // UTF-8 text, written as Latin-1 (utf8ToLatin1).
    void write(std::string_view utf8);
    // Bytes written as they are.
    void writeBytes(std::string_view bytes);
    // Closes the temporary file; true when every write reached it.
    bool finish();
    // After finish(): puts the new list in place as X.txt, the previous X.txt
    // becomes X.bak and the previous X.bak the spare.
    bool commit();
    // Removes the temporary file of a list that is not to be committed.
    void discard();

    int error() const { return m_error; }
    const std::string& path() const { return m_path; }

private:
    void fail(int error);

    bool openSpare();
    // The old way, for a file system that cannot exchange two names.
    bool commitByLink();

    int m_fd = -1;
    int m_error = 0;
    long long m_written = 0;
    long long m_spareSize = 0;
    std::string m_path;
    std::string m_tempPath;
    std::string m_sparePath;
};

// Path of X.bak beside X.txt.
std::string backupPath(const std::string& txtPath);

} // namespace velumo
