#include "platform/drive_mappings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using platform::DriveMapping;

// "D:=/mnt/old" in its accepted spellings; Z: stays the host root, and a text without a letter
// or a folder is no mapping.
TEST(DriveMapping, ReadsALetterAndAFolder) {
    const std::pair<const char*, std::optional<DriveMapping>> cases[] = {
        {"D:=/mnt/old", DriveMapping{'D', "/mnt/old"}},
        {"d=/mnt/old", DriveMapping{'D', "/mnt/old"}},
        {" E: = /media/Music Box ", DriveMapping{'E', "/media/Music Box"}},
        {"Y:=rel/dir", DriveMapping{'Y', "rel/dir"}},
        {"Z:=/mnt", std::nullopt},
        {"D:=", std::nullopt},
        {"D:/mnt/old", std::nullopt},
        {"DD:=/mnt", std::nullopt},
        {"1:=/mnt", std::nullopt},
        {"=/mnt", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(platform::parseDriveMapping(text), expected) << text;
    }
}

// A settings text holds several, separated by ";" or line ends; the rest is left out.
TEST(DriveMapping, ReadsAListSkippingWhatIsNoMapping) {
    EXPECT_EQ(platform::parseDriveMappings("D:=/a;junk\r\nE:=/b\n;Z:=/c;"),
              (std::vector<DriveMapping>{{'D', "/a"}, {'E', "/b"}}));
    EXPECT_TRUE(platform::parseDriveMappings("").empty());
}

} // namespace
