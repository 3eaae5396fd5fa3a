#include "texts/text_table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace texts {
namespace {

struct EscapeCase {
    std::string stored;
    std::string expected;
};

// "\n" becomes CR LF and "\t" a tab in either letter case; other backslashes stay.
TEST(ExpandEscapes, ExpandsBothEscapesInEitherCase) {
    const std::vector<EscapeCase> cases = {
        {"a\\nb\\Nc", "a\r\nb\r\nc"},
        {"a\\tb\\Tc", "a\tb\tc"},
        {"\\n\\t\\N", "\r\n\t\r\n"},
        {"C:\\Music\\x", "C:\\Music\\x"},
        {"\\\\n", "\\\r\n"},
        {"end\\", "end\\"},
        {"", ""},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(expandEscapes(c.stored), c.expected) << c.stored;
    }
}

// The overwrite-policy line: the file name between the quotes, the action at the end, the two
// leading blanks kept.
TEST(FormatText, FillsRow151WithNameAndAction) {
    EXPECT_EQ(FormatText(151, {std::string("a.mp3"), GetText(154)}),
              "  Файл \"a.mp3\" уже существует: пропуск файла");
    EXPECT_EQ(FormatText(153, {"a (1).mp3"}), "переименование в \"a (1).mp3\"");
    EXPECT_EQ(FormatText(125, {int32_t{12}}), " Файлов: 12");
}

struct FillCase {
    const char* name;
    std::string text;
    std::vector<TextArg> args;
    std::string expected;
};

// Placeholders are filled argument by argument over the whole current text.
TEST(FillPlaceholders, SubstitutesInArgumentOrder) {
    const std::vector<FillCase> cases = {
        {"first argument holding %2 is changed by the second", "[%1] [%2]", {"x%2y", "Z"}, "[xZy] [Z]"},
        {"later argument holding %1 stays as it is", "[%1] [%2]", {"A", "%1"}, "[A] [%1]"},
        {"every occurrence is replaced", "%1-%1-%2", {"a", "b"}, "a-a-b"},
        {"argument holding its own placeholder is not rescanned", "%1", {"%1%1"}, "%1%1"},
        {"fewer arguments leave placeholders", "%1 %2", {"a"}, "a %2"},
        {"no arguments leave the text", "%1 %2", {}, "%1 %2"},
        {"more arguments are ignored", "%1", {"a", "b", "c"}, "a"},
        {"%1 matches the start of %10", "%10 %1", {"a"}, "a0 a"},
        {"a lone percent stays", "100% %1", {"x"}, "100% x"},
        {"argument text may be empty", "<%1>", {""}, "<>"},
    };
    for (const FillCase& c : cases) {
        EXPECT_EQ(fillPlaceholders(c.text, c.args), c.expected) << c.name;
    }
}

// Texts that carry names fill each placeholder once: a downloaded file's "%20" or "%2" stays in
// the line as it was, and the later arguments still land in their places.
TEST(FormatTextOnce, NamesKeepTheirPercentSigns) {
    EXPECT_EQ(formatTextOnce(219, {"a%2b", "/m/My%20List.m3u", "7"}),
              "'a%2b' - не целое число (плейлист \"/m/My%20List.m3u\", строка 7)");
    EXPECT_EQ(formatTextOnce(209, {"D:\\100%1.mp3"}), "  Не копируется: том не принимает имя D:\\100%1.mp3");
    EXPECT_EQ(formatTextOnce(206, {}), "Error #%1 !");
}

struct KindCase {
    TextArg arg;
    std::string expected;
};

// Each argument kind turns into its text.
TEST(FillPlaceholders, ConvertsEachKind) {
    const void* low = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x1A2Bu));
    const std::vector<KindCase> cases = {
        {int32_t{0}, "0"},
        {int32_t{-42}, "-42"},
        {int32_t{2147483647}, "2147483647"},
        {int32_t{-2147483647 - 1}, "-2147483648"},
        {true, "true"},
        {false, "false"},
        {'x', "x"},
        {1.5, "1.5"},
        {0.1, "0.1"},
        {-3.0, "-3"},
        {1.0 / 3.0, "0.333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1e20, "1e+20"},
        {std::string("D:\\Music\\a.mp3"), "D:\\Music\\a.mp3"},
        {"литерал", "литерал"},
        {Pointer{nullptr}, "00000000h"},
        {Pointer{low}, "00001A2Bh"},
    };
    for (const KindCase& c : cases) {
        EXPECT_EQ(fillPlaceholders("%1", {c.arg}), c.expected) << c.expected;
    }
}

// A double takes the decimal separator of the numeric locale, as the window's users expect.
TEST(FillPlaceholders, DoubleUsesTheNumericLocaleSeparator) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    const std::string text = fillPlaceholders("%1", {2.5});
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "2,5");
}

} // namespace
} // namespace texts
