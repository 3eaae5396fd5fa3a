#include "platform/host_names.h"
#include "platform/volume_name_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

using platform::NameProblem;
using platform::VolumeKind;

const platform::VolumeFacts fat = platform::volumeFactsOfKind(VolumeKind::Fat32);
const platform::VolumeFacts ext4 = platform::volumeFactsOfKind(VolumeKind::Posix);

std::string repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Program-name stand-ins (host_names.h): U+F03A stands for ":", U+F000 escapes a literal one.
const std::string colonStandIn = "\xEF\x80\xBA";
const std::string escapeMark = "\xEF\x80\x80";
const std::string ya = "\xD1\x8F";            // я: 2 bytes, 1 UTF-16 unit
const std::string euro = "\xE2\x82\xAC";      // €: 3 bytes, 1 unit
const std::string smile = "\xF0\x9F\x98\x80"; // U+1F600: 4 bytes, 2 units

struct ProblemCase {
    std::string name;
    std::optional<NameProblem> onFat;
    std::optional<NameProblem> onExt4;
};

// Each rule on a Windows-rules volume and on a POSIX one, names judged as the host will hold them.
TEST(NameProblemOn, JudgesEachRulePerVolume) {
    const ProblemCase cases[] = {
        {"Track.mp3", {}, {}},
        {"", NameProblem::Empty, NameProblem::Empty},
        {".", NameProblem::DotName, NameProblem::DotName},
        {"..", NameProblem::DotName, NameProblem::DotName},
        {"a:b.mp3", NameProblem::InvalidChar, {}},
        {"a" + colonStandIn + "b.mp3", NameProblem::InvalidChar, {}}, // a host ":" in a program name
        {"a" + escapeMark + colonStandIn + "b", {}, {}},              // a literal U+F03A on the host
        {"Why?.mp3", NameProblem::InvalidChar, {}},
        {"a*b", NameProblem::InvalidChar, {}},
        {"<a>", NameProblem::InvalidChar, {}},
        {"a|b", NameProblem::InvalidChar, {}},
        {"say \"hi\"", NameProblem::InvalidChar, {}},
        {"a\\b", NameProblem::InvalidChar, {}},
        {"a/b", NameProblem::InvalidChar, NameProblem::InvalidChar},
        {std::string("a\0b", 3), NameProblem::InvalidChar, NameProblem::InvalidChar},
        {"tab\there", NameProblem::ControlChar, {}},
        {"bell\x1f", NameProblem::ControlChar, {}},
        {"CON", NameProblem::ReservedName, {}},
        {"con.mp3", NameProblem::ReservedName, {}},
        {"Com1.txt.mp3", NameProblem::ReservedName, {}}, // the device is told by the first dot
        {"nul.tar.gz", NameProblem::ReservedName, {}},
        {"LPT9", NameProblem::ReservedName, {}},
        {"aux .mp3", NameProblem::ReservedName, {}},
        {"PRN", NameProblem::ReservedName, {}},
        {"COM0", {}, {}},
        {"COM10.mp3", {}, {}},
        {"CONSOLE.mp3", {}, {}},
        {"LPT", {}, {}},
        {"my CON.mp3", {}, {}},
        {".con", {}, {}},
        {"Track.", NameProblem::TrailingDotOrBlank, {}},
        {"Track ", NameProblem::TrailingDotOrBlank, {}},
        {"...", NameProblem::TrailingDotOrBlank, {}},
        {std::string(255, 'L'), {}, {}},
        {std::string(256, 'L'), NameProblem::TooLong, NameProblem::TooLong},
        {repeat(ya, 128), {}, NameProblem::TooLong},                      // 128 units, 256 bytes
        {repeat(euro, 85), {}, {}},                                       // 85 units, 255 bytes
        {repeat(smile, 127), {}, NameProblem::TooLong},                   // 254 units
        {repeat(smile, 128), NameProblem::TooLong, NameProblem::TooLong}, // 256 units
        {repeat(colonStandIn, 100), NameProblem::InvalidChar, {}},        // 300 bytes, 100 on the host
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::nameProblemOn(fat, c.name), c.onFat) << c.name;
        EXPECT_EQ(platform::nameProblemOn(ext4, c.name), c.onExt4) << c.name;
    }
}

// exFAT and NTFS keep the same name rules as FAT32, without its size limit.
TEST(VolumeFactsOfKind, GivesTheRulesOfEachKind) {
    struct Case {
        VolumeKind kind;
        int64_t maxFileSize;
        bool windowsRules;
    };
    const Case cases[] = {
        {VolumeKind::Fat32, 4294967295, true},
        {VolumeKind::ExFat, platform::NoFileSizeLimit, true},
        {VolumeKind::Ntfs, platform::NoFileSizeLimit, true},
        {VolumeKind::UnknownFuseBlock, platform::NoFileSizeLimit, true},
        {VolumeKind::Posix, platform::NoFileSizeLimit, false},
    };
    for (const auto& c : cases) {
        const auto facts = platform::volumeFactsOfKind(c.kind);
        EXPECT_EQ(facts.maxFileSize, c.maxFileSize) << static_cast<int>(c.kind);
        EXPECT_EQ(facts.windowsNameRules, c.windowsRules) << static_cast<int>(c.kind);
        EXPECT_EQ(facts.caseInsensitive, c.windowsRules) << static_cast<int>(c.kind);
        EXPECT_EQ(platform::nameProblemOn(facts, "CON.mp3").has_value(), c.windowsRules);
    }
}

struct FitCase {
    std::string name;
    std::string onFat;
    std::string onExt4;
};

// The fixes that need no choice: trailing dots, device names, length at a character boundary.
TEST(FitNameToVolume, FixesWhatTheVolumeRefuses) {
    const FitCase cases[] = {
        {"Track.mp3", "Track.mp3", "Track.mp3"},
        {"Track.", "Track", "Track."},
        {"Track . .", "Track", "Track . ."},
        {"...", "_", "..."},
        {"CON.mp3", "CON_.mp3", "CON.mp3"},
        {"con", "con_", "con"},
        {"Com1.txt.mp3", "Com1_.txt.mp3", "Com1.txt.mp3"},
        {"CON.", "CON_", "CON."},
        {"a:b.mp3", "a:b.mp3", "a:b.mp3"}, // characters are the run's treatment
        {std::string(300, 'L') + ".mp3", std::string(251, 'L') + ".mp3", std::string(251, 'L') + ".mp3"},
        {repeat(ya, 200) + ".mp3", repeat(ya, 200) + ".mp3", repeat(ya, 125) + ".mp3"},
        {repeat(smile, 130) + ".mp3", repeat(smile, 125) + ".mp3", repeat(smile, 62) + ".mp3"},
        // An extension as long as the limit is not kept; the cut then must not end in a blank.
        {"a." + std::string(300, 'x'), "a." + std::string(253, 'x'), "a." + std::string(253, 'x')},
        {std::string(254, 'L') + "  LLL", std::string(254, 'L'), std::string(254, 'L') + " "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::fitNameToVolume(fat, c.name), c.onFat) << c.name;
        EXPECT_EQ(platform::fitNameToVolume(ext4, c.name), c.onExt4) << c.name;
        EXPECT_FALSE(platform::nameProblemOn(ext4, platform::fitNameToVolume(ext4, c.name))) << c.name;
    }
}

// A stand-in is one character on the host: lengths count it so, and a cut never splits it.
TEST(FitNameToVolume, CountsStandInsAsTheHostCharacter) {
    const std::string name = repeat(colonStandIn, 100) + std::string(200, 'L');
    const std::string fitted = platform::fitNameToVolume(ext4, name);
    EXPECT_EQ(fitted, repeat(colonStandIn, 100) + std::string(155, 'L'));
    EXPECT_EQ(platform::hostNameOfProgramName(fitted), std::string(100, ':') + std::string(155, 'L'));
    // A literal U+F03A on the host is written as the escape mark and the stand-in: 3 host bytes.
    const std::string literal = escapeMark + colonStandIn;
    EXPECT_EQ(platform::fitNameToVolume(ext4, std::string(250, 'L') + repeat(literal, 3)),
              std::string(250, 'L') + literal);
}

// Names that differ only in case are one file on FAT, two on ext4; equal names clash everywhere.
TEST(NamesClash, FollowsTheVolumeCase) {
    struct Case {
        std::string a, b;
        bool onFat, onExt4;
    };
    const Case cases[] = {
        {"Track.mp3", "TRACK.MP3", true, false},
        {"Track.mp3", "Track.mp3", true, true},
        {"\xD0\xA2\xD1\x80\xD0\xB5\xD0\xBA", "\xD0\xA2\xD0\xA0\xD0\x95\xD0\x9A", true, false}, // Трек, ТРЕК
        {"Track.mp3", "Track.mp4", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::namesClash(fat, c.a, c.b), c.onFat) << c.a << " " << c.b;
        EXPECT_EQ(platform::namesClash(ext4, c.a, c.b), c.onExt4) << c.a << " " << c.b;
    }
}

// What a file takes on the volume: whole units, an empty file none, no overflow.
TEST(RoundUpToAllocationUnit, RoundsToWholeUnits) {
    constexpr int64_t most = std::numeric_limits<int64_t>::max();
    struct Case {
        int64_t size, unit, expected;
    };
    const Case cases[] = {
        {0, 4096, 0},
        {1, 4096, 4096},
        {4096, 4096, 4096},
        {4097, 4096, 8192},
        {4294967295, 32768, 4294967296},
        {5, 0, 5},
        {most - 1, 4096, most},
        {most, 1, most},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::roundUpToAllocationUnit(c.size, c.unit), c.expected) << c.size << " " << c.unit;
    }
}

} // namespace
