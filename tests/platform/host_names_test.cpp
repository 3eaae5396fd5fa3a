#include "platform/drives.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/host_names.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using testsupport::TempDrive;

// The drive's helpers read "\\" as a separator; these take a host path as it is.
void writeHostFile(const std::string& hostPath, const std::string& content) {
    std::ofstream(hostPath, std::ios::binary) << content;
}
std::string readHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The stand-ins as bytes: U+F05C for "\", U+F03A for ":", U+F03F for "?", U+F000 the escape.
const std::string Backslash = "\xEF\x81\x9C";
const std::string Colon = "\xEF\x80\xBA";
const std::string Question = "\xEF\x80\xBF";
const std::string Escape = "\xEF\x80\x80";

struct NameCase {
    std::string host;
    std::string program;
};

const NameCase NameCases[] = {
    {"a.mp3", "a.mp3"},
    {"Песня 1.mp3", "Песня 1.mp3"},
    {"x\\..\\..\\victim.mp3", "x" + Backslash + ".." + Backslash + ".." + Backslash + "victim.mp3"},
    {"C:x.mp3", "C" + Colon + "x.mp3"},
    {"\\", Backslash},
    {"why?.mp3", "why" + Question + ".mp3"},
    {"*\"<>|", "\xEF\x80\xAA\xEF\x80\xA2\xEF\x80\xBC\xEF\x80\xBE\xEF\x81\xBC"},
    // A name that holds a stand-in or the escape itself keeps it through the escape.
    {"a" + Colon + "b", "a" + Escape + Colon + "b"},
    {Escape + Escape + ":", Escape + Escape + Escape + Escape + Colon},
    // Bytes that are no UTF-8, and a stand-in cut short, pass as they are.
    {"\xFF\xEF\x80", "\xFF\xEF\x80"},
    {"\xEF" + Backslash.substr(0, 2), "\xEF" + Backslash.substr(0, 2)},
};

// Forbidden characters become stand-ins, and every host name comes back exactly.
TEST(HostNamesTest, MapToStandInsAndBackExactly) {
    for (const auto& [host, program] : NameCases) {
        EXPECT_EQ(platform::programNameOfHostName(host), program) << host;
        EXPECT_EQ(platform::hostNameOfProgramName(program), host) << host;
    }
    // A program name typed with a stand-in names the host character.
    EXPECT_EQ(platform::hostNameOfProgramName("x" + Backslash + "y"), "x\\y");
}

// Real files with forbidden characters in their names: the listing gives one program name per
// file, that name leads back to the very file, and no name adds a folder step.
TEST(HostNamesTest, ListedNamesLeadBackToTheirFiles) {
    TempDrive d;
    d.writeFile("victim.mp3", "victim");
    d.makeFolder("src");
    std::vector<std::string> hostNames;
    for (const auto& c : NameCases) {
        hostNames.push_back(c.host);
        writeHostFile(d.hostPath("src") + "/" + c.host, c.host);
    }
    platform::FolderListing listing;
    ASSERT_TRUE(platform::listFolder("D:\\src", {}, listing));
    ASSERT_EQ(listing.entries.size(), hostNames.size());
    for (const auto& entry : listing.entries) {
        const std::string program = "D:\\src\\" + entry.name;
        const auto host = platform::toHostPath(program);
        ASSERT_TRUE(host) << program;
        EXPECT_EQ(host->substr(0, d.hostRoot().size() + 5), d.hostRoot() + "/src/") << program;
        const std::string hostName = host->substr(d.hostRoot().size() + 5);
        EXPECT_NE(std::find(hostNames.begin(), hostNames.end(), hostName), hostNames.end()) << program;
        EXPECT_EQ(readHostFile(*host), hostName);
        EXPECT_EQ(platform::toProgramPath(*host), program);
        EXPECT_EQ(platform::fullProgramPath(program), program);
    }
    EXPECT_EQ(d.readFile("victim.mp3"), "victim");
    // A file:// address names host files, so "\" and ":" in it are ordinary characters.
    EXPECT_TRUE(platform::fileExists("file://" + d.hostRoot() + "/src/x%5C..%5C..%5Cvictim.mp3"));
    EXPECT_TRUE(platform::fileExists("file://" + d.hostRoot() + "/src/C:x.mp3"));
}

// The full form of a destination as typed, the way the file calls read it.
TEST(HostNamesTest, FullProgramPathsResolveTheTypedForms) {
    TempDrive d;
    d.makeFolder("Work");
    ASSERT_TRUE(platform::setCurrentFolder("D:\\Work"));
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"Z:/media/stick/dst", "Z:\\media\\stick\\dst"},
        {"D:\\Music/Sub", "D:\\Music\\Sub"},
        {"D:\\Music\\", "D:\\Music"},
        {"d:\\Music\\.\\Rock\\..\\..\\..\\x", "D:\\x"},
        {"D:", "D:\\Work"},
        {"D:dst", "D:\\Work\\dst"},
        {"Q:dst", "Q:\\dst"},
        {"\\dst", "D:\\dst"},
        {"dst/", "D:\\Work\\dst"},
        {"D:\\", "D:\\"},
        {"D:/", "D:\\"},
        {"\\\\server\\share", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [typed, full] : cases) {
        EXPECT_EQ(platform::fullProgramPath(typed), full) << typed;
    }
}

} // namespace
