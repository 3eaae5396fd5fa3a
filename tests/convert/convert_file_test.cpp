#include "convert/converter.h"

#include "sources/tag_lookup.h"
#include "sources/tag_reader.h"
#include "support/audio_fixtures.h"
#include "support/file_checks.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using convert::ConvertFormat;
using convert::ConvertJob;
using convert::ConvertResult;
using convert::ConvertStatus;
using sources::TrackTags;

// Host names with blanks, both quote marks, a '#' and Cyrillic letters, as collections hold.
const std::string OddName = "Кино – \"Звезда\" по имени 'Солнце' #1";
const std::string SourceTags =
    "artist=Source,title=Old,album=Old_album,track-number=(uint)1,datetime=(GstDateTime)2001";

bool hasElement(const std::string& name) {
    return std::system(("gst-inspect-1.0 " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string fileBytes(const std::string& hostPath) {
    std::string bytes;
    if (FILE* file = std::fopen(hostPath.c_str(), "rb")) {
        char buffer[65536];
        size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, count);
        }
        std::fclose(file);
    }
    return bytes;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class ConvertFileTest : public testing::Test {
protected:
    std::string host(const std::string& relative) const { return drive.hostPath(relative); }

    // The tags TagLib reads from a converted file, moved first to a plain name that the
    // program's namespace can spell.
    TrackTags tagsOf(const std::string& hostPath, const std::string& extension) {
        const std::string plain = "read" + extension;
        std::filesystem::rename(hostPath, host(plain));
        sources::TagLookup lookup(*reader, nullptr);
        return lookup.probe(drive.programPath(plain)).tags;
    }

    testsupport::TempDrive drive{'D'};
    std::unique_ptr<sources::TagReader> reader = sources::makeTagLibReader();
};

struct Recorded {
    std::vector<int64_t> positions{};
    std::optional<int64_t> lastLength{};
};

// Every source format converts into every target: the file decodes to the source's length, is
// of the format asked for, and holds the tags given in place of the source's own.
TEST_F(ConvertFileTest, EachSourceIntoEachTarget) {
    struct Source {
        std::string extension;
        std::string encoder;
    };
    std::vector<Source> sourceFormats = {
        {".wav", "wavenc"},
        {".flac", "flacenc"},
        {".mp3", "lamemp3enc ! id3v2mux"},
        {".ogg", "vorbisenc ! oggmux"},
        {".opus", "audioresample ! opusenc ! oggmux"},
    };
    if (hasElement("avenc_aac") && hasElement("mp4mux")) {
        sourceFormats.push_back({".m4a", "avenc_aac ! mp4mux"});
    } else {
        std::cout << "No M4A source: GStreamer has no avenc_aac (gstreamer1.0-libav) or mp4mux\n";
    }
    struct Target {
        std::string format;
        std::string magic; // the file's first bytes
        std::string codec; // bytes that name the codec inside the file
        int bitrate = 0;   // kbit/s that TagLib reads, where fixed
    };
    const Target targets[] = {
        {"mp3", "ID3", "Xing"},
        {"mp3:192", "ID3", "\xFF\xFB", 192},
        {"ogg", "OggS", "\x01vorbis"},
        {"opus:96", "OggS", "OpusHead"},
    };
    const convert::Tags tags{.artist = "Кино",
                             .title = "Звезда по имени Солнце",
                             .album = "Группа крови",
                             .track = 7,
                             .year = 1988};

    for (const Source& source : sourceFormats) {
        const std::string sourcePath = host(OddName + source.extension);
        testsupport::encodeTone(sourcePath, {.encoder = source.encoder, .tags = SourceTags});
        const std::optional<int64_t> sourceLength = convert::mediaLengthMs(sourcePath);
        ASSERT_TRUE(sourceLength.has_value()) << source.extension;
        EXPECT_NEAR(static_cast<double>(*sourceLength), 1500, 100) << source.extension;

        for (const Target& target : targets) {
            SCOPED_TRACE(source.extension + " into " + target.format);
            const ConvertFormat format = *convert::parseConvertFormat(target.format);
            const std::string extension = convert::targetExtension(format.target);
            const ConvertJob job{.sourcePath = sourcePath,
                                 .destPath = host(OddName + " out" + extension),
                                 .format = format,
                                 .tags = tags};
            Recorded recorded;
            const ConvertResult result = convert::convertFile(job, [&](int64_t position, auto length) {
                recorded.positions.push_back(position);
                recorded.lastLength = length;
            });
            ASSERT_EQ(result.status, ConvertStatus::Ok) << result.message;

            const std::optional<int64_t> length = convert::mediaLengthMs(job.destPath);
            ASSERT_TRUE(length.has_value());
            EXPECT_NEAR(static_cast<double>(*length), static_cast<double>(*sourceLength), 100);
            const std::string bytes = fileBytes(job.destPath);
            EXPECT_TRUE(bytes.starts_with(target.magic));
            EXPECT_NE(bytes.find(target.codec), std::string::npos);
            // The last report tells the whole length, known from the source.
            ASSERT_FALSE(recorded.positions.empty());
            EXPECT_TRUE(std::is_sorted(recorded.positions.begin(), recorded.positions.end()));
            EXPECT_NEAR(static_cast<double>(recorded.positions.back()), 1500, 100);
            ASSERT_TRUE(recorded.lastLength.has_value());
            EXPECT_NEAR(static_cast<double>(*recorded.lastLength), 1500, 100);

            const TrackTags read = tagsOf(job.destPath, extension);
            EXPECT_EQ(read.artist, "Кино");
            EXPECT_EQ(read.title, "Звезда по имени Солнце");
            EXPECT_EQ(read.album, "Группа крови");
            EXPECT_EQ(read.track, 7);
            EXPECT_EQ(read.year, 1988);
            if (target.bitrate != 0) { // TagLib works it out from the VBR header's sizes
                ASSERT_TRUE(read.bitrate.has_value());
                EXPECT_NEAR(*read.bitrate, target.bitrate, 4);
            }
            if (target.magic == "OggS") { // the job's year in place of the source's, not beside it
                EXPECT_EQ(occurrences(bytes, "DATE="), 1U);
            }
        }
    }
}

// An ID3v2.3 frame: its id, a 32-bit size, no flags, then the body.
std::string id3v23Frame(const std::string& id, const std::string& body) {
    std::string frame = id;
    const auto size = static_cast<uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        frame += static_cast<char>((size >> shift) & 0xFF);
    }
    return frame + std::string(2, '\0') + body;
}

// An ID3v2.3 tag with an artist, an album, a year and a front cover.
std::string id3v23TagWithCover(const std::string& png) {
    const std::string frames = id3v23Frame("TPE1", std::string(1, '\0') + "Source artist") +
                               id3v23Frame("TALB", std::string(1, '\0') + "Source album") +
                               id3v23Frame("TYER", std::string(1, '\0') + "1995") +
                               id3v23Frame("APIC", std::string(1, '\0') + "image/png" + std::string(1, '\0') +
                                                       '\x03' + std::string(1, '\0') + png);
    std::string tag = std::string("ID3\x03\x00\x00", 6);
    const auto size = static_cast<uint32_t>(frames.size());
    for (int shift = 21; shift >= 0; shift -= 7) { // synchsafe: 7 bits a byte
        tag += static_cast<char>((size >> shift) & 0x7F);
    }
    return tag + frames;
}

// A field the job leaves empty keeps the source's value, and the source's cover picture goes
// into each format's place for it.
TEST_F(ConvertFileTest, KeepsSourceTagsTheJobDoesNotSet) {
    const std::string pngPath = host("cover.png");
    ASSERT_EQ(std::system(("gst-launch-1.0 -q videotestsrc num-buffers=1 ! video/x-raw,width=16,height=16 ! "
                           "pngenc ! filesink location='" +
                           pngPath + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    const std::string png = fileBytes(pngPath);
    ASSERT_TRUE(png.starts_with("\x89PNG"));
    testsupport::encodeTone(host("bare.mp3"), {.encoder = "lamemp3enc"});
    drive.writeFile("source.mp3", id3v23TagWithCover(png) + drive.readFile("bare.mp3"));

    struct Case {
        std::string format;
        std::string picture; // where the format keeps the picture
    };
    const Case cases[] = {
        {"mp3", "APIC"}, {"ogg", "METADATA_BLOCK_PICTURE"}, {"opus", "METADATA_BLOCK_PICTURE"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const ConvertFormat format = *convert::parseConvertFormat(c.format);
        const ConvertJob job{.sourcePath = host("source.mp3"),
                             .destPath = host("out" + convert::targetExtension(format.target)),
                             .format = format,
                             .tags = {.title = "New title"}};
        const ConvertResult result = convert::convertFile(job);
        ASSERT_TRUE(result.ok()) << result.message;
        std::string bytes = fileBytes(job.destPath);
        std::transform(bytes.begin(), bytes.end(), bytes.begin(),
                       [](unsigned char b) { return std::toupper(b); });
        EXPECT_NE(bytes.find(c.picture), std::string::npos);

        const TrackTags read = tagsOf(job.destPath, convert::targetExtension(format.target));
        EXPECT_EQ(read.title, "New title");
        EXPECT_EQ(read.artist, "Source artist");
        EXPECT_EQ(read.album, "Source album");
        EXPECT_EQ(read.year, 1995);
    }
}

// The quality asked for reaches the encoder: on noise, which no level encodes small, the best
// level of each target gives a far larger file than the worst.
TEST_F(ConvertFileTest, QualityReachesTheEncoder) {
    const std::string source = host("noise.wav");
    const std::string noise =
        R"(gst-launch-1.0 -q audiotestsrc wave=pink-noise num-buffers=20 samplesperbuffer=4410 )"
        R"(! audio/x-raw,rate=44100,channels=2 ! audioconvert ! wavenc ! filesink location=')" +
        source + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(noise.c_str()), 0);
    const auto size = [&](const std::string& format) {
        const ConvertJob job{.sourcePath = source,
                             .destPath = host("out-" + format.substr(format.find(':') + 1)),
                             .format = *convert::parseConvertFormat(format)};
        const ConvertResult result = convert::convertFile(job);
        EXPECT_TRUE(result.ok()) << format << ": " << result.message;
        return std::filesystem::file_size(job.destPath);
    };
    const std::pair<std::string, std::string> worstAndBest[] = {
        {"mp3:v9", "mp3:v0"}, {"mp3:128", "mp3:320"}, {"ogg:q0", "ogg:q10"}, {"opus:64", "opus:256"}};
    for (const auto& [worst, best] : worstAndBest) {
        EXPECT_GT(size(best), size(worst) * 2) << worst << " " << best;
    }
}

// A source that does not decode fails with GStreamer's message, and no file stays at the
// destination (a stale one there is gone too); its length cannot be told either.
TEST_F(ConvertFileTest, SourceThatDoesNotDecodeFails) {
    testsupport::encodeTone(host("good.wav"), {.encoder = "wavenc"});
    ASSERT_EQ(std::system(("gst-launch-1.0 -q videotestsrc num-buffers=1 ! pngenc ! filesink location='" +
                           host("picture.flac") + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    drive.writeFile("empty.flac");
    drive.writeFile("text.flac", "This is a list of songs, not a song.\n" + std::string(4000, 'x'));
    drive.writeFile("noise.mp3", testsupport::patternBytes(200'000, 7));
    struct Case {
        std::string source;
        std::string dest = "out.mp3";
    };
    const Case cases[] = {
        {"missing.flac"},
        {"empty.flac"},
        {"text.flac"},
        {"noise.mp3"},
        {"picture.flac"},                       // a PNG picture: no audio stream
        {"good.wav", "no such folder/out.mp3"}, // nowhere to write
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        if (!c.dest.starts_with("no such")) {
            drive.writeFile(c.dest, "stale");
        }
        const auto started = std::chrono::steady_clock::now();
        const ConvertResult result =
            convert::convertFile({.sourcePath = host(c.source),
                                  .destPath = host(c.dest),
                                  .format = convert::defaultFormat(convert::ConvertTarget::Mp3)});
        EXPECT_EQ(result.status, ConvertStatus::Failed);
        EXPECT_FALSE(result.message.empty());
        EXPECT_FALSE(drive.exists(c.dest));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
        if (c.source != "good.wav") {
            EXPECT_EQ(convert::mediaLengthMs(host(c.source)), std::nullopt);
        }
    }
    // A format out of range fails before anything is written.
    const ConvertResult outOfRange =
        convert::convertFile({.sourcePath = host("good.wav"),
                              .destPath = host("out.ogg"),
                              .format = {.target = convert::ConvertTarget::Vorbis, .quality = 11}});
    EXPECT_EQ(outOfRange.status, ConvertStatus::Failed);
    EXPECT_EQ(outOfRange.message, "No such conversion format: ogg:q11");
    EXPECT_EQ(testsupport::filesUnder(drive),
              (std::vector<std::string>{"empty.flac", "good.wav", "noise.mp3", "picture.flac", "text.flac"}));
}

// A cancel stops the conversion at once, part way, and removes what it wrote.
TEST_F(ConvertFileTest, CancelStopsAndRemovesTheFile) {
    const std::string sourcePath = host("long.wav");
    testsupport::encodeTone(sourcePath, {.encoder = "wavenc", .buffers = 1200}); // 120 s
    const ConvertJob job{.sourcePath = sourcePath,
                         .destPath = host("out.mp3"),
                         .format = *convert::parseConvertFormat("mp3:v0")};
    std::atomic<bool> cancel = false;
    int64_t reachedMs = 0;
    std::chrono::steady_clock::time_point asked;
    const ConvertResult result = convert::convertFile(
        job,
        [&](int64_t position, auto) {
            reachedMs = position;
            if (position > 0 && !cancel) {
                asked = std::chrono::steady_clock::now();
                cancel = true;
            }
        },
        [&] { return cancel.load(); });
    const auto took = std::chrono::steady_clock::now() - asked;
    EXPECT_EQ(result.status, ConvertStatus::Cancelled);
    EXPECT_LT(reachedMs, 60'000);
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    EXPECT_FALSE(drive.exists("out.mp3"));

    // Cancelled before it started.
    EXPECT_EQ(convert::convertFile(job, {}, [] { return true; }).status, ConvertStatus::Cancelled);
    EXPECT_FALSE(drive.exists("out.mp3"));
}

// Every target's elements are installed here; an element that GStreamer lacks is named with
// the package that brings it.
TEST(MissingEncoder, NamesTheFirstElementNotInstalled) {
    for (const char* format : {"mp3", "mp3:320", "ogg", "opus"}) {
        EXPECT_EQ(convert::missingEncoder(*convert::parseConvertFormat(format)), std::nullopt) << format;
    }
    std::vector<convert::PipelineElement> elements =
        convert::pipelineElements(convert::defaultFormat(convert::ConvertTarget::Mp3));
    ASSERT_GE(elements.size(), 3U);
    elements.insert(elements.begin() + 2, {"tunewagonnoencoder", "gstreamer1.0-plugins-none"});
    elements.push_back({"tunewagonnomuxer", "gstreamer1.0-plugins-none"});
    EXPECT_EQ(convert::firstMissingElement(elements),
              (convert::PipelineElement{"tunewagonnoencoder", "gstreamer1.0-plugins-none"}));
}

} // namespace
