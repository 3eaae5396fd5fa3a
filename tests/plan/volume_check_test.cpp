#include "plan/run_names.h"
#include "plan/volume_check.h"

#include "platform/volume_facts.h"
#include "store/track_list.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

using plan::InvalidCharAction;
using plan::VolumeProblemKind;

const std::string Dest = "D:\\Stick";

platform::VolumeFacts fat32() {
    return platform::volumeFactsOfKind(platform::VolumeKind::Fat32);
}

// A FAT32 stick whose driver takes ASCII names only (fusefat).
platform::VolumeFacts asciiOnly() {
    platform::VolumeFacts facts = platform::volumeFactsOfKind(platform::VolumeKind::Fat32);
    facts.asciiNamesOnly = true;
    return facts;
}

platform::VolumeFacts ext4() {
    platform::VolumeFacts facts;
    facts.fsType = "ext4";
    return facts;
}

// The name a FileName is written under: only the parts below the folder are cleaned, each by
// the user's treatment of invalid characters and then fitted to the volume.
TEST(NameOnVolume, CleansWhatTheVolumeRefusesBelowTheFolder) {
    std::string cyrillic300; // 148 letters of two bytes and ".mp3": 300 bytes, 152 UTF-16 units
    for (int i = 0; i < 148; ++i) {
        cyrillic300 += "\xD0\xB6";
    }
    cyrillic300 += ".mp3";
    const struct {
        const char* name;
        platform::VolumeFacts facts;
        std::string planned;
        InvalidCharAction action;
        std::string written;
    } cases[] = {
        {"a fine name stays", fat32(), Dest + "\\Song.mp3", InvalidCharAction::Delete, Dest + "\\Song.mp3"},
        {"colon deleted", fat32(),
         Dest + "\\a\xEF\x80\xBA"
                "b.mp3",
         InvalidCharAction::Delete, Dest + "\\ab.mp3"},
        {"colon to blank", fat32(),
         Dest + "\\a\xEF\x80\xBA"
                "b.mp3",
         InvalidCharAction::ReplaceWithSpace, Dest + "\\a b.mp3"},
        {"colon to underscore", fat32(),
         Dest + "\\a\xEF\x80\xBA"
                "b.mp3",
         InvalidCharAction::ReplaceWithUnderscore, Dest + "\\a_b.mp3"},
        {"control character", fat32(), Dest + "\\a\tb.mp3", InvalidCharAction::ReplaceWithUnderscore,
         Dest + "\\a_b.mp3"},
        {"device name", fat32(), Dest + "\\CON.mp3", InvalidCharAction::Delete, Dest + "\\CON_.mp3"},
        {"trailing dot", fat32(), Dest + "\\Track.", InvalidCharAction::Delete, Dest + "\\Track"},
        {"a folder part too", fat32(), Dest + "\\Live.\\aux.mp3", InvalidCharAction::Delete,
         Dest + "\\Live\\aux_.mp3"},
        {"the folder itself is never touched", fat32(),
         "D:\\CON.\\a\xEF\x80\xBA"
         "b.mp3",
         InvalidCharAction::Delete,
         "D:\\CON.\\a\xEF\x80\xBA"
         "b.mp3"},
        {"ext4 takes a colon and CON", ext4(), Dest + "\\CON\xEF\x80\xBA.mp3", InvalidCharAction::Delete,
         Dest + "\\CON\xEF\x80\xBA.mp3"},
        {"a driver of ASCII names: Russian in Latin letters", asciiOnly(), Dest + "\\Ёлка\\Щука и ёж.mp3",
         InvalidCharAction::Delete, Dest + "\\Elka\\Shchuka i ezh.mp3"},
        {"a driver of ASCII names: other letters treated", asciiOnly(), Dest + "\\Café.mp3",
         InvalidCharAction::ReplaceWithUnderscore, Dest + "\\Caf_.mp3"},
    };
    // What the cut leaves is checked again: "CON." and 251 letters cut to 255 bytes.
    const std::string con = Dest + "\\CON." + std::string(251, 'x');
    const std::string conWritten = plan::plannedNameOnVolume(fat32(), con, Dest, InvalidCharAction::Delete);
    EXPECT_TRUE(plan::volumeTakesName(fat32(), conWritten.substr(Dest.size() + 1))) << conWritten;
    EXPECT_TRUE(plan::volumeTakesName(ext4(), conWritten.substr(Dest.size() + 1))) << conWritten;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plan::plannedNameOnVolume(c.facts, c.planned, Dest, c.action), c.written);
    }
    // 300 bytes are 152 UTF-16 units, which FAT counts, but more than the 255 bytes that the
    // host's file systems allow: cut at a character boundary on both, the extension kept.
    for (const platform::VolumeFacts& facts : {fat32(), ext4()}) {
        std::string cut =
            plan::plannedNameOnVolume(facts, Dest + "\\" + cyrillic300, Dest, InvalidCharAction::Delete);
        std::string name = cut.substr(Dest.size() + 1);
        EXPECT_EQ(name.size(), 254u) << name;
        EXPECT_TRUE(name.ends_with(".mp3")) << name;
    }
}

class VolumeCheck : public testing::Test {
protected:
    VolumeCheck() { store::createTrackListLayout(listDb); }

    void add(const std::string& fileName, int64_t size = 1000, const std::string& source = "D:\\src.mp3") {
        store::TrackEntry entry;
        entry.OrigFileName = source;
        entry.FileName = fileName;
        entry.Size = size;
        store::appendTrackEntry(listDb, entry);
    }
    std::vector<plan::VolumeProblem> check(const platform::VolumeFacts& facts) {
        return plan::checkListForVolume(listDb, facts, Dest, InvalidCharAction::Delete);
    }

    testsupport::TempDrive drive{'D'};
    store::TfdbObject listDb{[](const std::string&) {}};
};

// Each kind of problem is found at its entry, with a text that says why.
TEST_F(VolumeCheck, FindsWhatTheVolumeRefuses) {
    drive.makeFolder("Stick");
    drive.writeFile("Stick/Old.mp3");
    drive.writeFile("big.mp3");
    ASSERT_EQ(::truncate(drive.hostPath("big.mp3").c_str(), 4'500'000'000), 0);
    add(Dest + "\\fine.mp3");
    add(Dest + "\\CON.mp3");
    add(Dest + "\\big.mp3", 4'500'000'000);
    add(Dest + "\\A.mp3");
    add(Dest + "\\a.mp3");
    add(Dest + "\\old.mp3");
    add(Dest + "\\unmeasured.mp3", -1, "D:\\big.mp3");
    add(Dest + "\\fine.mp3"); // the same name twice: one run never writes over its own entries

    const auto problems = check(fat32());
    const struct {
        int position;
        VolumeProblemKind kind;
        const char* text;
    } expected[] = {
        {1, VolumeProblemKind::NameRefused,
         "Имя недопустимо на томе FAT32: зарезервированное имя устройства (CON, PRN, AUX, NUL, COM1-9, "
         "LPT1-9); "
         "будет записано как \"CON_.mp3\""},
        {2, VolumeProblemKind::TooBig,
         "Файл больше, чем вмещает том FAT32: 4500000000 байт при наибольших 4294967295; он не будет "
         "скопирован"},
        {4, VolumeProblemKind::CaseClash,
         "Имя отличается от \"A.mp3\" только регистром букв: на томе FAT32 это один файл; будет записано как "
         "\"a (1).mp3\""},
        {5, VolumeProblemKind::CaseClash,
         "Имя отличается от \"Old.mp3\" только регистром букв: на томе FAT32 это один файл"},
        {6, VolumeProblemKind::TooBig,
         "Файл больше, чем вмещает том FAT32: 4500000000 байт при наибольших 4294967295; он не будет "
         "скопирован"},
        {7, VolumeProblemKind::CaseClash,
         "Имя совпадает с именем другой записи списка (\"fine.mp3\"); будет записано как \"fine (1).mp3\""},
    };
    ASSERT_EQ(problems.size(), std::size(expected));
    for (size_t i = 0; i < problems.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(problems[i].position, expected[i].position);
        EXPECT_EQ(problems[i].kind, expected[i].kind);
        EXPECT_EQ(problems[i].text, expected[i].text);
    }
    EXPECT_EQ(plan::entriesWithProblems(problems), 6);
    EXPECT_EQ(plan::volumeCheckLine(fat32(), problems, 8),
              "Не подходят для тома FAT32 как есть: 6 из 8 (причина - в подсказке отмеченной строки)");
    // ext4 holds every name, but the list's own clashes stay: the namespace folds case.
    std::vector<int> onExt4;
    for (const auto& problem : check(ext4())) {
        onExt4.push_back(problem.position);
    }
    EXPECT_EQ(onExt4, (std::vector<int>{4, 7}));
}

// A name cleaned for the volume can clash with another entry's, and is checked as written.
TEST_F(VolumeCheck, ClashesAreFoundAmongTheWrittenNames) {
    add(Dest + "\\ab.mp3");
    add(Dest + "\\A\xEF\x80\xBA"
               "B.mp3");
    const auto problems = check(fat32());
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].kind, VolumeProblemKind::NameRefused);
    EXPECT_EQ(problems[1].kind, VolumeProblemKind::CaseClash);
    EXPECT_EQ(problems[1].position, 1);
}

// Names that cleaning or the 255-byte cut make equal are numbered for the later entries, the
// number fitting within the cut; a folder that cleaning empties becomes "_" instead of putting
// its files in the folder above.
TEST_F(VolumeCheck, CleanedAndCutNamesStayDistinct) {
    const std::string colon = "\xEF\x80\xBA";
    const std::string query = "\xEF\x80\xBF";
    add(Dest + "\\a" + colon + "b.mp3");
    add(Dest + "\\ab.mp3");
    add(Dest + "\\Hits..\\1.mp3");
    add(Dest + "\\Hits...\\1.mp3");
    add(Dest + "\\" + query + query + query + "\\1.mp3");
    std::vector<std::string> names;
    for (const auto& problem : check(fat32())) {
        names.push_back(problem.text.substr(problem.text.rfind("будет записано как")));
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "будет записано как \"ab.mp3\"", "будет записано как \"ab (1).mp3\"",
                         "будет записано как \"Hits/1.mp3\"", "будет записано как \"Hits/1.mp3\"",
                         "будет записано как \"Hits/1 (1).mp3\"", "будет записано как \"_/1.mp3\""}));

    // Four descriptions of 300 bytes that differ only at their end: one name after the cut,
    // then numbers that still fit in 255 bytes.
    store::rebuildTrackList(listDb);
    std::string longStem;
    for (int i = 0; i < 145; ++i) {
        longStem += "\xD0\xB6";
    }
    for (const char* end : {"1", "2", "3", "4"}) {
        add(Dest + "\\" + longStem + end + ".mp3");
    }
    const auto problems = check(ext4());
    std::vector<int> positions;
    for (const auto& problem : problems) {
        positions.push_back(problem.position);
        const std::string written = problem.text.substr(problem.text.rfind("как \"") + 7);
        EXPECT_LE(written.size() - 1, plan::MostNameBytes) << problem.text; // the closing quote aside
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 1, 2, 2, 3, 3}));

    // A driver that takes ASCII only: a folder whose other characters go leaves "..", which
    // would write into the folder above the destination; it becomes "_".
    store::rebuildTrackList(listDb);
    add(Dest + "\\..\xEE\x80\x80\\1.mp3");
    platform::VolumeFacts asciiOnly = ext4();
    asciiOnly.asciiNamesOnly = true;
    const auto dots = check(asciiOnly);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_TRUE(dots[0].text.ends_with("будет записано как \"_/1.mp3\"")) << dots[0].text;
}

// What the volume really takes: each measured size rounded up to its allocation unit; a
// thousand files of 1 KB on 32 KiB clusters take 32 MB, not 1 MB.
TEST_F(VolumeCheck, TotalOnVolumeRoundsEachSizeUp) {
    for (int i = 0; i < 1000; ++i) {
        add(Dest + "\\" + std::to_string(i) + ".mp3", 1024);
    }
    add(Dest + "\\unmeasured.mp3", -1);
    add(Dest + "\\unopened.mp3", 0);
    EXPECT_EQ(plan::listedTotalOnVolume(listDb, 32768), 1000 * 32768);
    EXPECT_EQ(plan::listedTotalOnVolume(listDb, 0), 1000 * 1024) << "an unknown unit rounds nothing";
}

} // namespace
