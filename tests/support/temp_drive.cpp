#include "support/temp_drive.h"

#include "platform/drives.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

std::string processFolder() {
    std::error_code error;
    fs::path folder = fs::current_path(error);
    return error ? std::string() : folder.string();
}

// Removes a tree that a test may have left read-only.
void removeTree(const fs::path& path) {
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(path, error))) {
        ::chmod(path.c_str(), 0700);
        for (const auto& child : fs::directory_iterator(path, error)) {
            removeTree(child.path());
        }
    }
    fs::remove(path, error);
}

} // namespace

TempDrive::TempDrive(char letter) : m_letter(letter) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tw-drive-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        fail("cannot make", pattern);
    }
    char resolved[PATH_MAX];
    m_hostRoot = ::realpath(pattern.c_str(), resolved) != nullptr ? resolved : pattern;
    m_previousMount = platform::driveHostFolder(letter);
    m_previousFolder = processFolder();
    platform::mountDrive(letter, m_hostRoot);
}

TempDrive::~TempDrive() {
    std::string folder = processFolder();
    if (folder.empty() || folder == m_hostRoot || folder.starts_with(m_hostRoot + "/")) {
        if (::chdir(m_previousFolder.c_str()) != 0) {
            [[maybe_unused]] int ignored = ::chdir("/");
        }
    }
    if (m_previousMount) {
        platform::mountDrive(m_letter, *m_previousMount);
    } else {
        platform::unmountDrive(m_letter);
    }
    removeTree(m_hostRoot);
}

std::string TempDrive::programPath(std::string_view relative) const {
    std::string path{m_letter, ':', '\\'};
    for (char c : relative) {
        path += c == '/' ? '\\' : c;
    }
    return path;
}

std::string TempDrive::hostPath(std::string_view path) const {
    bool onThisDrive = path.size() >= 2 && path[1] == ':' && std::toupper(path[0]) == std::toupper(m_letter);
    if (!onThisDrive && path.find(':') != std::string_view::npos) {
        throw std::runtime_error("not a path on drive " + std::string(1, m_letter) + ": " +
                                 std::string(path));
    }
    std::string host = m_hostRoot;
    std::string_view rest = onThisDrive ? path.substr(2) : path;
    if (!rest.empty() && rest[0] != '/' && rest[0] != '\\') {
        host += '/';
    }
    for (char c : rest) {
        host += c == '\\' ? '/' : c;
    }
    return host;
}

void TempDrive::writeFile(std::string_view path, std::string_view bytes) const {
    fs::path host = hostPath(path);
    fs::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
        fail("cannot write", host);
    }
}

void TempDrive::makeFolder(std::string_view path) const {
    fs::create_directories(hostPath(path));
}

std::string TempDrive::readFile(std::string_view path) const {
    std::string host = hostPath(path);
    std::ifstream in(host, std::ios::binary);
    if (!in) {
        fail("cannot read", host);
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempDrive::exists(std::string_view path) const {
    struct stat info;
    return ::lstat(hostPath(path).c_str(), &info) == 0;
}

SavedDriveTable::SavedDriveTable() {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        m_folders[letter - 'A'] = platform::driveHostFolder(letter);
    }
}

SavedDriveTable::~SavedDriveTable() {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (m_folders[letter - 'A']) {
            platform::mountDrive(letter, *m_folders[letter - 'A']);
        } else {
            platform::unmountDrive(letter);
        }
    }
}

} // namespace testsupport
