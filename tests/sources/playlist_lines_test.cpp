#include "sources/playlist_lines.h"

#include "sources/source_error.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The standard conversion of a play length, its forms and its limits.
TEST(ParseInteger, AcceptsOnlyWholeSigned32BitNumbers) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"215", 215},
        {"-1", -1},
        {"+7", 7},
        {"   12", 12},
        {"007", 7},
        {"$1F", 31},
        {"0x1f", 31},
        {"-0X10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"12 ", std::nullopt},
        {"1.5", std::nullopt},
        {"abc", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"- 1", std::nullopt},
        {"\t1", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(sources::parseInteger(text), expected) << '"' << text << '"';
    }
}

// A length with decimals counts by its whole part; anything else after the dot is no length.
TEST(ParseLength, TakesTheWholePartOfADecimalLength) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"123.45", 123},
        {"215", 215},
        {"-1.0", -1},
        {"7.", 7},
        {"$1F", 31},
        {"1.5x", std::nullopt},
        {"1.2.3", std::nullopt},
        {".5", std::nullopt},
        {"1,5", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(sources::parseLength(text), expected) << '"' << text << '"';
    }
}

struct Made {
    std::string line;
    std::string desc;
    int32_t len;
    bool operator==(const Made&) const = default;
};

// Feeding a playlist in pieces of any size (line ends split between pieces too) gives the
// same file lines as feeding it whole.
TEST(PlaylistLineReader, PiecesOfAnySizeGiveTheSameLines) {
    const std::string playlist = "#EXTM3U\r\n#EXTINF:5,Five\r\na.mp3\r\n\r\n#EXTINF:-1,Minus\rb.mp3\n\rc.mp3";
    const std::vector<Made> expected = {{"a.mp3", "Five", 5}, {"b.mp3", "Minus", -1}, {"c.mp3", "", 0}};
    for (size_t pieceSize :
         {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{8}, size_t{9}, playlist.size()}) {
        std::vector<Made> made;
        sources::PlaylistLineReader reader([&](std::string_view line, const std::string& desc, int32_t len) {
            made.push_back({std::string(line), desc, len});
            return true;
        });
        for (size_t at = 0; at < playlist.size(); at += pieceSize) {
            ASSERT_TRUE(reader.feed(std::string_view(playlist).substr(at, pieceSize)));
        }
        EXPECT_TRUE(reader.finish());
        EXPECT_EQ(made, expected) << "pieces of " << pieceSize;
    }
}

// A step that made no entry (a refused object) leaves the pending info for the next line.
TEST(PlaylistLineReader, RefusedEntryKeepsThePendingInfo) {
    std::vector<Made> made;
    bool refuse = true;
    sources::PlaylistLineReader reader([&](std::string_view line, const std::string& desc, int32_t len) {
        if (std::exchange(refuse, false)) {
            return false;
        }
        made.push_back({std::string(line), desc, len});
        return true;
    });
    reader.feed("#EXTM3U\n#EXTINF:9,Nine\nrefused.mp3\nkept.mp3\n");
    reader.finish();
    EXPECT_EQ(made, (std::vector<Made>{{"kept.mp3", "Nine", 9}}));
}

// A file that is no playlist is refused as soon as its first line is longer than a byte-order
// mark and the header, without reading on; a header split between pieces is still a header.
TEST(PlaylistLineReader, StopsAtAFirstLineThatCannotBeTheHeader) {
    auto noStep = [](std::string_view, const std::string&, int32_t) { return true; };
    sources::PlaylistLineReader binary(noStep);
    EXPECT_FALSE(binary.feed("#EXTM3U"
                             "XXXX"));
    EXPECT_FALSE(binary.finish());

    sources::PlaylistLineReader split(noStep);
    EXPECT_TRUE(split.feed("#EXT"));
    EXPECT_TRUE(split.feed("M3U"));
    EXPECT_TRUE(split.feed("\r"));
    EXPECT_TRUE(split.finish());
}

} // namespace
