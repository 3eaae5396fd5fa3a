#include "platform/drives.h"
#include "platform/volume_facts.h"
#include "support/fat_image.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <optional>
#include <string>
#include <vector>

namespace {

using platform::VolumeKind;
using platform::detail::MountEntry;

// The fields of one mount table line: the blank of a stick's label comes as \040, optional
// fields before "-" are passed over.
TEST(ParseMountInfo, ReadsTheFieldsOfALine) {
    const auto entry = platform::detail::parseMountInfoLine(
        "50 22 8:17 / /media/ann/MY\\040STICK rw,nosuid,relatime shared:5 master:3 - vfat /dev/sdb1 "
        "rw,fmask=0022,codepage=437,utf8");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->major, 8u);
    EXPECT_EQ(entry->minor, 17u);
    EXPECT_EQ(entry->mountPoint, "/media/ann/MY STICK");
    EXPECT_EQ(entry->fsType, "vfat");
    EXPECT_EQ(entry->source, "/dev/sdb1");
    EXPECT_EQ(entry->superOptions, "rw,fmask=0022,codepage=437,utf8");
}

// Lines that are not mount table lines are left out, not misread.
TEST(ParseMountInfo, SkipsMalformedLines) {
    const auto entries =
        platform::detail::parseMountInfo("\n"
                                         "garbage\n"
                                         "22 1 8:1 / / rw,relatime\n"            // no "-"
                                         "22 1 8:x / / rw - ext4 /dev/sda1 rw\n" // bad device
                                         "22 1 8:1 / / rw - ext4\n"              // no source
                                         "23 1 8:2 / /home rw shared:1 - ext4 /dev/sda2 rw");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].mountPoint, "/home");
}

struct KindCase {
    std::string line; // the part from the file-system type on
    std::string deviceFsType;
    VolumeKind kind;
};

// The kind of a volume from its mount table entry; FUSE block mounts by their device when the
// entry names no file system, and a source that is a path is never read as a name.
TEST(VolumeKindOf, MapsMountTableTypes) {
    const KindCase cases[] = {
        {"ext4 /dev/sda1 rw,errors=remount-ro", "", VolumeKind::Posix},
        {"tmpfs tmpfs rw,size=4k", "", VolumeKind::Posix},
        {"btrfs /dev/sda3 rw,subvol=/home", "", VolumeKind::Posix},
        {"vfat /dev/sdb1 rw,codepage=437", "", VolumeKind::Fat32},
        {"msdos /dev/sdb1 rw", "", VolumeKind::Fat32},
        {"exfat /dev/sdb1 rw,iocharset=utf8", "", VolumeKind::ExFat},
        {"ntfs /dev/sdc1 rw", "", VolumeKind::Ntfs},
        {"ntfs3 /dev/sdc1 rw,iocharset=utf8", "", VolumeKind::Ntfs},
        {"fuse.fusefat fusefat rw,user_id=0,group_id=0", "", VolumeKind::Fat32},
        {"fuse.exfat /dev/sdb1 rw,user_id=0", "", VolumeKind::ExFat},
        {"fuse.exfat-fuse /dev/sdb1 rw,user_id=0", "", VolumeKind::ExFat},
        {"fuse.ntfs-3g /dev/sdc1 rw,user_id=0", "", VolumeKind::Ntfs},
        {"fuseblk.ntfs /dev/sdc1 rw,user_id=0", "", VolumeKind::Ntfs},
        {"fuse fusefat rw,user_id=0", "", VolumeKind::Fat32},
        {"fuseblk ntfs-3g rw,user_id=0", "", VolumeKind::Ntfs},
        {"fuseblk /dev/sdc1 rw,user_id=0,subtype=exfat", "", VolumeKind::ExFat},
        {"fuseblk /dev/sdc1 rw,user_id=0,blksize=4096", "ntfs", VolumeKind::Ntfs},
        {"fuseblk /dev/sdb1 rw,user_id=0,blksize=4096", "exfat", VolumeKind::ExFat},
        {"fuseblk /dev/sdb1 rw,user_id=0,blksize=4096", "", VolumeKind::UnknownFuseBlock},
        {"fuseblk /dev/disk/by-label/ntfs rw,user_id=0", "", VolumeKind::UnknownFuseBlock},
        {"fuse.sshfs ann@host:/music rw,user_id=0", "", VolumeKind::Posix},
    };
    for (const auto& c : cases) {
        const auto entry = platform::detail::parseMountInfoLine("40 22 0:45 / /media/x rw - " + c.line);
        ASSERT_TRUE(entry) << c.line;
        EXPECT_EQ(platform::detail::volumeKindOf(*entry, c.deviceFsType), c.kind) << c.line;
    }
    EXPECT_EQ(platform::detail::volumeKindOfMagic(0x4d44), VolumeKind::Fat32);
    EXPECT_EQ(platform::detail::volumeKindOfMagic(0xEF53), VolumeKind::Posix);
}

// The entry of a folder: by its device among the mount points that contain it, deepest first;
// by the longest containing mount point when no entry has its device (btrfs subvolumes).
TEST(FindMount, PicksTheFolderVolume) {
    const auto entries =
        platform::detail::parseMountInfo("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                         "23 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
                                         "50 22 8:17 / /media/ann/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
                                         "60 22 8:1 /srv /srv/bind rw - ext4 /dev/sda1 rw\n"
                                         "70 22 8:33 / /mnt/card rw - exfat /dev/sdc1 rw\n"
                                         "71 70 8:49 / /mnt/card rw - vfat /dev/sdd1 rw\n");
    struct Case {
        unsigned major, minor;
        std::string folder;
        std::string mountPoint;
        std::string source;
    };
    const Case cases[] = {
        {8, 17, "/media/ann/MY STICK/Music", "/media/ann/MY STICK", "/dev/sdb1"},
        {8, 17, "/media/ann/MY STICK", "/media/ann/MY STICK", "/dev/sdb1"},
        {8, 1, "/media/ann/MY STICKY", "/", "/dev/sda1"},
        {8, 1, "/srv/bind/x", "/srv/bind", "/dev/sda1"},
        {0, 99, "/home/ann/sub", "/home", "/dev/sda2"},
        {8, 33, "/mnt/card/a", "/mnt/card", "/dev/sdc1"}, // the device decides between mounts on one folder
        {8, 49, "/mnt/card/a", "/mnt/card", "/dev/sdd1"},
    };
    for (const auto& c : cases) {
        const MountEntry* entry = platform::detail::findMount(entries, c.major, c.minor, c.folder);
        ASSERT_NE(entry, nullptr) << c.folder;
        EXPECT_EQ(entry->mountPoint, c.mountPoint) << c.folder;
        EXPECT_EQ(entry->source, c.source) << c.folder;
    }
    EXPECT_EQ(platform::detail::findMount(entries, 8, 1, "relative/path"), nullptr);
}

// A test can give a folder the facts of a stick; nullopt from the hook asks the kernel.
TEST(VolumeFactsHook, AnswersForTheFoldersItKnows) {
    testsupport::TempDrive d{'D'};
    d.makeFolder("Music");
    const std::string stick = d.hostPath("Music") + "/New";
    platform::setVolumeFactsForTesting(
        [&stick](const std::string& folder) -> std::optional<platform::VolumeFacts> {
            if (folder != stick) {
                return std::nullopt;
            }
            auto facts = platform::volumeFactsOfKind(VolumeKind::Fat32);
            facts.fsType = "vfat";
            return facts;
        });
    const auto onStick = platform::volumeFactsOf("D:\\Music\\New");
    const auto beside = platform::volumeFactsOf("D:\\Music");
    platform::setVolumeFactsForTesting({});
    const auto afterwards = platform::volumeFactsOf("D:\\Music\\New");
    ASSERT_TRUE(onStick && beside && afterwards);
    EXPECT_EQ(onStick->fsType, "vfat");
    EXPECT_EQ(onStick->kind, VolumeKind::Fat32);
    EXPECT_NE(beside->fsType, "vfat");
    EXPECT_EQ(afterwards->fsType, beside->fsType);
}

// A folder that does not exist yet has the facts of its nearest existing folder; a path on no
// drive has none.
TEST(VolumeFactsOf, TmpIsAPosixVolume) {
    testsupport::TempDrive d{'D'};
    const auto facts = platform::volumeFactsOf("D:\\Music\\Not\\Yet");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->kind, VolumeKind::Posix) << facts->fsType;
    EXPECT_FALSE(facts->fsType.empty());
    EXPECT_FALSE(facts->windowsNameRules);
    EXPECT_FALSE(facts->caseInsensitive);
    EXPECT_FALSE(facts->asciiNamesOnly);
    EXPECT_EQ(facts->maxFileSize, platform::NoFileSizeLimit);
    EXPECT_GT(facts->allocationUnit, 0);
    EXPECT_FALSE(platform::volumeFactsOf("Q:\\Music"));
    EXPECT_FALSE(platform::volumeFactsOf("\\\\server\\share\\Music"));
}

// A real FAT32 volume (an image mounted by fusefat) is told apart by its mount table entry.
TEST(VolumeFactsOf, FatImageIsFat32) {
    testsupport::FatImage image;
    if (!image.mounted()) {
        GTEST_SKIP() << image.whyNotMounted();
    }
    testsupport::SavedDriveTable savedTable;
    platform::mountDrive('F', image.mountFolder());
    const auto facts = platform::volumeFactsOf("F:\\Music\\Album");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->kind, VolumeKind::Fat32);
    EXPECT_EQ(facts->fsType, "fuse.fusefat");
    EXPECT_EQ(facts->mountPoint, image.mountFolder());
    EXPECT_EQ(facts->maxFileSize, 4294967295);
    EXPECT_TRUE(facts->windowsNameRules);
    EXPECT_TRUE(facts->caseInsensitive);
    EXPECT_TRUE(facts->removable);
    EXPECT_GT(facts->allocationUnit, 0);
    // Its driver refuses non-ASCII names: learnt from a scratch file that does not stay.
    EXPECT_TRUE(facts->asciiNamesOnly);
    EXPECT_TRUE(std::filesystem::is_empty(image.mountFolder()));
}

} // namespace
