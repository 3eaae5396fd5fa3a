#include "texts/window_texts.h"

#include "texts/text_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace texts {
namespace {

using Lines = std::vector<std::string>;

struct SplitCase {
    std::string text;
    Lines expected;
};

// Lines end at CR LF, CR or LF; a final break adds no item, an empty line inside stays.
TEST(SplitLines, SplitsOnLineBreaks) {
    const std::vector<SplitCase> cases = {
        {"", {}},
        {"one", {"one"}},
        {"a\r\nb\r\nc", {"a", "b", "c"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"\r\n", {""}},
        {" a \r\n b ", {" a ", " b "}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitLines(c.text), c.expected) << c.text;
    }
}

// The three list controls get their items from rows 47, 49 and 75.
TEST(SplitLines, ListRowsGiveTheirItems) {
    EXPECT_EQ(splitLines(GetText(47)),
              (Lines{"копировать", "копировать (функция системы)", "перемещать (функция системы)"}));
    EXPECT_EQ(splitLines(GetText(49)),
              (Lines{"Перезаписывать", "Переименовывать (добавление номера в скобках)", "Пропускать"}));
    EXPECT_EQ(splitLines(GetText(75)), (Lines{"Удалять", "Заменять на пробел", "Заменять на подчеркивание"}));
}

struct CutCase {
    std::string (*cut)(std::string_view);
    std::string link;
    std::string expected;
};

// Each cut stops at its own marker and gives the whole text when the marker is missing.
TEST(LinkCuts, CutAtTheirMarkers) {
    const std::vector<CutCase> cases = {
        {siteRootOf, "http://h.example/?a=1/?b", "http://h.example/"},
        {siteRootOf, "http://h.example/x/?a=1", "http://h.example/x/"},
        {siteRootOf, "http://h.example/x?a", "http://h.example/x?a"},
        {upToFirstAmpersand, "http://h.example/?go=a&from=b&c", "http://h.example/?go=a"},
        {upToFirstAmpersand, "no-ampersand", "no-ampersand"},
        {upToFirstAmpersand, "&lead", ""},
        {mailAddressOf, "mailto:me@h.example?subj=a:b?c", "me@h.example"},
        {mailAddressOf, "mailto:me@h.example", "me@h.example"},
        {mailAddressOf, "me@h.example?subj=x", "me@h.example"},
    };
    for (const CutCase& c : cases) {
        EXPECT_EQ(c.cut(c.link), c.expected) << c.link;
    }
}

// The hints of the link texts: caption, line break, short address from the table's link rows.
TEST(LinkHints, BuiltFromCaptionAndLinkRows) {
    const LinkHints hints = buildLinkHints();
    EXPECT_EQ(hints.mail, "Написать письмо разработчикам\n" + std::string(TextTable[4]));
    EXPECT_EQ(hints.site, "Сайт Brightmoor\nhttp://brightmoor.example/");
    EXPECT_EQ(hints.product, "Tunewagon онлайн\nhttp://brightmoor.example/?go=tunewagon");
    EXPECT_EQ(hints.forum, "Brightmoor Форум Tunewagon");
}

} // namespace
} // namespace texts
