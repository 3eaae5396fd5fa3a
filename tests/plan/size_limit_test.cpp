#include "plan/history.h"
#include "plan/size_limit.h"

#include "platform/drives.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <vector>

namespace {

struct NumberCase {
    std::string text;
    int status;
    double number;
};

// Digits, both decimal points and the sign are read; anything else is left out.
TEST(ParseNumber, ReadsWhatConverts) {
    const NumberCase cases[] = {
        {"4.7", 0, 4.7},   {"4,7", 0, 4.7},
        {"700", 0, 700},   {"-5", 0, -5},
        {"12 Mb", 0, 12},  {"1e3", 0, 13},
        {".5", 0, 0.5},    {"5.", 0, 5},
        {"abc", 255, 0},   {"", 255, 0},
        {"1.2.3", 255, 0}, {"5-", 255, 0},
        {"--5", 255, 0},   {".", 255, 0},
        {"-", 255, 0},     {"1" + std::string(400, '0'), 255, 0}, // beyond a double
    };
    for (const auto& c : cases) {
        const plan::ParsedNumber parsed = plan::ParseNumber(c.text);
        EXPECT_EQ(parsed.status, c.status) << c.text;
        EXPECT_DOUBLE_EQ(parsed.number, c.number) << c.text;
    }
}

// Typed megabytes become bytes; what does not convert is no limit.
TEST(SizeLimitFromText, TypedLimits) {
    constexpr int64_t most = std::numeric_limits<int64_t>::max();
    const std::pair<std::string, int64_t> cases[] = {
        {"4.7", 4700000},
        {"4,7", 4700000},
        {"700", 700000000},
        {"abc", 0},
        {"", 0},
        {"1.2.3", 0},
        {"-5", -5000000},
        {"0", 0},
        {"0.0000015", 1}, // a fraction of a byte is cut off
        {"4700", 4700000000},
        {"99999999999999999999", most},
        {"-99999999999999999999", std::numeric_limits<int64_t>::min()},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(plan::sizeLimitFromText(text), bytes) << text;
}

// Binary rounding never takes a byte off a typed limit with up to six decimals.
TEST(SizeLimitFromText, DecimalLimitsAreExact) {
    for (int64_t thousandths = 0; thousandths < 300000; thousandths += 7) {
        std::string text =
            std::to_string(thousandths / 1000) + "." + std::to_string(1000 + thousandths % 1000).substr(1);
        ASSERT_EQ(plan::sizeLimitFromText(text), thousandths * 1000) << text;
    }
    EXPECT_EQ(plan::sizeLimitFromText("1.001"), 1001000);
    EXPECT_EQ(plan::sizeLimitFromText("0.000001"), 1);
    EXPECT_EQ(plan::sizeLimitFromText("4.35"), 4350000);
}

// The limit box shows whole megabytes of the free space, cut toward zero.
TEST(MegabytesText, CutsTowardZero) {
    EXPECT_EQ(plan::megabytesText(4700 * plan::BytesPerMegabyte), "4700");
    EXPECT_EQ(plan::megabytesText(4700 * plan::BytesPerMegabyte + 999999), "4700");
    EXPECT_EQ(plan::megabytesText(999999), "0");
    EXPECT_EQ(plan::megabytesText(-1), "0");
    EXPECT_EQ(plan::sizeLimitFromText(plan::megabytesText(4700 * plan::BytesPerMegabyte)), 4700000000);
    EXPECT_EQ(plan::sizeLimitFromText(plan::megabytesText(999999)), 0);
}

// Only a typed limit other than 0 joins the history, once, on top.
TEST(ApplySizeLimit, TypedLimitsBuildAHistory) {
    std::vector<std::string> items{"100"};
    EXPECT_EQ(plan::ApplySizeLimit("700", false, items), 700000000);
    EXPECT_EQ(items, (std::vector<std::string>{"700", "100"}));
    EXPECT_EQ(plan::ApplySizeLimit("700", false, items), 700000000);
    EXPECT_EQ(plan::ApplySizeLimit("100", false, items), 100000000);
    EXPECT_EQ(items, (std::vector<std::string>{"700", "100"}));

    EXPECT_EQ(plan::ApplySizeLimit("-5", false, items), -5000000);
    EXPECT_EQ(items.front(), "-5");
    EXPECT_EQ(plan::ApplySizeLimit("abc", false, items), 0);
    EXPECT_EQ(plan::ApplySizeLimit("", false, items), 0);
    EXPECT_EQ(plan::ApplySizeLimit("4700", true, items), 4700000000);
    EXPECT_EQ(items, (std::vector<std::string>{"-5", "700", "100"}));
}

// A limit of playing time: minutes with their unit (also after a name, as the history's
// "Audio CD 74 мин"), or minutes and seconds; anything else is no time. A typed time limit joins
// the history and gives no size limit.
TEST(TimeLimitFromText, MinutesAndClockTimes) {
    const std::pair<const char*, int64_t> cases[] = {
        {"80 мин", 4800}, {"80мин", 4800}, {" Audio CD 74 мин ", 4440},
        {"3 min", 180},   {"74:00", 4440}, {"1:14:00", 4440},
        {"0:30", 30},     {"700", 0},      {"4,7", 0},
        {"мин", 0},       {"74:60", 0},    {"1:2:3:4", 0},
        {"74:", 0},       {":30", 0},      {"", 0},
        {"80 минут", 0},
    };
    for (const auto& [text, seconds] : cases) {
        EXPECT_EQ(plan::timeLimitFromText(text), seconds) << text;
    }
    std::vector<std::string> items{"700"};
    EXPECT_EQ(plan::ApplySizeLimit("Audio CD 80 мин", false, items), 0);
    EXPECT_EQ(items, (std::vector<std::string>{"Audio CD 80 мин", "700"}));
}

// A history takes a text once, whatever its letter case, newest first.
TEST(AddToHistory, IgnoresLetterCase) {
    std::vector<std::string> items{R"(D:\Music)"};
    EXPECT_FALSE(plan::rememberInHistory(items, R"(d:\MUSIC)"));
    EXPECT_TRUE(plan::rememberInHistory(items, R"(D:\Музыка\Рок)"));
    EXPECT_FALSE(plan::rememberInHistory(items, R"(d:\МУЗЫКА\рок)"));
    EXPECT_TRUE(plan::rememberInHistory(items, R"(D:\Music2)"));
    EXPECT_EQ(items, (std::vector<std::string>{R"(D:\Music2)", R"(D:\Музыка\Рок)", R"(D:\Music)"}));
}

// What the dependent controls of the destination page show.
TEST(DestOptionsFor, EnablesAndFillsTheDependentControls) {
    platform::unmountDrive('Q');
    plan::DestPageControls controls{
        .renameFiles = false, .autoSizeLimit = false, .keepFolderLevels = false, .destFolder = R"(Q:\x)"};
    plan::DestPageState state = plan::destOptionsFor(controls);
    EXPECT_FALSE(state.renameGroupEnabled);
    EXPECT_TRUE(state.sizeLimitEnabled);
    EXPECT_FALSE(state.folderLevelsEnabled);
    EXPECT_EQ(state.sizeLimitText, std::nullopt);

    controls = {
        .renameFiles = true, .autoSizeLimit = true, .keepFolderLevels = true, .destFolder = R"(Q:\x)"};
    state = plan::destOptionsFor(controls);
    EXPECT_TRUE(state.renameGroupEnabled);
    EXPECT_FALSE(state.sizeLimitEnabled);
    EXPECT_TRUE(state.folderLevelsEnabled);
    EXPECT_EQ(state.sizeLimitText, "0"); // a drive that cannot be queried
}

// Below one megabyte of free space the automatic limit keeps the fraction, so it still gives a
// limit; whole megabytes above.
TEST(FreeMegabytesText, KeepsTheFractionBelowOneMegabyte) {
    const struct {
        int64_t bytes;
        const char* text;
        int64_t limit;
    } cases[] = {
        {4700 * plan::BytesPerMegabyte + 999999, "4700", 4700000000},
        {plan::BytesPerMegabyte, "1", 1000000},
        {999999, "0.999999", 999999},
        {524288, "0.524288", 524288},
        {500000, "0.5", 500000},
        {1, "0.000001", 1},
        {0, "0", 0},
        {-1, "0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(plan::freeMegabytesText(c.bytes), c.text);
        EXPECT_EQ(plan::sizeLimitFromText(c.text), c.limit);
    }
}

// A nearly full volume (a tmpfs with less than a megabyte left) shows its free space and gives
// a limit; no destination typed yet shows nothing rather than the working folder's space.
TEST(DestOptionsFor, NearlyFullVolumeStillGivesALimit) {
    testsupport::TempDrive d{'D'};
    d.makeFolder("stick");
    const std::string folder = d.hostPath("stick");
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
    }
    struct Unmount {
        std::string folder;
        ~Unmount() { ::umount(folder.c_str()); }
    } unmount{folder};
    d.writeFile("stick/full.bin", std::string(700 * 1024, 'x'));
    plan::DestPageControls controls{.autoSizeLimit = true, .destFolder = R"(D:\stick\music)"};
    const plan::DestPageState state = plan::destOptionsFor(controls);
    ASSERT_TRUE(state.sizeLimitText);
    const int64_t limit = plan::sizeLimitFromText(*state.sizeLimitText);
    EXPECT_GT(limit, 0) << *state.sizeLimitText;
    EXPECT_LT(limit, plan::BytesPerMegabyte) << *state.sizeLimitText;

    controls.destFolder = "  ";
    EXPECT_EQ(plan::destOptionsFor(controls).sizeLimitText, "");
}

int64_t hostFreeBytes(const std::string& hostFolder) {
    struct statvfs volume {};
    if (::statvfs(hostFolder.c_str(), &volume) != 0)
        return -1;
    return static_cast<int64_t>(volume.f_bavail) * static_cast<int64_t>(volume.f_frsize);
}

// Other work on the machine moves free space a little between two measurements.
constexpr int64_t Slack = 256 * plan::BytesPerMegabyte;

// The free space is that of the volume holding the destination's nearest existing folder,
// which need not be the drive root's volume.
TEST(FreeSpace, MeasuresTheVolumeOfTheNearestExistingFolder) {
    testsupport::TempDrive drive('D');
    drive.makeFolder(R"(Music)");
    const int64_t rootFree = hostFreeBytes(drive.hostRoot());
    ASSERT_GT(rootFree, 0);
    EXPECT_NEAR(plan::FreeSpace(R"(D:\Music\New\Album)"), rootFree, Slack);
    EXPECT_NEAR(plan::FreeSpace(R"(d:\)"), rootFree, Slack);

    plan::DestPageControls controls{.autoSizeLimit = true, .destFolder = R"(D:\Music\New)"};
    const std::string shown = *plan::destOptionsFor(controls).sizeLimitText;
    EXPECT_NEAR(std::stoll(shown), rootFree / plan::BytesPerMegabyte, Slack / plan::BytesPerMegabyte);
    std::vector<std::string> items;
    EXPECT_NEAR(plan::ApplySizeLimit(shown, true, items), rootFree, Slack);
    EXPECT_TRUE(items.empty());

    // A folder of another volume linked into the drive is measured on that volume.
    const std::filesystem::path shm = "/dev/shm";
    if (!std::filesystem::is_directory(shm))
        GTEST_SKIP() << "no second volume at /dev/shm";
    std::string other = (shm / "tw-plan-XXXXXX").string();
    ASSERT_NE(::mkdtemp(other.data()), nullptr);
    std::filesystem::create_directory_symlink(other, drive.hostPath(R"(Stick)"));
    const int64_t otherFree = hostFreeBytes(other);
    EXPECT_NEAR(plan::FreeSpace(R"(D:\Stick\New\Album)"), otherFree, Slack);
    std::filesystem::remove_all(other);
}

// A path without a drive letter measures the volume of the current folder; an unmapped
// drive cannot be queried.
TEST(FreeSpace, WithoutADriveUsesTheCurrentFolder) {
    testsupport::TempDrive drive('D');
    ASSERT_TRUE(platform::setCurrentFolder(R"(D:\)"));
    const int64_t rootFree = hostFreeBytes(drive.hostRoot());
    EXPECT_NEAR(plan::FreeSpace(""), rootFree, Slack);
    EXPECT_NEAR(plan::FreeSpace(R"(Music\Rock)"), rootFree, Slack);
    EXPECT_NEAR(plan::FreeSpace(R"(\\server\share)"), rootFree, Slack);
    platform::unmountDrive('Q');
    EXPECT_EQ(plan::FreeSpace(R"(Q:\Music)"), -1);
    EXPECT_EQ(plan::FreeSpace(R"(1:\Music)"), -1);
}

} // namespace
