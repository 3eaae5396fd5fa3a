// File services over the program's namespace (drives.h). Paths are program paths.
// Calls report failure the way the system calls they stand in for do: false, -1 or
// InvalidFile; lastErrorText() then describes the failure in words for a message.
// A path that names no mapped drive fails like a missing file. Only regular files (symbolic
// links followed) count as files: folders, devices and pipes are never opened as files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The longest host path that the host opens, its final NUL byte counted (PATH_MAX): a path of
// this many bytes or more names no file that can be opened.
inline constexpr size_t MaxHostPathBytes = 4096;

using FileHandle = int;
inline constexpr FileHandle InvalidFile = -1;

// A program path looked up on the host once (its drive, the letter case of its names, what
// stands there), for the calls about one file that follow each other at once: the existence
// test, the open, the transfer. Like any test of a name, what it saw holds only at the moment
// it looked; the calls that take it find out about later changes as they do for a plain path.
// Built implicitly from a program path, so every call that takes one takes a plain path too.
class ResolvedPath {
public:
    ResolvedPath(std::string_view programPath);
    ResolvedPath(const std::string& programPath) : ResolvedPath(std::string_view(programPath)) {}
    ResolvedPath(const char* programPath) : ResolvedPath(std::string_view(programPath)) {}

    const std::string& programPath() const { return m_programPath; }
    // nullopt when the path names no mapped drive.
    const std::optional<std::string>& hostPath() const { return m_hostPath; }
    // As fileExists at the moment of the lookup (a link is followed now).
    bool isFile() const;
    // Nothing stood at the path when it was looked up.
    bool missing() const { return m_missing; }

private:
    std::string m_programPath;
    std::optional<std::string> m_hostPath;
    uint32_t m_mode = 0; // of lstat; 0 when not known
    bool m_missing = false;
};

bool fileExists(std::string_view path);   // true for files only, never for folders
bool folderExists(std::string_view path); // true for folders (and drive roots) only
// True when this process may create files and folders in the existing folder `path` (write and
// search permission, a volume mounted for writing); false with the last error set otherwise.
bool folderTakesNewEntries(std::string_view path);
// True when something that is no regular file stands at the path: a folder, a device, a pipe,
// a socket (links followed; a broken link is nothing).
bool nonFileExists(std::string_view path);

// Opens an existing file for reading with all sharing denied: takes an exclusive
// non-blocking flock, and fails when another open holds one (in this process or another).
// `length` (may be null) gets the file's length as the open found it.
FileHandle openFileExclusive(const ResolvedPath& path, int64_t* length = nullptr);
// Opens for reading and writing with all sharing denied, creating the file when missing.
// Never truncates: the caller decides that once it knows what file it holds.
FileHandle createFileExclusive(std::string_view path);

// The length of the file at `path`, opened and closed again with all sharing denied; -1 when
// it cannot be opened (lastErrorText() says why). The path is tried as written first and
// respelt after the host's letter case only when that finds nothing, so most files cost one
// open and no lookup beforehand.
int64_t exclusiveFileLength(std::string_view path);

// The length and modification time (ns since 1970-01-01 UTC) of the regular file at `path`,
// from one stat and without opening it; false when there is no such file.
bool fileLengthAndTime(std::string_view path, int64_t& length, int64_t& modifiedTime);

int64_t fileLength(FileHandle file);               // -1 on failure
int64_t fileModifiedTime(FileHandle file);         // nanoseconds since 1970-01-01 UTC; -1 on failure
int64_t filePosition(FileHandle file);             // -1 on failure
int64_t seekFile(FileHandle file, int64_t offset); // absolute; new position or -1
bool truncateFile(FileHandle file, int64_t length);
// Reserves room for `length` bytes of `file` on its volume without changing its length, so that
// a full disk fails here rather than halfway through the data. True also where the file system
// cannot reserve (the writes then find out); false (DiskFull) when the room is not there.
bool reserveFileSpace(FileHandle file, int64_t length);
// Tells the host that `file` will be read from start to end once (a larger read-ahead).
void adviseSequentialRead(FileHandle file);
// Bytes read, fewer than count only at the end of the file (0 there), or -1 on failure.
int64_t readFile(FileHandle file, void* buffer, int64_t count);
// Bytes written, which may be fewer than count (a filling disk, a file-size limit: the
// reason is in lastErrorText()), or -1 when nothing could be written.
int64_t writeFile(FileHandle file, const void* buffer, int64_t count);
// Closes on every path (never call it twice); false when the close itself reported an error
// (late write errors).
bool closeFile(FileHandle file);

bool deleteFile(std::string_view path); // files and links only, never folders

// Makes the folder and every missing parent, outermost first; a folder made under an existing
// one that differs only in letter case goes into that one. Does nothing for a text shorter
// than three characters (trailing separators not counted), an existing folder or a drive
// root. True when the folder exists afterwards.
bool forceFolders(std::string_view path);

// Bytes available to the user on the volume that holds the nearest existing folder of
// `path` on drive `drive` (the drive's root when `path` is on another drive or names none);
// -1 when the drive is not mapped or its folder cannot be measured; the largest int64_t for a
// volume that reports no size at all (some FUSE drivers), whose room only the writes find out.
int64_t freeSpace(char drive, std::string_view path);

// The whole content of a file, opened with all sharing denied; refused (false, "File too
// large") when it is longer than maxBytes, without reading more than maxBytes + 1 bytes or
// reserving more than the file's length.
bool readWholeFile(std::string_view path, std::string& content, int64_t maxBytes);
// Writes a temporary file beside `path`, flushes it to the disk and renames it over
// `path` (keeping an old file's permissions), then flushes the folder, so a crash never leaves
// a half-written file at the final name. On any failure the temporary file is removed and an
// old file at `path` stays as it was.
bool writeFileAtomically(std::string_view path, std::string_view content);

// The last failure of a call above on this thread, as a sentence ("No such file or
// directory"), without a final full stop. Successful calls leave it as it was.
std::string lastErrorText();

// The kind of that failure, so that a front end can give the reason in its own language.
enum class FileError {
    None,           // no failure recorded on this thread yet
    NotFound,       // no such file, folder or drive
    AccessDenied,   // the permissions refuse it
    ReadOnlyMedium, // the file system is mounted read-only
    DiskFull,       // no space left, a quota, or the largest file the volume or process allows
    NameTooLong,    // a name or the whole path is longer than the file system takes
    InUse,          // another open holds the file with all sharing denied
    NotAFile,       // a folder, device or pipe where a file was expected
    NotAFolder,     // a file stands where the path needs a folder
    DeviceError,    // the medium failed (an input/output error)
    SourceShrank,   // the source ended before the length it had when it was opened
    SourceChanged,  // a moved file was replaced or removed while it was copied
    AlreadyExists,  // a name that is never replaced is taken
    SameFile,       // the destination is the very file being read (another name of it)
    Cancelled,      // the caller asked the transfer to stop
    Other,          // anything else: lastErrorText() has the host's words for it
};
FileError lastError();

} // namespace platform
