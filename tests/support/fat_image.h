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
// Seen on fusefat 0.1a: it refuses with EPERM names holding " * : < > ? \ | or a control
// character, any non-ASCII name, and names over 255 bytes; it accepts CON.mp3, "Track." and
// "Track "; it finds "normal.MP3" as an existing "Normal.mp3"; statfs answers f_type FUSE,
// f_bsize 1024 whatever the cluster size, and 0 blocks (free space reads as 0); file sizes wrap
// at 4 GiB (ftruncate to 4 GiB succeeds and leaves size 0).
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
