#include "sources/tag_lookup.h"
#include "sources/tag_reader.h"

#include "support/audio_fixtures.h"
#include "support/fake_tag_reader.h"
#include "support/lock_holder.h"
#include "support/temp_drive.h"
#include "texts/text_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

using sources::TrackTags;
using testsupport::ToneFile;

// An ID3v1 tag (128 bytes at the end of an MP3) whose texts are Windows-1251 bytes.
std::string id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     int track) {
    std::string tag = "TAG";
    for (const std::string* text : {&title, &artist, &album}) {
        tag += text->substr(0, 30) + std::string(30 - std::min<size_t>(text->size(), 30), '\0');
    }
    tag += "1987" + std::string(28, '\0') + '\0' + static_cast<char>(track) + '\x0C';
    return tag;
}

// An ID3v2.3 frame: its id, a 32-bit size, no flags, then the text with its encoding byte.
std::string id3v23Frame(const std::string& id, char encoding, const std::string& text) {
    const std::string body = encoding + text;
    const auto size = static_cast<uint32_t>(body.size());
    std::string frame = id;
    for (int shift = 24; shift >= 0; shift -= 8) {
        frame += static_cast<char>((size >> shift) & 0xFF);
    }
    return frame + std::string(2, '\0') + body;
}

// An ID3v2.3 tag (as many players still write them) before an MP3: the title in UTF-16 with a
// byte order mark, the artist in Latin-1, the track as "4/12".
std::string id3v23Tag() {
    // "Песня" in UTF-16LE after its BOM, with the closing zero unit.
    const std::string title =
        std::string("\xFF\xFE\x1F\x04\x35\x04\x41\x04\x3D\x04\x4F\x04", 12) + std::string(2, '\0');
    const std::string frames = id3v23Frame("TIT2", '\x01', title) + id3v23Frame("TPE1", '\x00', "Bj\xF6rk") +
                               id3v23Frame("TRCK", '\x00', "4/12");
    std::string tag = std::string("ID3\x03\x00\x00", 6);
    const auto size = static_cast<uint32_t>(frames.size());
    for (int shift = 21; shift >= 0; shift -= 7) { // a synchsafe size: 7 bits a byte
        tag += static_cast<char>((size >> shift) & 0x7F);
    }
    return tag + frames;
}

// A WAV file with a RIFF LIST INFO chunk at its end in place of the empty one wavenc writes, its
// RIFF size made good.
std::string withRiffInfo(std::string wav, const std::vector<std::pair<std::string, std::string>>& fields) {
    const auto le32 = [](uint32_t value) {
        std::string bytes;
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
        return bytes;
    };
    const std::string emptyInfo("LIST\x04\0\0\0INFO", 12);
    if (wav.ends_with(emptyInfo)) {
        wav.resize(wav.size() - emptyInfo.size());
    }
    std::string info = "INFO";
    for (const auto& [id, text] : fields) {
        std::string data = text + '\0';
        if (data.size() % 2 != 0) {
            data += '\0';
        }
        info += id + le32(static_cast<uint32_t>(text.size() + 1)) + data;
    }
    wav += "LIST" + le32(static_cast<uint32_t>(info.size())) + info;
    return wav.replace(4, 4, le32(static_cast<uint32_t>(wav.size() - 8)));
}

bool hasElement(const char* name) {
    return std::system(("gst-inspect-1.0 " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

class TagLibReaderTest : public testing::Test {
protected:
    TrackTags read(const std::string& relative) {
        sources::TagLookup lookup(*reader, nullptr);
        return lookup.probe(drive.programPath(relative)).tags;
    }

    testsupport::TempDrive drive{'D'};
    std::unique_ptr<sources::TagReader> reader = sources::makeTagLibReader();
};

// Each format gives the fields its encoder was given, and its length within 50 ms of the tone;
// reading changes no byte of the file.
TEST_F(TagLibReaderTest, ReadsTagsAndPropertiesOfEachFormat) {
    struct Case {
        std::string name;
        ToneFile tone;
        TrackTags expected; // the text and number fields
        int toleranceMs = 50;
        // kbit/s within 8, where checked: the tone's VBR frames are 32 kbit/s after a first few
        // larger ones, so a VBR file averages near 36 and not at its first frame's 224.
        std::optional<int> bitrate{};
    };
    const std::string cyrillic =
        R"(artist="Кино",title="Звезда",album="Группа_крови",track-number=(uint)3,album-disc-number=(uint)2)";
    const std::string latin = "artist=Artist,title=Title,album=Album,track-number=(uint)12";
    const Case cases[] = {
        // A constant bitrate without a header of frame counts.
        {"id3v2.mp3",
         {.encoder = "lamemp3enc target=bitrate cbr=true bitrate=128 ! id3v2mux", .tags = cyrillic},
         {.artist = "Кино", .title = "Звезда", .album = "Группа_крови", .track = 3, .disc = 2},
         50,
         128},
        // A VBR stream is timed by the frame count of its Xing header, which counts the encoder's
        // priming and padding too: up to two frames (52 ms) more.
        {"vbr.mp3",
         {.encoder = "lamemp3enc ! xingmux ! id3v2mux", .tags = cyrillic},
         {.artist = "Кино", .title = "Звезда", .album = "Группа_крови", .track = 3, .disc = 2},
         105,
         36},
        // A VBR stream without a Xing header (lamemp3enc's default output) is timed by its frames.
        {"vbr-bare.mp3",
         {.encoder = "lamemp3enc ! id3v2mux", .tags = cyrillic},
         {.artist = "Кино", .title = "Звезда", .album = "Группа_крови", .track = 3, .disc = 2},
         50,
         36},
        {"comments.ogg",
         {.encoder = "vorbisenc ! oggmux", .tags = latin},
         {.artist = "Artist", .title = "Title", .album = "Album", .track = 12}},
        {"mono.flac",
         {.encoder = "flacenc", .tags = cyrillic, .rate = 22050, .channels = 1},
         {.artist = "Кино", .title = "Звезда", .album = "Группа_крови", .track = 3, .disc = 2}},
        {"plain.wav", {.encoder = "wavenc", .rate = 8000, .channels = 1}, {}},
        {"voice.opus",
         {.encoder = "opusenc ! oggmux", .tags = cyrillic, .rate = 48000},
         {.artist = "Кино", .title = "Звезда", .album = "Группа_крови", .track = 3, .disc = 2}},
        // AAC encoders come with GStreamer's libav plugins. Its muxer keeps the tags with the
        // track, where no player looks, so the file counts by its sound alone; the padding of the
        // encoder's first frames counts in the length.
        {"song.m4a", {.encoder = "avenc_aac ! mp4mux"}, {}, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.name.ends_with(".m4a") && !hasElement("avenc_aac")) {
            continue; // no AAC encoder here
        }
        testsupport::encodeTone(drive.hostPath(c.name), c.tone);
        const std::string before = drive.readFile(c.name);
        TrackTags tags = read(c.name);
        EXPECT_EQ(tags.noTagsReason, "");
        ASSERT_TRUE(tags.lengthMs);
        EXPECT_NEAR(*tags.lengthMs, testsupport::toneMilliseconds(c.tone), c.toleranceMs);
        EXPECT_EQ(tags.sampleRate, c.tone.rate);
        EXPECT_EQ(tags.channels, c.tone.channels);
        EXPECT_GT(tags.bitrate.value_or(0), 0);
        if (c.bitrate) {
            EXPECT_NEAR(tags.bitrate.value_or(0), *c.bitrate, 8);
        }
        tags.lengthMs = tags.bitrate = tags.sampleRate = tags.channels = std::nullopt;
        EXPECT_EQ(tags, c.expected);
        EXPECT_EQ(drive.readFile(c.name), before);
    }
}

// A VBR MP3 without a Xing header is timed by its frames even where its first frames share one
// bitrate (a silent opening) or a damaged stretch lies between its frames.
TEST_F(TagLibReaderTest, TimesVbrMp3WithoutHeaderByItsFrames) {
    const ToneFile silence{.encoder = "lamemp3enc", .buffers = 40, .wave = "silence"};
    const ToneFile noise{.encoder = "lamemp3enc", .buffers = 20, .wave = "white-noise"};
    const ToneFile tone{.encoder = "lamemp3enc", .buffers = 30};
    testsupport::encodeTone(drive.hostPath("silence.mp3"), silence);
    testsupport::encodeTone(drive.hostPath("noise.mp3"), noise);
    testsupport::encodeTone(drive.hostPath("tone.mp3"), tone);
    // 4 s of silence, every frame at 32 kbit/s, then 2 s of noise at 64 to 80 kbit/s.
    drive.writeFile("silent-start.mp3", drive.readFile("silence.mp3") + drive.readFile("noise.mp3"));
    std::string damaged = drive.readFile("tone.mp3");
    damaged.insert(damaged.size() / 2, std::string(4096, '\0'));
    drive.writeFile("damaged.mp3", damaged);
    struct Case {
        std::string name;
        long long expectedMs;
        int toleranceMs; // each encoded part adds its encoder's priming and padding
    };
    const Case cases[] = {
        {"silent-start.mp3", testsupport::toneMilliseconds(silence) + testsupport::toneMilliseconds(noise),
         100},
        {"damaged.mp3", testsupport::toneMilliseconds(tone), 50},
    };
    for (const Case& c : cases) {
        const TrackTags tags = read(c.name);
        ASSERT_TRUE(tags.lengthMs) << c.name;
        EXPECT_NEAR(*tags.lengthMs, c.expectedMs, c.toleranceMs) << c.name;
    }
}

// A WAV file's RIFF INFO chunk gives its title, artist, album and track.
TEST_F(TagLibReaderTest, ReadsRiffInfoOfAWavFile) {
    testsupport::encodeTone(drive.hostPath("info.wav"), {.encoder = "wavenc"});
    drive.writeFile("info.wav",
                    withRiffInfo(drive.readFile("info.wav"),
                                 {{"INAM", "Title"}, {"IART", "Artist"}, {"IPRD", "Album"}, {"IPRT", "5"}}));
    const TrackTags tags = read("info.wav");
    EXPECT_EQ(tags.noTagsReason, "");
    EXPECT_EQ(tags.title, "Title");
    EXPECT_EQ(tags.artist, "Artist");
    EXPECT_EQ(tags.album, "Album");
    EXPECT_EQ(tags.track, 5);
}

// An ID3v2.3 tag reads its UTF-16 and its Latin-1 frames alike, and a track "4/12" as 4.
TEST_F(TagLibReaderTest, ReadsId3v23TextFramesInEitherEncoding) {
    testsupport::encodeTone(drive.hostPath("v23.mp3"), {.encoder = "lamemp3enc"});
    drive.writeFile("v23.mp3", id3v23Tag() + drive.readFile("v23.mp3"));
    const TrackTags tags = read("v23.mp3");
    EXPECT_EQ(tags.noTagsReason, "");
    EXPECT_EQ(tags.title, "Песня");
    EXPECT_EQ(tags.artist, "Bj\xC3\xB6rk");
    EXPECT_EQ(tags.track, 4);
    EXPECT_TRUE(tags.lengthMs);
}

// ID3v1 carries no encoding: its texts are read as Windows-1251, as Russian collections hold them.
TEST_F(TagLibReaderTest, ReadsId3v1TextsAsWindows1251) {
    testsupport::encodeTone(drive.hostPath("v1.mp3"), {.encoder = "lamemp3enc"});
    // "Кукушка", "Кино", "Альбом" in Windows-1251.
    const std::string title = "\xCA\xF3\xEA\xF3\xF8\xEA\xE0", artist = "\xCA\xE8\xED\xEE",
                      album = "\xC0\xEB\xFC\xE1\xEE\xEC";
    drive.writeFile("v1.mp3", drive.readFile("v1.mp3") + id3v1Tag(title, artist, album, 7));
    const TrackTags tags = read("v1.mp3");
    EXPECT_EQ(tags.title, "Кукушка");
    EXPECT_EQ(tags.artist, "Кино");
    EXPECT_EQ(tags.album, "Альбом");
    EXPECT_EQ(tags.track, 7);
    EXPECT_EQ(tags.year, 1987);
}

// What cannot be read gives no tags and says why; nothing is thrown.
TEST_F(TagLibReaderTest, UnreadableFilesGiveNoTagsWithTheReason) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "This is a text file, not a song.\n";
    }
    drive.writeFile("text.mp3", text);
    drive.writeFile("empty.flac");
    // 4 GB of zeros named .mp3 (a sparse file): the search for a first frame gives up early
    // rather than reading it all.
    {
        std::FILE* zeros = std::fopen(drive.hostPath("zeros.mp3").c_str(), "wb");
        ASSERT_NE(zeros, nullptr);
        ASSERT_EQ(::ftruncate(::fileno(zeros), int64_t{4} << 30), 0);
        std::fclose(zeros);
    }
    testsupport::encodeTone(drive.hostPath("held.ogg"), {.encoder = "vorbisenc ! oggmux"});
    // A FLAC file cut inside its header blocks.
    testsupport::encodeTone(drive.hostPath("cut.flac"), {.encoder = "flacenc"});
    drive.writeFile("cut.flac", drive.readFile("cut.flac").substr(0, 20));
    testsupport::LockHolder holder(drive.hostPath("held.ogg"));
    ASSERT_TRUE(holder.locked());
    const std::pair<std::string, std::string> cases[] = {
        {"text.mp3", texts::GetText(312)},
        {"empty.flac", texts::GetText(311)},
        {"cut.flac", texts::GetText(312)},
        {"zeros.mp3", texts::GetText(312)},
        {"held.ogg", texts::FormatText(310, {texts::GetText(164)})},
        {"missing.mp3", texts::FormatText(310, {texts::GetText(165)})},
    };
    for (const auto& [name, reason] : cases) {
        EXPECT_EQ(read(name), TrackTags{.noTagsReason = reason}) << name;
    }
}

} // namespace
