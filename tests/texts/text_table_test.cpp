#include "texts/text_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace texts {
namespace {

using ::testing::HasSubstr;

// Exactly these rows hold text; every other row is empty.
TEST(TextTable, FilledRowsAreExactlyTheListedOnes) {
    const std::vector<std::pair<int, int>> emptyRanges = {{15, 20},   {30, 40},  {43, 43}, {53, 60},
                                                          {77, 80},   {88, 90},  {95, 99}, {103, 119},
                                                          {180, 219}, {227, 239}};
    std::set<int> expectedEmpty;
    for (auto [low, high] : emptyRanges) {
        for (int row = low; row <= high; ++row) {
            expectedEmpty.insert(row);
        }
    }
    int filled = 0;
    for (int row = 0; row < TextRowCount; ++row) {
        const bool empty = TextTable[row].empty();
        EXPECT_EQ(empty, expectedEmpty.count(row) == 1) << "row " << row;
        filled += empty ? 0 : 1;
    }
    EXPECT_EQ(filled, 132);
}

// Rows are kept as stored: escapes stay two characters, and no raw control character or broken
// UTF-8 sequence slips into a row.
TEST(TextTable, RowsAreStoredEscapedAndValidUtf8) {
    for (int row = 0; row < TextRowCount; ++row) {
        const std::string_view text = TextTable[row];
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            ASSERT_GE(c, 0x20) << "row " << row << " byte " << i;
            const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 0;
            ASSERT_NE(length, 0u) << "row " << row << " byte " << i;
            ASSERT_LE(i + length, text.size()) << "row " << row;
            for (std::size_t k = 1; k < length; ++k) {
                ASSERT_EQ(static_cast<unsigned char>(text[i + k]) >> 6, 0x2) << "row " << row;
            }
            i += length;
        }
    }
    EXPECT_EQ(TextTable[47], "копировать\\nкопировать (функция системы)\\nперемещать (функция системы)");
}

// The link rows keep the shape the hints are cut from, built from the product name (row 0), the
// version (row 1) and the e-mail address (row 4).
TEST(TextTable, LinkRowsFollowTheirStructure) {
    const std::string product(TextTable[0]);
    const std::string version(TextTable[1]);
    const std::string mail(TextTable[4]);
    const std::string lower = "tunewagon";
    ASSERT_EQ(product, "Tunewagon");
    ASSERT_EQ(version, "4.2 RC");

    const std::string row3(TextTable[3]);
    const std::string tail3 = "/?from=" + lower + "&ver=" + version + "&lang=ru";
    ASSERT_GT(row3.size(), tail3.size());
    const std::string siteRoot = row3.substr(0, row3.size() - tail3.size());
    EXPECT_EQ(row3, siteRoot + tail3);
    EXPECT_THAT(siteRoot, ::testing::StartsWith("http://"));
    EXPECT_EQ(siteRoot.find('?'), std::string::npos);

    EXPECT_EQ(TextTable[5], siteRoot + "/?go=" + lower + "&from=" + lower + "&ver=" + version + "&lang=ru");
    EXPECT_EQ(TextTable[6], "mailto:" + mail + "?subj=Tunewagon%204.2%20RC");
    EXPECT_EQ(TextTable[7], "mailto:" + mail + "?subj=Tunewagon%204.2%20RC%20BugReport");
    EXPECT_EQ(TextTable[8], siteRoot + "/forum.php?f5f=7&from=Tunewagon4.2 RC");
    EXPECT_THAT(mail, HasSubstr("@"));
}

struct GetTextCase {
    int row;
    bool produced;
    std::string expected;
};

// Escapes expand in either letter case; rows outside 0..179 leave the caller's text as it was.
TEST(GetText, ExpandsEscapesAndRejectsRowsOutsideTheTable) {
    const std::vector<GetTextCase> cases = {
        {47, true, "копировать\r\nкопировать (функция системы)\r\nперемещать (функция системы)"},
        {0, true, "Tunewagon"},
        {179, true, "Пропущено строк плейлиста длиннее 4096 байт: %1"},
        {15, true, ""},
        {-1, false, "previous"},
        {240, false, "previous"},
        {-2147483647 - 1, false, "previous"},
    };
    for (const GetTextCase& c : cases) {
        std::string text = "previous";
        EXPECT_EQ(GetText(c.row, text), c.produced) << "row " << c.row;
        EXPECT_EQ(text, c.expected) << "row " << c.row;
        EXPECT_EQ(GetText(c.row), c.produced ? c.expected : "") << "row " << c.row;
    }
}

// Row 21 carries "\n\n": every escape expands, and the stored leading blank stays.
TEST(GetText, ExpandsEveryEscapeOfALongRow) {
    const std::string text = GetText(21);
    EXPECT_EQ(text.find('\\'), std::string::npos);
    EXPECT_THAT(text, HasSubstr("файлов.\r\n\r\n Tunewagon"));
    EXPECT_EQ(text.front(), ' ');
    EXPECT_THAT(text, ::testing::EndsWith("кнопку \"Далее\"."));
}

} // namespace
} // namespace texts
