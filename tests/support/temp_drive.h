// A fresh temporary host folder mounted as a drive of the program's namespace for the life of
// one object: tests build their fixture files in it and use the design's paths literally
// ("D:\Music\a.mp3"). The earlier mapping of the letter comes back at the end; when the test
// left the process's current folder inside the drive, it goes back to where it was; then the
// folder is removed with everything in it (read-only folders too).
//
// The helpers touch the host directly, not through the platform layer, so they stay correct
// while that layer is under test. They take a program path on this drive ("D:\a\b.mp3", either
// case, either separator) or a path relative to the drive's root ("a/b.mp3", "a\b.mp3"), and
// throw std::runtime_error when the host refuses (a failing test, not a crash).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace testsupport {

class TempDrive {
public:
    explicit TempDrive(char letter = 'D');
    ~TempDrive();
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    char letter() const { return m_letter; }
    const std::string& hostRoot() const { return m_hostRoot; } // canonical, no trailing "/"
    // "D:\" + the path with "\" separators ("" gives the drive root "D:\").
    std::string programPath(std::string_view relative = {}) const;
    std::string hostPath(std::string_view path) const;

    // Writes `bytes` as the whole file, making the missing folders above it.
    void writeFile(std::string_view path, std::string_view bytes = {}) const;
    void makeFolder(std::string_view path) const; // with its missing parents
    std::string readFile(std::string_view path) const;
    bool exists(std::string_view path) const; // a file, folder or link (not followed)

private:
    char m_letter;
    std::string m_hostRoot;
    std::optional<std::string> m_previousMount;
    std::string m_previousFolder;
};

// Keeps the whole drive table and puts it back at the end, for tests that unmount drives
// (Z: included) or mount further ones.
class SavedDriveTable {
public:
    SavedDriveTable();
    ~SavedDriveTable();
    SavedDriveTable(const SavedDriveTable&) = delete;
    SavedDriveTable& operator=(const SavedDriveTable&) = delete;

private:
    std::array<std::optional<std::string>, 26> m_folders;
};

} // namespace testsupport
