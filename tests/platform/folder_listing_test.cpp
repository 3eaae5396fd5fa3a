#include "platform/files.h"
#include "platform/folder_listing.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::TempDrive;

std::vector<std::string> namesOf(const platform::FolderListing& listing) {
    std::vector<std::string> names;
    for (const auto& entry : listing.entries) {
        names.push_back(entry.name + (entry.isFolder ? "/" : ""));
    }
    return names;
}

std::vector<std::string> list(const std::string& folder, const platform::ListingFilter& filter = {}) {
    platform::FolderListing listing;
    EXPECT_TRUE(platform::listFolder(folder, filter, listing)) << folder;
    return namesOf(listing);
}

// Entries come sorted by name without regard to case, the way the Windows file system
// orders them: digits, then letters, then "_", then Cyrillic; files and folders mixed.
TEST(FolderListingTest, SortsByNameWithoutRegardToCase) {
    TempDrive d;
    for (const char* name :
         {"b.mp3", "_x.mp3", "Яблоко.mp3", "a.MP3", "ёлка.mp3", "1.mp3", "A.mp3", "Ж.mp3"}) {
        d.writeFile(name);
    }
    d.makeFolder("Beta");
    d.makeFolder("alpha");
    EXPECT_EQ(list("D:\\"), (std::vector<std::string>{"1.mp3", "A.mp3", "a.MP3", "alpha/", "b.mp3", "Beta/",
                                                      "_x.mp3", "ёлка.mp3", "Ж.mp3", "Яблоко.mp3"}));
}

// The filters keep files, folders and hidden entries (names beginning with ".") as asked.
TEST(FolderListingTest, FiltersFilesFoldersAndHidden) {
    TempDrive d;
    d.writeFile("Music/a.mp3");
    d.writeFile("Music/.hidden.mp3");
    d.writeFile("Music/Sub/x.mp3");
    d.writeFile("Music/.git/x.mp3");
    struct Case {
        platform::ListingFilter filter;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{}, {".git/", ".hidden.mp3", "a.mp3", "Sub/"}},
        {{.files = true, .folders = false, .hidden = true}, {".hidden.mp3", "a.mp3"}},
        {{.files = false, .folders = true, .hidden = false}, {"Sub/"}},
        {{.files = true, .folders = true, .hidden = false}, {"a.mp3", "Sub/"}},
        {{.files = false, .folders = false, .hidden = true}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(list("d:\\music", c.filter), c.names);
    }
    platform::FolderListing listing;
    ASSERT_TRUE(platform::listFolder("D:\\Music", {}, listing));
    for (const auto& entry : listing.entries) {
        EXPECT_EQ(entry.hidden, entry.name[0] == '.') << entry.name;
    }
}

// Sizes are the real 64-bit lengths, times come from the host, folders have size 0.
TEST(FolderListingTest, EntriesCarryRealSizeAndTime) {
    TempDrive d;
    d.writeFile("small.mp3", "12345");
    d.writeFile("huge.wav");
    d.makeFolder("Sub");
    ASSERT_EQ(::truncate(d.hostPath("huge.wav").c_str(), 5'000'000'000), 0); // sparse: takes no space
    timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 123}};
    ASSERT_EQ(::utimensat(AT_FDCWD, d.hostPath("small.mp3").c_str(), times, 0), 0);

    platform::FolderListing listing;
    ASSERT_TRUE(platform::listFolder("D:\\", {}, listing));
    ASSERT_EQ(namesOf(listing), (std::vector<std::string>{"huge.wav", "small.mp3", "Sub/"}));
    EXPECT_EQ(listing.entries[0].size, 5'000'000'000);
    EXPECT_EQ(listing.entries[1].size, 5);
    EXPECT_EQ(listing.entries[1].modifiedTime, 1'000'000'000'000'000'123); // in ns
    EXPECT_EQ(listing.entries[2].size, 0);
}

// Links are followed: a link to a folder is that folder (same identity, so a walker can tell
// it has been there), a link to a file is that file, broken links and pipes are left out.
TEST(FolderListingTest, FollowsLinksAndSkipsWhatIsNoFile) {
    TempDrive d;
    d.writeFile("Music/Sub/a.mp3", "abc");
    ASSERT_EQ(::symlink("..", d.hostPath("Music/Sub/Up").c_str()), 0);
    ASSERT_EQ(::symlink("a.mp3", d.hostPath("Music/Sub/link.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("gone.mp3", d.hostPath("Music/Sub/broken.mp3").c_str()), 0);
    ASSERT_EQ(::mkfifo(d.hostPath("Music/Sub/pipe.mp3").c_str(), 0600), 0);

    platform::FolderListing music, sub, up;
    ASSERT_TRUE(platform::listFolder("D:\\Music", {}, music));
    ASSERT_TRUE(platform::listFolder("D:\\Music\\Sub", {}, sub));
    ASSERT_TRUE(platform::listFolder("D:\\Music\\Sub\\Up", {}, up));
    EXPECT_EQ(namesOf(sub), (std::vector<std::string>{"a.mp3", "link.mp3", "Up/"}));
    EXPECT_EQ(sub.entries[1].size, 3);
    EXPECT_EQ(sub.entries[2].identity, music.identity);
    EXPECT_EQ(up.identity, music.identity);
    EXPECT_EQ(music.entries[0].identity, sub.identity);
    EXPECT_NE(music.identity, sub.identity);
}

// A folder that is missing, a file, or on no drive cannot be listed, and the listing is empty.
TEST(FolderListingTest, FailsForWhatIsNoFolder) {
    TempDrive d;
    d.writeFile("a.mp3");
    for (const char* path : {"D:\\Missing", "D:\\a.mp3", "Q:\\", "\\\\server\\share"}) {
        platform::FolderListing listing;
        listing.entries.resize(3);
        EXPECT_FALSE(platform::listFolder(path, {}, listing)) << path;
        EXPECT_TRUE(listing.entries.empty()) << path;
        EXPECT_FALSE(platform::lastErrorText().empty()) << path;
    }
}

} // namespace
