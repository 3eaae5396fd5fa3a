// A small FAT32 volume for the life of one object: an image file made with mkfs.vfat in a fresh
// temporary folder and mounted by the FUSE driver fusefat (this machine's kernel has no vfat
// driver), so tests can copy onto a real FAT file system and see what it refuses.
//
// The object owns the driver process (run in the foreground, so its id is known), waits a bounded
// time for the mount to appear, and at the end unmounts with fusermount, waits for the driver to
// exit (killing it after a bounded wait) and removes the folder. When mkfs.vfat, fusefat,
// fusermount or /dev/fuse is missing, or the mount does not come up, mounted() is false and
// whyNotMounted() says why: tests skip with that reason (scripts/install-deps.sh installs the
// packages dosfstools and fusefat).
//
// Seen on fusefat 0.1a, which later tests meet too:
// - Names: it refuses with EPERM names holding " * : < > ? \ | or a control character, any
//   non-ASCII name ("é.mp3"), and names over 255 bytes; it takes "CON.mp3", "nul.txt", "Track."
//   and "Track " as they are. Lookups ignore case: opening "normal.MP3" opens "Normal.mp3".
// - rename: onto a name that it refuses, it fails with EPERM AND THE SOURCE FILE IS GONE; so a
//   name must be checked (volume_name_rules.h) before anything is renamed to it. A plain rename
//   onto a name that differs only in case replaces that file. renameat2(RENAME_NOREPLACE)
//   answers EEXIST when the name (in any case) is taken, else EINVAL (flags not supported).
// - Sizes: ftruncate cannot grow a file (EPERM); sizes wrap at 4 GiB (ftruncate to 4 GiB
//   "succeeds" with size 0); a write far past the end (pwrite at 4 GiB - 1) fills the volume
//   and fails with EPERM, leaving a file whose cluster chain is longer than its size.
// - A full volume answers EPERM, not ENOSPC, after a short write.
// - statfs: f_type is FUSE (0x65735546), f_bsize and f_frsize 1024 whatever the cluster size,
//   f_blocks 0, so the free space reads as 0. mountinfo: type "fuse.fusefat", source "fusefat".
// - No hard links (EPERM), no symbolic links (ENOSYS); flock, utime and fdatasync work.
#pragma once

#include <string>
#include <sys/types.h>

namespace testsupport {

class FatImage {
public:
    // An image of `sizeKiB` KiB (the least that mkfs.vfat makes FAT32 of is about 33 MiB).
    explicit FatImage(long sizeKiB = 40960);
    ~FatImage();
    FatImage(const FatImage&) = delete;
    FatImage& operator=(const FatImage&) = delete;

    bool mounted() const { return m_driver > 0; }
    const std::string& whyNotMounted() const { return m_whyNot; }
    // The host folder where the volume is mounted (canonical, no trailing "/").
    const std::string& mountFolder() const { return m_mountFolder; }
    const std::string& imagePath() const { return m_image; }

private:
    void mount(long sizeKiB);

    std::string m_folder;
    std::string m_image;
    std::string m_mountFolder;
    std::string m_whyNot;
    pid_t m_driver = -1;
};

} // namespace testsupport
