// Volume facts on a POSIX host: statfs and stat of the nearest existing folder, its entry in
// /proc/self/mountinfo, and for block devices the udev database and /sys/dev/block.
#include "platform/drives.h"
#include "platform/host_location.h"
#include "platform/last_error.h"
#include "platform/path_text.h"
#include "platform/posix_io.h"
#include "platform/volume_facts.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {
namespace {

struct Hook {
    std::mutex mutex;
    VolumeFactsHook answer;
};

Hook& hook() {
    static Hook instance;
    return instance;
}

std::optional<std::string> readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isHostFolder(const std::string& hostPath) {
    struct stat info;
    return ::stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string nearestExistingFolder(std::string_view hostPath) {
    std::vector<std::string> names = detail::splitHostPath(hostPath, detail::hostCurrentFolder());
    std::string folder = detail::joinHostPath("/", names);
    while (!names.empty() && !isHostFolder(folder)) {
        names.pop_back();
        folder = detail::joinHostPath("/", names);
    }
    return detail::canonicalHostFolder(folder);
}

// The block device that a mount source names ("/dev/sdb1"), for FUSE block mounts, whose own
// device number is an anonymous one.
std::optional<dev_t> blockDeviceOf(const std::string& source) {
    struct stat info;
    if (!source.starts_with("/") || ::stat(source.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) {
        return std::nullopt;
    }
    return info.st_rdev;
}

// What the udev database says a block device holds ("ntfs", "exfat"), for a FUSE driver that
// mounts it without saying which file system it reads.
std::string deviceFsType(dev_t device) {
    std::ostringstream path;
    path << "/run/udev/data/b" << major(device) << ':' << minor(device);
    std::istringstream data(readTextFile(path.str()).value_or(""));
    constexpr std::string_view key = "E:ID_FS_TYPE=";
    for (std::string line; std::getline(data, line);) {
        if (line.starts_with(key)) {
            return line.substr(key.size());
        }
    }
    return {};
}

// /sys/dev/block/MAJ:MIN/removable, or that of the disk that the partition belongs to.
bool deviceSaysRemovable(dev_t device) {
    std::ostringstream link;
    link << "/sys/dev/block/" << major(device) << ':' << minor(device);
    const std::string folder = detail::canonicalHostFolder(link.str());
    for (const std::string& file : {folder + "/removable", folder + "/../removable"}) {
        if (auto text = readTextFile(file)) {
            return text->starts_with("1");
        }
    }
    return false;
}

// Creates, then removes, a file of the name `name` in `folder`: true when the volume took it.
bool volumeTakesScratchName(const std::string& folder, const std::string& name) {
    const std::string path = folder + (folder.ends_with('/') ? "" : "/") + name;
    detail::UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
    if (!fd) {
        return false;
    }
    ::unlink(path.c_str());
    return true;
}

// Whether the driver of the volume under `folder` refuses names outside ASCII (fusefat does,
// with EPERM), learnt by trying one scratch name of each kind there: a refused non-ASCII name
// counts only when an ASCII one of the same shape is taken, so a folder that cannot be
// written in tells nothing. Kernel drivers of host file systems take any name and are not
// asked.
bool refusesNonAsciiNames(const std::string& folder) {
    const std::string tag = ".tw-name-probe-" + std::to_string(::getpid()) + "-";
    return !volumeTakesScratchName(folder, tag + "\xD0\xAF\xC3\xA9") &&
           volumeTakesScratchName(folder, tag + "Ae");
}

} // namespace

void setVolumeFactsForTesting(VolumeFactsHook answer) {
    std::lock_guard lock(hook().mutex);
    hook().answer = std::move(answer);
}

std::optional<VolumeFacts> volumeFactsOfHostPath(std::string_view hostPath) {
    VolumeFactsHook answer;
    {
        std::lock_guard lock(hook().mutex);
        answer = hook().answer;
    }
    if (answer) {
        if (auto facts = answer(std::string(hostPath))) {
            return facts;
        }
    }
    const std::string folder = nearestExistingFolder(hostPath);
    struct statfs volume;
    struct stat info;
    if (::statfs(folder.c_str(), &volume) != 0 || ::stat(folder.c_str(), &info) != 0) {
        detail::setLastError(errno);
        return std::nullopt;
    }
    const auto entries = detail::parseMountInfo(readTextFile("/proc/self/mountinfo").value_or(""));
    const detail::MountEntry* entry =
        detail::findMount(entries, major(info.st_dev), minor(info.st_dev), folder);

    VolumeKind kind = detail::volumeKindOfMagic(static_cast<int64_t>(volume.f_type));
    dev_t device = info.st_dev;
    bool fuse = false;
    if (entry != nullptr) {
        fuse = entry->fsType.starts_with("fuse");
        const auto blockDevice =
            entry->fsType.starts_with("fuseblk") ? blockDeviceOf(entry->source) : std::nullopt;
        kind = detail::volumeKindOf(*entry, blockDevice ? deviceFsType(*blockDevice) : std::string());
        device = blockDevice.value_or(device);
    }
    VolumeFacts facts = volumeFactsOfKind(kind);
    if (entry != nullptr) {
        facts.fsType = entry->fsType;
        facts.mountSource = entry->source;
        facts.mountPoint = entry->mountPoint;
    }
    facts.allocationUnit = static_cast<int64_t>(volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize);
    facts.removable = facts.removable || fuse || deviceSaysRemovable(device);
    if (fuse || facts.windowsNameRules) {
        facts.asciiNamesOnly = refusesNonAsciiNames(folder);
    }
    return facts;
}

std::optional<VolumeFacts> volumeFactsOf(std::string_view programFolder) {
    auto host = toHostPath(programFolder);
    if (!host) {
        detail::setLastErrorText(detail::NoDriveText);
        return std::nullopt;
    }
    return volumeFactsOfHostPath(*host);
}

} // namespace platform
