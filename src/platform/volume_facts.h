// What the volume under a destination folder allows: its file-system type, the largest file it
// holds, whether it keeps the Windows name rules and ignores letter case, its allocation unit,
// and whether it is removable. Music goes onto sticks, memory cards and players, mostly FAT32
// or exFAT, from host file systems that allow more (files of 4 GiB and over, "a:b.mp3", names
// differing only in case), so a run asks these facts before it names and sizes its files.
//
// The facts come from the kernel, never from the path: statfs of the folder's nearest existing
// folder and the mount table (/proc/self/mountinfo) entry of the file system that holds it,
// found by the device number of that folder, else by the longest mount point that contains it.
// The name rules that go with the facts are in volume_name_rules.h.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class VolumeKind {
    Posix, // ext4, xfs, btrfs, tmpfs, ... and any type not named below
    Fat32, // FAT of any width (FAT12/16 share the 4 GiB - 1 limit): vfat, msdos, fuse.fusefat
    ExFat, // exfat, fuse.exfat, a fuseblk mount of an exFAT device
    Ntfs,  // ntfs, ntfs3, fuse.ntfs-3g, a fuseblk mount of an NTFS device
    // A FUSE block-device mount whose file system the mount table and the device database do not
    // name. Such mounts are in practice NTFS or exFAT drivers, so the kind keeps the Windows name
    // rules and ignores case (refusing a name that would have worked costs little), but sets no
    // size limit (a limit could refuse files that fit; a write past a real limit fails).
    UnknownFuseBlock,
};

// Largest size of a file on FAT32: 4 GiB - 1.
inline constexpr int64_t Fat32MaxFileSize = 4294967295;
// maxFileSize of a volume that sets no limit of its own.
inline constexpr int64_t NoFileSizeLimit = std::numeric_limits<int64_t>::max();

struct VolumeFacts {
    std::string fsType;      // as the mount table says it: "ext4", "vfat", "fuseblk", "fuse.fusefat"
    std::string mountSource; // the mount's source ("/dev/sdb1", "fusefat"); may be empty
    std::string mountPoint;  // host folder where the volume is mounted; may be empty
    VolumeKind kind = VolumeKind::Posix;
    int64_t maxFileSize = NoFileSizeLimit; // bytes
    bool windowsNameRules = false;         // FAT, exFAT, NTFS: see volume_name_rules.h
    bool caseInsensitive = false;          // "Track.mp3" and "TRACK.MP3" are one file
    // Bytes that a file's size is rounded up to on the volume: the fragment size of statfs
    // (f_frsize, else f_bsize). Kernel FAT and exFAT drivers report their cluster size there; a
    // FUSE driver reports whatever its daemon chooses. 0 when unknown.
    int64_t allocationUnit = 0;
    // Best effort: the block device (or the disk it is a partition of) says "removable" in
    // /sys/dev/block, or the volume is FAT, exFAT or any FUSE mount (sticks, cards and players
    // mostly are, and their drivers cache writes). A run onto such a volume flushes at its end.
    bool removable = false;
    // The volume's driver refuses names with characters outside ASCII (fusefat does). Learnt by
    // creating and removing a scratch file in the folder, on FUSE volumes and those with
    // Windows name rules only: the drivers of host file systems take any name.
    bool asciiNamesOnly = false;
};

// The facts of the volume that a program path of a folder (existing or not, "D:\Music") lands
// on: that of its nearest existing ancestor folder. nullopt when the path names no mapped drive
// or the host refuses statfs (lastErrorText() set).
std::optional<VolumeFacts> volumeFactsOf(std::string_view programFolder);
// The same for a host path.
std::optional<VolumeFacts> volumeFactsOfHostPath(std::string_view hostPath);

// Test hook: while set, volumeFactsOf and volumeFactsOfHostPath first ask `answer` with the host
// path of the folder (as given, not yet walked up to an existing folder); what it answers is
// taken, and nullopt from it means "ask the kernel". An empty function removes the hook. Lets
// tests give a folder of a temporary drive the facts of a FAT32 stick.
using VolumeFactsHook = std::function<std::optional<VolumeFacts>(const std::string& hostFolder)>;
void setVolumeFactsForTesting(VolumeFactsHook answer);

// The facts that follow from a kind alone: fsType, mountSource and mountPoint empty,
// allocationUnit 0, removable for FAT, exFAT and unknown FUSE block mounts.
VolumeFacts volumeFactsOfKind(VolumeKind kind);

namespace detail {

// One line of /proc/self/mountinfo, the fields that the facts need.
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountPoint;   // with the octal escapes (\040 for a blank, ...) decoded
    std::string fsType;       // "ext4", "fuseblk", "fuse.fusefat"
    std::string source;       // "/dev/sdb1", "fusefat"
    std::string superOptions; // "rw,user_id=0,group_id=0,blksize=4096"
};

// nullopt for a line that is not a mountinfo line.
std::optional<MountEntry> parseMountInfoLine(std::string_view line);
std::vector<MountEntry> parseMountInfo(std::string_view text);

// The entry of the file system that holds `hostFolder` (absolute, symbolic links resolved),
// whose device is major:minor: of the entries with that device whose mount point contains the
// folder, the one with the deepest mount point (the later one of equals, as later mounts hide
// earlier ones); when no entry has that device, the deepest containing mount point of any.
// nullptr when no mount point contains the folder.
const MountEntry* findMount(const std::vector<MountEntry>& entries, unsigned major, unsigned minor,
                            std::string_view hostFolder);

// The kind of a mount. `deviceFsType` is what the device database says the block device holds
// ("ntfs", "exfat"; empty when unknown), asked for fuseblk mounts whose type, source and options
// do not name their file system.
VolumeKind volumeKindOf(const MountEntry& entry, std::string_view deviceFsType = {});

// The kind by the statfs magic number alone, for a folder whose mount entry cannot be found.
VolumeKind volumeKindOfMagic(int64_t magic);

} // namespace detail

} // namespace platform
